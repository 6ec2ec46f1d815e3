// Runs a setup program and photographs its start-up windows.
//   startup_shot.exe SHOT PROGRAM [ARGUMENTS...]
// Starts the program with the arguments, holds it still while its preparation window (and the
// splash, when it has one) is shown, saves the display as SHOT.bmp under the artefact folder,
// lets it finish, says what it saw and ends with the program's exit code (125 when the
// program could not be started).
#include <windows.h>

#include <cstdio>
#include <string>

#include "startup_watch.h"

namespace {

// The command line after our own program name and the first argument, as we received it.
const char* SkipArguments(const char* line, int count) {
    for (int skipped = 0; skipped < count; ++skipped) {
        while (*line == ' ' || *line == '\t') ++line;
        bool quoted = false;
        for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line) {
            if (*line == '"') quoted = !quoted;
        }
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

std::string FirstArgument(const char* line) {
    while (*line == ' ' || *line == '\t') ++line;
    std::string argument;
    bool quoted = false;
    for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line) {
        if (*line == '"') {
            quoted = !quoted;
        } else {
            argument += *line;
        }
    }
    return argument;
}

}  // namespace

int main() {
    const char* after_self = SkipArguments(GetCommandLineA(), 1);
    const std::string shot = FirstArgument(after_self);
    std::string command = SkipArguments(after_self, 1);
    if (shot.empty() || command.empty()) {
        std::fprintf(stderr, "usage: startup_shot.exe SHOT PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "startup_shot: CreateProcessA failed, error %lu\n", GetLastError());
        return 125;
    }
    const setuptest::StartupWindowsSeen seen = setuptest::CatchStartupWindows(
        process.dwProcessId, process.hThread, process.hProcess, shot);
    if (seen.found) {
        std::printf("start-up windows: preparation window \"%s\" at (%ld, %ld), %ld x %ld%s\n",
                    seen.caption.c_str(), seen.init.left, seen.init.top,
                    seen.init.right - seen.init.left, seen.init.bottom - seen.init.top,
                    seen.splash_visible ? ", splash picture shown" : ", no splash picture");
        std::printf("screenshot %s: %s\n", shot.c_str(),
                    seen.screenshot_saved ? "saved" : "failed");
    } else {
        std::printf("start-up windows: not seen\n");
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::fflush(stdout);
    return static_cast<int>(code);
}
