#include "conditions.h"

#include <algorithm>
#include <optional>

#include "integer_text.h"
#include "source_tags.h"
#include "translated_parameter.h"

namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void AsciiUpperInPlace(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) text[i] = AsciiUpper(text[i]);
}

std::string UpperCase(std::string_view text, Translations::UpperCaseFunction upper_case) {
    std::string upper(text);
    (upper_case ? upper_case : AsciiUpperInPlace)(upper.data(), upper.size());
    return upper;
}

bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

bool Contains(std::string_view text, std::string_view part) {
    return !part.empty() && text.find(part) != std::string_view::npos;
}

}  // namespace

bool CompareByOperator(std::string_view code, std::string_view value,
                       std::string_view comparison, Translations::UpperCaseFunction upper_case) {
    const std::optional<std::int32_t> op = ParseIntegerText(code);
    if (!op || *op < 0 || *op > 4) return false;

    const std::optional<std::int32_t> left = ParseIntegerText(value);
    const std::optional<std::int32_t> right = ParseIntegerText(comparison);
    if (left && right) return *op == 2 ? *left > *right : *left == *right;

    switch (*op) {
        case 0: return value == comparison;
        case 1: return Contains(value, comparison);
        // string_view compares bytes as unsigned characters; a proper prefix is smaller.
        case 2: return value.compare(comparison) > 0;
        case 3: return Contains(UpperCase(value, upper_case), UpperCase(comparison, upper_case));
        default: return AsciiEqualIgnoringCase(value, comparison);
    }
}

bool EvaluateCondition(const ScriptImage& script, const Statement& statement,
                       const VariableStore& store, const Translations& translations,
                       Translations::UpperCaseFunction upper_case) {
    std::string variable = script.GetParameter(statement.Id, 1);
    std::string comparison = script.GetParameter(statement.Id, 3);
    if (!store.ReadOrEmpty("LANGUAGE").empty()) {
        variable = TranslatedParameter(translations, variable, statement.Id, 1);
        comparison = TranslatedParameter(translations, comparison, statement.Id, 2);
    }
    std::string name = VariableStore::ReferenceName(variable);
    if (name.empty()) name = variable;

    const std::string value = store.Read(name);
    const std::string expanded = store.Expand(comparison);
    const bool negate = VariableStore::Truth(script.GetParameter(statement.Id, 4));
    const bool result =
        CompareByOperator(script.GetParameter(statement.Id, 2), value, expanded, upper_case);
    return result != negate;
}

void RunEvaluateExpression(const ScriptImage& script, const Statement& statement,
                           VariableStore& store) {
    const std::string tag = ActionTag(statement.Command);
    const std::string& parameter = script.GetParameter(statement.Id, 2);
    std::string name = VariableStore::ReferenceName(parameter);
    if (name.empty()) name = parameter;
    if (!store.IsDefined(name)) store.Declare(UpperCase(name, nullptr), "", tag);

    const std::string expression = store.ExpandQuoted(script.GetParameter(statement.Id, 1));
    store.Assign(name, EvaluateExpression(expression), tag);
}
