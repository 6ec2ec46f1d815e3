// Opens a real window with a button and an edit control, finds them through the Windows API,
// presses the button with a window message and checks the effect, then saves a screenshot.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "screenshot.h"

namespace {

constexpr int kEditId = 101;
constexpr int kButtonId = 102;
constexpr char kClassName[] = "QorGuiProof";

LRESULT CALLBACK ProofWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && LOWORD(wparam) == kButtonId && HIWORD(wparam) == BN_CLICKED) {
        SetDlgItemTextA(window, kEditId, "Button pressed");
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class ProofWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = ProofWindowProc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
        window_class.lpszClassName = kClassName;
        RegisterClassA(&window_class);

        window_ = CreateWindowExA(0, kClassName, "Qor GUI proof", WS_OVERLAPPEDWINDOW, 100, 100,
                                  360, 160, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr) << "CreateWindowExA failed, error " << GetLastError();
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "Initial text", WS_CHILD | WS_VISIBLE, 20, 20,
                        300, 24, window_, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
        CreateWindowExA(0, "BUTTON", "Press me", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 60,
                        120, 30, window_, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        PumpMessages();
    }

    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }

    HWND window_ = nullptr;
};

TEST_F(ProofWindow, ButtonPressChangesEditTextAndScreenshotIsSaved) {
    HWND found = FindWindowA(kClassName, "Qor GUI proof");
    ASSERT_EQ(found, window_);
    HWND edit = FindWindowExA(found, nullptr, "Edit", nullptr);
    HWND button = FindWindowExA(found, nullptr, "Button", nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(WindowText(edit), "Initial text");
    EXPECT_EQ(WindowText(button), "Press me");

    SendMessageA(button, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(WindowText(edit), "Button pressed");

    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    Sleep(200);
    PumpMessages();
    EXPECT_TRUE(qortest::SaveScreenshot("gui_proof")) << "error " << GetLastError();
}

}  // namespace
