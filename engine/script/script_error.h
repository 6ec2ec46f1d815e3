#pragma once

#include <stdexcept>
#include <string>

// A failure that ends the run of the setup script: the runner shows its message with the
// statement number ("Runtime error in setup script:"). Any command, and the variable store,
// may raise it; everything else reports failures through return values.
class ScriptError : public std::runtime_error {
  public:
    explicit ScriptError(const std::string& message) : std::runtime_error(message) {}
};
