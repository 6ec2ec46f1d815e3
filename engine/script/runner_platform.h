#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the runner needs from the system: the user interface's message processing, the clock,
// files, and message boxes. The platform layer gives the Windows operations; tests give fakes.

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
};
