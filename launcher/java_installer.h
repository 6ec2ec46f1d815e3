#pragma once

// Running the Java runtime installer that a launcher may carry in a 'J' section.

namespace pantrix {

// Does nothing and returns false when path is empty or names no file. Otherwise, after an
// information box when announce is set, runs the installer with the launcher's standard
// handles, waits for it to end however long it takes, and returns true (also when it could
// not be started: the caller then looks for a runtime once more and reports what it finds).
bool RunJavaInstaller(const char* path, bool announce);

}  // namespace pantrix
