#pragma once
// The LISTBOX class: a list of items the control draws itself on its window's surface, or lets
// its parent draw (owner draw). Texts are Windows-1252 bytes.
//
// Styles: LBS_NOTIFY (LBN_SELCHANGE, LBN_DBLCLK, LBN_SELCANCEL go to the parent), LBS_SORT (added
// items are sorted: case does not count, accented letters sort with their base letter),
// LBS_HASSTRINGS, LBS_OWNERDRAWFIXED / LBS_OWNERDRAWVARIABLE (WM_MEASUREITEM once at creation or
// once per item, WM_DRAWITEM per item, WM_DELETEITEM when items go; without LBS_HASSTRINGS an
// item's "string" is its data value and sorting asks the parent with WM_COMPAREITEM),
// LBS_MULTIPLESEL (a click or Space toggles an item), LBS_EXTENDEDSEL (Shift and Ctrl extend),
// LBS_NOSEL, LBS_NOINTEGRALHEIGHT (without it the height is cut to whole items),
// LBS_WANTKEYBOARDINPUT (WM_VKEYTOITEM, and WM_CHARTOITEM for owner-drawn lists without strings),
// LBS_DISABLENOSCROLL (the scroll bar stays, greyed, when not needed), WS_VSCROLL / WS_HSCROLL
// (the window's own scroll bars, shown when needed; GetScrollInfo reads them), WS_BORDER /
// WS_EX_CLIENTEDGE.
//
// Messages: the LB_ messages below with the classic answers: LB_ERR for a bad index or a message
// the selection mode does not take, LB_ERRSPACE when an item does not fit the limits; searches
// start after the given item, wrap around and compare without case. Selection changed by
// messages is never notified; LBN_SELCHANGE comes from the user only. LBN_SETFOCUS and
// LBN_KILLFOCUS are sent always; LBN_SELCANCEL when the capture is taken away while the user
// selects with the mouse. WM_CTLCOLORLISTBOX asks the parent for the colours whenever the
// list paints.
//
// Keyboard: arrows, Home/End, PgUp/PgDn move the caret (and the selection, as the mode says);
// typed characters search for an item by prefix (characters typed in quick succession make one
// prefix). Mouse: a press selects the item under it (the nearest item below the last one), a
// drag with the button held follows the pointer.
#include "platform/core/Window.h"

constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOREDRAW = 0x0004;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_MULTICOLUMN = 0x0200;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD LBS_NODATA = 0x2000;
constexpr DWORD LBS_NOSEL = 0x4000;
// The list of a combo box (the class "ComboLBox"); set by the combo box itself.
constexpr DWORD LBS_COMBOBOX = 0x8000;
constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;

constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_SELITEMRANGEEX = 0x0183;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_GETSELITEMS = 0x0191;
constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;
constexpr UINT LB_SETCOLUMNWIDTH = 0x0195;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SELITEMRANGE = 0x019B;
constexpr UINT LB_SETANCHORINDEX = 0x019C;
constexpr UINT LB_GETANCHORINDEX = 0x019D;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_INITSTORAGE = 0x01A8;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;

constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;

constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2);
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SELCANCEL = 3;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;
