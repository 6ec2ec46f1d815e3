#pragma once
// Creates folders with any missing parents, remembering what exists so that an archive of
// many files in few folders asks the file system once per folder.

#include <string>
#include <unordered_set>

class TFolderMaker {
  public:
    // Whether `path` (no trailing separator) is a folder now, creating it when missing.
    bool Make(const std::wstring& path);

  private:
    std::unordered_set<std::wstring> known_;
};

// The folder part of a file path: everything before the last '\' or '/' (empty when none).
std::wstring ParentFolder(const std::wstring& path);
