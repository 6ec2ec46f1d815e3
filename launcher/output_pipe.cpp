#include "output_pipe.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

namespace pantrix {
namespace {

constexpr DWORD kPipeBufferSize = 1024;
constexpr DWORD kIdleSleepMs = 55;

struct OutputPipe {
    HANDLE read_end = nullptr;  // held for the life of the process
    int saved_output = -1;      // duplicate of the original standard output, or -1
    std::atomic<int> dump_target{0};
    std::atomic<bool> installed{false};
    std::atomic<bool> busy{false};  // set before a read that found bytes, until they are written
};
OutputPipe pipe_state;

// Looks for bytes first and sets busy before taking them, so that OutputPipeDrain, which
// looks at the pipe and then at busy, never misses bytes that are between the two.
DWORD WINAPI PumpThread(void*) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    char buffer[kPipeBufferSize];
    while (true) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe_state.read_end, nullptr, 0, nullptr, &available, nullptr) ||
            available == 0) {
            Sleep(kIdleSleepMs);
            continue;
        }
        pipe_state.busy = true;
        DWORD got = 0;
        if (ReadFile(pipe_state.read_end, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            const int target = pipe_state.dump_target.load();
            if (target > 0)
                _write(target, buffer, got);
            else if (pipe_state.saved_output >= 0)
                _write(pipe_state.saved_output, buffer, got);
        }
        pipe_state.busy = false;
    }
}

}  // namespace

void InstallOutputPipe() {
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, nullptr, kPipeBufferSize)) return;
    pipe_state.read_end = read_end;
    const int output = _fileno(stdout);
    pipe_state.saved_output = output >= 0 ? _dup(output) : -1;

    const int pipe_descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(write_end), _O_BINARY);
    if (pipe_descriptor < 0) return;
    FILE* stream = _fdopen(pipe_descriptor, "wb");
    if (!stream) return;

    SetStdHandle(STD_OUTPUT_HANDLE, write_end);
    HANDLE pump = CreateThread(nullptr, 0, PumpThread, nullptr, 0, nullptr);
    if (pump) CloseHandle(pump);  // runs for the life of the process
    setvbuf(stream, nullptr, _IONBF, 0);
    _dup2(pipe_descriptor, 1);
    setvbuf(stdout, nullptr, _IONBF, 0);
    pipe_state.installed = pump != nullptr;
}

void SetOutputDumpTarget(int descriptor) {
    pipe_state.dump_target = descriptor;
}

void OutputPipeDrain() {
    if (!pipe_state.installed) return;
    for (int waited = 0; waited < 2000; waited += 5) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe_state.read_end, nullptr, 0, nullptr, &available, nullptr)) return;
        if (available == 0 && !pipe_state.busy) return;
        Sleep(5);
    }
}

}  // namespace pantrix
