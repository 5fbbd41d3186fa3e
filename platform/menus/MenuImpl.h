#pragma once
// Inside of the menus: the table of menus and their items, the look of a menu window, and the
// tracking state the menu windows paint from.
#include <functional>
#include <string>
#include <vector>

#include "platform/menus/Menus.h"

namespace MenuImpl {

struct TItem {
    UINT Flags = 0;  // MF_SEPARATOR, MF_POPUP, MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_DEFAULT, ...
    UINT_PTR Id = 0;
    std::string Text;
    HMENU SubMenu = 0;
    bool Separator() const { return Flags & MF_SEPARATOR; }
    bool Disabled() const { return Flags & (MF_GRAYED | MF_DISABLED); }
};

struct TMenu {
    bool Popup = true;
    std::vector<TItem> Items;
};

// The menu of a handle, or null.
TMenu* Find(HMENU Menu);

// --- the look ----------------------------------------------------------------------------------
// Where each item of a menu lies in its window (client coordinates) and the window's size.
struct TLayout {
    std::vector<RECT> Items;
    SIZE Size{0, 0};
};
TLayout LayoutOf(const TMenu& Menu);
// Paints the menu window: frame and items, Selected highlighted (-1: none).
void PaintMenu(HDC DC, const TMenu& Menu, const TLayout& Layout, int Selected);
// The mnemonic of an item's text: the upper-cased character after its single "&" (0: none).
char MnemonicOf(const std::string& Text);

// --- windows -----------------------------------------------------------------------------------
// The class of the menu windows, registered on first use; their procedure asks Paint for the
// window's menu and selected item and hands mouse and key messages to Input.
struct TWindowHooks {
    std::function<void(HWND Wnd, HDC DC)> Paint;
    std::function<void(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)> Input;
};
void SetWindowHooks(TWindowHooks Hooks);
const char* WindowClass();

}  // namespace MenuImpl
