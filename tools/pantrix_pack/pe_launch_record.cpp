#include "pe_launch_record.h"

#include "launch_record.h"

namespace pantrix_pack {
namespace {

uint64_t ReadLittle(const std::vector<unsigned char>& bytes, size_t at, size_t width) {
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) value |= uint64_t{bytes[at + i]} << (8 * i);
    return value;
}

struct PeSection {
    uint64_t virtual_address;
    uint64_t raw_offset;
    uint64_t raw_size;
};

struct PeImage {
    uint64_t image_base = 0;
    size_t pointer_size = 0;
    std::vector<PeSection> sections;
};

bool ReadPeImage(const std::vector<unsigned char>& image, PeImage* pe, std::string* reason) {
    auto fits = [&](uint64_t at, uint64_t size) { return at + size <= image.size(); };
    if (!fits(0, 64) || image[0] != 'M' || image[1] != 'Z') {
        *reason = "not a program file (no MZ header)";
        return false;
    }
    const uint64_t pe_at = ReadLittle(image, 60, 4);
    if (!fits(pe_at, 24) || ReadLittle(image, pe_at, 4) != 0x4550) {
        *reason = "not a PE program file";
        return false;
    }
    const uint64_t section_count = ReadLittle(image, pe_at + 6, 2);
    const uint64_t optional_size = ReadLittle(image, pe_at + 20, 2);
    const uint64_t optional_at = pe_at + 24;
    if (!fits(optional_at, optional_size) || optional_size < 32) {
        *reason = "truncated optional header";
        return false;
    }
    const uint64_t magic = ReadLittle(image, optional_at, 2);
    if (magic == 0x10b) {
        pe->pointer_size = 4;
        pe->image_base = ReadLittle(image, optional_at + 28, 4);
    } else if (magic == 0x20b) {
        pe->pointer_size = 8;
        pe->image_base = ReadLittle(image, optional_at + 24, 8);
    } else {
        *reason = "unknown optional header kind";
        return false;
    }
    const uint64_t table_at = optional_at + optional_size;
    if (!fits(table_at, section_count * 40)) {
        *reason = "truncated section table";
        return false;
    }
    for (uint64_t i = 0; i < section_count; ++i) {
        const uint64_t at = table_at + i * 40;
        PeSection section{ReadLittle(image, at + 12, 4), ReadLittle(image, at + 20, 4),
                          ReadLittle(image, at + 16, 4)};
        if (section.raw_offset + section.raw_size > image.size()) {
            *reason = "a section runs past the end of the file";
            return false;
        }
        pe->sections.push_back(section);
    }
    return true;
}

// Whether the bytes at `at` inside `section` form a launch record.
bool IsLaunchRecordAt(const std::vector<unsigned char>& image, const PeImage& pe,
                      const PeSection& section, uint64_t at) {
    const pantrix::LaunchRecordLayout layout = pantrix::LaunchRecordLayoutFor(pe.pointer_size);
    if (at + layout.size > section.raw_offset + section.raw_size) return false;
    if (ReadLittle(image, at + layout.marker, 4) != pantrix::kLaunchRecordMarker) return false;
    const uint64_t address_of = pe.image_base + section.virtual_address - section.raw_offset;
    return ReadLittle(image, at + layout.exe_name_ptr, pe.pointer_size) ==
               address_of + at + layout.exe_name &&
           ReadLittle(image, at + layout.app_name_ptr, pe.pointer_size) ==
               address_of + at + layout.app_name;
}

}  // namespace

bool FindLaunchRecord(const std::vector<unsigned char>& image, LaunchRecordLocation* location,
                      std::string* reason) {
    PeImage pe;
    if (!ReadPeImage(image, &pe, reason)) return false;
    int found = 0;
    for (const PeSection& section : pe.sections) {
        for (uint64_t at = section.raw_offset; at + 4 <= section.raw_offset + section.raw_size;
             at += 4) {
            if (!IsLaunchRecordAt(image, pe, section, at)) continue;
            location->file_offset = static_cast<size_t>(at);
            location->pointer_size = pe.pointer_size;
            ++found;
        }
    }
    if (found != 1) {
        *reason = found == 0 ? "no launch record found" : "more than one launch record found";
        return false;
    }
    return true;
}

}  // namespace pantrix_pack
