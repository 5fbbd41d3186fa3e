#pragma once
// Menus: popup menus and their items (text, command id, check mark, enabled state, default item,
// separators and submenus), and TrackPopupMenu, which shows a popup menu at a point and runs a
// modal loop until the user chooses an item or cancels.
//
// A menu handle is an id in the menus' own table (HMENU; a window's child id is the same type,
// see Window.h). Ids are never reused while the process runs, so a stale handle finds nothing.
// Items are addressed by position (MF_BYPOSITION) or by command id (MF_BYCOMMAND, the default),
// which looks into submenus too.
//
// Tracking: the menu shows in a window of its own that is never activated (the focus and the
// active window stay where they are), kept on the work area of the screen it opens on. The
// mouse highlights the item under it and chooses it when its button comes up (the left button,
// or the right one too with TPM_RIGHTBUTTON); hovering a submenu's item opens it beside its
// item. A click outside the menus or Esc in the first menu cancels. Keys: Up and Down move the
// highlight (past separators, round the ends), Right opens a submenu and Left or Esc closes it,
// Enter chooses, and a letter marked with "&" in an item's text chooses that item (or, when
// several items have it, highlights the next of them). The owner window hears, in order:
// WM_ENTERMENULOOP (WParam TRUE), WM_INITMENUPOPUP before each menu shows (WParam the menu,
// LParam its position in the parent menu), WM_MENUSELECT whenever the highlight moves (the
// item's id, or its position for a submenu, and its flags with MF_HILITE; the menu in LParam;
// flags 0xFFFF and menu 0 when the menus close), WM_EXITMENULOOP (WParam TRUE), and then, posted,
// WM_COMMAND with the chosen item's id. TPM_RETURNCMD returns the id instead of posting it (0
// when nothing was chosen); TPM_NONOTIFY sends none of WM_INITMENUPOPUP, WM_MENUSELECT and
// WM_COMMAND. Only one menu is tracked at a time.
#include <string>

#include "platform/core/Window.h"

// Item flags (AppendMenu, InsertMenu, ModifyMenu) and states (GetMenuState).
constexpr UINT MF_INSERT = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
// A checked item of a group of choices: it shows a bullet instead of the check mark.
constexpr UINT MFT_RADIOCHECK = 0x0200;
constexpr UINT MFS_DEFAULT = MF_DEFAULT;
constexpr UINT MF_MOUSESELECT = 0x8000;

// TrackPopupMenu.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// GetMenuDefaultItem.
constexpr UINT GMDI_USEDISABLED = 0x0001;
constexpr UINT GMDI_GOINTOPOPUPS = 0x0002;

// InsertMenuItem, GetMenuItemInfo, SetMenuItemInfo.
constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_FTYPE = 0x0100;
constexpr UINT MFT_STRING = MF_STRING;
constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
constexpr UINT MFS_ENABLED = MF_ENABLED;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = MF_CHECKED;
constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
constexpr UINT MFS_HILITE = MF_HILITE;

struct MENUITEMINFO {
    UINT cbSize = sizeof(MENUITEMINFO);
    UINT fMask = 0;
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = 0;
    // The text (Windows-1252). GetMenuItemInfo fills it in when MIIM_STRING or MIIM_TYPE asks.
    std::string Text;
};

// TrackPopupMenuEx: a rectangle (screen coordinates) the menu must not cover.
struct TPMPARAMS {
    UINT cbSize = sizeof(TPMPARAMS);
    RECT rcExclude{};
};

// The window class of the menus' windows.
inline constexpr const char* kMenuClassName = "#32768";

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, with it, its submenus. FALSE for a handle that is not a menu.
BOOL DestroyMenu(HMENU Menu);
BOOL IsMenu(HMENU Menu);

// NewItem is the text of MF_STRING items; with MF_POPUP, IDNewItem is the submenu's handle.
BOOL AppendMenu(HMENU Menu, UINT Flags, UINT_PTR IDNewItem, const char* NewItem);
// Before the item Position names (by command or by position); at the end for a position past it.
BOOL InsertMenu(HMENU Menu, UINT Position, UINT Flags, UINT_PTR IDNewItem, const char* NewItem);
BOOL InsertMenuItem(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFO* Info);
// Replaces the item's kind, id, text and states.
BOOL ModifyMenu(HMENU Menu, UINT Position, UINT Flags, UINT_PTR IDNewItem, const char* NewItem);
BOOL GetMenuItemInfo(HMENU Menu, UINT Item, BOOL ByPosition, MENUITEMINFO* Info);
BOOL SetMenuItemInfo(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFO* Info);
// Takes the item out; a submenu it opened lives on (RemoveMenu) or is destroyed (DeleteMenu).
BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags);
BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags);

// -1 for a handle that is not a menu.
int GetMenuItemCount(HMENU Menu);
// The command id of the item at Pos; 0xFFFFFFFF for a submenu's item or no item.
UINT GetMenuItemID(HMENU Menu, int Pos);
HMENU GetSubMenu(HMENU Menu, int Pos);
// The item's flags (MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_SEPARATOR, MF_DEFAULT, MF_HILITE,
// MF_POPUP with the submenu's item count in the high byte); 0xFFFFFFFF when there is no item.
UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags);
std::string GetMenuString(HMENU Menu, UINT Id, UINT Flags);
// Return the previous check state (MF_CHECKED / MF_UNCHECKED) or enabled state (MF_ENABLED,
// MF_GRAYED, MF_DISABLED); 0xFFFFFFFF when there is no item.
DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check);
BOOL EnableMenuItem(HMENU Menu, UINT Id, UINT Enable);
// The default item is shown in bold; Item 0xFFFFFFFF takes the default away.
BOOL SetMenuDefaultItem(HMENU Menu, UINT Item, UINT ByPos);
// Its id (or position with ByPos); 0xFFFFFFFF when there is none, or when it is disabled without
// GMDI_USEDISABLED.
UINT GetMenuDefaultItem(HMENU Menu, UINT ByPos, UINT Flags);

// Shows Menu at (X, Y) for Owner and tracks it until it closes (see the top of this file).
// Returns the chosen id with TPM_RETURNCMD (0: none), else TRUE; FALSE when the menu or the owner
// does not exist, the menu is empty or another menu is being tracked.
BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int Reserved, HWND Owner,
                    const RECT* Rect);
BOOL TrackPopupMenuEx(HMENU Menu, UINT Flags, int X, int Y, HWND Owner, const TPMPARAMS* Params);
// Closes the menu being tracked, as if cancelled.
BOOL EndMenu();
