#include "setup_startup.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "archive_operations.h"
#include "command_branches.h"
#include "command_line.h"
#include "file_system.h"
#include "plugin_executor_windows.h"
#include "registered_user.h"
#include "runner_platform_windows.h"
#include "script_error.h"
#include "script_loader.h"
#include "script_runner.h"
#include "set_language.h"
#include "startup_windows.h"
#include "store_hooks.h"
#include "translation_files.h"
#include "windows_version.h"

namespace {

// The dialog runtime (dialog files, their loading under the statement keys, modal and
// non-modal display) is not part of this build yet. Until it is, a script with an active
// "Display Dialog" statement cannot run: start-up ends with exit code 11 and this text after
// "Runtime error in install: ". This is the one place that knows it.
constexpr char kDialogRuntimeMissing[] =
    "This setup shows wizard dialogs, and the dialog runtime that loads and shows them is "
    "missing from this setup engine.";

// The runner's dialog interface while there is no dialog runtime. Start-up refuses every
// script with an active "Display Dialog" statement, so no statement reaches it.
class MissingDialogRuntime : public WizardDialogs {
  public:
    DialogResult ShowModal(const Statement&) override { throw ScriptError(kDialogRuntimeMissing); }
};

constexpr int kSupportFolderRemovalPasses = 3;
constexpr DWORD kTempPathBuffer = 260;

// An ending of start-up with its own exit code and message (codes 13 to 16).
struct StartupEnding {
    int code;
    std::string message;
};

struct ProgramPaths {
    std::string program;  // full path of the running program
    std::string folder;   // with a trailing "\"
    std::string base;     // file name without extension
    std::string temp;     // with a trailing "\"
};

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

void RestrictToFirstProcessor() {
    using SetAffinity = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    // Through a generic function pointer: casting FARPROC to another function type directly
    // draws a warning.
    auto set_affinity = reinterpret_cast<SetAffinity>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetProcessAffinityMask")));
    if (set_affinity) set_affinity(GetCurrentProcess(), 1);
}

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw std::runtime_error("GetModuleFileNameA failed");
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) throw std::runtime_error("the program path is too long");
        path.resize(path.size() * 2);
    }
}

ProgramPaths FindProgramPaths() {
    ProgramPaths paths;
    paths.program = ProgramPath();
    const std::size_t separator = paths.program.find_last_of("\\:");
    paths.folder = paths.program.substr(0, separator + 1);
    const std::string name = paths.program.substr(separator + 1);
    paths.base = name.substr(0, name.find_last_of('.'));

    char temp[kTempPathBuffer + 1] = {};
    const DWORD length = GetTempPathA(kTempPathBuffer, temp);
    if (length == 0 || length > kTempPathBuffer) {
        throw std::runtime_error("GetTempPathA failed (error " + std::to_string(GetLastError()) +
                                 ")");
    }
    paths.temp = WithBackslash(temp);
    const FileResult created = CreateFolderTree(paths.temp);
    if (!created.ok) throw std::runtime_error(created.error);
    return paths;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The message file appended to qor.dll. Applied from memory: a fixed file name in the shared
// temporary folder would be written and read by every setup that starts at the same time.
void ApplyLanguageList(const std::string& library, Translations& translations) {
    const OverlayStart start = FindFileOverlayStart(library);
    if (!start.start || *start.start >= start.file_size) return;
    if (start.file_size - *start.start > kTranslationFileLimit) return;
    const Overlay overlay = ReadOverlay(library, *start.start);
    if (overlay.status == Overlay::Status::kScript) translations.ApplyMessageText(overlay.bytes);
}

ScriptImage LoadOwnScript(const std::string& program) {
    const OverlayStart start = FindFileOverlayStart(program);
    if (!start.error.empty()) throw std::runtime_error(start.error);
    if (!start.start) throw std::runtime_error("The setup program is not a readable program file");
    if (*start.start == start.file_size)
        throw StartupEnding{kExitNoScript, "For internal use only"};
    Overlay overlay = ReadOverlay(program, *start.start);
    if (overlay.status == Overlay::Status::kNoOverlay) {
        throw StartupEnding{kExitNoScript, "For internal use only"};
    }
    if (overlay.status == Overlay::Status::kUnreadable) throw std::runtime_error(overlay.error);
    ScriptLoad load = LoadScript(overlay.bytes);
    if (!load.image) throw std::runtime_error(load.error);
    return std::move(*load.image);
}

// Copies a package into the support folder, when it exists, and makes the copy writable.
void CopyPackage(const std::string& source, const std::string& target) {
    if (!FileExists(source)) return;
    if (CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

int CountActiveDialogs(const ScriptImage& script) {
    int count = 0;
    for (const Statement& statement : script.Statements) {
        if (!statement.Disabled && statement.Command == "Display Dialog") ++count;
    }
    return count;
}

void ShowError(const std::string& text, const std::string& caption, HWND owner) {
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
}

class SetupProgram {
  public:
    int Run() {
        RestrictToFirstProcessor();
        try {
            paths_ = FindProgramPaths();
            translations_.SetUserLanguageName(UserLanguageName());
            ApplyLanguageList(paths_.folder + "qor.dll", translations_);
            settings_ = ReadCommandLine(GetCommandLineA());
            progress_.SetSilent(settings_.silent);
            store_.SetOverrides(settings_.overrides);
            session_.log_setting = settings_.log_setting;
            session_.source_path = settings_.source_path;
            if (!settings_.silent && !settings_.no_startup_windows) ShowStartupWindows();
            Prepare();
            CloseStartupWindows();
            RunTheScript();
        } catch (const StartupEnding& ending) {
            if (!progress_.IsSilent()) {
                ShowError(ending.message, session_.MessageCaption(),
                          init_ ? init_->Window() : nullptr);
            }
            return ending.code;
        } catch (const std::exception& error) {
            return EndWithError(error.what());
        } catch (...) {
            return EndWithError("unknown failure");
        }
        RemoveSupportFolder();
        return session_.exit_code;
    }

  private:
    void ShowStartupWindows() {
        const WindowsVersion& version = RunningWindowsVersion();
        splash_.emplace();
        init_.emplace(translations_, version.major, version.minor);
        const int screen_width = GetSystemMetrics(SM_CXSCREEN);
        const int screen_height = GetSystemMetrics(SM_CYSCREEN);
        const std::string picture = paths_.folder + "setup.bmp";
        ScreenRect place =
            CentredOnScreen(init_->Width(), init_->Height(), screen_width, screen_height);
        if (FileExists(picture) && splash_->ShowPicture(picture)) {
            place = PreparationBesideSplash(splash_->Bounds(), init_->Width(), init_->Height(),
                                            screen_width, screen_height);
        }
        init_->Show(place.left, place.top);
        WindowsRunnerPlatform(progress_).ProcessPendingMessages();
    }

    void CloseStartupWindows() {
        init_.reset();
        splash_.reset();
    }

    // Steps 6 to 12.
    void Prepare() {
        script_ = LoadOwnScript(paths_.program);

        std::string error;
        std::optional<std::string> support = CreateNumberedFolder(paths_.temp, "qor", &error);
        if (!support) throw std::runtime_error(error);
        session_.support_folder = *support;

        const std::string resources = paths_.folder + paths_.base + ".res";
        if (!FileExists(resources)) {
            throw StartupEnding{kExitResourceMissing,
                                translations_.Message("Setup resource not found")};
        }
        const ArchiveExtractResult extracted = ExtractFromArchive(
            resources, "", session_.support_folder, std::nullopt, {}, true, true);
        if (!extracted.ok) {
            throw StartupEnding{kExitResourceBroken,
                                translations_.Message("Setup resource decompression failure")};
        }

        const std::string package = paths_.folder + paths_.base + ".msi";
        const std::string patch = paths_.folder + paths_.base + ".msp";
        if (!FileExists(package) && !FileExists(patch)) {
            throw StartupEnding{kExitDatabaseMissing,
                                translations_.Message("Setup database not found")};
        }
        CopyPackage(package, session_.support_folder + paths_.base + ".msi");
        CopyPackage(patch, session_.support_folder + paths_.base + ".msp");

        session_.data_folder = paths_.folder + "data\\";
        session_.bootstrap_data_folder = session_.data_folder;

        const int dialogs = CountActiveDialogs(*script_);
        if (init_ && init_->Visible()) init_->SetProgressRange(dialogs, 1);
        if (dialogs > 0) throw std::runtime_error(kDialogRuntimeMissing);
    }

    PredefinedFacts StartupFacts() const {
        PredefinedFacts facts;
        const RegisteredUser user = ReadRegisteredUser();
        const SelfExtractorParts sfx = SplitSelfExtractorPath(settings_.sfx_path);
        facts.all_users = VariableStore::TruthText(DefaultAllUsers());
        facts.data_folder = session_.data_folder;
        facts.exe_file = paths_.program;
        facts.exe_folder = paths_.folder;
        facts.user_name = user.owner;
        facts.user_company = user.organization;
        facts.silent = VariableStore::TruthText(settings_.silent);
        facts.logged = settings_.log_setting;
        facts.command_line = settings_.raw_arguments;
        facts.sfx_path = sfx.folder;
        facts.sfx_file = sfx.file;
        facts.temp_folder = paths_.temp;
        facts.support_folder = session_.support_folder;
        facts.msi_file = session_.support_folder + paths_.base + ".msi";
        return facts;
    }

    void RunTheScript() {
        const WindowsVersion& version = RunningWindowsVersion();
        WindowsRunnerPlatform platform(progress_);
        WindowsPluginExecutor plugins(progress_);
        MissingDialogRuntime dialogs;
        SessionSteps steps;
        const CommandBranches branches = BuiltCommandBranches();
        TSetLanguage language_dialog(translations_, version.major, version.minor);
        RunEnvironment environment{
            store_,
            progress_,
            translations_,
            session_,
            StartupFacts(),
            RunServices{platform, plugins, dialogs, steps, branches, WindowsStoreHooks().upper_case,
                        files_, ListFileNames, language_dialog, UserLanguageName()},
        };
        RunScript(*script_, session_.support_folder + paths_.base + ".msi", environment);
    }

    int EndWithError(const std::string& text) {
        CloseStartupWindows();
        if (!progress_.IsSilent()) {
            ShowError(translations_.Message("Runtime error in install: ") + text,
                      session_.MessageCaption(), nullptr);
        }
        RemoveSupportFolder();
        return kExitRuntimeError;
    }

    void RemoveSupportFolder() {
        if (session_.support_folder.empty()) return;
        RemoveFolderTree(session_.support_folder, kSupportFolderRemovalPasses);
    }

    ProgramPaths paths_;
    CommandLineSettings settings_;
    ProgressState progress_;
    WindowsTranslationFiles files_;
    Translations translations_{files_, WindowsStoreHooks().upper_case};
    VariableStore store_{progress_, WindowsStoreHooks()};
    SessionState session_;
    std::optional<ScriptImage> script_;
    std::optional<TSetupSplash> splash_;
    std::optional<TSetupInit> init_;
};

}  // namespace

int RunSetupProgram() {
    SetupProgram program;
    return program.Run();
}
