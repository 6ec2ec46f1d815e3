#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "script_image.h"

// Finding, reading and parsing the compiled script appended to a program file.
//
// The script is the overlay of the program: every byte after the end of the last section's
// raw data. There is no marker, size or checksum; the script text ends at the terminator of
// its last section, so anything after it (padding, a signature) is ignored.

// The overlay start of a PE image: the largest PointerToRawData + SizeOfRawData over the
// section table. `headers` holds the first bytes of the file (at least through the section
// table); `file_size` is the size of the whole file. The optional header's length is read
// from SizeOfOptionalHeader (224 bytes in 32-bit images, 240 in 64-bit ones). Every offset is
// checked against the bytes given and every section end against the file size: a file that
// is not a PE image, or whose headers point outside the file, gives nothing ("no script").
std::optional<std::uint32_t> FindOverlayStart(std::span<const std::uint8_t> headers,
                                              std::uint64_t file_size);

struct OverlayStart {
    std::optional<std::uint32_t> start;  // empty: not a readable PE file
    std::uint64_t file_size = 0;
    std::string error;  // why the file could not be read at all; empty otherwise
};

// FindOverlayStart over a file on disk, reading only its headers.
OverlayStart FindFileOverlayStart(const std::string& path);

struct Overlay {
    enum class Status { kScript, kNoOverlay, kUnreadable };
    Status status = Status::kUnreadable;
    std::string bytes;  // the overlay, for kScript
    std::string error;  // for kUnreadable
};

// The bytes from `start` to the end of the file; kNoOverlay when start equals the file size.
Overlay ReadOverlay(const std::string& path, std::uint64_t start);

struct ScriptLoad {
    std::optional<ScriptImage> image;
    std::string error;  // "The setup script is damaged: ..." when image is empty
};

// Parses the script text section by section. Lines end at CR LF or at a lone LF. A script that
// ends before the terminator of its last section, whose media layout or a component size is
// not a decimal integer, whose per-statement sections disagree in length or whose paired
// sections are incomplete is reported as damaged; reading never goes past the end of text.
ScriptLoad LoadScript(std::string_view text);
