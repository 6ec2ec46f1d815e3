// Whole launcher runs under Wine: the log of every step, the temporary folder and its
// clean-up, broken launchers and their exit codes, clean-up mode and its safety rule. Runs
// here never reach the registry's Java runtimes: they name their VM (the test double) with
// -jvm: or fail first.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace launchertest {
namespace {

std::string WithoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(LauncherRun, LogsEveryStepExtractsTheFilesAndCleansUp) {
    auto contents = DemoContents("mx=256\njars=a.jar;lib/b.jar;\nexecwd=*\n");
    contents.sections = {FileSection('F', "a.jar", "first"),
                         FileSection('B', "lib/sub/b.jar", "second"),
                         {'Z', TextBytes("opaque data")},
                         BootClassSection()};
    const std::string folder = NewFolder("log");
    const std::string temp = NewFolder("log-temp");
    const std::string exe = BuildLauncherFile(contents, folder);
    ASSERT_FALSE(exe.empty());
    Bytes built;
    ASSERT_TRUE(ReadWholeFile(exe, &built));

    const RunResult run =
        RunLauncher(exe, "-D* -Q* -2* " + ForcedTestVm() + " hello \"a b\" -D*", {temp});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    const std::string module_dir = WithoutTrailingSlash(folder);
    const std::string temp_folder = LogValue(run.output, "temp.folder=");
    ASSERT_TRUE(StartsWith(temp_folder, temp + "JX")) << run.output;
    const std::vector<std::string> expected = {
        "app.name=Demo App",
        "original.exe.name=Demo.exe",
        "arg0='hello'",
        "arg1='a b'",
        "arg2='-D*'",  // an option after the first argument is an argument
        "module.filename=" + exe,
        "exe.name.now=Demo.exe",
        "module.dir=" + module_dir,
        "exe.mapped.length=" + std::to_string(built.size()),
        "temp.path=" + temp,
        "temp.folder=" + temp_folder,
        "path=" + temp_folder + ";" + module_dir + ";",  // followed by the old PATH
        "cwd=" + module_dir,                             // execwd
        "extracted=a.jar",
        "extracted=lib/sub/b.jar",
        "extracted=tolvimerboot.class",
        "java.class.path=" + temp_folder + ";" + temp_folder + "\\a.jar;" + temp_folder +
            "\\lib/b.jar;" + module_dir,
        "java.library.path=" + temp_folder + ";" + module_dir + ";",  // and the old PATH
        "jvm=" + TestVmPath(),
        "vm.java.invoke",
        "vm.java.returned",
        "vm.exit.wait.start",
        "vm.exit.wait.end",
        "C.exiting",
        "C.exit(0) [m=",  // followed by the bytes still held
    };
    const std::vector<std::string> lines = LogLines(run.output);
    ASSERT_EQ(lines.size(), expected.size()) << run.output;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(StartsWith(lines[i], expected[i])) << lines[i] << " vs " << expected[i];
    // The clean-up copy has ended once the output has: the folder is gone.
    EXPECT_FALSE(PathExists(temp_folder)) << temp_folder;
}

TEST(LauncherRun, TheLastLogLineIsNeverLost) {
    const std::string folder = NewFolder("last-line");
    const std::string exe = BuildLauncherFile(DemoContents("a=b\n"), folder);
    for (const char* pipe_option : {"", "-W* "}) {
        for (int round = 0; round < 2; ++round) {
            const RunResult run =
                RunLauncher(exe, std::string("-D* -Q* ") + pipe_option + ForcedTestVm(),
                            {NewFolder("last-temp")});
            const std::vector<std::string> lines = LogLines(run.output);
            ASSERT_FALSE(lines.empty());
            EXPECT_TRUE(StartsWith(lines.back(), "C.exit(0) [m=")) << run.output;
        }
    }
}

TEST(LauncherRun, ASettingOnTheLastLineWithoutLineFeedIsNotFound) {
    const std::string folder = NewFolder("no-line-feed");
    MakeFolders(folder + "jre");
    ASSERT_TRUE(CopyFileA(TestVmPath().c_str(), (folder + "jre\\jvm.dll").c_str(), FALSE));
    struct Case {
        const char* settings;
        std::string chosen;
    };
    const Case cases[] = {
        {"a=b\njvm=jre\\jvm.dll", TestVmPath()},
        {"a=b\njvm=jre\\jvm.dll\n", folder + "jre\\jvm.dll"},
    };
    for (const Case& c : cases) {
        const std::string exe = BuildLauncherFile(DemoContents(c.settings), folder);
        const RunResult run =
            RunLauncher(exe, "-D* -Q* " + ForcedTestVm(), {NewFolder("no-line-feed-temp")});
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(LogValue(run.output, "jvm="), c.chosen) << run.output;
    }
}

TEST(LauncherRun, TwoLaunchersAtOnceGetDifferentFolders) {
    const std::string folder = NewFolder("two");
    const std::string exe = BuildLauncherFile(DemoContents("a=b\n"), folder);
    const std::string temp = NewFolder("two-temp");
    RunningLauncher first, second;
    ASSERT_TRUE(StartLauncher(exe, "-D* -Q* " + ForcedTestVm(), {temp}, &first));
    ASSERT_TRUE(StartLauncher(exe, "-D* -Q* " + ForcedTestVm(), {temp}, &second));
    const RunResult one = FinishLauncher(&first);
    const RunResult two = FinishLauncher(&second);
    const std::string folder_one = LogValue(one.output, "temp.folder=");
    const std::string folder_two = LogValue(two.output, "temp.folder=");
    EXPECT_FALSE(folder_one.empty());
    EXPECT_NE(folder_one, folder_two);
    EXPECT_EQ(one.exit_code, 0);
    EXPECT_EQ(two.exit_code, 0);
    EXPECT_TRUE(WaitUntilGone(folder_one, 5000));
    EXPECT_TRUE(WaitUntilGone(folder_two, 5000));
}

TEST(LauncherRun, ALauncherInAFolderWithBlanksStillCleansUp) {
    const std::string folder = NewFolder("with blanks");
    auto contents = DemoContents("a=b\n");
    contents.sections.push_back(FileSection('F', "app.jar", "x"));
    const std::string exe = BuildLauncherFile(contents, folder, "Demo App.exe");
    const std::string temp = NewFolder("blank temp");
    const RunResult run = RunLauncher(exe, "-D* -Q* " + ForcedTestVm(), {temp});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(LogValue(run.output, "exe.name.now="), "Demo App.exe");
    const std::string temp_folder = LogValue(run.output, "temp.folder=");
    ASSERT_TRUE(StartsWith(temp_folder, temp + "JX")) << run.output;
    EXPECT_FALSE(PathExists(temp_folder));
}

TEST(LauncherRun, ATemporaryPathThatIsNoFolderGivesError22) {
    const std::string folder = NewFolder("temp-is-file");
    const std::string exe = BuildLauncherFile(DemoContents("a=b\n"), folder);
    ASSERT_TRUE(WriteWholeFile(folder + "not-a-folder", TextBytes("x")));
    const RunResult run = RunLauncher(exe, "-D* -Q* " + ForcedTestVm(), {folder + "not-a-folder"});
    EXPECT_EQ(run.exit_code, 22) << run.output;
    EXPECT_EQ(LogValue(run.output, "temp.path="), folder + "not-a-folder\\");
    EXPECT_EQ(LogValue(run.output, "temp.folder="), "");
}

// Launchers broken in one way each; quiet runs write nothing and exit with the number.
TEST(LauncherRun, BrokenLaunchersFailWithTheirNumber) {
    using Mutation = std::function<void(pantrix_pack::LauncherContents*, Bytes*)>;
    struct Case {
        const char* what;
        std::vector<pantrix_pack::PackSection> sections;
        Mutation mutate;
        int exit_code;
    };
    auto last_header = [](const Bytes& built) {
        // The last section's header: the last marker in the file.
        const std::string marker = "JKMNPQSTVWYZ\\]_";
        const std::string text(built.begin(), built.end());
        return text.rfind(marker);
    };
    const std::vector<pantrix_pack::PackSection> files = {FileSection('F', "a.jar", "aaaa"),
                                                          FileSection('F', "b.jar", "bbbb")};
    Bytes past_end = pantrix_pack::MakeFileRecord("c.jar", TextBytes("cc"));
    past_end[past_end[0] + 6u] = 3;  // D = 3, one more byte than the record holds
    const Case cases[] = {
        {"cut one byte short", files,
         [](pantrix_pack::LauncherContents*, Bytes* built) {
             if (!built->empty()) built->pop_back();
         },
         90},
        {"a payload byte changed", files,
         [&](pantrix_pack::LauncherContents*, Bytes* built) {
             if (!built->empty()) (*built)[last_header(*built) + 33] ^= 1;
         },
         91},
        {"a header byte changed", files,
         [&](pantrix_pack::LauncherContents*, Bytes* built) {
             if (!built->empty()) (*built)[last_header(*built) + 20] ^= 1;
         },
         97},
        {"one section more expected", files,
         [](pantrix_pack::LauncherContents* contents, Bytes*) { contents->section_count = 4; }, 97},
        {"no sections expected", files,
         [](pantrix_pack::LauncherContents* contents, Bytes*) { contents->section_count = 0; }, 96},
        {"a file whose folder is a file",
         {FileSection('F', "x", "file"), FileSection('F', "x/y.jar", "y")},
         nullptr,
         41},
        {"a file outside the folder", {FileSection('F', "../outside.txt", "x")}, nullptr, 42},
        {"a file record past its section", {{'F', past_end}}, nullptr, 92},
    };
    const std::string folder = NewFolder("broken");
    for (const Case& c : cases) {
        auto contents = DemoContents("a=b\n");
        contents.sections = c.sections;
        Bytes built;
        std::string reason;
        Bytes unused;
        if (c.mutate) c.mutate(&contents, &unused);  // changes to the contents
        ASSERT_TRUE(pantrix_pack::BuildLauncher(LauncherProgram(), contents, &built, &reason));
        if (c.mutate) c.mutate(&contents, &built);  // changes to the built file
        const std::string exe = folder + "Broken.exe";
        ASSERT_TRUE(WriteWholeFile(exe, built));
        const std::string temp = NewFolder("broken-temp");
        const RunResult quiet = RunLauncher(exe, "-Q* " + ForcedTestVm(), {temp});
        EXPECT_EQ(quiet.exit_code, c.exit_code) << c.what;
        EXPECT_EQ(quiet.output, "") << c.what;
        EXPECT_FALSE(PathExists(WorkFolder() + "outside.txt")) << c.what;
        EXPECT_FALSE(PathExists(temp + "outside.txt")) << c.what;
        // Whatever was created is removed again.
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((temp + "JX*").c_str(), &entry);
        EXPECT_EQ(find, INVALID_HANDLE_VALUE) << c.what << ": " << entry.cFileName;
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
}

// Clean-up mode deletes only what carries the identifier, and only when it gets exactly a
// folder and a run identifier.
TEST(CleanupMode, DeletesOnlyPathsWithTheIdentifier) {
    const std::string exe = BuildLauncherFile(DemoContents("a=b\n"), NewFolder("cleanup"));
    auto make_tree = [](const std::string& root) {
        MakeFolders(root + "sub");
        MakeFolders(root + "empty");
        MakeFolders(root + "JX1234-dir");
        WriteWholeFile(root + "keep.txt", TextBytes("k"));
        WriteWholeFile(root + "JX1234.txt", TextBytes("d"));
        WriteWholeFile(root + "sub\\JX1234-b.txt", TextBytes("d"));
        WriteWholeFile(root + "sub\\keep-b.txt", TextBytes("k"));
        WriteWholeFile(root + "JX1234-dir\\c.txt", TextBytes("d"));
    };
    // Requests that must not delete anything.
    const std::string untouched = NewFolder("plain-untouched");
    make_tree(untouched);
    const std::string folder = WithoutTrailingSlash(untouched);
    for (const std::string& args :
         {std::string("-deltree*"), "-deltree* \"" + folder + "\"",
          "-deltree* \"" + folder + "\" JX1234 extra", "-deltree* \"" + folder + "\" \"\"",
          "-deltree* \"" + folder + "\" 1234", "-deltree* \"" + folder + "\" JX"}) {
        const RunResult run = RunLauncher(exe, args);
        EXPECT_EQ(run.exit_code, 0) << args;
        for (const char* path :
             {"keep.txt", "JX1234.txt", "sub\\JX1234-b.txt", "empty", "JX1234-dir\\c.txt"})
            EXPECT_TRUE(PathExists(untouched + path)) << args << ": " << path;
    }

    // A folder whose path lacks the identifier keeps everything that lacks it too.
    const std::string plain = NewFolder("plain");
    make_tree(plain);
    RunResult run =
        RunLauncher(exe, "-D* -deltree* \"" + WithoutTrailingSlash(plain) + "\" JX1234");
    EXPECT_EQ(run.exit_code, 0);
    for (const char* gone : {"JX1234.txt", "sub\\JX1234-b.txt", "JX1234-dir"})
        EXPECT_FALSE(PathExists(plain + gone)) << gone;
    for (const char* kept : {"keep.txt", "sub\\keep-b.txt", "sub", "empty"})
        EXPECT_TRUE(PathExists(plain + kept)) << kept;
    EXPECT_TRUE(StartsWith(LogLines(run.output).back(), "C.exit(0)")) << run.output;

    // The run's own folder goes completely.
    const std::string own = NewFolder("JX1234");
    make_tree(own);
    RemoveTree(own + "keep.txt");
    run = RunLauncher(exe, "-deltree* \"" + WithoutTrailingSlash(own) + "\" JX1234");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_FALSE(PathExists(own));
}

}  // namespace
}  // namespace launchertest
