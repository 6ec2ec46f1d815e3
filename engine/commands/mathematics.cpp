#include "mathematics.h"

#include <optional>

#include "integer_text.h"

namespace {

constexpr std::int64_t kStateModulus = 32767;

bool NeedsB(std::int32_t code) {
    return (code >= 0 && code <= 9) || code == 13;
}

std::int64_t Shifted(std::int64_t a, std::int64_t b, bool left) {
    const unsigned count = static_cast<unsigned>(b & 0xFF);
    if (count >= 64) return 0;
    const auto bits = static_cast<std::uint64_t>(a);
    return static_cast<std::int64_t>(left ? bits << count : bits >> count);
}

// V = multiplier * state + increment in 32-bit two's complement; the state becomes V mod 32767.
std::int64_t Advance(MathematicsGenerator& generator) {
    const std::uint32_t wrapped = static_cast<std::uint32_t>(generator.multiplier) *
                                      static_cast<std::uint32_t>(generator.state) +
                                  static_cast<std::uint32_t>(generator.increment);
    const auto v = static_cast<std::int64_t>(static_cast<std::int32_t>(wrapped));
    generator.state = static_cast<std::int32_t>(v % kStateModulus);
    return v;
}

// The 64-bit result of a code other than 11 and 12, or nothing on a failure.
std::optional<std::int64_t> Arithmetic(std::int32_t code, std::int64_t a, std::int64_t b,
                                       MathematicsGenerator& generator) {
    switch (code) {
        case 0:
            return a + b;
        case 1:
            return a - b;
        case 2:
            return a * b;
        case 3:
            if (b == 0) return std::nullopt;
            return a / b;
        case 4:
            if (b == 0) return std::nullopt;
            return a % b;
        case 5:
            return a & b;
        case 6:
            return a | b;
        case 7:
            return a ^ b;
        case 8:
            return Shifted(a, b, true);
        case 9:
            return Shifted(a, b, false);
        case 10:
            return ~a;
        case 13:
            generator.multiplier = static_cast<std::int32_t>(a);
            generator.increment = static_cast<std::int32_t>(b);
            return a + b;
        case 14:
            generator.state = static_cast<std::int32_t>(a);
            return a;
        case 15: {
            const std::int64_t v = Advance(generator);  // also when A is 0
            if (a == 0) return std::nullopt;
            // V is negative about half the time; a positive A still gives 0 to A - 1.
            const std::int64_t remainder = v % a;
            return remainder < 0 && a > 0 ? remainder + a : remainder;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string Calculate(std::string_view code_text, std::string_view a_text, std::string_view b_text,
                      MathematicsGenerator& generator) {
    const std::optional<std::int32_t> code = ParseIntegerText(code_text);
    if (!code) return {};
    if (*code == 11) {
        if (a_text.empty()) return {};
        return std::to_string(static_cast<unsigned char>(a_text.front()));
    }
    const std::optional<std::int32_t> a = ParseIntegerText(a_text);
    if (!a) return {};
    std::optional<std::int32_t> b = 0;
    if (NeedsB(*code)) b = ParseIntegerText(b_text);
    if (!b) return {};
    if (*code == 12) return std::string(1, static_cast<char>(*a & 0xFF));
    const std::optional<std::int64_t> result = Arithmetic(*code, *a, *b, generator);
    return result ? std::to_string(*result) : std::string();
}
