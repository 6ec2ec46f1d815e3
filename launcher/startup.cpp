#include "startup.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "built_in_record.h"
#include "diagnostics.h"
#include "output_pipe.h"

namespace pantrix {
namespace {

// The command-line text after the program name, which may be quoted.
const char* ArgumentsText(const char* line) {
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    return line;
}

void SetBinaryMode(FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor >= 0) _setmode(descriptor, _O_BINARY);
}

void ApplyStderrFix() {
    SetStdHandle(STD_ERROR_HANDLE, GetStdHandle(STD_OUTPUT_HANDLE));
    int error_descriptor = _fileno(stderr);
    const int output_descriptor = _fileno(stdout);
    if (error_descriptor < 0 && output_descriptor == 1) {
        Log("stderrfix");
        error_descriptor = 2;
    }
    if (output_descriptor > 0 && error_descriptor > 0) _dup2(output_descriptor, error_descriptor);
}

// Splits the module path at its last backslash.
void SplitModulePath(StartupResult* result, const char* built_in_exe_name) {
    const char* slash = std::strrchr(result->module_path, '\\');
    if (!slash) {
        std::snprintf(result->current_exe_name, sizeof(result->current_exe_name), "%s",
                      built_in_exe_name);
        std::snprintf(result->program_folder, sizeof(result->program_folder), ".");
        return;
    }
    std::snprintf(result->current_exe_name, sizeof(result->current_exe_name), "%s", slash + 1);
    const size_t folder_length = static_cast<size_t>(slash - result->module_path);
    std::memcpy(result->program_folder, result->module_path, folder_length);
    result->program_folder[folder_length] = '\0';
}

}  // namespace

bool Startup(StartupResult* result, LaunchError* error) {
    DiagnosticsStart();
    const LaunchIdentity identity = ReadBuiltInRecord();
    DiagnosticsSetIdentity(identity);
    SetBinaryMode(stdout);
    SetBinaryMode(stderr);

    const char* arguments = ArgumentsText(GetCommandLineA());
    result->command_line = CopyText(arguments, std::strlen(arguments));
    result->token_count = Tokenize(result->command_line.get(), result->tokens);
    result->first_argument = ProcessOptions(result->tokens, result->token_count, &result->options);
    DiagnosticsSetLogEnabled(result->options.log_enabled);
    DiagnosticsSetQuiet(result->options.quiet);
    if (result->options.cleanup_request) return true;

    if (!result->options.no_output_pipe) InstallOutputPipe();
    if (result->options.stderr_fix) ApplyStderrFix();

    Log("app.name=%s", identity.app_name);
    Log("original.exe.name=%s", identity.exe_name);
    for (int i = result->first_argument; i < result->token_count; ++i)
        Log("arg%d='%s'", i - result->first_argument, result->tokens[i]);

    // A path that fills the whole buffer may have been cut: it would name the wrong file.
    SetLastError(0);
    const DWORD length = GetModuleFileNameA(nullptr, result->module_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        const DWORD code = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        SetLaunchError(error, kMsgModuleFileName, static_cast<int>(code));
        return false;
    }
    result->module_path[length] = '\0';
    Log("module.filename=%s", result->module_path);
    SplitModulePath(result, identity.exe_name);
    Log("exe.name.now=%s", result->current_exe_name);
    Log("module.dir=%s", result->program_folder);
    return true;
}

}  // namespace pantrix
