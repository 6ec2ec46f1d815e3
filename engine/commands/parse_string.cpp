#include "parse_string.h"

#include <algorithm>
#include <optional>

#include "integer_text.h"

namespace {

struct Cut {
    std::int64_t position = 0;     // P, 1-based; 0: both parts empty
    std::int64_t skip_before = 1;  // K
    std::int64_t skip_after = 1;   // L
};

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::int64_t Length(std::string_view text) {
    return static_cast<std::int64_t>(text.size());
}

Cut FirstDelimiter(std::string_view source, std::string_view delimiter) {
    const std::size_t found = delimiter.empty() ? std::string_view::npos : source.find(delimiter);
    const std::int64_t position =
        found == std::string_view::npos ? Length(source) + 1 : static_cast<std::int64_t>(found) + 1;
    return {position, 1, Length(delimiter)};
}

Cut LastDelimiter(std::string_view source, std::string_view delimiter) {
    const std::size_t found = delimiter.empty() ? std::string_view::npos : source.rfind(delimiter);
    if (found == std::string_view::npos) return {1, 1, 0};
    return {static_cast<std::int64_t>(found) + 1, 1, Length(delimiter)};
}

Cut CountFromLeft(std::string_view count_text) {
    const std::optional<std::int32_t> count = ParseIntegerText(count_text);
    if (!count) return {0, 0, 1};
    if (*count == 0) return {1, 1, -1};
    return {*count, 0, 1};
}

Cut CountFromRight(std::string_view source, std::string_view count_text) {
    const std::optional<std::int32_t> count = ParseIntegerText(count_text);
    if (!count) return {0, 0, 1};
    return {Length(source) - *count, 0, 1};
}

// The first `count` characters; empty for a count at or below 0.
std::string_view Head(std::string_view text, std::int64_t count) {
    if (count <= 0) return {};
    return text.substr(0, static_cast<std::size_t>(std::min(count, Length(text))));
}

// The text from character `start` (1-based) on; a start at or below 1 is the whole text.
std::string_view From(std::string_view text, std::int64_t start) {
    if (start <= 1) return text;
    if (start > Length(text)) return {};
    return text.substr(static_cast<std::size_t>(start - 1));
}

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

SplitText ParseString(std::string_view source, std::string_view delimiter, std::int32_t mode,
                      bool ignore_case, bool trim) {
    const std::string search_source = ignore_case ? AsciiLower(source) : std::string(source);
    const std::string search_delimiter =
        ignore_case ? AsciiLower(delimiter) : std::string(delimiter);
    Cut cut;
    switch (mode) {
        case 0:
            cut = FirstDelimiter(search_source, search_delimiter);
            break;
        case 1:
            cut = LastDelimiter(search_source, search_delimiter);
            break;
        case 2:
            cut = CountFromLeft(delimiter);
            break;
        case 3:
            cut = CountFromRight(source, delimiter);
            break;
        default:
            cut.position = 0;
            break;
    }
    SplitText parts;
    if (cut.position != 0) {
        parts.left = Head(source, cut.position - cut.skip_before);
        parts.right = From(source, cut.position + cut.skip_after);
    }
    if (trim) {
        parts.left = Trimmed(parts.left);
        parts.right = Trimmed(parts.right);
    }
    return parts;
}
