#pragma once

// The built-in launch record: a fixed block in the program's initialised data that a packaging
// tool fills in for one application. A tool finds it by its structure: two 32-bit counts, two
// pointers, a 32-bit marker with all bits set, then the two 68-byte names, where the first
// pointer holds the address of ExeName and the second that of AppName.
#include <cstddef>
#include <cstdint>

namespace pantrix {

constexpr size_t kLaunchNameSize = 68;
constexpr uint32_t kLaunchRecordMarker = 0xFFFFFFFFu;

struct LaunchRecord {
    int32_t SectionCount;           // number of appended sections the file must hold
    int32_t ExpectedLength;         // minimum length of the program file (end of the last section)
    const char* ExeNamePtr;         // points at ExeName
    const char* AppNamePtr;         // points at AppName
    uint32_t Marker;                // kLaunchRecordMarker
    char AppName[kLaunchNameSize];  // the application's display name, zero-terminated
    char ExeName[kLaunchNameSize];  // the launcher's file name as built, zero-terminated
};

// Where the fields lie for a given pointer width (4 in 32-bit programs, 8 in 64-bit ones);
// the packaging tool reads other builds' records with these.
struct LaunchRecordLayout {
    size_t exe_name_ptr;
    size_t app_name_ptr;
    size_t marker;
    size_t app_name;
    size_t exe_name;
    size_t size;  // up to the end of ExeName
};

constexpr LaunchRecordLayout LaunchRecordLayoutFor(size_t pointer_size) {
    const size_t exe_name_ptr = 8;
    const size_t app_name_ptr = exe_name_ptr + pointer_size;
    const size_t marker = app_name_ptr + pointer_size;
    const size_t app_name = marker + 4;
    const size_t exe_name = app_name + kLaunchNameSize;
    return {exe_name_ptr, app_name_ptr, marker, app_name, exe_name, exe_name + kLaunchNameSize};
}

static_assert(offsetof(LaunchRecord, ExeNamePtr) ==
              LaunchRecordLayoutFor(sizeof(void*)).exe_name_ptr);
static_assert(offsetof(LaunchRecord, AppNamePtr) ==
              LaunchRecordLayoutFor(sizeof(void*)).app_name_ptr);
static_assert(offsetof(LaunchRecord, Marker) == LaunchRecordLayoutFor(sizeof(void*)).marker);
static_assert(offsetof(LaunchRecord, AppName) == LaunchRecordLayoutFor(sizeof(void*)).app_name);
static_assert(offsetof(LaunchRecord, ExeName) == LaunchRecordLayoutFor(sizeof(void*)).exe_name);

}  // namespace pantrix
