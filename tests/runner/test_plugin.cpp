// A plug-in library for the tests: a test double of the libraries that setups carry. It exports
// "RunTimeExecute" (stdcall, undecorated) and does what its data text names:
//   roundtrip     the store with PLUGGED = "yes, done" and WINDOW = the window handle added
//   slot          adds 1 to the process-wide slot and adds SLOT = its value
//   progress      reports (10, "ten"), (-1, "text only"), (50, "half") and adds ANSWERS = the
//                 callback's three answers
//   cancel        reports until the callback answers 0 (adds CANCELLED = TRUE); gives up with -1
//                 after ten seconds
//   quiet         waits 200 ms without reporting; the store unchanged
//   fail          -1 from the first call
//   crash         an access violation in the first call
//   crash-second  an access violation in the second call
//   raise         a foreign exception (the code of another runtime's C++ exceptions)
//   throw         a C++ exception of this library's runtime
//   huge          a length far beyond any sensible result
// The answer is made in the first call (buffer null) and copied in the second.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

using Progress = std::int32_t(__stdcall*)(std::int32_t position, const char* text);

namespace {

std::string g_answer;

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void Crash() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

// The answer of the first call; -1 for a failure.
std::int32_t Prepare(HWND window, const std::string& variables, const std::string& mode,
                     Progress progress, std::int32_t* slot) {
    std::string answer = variables;
    if (mode == "fail") return -1;
    if (mode == "crash") Crash();
    if (mode == "raise") RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    if (mode == "throw") throw std::runtime_error("thrown inside the plug-in");
    if (mode == "huge") return 0x7FFFFFF0;
    if (mode == "roundtrip") {
        answer += ",PLUGGED," + Quoted("yes, done") + ",WINDOW," +
                  std::to_string(reinterpret_cast<std::uintptr_t>(window));
    } else if (mode == "slot") {
        *slot += 1;
        answer += ",SLOT," + std::to_string(*slot);
    } else if (mode == "progress") {
        std::string answers;
        answers += std::to_string(progress(10, "ten"));
        answers += std::to_string(progress(-1, "text only"));
        answers += std::to_string(progress(50, "half"));
        answer += ",ANSWERS," + answers;
    } else if (mode == "cancel") {
        const DWORD start = GetTickCount();
        while (progress(5, "waiting") != 0) {
            if (GetTickCount() - start > 10000) return -1;
            Sleep(10);
        }
        answer += ",CANCELLED,TRUE";
    } else if (mode == "quiet") {
        Sleep(200);
    }
    g_answer = answer;
    return static_cast<std::int32_t>(g_answer.size());
}

}  // namespace

extern "C" __declspec(dllexport) std::int32_t
    __stdcall RunTimeExecute(HWND window, const char* variables, const char* data,
                             Progress progress, std::int32_t* slot, char* buffer) {
    const std::string mode = data ? data : "";
    if (!buffer) return Prepare(window, variables ? variables : "", mode, progress, slot);
    if (mode == "crash-second") Crash();
    std::memcpy(buffer, g_answer.c_str(), g_answer.size() + 1);
    return static_cast<std::int32_t>(g_answer.size());
}
