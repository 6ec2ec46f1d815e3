#pragma once

#include "setup_log.h"

// The setup log's system operations on Windows: the version from GetVersionExA, the user's date
// and time formats, the ANSI code page, folder and file creation, and MsiEnableLogA bound from
// msi.dll at first use.
class WindowsSetupLogSystem : public SetupLogSystem {
  public:
    bool IsNtFamily() const override;
    void CurrentDateTime(std::string& date, std::string& time) const override;
    std::u16string ToUtf16(std::string_view text) const override;
    std::string FolderOf(const std::string& path) const override;
    LogStep CreateFolderTree(const std::string& folder) override;
    LogStep WriteNewFile(const std::string& path, std::string_view bytes) override;
    // A missing msi.dll or MsiEnableLogA is a failed step with the binding's message.
    LogStep EnableInstallerLog(std::uint32_t mode, const std::string& path,
                               std::uint32_t attributes) override;
};
