#include "archive_listing.h"

#include <algorithm>
#include <climits>

#include "text_convert.h"

TArchiveListing::TArchiveListing(const TOpenedArchive& archive) {
    const uint32_t count = std::min<uint32_t>(archive.ItemCount(), INT32_MAX);
    entries_.reserve(count);
    for (uint32_t index = 0; index < count; ++index) {
        const TArchiveItem item = archive.Item(index);
        const std::string& name = names_.emplace_back(WideToAnsi(item.path));
        TArchiveEntry entry{};
        entry.name = name.c_str();
        entry.size = item.size;
        entry.packedSize = item.packedSize;
        entry.crc = item.crc;
        entry.flags = (item.folder ? kArchiveEntryFolder : 0) |
                      (item.encrypted ? kArchiveEntryEncrypted : 0) |
                      (item.hasCrc ? kArchiveEntryHasCrc : 0);
        entry.modifiedLow = item.modified.dwLowDateTime;
        entry.modifiedHigh = item.modified.dwHighDateTime;
        entry.attributes = item.attributes;
        entries_.push_back(entry);
    }
}
