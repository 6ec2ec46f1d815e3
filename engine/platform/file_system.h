#pragma once

#include <optional>
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

// clear-folder-tree: deletes every file in `folder` (read-only ones made writable first) and,
// with `recurse`, every subfolder with its contents; the folder itself stays. Entries that
// cannot be deleted are skipped. A subfolder that is a link (a junction or symbolic link, a
// reparse point) is removed as a link: the tree it points to lies outside the folder and is
// never entered.
void ClearFolderTree(const std::string& folder, bool recurse);

// clear-folder-tree with recurse, repeated `passes` times (files that were busy may be free on
// a later pass), then removes the folder itself. False when the folder still exists.
bool RemoveFolderTree(const std::string& folder, int passes);

// Creates parent + prefix + N for the smallest N >= 1 that does not exist yet and returns it
// with a trailing backslash. The creation itself is the test: a folder that another process
// creates at the same moment makes this one go on to the next N, so two callers never share
// a folder. Nothing when a folder cannot be created for another reason (the error in *error).
std::optional<std::string> CreateNumberedFolder(const std::string& parent,
                                                const std::string& prefix, std::string* error);
