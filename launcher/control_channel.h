#pragma once

// The control channel: a thread that answers "status" and "dumpAllStacks" requests from other
// processes through named objects ending in the run identifier:
//   "Local\tolvimer-mem-" + id          2048 bytes of shared memory (request, reply)
//   "tolvimer-lock-" + id               mutex a client holds while it uses the memory
//   "tolvimer-start-event-" + id        auto-reset: a request is waiting
//   "tolvimer-end-event-" + id          auto-reset: the reply is ready
#include <jni.h>

namespace pantrix {

// The VM library's stack-dump export: prints every Java thread's stack to standard output.
using DumpAllStacksFunction = void(JNICALL*)(JNIEnv* env, jclass unused);

// Starts the thread, which runs for the life of the process. It ends at once when the shared
// memory cannot be created or already exists (another launcher with the same identifier).
void StartControlChannel(const char* run_identifier, const char* exe_name);

// The VM that stack dumps attach to, and its dump export (null when the library has none).
void ControlChannelSetVm(JavaVM* vm, DumpAllStacksFunction dump);
// Forgets the VM. Waits for a dump in progress to finish, and no dump starts afterwards, so
// the caller may destroy the VM once this returns.
void ControlChannelClearVm();

}  // namespace pantrix
