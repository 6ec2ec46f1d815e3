#pragma once

// The 64-bit hash that protects every appended section's header and payload.
#include <cstddef>
#include <cstdint>

namespace pantrix {

// H(bytes): for byte i, m = 0x65434531 << ((7 * i) mod 32) as a 64-bit number and
// e = m * (i + b[i]) mod 2^64; the low and high halves of every e are XORed into two 32-bit
// accumulators. H = hi * 2^32 + (lo | 1), so H is always odd and H of no bytes is 1.
uint64_t SectionHash(const unsigned char* bytes, size_t length);

// The multiplicative inverse of an odd number modulo 2^64 (x * inverse == 1). The packaging
// tool stores it as the payload check value.
uint64_t InverseModulo64(uint64_t odd);

}  // namespace pantrix
