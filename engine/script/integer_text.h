#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Integer texts, as integer parameters and the numeric comparison of If read them: leading
// blanks skipped, an optional "-" or "+", then decimal digits, or hexadecimal digits after "$",
// "x", "X" or "0x" (either case of the digits), nothing after them, the signed value within
// the signed 32-bit range. Anything else is not an integer text.
std::optional<std::int32_t> ParseIntegerText(std::string_view text);
