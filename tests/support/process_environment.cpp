#include "process_environment.h"

#include <windows.h>

#include <cstring>

std::string EnvironmentWithTemp(const std::string& folder) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
        if (_strnicmp(entry, "TMP=", 4) == 0 || _strnicmp(entry, "TEMP=", 5) == 0) continue;
        block += entry;
        block += '\0';
    }
    FreeEnvironmentStringsA(strings);
    for (const char* name : {"TMP=", "TEMP="}) {
        block += name + folder;
        block += '\0';
    }
    block += '\0';
    return block;
}
