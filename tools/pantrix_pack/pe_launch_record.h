#pragma once

// Finds the built-in launch record inside a launcher's program file by its structure: two
// 32-bit counts, two pointers, a 32-bit marker with all bits set and the two 68-byte names,
// where the pointers hold the addresses (image base + relative address) of ExeName and
// AppName. Works for 32-bit and 64-bit program files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pantrix_pack {

struct LaunchRecordLocation {
    size_t file_offset = 0;   // of SectionCount
    size_t pointer_size = 0;  // 4 or 8
};

// Returns false with a reason when the file is no PE image or holds not exactly one record.
bool FindLaunchRecord(const std::vector<unsigned char>& image, LaunchRecordLocation* location,
                      std::string* reason);

}  // namespace pantrix_pack
