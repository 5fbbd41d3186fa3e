#pragma once
// The tab control ("SysTabControl32"): a row (or rows) of tabs above a display area in which the
// program places its pages. Tab texts are Windows-1252 bytes ('&' marks an accelerator, "&&" is
// one '&'). The control is drawn on its window's own surface, not by a Qt widget: the pages are
// windows of the program lying over the display area, and they show above the control as any
// child shows above its parent.
//
// Styles: TCS_TABS (tabs above a raised pane) or TCS_BUTTONS (push buttons, no pane);
// TCS_MULTILINE (tabs wrap into rows that fill the width; the row of the selected tab is the one
// next to the pane) or one line that scrolls with two arrow buttons when the tabs do not fit;
// TCS_FOCUSNEVER (a click does not take the focus).
//
// Messages: TCM_INSERTITEM (the first tab becomes the selected one), TCM_DELETEITEM,
// TCM_DELETEALLITEMS, TCM_GETITEMCOUNT, TCM_GETITEM / TCM_SETITEM (text, image, item data,
// state), TCM_GETCURSEL / TCM_SETCURSEL (no notification), TCM_GETCURFOCUS / TCM_SETCURFOCUS
// (selects as the user would, with notifications), TCM_ADJUSTRECT (FALSE: the display area of a
// window rectangle; TRUE: the window rectangle of a display area), TCM_GETITEMRECT, TCM_HITTEST,
// TCM_SETIMAGELIST / GETIMAGELIST, TCM_GETROWCOUNT, WM_SETFONT / WM_GETFONT.
// Notifications (WM_NOTIFY): TCN_SELCHANGING (answer TRUE keeps the old tab) and TCN_SELCHANGE
// when the user (or TCM_SETCURFOCUS) selects another tab; TCN_KEYDOWN (NMTCKEYDOWN) for each key
// before the control acts on it; NM_CLICK when the button goes up over the control.
// Keys: Left and Right select the neighbouring tab, Home and End the first and the last.
#include "platform/controls/CommonControls.h"

// Styles.
constexpr DWORD TCS_TABS = 0x0000;
constexpr DWORD TCS_BUTTONS = 0x0100;
constexpr DWORD TCS_SINGLELINE = 0x0000;
constexpr DWORD TCS_MULTILINE = 0x0200;
constexpr DWORD TCS_RAGGEDRIGHT = 0x0800;
constexpr DWORD TCS_FOCUSONBUTTONDOWN = 0x1000;
constexpr DWORD TCS_FOCUSNEVER = 0x8000;

// Messages.
constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEM = TCM_FIRST + 5;
constexpr UINT TCM_SETITEM = TCM_FIRST + 6;
constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_GETROWCOUNT = TCM_FIRST + 44;
constexpr UINT TCM_GETCURFOCUS = TCM_FIRST + 47;
constexpr UINT TCM_SETCURFOCUS = TCM_FIRST + 48;

// Item fields (TCITEM::mask).
constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;
constexpr UINT TCIF_STATE = 0x0010;

// TCM_HITTEST's answers.
constexpr UINT TCHT_NOWHERE = 0x0001;
constexpr UINT TCHT_ONITEMICON = 0x0002;
constexpr UINT TCHT_ONITEMLABEL = 0x0004;
constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

// Notifications.
constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};

struct TCHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
};

struct NMTCKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};
