#include "setup_log.h"

#include <array>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendLine(std::string& text, std::string_view line) {
    text.append(line);
    text.append(kLineEnd);
}

}  // namespace

std::string FormatLogHeader(const LogHeader& header, std::string_view date, std::string_view time) {
    const std::array<std::pair<std::string_view, const std::string*>, 7> sections = {{
        {"*** Variables ***", &header.variables},
        {"*** Properties ***", &header.properties},
        {"*** MSI Database ***", &header.package_path},
        {"*** GUID ***", &header.product_code},
        {"*** Data Directory ***", &header.data_folder},
        {"*** Media Directory ***", &header.media_folder},
        {"*** MSI Directory ***", &header.package_folder},
    }};
    std::string text;
    std::string title = "=== ";
    title.append(header.caption).append(": Applying Changes @");
    title.append(date).append(" ").append(time).append(" ===");
    AppendLine(text, title);
    AppendLine(text, "");
    for (const auto& [heading, value] : sections) {
        AppendLine(text, heading);
        AppendLine(text, *value);
        AppendLine(text, "");
    }
    AppendLine(text, "");
    return text;
}

std::string Utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

LogResult WriteLogHeader(const std::string& log_path, const LogHeader& header,
                         SetupLogSystem& system) {
    if (log_path.empty()) return {};

    const LogStep folder = system.CreateFolderTree(system.FolderOf(log_path));
    if (!folder.ok) return {LogOutcome::kFailed, folder.error};

    std::string date;
    std::string time;
    system.CurrentDateTime(date, time);
    const std::string text = FormatLogHeader(header, date, time);
    const std::string bytes = system.IsNtFamily() ? Utf16LeBytes(system.ToUtf16(text)) : text;
    const LogStep file = system.WriteNewFile(log_path, bytes);
    if (!file.ok) return {LogOutcome::kFailed, file.error};

    const LogStep enable =
        system.EnableInstallerLog(kInstallerLogMode, log_path, kInstallerLogAttributes);
    if (!enable.ok) return {LogOutcome::kFailed, enable.error};
    return {LogOutcome::kEnabled, {}};
}
