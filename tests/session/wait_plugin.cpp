// wait.dll: a test double of a plug-in library that holds a setup inside its run. Its data
// text names a file; the call returns when that file exists (after 60 seconds at the latest),
// handing the variables back unchanged. Tests use it to keep a setup's support folder in use
// while they start another setup.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string g_result;

}  // namespace

extern "C" __declspec(dllexport) std::int32_t
    __stdcall RunTimeExecute(HWND, const char* variables, const char* data, void*, std::int32_t*,
                             char* buffer) {
    if (buffer) {
        std::memcpy(buffer, g_result.c_str(), g_result.size() + 1);
        return static_cast<std::int32_t>(g_result.size());
    }
    g_result = variables ? variables : "";
    const std::string release = data ? data : "";
    for (int waited = 0; waited < 60000; waited += 20) {
        if (GetFileAttributesA(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(20);
    }
    return static_cast<std::int32_t>(g_result.size());
}
