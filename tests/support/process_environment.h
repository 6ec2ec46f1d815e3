// Environment blocks for child processes started by tests.
#pragma once

#include <string>

// The environment of this process with TMP and TEMP set to `folder`, as the block that
// CreateProcessA takes.
std::string EnvironmentWithTemp(const std::string& folder);
