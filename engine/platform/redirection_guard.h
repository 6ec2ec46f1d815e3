#pragma once

#include <windows.h>

// The redirection guard: while it lives, a 32-bit engine on 64-bit Windows sees the native file
// system (System32 is not redirected to SysWOW64), when the setup's platform mode asks for it.
//
// It acts only when `native_wanted` (the platform mode is not "Win32") and IsWow64Process
// reports true; it then calls
// Wow64DisableWow64FsRedirection, and its destructor Wow64RevertWow64FsRedirection with the
// saved value, also when the work in between ends with an exception. The three functions are
// looked up in "kernel32.dll" by name: a system without them has no redirection, and a failing
// disable call (a 64-bit process, where it reports ERROR_INVALID_FUNCTION) leaves nothing to
// revert. Redirection is per thread: the guard affects the thread that creates it.
class RedirectionGuard {
  public:
    explicit RedirectionGuard(bool native_wanted);
    ~RedirectionGuard();

    RedirectionGuard(const RedirectionGuard&) = delete;
    RedirectionGuard& operator=(const RedirectionGuard&) = delete;

    // Whether redirection was switched off and is reverted by the destructor.
    bool Active() const { return revert_ != nullptr; }

  private:
    using RevertFunction = BOOL(WINAPI*)(PVOID);
    RevertFunction revert_ = nullptr;
    PVOID old_value_ = nullptr;
};
