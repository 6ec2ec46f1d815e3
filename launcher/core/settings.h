#pragma once

// Looking up a setting in the settings text: lines "name=value", each ended by a line feed.
#include <optional>
#include <string_view>

namespace pantrix {

// The first occurrence of name + "=" anywhere in the text (a plain substring search, so a
// name also matches at the end of a longer name); the value runs up to the next line feed.
// When the name is not found, or no line feed follows, the result is the fallback (which
// may be nothing). The value points into text.
std::optional<std::string_view> SettingLookup(std::string_view text, std::string_view name,
                                              std::optional<std::string_view> fallback = {});

}  // namespace pantrix
