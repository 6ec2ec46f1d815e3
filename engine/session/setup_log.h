#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The setup log: each installer session of a run writes the complete inputs of the session as a
// header into a new log file, and Windows Installer then appends its own log of the session.
//
// Header (one line each, ending in CR LF; "" is an empty line):
//   "=== " caption ": Applying Changes @" date " " time " ==="
//   ""
//   "*** Variables ***"       variables text          ""
//   "*** Properties ***"      properties text         ""
//   "*** MSI Database ***"    package path            ""
//   "*** GUID ***"            product code            ""
//   "*** Data Directory ***"  data folder             ""
//   "*** Media Directory ***" media folder            ""
//   "*** MSI Directory ***"   package folder          ""
//   ""
// On the NT family the file holds the header as UTF-16 little-endian code units without a
// byte-order mark; on the Windows 9x family as 8-bit text in the system code page.

// Windows Installer log mode: every message kind from fatal exit to extra debug except
// files-in-use (0x3FDF).
inline constexpr std::uint32_t kInstallerLogMode = 16351;
// Log attributes: append to the file, flush each line.
inline constexpr std::uint32_t kInstallerLogAttributes = 3;

// The inputs of one installer session, written as given.
struct LogHeader {
    std::string caption;       // the message caption
    std::string variables;     // the variable store exported as comma text
    std::string properties;    // PropertyList as comma text
    std::string package_path;  // the package or patch the session applies
    std::string product_code;
    std::string data_folder;
    std::string media_folder;
    std::string package_folder;
};

// The header as 8-bit text; `date` and `time` are the current date in the user's short date
// format and the current time in the user's long time format.
std::string FormatLogHeader(const LogHeader& header, std::string_view date, std::string_view time);

// 8-bit text as the bytes of its UTF-16 little-endian code units, without a byte-order mark.
std::string Utf16LeBytes(std::u16string_view text);

struct LogStep {
    bool ok = true;
    std::string error;  // the call, the path and the Windows error code
};

// What writing the log needs from the system; the platform layer gives the Windows operations,
// tests give a fake.
class SetupLogSystem {
  public:
    virtual ~SetupLogSystem() = default;
    virtual bool IsNtFamily() const = 0;
    // The current local date (short format) and time (long format), of one moment.
    virtual void CurrentDateTime(std::string& date, std::string& time) const = 0;
    // 8-bit text in the system code page as UTF-16.
    virtual std::u16string ToUtf16(std::string_view text) const = 0;
    // The folder of a path ("" when the path names none).
    virtual std::string FolderOf(const std::string& path) const = 0;
    // Creates the folder with all missing parents.
    virtual LogStep CreateFolderTree(const std::string& folder) = 0;
    // Creates the file anew (overwriting) with these bytes.
    virtual LogStep WriteNewFile(const std::string& path, std::string_view bytes) = 0;
    // MsiEnableLogA(mode, path, attributes).
    virtual LogStep EnableInstallerLog(std::uint32_t mode, const std::string& path,
                                       std::uint32_t attributes) = 0;
};

enum class LogOutcome {
    kOff,      // the log setting is empty: nothing written, installer logging not enabled
    kEnabled,  // header written, installer logging enabled
    kFailed,   // a step failed (error); the steps after it were not taken
};

struct LogResult {
    LogOutcome outcome = LogOutcome::kOff;
    std::string error;
};

// write-log-header: for a non-empty log path, creates the folder of the path with all missing
// parents, creates the file with the header, and enables the installer's log of the session
// into the same file (MsiEnableLogA(16351, path, 3): it appends to the header). An empty path
// does nothing.
//
// When the folder or the file cannot be made, installer logging is not enabled either and the
// result says why; the session can go on without a log.
LogResult WriteLogHeader(const std::string& log_path, const LogHeader& header,
                         SetupLogSystem& system);
