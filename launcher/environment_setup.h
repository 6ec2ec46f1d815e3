#pragma once

// Prepares the class path, the library path, PATH, CLASSPATH and the current folder for the
// Java VM.
#include <string_view>

#include "counted_memory.h"
#include "messages.h"

namespace pantrix {

struct JavaPaths {
    CountedBuffer class_path;
    CountedBuffer library_path;
};

// Error 24 when PATH cannot be set.
bool PrepareJavaEnvironment(std::string_view settings, const char* temp_folder,
                            const char* program_folder, JavaPaths* paths, LaunchError* error);

}  // namespace pantrix
