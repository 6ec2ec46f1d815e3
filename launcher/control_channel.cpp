#include "control_channel.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "control_request.h"
#include "output_pipe.h"
#include "win_handles.h"

namespace pantrix {
namespace {

constexpr char kDumpThreadName[] = "pantrix-control";
constexpr DWORD kPumpDrainMs = 10;

struct ControlState {
    char run_identifier[64] = {};
    char exe_name[128] = {};
    // The current VM: written by the main thread, read by the control thread, both under
    // vm_lock. A dump holds the lock from the moment it looks at the VM until it has detached.
    SRWLOCK vm_lock = SRWLOCK_INIT;
    JavaVM* vm = nullptr;
    DumpAllStacksFunction dump = nullptr;
};
ControlState control;

UniqueHandle CreateNamed(const char* prefix, bool is_event) {
    char name[128];
    std::snprintf(name, sizeof(name), "%s%s", prefix, control.run_identifier);
    return UniqueHandle(is_event ? CreateEventA(nullptr, FALSE, FALSE, name)
                                 : CreateMutexA(nullptr, FALSE, name));
}

// Writes the VM's thread dump into the file at path; true when it was written.
bool DumpAllStacks(const char* path) {
    AcquireSRWLockExclusive(&control.vm_lock);
    bool dumped = false;
    JavaVM* vm = control.vm;
    JNIEnv* env = nullptr;
    JavaVMAttachArgs attach{JNI_VERSION_1_2, const_cast<char*>(kDumpThreadName), nullptr};
    if (vm && control.dump &&
        vm->AttachCurrentThread(reinterpret_cast<void**>(&env), &attach) == JNI_OK) {
        if (FILE* file = std::fopen(path, "wb")) {
            // The VM prints the dump to standard output, that is into the output pipe; the
            // pump passes it on to the file while it is the dump target.
            SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
            SetOutputDumpTarget(_fileno(file));
            control.dump(env, nullptr);
            std::fflush(stdout);
            SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
            Sleep(kPumpDrainMs);
            OutputPipeDrain();
            SetOutputDumpTarget(0);
            std::fclose(file);
            SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
            dumped = true;
        }
        vm->DetachCurrentThread();
    }
    ReleaseSRWLockExclusive(&control.vm_lock);
    return dumped;
}

void HandleRequest(unsigned char* memory) {
    char* reply = reinterpret_cast<char*>(memory + kControlReplyOffset);
    reply[0] = '\0';
    ControlRequest request;
    ParseControlRequest(memory, &request);
    switch (request.kind) {
        case ControlRequestKind::kStatus:
            FormatStatusReply(control.exe_name, GetCurrentProcessId(), reply, kControlTextSize);
            break;
        case ControlRequestKind::kDumpAllStacks:
            if (request.dump_path && DumpAllStacks(request.dump_path))
                std::snprintf(reply, kControlTextSize, "OK");
            break;
        case ControlRequestKind::kNone:
            break;
    }
}

DWORD WINAPI ControlThread(void*) {
    char name[128];
    std::snprintf(name, sizeof(name), "Local\\tolvimer-mem-%s", control.run_identifier);
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            kControlMemorySize, name));
    if (!mapping.valid() || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kControlMemorySize));
    if (!view.valid()) return 0;
    auto* memory = static_cast<unsigned char*>(const_cast<void*>(view.get()));

    const UniqueHandle lock = CreateNamed("tolvimer-lock-", false);
    const UniqueHandle request_signal = CreateNamed("tolvimer-start-event-", true);
    const UniqueHandle reply_signal = CreateNamed("tolvimer-end-event-", true);
    if (!lock.valid() || !request_signal.valid() || !reply_signal.valid()) return 0;
    while (WaitForSingleObject(request_signal.get(), INFINITE) == WAIT_OBJECT_0) {
        // A client that died holding the lock leaves it abandoned; the lock is ours then.
        const DWORD taken = WaitForSingleObject(lock.get(), INFINITE);
        if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) break;
        HandleRequest(memory);
        ReleaseMutex(lock.get());
        SetEvent(reply_signal.get());
    }
    return 0;
}

}  // namespace

void StartControlChannel(const char* run_identifier, const char* exe_name) {
    std::snprintf(control.run_identifier, sizeof(control.run_identifier), "%s", run_identifier);
    std::snprintf(control.exe_name, sizeof(control.exe_name), "%s", exe_name);
    HANDLE thread = CreateThread(nullptr, 0, ControlThread, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);  // runs for the life of the process
}

void ControlChannelSetVm(JavaVM* vm, DumpAllStacksFunction dump) {
    AcquireSRWLockExclusive(&control.vm_lock);
    control.vm = vm;
    control.dump = dump;
    ReleaseSRWLockExclusive(&control.vm_lock);
}

void ControlChannelClearVm() {
    AcquireSRWLockExclusive(&control.vm_lock);
    control.vm = nullptr;
    ReleaseSRWLockExclusive(&control.vm_lock);
}

}  // namespace pantrix
