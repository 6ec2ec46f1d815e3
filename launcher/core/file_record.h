#pragma once

// The file record inside an unscrambled file section:
//   0      1  L, an unsigned byte
//   1      L  relative path, zero-terminated; "/" or "\" separate folders
//   L + 1  5  not read by the launcher
//   L + 6  4  data length D (little-endian)
//   L + 10 D  the file's content
#include <cstddef>
#include <cstdint>

namespace pantrix {

constexpr size_t kMaxRecordPath = 256;  // L is one byte: at most 255 path bytes + zero

struct FileRecord {
    char path[kMaxRecordPath];     // zero-terminated
    const unsigned char* content;  // into the record
    uint32_t length;               // D
};

enum class FileRecordStatus {
    kGood,
    kDamaged,     // the header or the D bytes of content run past the end of the record
    kUnsafePath,  // the path would leave the folder it is written to (path_safety.h)
};

// Reads a record of record_size bytes. The path ends at its first zero byte or after L bytes.
// For kUnsafePath, path is filled so that the message can name it.
FileRecordStatus ParseFileRecord(const unsigned char* record, size_t record_size, FileRecord* out);

}  // namespace pantrix
