// The variable, string and arithmetic commands run by the real runner on compiled listings, with
// the fake system of the runner fixture (numbered temporary files, a table of file names, ASCII
// letter case). Each command has a table of cases; script errors are read from the message the
// run shows.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "command_branches.h"
#include "runner_fixture.h"

namespace {

using runnertest::kSupport;
using runnertest::RunFixture;

// The texts of the script errors the run showed ("Line N: ..." after the fixed heading).
std::vector<std::string> ScriptErrors(const RunFixture& fixture) {
    std::vector<std::string> errors;
    for (const auto& message : fixture.platform.messages) {
        const std::size_t line = message.text.find("Line ");
        errors.push_back(line == std::string::npos ? message.text : message.text.substr(line));
    }
    return errors;
}

// Runs `listing` and gives the stored value of `name` ("<undefined>" when it does not exist).
std::string RunAndRead(const std::string& listing, const std::string& name) {
    RunFixture fixture;
    if (!fixture.Run(listing)) return "<no run>";
    EXPECT_EQ(ScriptErrors(fixture), std::vector<std::string>{}) << listing;
    return fixture.Value(name).value_or("<undefined>");
}

// ---- Set Variable and Localization Variable ---------------------------------------------

struct SetCase {
    const char* what;
    const char* listing;
    const char* name;
    const char* value;
    std::vector<std::string> persistent;
};

const SetCase kSetCases[] = {
    {"expands the value", "Set Variable | A | x\nSet Variable | B | [$A$]", "B", "[x]", {}},
    {"a name between dollar signs", "Set Variable | $B$ | 1", "B", "1", {}},
    {"a new name is upper-cased", "Set Variable | mixed | 1", "MIXED", "1", {}},
    {"an existing name keeps its spelling",
     "Set Variable | TargetDir | C:\\x",
     "TARGETDIR",
     "C:\\x",
     {}},
    {"the newline marker becomes CR LF",
     "Set Variable | A | one$NEWLINE$two",
     "A",
     "one\r\ntwo",
     {}},
    {"persistent once however often it runs",
     "Set Variable | N |\nLabel | again\nSet Variable | Title$ZOND$ZOND$TRUE | $N$\n"
     "Set Variable | N | $N$x\nIf | N | 0 | xxx | TRUE\n  GoTo Label | again\nEnd",
     "TITLE",
     "xx",
     {"Title"}},
    {"persistent under a name between dollar signs",
     "Set Variable | $KEEP$$ZOND$ZOND$TRUE | 1",
     "KEEP",
     "1",
     {"KEEP"}},
    {"the flag must be exactly TRUE", "Set Variable | KEEP$ZOND$ZOND$true | 1", "KEEP", "1", {}},
    {"FALSE only assigns", "Set Variable | KEEP$ZOND$ZOND$FALSE | 1", "KEEP", "1", {}},
    {"Localization Variable assigns the expanded value",
     "Set Variable | A | x\nLocalization Variable | $Loc$ | <$A$>",
     "LOC",
     "<x>",
     {}},
};

TEST(SetVariable, AssignsAndMakesPersistent) {
    for (const SetCase& c : kSetCases) {
        RunFixture fixture;
        ASSERT_TRUE(fixture.Run(c.listing)) << c.what;
        EXPECT_EQ(ScriptErrors(fixture), std::vector<std::string>{}) << c.what;
        EXPECT_EQ(fixture.Value(c.name).value_or("<undefined>"), c.value) << c.what;
        EXPECT_EQ(fixture.store.PersistentNames(), c.persistent) << c.what;
    }
}

TEST(SetVariable, TranslatesWhileALanguageIsSelected) {
    RunFixture fixture;
    fixture.translation_files.files = {
        {kSupport + "translations.Map", "x\nx\nx\n"},
        {kSupport + "translations.German", "Hallo $WHO$\nHallo $WHO$\nTschuess\n"},
        {kSupport + "Demo.mtx", "{S1}\n{S3}\nDOVUDODO$farewell$DOVUDODO\n"},
    };
    ASSERT_TRUE(fixture.Run(R"(
@title Demo
Set Variable | WHO | Welt
[id {S1}] Set Variable | GREETING | Hello
[id {S2}] Set Variable | UNTRANSLATED | Hello
Localization Variable | FAREWELL | Bye
Set Variable | LANGUAGE | German
[id {S3}] Set Variable | GREETING2 | Hello
[id {S4}] Set Variable | UNTRANSLATED2 | Hello
Localization Variable | FAREWELL2 | Bye
Localization Variable | Farewell | Bye
)"));
    EXPECT_EQ(fixture.Value("GREETING"), "Hello");        // no language yet
    EXPECT_EQ(fixture.Value("FAREWELL"), "Tschuess");     // the last statement, with a language
    EXPECT_EQ(fixture.Value("GREETING2"), "Hallo Welt");  // translated, then expanded
    EXPECT_EQ(fixture.Value("UNTRANSLATED2"), "Hello");   // no key for the identifier
    EXPECT_EQ(fixture.Value("FAREWELL2"), "Bye");         // the key names another variable
}

// ---- Get Temporary File, Convert Path, Convert Case -------------------------------------

TEST(GetTemporaryFile, CreatesAFileInTheTemporaryFolderUnderTheGuard) {
    RunFixture fixture;
    fixture.facts.temp_folder = "C:\\temp\\";
    ASSERT_TRUE(fixture.Run("Get Temporary File | $tmp$\nGet Temporary File | OTHER"));
    EXPECT_EQ(fixture.Value("TMP"), "C:\\temp\\qor1.tmp");
    EXPECT_EQ(fixture.Value("OTHER"), "C:\\temp\\qor2.tmp");
    EXPECT_EQ(fixture.platform.guard_modes, (std::vector<std::string>{"Win32", "Win32"}));
    EXPECT_EQ(fixture.platform.guards_held_by_file_calls, (std::vector<int>{1, 1}));
    EXPECT_EQ(fixture.platform.guards_held, 0);

    RunFixture failing;
    failing.platform.temporary_file_fails = true;
    ASSERT_TRUE(failing.Run("Set Variable | TMP | old\nGet Temporary File | TMP"));
    EXPECT_EQ(failing.Value("TMP"), "");
}

TEST(RedirectionGuard, FileCommandsHoldItWithThePlatformModeOfTheMoment) {
    RunFixture fixture;
    fixture.branches.Set("Set 64 Bit Mode", [](RunContext& run, const Statement&) {
        run.session.platform_mode = "x64";
        return BranchOutcome::kContinue;
    });
    fixture.platform.found_names = {{"c:\\x", "X"}};
    ASSERT_TRUE(
        fixture.Run("Get Temporary File | T\nSet Variable | P | C:\\x\nConvert Case | P | TRUE\n"
                    "Set 64 Bit Mode\nConvert Path | P | FALSE\nConvert Path | P | TRUE"));
    EXPECT_EQ(fixture.platform.guard_modes, (std::vector<std::string>{"Win32", "x64", "x64"}));
    EXPECT_EQ(fixture.platform.guards_held_by_file_calls, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(fixture.platform.guards_held, 0);
}

struct PathCase {
    const char* value;  // as Set Variable writes it
    const char* short_form;
    const char* converted;
};

TEST(ConvertPath, BuildsTheLongFormComponentByComponent) {
    const PathCase cases[] = {
        {"C:\\\\PROGRA~1\\\\my app\\\\file.TXT", "FALSE", "C:\\Program Files\\My App\\File.txt"},
        {"^x22C:\\PROGRA~1\\my app^x22", "FALSE", "C:\\Program Files\\My App"},
        {"C:\\PROGRA~1\\", "FALSE", "C:\\Program Files"},
        {"C:\\PROGRA~1\\missing\\file.txt", "FALSE", ""},
        {"C:\\", "FALSE", "C:"},
        {"C:", "FALSE", "C:"},
        {"", "FALSE", ""},
        {"\\\\server\\share\\dir\\", "FALSE", "\\\\server\\share\\Dir"},
        {"\\\\server\\share", "FALSE", "\\\\server\\share"},
        {"\\\\server\\share\\none", "FALSE", ""},
        {"C:\\Program Files\\My App", "TRUE", "C:\\PROGRA~1\\MYAPP~1"},
        {"C:\\nowhere", "TRUE", ""},
    };
    for (const PathCase& c : cases) {
        RunFixture fixture;
        fixture.platform.found_names = {{"c:\\progra~1", "Program Files"},
                                        {"c:\\progra~1\\my app", "My App"},
                                        {"c:\\progra~1\\my app\\file.txt", "File.txt"},
                                        {"\\\\server\\share\\dir", "Dir"}};
        fixture.platform.short_paths = {{"c:\\program files\\my app", "C:\\PROGRA~1\\MYAPP~1"}};
        ASSERT_TRUE(fixture.Run(std::string("Set Variable | P | ") + c.value +
                                "\nConvert Path | P | " + c.short_form));
        EXPECT_EQ(ScriptErrors(fixture), std::vector<std::string>{}) << c.value;
        EXPECT_EQ(fixture.Value("P"), c.converted) << c.value;
        for (const int held : fixture.platform.guards_held_by_file_calls) {
            EXPECT_EQ(held, 1) << c.value;
        }
    }
}

TEST(ConvertCase, NormalisesThenMapsTheCase) {
    EXPECT_EQ(RunAndRead("Set Variable | P | c:\\\\Data\\\\x.txt\nConvert Case | P | TRUE", "P"),
              "C:\\DATA\\X.TXT");
    EXPECT_EQ(RunAndRead("Set Variable | P | \\\\Srv\\Share\nConvert Case | P | -1", "P"),
              "\\\\SRV\\SHARE");
    EXPECT_EQ(RunAndRead("Set Variable | P | ABC\nConvert Case | P | yes", "P"), "abc");
}

// ---- Replace String ---------------------------------------------------------------------

struct ReplaceCase {
    const char* value;
    const char* find;
    const char* replacement;
    const char* ignore_case;
    const char* all;
    const char* result;
};

TEST(ReplaceString, ReplacesWithoutOverlap) {
    const ReplaceCase cases[] = {
        {"aAa", "a", "b", "TRUE", "TRUE", "bbb"},
        {"aAa", "a", "b", "TRUE", "FALSE", "bAa"},
        {"aAa", "a", "b", "FALSE", "TRUE", "bAb"},
        {"aAa", "A", "b", "FALSE", "FALSE", "aba"},
        {"aaaa", "aa", "b", "FALSE", "TRUE", "bb"},
        {"aaa", "aa", "b", "FALSE", "TRUE", "ba"},
        {"ab", "a", "aa", "FALSE", "TRUE", "aab"},  // the replacement is not searched again
        {"abc", "abc", "", "FALSE", "TRUE", ""},
        {"", "a", "b", "TRUE", "TRUE", ""},
        {"abc", "", "x", "TRUE", "TRUE", "abc"},
        {"ab", "abc", "x", "TRUE", "TRUE", "ab"},
        {"one-two", "$DASH$", "$PLUS$", "FALSE", "TRUE", "one+two"},
        {"aXa", "x", "y", "-1", "-1", "aya"},
    };
    for (const ReplaceCase& c : cases) {
        const std::string listing =
            std::string("Set Variable | DASH | -\nSet Variable | PLUS | +\n") +
            "Set Variable | S | " + c.value + "\nReplace String | $s$ | " + c.find + " | " +
            c.replacement + " | " + c.ignore_case + " | " + c.all;
        EXPECT_EQ(RunAndRead(listing, "S"), c.result)
            << c.value << " / " << c.find << " / " << c.replacement;
    }
}

// ---- Extract Path -----------------------------------------------------------------------

struct ExtractCase {
    const char* value;
    const char* mode;
    const char* part;
};

TEST(ExtractPath, TakesThePartOfTheMode) {
    const ExtractCase cases[] = {
        {"C:\\\\Data\\\\file.tar.gz", "0", "file.tar.gz"},
        {"C:\\\\Data\\\\file.tar.gz", "1", "file.tar"},
        {"C:\\\\Data\\\\file.tar.gz", "2", "gz"},
        {"C:\\\\Data\\\\file.tar.gz", "3", "C:\\Data\\"},
        {"C:\\\\Data\\\\file.tar.gz", "4", "C:\\"},
        {"C:\\\\Data\\\\file.tar.gz", "5", "C:\\"},
        {"C:\\\\Data\\\\file.tar.gz", "6", "C:\\Data\\file.tar.gz"},
        {"C:\\\\Data\\\\file.tar.gz", "7", "C:\\Data\\file.tar.gz"},
        {"C:\\\\Data\\\\file.tar.gz", "-1", "C:\\Data\\file.tar.gz"},
        {"C:\\\\Data\\\\file.tar.gz", "$3", "C:\\Data\\"},
        {"C:\\file", "4", "C:\\"},
        {"C:file.txt", "0", "file.txt"},
        {"C:file.txt", "3", "C:\\"},
        {"readme", "1", "readme"},
        {"readme", "2", ""},
        {"readme", "3", ""},
        {"readme", "4", ""},
        {"readme", "5", ""},
        {"dir.d\\readme", "2", ""},
        {".profile", "1", ""},
        {"\\\\server\\share\\dir\\f.txt", "3", "\\\\server\\share\\dir\\"},
        {"\\\\server\\share\\dir\\f.txt", "5", "\\\\server\\share\\"},
        {"\\\\server\\share", "5", "\\\\server\\share\\"},
        {"\\\\server\\share\\dir\\f.txt", "6", "\\server\\share\\dir\\f.txt"},
    };
    for (const ExtractCase& c : cases) {
        const std::string listing =
            std::string("Set Variable | P | ") + c.value + "\nExtract Path | P | " + c.mode;
        EXPECT_EQ(RunAndRead(listing, "P"), c.part) << c.value << " mode " << c.mode;
    }
}

// ---- Parse String -----------------------------------------------------------------------

struct ParseCase {
    const char* source;
    const char* delimiter;
    const char* mode;
    const char* trim;
    const char* ignore_case;
    const char* left;
    const char* right;
};

TEST(ParseString, SplitsAtTheDelimiterOrCount) {
    const ParseCase cases[] = {
        {"a=b=c", "=", "0", "FALSE", "FALSE", "a", "b=c"},
        {"a=b=c", "=", "1", "FALSE", "FALSE", "a=b", "c"},
        {"abcdef", "2", "2", "FALSE", "FALSE", "ab", "cdef"},
        {"abcdef", "2", "3", "FALSE", "FALSE", "abcd", "ef"},
        // Ends of the source.
        {"abc", "x", "0", "FALSE", "FALSE", "abc", ""},
        {"abc", "x", "1", "FALSE", "FALSE", "", "abc"},
        {"=abc", "=", "0", "FALSE", "FALSE", "", "abc"},
        {"abc=", "=", "0", "FALSE", "FALSE", "abc", ""},
        {"abc=", "=", "1", "FALSE", "FALSE", "abc", ""},
        {"=abc", "=", "1", "FALSE", "FALSE", "", "abc"},
        {"a::b::c", "::", "1", "FALSE", "FALSE", "a::b", "c"},
        {"aaa", "aa", "0", "FALSE", "FALSE", "", "a"},
        {"aaa", "aa", "1", "FALSE", "FALSE", "a", ""},
        {"abc", "", "0", "FALSE", "FALSE", "abc", ""},
        {"abc", "", "1", "FALSE", "FALSE", "", "abc"},
        {"", "=", "0", "FALSE", "FALSE", "", ""},
        // Counts.
        {"abcdef", "6", "3", "FALSE", "FALSE", "", ""},
        {"abcdef", "0", "2", "FALSE", "FALSE", "", "abcdef"},
        {"abcdef", "6", "2", "FALSE", "FALSE", "abcdef", ""},
        {"abcdef", "9", "2", "FALSE", "FALSE", "abcdef", ""},
        {"abcdef", "9", "3", "FALSE", "FALSE", "", "abcdef"},
        {"abcdef", "-2", "2", "FALSE", "FALSE", "", "abcdef"},
        {"abcdef", "0", "3", "FALSE", "FALSE", "abcdef", ""},
        {"abcdef", "$2", "2", "FALSE", "FALSE", "ab", "cdef"},
        {"abcdef", "two", "2", "FALSE", "FALSE", "", ""},
        {"abcdef", "-2147483648", "3", "FALSE", "FALSE", "abcdef", ""},
        {"abcdef", "2", "4", "FALSE", "FALSE", "", ""},
        // Letter case: A to Z only.
        {"aXbxc", "x", "0", "FALSE", "FALSE", "aXb", "c"},
        {"aXbxc", "x", "0", "FALSE", "TRUE", "a", "bxc"},
        {"aXbxc", "X", "1", "FALSE", "TRUE", "aXb", "c"},
        {"a^xC9b^xE9c", "^xE9", "0", "FALSE", "TRUE",
         "a\xC9"
         "b",
         "c"},
        // Trimming and the source's normalisation.
        {"^s^t a = b^s^s", "=", "0", "TRUE", "FALSE", "a", "b"},
        {"^s^t a = b^s^s", "=", "0", "FALSE", "FALSE", " \t a ", " b  "},
        {"C:\\\\a\\\\b", "\\", "1", "FALSE", "FALSE", "C:\\a", "b"},
        {"$SRC$", "$SEP$", "0", "FALSE", "FALSE", "x", "y"},
    };
    for (const ParseCase& c : cases) {
        const std::string listing =
            std::string("Set Variable | SRC | x;y\nSet Variable | SEP | ;\n") + "Parse String | " +
            c.source + " | " + c.delimiter + " | Left | $RIGHT$ | " + c.mode + " | " + c.trim +
            " | " + c.ignore_case;
        RunFixture fixture;
        ASSERT_TRUE(fixture.Run(listing));
        EXPECT_EQ(ScriptErrors(fixture), std::vector<std::string>{}) << listing;
        EXPECT_EQ(fixture.Value("LEFT"), c.left) << listing;
        EXPECT_EQ(fixture.Value("RIGHT"), c.right) << listing;
    }
}

TEST(ParseString, WritesOnlyTheNamedParts) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run("Parse String | a=b | = | | R | 0\nParse String | c=d | = | L | | 0"));
    EXPECT_EQ(fixture.Value("R"), "b");
    EXPECT_EQ(fixture.Value("L"), "c");
    EXPECT_EQ(fixture.Value(""), std::nullopt);
}

// ---- Mathematics ------------------------------------------------------------------------

struct MathCase {
    const char* a;
    const char* b;
    const char* code;
    const char* result;
};

TEST(Mathematics, ComputesIn64BitsFrom32BitOperands) {
    const MathCase cases[] = {
        {"2147483647", "1", "0", "2147483648"},
        {"-2147483648", "1", "1", "-2147483649"},
        {"2147483647", "2147483647", "2", "4611686014132420609"},
        {"-2147483648", "-2147483648", "2", "4611686018427387904"},
        {"-2147483648", "-1", "3", "2147483648"},
        {"7", "2", "3", "3"},
        {"-7", "2", "3", "-3"},
        {"7", "0", "3", ""},
        {"-7", "2", "4", "-1"},
        {"7", "-2", "4", "1"},
        {"7", "0", "4", ""},
        {"12", "10", "5", "8"},
        {"12", "10", "6", "14"},
        {"12", "10", "7", "6"},
        {"-1", "1", "5", "1"},
        // Shifts: B's low 8 bits; 64 and more give 0.
        {"1", "40", "8", "1099511627776"},
        {"1", "63", "8", "-9223372036854775808"},
        {"1", "64", "8", "0"},
        {"1", "127", "8", "0"},
        {"1", "259", "8", "8"},
        {"1", "-1", "8", "0"},
        {"-1", "1", "9", "9223372036854775807"},
        {"-8", "60", "9", "15"},
        {"-1", "0", "9", "-1"},
        {"0", "junk", "10", "-1"},  // B is not read
        {"2147483647", "", "10", "-2147483648"},
        // Character codes.
        {"Apple", "", "11", "65"},
        {"^xE9t^xE9", "", "11", "233"},
        {"", "", "11", ""},
        {"65", "", "12", "A"},
        {"321", "", "12", "A"},
        {"-191", "", "12", "A"},
        // Integer texts and failures.
        {"$FF", "0x10", "0", "271"},
        {"^s-5", "+3", "0", "-2"},
        {"2147483648", "0", "0", ""},
        {"abc", "1", "0", ""},
        {"1", "", "0", ""},
        {"1", "1", "x", ""},
        {"1", "1", "16", ""},
        {"1", "1", "-1", ""},
        {"1", "1", "", ""},
        {"$X$", "$Y$", "$C$", ""},  // codes are not expanded
        {"$X$", "$Y$", "2", "42"},
    };
    for (const MathCase& c : cases) {
        const std::string listing =
            std::string("Set Variable | X | 6\nSet Variable | Y | 7\nSet Variable | C | 2\n") +
            "Set Variable | R | old\nMathematics | " + c.a + " | " + c.b + " | " + c.code + " | R";
        EXPECT_EQ(RunAndRead(listing, "R"), c.result) << c.a << " " << c.code << " " << c.b;
    }
}

TEST(Mathematics, DeclaresTheResultVariableAsWritten) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run("Mathematics | 1 | 2 | 0 | sum\nMathematics | 1 | 2 | 0 |"));
    EXPECT_EQ(fixture.Value("SUM"), "3");
}

// The statements, each code-15 result appended to ALL and followed by ";".
std::string CollectingResults(std::string_view statements) {
    std::string listing = "Set Variable | ALL |\nSet Variable | R |\n";
    std::size_t start = 0;
    while (start < statements.size()) {
        std::size_t end = statements.find('\n', start);
        if (end == std::string_view::npos) end = statements.size();
        const std::string_view line = statements.substr(start, end - start);
        listing.append(line).append("\n");
        if (line.find("| 15 |") != std::string_view::npos) {
            listing += "Set Variable | ALL | $ALL$$R$;\n";
        }
        start = end + 1;
    }
    return listing;
}

struct GeneratorCase {
    const char* what;
    const char* statements;
    const char* results;
};

TEST(Mathematics, GeneratorLastsForTheRun) {
    const GeneratorCase cases[] = {
        {"unseeded: 0 mod A", "Mathematics | 7 | | 15 | R", "0;"},
        {"seeded by 13 and 14; A = 0 still advances the state",
         "Mathematics | 1103515245 | 12345 | 13 | S\nMathematics | 42 | | 14 | S\n"
         "Mathematics | 100 | | 15 | R\nMathematics | 0 | | 15 | R\n"
         "Mathematics | 100 | | 15 | R\nMathematics | 100 | | 15 | R",
         "79;;34;55;"},
        {"small seeds",
         "Mathematics | 3 | 1 | 13 | S\nMathematics | 5 | | 14 | S\n"
         "Mathematics | 7 | | 15 | R\nMathematics | 100 | | 15 | R",
         "2;49;"},
        {"an A that is no integer does not advance the state",
         "Mathematics | 3 | 1 | 13 | S\nMathematics | 5 | | 14 | S\n"
         "Mathematics | x | | 15 | R\nMathematics | 7 | | 15 | R",
         ";2;"},
        {"a negative V: the result of a positive A still lies in 0 to A - 1",
         "Mathematics | 3 | 1 | 13 | S\nMathematics | -6 | | 14 | S\n"
         "Mathematics | 5 | | 15 | R\nMathematics | -7 | | 15 | R",
         "3;-1;"},
    };
    for (const GeneratorCase& c : cases) {
        EXPECT_EQ(RunAndRead(CollectingResults(c.statements), "ALL"), c.results) << c.what;
    }
}

// ---- Script errors ----------------------------------------------------------------------

struct ErrorCase {
    const char* listing;
    const char* error;
};

TEST(VariableCommands, FailuresThatEndTheRun) {
    const ErrorCase cases[] = {
        {"Set Variable | P | x\nExtract Path | P | two",
         "Line 2: 'two' is not a valid integer value"},
        {"Set Variable | P | x\nExtract Path | P |", "Line 2: '' is not a valid integer value"},
        {"Parse String | a | b | L | R | mode", "Line 1: 'mode' is not a valid integer value"},
        {"Set Variable | | x", "Line 1: Attempting to set value of undefined variable "},
    };
    for (const ErrorCase& c : cases) {
        RunFixture fixture;
        ASSERT_TRUE(fixture.Run(std::string(c.listing) + "\nSet Variable | AFTER | 1"));
        EXPECT_EQ(ScriptErrors(fixture), std::vector<std::string>{c.error}) << c.listing;
        EXPECT_EQ(fixture.Value("AFTER"), std::nullopt) << c.listing;
    }
}

// ---- The branches of the built families -------------------------------------------------

TEST(BuiltCommandBranches, EveryCommandOfABuiltFamilyHasABranch) {
    const CommandBranches branches = BuiltCommandBranches();
    for (const CommandRow& row : CommandTable()) {
        const bool needs_branch = IsFamilyBuilt(row.family) && row.kind != CommandKind::kBlock &&
                                  row.kind != CommandKind::kNone &&
                                  row.kind != CommandKind::kNeverExecuted;
        EXPECT_EQ(branches.Find(row) != nullptr, needs_branch) << row.name;
    }
}

}  // namespace
