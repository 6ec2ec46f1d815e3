#pragma once

// The data sections appended to the launcher's program file. Each section is a 32-byte header
// (little-endian numbers) followed at once by its payload, at a file offset that is a multiple
// of 16:
//   0  15  marker "JKMNPQSTVWYZ\]_"
//   15  1  type: 'V' settings text (first), 'F'/'B' file, 'J' Java installer, 'Z' reported
//          to the boot class by offset; any other type is counted and otherwise ignored
//   16  8  payload check: the inverse of H(payload) modulo 2^64
//   24  4  payload length
//   28  4  header check: bits 16 to 47 of H(header bytes 0 to 27)
// This file works on a view of the whole program file and needs no Windows call.
#include <cstddef>
#include <cstdint>

#include "counted_memory.h"
#include "messages.h"

namespace pantrix {

inline constexpr char kSectionMarker[] = "JKMNPQSTVWYZ\\]_";
constexpr size_t kSectionMarkerSize = 15;
constexpr size_t kSectionHeaderSize = 32;
constexpr size_t kSectionAlignment = 16;
constexpr int32_t kMaxSectionCount = 100000;

struct SectionEntry {
    uint64_t offset;  // of the header from the start of the file
    char type;
    uint32_t payload_length;
    uint64_t payload_offset() const { return offset + kSectionHeaderSize; }
};

enum class FindOutcome { kFound, kNone, kSignatureError };

// The first section at or after start rounded down to 16: a header whose marker and header
// check hold and whose payload fits in the file; its payload check then decides between a
// found section and a signature error. Headers that fail are passed over 16 bytes at a time.
FindOutcome FindSection(const unsigned char* view, uint64_t length, uint64_t start,
                        SectionEntry* found);

// The sections the launch record asks for, in file order.
struct SectionTable {
    CountedBuffer storage;  // SectionEntry[count]
    int count = 0;
    const SectionEntry& operator[](int i) const {
        return reinterpret_cast<const SectionEntry*>(storage.get())[i];
    }
};

// What the launch record and the current program say about the file being opened.
struct SectionExpectations {
    int32_t section_count;
    int32_t expected_length;
    const char* exe_name;  // the current exe name, for the messages
};

// Checks the length (90), the section count (96), every section's checks (91), their number
// (97) and that the first one is the settings text (98), in that order. On success the table
// holds every section; on failure error holds the message.
bool OpenSectionTable(const unsigned char* view, uint64_t length, const SectionExpectations& expect,
                      SectionTable* table, LaunchError* error);

// A zero-terminated copy of the settings payload up to its first zero byte. A payload without
// one is copied whole and never read past its end.
CountedBuffer SettingsTextCopy(const unsigned char* view, const SectionEntry& section);

// For every 'Z' section in table order, "," + the decimal offset of its header.
CountedBuffer ZOffsetsText(const SectionTable& table);

// File payloads ('F', 'B', 'J') are stored scrambled:
// out[i] = ((in[i] XOR (i mod 256)) - 100) mod 256.
CountedBuffer Unscramble(const unsigned char* view, const SectionEntry& section);
// The inverse, used by packaging tools: in[i] = ((out[i] + 100) mod 256) XOR (i mod 256).
void Scramble(const unsigned char* plain, size_t length, unsigned char* out);

// Little-endian reads of the header fields.
uint32_t ReadLittle32(const unsigned char* bytes);
uint64_t ReadLittle64(const unsigned char* bytes);
uint32_t HeaderCheck(const unsigned char* header);  // (H(header[0..28)) >> 16) mod 2^32

}  // namespace pantrix
