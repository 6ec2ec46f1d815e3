#pragma once

// Choosing the Java VM library: a private runtime beside the program, one named on the
// command line, or the newest installed runtime within the wanted version range.
#include <string_view>

#include "messages.h"

namespace pantrix {

constexpr size_t kVmPathSize = 1024;

struct VmChoiceInput {
    std::string_view settings;
    const char* program_folder;
    const char* forced_jvm;        // "-jvm:" path, or null
    const char* current_exe_name;  // for error 10
    // The extracted Java runtime installer, or the empty text. Run when no runtime is found;
    // emptied (forgotten) when a runtime is still missing afterwards.
    char* java_installer;
};

// Fills vm_path. When no runtime can be found: error 10 without an installer, else the
// installer runs and the registry is searched again, and error 15 if that finds none either.
bool ChooseVm(const VmChoiceInput& input, char* vm_path, size_t size, LaunchError* error);

// The registry's installed runtimes: CurrentVersion when its runtime exists and is in range,
// else the highest acceptable version among the subkeys (the first of equal versions wins).
bool FindInstalledRuntime(std::string_view settings, char* vm_path, size_t size);

}  // namespace pantrix
