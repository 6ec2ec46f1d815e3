#pragma once

// The private temporary folder of a run: created under the user's temporary path, filled with
// the file sections, and removed by a detached clean-up copy of the launcher after it ends.
#include "file_record.h"
#include "messages.h"
#include "program_sections.h"
#include "run_identifier.h"

namespace pantrix {

constexpr size_t kTempPathSize = 230;  // the buffer GetTempPathA is given
constexpr size_t kTempFolderSize = kTempPathSize + kRunIdentifierSize + 2;
constexpr size_t kExtractedPathSize = kTempFolderSize + kMaxRecordPath + 2;

struct TempFolder {
    char temp_path[kTempPathSize + 2] = {};  // with a trailing "\"
    char run_identifier[kRunIdentifierSize] = {};
    char folder[kTempFolderSize] = {};  // temp_path + run_identifier, no trailing "\"
    bool created = false;
    char java_installer[kExtractedPathSize] = {};  // the file of a 'J' section, or empty
};

// Errors 23 (no temporary path), 22 (not a folder) and 40 (the folder cannot be created).
bool CreateTempFolder(TempFolder* temp, LaunchError* error);

// Writes every 'B', 'F' and 'J' section into the folder, in table order. A file that cannot be
// written gives error 41, a file whose path would leave the folder 42, a damaged record 92;
// later sections are still written and the last failure is the one reported.
bool ExtractFiles(const ProgramSections& sections, TempFolder* temp, LaunchError* error);

// The exit action: starts "<program> -deltree* <folder> <identifier>" as a detached process
// that removes the folder once this process has released its files. Does nothing when the
// folder was never created (there is nothing of this run to remove, and an existing folder of
// the same name belongs to someone else).
void StartCleanup(const char* program_path, const TempFolder& temp);

}  // namespace pantrix
