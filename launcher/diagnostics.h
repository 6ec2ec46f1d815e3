#pragma once

// The launcher's skeleton services: the diagnostic log, Fail with its help texts, and Exit
// under the exit lock.

namespace pantrix {

struct LaunchIdentity;

// Records the start time for the log and sets up the exit lock. Call first.
void DiagnosticsStart();
// Fixes the program title (AppName + " (" + ExeName + ")") and the help texts' names.
void DiagnosticsSetIdentity(const LaunchIdentity& identity);
void DiagnosticsSetLogEnabled(bool enabled);
void DiagnosticsSetQuiet(bool quiet);
bool DiagnosticsQuiet();
bool DiagnosticsLogEnabled();
// Whether a Java runtime installer was extracted; chooses the install note of Java errors.
void DiagnosticsSetJavaInstallerSet(bool set);

// The application's display name (AppName of the launch record).
const char* DiagnosticsAppName();
// A message box with no owner, captioned with the program title; icon is an MB_ICON* flag.
void ShowMessageBox(const char* text, unsigned icon);

// When the log is enabled: "!" + message + " [" + milliseconds since start + "]" + CR LF on
// standard output, flushed. The message is cut at 32768 characters.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows a numbered message: "ERROR #" + message and its help text on standard output and in
// an error message box captioned with the program title. Quiet runs show nothing.
void Fail(const char* message);

using ExitAction = void (*)(void* context);
// The action Exit runs before it ends the process (the start of the clean-up process).
void SetExitAction(ExitAction action, void* context);

// Runs once: the first thread to call it holds the exit lock for good, so any later caller
// blocks until the process ends. Logs "C.exiting", runs the exit action, logs the exit code
// and the bytes still held by the launcher's own allocations, and ends the process.
[[noreturn]] void Exit(int code);

}  // namespace pantrix
