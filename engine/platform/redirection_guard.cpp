#include "redirection_guard.h"

namespace {

template <typename Function>
Function Kernel32Function(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

bool RunsUnderWow64() {
    const auto is_wow64 = Kernel32Function<BOOL(WINAPI*)(HANDLE, PBOOL)>("IsWow64Process");
    BOOL wow64 = FALSE;
    return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

RedirectionGuard::RedirectionGuard(bool native_wanted) {
    if (!native_wanted || !RunsUnderWow64()) return;
    const auto disable = Kernel32Function<BOOL(WINAPI*)(PVOID*)>("Wow64DisableWow64FsRedirection");
    const auto revert = Kernel32Function<RevertFunction>("Wow64RevertWow64FsRedirection");
    if (disable && revert && disable(&old_value_)) revert_ = revert;
}

RedirectionGuard::~RedirectionGuard() {
    if (revert_) revert_(old_value_);
}
