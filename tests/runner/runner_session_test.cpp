// The run around the statements: the prologue's steps and variables, command-line overrides, the
// refreshes before every statement (and what they cache), script errors and their message, the
// end of the run, and plug-in statements up to the worker thread (library path rules, the
// missing-library message, the original-sources prompt, the store round trip).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comma_text.h"
#include "runner_fixture.h"
#include "script_error.h"

namespace {

using runnertest::kPackage;
using runnertest::kSupport;
using runnertest::RunFixture;

const std::vector<std::string> kEndSteps = {"CloseTextFile", "HideTrayIcon", "FreeDialogs",
                                            "WriteInstanceData"};

std::vector<std::string> Names(const VariableStore& store) {
    std::vector<std::string> names;
    for (const auto& entry : store.Entries()) names.push_back(entry.first);
    return names;
}

// ---- Prologue and end of the run ----------------------------------------------------------

TEST(RunnerPrologue, CallsTheSessionStepsInOrder) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run("Set Variable | A | 1\n"));
    const std::vector<std::string> expected = {
        "ClearComponents", "Bootstrap",        "DefinePredefinedComponent",
        "ResumeCleanup",   "CloseTextFile",    "HideTrayIcon",
        "FreeDialogs",     "WriteInstanceData"};
    EXPECT_EQ(fixture.steps.calls, expected);
}

TEST(RunnerPrologue, RunsPatchModeWhenThePatchPackageExists) {
    RunFixture fixture;
    fixture.platform.files = {"C:\\support\\setup.msp"};
    ASSERT_TRUE(fixture.Run("Set Variable | A | 1\n"));
    ASSERT_GE(fixture.steps.calls.size(), 4u);
    EXPECT_EQ(fixture.steps.calls[3], "PatchMode");
    EXPECT_EQ(fixture.Value("A"), "1");
}

TEST(RunnerPrologue, EndsBeforeTheFirstStatementWithoutAPackage) {
    RunFixture fixture;
    fixture.platform.files.clear();
    ASSERT_TRUE(fixture.Run("Set Variable | A | 1\n"));
    EXPECT_EQ(fixture.Value("A"), std::nullopt);
    EXPECT_TRUE(fixture.platform.messages.empty());
    const std::vector<std::string> expected = {"ClearComponents", "Bootstrap",
                                               "CloseTextFile",   "HideTrayIcon",
                                               "FreeDialogs",     "WriteInstanceData"};
    EXPECT_EQ(fixture.steps.calls, expected);
}

TEST(RunnerPrologue, DeclaresThePredefinedVariablesInTableOrder) {
    RunFixture fixture;
    fixture.facts.all_users = "TRUE";
    fixture.facts.exe_folder = "C:\\setup\\";
    ASSERT_TRUE(fixture.Run(R"(
@title Demo Product
@company Halvorne
@version 2.5
Comment | nothing
)"));
    const std::vector<std::string> expected = {
        "TARGETDIR", "STARTMENU", "ALLUSERS",     "ZONDLOGO",     "SELECTED",       "WINDOWHANDLE",
        "EXEFILE",   "EXEDIR",    "PROGRESSTEXT", "PROGRESSMODE", "ABORT",          "PROGRESS",
        "LASTERROR", "LICENSE",   "USERNAME",     "USERCOMPANY",  "REBOOTCOMPUTER", "RUNAPP",
        "WIZARD",    "VERSION",   "SILENT",       "LOGGED",       "CMDLINE",        "REBOOTNOW",
        "SFXPATH",   "SFXFILE",   "COMPLETE",     "NEWLINE",      "MINIMUM",        "PERSONALIZED",
        "MODIFY",    "REPAIR",    "REMOVE",       "ROOTDIR",      "TITLE",          "COMPANY",
        "ADVERTISE", "DATE",      "TIME",         "TEMPDIR",      "SUPPORTDIR",     "MSIFILE",
        "LANGUAGE"};
    EXPECT_EQ(Names(fixture.store), expected);
    EXPECT_EQ(fixture.Value("STARTMENU"), "Demo Product");
    EXPECT_EQ(fixture.Value("ALLUSERS"), "TRUE");
    EXPECT_EQ(fixture.Value("TITLE"), "Demo Product");
    EXPECT_EQ(fixture.Value("COMPANY"), "Halvorne");
    EXPECT_EQ(fixture.Value("VERSION"), "2.5");
    EXPECT_EQ(fixture.Value("ROOTDIR"), "C:\\setup\\");
    EXPECT_EQ(fixture.Value("DATE"), "01.02.2003");
    EXPECT_EQ(fixture.Value("TIME"), "04:05:06");
    EXPECT_EQ(fixture.Value("ABORT"), "FALSE");
    EXPECT_EQ(fixture.Value("MSIFILE"), kPackage);
    EXPECT_EQ(fixture.Value("LANGUAGE"), "");
}

TEST(RunnerPrologue, InjectsCommandLineOverridesAfterTheLanguage) {
    RunFixture fixture;
    fixture.store.SetOverrides({{"targetdir", "D:\\Tools\\"}, {"newName", "1"}});
    ASSERT_TRUE(fixture.Run("Set Variable | SEEN | $TARGETDIR$ $NEWNAME$\n"));
    EXPECT_EQ(fixture.Value("SEEN"), "D:\\Tools\\ 1");
    EXPECT_EQ(fixture.Value("NEWNAME"), "1");
}

TEST(RunnerPrologue, SilentOverridesCannotBeChangedByTheScript) {
    for (const bool silent : {false, true}) {
        RunFixture fixture;
        fixture.facts.silent = silent ? "TRUE" : "FALSE";
        fixture.progress.SetSilent(silent);
        fixture.store.SetOverrides({{"TARGETDIR", "D:\\Given\\"}});
        ASSERT_TRUE(fixture.Run("Set Variable | TARGETDIR | C:\\Script\\\n"));
        EXPECT_EQ(fixture.Value("TARGETDIR"), silent ? "D:\\Given\\" : "C:\\Script\\") << silent;
    }
}

TEST(RunnerPrologue, RegistersEveryCommandHeaderSwitchedOff) {
    RunFixture fixture;
    std::vector<std::string> seen;
    fixture.branches.Set("Create Folder", [&](RunContext& run, const Statement&) {
        seen = run.property_list.Lines();
        return BranchOutcome::kContinue;
    });
    ASSERT_TRUE(fixture.Run(R"(
[header 0000000A] Create Folder | C:\a
Set Variable | A | 1
[header 0000000B] Write Registry | 0 | Software\x | v | d | 1
)"));
    const std::vector<std::string> expected = {"A0000000A", "FALSE", "A0000000B", "FALSE"};
    EXPECT_EQ(seen, expected);
}

TEST(RunnerPrologue, EndsWhenTheLanguageChoiceIsCancelled) {
    RunFixture fixture;
    fixture.translation_files.files[kSupport + "Demo.mtx"] = "{ID}\n";
    fixture.support_listing = {"translations.German", "translations.English"};
    fixture.language_dialog.answer = std::nullopt;
    ASSERT_TRUE(fixture.Run("@title Demo\n@language-choice TRUE\nSet Variable | A | 1\n"));
    EXPECT_EQ(fixture.Value("A"), std::nullopt);
    EXPECT_EQ(fixture.steps.calls.back(), "WriteInstanceData");
}

TEST(RunnerEnd, ABranchThatEndsTheRunStopsTheCycle) {
    RunFixture fixture;
    fixture.branches.Set("Terminate Install",
                         [](RunContext&, const Statement&) { return BranchOutcome::kEndRun; });
    ASSERT_TRUE(fixture.Run("Set Variable | A | 1\nTerminate Install\nSet Variable | B | 2\n"));
    EXPECT_EQ(fixture.Value("A"), "1");
    EXPECT_EQ(fixture.Value("B"), std::nullopt);
    const std::vector<std::string> tail(fixture.steps.calls.end() - 4, fixture.steps.calls.end());
    EXPECT_EQ(tail, kEndSteps);
}

TEST(RunnerEnd, FailuresOfClosingTheTextFileAndTheTrayIconAreIgnored) {
    struct FailingSteps : runnertest::RecordingSteps {
        void CloseTextFile(RunContext&) override { throw ScriptError("closing failed"); }
        void HideTrayIcon(RunContext&) override { throw ScriptError("hiding failed"); }
    };
    RunFixture fixture;
    FailingSteps failing;
    fixture.session_steps = &failing;
    ASSERT_TRUE(fixture.Run("Set Variable | A | 1\n"));
    EXPECT_TRUE(fixture.platform.messages.empty());
    const std::vector<std::string> tail(failing.calls.end() - 2, failing.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"FreeDialogs", "WriteInstanceData"}));
}

// ---- Script errors ------------------------------------------------------------------------

constexpr const char* kLateVariable = R"(
Set Variable | X | 0
If | X | 0 | 1 | FALSE
  Set Variable | LATE | 1
End
If | LATE | 0 | 1 | FALSE
End
Set Variable | NEVER | 1
)";

TEST(RunnerErrors, AScriptErrorEndsTheRunWithItsLineNumber) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run(kLateVariable));
    ASSERT_EQ(fixture.platform.messages.size(), 1u);
    EXPECT_EQ(fixture.platform.messages[0].text,
              "Runtime error in setup script:\r\rLine 5: Attempting to get value of undefined "
              "variable LATE");
    EXPECT_EQ(fixture.platform.messages[0].caption, "Corvelle Wizard");
    EXPECT_EQ(fixture.platform.messages[0].owner, 0u);
    EXPECT_EQ(fixture.Value("NEVER"), std::nullopt);
    const std::vector<std::string> tail(fixture.steps.calls.end() - 4, fixture.steps.calls.end());
    EXPECT_EQ(tail, kEndSteps);
}

TEST(RunnerErrors, TheCaptionFollowsTitleAndBranding) {
    struct Case {
        const char* settings;
        const char* caption;
    };
    for (const Case& c :
         {Case{"", "Demo - Corvelle Wizard"}, Case{"Set Variable | ZONDLOGO | TRUE\n", "Demo"},
          Case{"Set Variable | ZONDLOGO | true\n", "Demo - Corvelle Wizard"},
          Case{"Set Variable | TITLE | Other\n", "Other - Corvelle Wizard"}}) {
        RunFixture fixture;
        ASSERT_TRUE(fixture.Run(std::string("@title Demo\n") + c.settings + kLateVariable));
        ASSERT_EQ(fixture.platform.messages.size(), 1u) << c.settings;
        EXPECT_EQ(fixture.platform.messages[0].caption, c.caption) << c.settings;
    }
}

TEST(RunnerErrors, ASilentRunShowsNoMessage) {
    RunFixture fixture;
    fixture.facts.silent = "TRUE";
    ASSERT_TRUE(fixture.Run(kLateVariable));
    EXPECT_TRUE(fixture.platform.messages.empty());
    EXPECT_EQ(fixture.Value("NEVER"), std::nullopt);
}

TEST(RunnerErrors, AnElseOutsideAnyBlockIsAnError) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run("Set Variable | A | 1\nElse\nSet Variable | B | 2\n"));
    ASSERT_EQ(fixture.platform.messages.size(), 1u);
    EXPECT_EQ(fixture.platform.messages[0].text,
              "Runtime error in setup script:\r\rLine 2: END statement not found");
}

TEST(RunnerErrors, TheErrorTextIsTranslatable) {
    RunFixture fixture;
    std::string block;
    for (int line = 1; line <= 115; ++line) {
        block += (line == 20 ? "Laufzeitfehler im Setup-Skript:" : "x") + std::string("\n");
    }
    fixture.translations.ApplyMessageText(block);
    ASSERT_TRUE(fixture.Run(kLateVariable));
    ASSERT_EQ(fixture.platform.messages.size(), 1u);
    EXPECT_EQ(
        fixture.platform.messages[0].text.rfind("Laufzeitfehler im Setup-Skript:\r\rLine 5", 0),
        0u);
}

// ---- Refreshes ----------------------------------------------------------------------------

TEST(RunnerRefresh, LoggedSilentTitleAndBrandingReachTheSession) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run(R"(
@title Demo
Set Variable | LOGGED | c:\logs\setup.log
Set Variable | TITLE | Renamed
Set Variable | ZONDLOGO | TRUE
Set Variable | SILENT | -1
Comment | one more statement for the refresh
)"));
    EXPECT_EQ(fixture.session.log_setting, "c:\\logs\\setup.log");
    EXPECT_EQ(fixture.session.MessageCaption(), "Renamed");
    EXPECT_TRUE(fixture.progress.IsSilent());
}

TEST(RunnerRefresh, AbortFollowsTheCancelFlag) {
    RunFixture fixture;
    fixture.branches.Set("Hide Dialog", [](RunContext& run, const Statement&) {
        run.progress.SetCancelRequested(true);  // as the Cancel button does
        return BranchOutcome::kContinue;
    });
    ASSERT_TRUE(fixture.Run(R"(
Set Variable | BEFORE | $ABORT$
Hide Dialog
Set Variable | AFTER | $ABORT$
Set Variable | ABORT | FALSE
Set Variable | CLEARED | $ABORT$
)"));
    EXPECT_EQ(fixture.Value("BEFORE"), "FALSE");
    EXPECT_EQ(fixture.Value("AFTER"), "TRUE");
    EXPECT_EQ(fixture.Value("CLEARED"), "FALSE");
    EXPECT_FALSE(fixture.progress.IsCancelRequested());
}

TEST(RunnerRefresh, ProgressIsStoredWhileADialogWindowIsShown) {
    RunFixture fixture;
    fixture.branches.Set("Display Dialog", [](RunContext& run, const Statement&) {
        run.session.dialog_window = 77;  // a non-modal display
        return BranchOutcome::kContinue;
    });
    ASSERT_TRUE(fixture.Run(R"(
Set Variable | PROGRESSTEXT | Copying
Set Variable | PROGRESS | 10
Display Dialog | Progress |  | FALSE |  |  | 
Set Variable | PROGRESS | 40
Set Variable | SAME | still 40
)"));
    const ProgressRecord record = fixture.progress.ReadProgress();
    EXPECT_EQ(record.text, "Copying");
    EXPECT_EQ(record.maximum, 100);
    EXPECT_EQ(record.position, 40);
    EXPECT_EQ(fixture.platform.one_processed, 2);  // 10 once, then 40; unchanged: nothing
}

TEST(RunnerRefresh, ANonIntegerProgressIsAnErrorAtTheNextStatement) {
    RunFixture fixture;
    fixture.branches.Set("Display Dialog", [](RunContext& run, const Statement&) {
        run.session.dialog_window = 77;
        return BranchOutcome::kContinue;
    });
    ASSERT_TRUE(fixture.Run(R"(
Display Dialog | Progress |  | FALSE |  |  | 
Set Variable | PROGRESS | half
Set Variable | NEVER | 1
)"));
    ASSERT_EQ(fixture.platform.messages.size(), 1u);
    EXPECT_EQ(fixture.platform.messages[0].text,
              "Runtime error in setup script:\r\rLine 3: 'half' is not a valid integer value");
    EXPECT_EQ(fixture.Value("NEVER"), std::nullopt);
}

TEST(RunnerRefresh, UserInterfaceMessagesAreProcessedEvery314Statements) {
    RunFixture fixture;
    // A GoTo loop over four statements, 300 turns: 4 * 300 + 1 statements in all.
    ASSERT_TRUE(fixture.Run(R"(
Set Variable | I |
Label | again
Set Variable | I | $I$x
If | I | 0 | )" + std::string(300, 'x') +
                            R"( | TRUE
  GoTo Label | again
End
)"));
    EXPECT_EQ(fixture.Value("I"), std::string(300, 'x'));
    EXPECT_EQ(fixture.platform.pending_processed, 4);  // before statements 1, 315, 629, 943
}

const std::string kMap = kSupport + "translations.Map";
const std::string kGerman = kSupport + "translations.German";
const std::string kKeys = kSupport + "Demo.mtx";

TEST(RunnerRefresh, TranslationsAreLoadedOnceWhileTheirInputsStay) {
    RunFixture fixture;
    fixture.translation_files.files = {{kMap, "dialog\n"}, {kGerman, "Hallo\n"}, {kKeys, "{K}\n"}};
    ASSERT_TRUE(fixture.Run(R"(
@title Demo
Set Variable | LANGUAGE | German
Set Variable | A | 1
Set Variable | A | 2
Set Variable | A | 3
Set Variable | A | 4
)"));
    EXPECT_EQ(fixture.translations.SelectedLanguage(), "German");
    EXPECT_EQ(fixture.Value("LANGUAGE"), "German");
    const int first = fixture.translation_files.stamps;
    EXPECT_LE(first, 8);  // one load: the three lists and the shared message file

    RunFixture again;
    again.translation_files.files = fixture.translation_files.files;
    again.branches.Set("Write to Text File",
                       [](RunContext&, const Statement&) { return BranchOutcome::kContinue; });
    ASSERT_TRUE(again.Run(R"(
@title Demo
Set Variable | LANGUAGE | German
Set Variable | A | 1
Write to Text File | C:\support\translations.German | Guten Tag | FALSE
Set Variable | A | 3
Set Variable | A | 4
)"));
    EXPECT_GT(again.translation_files.stamps, first);  // looked at again after the file command
}

TEST(RunnerRefresh, ALanguageWithoutFilesIsDroppedSilently) {
    RunFixture fixture;
    fixture.translation_files.files = {{kMap, "dialog\n"}, {kGerman, "Hallo\n"}, {kKeys, "{K}\n"}};
    ASSERT_TRUE(fixture.Run(R"(
@title Demo
Set Variable | LANGUAGE | French
Set Variable | SEEN | [$LANGUAGE$]
)"));
    EXPECT_TRUE(fixture.platform.messages.empty());
    EXPECT_EQ(fixture.Value("SEEN"), "[]");
    EXPECT_EQ(fixture.translations.SelectedLanguage(), "");
}

TEST(RunnerRefresh, UninstallLinkIsAskedForAgainOnlyWhenItsInputsChange) {
    RunFixture fixture;
    fixture.steps.uninstall_link = "C:\\cache\\setup.exe";
    ASSERT_TRUE(fixture.Run(R"(
@title Demo
Set Variable | A | 1
Set Variable | A | 2
Set Variable | ALLUSERS | TRUE
Set Variable | A | 3
Set Variable | LINK | $UNINSTALLLINK$
)"));
    EXPECT_EQ(fixture.Value("LINK"), "C:\\cache\\setup.exe");
    ASSERT_EQ(fixture.steps.uninstall_inputs.size(), 2u);
    EXPECT_EQ(fixture.steps.uninstall_inputs[1].all_users, "TRUE");
    EXPECT_EQ(fixture.steps.uninstall_inputs[1].title, "Demo");
}

// ---- Plug-in statements -------------------------------------------------------------------

// A plug-in statement between two others; the library's file name is the last part of
// parameter 2.
constexpr const char* kPluginScript = R"(
@plugin Zip Tools
Set Variable | PROGRESSTEXT | Packing
Zip Tools | level=9 | C:\build\plugins\zip.dll
Set Variable | AFTER | $PLUGGED$
)";

TEST(RunnerPlugin, HandsTheStoreToTheLibraryAndImportsItsAnswer) {
    RunFixture fixture;
    fixture.platform.files.insert(kSupport + "zip.dll");
    fixture.plugins.answer = [](const PluginCall& call) {
        std::vector<std::string> elements = FromCommaText(call.variables);
        elements.push_back("PLUGGED");
        elements.push_back("yes, done");
        return ToCommaText(elements);
    };
    ASSERT_TRUE(fixture.Run(kPluginScript));
    ASSERT_EQ(fixture.plugins.calls.size(), 1u);
    const PluginCall& call = fixture.plugins.calls[0];
    EXPECT_EQ(call.library_path, kSupport + "zip.dll");
    EXPECT_EQ(call.data, "level=9");
    EXPECT_EQ(call.progress_text, "Packing");
    EXPECT_EQ(call.window, 0u);
    EXPECT_FALSE(call.native_file_system);
    EXPECT_NE(call.variables.find("PROGRESSTEXT,Packing"), std::string::npos);
    EXPECT_EQ(fixture.Value("AFTER"), "yes, done");
}

TEST(RunnerPlugin, AMissingLibraryShowsItsMessageAndTheRunGoesOn) {
    RunFixture fixture;
    ASSERT_TRUE(fixture.Run(std::string("@title Demo\n") + kPluginScript));
    EXPECT_TRUE(fixture.plugins.calls.empty());
    ASSERT_EQ(fixture.platform.messages.size(), 1u);
    EXPECT_EQ(fixture.platform.messages[0].text,
              "Unable to load plug-in library. Please rebuild your project and make sure all "
              "required plug-ins are installed.\r\rAction skipped");
    EXPECT_EQ(fixture.platform.messages[0].caption, "Demo - Corvelle Wizard");
    EXPECT_EQ(fixture.Value("AFTER"), "$PLUGGED$");
}

TEST(RunnerPlugin, AMissingLibraryInASilentRunShowsNothing) {
    RunFixture fixture;
    fixture.facts.silent = "TRUE";
    ASSERT_TRUE(fixture.Run(kPluginScript));
    EXPECT_TRUE(fixture.platform.messages.empty());
    EXPECT_EQ(fixture.Value("AFTER"), "$PLUGGED$");
}

constexpr const char* kMediaPlugin = R"(
@plugin Zip Tools
@media-layout %s
[media OFFLINE\] Zip Tools | data | zip.dll
Set Variable | AFTER | ran
)";

std::string MediaPlugin(const char* layout) {
    std::string listing = kMediaPlugin;
    listing.replace(listing.find("%s"), 2, layout);
    return listing;
}

TEST(RunnerPlugin, ALibraryInMediaIsMadePresentFirstWithLayoutTwo) {
    RunFixture fixture;
    fixture.session.bootstrap_data_folder = "C:\\cache\\rev\\";
    fixture.platform.files.insert("C:\\cache\\rev\\OFFLINE\\zip.dll");
    ASSERT_TRUE(fixture.Run(MediaPlugin("2")));
    EXPECT_NE(std::find(fixture.steps.calls.begin(), fixture.steps.calls.end(), "EnsureMedia 0"),
              fixture.steps.calls.end());
    ASSERT_EQ(fixture.plugins.calls.size(), 1u);
    EXPECT_EQ(fixture.plugins.calls[0].library_path, "C:\\cache\\rev\\OFFLINE\\zip.dll");
    EXPECT_TRUE(fixture.platform.browse_prompts.empty());
}

TEST(RunnerPlugin, TheOriginalSourcesAreAskedForUntilTheLibraryIsFound) {
    RunFixture fixture;
    fixture.platform.files.insert("E:\\sources\\OFFLINE\\zip.dll");
    fixture.platform.browse_answers = {"D:\\wrong", "E:\\sources"};
    ASSERT_TRUE(fixture.Run(MediaPlugin("0")));
    ASSERT_EQ(fixture.platform.browse_prompts.size(), 2u);
    EXPECT_EQ(fixture.platform.browse_prompts[0],
              "Please locate your original setup sources to continue operation");
    ASSERT_EQ(fixture.plugins.calls.size(), 1u);
    EXPECT_EQ(fixture.plugins.calls[0].library_path, "E:\\sources\\OFFLINE\\zip.dll");
    // Two levels above the library: the chosen folder.
    EXPECT_EQ(fixture.session.data_folder, "E:\\sources\\");
    EXPECT_EQ(fixture.Value("AFTER"), "ran");
}

TEST(RunnerPlugin, CancellingThePromptForTheSourcesEndsTheRun) {
    RunFixture fixture;
    fixture.platform.browse_answers = {std::nullopt};
    ASSERT_TRUE(fixture.Run(MediaPlugin("0")));
    ASSERT_EQ(fixture.platform.messages.size(), 1u);
    EXPECT_EQ(fixture.platform.messages[0].text,
              "Runtime error in setup script:\r\rLine 1: Original setup sources required to "
              "complete operation, sources not found");
    EXPECT_EQ(fixture.Value("AFTER"), std::nullopt);
}

TEST(RunnerPlugin, PathParts) {
    EXPECT_EQ(FileNamePart("C:\\a\\b.dll"), "b.dll");
    EXPECT_EQ(FileNamePart("C:b.dll"), "b.dll");
    EXPECT_EQ(FileNamePart("b.dll"), "b.dll");
    EXPECT_EQ(ParentFolder("C:\\a\\b\\c.dll"), "C:\\a\\b\\");
    EXPECT_EQ(ParentFolder("C:\\a\\b\\"), "C:\\a\\");
    EXPECT_EQ(ParentFolder("c.dll"), "");
}

}  // namespace
