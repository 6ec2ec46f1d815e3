#include "path_parts.h"

#include <array>

namespace {

constexpr std::string_view kSeparators = "\\:";

std::string FileNamePart(std::string_view path) {
    return std::string(FileNameOf(path));
}

std::string FileNameWithoutExtension(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    return std::string(name.substr(0, name.size() - ExtensionOf(path).size()));
}

std::string ExtensionWithoutDot(std::string_view path) {
    const std::string_view extension = ExtensionOf(path);
    return std::string(extension.empty() ? extension : extension.substr(1));
}

std::string FolderPart(std::string_view path) {
    return WithTrailingBackslash(FolderOf(path));
}

// The folder part without its trailing "\", then the folder part of that.
std::string ParentFolderPart(std::string_view path) {
    std::string_view folder = FolderOf(path);
    if (folder.ends_with('\\')) folder.remove_suffix(1);
    return WithTrailingBackslash(FolderOf(folder));
}

std::string DrivePart(std::string_view path) {
    return WithTrailingBackslash(DriveOf(path));
}

using PathPart = std::string (*)(std::string_view);

// Extract Path's modes, by number.
constexpr std::array<PathPart, 7> kModes = {
    FileNamePart,              // 0
    FileNameWithoutExtension,  // 1
    ExtensionWithoutDot,       // 2
    FolderPart,                // 3
    ParentFolderPart,          // 4
    DrivePart,                 // 5
    CollapseBackslashPairs,    // 6
};

}  // namespace

std::string_view FileNameOf(std::string_view path) {
    const std::size_t last = path.find_last_of(kSeparators);
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string_view FolderOf(std::string_view path) {
    const std::size_t last = path.find_last_of(kSeparators);
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

std::string_view ExtensionOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string_view DriveOf(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (!path.starts_with("\\\\")) return {};
    // Past the server name, then to the end of the share name.
    const std::size_t server_end = path.find('\\', 2);
    if (server_end == std::string_view::npos) return path;
    const std::size_t share_end = path.find('\\', server_end + 1);
    return share_end == std::string_view::npos ? path : path.substr(0, share_end);
}

std::string WithTrailingBackslash(std::string_view text) {
    std::string result(text);
    if (!result.empty() && !result.ends_with('\\')) result += '\\';
    return result;
}

std::string CollapseBackslashPairs(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return result;
}

std::string ExtractPathPart(std::string_view path, std::int32_t mode) {
    if (mode < 0 || static_cast<std::size_t>(mode) >= kModes.size()) return std::string(path);
    return kModes[static_cast<std::size_t>(mode)](path);
}
