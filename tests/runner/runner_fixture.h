#pragma once

// A run of a script written in the compiler's listing form, with fakes for everything outside
// the runner: the system (files, clock, message boxes, folder browser), the wizard dialogs (a
// scripted list of button presses), the plug-in executor, the language dialog and the session
// steps (which record that they were called).

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script_runner.h"

namespace runnertest {

inline const std::string kSupport = "C:\\support\\";
inline const std::string kPackage = "C:\\support\\setup.msi";

class MemoryFiles : public TranslationFiles {
  public:
    std::map<std::string, std::string> files;  // full path -> contents
    mutable int stamps = 0;                    // Stamp() calls: how often files were looked at

    FileStamp Stamp(const std::string& path) const override;
    FileRead Read(const std::string& path, std::uint64_t limit) const override;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    std::uintptr_t owner = 0;
};

class FakePlatform : public RunnerPlatform {
  public:
    std::set<std::string> files = {kPackage};
    std::vector<ShownMessage> messages;
    // Answers of the folder browser in turn; nothing = cancel. Runs out: cancel.
    std::deque<std::optional<std::string>> browse_answers;
    std::vector<std::string> browse_prompts;
    int pending_processed = 0;
    int one_processed = 0;

    void ProcessPendingMessages() override { ++pending_processed; }
    void ProcessOneMessage() override { ++one_processed; }
    DateTimeTexts CurrentDateTime() override { return {"01.02.2003", "04:05:06"}; }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    void ShowError(const std::string& text, const std::string& caption,
                   std::uintptr_t owner) override {
        messages.push_back({text, caption, owner});
    }
    std::optional<std::string> BrowseForFolder(const std::string& prompt, std::uintptr_t) override;

    // For the commands. Every guard records its platform mode; file operations record the
    // number of guards held while they ran. Temporary files are numbered in the folder given
    // (none while `temporary_file_fails`); short forms and the names the file system reports
    // come from the maps (keys compared in ASCII lower case); letter case is ASCII only.
    std::vector<std::string> guard_modes;
    int guards_held = 0;
    std::vector<int> guards_held_by_file_calls;
    int temporary_files = 0;
    bool temporary_file_fails = false;
    std::vector<std::string> temporary_folders;
    std::map<std::string, std::string> short_paths;
    std::map<std::string, std::string> found_names;

    std::unique_ptr<FileSystemScope> GuardRedirection(std::string_view platform_mode) override;
    std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                   const std::string& prefix) override;
    std::optional<std::string> ShortPathName(const std::string& path) override;
    std::optional<std::string> FoundName(const std::string& path) override;
    std::string UpperCase(std::string_view text) override;
    std::string LowerCase(std::string_view text) override;
};

// The wizard dialogs: each modal display takes the next scripted button; the indexes of the
// statements shown are recorded. Running out of buttons answers cancel.
class ScriptedDialogs : public WizardDialogs {
  public:
    std::deque<DialogResult> buttons;
    std::vector<std::int32_t> shown;

    DialogResult ShowModal(const Statement& statement) override;
};

class FakePlugins : public PluginExecutor {
  public:
    std::vector<PluginCall> calls;
    // The answer for a call; by default the exported store itself (a failed library).
    std::function<std::string(const PluginCall&)> answer;

    std::string Execute(const PluginCall& call) override;
};

class FakeLanguageDialog : public LanguageDialog {
  public:
    std::optional<std::size_t> answer = 0;
    std::optional<std::size_t> Choose(const std::vector<std::string>&, std::size_t) override {
        return answer;
    }
};

// Records the session steps in the order they were called.
class RecordingSteps : public SessionSteps {
  public:
    std::vector<std::string> calls;
    std::optional<std::string> uninstall_link;  // what RefreshUninstallLink answers
    std::vector<UninstallLinkInputs> uninstall_inputs;

    void ClearComponents(RunContext&) override { calls.push_back("ClearComponents"); }
    void Bootstrap(RunContext&) override { calls.push_back("Bootstrap"); }
    void DefinePredefinedComponent(RunContext&) override {
        calls.push_back("DefinePredefinedComponent");
    }
    void PatchMode(RunContext&) override { calls.push_back("PatchMode"); }
    void ResumeCleanup(RunContext&) override { calls.push_back("ResumeCleanup"); }
    std::optional<std::string> RefreshUninstallLink(RunContext&,
                                                    const UninstallLinkInputs& inputs) override {
        uninstall_inputs.push_back(inputs);
        return uninstall_link;
    }
    void EnsureMedia(RunContext&, const Statement& statement) override {
        calls.push_back("EnsureMedia " + std::to_string(statement.Index));
    }
    void CloseTextFile(RunContext&) override { calls.push_back("CloseTextFile"); }
    void HideTrayIcon(RunContext&) override { calls.push_back("HideTrayIcon"); }
    void FreeDialogs(RunContext&) override { calls.push_back("FreeDialogs"); }
    void WriteInstanceData(RunContext&) override { calls.push_back("WriteInstanceData"); }
};

class RunFixture {
  public:
    RunFixture();

    ProgressState progress;
    VariableStore store{progress};
    MemoryFiles translation_files;
    Translations translations{translation_files};
    SessionState session;
    FakePlatform platform;
    RunnerPlatform* runner_platform = &platform;  // the platform the run uses
    ScriptedDialogs dialogs;
    FakePlugins plugins;
    PluginExecutor* plugin_executor = &plugins;  // the executor the run uses
    FakeLanguageDialog language_dialog;
    RecordingSteps steps;
    SessionSteps* session_steps = &steps;  // the steps the run calls
    CommandBranches branches;
    PredefinedFacts facts;
    std::vector<std::string> support_listing;  // file names the language selection finds

    // Compiles the listing and runs it; false (with a test failure) when it does not compile.
    // A listing that the prepare pass rejects is a test failure too, unless `rejected` is set.
    bool Run(std::string_view listing, bool rejected = false);

    // The stored (unexpanded) value of a variable, or nothing when it is not defined.
    std::optional<std::string> Value(std::string_view name) const;

    ScriptImage script;
};

}  // namespace runnertest
