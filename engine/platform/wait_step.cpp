#include "wait_step.h"

namespace {

// Dispatches one posted or timer message if there is one; delivers pending sent messages in
// any case (PeekMessage does that before it looks at the queue).
bool DispatchOneMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

}  // namespace

void WaitForThreadDeliveringSentMessages(HANDLE thread) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // the thread ended (or the wait failed)
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void WaitStep(const ProgressState& flags, HANDLE worker) {
    if (flags.IsSilent()) {
        if (worker) WaitForThreadDeliveringSentMessages(worker);
        return;
    }
    if (DispatchOneMessage()) return;
    const DWORD handles = worker ? 1 : 0;
    const DWORD woken = MsgWaitForMultipleObjectsEx(handles, worker ? &worker : nullptr, INFINITE,
                                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0 + handles) DispatchOneMessage();
}
