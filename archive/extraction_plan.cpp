#include "extraction_plan.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "entry_path.h"
#include "text_convert.h"

namespace {

// Names are matched as the listing gives them, with either separator.
std::string MatchKey(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// The indices of the requested items (ascending, each once), or an error code.
int32_t SelectIndices(const std::vector<TArchiveItem>& items, const TArchiveNameList* names,
                      std::vector<uint32_t>& selected) {
    if (!names) {
        for (uint32_t index = 0; index < items.size(); ++index) selected.push_back(index);
        return 0;
    }
    if (names->count < 0 || (names->count > 0 && !names->names))
        return kArchiveErrorInvalidArgument;
    std::unordered_multimap<std::string, uint32_t> byName;
    for (uint32_t index = 0; index < items.size(); ++index)
        byName.emplace(MatchKey(WideToAnsi(items[index].path)), index);
    for (int32_t n = 0; n < names->count; ++n) {
        const char* name = names->names[n];
        if (!name) return kArchiveErrorInvalidArgument;
        // A character that the system code page cannot show is '?' in the listing, so a name
        // with '?' (or '*') is refused only when no entry has exactly that name.
        const auto [first, last] = byName.equal_range(MatchKey(name));
        if (first == last)
            return HasWildcard(name) ? kArchiveErrorWildcard : kArchiveErrorNameNotInArchive;
        for (auto it = first; it != last; ++it) selected.push_back(it->second);
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    return 0;
}

}  // namespace

int32_t TExtractionPlan::Make(const TOpenedArchive& archive, const TArchiveNameList* names,
                              bool discardPaths, const std::wstring& targetFolder,
                              TArchiveQueryCallback query) {
    std::vector<TArchiveItem> items;
    const uint32_t count = archive.ItemCount();
    items.reserve(count);
    for (uint32_t index = 0; index < count; ++index) {
        items.push_back(archive.Item(index));
        encrypted_.push_back(items.back().encrypted);
    }

    std::vector<uint32_t> selected;
    if (const int32_t failure = SelectIndices(items, names, selected)) return failure;

    for (uint32_t index : selected) {
        const TArchiveItem& item = items[index];
        if (item.anti || (item.folder && discardPaths)) continue;
        const std::optional<std::string> relative =
            SafeRelativePath(WideToUtf8(item.path), discardPaths);
        if (!relative) {
            const int32_t answer = query
                                       ? query(kArchiveQueryUnsafePath, static_cast<int32_t>(index))
                                       : kArchiveQueryStop;
            if (answer == kArchiveQuerySkip) continue;
            return kArchiveErrorUnsafePath;
        }
        TPlannedItem planned;
        planned.index = index;
        planned.name = WideToAnsi(item.path);
        planned.target = targetFolder + L'\\' + Utf8ToWide(*relative);
        planned.folder = item.folder;
        planned.encrypted = item.encrypted;
        planned.size = item.size;
        planned.modified = item.modified;
        planned.attributes = item.attributes;
        items_.push_back(std::move(planned));
        indices_.push_back(index);
    }
    return 0;
}

const TPlannedItem* TExtractionPlan::Find(uint32_t index) const {
    const auto it = std::lower_bound(
        items_.begin(), items_.end(), index,
        [](const TPlannedItem& item, uint32_t wanted) { return item.index < wanted; });
    return it != items_.end() && it->index == index ? &*it : nullptr;
}
