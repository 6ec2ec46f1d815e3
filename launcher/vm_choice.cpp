#include "vm_choice.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "diagnostics.h"
#include "java_installer.h"
#include "java_version.h"
#include "settings.h"
#include "win_handles.h"

namespace pantrix {
namespace {

constexpr char kJavaRuntimesKey[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
constexpr size_t kRegistryTextSize = 1024;
constexpr DWORD kMaxSubkeys = 1000;

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A REG_SZ value, always zero-terminated even when the stored text is not.
bool ReadRegistryText(HKEY key, const char* name, char* out, size_t size) {
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size - 1);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    out[bytes < size ? bytes : size - 1] = '\0';
    return true;
}

// The RuntimeLib of the version's key, when that file exists.
bool RuntimeOf(HKEY runtimes, const char* version, char* out, size_t size) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(runtimes, version, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    UniqueKey key(opened);
    return ReadRegistryText(key.get(), "RuntimeLib", out, size) && FileExists(out);
}

}  // namespace

bool FindInstalledRuntime(std::string_view settings, char* vm_path, size_t size) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJavaRuntimesKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    UniqueKey runtimes(opened);
    const JavaVersionRange range = JavaVersionRangeFromSettings(settings);
    char runtime[kRegistryTextSize];

    char current[kRegistryTextSize];
    if (ReadRegistryText(runtimes.get(), "CurrentVersion", current, sizeof(current)) &&
        RuntimeOf(runtimes.get(), current, runtime, sizeof(runtime)) &&
        range.Accepts(ParseJavaVersion(current, 0))) {
        std::snprintf(vm_path, size, "%s", runtime);
        return true;
    }

    bool found = false;
    uint64_t best = 0;
    for (DWORD index = 0; index < kMaxSubkeys; ++index) {
        char name[256];
        DWORD name_size = sizeof(name);
        if (RegEnumKeyExA(runtimes.get(), index, name, &name_size, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        const uint64_t version = ParseJavaVersion(name, 0);
        if (!range.Accepts(version) || (found && version <= best)) continue;
        if (!RuntimeOf(runtimes.get(), name, runtime, sizeof(runtime))) continue;
        std::snprintf(vm_path, size, "%s", runtime);
        best = version;
        found = true;
    }
    return found;
}

bool ChooseVm(const VmChoiceInput& input, char* vm_path, size_t size, LaunchError* error) {
    if (const auto jvm = SettingLookup(input.settings, "jvm")) {
        char candidate[kVmPathSize];
        std::snprintf(candidate, sizeof(candidate), "%s\\%.*s", input.program_folder,
                      static_cast<int>(jvm->size()), jvm->data());
        const bool found = FileExists(candidate);
        Log("private.jvm=%s (%s)", candidate, found ? "found" : "NOT FOUND");
        if (found) {
            std::snprintf(vm_path, size, "%s", candidate);
            return true;
        }
    }
    if (input.forced_jvm && *input.forced_jvm) {
        std::snprintf(vm_path, size, "%s", input.forced_jvm);
        return true;
    }
    if (FindInstalledRuntime(input.settings, vm_path, size)) return true;
    if (RunJavaInstaller(input.java_installer, !DiagnosticsQuiet())) {
        if (FindInstalledRuntime(input.settings, vm_path, size)) return true;
        input.java_installer[0] = '\0';
        DiagnosticsSetJavaInstallerSet(false);
        SetLaunchError(error, "%s", kMsgNoJavaAfterInstall);
        return false;
    }
    SetLaunchError(error, kMsgNoJava, input.current_exe_name);
    return false;
}

}  // namespace pantrix
