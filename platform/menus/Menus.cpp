// The table of menus and the calls that build and read them.
#include "platform/menus/Menus.h"

#include <algorithm>
#include <map>

#include "platform/menus/Limits.h"
#include "platform/menus/MenuImpl.h"

using MenuImpl::TItem;
using MenuImpl::TMenu;

namespace {

struct TTable {
    std::map<HMENU, TMenu> Menus;
    // Menu handles count up from here: far from child-window ids and from 0.
    HMENU Next = 0x4D0001;
};

TTable& Table() {
    static TTable* T = new TTable;
    return *T;
}

constexpr UINT kNoItem = 0xFFFFFFFFu;

// The item an address names: by position in Menu, or by command id in Menu and (depth first)
// its submenus.
struct TFound {
    TMenu* Menu = nullptr;
    size_t Index = 0;
    TItem* Item() const { return &Menu->Items[Index]; }
    explicit operator bool() const { return Menu != nullptr; }
};

// Each menu is looked into once, so a menu that holds itself (or one submenu twice) ends.
TFound FindByCommand(HMENU Menu, UINT_PTR Id, std::vector<HMENU>& Seen) {
    TMenu* M = MenuImpl::Find(Menu);
    if (!M || Seen.size() > size_t(MenuLimits::kMaxDepth) * 64 ||
        std::find(Seen.begin(), Seen.end(), Menu) != Seen.end())
        return {};
    Seen.push_back(Menu);
    for (size_t I = 0; I < M->Items.size(); ++I) {
        const TItem& Item = M->Items[I];
        if (Item.Flags & MF_POPUP) {
            if (TFound F = FindByCommand(Item.SubMenu, Id, Seen)) return F;
        } else if (Item.Id == Id && !Item.Separator()) {
            return {M, I};
        }
    }
    return {};
}

TFound FindByCommand(HMENU Menu, UINT_PTR Id) {
    std::vector<HMENU> Seen;
    return FindByCommand(Menu, Id, Seen);
}

TFound Locate(HMENU Menu, UINT Position, UINT Flags) {
    if (Flags & MF_BYPOSITION) {
        TMenu* M = MenuImpl::Find(Menu);
        if (!M || Position >= M->Items.size()) return {};
        return {M, Position};
    }
    return FindByCommand(Menu, Position);
}

std::string TextOf(const char* Text) {
    if (!Text) return {};
    std::string S(Text);
    if (S.size() > MenuLimits::kMaxItemText) S.resize(MenuLimits::kMaxItemText);
    return S;
}

// The item AppendMenu / InsertMenu / ModifyMenu describe; false for a submenu that is no menu.
bool MakeItem(UINT Flags, UINT_PTR IDNewItem, const char* NewItem, TItem& Out) {
    Out = TItem{};
    Out.Flags = Flags & ~(MF_BYPOSITION | MF_HILITE);
    if (Flags & MF_POPUP) {
        if (!MenuImpl::Find(HMENU(IDNewItem))) return false;
        Out.SubMenu = HMENU(IDNewItem);
    } else {
        Out.Id = IDNewItem;
    }
    if (!(Flags & MF_SEPARATOR)) Out.Text = TextOf(NewItem);
    return true;
}

// Only one default item per menu.
void ClearDefault(TMenu& Menu) {
    for (TItem& I : Menu.Items) I.Flags &= ~MF_DEFAULT;
}

HMENU NewMenu(bool Popup) {
    TTable& T = Table();
    if (T.Menus.size() >= MenuLimits::kMaxMenus) return 0;
    const HMENU Handle = T.Next++;
    T.Menus[Handle].Popup = Popup;
    return Handle;
}

void Destroy(HMENU Menu, int Depth) {
    auto It = Table().Menus.find(Menu);
    if (It == Table().Menus.end()) return;
    std::vector<HMENU> Subs;
    for (const TItem& I : It->second.Items)
        if (I.Flags & MF_POPUP) Subs.push_back(I.SubMenu);
    Table().Menus.erase(It);
    if (Depth < MenuLimits::kMaxDepth)
        for (HMENU S : Subs) Destroy(S, Depth + 1);
}

BOOL Remove(HMENU Menu, UINT Position, UINT Flags, bool DestroySub) {
    TFound F = Locate(Menu, Position, Flags);
    if (!F) return FALSE;
    const TItem Gone = *F.Item();
    F.Menu->Items.erase(F.Menu->Items.begin() + std::ptrdiff_t(F.Index));
    if (DestroySub && (Gone.Flags & MF_POPUP)) Destroy(Gone.SubMenu, 0);
    return TRUE;
}

BOOL Insert(HMENU Menu, UINT Position, bool ByPosition, const TItem& Item) {
    TMenu* M = MenuImpl::Find(Menu);
    if (!M || M->Items.size() >= MenuLimits::kMaxItems) return FALSE;
    if (Item.Flags & MF_DEFAULT) ClearDefault(*M);
    if (ByPosition) {
        const size_t At = std::min<size_t>(Position, M->Items.size());
        M->Items.insert(M->Items.begin() + std::ptrdiff_t(At), Item);
        return TRUE;
    }
    if (Position == kNoItem) {
        M->Items.push_back(Item);
        return TRUE;
    }
    // By command: before that item, in whichever menu holds it.
    TFound F = FindByCommand(Menu, Position);
    if (!F) return FALSE;
    if (F.Menu->Items.size() >= MenuLimits::kMaxItems) return FALSE;
    F.Menu->Items.insert(F.Menu->Items.begin() + std::ptrdiff_t(F.Index), Item);
    return TRUE;
}

}  // namespace

TMenu* MenuImpl::Find(HMENU Menu) {
    auto It = Table().Menus.find(Menu);
    return It == Table().Menus.end() ? nullptr : &It->second;
}

HMENU CreateMenu() {
    return NewMenu(false);
}

HMENU CreatePopupMenu() {
    return NewMenu(true);
}

BOOL DestroyMenu(HMENU Menu) {
    if (!MenuImpl::Find(Menu)) return FALSE;
    Destroy(Menu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU Menu) {
    return MenuImpl::Find(Menu) != nullptr;
}

BOOL AppendMenu(HMENU Menu, UINT Flags, UINT_PTR IDNewItem, const char* NewItem) {
    TItem Item;
    if (!MakeItem(Flags, IDNewItem, NewItem, Item)) return FALSE;
    return Insert(Menu, kNoItem, true, Item);
}

BOOL InsertMenu(HMENU Menu, UINT Position, UINT Flags, UINT_PTR IDNewItem, const char* NewItem) {
    TItem Item;
    if (!MakeItem(Flags, IDNewItem, NewItem, Item)) return FALSE;
    return Insert(Menu, Position, Flags & MF_BYPOSITION, Item);
}

BOOL ModifyMenu(HMENU Menu, UINT Position, UINT Flags, UINT_PTR IDNewItem, const char* NewItem) {
    TFound F = Locate(Menu, Position, Flags);
    TItem Item;
    if (!F || !MakeItem(Flags, IDNewItem, NewItem, Item)) return FALSE;
    if (Item.Flags & MF_DEFAULT) ClearDefault(*F.Menu);
    *F.Item() = Item;
    return TRUE;
}

BOOL InsertMenuItem(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFO* Info) {
    if (!Info) return FALSE;
    TItem New;
    if (Info->fMask & (MIIM_TYPE | MIIM_FTYPE)) New.Flags |= Info->fType & MF_SEPARATOR;
    if (Info->fMask & MIIM_STATE)
        New.Flags |= Info->fState & (MFS_GRAYED | MF_CHECKED | MF_DEFAULT);
    if (Info->fMask & MIIM_ID) New.Id = Info->wID;
    if (Info->fMask & MIIM_SUBMENU && Info->hSubMenu) {
        if (!MenuImpl::Find(Info->hSubMenu)) return FALSE;
        New.Flags |= MF_POPUP;
        New.SubMenu = Info->hSubMenu;
    }
    if (Info->fMask & (MIIM_STRING | MIIM_TYPE) && !New.Separator())
        New.Text = TextOf(Info->Text.c_str());
    return Insert(Menu, Item, ByPosition, New);
}

BOOL GetMenuItemInfo(HMENU Menu, UINT Item, BOOL ByPosition, MENUITEMINFO* Info) {
    TFound F = Locate(Menu, Item, ByPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!F || !Info) return FALSE;
    const TItem& I = *F.Item();
    if (Info->fMask & (MIIM_TYPE | MIIM_FTYPE)) Info->fType = I.Flags & MF_SEPARATOR;
    if (Info->fMask & MIIM_STATE) Info->fState = I.Flags & (MFS_GRAYED | MF_CHECKED | MF_DEFAULT);
    if (Info->fMask & MIIM_ID) Info->wID = UINT(I.Id);
    if (Info->fMask & MIIM_SUBMENU) Info->hSubMenu = I.SubMenu;
    if (Info->fMask & (MIIM_STRING | MIIM_TYPE)) Info->Text = I.Text;
    return TRUE;
}

BOOL SetMenuItemInfo(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFO* Info) {
    TFound F = Locate(Menu, Item, ByPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!F || !Info) return FALSE;
    TItem& I = *F.Item();
    if (Info->fMask & MIIM_SUBMENU && Info->hSubMenu && !MenuImpl::Find(Info->hSubMenu))
        return FALSE;
    if (Info->fMask & (MIIM_TYPE | MIIM_FTYPE))
        I.Flags = (I.Flags & ~MF_SEPARATOR) | (Info->fType & MF_SEPARATOR);
    if (Info->fMask & MIIM_STATE) {
        if (Info->fState & MF_DEFAULT) ClearDefault(*F.Menu);
        I.Flags = (I.Flags & ~(MFS_GRAYED | MF_CHECKED | MF_DEFAULT)) |
                  (Info->fState & (MFS_GRAYED | MF_CHECKED | MF_DEFAULT));
    }
    if (Info->fMask & MIIM_ID) I.Id = Info->wID;
    if (Info->fMask & MIIM_SUBMENU) {
        I.SubMenu = Info->hSubMenu;
        I.Flags = Info->hSubMenu ? I.Flags | MF_POPUP : I.Flags & ~MF_POPUP;
    }
    if (Info->fMask & (MIIM_STRING | MIIM_TYPE)) I.Text = TextOf(Info->Text.c_str());
    return TRUE;
}

BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags) {
    return Remove(Menu, Position, Flags, false);
}

BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags) {
    return Remove(Menu, Position, Flags, true);
}

int GetMenuItemCount(HMENU Menu) {
    const TMenu* M = MenuImpl::Find(Menu);
    return M ? int(M->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU Menu, int Pos) {
    const TMenu* M = MenuImpl::Find(Menu);
    if (!M || Pos < 0 || size_t(Pos) >= M->Items.size()) return kNoItem;
    const TItem& I = M->Items[size_t(Pos)];
    return (I.Flags & MF_POPUP) ? kNoItem : UINT(I.Id);
}

HMENU GetSubMenu(HMENU Menu, int Pos) {
    const TMenu* M = MenuImpl::Find(Menu);
    if (!M || Pos < 0 || size_t(Pos) >= M->Items.size()) return 0;
    return M->Items[size_t(Pos)].SubMenu;
}

UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags) {
    TFound F = Locate(Menu, Id, Flags);
    if (!F) return kNoItem;
    const TItem& I = *F.Item();
    UINT State = I.Flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_DEFAULT |
                            MF_HILITE | MF_POPUP | MF_MENUBREAK | MF_MENUBARBREAK);
    if (I.Flags & MF_POPUP) State |= UINT(std::min(GetMenuItemCount(I.SubMenu), 0xFF)) << 8;
    return State;
}

std::string GetMenuString(HMENU Menu, UINT Id, UINT Flags) {
    TFound F = Locate(Menu, Id, Flags);
    return F ? F.Item()->Text : std::string();
}

DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check) {
    TFound F = Locate(Menu, Id, Check);
    if (!F) return kNoItem;
    TItem& I = *F.Item();
    const DWORD Was = I.Flags & MF_CHECKED;
    I.Flags = (I.Flags & ~MF_CHECKED) | (Check & MF_CHECKED);
    return Was;
}

BOOL EnableMenuItem(HMENU Menu, UINT Id, UINT Enable) {
    TFound F = Locate(Menu, Id, Enable);
    if (!F) return BOOL(kNoItem);
    TItem& I = *F.Item();
    const UINT Was = I.Flags & (MF_GRAYED | MF_DISABLED);
    I.Flags = (I.Flags & ~(MF_GRAYED | MF_DISABLED)) | (Enable & (MF_GRAYED | MF_DISABLED));
    return BOOL(Was);
}

BOOL SetMenuDefaultItem(HMENU Menu, UINT Item, UINT ByPos) {
    TMenu* M = MenuImpl::Find(Menu);
    if (!M) return FALSE;
    if (Item == kNoItem) {
        ClearDefault(*M);
        return TRUE;
    }
    TFound F = ByPos ? Locate(Menu, Item, MF_BYPOSITION) : TFound{};
    if (!ByPos)
        for (size_t I = 0; I < M->Items.size(); ++I)
            if (!(M->Items[I].Flags & MF_POPUP) && M->Items[I].Id == Item) F = TFound{M, I};
    if (!F || F.Menu != M) return FALSE;
    ClearDefault(*M);
    F.Item()->Flags |= MF_DEFAULT;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU Menu, UINT ByPos, UINT Flags) {
    const TMenu* M = MenuImpl::Find(Menu);
    if (!M) return kNoItem;
    for (size_t I = 0; I < M->Items.size(); ++I) {
        const TItem& Item = M->Items[I];
        if (!(Item.Flags & MF_DEFAULT)) continue;
        if (Item.Disabled() && !(Flags & GMDI_USEDISABLED)) return kNoItem;
        if ((Item.Flags & MF_POPUP) && (Flags & GMDI_GOINTOPOPUPS)) {
            const UINT Inner = GetMenuDefaultItem(Item.SubMenu, ByPos, Flags & ~GMDI_GOINTOPOPUPS);
            if (Inner != kNoItem) return Inner;
        }
        return ByPos ? UINT(I) : ((Item.Flags & MF_POPUP) ? kNoItem : UINT(Item.Id));
    }
    return kNoItem;
}
