#include "command_table.h"

#include <algorithm>
#include <unordered_map>

namespace {

using K = CommandKind;
using F = CommandFamily;
using C = PrepareCheckKind;

constexpr PrepareCheck Check(C kind, int parameter = 0, int other = 0) {
    return {kind, static_cast<std::int8_t>(parameter), static_cast<std::int8_t>(other)};
}
constexpr PrepareCheck Declares(int n) {
    return Check(C::kDeclares, n);
}
constexpr PrepareCheck Requires(int n) {
    return Check(C::kRequires, n);
}
constexpr PrepareCheck Defined(int n) {
    return Check(C::kDefined, n);
}

// One row per command. Within a row the checks apply in the order written; the first that
// fails gives the message. "If" and "Else If" test parameter 3 before the definition of
// parameter 1, so that a statement failing both reports parameter 3, and test that parameter 1
// is not empty before either.
// clang-format off
constexpr CommandRow kRows[] = {
    // Script engine and block statements.
    {"If", K::kBlock, 4, F::kRunner,
     {Requires(1), Check(C::kDefinedWhenReference, 3), Defined(1), Check(C::kOpener)}},
    {"Else If", K::kBlock, 4, F::kRunner,
     {Requires(1), Check(C::kDefinedWhenReference, 3), Defined(1)}},
    {"Else", K::kBlock, 0, F::kRunner, {}},
    {"End", K::kBlock, 0, F::kRunner, {Check(C::kCloser)}},
    {"Wizard Loop", K::kBlock, 0, F::kRunner, {Check(C::kOpener), Check(C::kWizardContents)}},
    {"Label", K::kBlock, 1, F::kRunner, {Check(C::kUniqueLabel, 1), Check(C::kOutsideBlocks)}},
    {"GoTo Label", K::kBlock, 1, F::kRunner, {Check(C::kLabelExists, 1)}},
    {"Evaluate Expression", K::kImmediate, 2, F::kConditions,
     {Declares(2), Check(C::kExpressionSyntax, 1)}},
    {"Comment", K::kNone, 1, F::kNothing, {}},
    {"Code Folding Region", K::kNone, 2, F::kNothing, {}},
    {"Compiler Variable End", K::kNone, 0, F::kNothing, {}},
    {"Ignore", K::kNeverExecuted, 0, F::kNothing, {}},

    // Variables and text.
    {"Set Variable", K::kImmediate, 2, F::kVariables, {Check(C::kDeclaresBeforeMarker, 1)}},
    {"Localization Variable", K::kImmediate, 2, F::kVariables, {Declares(1)}},
    {"Get Temporary File", K::kImmediate, 1, F::kVariables, {Declares(1)}},
    {"Convert Path", K::kImmediate, 2, F::kVariables, {Defined(1)}},
    {"Convert Case", K::kImmediate, 2, F::kVariables, {Defined(1)}},
    {"Replace String", K::kImmediate, 5, F::kVariables, {Defined(1)}},
    {"Extract Path", K::kImmediate, 2, F::kVariables, {Defined(1)}},
    {"Parse String", K::kImmediate, 7, F::kVariables, {Declares(3), Declares(4)}},
    {"Mathematics", K::kImmediate, 4, F::kVariables, {Declares(4)}},

    // Files, folders, text and INI files.
    {"Create Folder", K::kQueued, 1, F::kFiles, {}},
    {"Copy/Move Local Files", K::kQueued, 3, F::kFiles, {}},
    {"Delete Files", K::kQueued, 4, F::kFiles, {Check(C::kDeleteMode, 3, 4)}},
    {"Delete Files Recursive", K::kImmediate, 1, F::kFiles, {}},
    {"Does File/Folder Exist", K::kImmediate, 3, F::kFiles, {Declares(1)}},
    {"Find All Files", K::kImmediate, 4, F::kFiles, {Requires(4), Declares(4)}},
    {"Check Disk Space", K::kImmediate, 3, F::kFiles, {Requires(1), Declares(1)}},
    {"Get File Version", K::kImmediate, 2, F::kFiles, {Declares(2)}},
    {"Check File Version", K::kImmediate, 5, F::kFiles, {Declares(1)}},
    {"Read from Text File", K::kImmediate, 3, F::kFiles, {Declares(2), Declares(3)}},
    {"Write to Text File", K::kImmediate, 3, F::kFiles, {}},
    {"Edit INI File", K::kQueued, 6, F::kFiles, {}},
    {"Get INI File Settings", K::kImmediate, 4, F::kFiles, {Declares(1)}},

    // Registry and environment.
    {"Read Registry", K::kImmediate, 4, F::kRegistry, {Declares(1)}},
    {"Check Registry", K::kImmediate, 4, F::kRegistry, {Declares(1)}},
    {"Write Registry", K::kQueued, 5, F::kRegistry, {}},
    {"Delete Registry", K::kImmediate, 4, F::kRegistry, {}},
    {"Set Environment", K::kQueued, 2, F::kRegistry, {}},
    {"Get Environment", K::kImmediate, 2, F::kRegistry, {Declares(2)}},

    // System queries.
    {"Get System Settings", K::kImmediate, 2, F::kSystemQueries, {Declares(1)}},
    {"Get OS or SP Level", K::kImmediate, 2, F::kSystemQueries, {Declares(1)}},
    {"Get Folder Location", K::kImmediate, 3, F::kSystemQueries, {Declares(1)}},

    // Components.
    {"Define Component", K::kImmediate, 3, F::kComponents, {}},
    {"Delete Component", K::kImmediate, 1, F::kComponents, {}},
    {"Get Component State", K::kImmediate, 2, F::kComponents, {Declares(2)}},
    {"Set Component State", K::kImmediate, 2, F::kComponents, {}},
    {"Get Component Space", K::kImmediate, 2, F::kComponents, {Declares(2)}},
    {"Set Component Space", K::kImmediate, 2, F::kComponents, {}},
    {"Set Component Choice", K::kImmediate, 2, F::kComponents, {}},
    {"Set Component Visibility", K::kImmediate, 2, F::kComponents, {}},
    {"Save Feature Selections", K::kImmediate, 1, F::kComponents, {}},
    {"Load Feature Selections", K::kImmediate, 1, F::kComponents, {}},

    // Programs, processes, services and scheduled tasks.
    {"Run Program", K::kImmediate, 5, F::kPrograms, {Declares(5)}},
    {"Run Program As", K::kImmediate, 10, F::kPrograms, {Declares(8)}},
    {"Run Light Mode Setup", K::kImmediate, 4, F::kPrograms, {Declares(2)}},
    {"Register Library", K::kImmediate, 3, F::kPrograms, {Declares(3)}},
    {"Check Process", K::kImmediate, 2, F::kPrograms, {Declares(2)}},
    {"Terminate Program", K::kImmediate, 2, F::kPrograms, {}},
    {"Check Service", K::kImmediate, 3, F::kPrograms, {Declares(3)}},
    {"Control Service", K::kQueued, 2, F::kPrograms, {}},
    {"Install Service", K::kQueued, 15, F::kPrograms, {}},
    {"Schedule Task", K::kImmediate, 14, F::kScheduledTasks, {}},
    {"Delete Scheduled Task", K::kImmediate, 2, F::kScheduledTasks, {}},

    // Server configuration.
    {"Create Share", K::kImmediate, 3, F::kServer, {}},
    {"Delete Share", K::kImmediate, 1, F::kServer, {}},
    {"Set Access Control", K::kImmediate, 16, F::kServer, {}},
    {"Create IIS Site", K::kImmediate, 15, F::kServer, {}},
    {"Delete IIS Site", K::kImmediate, 1, F::kServer, {}},
    {"Control IIS Site", K::kImmediate, 2, F::kServer, {}},
    {"Create Virtual Folder", K::kImmediate, 18, F::kServer, {}},
    {"Delete Virtual Folder", K::kImmediate, 2, F::kServer, {}},
    {"Get IIS Site List", K::kImmediate, 1, F::kServer, {Declares(1)}},
    {"Get IIS Site Index", K::kImmediate, 2, F::kServer, {Declares(2)}},
    {"Get IIS Property", K::kImmediate, 6, F::kServer, {Declares(6)}},
    {"Set IIS Property", K::kImmediate, 6, F::kServer, {}},
    {"IIS Anonymous User", K::kImmediate, 1, F::kServer, {Declares(1)}},

    // User interface, termination and reboot.
    {"Display Dialog", K::kImmediate, 6, F::kMessages,
     {Check(C::kDialogName, 1), Declares(2), Check(C::kDefinedWhenNotEmpty, 4)}},
    {"Hide Dialog", K::kImmediate, 0, F::kMessages, {}},
    {"MessageBox", K::kImmediate, 5, F::kMessages, {Declares(5)}},
    {"MessageBalloon", K::kImmediate, 4, F::kMessages, {}},
    {"System Tray", K::kImmediate, 4, F::kMessages, {}},
    {"Terminate Install", K::kImmediate, 0, F::kMessages, {}},
    {"Terminate with Exit Code", K::kImmediate, 1, F::kMessages, {}},
    {"Reboot Computer", K::kImmediate, 0, F::kMessages, {}},
    {"Reboot and Resume", K::kImmediate, 0, F::kMessages, {}},

    // Setup media.
    {"Web Media Block", K::kImmediate, 2, F::kMedia,
     {Check(C::kLegalFileName, 1), Check(C::kDownloadAddress, 1, 2)}},
    {"Extract 7Zip Archive", K::kImmediate, 6, F::kMedia, {Declares(3)}},

    // Windows Installer.
    {"Install Files", K::kQueued, 3, F::kInstaller, {Check(C::kTargetFolder, 3)}},
    {"Install Assembly", K::kQueued, 3, F::kInstaller, {}},
    {"Create Shortcut", K::kQueued, 6, F::kInstaller, {}},
    {"Advertised Shortcut", K::kQueued, 6, F::kInstaller, {}},
    {"Create File Type", K::kQueued, 5, F::kInstaller, {}},
    {"Advertised File Type", K::kQueued, 3, F::kInstaller, {}},
    {"Create ODBC DSN", K::kQueued, 0, F::kInstaller, {}},
    {"Install ODBC Driver", K::kQueued, 4, F::kInstaller, {}},
    {"Generate Native Images", K::kImmediate, 1, F::kInstaller, {}},
    {"Run .NET Installer Class", K::kImmediate, 2, F::kInstaller, {}},
    {"Register Assembly", K::kImmediate, 1, F::kInstaller, {}},
    {"Is MSI Setup Installed", K::kImmediate, 2, F::kInstaller, {Requires(2), Declares(2)}},
    {"Apply Changes", K::kImmediate, 4, F::kInstaller, {Declares(2)}},
    {"Apply Patch", K::kImmediate, 1, F::kInstaller, {Declares(1)}},

    // Setup instance.
    {"Set 64 Bit Mode", K::kImmediate, 3, F::kSetupInstance, {}},
    {"Transform Instance", K::kImmediate, 0, F::kInstaller, {}},
};
// clang-format on

constexpr CommandRow kPluginRow = {"", K::kPlugin, 2, F::kRunner, {}};

// The families whose handlers exist. This is the one list to extend when a family's handlers
// are built; rows of every other family do nothing when they run.
constexpr CommandFamily kBuiltFamilies[] = {
    F::kNothing,
    F::kRunner,
    F::kConditions,
    F::kVariables,
};

using RowIndex = std::unordered_map<std::string_view, const CommandRow*>;

const RowIndex& Index() {
    static const RowIndex index = [] {
        RowIndex built;
        built.reserve(std::size(kRows));
        for (const CommandRow& row : kRows) built.emplace(row.name, &row);
        return built;
    }();
    return index;
}

}  // namespace

bool IsScriptWideCheck(PrepareCheckKind kind) {
    switch (kind) {
        case C::kOpener:
        case C::kCloser:
        case C::kUniqueLabel:
        case C::kOutsideBlocks:
        case C::kWizardContents:
            return true;
        default:
            return false;
    }
}

std::span<const PrepareCheck> CommandRow::Checks() const {
    const auto used = std::find_if(checks.begin(), checks.end(), [](const PrepareCheck& check) {
        return check.kind == C::kEmpty;
    });
    return {checks.data(), static_cast<std::size_t>(used - checks.begin())};
}

std::span<const CommandRow> CommandTable() {
    return kRows;
}

const CommandRow* FindCommand(std::string_view name) {
    const RowIndex& index = Index();
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

const CommandRow& PluginCommandRow() {
    return kPluginRow;
}

std::size_t CommandLookup::TextHash::operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
}

bool IsFamilyBuilt(CommandFamily family) {
    return std::find(std::begin(kBuiltFamilies), std::end(kBuiltFamilies), family) !=
           std::end(kBuiltFamilies);
}

CommandLookup::CommandLookup(std::span<const std::string> plugin_commands)
    : plugins_(plugin_commands.begin(), plugin_commands.end()) {}

const CommandRow* CommandLookup::Find(std::string_view name) const {
    if (plugins_.find(name) != plugins_.end()) return &kPluginRow;
    return FindCommand(name);
}
