// Runs a program on a Wine desktop of its own and returns the program's exit code.
//   desktop_run.exe program.exe [args...]
// The desktop is named after the X display ("qor" + display number). A persistent wineserver
// keeps one default desktop bound to the display it first saw; a desktop per display lets
// every GUI test use its own private Xvfb while sharing the server.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string DesktopName() {
    const char* display = std::getenv("DISPLAY");
    std::string name = "qor";
    for (const char* c = display ? display : ""; *c; ++c)
        if (*c >= '0' && *c <= '9') name += *c;
    return name;
}

// The command line after our own program name, exactly as we received it.
const char* ArgumentsAfterProgramName() {
    const char* line = GetCommandLineA();
    bool quoted = false;
    for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line)
        if (*line == '"') quoted = !quoted;
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

}  // namespace

int main() {
    std::string command = ArgumentsAfterProgramName();
    if (command.empty()) {
        std::fprintf(stderr, "usage: desktop_run.exe program.exe [args...]\n");
        return 2;
    }
    std::string desktop = DesktopName();
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.lpDesktop = desktop.data();
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "desktop_run: CreateProcessA failed, error %lu\n", GetLastError());
        return 126;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
