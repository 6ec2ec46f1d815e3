// The four functions that qor.dll exports. Every failure sets the process's last archive
// error; no C++ exception leaves the library.

#include <atomic>
#include <memory>
#include <new>

#include "archive_extraction.h"
#include "archive_listing.h"
#include "include/qor_archive.h"
#include "opened_archive.h"
#include "password_source.h"

namespace {

std::atomic<int32_t> g_lastError{0};

// Records `code` as the last failure when it is one; returns it.
int32_t Record(int32_t code) {
    if (code != 0) g_lastError = code;
    return code;
}

// Runs `body`, which returns 0 or an error code, turning exceptions into codes.
template <class Body>
int32_t Guarded(Body body) noexcept {
    try {
        return Record(body());
    } catch (...) {
        return Record(kArchiveErrorGeneral);
    }
}

}  // namespace

extern "C" {

void* __stdcall OpenListArchive(const char* archivePath, int32_t,
                                TArchivePasswordCallback passwordCallback, int32_t, int32_t,
                                int32_t, const char* password, const TArchiveEntry** entries,
                                int32_t* count) {
    void* handle = nullptr;
    Guarded([&]() -> int32_t {
        if (!entries || !count) return kArchiveErrorInvalidArgument;
        *entries = nullptr;
        *count = 0;
        TPasswordSource passwords(password, passwordCallback);
        TOpenedArchive archive;
        if (const int32_t failure = archive.Open(archivePath, passwords)) return failure;
        auto listing = std::make_unique<TArchiveListing>(archive);
        *entries = listing->entries();
        *count = listing->count();
        handle = listing.release();
        return 0;
    });
    return handle;
}

void __stdcall CloseListArchive(void* handle) {
    delete static_cast<TArchiveListing*>(handle);
}

int32_t __stdcall ExtractArchive(const char* archivePath, int32_t, const char* targetFolder,
                                 const TArchiveNameList* names, int32_t discardPaths,
                                 const char* password, TArchivePasswordCallback passwordCallback,
                                 TArchiveProgressCallback progressCallback,
                                 TArchiveQueryCallback queryCallback,
                                 TArchiveOverwriteCallback overwriteCallback) {
    const int32_t failure = Guarded([&] {
        TExtractionRequest request;
        request.archivePath = archivePath;
        request.targetFolder = targetFolder;
        request.names = names;
        request.discardPaths = discardPaths != 0;
        request.password = password;
        request.passwordCallback = passwordCallback;
        request.progressCallback = progressCallback;
        request.queryCallback = queryCallback;
        request.overwriteCallback = overwriteCallback;
        return ExtractFiles(request);
    });
    return failure == 0 ? 1 : 0;
}

int32_t __stdcall GetLastArchiveError(int32_t) {
    return g_lastError.load();
}
}
