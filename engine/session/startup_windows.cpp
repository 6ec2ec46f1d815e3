#include "startup_windows.h"

#include <commctrl.h>

#include "language_selection.h"

namespace {

constexpr int kIconLeft = 16;
constexpr int kIconTop = 16;
constexpr int kIconSize = 32;
constexpr int kLabelLeft = 56;
constexpr int kLabelTop = 16;
constexpr int kLabelWidth = 297;
constexpr int kLabelHeight = 33;
constexpr int kBarLeft = 16;
constexpr int kBarTop = 56;
constexpr int kBarWidth = 337;
constexpr int kBarHeight = 17;

constexpr DWORD kInitStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kInitExStyle = WS_EX_DLGMODALFRAME;

// Registers a window class of the program with the default window procedure, once.
void RegisterPlainClass(const char* name) {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = name;
    RegisterClassExA(&window_class);  // a second registration fails harmlessly
}

HWND AddControl(HWND parent, const char* window_class, DWORD style, int id, int x, int y, int width,
                int height) {
    return CreateWindowExA(0, window_class, "", WS_CHILD | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(INT_PTR{id}), GetModuleHandleA(nullptr),
                           nullptr);
}

void RepaintNow(HWND window) {
    if (window)
        RedrawWindow(window, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
}

// Tahoma at 8 points for the screen's resolution.
HFONT TahomaFont() {
    HDC screen = GetDC(nullptr);
    const int pixels_per_inch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return CreateFontA(-MulDiv(8, pixels_per_inch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
}

}  // namespace

// ---- TSetupSplash -------------------------------------------------------------------------

TSetupSplash::TSetupSplash() {
    RegisterPlainClass(kClassName);
    window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr));
    if (window_) AddControl(window_.get(), "STATIC", SS_BITMAP | WS_VISIBLE, kPicture, 0, 0, 1, 1);
}

bool TSetupSplash::ShowPicture(const std::string& bitmap_path) {
    if (!window_) return false;
    bitmap_.reset(LoadImageA(nullptr, bitmap_path.c_str(), IMAGE_BITMAP, 0, 0,
                             LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap_) return false;
    BITMAP info{};
    if (GetObjectA(bitmap_.get(), sizeof info, &info) == 0) return false;
    HWND picture = GetDlgItem(window_.get(), kPicture);
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    SetWindowPos(picture, nullptr, 0, 0, info.bmWidth, info.bmHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const ScreenRect place = CentredOnScreen(
        info.bmWidth, info.bmHeight, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(window_.get(), HWND_TOP, place.left, place.top, place.width, place.height,
                 SWP_SHOWWINDOW);
    visible_ = true;
    Repaint();
    return true;
}

ScreenRect TSetupSplash::Bounds() const {
    RECT rect{};
    if (window_) GetWindowRect(window_.get(), &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void TSetupSplash::Repaint() const {
    if (visible_) RepaintNow(window_.get());
}

// ---- TSetupInit ---------------------------------------------------------------------------

TSetupInit::TSetupInit(const Translations& messages, unsigned long windows_major,
                       unsigned long windows_minor)
    : messages_(messages) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    RegisterPlainClass(kClassName);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kInitStyle, FALSE, kInitExStyle);
    window_.reset(CreateWindowExA(kInitExStyle, kClassName, "", kInitStyle, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!window_) return;
    HWND window = window_.get();
    font_.reset(TahomaFont());
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    const bool xp_icon = ShowsXpImage(windows_major, windows_minor);
    HWND icon1 = AddControl(window, "STATIC", SS_ICON | (xp_icon ? WS_VISIBLE : 0), kIcon1,
                            kIconLeft, kIconTop, kIconSize, kIconSize);
    SendMessageA(icon1, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_INFORMATION)),
                 0);
    HWND icon2 = AddControl(window, "STATIC", SS_ICON | (xp_icon ? 0 : WS_VISIBLE), kIcon2,
                            kIconLeft, kIconTop, kIconSize, kIconSize);
    SendMessageA(icon2, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_APPLICATION)),
                 0);
    HWND label = AddControl(window, "STATIC", SS_LEFT | WS_VISIBLE, kLabel, kLabelLeft, kLabelTop,
                            kLabelWidth, kLabelHeight);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    AddControl(window, PROGRESS_CLASSA, WS_VISIBLE, kProgressBar, kBarLeft, kBarTop, kBarWidth,
               kBarHeight);
}

int TSetupInit::Width() const {
    RECT rect{};
    if (window_) GetWindowRect(window_.get(), &rect);
    return rect.right - rect.left;
}

int TSetupInit::Height() const {
    RECT rect{};
    if (window_) GetWindowRect(window_.get(), &rect);
    return rect.bottom - rect.top;
}

void TSetupInit::Show(int left, int top) {
    if (!window_) return;
    HWND window = window_.get();
    SetWindowTextA(window, messages_.Message("Corvelle Wizard").c_str());
    SetDlgItemTextA(
        window, kLabel,
        messages_
            .Message("Corvelle is preparing the Corvelle Wizard which will install this "
                     "application. Please wait.")
            .c_str());
    SetWindowPos(window, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    visible_ = true;
    Repaint();
}

void TSetupInit::SetProgressRange(int maximum, int position) const {
    if (!window_) return;
    HWND bar = GetDlgItem(window_.get(), kProgressBar);
    SendMessageA(bar, PBM_SETRANGE32, 0, maximum);
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TSetupInit::StepProgress() const {
    if (!window_) return;
    HWND bar = GetDlgItem(window_.get(), kProgressBar);
    SendMessageA(bar, PBM_DELTAPOS, 1, 0);
}

void TSetupInit::Repaint() const {
    if (visible_) RepaintNow(window_.get());
}
