#include "runner_fixture.h"

#include <gtest/gtest.h>

#include "prepare_pass.h"
#include "script_compiler.h"
#include "script_loader.h"

namespace runnertest {

FileStamp MemoryFiles::Stamp(const std::string& path) const {
    ++stamps;
    const auto it = files.find(path);
    if (it == files.end()) return {};
    return {true, it->second.size(), 1};
}

FileRead MemoryFiles::Read(const std::string& path, std::uint64_t limit) const {
    const auto it = files.find(path);
    if (it == files.end()) return {false, {}, "missing"};
    if (it->second.size() > limit) return {false, {}, "too large"};
    return {true, it->second, {}};
}

std::optional<std::string> FakePlatform::BrowseForFolder(const std::string& prompt,
                                                         std::uintptr_t) {
    browse_prompts.push_back(prompt);
    if (browse_answers.empty()) return std::nullopt;
    std::optional<std::string> answer = browse_answers.front();
    browse_answers.pop_front();
    return answer;
}

namespace {

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

class CountedScope : public FileSystemScope {
  public:
    explicit CountedScope(int& held) : held_(held) { ++held_; }
    ~CountedScope() override { --held_; }

  private:
    int& held_;
};

}  // namespace

std::unique_ptr<FileSystemScope> FakePlatform::GuardRedirection(std::string_view platform_mode) {
    guard_modes.emplace_back(platform_mode);
    return std::make_unique<CountedScope>(guards_held);
}

std::optional<std::string> FakePlatform::CreateTemporaryFile(const std::string& folder,
                                                             const std::string& prefix) {
    guards_held_by_file_calls.push_back(guards_held);
    temporary_folders.push_back(folder);
    if (temporary_file_fails) return std::nullopt;
    return folder + prefix + std::to_string(++temporary_files) + ".tmp";
}

std::optional<std::string> FakePlatform::ShortPathName(const std::string& path) {
    guards_held_by_file_calls.push_back(guards_held);
    const auto found = short_paths.find(AsciiLower(path));
    if (found == short_paths.end()) return std::nullopt;
    return found->second;
}

std::optional<std::string> FakePlatform::FoundName(const std::string& path) {
    guards_held_by_file_calls.push_back(guards_held);
    const auto found = found_names.find(AsciiLower(path));
    if (found == found_names.end()) return std::nullopt;
    return found->second;
}

std::string FakePlatform::UpperCase(std::string_view text) {
    return AsciiUpper(text);
}

std::string FakePlatform::LowerCase(std::string_view text) {
    return AsciiLower(text);
}

DialogResult ScriptedDialogs::ShowModal(const Statement& statement) {
    shown.push_back(statement.Index);
    if (buttons.empty()) return DialogResult::Cancel();
    DialogResult result = buttons.front();
    buttons.pop_front();
    return result;
}

std::string FakePlugins::Execute(const PluginCall& call) {
    calls.push_back(call);
    return answer ? answer(call) : call.variables;
}

RunFixture::RunFixture() : branches(BuiltCommandBranches()) {
    session.support_folder = kSupport;
    session.data_folder = "C:\\setup\\data\\";
    session.bootstrap_data_folder = "C:\\setup\\data\\";
    facts.silent = "FALSE";
    facts.support_folder = kSupport;
    facts.msi_file = kPackage;
}

bool RunFixture::Run(std::string_view listing, bool rejected) {
    const qorscript::Compiled compiled = qorscript::CompileListing(listing);
    if (!compiled.ok()) {
        ADD_FAILURE() << "listing does not compile: " << compiled.errors.front();
        return false;
    }
    ScriptLoad load = LoadScript(compiled.script);
    if (!load.image) {
        ADD_FAILURE() << "script does not load: " << load.error;
        return false;
    }
    script = std::move(*load.image);
    {
        ProgressState scratch_flags;
        VariableStore scratch(scratch_flags);
        const PrepareResult prepared =
            PrepareScript(script, CommandLookup(script.PluginCommands), scratch);
        if (prepared.Accepted() == rejected) {
            ADD_FAILURE() << "prepare pass: " << prepared.index << " " << prepared.message;
        }
    }
    RunEnvironment environment{
        store,
        progress,
        translations,
        session,
        facts,
        RunServices{
            *runner_platform,
            *plugin_executor,
            dialogs,
            *session_steps,
            branches,
            nullptr,
            translation_files,
            [this](const std::string&, const std::string&) { return support_listing; },
            language_dialog,
            "English",
        },
    };
    RunScript(script, kPackage, environment);
    return true;
}

std::optional<std::string> RunFixture::Value(std::string_view name) const {
    for (const auto& [entry, value] : store.Entries()) {
        if (entry == name) return value;
    }
    return std::nullopt;
}

}  // namespace runnertest
