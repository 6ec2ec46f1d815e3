#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "progress.h"
#include "runner_platform.h"

// The runner's system operations on Windows: the message queue of the calling thread, the local
// date and time in the user's formats, file existence, message boxes and the folder browser;
// for the commands, the redirection guard, temporary files, short and long path names and the
// code page's letter case.
class WindowsRunnerPlatform : public RunnerPlatform {
  public:
    // `flags`: in a silent run the folder browser is not shown (it answers "cancelled").
    explicit WindowsRunnerPlatform(const ProgressState& flags) : flags_(flags) {}

    // Dispatches every posted message that is waiting (PeekMessageA, TranslateMessage,
    // DispatchMessageA); sent messages are delivered on the way.
    void ProcessPendingMessages() override;
    // Dispatches one waiting message, if any; does not wait.
    void ProcessOneMessage() override;
    // GetDateFormatA (short date) and GetTimeFormatA (long time) of the current local time. The
    // texts are formatted again only when the system time has moved on to another second.
    DateTimeTexts CurrentDateTime() override;
    // GetFileAttributesA: exists and is not a folder.
    bool FileExists(const std::string& path) override;
    // MessageBoxA with MB_ICONERROR | MB_OK; a window handle that is no longer valid is replaced
    // by no owner.
    void ShowError(const std::string& text, const std::string& caption,
                   std::uintptr_t owner) override;
    // SHBrowseForFolderA with the prompt as its title (file-system folders only).
    std::optional<std::string> BrowseForFolder(const std::string& prompt,
                                               std::uintptr_t owner) override;

    // A RedirectionGuard (redirection_guard.h).
    std::unique_ptr<FileSystemScope> GuardRedirection(std::string_view platform_mode) override;
    // GetTempFileNameA(folder, prefix, 0) with a buffer of MAX_PATH characters.
    std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                   const std::string& prefix) override;
    // GetShortPathNameA with a buffer of MAX_PATH characters; a longer result is a failure.
    std::optional<std::string> ShortPathName(const std::string& path) override;
    // FindFirstFileA: cFileName of the first entry; the search handle is closed at once.
    std::optional<std::string> FoundName(const std::string& path) override;
    // CharUpperBuffA and CharLowerBuffA.
    std::string UpperCase(std::string_view text) override;
    std::string LowerCase(std::string_view text) override;

  private:
    const ProgressState& flags_;
    std::uint64_t formatted_second_ = ~std::uint64_t{0};
    DateTimeTexts formatted_;
};
