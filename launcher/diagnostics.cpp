#include "diagnostics.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "built_in_record.h"
#include "counted_memory.h"
#include "messages.h"
#include "output_pipe.h"

namespace pantrix {
namespace {

constexpr size_t kMaxLogMessage = 32768;

struct DiagnosticsState {
    LARGE_INTEGER start_counter{};
    LARGE_INTEGER frequency{};
    CRITICAL_SECTION exit_lock;
    std::atomic<bool> log_enabled{false};
    std::atomic<bool> quiet{false};
    std::atomic<bool> java_installer_set{false};
    char app_name[kLaunchNameSize + 1] = {};
    char exe_name[kLaunchNameSize + 1] = {};
    char title[2 * kLaunchNameSize + 8] = {};
    ExitAction exit_action = nullptr;
    void* exit_context = nullptr;
};
DiagnosticsState state;

int MillisecondsSinceStart() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (state.frequency.QuadPart <= 0) return 0;
    const long long elapsed =
        (now.QuadPart - state.start_counter.QuadPart) * 1000 / state.frequency.QuadPart;
    return static_cast<int>(static_cast<unsigned long long>(elapsed) & 0xFFFFFFFFu);
}

}  // namespace

void DiagnosticsStart() {
    QueryPerformanceCounter(&state.start_counter);
    QueryPerformanceFrequency(&state.frequency);
    InitializeCriticalSection(&state.exit_lock);
}

void DiagnosticsSetIdentity(const LaunchIdentity& identity) {
    std::snprintf(state.app_name, sizeof(state.app_name), "%s", identity.app_name);
    std::snprintf(state.exe_name, sizeof(state.exe_name), "%s", identity.exe_name);
    std::snprintf(state.title, sizeof(state.title), "%s (%s)", identity.app_name,
                  identity.exe_name);
}

void DiagnosticsSetLogEnabled(bool enabled) {
    state.log_enabled = enabled;
}
void DiagnosticsSetQuiet(bool quiet) {
    state.quiet = quiet;
}
bool DiagnosticsQuiet() {
    return state.quiet;
}
bool DiagnosticsLogEnabled() {
    return state.log_enabled;
}
void DiagnosticsSetJavaInstallerSet(bool set) {
    state.java_installer_set = set;
}

const char* DiagnosticsAppName() {
    return state.app_name;
}

void ShowMessageBox(const char* text, unsigned icon) {
    MessageBoxA(nullptr, text, state.title, icon);
}

void Log(const char* format, ...) {
    if (!state.log_enabled) return;
    // The line is written with one call: standard output is unbuffered while the output pipe
    // is installed, and the run-time library would otherwise write a formatted line to the
    // pipe a character at a time.
    char line[kMaxLogMessage + 32];
    line[0] = '!';
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + 1, kMaxLogMessage + 1, format, args);
    va_end(args);
    const size_t length = std::strlen(line);
    std::snprintf(line + length, sizeof(line) - length, " [%d]\r\n", MillisecondsSinceStart());
    std::fwrite(line, 1, std::strlen(line), stdout);
    std::fflush(stdout);
}

void Fail(const char* message) {
    char text[kMessageSize + 2048];
    const HelpContext context{state.app_name, state.exe_name, state.java_installer_set};
    ComposeFailText(message, context, text, sizeof(text));
    if (state.quiet) return;
    char output[sizeof(text) + 80];
    char dashes[71];
    for (int i = 0; i < 70; ++i) dashes[i] = '-';
    dashes[70] = '\0';
    std::snprintf(output, sizeof(output), "\r\n%s\r\n%s\r\n\r\n", dashes, text);
    std::fwrite(output, 1, std::strlen(output), stdout);
    std::fflush(stdout);
    MessageBoxA(nullptr, text, state.title, MB_ICONERROR);
}

void SetExitAction(ExitAction action, void* context) {
    state.exit_context = context;
    state.exit_action = action;
}

void Exit(int code) {
    EnterCriticalSection(&state.exit_lock);  // never left: Exit runs once
    Log("C.exiting");
    if (state.exit_action) state.exit_action(state.exit_context);
    Log("C.exit(%d) [m=%d]", code, static_cast<int>(CountedBytesHeld()));
    std::fflush(stdout);
    OutputPipeDrain();
    std::exit(code);
}

}  // namespace pantrix
