#pragma once
// The engine's calls into the archive library qor.dll (imported by name), with the callbacks
// the engine hands it. One library call runs at a time: the callbacks of qor.dll carry no
// context, so the operation they belong to is kept here for the length of the call.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The entry names of an archive in stored order, or the library's error code.
struct ArchiveEntryNames {
    int32_t error = 0;
    std::vector<std::string> names;
};

// Opens the listing of `archive` with `password`, collects every entry's name, closes it.
ArchiveEntryNames ListArchiveEntries(const std::string& archive, const std::string& password);

// Progress of an extraction: the current file and the amounts done and in total; false stops.
using ArchiveProgress = std::function<bool(const std::string& file, uint64_t done, uint64_t total)>;

struct ArchiveExtractionRequest {
    std::string archive;
    std::string password;
    std::string target;
    std::vector<std::string> names;  // passed exactly as given
    bool discardPaths = false;
    bool overwrite = false;    // the overwrite callback answers 4 (replace) or 1 (keep)
    ArchiveProgress progress;  // may be empty
};

// Calls the library's ExtractArchive; 0 on success, otherwise the library's error code.
int32_t ExtractArchiveEntries(const ArchiveExtractionRequest& request);

// The engine's password callback: copies the password into the buffer (kArchivePasswordBufferSize
// bytes) and answers 1 the first time it is called after a password was set, 0 afterwards and
// when there is none. ListArchiveEntries and ExtractArchiveEntries set their password.
void SetArchivePassword(const std::string& password);
int32_t __stdcall ArchivePasswordCallback(char* buffer);
