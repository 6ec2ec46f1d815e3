// The setup program run for real under Wine, without a display: what start-up hands to the
// script (folders, command-line settings and overrides), the support folder's life, and the
// exit codes of runs that end early. Runs without "/s" show no window here (nothing can be
// shown without a display); the GUI test shows them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup_fixture.h"

namespace {

using setuptest::Listing;
using setuptest::MakeSetup;
using setuptest::NewFolder;
using setuptest::PathExists;
using setuptest::ReadRecord;
using setuptest::RecordStatement;
using setuptest::RunSetup;
using setuptest::SetupRecipe;
using setuptest::SupportFolders;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

TEST(SetupProgram, HandsFoldersAndCommandLineSettingsToTheScript) {
    const std::string record = NewFolder("settings-out") + "record.txt";
    SetupRecipe recipe = Listing("@title Settings Probe\n" + RecordStatement(record));
    recipe.name = "Probe";
    const std::string program = MakeSetup("settings", recipe);
    const std::string folder = setuptest::FolderOf(program);
    const std::string temp = folder + "temp\\";
    const std::string arguments =
        "/s /M=C:\\Wrap\\Pack.EXE \"-L=C:\\Logs\\Run Log.txt\" /p=D:\\Sources";
    ASSERT_EQ(RunSetup(program, arguments, temp), 0);

    auto values = ReadRecord(record);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(Lower(values["EXEFILE"]), Lower(program));
    EXPECT_EQ(Lower(values["EXEDIR"]), Lower(folder));
    EXPECT_EQ(Lower(values["ROOTDIR"]), Lower(folder));
    EXPECT_EQ(Lower(values["TEMPDIR"]), Lower(temp));
    EXPECT_EQ(Lower(values["SUPPORTDIR"]), Lower(temp + "qor1\\"));
    EXPECT_EQ(Lower(values["MSIFILE"]), Lower(temp + "qor1\\Probe.msi"));
    EXPECT_EQ(values["SILENT"], "TRUE");
    EXPECT_EQ(values["SFXPATH"], "c:\\wrap\\");
    EXPECT_EQ(values["SFXFILE"], "pack.exe");
    EXPECT_EQ(values["LOGGED"], "c:\\logs\\run log.txt");
    EXPECT_EQ(values["CMDLINE"], arguments);
    EXPECT_EQ(values["TITLE"], "Settings Probe");
    EXPECT_TRUE(values["ALLUSERS"] == "TRUE" || values["ALLUSERS"] == "FALSE");
    EXPECT_TRUE(values.count("USERNAME"));
}

TEST(SetupProgram, OverridesSplitAtTheFirstEqualsAndSkipSwitches) {
    const std::string record = NewFolder("overrides-out") + "record.txt";
    const std::string program = MakeSetup("overrides", Listing(RecordStatement(record)));
    ASSERT_EQ(RunSetup(program, "/s name=A=B -DASH=1 /SLASH=2 TargetDir=C:\\Given\\",
                       setuptest::FolderOf(program) + "temp\\"),
              0);
    auto values = ReadRecord(record);
    EXPECT_EQ(values["NAME"], "A=B");  // the name upper-cased, the value as given
    EXPECT_EQ(values["TARGETDIR"], "C:\\Given\\");
    EXPECT_EQ(values.count("DASH"), 0u);
    EXPECT_EQ(values.count("-DASH"), 0u);
    EXPECT_EQ(values.count("SLASH"), 0u);
}

// In a silent run a value given on the command line stays against the script's assignments;
// without "/s" the script's assignment wins.
TEST(SetupProgram, SilentOverridesCannotBeChangedByTheScript) {
    const std::string listing_head =
        "Set Variable | TARGETDIR | C:\\Script\\\n"
        "Evaluate Expression | \"a\" = \"b\" | GIVEN\n";
    const struct {
        const char* switches;
        const char* targetdir;
        const char* given;
    } cases[] = {
        {"/s", "C:\\Given\\", "kept"},
        {"-S", "C:\\Given\\", "kept"},
        {"", "C:\\Script\\", "FALSE"},
        {"/silent", "C:\\Script\\", "FALSE"},  // not the silent switch
    };
    int run = 0;
    for (const auto& c : cases) {
        const std::string name = "silent-override-" + std::to_string(run++);
        const std::string record = NewFolder(name + "-out") + "record.txt";
        const std::string program =
            MakeSetup(name, Listing(listing_head + RecordStatement(record)));
        ASSERT_EQ(RunSetup(program, std::string(c.switches) + " TARGETDIR=C:\\Given\\ given=kept",
                           setuptest::FolderOf(program) + "temp\\"),
                  0)
            << c.switches;
        auto values = ReadRecord(record);
        EXPECT_EQ(values["TARGETDIR"], c.targetdir) << c.switches;
        EXPECT_EQ(values["GIVEN"], c.given) << c.switches;
    }
}

TEST(SetupProgram, ResourceArchiveIsExtractedAndTheSupportFolderRemovedAtTheEnd) {
    const std::string out = NewFolder("resources-out");
    // The plug-in library is found in the support folder only because the archive was
    // extracted there.
    const std::string program = MakeSetup("resources", Listing(RecordStatement(out + "a.txt")));
    const std::string temp = setuptest::FolderOf(program) + "temp\\";
    ASSERT_EQ(RunSetup(program, "/s", temp), 0);
    EXPECT_TRUE(PathExists(out + "a.txt"));
    EXPECT_TRUE(SupportFolders(temp).empty()) << "the support folder is removed at the end";
}

TEST(SetupProgram, PatchPackageAloneIsEnough) {
    const std::string record = NewFolder("patch-out") + "record.txt";
    SetupRecipe recipe = Listing(RecordStatement(record));
    recipe.package = false;
    recipe.patch = true;
    const std::string program = MakeSetup("patch", recipe);
    ASSERT_EQ(RunSetup(program, "/s", setuptest::FolderOf(program) + "temp\\"), 0);
    EXPECT_TRUE(PathExists(record));
}

struct EndingCase {
    const char* fault;  // as setuptest::EarlyEnding names it
    int code;
    bool support_folder_left;  // qor1 stays after the run
};

TEST(SetupProgram, EarlyEndingsGiveTheirCodesAndLeaveTheSupportFolder) {
    const EndingCase cases[] = {
        {"no-script", 13, false}, {"no-resources", 14, true}, {"broken-resources", 15, true},
        {"no-package", 16, true}, {"dialogs", 11, false},     {"damaged-script", 11, false},
    };
    for (const EndingCase& c : cases) {
        const std::string program =
            MakeSetup(std::string("ending-") + c.fault, setuptest::EarlyEnding(c.fault));
        const std::string temp = setuptest::FolderOf(program) + "temp\\";
        EXPECT_EQ(RunSetup(program, "/s", temp), c.code) << c.fault;
        const std::vector<std::string> left = SupportFolders(temp);
        if (c.support_folder_left) {
            EXPECT_EQ(left, std::vector<std::string>{"qor1"}) << c.fault;
        } else {
            EXPECT_TRUE(left.empty()) << c.fault;
        }
        if (c.code == 16) {
            // Ended after the extraction: the resources are there, with their folders.
            EXPECT_TRUE(PathExists(temp + "qor1\\rules\\first.qorf"));
            EXPECT_TRUE(PathExists(temp + "qor1\\record.dll"));
        }
    }
}

TEST(SetupProgram, DisabledDialogStatementsNeedNoDialogRuntime) {
    const std::string record = NewFolder("disabled-dialog-out") + "record.txt";
    const std::string program =
        MakeSetup("disabled-dialog",
                  Listing("[off] Display Dialog | Welcome | WIZARD\n" + RecordStatement(record)));
    EXPECT_EQ(RunSetup(program, "/s", setuptest::FolderOf(program) + "temp\\"), 0);
    EXPECT_TRUE(PathExists(record));
}

// The first setup stays in its run (holding qor1) until the test lets it go; the second,
// started meanwhile, takes qor2. Each records the folder it got, and both are gone at the end.
TEST(SetupProgram, TwoSetupsAtOnceUseTwoSupportFolders) {
    const std::string out = NewFolder("two-out");
    const std::string temp = NewFolder("two-temp");
    SetupRecipe first_recipe =
        Listing(RecordStatement(out + "first.txt") + "@plugin Wait For File\nWait For File | " +
                out + "release.txt | wait.dll\n");
    first_recipe.resources = "waiting.7z";
    const std::string first = MakeSetup("two-first", first_recipe);
    const std::string second =
        MakeSetup("two-second", Listing(RecordStatement(out + "second.txt")));

    setuptest::StartedSetup a;
    ASSERT_TRUE(a.Start(first, "/s", temp));
    for (int i = 0; i < 3000 && !PathExists(out + "first.txt"); ++i) Sleep(10);
    ASSERT_TRUE(PathExists(out + "first.txt"));
    EXPECT_EQ(RunSetup(second, "/s", temp), 0);
    EXPECT_TRUE(setuptest::WriteText(out + "release.txt", "go"));
    EXPECT_EQ(a.Finish(), 0);

    EXPECT_EQ(Lower(ReadRecord(out + "first.txt")["SUPPORTDIR"]), Lower(temp + "qor1\\"));
    EXPECT_EQ(Lower(ReadRecord(out + "second.txt")["SUPPORTDIR"]), Lower(temp + "qor2\\"));
    EXPECT_TRUE(SupportFolders(temp).empty());
}

}  // namespace
