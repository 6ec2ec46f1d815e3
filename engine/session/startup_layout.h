#pragma once

// Where the start-up windows go on the screen, in pixels.

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// A window of this size centred on a screen of this size.
ScreenRect CentredOnScreen(int width, int height, int screen_width, int screen_height);

// The preparation window below the splash picture: its left edge at the splash's left + half
// the splash's width + 50, its top 25 pixels below the splash; then pulled back inside the
// screen: a top below screen height - window height - 45 becomes that value, a left beyond
// screen width - window width - 25 becomes that value.
ScreenRect PreparationBesideSplash(const ScreenRect& splash, int width, int height,
                                   int screen_width, int screen_height);
