#pragma once
// The drag loop the bar windows and customizing follow the held mouse button with.
#include <functional>

#include "bars/model/dxBarTypes.h"
#include "platform/core/Messages.h"

// How a loop that follows a held mouse button (a drag, a caption button) waits when nothing is
// queued: briefly, and then it looks at the button itself (its release may have been taken by a
// pass that a handler ran meanwhile).
constexpr TModalLoop::TWait kDragWait = TModalLoop::TWait::Recheck;

// A drag that follows the held left button with the mouse captured by a window of the drag's
// own (windows that change form meanwhile never hold the capture), or by Holder, which then
// hears nothing of the pointer until the drag is over. OnMove runs for every move of the
// cursor, Always telling that the cursor may not have moved (a key asked for a new look);
// Ctrl pressed or let go asks for such a look at once; Esc ends the drag. Other keys are
// swallowed, everything else is dispatched. The drag also ends when the button comes up, the
// capture is taken away or Ended answers true.
TdxBarDragEnd RunDragLoop(const std::function<void(bool Always)>& OnMove,
                          const std::function<bool()>& Ended, HWND Holder = 0);
