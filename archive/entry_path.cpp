#include "entry_path.h"

#include <array>
#include <vector>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsForbiddenCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return true;
    constexpr std::string_view kForbidden = "<>:\"|?*";
    return kForbidden.find(c) != std::string_view::npos;
}

bool IsOnlyDotsAndBlanks(std::string_view part) {
    return part.find_first_not_of(". ") == std::string_view::npos;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows opens a device for these names whatever extension follows them.
bool IsDeviceName(std::string_view part) {
    std::string_view stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    std::string upper;
    for (char c : stem) upper += AsciiUpper(c);
    static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view name : kNames) {
        if (upper == name) return true;
    }
    const bool numbered = upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9';
    return numbered && (upper.starts_with("COM") || upper.starts_with("LPT"));
}

}  // namespace

std::optional<std::string> SafeRelativePath(std::string_view storedPath, bool fileNameOnly) {
    if (storedPath.empty() || IsSeparator(storedPath.front())) return std::nullopt;
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= storedPath.size()) {
        size_t end = start;
        while (end < storedPath.size() && !IsSeparator(storedPath[end])) ++end;
        const std::string_view part = storedPath.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (IsOnlyDotsAndBlanks(part) || IsDeviceName(part)) return std::nullopt;
        for (char c : part) {
            if (IsForbiddenCharacter(c)) return std::nullopt;
        }
        parts.push_back(part);
    }
    if (parts.empty()) return std::nullopt;
    if (fileNameOnly) return std::string(parts.back());
    std::string joined;
    for (std::string_view part : parts) {
        if (!joined.empty()) joined += '\\';
        joined += part;
    }
    return joined;
}
