#include "set_language.h"

#include <cstring>

namespace {

constexpr int kMargin = 8;
constexpr int kImageSize = 32;
constexpr int kTextLeft = kMargin + kImageSize + kMargin;
constexpr int kLabelHeight = 28;
constexpr int kComboTop = 40;
constexpr int kComboDropHeight = 160;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

// A dialog template without controls (they are created in pixels when the dialog starts), with
// the dialog border and the font Tahoma 8. DLGTEMPLATE, then menu, class and caption (all empty),
// then the point size and the face name, all as 16-bit words; the whole must start on a
// 32-bit boundary, hence the storage of DWORDs.
std::vector<DWORD> DialogTemplate() {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    // clang-format off
    std::vector<WORD> words = {
        LOWORD(style), HIWORD(style),
        0, 0,           // extended style
        0,              // number of controls
        0, 0, 160, 80,  // position and size in dialog units; set in pixels later
        0,              // no menu
        0,              // the standard dialog class
        0,              // empty caption
        8,              // point size
    };
    // clang-format on
    for (const char c : std::string_view("Tahoma")) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    std::vector<DWORD> storage((words.size() + 1) / 2, 0);
    std::memcpy(storage.data(), words.data(), words.size() * sizeof(WORD));
    return storage;
}

HWND AddControl(HWND dialog, const char* window_class, const std::string& text, DWORD style, int id,
                int x, int y, int width, int height) {
    HWND control = CreateWindowExA(0, window_class, text.c_str(), WS_CHILD | style, x, y, width,
                                   height, dialog, reinterpret_cast<HMENU>(INT_PTR{id}),
                                   GetModuleHandleA(nullptr), nullptr);
    if (control != nullptr) {
        SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    }
    return control;
}

}  // namespace

TSetLanguage::TSetLanguage(const Translations& messages, unsigned long windows_major,
                           unsigned long windows_minor, HWND owner)
    : messages_(messages), xp_image_(ShowsXpImage(windows_major, windows_minor)), owner_(owner) {}

std::optional<std::size_t> TSetLanguage::Choose(const std::vector<std::string>& languages,
                                                std::size_t preselected) {
    if (ShowModal(languages, preselected) != IDOK) return std::nullopt;
    return selected_;
}

int TSetLanguage::ShowModal(const std::vector<std::string>& languages, std::size_t preselected) {
    languages_ = &languages;
    preselected_ = preselected;
    selected_.reset();
    const std::vector<DWORD> dialog_template = DialogTemplate();
    const INT_PTR result = DialogBoxIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialog_template.data()),
        owner_, DialogProc, reinterpret_cast<LPARAM>(this));
    languages_ = nullptr;
    return result == IDOK || result == IDCANCEL ? static_cast<int>(result) : 0;
}

INT_PTR CALLBACK TSetLanguage::DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        reinterpret_cast<TSetLanguage*>(lparam)->Initialise(dialog);
        return FALSE;  // the focus is set
    }
    auto* self = reinterpret_cast<TSetLanguage*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (self != nullptr && message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
        const int id = LOWORD(wparam);
        if (id == kBitBtn1 || id == kBitBtn2) {
            self->Close(dialog, id);
            return TRUE;
        }
    }
    return FALSE;
}

void TSetLanguage::Initialise(HWND dialog) {
    SetWindowTextA(dialog, messages_.Message("Select Setup Language").c_str());
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    SetWindowPos(dialog, nullptr, left, top, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(dialog, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int text_width = width - kTextLeft - kMargin;

    HWND image1 = AddControl(dialog, "STATIC", "", SS_ICON | (xp_image_ ? WS_VISIBLE : 0), kImage1,
                             kMargin, kMargin, kImageSize, kImageSize);
    SendMessageA(image1, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_INFORMATION)),
                 0);
    HWND image2 = AddControl(dialog, "STATIC", "", SS_ICON | (xp_image_ ? 0 : WS_VISIBLE), kImage2,
                             kMargin, kMargin, kImageSize, kImageSize);
    SendMessageA(image2, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_APPLICATION)),
                 0);
    AddControl(dialog, "STATIC",
               messages_.Message("Please select the language to use during the installation:"),
               SS_LEFT | WS_VISIBLE, kLabel1, kTextLeft, kMargin, text_width, kLabelHeight);
    HWND combo =
        AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE,
                   kLangCombo, kTextLeft, kComboTop, text_width, kComboDropHeight);
    const int button_top = height - kMargin - kButtonHeight;
    AddControl(dialog, "BUTTON", messages_.Message("&OK"),
               BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kBitBtn1,
               width - 2 * (kMargin + kButtonWidth), button_top, kButtonWidth, kButtonHeight);
    AddControl(dialog, "BUTTON", messages_.Message("&Cancel"),
               BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, kBitBtn2, width - kMargin - kButtonWidth,
               button_top, kButtonWidth, kButtonHeight);

    for (const std::string& language : *languages_) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(language.c_str()));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(preselected_), 0);
    SendMessageA(dialog, DM_SETDEFID, kBitBtn1, 0);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
}

void TSetLanguage::Close(HWND dialog, int result) {
    if (result == kBitBtn1) {
        const LRESULT index = SendDlgItemMessageA(dialog, kLangCombo, CB_GETCURSEL, 0, 0);
        selected_ = index == CB_ERR ? preselected_ : static_cast<std::size_t>(index);
    }
    EndDialog(dialog, result);
}
