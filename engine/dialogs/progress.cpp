#include "progress.h"

#include <algorithm>

void ProgressState::StoreProgress(std::string_view text, std::int64_t minimum, std::int64_t maximum,
                                  std::int64_t position) {
    std::lock_guard hold(lock_);
    if (text == kKeepProgress) return;
    if (position != -1) {
        record_.minimum = minimum;
        record_.maximum = maximum;
        record_.position = position;
    }
    record_.text = text;
}

ProgressRecord ProgressState::ReadProgress() const {
    std::lock_guard hold(lock_);
    return record_;
}

int ProgressPercentage(std::int64_t done, std::int64_t total) {
    if (total <= 0 || done >= total) return 100;
    if (done <= 0) return 1;
    // done * 100 / total without forming done * 100, which may not fit in 64 bits: Horner's
    // rule over the bits of 100, keeping k * done = quotient * total + rest, 0 <= rest < total.
    const auto d = static_cast<std::uint64_t>(done);
    const auto t = static_cast<std::uint64_t>(total);
    std::uint64_t quotient = 0;
    std::uint64_t rest = 0;
    for (int bit = 6; bit >= 0; --bit) {
        quotient *= 2;
        rest *= 2;
        if (rest >= t) ++quotient, rest -= t;
        if ((100 >> bit) & 1) {
            rest += d;
            if (rest >= t) ++quotient, rest -= t;
        }
    }
    return static_cast<int>(std::min<std::uint64_t>(quotient + 1, 100));
}
