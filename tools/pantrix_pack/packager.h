#pragma once

// Builds a launcher for one application: a copy of the launcher program with its launch record
// filled in and the data sections appended (the settings text first, then files, a Java
// installer and any other sections), each at a 16-byte boundary with correct checks.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pantrix_pack {

using Bytes = std::vector<unsigned char>;

// A section's plain payload. For the file types 'F', 'B' and 'J' it is a file record (see
// MakeFileRecord) and is scrambled when written; other types are written as they are.
struct PackSection {
    char type;
    Bytes payload;
};

// The file record of a file section: L, the path with its zero byte, five reserved bytes
// (written as zero), the content length and the content. L is the path length + 1.
Bytes MakeFileRecord(const std::string& relative_path, const Bytes& content);

// Appends one section to image: zero filler up to the next multiple of 16, the 32-byte header,
// the payload (scrambled for 'F', 'B' and 'J'). Returns the header's offset.
size_t AppendSection(Bytes* image, char type, const Bytes& payload);

struct LauncherContents {
    std::string app_name;               // at most 67 characters
    std::string exe_name;               // at most 67 characters
    std::string settings;               // the settings text; a zero byte is added
    std::vector<PackSection> sections;  // after the settings section, in this order
    // Values to write into the launch record instead of the true ones (to build broken
    // launchers for tests).
    std::optional<int32_t> section_count;
    std::optional<int32_t> expected_length;
};

// Fills the launch record of a copy of launcher and appends the sections. Returns false with
// a reason when the record cannot be found or a name is too long.
bool BuildLauncher(const Bytes& launcher, const LauncherContents& contents, Bytes* out,
                   std::string* reason);

}  // namespace pantrix_pack
