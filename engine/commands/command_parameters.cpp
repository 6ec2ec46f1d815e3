#include "command_parameters.h"

#include <optional>

#include "integer_text.h"
#include "script_error.h"
#include "variable_store.h"

const std::string& Parameter(const RunContext& run, const Statement& statement, int number) {
    return run.script.GetParameter(statement.Id, number);
}

std::string NamedVariable(std::string_view parameter) {
    std::string name = VariableStore::ReferenceName(parameter);
    return name.empty() ? std::string(parameter) : name;
}

std::string UpperCaseName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::int32_t IntegerOrScriptError(std::string_view text) {
    const std::optional<std::int32_t> value = ParseIntegerText(text);
    if (!value) throw ScriptError("'" + std::string(text) + "' is not a valid integer value");
    return *value;
}
