#pragma once

// JNI passes text as "modified UTF-8": UTF-8 in which every UTF-16 unit is encoded on its own
// (a character beyond U+FFFF is two 3-byte sequences, one per surrogate) and U+0000 is the two
// bytes C0 80, so that no zero byte occurs inside a text.
#include <cstddef>

#include "counted_memory.h"

namespace pantrix {

// The zero-terminated modified UTF-8 form of length UTF-16 units.
CountedBuffer ModifiedUtf8FromUtf16(const char16_t* text, size_t length);

// Decodes a zero-terminated modified UTF-8 text (standard 4-byte sequences are accepted too)
// into out, which must have room for as many units as the text has bytes; a malformed or cut
// sequence gives U+FFFD for its first byte. Returns the number of units written.
size_t Utf16FromModifiedUtf8(const char* text, char16_t* out);

}  // namespace pantrix
