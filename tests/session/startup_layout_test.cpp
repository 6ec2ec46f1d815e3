#include <gtest/gtest.h>

#include "startup_layout.h"

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kWidth = 375;  // the preparation window with its frame
constexpr int kHeight = 118;

TEST(StartupLayout, WindowsAreCentredOnTheScreen) {
    EXPECT_EQ(CentredOnScreen(400, 301, kScreenWidth, kScreenHeight),
              (ScreenRect{312, 233, 400, 301}));
    EXPECT_EQ(CentredOnScreen(1200, 900, kScreenWidth, kScreenHeight),
              (ScreenRect{-88, -66, 1200, 900}));
}

TEST(StartupLayout, PreparationWindowGoesBelowTheSplashAndStaysOnTheScreen) {
    const struct {
        ScreenRect splash;
        int left;
        int top;
    } cases[] = {
        // Below the splash, right of its middle.
        {{312, 200, 400, 200}, 312 + 200 + 50, 200 + 200 + 25},
        // A tall splash: the top is pulled up to screen height - height - 45.
        {{312, 84, 400, 600}, 562, kScreenHeight - kHeight - 45},
        // A wide splash: the left is pulled back to screen width - width - 25.
        {{112, 200, 1000, 200}, kScreenWidth - kWidth - 25, 425},
        // The exact limits stay.
        {{0, 0, 2 * (kScreenWidth - kWidth - 25 - 50), kScreenHeight - kHeight - 45 - 25},
         kScreenWidth - kWidth - 25,
         kScreenHeight - kHeight - 45},
    };
    for (const auto& c : cases) {
        const ScreenRect place =
            PreparationBesideSplash(c.splash, kWidth, kHeight, kScreenWidth, kScreenHeight);
        EXPECT_EQ(place, (ScreenRect{c.left, c.top, kWidth, kHeight}))
            << c.splash.left << "," << c.splash.top << " " << c.splash.width << "x"
            << c.splash.height;
    }
}

}  // namespace
