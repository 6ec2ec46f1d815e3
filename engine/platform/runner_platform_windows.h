#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "progress.h"
#include "runner_platform.h"

// The runner's system operations on Windows: the message queue of the calling thread, the local
// date and time in the user's formats, file existence, message boxes and the folder browser.
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

  private:
    const ProgressState& flags_;
    std::uint64_t formatted_second_ = ~std::uint64_t{0};
    DateTimeTexts formatted_;
};
