#include "setup_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "file_system.h"
#include "process_environment.h"
#include "script_compiler.h"

namespace setuptest {

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    const FileResult written = WriteNewFile(path, bytes);
    ASSERT_TRUE(written.ok) << written.error;
}

void CopyInto(const std::string& source, const std::string& target) {
    ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE))
        << source << " -> " << target << ": error " << GetLastError();
}

const std::string& WorkFolder() {
    static const std::string folder = [] {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string path =
            std::string(temp) + "qor-setup-" + std::to_string(GetCurrentProcessId()) + "\\";
        RemoveFolderTree(path, 1);
        CreateFolderTree(path);
        return path;
    }();
    return folder;
}

// Removes the work folder when the test program ends: it holds copies of the engine and of
// a 20 MB archive for every setup the tests made.
class RemoveWorkFolder : public testing::Environment {
  public:
    void TearDown() override { RemoveFolderTree(WorkFolder(), 3); }
};

[[maybe_unused]] testing::Environment* const kRemoveWorkFolder =
    testing::AddGlobalTestEnvironment(new RemoveWorkFolder);

}  // namespace

SetupRecipe Listing(std::string listing) {
    SetupRecipe recipe;
    recipe.listing = std::move(listing);
    return recipe;
}

SetupRecipe EarlyEnding(const std::string& fault) {
    SetupRecipe recipe = Listing("Comment");
    if (fault == "no-script") recipe.append_script = false;
    if (fault == "no-resources") recipe.resources = "";
    if (fault == "broken-resources") recipe.resources = "not-an-archive.7z";
    if (fault == "no-package") recipe.package = false;
    if (fault == "dialogs")
        recipe.listing = "Wizard Loop\nDisplay Dialog | Welcome | WIZARD\nEnd\n";
    if (fault == "damaged-script") recipe.overlay = "Set Variable\r\n$\r\n";
    return recipe;
}

std::string NewFolder(const std::string& name) {
    const std::string path = WorkFolder() + name + "\\";
    RemoveFolderTree(path, 1);
    CreateFolderTree(path);
    return path;
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string FixturePath(const std::string& name) {
    return std::string(QOR_SETUP_FIXTURES) + name;
}

std::string MakeSetup(const std::string& folder_name, const SetupRecipe& recipe) {
    const std::string folder = NewFolder(folder_name);
    const std::string program = folder + recipe.name + ".exe";
    const std::string engine = ReadFile(QOR_QORSTUB_EXE);
    EXPECT_FALSE(engine.empty()) << QOR_QORSTUB_EXE;
    std::string bytes = engine;
    if (!recipe.overlay.empty()) {
        bytes += recipe.overlay;
    } else if (recipe.append_script) {
        const qorscript::Compiled compiled = qorscript::CompileListing(recipe.listing);
        EXPECT_TRUE(compiled.ok()) << (compiled.ok() ? "" : compiled.errors.front());
        const qorscript::SetupProgram setup = qorscript::AppendScript(engine, compiled.script);
        EXPECT_TRUE(setup.error.empty()) << setup.error;
        bytes = setup.bytes;
    }
    WriteFile(program, bytes);
    CopyInto(FolderOf(QOR_QORSTUB_EXE) + "qor.dll", folder + "qor.dll");
    if (!recipe.language_list.empty()) {
        WriteFile(folder + "qor.dll", ReadFile(folder + "qor.dll") + recipe.language_list);
    }
    if (!recipe.resources.empty())
        CopyInto(FixturePath(recipe.resources), folder + recipe.name + ".res");
    if (recipe.package) CopyInto(QOR_SETUP_PACKAGE, folder + recipe.name + ".msi");
    if (recipe.patch) CopyInto(QOR_SETUP_PACKAGE, folder + recipe.name + ".msp");
    if (recipe.picture) CopyInto(FixturePath("setup.bmp"), folder + "setup.bmp");
    return program;
}

StartedSetup::~StartedSetup() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 255);
        }
        CloseHandle(process_.hProcess);
    }
    if (process_.hThread) CloseHandle(process_.hThread);
}

bool StartedSetup::Start(const std::string& program, const std::string& arguments,
                         const std::string& temp) {
    CreateFolderTree(temp);
    std::string command = "\"" + program + "\"";
    if (!arguments.empty()) command += " " + arguments;
    std::string temp_folder = temp;
    if (!temp_folder.empty() && temp_folder.back() == '\\') temp_folder.pop_back();
    std::string environment = EnvironmentWithTemp(temp_folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                          environment.data(), FolderOf(program).c_str(), &startup, &process_);
}

std::optional<int> StartedSetup::Finish(DWORD timeout_ms) {
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 255);
        WaitForSingleObject(process_.hProcess, 5000);
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
}

std::optional<int> RunSetup(const std::string& program, const std::string& arguments,
                            const std::string& temp) {
    StartedSetup setup;
    if (!setup.Start(program, arguments, temp)) {
        ADD_FAILURE() << "CreateProcessA failed for " << program << ": " << GetLastError();
        return std::nullopt;
    }
    return setup.Finish();
}

std::map<std::string, std::string> ReadRecord(const std::string& path) {
    std::map<std::string, std::string> record;
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        record[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return record;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteNewFile(path, text).ok;
}

std::vector<std::string> SupportFolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    const HANDLE find = FindFirstFileA((folder + "qor*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.emplace_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

std::string RecordStatement(const std::string& record_path) {
    return "@plugin Record Variables\nRecord Variables | " + record_path + " | record.dll\n";
}

}  // namespace setuptest
