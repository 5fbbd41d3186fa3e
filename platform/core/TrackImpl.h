#pragma once
// Inside of the window layer: the steps every tracking loop of the non-client area takes (the
// move and size loop, caption buttons, scroll bars). Only platform/core uses it.
#include "platform/core/Messages.h"

namespace TrackImpl {
// What a tracking loop looks at next: a message, or (none queued) the cursor and the button as
// the input left them. The loops follow the cursor and the button rather than mouse messages:
// input that came before the loop took the capture went wherever the cursor was, even outside
// every window, and still moved the cursor and the button.
enum class TNext { Message, State, Quit };
// Takes the next message out of the queue, or waits (no CPU) until something happens. WM_QUIT
// is posted again for the loop outside.
TNext NextInput(MSG& Msg);
bool IsMouseMessage(UINT Msg);
bool LeftButtonDown();
POINT CursorNow();
// The drag is over: the mouse messages it left in the queue (the button's release) are its own.
void DropDragMessages();
}  // namespace TrackImpl
