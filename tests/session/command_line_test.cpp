#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "command_line.h"

namespace {

using Overrides = std::vector<std::pair<std::string, std::string>>;

struct SwitchCase {
    const char* command_line;
    bool silent;
    bool no_windows;
};

TEST(CommandLine, SilentAndUpdateSwitchesAreWholeArguments) {
    const SwitchCase cases[] = {
        {"setup.exe /s", true, false},
        {"setup.exe -S", true, false},
        {"setup.exe /silent", false, false},
        {"setup.exe s", false, false},
        {"setup.exe /s=1", false, false},
        {"setup.exe \"/s\"", true, false},
        {"setup.exe /UPDATE", false, true},
        {"setup.exe -updatesetup /s", true, true},
        {"setup.exe /updates", false, false},
        {"setup.exe update", false, false},
        {"/s", false, false},  // the program name itself is no argument
    };
    for (const SwitchCase& c : cases) {
        const CommandLineSettings settings = ReadCommandLine(c.command_line);
        EXPECT_EQ(settings.silent, c.silent) << c.command_line;
        EXPECT_EQ(settings.no_startup_windows, c.no_windows) << c.command_line;
    }
}

TEST(CommandLine, PathSettingsTakeTheFirstMatchingArgumentInLowerCase) {
    const CommandLineSettings settings = ReadCommandLine(
        "setup.exe /M=C:\\Wrap\\Setup.EXE /m=second -L=C:\\Logs\\Run.LOG /l=other "
        "\"/P=D:\\Old Sources\\\"");
    EXPECT_EQ(settings.sfx_path, "c:\\wrap\\setup.exe");
    EXPECT_EQ(settings.log_setting, "c:\\logs\\run.log");
    EXPECT_EQ(settings.source_path, "d:\\old sources\\");

    const CommandLineSettings none = ReadCommandLine("setup.exe -m=x /l= l=log");
    EXPECT_EQ(none.sfx_path, "");     // only "/m=" names the self-extractor
    EXPECT_EQ(none.log_setting, "");  // "/l=" alone: nothing after the three characters
    EXPECT_EQ(none.overrides, (Overrides{{"l", "log"}}));
}

TEST(CommandLine, OverridesAreArgumentsWithEqualsThatAreNoSwitches) {
    const CommandLineSettings settings = ReadCommandLine(
        "setup.exe NAME=A=B -X=1 /Y=2 \"TARGETDIR=C:\\My Folder\\\" lower=v EMPTY= =nameless "
        "plain");
    EXPECT_EQ(settings.overrides, (Overrides{{"NAME", "A=B"},
                                             {"TARGETDIR", "C:\\My Folder\\"},
                                             {"lower", "v"},
                                             {"EMPTY", ""},
                                             {"", "nameless"}}));
}

TEST(CommandLine, RawArgumentsFollowTheProgramName) {
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\My Setup\\setup.exe\" /s X=\"a b\"", "/s X=\"a b\""},
        {"C:\\setup.exe /s  X=1", "/s  X=1"},
        {"C:\\setup.exe", ""},
        {"\"C:\\setup.exe\"", ""},
        {"\"C:\\setup.exe\" ", ""},
        {"\"C:\\setup.exe", ""},  // no closing quote
        {"", ""},
    };
    for (const auto& [command_line, raw] : cases) {
        EXPECT_EQ(RawArguments(command_line), raw) << command_line;
        EXPECT_EQ(ReadCommandLine(command_line).raw_arguments, raw) << command_line;
    }
}

TEST(CommandLine, ArgumentsSplitAtBlanksOutsideQuotes) {
    EXPECT_EQ(SplitArguments("  \"C:\\My Setup\\setup.exe\"\t/s  a\"b c\"d \"\" "),
              (std::vector<std::string>{"C:\\My Setup\\setup.exe", "/s", "ab cd", ""}));
    EXPECT_TRUE(SplitArguments("   ").empty());
}

TEST(CommandLine, SelfExtractorPathSplitsIntoFolderAndFile) {
    const struct {
        const char* path;
        const char* folder;
        const char* file;
    } cases[] = {
        {"c:\\wrap\\setup.exe", "c:\\wrap\\", "setup.exe"},
        {"setup.exe", "", "setup.exe"},
        {"c:setup.exe", "c:", "setup.exe"},
        {"c:\\wrap\\", "c:\\wrap\\", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const SelfExtractorParts parts = SplitSelfExtractorPath(c.path);
        EXPECT_EQ(parts.folder, c.folder) << c.path;
        EXPECT_EQ(parts.file, c.file) << c.path;
    }
}

}  // namespace
