// The main sequence of the launcher.
//
// Left for the second part of the launcher, and only here: running the application in the
// chosen VM (Run application: JNI_CreateJavaVM with the options table, the "tolvimerboot"
// boot call, the exit and abort hooks, DestroyJavaVM), the control channel thread that Run
// application starts, and Run Java installer (after Choose VM found nothing while a 'J'
// section was extracted, and after a Java error when an installer is set). Until then a run
// that has chosen its VM logs "jvm=%s" and ends with code 0; everything the second part needs
// is kept in LauncherRun.
#include "main_sequence.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string_view>

#include "built_in_record.h"
#include "delete_tree.h"
#include "diagnostics.h"
#include "environment_setup.h"
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
                                          run->startup.current_exe_name};
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

// After a Java error (tens digit 1 or 3) in a run that shows messages, the user is sent to
// the Java download page when no Java installer was extracted.
void AfterJavaFailure(const LauncherRun& run, int number) {
    const int tens = number / 10;
    if (DiagnosticsQuiet() || number >= 100 || (tens != 1 && tens != 3)) return;
    if (run.temp.java_installer[0] != '\0') return;  // the second part runs the installer
    ShellExecuteA(nullptr, "open", kJavaDownloadPage, nullptr, nullptr, SW_SHOWNORMAL);
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
    if (error.failed()) {
        Fail(error.text);
        const int number = ErrorNumber(error.text);
        AfterJavaFailure(run, number);
        Exit(number);
    }
    Log("jvm=%s", run.vm_path);
    Exit(0);
}

}  // namespace pantrix
