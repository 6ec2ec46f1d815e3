#include "plugin_statement.h"

#include <optional>

#include "script_error.h"

namespace {

std::string WithTrailingBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// The library below the original setup sources that the user points at; nothing when the user
// cancels first. `media` and `name` are M and P.
std::optional<std::string> LocateOriginalSources(RunContext& run, PluginServices& services,
                                                 const std::string& media,
                                                 const std::string& name) {
    const std::string prompt =
        run.translations.Message("Please locate your original setup sources to continue operation");
    for (;;) {
        const std::optional<std::string> folder =
            services.platform.BrowseForFolder(prompt, run.session.dialog_window);
        if (!folder) return std::nullopt;
        const std::string candidate = WithTrailingBackslash(*folder) + media + name;
        if (services.platform.FileExists(candidate)) return candidate;
    }
}

std::string LibraryPath(RunContext& run, const Statement& statement, PluginServices& services) {
    const std::string& media = statement.MediaFolder;
    const std::string& name = run.script.GetParameter(statement.Id, 2);
    if (media.empty()) return run.session.support_folder + FileNamePart(name);
    if (run.script.MediaLayout == 2) {
        services.steps.EnsureMedia(run, statement);
        return run.session.bootstrap_data_folder + media + name;
    }
    const std::string path = run.session.bootstrap_data_folder + media + name;
    if (services.platform.FileExists(path)) return path;
    const std::optional<std::string> found = LocateOriginalSources(run, services, media, name);
    if (!found) {
        throw ScriptError(run.translations.Message(
            "Original setup sources required to complete operation, sources not found"));
    }
    run.session.data_folder = ParentFolder(ParentFolder(*found));
    return *found;
}

}  // namespace

std::string FileNamePart(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\:");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string ParentFolder(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    const std::size_t separator = path.find_last_of('\\');
    if (separator == std::string_view::npos) return {};
    return std::string(path.substr(0, separator + 1));
}

void RunPluginStatement(RunContext& run, const Statement& statement, PluginServices& services) {
    const std::string path = LibraryPath(run, statement, services);
    if (!services.platform.FileExists(path)) {
        if (!run.progress.IsSilent()) {
            services.platform.ShowError(std::string(kPluginMissingMessage),
                                        run.session.MessageCaption(), run.session.dialog_window);
        }
        return;
    }
    PluginCall call;
    call.library_path = path;
    call.variables = run.store.Export();
    call.data = run.script.GetParameter(statement.Id, 1);
    call.window = run.session.dialog_window;
    call.progress_text = run.store.ReadOrEmpty("PROGRESSTEXT");
    call.native_file_system = run.session.platform_mode != "Win32";
    run.store.Import(services.executor.Execute(call));
}
