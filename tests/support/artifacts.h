#pragma once

#include <string>

namespace qortest {

// Folder where tests leave files for people to look at (screenshots, logs), as a Windows
// path with a trailing backslash. Taken from QOR_ARTIFACTS; the current folder when unset.
std::string ArtifactsFolder();

// ArtifactsFolder() + name.
std::string ArtifactPath(const std::string& name);

}  // namespace qortest
