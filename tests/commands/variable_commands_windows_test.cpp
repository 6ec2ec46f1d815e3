// The commands that call the system, with the Windows operations for real under Wine: temporary
// files, short and long path names, and letter case by the ANSI code page (the runner's own
// operations stay the fixture's fakes).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner_fixture.h"
#include "runner_platform_windows.h"

namespace {

using runnertest::RunFixture;

class WindowsCommandsPlatform : public runnertest::FakePlatform {
  public:
    explicit WindowsCommandsPlatform(const ProgressState& flags) : windows_(flags) {}

    std::unique_ptr<FileSystemScope> GuardRedirection(std::string_view mode) override {
        return windows_.GuardRedirection(mode);
    }
    std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                   const std::string& prefix) override {
        return windows_.CreateTemporaryFile(folder, prefix);
    }
    std::optional<std::string> ShortPathName(const std::string& path) override {
        return windows_.ShortPathName(path);
    }
    std::optional<std::string> FoundName(const std::string& path) override {
        return windows_.FoundName(path);
    }
    std::string UpperCase(std::string_view text) override { return windows_.UpperCase(text); }
    std::string LowerCase(std::string_view text) override { return windows_.LowerCase(text); }

  private:
    WindowsRunnerPlatform windows_;
};

// A run whose commands use the Windows operations.
struct WindowsRun {
    RunFixture fixture;
    WindowsCommandsPlatform platform{fixture.progress};

    WindowsRun() { fixture.runner_platform = &platform; }

    std::string Run(const std::string& listing, const std::string& name) {
        if (!fixture.Run(listing)) return "<no run>";
        EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text;
        return fixture.Value(name).value_or("<undefined>");
    }
};

// A new, empty folder under the system's temporary folder, with a trailing backslash.
std::string NewFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + name + "." + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool IsEmptyFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeLow == 0 &&
           data.nFileSizeHigh == 0;
}

TEST(GetTemporaryFileOnWindows, CreatesEmptyFilesOfNewNames) {
    const std::string folder = NewFolder("qor-temporary");
    WindowsRun run;
    run.fixture.facts.temp_folder = folder;
    const std::string first = run.Run("Get Temporary File | A\nGet Temporary File | $B$", "A");
    const std::string second = run.fixture.Value("B").value_or("");
    EXPECT_EQ(first.substr(0, folder.size() + 3), folder + "qor");
    EXPECT_TRUE(first.ends_with(".tmp")) << first;
    EXPECT_TRUE(IsEmptyFile(first)) << first;
    EXPECT_TRUE(IsEmptyFile(second)) << second;
    EXPECT_NE(first, second);
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
    RemoveDirectoryA(folder.c_str());

    WindowsRun missing;
    missing.fixture.facts.temp_folder = folder + "missing\\";
    EXPECT_EQ(missing.Run("Set Variable | A | old\nGet Temporary File | A", "A"), "");
}

TEST(ConvertPathOnWindows, ShortAndLongFormsOfExistingPaths) {
    const std::string folder = NewFolder("qor-convert path");
    const std::string inner = folder + "Long Folder Name";
    const std::string file = inner + "\\Inner File.Text";
    CreateDirectoryA(inner.c_str(), nullptr);
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    WindowsRun to_short;
    const std::string short_form =
        to_short.Run("Set Variable | P | " + file + "\nConvert Path | P | TRUE", "P");
    EXPECT_FALSE(short_form.empty());
    EXPECT_EQ(short_form.find(' '), std::string::npos) << short_form;

    // Back from the short form, and from a differently spelt form with doubled backslashes,
    // quotes and a trailing backslash: the spelling of the file system. The drive, a root, is
    // kept as written.
    std::string lower = inner;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    lower[0] = inner[0];
    const std::string cases[] = {short_form, "^x22" + lower + "\\\\^x22"};
    const std::string expected[] = {file, inner};
    for (int i = 0; i < 2; ++i) {
        WindowsRun to_long;
        EXPECT_EQ(to_long.Run("Set Variable | P | " + cases[i] + "\nConvert Path | P | FALSE", "P"),
                  expected[i])
            << cases[i];
    }

    WindowsRun missing;
    EXPECT_EQ(missing.Run("Set Variable | P | " + inner + "\\none\\x\nConvert Path | P |", "P"),
              "");
    WindowsRun missing_short;
    EXPECT_EQ(
        missing_short.Run("Set Variable | P | " + inner + "\\none\nConvert Path | P | 1", "P"), "");

    DeleteFileA(file.c_str());
    RemoveDirectoryA(inner.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Convert Case and Replace String map letters by the ANSI code page; Parse String's ignore-case
// search maps A to Z only.
TEST(LetterCaseOnWindows, CodePageMappingAgainstAscii) {
    if (GetACP() != 1252) GTEST_SKIP() << "the cases are written for code page 1252";
    WindowsRun upper;
    EXPECT_EQ(upper.Run("Set Variable | S | ^xE9t^xE9\nConvert Case | S | TRUE", "S"), "\xC9T\xC9");
    WindowsRun lower;
    EXPECT_EQ(lower.Run("Set Variable | S | ^xC9T^xC9\nConvert Case | S | FALSE", "S"),
              "\xE9t\xE9");
    WindowsRun replace;
    EXPECT_EQ(replace.Run("Set Variable | S | x^xC9x^xE9\nReplace String | S | ^xE9 | e | TRUE | "
                          "TRUE",
                          "S"),
              "xexe");
    WindowsRun parse;
    EXPECT_EQ(parse.Run("Parse String | x^xC9x^xE9 | ^xE9 | L | R | 0 | FALSE | TRUE", "L"),
              "x\xC9x");
}

}  // namespace
