#include "path_safety.h"

namespace pantrix {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool IsOnlyDotsAndBlanks(std::string_view part) {
    for (char c : part)
        if (c != '.' && c != ' ') return false;
    return true;
}

}  // namespace

bool IsSafeRelativePath(std::string_view path) {
    if (path.empty() || IsSeparator(path.front())) return false;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] == ':') return false;
        if (i == path.size() || IsSeparator(path[i])) {
            const std::string_view part = path.substr(start, i - start);
            if (!part.empty() && part != "." && IsOnlyDotsAndBlanks(part)) return false;
            start = i + 1;
        }
    }
    return true;
}

}  // namespace pantrix
