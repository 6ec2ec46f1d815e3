#include "delete_tree.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "diagnostics.h"
#include "run_identifier.h"
#include "win_handles.h"

namespace pantrix {
namespace {

constexpr int kRetryBudgetMs = 30000;
constexpr int kRetryPauseMs = 100;
constexpr size_t kTreePathSize = 1024;

int retry_budget_used = 0;  // clean-up mode runs on the main thread only

bool DeleteFileWithRetry(const char* path) {
    while (!DeleteFileA(path)) {
        if (retry_budget_used >= kRetryBudgetMs) return false;
        Sleep(kRetryPauseMs);
        retry_budget_used += kRetryPauseMs;
    }
    return true;
}

int DeleteTreeChecked(const char* folder, const char* identifier) {
    char pattern[kTreePathSize];
    const int n = std::snprintf(pattern, sizeof(pattern), "%s\\*", folder);
    if (n < 0 || static_cast<size_t>(n) >= sizeof(pattern)) return 0;
    int removed = 0;
    WIN32_FIND_DATAA entry;
    {
        UniqueFind find(FindFirstFileA(pattern, &entry));
        if (find.valid()) {
            do {
                if (std::strcmp(entry.cFileName, ".") == 0 ||
                    std::strcmp(entry.cFileName, "..") == 0)
                    continue;
                char path[kTreePathSize];
                const int m = std::snprintf(path, sizeof(path), "%s\\%s", folder, entry.cFileName);
                if (m < 0 || static_cast<size_t>(m) >= sizeof(path)) continue;
                const bool carries_identifier = std::strstr(path, identifier) != nullptr;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                    // A link: its target is not part of the tree.
                    if (!carries_identifier) continue;
                    const bool gone = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                          ? RemoveDirectoryA(path)
                                          : DeleteFileWithRetry(path);
                    if (gone)
                        ++removed;
                    else
                        Log("delete.error=%s", path);
                } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removed += DeleteTreeChecked(path, identifier);
                } else if (carries_identifier) {
                    if (DeleteFileWithRetry(path))
                        ++removed;
                    else
                        Log("delete.error=%s", path);
                }
            } while (FindNextFileA(find.get(), &entry));
        }
    }
    if (std::strstr(folder, identifier) && RemoveDirectoryA(folder)) ++removed;
    return removed;
}

}  // namespace

int DeleteTree(const char* folder, const char* identifier) {
    if (!IsRunIdentifier(identifier)) return 0;
    return DeleteTreeChecked(folder, identifier);
}

}  // namespace pantrix
