#pragma once
// The list view ("SysListView32"): items with texts, sub-item texts, an image, a state and an
// item data value, shown as a report (rows under a header of columns), as large icons, as small
// icons or as a list. Texts are Windows-1252 bytes.
//
// Styles: LVS_REPORT / LVS_ICON / LVS_SMALLICON / LVS_LIST (the view, which may change at run
// time through GWL_STYLE: items, selection and focus stay), LVS_SINGLESEL, LVS_SHOWSELALWAYS (the
// selection shows in the button-face colour while the list has no focus), LVS_SORTASCENDING /
// LVS_SORTDESCENDING (items are inserted where their text sorts, see ItemTexts.h),
// LVS_NOCOLUMNHEADER, LVS_NOSORTHEADER (header buttons do not press); WS_EX_CLIENTEDGE gives the
// sunken frame. Extended styles (LVM_SETEXTENDEDLISTVIEWSTYLE): LVS_EX_FULLROWSELECT,
// LVS_EX_GRIDLINES.
//
// Messages: the column messages (LVM_INSERTCOLUMN, LVM_SETCOLUMN, LVM_GETCOLUMN,
// LVM_DELETECOLUMN, LVM_SETCOLUMNWIDTH with LVSCW_AUTOSIZE / LVSCW_AUTOSIZE_USEHEADER,
// LVM_GETCOLUMNWIDTH); the item messages (LVM_INSERTITEM, LVM_SETITEM, LVM_GETITEM,
// LVM_SETITEMTEXT, LVM_GETITEMTEXT, LVM_DELETEITEM, LVM_DELETEALLITEMS, LVM_GETITEMCOUNT,
// LVM_SETITEMSTATE (item -1: every item), LVM_GETITEMSTATE, LVM_GETNEXTITEM,
// LVM_GETSELECTEDCOUNT, LVM_FINDITEM, LVM_SORTITEMS); LVM_SETIMAGELIST (normal, small and state
// lists; set the same list again after changing its pictures), LVM_GETIMAGELIST; the geometry
// messages (LVM_GETITEMRECT, LVM_HITTEST, LVM_ENSUREVISIBLE, LVM_GETTOPINDEX,
// LVM_GETCOUNTPERPAGE), which need the Qt widget and fail without one; colours (LVM_SETBKCOLOR,
// LVM_SETTEXTCOLOR, LVM_SETTEXTBKCOLOR and the GET messages); LVM_REDRAWITEMS, LVM_UPDATE;
// WM_SETREDRAW.
//
// Notifications (WM_NOTIFY to the parent):
//   LVN_ITEMCHANGING (answer TRUE refuses the change) and LVN_ITEMCHANGED, with NMLISTVIEW
//     (uChanged LVIF_STATE, uOldState, uNewState), for every change of an item's state, by the
//     user or by a message; a text, image or data change set with LVM_SETITEM says LVIF_TEXT...
//     in uChanged. Moving the focus to an item takes it from the item that had it first.
//   LVN_INSERTITEM after an item is inserted; LVN_DELETEITEM before an item goes (its lParam is
//     in NMLISTVIEW::lParam, for owners that keep objects there); LVN_DELETEALLITEMS before
//     LVM_DELETEALLITEMS empties the list (iItem -1; answering TRUE spares the LVN_DELETEITEM per
//     item).
//   LVN_COLUMNCLICK (iSubItem: the column) when a header button is clicked.
//   LVN_KEYDOWN (NMLVKEYDOWN) for every key pressed while the list has the focus, before the list
//     acts on it.
//   NM_CLICK, NM_DBLCLK, NM_RCLICK (NMITEMACTIVATE: the item under the mouse or -1, the point)
//     when the button goes up, after the selection changed; NM_RCLICK answered 0 lets
//     WM_CONTEXTMENU follow. NM_SETFOCUS and NM_KILLFOCUS.
// Mouse: a click selects the item under the mouse (and only it), Ctrl+click toggles it,
// Shift+click selects from the last clicked item; a click on no item clears the selection. A
// right click selects an item that is not selected yet. Keys: the arrows, Home, End, Page Up and
// Page Down move the focus and the selection (Shift extends it, Ctrl moves only the focus), Space
// selects the focused item (Ctrl+Space toggles it).
#include "platform/controls/CommonControls.h"

// Styles.
constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_SORTASCENDING = 0x0010;
constexpr DWORD LVS_SORTDESCENDING = 0x0020;
constexpr DWORD LVS_SHAREIMAGELISTS = 0x0040;
constexpr DWORD LVS_NOLABELWRAP = 0x0080;
constexpr DWORD LVS_AUTOARRANGE = 0x0100;
constexpr DWORD LVS_EDITLABELS = 0x0200;
constexpr DWORD LVS_NOSCROLL = 0x2000;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

// Extended styles.
constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr DWORD LVS_EX_SUBITEMIMAGES = 0x0002;
constexpr DWORD LVS_EX_CHECKBOXES = 0x0004;
constexpr DWORD LVS_EX_TRACKSELECT = 0x0008;
constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x0010;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;

// Messages.
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETBKCOLOR = LVM_FIRST + 0;
constexpr UINT LVM_SETBKCOLOR = LVM_FIRST + 1;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETITEM = LVM_FIRST + 5;
constexpr UINT LVM_SETITEM = LVM_FIRST + 6;
constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_FINDITEM = LVM_FIRST + 13;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
constexpr UINT LVM_GETCOLUMN = LVM_FIRST + 25;
constexpr UINT LVM_SETCOLUMN = LVM_FIRST + 26;
constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_GETTEXTCOLOR = LVM_FIRST + 35;
constexpr UINT LVM_SETTEXTCOLOR = LVM_FIRST + 36;
constexpr UINT LVM_GETTEXTBKCOLOR = LVM_FIRST + 37;
constexpr UINT LVM_SETTEXTBKCOLOR = LVM_FIRST + 38;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr UINT LVM_UPDATE = LVM_FIRST + 42;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;
constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;

// Image lists (LVM_SETIMAGELIST's WParam).
constexpr WPARAM LVSIL_NORMAL = 0;
constexpr WPARAM LVSIL_SMALL = 1;
constexpr WPARAM LVSIL_STATE = 2;

// Item fields (LVITEM::mask) and states.
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIF_INDENT = 0x0010;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_CUT = 0x0004;
constexpr UINT LVIS_DROPHILITED = 0x0008;
constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
constexpr UINT LVIS_STATEIMAGEMASK = STATEIMAGEMASK;

// LVM_GETNEXTITEM's flags: an item after WParam (-1: from the start) with all the states asked
// for; LVNI_ALL: the next item.
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr UINT LVNI_CUT = 0x0004;
constexpr UINT LVNI_DROPHILITED = 0x0008;

// Column fields (LVCOLUMN::mask) and alignments.
constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr UINT LVCF_IMAGE = 0x0010;
constexpr UINT LVCF_ORDER = 0x0020;
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

// LVM_SETCOLUMNWIDTH's special widths: as wide as the widest item text; as wide as that or the
// header text (the last column: up to the right edge).
constexpr int LVSCW_AUTOSIZE = -1;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// LVM_FINDITEM.
constexpr UINT LVFI_PARAM = 0x0001;
constexpr UINT LVFI_STRING = 0x0002;
constexpr UINT LVFI_PARTIAL = 0x0008;
constexpr UINT LVFI_WRAP = 0x0020;

// LVM_HITTEST's answers (LVHITTESTINFO::flags).
constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMICON = 0x0002;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
constexpr UINT LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;
constexpr UINT LVHT_ABOVE = 0x0008;
constexpr UINT LVHT_BELOW = 0x0010;
constexpr UINT LVHT_TORIGHT = 0x0020;
constexpr UINT LVHT_TOLEFT = 0x0040;

// LVM_GETITEMRECT's parts (RECT::left on the way in).
constexpr LONG LVIR_BOUNDS = 0;
constexpr LONG LVIR_ICON = 1;
constexpr LONG LVIR_LABEL = 2;
constexpr LONG LVIR_SELECTBOUNDS = 3;

// Notifications.
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
    int iIndent = 0;
};

struct LVCOLUMN {
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct LVFINDINFO {
    UINT flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
    POINT pt{};
    UINT vkDirection = 0;
};

struct LVHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction{};
    LPARAM lParam = 0;
};

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction{};
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};

struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};

// LVM_SORTITEMS's comparison: the item data of two items and the caller's value; negative when
// the first goes before the second.
using PFNLVCOMPARE = int (*)(LPARAM Item1, LPARAM Item2, LPARAM Sort);
