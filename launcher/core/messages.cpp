#include "messages.h"

#include <cstdarg>
#include <cstdio>

namespace pantrix {
namespace {

constexpr char kInstallNoteInstaller[] = "The Java Runtime Environment will now be installed";
constexpr char kInstallNoteWebPrefix[] = "You will be redirected to Sun's Java web site:";
constexpr char kInstallNoteWebSuffix[] = "where you should install the latest Java Runtime.";

constexpr char kHelpNoJava[] =
    "A Java Runtime Environment needs to be installed before '%s' can be run\r\n\r\n%s";
constexpr char kHelpJava[] =
    "PROBLEM: An error occurred with your current Java Runtime Environment\r\n\r\n"
    "SOLUTION: Reinstall the Java Runtime Environment for '%s' and try again\r\n\r\n%s";
constexpr char kHelpWindows[] =
    "PROBLEM: A Windows API function call failed\r\n\r\n"
    "SOLUTION: Try restarting Windows and contact your System Administrator for help";
constexpr char kHelpDisk[] =
    "PROBLEM: Can not create folders/files on the hard drive\r\n\r\n"
    "SOLUTION: Free up some disk space (Run the 'Disk Cleanup' system tool)";
constexpr char kHelpJavaProgram[] =
    "PROBLEM: Java programming issue -- notify your vendor\r\n\r\n"
    "SOLUTION: Obtain the latest '%s' from your vendor";
constexpr char kHelpDamaged[] =
    "PROBLEM: '%s' is damaged\r\n\r\nSOLUTION: Reinstall '%s', preferably obtaining the latest "
    "version";

// Help texts by the tens digit of the error number; exactly 10 has its own text.
enum class HelpFill { kNone, kAppAndNote, kApp, kExeAndApp };
struct HelpRow {
    int tens;
    const char* format;
    HelpFill fill;
};
constexpr HelpRow kHelpByTens[] = {
    {1, kHelpJava, HelpFill::kAppAndNote}, {2, kHelpWindows, HelpFill::kNone},
    {3, kHelpJava, HelpFill::kAppAndNote}, {4, kHelpDisk, HelpFill::kNone},
    {5, kHelpJavaProgram, HelpFill::kApp}, {9, kHelpDamaged, HelpFill::kExeAndApp},
};

size_t Length(const char* text, size_t size) {
    size_t n = 0;
    while (n < size && text[n]) ++n;
    return n;
}

}  // namespace

void SetLaunchError(LaunchError* error, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error->text, sizeof(error->text), format, args);
    va_end(args);
}

int ErrorNumber(const char* message) {
    int number = 0;
    for (const char* c = message; *c >= '0' && *c <= '9'; ++c) {
        if (number > (2147483647 - 9) / 10) break;
        number = number * 10 + (*c - '0');
    }
    return number;
}

void ComposeFailText(const char* message, const HelpContext& context, char* out, size_t size) {
    if (size == 0) return;
    const int number = ErrorNumber(message);
    int written = std::snprintf(out, size, "ERROR #%s", message);
    size_t used = written < 0 ? 0 : Length(out, size);

    char note[256];
    if (context.java_installer_set)
        std::snprintf(note, sizeof(note), "%s", kInstallNoteInstaller);
    else
        std::snprintf(note, sizeof(note), "%s\r\n\r\n\t%s\r\n\r\n%s", kInstallNoteWebPrefix,
                      kJavaDownloadPage, kInstallNoteWebSuffix);

    const HelpRow* row = nullptr;
    HelpRow exactly_ten{1, kHelpNoJava, HelpFill::kAppAndNote};
    if (number == 10) {
        row = &exactly_ten;
    } else {
        for (const HelpRow& candidate : kHelpByTens)
            if (candidate.tens == number / 10 && number >= 10 && number < 100) row = &candidate;
    }
    if (!row || used + 1 >= size) return;

    char* rest = out + used;
    const size_t room = size - used;
    switch (row->fill) {
        case HelpFill::kNone:
            std::snprintf(rest, room, "\r\n\r\n%s", row->format);
            break;
        case HelpFill::kApp: {
            char help[1024];
            std::snprintf(help, sizeof(help), row->format, context.app_name);
            std::snprintf(rest, room, "\r\n\r\n%s", help);
            break;
        }
        case HelpFill::kAppAndNote: {
            char help[1024];
            std::snprintf(help, sizeof(help), row->format, context.app_name, note);
            std::snprintf(rest, room, "\r\n\r\n%s", help);
            break;
        }
        case HelpFill::kExeAndApp: {
            char help[1024];
            std::snprintf(help, sizeof(help), row->format, context.exe_name, context.app_name);
            std::snprintf(rest, room, "\r\n\r\n%s", help);
            break;
        }
    }
}

}  // namespace pantrix
