#include "bars/windows/dxBarHint.h"

#include <algorithm>

#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarTimers.h"
#include "platform/actions/ActnList.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/widgets/Forms.h"

namespace {

constexpr UINT kHintDelay = 1000;
constexpr UINT kHintHideDelay = 10000;
// A hint that hid because the pointer left the items lets the next one show at once for so long.
constexpr UINT kHintRecentlyHidden = 400;
// The hint shows this far below the cursor.
constexpr int kHintBelowCursor = 20;
// Where it would leave the bottom of the work area, it shows this far above the point it got.
constexpr int kHintAbovePoint = 50;

struct THintState {
    TdxBarHintWindow* Window = nullptr;
    TdxBarManager* Manager = nullptr;
    std::string Text;
    // The delay before the hint shows, then the time it shows (one timer, never both).
    UINT_PTR DelayTimer = 0;
    UINT_PTR RecentTimer = 0;
    bool Showing = false;
    bool RecentlyHidden = false;
};

THintState& State() {
    static auto* S = new THintState;
    return *S;
}

bool WindowVisible() {
    THintState& S = State();
    return S.Window && S.Window->HandleAllocated() && IsWindowVisible(S.Window->Handle());
}

// Whether the manager's selected control lies in a bar window that hot-tracks (not in menu mode).
TdxBarItemControl* HintedControl(TdxBarManager* Manager) {
    TdxBarItemControl* Control = Manager->SelectedItem();
    TCustomdxBarControl* Window = Control ? Control->Parent() : nullptr;
    if (BarWindowGone(Window) || Window->Active() || !Window->HandleAllocated()) return nullptr;
    return Control;
}

bool Wanted(TdxBarManager* Manager, bool Show) {
    if (!Show || !Manager || !Manager->ShowHint() || Manager->IsCustomizing()) return false;
    return !State().Text.empty() || HintedControl(Manager);
}

// The manager is still there when a timer of its hint comes due.
bool Alive(TdxBarManager* Manager) {
    return TdxBarManagerList::Instance().Contains(Manager) && !Manager->IsDestroying();
}

void HideWindow() {
    THintState& S = State();
    if (WindowVisible()) ShowWindow(S.Window->Handle(), SW_HIDE);
    if (S.Window) S.Window->SetVisible(false);
}

}  // namespace

// ---- the window -------------------------------------------------------------------------------

TdxBarHintWindow::TdxBarHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    SetVisible(false);
    Canvas()->Brush().SetStyle(bsClear);
}

void TdxBarHintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.WndParent = 0;
}

void TdxBarHintWindow::Paint() {
    const HDC DC = Canvas()->Handle();
    RECT R = ClientRect();
    DrawEdge(DC, &R, BDR_RAISEDOUTER, BF_RECT);
    InflateRect(&R, -1, -1);
    R.left += 2;
    R.top += 2;
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(Font()->Color()));
    const HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    DrawText(DC, Caption(), &R, DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
    SelectObject(DC, Old);
}

void TdxBarHintWindow::ActivateHint(TPoint Point, const std::string& Text, TdxBarManager* Manager) {
    SetCaption(Text);
    if (Manager->UseSystemFont())
        Font()->SetLogFont(dxBarStatusLogFont());
    else
        Font()->Assign(*Manager->Font());
    Font()->SetColor(clInfoText);
    const TRect Work = ToTRect(WorkAreaAt(POINT{Point.X, Point.Y}));
    RECT Measured{0, 0, Work.Width(), 0};
    const HDC DC = GetDC(0);
    const HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    DrawText(DC, Text, &Measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(DC, Old);
    ReleaseDC(0, DC);
    const int W = Measured.right - Measured.left + 6;
    const int H = Measured.bottom - Measured.top + 6;
    int Left = Point.X;
    int Top = Point.Y;
    if (Left + W > Work.Right) Left = Work.Right - W;
    if (Top + H > Work.Bottom) Top = Point.Y - kHintAbovePoint;
    Left = std::max(Left, int(Work.Left));
    Top = std::max(Top, int(Work.Top));
    SetBounds(Left, Top, W, H);
    Invalidate();
    SetWindowPos(Handle(), HWND_TOPMOST, Left, Top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
}

TdxBarHintWindow* dxBarHintWindow() {
    return State().Window;
}

void CreatedxBarHintWindow() {
    THintState& S = State();
    if (!S.Window) S.Window = new TdxBarHintWindow(nullptr);
}

void FreedxBarHintWindow() {
    THintState& S = State();
    dxBarKillTimer(S.DelayTimer);
    dxBarKillTimer(S.RecentTimer);
    S.Manager = nullptr;
    S.Showing = S.RecentlyHidden = false;
    if (!S.Window) return;
    TdxBarHintWindow* Window = S.Window;
    S.Window = nullptr;
    Window->Free();
}

// ---- timing -----------------------------------------------------------------------------------

void UpdateHint(TdxBarManager* Manager, bool Show, const std::string& Text) {
    THintState& S = State();
    S.Text = Text;
    S.Showing = false;
    dxBarKillTimer(S.DelayTimer);
    if (Wanted(Manager, Show)) {
        if (WindowVisible() || S.RecentlyHidden) {
            ShowHintNow(Manager);
            return;
        }
        S.Manager = Manager;
        S.DelayTimer = dxBarTimers().SetTimer(kHintDelay, [Manager] {
            THintState& S = State();
            dxBarKillTimer(S.DelayTimer);
            if (Alive(Manager)) ShowHintNow(Manager);
        });
        return;
    }
    if (!WindowVisible()) return;
    HideWindow();
    if (!Show) return;
    dxBarKillTimer(S.RecentTimer);
    S.RecentlyHidden = true;
    S.RecentTimer = dxBarTimers().SetTimer(kHintRecentlyHidden, [] {
        THintState& S = State();
        dxBarKillTimer(S.RecentTimer);
        S.RecentlyHidden = false;
    });
}

void ShowHintNow(TdxBarManager* Manager) {
    THintState& S = State();
    if (!S.Window || !Manager) return;
    std::string Text = S.Text;
    if (Text.empty()) {
        TdxBarItemControl* Control = HintedControl(Manager);
        if (!Control) return;
        // The hint belongs to the item under the pointer, not to one reached by the keys.
        TCustomdxBarControl* Window = Control->Parent();
        POINT Cursor;
        GetCursorPos(&Cursor);
        ScreenToClient(Window->Handle(), &Cursor);
        if (Window->ItemAtPos(TPoint{Cursor.x, Cursor.y}) != Control) return;
        Text = GetShortHint(Control->GetHint());
        // The action's own hint handler may decline the hint.
        TdxBarItem* Item = Control->Item();
        if (auto* Action = dynamic_cast<TCustomAction*>(Item ? Item->Action() : nullptr);
            Action && !Action->DoHint(Text))
            Text.clear();
        if (!Control->GetEnabled() && !Manager->ShowHintForDisabledItems) Text.clear();
        if (!Text.empty() && (Manager->ShowShortCutInHint() || Forms.HintShortCuts))
            if (const TShortCut Key = Control->GetShortCut(); Key != scNone)
                Text += " (" + ShortCutToText(Key) + ")";
    }
    if (Text.empty()) {
        UpdateHint(Manager, false);
        return;
    }
    POINT Cursor;
    GetCursorPos(&Cursor);
    S.Window->ActivateHint(TPoint{Cursor.x, Cursor.y + kHintBelowCursor}, Text, Manager);
    S.Showing = true;
    S.Manager = Manager;
    dxBarKillTimer(S.DelayTimer);
    S.DelayTimer = dxBarTimers().SetTimer(kHintHideDelay, [Manager] {
        THintState& S = State();
        dxBarKillTimer(S.DelayTimer);
        if (Alive(Manager)) UpdateHint(Manager, false);
    });
}

const std::string& HintText() {
    return State().Text;
}
