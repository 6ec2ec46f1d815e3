#include "plugin_executor_windows.h"

#include "script_thread.h"

WindowsPluginExecutor::WindowsPluginExecutor(ProgressState& progress, HWND wake_window)
    : progress_(progress), wake_window_(wake_window) {}

std::string WindowsPluginExecutor::Execute(const PluginCall& call) {
    HWND window = reinterpret_cast<HWND>(call.window);
    TScriptThread thread(progress_, call.library_path, call.variables, call.data, window,
                         call.native_file_system);
    const std::string& initial_text = call.progress_text;
    const StoreStep store_step = [&thread, &initial_text](ProgressState& progress,
                                                          const WorkerProgress& report) {
        if (thread.HasReported()) {
            progress.StoreProgress(report.status, 0, 100, report.percentage);
        } else {
            progress.StoreProgress(initial_text, 0, 100, -1);
        }
    };
    std::string error;
    const bool ran =
        RunLongOperation(progress_, thread, window ? window : wake_window_, store_step, &error);
    if (!ran) {
        last_error_ = error;
        return call.variables;
    }
    last_error_ = !thread.Failure().empty() ? thread.Failure() : thread.Error();
    return thread.Failure().empty() ? thread.Result() : call.variables;
}
