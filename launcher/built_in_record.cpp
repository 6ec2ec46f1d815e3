#include "built_in_record.h"

namespace pantrix {

// In initialised data, with the values of the shipped launcher; a packaging tool overwrites
// it in the built file. External linkage and volatile reads keep the compiler from folding
// these values into the code, where the tool's changes would not be seen.
extern LaunchRecord g_launch_record;
__attribute__((used)) LaunchRecord g_launch_record = {
    6,
    1805323,
    g_launch_record.ExeName,
    g_launch_record.AppName,
    kLaunchRecordMarker,
    "Pantrix Home",
    "Pantrix.exe",
};

namespace {

void CopyName(const volatile char* name, char* out) {
    size_t i = 0;
    for (; i < kLaunchNameSize && name[i]; ++i) out[i] = name[i];
    out[i] = '\0';
}

}  // namespace

LaunchIdentity ReadBuiltInRecord() {
    const volatile LaunchRecord* record = &g_launch_record;
    LaunchIdentity identity{};
    identity.section_count = record->SectionCount;
    identity.expected_length = record->ExpectedLength;
    CopyName(record->AppName, identity.app_name);
    CopyName(record->ExeName, identity.exe_name);
    return identity;
}

}  // namespace pantrix
