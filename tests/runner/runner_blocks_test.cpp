// Control flow of the runner: If / Else If / Else / End chains at every depth, disabled and
// ignored statements, Label and GoTo Label, and Wizard Loop navigation driven by scripted button
// presses. Each case is a small script and the variables it must leave behind.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runner_fixture.h"

namespace {

using runnertest::RunFixture;

using Expected = std::vector<std::pair<std::string, std::optional<std::string>>>;
constexpr std::nullopt_t kUndefined = std::nullopt;

struct FlowCase {
    const char* name;
    const char* listing;
    Expected expected;
};

void PrintTo(const FlowCase& flow, std::ostream* out) {
    *out << flow.name;
}

const FlowCase kFlowCases[] = {
    {"only the first true branch runs",
     R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
  Set Variable | A | then
Else If | X | 0 | 1 | FALSE
  Set Variable | B | else-if
Else
  Set Variable | C | else
End
Set Variable | AFTER | yes
)",
     {{"A", "then"}, {"B", kUndefined}, {"C", kUndefined}, {"AFTER", "yes"}}},

    {"an else-if chain runs the first true condition only",
     R"(
Set Variable | X | 3
If | X | 0 | 1 | FALSE
  Set Variable | A | 1
Else If | X | 0 | 2 | FALSE
  Set Variable | A | 2
Else If | X | 0 | 3 | FALSE
  Set Variable | A | 3
Else If | X | 2 | 0 | FALSE
  Set Variable | A | 4
Else
  Set Variable | A | 5
End
Set Variable | AFTER | $A$
)",
     {{"A", "3"}, {"AFTER", "3"}}},

    {"the else branch runs when no condition holds",
     R"(
Set Variable | X | 9
If | X | 0 | 1 | FALSE
  Set Variable | A | 1
Else If | X | 0 | 2 | FALSE
  Set Variable | A | 2
Else
  Set Variable | A | else
End
)",
     {{"A", "else"}}},

    {"a false If with no else runs nothing of its block",
     R"(
Set Variable | X | 0
If | X | 0 | 1 | FALSE
  Set Variable | A | wrong
End
Set Variable | AFTER | yes
)",
     {{"A", kUndefined}, {"AFTER", "yes"}}},

    {"the branch scan passes over the else of a nested block",
     R"(
Set Variable | X | 0
If | X | 0 | 1 | FALSE
  If | X | 0 | 0 | FALSE
    Set Variable | A | wrong
  Else
    Set Variable | A | wrong too
  End
Else If | X | 0 | 0 | FALSE
  Set Variable | A | right
End
)",
     {{"A", "right"}}},

    {"blocks nested three and four deep behave at every depth",
     R"(
Set Variable | X | 1
Set Variable | Y | 2
Set Variable | Z | 3
If | X | 0 | 1 | FALSE
  If | Y | 0 | 0 | FALSE
    Set Variable | R | wrong 1
  Else If | Y | 0 | 2 | FALSE
    If | Z | 0 | 0 | FALSE
      Set Variable | R | wrong 2
    Else
      Set Variable | R | inner else
      If | Z | 0 | 3 | FALSE
        Set Variable | S | deep
      Else
        Set Variable | S | wrong 3
      End
    End
    Set Variable | T | after inner
  Else
    Set Variable | R | wrong 4
  End
  Set Variable | U | after middle
Else
  Set Variable | R | wrong 5
End
Set Variable | V | end
)",
     {{"R", "inner else"},
      {"S", "deep"},
      {"T", "after inner"},
      {"U", "after middle"},
      {"V", "end"}}},

    {"negation inverts a condition",
     R"(
Set Variable | X | abc
If | X | 0 | abc | TRUE
  Set Variable | A | wrong
Else
  Set Variable | A | negated
End
)",
     {{"A", "negated"}}},

    {"a disabled If with its End disabled leaves its body running",
     R"(
Set Variable | X | 0
[off] If | X | 0 | 1 | FALSE
  Set Variable | A | ran
[off] End
)",
     {{"A", "ran"}}},

    {"Ignore statements and comments are transparent to the scans",
     R"(
Set Variable | X | 0
If | X | 0 | 1 | FALSE
  Ignore
  Comment | an If in a comment
  Set Variable | A | wrong
Ignore
Else
  Ignore
  Set Variable | A | else
End
Ignore
)",
     {{"A", "else"}}},

    {"a script whose last statement is disabled ends after the one before it",
     R"(
Set Variable | A | 1
Set Variable | B | 2
[off] Set Variable | A | 3
)",
     {{"A", "1"}, {"B", "2"}}},

    {"a false If around a Wizard Loop skips the whole loop",
     R"(
Set Variable | X | 0
If | X | 0 | 1 | FALSE
  Wizard Loop
    Display Dialog | Welcome | WIZARD |  |  |  | 
  End
  Set Variable | A | wrong
Else
  Set Variable | B | right
End
Set Variable | AFTER | $WIZARD$
)",
     {{"A", kUndefined}, {"B", "right"}, {"AFTER", "NEXT"}}},

    {"GoTo Label loops back to its label until the condition ends the loop",
     R"(
Set Variable | I |
Label | again
Set Variable | I | $I$x
If | I | 0 | xxxx | TRUE
  GoTo Label | AGAIN
End
Set Variable | DONE | $I$
)",
     {{"DONE", "xxxx"}}},

    {"GoTo out of a nested branch leaves both blocks",
     R"(
Set Variable | N |
Label | top
Set Variable | N | $N$y
If | N | 0 | yy | TRUE
  If | N | 0 | y | FALSE
    GoTo Label | top
  End
End
If | N | 0 | nothing | FALSE
  Set Variable | A | wrong
Else
  Set Variable | A | right
End
Set Variable | DONE | $N$
)",
     {{"A", "right"}, {"DONE", "yy"}}},

    {"GoTo forward skips the statements in between",
     R"(
GoTo Label | later
Set Variable | A | wrong
Label | later
Set Variable | B | right
)",
     {{"A", kUndefined}, {"B", "right"}}},

    {"unknown commands and Compiler Variable End do nothing",
     R"(
Frobnicate | 1 | 2
Compiler Variable End
Code Folding Region | a | b
Set Variable | A | after
)",
     {{"A", "after"}}},

    {"Evaluate Expression runs through its branch",
     R"(
Set Variable | V | x
Evaluate Expression | $V$ = "x" and "a" < "b" | RESULT
)",
     {{"RESULT", "TRUE"}}},
};

class RunnerFlow : public testing::TestWithParam<FlowCase> {};

TEST_P(RunnerFlow, LeavesTheExpectedVariables) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run(GetParam().listing));
    EXPECT_TRUE(fixture.platform.messages.empty()) << fixture.platform.messages.front().text;
    for (const auto& [name, value] : GetParam().expected) {
        EXPECT_EQ(fixture.Value(name), value) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, RunnerFlow, testing::ValuesIn(kFlowCases));

// ---- Wizard Loop navigation ---------------------------------------------------------------

// Statement indexes of the three-dialog wizard below.
constexpr std::int32_t kOne = 2;
constexpr std::int32_t kTwo = 3;
constexpr std::int32_t kThree = 4;

// Dialog Two is passed over while SHOW2 is false (its condition value).
constexpr const char* kThreeDialogs = R"(
Set Variable | SHOW2 | FALSE
Wizard Loop
  Display Dialog | One | RESULT1 |  |  |  | 
  Display Dialog | Two | WIZARD | FALSE | SHOW2 |  | FALSE
  Display Dialog | Three | WIZARD |  |  |  | 
End
Set Variable | AFTER | $WIZARD$
)";

struct WizardCase {
    const char* name;
    const char* listing;
    std::vector<DialogResult> buttons;
    std::vector<std::int32_t> shown;
    Expected expected;
};

void PrintTo(const WizardCase& wizard, std::ostream* out) {
    *out << wizard.name;
}

const WizardCase kWizardCases[] = {
    {"next passes over a dialog whose condition is false, back does too",
     kThreeDialogs,
     {DialogResult::Next(), DialogResult::Back(), DialogResult::Next(), DialogResult::Next()},
     {kOne, kThree, kOne, kThree},
     {{"RESULT1", "NEXT"}, {"AFTER", "NEXT"}}},

    {"back on the first dialog leaves the loop with BACK",
     kThreeDialogs,
     {DialogResult::Back()},
     {kOne},
     {{"RESULT1", "BACK"}, {"WIZARD", "NEXT"}, {"AFTER", "NEXT"}}},

    {"cancel leaves the loop with CANCEL",
     kThreeDialogs,
     {DialogResult::Next(), DialogResult::Cancel()},
     {kOne, kThree},
     {{"AFTER", "CANCEL"}}},

    {"a custom button writes its name upper-cased and keeps the direction",
     kThreeDialogs,
     {DialogResult::Next(), DialogResult::Back(), DialogResult::Custom("BtnRepair")},
     {kOne, kThree, kOne},
     {{"RESULT1", "BTNREPAIR"}, {"AFTER", "BACK"}}},

    {"a shown condition dialog takes part in navigation",
     R"(
Set Variable | SHOW2 | TRUE
Wizard Loop
  Display Dialog | One | RESULT1 |  |  |  | 
  Display Dialog | Two | WIZARD | FALSE | $SHOW2$ |  | FALSE
  Display Dialog | Three | WIZARD |  |  |  | 
End
)",
     {DialogResult::Next(), DialogResult::Next(), DialogResult::Back(), DialogResult::Back(),
      DialogResult::Next(), DialogResult::Next(), DialogResult::Next()},
     {kOne, kTwo, kThree, kTwo, kOne, kTwo, kThree},
     {{"WIZARD", "NEXT"}}},

    {"comments, disabled and ignored statements inside the loop are passed over",
     R"(
Set Variable | X | 1
Wizard Loop
  Comment | first page
  Display Dialog | One | WIZARD |  |  |  | 
  [off] Display Dialog | Old | WIZARD |  |  |  | 
  Ignore
End
Set Variable | AFTER | $WIZARD$
)",
     {DialogResult::Next()},
     {3},
     {{"AFTER", "NEXT"}}},

    {"the End of a loop inside an If does not close the If",
     R"(
Set Variable | X | 1
If | X | 0 | 1 | FALSE
  Wizard Loop
    Display Dialog | One | WIZARD |  |  |  | 
  End
  Set Variable | IN | yes
Else
  Set Variable | ELSE | wrong
End
Set Variable | AFTER | yes
)",
     {DialogResult::Next()},
     {3},
     {{"IN", "yes"}, {"ELSE", kUndefined}, {"AFTER", "yes"}}},

    {"back leaves the loop and GoTo Label runs the wizard again",
     R"(
Set Variable | BACKS |
Label | start
Wizard Loop
  Display Dialog | One | WIZARD |  |  |  | 
End
If | WIZARD | 0 | BACK | FALSE
  Set Variable | BACKS | $BACKS$b
  GoTo Label | start
End
)",
     {DialogResult::Back(), DialogResult::Back(), DialogResult::Next()},
     {3, 3, 3},
     {{"BACKS", "bb"}, {"WIZARD", "NEXT"}}},

    {"a loop without dialogs shows nothing",
     R"(
Wizard Loop
End
Set Variable | AFTER | yes
)",
     {},
     {},
     {{"AFTER", "yes"}}},
};

class RunnerWizard : public testing::TestWithParam<WizardCase> {};

TEST_P(RunnerWizard, ShowsTheDialogsInTurn) {
    RunFixture fixture;
    for (const DialogResult& button : GetParam().buttons) fixture.dialogs.buttons.push_back(button);
    ASSERT_TRUE(fixture.Run(GetParam().listing));
    EXPECT_TRUE(fixture.platform.messages.empty()) << fixture.platform.messages.front().text;
    EXPECT_EQ(fixture.dialogs.shown, GetParam().shown);
    EXPECT_TRUE(fixture.dialogs.buttons.empty()) << "buttons left unpressed";
    for (const auto& [name, value] : GetParam().expected) {
        EXPECT_EQ(fixture.Value(name), value) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Navigation, RunnerWizard, testing::ValuesIn(kWizardCases));

}  // namespace
