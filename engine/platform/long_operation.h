#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "progress.h"

// The pattern of every long operation (extraction, copying, download, file search, external
// programs, plug-in calls, the installer session), written once.
//
// The starter, on the main thread, calls RunLongOperation with a worker. It sets the
// long-operation flag, starts the worker on a thread of its own and then, until the worker's
// done flag is set: stores the progress for the display (the starter's StoreStep), makes one
// WaitStep, and copies the cancel-requested flag into the worker's cancel flag. Then it waits
// for the thread to end, clears the flag and returns; the starter reads the worker's results.
//
// The worker derives from LongOperationWorker and does its work in Run(), on the worker
// thread. At each step it calls Report(), which stores its percentage and status under the
// progress lock, reads its cancel flag and wakes the main thread with WM_NULL sent to the wake
// window; it stops early when Report() answers false (or IsCancelled() is true). The done flag
// is set after Run() returns, as the last thing the thread does. An exception that escapes
// Run() is caught and kept as Failure(); what a failed or cancelled worker means is the
// starter's decision.
class LongOperationWorker {
  public:
    virtual ~LongOperationWorker() = default;
    LongOperationWorker(const LongOperationWorker&) = delete;
    LongOperationWorker& operator=(const LongOperationWorker&) = delete;

    bool IsDone() const { return done_.load(); }
    // The last reported percentage and status, copied under the progress lock.
    WorkerProgress Progress() const;
    // The message of an exception that escaped Run(), or empty. Read after the operation.
    const std::string& Failure() const { return failure_; }

  protected:
    explicit LongOperationWorker(ProgressState& progress) : progress_(progress) {}

    // The work, on the worker thread.
    virtual void Run() = 0;

    // Stores the percentage (0 to 100, or -1: text only) and status text, then wakes the main
    // thread. Answers false when the work should stop because cancel was requested.
    bool Report(int percentage, std::string status);
    bool IsCancelled() const { return cancel_.load(); }

    ProgressState& progress_;

  private:
    friend bool RunLongOperation(ProgressState&, LongOperationWorker&, HWND,
                                 const std::function<void(ProgressState&, const WorkerProgress&)>&,
                                 std::string*);
    static unsigned __stdcall ThreadMain(void* worker);

    std::atomic<bool> done_{false};
    std::atomic<bool> cancel_{false};
    HWND wake_window_ = nullptr;      // set before the thread starts, then only read
    WorkerProgress progress_report_;  // under the progress lock
    std::string failure_;             // written by the thread before done_
};

// Stores the progress for the display once per pass of the waiting loop, from the worker's
// last report: for example a fixed prefix and the worker's status, or the script's
// PROGRESSTEXT and PROGRESS, or "$ZOND$" when the worker fills the record itself.
using StoreStep = std::function<void(ProgressState&, const WorkerProgress&)>;

// StoreProgress(prefix + status, 0, 100, percentage).
StoreStep StoreWorkerStatus(std::string prefix);
// StoreProgress("$ZOND$", ...): the record stays as the worker wrote it.
StoreStep KeepStoredProgress();

// Runs `worker` on a new thread while the calling (main) thread waits as described above.
// `wake_window` is the main-thread window that the worker's WM_NULL goes to (may be null).
// Returns false, with the reason in *error when given, if the thread could not be started; the
// long-operation flag is then clear again and the worker has not run.
bool RunLongOperation(ProgressState& progress, LongOperationWorker& worker, HWND wake_window,
                      const StoreStep& store_step, std::string* error = nullptr);
