#pragma once
// The two archive operations that the rest of the engine uses: listing an archive and
// extracting it, through the archive library. Failures come back as the texts of
// archive_failures.h.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct ArchiveListResult {
    bool ok = false;
    std::vector<std::string> names;  // every entry, in stored order
    std::string failure;             // when !ok
};

// Opens the list with the password, collects every entry's name in order, closes the list.
ArchiveListResult ListArchive(const std::string& archive, const std::string& password);

// Called as the extraction goes: current file, amounts done and in total; false stops.
using ExtractionProgress =
    std::function<bool(const std::string& file, uint64_t done, uint64_t total)>;

struct ArchiveExtractResult {
    bool ok = false;
    std::string failure;  // when !ok
};

// Extracts `names`, or every entry when none are given (the archive is listed first; a
// listing failure ends the operation with its text), below `target`: with the stored folders
// when `keepFolders`, replacing existing files when `overwrite`.
ArchiveExtractResult ExtractFromArchive(const std::string& archive, const std::string& password,
                                        const std::string& target,
                                        const std::optional<std::vector<std::string>>& names,
                                        const ExtractionProgress& progress, bool keepFolders,
                                        bool overwrite);
