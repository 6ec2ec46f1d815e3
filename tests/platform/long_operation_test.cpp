// WaitStep in silent and non-silent runs, and the long-operation helper: progress hand-over,
// the long-operation flag, cancel through ABORT, and failures inside the worker.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "long_operation.h"
#include "store_hooks.h"
#include "variable_store.h"
#include "wait_step.h"

namespace {

constexpr char kClassName[] = "QorLongOperationTest";
constexpr UINT kPosted = WM_APP + 1;
std::atomic<int> null_messages{0};
std::atomic<int> posted_messages{0};
std::atomic<int> timer_messages{0};

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NULL) ++null_messages;
    if (message == kPosted) ++posted_messages;
    if (message == WM_TIMER) ++timer_messages;
    return DefWindowProcA(window, message, wparam, lparam);
}

// A message-only window of the main thread: the worker's wake-up target.
class MainWindow {
  public:
    MainWindow() {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = CountingWindowProc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = kClassName;
        RegisterClassA(&window_class);
        window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~MainWindow() {
        if (window_) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

  private:
    HWND window_ = nullptr;
};

// A thread running a function; joined (delivering sent messages) when it goes.
class Thread {
  public:
    explicit Thread(std::function<void()> body) : body_(std::move(body)) {
        handle_ = CreateThread(nullptr, 0, &Thread::Main, this, 0, nullptr);
    }
    ~Thread() {
        WaitForThreadDeliveringSentMessages(handle_);
        CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool Ended() const { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

  private:
    static DWORD WINAPI Main(void* self) {
        static_cast<Thread*>(self)->body_();
        return 0;
    }
    std::function<void()> body_;
    HANDLE handle_;
};

class WaitStepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(window_.get(), nullptr) << "CreateWindowExA failed, error " << GetLastError();
        null_messages = posted_messages = timer_messages = 0;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

    ProgressState flags_;
    MainWindow window_;
};

TEST_F(WaitStepTest, SilentWaitsForTheWorkerAndTakesItsSentMessages) {
    flags_.SetSilent(true);
    HWND window = window_.get();
    Thread worker([window] {
        for (int i = 0; i < 5; ++i) {
            Sleep(20);
            SendMessageA(window, WM_NULL, 0, 0);  // would block forever if not delivered
        }
    });
    WaitStep(flags_, worker.get());
    EXPECT_TRUE(worker.Ended());
    EXPECT_EQ(null_messages, 5);
}

TEST_F(WaitStepTest, SilentWithoutWorkerReturnsAtOnce) {
    flags_.SetSilent(true);
    PostMessageA(window_.get(), kPosted, 0, 0);
    WaitStep(flags_, nullptr);
    EXPECT_EQ(posted_messages, 0);  // nothing is processed either
}

TEST_F(WaitStepTest, NonSilentReturnsAfterEachMessage) {
    HWND window = window_.get();
    std::atomic<bool> release{false};
    Thread worker([window, &release] {
        SendMessageA(window, WM_NULL, 0, 0);
        while (!release) Sleep(5);
    });
    WaitStep(flags_, worker.get());  // woken by the worker's sent message
    EXPECT_EQ(null_messages, 1);
    EXPECT_FALSE(worker.Ended());

    PostMessageA(window, kPosted, 0, 0);
    PostMessageA(window, kPosted, 0, 0);
    WaitStep(flags_, worker.get());  // one posted message per step
    EXPECT_EQ(posted_messages, 1);
    WaitStep(flags_, worker.get());
    EXPECT_EQ(posted_messages, 2);

    // Timers keep running while the main thread waits.
    SetTimer(window, 1, 30, nullptr);
    WaitStep(flags_, worker.get());
    KillTimer(window, 1);
    EXPECT_EQ(timer_messages, 1);

    // A worker that ends without a message still ends the wait.
    release = true;
    WaitStep(flags_, worker.get());
    EXPECT_TRUE(worker.Ended());
}

// Reports `steps` steps; remembers what it saw of the flags and the cancel request.
class CountingWorker : public LongOperationWorker {
  public:
    CountingWorker(ProgressState& progress, int steps)
        : LongOperationWorker(progress), steps_(steps) {}

    int completed = 0;
    bool saw_long_operation = false;
    bool throw_after_first_step = false;

  private:
    void Run() override {
        saw_long_operation = progress_.IsLongOperation();
        for (int step = 1; step <= steps_; ++step) {
            Sleep(2);
            if (!Report(step * 100 / steps_, "step " + std::to_string(step))) return;
            completed = step;
            if (throw_after_first_step) throw std::runtime_error("disk full");
        }
    }

    int steps_;
};

class LongOperationTest : public WaitStepTest {};

TEST_F(LongOperationTest, HandsProgressToTheDisplayAndClearsTheFlag) {
    for (const bool silent : {false, true}) {
        flags_.SetSilent(silent);
        CountingWorker worker(flags_, 20);
        std::vector<int> stored;
        const StoreStep store_step = [&](ProgressState& progress, const WorkerProgress& report) {
            StoreWorkerStatus("Extracting: ")(progress, report);
            stored.push_back(report.percentage);
        };
        std::string error;
        ASSERT_TRUE(RunLongOperation(flags_, worker, window_.get(), store_step, &error)) << error;
        EXPECT_TRUE(worker.IsDone());
        EXPECT_EQ(worker.completed, 20);
        EXPECT_TRUE(worker.saw_long_operation);
        EXPECT_FALSE(flags_.IsLongOperation());
        EXPECT_TRUE(worker.Failure().empty());
        EXPECT_EQ(worker.Progress().status, "step 20");
        ASSERT_FALSE(stored.empty());
        if (!silent) {
            EXPECT_GT(stored.size(), 1u);  // the display was refreshed while the worker ran
            EXPECT_GE(null_messages, 20);
        }
    }
}

TEST_F(LongOperationTest, AssigningAbortCancelsTheWorkerAtTheNextPass) {
    VariableStore store(flags_, WindowsStoreHooks());
    store.Declare("ABORT", "FALSE", "Initialization");
    CountingWorker worker(flags_, 1000);
    int passes = 0;
    const StoreStep store_step = [&](ProgressState& progress, const WorkerProgress& report) {
        KeepStoredProgress()(progress, report);
        if (++passes == 3) store.Assign("abort", "TRUE", "Set Variable Action");
    };
    ASSERT_TRUE(RunLongOperation(flags_, worker, window_.get(), store_step));
    EXPECT_LT(worker.completed, 1000);
    EXPECT_TRUE(flags_.IsCancelRequested());
    EXPECT_EQ(flags_.ReadProgress().text, "");  // "$ZOND$" kept the record as it was
}

TEST_F(LongOperationTest, AFailureInsideTheWorkerIsKept) {
    CountingWorker worker(flags_, 10);
    worker.throw_after_first_step = true;
    ASSERT_TRUE(RunLongOperation(flags_, worker, window_.get(), KeepStoredProgress()));
    EXPECT_EQ(worker.completed, 1);
    EXPECT_EQ(worker.Failure(), "disk full");
    EXPECT_FALSE(flags_.IsLongOperation());
}

TEST(StoreHooksOnWindows, CodePageUpperCase) {
    // The prefix's system code page is 1252: "é" upper-cases to "É" when matching references.
    ProgressState flags;
    VariableStore store(flags, WindowsStoreHooks());
    store.Declare("CAF\xC9", "coffee", "Test");
    EXPECT_EQ(store.Expand("$caf\xE9$"), "coffee");
    EXPECT_FALSE(store.IsDefined("caf\xE9"));  // look-ups still ignore ASCII case only
}

}  // namespace
