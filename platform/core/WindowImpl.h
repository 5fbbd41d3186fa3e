#pragma once
// Inside of the window layer: the steps the window, painting, non-client, focus and host files
// share. Only platform/core uses it.
#include <QRegion>

#include "platform/core/Limits.h"
#include "platform/core/WindowData.h"

namespace WindowImpl {
// Window rectangle of W in screen coordinates.
RECT ScreenRect(const TWnd& W);
// Client rectangle of W in screen coordinates.
RECT ClientScreenRect(const TWnd& W);
// Offset from W's client coordinates to screen coordinates.
POINT ClientOrigin(const TWnd& W);
// The top-level window that holds W (W itself for a top-level window).
TWndPtr TopLevelOf(const TWnd& W);
// Removes W from its parent's child list or the top-level list.
void Unlink(TWnd& W);
// Puts W into its parent's list (or the top-level list) at the place InsertAfter says.
void Link(TWnd& W, HWND InsertAfter);
// Takes the entry out of the table: focus, capture and activation forget it, its host goes.
void RemoveEntry(TWnd& W);
// Calls the window's procedure directly (no hooks): the step behind SendMessage and dispatch.
LRESULT CallProcedure(const TWndPtr& W, UINT Msg, WPARAM WParam, LPARAM LParam);
// CreateWindowEx's position and size, CW_USEDEFAULT resolved.
void DefaultPlacement(TWnd& W, int X, int Y, int Width, int Height);
// Asks the window for its client rectangle (WM_NCCALCSIZE with WParam FALSE).
void CalcClient(TWnd& W);
// WM_SIZE and WM_MOVE with the window's current client rectangle.
void SendSizeAndMove(TWnd& W);
// Invalidates what the window covers in its parent (children are repainted by the parent's
// invalidation); nothing for top-level windows.
void InvalidateWhereItIs(TWnd& W);
// The window manager put the top-level window at R (screen coordinates): the window follows
// through SetWindowPos, kept to its size limits (a window without a sizing border keeps its size).
void PlacedFromOutside(HWND Wnd, RECT R);
// Before a window goes: the focus, the capture and the activation leave it and its children,
// with their messages.
void LeaveFocusAndCapture(HWND Wnd);
// Forgets the window in the focus, capture and activation state without messages.
void ForgetWindow(HWND Wnd);
// The child window Wnd is hidden or disabled: a focus on it or inside it goes to the nearest
// ancestor that is visible and enabled (keys never go to a window the user cannot see or use).
void FocusLeaves(HWND Wnd);
// A top-level window that can become the active window.
bool Activatable(const TWnd& W);
// Activates another top-level window than Wnd (its owner first), or none.
void ActivateOther(HWND Wnd);
// SetActiveWindow with the way it came about (WA_ACTIVE, WA_CLICKACTIVE).
HWND Activate(HWND Wnd, WORD How);
// The platform says the program is no longer the active one (or is again).
void ApplicationDeactivated();
}  // namespace WindowImpl

namespace PaintImpl {
// WM_PAINT for the window: WM_NCPAINT first when the frame needs it; the update region is
// validated afterwards if the procedure did not begin painting.
LRESULT DispatchPaint(const TWndPtr& W);
// The window goes: its caret goes with it.
void ForgetWindow(TWnd& W);
// What of the screen W covers inside its ancestors (screen coordinates): its window region,
// clipped by the client areas and window regions of every window above it.
QRegion InsideAncestors(const TWnd& W);
// Region of W's client area (client coordinates) that W may paint on: its client rectangle,
// clipped by its ancestors' client areas, less its children (WS_CLIPCHILDREN) and the siblings
// above it (WS_CLIPSIBLINGS), within its window region.
QRegion VisibleClientRegion(const TWnd& W);
// The same for the whole window (window coordinates), for the non-client area.
QRegion VisibleWindowRegion(const TWnd& W);
}  // namespace PaintImpl

namespace NonClientImpl {
// Thickness of the frame on each side, caption included in top, for the styles.
RECT FrameInsets(DWORD Style, DWORD ExStyle);
LRESULT NcCalcSize(HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT NcHitTest(HWND Wnd, POINT Screen);
void NcPaint(HWND Wnd);
LRESULT NcActivate(HWND Wnd, WPARAM WParam);
LRESULT NcButtonDown(HWND Wnd, UINT Msg, WPARAM HitTest, LPARAM LParam);
LRESULT NcButtonDblClk(HWND Wnd, WPARAM HitTest);
LRESULT SysCommand(HWND Wnd, WPARAM Cmd, LPARAM LParam);
LRESULT SetCursorDefault(HWND Wnd, WPARAM WParam, LPARAM LParam);
// Fills MINMAXINFO with the defaults for the window (maximized to the work area, frame outside).
void DefaultMinMax(const TWnd& W, MINMAXINFO& Info);
}  // namespace NonClientImpl
