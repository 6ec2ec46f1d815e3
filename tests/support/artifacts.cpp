#include "artifacts.h"

#include <cstdlib>

namespace qortest {

std::string ArtifactsFolder() {
    const char* folder = std::getenv("QOR_ARTIFACTS");
    std::string result = folder ? folder : ".";
    if (result.empty() || result.back() != '\\') result += '\\';
    return result;
}

std::string ArtifactPath(const std::string& name) { return ArtifactsFolder() + name; }

}  // namespace qortest
