// The setup program with a display (Xvfb): the messages of its exit codes, found, read and
// answered by the test, the same endings without any message under "/s", and its start-up
// windows with and without a splash picture, held still for a screenshot.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine_messages.h"
#include "screenshot.h"
#include "setup_fixture.h"
#include "startup_watch.h"

namespace {

using setuptest::Listing;
using setuptest::MakeSetup;
using setuptest::SetupRecipe;

constexpr char kCaption[] = "Corvelle Wizard";

struct SeenBox {
    bool found = false;
    std::string text;
    bool error_icon = false;
    std::string owner_class;  // empty: no owner
};

BOOL CALLBACK NoteIcon(HWND child, LPARAM found) {
    char class_name[32] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    if (std::string(class_name) == "Static" &&
        (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return TRUE;
}

// Waits for the setup's message box, reads it, saves a screenshot when named and presses OK.
SeenBox AnswerBox(const setuptest::StartedSetup& setup, const std::string& shot) {
    SeenBox seen;
    HWND box = nullptr;
    for (int attempt = 0; attempt < 1000 && !box; ++attempt) {
        HWND candidate = setuptest::FindProcessWindow(setup.ProcessId(), "#32770");
        if (candidate && IsWindowVisible(candidate)) box = candidate;
        if (!box && WaitForSingleObject(setup.Process(), 0) == WAIT_OBJECT_0) return seen;
        if (!box) Sleep(20);
    }
    if (!box) return seen;
    seen.found = true;
    // The text of a message box; read again while the box is still being filled in.
    for (int attempt = 0; attempt < 100 && seen.text.empty(); ++attempt) {
        char text[1024] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        seen.text = text;
        if (seen.text.empty()) Sleep(20);
    }
    char caption[256] = {};
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ(caption, kCaption);
    EnumChildWindows(box, &NoteIcon, reinterpret_cast<LPARAM>(&seen.error_icon));
    if (HWND owner = GetWindow(box, GW_OWNER)) {
        char owner_class[64] = {};
        GetClassNameA(owner, owner_class, sizeof owner_class);
        seen.owner_class = owner_class;
    }
    if (!shot.empty()) {
        Sleep(300);
        EXPECT_TRUE(qortest::SaveScreenshot(shot));
    }
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return seen;
}

struct EndingCase {
    const char* fault;  // as setuptest::EarlyEnding names it, or "normal"
    int code;
    const char* message;  // the start of the message's text
    const char* owner;    // the owner's window class, empty for none
};

TEST(SetupProgramMessages, EachEndingShowsItsMessageUnlessSilent) {
    const EndingCase cases[] = {
        {"no-script", 13, "For internal use only", "TSetupInit"},
        {"no-resources", 14, "Setup resource not found", "TSetupInit"},
        {"broken-resources", 15, "Setup resource decompression failure", "TSetupInit"},
        {"no-package", 16, "Setup database not found", "TSetupInit"},
        {"dialogs", 11,
         "Runtime error in install: This setup shows wizard dialogs, and the dialog runtime "
         "that loads and shows them is missing from this setup engine.",
         ""},
        {"damaged-script", 11, "Runtime error in install: The setup script is damaged", ""},
        {"normal", 0, nullptr, ""},
    };
    for (const EndingCase& c : cases) {
        const std::string program =
            MakeSetup(std::string("box-") + c.fault, setuptest::EarlyEnding(c.fault));
        const std::string temp = setuptest::FolderOf(program) + "temp\\";

        setuptest::StartedSetup shown;
        ASSERT_TRUE(shown.Start(program, "", temp)) << c.fault;
        const SeenBox box = AnswerBox(shown, std::string("setup_message_") + c.fault);
        EXPECT_EQ(shown.Finish(20000), c.code) << c.fault;
        if (!c.message) {
            EXPECT_FALSE(box.found) << c.fault;
            continue;
        }
        ASSERT_TRUE(box.found) << c.fault;
        EXPECT_EQ(box.text.rfind(c.message, 0), 0u) << c.fault << ": " << box.text;
        EXPECT_TRUE(box.error_icon) << c.fault;
        EXPECT_EQ(box.owner_class, c.owner) << c.fault;

        // Silent: the same ending, and no message holds the program.
        setuptest::StartedSetup silent;
        ASSERT_TRUE(silent.Start(program, "/s", temp)) << c.fault;
        EXPECT_EQ(silent.Finish(20000), c.code) << c.fault << " /s";
        EXPECT_EQ(setuptest::FindProcessWindow(silent.ProcessId(), "#32770"), nullptr);
    }
}

// The language list appended to qor.dll replaces the engine's messages: the first block, then
// each named block in turn until the one named like the user's language (Wine's is English).
TEST(SetupProgramMessages, LanguageListOfTheArchiveLibraryTranslatesTheMessages) {
    const auto block = [](const std::string& resource_message, const std::string& caption) {
        std::string text;
        for (std::size_t line = 0; line < kBuiltInMessages.size(); ++line) {
            const std::string builtin(kBuiltInMessages[line]);
            if (line == 1) {
                text += resource_message;
            } else if (builtin == "Corvelle Wizard") {
                text += caption;
            } else {
                text += builtin;
            }
            text += "\r\n";
        }
        return text;
    };
    SetupRecipe recipe = Listing("Comment");
    recipe.resources = "";
    recipe.language_list = block("Setup-Ressource nicht gefunden", "Corvelle Assistent") +
                           "English\r\n" +
                           block("Setup resource missing (English list)", kCaption) +
                           "Deutsch\r\n" + block("Never used", "Never used");
    const std::string program = MakeSetup("language-list", recipe);
    setuptest::StartedSetup setup;
    ASSERT_TRUE(setup.Start(program, "", setuptest::FolderOf(program) + "temp\\"));
    const SeenBox box = AnswerBox(setup, "");
    EXPECT_EQ(setup.Finish(20000), 14);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "Setup resource missing (English list)");
}

class StartupWindows : public testing::Test {
  protected:
    // A setup whose 20 MB resource archive keeps start-up busy while the windows are looked at.
    setuptest::StartupWindowsSeen Watch(const std::string& name, bool picture,
                                        const std::string& arguments) {
        SetupRecipe recipe = Listing("Set Variable | X | 1");
        recipe.resources = "large.7z";
        recipe.picture = picture;
        const std::string program = MakeSetup(name, recipe);
        setuptest::StartedSetup setup;
        EXPECT_TRUE(setup.Start(program, arguments, setuptest::FolderOf(program) + "temp\\"));
        const setuptest::StartupWindowsSeen seen = setuptest::CatchStartupWindows(
            setup.ProcessId(), setup.MainThread(), setup.Process(), "setup_startup_" + name);
        EXPECT_EQ(setup.Finish(), 0);
        return seen;
    }

    static int Width(const RECT& rect) { return rect.right - rect.left; }
    static int Height(const RECT& rect) { return rect.bottom - rect.top; }

    static void ExpectPreparationWindow(const setuptest::StartupWindowsSeen& seen) {
        EXPECT_EQ(Width(seen.init_client), 369);
        EXPECT_EQ(Height(seen.init_client), 89);
        EXPECT_EQ(seen.caption, "Corvelle Wizard");
        EXPECT_EQ(seen.label,
                  "Corvelle is preparing the Corvelle Wizard which will install this "
                  "application. Please wait.");
        // Wine reports Windows 7: the first icon.
        EXPECT_TRUE(seen.icon1_visible);
        EXPECT_FALSE(seen.icon2_visible);
        EXPECT_TRUE(seen.screenshot_saved);
    }
};

TEST_F(StartupWindows, WithoutPictureOnlyThePreparationWindowShowsCentred) {
    const setuptest::StartupWindowsSeen seen = Watch("plain", false, "");
    ASSERT_TRUE(seen.found);
    ExpectPreparationWindow(seen);
    EXPECT_FALSE(seen.splash_visible);
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(seen.init.left, (screen_width - Width(seen.init)) / 2);
    EXPECT_EQ(seen.init.top, (screen_height - Height(seen.init)) / 2);
}

TEST_F(StartupWindows, WithPictureTheSplashIsCentredAndThePreparationWindowBelowIt) {
    const setuptest::StartupWindowsSeen seen = Watch("splash", true, "");
    ASSERT_TRUE(seen.found);
    ExpectPreparationWindow(seen);
    ASSERT_TRUE(seen.splash_visible);
    EXPECT_EQ(Width(seen.splash), 400);
    EXPECT_EQ(Height(seen.splash), 240);
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(seen.splash.left, (screen_width - 400) / 2);
    EXPECT_EQ(seen.splash.top, (screen_height - 240) / 2);
    EXPECT_EQ(seen.init.left, seen.splash.left + 200 + 50);
    // Below the splash: 264 + 240 + 25 = 529 would leave the screen; pulled up to 768 - h - 45.
    EXPECT_EQ(seen.init.top,
              std::min<long>(seen.splash.bottom + 25, screen_height - Height(seen.init) - 45));
}

TEST_F(StartupWindows, UpdateSwitchShowsNoWindows) {
    for (const char* arguments : {"/update", "-UpdateSetup"}) {
        EXPECT_FALSE(Watch(std::string("update") + arguments[1], true, arguments).found)
            << arguments;
    }
}

}  // namespace
