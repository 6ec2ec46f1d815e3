// The error dialog of a launcher that fails: found on the display, read, shot and answered
// by the test; the same text on standard output; the number as the exit code. A quiet run
// shows and writes nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
    auto contents = DemoContents("a=b\n");
    contents.sections = {FileSection('F', "x", "a file named x"), FileSection('F', "x/y.jar", "y")};
    return BuildLauncherFile(contents, NewFolder("unwritable"));
}

// A launcher cut one byte short: error 90.
std::string TruncatedLauncher() {
    const std::string folder = NewFolder("truncated");
    const std::string exe = BuildLauncherFile(DemoContents("a=b\n"), folder);
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

// Clicks the OK button of the dialog and returns its text.
std::string AnswerDialog(HWND box) {
    const std::string text = DialogText(box);
    HWND ok = FindWindowExA(box, nullptr, "Button", nullptr);
    if (ok) SendMessageA(ok, BM_CLICK, 0, 0);
    return text;
}

// Opening the Java download page must not start a real browser: Wine's browser launcher is
// pointed at a program that does nothing while this test runs.
class QuietBrowser {
  public:
    QuietBrowser() {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        DWORD size = sizeof(previous_);
        had_value_ = RegQueryValueExA(key_, "Browsers", nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(previous_), &size) == ERROR_SUCCESS;
        RegSetValueExA(key_, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>("true"), 5);
    }
    ~QuietBrowser() {
        if (had_value_)
            RegSetValueExA(key_, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                           static_cast<DWORD>(std::strlen(previous_) + 1));
        else
            RegDeleteValueA(key_, "Browsers");
        RegCloseKey(key_);
    }

  private:
    HKEY key_ = nullptr;
    char previous_[1024] = {};
    bool had_value_ = false;
};

// The Java errors carry the Java help text, whose install note depends on whether a Java
// installer was extracted; after the error the installer runs, or the download page opens.
TEST(FailDialog, JavaErrorsShowTheJavaHelpText) {
    QuietBrowser quiet_browser;
    const std::string installer_note = "The Java Runtime Environment will now be installed";
    const std::string web_note =
        "You will be redirected to Sun's Java web site:\r\n\r\n\thttp://www.java.com/getjava/"
        "\r\n\r\nwhere you should install the latest Java Runtime.";
    const std::string java_help =
        "PROBLEM: An error occurred with your current Java Runtime Environment\r\n\r\n"
        "SOLUTION: Reinstall the Java Runtime Environment for 'Demo App' and try again\r\n\r\n";
    Bytes installer;
    ASSERT_TRUE(ReadWholeFile(JavaInstallerDoublePath(), &installer));
    struct Case {
        const char* name;
        std::string script;  // the boot class's script
        bool carries_installer;
        std::string vm_option;
        std::vector<std::string> dialogs;  // the texts of the boxes shown, in order
        int exit_code;
    };
    const std::string no_vm = "C:\\no\\jvm.dll";
    const Case cases[] = {
        {"launcher_fail_10",
         "",
         false,
         "",
         {"ERROR #10: A Java Runtime Environment for 'Demo.exe' could not be found\r\n\r\n"
          "A Java Runtime Environment needs to be installed before 'Demo App' can be run\r\n\r\n" +
          web_note},
         10},
        {"launcher_fail_11",
         "",
         true,
         "-jvm:" + no_vm,
         {"ERROR #11: Failure loading/binding to the Java VM DLL\r\n\r\n\tJVM=" + no_vm +
          "\r\n\r\n" + java_help + installer_note},
         11},
        {"launcher_fail_12",
         "create=-6\n",
         true,
         ForcedTestVm(),
         {"ERROR #12: JNI_CreateJavaVM() could not create a Java Runtime Environemnt [err=-6]"
          "\r\n\r\n\tJVM=" +
          TestVmPath() + "\r\n\r\n" + java_help + installer_note},
         12},
        {"launcher_fail_14",
         "boot=throw oops\n",
         false,
         ForcedTestVm(),
         {"ERROR #14: Unexpected Java VM exception\r\n\r\n\tJVM=" + TestVmPath() + "\r\n\r\n" +
          java_help + web_note},
         14},
        {"launcher_fail_15",
         "",
         true,
         "",
         {"The Java Runtime Environment for 'Demo App' will now be installed...",
          "ERROR #15: Failure locating a Java Runtime Environment after trying to install Java"
          "\r\n\r\n" +
              java_help + web_note},
         15},
        {"launcher_abort",
         "boot=abort\n",
         false,
         ForcedTestVm(),
         {"The Java VM is aborting..."},
         666},
    };
    for (const Case& c : cases) {
        auto contents = DemoContents("a=b\n");
        contents.sections = {BootClassSection(c.script)};
        if (c.carries_installer)
            contents.sections.push_back(
                {'J', pantrix_pack::MakeFileRecord("jre-setup.exe", installer)});
        const std::string exe = BuildLauncherFile(contents, NewFolder(c.name));
        RunningLauncher running;
        ASSERT_TRUE(StartLauncher(exe, c.vm_option, {NewFolder("java-dialog-temp")}, &running))
            << c.name;
        std::string shown;
        for (size_t i = 0; i < c.dialogs.size(); ++i) {
            HWND box = WaitForDialog(15000);
            ASSERT_NE(box, nullptr) << c.name << ": dialog " << i;
            if (i + 1 == c.dialogs.size()) {
                Sleep(300);
                EXPECT_TRUE(qortest::SaveScreenshot(c.name));
            }
            const std::string text = AnswerDialog(box);
            EXPECT_EQ(text, c.dialogs[i]) << c.name;
            if (text.rfind("ERROR #", 0) == 0) shown = text;
            // Wait for the box to go before looking for the next one.
            for (int waited = 0; waited < 5000 && IsWindow(box); waited += 20) Sleep(20);
        }
        const RunResult run = FinishLauncher(&running);
        EXPECT_EQ(run.exit_code, c.exit_code) << c.name;
        if (!shown.empty()) {
            const std::string line_of_dashes(70, '-');
            EXPECT_NE(run.output.find(line_of_dashes + "\r\n" + shown + "\r\n\r\n"),
                      std::string::npos)
                << c.name << "\n"
                << run.output;
        }
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
