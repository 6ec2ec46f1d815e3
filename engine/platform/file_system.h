#pragma once

#include <string>
#include <string_view>
#include <vector>

// File-system operations of the engine that are not tied to one subsystem. Paths are 8-bit
// text in the ANSI code page; "\" and "/" both separate folders.

struct FileResult {
    bool ok = true;
    std::string error;  // the call, the path and the Windows error code, when not ok
};

// Creates a folder with all its missing parent folders. An empty folder, a drive ("C:", "C:\")
// or a share root ("\\server\share") is not created; an existing folder is success.
FileResult CreateFolderTree(const std::string& folder);

// The folder part of a path: everything before its last "\", "/" or ":" (the drive colon is
// kept: "C:log.txt" gives "C:"); empty when there is none.
std::string FolderOfPath(const std::string& path);

// Creates the file anew (an existing file is overwritten) and writes the bytes.
FileResult WriteNewFile(const std::string& path, std::string_view bytes);

// The names (not paths) of the files in `folder` that match the wildcard `pattern`, in the
// order in which FindFirstFileA and FindNextFileA return them; folders are left out. An empty
// list when nothing matches or the folder cannot be read.
std::vector<std::string> ListFileNames(const std::string& folder, const std::string& pattern);
