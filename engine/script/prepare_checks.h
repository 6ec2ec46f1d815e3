#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "command_table.h"
#include "script_image.h"
#include "variable_store.h"

// The prepare pass's checks of one statement, interpreted from the command table's rows, and
// the messages with which the prepare pass rejects a script.

// Messages of the prepare pass. Where a message names a text, the text follows it.
inline constexpr std::string_view kPrepareSuccess = "Script compiled successfully";
inline constexpr std::string_view kPrepareLabelNested =
    "LABEL statements cannot be nested inside loops/conditionals";
inline constexpr std::string_view kPrepareInsufficientEnd = "Insufficient END statements";
inline constexpr std::string_view kPrepareTooManyEnd = "Too many END statements";
inline constexpr std::string_view kPrepareLabelRedefined = "LABEL re-defined: ";
inline constexpr std::string_view kPrepareLabelUndefined = "LABEL undefined: ";
inline constexpr std::string_view kPrepareVariableRequired = "Variable required";
inline constexpr std::string_view kPrepareVariableNotDefined = "Variable not defined: ";
inline constexpr std::string_view kPrepareWebMediaName =
    "Web Media Block name must be a legal file name";
inline constexpr std::string_view kPrepareWebMediaAddress =
    "Web Media Block must have at least one download URL";
inline constexpr std::string_view kPrepareDeleteMode = "At least one delete mode must be selected";
inline constexpr std::string_view kPrepareTargetFolder =
    "A target folder must be specified for files that are being installed.\r"
    "The value $TARGETDIR$ represents the destination folder chosen by the user.";
inline constexpr std::string_view kPrepareExpressionSyntax =
    "Syntax error in expression. Please review the help topic \"Evaluate Expression\" for the "
    "correct syntax.";
inline constexpr std::string_view kPrepareDialogName = "Dialog name not specified";
inline constexpr std::string_view kPrepareWizardContents =
    "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP";

// The statement index the prepare pass reports for unbalanced End statements.
inline constexpr int kPrepareUnbalancedIndex = 2147483644;

// The marker in Set Variable's parameter 1 before the persistence flag.
inline constexpr std::string_view kPersistenceMarker = "$ZOND$ZOND$";

struct PrepareVerdict {
    bool ok = true;
    std::string message;  // empty when ok
};

// What the checks of one statement read and change.
struct PrepareContext {
    const ScriptImage& script;
    const CommandLookup& commands;
    // The prepare pass's store: checks read it, declarations add to it (tag "Compilation").
    VariableStore& store;
    // The script's labels: parameter 1 of every "Label" statement, disabled ones included,
    // upper-cased (ASCII).
    const std::unordered_set<std::string>& labels;
};

// Applies the per-statement checks of the statement's command, in row order, to one active
// statement, declaring its result variables as it goes; the first check that fails gives the
// verdict and its message. A statement whose name is in neither the table nor the plug-in list,
// and a plug-in statement, pass unchecked. Script-wide checks (IsScriptWideCheck) are passed
// over: the prepare pass makes them over the whole script.
//
// Variable names in parameters: a parameter that names a variable may be written NAME or
// $NAME$; both name NAME, for declarations and definition checks alike. Declared names are
// upper-cased (ASCII) and empty; a name that is empty is neither declared nor, for kDefined,
// found.
PrepareVerdict CheckStatement(const PrepareContext& context, const Statement& statement);

// The legal-file-name rule of a web media block's name: the part after the last backslash or
// colon holds none of / * ? " < > |. An empty name is legal.
bool IsLegalFileName(std::string_view name);

// The persistent-variable declaration of the prepare pass for one Set Variable parameter 1:
// when the parameter holds "$ZOND$ZOND$" followed by exactly "TRUE", and the name before the
// marker (NAME or $NAME$) is not empty and not defined, it is declared upper-cased.
void DeclarePersistentName(VariableStore& store, std::string_view parameter);
