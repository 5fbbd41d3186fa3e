// TrackPopupMenu: the open menus as a chain of levels (the menu, its window, its layout and its
// highlighted item), driven by the mouse (captured by the first menu's window) and the keyboard
// (taken by a keyboard hook while the menus are open), inside a modal loop.
#include <algorithm>

#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/gdi/Gdi.h"
#include "platform/menus/Limits.h"
#include "platform/menus/MenuImpl.h"

using namespace MenuImpl;

namespace {

struct TLevel {
    HMENU Menu = 0;
    HWND Wnd = 0;
    TLayout Layout;
    int Selected = -1;
};

class TTracker;
TTracker* GActive = nullptr;

class TTracker {
  public:
    TTracker(UINT Flags, HWND Owner, const RECT* Exclude)
        : FFlags(Flags), FOwner(Owner), FExclude(Exclude ? *Exclude : RECT{}) {}

    // The chosen id, or 0 (Chosen says whether one was).
    UINT_PTR Run(HMENU Menu, int X, int Y, bool& Chosen);
    void Paint(HWND Wnd, HDC DC);
    void Input(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void Cancel() { FDone = true; }

  private:
    bool Open(HMENU Menu, int Position, POINT At, const RECT* Parent);
    void CloseFrom(size_t Level);
    void Select(size_t Level, int Index);
    void OpenSubmenu(size_t Level, bool SelectFirst);
    void Activate(size_t Level, int Index);
    void Choose(UINT_PTR Id);
    void Mouse(UINT Msg, POINT Screen);
    void Key(WORD Vk);
    void Step(size_t Level, int Direction);
    void Mnemonic(char Letter);
    int LevelAt(POINT Screen) const;
    int ItemAt(size_t Level, POINT Screen) const;
    const TItem* ItemOf(size_t Level, int Index) const;
    void Notify(UINT Msg, WPARAM WParam, LPARAM LParam);
    void Finish();

    UINT FFlags;
    HWND FOwner;
    RECT FExclude;
    std::vector<TLevel> FLevels;
    HHOOK FKeys = 0;
    bool FDone = false;
    bool FChosen = false;
    UINT_PTR FId = 0;
};

// Keeps a W x H window at (Left, Top) on the work area: flipped to the other side of the point
// it hangs from when that fits, else pushed back in.
POINT KeepOnWorkArea(int Left, int Top, int W, int H, int FlipLeft, int FlipTop, POINT At) {
    const RECT Work = WorkAreaAt(At);
    if (Left + W > Work.right) Left = FlipLeft >= Work.left ? FlipLeft : Work.right - W;
    if (Top + H > Work.bottom) Top = FlipTop >= Work.top ? FlipTop : Work.bottom - H;
    return POINT{std::max(Left, int(Work.left)), std::max(Top, int(Work.top))};
}

UINT_PTR TTracker::Run(HMENU Menu, int X, int Y, bool& Chosen) {
    Notify(WM_ENTERMENULOOP, TRUE, 0);
    if (Open(Menu, 0, POINT{X, Y}, nullptr)) {
        const HWND Root = FLevels.front().Wnd;
        SetCapture(Root);
        FKeys = SetWindowsHookEx(WH_KEYBOARD, [Root](int Code, WPARAM WParam, LPARAM LParam) {
            // Every key belongs to the menus while they are open; downs drive them.
            if (Code == HC_ACTION && !(LParam & KF_UP_BIT))
                PostMessage(Root, WM_KEYDOWN, WParam, LParam);
            return LRESULT(1);
        });
        if (!RunModalLoop([this] { return FDone || FLevels.empty(); })) FChosen = false;
    }
    Finish();
    Chosen = FChosen;
    return FChosen ? FId : 0;
}

void TTracker::Finish() {
    if (FKeys) UnhookWindowsHookEx(FKeys);
    FKeys = 0;
    const bool HadCapture = !FLevels.empty() && GetCapture() == FLevels.front().Wnd;
    CloseFrom(0);
    if (HadCapture) ReleaseCapture();
    Notify(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    Notify(WM_EXITMENULOOP, TRUE, 0);
}

void TTracker::Notify(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if ((FFlags & TPM_NONOTIFY) && (Msg == WM_INITMENUPOPUP || Msg == WM_MENUSELECT)) return;
    if (IsWindow(FOwner)) SendMessage(FOwner, Msg, WParam, LParam);
}

bool TTracker::Open(HMENU Menu, int Position, POINT At, const RECT* Parent) {
    if (FLevels.size() >= size_t(MenuLimits::kMaxDepth)) return false;
    Notify(WM_INITMENUPOPUP, WPARAM(Menu), MAKELPARAM(Position, 0));
    const TMenu* M = Find(Menu);
    if (FDone || !M || M->Items.empty()) return false;
    TLevel L;
    L.Menu = Menu;
    L.Layout = LayoutOf(*M);
    const int W = L.Layout.Size.cx, H = L.Layout.Size.cy;
    POINT Pos;
    if (Parent) {
        // Beside its item, overlapping the parent's frame; to the left when the right is full.
        Pos = KeepOnWorkArea(Parent->right - 3, At.y - 3, W, H, Parent->left - W + 3, At.y - 3, At);
    } else {
        int Left = At.x, Top = At.y;
        if (FFlags & TPM_RIGHTALIGN)
            Left -= W;
        else if (FFlags & TPM_CENTERALIGN)
            Left -= W / 2;
        if (FFlags & TPM_BOTTOMALIGN)
            Top -= H;
        else if (FFlags & TPM_VCENTERALIGN)
            Top -= H / 2;
        Pos = KeepOnWorkArea(Left, Top, W, H, At.x - W, At.y - H, At);
        RECT Box{Pos.x, Pos.y, Pos.x + W, Pos.y + H}, Overlap;
        if (IntersectRect(&Overlap, &Box, &FExclude)) Pos.y = FExclude.bottom;
    }
    L.Wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WindowClass(), "", WS_POPUP, Pos.x,
                           Pos.y, W, H, 0, 0, 0, nullptr);
    if (!L.Wnd) return false;
    FLevels.push_back(L);
    ShowWindow(L.Wnd, SW_SHOWNOACTIVATE);
    return true;
}

void TTracker::CloseFrom(size_t Level) {
    while (FLevels.size() > Level) {
        const HWND Wnd = FLevels.back().Wnd;
        FLevels.pop_back();
        if (IsWindow(Wnd)) DestroyWindow(Wnd);
    }
    if (Level > 0 && Level <= FLevels.size())
        InvalidateRect(FLevels[Level - 1].Wnd, nullptr, FALSE);
}

const TItem* TTracker::ItemOf(size_t Level, int Index) const {
    if (Level >= FLevels.size() || Index < 0) return nullptr;
    const TMenu* M = Find(FLevels[Level].Menu);
    if (!M || size_t(Index) >= M->Items.size()) return nullptr;
    return &M->Items[size_t(Index)];
}

void TTracker::Select(size_t Level, int Index) {
    if (Level >= FLevels.size()) return;
    TLevel& L = FLevels[Level];
    if (L.Selected == Index) return;
    CloseFrom(Level + 1);
    L.Selected = Index;
    InvalidateRect(L.Wnd, nullptr, FALSE);
    if (const TItem* I = ItemOf(Level, Index)) {
        const bool Popup = I->Flags & MF_POPUP;
        const UINT Flags = (I->Flags & 0xFFFF) | MF_HILITE;
        Notify(WM_MENUSELECT, MAKEWPARAM(Popup ? UINT(Index) : UINT(I->Id), Flags), LPARAM(L.Menu));
    }
}

void TTracker::OpenSubmenu(size_t Level, bool SelectFirst) {
    const TLevel& L = FLevels[Level];
    const TItem* I = ItemOf(Level, L.Selected);
    if (!I || !(I->Flags & MF_POPUP) || I->Disabled() || FLevels.size() > Level + 1) return;
    RECT Window, Item = L.Layout.Items[size_t(L.Selected)];
    GetWindowRect(L.Wnd, &Window);
    const HMENU Sub = I->SubMenu;
    if (!Open(Sub, L.Selected, POINT{Window.right, Window.top + Item.top}, &Window)) return;
    if (SelectFirst) Step(FLevels.size() - 1, +1);
}

// Enter on an item, or a click, or its mnemonic: a submenu opens, a command is chosen.
void TTracker::Activate(size_t Level, int Index) {
    const TItem* I = ItemOf(Level, Index);
    if (!I || I->Separator() || I->Disabled()) return;
    if (I->Flags & MF_POPUP)
        OpenSubmenu(Level, true);
    else
        Choose(I->Id);
}

void TTracker::Choose(UINT_PTR Id) {
    FId = Id;
    FChosen = true;
    FDone = true;
}

int TTracker::LevelAt(POINT Screen) const {
    for (size_t Level = FLevels.size(); Level-- > 0;) {
        RECT R;
        if (GetWindowRect(FLevels[Level].Wnd, &R) && PtInRect(&R, Screen)) return int(Level);
    }
    return -1;
}

int TTracker::ItemAt(size_t Level, POINT Screen) const {
    const TLevel& L = FLevels[Level];
    POINT P = Screen;
    ScreenToClient(L.Wnd, &P);
    for (size_t I = 0; I < L.Layout.Items.size(); ++I)
        if (PtInRect(&L.Layout.Items[I], P)) {
            const TItem* Item = ItemOf(Level, int(I));
            return Item && !Item->Separator() ? int(I) : -1;
        }
    return -1;
}

void TTracker::Mouse(UINT Msg, POINT Screen) {
    const int Level = LevelAt(Screen);
    const bool Down = Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN ||
                      Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK;
    if (Level < 0) {
        if (Down) Cancel();
        return;
    }
    const int Index = ItemAt(size_t(Level), Screen);
    const bool Up = Msg == WM_LBUTTONUP || (Msg == WM_RBUTTONUP && (FFlags & TPM_RIGHTBUTTON));
    if (Up) {
        const TItem* I = ItemOf(size_t(Level), Index);
        if (I && !(I->Flags & MF_POPUP)) Activate(size_t(Level), Index);
        return;
    }
    if (Index < 0 && FLevels.size() > size_t(Level) + 1) return;  // keep the open submenu's item
    Select(size_t(Level), Index);
    OpenSubmenu(size_t(Level), false);
}

void TTracker::Step(size_t Level, int Direction) {
    const TMenu* M = Find(FLevels[Level].Menu);
    if (!M || M->Items.empty()) return;
    const int N = int(M->Items.size());
    int I = FLevels[Level].Selected;
    if (I < 0) I = Direction > 0 ? -1 : N;
    for (int Tries = 0; Tries < N; ++Tries) {
        I = ((I + Direction) % N + N) % N;
        if (!M->Items[size_t(I)].Separator()) {
            Select(Level, I);
            return;
        }
    }
}

void TTracker::Mnemonic(char Letter) {
    const size_t Level = FLevels.size() - 1;
    const TMenu* M = Find(FLevels[Level].Menu);
    if (!M) return;
    std::vector<int> Matches;
    for (size_t I = 0; I < M->Items.size(); ++I)
        if (!M->Items[I].Separator() && MnemonicOf(M->Items[I].Text) == Letter)
            Matches.push_back(int(I));
    if (Matches.empty()) return;
    if (Matches.size() == 1) {
        Select(Level, Matches.front());
        Activate(Level, Matches.front());
        return;
    }
    const int Now = FLevels[Level].Selected;
    auto Next = std::upper_bound(Matches.begin(), Matches.end(), Now);
    Select(Level, Next == Matches.end() ? Matches.front() : *Next);
}

void TTracker::Key(WORD Vk) {
    if (FLevels.empty()) return;
    const size_t Level = FLevels.size() - 1;
    switch (Vk) {
        case VK_DOWN:
            Step(Level, +1);
            break;
        case VK_UP:
            Step(Level, -1);
            break;
        case VK_RIGHT:
            OpenSubmenu(Level, true);
            break;
        case VK_LEFT:
            if (Level > 0) CloseFrom(Level);
            break;
        case VK_ESCAPE:
            if (Level > 0)
                CloseFrom(Level);
            else
                Cancel();
            break;
        case VK_RETURN:
            Activate(Level, FLevels[Level].Selected);
            break;
        case VK_MENU:
        case VK_F10:
            Cancel();
            break;
        default:
            if ((Vk >= VK_A && Vk <= VK_Z) || (Vk >= VK_0 && Vk <= VK_9)) Mnemonic(char(Vk));
            break;
    }
}

void TTracker::Paint(HWND Wnd, HDC DC) {
    for (const TLevel& L : FLevels)
        if (L.Wnd == Wnd)
            if (const TMenu* M = Find(L.Menu)) PaintMenu(DC, *M, L.Layout, L.Selected);
}

void TTracker::Input(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (FDone) return;
    switch (Msg) {
        case WM_KEYDOWN:
            Key(WORD(WParam));
            return;
        case WM_CANCELMODE:
            Cancel();
            return;
        case WM_CAPTURECHANGED:
            // Someone else took the mouse: the menus cannot go on without it.
            if (HWND(LParam) != Wnd) Cancel();
            return;
        case WM_DESTROY:
            for (const TLevel& L : FLevels)
                if (L.Wnd == Wnd) Cancel();
            return;
        default: {
            POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
            ClientToScreen(Wnd, &P);
            Mouse(Msg, P);
        }
    }
}

void InstallHooks() {
    static const bool Installed = [] {
        SetWindowHooks(TWindowHooks{[](HWND Wnd, HDC DC) {
                                        if (GActive) GActive->Paint(Wnd, DC);
                                    },
                                    [](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
                                        if (GActive) GActive->Input(Wnd, Msg, WParam, LParam);
                                    }});
        return true;
    }();
    (void)Installed;
}

}  // namespace

BOOL TrackPopupMenuEx(HMENU Menu, UINT Flags, int X, int Y, HWND Owner, const TPMPARAMS* Params) {
    if (GActive || !IsWindow(Owner)) return FALSE;
    const TMenu* M = Find(Menu);
    if (!M || M->Items.empty()) return FALSE;
    InstallHooks();
    TTracker Tracker(Flags, Owner, Params ? &Params->rcExclude : nullptr);
    GActive = &Tracker;
    struct TClear {
        ~TClear() { GActive = nullptr; }
    } Clear;
    bool Chosen = false;
    const UINT_PTR Id = Tracker.Run(Menu, X, Y, Chosen);
    if (Flags & TPM_RETURNCMD) return BOOL(Id);
    if (Chosen && !(Flags & TPM_NONOTIFY) && IsWindow(Owner))
        PostMessage(Owner, WM_COMMAND, MAKEWPARAM(UINT(Id), 0), 0);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int, HWND Owner, const RECT*) {
    return TrackPopupMenuEx(Menu, Flags, X, Y, Owner, nullptr);
}

BOOL EndMenu() {
    if (!GActive) return FALSE;
    GActive->Cancel();
    return TRUE;
}
