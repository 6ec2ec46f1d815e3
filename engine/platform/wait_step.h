#pragma once

#include <windows.h>

#include "progress.h"

// One step of the main thread's wait while a worker thread runs (the loop of a long
// operation calls it once per pass).
//
// Not silent: processes one window message, waiting for one when none is queued, and returns
// after it: a posted or timer message is dispatched; messages that other threads send (the
// worker's WM_NULL wake-up) are delivered. It also returns when the given worker thread ends,
// so a worker that ends without a last message does not leave the loop waiting for the next
// timer tick.
//
// Silent: waits until the worker thread has ended, delivering the messages that other threads
// send meanwhile (the worker's wake-up is sent synchronously and would otherwise block it);
// returns at once when no worker is given.
void WaitStep(const ProgressState& flags, HANDLE worker);

// Waits until `thread` has ended, delivering sent messages while it waits.
void WaitForThreadDeliveringSentMessages(HANDLE thread);
