#pragma once

#include <windows.h>

#include <string>

#include "plugin_statement.h"
#include "progress.h"

// The plug-in calls on Windows: each call runs on a TScriptThread as a long operation
// (long_operation.h). While it runs the main thread stores the library's progress text and
// position for the display (PROGRESSTEXT and text-only until the library first reports),
// processes one message per pass (in a silent run it waits for the thread) and passes a cancel
// request on to the thread, whose progress callback then answers 0.
//
// When the platform mode asks for it and the engine is a 32-bit process on a 64-bit system,
// file-system redirection is switched off for the call (the redirection guard, held by the
// worker thread that calls the library) so that the library sees the native system folders.
// The engine makes no registry call of its own while the library runs, so no registry view is
// switched.
class WindowsPluginExecutor : public PluginExecutor {
  public:
    // `wake_window`: a window of the main thread that the worker's wake-up (WM_NULL) goes to when
    // no dialog window is shown; may be null.
    WindowsPluginExecutor(ProgressState& progress, HWND wake_window = nullptr);

    std::string Execute(const PluginCall& call) override;

    // Why the last call failed (the library's failure, or the thread that could not start);
    // empty after a success.
    const std::string& LastError() const { return last_error_; }

  private:
    ProgressState& progress_;
    HWND wake_window_;
    std::string last_error_;
};
