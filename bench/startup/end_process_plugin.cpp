// end.dll: a plug-in library for the start-up benchmark. Called by the first statement of a
// setup script, it ends the setup's process at once (exit code 0), so that the time of the
// whole process is the time from its start to its first statement.
#include <windows.h>

#include <cstdint>

extern "C" __declspec(dllexport) std::int32_t __stdcall RunTimeExecute(HWND, const char*,
                                                                       const char*, void*,
                                                                       std::int32_t*, char*) {
    ExitProcess(0);
}
