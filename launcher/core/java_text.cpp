#include "java_text.h"

namespace pantrix {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

CountedBuffer ModifiedUtf8FromUtf16(const char16_t* text, size_t length) {
    CountedBuffer out(length * 3 + 1);
    unsigned char* o = out.bytes();
    for (size_t i = 0; i < length; ++i) {
        const unsigned unit = text[i];
        if (unit != 0 && unit < 0x80) {
            *o++ = static_cast<unsigned char>(unit);
        } else if (unit < 0x800) {
            *o++ = static_cast<unsigned char>(0xC0 | (unit >> 6));
            *o++ = static_cast<unsigned char>(0x80 | (unit & 0x3F));
        } else {
            *o++ = static_cast<unsigned char>(0xE0 | (unit >> 12));
            *o++ = static_cast<unsigned char>(0x80 | ((unit >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (unit & 0x3F));
        }
    }
    *o = 0;
    return out;
}

size_t Utf16FromModifiedUtf8(const char* text, char16_t* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(text);
    size_t count = 0;
    while (*in) {
        const unsigned char lead = *in;
        if (lead < 0x80) {
            out[count++] = lead;
            in += 1;
        } else if ((lead & 0xE0) == 0xC0 && IsContinuation(in[1])) {
            out[count++] = static_cast<char16_t>(((lead & 0x1F) << 6) | (in[1] & 0x3F));
            in += 2;
        } else if ((lead & 0xF0) == 0xE0 && IsContinuation(in[1]) && IsContinuation(in[2])) {
            out[count++] = static_cast<char16_t>(((lead & 0x0F) << 12) | ((in[1] & 0x3F) << 6) |
                                                 (in[2] & 0x3F));
            in += 3;
        } else if ((lead & 0xF8) == 0xF0 && IsContinuation(in[1]) && IsContinuation(in[2]) &&
                   IsContinuation(in[3])) {
            const unsigned code = ((lead & 0x07u) << 18) | ((in[1] & 0x3Fu) << 12) |
                                  ((in[2] & 0x3Fu) << 6) | (in[3] & 0x3Fu);
            if (code >= 0x10000 && code <= 0x10FFFF) {
                out[count++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
                out[count++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                out[count++] = kReplacement;
            }
            in += 4;
        } else {
            out[count++] = kReplacement;
            in += 1;
        }
    }
    return count;
}

}  // namespace pantrix
