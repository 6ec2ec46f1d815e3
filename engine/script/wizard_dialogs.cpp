#include "wizard_dialogs.h"

#include "source_tags.h"

namespace {

// The variable a parameter names: X for "$X$", otherwise the parameter itself.
std::string NamedVariable(std::string_view parameter) {
    std::string name = VariableStore::ReferenceName(parameter);
    return name.empty() ? std::string(parameter) : name;
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

bool DisplayConditionHolds(const ScriptImage& script, const Statement& statement,
                           const VariableStore& store) {
    const std::string& variable = script.GetParameter(statement.Id, 4);
    if (variable.empty()) return true;
    const bool value = VariableStore::Truth(store.Read(NamedVariable(variable)));
    return value != VariableStore::Truth(script.GetParameter(statement.Id, 6));
}

std::string DialogResultText(const DialogResult& result) {
    switch (result.button) {
        case DialogResult::Button::kNext:
            return "NEXT";
        case DialogResult::Button::kBack:
            return "BACK";
        case DialogResult::Button::kCancel:
            return "CANCEL";
        case DialogResult::Button::kCustom:
            return AsciiUpper(result.custom_name);
    }
    return {};
}

void WriteDialogResult(const ScriptImage& script, const Statement& statement, VariableStore& store,
                       std::string_view text) {
    const std::string& parameter = script.GetParameter(statement.Id, 2);
    if (parameter.empty()) return;
    const std::string name = NamedVariable(parameter);
    const std::string tag = ActionTag(statement.Command);
    store.Define(name, tag);
    store.Assign(name, text, tag);
}
