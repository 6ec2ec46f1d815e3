#include "plugin_guard.h"

// The guard is a structured exception handler on the frame of the guarding function, so it only
// sees exceptions that the library lets escape, after the library's own handlers had their turn.
// GCC has no __try/__except, so the handler is installed by hand:
// - x86-64: table-based. The function's unwind data names __C_specific_handler with one scope
//   entry (start, end, filter, jump target); the filter accepts every exception, and the system
//   unwinds the library's frames and resumes at the end label with this function's frame and
//   non-volatile registers restored. Results cross the label through volatile locals only.
// - x86: frame-based. A registration record on this function's stack is linked into the
//   thread's exception list around the call; its handler unwinds the frames above it (RtlUnwind)
//   and jumps back into this function with __builtin_longjmp.
// Only one guarded function may exist in this file: the labels of the x86-64 scope are fixed.

namespace {

volatile std::uint32_t g_last_code = 0;  // written by the filter of the running guarded call

// C++ exceptions of a GCC-built library (throw, and the resumption of its unwinding) are left to
// the C++ handlers of the calling code: GCC's unwinder only finishes its cleanups soundly when
// a GCC frame catches.
constexpr DWORD kGccThrow = 0x20474343;
constexpr DWORD kGccUnwind = 0x21474343;

bool LeftToCxxHandlers(DWORD code) {
    return code == kGccThrow || code == kGccUnwind;
}

}  // namespace

#if defined(__x86_64__)

extern "C" LONG PluginGuardFilter(EXCEPTION_POINTERS* pointers, void*) {
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if (LeftToCxxHandlers(code)) return EXCEPTION_CONTINUE_SEARCH;
    g_last_code = code;
    return EXCEPTION_EXECUTE_HANDLER;
}

__attribute__((noinline)) GuardedCall CallRunTimeExecute(RunTimeExecuteFunction function,
                                                         HWND window, const char* variables,
                                                         const char* data,
                                                         PluginProgressCallback progress,
                                                         std::int32_t* slot, char* buffer) {
    volatile std::int32_t result = -1;
    volatile bool completed = false;
    g_last_code = 0;
    __asm__ __volatile__(
        ".Lplugin_guard_start:\n"
        "\t.seh_handler __C_specific_handler, @except\n"
        "\t.seh_handlerdata\n"
        "\t.long 1\n"
        "\t.rva .Lplugin_guard_start, .Lplugin_guard_end, PluginGuardFilter, "
        ".Lplugin_guard_end\n"
        "\t.text\n" ::
            : "memory");
    result = function(window, variables, data, progress, slot, buffer);
    completed = true;
    __asm__ __volatile__("\tnop\n.Lplugin_guard_end:\n\tnop\n" ::: "memory");
    GuardedCall call;
    call.completed = completed;
    call.result = completed ? result : -1;
    call.exception_code = completed ? 0 : g_last_code;
    return call;
}

#elif defined(__i386__)

namespace {

struct GuardRegistration {
    EXCEPTION_REGISTRATION_RECORD record;  // first: the system passes its address as the frame
    void* resume[5];                       // __builtin_setjmp buffer
};

// Declared as the SDK declares exception routines (NTAPI); the system restores the stack pointer
// after calling a handler, whichever convention the handler follows.
extern "C" EXCEPTION_DISPOSITION NTAPI PluginGuardHandler(EXCEPTION_RECORD* exception, void* frame,
                                                          CONTEXT*, void*) {
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        return ExceptionContinueSearch;
    }
    if (LeftToCxxHandlers(exception->ExceptionCode)) return ExceptionContinueSearch;
    g_last_code = exception->ExceptionCode;
    auto* guard = static_cast<GuardRegistration*>(frame);
    RtlUnwind(frame, nullptr, exception, nullptr);
    __builtin_longjmp(guard->resume, 1);
}

// The head of the thread's exception registration list, at fs:0 (NT_TIB::ExceptionList).
EXCEPTION_REGISTRATION_RECORD* RegistrationHead() {
    EXCEPTION_REGISTRATION_RECORD* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetRegistrationHead(EXCEPTION_REGISTRATION_RECORD* head) {
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

}  // namespace

__attribute__((noinline)) GuardedCall CallRunTimeExecute(RunTimeExecuteFunction function,
                                                         HWND window, const char* variables,
                                                         const char* data,
                                                         PluginProgressCallback progress,
                                                         std::int32_t* slot, char* buffer) {
    // Set before __builtin_setjmp and only read after it: needs no volatile.
    GuardRegistration guard{};
    volatile std::int32_t result = -1;
    volatile bool completed = false;
    g_last_code = 0;
    GuardRegistration* registration = &guard;
    registration->record.Next = RegistrationHead();
    registration->record.Handler = PluginGuardHandler;
    if (__builtin_setjmp(registration->resume) == 0) {
        SetRegistrationHead(&registration->record);
        result = function(window, variables, data, progress, slot, buffer);
        completed = true;
    }
    SetRegistrationHead(registration->record.Next);
    GuardedCall call;
    call.completed = completed;
    call.result = completed ? result : -1;
    call.exception_code = completed ? 0 : g_last_code;
    return call;
}

#else
#error "the plug-in guard is written for x86 and x86-64"
#endif
