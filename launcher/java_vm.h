#pragma once

// Running the Java application inside this process: loading the VM library, creating the VM
// through the invocation interface, calling the boot class, and waiting for the application.
#include <optional>
#include <string_view>

#include "messages.h"

namespace pantrix {

struct JavaRunInput {
    const char* vm_path;                  // the VM library chosen
    const char* class_path;               // for -Djava.class.path
    const char* library_path;             // for -Djava.library.path
    const char* heap;                     // megabytes, for -Xmx
    std::optional<std::string_view> jop;  // extra VM options, separated by blanks
    // The boot call's arguments.
    const char* module_path;    // the launcher's full path
    const char* temp_folder;    // the run's temporary folder
    std::string_view settings;  // the whole settings text
    const char* z_offsets;      // "," + offset for every 'Z' section
    char* const* arguments;     // the application's arguments
    int argument_count;
    // The control channel's names and its "status" reply.
    const char* run_identifier;
    const char* exe_name;
};

// Returns true when the application ended normally (after the VM's last non-daemon thread).
// Otherwise error holds the message: 11 to 14, 50, or the boot class's own message. When the
// application asks for the process to end, the VM's exit hook ends it from within and this
// never returns.
bool RunJavaApplication(const JavaRunInput& input, LaunchError* error);

}  // namespace pantrix
