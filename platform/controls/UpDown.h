#pragma once
// The up-down control ("msctls_updown32"): a pair of arrow buttons that step a position within a
// range, usually beside a buddy window (an edit) that shows the position. It is drawn on its
// window's own surface.
//
// Styles: UDS_SETBUDDYINT (the buddy's text is the position, in base 10 with the locale's digit
// grouping unless UDS_NOTHOUSANDS, or in base 16; the buddy's text is read back before each step),
// UDS_ALIGNRIGHT / UDS_ALIGNLEFT (the control moves onto the buddy's right or left edge, as tall
// as the buddy, and the buddy gets narrower by the control's width), UDS_AUTOBUDDY (the sibling
// made just before it is the buddy), UDS_ARROWKEYS (Up and Down in the buddy step too), UDS_WRAP
// (stepping past an end goes on from the other end), UDS_HORZ (left and right arrows).
//
// Messages: UDM_SETRANGE32 / UDM_GETRANGE32 (and the 16-bit UDM_SETRANGE / UDM_GETRANGE),
// UDM_SETPOS32 / UDM_GETPOS32 (and UDM_SETPOS / UDM_GETPOS), UDM_SETBUDDY / UDM_GETBUDDY,
// UDM_SETBASE / UDM_GETBASE. The position is kept inside the range; the range may run
// backwards (the default is 100 down to 0: the up arrow steps towards the upper end, whichever
// way that is).
// Notifications: UDN_DELTAPOS (NMUPDOWN: the position and the step; answer TRUE refuses the
// step, or change iDelta) before every step; after a step that moved the position, WM_VSCROLL
// (WM_HSCROLL for UDS_HORZ) to the parent with MAKEWPARAM(SB_THUMBPOSITION, position) and the
// control's handle; SB_ENDSCROLL when the button is let go. A held button repeats.
#include "platform/controls/CommonControls.h"
#include "platform/core/ScrollBar.h"

// Styles.
constexpr DWORD UDS_WRAP = 0x0001;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_HORZ = 0x0040;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;

// Messages.
constexpr UINT UDM_SETRANGE = WM_USER + 101;
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT UDM_GETPOS = WM_USER + 104;
constexpr UINT UDM_SETBUDDY = WM_USER + 105;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETBASE = WM_USER + 109;
constexpr UINT UDM_GETBASE = WM_USER + 110;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
constexpr UINT UDM_SETPOS32 = WM_USER + 113;
constexpr UINT UDM_GETPOS32 = WM_USER + 114;

// The limits of the 16-bit range messages.
constexpr int UD_MAXVAL = 0x7FFF;
constexpr int UD_MINVAL = -UD_MAXVAL;

// Scroll codes of the WM_VSCROLL / WM_HSCROLL it sends: SB_THUMBPOSITION, SB_ENDSCROLL.

// Notifications.
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;

struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};
