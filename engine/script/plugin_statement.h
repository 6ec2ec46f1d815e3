#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "run_context.h"
#include "runner_platform.h"
#include "session_steps.h"

// Plug-in statements: a statement whose command is in the script's plug-in list is carried out by
// a library that exports "RunTimeExecute". The runner finds the library, hands it the whole store
// as one comma text on a worker thread (TScriptThread), and imports the text that comes back as
// the new store.

inline constexpr std::string_view kPluginMissingMessage =
    "Unable to load plug-in library. Please rebuild your project and make sure all required "
    "plug-ins are installed.\r\rAction skipped";

// One call of a plug-in library, as the runner hands it to the worker thread.
struct PluginCall {
    std::string library_path;
    std::string variables;            // the export of the store
    std::string data;                 // parameter 1: the plug-in's own data
    std::uintptr_t window = 0;        // the dialog window shown, or 0
    std::string progress_text;        // PROGRESSTEXT: shown until the library reports progress
    bool native_file_system = false;  // platform mode is not "Win32": for a 32-bit engine on a
                                      // 64-bit system, file-system redirection is switched off
                                      // around the call
};

// Runs a plug-in call on a worker thread while the calling (main) thread keeps the user interface
// alive, stores the library's progress and passes cancel requests on.
class PluginExecutor {
  public:
    virtual ~PluginExecutor() = default;
    // The store text the library returned; the exported text itself when the library failed
    // (its first call answered -1, or either call raised an exception or crashed), so that a
    // failure leaves the store unchanged.
    virtual std::string Execute(const PluginCall& call) = 0;
};

// The part of a path after its last backslash or colon.
std::string FileNamePart(std::string_view path);
// The folder that holds a file or folder, with a trailing backslash: "C:\a\b\" for "C:\a\b\c"
// and for "C:\a\b\c\"; empty when the path has no folder part.
std::string ParentFolder(std::string_view path);

// Everything a plug-in statement needs from the run.
struct PluginServices {
    RunnerPlatform& platform;
    PluginExecutor& executor;
    SessionSteps& steps;
};

// Runs one plug-in statement:
// 1. The library: with media folder M and parameter 2 P, the support folder + the file-name part
//    of P when M is empty. Otherwise the bootstrap data folder + M + P, after EnsureMedia when the
//    media layout is 2; for other layouts a missing file means the original setup sources are
//    needed: the folder browser asks for them until the library is found below the chosen folder
//    (chosen folder + M + P) or the user cancels. Still missing: the script error "Original setup
//    sources required to complete operation, sources not found"; found: the folder two levels
//    above it becomes the data folder.
// 2. A library that does not exist: kPluginMissingMessage (error icon, message caption; not in a
//    silent run), and the run goes on.
// 3. Otherwise the call is executed and its result imported: it replaces the whole store.
void RunPluginStatement(RunContext& run, const Statement& statement, PluginServices& services);
