// The message boxes of a run that is not silent, for real under Xvfb: the missing plug-in
// library's message (the run goes on) and then the runtime error that ends the run. A second
// thread finds each box by its caption, reads its text, saves a screenshot and presses OK.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runner_fixture.h"
#include "runner_platform_windows.h"
#include "screenshot.h"

namespace {

constexpr char kCaption[] = "Demo - Corvelle Wizard";

// The real message boxes; the package "exists" so that the run starts.
class BoxPlatform : public WindowsRunnerPlatform {
  public:
    using WindowsRunnerPlatform::WindowsRunnerPlatform;
    bool FileExists(const std::string& path) override {
        return path == runnertest::kPackage || WindowsRunnerPlatform::FileExists(path);
    }
};

struct SeenBox {
    bool found = false;
    std::string text;
    bool has_error_icon = false;
    bool screenshot_saved = false;
};

// Finds the next message box of `thread` with the caption; waits at most ten seconds.
HWND WaitForBox(DWORD thread, HWND previous) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HWND box = FindWindowA("#32770", kCaption);
        if (box && box != previous && IsWindowVisible(box) &&
            GetWindowThreadProcessId(box, nullptr) == thread) {
            return box;
        }
        Sleep(20);
    }
    return nullptr;
}

std::string StaticText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message text of a message box
    return text;
}

BOOL CALLBACK NoteIcon(HWND child, LPARAM found) {
    char class_name[32] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    if (std::string(class_name) == "Static" &&
        (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return TRUE;
}

// Whether a static control of the box shows an icon (SS_ICON): the error icon.
bool HasIcon(HWND box) {
    bool found = false;
    EnumChildWindows(box, &NoteIcon, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(RunnerMessageBoxes, ShowTheMissingPluginAndTheRuntimeError) {
    runnertest::RunFixture fixture;
    BoxPlatform platform(fixture.progress);
    fixture.runner_platform = &platform;

    std::vector<SeenBox> seen(2);
    const DWORD main_thread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND previous = nullptr;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            HWND box = WaitForBox(main_thread, previous);
            if (!box) return;
            seen[i].found = true;
            seen[i].text = StaticText(box);
            seen[i].has_error_icon = HasIcon(box);
            RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Sleep(300);
            seen[i].screenshot_saved =
                qortest::SaveScreenshot(i == 0 ? "runner_plugin_missing" : "runner_error");
            SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            previous = box;
            while (IsWindow(box)) Sleep(20);
        }
    });
    const bool ran = fixture.Run(R"(
@title Demo
@plugin Zip Tools
Zip Tools | data | not-there.dll
Set Variable | X | 0
If | X | 0 | 1 | FALSE
  Set Variable | LATE | 1
End
If | LATE | 0 | 1 | FALSE
End
Set Variable | NEVER | 1
)");
    driver.join();
    ASSERT_TRUE(ran);

    ASSERT_TRUE(seen[0].found);
    EXPECT_EQ(seen[0].text,
              "Unable to load plug-in library. Please rebuild your project and make sure all "
              "required plug-ins are installed.\r\rAction skipped");
    EXPECT_TRUE(seen[0].has_error_icon);
    EXPECT_TRUE(seen[0].screenshot_saved);

    ASSERT_TRUE(seen[1].found);
    EXPECT_EQ(seen[1].text,
              "Runtime error in setup script:\r\rLine 6: Attempting to get value of undefined "
              "variable LATE");
    EXPECT_TRUE(seen[1].has_error_icon);
    EXPECT_TRUE(seen[1].screenshot_saved);

    EXPECT_EQ(fixture.Value("X"), "0");
    EXPECT_EQ(fixture.Value("NEVER"), std::nullopt);
    EXPECT_EQ(fixture.steps.calls.back(), "WriteInstanceData");
}

}  // namespace
