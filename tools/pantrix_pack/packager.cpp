#include "packager.h"

#include <cstring>

#include "launch_record.h"
#include "pe_launch_record.h"
#include "section_container.h"
#include "section_hash.h"

namespace pantrix_pack {
namespace {

void PutLittle(unsigned char* at, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

bool IsFileType(char type) {
    return type == 'F' || type == 'B' || type == 'J';
}

bool PutName(Bytes* image, size_t at, const std::string& name, std::string* reason) {
    if (name.size() >= pantrix::kLaunchNameSize) {
        *reason = "name longer than 67 characters: " + name;
        return false;
    }
    std::memset(image->data() + at, 0, pantrix::kLaunchNameSize);
    std::memcpy(image->data() + at, name.data(), name.size());
    return true;
}

}  // namespace

Bytes MakeFileRecord(const std::string& relative_path, const Bytes& content) {
    const size_t path_room = relative_path.size() + 1;
    Bytes record(path_room + 10 + content.size(), 0);
    record[0] = static_cast<unsigned char>(path_room);
    std::memcpy(record.data() + 1, relative_path.data(), relative_path.size());
    PutLittle(record.data() + path_room + 6, content.size(), 4);
    if (!content.empty())
        std::memcpy(record.data() + path_room + 10, content.data(), content.size());
    return record;
}

size_t AppendSection(Bytes* image, char type, const Bytes& payload) {
    while (image->size() % pantrix::kSectionAlignment) image->push_back(0);
    const size_t header_at = image->size();
    unsigned char header[pantrix::kSectionHeaderSize] = {};
    std::memcpy(header, pantrix::kSectionMarker, pantrix::kSectionMarkerSize);
    header[15] = static_cast<unsigned char>(type);

    Bytes stored(payload.size());
    if (IsFileType(type))
        pantrix::Scramble(payload.data(), payload.size(), stored.data());
    else
        stored = payload;
    const uint64_t payload_hash = pantrix::SectionHash(stored.data(), stored.size());
    PutLittle(header + 16, pantrix::InverseModulo64(payload_hash), 8);
    PutLittle(header + 24, stored.size(), 4);
    PutLittle(header + 28, pantrix::HeaderCheck(header), 4);

    image->insert(image->end(), header, header + sizeof(header));
    image->insert(image->end(), stored.begin(), stored.end());
    return header_at;
}

bool BuildLauncher(const Bytes& launcher, const LauncherContents& contents, Bytes* out,
                   std::string* reason) {
    LaunchRecordLocation location;
    if (!FindLaunchRecord(launcher, &location, reason)) return false;
    Bytes image = launcher;

    Bytes settings(contents.settings.begin(), contents.settings.end());
    settings.push_back(0);
    AppendSection(&image, 'V', settings);
    for (const PackSection& section : contents.sections)
        AppendSection(&image, section.type, section.payload);

    const pantrix::LaunchRecordLayout layout =
        pantrix::LaunchRecordLayoutFor(location.pointer_size);
    const int32_t count =
        contents.section_count.value_or(static_cast<int32_t>(contents.sections.size() + 1));
    const int32_t length = contents.expected_length.value_or(static_cast<int32_t>(image.size()));
    PutLittle(image.data() + location.file_offset, static_cast<uint32_t>(count), 4);
    PutLittle(image.data() + location.file_offset + 4, static_cast<uint32_t>(length), 4);
    if (!PutName(&image, location.file_offset + layout.app_name, contents.app_name, reason) ||
        !PutName(&image, location.file_offset + layout.exe_name, contents.exe_name, reason))
        return false;
    *out = std::move(image);
    return true;
}

}  // namespace pantrix_pack
