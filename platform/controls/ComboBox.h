#pragma once
// The COMBOBOX class: a selection field with a list. Texts are Windows-1252 bytes.
//
// Kinds: CBS_SIMPLE (an edit with the list always shown below it), CBS_DROPDOWN (an edit and a
// button that drops the list down), CBS_DROPDOWNLIST (a field showing the selected item, and the
// list). The edit is a child window of the class EDIT (id 1001, subclassed by the combo box); the
// dropped-down list is a top-level popup of the class "ComboLBox" (see ListBoxControl.h), placed
// under the combo box (above it when the screen ends below), never activated, holding the
// capture while it is open: a press outside it closes it. A drop-down combo box is as high as its
// field; the height it was given (or is given later) is that of the combo box with its list.
//
// Styles: CBS_SORT, CBS_HASSTRINGS, CBS_OWNERDRAWFIXED (WM_MEASUREITEM for the field, itemID -1,
// and for the items; WM_DRAWITEM with ODT_COMBOBOX, ODS_COMBOBOXEDIT for the field),
// CBS_AUTOHSCROLL, CBS_UPPERCASE / CBS_LOWERCASE (typed text is converted), CBS_DISABLENOSCROLL,
// WS_VSCROLL (the list's scroll bar).
//
// Messages: the CB_ messages below, with the list box's answers (CB_ERR, CB_ERRSPACE); the edit
// messages answer CB_ERR for a drop-down list. WM_SETTEXT / WM_GETTEXT are the edit's text, or,
// without an edit, the selected item's (setting selects the item with that text, CB_ERR when
// there is none).
//
// Notifications (WM_COMMAND), only for what the user does: CBN_SELCHANGE, CBN_EDITUPDATE and
// CBN_EDITCHANGE (typing), CBN_SETFOCUS / CBN_KILLFOCUS (the focus comes into the combo box or
// its edit, or leaves both), CBN_DBLCLK (simple combo boxes), and around the list: CBN_DROPDOWN
// before it shows (the parent may fill it then), CBN_SELENDOK or CBN_SELENDCANCEL as it closes,
// then CBN_CLOSEUP, then CBN_SELCHANGE when a click chose another item. CB_SHOWDROPDOWN opens and
// closes as the user would (CBN_DROPDOWN; CBN_SELENDCANCEL and CBN_CLOSEUP).
//
// Keyboard: F4, Alt+Down and Alt+Up open and close the list (closing with F4 or Alt keeps what
// was chosen); while it is open the arrows, PgUp and PgDn move its selection, Enter chooses,
// Escape cancels; while it is closed the arrows change the selection (a drop-down list also takes
// Home, End and typed prefixes). With the extended user interface (CB_SETEXTENDEDUI) F4 does
// nothing and Down opens the list.
#include "platform/core/Window.h"

constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_OEMCONVERT = 0x0080;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;
constexpr DWORD CBS_UPPERCASE = 0x2000;
constexpr DWORD CBS_LOWERCASE = 0x4000;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_SETEXTENDEDUI = 0x0155;
constexpr UINT CB_GETEXTENDEDUI = 0x0156;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETTOPINDEX = 0x015B;
constexpr UINT CB_SETTOPINDEX = 0x015C;
constexpr UINT CB_GETHORIZONTALEXTENT = 0x015D;
constexpr UINT CB_SETHORIZONTALEXTENT = 0x015E;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr UINT CB_INITSTORAGE = 0x0161;

constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;

constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1);
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_EDITUPDATE = 6;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;

// The id of a combo box's edit.
constexpr UINT_PTR kComboEditId = 1001;
