#pragma once

// Setup folders for the tests of the setup program: the engine with a script appended (a
// listing compiled in the test), qor.dll, a resource archive and an installer package built
// at build time (make-setup-fixtures.sh, wixl), optionally the splash picture. Each run gets
// its own temporary folder (TMP and TEMP), so its support folders can be watched.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace setuptest {

struct SetupRecipe {
    std::string listing;                     // compiled and appended to the engine
    bool append_script = true;               // false: the bare engine (no script)
    std::string overlay;                     // appended instead of a compiled listing when set
    std::string name = "setup";              // the program's base name
    std::string resources = "resources.7z";  // a fixture archive, copied as base + ".res"
    bool package = true;                     // base + ".msi"
    bool patch = false;                      // base + ".msp" (a copy of the package)
    bool picture = false;                    // "setup.bmp"
    std::string language_list;               // appended to the copy of qor.dll when set
};

// A recipe with this listing and every other field as above.
SetupRecipe Listing(std::string listing);

// A setup that ends early, by the name of its fault: "no-script" (the bare engine),
// "no-resources", "broken-resources", "no-package", "dialogs" (an active Display Dialog),
// "damaged-script".
SetupRecipe EarlyEnding(const std::string& fault);

// A new, empty folder below this test program's work folder, with a trailing backslash.
std::string NewFolder(const std::string& name);

// Builds a setup into a new folder of that name and returns the path of its program.
std::string MakeSetup(const std::string& folder_name, const SetupRecipe& recipe);

// The folder part of a path, with a trailing backslash.
std::string FolderOf(const std::string& path);

// A fixture file of the build (make-setup-fixtures.sh's output folder + name).
std::string FixturePath(const std::string& name);

class StartedSetup {
  public:
    StartedSetup() = default;
    StartedSetup(const StartedSetup&) = delete;
    StartedSetup& operator=(const StartedSetup&) = delete;
    ~StartedSetup();

    // Starts "program" arguments with TMP and TEMP set to `temp` (created when missing).
    bool Start(const std::string& program, const std::string& arguments, const std::string& temp);
    // Waits for the end; the exit code, or nothing when the program is still running after
    // `timeout_ms` (it is then ended).
    std::optional<int> Finish(DWORD timeout_ms = 60000);

    HANDLE Process() const { return process_.hProcess; }
    HANDLE MainThread() const { return process_.hThread; }
    DWORD ProcessId() const { return process_.dwProcessId; }

  private:
    PROCESS_INFORMATION process_{};
};

// Starts a setup and waits for its end: the exit code, or nothing after a time-out.
std::optional<int> RunSetup(const std::string& program, const std::string& arguments,
                            const std::string& temp);

// The "NAME=VALUE" lines that record.dll wrote, by name; empty when the file is missing.
std::map<std::string, std::string> ReadRecord(const std::string& path);

bool PathExists(const std::string& path);
bool WriteText(const std::string& path, const std::string& text);

// The names of the folders in `folder` that start with "qor".
std::vector<std::string> SupportFolders(const std::string& folder);

// The listing lines that let record.dll write the variables to `record_path`.
std::string RecordStatement(const std::string& record_path);

}  // namespace setuptest
