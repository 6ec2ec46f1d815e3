#include "startup_layout.h"

ScreenRect CentredOnScreen(int width, int height, int screen_width, int screen_height) {
    return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

ScreenRect PreparationBesideSplash(const ScreenRect& splash, int width, int height,
                                   int screen_width, int screen_height) {
    ScreenRect window{splash.left + splash.width / 2 + 50, splash.top + splash.height + 25, width,
                      height};
    const int lowest_top = screen_height - height - 45;
    const int rightmost_left = screen_width - width - 25;
    if (window.top > lowest_top) window.top = lowest_top;
    if (window.left > rightmost_left) window.left = rightmost_left;
    return window;
}
