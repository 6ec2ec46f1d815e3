// The prepare pass's checks of single statements, driven by small script listings: each case
// runs the per-statement checks over the active statements in order, as the prepare pass does
// after its script-wide steps, and expects the first failure (or none).
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <unordered_set>

#include "command_table.h"
#include "prepare_checks.h"
#include "progress.h"
#include "script_compiler.h"
#include "script_loader.h"
#include "variable_store.h"

namespace {

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

struct Outcome {
    int index = -1;  // the failing statement; -1 when every statement passed
    std::string message;
};

ScriptImage Load(std::string_view listing) {
    const qorscript::Compiled compiled = qorscript::CompileListing(listing);
    EXPECT_TRUE(compiled.ok()) << (compiled.ok() ? "" : compiled.errors.front());
    ScriptLoad load = LoadScript(compiled.script);
    EXPECT_TRUE(load.image.has_value()) << load.error;
    return load.image ? std::move(*load.image) : ScriptImage{};
}

Outcome Check(std::string_view listing, VariableStore* store_out = nullptr) {
    const ScriptImage script = Load(listing);
    ProgressState flags;
    VariableStore store(flags);
    std::unordered_set<std::string> labels;
    for (const Statement& statement : script.Statements) {
        if (statement.Command == "Label") {
            labels.insert(AsciiUpper(script.GetParameter(statement.Id, 1)));
        }
    }
    const CommandLookup commands(script.PluginCommands);
    const PrepareContext context{script, commands, store, labels};
    Outcome outcome;
    for (const Statement& statement : script.Statements) {
        if (statement.Disabled) continue;
        const PrepareVerdict verdict = CheckStatement(context, statement);
        if (!verdict.ok) {
            outcome = {statement.Index, verdict.message};
            break;
        }
        EXPECT_TRUE(verdict.message.empty());
    }
    if (store_out) {
        for (const auto& [name, value] : store.Entries()) store_out->Declare(name, value, "test");
    }
    return outcome;
}

struct Case {
    std::string_view what;
    std::string_view listing;
    int index;  // -1: accepted
    std::string_view message;
};

const std::string kTargetFolderMessage(kPrepareTargetFolder);

const Case kCases[] = {
    // If and Else If: parameter 1 required and defined, parameter 3 defined when a reference.
    {"If with empty variable", "If | | 0 | x | FALSE", 0, "Variable required"},
    {"Else If with empty variable", "Set Variable | A | 1\nElse If | | 0 | x", 1,
     "Variable required"},
    {"If on undefined name", "If | NOPE | 0 | x", 0, "Variable not defined: NOPE"},
    {"If on undefined reference", "If | $NOPE$ | 0 | x", 0, "Variable not defined: $NOPE$"},
    {"If comparing with undefined reference", "Set Variable | A | 1\nIf | A | 0 | $B$", 1,
     "Variable not defined: $B$"},
    {"If failing both reports parameter 3", "If | X | 0 | $Y$", 0, "Variable not defined: $Y$"},
    {"Empty variable wins over parameter 3", "If | | 0 | $Y$", 0, "Variable required"},
    {"If accepts both name forms", "Set Variable | A | 1\nIf | $a$ | 0 | $A$\nIf | a | 0 | B", -1,
     ""},
    {"Parameter 3 that is not a reference is a value", "Set Variable | A | 1\nIf | A | 0 | $B", -1,
     ""},

    // Declarations happen in statement order.
    {"Result declared by an earlier statement", "Read Registry | REG | 0 | k | v\nIf | REG | 0 | x",
     -1, ""},
    {"Result declared only later", "If | REG | 0 | x\nRead Registry | REG | 0 | k | v", 0,
     "Variable not defined: REG"},
    {"Result written as a reference", "Get Temporary File | $tmp$\nIf | TMP | 0 | x", -1, ""},
    {"Parse String declares 3 and 4",
     "Parse String | t | , | LEFT | RIGHT\nIf | LEFT | 0 | x\nIf | RIGHT | 0 | x", -1, ""},
    {"Set Variable declares the name before the marker",
     "Set Variable | keep$ZOND$ZOND$TRUE | 1\nIf | KEEP | 0 | 1", -1, ""},
    {"Set Variable declares a reference name", "Set Variable | $v$ | 1\nIf | V | 0 | 1", -1, ""},

    // Defined-variable commands.
    {"Convert Path on undefined variable", "Convert Path | NOPE | 1", 0,
     "Variable not defined: NOPE"},
    {"Convert Case with empty name", "Convert Case | | 1", 0, "Variable not defined: "},
    {"Replace String on a defined reference", "Set Variable | S | a\nReplace String | $S$ | a | b",
     -1, ""},

    // Required results.
    {"Find All Files without result", "Find All Files | C:\\*.* | TRUE | FALSE |", 0,
     "Variable required"},
    {"Check Disk Space without result", "Check Disk Space | | C:\\ | TRUE", 0, "Variable required"},
    {"Is MSI Setup Installed without result", "Is MSI Setup Installed | {X} |", 0,
     "Variable required"},
    {"Is MSI Setup Installed declares", "Is MSI Setup Installed | {X} | INST\nIf | INST | 0 | x",
     -1, ""},

    // Evaluate Expression.
    {"Expression accepted and result declared",
     "Evaluate Expression | \"a\" = \"b\" | RES\nIf | RES | 0 | TRUE", -1, ""},
    {"Expression with a reference", "Evaluate Expression | $A$ = \"x\" and $B$ <> \"\" | R", -1,
     ""},
    {"Expression with a bad operator", "Evaluate Expression | \"a\" => \"b\" | R", 0,
     kPrepareExpressionSyntax},
    {"Empty expression", "Evaluate Expression | | R", 0, kPrepareExpressionSyntax},

    // Display Dialog.
    {"Display Dialog without name", "Display Dialog | | WIZARD | TRUE", 0,
     "Dialog name not specified"},
    {"Display Dialog on undefined condition", "Display Dialog | Welcome | WIZ | TRUE | COND", 0,
     "Variable not defined: COND"},
    {"Display Dialog declares its result",
     "Display Dialog | Welcome | PAGE | TRUE | $PAGE$ | FALSE", -1, ""},
    {"Display Dialog without condition", "Display Dialog | Welcome | | TRUE | | ", -1, ""},

    // Files and installer actions.
    {"Delete Files without a mode", "Delete Files | C:\\x | FALSE | FALSE | false", 0,
     "At least one delete mode must be selected"},
    {"Delete Files with a variable as mode", "Delete Files | C:\\x | | $MODE$ | ", 0,
     "At least one delete mode must be selected"},
    {"Delete Files with mode 4", "Delete Files | C:\\x | | FALSE | true", -1, ""},
    {"Delete Files with mode 3 as -1", "Delete Files | C:\\x | | -1 | FALSE", -1, ""},
    {"Install Files without target", "Install Files | *.* | data |", 0, kTargetFolderMessage},
    {"Install Files with target", "Install Files | *.* | data | $TARGETDIR$", -1, ""},

    // Web Media Block.
    {"Web Media Block name with a slash", "Web Media Block | a/b | http://x", 0,
     "Web Media Block name must be a legal file name"},
    {"Web Media Block name with a bar", "Web Media Block | part^|two | http://x", 0,
     "Web Media Block name must be a legal file name"},
    {"Web Media Block without address", "Web Media Block | Block1 |", 0,
     "Web Media Block must have at least one download URL"},
    {"Web Media Block name after the folder", "Web Media Block | dir/x\\block.7z | http://x", -1,
     ""},
    {"Web Media Block without name", "Web Media Block | |", -1, ""},

    // Labels.
    {"GoTo an unknown label", "Label | There\nGoTo Label | nowhere", 1, "LABEL undefined: nowhere"},
    {"GoTo a label in another case", "GoTo Label | there\nLabel | There", -1, ""},

    // Names that run without effect.
    {"Unknown command", "Frobnicate | $NOPE$\nIf | NOPE | 0 | x", 1, "Variable not defined: NOPE"},
    {"Command names are case-sensitive", "convert path | NOPE", -1, ""},
    {"Compiler Variable End", "Compiler Variable End", -1, ""},
    {"Disabled statements are not checked", "[off] If | | 0 | x", -1, ""},
    {"A plug-in command is not checked as the table's",
     "@plugin Convert Path\nConvert Path | NOPE | x", -1, ""},
};

TEST(PrepareChecks, VerdictsOfSingleStatements) {
    for (const Case& c : kCases) {
        const Outcome outcome = Check(c.listing);
        EXPECT_EQ(outcome.index, c.index) << c.what;
        EXPECT_EQ(outcome.message, c.message) << c.what;
    }
}

TEST(PrepareChecks, DeclaredNamesAreUpperCasedAndEmpty) {
    ProgressState flags;
    VariableStore declared(flags);
    Check("Get File Version | f | $ver$\nGet Environment | PATH |\nMathematics | 1 | + | 2 | sum",
          &declared);
    const std::vector<VariableStore::Pair> expected = {{"VER", ""}, {"SUM", ""}};
    EXPECT_EQ(declared.Entries(), expected);
}

TEST(PrepareChecks, PersistentSetVariableNames) {
    struct PersistentCase {
        std::string_view parameter;
        std::vector<std::string> declared;
    };
    const PersistentCase cases[] = {
        {"keep$ZOND$ZOND$TRUE", {"KEEP"}}, {"$Keep$$ZOND$ZOND$TRUE", {"KEEP"}},
        {"keep$ZOND$ZOND$true", {}},                      // the flag must be exactly TRUE
        {"keep$ZOND$ZOND$FALSE", {}},      {"keep", {}},  // no marker, not persistent
        {"$ZOND$ZOND$TRUE", {}},                          // no name
    };
    for (const PersistentCase& c : cases) {
        ProgressState flags;
        VariableStore store(flags);
        DeclarePersistentName(store, c.parameter);
        std::vector<std::string> names;
        for (const auto& entry : store.Entries()) names.push_back(entry.first);
        EXPECT_EQ(names, c.declared) << c.parameter;
    }
}

TEST(PrepareChecks, LegalFileNames) {
    const std::pair<std::string_view, bool> cases[] = {
        {"", true},      {"block.7z", true},    {"C:\\dir\\block", true}, {"a/b", false},
        {"a*", false},   {"a?", false},         {"a\"b", false},          {"a<b", false},
        {"a>b", false},  {"a|b", false},        {"x/y\\name", true},      {"x/y:name", true},
        {"dir\\", true}, {"dir\\na*me", false}, {"C:na?me", false},
    };
    for (const auto& [name, legal] : cases) EXPECT_EQ(IsLegalFileName(name), legal) << name;
}

}  // namespace
