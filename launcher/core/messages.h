#pragma once

// The launcher's numbered messages. Every failure is one text that begins with its decimal
// number and ": "; the number chooses the help text of the error dialog and becomes the exit
// code.
#include <cstddef>

namespace pantrix {

// Message formats, by number.
inline constexpr char kMsgNoJava[] = "10: A Java Runtime Environment for '%s' could not be found";
inline constexpr char kMsgLoadVm[] =
    "11: Failure loading/binding to the Java VM DLL\r\n\r\n\tJVM=%s";
inline constexpr char kMsgCreateVm[] =
    "12: JNI_CreateJavaVM() could not create a Java Runtime Environemnt [err=%d]\r\n\r\n\tJVM=%s";
inline constexpr char kMsgBootClass[] =
    "13: The Java VM failed to locate the tolvimerboot.class file\r\n\r\n\tJVM=%s";
inline constexpr char kMsgVmException[] = "14: Unexpected Java VM exception\r\n\r\n\tJVM=%s";
inline constexpr char kMsgNoJavaAfterInstall[] =
    "15: Failure locating a Java Runtime Environment after trying to install Java";
inline constexpr char kMsgModuleFileName[] = "20: Windows 'GetModuleFileName()' failed [winerr=%d]";
inline constexpr char kMsgMapFailed[] = "21: Failed to map '%s' into memory";
inline constexpr char kMsgTempPathInvalid[] =
    "22: Windows GetTempPath() folder can not be accessed (or is not valid)\r\n\r\n\t%s";
inline constexpr char kMsgTempPathFailed[] = "23: Windows GetTempPath() failed [winerr=%d]";
inline constexpr char kMsgSetEnvironment[] = "24: Windows SetEnvironmentVariable() failed";
inline constexpr char kMsgCreateTempFolder[] =
    "40: Unable to create temporary folder [winerr=%d]\r\n\r\n\t%s";
inline constexpr char kMsgWriteTempFile[] =
    "41: Unable to write a file to the temp folder [winerr=%d]";
// A file record whose path would leave the temporary folder (absolute, with a drive or a
// stream colon, or climbing with "..") is not written.
inline constexpr char kMsgUnsafeFilePath[] =
    "42: Refused to write a file outside the temp folder\r\n\r\n\t%s";
// The VM options table holds the five fixed options and at most 95 from the "jop" setting; a
// setting with more is the packager's mistake, and dropping options silently would start the
// application with a configuration it was not built for.
inline constexpr char kMsgTooManyVmOptions[] =
    "50: The 'jop' setting holds more than %d Java VM options";
inline constexpr char kMsgTruncated[] = "90: '%s' is a partial/truncated EXE (partial download?)";
inline constexpr char kMsgSignature[] = "%d: EXE section digital signature check failed";
// A file record whose header or data length runs past the end of its section.
inline constexpr char kMsgDamagedFileRecord[] =
    "92: EXE file section at offset %u is damaged (its file runs past the section's end)";
inline constexpr char kMsgSectionCountInvalid[] = "96: Invalid maximum number of EXE sections %d";
inline constexpr char kMsgSectionCountWrong[] = "97: Expected %d sections in '%s' (found=%d)";
inline constexpr char kMsgVarsMissing[] = "98: Vars EXE seciton is missing";

constexpr size_t kMessageSize = 2048;

// The failure of a step, or nothing (empty text).
struct LaunchError {
    char text[kMessageSize] = {};
    bool failed() const { return text[0] != '\0'; }
};

// Formats into error->text (truncated to kMessageSize - 1 characters).
void SetLaunchError(LaunchError* error, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The leading decimal digits of a message as a number; 0 when it has none. Digits beyond
// what fits are ignored rather than overflowing.
int ErrorNumber(const char* message);

// What the help text needs to know besides the number.
struct HelpContext {
    const char* app_name;
    const char* exe_name;
    bool java_installer_set;  // chooses the install note
};

// "ERROR #" + message, then "\r\n\r\n" + the help text chosen by the message's number when it
// has one. Writes at most size - 1 characters and a terminating zero into out.
void ComposeFailText(const char* message, const HelpContext& context, char* out, size_t size);

// Address of the Java vendor's download page, opened after Java errors when no installer is
// carried; also named in the install note.
inline constexpr char kJavaDownloadPage[] = "http://www.java.com/getjava/";

}  // namespace pantrix
