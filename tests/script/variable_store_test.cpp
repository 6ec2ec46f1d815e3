// The variable store: declaration and assignment rules, expansion and its matching rules, the
// silent override rule, ABORT, truth, path normalising, export and import.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "comma_text.h"
#include "predefined_variables.h"
#include "script_error.h"
#include "source_tags.h"
#include "variable_store.h"

namespace {

constexpr std::string_view kTag = "Set Variable Action";

class Store : public ::testing::Test {
  protected:
    void Declare(std::string_view name, std::string_view value) {
        store_.Declare(name, value, kTag);
    }

    ProgressState flags_;
    VariableStore store_{flags_};
};

TEST_F(Store, DeclareAppendsOnceAndKeepsTheFirstSpelling) {
    Declare("Target", "a");
    Declare("TARGET", "b");  // an existing variable is assigned
    Declare("", "ignored");
    store_.Define("target", kTag);  // keeps the value
    store_.Define("result", kTag);
    const std::vector<VariableStore::Pair> expected = {{"Target", "b"}, {"RESULT", ""}};
    EXPECT_EQ(store_.Entries(), expected);
    EXPECT_TRUE(store_.IsDefined("tArGeT"));
}

TEST_F(Store, NamesIgnoreOnlyAsciiCase) {
    Declare("CAF\xC9", "x");  // "CAFÉ" in code page 1252
    EXPECT_TRUE(store_.IsDefined("caf\xC9"));
    EXPECT_FALSE(store_.IsDefined("caf\xE9"));
}

TEST_F(Store, UndefinedVariablesRaiseScriptErrors) {
    try {
        store_.Assign("Missing", "x", kTag);
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "Attempting to set value of undefined variable Missing");
    }
    try {
        store_.Read("Missing");
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "Attempting to get value of undefined variable Missing");
    }
    Declare("A", "1");
    EXPECT_THROW(store_.Read("$A$"), ScriptError);  // read takes the bare name only
}

TEST_F(Store, ExpandSubstitutesInStoreOrderUntilStable) {
    Declare("B", "1");
    Declare("A", "x$B$y");
    EXPECT_EQ(store_.Expand("$A$"), "x1y");
    VariableStore reversed(flags_);
    reversed.Declare("A", "x$B$y", kTag);
    reversed.Declare("B", "1", kTag);
    EXPECT_EQ(reversed.Expand("$A$"), "x1y");
    EXPECT_EQ(store_.Read("a"), "x1y");  // values are stored unexpanded, expanded when read
    EXPECT_EQ(store_.Entries()[1].second, "x$B$y");
}

TEST_F(Store, ExpandMatchingRules) {
    Declare("NAME", "value");
    Declare("EMPTY", "");
    Declare("NEWLINE", "not used");
    Declare("X$Y", "dollar");
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"$newline$", "\r\n"},
        {"a$NeWlInE$b", "a\r\nb"},
        {"$name$ and $NAME$ keep Case", "value and value keep Case"},
        {"cost: 5$", "cost: 5$"},
        {"$UNDEFINED$ stays", "$UNDEFINED$ stays"},
        {"$$NAME$$", "$value$"},
        {"$NAME$NAME$", "valueNAME$"},  // left to right, without overlap
        {"[$EMPTY$]", "[]"},
        {"$X$Y$", "dollar"},  // a name with a dollar sign inside
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(store_.Expand(c.text), c.expected) << c.text;
}

TEST_F(Store, InsertedTextIsSeenByLaterVariablesOnly) {
    // One pass: A's value names B (declared later: replaced in the same pass) and itself.
    Declare("A", "<$B$|$A$>");
    Declare("B", "b");
    // Pass 1 gives <b|$A$>: the inserted $A$ is not searched again for A in that pass; the
    // next pass replaces it once more, and so on up to the bound.
    const std::string result = store_.Expand("$A$");
    EXPECT_EQ(result.find("<b|<b|"), 0u);
    EXPECT_EQ(result.size(), 4 * VariableStore::kExpandPassLimit + 3);
}

TEST_F(Store, SelfReferenceStopsAtTheBounds) {
    Declare("GROW", "x$GROW$");
    EXPECT_EQ(store_.Expand("$GROW$"),
              std::string(VariableStore::kExpandPassLimit, 'x') + "$GROW$");
    Declare("SAME", "$SAME$");
    EXPECT_EQ(store_.Expand("$SAME$"), "$SAME$");
    Declare("P", "$Q$.");
    Declare("Q", "$P$,");
    EXPECT_EQ(store_.Expand("$P$").size(), 2 * VariableStore::kExpandPassLimit + 3);
    // Doubling values stop at the length bound instead of exhausting memory.
    Declare("D", "$D$$D$$D$$D$");
    const std::string doubled = store_.Expand("$D$");
    EXPECT_LE(doubled.size(), VariableStore::kExpandLengthLimit);
    EXPECT_GT(doubled.size(), VariableStore::kExpandLengthLimit / 4);
}

TEST_F(Store, ExpandQuoted) {
    Declare("A", "x");
    Declare("R", "$A$");
    EXPECT_EQ(store_.ExpandQuoted("$A$ = \"x\""), "\"x\" = \"x\"");
    EXPECT_EQ(store_.ExpandQuoted("$R$"), "\"x\"");  // the second round is not quoted
    Declare("Q", "say \"hi\"");
    EXPECT_EQ(store_.ExpandQuoted("$Q$"), "\"say \"hi\"\"");
}

TEST_F(Store, ReferenceForms) {
    const struct {
        const char* text;
        const char* name;
    } cases[] = {{"$A$", "A"}, {"$A$B$", ""}, {"A", ""}, {"$A", ""}, {"$$", ""}, {"$", ""}};
    for (const auto& c : cases) EXPECT_EQ(VariableStore::ReferenceName(c.text), c.name) << c.text;

    Declare("A", "$B$");
    Declare("B", "2");
    EXPECT_EQ(store_.ReadReference("$A$"), "2");
    EXPECT_EQ(store_.ReadReference("a"), "2");
    EXPECT_EQ(store_.ReadReference("$NOPE$"), "$ZONDNX$");
    EXPECT_EQ(store_.ReadOrEmpty("NOPE"), "");
    EXPECT_EQ(store_.ReadOrEmpty("$b$"), "2");
}

TEST(Truth, Convention) {
    for (const char* text : {"TRUE", "true", "True", "-1"}) {
        EXPECT_TRUE(VariableStore::Truth(text)) << text;
    }
    for (const char* text : {"1", "yes", "", "FALSE", " TRUE", "-1 "}) {
        EXPECT_FALSE(VariableStore::Truth(text)) << text;
    }
    EXPECT_EQ(VariableStore::TruthText(true), "TRUE");
    EXPECT_EQ(VariableStore::TruthText(false), "FALSE");
}

TEST_F(Store, PathNormalise) {
    Declare("DIR", "C:\\App\\");
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"$DIR$\\bin", "C:\\App\\bin"}, {"\\\\server\\\\share\\file", "\\\\server\\share\\file"},
        {"a\\\\\\b", "a\\\\b"},  // three in a row become two
        {"\\\\\\\\x", "\\\\\\x"},       {"plain", "plain"},
    };
    for (const auto& c : cases) EXPECT_EQ(store_.PathNormalise(c.text), c.expected) << c.text;
}

TEST_F(Store, NewlineEncodeAndDecode) {
    EXPECT_EQ(VariableStore::NewlineEncode("a\r\nb\nc\r\n"), "a$NEWLINE$b\nc$NEWLINE$");
    EXPECT_EQ(VariableStore::NewlineDecode("a$newline$b$NEWLINE$"), "a\r\nb\r\n");
}

TEST_F(Store, SilentRunKeepsCommandLineValues) {
    store_.SetOverrides({{"targetdir", "D:\\Given\\"}});
    Declare("TARGETDIR", "");
    store_.Assign("TARGETDIR", "D:\\Given\\", kTagInjectOverride);

    flags_.SetSilent(true);
    store_.Assign("TargetDir", "C:\\Script\\", kTag);
    store_.Declare("TARGETDIR", "C:\\Engine\\", kTagBootstrap);
    EXPECT_EQ(store_.Read("TARGETDIR"), "D:\\Given\\");
    store_.Assign("TARGETDIR", "E:\\Again\\", kTagInjectOverride);
    EXPECT_EQ(store_.Read("TARGETDIR"), "E:\\Again\\");
    store_.SetOverrides({{"NOT_DECLARED_BUT_OVERRIDDEN", "y"}});
    EXPECT_NO_THROW(store_.Assign("NOT_DECLARED_BUT_OVERRIDDEN", "x", kTag));  // dropped first

    flags_.SetSilent(false);
    store_.SetOverrides({{"targetdir", "D:\\Given\\"}});
    store_.Assign("TARGETDIR", "C:\\Script\\", kTag);
    EXPECT_EQ(store_.Read("TARGETDIR"), "C:\\Script\\");
}

TEST_F(Store, AbortSetsTheCancelRequestedFlag) {
    Declare("ABORT", "FALSE");
    store_.Assign("abort", "True", kTag);
    EXPECT_TRUE(flags_.IsCancelRequested());
    EXPECT_EQ(flags_.CancelState(), -1);
    store_.Assign("Abort", "no", kTag);
    EXPECT_FALSE(flags_.IsCancelRequested());
    EXPECT_EQ(flags_.CancelState(), 1);
}

TEST(CommaText, WriteAndRead) {
    const struct {
        std::vector<std::string> elements;
        const char* text;
    } cases[] = {
        {{"A", "1", "B", ""}, "A,1,B,"},
        {{""}, "\"\""},
        {{}, ""},
        {{"", "x"}, ",x"},
        {{"a b", "c,d", "say \"hi\"", "x\r\ny"}, "\"a b\",\"c,d\",\"say \"\"hi\"\"\",\"x\r\ny\""},
        {{"\t"}, "\"\t\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToCommaText(c.elements), c.text);
        EXPECT_EQ(FromCommaText(c.text), c.elements) << c.text;
    }
    const struct {
        const char* text;
        std::vector<std::string> elements;
    } reads[] = {
        {"  a , b", {"a", "b"}}, {"a b", {"a", "b"}},    {"a,,b", {"a", "", "b"}},
        {"\"open", {"open"}},    {"\"a\"b", {"a", "b"}}, {",", {"", ""}},
    };
    for (const auto& r : reads) EXPECT_EQ(FromCommaText(r.text), r.elements) << r.text;
}

TEST_F(Store, ExportImportRoundTrip) {
    Declare("PLAIN", "value");
    Declare("BLANKS", " two  words ");
    Declare("QUOTES", "say \"hi\"");
    Declare("COMMAS", "a,b,,c");
    Declare("LINES", "first\r\nsecond");
    Declare("EMPTY", "");
    Declare("DOLLARS", "$PLAIN$");
    const auto before = store_.Entries();
    const std::string exported = store_.Export();
    VariableStore other(flags_);
    other.Import(exported);
    EXPECT_EQ(other.Entries(), before);
    EXPECT_EQ(other.Read("DOLLARS"), "value");  // indexes are rebuilt

    other.Import("A,1,a,2,,3,B");  // repeated name, empty name, missing last value
    const std::vector<VariableStore::Pair> expected = {{"A", "2"}, {"B", ""}};
    EXPECT_EQ(other.Entries(), expected);
}

TEST_F(Store, ClearAndPersistentVariables) {
    Declare("A", "1");
    store_.AddPersistent("A");
    store_.AddPersistent("a");
    store_.AppendPersistent("a");
    EXPECT_EQ(store_.PersistentNames(), (std::vector<std::string>{"A", "a"}));
    store_.Import("B,2");
    EXPECT_EQ(store_.PersistentNames().size(), 2u);
    store_.Clear();
    EXPECT_TRUE(store_.Entries().empty());
    EXPECT_TRUE(store_.PersistentNames().empty());
    EXPECT_FALSE(store_.IsDefined("B"));
}

// The system code page's upper-case mapping decides expansion matches; a hook gives it.
void Latin1Upper(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            text[i] = static_cast<char>(c - 0x20);
        }
    }
}

int before_expand_calls = 0;
void CountBeforeExpand() {
    ++before_expand_calls;
}

TEST(StoreHooks, CodePageUpperCaseAndBeforeExpand) {
    ProgressState flags;
    VariableStore store(flags, {Latin1Upper, CountBeforeExpand});
    store.Declare("CAF\xC9", "coffee", kTag);
    before_expand_calls = 0;
    EXPECT_EQ(store.Expand("$caf\xE9$ and \xE9"), "coffee and \xE9");
    EXPECT_GE(before_expand_calls, 1);
}

TEST(StoreThreads, ExpandWhileAnotherThreadDeclares) {
    ProgressState flags;
    VariableStore store(flags);
    store.Declare("BASE", "b", kTag);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) store.Declare("V" + std::to_string(i), "$BASE$", kTag);
        stop = true;
    });
    int reads = 0;
    while (!stop) {
        const bool defined = store.IsDefined("V0");
        const std::string expanded = store.Expand("$BASE$$V0$");
        EXPECT_TRUE(expanded == "bb" || (!defined && expanded == "b$V0$")) << expanded;
        ++reads;
    }
    writer.join();
    EXPECT_EQ(store.Entries().size(), 2001u);
    EXPECT_GT(reads, 0);
}

TEST(PredefinedVariables, DeclaredInTableOrder) {
    ProgressState flags;
    VariableStore store(flags);
    PredefinedFacts facts;
    facts.product_title = "Sample";
    facts.exe_folder = "C:\\Setup\\";
    ASSERT_TRUE(DeclarePredefined(store, facts, "ZONDLOGO", "MSIFILE"));
    const auto entries = store.Entries();
    EXPECT_EQ(entries.front().first, "ZONDLOGO");
    EXPECT_EQ(entries.back().first, "MSIFILE");
    EXPECT_EQ(store.Read("TITLE"), "Sample");
    EXPECT_EQ(store.Read("ROOTDIR"), "C:\\Setup\\");
    EXPECT_EQ(store.Entries()[24].second, "\r\n");  // NEWLINE holds CR LF
    EXPECT_EQ(entries[24].first, "NEWLINE");
    EXPECT_EQ(store.Read("WIZARD"), "NEXT");
    EXPECT_FALSE(DeclarePredefined(store, facts, "MSIFILE", "ZONDLOGO"));
    EXPECT_FALSE(DeclarePredefined(store, facts, "ZONDLOGO", "NOSUCH"));
}

}  // namespace
