#pragma once

#include <cstdint>
#include <string>

#include "change_recording.h"
#include "installer_properties.h"
#include "progress.h"
#include "runner_platform.h"
#include "script_image.h"
#include "translations.h"
#include "variable_store.h"

// The state of the setup session that lives beside the variable store: filled by start-up,
// refreshed by the runner before every statement, read by commands and the installer session.
struct SessionState {
    // The log file path; empty means no log. Start-up sets it from the command line; the runner
    // copies LOGGED into it before every statement.
    std::string log_setting;

    // The folder of the original setup sources for maintenance runs: the "/p=" or "-p=" argument
    // in lower case, or empty. Start-up sets it.
    std::string source_path;

    // What the message caption is made of: the product title, refreshed from TITLE, and the
    // caption-branding flag, set while ZONDLOGO equals "TRUE".
    std::string caption_title;
    bool caption_branding = false;

    // "Win32", "ia64" or "x64": "Win32" at the start of every run; Set 64 Bit Mode changes it.
    std::string platform_mode = "Win32";

    // Folders, each with a trailing backslash. The data folder is the program folder + "data\"
    // until the instance data moves it; the bootstrap data folder is the data folder as
    // Bootstrap left it (plug-in libraries in media are looked up under it).
    std::string support_folder;
    std::string data_folder;
    std::string bootstrap_data_folder;
    // The installed instance's language file (base name + ".lan" beside the instance data);
    // empty while no instance data location is known.
    std::string instance_language_file;

    // Run flags, false when a run starts: an installation was cached, the product was removed.
    bool cached_in_run = false;
    bool removed_in_run = false;

    // The temporary folder (TEMPDIR as the run starts, trailing backslash): where Get Temporary
    // File creates its files. The runner sets it in the prologue.
    std::string temp_folder;

    // The process exit code; commands that end the setup with a code set it.
    int exit_code = 0;

    // CurrentDialogWindow: the window of the non-modal dialog that is shown, 0 when none.
    std::uintptr_t dialog_window = 0;

    // The caption of every message box of the engine: the title alone while the branding flag
    // is set, otherwise title + " - Corvelle Wizard", or "Corvelle Wizard" while the title is
    // empty.
    std::string MessageCaption() const;
};

// The pieces of one run that the runner, the command branches and the session steps share.
struct RunContext {
    ScriptImage& script;  // ProductCode, RevisionCode and ProductTitle may change in Bootstrap
    VariableStore& store;
    ProgressState& progress;
    Translations& translations;
    SessionState& session;
    InstallerPropertyTable& property_table;
    PropertyList& property_list;  // created empty when the run starts
    ChangeRecorder& recorder;     // record-statement and record-property over the two above
    RunnerPlatform& platform;     // the system operations of the runner and the commands
};
