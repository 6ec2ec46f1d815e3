// The language dialog TSetLanguage under Xvfb, driven by the test from a second thread: the
// dialog is found by its caption, its controls are read, a language is picked and OK or
// Cancel pressed; a screenshot is saved. Then the whole selection over a real support folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "file_system.h"
#include "language_selection.h"
#include "screenshot.h"
#include "set_language.h"
#include "source_tags.h"
#include "translation_files.h"
#include "windows_version.h"

namespace {

constexpr char kCaption[] = "Select Setup Language";

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// What the driver saw of the dialog; checked on the test's thread after the dialog ended.
struct Seen {
    bool found = false;
    std::string caption;
    std::string label;
    std::string ok_text;
    std::string cancel_text;
    std::vector<std::string> items;
    int selected = -1;
    bool combo_is_drop_down_list = false;
    bool image1_visible = false;
    bool image2_visible = false;
    bool ok_is_default = false;
    RECT window{};
    std::string font_face;
    bool screenshot_saved = false;
};

void Observe(HWND dialog, Seen& seen) {
    seen.found = true;
    seen.caption = WindowText(dialog);
    seen.label = WindowText(GetDlgItem(dialog, TSetLanguage::kLabel1));
    seen.ok_text = WindowText(GetDlgItem(dialog, TSetLanguage::kBitBtn1));
    seen.cancel_text = WindowText(GetDlgItem(dialog, TSetLanguage::kBitBtn2));
    HWND combo = GetDlgItem(dialog, TSetLanguage::kLangCombo);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        seen.items.emplace_back(item);
    }
    seen.selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    seen.combo_is_drop_down_list =
        (GetWindowLongPtrA(combo, GWL_STYLE) & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST;
    seen.image1_visible = IsWindowVisible(GetDlgItem(dialog, TSetLanguage::kImage1)) != FALSE;
    seen.image2_visible = IsWindowVisible(GetDlgItem(dialog, TSetLanguage::kImage2)) != FALSE;
    seen.ok_is_default = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)) == TSetLanguage::kBitBtn1;
    GetWindowRect(dialog, &seen.window);
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HFONT>(
        SendMessageA(GetDlgItem(dialog, TSetLanguage::kLabel1), WM_GETFONT, 0, 0));
    if (handle != nullptr && GetObjectA(handle, sizeof font, &font) != 0) {
        seen.font_face = font.lfFaceName;
    }
}

// Finds the dialog of the given thread with this caption; waits at most ten seconds, which
// only a broken dialog ever reaches.
HWND WaitForDialog(const std::string& caption, DWORD thread) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HWND window = FindWindowA("#32770", caption.c_str());
        if (window != nullptr && GetWindowThreadProcessId(window, nullptr) == thread &&
            IsWindowVisible(window)) {
            return window;
        }
        Sleep(20);
    }
    return nullptr;
}

BOOL CALLBACK PostClose(HWND window, LPARAM) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Closes every window of the thread, so that a dialog the driver could not find does not keep
// the test waiting.
void CloseWindowsOf(DWORD thread) {
    EnumThreadWindows(thread, PostClose, 0);
}

// Runs `steps` on a second thread against the dialog that the calling thread shows meanwhile
// in `show`.
template <typename Show>
auto WithDriver(const std::string& caption, const std::function<void(HWND)>& steps, Show show) {
    const DWORD thread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = WaitForDialog(caption, thread);
        if (dialog == nullptr) {
            CloseWindowsOf(thread);
            return;
        }
        steps(dialog);
    });
    auto result = show();
    driver.join();
    return result;
}

void Screenshot(HWND dialog, const char* name, Seen& seen) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    seen.screenshot_saved = qortest::SaveScreenshot(name);
}

void Press(HWND dialog, int button) {
    SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
}

class LanguageDialogTest : public ::testing::Test {
  protected:
    class NoFiles : public TranslationFiles {
      public:
        FileStamp Stamp(const std::string&) const override { return {}; }
        FileRead Read(const std::string&, std::uint64_t) const override { return {}; }
    };
    NoFiles files_;
    Translations messages_{files_};
    const WindowsVersion& version_ = RunningWindowsVersion();
    const std::vector<std::string> languages_ = {"English", "German", "French", "Dutch"};
};

TEST_F(LanguageDialogTest, PickALanguageAndPressOk) {
    TSetLanguage dialog(messages_, version_.major, version_.minor);
    Seen seen;
    const std::optional<std::size_t> chosen = WithDriver(
        kCaption,
        [&](HWND window) {
            Observe(window, seen);
            SendDlgItemMessageA(window, TSetLanguage::kLangCombo, CB_SETCURSEL, 2, 0);
            Screenshot(window, "set_language", seen);
            Press(window, TSetLanguage::kBitBtn1);
        },
        [&] { return dialog.Choose(languages_, 1); });

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(chosen, std::optional<std::size_t>(2));
    EXPECT_EQ(seen.caption, "Select Setup Language");
    EXPECT_EQ(seen.label, "Please select the language to use during the installation:");
    EXPECT_EQ(seen.ok_text, "&OK");
    EXPECT_EQ(seen.cancel_text, "&Cancel");
    EXPECT_EQ(seen.items, languages_);
    EXPECT_EQ(seen.selected, 1);  // the preselected entry
    EXPECT_TRUE(seen.combo_is_drop_down_list);
    EXPECT_TRUE(seen.ok_is_default);
    EXPECT_EQ(seen.font_face, "Tahoma");
    // Wine reports Windows 7: the picture of XP and later.
    EXPECT_TRUE(seen.image1_visible);
    EXPECT_FALSE(seen.image2_visible);
    EXPECT_EQ(seen.window.right - seen.window.left, TSetLanguage::kWidth);
    EXPECT_EQ(seen.window.bottom - seen.window.top, TSetLanguage::kHeight);
    EXPECT_EQ(seen.window.left, (GetSystemMetrics(SM_CXSCREEN) - TSetLanguage::kWidth) / 2);
    EXPECT_EQ(seen.window.top, (GetSystemMetrics(SM_CYSCREEN) - TSetLanguage::kHeight) / 2);
    EXPECT_TRUE(seen.screenshot_saved);
}

TEST_F(LanguageDialogTest, CancelAndTheCloseBoxGiveNoLanguage) {
    for (const bool close_box : {false, true}) {
        SCOPED_TRACE(close_box ? "close box" : "Cancel");
        TSetLanguage dialog(messages_, version_.major, version_.minor);
        bool found = false;
        const int result = WithDriver(
            kCaption,
            [&](HWND window) {
                found = true;
                SendDlgItemMessageA(window, TSetLanguage::kLangCombo, CB_SETCURSEL, 3, 0);
                if (close_box) {
                    PostMessageA(window, WM_CLOSE, 0, 0);
                } else {
                    Press(window, TSetLanguage::kBitBtn2);
                }
            },
            [&] { return dialog.ShowModal(languages_, 0); });
        EXPECT_TRUE(found);
        EXPECT_EQ(result, 2);
        EXPECT_FALSE(dialog.SelectedIndex().has_value());
    }
}

TEST_F(LanguageDialogTest, TextsComeFromTheMessageTable) {
    // A message file whose block translates the dialog's four texts.
    std::string block;
    for (std::size_t line = 1; line <= kMessageBlockLines; ++line) {
        std::string text(kBuiltInMessages[line - 1]);
        if (line == 38) text = "&Ja";
        if (line == 39) text = "&Abbrechen";
        if (line == 89) text = "Setup-Sprache";
        if (line == 90) text = "Sprache der Installation:";
        block += text + "\r\n";
    }
    messages_.ApplyMessageText(block);
    TSetLanguage dialog(messages_, 5, 0);  // before XP: the other picture
    Seen seen;
    const std::optional<std::size_t> chosen = WithDriver(
        "Setup-Sprache",
        [&](HWND window) {
            Observe(window, seen);
            Screenshot(window, "set_language_translated", seen);
            Press(window, TSetLanguage::kBitBtn1);
        },
        [&] { return dialog.Choose(languages_, 0); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(chosen, std::optional<std::size_t>(0));
    EXPECT_EQ(seen.label, "Sprache der Installation:");
    EXPECT_EQ(seen.ok_text, "&Ja");
    EXPECT_EQ(seen.cancel_text, "&Abbrechen");
    EXPECT_FALSE(seen.image1_visible);
    EXPECT_TRUE(seen.image2_visible);
}

// The whole selection over a support folder on disk: the real folder listing, files and dialog.
class SupportFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ =
            std::string(temp) + "qor_language_" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateFolderTree(folder_).ok);
        for (const char* name :
             {"Widget.mtx", "translations.Map", "translations.English", "translations.German",
              "translations.French", "shared.translations.German", "translations.shared"}) {
            ASSERT_TRUE(WriteNewFile(folder_ + name, "Label1\r\n").ok);
            created_.push_back(folder_ + name);
        }
        ASSERT_TRUE(CreateFolderTree(folder_ + "translations.Folder").ok);
    }
    void TearDown() override {
        for (const std::string& path : created_) DeleteFileA(path.c_str());
        RemoveDirectoryA((folder_ + "translations.Folder").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::string folder_;
    std::vector<std::string> created_;
};

TEST_F(SupportFolder, TheUserPicksALanguageThatBecomesLanguage) {
    ProgressState flags;
    VariableStore store(flags);
    store.Declare("MAINTENANCE", "FALSE", kTagBootstrap);
    WindowsTranslationFiles files;
    Translations translations(files);
    const WindowsVersion& version = RunningWindowsVersion();
    TSetLanguage dialog(translations, version.major, version.minor);
    LanguageSelectionContext context{store, translations, flags, files, ListFileNames, dialog};
    LanguageSelectionInput input;
    input.support_folder = folder_;
    input.product_title = "Widget";
    input.default_language = "English";
    input.offer_choice = true;
    input.user_language_name = "German";

    Seen seen;
    const LanguageChoice choice = WithDriver(
        kCaption,
        [&](HWND window) {
            Observe(window, seen);
            HWND combo = GetDlgItem(window, TSetLanguage::kLangCombo);
            const LRESULT french = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>("French"));
            SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(french), 0);
            Press(window, TSetLanguage::kBitBtn1);
        },
        [&] { return SelectLanguage(input, context); });

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(choice, LanguageChoice::kChosen);
    std::vector<std::string> items = seen.items;
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"English", "French", "German"}));
    ASSERT_GE(seen.selected, 0);
    EXPECT_EQ(seen.items[static_cast<std::size_t>(seen.selected)], "German");
    EXPECT_EQ(store.Read("LANGUAGE"), "French");
    EXPECT_EQ(translations.SelectedLanguage(), "French");
}

TEST_F(SupportFolder, CancelEndsTheRun) {
    ProgressState flags;
    VariableStore store(flags);
    WindowsTranslationFiles files;
    Translations translations(files);
    TSetLanguage dialog(translations, 6, 1);
    LanguageSelectionContext context{store, translations, flags, files, ListFileNames, dialog};
    LanguageSelectionInput input;
    input.support_folder = folder_;
    input.product_title = "Widget";
    input.default_language = "English";
    input.offer_choice = true;

    const LanguageChoice choice = WithDriver(
        kCaption, [&](HWND window) { Press(window, TSetLanguage::kBitBtn2); },
        [&] { return SelectLanguage(input, context); });
    EXPECT_EQ(choice, LanguageChoice::kCancelled);
    EXPECT_EQ(store.Read("LANGUAGE"), "");
}

}  // namespace
