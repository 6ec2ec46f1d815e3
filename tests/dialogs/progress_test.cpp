// The progress record, the cancel state and the percentage rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "progress.h"

namespace {

bool operator==(const ProgressRecord& a, const ProgressRecord& b) {
    return a.text == b.text && a.minimum == b.minimum && a.maximum == b.maximum &&
           a.position == b.position;
}

TEST(ProgressRecord, StoreRules) {
    ProgressState progress;
    EXPECT_TRUE(progress.ReadProgress() == (ProgressRecord{"", 0, 0, 0}));
    progress.StoreProgress("Extracting", 0, 100, 40);
    EXPECT_TRUE(progress.ReadProgress() == (ProgressRecord{"Extracting", 0, 100, 40}));
    progress.StoreProgress("Copying", 5, 6, -1);  // text alone
    EXPECT_TRUE(progress.ReadProgress() == (ProgressRecord{"Copying", 0, 100, 40}));
    progress.StoreProgress("$ZOND$", 5, 6, 7);  // everything kept
    EXPECT_TRUE(progress.ReadProgress() == (ProgressRecord{"Copying", 0, 100, 40}));
    progress.StoreProgress("", -5, 1LL << 40, 1LL << 33);
    EXPECT_TRUE(progress.ReadProgress() == (ProgressRecord{"", -5, 1LL << 40, 1LL << 33}));
}

TEST(ProgressFlags, CancelState) {
    ProgressState progress;
    EXPECT_EQ(progress.CancelState(), 1);
    progress.SetCancelRequested(true);
    EXPECT_EQ(progress.CancelState(), -1);
    progress.SetCancelRequested(false);
    EXPECT_EQ(progress.CancelState(), 1);
}

TEST(ProgressPercentage, FirstUnitShowsOneAndTheEndOneHundred) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::int64_t done, total;
        int expected;
    } cases[] = {
        {1, 1000, 1},
        {999, 1000, 100},
        {1000, 1000, 100},
        {0, 1000, 1},
        {500, 1000, 51},
        {1, 3, 34},
        {2, 3, 67},
        {5, 0, 100},
        {-1, 10, 1},
        {2000, 1000, 100},
        {kMax / 2, kMax, 50},  // no overflow of done * 100
        {kMax - 1, kMax, 100},
        {kMax / 100, kMax, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressPercentage(c.done, c.total), c.expected) << c.done << "/" << c.total;
    }
}

}  // namespace
