#include "section_hash.h"

namespace pantrix {
namespace {

// The shift (7 * i) mod 32 repeats every 32 bytes, so the 32 multipliers are computed once and
// the loop works on whole blocks of 32 bytes.
struct Multipliers {
    uint64_t value[32];
    constexpr Multipliers() : value() {
        for (int k = 0; k < 32; ++k) value[k] = uint64_t{0x65434531} << ((7 * k) % 32);
    }
};
constexpr Multipliers kMultipliers;

}  // namespace

uint64_t SectionHash(const unsigned char* bytes, size_t length) {
    uint64_t folded = 0;  // lo in the low half, hi in the high half: both are plain XORs
    size_t i = 0;
    for (; i + 32 <= length; i += 32) {
        const uint64_t base = i;
        for (int k = 0; k < 32; ++k) folded ^= kMultipliers.value[k] * (base + k + bytes[i + k]);
    }
    for (; i < length; ++i) folded ^= kMultipliers.value[i % 32] * (uint64_t{i} + bytes[i]);
    return folded | 1;
}

uint64_t InverseModulo64(uint64_t odd) {
    // Newton's iteration: each step doubles the number of correct low bits; odd * odd == 1
    // modulo 8 gives 3 correct bits to start with.
    uint64_t inverse = odd;
    for (int step = 0; step < 5; ++step) inverse *= 2 - odd * inverse;
    return inverse;
}

}  // namespace pantrix
