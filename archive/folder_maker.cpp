#include "folder_maker.h"

#include <windows.h>

namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ParentFolder(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool TFolderMaker::Make(const std::wstring& path) {
    if (path.empty()) return false;
    if (known_.contains(path)) return true;
    if (!IsFolder(path)) {
        // A drive ("C:") or the root of a share ends the climb: it must exist already.
        const std::wstring parent = ParentFolder(path);
        const bool isRoot = path.back() == L':' || parent.empty() || parent == L"\\";
        if (isRoot || !Make(parent)) return false;
        if (!CreateDirectoryW(path.c_str(), nullptr) && !IsFolder(path)) return false;
    }
    known_.insert(path);
    return true;
}
