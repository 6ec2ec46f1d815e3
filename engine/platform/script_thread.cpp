#include "script_thread.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "redirection_guard.h"

namespace {

std::int32_t g_plugin_slot = 0;

// The worker whose library is running; the callback has no other way to find it.
std::atomic<TScriptThread*> g_active{nullptr};

// The longest progress text taken from a library; the rest is cut off.
constexpr std::size_t kProgressTextLimit = 64 * 1024;

// Owns a loaded library; frees it when it goes.
class LoadedLibrary {
  public:
    explicit LoadedLibrary(HMODULE module) : module_(module) {}
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    HMODULE get() const { return module_; }

  private:
    HMODULE module_;
};

// Marks `worker` as the running plug-in call for the callback while it lives.
class ActiveCall {
  public:
    explicit ActiveCall(TScriptThread* worker) { g_active.store(worker); }
    ~ActiveCall() { g_active.store(nullptr); }
    ActiveCall(const ActiveCall&) = delete;
    ActiveCall& operator=(const ActiveCall&) = delete;
};

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string CallFailure(const char* which, const GuardedCall& call) {
    return std::string("RunTimeExecute raised exception ") + Hex(call.exception_code) + " in the " +
           which + " call";
}

}  // namespace

std::int32_t* PluginSlot() {
    return &g_plugin_slot;
}

TScriptThread::TScriptThread(ProgressState& progress, std::string library_path,
                             std::string variables, std::string data, HWND window,
                             bool native_file_system)
    : LongOperationWorker(progress),
      library_path_(std::move(library_path)),
      variables_(std::move(variables)),
      data_(std::move(data)),
      window_(window),
      native_file_system_(native_file_system),
      result_(variables_) {}

std::int32_t __stdcall TScriptThread::ProgressCallback(std::int32_t position, const char* text) {
    TScriptThread* worker = g_active.load();
    if (!worker) return 0;
    try {
        std::string status;
        if (text) status.assign(text, strnlen(text, kProgressTextLimit));
        const bool go_on = worker->Report(position, std::move(status));
        worker->reported_.store(true);
        return go_on ? 1 : 0;
    } catch (...) {
        return 0;  // nothing may escape into the library
    }
}

void TScriptThread::Run() {
    const RedirectionGuard guard(native_file_system_);
    const LoadedLibrary library(LoadLibraryA(library_path_.c_str()));
    if (!library.get()) {
        error_ = "LoadLibraryA failed for " + library_path_ + ", error " +
                 std::to_string(GetLastError());
        return;
    }
    const auto function = reinterpret_cast<RunTimeExecuteFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "RunTimeExecute")));
    if (!function) {
        error_ = "RunTimeExecute not found in " + library_path_;
        return;
    }
    const ActiveCall active(this);
    try {
        Call(function);
    } catch (const std::exception& failure) {
        error_ = std::string("RunTimeExecute threw: ") + failure.what();
        result_ = variables_;
    } catch (...) {
        error_ = "RunTimeExecute threw an exception";
        result_ = variables_;
    }
}

void TScriptThread::Call(RunTimeExecuteFunction function) {
    const GuardedCall length =
        CallRunTimeExecute(function, window_, variables_.c_str(), data_.c_str(), &ProgressCallback,
                           PluginSlot(), nullptr);
    if (!length.completed) {
        error_ = CallFailure("first", length);
        return;
    }
    if (length.result < 0 || length.result > kPluginResultLimit) {
        error_ = "RunTimeExecute answered " + std::to_string(length.result);
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length.result) + 1, '\0');
    const GuardedCall text =
        CallRunTimeExecute(function, window_, variables_.c_str(), data_.c_str(), &ProgressCallback,
                           PluginSlot(), buffer.data());
    if (!text.completed) {
        error_ = CallFailure("second", text);
        return;
    }
    result_.assign(buffer.data(), strnlen(buffer.data(), static_cast<std::size_t>(length.result)));
}
