#include "file_system.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

struct CloseFile {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Owns an open file; INVALID_HANDLE_VALUE is checked before a handle is owned.
using FileHandle = std::unique_ptr<void, CloseFile>;

struct CloseFind {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using FindHandle = std::unique_ptr<void, CloseFind>;

std::string CallError(const char* call, const std::string& path, DWORD code) {
    return std::string(call) + " failed for \"" + path + "\" (error " + std::to_string(code) + ")";
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The length of the part of a folder path that is never created: "C:", "C:\", "\",
// "\\server\share\" (also "\\?\C:\", whose "server" is "?").
std::size_t RootLength(const std::string& folder) {
    if (folder.size() >= 2 && folder[1] == ':') {
        return folder.size() >= 3 && IsSeparator(folder[2]) ? 3 : 2;
    }
    if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
        std::size_t position = 2;
        for (int part = 0; part < 2; ++part) {
            while (position < folder.size() && !IsSeparator(folder[position])) ++position;
            if (position < folder.size()) ++position;
        }
        return position;
    }
    return !folder.empty() && IsSeparator(folder[0]) ? 1 : 0;
}

}  // namespace

FileResult CreateFolderTree(const std::string& folder) {
    std::string path = folder;
    const std::size_t root = RootLength(path);
    while (path.size() > root && IsSeparator(path.back())) path.pop_back();
    if (path.size() <= root || IsFolder(path)) return {};
    // Each prefix that ends before a separator (and the whole path) is one level; create the
    // missing ones from the top down.
    for (std::size_t end = root; end <= path.size(); ++end) {
        if (end < path.size() && !IsSeparator(path[end])) continue;
        if (end == root || IsSeparator(path[end - 1])) continue;  // empty part ("a\\b")
        const std::string level = path.substr(0, end);
        if (IsFolder(level)) continue;
        if (!CreateDirectoryA(level.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            // Another process may have created it meanwhile.
            if (!IsFolder(level)) return {false, CallError("CreateDirectoryA", level, error)};
        }
    }
    return {};
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/:");
    if (last == std::string::npos) return {};
    return path.substr(0, path[last] == ':' ? last + 1 : last);
}

FileResult WriteNewFile(const std::string& path, std::string_view bytes) {
    const HANDLE raw = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return {false, CallError("CreateFileA", path, GetLastError())};
    const FileHandle file(raw);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, std::size_t{1} << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr) || written == 0) {
            return {false, CallError("WriteFile", path, GetLastError())};
        }
        done += written;
    }
    return {};
}

std::vector<std::string> ListFileNames(const std::string& folder, const std::string& pattern) {
    std::string search = folder;
    if (!search.empty() && !IsSeparator(search.back()) && search.back() != ':') search += '\\';
    search += pattern;
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    const HANDLE raw = FindFirstFileA(search.c_str(), &entry);
    if (raw == INVALID_HANDLE_VALUE) return names;
    const FindHandle find(raw);
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(entry.cFileName);
        }
    } while (FindNextFileA(find.get(), &entry));
    return names;
}

void ClearFolderTree(const std::string& folder, bool recurse) {
    std::string base = folder;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    WIN32_FIND_DATAA entry{};
    const HANDLE raw = FindFirstFileA((base + "\\*.*").c_str(), &entry);
    if (raw == INVALID_HANDLE_VALUE) return;
    const FindHandle find(raw);
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = base + "\\" + name;
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (!recurse) continue;
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) ClearFolderTree(path, true);
            RemoveDirectoryA(path.c_str());
            continue;
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find.get(), &entry));
}

bool RemoveFolderTree(const std::string& folder, int passes) {
    for (int pass = 0; pass < passes; ++pass) ClearFolderTree(folder, true);
    std::string path = folder;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    RemoveDirectoryA(path.c_str());
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> CreateNumberedFolder(const std::string& parent,
                                                const std::string& prefix, std::string* error) {
    // Far more than any temporary folder holds; ends the search if every name seems taken.
    constexpr int kLastNumber = 1000000;
    for (int number = 1; number <= kLastNumber; ++number) {
        const std::string folder = parent + prefix + std::to_string(number);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
        const DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS) continue;
        if (error) *error = CallError("CreateDirectoryA", folder, code);
        return std::nullopt;
    }
    if (error) *error = "no free folder name " + parent + prefix + "N";
    return std::nullopt;
}
