#include "runner_platform_windows.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "locale_text.h"
#include "redirection_guard.h"

namespace {

bool DispatchOne() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

HWND ValidOwner(std::uintptr_t owner) {
    HWND window = reinterpret_cast<HWND>(owner);
    return window && IsWindow(window) ? window : nullptr;
}

// COM for the folder browser, initialised for the call when the thread has not done it.
class ComForCall {
  public:
    ComForCall() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComForCall() {
        if (initialised_) CoUninitialize();
    }
    ComForCall(const ComForCall&) = delete;
    ComForCall& operator=(const ComForCall&) = delete;

  private:
    bool initialised_;
};

class HeldRedirectionGuard : public FileSystemScope {
  public:
    explicit HeldRedirectionGuard(std::string_view platform_mode)
        : guard_(platform_mode != "Win32") {}

  private:
    RedirectionGuard guard_;
};

// Maps the text in pieces that fit the functions' DWORD length; one byte in, one byte out.
std::string MapCase(std::string_view text, DWORD(WINAPI* map)(LPSTR, DWORD)) {
    std::string result(text);
    char* at = result.data();
    std::size_t left = result.size();
    while (left > 0) {
        const std::size_t piece = std::min<std::size_t>(left, INT_MAX);
        map(at, static_cast<DWORD>(piece));
        at += piece;
        left -= piece;
    }
    return result;
}

}  // namespace

void WindowsRunnerPlatform::ProcessPendingMessages() {
    while (DispatchOne()) {
    }
}

void WindowsRunnerPlatform::ProcessOneMessage() {
    DispatchOne();
}

DateTimeTexts WindowsRunnerPlatform::CurrentDateTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const std::uint64_t second = ticks / 10'000'000;
    if (second != formatted_second_) {
        const LocalDateTime local = CurrentLocalDateTime();
        formatted_ = {local.date, local.time};
        formatted_second_ = second;
    }
    return formatted_;
}

bool WindowsRunnerPlatform::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WindowsRunnerPlatform::ShowError(const std::string& text, const std::string& caption,
                                      std::uintptr_t owner) {
    MessageBoxA(ValidOwner(owner), text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
}

std::optional<std::string> WindowsRunnerPlatform::BrowseForFolder(const std::string& prompt,
                                                                  std::uintptr_t owner) {
    if (flags_.IsSilent()) return std::nullopt;
    const ComForCall com;
    char display_name[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = ValidOwner(owner);
    info.pszDisplayName = display_name;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (!chosen) return std::nullopt;
    char path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (!ok) return std::nullopt;
    return std::string(path);
}

std::unique_ptr<FileSystemScope> WindowsRunnerPlatform::GuardRedirection(
    std::string_view platform_mode) {
    return std::make_unique<HeldRedirectionGuard>(platform_mode);
}

std::optional<std::string> WindowsRunnerPlatform::CreateTemporaryFile(const std::string& folder,
                                                                      const std::string& prefix) {
    char path[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, path) == 0) return std::nullopt;
    return std::string(path);
}

std::optional<std::string> WindowsRunnerPlatform::ShortPathName(const std::string& path) {
    char short_path[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), short_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return std::string(short_path, length);
}

std::optional<std::string> WindowsRunnerPlatform::FoundName(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    return std::string(found.cFileName, strnlen(found.cFileName, MAX_PATH));
}

std::string WindowsRunnerPlatform::UpperCase(std::string_view text) {
    return MapCase(text, CharUpperBuffA);
}

std::string WindowsRunnerPlatform::LowerCase(std::string_view text) {
    return MapCase(text, CharLowerBuffA);
}
