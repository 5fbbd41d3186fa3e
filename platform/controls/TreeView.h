#pragma once
// The tree view ("SysTreeView32"): items in a hierarchy, each with a text (Windows-1252 bytes),
// a normal image and a selected image, a state image, a state and an item data value. Items are
// named by handles (HTREEITEM) that are never reused while the control lives: a handle of a
// deleted item is refused, never taken for another item.
//
// Styles: TVS_HASBUTTONS (a box with + or - before items that have children), TVS_HASLINES
// (dotted lines between items), TVS_LINESATROOT (lines and buttons at the root level too),
// TVS_SHOWSELALWAYS (the selection shows in the button-face colour without the focus),
// TVS_TRACKSELECT (the item under the mouse is underlined in the hot-tracking colour), TVS_
// NONEVENHEIGHT. Labels are not edited here (TVS_EDITLABELS is accepted and ignored), and
// TVS_FULLROWSELECT is accepted but the selection shows behind the label as without it.
//
// Messages: TVM_INSERTITEM (TVI_ROOT, TVI_FIRST, TVI_LAST, TVI_SORT or after an item),
// TVM_DELETEITEM (TVI_ROOT or 0: every item), TVM_GETNEXTITEM (TVGN_...), TVM_SELECTITEM (caret,
// drop highlight, first visible), TVM_EXPAND (TVE_EXPAND / COLLAPSE / TOGGLE, TVE_COLLAPSERESET),
// TVM_GETITEM / TVM_SETITEM (TVIF_HANDLE needed), TVM_GETCOUNT, TVM_SETIMAGELIST / GETIMAGELIST
// (TVSIL_NORMAL, TVSIL_STATE; set the same list again after changing its pictures),
// TVM_SETINDENT / GETINDENT, TVM_SETITEMHEIGHT / GETITEMHEIGHT, TVM_SORTCHILDREN(CB), colours,
// WM_SETREDRAW (begin and end of an update); and, with the Qt widget only, TVM_HITTEST,
// TVM_GETITEMRECT (the RECT holds the item's handle on the way in: see TreeViewItemRect),
// TVM_ENSUREVISIBLE, TVM_GETVISIBLECOUNT and TVGN_FIRSTVISIBLE.
//
// Notifications (WM_NOTIFY, NMTREEVIEW unless said otherwise):
//   TVN_SELCHANGING (answer TRUE refuses) and TVN_SELCHANGED when the selection moves, with the
//     action TVC_BYMOUSE, TVC_BYKEYBOARD or TVC_UNKNOWN (TVM_SELECTITEM, or the selected item was
//     deleted: then the answer cannot keep it);
//   TVN_ITEMEXPANDING (answer TRUE refuses) and TVN_ITEMEXPANDED, action TVE_EXPAND or
//     TVE_COLLAPSE: always for the user, for TVM_EXPAND only until the item was expanded once
//     (TVIS_EXPANDEDONCE; TVE_COLLAPSERESET clears it);
//   TVN_DELETEITEM for every item that goes (itemOld: handle and item data), children first;
//   TVN_KEYDOWN (NMTVKEYDOWN) for each key before the tree acts on it;
//   NM_CLICK, NM_DBLCLK (answer 0: the item's expansion toggles), NM_RCLICK (answer 0:
//     WM_CONTEXTMENU follows), NM_RETURN, NM_SETFOCUS, NM_KILLFOCUS (plain NMHDR).
// Mouse: a press on an item's button toggles its expansion; a press on its state image, image or
// label selects it (a click on the state image changes nothing else: the program decides what it
// means); a right press selects nothing. Keys: the arrows, Home, End, Page Up / Down, Backspace
// (the parent), + and - (expand, collapse), * (expand everything below), Return (NM_RETURN).
#include <cstdint>

#include "platform/controls/CommonControls.h"

// An item handle; 0 is none.
using HTREEITEM = std::uintptr_t;

constexpr HTREEITEM TVI_ROOT = static_cast<HTREEITEM>(-0x10000);
constexpr HTREEITEM TVI_FIRST = static_cast<HTREEITEM>(-0x0FFFF);
constexpr HTREEITEM TVI_LAST = static_cast<HTREEITEM>(-0x0FFFE);
constexpr HTREEITEM TVI_SORT = static_cast<HTREEITEM>(-0x0FFFD);

// Styles.
constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;
constexpr DWORD TVS_NONEVENHEIGHT = 0x4000;

// Messages.
constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEM = TV_FIRST + 0;
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETITEM = TV_FIRST + 12;
constexpr UINT TVM_SETITEM = TV_FIRST + 13;
constexpr UINT TVM_GETVISIBLECOUNT = TV_FIRST + 16;
constexpr UINT TVM_HITTEST = TV_FIRST + 17;
constexpr UINT TVM_SORTCHILDREN = TV_FIRST + 19;
constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
constexpr UINT TVM_SORTCHILDRENCB = TV_FIRST + 21;
constexpr UINT TVM_SETITEMHEIGHT = TV_FIRST + 27;
constexpr UINT TVM_GETITEMHEIGHT = TV_FIRST + 28;
constexpr UINT TVM_SETBKCOLOR = TV_FIRST + 29;
constexpr UINT TVM_SETTEXTCOLOR = TV_FIRST + 30;
constexpr UINT TVM_GETBKCOLOR = TV_FIRST + 31;
constexpr UINT TVM_GETTEXTCOLOR = TV_FIRST + 32;

// TVM_EXPAND.
constexpr WPARAM TVE_COLLAPSE = 0x0001;
constexpr WPARAM TVE_EXPAND = 0x0002;
constexpr WPARAM TVE_TOGGLE = 0x0003;
constexpr WPARAM TVE_COLLAPSERESET = 0x8000;

// TVM_SETIMAGELIST.
constexpr WPARAM TVSIL_NORMAL = 0;
constexpr WPARAM TVSIL_STATE = 2;

// TVM_GETNEXTITEM and TVM_SELECTITEM.
constexpr WPARAM TVGN_ROOT = 0x0000;
constexpr WPARAM TVGN_NEXT = 0x0001;
constexpr WPARAM TVGN_PREVIOUS = 0x0002;
constexpr WPARAM TVGN_PARENT = 0x0003;
constexpr WPARAM TVGN_CHILD = 0x0004;
constexpr WPARAM TVGN_FIRSTVISIBLE = 0x0005;
constexpr WPARAM TVGN_NEXTVISIBLE = 0x0006;
constexpr WPARAM TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr WPARAM TVGN_DROPHILITE = 0x0008;
constexpr WPARAM TVGN_CARET = 0x0009;
constexpr WPARAM TVGN_LASTVISIBLE = 0x000A;

// Item fields (TVITEM::mask) and states.
constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_CUT = 0x0004;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
constexpr UINT TVIS_STATEIMAGEMASK = STATEIMAGEMASK;

// Selection change actions (NMTREEVIEW::action).
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

// TVM_HITTEST's answers (TVHITTESTINFO::flags).
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
constexpr UINT TVHT_ABOVE = 0x0100;
constexpr UINT TVHT_BELOW = 0x0200;
constexpr UINT TVHT_TORIGHT = 0x0400;
constexpr UINT TVHT_TOLEFT = 0x0800;

// Notifications.
constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1;
constexpr UINT TVN_SELCHANGED = TVN_FIRST - 2;
constexpr UINT TVN_ITEMEXPANDING = TVN_FIRST - 5;
constexpr UINT TVN_ITEMEXPANDED = TVN_FIRST - 6;
constexpr UINT TVN_DELETEITEM = TVN_FIRST - 9;
constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;

struct TVITEM {
    UINT mask = 0;
    HTREEITEM hItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};

struct TVINSERTSTRUCT {
    HTREEITEM hParent = 0;
    HTREEITEM hInsertAfter = TVI_LAST;
    TVITEM item;
};

struct TVHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    HTREEITEM hItem = 0;
};

struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    TVITEM itemOld;
    TVITEM itemNew;
    POINT ptDrag{};
};

struct NMTVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};

// TVM_SORTCHILDRENCB: compares the item data of two children; negative when the first goes
// first.
using PFNTVCOMPARE = int (*)(LPARAM Item1, LPARAM Item2, LPARAM Sort);
struct TVSORTCB {
    HTREEITEM hParent = 0;
    PFNTVCOMPARE lpfnCompare = nullptr;
    LPARAM lParam = 0;
};

// TVM_GETITEMRECT takes the item's handle in the RECT it fills: this puts it there and sends the
// message. TextOnly: the label's rectangle, else the item's whole line.
BOOL TreeViewItemRect(HWND Tree, HTREEITEM Item, BOOL TextOnly, RECT* Rect);
