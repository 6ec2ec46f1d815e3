#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

// The state shared by long operations, the script and the progress display: the progress
// record, the progress lock, and the long-operation, cancel-requested and silent flags.
//
// Locking: the progress lock guards the record and every worker's percentage and status text.
// When the store lock is needed too, the progress lock is taken first. The three flags are
// atomics read without the lock: the cancel-requested and silent flags are written by the main
// thread; the long-operation flag by the starter of a long operation.

// Given instead of a progress text, stands for the stored text and numbers, unchanged.
inline constexpr std::string_view kKeepProgress = "$ZOND$";

struct ProgressRecord {
    std::string text;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    std::int64_t position = 0;
};

// What a worker reports of itself: a percentage (0 to 100, or -1 for "text only") and a text.
struct WorkerProgress {
    int percentage = 0;
    std::string status;
};

class ProgressState {
  public:
    // Stores the record under the progress lock. "$ZOND$" keeps everything as stored; a
    // position of -1 changes the text alone; otherwise text and all three numbers are stored.
    void StoreProgress(std::string_view text, std::int64_t minimum, std::int64_t maximum,
                       std::int64_t position);

    // The record as stored, copied under the progress lock.
    ProgressRecord ReadProgress() const;

    // The progress lock itself, for one display update or a worker's report.
    std::recursive_mutex& Lock() const { return lock_; }

    void SetLongOperation(bool value) { long_operation_.store(value); }
    bool IsLongOperation() const { return long_operation_.load(); }

    void SetCancelRequested(bool value) { cancel_requested_.store(value); }
    bool IsCancelRequested() const { return cancel_requested_.load(); }
    // -1 when cancel is requested, otherwise 1 (ABORT is refreshed from it).
    int CancelState() const { return IsCancelRequested() ? -1 : 1; }

    void SetSilent(bool value) { silent_.store(value); }
    bool IsSilent() const { return silent_.load(); }

  private:
    mutable std::recursive_mutex lock_;
    ProgressRecord record_;
    std::atomic<bool> long_operation_{false};
    std::atomic<bool> cancel_requested_{false};
    std::atomic<bool> silent_{false};
};

// The percentage of `done` units out of `total`: done * 100 / total + 1 in 64 bits, truncating,
// limited to 100, so that the first unit shows 1 and the end shows 100. A total of 0 or less
// counts as finished (100); a negative `done` as nothing done.
int ProgressPercentage(std::int64_t done, std::int64_t total);
