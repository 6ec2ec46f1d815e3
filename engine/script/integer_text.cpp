#include "integer_text.h"

namespace {

constexpr std::uint64_t kLargestMagnitude = std::uint64_t{1} << 31;  // of -2147483648

int DigitValue(char c, int base) {
    int value = base;  // not a digit
    if (c >= '0' && c <= '9') value = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::string_view text) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) return {};
    text.remove_prefix(at);
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);

    int base = 10;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return {};

    // The magnitude stops growing once it is out of range, so it cannot overflow.
    std::uint64_t magnitude = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) return {};
        if (magnitude <= kLargestMagnitude) {
            magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        }
    }
    if (magnitude > (negative ? kLargestMagnitude : kLargestMagnitude - 1)) return {};
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}
