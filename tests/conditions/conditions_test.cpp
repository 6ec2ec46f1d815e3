// The If / Else If test, integer texts, the expression language and Evaluate Expression.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "conditions.h"
#include "integer_text.h"
#include "progress.h"
#include "script_error.h"
#include "translations.h"
#include "variable_store.h"

namespace {

const std::string kId = "{A6F02697-E4B1-459B-B64F-D55312A420D8}";

// A script of one statement with the given parameters.
ScriptImage OneStatement(const std::string& command, std::vector<std::string> parameters) {
    ScriptImage script;
    script.Statements.push_back({0, command, kId, false, ""});
    parameters.insert(parameters.begin(), kId);
    script.SetParameterLines(std::move(parameters));
    return script;
}

// Translation files in memory, never changed.
class FixedFiles : public TranslationFiles {
public:
    std::map<std::string, std::string> files;
    FileStamp Stamp(const std::string& path) const override {
        const auto found = files.find(path);
        return found == files.end() ? FileStamp{} : FileStamp{true, found->second.size(), 1};
    }
    FileRead Read(const std::string& path, std::uint64_t) const override {
        const auto found = files.find(path);
        if (found == files.end()) return {false, {}, "cannot open " + path};
        return {true, found->second, {}};
    }
};

// ---- Integer texts ----------------------------------------------------------------------

TEST(IntegerText, DecimalAndHexadecimalFormsWithinThe32BitRange) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"7", 7},
        {"007", 7},
        {"  -12", -12},
        {"+5", 5},
        {"$1F", 31},
        {"x1f", 31},
        {"X1F", 31},
        {"0x1F", 31},
        {"-0x10", -16},
        {"-$80000000", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$80000000", std::nullopt},
        {"$FFFFFFFF", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"$FFFFFFFFFFFFFFFFFFFFFFFF", std::nullopt},
        {"0X1F", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"-", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"7 ", std::nullopt},
        {"7.0", std::nullopt},
        {"1e3", std::nullopt},
        {"--1", std::nullopt},
        {"- 1", std::nullopt},
        {"\t7", std::nullopt},
        {"$1G", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseIntegerText(c.text), c.value) << c.text;
}

// ---- If / Else If operators -------------------------------------------------------------

struct ConditionCase {
    const char* value;
    const char* op;
    const char* comparison;
    const char* negation;
    bool expected;
};

void PrintTo(const ConditionCase& c, std::ostream* os) {
    *os << "value '" << c.value << "' op '" << c.op << "' comparison '" << c.comparison
        << "' negation '" << c.negation << "'";
}

class IfConditions : public testing::TestWithParam<ConditionCase> {};

TEST_P(IfConditions, CompareTheVariableWithTheExpandedValue) {
    const ConditionCase& c = GetParam();
    ProgressState progress;
    VariableStore store(progress);
    store.Declare("VALUE", c.value, "test");
    store.Declare("OTHER", c.comparison, "test");
    FixedFiles files;
    Translations translations(files);
    // Parameter 3 refers to OTHER, so the test also shows that it is expanded.
    const ScriptImage script = OneStatement("If", {"$VALUE$", c.op, "$OTHER$", c.negation});
    EXPECT_EQ(EvaluateCondition(script, script.Statements[0], store, translations, nullptr),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Operators, IfConditions,
    testing::Values(
        // Numeric when both are integer texts, otherwise text.
        ConditionCase{"007", "0", "7", "", true}, ConditionCase{"007", "0", "7.0", "", false},
        ConditionCase{"$1F", "0", "31", "", true}, ConditionCase{"x1f", "0", "0x1F", "", true},
        ConditionCase{" 16", "0", "+16", "", true}, ConditionCase{"7 ", "0", "7", "", false},
        ConditionCase{"$FFFFFFFF", "0", "-1", "", false},  // out of range: a text
        ConditionCase{"-$80000000", "0", "-2147483648", "", true},
        // Containment, numerically equality.
        ConditionCase{"ABCDEF", "1", "cd", "", false}, ConditionCase{"ABCDEF", "1", "CD", "", true},
        ConditionCase{"ABCDEF", "3", "cd", "", true}, ConditionCase{"10", "1", "010", "", true},
        ConditionCase{"10", "3", "1", "", false}, ConditionCase{"x", "1", "", "", false},
        ConditionCase{"x", "1", "", "TRUE", true}, ConditionCase{"", "3", "", "", false},
        ConditionCase{"x", "3", "", "-1", true},
        // Greater: numeric, or byte-wise unsigned with a proper prefix smaller.
        ConditionCase{"10", "2", "9", "", true}, ConditionCase{"10", "2", "9x", "", false},
        ConditionCase{"-5", "2", "-6", "", true}, ConditionCase{"abc", "2", "ab", "", true},
        ConditionCase{"ab", "2", "abc", "", false}, ConditionCase{"ab", "2", "ab", "", false},
        ConditionCase{"\xE9", "2", "z", "", true}, ConditionCase{"0x", "2", "0", "", true},
        // Equal ignoring ASCII case only.
        ConditionCase{"Yes", "4", "YES", "", true}, ConditionCase{"Yes", "4", "YES ", "", false},
        ConditionCase{"\xE9", "4", "\xC9", "", false},
        // Negation by truth; unknown operators are false before negation.
        ConditionCase{"x", "0", "x", "TRUE", false}, ConditionCase{"x", "0", "x", "true", false},
        ConditionCase{"x", "0", "x", "1", true}, ConditionCase{"x", "0", "y", "-1", true},
        ConditionCase{"x", "5", "x", "", false}, ConditionCase{"x", "5", "x", "TRUE", true},
        ConditionCase{"x", "", "x", "", false}, ConditionCase{"x", "-1", "x", "", false},
        ConditionCase{"x", " $0", "x", "", true}));

TEST(IfCondition, ContainmentIgnoringCaseUsesTheCodePageMapping) {
    // A mapping that also upper-cases 0xE9 to 0xC9, as code page 1252 does.
    const auto latin_upper = [](char* text, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
                text[i] = static_cast<char>(c - 0x20);
            }
        }
    };
    EXPECT_TRUE(CompareByOperator("3", "Caf\xE9", "\xC9", latin_upper));
    EXPECT_FALSE(CompareByOperator("3", "Caf\xE9", "\xC9", nullptr));
    EXPECT_FALSE(CompareByOperator("4", "Caf\xE9", "CAF\xC9", latin_upper));
}

class IfStatement : public testing::Test {
protected:
    ProgressState progress;
    VariableStore store{progress};
    FixedFiles files;
    Translations translations{files};

    bool Evaluate(const std::vector<std::string>& parameters) {
        const ScriptImage script = OneStatement("If", parameters);
        return EvaluateCondition(script, script.Statements[0], store, translations, nullptr);
    }
};

TEST_F(IfStatement, TheVariableIsANameOrAReferenceAndItsValueIsExpanded) {
    store.Declare("INNER", "7", "test");
    store.Declare("Outer", "$INNER$", "test");
    EXPECT_TRUE(Evaluate({"outer", "0", "7", ""}));
    EXPECT_TRUE(Evaluate({"$OUTER$", "0", "$inner$", ""}));
    EXPECT_TRUE(Evaluate({"OUTER", "0", "$UNDEFINED$", "TRUE"}));  // stays "$UNDEFINED$"
}

TEST_F(IfStatement, AnUndefinedVariableIsAScriptError) {
    try {
        Evaluate({"$MISSING$", "0", "x", ""});
        FAIL() << "no script error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "Attempting to get value of undefined variable MISSING");
    }
    EXPECT_THROW(Evaluate({"", "0", "", ""}), ScriptError);
}

TEST_F(IfStatement, ParametersOneAndThreeAreTranslatedWhileALanguageIsInEffect) {
    files.files["S\\translations.Map"] = "\r\n\r\n";
    files.files["S\\P.mtx"] = kId + "\r\n\r\n";
    files.files["S\\translations.German"] = "GERMAN_VAR\r\nja\r\n";
    ASSERT_TRUE(translations.LoadTranslations("S\\", "P", "German").ok);
    store.Declare("ENGLISH_VAR", "yes", "test");
    store.Declare("GERMAN_VAR", "ja", "test");
    store.Declare("LANGUAGE", "", "test");
    // LANGUAGE empty: no language in effect, the parameters are used as written.
    EXPECT_FALSE(Evaluate({"ENGLISH_VAR", "0", "no", ""}));
    // German: GERMAN_VAR ("ja") is compared with "ja"; translating only one of the two
    // parameters would compare "ja" with "no" or "yes" with "ja".
    store.Assign("LANGUAGE", "German", "test");
    EXPECT_TRUE(Evaluate({"ENGLISH_VAR", "0", "no", ""}));

    // A text list that ends before translation parameter 2: a script error.
    files.files["S\\translations.German"] = "GERMAN_VAR\r\n";
    files.files["S\\P.mtx"] = kId + "\r\n";  // changed size: read again
    ASSERT_TRUE(translations.LoadTranslations("S\\", "P", "German").ok);
    try {
        Evaluate({"ENGLISH_VAR", "0", "yes", ""});
        FAIL() << "no script error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (1)");
    }
}

// ---- Expressions ------------------------------------------------------------------------

struct ExpressionCase {
    std::string text;
    const char* expected;
};

void PrintTo(const ExpressionCase& c, std::ostream* os) {
    *os << (c.text.size() > 80 ? c.text.substr(0, 80) + "..." : c.text);
}

class Expressions : public testing::TestWithParam<ExpressionCase> {};

TEST_P(Expressions, EvaluateToTrueFalseOrError) {
    EXPECT_EQ(EvaluateExpression(GetParam().text), GetParam().expected);
}

std::string Nested(int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "\"a\" = \"a\"" +
           std::string(static_cast<std::size_t>(depth), ')');
}

INSTANTIATE_TEST_SUITE_P(
    Language, Expressions,
    testing::Values(
        // The six operators, byte-wise and unsigned, a proper prefix smaller, no numbers.
        ExpressionCase{R"("a" = "a")", "TRUE"}, ExpressionCase{R"("a" = "b")", "FALSE"},
        ExpressionCase{R"("a" = "A")", "FALSE"}, ExpressionCase{R"("a" <> "b")", "TRUE"},
        ExpressionCase{R"("a" <= "a")", "TRUE"}, ExpressionCase{R"("b" <= "a")", "FALSE"},
        ExpressionCase{R"("a" < "b")", "TRUE"}, ExpressionCase{R"("b" >= "b")", "TRUE"},
        ExpressionCase{R"("b" > "a")", "TRUE"}, ExpressionCase{R"("a" > "a")", "FALSE"},
        ExpressionCase{R"("10" < "9")", "TRUE"}, ExpressionCase{R"("ab" < "abc")", "TRUE"},
        ExpressionCase{R"("" < "a")", "TRUE"}, ExpressionCase{"\"\xE9\" > \"z\"", "TRUE"},
        // Connectives, strictly left to right.
        ExpressionCase{R"(("a" = "a") and ("b" < "a"))", "FALSE"},
        ExpressionCase{R"("a" = "b" or "c" = "c" and "d" = "e")", "FALSE"},
        ExpressionCase{R"("a" = "b" and "c" = "c" or "d" = "d")", "TRUE"},
        ExpressionCase{R"("a" = "b" and ("c" = "c" or "d" = "d"))", "FALSE"},
        ExpressionCase{R"("a" = "a" or "b" = "c")", "TRUE"},
        // Quoting: a doubled double quote is one double quote.
        ExpressionCase{R"("x""y" = "x""y")", "TRUE"}, ExpressionCase{R"("""" = """")", "TRUE"},
        ExpressionCase{R"("a""" = "a")", "FALSE"}, ExpressionCase{R"("a""" > "a")", "TRUE"},
        ExpressionCase{R"("a = b" = "a = b")", "TRUE"},
        ExpressionCase{R"e("(" = "(" and ")" <> "and")e", "TRUE"},
        // Words end at a blank or a double quote.
        ExpressionCase{R"("a"="a"and"b"="b")", "TRUE"}, ExpressionCase{R"("a"<>"b")", "TRUE"},
        ExpressionCase{R"("a"="a" and("b"="b"))", "ERROR"},
        ExpressionCase{R"(("a"="a")and("b"="b"))", "ERROR"},
        ExpressionCase{R"("a" =("a"))", "ERROR"},
        // Blanks and parentheses.
        ExpressionCase{R"(   "a"  =  "a"   )", "TRUE"},
        ExpressionCase{R"("a" = "a" and ( "b" = "b" ) )", "TRUE"},
        ExpressionCase{Nested(100), "TRUE"}, ExpressionCase{Nested(100000), "ERROR"},
        // Malformed.
        ExpressionCase{"", "ERROR"}, ExpressionCase{"   ", "ERROR"}, ExpressionCase{"()", "ERROR"},
        ExpressionCase{R"("a" == "a")", "ERROR"}, ExpressionCase{R"("a" = a)", "ERROR"},
        ExpressionCase{R"(a = "a")", "ERROR"}, ExpressionCase{R"("a" = "a)", "ERROR"},
        ExpressionCase{R"("a" "a")", "ERROR"}, ExpressionCase{R"(("a" = "a")", "ERROR"},
        ExpressionCase{R"("a" = "a"))", "ERROR"}, ExpressionCase{R"("a" = "a" and)", "ERROR"},
        ExpressionCase{R"("a" = "a" AND "b" = "b")", "ERROR"},
        ExpressionCase{R"("a" = "a" xor "b" = "b")", "ERROR"},
        ExpressionCase{R"("a" = "a" "b" = "b")", "ERROR"},
        ExpressionCase{"\"a\"\t=\t\"a\"", "ERROR"},  // only blanks separate
        // The enclosing parentheses do not let a text close them early.
        ExpressionCase{R"("a" = "a") and ("b" = "b")", "ERROR"}));

TEST(ExpressionRobustness, ArbitraryTextsGiveAResultAndNeverReadOutOfBounds) {
    // Texts made of the characters the grammar cares about, plus others.
    constexpr std::string_view kAlphabet = "\"\"() =<>andorx$\xE9";
    std::mt19937 random(20261211);
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 48, ' ');
        for (char& c : text) c = kAlphabet[random() % kAlphabet.size()];
        const std::string result = EvaluateExpression(text);
        ASSERT_TRUE(result == "TRUE" || result == "FALSE" || result == "ERROR") << text;
    }
}

TEST(ExpressionSyntax, ReferencesReadAsQuotedNames) {
    EXPECT_TRUE(ExpressionSyntaxOk(R"($A$ = "x")"));
    EXPECT_TRUE(ExpressionSyntaxOk(R"($A$ = "x" and ($B$ <> "" or $C$ > $D$))"));
    EXPECT_FALSE(ExpressionSyntaxOk(R"("$A$" = "x")"));
    EXPECT_FALSE(ExpressionSyntaxOk(""));
    EXPECT_FALSE(ExpressionSyntaxOk(R"($A$ = x)"));
}

// ---- Evaluate Expression ----------------------------------------------------------------

class EvaluateExpressionStatement : public testing::Test {
protected:
    ProgressState progress;
    VariableStore store{progress};

    void Run(const std::string& expression, const std::string& result) {
        const ScriptImage script = OneStatement("Evaluate Expression", {expression, result});
        RunEvaluateExpression(script, script.Statements[0], store);
    }
};

TEST_F(EvaluateExpressionStatement, ReferencesBecomeQuotedValues) {
    store.Declare("A", "x", "test");
    Run(R"($A$ = "x")", "result");
    EXPECT_EQ(store.Read("RESULT"), "TRUE");
    Run(R"("$A$" = "x")", "result");
    EXPECT_EQ(store.Read("RESULT"), "ERROR");
    Run(R"($A$ > "y" or $A$ = $A$)", "$RESULT$");
    EXPECT_EQ(store.Read("RESULT"), "TRUE");
    // The result variable was created once, upper-cased.
    const auto entries = store.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].first, "RESULT");
}

TEST_F(EvaluateExpressionStatement, AnExistingResultKeepsItsNameAndAQuoteInAValueIsAnError) {
    store.Declare("Outcome", "old", "test");
    store.Declare("Q", "say \"hi\"", "test");
    Run(R"($Q$ = "x")", "outcome");
    EXPECT_EQ(store.Read("OUTCOME"), "ERROR");
    EXPECT_EQ(store.Entries()[0].first, "Outcome");
    Run("", "outcome");
    EXPECT_EQ(store.Read("OUTCOME"), "ERROR");
}

}  // namespace
