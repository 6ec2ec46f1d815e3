#include "change_recording.h"

#include <algorithm>
#include <string>
#include <vector>

#include "script_error.h"
#include "translated_parameter.h"

namespace {

constexpr ParameterProperty P(int parameter, int translation = 0) {
    return {static_cast<std::int8_t>(parameter), static_cast<std::int8_t>(translation)};
}

constexpr bool kMediaFetch = true;

// "_k" = the k-th entry; P(n, t) is parameter n, replaced by translation t while a language is
// selected.
// clang-format off
constexpr RecordingRow kRows[] = {
    {"Install Files", {P(3)}, kMediaFetch},
    {"Install Assembly", {P(3)}, kMediaFetch},
    {"Install ODBC Driver", {P(4)}, kMediaFetch},
    {"Create ODBC DSN", {}, false},
    {"Create Shortcut", {P(3), P(1), P(5), P(6)}, false},
    {"Advertised Shortcut", {P(3), P(1), P(5), P(6)}, false},
    {"Create File Type", {P(1, 1), P(2), P(3, 2), P(4), P(5)}, false},
    {"Advertised File Type", {}, false},
    {"Write Registry", {P(3), P(4), P(5)}, false},
    {"Create Folder", {P(1)}, false},
    {"Copy/Move Local Files", {P(1), P(3)}, false},
    {"Delete Files", {P(1)}, false},
    {"Edit INI File", {P(1), P(4), P(5), P(6)}, false},
    {"Set Environment", {P(2)}, false},
    {"Control Service", {P(1, 1), P(2)}, false},
    {"Install Service",
     {P(2), P(4, 1), P(5, 2), P(9, 4), P(10, 5), P(13), P(14), P(15), P(6, 3)},
     kMediaFetch},
};
// clang-format on

}  // namespace

std::span<const ParameterProperty> RecordingRow::Properties() const {
    const auto used = std::find_if(properties.begin(), properties.end(),
                                   [](const ParameterProperty& p) { return p.parameter == 0; });
    return {properties.data(), static_cast<std::size_t>(used - properties.begin())};
}

std::span<const RecordingRow> RecordingTable() {
    return kRows;
}

const RecordingRow* FindRecording(std::string_view command) {
    const auto found =
        std::find_if(std::begin(kRows), std::end(kRows),
                     [&](const RecordingRow& row) { return row.command == command; });
    return found == std::end(kRows) ? nullptr : found;
}

ChangeRecorder::ChangeRecorder(const ScriptImage& script, const VariableStore& store,
                               const Translations& translations, InstallerPropertyTable& table,
                               PropertyList& property_list)
    : script_(script),
      store_(store),
      translations_(translations),
      table_(table),
      property_list_(property_list) {}

void ChangeRecorder::RecordProperty(std::string_view name, std::string_view value) {
    ::RecordProperty(table_, property_list_, name, value);
}

void ChangeRecorder::RegisterHeaders() {
    for (const Statement& statement : script_.Statements) {
        const std::string header = script_.GetCommandHeader(statement.Index);
        if (!header.empty()) RecordProperty("A" + header, "FALSE");
    }
}

void ChangeRecorder::RecordStatement(const Statement& statement,
                                     std::span<const ParameterProperty> properties,
                                     const BeforeParameters& before_parameters) {
    const bool translating = !translations_.SelectedLanguage().empty();
    std::vector<std::string> values;
    values.reserve(properties.size());
    for (const ParameterProperty& property : properties) {
        std::string value = store_.Expand(script_.GetParameter(statement.Id, property.parameter));
        if (property.translation != 0 && translating) {
            value = store_.Expand(
                TranslatedParameter(translations_, value, statement.Id, property.translation));
        }
        values.push_back(store_.PathNormalise(value));
    }

    const std::string header = script_.GetCommandHeader(statement.Index);
    if (header.empty()) throw ScriptError(std::string(kMissingHeaderMessage));

    RecordProperty("A" + header, "TRUE");
    if (before_parameters) before_parameters();
    for (std::size_t k = 0; k < values.size(); ++k) {
        RecordProperty("P" + header + "_" + std::to_string(k + 1), values[k]);
    }
}

void ChangeRecorder::RecordStatement(const Statement& statement, const RecordingRow& row,
                                     const BeforeParameters& before_parameters) {
    RecordStatement(statement, row.Properties(), before_parameters);
}
