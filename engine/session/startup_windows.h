#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "startup_layout.h"
#include "translations.h"

// The two windows that show while a setup prepares itself: TSetupSplash with the setup's own
// picture, and TSetupInit, the small "preparing" window with a progress bar. Both are plain
// top-level windows of the main thread, created hidden; the start-up sequence places, shows,
// repaints and destroys them. Tests find them by their window class names, which are the
// class names below.

struct DestroyWindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, DestroyWindowDeleter>;

struct DeleteObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using OwnedGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, DeleteObjectDeleter>;

// TSetupSplash: a borderless window holding one picture, sized to the picture.
class TSetupSplash {
  public:
    static constexpr char kClassName[] = "TSetupSplash";
    static constexpr int kPicture = 1001;  // the picture control

    // Creates the window hidden; Window() is null when that failed.
    TSetupSplash();

    // Loads the bitmap file into the picture, sizes the window to it, centres it on the screen
    // and shows it. False, showing nothing, when the file cannot be loaded as a bitmap.
    bool ShowPicture(const std::string& bitmap_path);

    HWND Window() const { return window_.get(); }
    bool Visible() const { return visible_; }
    ScreenRect Bounds() const;
    void Repaint() const;

  private:
    OwnedWindow window_;
    OwnedGdiObject bitmap_;
    bool visible_ = false;
};

// TSetupInit: a fixed-size window with a caption and no system buttons; client area 369 x 89
// pixels, font Tahoma 8. An icon at (16, 16) (of two icons, the first shows on Windows XP and
// later, the second before), a word-wrapped label at (56, 16) of 297 x 33 pixels and a
// progress bar at (16, 56) of 337 x 17 pixels. When shown its caption and label take the texts
// "Corvelle Wizard" and "Corvelle is preparing ... Please wait." from the message table.
//
// The icons are the system's information icon (Windows XP and later) and its application icon
// (before).
class TSetupInit {
  public:
    static constexpr char kClassName[] = "TSetupInit";
    static constexpr int kClientWidth = 369;
    static constexpr int kClientHeight = 89;
    static constexpr int kIcon1 = 1001;
    static constexpr int kIcon2 = 1002;
    static constexpr int kLabel = 1003;
    static constexpr int kProgressBar = 1004;

    // Creates the window hidden; Window() is null when that failed.
    TSetupInit(const Translations& messages, unsigned long windows_major,
               unsigned long windows_minor);

    HWND Window() const { return window_.get(); }
    // The size of the whole window (frame and caption included).
    int Width() const;
    int Height() const;

    // Sets the texts, moves the window to the position and shows it.
    void Show(int left, int top);
    bool Visible() const { return visible_; }

    void SetProgressRange(int maximum, int position) const;
    void StepProgress() const;
    void Repaint() const;

  private:
    const Translations& messages_;
    OwnedWindow window_;
    OwnedGdiObject font_;
    bool visible_ = false;
};
