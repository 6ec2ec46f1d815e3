#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "language_selection.h"
#include "translations.h"

// TSetLanguage: the engine's fixed language dialog. 241 by 127 pixels, a dialog border, centred
// on the screen, font Tahoma 8. Caption "Select Setup Language"; Label1 "Please select the
// language to use during the installation:"; LangCombo, a drop-down list of the languages;
// BitBtn1 "&OK" (the default button, result 1) and BitBtn2 "&Cancel" (the cancel button,
// result 2). The caption, the label and the buttons take their texts from the engine message
// table when the dialog is shown.
//
// Two pictures, of which one shows: Image1, the system's information icon (IDI_INFORMATION), on
// Windows XP and later; Image2, the system's application icon (IDI_APPLICATION), before.
//
// The dialog is modal: Choose() returns when the user has pressed OK (Enter) or Cancel (Esc,
// the close box). Tests find it as a "#32770" window with the caption above; its controls
// carry the identifiers below.
class TSetLanguage : public LanguageDialog {
  public:
    static constexpr int kWidth = 241;
    static constexpr int kHeight = 127;

    static constexpr int kBitBtn1 = IDOK;      // result 1
    static constexpr int kBitBtn2 = IDCANCEL;  // result 2
    static constexpr int kLangCombo = 1001;
    static constexpr int kLabel1 = 1002;
    static constexpr int kImage1 = 1003;
    static constexpr int kImage2 = 1004;

    // `messages` gives the texts; the Windows version (GetVersionExA) chooses the picture.
    TSetLanguage(const Translations& messages, unsigned long windows_major,
                 unsigned long windows_minor, HWND owner = nullptr);

    std::optional<std::size_t> Choose(const std::vector<std::string>& languages,
                                      std::size_t preselected) override;

    // Shows the dialog modally; 1 after OK, 2 after Cancel, 0 when it could not be created
    // (GetLastError says why). After OK, SelectedIndex() is the entry selected in the list.
    int ShowModal(const std::vector<std::string>& languages, std::size_t preselected);
    std::optional<std::size_t> SelectedIndex() const { return selected_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
    void Initialise(HWND dialog);
    void Close(HWND dialog, int result);

    const Translations& messages_;
    bool xp_image_;
    HWND owner_;
    const std::vector<std::string>* languages_ = nullptr;  // during ShowModal
    std::size_t preselected_ = 0;
    std::optional<std::size_t> selected_;
};
