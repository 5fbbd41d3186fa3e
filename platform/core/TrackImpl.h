#pragma once
// Inside of the window layer: the steps every tracking loop of the non-client area takes (the
// move and size loop, caption buttons, scroll bars). Only platform/core uses it.
#include "platform/core/Messages.h"

namespace TrackImpl {
// A tracking loop runs on TModalLoop, waiting (no CPU) for news: it looks at a message, or
// (none queued) at the cursor and the button as the input left them. The loops follow the cursor
// and the button rather than mouse messages: input that came before the loop took the capture
// went wherever the cursor was, even outside every window, and still moved the cursor and the
// button.
using TNext = TModalLoop::TNext;
constexpr TModalLoop::TWait kTrackWait = TModalLoop::TWait::News;
bool IsMouseMessage(UINT Msg);
bool LeftButtonDown();
// The drag is over: the mouse messages it left in the queue (the button's release) are its own.
// A WM_QUIT among them stays for the loop outside.
void DropDragMessages();
}  // namespace TrackImpl
