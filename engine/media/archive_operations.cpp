#include "archive_operations.h"

#include "archive_failures.h"
#include "archive_library.h"

ArchiveListResult ListArchive(const std::string& archive, const std::string& password) {
    ArchiveEntryNames listing = ListArchiveEntries(archive, password);
    ArchiveListResult result;
    if (listing.error != 0) {
        result.failure = ListingFailureText(listing.error);
        return result;
    }
    result.ok = true;
    result.names = std::move(listing.names);
    return result;
}

ArchiveExtractResult ExtractFromArchive(const std::string& archive, const std::string& password,
                                        const std::string& target,
                                        const std::optional<std::vector<std::string>>& names,
                                        const ExtractionProgress& progress, bool keepFolders,
                                        bool overwrite) {
    ArchiveExtractionRequest request;
    request.archive = archive;
    request.password = password;
    request.target = target;
    request.discardPaths = !keepFolders;
    request.overwrite = overwrite;
    request.progress = progress;
    if (names) {
        request.names = *names;
    } else {
        ArchiveListResult listing = ListArchive(archive, password);
        if (!listing.ok) return {false, listing.failure};
        request.names = std::move(listing.names);
    }
    const int32_t error = ExtractArchiveEntries(request);
    if (error != 0) return {false, ExtractionFailureText(error)};
    return {true, {}};
}
