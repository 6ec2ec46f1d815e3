#pragma once

// The launch record built into this program, as a packaging tool left it.
#include <cstdint>

#include "launch_record.h"

namespace pantrix {

struct LaunchIdentity {
    int32_t section_count;
    int32_t expected_length;
    char app_name[kLaunchNameSize + 1];  // always zero-terminated
    char exe_name[kLaunchNameSize + 1];
};

// Reads the record once; names without a zero byte are cut at 68 characters.
LaunchIdentity ReadBuiltInRecord();

}  // namespace pantrix
