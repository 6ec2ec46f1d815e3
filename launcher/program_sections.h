#pragma once

// The launcher's own program file, mapped read-only while its sections are in use.
#include <cstdint>

#include "section_container.h"
#include "win_handles.h"

namespace pantrix {

struct ProgramSections {
    UniqueHandle file;
    UniqueHandle mapping;
    UniqueView view;
    uint64_t length = 0;
    SectionTable table;

    const unsigned char* bytes() const { return static_cast<const unsigned char*>(view.get()); }
};

// Maps the program file (error 21 when that fails) and checks its sections.
bool OpenProgramSections(const char* program_path, const SectionExpectations& expect,
                         ProgramSections* sections, LaunchError* error);

// Unmaps the view and closes the mapping and the file.
void ReleaseProgramSections(ProgramSections* sections);

}  // namespace pantrix
