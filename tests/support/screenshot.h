#pragma once

#include <string>

namespace qortest {

// Saves the whole display as a 24-bit BMP file under the artefact folder; the Xvfb helper
// turns it into name.png after the test. Returns false when the display cannot be read or
// the file cannot be written.
bool SaveScreenshot(const std::string& name);

}  // namespace qortest
