#pragma once

#include <string>

#include "command_branches.h"
#include "language_selection.h"
#include "plugin_statement.h"
#include "predefined_variables.h"
#include "run_context.h"
#include "runner_platform.h"
#include "session_steps.h"
#include "wizard_dialogs.h"

// The script runner: it checks the script with the prepare pass, initialises the store and the
// session, and runs the statements one by one on the calling (main) thread.
//
// Control flow is not compiled into a tree. The runner keeps a statement pointer (the number of
// statements consumed; the current statement is the one before it) and a few flags, and the
// block statements move the pointer by scanning forward or backward through the flat list:
// - "If" / "Else If" / "Else" / "End" form if / else-if / else chains at every depth: exactly
//   the first branch whose condition is true runs, or the Else branch, and execution goes on
//   after the End. A false condition scans forward to the matching Else, Else If or End (the
//   branch scan); an Else or Else If reached inside a running branch scans to the block's End
//   (the end scan). Disabled and "Ignore" statements never count in a scan.
// - "Wizard Loop" ... "End" shows the dialogs between them one after another; the button pressed
//   moves forward (next), back (back), leaves the loop (cancel: the result variable is
//   "CANCEL"), or keeps the direction (a custom button). Back on the first dialog and next on the
//   last leave the loop.
// - "GoTo Label" resumes at its "Label" and leaves every block and loop.
// Every other statement goes to the branch of its command (CommandBranches) or, for plug-in
// commands, to a plug-in library (plugin_statement.h); a name known to neither does nothing.
//
// Before every statement the runner refreshes the session from the store (LOGGED, SILENT, TITLE,
// ZONDLOGO, DATE, TIME, LANGUAGE with the translations, UNINSTALLLINK) and ABORT from the cancel
// flag. Translations and UNINSTALLLINK are computed again only when their inputs changed or a
// statement may have changed files or the registry since (a statement whose command is not a
// block statement, a variable, condition, query or message command).
//
// A script error (ScriptError) ends the run: unless silent, a message box without owner shows
// "Runtime error in setup script:" CR CR "Line " + statement number + ": " + the error text with
// the message caption. The end of the run then closes the session (session_steps.h). A failed
// prepare pass ends the run at once, without a message.

// What the runner works with besides the run's own state.
struct RunServices {
    RunnerPlatform& platform;
    PluginExecutor& plugins;
    WizardDialogs& dialogs;
    SessionSteps& steps;
    const CommandBranches& branches;
    // Letter-case mapping of the system code page for the If operator "3" (null: ASCII).
    Translations::UpperCaseFunction upper_case = nullptr;
    // The choice of the setup language.
    const TranslationFiles& translation_files;
    ListFolderFiles list_files;
    LanguageDialog& language_dialog;
    std::string user_language_name;  // display name of the user's default language
};

// What start-up hands to a run: the process-wide state and the services.
struct RunEnvironment {
    VariableStore& store;  // command-line overrides already set
    ProgressState& progress;
    Translations& translations;
    SessionState& session;
    // Start-up's facts for the predefined variables (folders, command line, user); the runner
    // adds the script's title, company and version and the current date and time.
    PredefinedFacts facts;
    RunServices services;
};

// RunScript: runs the script to its end. `package_path` is the installer package in the support
// folder (support folder + setup base name + ".msi"); the patch package beside it has the same
// folder and base name and the extension ".msp". The statement media list is the MediaFolder of
// the script's statements. Script errors are reported inside; other exceptions (failures of the
// engine itself) leave it.
void RunScript(ScriptImage& script, const std::string& package_path, RunEnvironment& environment);
