#pragma once
// What the common controls (list view, tree view, tab control, status bar, up-down) share: the
// WM_NOTIFY codes every one of them may send, the CCS_ styles of the bars that place themselves,
// and the image-index conventions. Item texts sort and compare as ItemTexts.h says.
//
// Notification codes are negative numbers carried in NMHDR::code (a UINT); the ranges of the
// classes do not overlap, so a parent can tell them apart without looking at the sender's class.
#include "platform/core/Window.h"

// Codes every common control may send.
constexpr UINT NM_FIRST = 0;
constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;
constexpr UINT NM_CUSTOMDRAW = NM_FIRST - 12;

// The first codes of each class's own notifications.
constexpr UINT LVN_FIRST = 0u - 100u;
constexpr UINT TVN_FIRST = 0u - 400u;
constexpr UINT TCN_FIRST = 0u - 550u;
constexpr UINT UDN_FIRST = 0u - 721u;

// Styles of bars that place themselves along an edge of their parent (the status bar).
constexpr DWORD CCS_TOP = 0x0001;
constexpr DWORD CCS_NOMOVEY = 0x0002;
constexpr DWORD CCS_BOTTOM = 0x0003;
constexpr DWORD CCS_NORESIZE = 0x0004;
constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
constexpr DWORD CCS_ADJUSTABLE = 0x0020;
constexpr DWORD CCS_NODIVIDER = 0x0040;
constexpr DWORD CCS_VERT = 0x0080;

// The state-image bits of list and tree items: index 0 is no state image, n draws image n of the
// state image list.
constexpr UINT STATEIMAGEMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT Index) {
    return (Index & 0xF) << 12;
}
constexpr UINT STATEIMAGEINDEX(UINT State) {
    return (State & STATEIMAGEMASK) >> 12;
}

// Key flags that keyboard notifications carry with the virtual key (repeat count, scan code...):
// the key data of the WM_KEYDOWN that caused them, cut to 32 bits.
constexpr UINT KeyFlagsOf(LPARAM KeyData) {
    return static_cast<UINT>(static_cast<std::uintptr_t>(KeyData) & 0xFFFFFFFFu);
}
