#include "long_operation.h"

#include <process.h>

#include <exception>
#include <mutex>
#include <utility>

#include "wait_step.h"

namespace {

// Owns a thread handle; closes it when it goes.
class ThreadHandle {
  public:
    explicit ThreadHandle(HANDLE handle) : handle_(handle) {}
    ~ThreadHandle() {
        if (handle_) CloseHandle(handle_);
    }
    ThreadHandle(const ThreadHandle&) = delete;
    ThreadHandle& operator=(const ThreadHandle&) = delete;

    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

}  // namespace

WorkerProgress LongOperationWorker::Progress() const {
    std::lock_guard hold(progress_.Lock());
    return progress_report_;
}

bool LongOperationWorker::Report(int percentage, std::string status) {
    bool cancelled;
    {
        std::lock_guard hold(progress_.Lock());
        progress_report_.percentage = percentage;
        progress_report_.status = std::move(status);
        cancelled = cancel_.load();
    }
    if (wake_window_) SendMessageA(wake_window_, WM_NULL, 0, 0);
    return !cancelled;
}

unsigned __stdcall LongOperationWorker::ThreadMain(void* parameter) {
    auto* worker = static_cast<LongOperationWorker*>(parameter);
    try {
        worker->Run();
    } catch (const std::exception& failure) {
        worker->failure_ = failure.what();
    } catch (...) {
        worker->failure_ = "unexpected failure in a long operation";
    }
    worker->done_.store(true);
    return 0;
}

StoreStep StoreWorkerStatus(std::string prefix) {
    return [prefix = std::move(prefix)](ProgressState& progress, const WorkerProgress& report) {
        progress.StoreProgress(prefix + report.status, 0, 100, report.percentage);
    };
}

StoreStep KeepStoredProgress() {
    return [](ProgressState& progress, const WorkerProgress&) {
        progress.StoreProgress(kKeepProgress, 0, 0, 0);
    };
}

bool RunLongOperation(ProgressState& progress, LongOperationWorker& worker, HWND wake_window,
                      const StoreStep& store_step, std::string* error) {
    {
        std::lock_guard hold(progress.Lock());
        worker.progress_report_ = {};
    }
    worker.failure_.clear();
    worker.done_.store(false);
    worker.cancel_.store(false);
    worker.wake_window_ = wake_window;
    progress.SetLongOperation(true);

    const ThreadHandle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &LongOperationWorker::ThreadMain, &worker, 0, nullptr)));
    if (!thread.get()) {
        progress.SetLongOperation(false);
        if (error) *error = "_beginthreadex failed, error " + std::to_string(GetLastError());
        return false;
    }
    while (!worker.IsDone()) {
        store_step(progress, worker.Progress());
        WaitStep(progress, thread.get());
        worker.cancel_.store(progress.IsCancelRequested());
    }
    WaitForThreadDeliveringSentMessages(thread.get());
    progress.SetLongOperation(false);
    return true;
}
