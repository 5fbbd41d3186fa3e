#pragma once
// The status bar ("msctls_statusbar32"): a bar of parts along the bottom of its parent, each
// with a text (Windows-1252 bytes) or drawn by the parent. It is drawn on the window's own
// surface, not by a Qt widget, so that what an owner-drawn part's parent draws is exactly what
// shows.
//
// Placement: on WM_SIZE (a parent sends it on to the bar when its own size changes, and the bar
// gets one when it is made) the bar takes the parent's client width and its own height, at the
// bottom of the parent; CCS_TOP puts it at the top, CCS_NOMOVEY keeps its top, CCS_NOPARENTALIGN
// keeps its place (the width still follows the parent), CCS_NORESIZE leaves place and size to the
// caller. The height is the font's text height with the borders, or more after SB_SETMINHEIGHT.
//
// Messages: SB_SETPARTS (the right edge of each part in client coordinates; -1 reaches the right
// edge of the bar), SB_GETPARTS, SB_SETTEXT (WParam: the part in the low byte, SB_SIMPLEID for
// the simple-mode text, with the SBT_ drawing type; LParam: the text, or the item data of an
// SBT_OWNERDRAW part), SB_GETTEXT / SB_GETTEXTLENGTH (MAKELONG(length, type); the item data for
// an owner-drawn part), SB_SIMPLE / SB_ISSIMPLE (one part across the whole bar with its own
// text), SB_SETMINHEIGHT, SB_GETRECT, SB_GETBORDERS, WM_SETFONT / WM_GETFONT, and WM_SETTEXT /
// WM_GETTEXT for the text of part 0.
// Drawing: each part has a sunken edge (SBT_NOBORDERS: none, SBT_POPOUT: raised); a text is
// drawn on one line, and tabs split it into a left, a centred and a right-aligned piece. An
// SBT_OWNERDRAW part sends WM_DRAWITEM to the parent (DRAWITEMSTRUCT: CtlType 0, itemID the
// part, rcItem inside its edge, itemData the item data) with a context that may touch only that
// rectangle. SBARS_SIZEGRIP draws the sizing grip at the right end; over it the bar answers
// WM_NCHITTEST with HTBOTTOMRIGHT while its top-level window can be sized, and a press there
// sizes that window.
#include "platform/controls/CommonControls.h"

// Styles.
constexpr DWORD SBARS_SIZEGRIP = 0x0100;
constexpr DWORD SBARS_TOOLTIPS = 0x0800;

// Messages.
constexpr UINT SB_SETTEXT = WM_USER + 1;
constexpr UINT SB_GETTEXT = WM_USER + 2;
constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;
constexpr UINT SB_SETPARTS = WM_USER + 4;
constexpr UINT SB_GETPARTS = WM_USER + 6;
constexpr UINT SB_GETBORDERS = WM_USER + 7;
constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;
constexpr UINT SB_ISSIMPLE = WM_USER + 14;

// The part index of the simple-mode text.
constexpr WPARAM SB_SIMPLEID = 0x00FF;

// Drawing types of a part's text (SB_SETTEXT's WParam, SB_GETTEXT's high word).
constexpr UINT SBT_OWNERDRAW = 0x1000;
constexpr UINT SBT_NOBORDERS = 0x0100;
constexpr UINT SBT_POPOUT = 0x0200;
constexpr UINT SBT_RTLREADING = 0x0400;
constexpr UINT SBT_NOTABPARSING = 0x0800;
