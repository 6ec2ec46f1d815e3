#pragma once

namespace pantrix {

// The launcher's program entry: start-up, sections, temporary folder, environment, the choice
// of the Java VM, then failure or success, and Exit. Never returns.
[[noreturn]] void RunMainSequence();

}  // namespace pantrix
