#pragma once

// Building launchers with the packaging tool and running them under Wine: a private work
// folder per test program, each run with its own temporary path (TMP and TEMP), its standard
// output captured up to the end of the stream (which comes when the launcher and the clean-up
// copy it started have both ended).
#include <windows.h>

#include <string>
#include <vector>

#include "packager.h"

namespace launchertest {

using pantrix_pack::Bytes;

Bytes TextBytes(const std::string& text);
bool ReadWholeFile(const std::string& path, Bytes* bytes);
bool WriteWholeFile(const std::string& path, const Bytes& bytes);
bool PathExists(const std::string& path);
bool MakeFolders(const std::string& path);  // every missing folder of the path
// Removes a folder and everything in it (test clean-up).
void RemoveTree(const std::string& path);

// This test program's work folder (with a trailing "\"), made empty on first use.
const std::string& WorkFolder();
// A new empty folder under the work folder (with a trailing "\").
std::string NewFolder(const std::string& name);

// The Pantrix.exe of this build.
const Bytes& LauncherProgram();

// The test double of a VM library (jvm.dll) and of a Java runtime installer of this build.
std::string TestVmPath();
std::string JavaInstallerDoublePath();
// The "-jvm:" option naming the test double.
std::string ForcedTestVm();

// A file section holding the boot class of the test VM, with the lines of its script (see
// jvm_double.cpp), extracted into the temporary folder, which is always on the class path.
pantrix_pack::PackSection BootClassSection(const std::string& script = "");

// A contents with the settings given, the names "Demo App" / "Demo.exe", and a boot class
// section without a script.
pantrix_pack::LauncherContents DemoContents(const std::string& settings);
// A file section's plain payload.
pantrix_pack::PackSection FileSection(char type, const std::string& path,
                                      const std::string& content);

// Builds the launcher into folder + file_name and returns its path.
std::string BuildLauncherFile(const pantrix_pack::LauncherContents& contents,
                              const std::string& folder, const std::string& file_name = "Demo.exe");

struct RunResult {
    int exit_code = -1;
    std::string output;  // standard output and standard error together
    double seconds = 0;  // until the launcher's process ended
};

struct RunOptions {
    std::string temp_path;  // TMP and TEMP for the launcher; unchanged when empty
};

// Starts "exe" args and waits for it and for the end of its output.
RunResult RunLauncher(const std::string& exe, const std::string& args,
                      const RunOptions& options = {});

// Started launchers, for tests that run several at once or talk to them while they run.
struct RunningLauncher {
    PROCESS_INFORMATION process{};
    HANDLE output_read = nullptr;
};
bool StartLauncher(const std::string& exe, const std::string& args, const RunOptions& options,
                   RunningLauncher* running);
// Waits for the launcher and for the end of its output.
RunResult FinishLauncher(RunningLauncher* running);

// The log lines ("!" + text + " [ms]") of an output, without "!" and the time stamp.
std::vector<std::string> LogLines(const std::string& output);
// The value of the first log line that starts with key (such as "temp.folder="), or "".
std::string LogValue(const std::string& output, const std::string& key);
bool HasLogLine(const std::string& output, const std::string& line);

// The lines of a text file (CR LF or LF); empty when it cannot be read.
std::vector<std::string> FileLines(const std::string& path);
// The value of the first line that starts with key in a test VM's record, or "".
std::string RecordValue(const std::vector<std::string>& record, const std::string& key);

// Waits up to timeout_ms for a path to disappear.
bool WaitUntilGone(const std::string& path, int timeout_ms);

}  // namespace launchertest
