#pragma once
// A 7z archive opened through 7z.dll, and the properties of its items.

#include <cstdint>
#include <memory>
#include <string>

#include "com_object.h"
#include "password_source.h"
#include "seven_zip.h"

// What qor.dll needs to know of one item.
struct TArchiveItem {
    std::wstring path;  // as stored, with 7-Zip's separators
    bool folder = false;
    bool encrypted = false;
    bool anti = false;  // a deletion marker of an update, with nothing to extract
    bool hasCrc = false;
    uint32_t crc = 0;
    uint64_t size = 0;
    uint64_t packedSize = 0;
    FILETIME modified{};
    uint32_t attributes = 0;
};

class TOpenedArchive {
  public:
    // Opens `archivePath` (8-bit text); 0 or the library's error code (1001, 1002, 1003, 1009,
    // 1010, 1011).
    int32_t Open(const char* archivePath, TPasswordSource& passwords);

    IInArchive* handler() const { return handler_.get(); }
    uint32_t ItemCount() const;
    TArchiveItem Item(uint32_t index) const;

    TOpenedArchive() = default;
    TOpenedArchive(const TOpenedArchive&) = delete;
    TOpenedArchive& operator=(const TOpenedArchive&) = delete;
    ~TOpenedArchive();

  private:
    TComPtr<IInArchive> handler_;
};

// Whether a path contains the wildcard characters that the library refuses ('*', '?').
bool HasWildcard(const char* path);
