#pragma once
// One call of ExtractArchive: open, plan, let 7-Zip extract, clean up after a failure.

#include <cstdint>

#include "include/qor_archive.h"

struct TExtractionRequest {
    const char* archivePath = nullptr;
    const char* targetFolder = nullptr;
    const TArchiveNameList* names = nullptr;
    bool discardPaths = false;
    const char* password = nullptr;
    TArchivePasswordCallback passwordCallback = nullptr;
    TArchiveProgressCallback progressCallback = nullptr;
    TArchiveQueryCallback queryCallback = nullptr;
    TArchiveOverwriteCallback overwriteCallback = nullptr;
};

// 0 on success, otherwise the library's error code.
int32_t ExtractFiles(const TExtractionRequest& request);
