#include "temp_folder.h"

#include <cstdio>
#include <cstring>

#include "diagnostics.h"
#include "section_container.h"
#include "win_handles.h"

namespace pantrix {
namespace {

// Creates (or replaces) the file and writes all of its bytes. Returns 0, or the Windows
// error of the first call that failed.
DWORD WriteWholeFile(const char* path, const unsigned char* content, uint32_t length) {
    UniqueHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0,
                                  nullptr));
    if (!file.valid()) return GetLastError();
    uint32_t done = 0;
    while (done < length) {
        DWORD written = 0;
        const DWORD chunk = length - done > (1u << 24) ? (1u << 24) : length - done;
        if (!WriteFile(file.get(), content + done, chunk, &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    return 0;
}

// CreateDirectoryA of folder + "\" + every leading part of the relative path, in order;
// failures are ignored (the write that follows tells).
void CreateIntermediateFolders(const char* folder, const char* relative_path) {
    char path[kExtractedPathSize];
    const int prefix = std::snprintf(path, sizeof(path), "%s\\", folder);
    if (prefix < 0 || static_cast<size_t>(prefix) >= sizeof(path)) return;
    char* relative = path + prefix;
    std::snprintf(relative, sizeof(path) - static_cast<size_t>(prefix), "%s", relative_path);
    for (char* c = relative; *c; ++c)
        if (*c == '/') *c = '\\';
    for (char* c = relative; *c; ++c) {
        if (*c != '\\') continue;
        *c = '\0';
        CreateDirectoryA(path, nullptr);
        *c = '\\';
    }
}

// Writes one section's file; returns false with the message set on failure.
bool ExtractOne(const ProgramSections& sections, const SectionEntry& section, TempFolder* temp,
                LaunchError* error) {
    if (section.type == 'J') temp->java_installer[0] = '\0';
    const CountedBuffer record = Unscramble(sections.bytes(), section);
    FileRecord file;
    switch (ParseFileRecord(record.bytes(), record.size(), &file)) {
        case FileRecordStatus::kDamaged:
            SetLaunchError(error, kMsgDamagedFileRecord, static_cast<unsigned>(section.offset));
            return false;
        case FileRecordStatus::kUnsafePath:
            SetLaunchError(error, kMsgUnsafeFilePath, file.path);
            return false;
        case FileRecordStatus::kGood:
            break;
    }
    char target[kExtractedPathSize];
    std::snprintf(target, sizeof(target), "%s\\%s", temp->folder, file.path);
    DWORD write_error = WriteWholeFile(target, file.content, file.length);
    if (write_error != 0) {
        CreateIntermediateFolders(temp->folder, file.path);
        write_error = WriteWholeFile(target, file.content, file.length);
    }
    const bool written = write_error == 0;
    Log("extracted=%s", file.path);
    if (!written) SetLaunchError(error, kMsgWriteTempFile, static_cast<int>(write_error));
    if (section.type == 'J' && written)
        std::snprintf(temp->java_installer, sizeof(temp->java_installer), "%s", target);
    return written;
}

}  // namespace

bool CreateTempFolder(TempFolder* temp, LaunchError* error) {
    std::snprintf(temp->temp_path, sizeof(temp->temp_path), ".");
    const DWORD length = GetTempPathA(kTempPathSize, temp->temp_path);
    if (length < 1) {
        SetLaunchError(error, kMsgTempPathFailed, static_cast<int>(GetLastError()));
        return false;
    }
    // A longer path was not stored at all; going on would put the folder somewhere else.
    if (length >= kTempPathSize) {
        temp->temp_path[0] = '\0';
        SetLaunchError(error, kMsgTempPathFailed, static_cast<int>(ERROR_INSUFFICIENT_BUFFER));
        return false;
    }
    if (temp->temp_path[length - 1] != '\\') std::strcat(temp->temp_path, "\\");
    Log("temp.path=%s", temp->temp_path);

    const DWORD attributes = GetFileAttributesA(temp->temp_path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLaunchError(error, kMsgTempPathInvalid, temp->temp_path);
        return false;
    }
    FormatRunIdentifier(GetTickCount(), GetCurrentProcessId(), temp->run_identifier,
                        sizeof(temp->run_identifier));
    std::snprintf(temp->folder, sizeof(temp->folder), "%s%s", temp->temp_path,
                  temp->run_identifier);
    Log("temp.folder=%s", temp->folder);
    if (!CreateDirectoryA(temp->folder, nullptr)) {
        SetLaunchError(error, kMsgCreateTempFolder, static_cast<int>(GetLastError()), temp->folder);
        return false;
    }
    temp->created = true;
    return true;
}

bool ExtractFiles(const ProgramSections& sections, TempFolder* temp, LaunchError* error) {
    bool all_written = true;
    for (int i = 0; i < sections.table.count; ++i) {
        const SectionEntry& section = sections.table[i];
        if (section.type != 'B' && section.type != 'F' && section.type != 'J') continue;
        if (!ExtractOne(sections, section, temp, error)) all_written = false;
    }
    return all_written;
}

void StartCleanup(const char* program_path, const TempFolder& temp) {
    if (!temp.created) return;
    char command[MAX_PATH + kTempFolderSize + kRunIdentifierSize + 32];
    std::snprintf(command, sizeof(command), "\"%s\" -deltree* \"%s\" %s", program_path, temp.folder,
                  temp.run_identifier);
    STARTUPINFOA startup = StartupWithOurStdHandles();
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace pantrix
