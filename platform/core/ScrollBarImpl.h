#pragma once
// Inside of the window layer: what DefWindowProc's non-client handling asks of the standard
// scroll bars (see ScrollBar.h). Only platform/core uses it.
#include "platform/core/ScrollBar.h"
#include "platform/core/WindowData.h"

namespace ScrollBarImpl {
// Takes the room of the bars the window shows from its client rectangle (WM_NCCALCSIZE).
void TakeRoom(const TWnd& W, RECT& Client);
// The client rectangle with the bars (window coordinates): what a client edge goes around.
RECT ClientWithBars(const TWnd& W);
// HTVSCROLL or HTHSCROLL on a bar, HTBOTTOMRIGHT on the corner between two bars of a sizable
// window, else HTNOWHERE. Local is in window coordinates.
LRESULT HitTest(const TWnd& W, POINT Local);
// Paints the bars the window shows on a context of the whole window.
void Paint(HDC WindowDC, const TWnd& W);
// Follows a press on a bar until the button is released (WM_SYSCOMMAND's SC_VSCROLL or
// SC_HSCROLL); the cursor says where the press is.
void Track(HWND Wnd, int Bar);
}  // namespace ScrollBarImpl
