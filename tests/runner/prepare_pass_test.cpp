// The prepare pass over whole scripts: each rejection with its message and statement index, the
// order in which the checks are made, and a rejected script that runs nothing at all.
#include <gtest/gtest.h>

#include <string>

#include "prepare_checks.h"
#include "prepare_pass.h"
#include "runner_fixture.h"
#include "script_compiler.h"
#include "script_loader.h"

namespace {

struct PrepareCase {
    const char* name;
    const char* listing;
    std::int32_t index;
    std::string message;
};

void PrintTo(const PrepareCase& prepare, std::ostream* out) {
    *out << prepare.name;
}

const std::string kLabelNested(kPrepareLabelNested);
const std::string kInsufficient(kPrepareInsufficientEnd);
const std::string kTooMany(kPrepareTooManyEnd);
const std::string kWizard(kPrepareWizardContents);

const PrepareCase kCases[] = {
    {"a sound script", R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
  Wizard Loop
    Display Dialog | One | WIZARD |  |  |  | 
  End
Else
  GoTo Label | done
End
Label | done
)",
     kPrepareAccepted, std::string(kPrepareSuccess)},

    {"a label inside an If", R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
  Label | inside
End
)",
     2, kLabelNested},

    {"a label inside a Wizard Loop is reported before the loop's contents", R"(
Wizard Loop
  Label | inside
End
)",
     1, kLabelNested},

    {"a label nested in an unclosed If is reported before the balance", R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
Label | inside
)",
     2, kLabelNested},

    {"an If without End", R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
)",
     kPrepareUnbalancedIndex, kInsufficient},

    {"a Wizard Loop without End", "Wizard Loop\n", kPrepareUnbalancedIndex, kInsufficient},

    {"an End too many", R"(
Set Variable | X | 1
End
)",
     kPrepareUnbalancedIndex, kTooMany},

    {"a disabled If whose End stays active", R"(
Set Variable | X | 1
[off] If | X | 0 | 1 | FALSE
End
)",
     kPrepareUnbalancedIndex, kTooMany},

    {"an active If whose End is disabled", R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
[off] End
)",
     kPrepareUnbalancedIndex, kInsufficient},

    {"a label given twice, letter case ignored", R"(
Label | start
Label | START
)",
     1, "LABEL re-defined: START"},

    {"a GoTo to a label that does not exist", R"(
Label | start
GoTo Label | nowhere
)",
     1, "LABEL undefined: nowhere"},

    {"an If without a variable", R"(
If |  | 0 | 1 | FALSE
End
)",
     0, std::string(kPrepareVariableRequired)},

    {"an If on a variable declared only later", R"(
If | LATER | 0 | 1 | FALSE
End
Set Variable | LATER | 1
)",
     0, "Variable not defined: LATER"},

    {"an If on a persistent variable declared later", R"(
If | KEEP | 0 | 1 | FALSE
End
Set Variable | KEEP$ZOND$ZOND$TRUE | 1
)",
     kPrepareAccepted, std::string(kPrepareSuccess)},

    {"an Else If compares with an undefined $NAME$", R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
Else If | X | 0 | $NOPE$ | FALSE
End
)",
     2, "Variable not defined: $NOPE$"},

    {"an expression with a syntax error", R"(
Evaluate Expression | "a" = | RESULT
)",
     0, std::string(kPrepareExpressionSyntax)},

    {"a statement other than a dialog inside a Wizard Loop", R"(
Wizard Loop
  Display Dialog | One | WIZARD |  |  |  | 
  Set Variable | X | 1
End
)",
     2, kWizard},

    {"a Wizard Loop inside a Wizard Loop", R"(
Wizard Loop
  Wizard Loop
  End
End
)",
     1, kWizard},

    {"comments, disabled statements and Ignore inside a Wizard Loop", R"(
Wizard Loop
  Comment | note
  [off] Set Variable | X | 1
  Ignore
  Display Dialog | One | WIZARD |  |  |  | 
End
)",
     kPrepareAccepted, std::string(kPrepareSuccess)},

    {"a statement check is reported before the Wizard Loop contents", R"(
Wizard Loop
  Set Variable | X | 1
End
If | NOPE | 0 | 1 | FALSE
End
)",
     3, "Variable not defined: NOPE"},

    {"plug-in commands pass unchecked", R"(
@plugin If Ever
If Ever | data | plugin.dll
)",
     kPrepareAccepted, std::string(kPrepareSuccess)},
};

class PreparePass : public testing::TestWithParam<PrepareCase> {};

TEST_P(PreparePass, ReportsIndexAndMessage) {
    const qorscript::Compiled compiled = qorscript::CompileListing(GetParam().listing);
    ASSERT_TRUE(compiled.ok()) << compiled.errors.front();
    const ScriptLoad load = LoadScript(compiled.script);
    ASSERT_TRUE(load.image) << load.error;
    ProgressState progress;
    VariableStore store(progress);
    const CommandLookup commands(load.image->PluginCommands);
    const PrepareResult result = PrepareScript(*load.image, commands, store);
    EXPECT_EQ(result.index, GetParam().index);
    EXPECT_EQ(result.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Scripts, PreparePass, testing::ValuesIn(kCases));

TEST(PreparePassRun, ARejectedScriptRunsNothingAndShowsNothing) {
    runnertest::RunFixture fixture;
    ASSERT_TRUE(fixture.Run(R"(
Set Variable | FIRST | 1
GoTo Label | nowhere
)",
                            true));
    EXPECT_EQ(fixture.Value("FIRST"), "");  // declared by the prepare pass, never assigned
    EXPECT_TRUE(fixture.platform.messages.empty());
    EXPECT_TRUE(fixture.steps.calls.empty());
}

TEST(PreparePassRun, DeclaresThePredefinedNamesEmpty) {
    const qorscript::Compiled compiled =
        qorscript::CompileListing("If | MSIFILE | 0 | x | FALSE\nEnd\n");
    const ScriptLoad load = LoadScript(compiled.script);
    ASSERT_TRUE(load.image);
    ProgressState progress;
    VariableStore store(progress);
    store.Declare("LEFTOVER", "x", "test");
    const CommandLookup commands(load.image->PluginCommands);
    EXPECT_TRUE(PrepareScript(*load.image, commands, store).Accepted());
    EXPECT_FALSE(store.IsDefined("LEFTOVER"));
    const auto entries = store.Entries();
    ASSERT_EQ(entries.size(), 50u);
    EXPECT_EQ(entries.front().first, "ZONDLOGO");
    EXPECT_EQ(entries.back().first, "LANGUAGE");
    for (const auto& [name, value] : entries) EXPECT_EQ(value, "") << name;
}

}  // namespace
