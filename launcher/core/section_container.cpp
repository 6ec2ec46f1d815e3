#include "section_container.h"

#include <cstdio>
#include <cstring>

#include "section_hash.h"

namespace pantrix {

uint32_t ReadLittle32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

uint64_t ReadLittle64(const unsigned char* bytes) {
    return uint64_t{ReadLittle32(bytes)} | uint64_t{ReadLittle32(bytes + 4)} << 32;
}

uint32_t HeaderCheck(const unsigned char* header) {
    return static_cast<uint32_t>(SectionHash(header, 28) >> 16);
}

FindOutcome FindSection(const unsigned char* view, uint64_t length, uint64_t start,
                        SectionEntry* found) {
    for (uint64_t b = start & ~uint64_t{kSectionAlignment - 1}; b + kSectionHeaderSize < length;
         b += kSectionAlignment) {
        const unsigned char* header = view + b;
        if (std::memcmp(header, kSectionMarker, kSectionMarkerSize) != 0) continue;
        if (ReadLittle32(header + 28) != HeaderCheck(header)) continue;
        const uint32_t payload_length = ReadLittle32(header + 24);
        if (b + kSectionHeaderSize + payload_length > length) continue;
        const uint64_t payload_hash = SectionHash(header + kSectionHeaderSize, payload_length);
        if (payload_hash * ReadLittle64(header + 16) != 1) return FindOutcome::kSignatureError;
        *found = {b, static_cast<char>(header[15]), payload_length};
        return FindOutcome::kFound;
    }
    return FindOutcome::kNone;
}

bool OpenSectionTable(const unsigned char* view, uint64_t length, const SectionExpectations& expect,
                      SectionTable* table, LaunchError* error) {
    if (static_cast<int64_t>(length) < int64_t{expect.expected_length}) {
        SetLaunchError(error, kMsgTruncated, expect.exe_name);
        return false;
    }
    if (expect.section_count < 1 || expect.section_count > kMaxSectionCount) {
        SetLaunchError(error, kMsgSectionCountInvalid, static_cast<int>(expect.section_count));
        return false;
    }
    table->storage =
        CountedBuffer(sizeof(SectionEntry) * static_cast<size_t>(expect.section_count));
    table->count = 0;
    auto* entries = reinterpret_cast<SectionEntry*>(table->storage.get());
    int found_count = 0;
    SectionEntry section{};
    uint64_t next = 0;
    while (true) {
        const FindOutcome outcome = FindSection(view, length, next, &section);
        if (outcome == FindOutcome::kNone) break;
        if (outcome == FindOutcome::kSignatureError) {
            SetLaunchError(error, kMsgSignature, 91);
            return false;
        }
        if (table->count < expect.section_count) entries[table->count++] = section;
        if (found_count < 2147483647) ++found_count;
        next = section.payload_offset() + section.payload_length;
    }
    if (found_count != expect.section_count) {
        SetLaunchError(error, kMsgSectionCountWrong, static_cast<int>(expect.section_count),
                       expect.exe_name, found_count);
        return false;
    }
    if (entries[0].type != 'V') {
        SetLaunchError(error, "%s", kMsgVarsMissing);
        return false;
    }
    return true;
}

CountedBuffer SettingsTextCopy(const unsigned char* view, const SectionEntry& section) {
    const char* payload = reinterpret_cast<const char*>(view + section.payload_offset());
    const void* zero = std::memchr(payload, 0, section.payload_length);
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - payload)
                               : section.payload_length;
    return CopyText(payload, length);
}

CountedBuffer ZOffsetsText(const SectionTable& table) {
    size_t z_count = 0;
    for (int i = 0; i < table.count; ++i)
        if (table[i].type == 'Z') ++z_count;
    constexpr size_t kPerOffset = 22;  // "," + up to 20 digits + room
    CountedBuffer text(z_count * kPerOffset + 1);
    size_t used = 0;
    text.get()[0] = '\0';
    for (int i = 0; i < table.count; ++i) {
        if (table[i].type != 'Z') continue;
        const int n = std::snprintf(text.get() + used, text.size() - used, ",%llu",
                                    static_cast<unsigned long long>(table[i].offset));
        if (n > 0) used += static_cast<size_t>(n);
    }
    return text;
}

CountedBuffer Unscramble(const unsigned char* view, const SectionEntry& section) {
    CountedBuffer plain(section.payload_length);
    const unsigned char* in = view + section.payload_offset();
    unsigned char* out = plain.bytes();
    for (uint32_t i = 0; i < section.payload_length; ++i)
        out[i] = static_cast<unsigned char>((in[i] ^ (i & 0xFF)) - 100);
    return plain;
}

void Scramble(const unsigned char* plain, size_t length, unsigned char* out) {
    for (size_t i = 0; i < length; ++i)
        out[i] = static_cast<unsigned char>(((plain[i] + 100) & 0xFF) ^ (i & 0xFF));
}

}  // namespace pantrix
