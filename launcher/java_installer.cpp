#include "java_installer.h"

#include <windows.h>

#include <cstdio>

#include "diagnostics.h"
#include "win_handles.h"

namespace pantrix {

bool RunJavaInstaller(const char* path, bool announce) {
    if (!path || !*path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return false;
    Log("getjava=%s", path);
    if (announce) {
        char text[256];
        std::snprintf(text, sizeof(text),
                      "The Java Runtime Environment for '%s' will now be installed...",
                      DiagnosticsAppName());
        ShowMessageBox(text, MB_ICONINFORMATION);
    }
    // The path in quotes: unquoted, a path with blanks would be read as a shorter program
    // name followed by arguments, and a program at that shorter path would run instead.
    // CreateProcessA may write into its command line.
    char command[MAX_PATH * 2];
    const int length = std::snprintf(command, sizeof(command), "\"%s\"", path);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(command)) return false;
    STARTUPINFOA startup = StartupWithOurStdHandles();
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    UniqueHandle process_handle(started ? process.hProcess : nullptr);
    UniqueHandle thread_handle(started ? process.hThread : nullptr);
    // The handle's value is what the log shows; it is only a number to a reader.
    Log("getjava=process=%d", static_cast<int>(reinterpret_cast<intptr_t>(process_handle.get())));
    if (started) WaitForSingleObject(process_handle.get(), INFINITE);
    Log("getjava=DONE");
    return true;
}

}  // namespace pantrix
