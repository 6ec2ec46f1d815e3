#pragma once
// The interface of qor.dll, the archive library: four stdcall functions exported under their
// plain names on both Windows targets. Texts are 8-bit text in the system code page.
//
// Error codes (GetLastArchiveError):
//   1001  the archive file was not found
//   1002  a wildcard character ('*' or '?') in the archive path or in a requested name
//   1003  the archive cannot be opened (not a 7z archive, damaged headers, missing or wrong
//         password); also a wrong password found while extracting encrypted data
//   1004  the extraction was stopped: the progress callback returned 0
//   1005  damaged data: CRC or data error, unexpected end, unsupported method
//   1006  an entry's path is unsafe: absolute, with a drive or UNC prefix, climbing out of
//         the target with "..", a device name or a character that Windows file names
//         cannot hold; nothing of the extraction was written
//   1007  a folder or file below the target folder could not be created or written
//   1008  a requested name is not in the archive
//   1009  the 7-Zip format library is missing: no registration value or no loadable 7z.dll
//   1010  an invalid argument (a missing path or output pointer)
//   1011  any other failure (out of memory, an unexpected answer of 7-Zip)

#include <cstddef>
#include <cstdint>

extern "C" {

constexpr int32_t kArchiveErrorNotFound = 1001;
constexpr int32_t kArchiveErrorWildcard = 1002;
constexpr int32_t kArchiveErrorCannotOpen = 1003;
constexpr int32_t kArchiveErrorStopped = 1004;
constexpr int32_t kArchiveErrorDataError = 1005;
constexpr int32_t kArchiveErrorUnsafePath = 1006;
constexpr int32_t kArchiveErrorWriteFailed = 1007;
constexpr int32_t kArchiveErrorNameNotInArchive = 1008;
constexpr int32_t kArchiveErrorNoFormatLibrary = 1009;
constexpr int32_t kArchiveErrorInvalidArgument = 1010;
constexpr int32_t kArchiveErrorGeneral = 1011;

// TArchiveEntry::flags
constexpr uint32_t kArchiveEntryFolder = 1;
constexpr uint32_t kArchiveEntryEncrypted = 2;
constexpr uint32_t kArchiveEntryHasCrc = 4;

// One entry of a listing: 48 bytes on both targets.
struct TArchiveEntry {
    alignas(8) const char* name;  // 0: stored path, zero-terminated; valid until the close
    uint64_t size;                // 8: unpacked size in bytes
    uint64_t packedSize;          // 16: packed size (0 for later files of a solid block)
    uint32_t crc;                 // 24: CRC-32 of the data when flags has kArchiveEntryHasCrc
    uint32_t flags;               // 28: kArchiveEntry... bits
    uint32_t modifiedLow;         // 32: modification time, a FILETIME (UTC)
    uint32_t modifiedHigh;        // 36
    uint32_t attributes;          // 40: Windows file attributes as stored
    uint32_t reserved;            // 44: 0
};
static_assert(sizeof(TArchiveEntry) == 48);
static_assert(offsetof(TArchiveEntry, size) == 8 && offsetof(TArchiveEntry, packedSize) == 16);
static_assert(offsetof(TArchiveEntry, modifiedLow) == 32 &&
              offsetof(TArchiveEntry, attributes) == 40);

// The names to extract: `count` zero-terminated names as the listing gives them.
struct TArchiveNameList {
    const char* const* names;
    int32_t count;
};

// Size of the buffer handed to the password callback, terminating zero included.
constexpr size_t kArchivePasswordBufferSize = 1024;

// Asked when 7-Zip needs a password and no password argument was given: writes the password
// (zero-terminated, at most kArchivePasswordBufferSize bytes) and returns 1, or returns 0
// when it has none. Asked at most once per call of OpenListArchive or ExtractArchive.
typedef int32_t(__stdcall* TArchivePasswordCallback)(char* buffer);

// Progress of an extraction: the entry being written and the amounts of unpacked data done
// and in total, each as low and high 32-bit halves. Returns non-zero to go on, 0 to stop.
typedef int32_t(__stdcall* TArchiveProgressCallback)(const char* name, uint32_t doneLow,
                                                     uint32_t doneHigh, uint32_t totalLow,
                                                     uint32_t totalHigh);

// A problem with one entry before anything is written. Problem 1: the entry's path is unsafe.
// Answer 1 stops the extraction (code 1006); 2 skips that entry. Without a callback: stop.
constexpr int32_t kArchiveQueryUnsafePath = 1;
constexpr int32_t kArchiveQueryStop = 1;
constexpr int32_t kArchiveQuerySkip = 2;
typedef int32_t(__stdcall* TArchiveQueryCallback)(int32_t problem, int32_t entryIndex);

// A file to be written exists already: its full path, size and modification time (FILETIME
// halves), then the entry's name, size and time. Answer 4 replaces the file; any other answer
// keeps the existing file and skips the entry. Without a callback existing files are kept.
constexpr int32_t kArchiveOverwriteReplace = 4;
typedef int32_t(__stdcall* TArchiveOverwriteCallback)(
    const char* existingPath, uint32_t existingSizeLow, uint32_t existingSizeHigh,
    uint32_t existingTimeLow, uint32_t existingTimeHigh, const char* entryName,
    uint32_t entrySizeLow, uint32_t entrySizeHigh, uint32_t entryTimeLow, uint32_t entryTimeHigh);

// Opens a 7z archive and lists its entries in stored order. `reserved1..4` are unused (the
// engine passes 0). A non-empty `password` is used when 7-Zip asks; otherwise the callback is
// asked (it may be null). On success returns a non-zero handle and sets *entries and *count;
// the entries stay valid until CloseListArchive. Returns 0 on failure.
void* __stdcall OpenListArchive(const char* archivePath, int32_t reserved1,
                                TArchivePasswordCallback passwordCallback, int32_t reserved2,
                                int32_t reserved3, int32_t reserved4, const char* password,
                                const TArchiveEntry** entries, int32_t* count);

// Frees a listing; a null handle is ignored.
void __stdcall CloseListArchive(void* handle);

// Extracts the named entries (all entries when `names` is null) below `targetFolder`, which is
// created when missing. Stored folders are kept unless `discardPaths` is non-zero, which writes
// every file straight into the target folder and skips folder entries. Every entry's path is
// checked before anything is written. `reserved` is unused (the engine passes 1). Callbacks may
// be null. Returns non-zero on success, 0 on failure or stop; an incomplete file is removed.
int32_t __stdcall ExtractArchive(const char* archivePath, int32_t reserved,
                                 const char* targetFolder, const TArchiveNameList* names,
                                 int32_t discardPaths, const char* password,
                                 TArchivePasswordCallback passwordCallback,
                                 TArchiveProgressCallback progressCallback,
                                 TArchiveQueryCallback queryCallback,
                                 TArchiveOverwriteCallback overwriteCallback);

// The code of the last failure of any of the functions above in this process; `reserved` is
// unused (the engine passes 0). Success does not reset it.
int32_t __stdcall GetLastArchiveError(int32_t reserved);
}
