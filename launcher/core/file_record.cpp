#include "file_record.h"

#include <cstring>
#include <string_view>

#include "path_safety.h"
#include "section_container.h"

namespace pantrix {

FileRecordStatus ParseFileRecord(const unsigned char* record, size_t record_size, FileRecord* out) {
    out->path[0] = '\0';
    out->content = nullptr;
    out->length = 0;
    if (record_size < 1) return FileRecordStatus::kDamaged;
    const size_t path_room = record[0];
    const size_t content_offset = path_room + 10;
    if (record_size < content_offset) return FileRecordStatus::kDamaged;

    const char* path = reinterpret_cast<const char*>(record + 1);
    const void* zero = std::memchr(path, 0, path_room);
    const size_t path_length =
        zero ? static_cast<size_t>(static_cast<const char*>(zero) - path) : path_room;
    std::memcpy(out->path, path, path_length);
    out->path[path_length] = '\0';

    const uint32_t length = ReadLittle32(record + path_room + 6);
    if (length > record_size - content_offset) return FileRecordStatus::kDamaged;
    if (!IsSafeRelativePath(std::string_view(out->path, path_length)))
        return FileRecordStatus::kUnsafePath;
    out->content = record + content_offset;
    out->length = length;
    return FileRecordStatus::kGood;
}

}  // namespace pantrix
