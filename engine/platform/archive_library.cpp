#include "archive_library.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "qor_archive.h"

namespace {

// One call of the library at a time; the callbacks read the current call's settings, also
// from 7-Zip's decoding threads.
std::mutex g_callLock;
std::atomic<const ArchiveExtractionRequest*> g_extraction{nullptr};

std::mutex g_passwordLock;
std::string g_password;  // under g_passwordLock
bool g_passwordPending = false;

constexpr int32_t kQueryAnswer = 1;
constexpr int32_t kOverwriteKeep = 1;

int32_t __stdcall ProgressCallback(const char* name, uint32_t doneLow, uint32_t doneHigh,
                                   uint32_t totalLow, uint32_t totalHigh) {
    const ArchiveExtractionRequest* extraction = g_extraction.load();
    if (!extraction || !extraction->progress) return 1;
    const uint64_t done = (uint64_t{doneHigh} << 32) | doneLow;
    const uint64_t total = (uint64_t{totalHigh} << 32) | totalLow;
    try {
        return extraction->progress(name ? name : "", done, total) ? 1 : 0;
    } catch (...) {
        // Nothing may unwind through the library: a failing progress report stops it.
        return 0;
    }
}

int32_t __stdcall QueryCallback(int32_t, int32_t) {
    return kQueryAnswer;
}

int32_t __stdcall OverwriteCallback(const char*, uint32_t, uint32_t, uint32_t, uint32_t,
                                    const char*, uint32_t, uint32_t, uint32_t, uint32_t) {
    const ArchiveExtractionRequest* extraction = g_extraction.load();
    return extraction && extraction->overwrite ? kArchiveOverwriteReplace : kOverwriteKeep;
}

}  // namespace

void SetArchivePassword(const std::string& password) {
    std::lock_guard guard(g_passwordLock);
    g_password = password;
    g_passwordPending = !password.empty();
}

int32_t __stdcall ArchivePasswordCallback(char* buffer) {
    std::lock_guard guard(g_passwordLock);
    if (!buffer || !g_passwordPending) return 0;
    g_passwordPending = false;
    const size_t length = std::min(g_password.size(), kArchivePasswordBufferSize - 1);
    std::memcpy(buffer, g_password.data(), length);
    buffer[length] = '\0';
    return 1;
}

ArchiveEntryNames ListArchiveEntries(const std::string& archive, const std::string& password) {
    std::lock_guard call(g_callLock);
    SetArchivePassword(password);
    ArchiveEntryNames result;
    const TArchiveEntry* entries = nullptr;
    int32_t count = 0;
    void* handle = OpenListArchive(archive.c_str(), 0, ArchivePasswordCallback, 0, 0, 0,
                                   password.c_str(), &entries, &count);
    if (!handle) {
        result.error = GetLastArchiveError(0);
        return result;
    }
    result.names.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int32_t n = 0; n < count; ++n) result.names.emplace_back(entries[n].name);
    CloseListArchive(handle);
    return result;
}

int32_t ExtractArchiveEntries(const ArchiveExtractionRequest& request) {
    std::lock_guard call(g_callLock);
    SetArchivePassword(request.password);
    std::vector<const char*> names;
    names.reserve(request.names.size());
    for (const std::string& name : request.names) names.push_back(name.c_str());
    const TArchiveNameList list{names.data(), static_cast<int32_t>(names.size())};
    g_extraction = &request;
    const int32_t ok =
        ExtractArchive(request.archive.c_str(), 1, request.target.c_str(), &list,
                       request.discardPaths ? 1 : 0, request.password.c_str(),
                       ArchivePasswordCallback, ProgressCallback, QueryCallback, OverwriteCallback);
    g_extraction = nullptr;
    return ok ? 0 : GetLastArchiveError(0);
}
