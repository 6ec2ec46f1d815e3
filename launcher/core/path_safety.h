#pragma once

// The rule every extracted file's relative path must pass before anything is written.
#include <string_view>

namespace pantrix {

// True when the path stays inside the folder it is joined to: not empty, not starting with a
// folder separator ("/" or "\", which would make it absolute or a network path), no colon
// (a drive such as "C:" or an alternate data stream), and no folder part that Windows could
// read as a step up: "..", or any other part made only of dots and blanks except ".", since
// Windows drops trailing dots and blanks from names.
bool IsSafeRelativePath(std::string_view path);

}  // namespace pantrix
