// The error dialog of a launcher that fails: found on the display, read, shot and answered
// by the test; the same text on standard output; the number as the exit code. A quiet run
// shows and writes nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "launcher_fixture.h"
#include "screenshot.h"

namespace launchertest {
namespace {

constexpr char kTitle[] = "Demo App (Demo.exe)";

// Wine starts the process that serves a desktop when the first window appears on it, from
// the process that made the window and with that process's inheritable handles. Making a
// window here first keeps the launchers' output pipes out of that long-lived process.
class DesktopReady : public ::testing::Environment {
  public:
    void SetUp() override {
        HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (window) DestroyWindow(window);
    }
};
const ::testing::Environment* const desktop_ready =
    ::testing::AddGlobalTestEnvironment(new DesktopReady);

HWND WaitForDialog(int timeout_ms) {
    for (int waited = 0; waited < timeout_ms; waited += 50) {
        if (HWND box = FindWindowA("#32770", kTitle)) return box;
        Sleep(50);
    }
    return nullptr;
}

std::string DialogText(HWND box) {
    char text[4096] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));  // the message box's text control
    return text;
}

struct Broken {
    const char* name;
    std::string exe;
    int number;
    std::string text_start;
    std::string text_end;
};

// A launcher whose second file cannot be written (its folder "x" is a file): error 41.
std::string LauncherWithUnwritableFile() {
    auto spec = DemoSpec("a=b\n");
    spec.sections = {FileSection('F', "x", "a file named x"), FileSection('F', "x/y.jar", "y")};
    return BuildLauncherFile(spec, NewFolder("unwritable"));
}

// A launcher cut one byte short: error 90.
std::string TruncatedLauncher() {
    const std::string folder = NewFolder("truncated");
    const std::string exe = BuildLauncherFile(DemoSpec("a=b\n"), folder);
    Bytes bytes;
    ReadWholeFile(exe, &bytes);
    bytes.pop_back();
    WriteWholeFile(exe, bytes);
    return exe;
}

TEST(FailDialog, ShowsTheNumberedMessageWithItsHelpTextAndExitsWithTheNumber) {
    const Broken cases[] = {
        {"launcher_fail_41", LauncherWithUnwritableFile(), 41,
         "ERROR #41: Unable to write a file to the temp folder [winerr=",
         "]\r\n\r\nPROBLEM: Can not create folders/files on the hard drive\r\n\r\nSOLUTION: Free "
         "up some disk space (Run the 'Disk Cleanup' system tool)"},
        {"launcher_fail_90", TruncatedLauncher(), 90,
         "ERROR #90: 'Demo.exe' is a partial/truncated EXE (partial download?)\r\n\r\nPROBLEM: "
         "'Demo.exe' is damaged\r\n\r\nSOLUTION: Reinstall 'Demo App', preferably obtaining the "
         "latest version",
         ""},
    };
    for (const Broken& c : cases) {
        RunningLauncher running;
        ASSERT_TRUE(StartLauncher(c.exe, "", {NewFolder("dialog-temp")}, &running)) << c.name;
        HWND box = WaitForDialog(15000);
        ASSERT_NE(box, nullptr) << c.name << ": no dialog titled " << kTitle;
        const std::string text = DialogText(box);
        EXPECT_EQ(text.rfind(c.text_start, 0), 0u) << text;
        EXPECT_TRUE(text.size() >= c.text_end.size() &&
                    text.compare(text.size() - c.text_end.size(), c.text_end.size(), c.text_end) ==
                        0)
            << text;
        Sleep(300);
        EXPECT_TRUE(qortest::SaveScreenshot(c.name));
        HWND ok = FindWindowExA(box, nullptr, "Button", nullptr);
        ASSERT_NE(ok, nullptr);
        SendMessageA(ok, BM_CLICK, 0, 0);

        const RunResult run = FinishLauncher(&running);
        EXPECT_EQ(run.exit_code, c.number) << c.name;
        const std::string line_of_dashes(70, '-');
        EXPECT_EQ(run.output, "\r\n" + line_of_dashes + "\r\n" + text + "\r\n\r\n") << c.name;
    }
}

TEST(FailDialog, QuietRunShowsAndWritesNothing) {
    RunningLauncher running;
    ASSERT_TRUE(
        StartLauncher(LauncherWithUnwritableFile(), "-Q*", {NewFolder("quiet-temp")}, &running));
    bool dialog_seen = false;
    while (WaitForSingleObject(running.process.hProcess, 20) == WAIT_TIMEOUT)
        dialog_seen = dialog_seen || FindWindowA("#32770", kTitle) != nullptr;
    const RunResult run = FinishLauncher(&running);
    EXPECT_FALSE(dialog_seen);
    EXPECT_EQ(run.exit_code, 41);
    EXPECT_EQ(run.output, "");
}

}  // namespace
}  // namespace launchertest
