// Plug-in calls for real: a library built by the tests (test_plugin.cpp) called through
// TScriptThread and the Windows plug-in executor, alone and from a running script. The store
// goes to the library and comes back; failures, crashes and exceptions inside the library
// leave it unchanged; progress reaches the runner and cancel reaches the library.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comma_text.h"
#include "plugin_executor_windows.h"
#include "runner_fixture.h"
#include "script_thread.h"

namespace {

std::string TestFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string PluginPath() {
    return TestFolder() + "test_plugin.dll";
}

// A store text with values that need quoting: blanks, commas, quotes, a line break.
const std::string kStore =
    ToCommaText({"NAME", "plain", "SPACED", "a b, \"c\"", "LINES", "one\r\ntwo", "EMPTY", ""});

PluginCall Call(const std::string& data, const std::string& library = PluginPath()) {
    PluginCall call;
    call.library_path = library;
    call.variables = kStore;
    call.data = data;
    call.progress_text = "Working";
    return call;
}

// Elements of a comma text as name -> value, the last pair of a name winning.
std::string ValueIn(const std::string& comma_text, const std::string& name) {
    const std::vector<std::string> elements = FromCommaText(comma_text);
    std::string value = "<missing>";
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        if (elements[i] == name) value = elements[i + 1];
    }
    return value;
}

// A message-only window of the calling thread that counts the worker's wake-ups.
class WakeWindow {
  public:
    WakeWindow() {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = &Procedure;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = "QorPluginTestWake";
        RegisterClassA(&window_class);
        window_ = CreateWindowExA(0, "QorPluginTestWake", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  window_class.hInstance, nullptr);
        wakes_ = 0;
    }
    ~WakeWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
    static int Wakes() { return wakes_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NULL) ++wakes_;
        return DefWindowProcA(window, message, wparam, lparam);
    }
    static inline int wakes_ = 0;
    HWND window_;
};

struct FailureCase {
    const char* data;
    const char* library;  // empty: the test plug-in
    const char* error_part;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.data << " " << failure.library;
}

class PluginFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(PluginFailure, LeavesTheStoreUnchanged) {
    ProgressState progress;
    progress.SetSilent(true);
    WindowsPluginExecutor executor(progress);
    const std::string library = *GetParam().library ? GetParam().library : PluginPath();
    EXPECT_EQ(executor.Execute(Call(GetParam().data, library)), kStore);
    EXPECT_NE(executor.LastError().find(GetParam().error_part), std::string::npos)
        << executor.LastError();
    EXPECT_FALSE(progress.IsLongOperation());
}

INSTANTIATE_TEST_SUITE_P(
    Library, PluginFailure,
    testing::Values(FailureCase{"fail", "", "answered -1"},
                    FailureCase{"huge", "", "answered 2147483632"},
                    FailureCase{"crash", "", "exception 0xC0000005 in the first call"},
                    FailureCase{"crash-second", "", "exception 0xC0000005 in the second call"},
                    FailureCase{"raise", "", "exception 0xE06D7363 in the first call"},
                    FailureCase{"throw", "", "RunTimeExecute threw: thrown inside the plug-in"},
                    FailureCase{"roundtrip", "C:\\windows\\system32\\kernel32.dll",
                                "RunTimeExecute not found"},
                    FailureCase{"roundtrip", "C:\\nowhere\\missing.dll", "LoadLibraryA failed"}));

TEST(PluginCall, TheStoreMakesTheRoundTrip) {
    ProgressState progress;
    progress.SetSilent(true);
    WindowsPluginExecutor executor(progress);
    PluginCall call = Call("roundtrip");
    call.window = 0x1234;
    const std::string result = executor.Execute(call);
    EXPECT_TRUE(executor.LastError().empty()) << executor.LastError();
    EXPECT_EQ(result.rfind(kStore, 0), 0u);
    EXPECT_EQ(ValueIn(result, "SPACED"), "a b, \"c\"");
    EXPECT_EQ(ValueIn(result, "LINES"), "one\r\ntwo");
    EXPECT_EQ(ValueIn(result, "PLUGGED"), "yes, done");
    EXPECT_EQ(ValueIn(result, "WINDOW"), std::to_string(0x1234));
}

TEST(PluginCall, TheSlotKeepsItsValueFromCallToCall) {
    ProgressState progress;
    progress.SetSilent(true);
    WindowsPluginExecutor executor(progress);
    const int first = std::stoi(ValueIn(executor.Execute(Call("slot")), "SLOT"));
    const int second = std::stoi(ValueIn(executor.Execute(Call("slot")), "SLOT"));
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(*PluginSlot(), second);
}

TEST(PluginCall, ProgressReachesTheWorkerAndWakesTheMainThread) {
    ProgressState progress;
    const WakeWindow wake;
    TScriptThread thread(progress, PluginPath(), kStore, "progress", nullptr);
    ASSERT_TRUE(RunLongOperation(progress, thread, wake.get(), StoreWorkerStatus("")));
    EXPECT_EQ(ValueIn(thread.Result(), "ANSWERS"), "111");
    EXPECT_TRUE(thread.HasReported());
    EXPECT_EQ(thread.Progress().percentage, 50);
    EXPECT_EQ(thread.Progress().status, "half");
    EXPECT_GE(WakeWindow::Wakes(), 3);
}

TEST(PluginCall, UntilTheLibraryReportsTheDisplayShowsProgressText) {
    ProgressState progress;
    progress.StoreProgress("before", 0, 100, 42);
    WindowsPluginExecutor executor(progress);
    EXPECT_EQ(executor.Execute(Call("quiet")), kStore);
    const ProgressRecord record = progress.ReadProgress();
    EXPECT_EQ(record.text, "Working");
    EXPECT_EQ(record.position, 42);  // text only: the numbers stay
}

TEST(PluginCall, CancelReachesTheLibraryThroughItsCallback) {
    ProgressState progress;
    const WakeWindow wake;
    WindowsPluginExecutor executor(progress, wake.get());
    progress.SetCancelRequested(true);
    const std::string result = executor.Execute(Call("cancel"));
    EXPECT_EQ(ValueIn(result, "CANCELLED"), "TRUE");
    // The waiting loop stores what the worker reported only while the worker runs: a library
    // that reports once and returns may end before the loop's next pass, so the record holds
    // either that report or the text stored before the library's first report.
    const ProgressRecord record = progress.ReadProgress();
    if (record.text == "waiting") {
        EXPECT_EQ(record.position, 5);
    } else {
        EXPECT_EQ(record.text, "Working");
        EXPECT_EQ(record.position, 0);
    }
}

TEST(PluginCall, AScriptStatementRunsTheLibrary) {
    runnertest::RunFixture fixture;
    fixture.facts.silent = "TRUE";
    fixture.session.support_folder = TestFolder();
    fixture.platform.files.insert(PluginPath());
    WindowsPluginExecutor executor(fixture.progress);
    fixture.plugin_executor = &executor;
    ASSERT_TRUE(fixture.Run(R"(
@plugin Sample Plugin
@plugin Broken Plugin
Set Variable | QUOTED | say "hi", then$NEWLINE$leave
Sample Plugin | roundtrip | C:\build\test_plugin.dll
Set Variable | AFTER | $PLUGGED$
Broken Plugin | crash | test_plugin.dll
Set Variable | STILL | $QUOTED$
)"));
    EXPECT_EQ(fixture.Value("AFTER"), "yes, done");
    EXPECT_EQ(fixture.Value("QUOTED"), "say \"hi\", then\r\nleave");
    EXPECT_EQ(fixture.Value("STILL"), "say \"hi\", then\r\nleave");
    EXPECT_EQ(fixture.Value("TITLE"), "");
    EXPECT_EQ(fixture.Value("SILENT"), "TRUE");
}

}  // namespace
