#pragma once

// Standard output through a pipe that a pump thread empties, so that everything the process
// writes (the Java VM's console output included) can be sent elsewhere for a while: the
// stack dump of the control channel points the pump at a file through the dump target.

namespace pantrix {

// Creates the pipe and the pump thread and makes the pipe the process's standard output.
// Silent on failure: output then goes to the process's own standard output.
void InstallOutputPipe();

// The descriptor the pump writes to instead of the saved output while it is positive; 0 or
// less clears it. Written by the control thread, read by the pump thread.
void SetOutputDumpTarget(int descriptor);

// Waits (at most about two seconds) until the pump has passed on everything written to the
// pipe so far. Exit calls it, so that the last lines are not lost when the process ends while
// they are still in the pipe.
void OutputPipeDrain();

}  // namespace pantrix
