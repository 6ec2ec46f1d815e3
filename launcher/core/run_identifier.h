#pragma once

// The run identifier "JX" + two upper-case hexadecimal numbers: it names the temporary
// folder and is the safety mark of the clean-up.
#include <cstddef>
#include <cstdint>

namespace pantrix {

constexpr size_t kRunIdentifierSize = 24;  // "JX" + 2 x 8 digits + zero, with room to spare

// "JX%X%X" of (tick_count / 1000) mod 65536 and the process number.
void FormatRunIdentifier(uint32_t tick_count, uint32_t process_id, char* out, size_t size);

// The clean-up deletes only what carries the identifier in its path, so an identifier that
// every path contains (the empty text) or one that is not of the launcher's own form would
// make it delete what it was never meant to touch. True for "JX" + 2 to 12 hexadecimal
// digits in upper case.
bool IsRunIdentifier(const char* text);

}  // namespace pantrix
