#include "windows_version.h"

#include <windows.h>

namespace {

WindowsVersion Query() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    WindowsVersion version;
    if (!GetVersionExA(&info)) return version;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.nt_family = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return version;
}

}  // namespace

const WindowsVersion& RunningWindowsVersion() {
    static const WindowsVersion version = Query();
    return version;
}
