// The main sequence of the launcher: start-up, sections, temporary folder, environment, the
// choice of the Java VM, the Java application, and Exit on every path.
#include "main_sequence.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string_view>

#include "built_in_record.h"
#include "delete_tree.h"
#include "diagnostics.h"
#include "environment_setup.h"
#include "java_installer.h"
#include "java_vm.h"
#include "program_sections.h"
#include "settings.h"
#include "startup.h"
#include "temp_folder.h"
#include "vm_choice.h"

namespace pantrix {
namespace {

// Everything one run gathers on its way to the VM.
struct LauncherRun {
    StartupResult startup;
    ProgramSections sections;
    CountedBuffer settings_text;
    CountedBuffer z_offsets;
    TempFolder temp;
    JavaPaths paths;
    char heap[16] = {};
    std::string_view jop;  // into settings_text
    bool has_jop = false;
    char vm_path[kVmPathSize] = {};
};

void StartCleanupAction(void* context) {
    const auto* run = static_cast<const LauncherRun*>(context);
    StartCleanup(run->startup.module_path, run->temp);
}

std::string_view Settings(const LauncherRun& run) {
    return run.settings_text.empty() ? std::string_view() : run.settings_text.get();
}

// Steps 3 to 8: every step runs only while no error has occurred.
void PrepareRun(LauncherRun* run, LaunchError* error) {
    const LaunchIdentity identity = ReadBuiltInRecord();
    const SectionExpectations expect{identity.section_count, identity.expected_length,
                                     run->startup.current_exe_name};
    if (OpenProgramSections(run->startup.module_path, expect, &run->sections, error)) {
        run->settings_text = SettingsTextCopy(run->sections.bytes(), run->sections.table[0]);
        run->z_offsets = ZOffsetsText(run->sections.table);

        const auto heap = SettingLookup(Settings(*run), "mx", "256");
        if (run->startup.options.heap[0])
            std::snprintf(run->heap, sizeof(run->heap), "%s", run->startup.options.heap);
        else
            std::snprintf(run->heap, sizeof(run->heap), "%.*s", static_cast<int>(heap->size()),
                          heap->data());

        if (CreateTempFolder(&run->temp, error) &&
            PrepareJavaEnvironment(Settings(*run), run->temp.folder, run->startup.program_folder,
                                   &run->paths, error)) {
            const bool extracted = ExtractFiles(run->sections, &run->temp, error);
            DiagnosticsSetJavaInstallerSet(run->temp.java_installer[0] != '\0');
            if (extracted) {
                const VmChoiceInput input{Settings(*run), run->startup.program_folder,
                                          run->startup.options.forced_jvm,
                                          run->startup.current_exe_name, run->temp.java_installer};
                if (ChooseVm(input, run->vm_path, sizeof(run->vm_path), error)) {
                    const auto jop = SettingLookup(Settings(*run), "jop");
                    run->has_jop = jop.has_value();
                    run->jop = jop.value_or("");
                }
            }
        }
    }
    ReleaseProgramSections(&run->sections);
}

// After a Java error (tens digit 1 or 3) in a run that shows messages: the Java installer
// when one was extracted, otherwise the Java download page.
void AfterJavaFailure(LauncherRun* run, int number) {
    const int tens = number / 10;
    if (DiagnosticsQuiet() || number >= 100 || (tens != 1 && tens != 3)) return;
    if (RunJavaInstaller(run->temp.java_installer, false)) return;
    ShellExecuteA(nullptr, "open", kJavaDownloadPage, nullptr, nullptr, SW_SHOWNORMAL);
}

bool RunApplication(LauncherRun* run, LaunchError* error) {
    const StartupResult& startup = run->startup;
    const LaunchIdentity identity = ReadBuiltInRecord();
    const JavaRunInput input{
        run->vm_path,
        run->paths.class_path.get(),
        run->paths.library_path.get(),
        run->heap,
        run->has_jop ? std::optional<std::string_view>(run->jop) : std::nullopt,
        startup.module_path,
        run->temp.folder,
        Settings(*run),
        run->z_offsets.empty() ? "" : run->z_offsets.get(),
        startup.tokens + startup.first_argument,
        startup.token_count - startup.first_argument,
        run->temp.run_identifier,
        identity.exe_name,
    };
    return RunJavaApplication(input, error);
}

}  // namespace

void RunMainSequence() {
    static LauncherRun run;  // the exit action reads it until the process ends
    SetExitAction(StartCleanupAction, &run);
    LaunchError error;
    if (Startup(&run.startup, &error) && run.startup.options.cleanup_request) {
        const RunOptions& options = run.startup.options;
        if (options.cleanup_folder && options.cleanup_identifier)
            DeleteTree(options.cleanup_folder, options.cleanup_identifier);
        Exit(0);
    }
    if (!error.failed()) PrepareRun(&run, &error);
    if (!error.failed()) RunApplication(&run, &error);
    if (!error.failed()) Exit(0);
    Fail(error.text);
    const int number = ErrorNumber(error.text);
    AfterJavaFailure(&run, number);
    Exit(number);
}

}  // namespace pantrix
