#pragma once

// The class path and the search path that the Java VM is given.
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

}  // namespace pantrix
