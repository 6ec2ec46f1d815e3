#pragma once

#include <string>
#include <string_view>

#include "script_image.h"
#include "variable_store.h"

// The runner's side of the wizard dialogs: between "Wizard Loop" and its "End" every
// "Display Dialog" statement shows its dialog modally, and the button the user pressed decides
// where the runner goes. The dialog runtime implements WizardDialogs; tests drive the runner with
// a scripted fake.

// The button that ended a modal dialog.
struct DialogResult {
    enum class Button { kNext, kBack, kCancel, kCustom };
    Button button = Button::kNext;
    std::string custom_name;  // kCustom: the name of the clicked control

    static DialogResult Next() { return {Button::kNext, {}}; }
    static DialogResult Back() { return {Button::kBack, {}}; }
    static DialogResult Cancel() { return {Button::kCancel, {}}; }
    static DialogResult Custom(std::string name) { return {Button::kCustom, std::move(name)}; }
};

class WizardDialogs {
  public:
    virtual ~WizardDialogs() = default;
    // Shows the dialog of a "Display Dialog" statement modally (the dialog is released, prepared
    // and shown as Display Dialog does inside a Wizard Loop) and returns the button pressed. May
    // raise a ScriptError. The runner checks the display condition before and writes the result
    // variable after.
    virtual DialogResult ShowModal(const Statement& statement) = 0;
};

// The display condition of a "Display Dialog" statement (parameter 4 names a variable, as NAME
// or $NAME$; parameter 6 is the condition value): true when the dialog is shown, that is when
// parameter 4 is empty or the truth of the variable's value differs from the truth of
// parameter 6. Raises ScriptError for a variable that is not defined.
bool DisplayConditionHolds(const ScriptImage& script, const Statement& statement,
                           const VariableStore& store);

// The text a result variable receives: "NEXT", "BACK", "CANCEL", or the custom name upper-cased.
std::string DialogResultText(const DialogResult& result);

// When parameter 2 of the statement names a result variable (NAME or $NAME$), defines it when
// missing and assigns it `text`, both with the tag "Display Dialog Action".
void WriteDialogResult(const ScriptImage& script, const Statement& statement, VariableStore& store,
                       std::string_view text);
