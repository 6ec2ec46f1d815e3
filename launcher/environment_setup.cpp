#include "environment_setup.h"

#include <windows.h>

#include "diagnostics.h"
#include "java_paths.h"
#include "settings.h"

namespace pantrix {
namespace {

// The whole value of an environment variable (empty when unset). Read at its full length
// rather than into a fixed buffer: PATH is written back, and a cut value would lose folders.
CountedBuffer ReadEnvironment(const char* name) {
    CountedBuffer value(1);
    value.get()[0] = '\0';
    DWORD needed = GetEnvironmentVariableA(name, value.get(), 1);
    while (needed > value.size()) {
        value = CountedBuffer(needed);
        needed = GetEnvironmentVariableA(name, value.get(), static_cast<DWORD>(value.size()));
        if (needed == 0) value.get()[0] = '\0';
    }
    if (needed == 0) value.get()[0] = '\0';
    return value;
}

}  // namespace

bool PrepareJavaEnvironment(std::string_view settings, const char* temp_folder,
                            const char* program_folder, JavaPaths* paths, LaunchError* error) {
    const std::string_view jars = SettingLookup(settings, "jars").value_or("");
    CountedBuffer extra;
    if (SettingLookup(settings, "useclasspath")) extra = ReadEnvironment("CLASSPATH");
    paths->class_path =
        ComposeClassPath(temp_folder, program_folder, jars, extra.empty() ? "" : extra.get());
    SetEnvironmentVariableA("classpath", "");

    const CountedBuffer old_path = ReadEnvironment("PATH");
    paths->library_path = ComposeSearchPath(temp_folder, program_folder, old_path.get());
    Log("path=%s", paths->library_path.get());
    if (!SetEnvironmentVariableA("PATH", paths->library_path.get())) {
        SetLaunchError(error, "%s", kMsgSetEnvironment);
        return false;
    }
    if (SettingLookup(settings, "execwd")) SetCurrentDirectoryA(program_folder);
    char current[360] = {};
    GetCurrentDirectoryA(sizeof(current), current);
    Log("cwd=%s", current);
    return true;
}

}  // namespace pantrix
