#pragma once
// Small shared routines of the framework: arithmetic and rectangles, accelerator characters,
// the work area, the point of a mouse message and the cursor, item widths, fonts of bars, menu
// sounds, the message pumps of painting and the mouse, the pointer buttons and the tracking that
// tells a bar window the pointer has left it.
#include <functional>
#include <string>

#include "bars/dxBarTypes.h"
#include "platform/core/Window.h"
#include "platform/gdi/Graphics.h"

// A * B / C rounded to the nearest integer (halves away from zero); -1 when C is 0 or the
// result does not fit an int.
int MulDiv(int A, int B, int C);

inline bool IsRectEmpty(const TRect& R) {
    return R.Right <= R.Left || R.Bottom <= R.Top;
}
inline bool PtInRect(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
inline TRect InflatedRect(TRect R, int DX, int DY) {
    return TRect{R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY};
}
inline TRect OffsetRect(TRect R, int DX, int DY) {
    return TRect{R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}

// The point a mouse message carries in LParam (client coordinates, or screen coordinates for
// the non-client messages).
inline TPoint PointOf(LPARAM LParam) {
    return TPoint{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
}

// The tracked cursor position in screen coordinates.
TPoint CursorNow();

// The text without accelerator marks: "&&" becomes "&", an "&" at the very end stays.
std::string RemoveAccelChars(const std::string& Text);
// The position of the accelerator character (after the last single "&"; "&&" is a literal
// ampersand), std::string::npos when the text has none.
size_t AccelCharPos(const std::string& Text);

// The key that types a character on the US layout: the virtual key in the low byte, the shift
// state in the high byte (1 Shift, 2 Ctrl); -1 for a character no key types.
SHORT VkKeyScan(char C);

// The work area of the monitor nearest to a screen point.
TRect GetWorkArea(TPoint P);
// Limits an item width to 20 through 600.
void CheckWidth(int& Width);
int GetSmallCaptionHeight();

// Replaces Handle (deleting the old one) with a font for bars: Font's logical font, with
// UseSystemFont the icon-title font's height but characters at least 11 pixels high.
void CreateBarFont(const TFont& Font, HFONT& Handle, bool UseSystemFont);
HFONT CopyFontHandle(HFONT Font);
// The size of a text in a font, measured on the screen.
TSize TextExtentOf(HFONT Font, const std::string& Text);

enum TdxBarMenuSound { msMenuPopup, msMenuCommand };
void PlayMenuSound(TdxBarMenuSound Sound);

// Dispatches the pending paint messages, or the pending mouse messages.
void ProcessPaintMessages();
void ProcessMouseMessages();

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

// The logical left and right buttons (swapped buttons swap them).
bool IsPrimaryButtonDown();
bool IsSecondaryButtonDown();

// Mouse-leave tracking: the window gets WM_MOUSELEAVE once the pointer leaves it.
void StartMouseTracking(HWND Wnd);
void StopMouseTracking(HWND Wnd);
bool IsMouseTracked(HWND Wnd);
