#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Parse String's split of a source text into a left and a right part.
//
// A position P (1-based), a skip-before K and a skip-after L are chosen by the mode, and the
// parts are cut from the source in its own letter case: left = the first P - K characters,
// right = the source from character P + L on. P = 0 makes both parts empty.
//   mode 0: at the first occurrence of the delimiter (K = 1, L = its length); none, or an empty
//           delimiter: P = length + 1, so the left part is the whole source.
//   mode 1: at the last occurrence; none: P = 1, L = 0, so the right part is the whole source.
//   mode 2: `delimiter` is a count from the left (K = 0, L = 1, P = count); a count of 0 gives
//           the empty left part and the whole source as the right part.
//   mode 3: `delimiter` is a count from the right (K = 0, L = 1, P = length - count).
//   other modes, and counts that are not integer texts: P = 0.
// With `ignore_case` the search of modes 0 and 1 compares copies in which A to Z are lower-cased
// (no other letters). With `trim`, blanks and control characters (codes 0 to 32) are removed
// from both ends of both parts.
struct SplitText {
    std::string left;
    std::string right;
};

SplitText ParseString(std::string_view source, std::string_view delimiter, std::int32_t mode,
                      bool ignore_case, bool trim);
