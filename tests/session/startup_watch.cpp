#include "startup_watch.h"

#include "screenshot.h"

namespace setuptest {

namespace {

// The time the setup has to paint its windows after they became visible. Start-up is then
// busy extracting its resource archive for much longer.
constexpr DWORD kPaintTime = 300;

struct Search {
    DWORD process_id;
    const char* class_name;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char class_name[64] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (owner == search->process_id && std::string(class_name) == search->class_name) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The control's own visible flag (IsWindowVisible answers false for the controls of another
// process's window here).
bool HasVisibleStyle(HWND control) {
    return control && (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace

HWND FindProcessWindow(DWORD process_id, const char* class_name) {
    Search search{process_id, class_name, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

StartupWindowsSeen CatchStartupWindows(DWORD process_id, HANDLE main_thread, HANDLE process,
                                       const std::string& shot, DWORD timeout_ms) {
    StartupWindowsSeen seen;
    HWND init = nullptr;
    for (DWORD waited = 0; waited < timeout_ms; waited += 10) {
        init = FindProcessWindow(process_id, "TSetupInit");
        if (init && IsWindowVisible(init)) break;
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return seen;
        init = nullptr;
        Sleep(10);
    }
    if (!init) return seen;
    Sleep(kPaintTime);
    if (SuspendThread(main_thread) == static_cast<DWORD>(-1)) return seen;
    if (IsWindow(init)) {
        seen.found = true;
        GetWindowRect(init, &seen.init);
        GetClientRect(init, &seen.init_client);
        seen.caption = WindowText(init);
        seen.label = WindowText(GetDlgItem(init, 1003));
        seen.icon1_visible = HasVisibleStyle(GetDlgItem(init, 1001));
        seen.icon2_visible = HasVisibleStyle(GetDlgItem(init, 1002));
        HWND splash = FindProcessWindow(process_id, "TSetupSplash");
        seen.splash_visible = splash && IsWindowVisible(splash);
        if (splash) GetWindowRect(splash, &seen.splash);
        if (!shot.empty()) seen.screenshot_saved = qortest::SaveScreenshot(shot);
    }
    ResumeThread(main_thread);
    return seen;
}

}  // namespace setuptest
