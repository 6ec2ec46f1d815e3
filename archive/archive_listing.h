#pragma once
// The listing that OpenListArchive hands out: the 48-byte entries and the names they point to,
// alive until CloseListArchive.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "include/qor_archive.h"
#include "opened_archive.h"

class TArchiveListing {
  public:
    // Reads every item of an opened archive, in stored order.
    explicit TArchiveListing(const TOpenedArchive& archive);

    const TArchiveEntry* entries() const { return entries_.data(); }
    int32_t count() const { return static_cast<int32_t>(entries_.size()); }

  private:
    std::deque<std::string> names_;  // a deque: entries point into its strings
    std::vector<TArchiveEntry> entries_;
};
