#pragma once
// Inside of the window layer: how painting and scrolling keep the caret out of their way.
#include "platform/classes/WinTypes.h"

namespace CaretImpl {
// Painting of Wnd begins: the caret, when it is in Wnd and drawn, is taken off the surface.
void HideForPaint(HWND Wnd);
// Painting of Wnd ended: the caret comes back as it was.
void ShowAfterPaint(HWND Wnd);
// Wnd's pixels in Area (client coordinates) moved by (Dx, Dy): a caret there moves with them.
void Scrolled(HWND Wnd, int Dx, int Dy, const RECT& Area);
// The window goes: its caret is destroyed without drawing.
void ForgetWindow(HWND Wnd);
}  // namespace CaretImpl
