#pragma once

// The version of the running Windows, from GetVersionExA.
struct WindowsVersion {
    unsigned long major = 0;
    unsigned long minor = 0;
    bool nt_family = false;  // VER_PLATFORM_WIN32_NT; false for the Windows 9x family
};

// Queried once and kept: the version does not change while the process runs.
const WindowsVersion& RunningWindowsVersion();
