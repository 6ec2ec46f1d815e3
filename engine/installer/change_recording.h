#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "installer_properties.h"
#include "script_image.h"
#include "translations.h"
#include "variable_store.h"

// Change recording. A change-making statement changes nothing when it runs: it records the
// activation property "A" + its command header = "TRUE" and the parameter properties
// "P" + header + "_1", "_2", ... holding its expanded, path-normalised parameters. The setup's
// installer database, which holds every change the script can make, switches a statement's
// changes on and reads their values through these properties when Apply Changes runs the
// installer session. At the start of a run every header is recorded as switched off.

// The script error of a change-making statement that has no command header.
inline constexpr std::string_view kMissingHeaderMessage =
    "Unable to obtain command headers. Please rebuild your project.";

// One parameter property: statement parameter `parameter` (1-based), and, when `translation`
// is not 0, the statement's translation number that replaces it while a language is selected.
struct ParameterProperty {
    std::int8_t parameter = 0;  // 0: unused slot
    std::int8_t translation = 0;
};

// What one change-making command records: its parameter properties in order (the k-th becomes
// "_k"), and whether its handler runs the media fetch between the activation property and the
// parameter properties.
struct RecordingRow {
    std::string_view command;
    std::array<ParameterProperty, 9> properties;  // used slots first
    bool media_fetch;

    std::span<const ParameterProperty> Properties() const;
};

// One row per change-making command.
std::span<const RecordingRow> RecordingTable();
// The row of a command (exact name), or nullptr.
const RecordingRow* FindRecording(std::string_view command);

// The step that runs after the activation property and before the parameter properties (the
// media fetch). It ends the run by throwing when it fails; the activation property then stays
// recorded.
using BeforeParameters = std::function<void()>;

// The recording operations of one run, over the run's property table and PropertyList.
class ChangeRecorder {
public:
    ChangeRecorder(const ScriptImage& script, const VariableStore& store,
                   const Translations& translations, InstallerPropertyTable& table,
                   PropertyList& property_list);

    // *record-property*.
    void RecordProperty(std::string_view name, std::string_view value);

    // *register-headers*: for every statement in script order that has a command header,
    // "A" + header = "FALSE". Statements without a header are passed over.
    void RegisterHeaders();

    // *record-statement* for one change-making statement:
    // 1. each listed parameter is expanded; one with a translation number is, while a language
    //    is selected, replaced by that translation of the statement and expanded again; then it
    //    is path-normalised;
    // 2. without a command header: ScriptError kMissingHeaderMessage, nothing recorded;
    // 3. "A" + header = "TRUE";
    // 4. `before_parameters`, when given;
    // 5. "P" + header + "_" + k = value k, for k = 1, 2, ... in order.
    // A translation beyond the end of the text list is a ScriptError before anything is
    // recorded.
    void RecordStatement(const Statement& statement, std::span<const ParameterProperty> properties,
                         const BeforeParameters& before_parameters = {});
    // The same with the properties of the command's row.
    void RecordStatement(const Statement& statement, const RecordingRow& row,
                         const BeforeParameters& before_parameters = {});

private:
    const ScriptImage& script_;
    const VariableStore& store_;
    const Translations& translations_;
    InstallerPropertyTable& table_;
    PropertyList& property_list_;
};
