#include "program_sections.h"

#include "diagnostics.h"

namespace pantrix {
namespace {

bool MapProgram(const char* program_path, ProgramSections* sections) {
    sections->file.reset(CreateFileA(program_path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    if (!sections->file.valid()) return false;
    const DWORD size = GetFileSize(sections->file.get(), nullptr);
    if (size == INVALID_FILE_SIZE) return false;
    sections->mapping.reset(
        CreateFileMappingA(sections->file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!sections->mapping.valid()) return false;
    sections->view.reset(MapViewOfFile(sections->mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!sections->view.valid()) return false;
    sections->length = size;
    return true;
}

}  // namespace

bool OpenProgramSections(const char* program_path, const SectionExpectations& expect,
                         ProgramSections* sections, LaunchError* error) {
    const bool mapped = MapProgram(program_path, sections);
    Log("exe.mapped.length=%d", mapped ? static_cast<int>(sections->length) : -1);
    if (!mapped) {
        ReleaseProgramSections(sections);
        SetLaunchError(error, kMsgMapFailed, expect.exe_name);
        return false;
    }
    return OpenSectionTable(sections->bytes(), sections->length, expect, &sections->table, error);
}

void ReleaseProgramSections(ProgramSections* sections) {
    sections->view.reset();
    sections->mapping.reset();
    sections->file.reset();
    sections->length = 0;
}

}  // namespace pantrix
