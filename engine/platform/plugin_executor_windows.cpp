#include "plugin_executor_windows.h"

#include "script_thread.h"

namespace {

// Switches file-system redirection off for a 32-bit process on 64-bit Windows while it lives.
// The functions are looked up at run time: systems without them have no redirection.
class NativeFileSystem {
  public:
    explicit NativeFileSystem(bool wanted) {
        if (!wanted || !IsWow64()) return;
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        const auto disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
        revert_ = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
        if (!disable || !revert_ || !disable(&old_value_)) revert_ = nullptr;
    }
    ~NativeFileSystem() {
        if (revert_) revert_(old_value_);
    }
    NativeFileSystem(const NativeFileSystem&) = delete;
    NativeFileSystem& operator=(const NativeFileSystem&) = delete;

  private:
    static bool IsWow64() {
        const auto is_wow64 =
            reinterpret_cast<BOOL(WINAPI*)(HANDLE, PBOOL)>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
        BOOL wow64 = FALSE;
        return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
    }

    BOOL(WINAPI* revert_)(PVOID) = nullptr;
    PVOID old_value_ = nullptr;
};

}  // namespace

WindowsPluginExecutor::WindowsPluginExecutor(ProgressState& progress, HWND wake_window)
    : progress_(progress), wake_window_(wake_window) {}

std::string WindowsPluginExecutor::Execute(const PluginCall& call) {
    HWND window = reinterpret_cast<HWND>(call.window);
    TScriptThread thread(progress_, call.library_path, call.variables, call.data, window);
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
    bool ran;
    {
        const NativeFileSystem native(call.native_file_system);
        ran =
            RunLongOperation(progress_, thread, window ? window : wake_window_, store_step, &error);
    }
    if (!ran) {
        last_error_ = error;
        return call.variables;
    }
    last_error_ = !thread.Failure().empty() ? thread.Failure() : thread.Error();
    return thread.Failure().empty() ? thread.Result() : call.variables;
}
