#pragma once
// Which items of an archive an extraction writes, and where: the requested names matched to
// items, every target path checked by SafeRelativePath before anything is written.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "include/qor_archive.h"
#include "opened_archive.h"

struct TPlannedItem {
    uint32_t index = 0;
    std::string name;     // the stored path as the listing gives it, for the callbacks
    std::wstring target;  // full path below the target folder
    bool folder = false;
    bool encrypted = false;
    uint64_t size = 0;
    FILETIME modified{};
    uint32_t attributes = 0;
};

class TExtractionPlan {
  public:
    // Plans the extraction of `names` (every item when null) below `targetFolder`.
    // 0 or the library's error code (1002, 1006, 1008, 1010).
    int32_t Make(const TOpenedArchive& archive, const TArchiveNameList* names, bool discardPaths,
                 const std::wstring& targetFolder, TArchiveQueryCallback query);

    // The item indices in ascending order, as 7-Zip's Extract wants them.
    const std::vector<uint32_t>& indices() const { return indices_; }
    // The planned item of an index, or null when that item is not written.
    const TPlannedItem* Find(uint32_t index) const;
    // Whether an item of the archive, planned or not, is encrypted.
    bool Encrypted(uint32_t index) const { return index < encrypted_.size() && encrypted_[index]; }

  private:
    std::vector<bool> encrypted_;      // by index, every item
    std::vector<TPlannedItem> items_;  // ascending by index
    std::vector<uint32_t> indices_;
};
