#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "long_operation.h"
#include "plugin_guard.h"

// TScriptThread: the worker that carries out one plug-in statement. It loads the library,
// obtains its export "RunTimeExecute" and calls it twice (plugin_guard.h): first without a buffer
// for the length of the result, then, unless that was -1, with a buffer of length + 1 bytes for
// the result text, the new store. The library then is unloaded.
//
// A failure (the library or its export missing, -1 from the first call, an exception or crash in
// either call, a length beyond kPluginResultLimit) makes the result the exported store text
// itself, so the store stays unchanged; Error() says what happened.
//
// The progress callback stores the library's position and text as the worker's report (under
// the progress lock, waking the main thread) and answers 1, or 0 once cancel was requested. Only
// one plug-in call runs at a time in the process; the callback finds it through a process-wide
// pointer.
//
// With `native_file_system` (the platform mode is not "Win32") the worker holds the redirection
// guard (redirection_guard.h) while it loads and calls the library. Redirection is switched per
// thread, so the guard belongs on the worker: on the main thread it would not reach the
// library's file operations.
class TScriptThread : public LongOperationWorker {
  public:
    // The longest result text that is accepted; a longer answer is a failure.
    static constexpr std::int32_t kPluginResultLimit = 64 << 20;

    TScriptThread(ProgressState& progress, std::string library_path, std::string variables,
                  std::string data, HWND window, bool native_file_system = false);

    // After the operation: the new store as comma text (the exported text after a failure).
    const std::string& Result() const { return result_; }
    // Why the call failed; empty when it succeeded.
    const std::string& Error() const { return error_; }
    // Whether the library has reported progress through the callback.
    bool HasReported() const { return reported_.load(); }

  protected:
    void Run() override;

  private:
    static std::int32_t __stdcall ProgressCallback(std::int32_t position, const char* text);
    void Call(RunTimeExecuteFunction function);

    const std::string library_path_;
    const std::string variables_;
    const std::string data_;
    const HWND window_;
    const bool native_file_system_;
    std::string result_;
    std::string error_;
    std::atomic<bool> reported_{false};
};

// The process-wide 32-bit slot handed to every plug-in call: 0 when the program starts; the
// engine never reads or writes it.
std::int32_t* PluginSlot();
