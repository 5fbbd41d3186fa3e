#pragma once
// Small shared routines of the bar windows: the work area, the cursor, fonts of bars and the
// extent of a text, menu sounds, the message pumps of painting and the mouse, the pointer
// buttons and the tracking that tells a bar window the pointer has left it.
#include <functional>
#include <string>

#include "bars/model/dxBarTypes.h"
#include "platform/classes/MulDiv.h"
#include "platform/core/KeyboardLayout.h"
#include "platform/core/Window.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/RectMath.h"

// The tracked cursor position in screen coordinates.
TPoint CursorNow();

// The work area of the monitor nearest to a screen point.
TRect GetWorkArea(TPoint P);
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
