#pragma once
// Inside of the message layer: the steps the queue takes from the window, painting and host
// files. Only platform/core uses it.
#include <vector>

#include "platform/core/Messages.h"

namespace LoopImpl {
// Delivers a message taken from the queue to its window (hooks, paint bookkeeping); exceptions
// pass to the caller.
LRESULT DispatchQueued(const MSG& Msg);
// What every loop does with a message it took: the application's message hook first, then
// TranslateMessage and DispatchMessage.
void ProcessTaken(const MSG& Msg);
// The window inside Filter (0: any; children count) that needs painting first, parents before
// children, or 0. Windows in Skip are passed over.
HWND NextWindowToPaint(HWND Filter, const std::vector<HWND>* Skip = nullptr);
// Hosts of destroyed windows are deleted once no Qt event of theirs is being delivered.
void DeleteRetiredHosts();
// The application object goes away: every host goes with it.
void DestroyHosts();
}  // namespace LoopImpl
