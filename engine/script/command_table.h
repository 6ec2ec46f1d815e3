#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

// The command table: every command name the engine recognises, with what the runner needs to
// know about it. The runner dispatches on the exact, case-sensitive name; a name that is in
// neither this table nor the script's plug-in list does nothing when it runs and passes the
// prepare pass unchecked.
//
// Each row holds:
// - `name`: the command as the compiled script writes it;
// - `kind`: who acts and when (CommandKind);
// - `parameters`: the highest parameter number the engine reads for the command, at run time
//   or in the prepare pass (a statement may carry more parameter lines; they are ignored);
// - `checks`: what the prepare pass checks or declares for an active statement of this
//   command, in the order in which it applies them (PrepareCheck);
// - `family`: the part of the engine that supplies the command's handler (CommandFamily).
//
// Which families have their handlers built is said in one place: IsFamilyBuilt.

enum class CommandKind : std::uint8_t {
    kBlock,          // handled by the runner itself: it moves the statement pointer
    kImmediate,      // acts when the statement runs
    kQueued,         // change-making: has a command header and only records installer
                     // properties when it runs; Apply Changes carries the change out
    kNone,           // does nothing when it runs
    kNeverExecuted,  // never runs, and is transparent to every scan ("Ignore")
    kPlugin,         // carried out by a plug-in library on a script thread
};

enum class CommandFamily : std::uint8_t {
    kNothing,         // commands that do nothing: no handler is needed
    kRunner,          // block statements and plug-in calls, handled by the runner
    kConditions,      // Evaluate Expression
    kVariables,       // variable, string and arithmetic commands
    kFiles,           // file, folder, text-file and INI commands
    kRegistry,        // registry and environment commands
    kSystemQueries,   // queries of the operating system, hardware and folders
    kComponents,      // the component model
    kPrograms,        // programs, processes and services
    kScheduledTasks,  // scheduled tasks
    kServer,          // network shares, access control, web server sites and folders
    kMessages,        // dialogs, message boxes, tray, termination and reboot
    kMedia,           // web media blocks and archive extraction
    kInstaller,       // install actions, Apply Changes, Apply Patch, installer queries
    kSetupInstance,   // the setup instance: 64-bit mode
};

// The checks of the prepare pass, as named kinds that the prepare pass interprets
// (prepare_checks.h). `parameter` and `other` are parameter numbers (1-based).
enum class PrepareCheckKind : std::uint8_t {
    kEmpty,  // unused slot of a row

    // Checks of one statement.
    kDeclares,              // parameter names a result variable: declared, upper-cased and
                            // empty, when it is not empty and not yet defined
    kDeclaresBeforeMarker,  // as kDeclares for the part of the parameter before "$ZOND$ZOND$"
                            // (the whole parameter when it holds no marker)
    kRequires,              // parameter must not be empty: "Variable required"
    kDefined,               // parameter must name a defined variable: "Variable not defined: "
    kDefinedWhenReference,  // as kDefined, but only when the parameter is written $NAME$
    kDefinedWhenNotEmpty,   // as kDefined, but only when the parameter is not empty
    kExpressionSyntax,      // parameter, with every "$" made a double quote, is an expression
    kDialogName,            // parameter must not be empty: "Dialog name not specified"
    kTargetFolder,          // parameter must not be empty: the target-folder message
    kDeleteMode,            // parameter or `other` must be true: the delete-mode message
    kLegalFileName,         // parameter is a legal file name (empty is legal)
    kDownloadAddress,       // when parameter is not empty, `other` must not be empty
    kLabelExists,           // parameter, upper-cased, is a label of the script

    // Checks that the prepare pass makes over the whole script, not per statement.
    kOpener,          // opens a block that an "End" closes
    kCloser,          // closes the innermost open block
    kUniqueLabel,     // parameter, upper-cased, names no other label of the script
    kOutsideBlocks,   // the statement must not stand inside an If or Wizard Loop block
    kWizardContents,  // only dialogs, comments, disabled and ignored statements inside
};

struct PrepareCheck {
    PrepareCheckKind kind = PrepareCheckKind::kEmpty;
    std::int8_t parameter = 0;
    std::int8_t other = 0;
};

// True for the kinds that the prepare pass makes over the whole script.
bool IsScriptWideCheck(PrepareCheckKind kind);

struct CommandRow {
    std::string_view name;
    CommandKind kind;
    std::int8_t parameters;
    CommandFamily family;
    std::array<PrepareCheck, 4> checks;  // used slots first, then kEmpty

    // The used slots of `checks`, in order.
    std::span<const PrepareCheck> Checks() const;
};

// Every row of the table, grouped as the engine's subsystems are (plug-in commands are not
// rows: their names come from the script).
std::span<const CommandRow> CommandTable();

// The row of the table with exactly this name, or nullptr. Constant time.
const CommandRow* FindCommand(std::string_view name);

// The row that stands for every command of a script's plug-in list: two parameters (the
// plug-in's own data, then the library names), kind kPlugin, handled by the runner.
const CommandRow& PluginCommandRow();

// Whether the handlers of a family are built. A statement whose family is not built does
// nothing when it runs (the prepare pass still applies its checks).
bool IsFamilyBuilt(CommandFamily family);

// The commands of one script: its plug-in list, then the table. Built once per run; every
// look-up is constant time.
class CommandLookup {
public:
    explicit CommandLookup(std::span<const std::string> plugin_commands);

    // The row that runs a statement named `name`: PluginCommandRow() when the name is in the
    // plug-in list (exactly), otherwise FindCommand(name); nullptr for a name in neither, which
    // does nothing.
    const CommandRow* Find(std::string_view name) const;

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const;
    };
    std::unordered_set<std::string, TextHash, std::equal_to<>> plugins_;
};
