#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// What the runner and the command branches need from the system: the user interface's message
// processing, the clock, files, message boxes, and the file and text operations of the commands.
// The platform layer gives the Windows operations; tests give fakes.

// Held by a command while it works on files: the redirection guard of the platform layer.
class FileSystemScope {
  public:
    virtual ~FileSystemScope() = default;
};

struct DateTimeTexts {
    std::string date;  // the user's short date format
    std::string time;  // the user's long time format
};

class RunnerPlatform {
  public:
    virtual ~RunnerPlatform() = default;

    // Lets the user interface process every message that is waiting; returns when none is left.
    virtual void ProcessPendingMessages() = 0;
    // Lets the user interface process one waiting message, if there is one; never waits.
    virtual void ProcessOneMessage() = 0;

    // The current local date and time, of one moment.
    virtual DateTimeTexts CurrentDateTime() = 0;

    // Whether a file (not a folder) exists at the path.
    virtual bool FileExists(const std::string& path) = 0;

    // A message box with the error icon and an OK button; `owner` is a window handle or 0.
    virtual void ShowError(const std::string& text, const std::string& caption,
                           std::uintptr_t owner) = 0;

    // The folder browser with a prompt: the chosen folder, or nothing when the user cancelled
    // (or no user interface may be shown).
    virtual std::optional<std::string> BrowseForFolder(const std::string& prompt,
                                                       std::uintptr_t owner) = 0;

    // ---- For the commands ----

    // While the returned scope lives, a 32-bit engine on 64-bit Windows sees the native file
    // system, when the platform mode ("Win32", "ia64" or "x64") is not "Win32".
    virtual std::unique_ptr<FileSystemScope> GuardRedirection(std::string_view platform_mode) = 0;

    // Creates an empty file with a unique name made of the prefix in the folder (GetTempFileNameA
    // with unique number 0): its full path, or nothing when the call fails.
    virtual std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                           const std::string& prefix) = 0;

    // The short (8.3) form of an existing path, or nothing when the call fails.
    virtual std::optional<std::string> ShortPathName(const std::string& path) = 0;

    // The name, as the file system spells it, of the first entry that matches the path (a file
    // or folder path, or a pattern), or nothing when none does.
    virtual std::optional<std::string> FoundName(const std::string& path) = 0;

    // The system code page's letter-case mappings; each keeps the length.
    virtual std::string UpperCase(std::string_view text) = 0;
    virtual std::string LowerCase(std::string_view text) = 0;
};
