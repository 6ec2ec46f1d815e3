#pragma once

// The class path and the search path that the Java VM is given.
#include <optional>
#include <string_view>

#include "counted_memory.h"

namespace pantrix {

// The temporary folder; then for every non-empty ";"-separated token of jars: ";", the folder
// (the program folder when the token begins with ".", else the temporary folder), "\" and the
// token; then ";" and the program folder; then ";" + extra when extra is not empty (the
// CLASSPATH variable, when the "useclasspath" setting asks for it).
CountedBuffer ComposeClassPath(std::string_view temp_folder, std::string_view program_folder,
                               std::string_view jars, std::string_view extra);

// temp_folder + ";" + program_folder + ";" + rest: the library path and the new PATH.
CountedBuffer ComposeSearchPath(std::string_view temp_folder, std::string_view program_folder,
                                std::string_view rest);

// The folder a VM library's runtime lives in: the library path without its last two
// components (C:\app\jre\bin\client\jvm.dll gives C:\app\jre\bin), made current while the
// library loads so that it finds the runtime's other libraries. None when the path has fewer
// than two backslashes.
std::optional<std::string_view> RuntimeFolderOf(std::string_view library_path);

}  // namespace pantrix
