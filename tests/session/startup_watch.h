#pragma once

// Watching a running setup program's start-up windows from another process: find them, hold
// the setup still while they are looked at, save a screenshot of the display.
#include <windows.h>

#include <string>

namespace setuptest {

// The first top-level window of the process with this window class, or null.
HWND FindProcessWindow(DWORD process_id, const char* class_name);

struct StartupWindowsSeen {
    bool found = false;  // TSetupInit was seen visible
    RECT init{};         // its window rectangle
    RECT init_client{};  // its client rectangle
    std::string caption;
    std::string label;
    bool icon1_visible = false;
    bool icon2_visible = false;
    bool splash_visible = false;
    RECT splash{};
    bool screenshot_saved = false;
};

// Waits up to `timeout_ms` for the setup's TSetupInit to be visible, lets both windows paint,
// suspends the setup's main thread (every start-up step runs on it, so the windows stay as
// they are), reads the windows, saves a screenshot named `shot` (none when empty) and lets the
// setup go on.
StartupWindowsSeen CatchStartupWindows(DWORD process_id, HANDLE main_thread, HANDLE process,
                                       const std::string& shot, DWORD timeout_ms = 20000);

}  // namespace setuptest
