// The temporary folder and Extract files in this process, so that the written files can be
// looked at before any clean-up: contents, nested folders from forward slashes, the Java
// installer path, and the files the launcher refuses to write.
#include <gtest/gtest.h>

#include <string>

#include "launcher_fixture.h"
#include "program_sections.h"
#include "temp_folder.h"

namespace launchertest {
namespace {

struct Extraction {
    bool opened = false;
    bool all_written = false;
    std::string message;
    pantrix::TempFolder temp;
};

Extraction Extract(const std::vector<pantrix_pack::PackSection>& sections,
                   const std::string& temp_path) {
    auto contents = DemoContents("a=b\n");
    contents.sections = sections;
    const std::string exe = BuildLauncherFile(contents, NewFolder("extract"));
    SetEnvironmentVariableA("TMP", temp_path.c_str());
    SetEnvironmentVariableA("TEMP", temp_path.c_str());
    Extraction result;
    pantrix::LaunchError error;
    pantrix::ProgramSections program;
    const pantrix::SectionExpectations expect{static_cast<int32_t>(sections.size() + 1), 0,
                                              "Demo.exe"};
    result.opened = pantrix::OpenProgramSections(exe.c_str(), expect, &program, &error) &&
                    pantrix::CreateTempFolder(&result.temp, &error);
    if (result.opened) result.all_written = pantrix::ExtractFiles(program, &result.temp, &error);
    result.message = error.text;
    return result;
}

std::string FileText(const std::string& path) {
    Bytes bytes;
    if (!ReadWholeFile(path, &bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

TEST(ExtractFiles, WritesEveryFileSectionIntoTheRunsFolder) {
    const std::string temp = NewFolder("extract-temp");
    const Extraction run = Extract({FileSection('F', "a.jar", "first"),
                                    FileSection('B', "lib/sub/b.jar", "second"),
                                    {'Z', TextBytes("not a file")},
                                    FileSection('J', "java/setup.exe", "installer"),
                                    FileSection('F', "empty.txt", "")},
                                   temp);
    ASSERT_TRUE(run.opened) << run.message;
    EXPECT_TRUE(run.all_written) << run.message;
    const std::string folder = std::string(run.temp.folder) + "\\";
    EXPECT_EQ(folder.rfind(temp + run.temp.run_identifier, 0), 0u) << folder;
    EXPECT_EQ(FileText(folder + "a.jar"), "first");
    EXPECT_EQ(FileText(folder + "lib\\sub\\b.jar"), "second");
    EXPECT_EQ(FileText(folder + "java\\setup.exe"), "installer");
    EXPECT_EQ(FileText(folder + "empty.txt"), "");
    EXPECT_EQ(std::string(run.temp.java_installer), folder + "java/setup.exe");
    RemoveTree(folder);
}

TEST(ExtractFiles, RefusedFilesAreNotWrittenAndTheLastFailureIsReported) {
    const std::string temp = NewFolder("refuse-temp");
    Bytes past_end = pantrix_pack::MakeFileRecord("past.jar", TextBytes("12345"));
    past_end[past_end[0] + 6u] = 6;
    const Extraction run = Extract({FileSection('F', "../escaped.txt", "x"),
                                    FileSection('F', "good.jar", "good"),
                                    {'F', past_end},
                                    FileSection('J', "C:\\setup.exe", "x"),
                                    FileSection('F', "last/..\\..\\..\\escaped2.txt", "x")},
                                   temp);
    ASSERT_TRUE(run.opened) << run.message;
    EXPECT_FALSE(run.all_written);
    EXPECT_EQ(run.message,
              "42: Refused to write a file outside the temp folder\r\n\r\n\t"
              "last/..\\..\\..\\escaped2.txt");
    const std::string folder = std::string(run.temp.folder) + "\\";
    EXPECT_EQ(FileText(folder + "good.jar"), "good");
    EXPECT_FALSE(PathExists(folder + "past.jar"));
    EXPECT_FALSE(PathExists(temp + "escaped.txt"));
    EXPECT_FALSE(PathExists(WorkFolder() + "escaped2.txt"));
    EXPECT_EQ(std::string(run.temp.java_installer), "");  // the refused 'J' sets none
    RemoveTree(folder);

    const Extraction damaged = Extract({{'F', past_end}}, temp);
    EXPECT_EQ(damaged.message.substr(0, 4), "92: ") << damaged.message;
    RemoveTree(damaged.temp.folder);
}

TEST(ExtractFiles, AFileThatCannotBeWrittenGivesError41) {
    const Extraction run = Extract({FileSection('F', "x", "a file named x"),
                                    FileSection('F', "x/y.jar", "cannot go under a file")},
                                   NewFolder("write-fail-temp"));
    ASSERT_TRUE(run.opened) << run.message;
    EXPECT_FALSE(run.all_written);
    EXPECT_EQ(run.message.rfind("41: Unable to write a file to the temp folder [winerr=", 0), 0u)
        << run.message;
    RemoveTree(run.temp.folder);
}

}  // namespace
}  // namespace launchertest
