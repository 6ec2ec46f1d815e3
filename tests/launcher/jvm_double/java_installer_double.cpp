// A test double of a Java runtime installer, carried in a launcher's 'J' section. It installs
// the runtime described by the file "runtime.txt" beside it, if there is one:
//   version=VERSION   the name of the runtime's key
//   lib=PATH          its RuntimeLib
// by writing HKLM\SOFTWARE\JavaSoft\Java Runtime Environment\VERSION\RuntimeLib, as a real
// installer registers its runtime. Without that file it installs nothing.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::string description = path;
    description = description.substr(0, description.find_last_of("\\/") + 1) + "runtime.txt";
    FILE* file = std::fopen(description.c_str(), "rb");
    if (!file) return 0;
    std::string version, lib;
    char line[1024];
    while (std::fgets(line, sizeof(line), file)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (std::strncmp(line, "version=", 8) == 0) version = line + 8;
        if (std::strncmp(line, "lib=", 4) == 0) lib = line + 4;
    }
    std::fclose(file);
    if (version.empty() || lib.empty()) return 2;
    const std::string key_name = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\" + version;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 3;
    RegSetValueExA(key, "RuntimeLib", 0, REG_SZ, reinterpret_cast<const BYTE*>(lib.c_str()),
                   static_cast<DWORD>(lib.size() + 1));
    RegCloseKey(key);
    return 0;
}
