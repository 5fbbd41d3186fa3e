#pragma once
// Inside of the message layer: the steps the queue takes from the window, painting and host
// files. Only platform/core uses it.
#include "platform/core/Messages.h"

namespace LoopImpl {
// Delivers a message taken from the queue to its window (hooks, paint bookkeeping); exceptions
// pass to the caller.
LRESULT DispatchQueued(const MSG& Msg);
// What every loop does with a message it took: the application's message hook first, then
// TranslateMessage and DispatchMessage.
void ProcessTaken(const MSG& Msg);
// Sends WM_PAINT to every window that needs painting, each once, parents before children; true
// when it painted one.
bool PaintPending();
// The window inside Filter (0: any; children count) that needs painting first, or 0.
HWND NextWindowToPaint(HWND Filter);
// Hosts of destroyed windows are deleted once no Qt event of theirs is being delivered.
void DeleteRetiredHosts();
// The application object goes away: every host goes with it.
void DestroyHosts();
}  // namespace LoopImpl
