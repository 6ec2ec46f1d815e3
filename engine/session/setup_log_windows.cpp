#include "setup_log_windows.h"

#include "file_system.h"
#include "locale_text.h"
#include "msi_binding.h"
#include "windows_version.h"

bool WindowsSetupLogSystem::IsNtFamily() const {
    return RunningWindowsVersion().nt_family;
}

void WindowsSetupLogSystem::CurrentDateTime(std::string& date, std::string& time) const {
    LocalDateTime now = CurrentLocalDateTime();
    date = std::move(now.date);
    time = std::move(now.time);
}

std::u16string WindowsSetupLogSystem::ToUtf16(std::string_view text) const {
    return AnsiToUtf16(text);
}

std::string WindowsSetupLogSystem::FolderOf(const std::string& path) const {
    return FolderOfPath(path);
}

LogStep WindowsSetupLogSystem::CreateFolderTree(const std::string& folder) {
    const FileResult result = ::CreateFolderTree(folder);
    return {result.ok, result.error};
}

LogStep WindowsSetupLogSystem::WriteNewFile(const std::string& path, std::string_view bytes) {
    const FileResult result = ::WriteNewFile(path, bytes);
    return {result.ok, result.error};
}

LogStep WindowsSetupLogSystem::EnableInstallerLog(std::uint32_t mode, const std::string& path,
                                                  std::uint32_t attributes) {
    try {
        const UINT code = BoundMsiEnableLogA(mode, path.c_str(), attributes);
        if (code == ERROR_SUCCESS) return {};
        return {false,
                "MsiEnableLogA failed for \"" + path + "\" (error " + std::to_string(code) + ")"};
    } catch (const LateBindError& error) {
        return {false, error.what()};
    }
}
