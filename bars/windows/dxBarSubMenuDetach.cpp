// Tearing a menu off: a menu of a sub-item that is Detachable has a detach bar above its
// entries. Dragged from there out of a zone around the detach bar, the menus close and the
// sub-item's DetachingBar floats under the cursor, where the bar's own moving takes over until
// the button comes up. Brought back into the zone, the bar goes and the menus are back; Esc
// gives the drag up the same way.
#include <algorithm>
#include <vector>

#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarMove.h"
#include "bars/windows/dxBarSubMenu.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarUtils.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

// The grip drawn in the middle of the flat style's detach bar.
constexpr int kDetachGripWidth = 33;
// How far the pointer may stray around the detach bar before the menu is torn off.
constexpr int kDetachZoneMargin = 15;

void CloseMenus() {
    if (TCustomdxBarControl* Active = ActiveBarControl()) Active->HideAll();
}

// How the torn-off menu was opened: the bar at the root and, level by level, the index of the
// sub-item's link that opened the next menu. Coming back into the zone opens them again as a
// click on each would. A menu of a popup menu has no such way back.
struct TMenuPath {
    explicit TMenuPath(TdxBarSubMenuControl* Menu) {
        TCustomdxBarControl* Window = Menu;
        while (auto* Sub = dynamic_cast<TdxBarSubMenuControl*>(Window)) {
            TdxBarItemControl* Opener = Sub->ParentItemControl();
            if (!Opener || !Opener->ItemLink()) return;
            Links.insert(Links.begin(), Opener->ItemLink()->Index());
            Window = Opener->Parent();
        }
        if (auto* Top = dynamic_cast<TdxBarControl*>(Window)) Root = Top->Bar();
    }
    TdxBarSubMenuControl* Reopen() const {
        TBarWindowRef<> Window = Root && Root->Visible() ? Root->Control() : nullptr;
        for (size_t I = 0; I < Links.size(); ++I) {
            if (BarWindowGone(Window) || !Window->ItemLinks() ||
                Links[I] >= Window->ItemLinks()->Count())
                return nullptr;
            auto* Opener = dynamic_cast<TdxBarSubItemControl*>(
                Window->ItemLinks()->Items(Links[I])->Control());
            if (!Opener) return nullptr;
            if (auto* Top = dynamic_cast<TdxBarControl*>(Window.get()); Top && I == 0) {
                if (!Top->InMenuMode()) Top->EnterMenuMode(Opener);
                if (BarWindowGone(Window)) return nullptr;
                Top->SetSubMenuOpened(true);
            } else {
                Window->SetKeySelectedControl(Opener);
            }
            if (BarWindowGone(Window) || !Window->HasControl(Opener)) return nullptr;
            Opener->Press(true);
            if (BarWindowGone(Window) || !Window->HasControl(Opener)) return nullptr;
            Window = Opener->GetSubMenuControl();
        }
        return dynamic_cast<TdxBarSubMenuControl*>(Window.get());
    }
    TdxBar* Root = nullptr;
    std::vector<int> Links;
};

// Where the detaching bar was before the drag, so that a drag given up leaves it there.
struct TBarPlace {
    explicit TBarPlace(TdxBar* Bar)
        : Visible(Bar->Visible()),
          Style(Bar->DockingStyle()),
          Site(Bar->DockControl()),
          FloatLeft(Bar->FloatLeft),
          FloatTop(Bar->FloatTop),
          Row(Bar->Row()),
          DockedLeft(Bar->DockedLeft()),
          DockedTop(Bar->DockedTop()) {}
    void Restore(TdxBar* Bar) const {
        Bar->SetVisible(false);
        Bar->FloatLeft = FloatLeft;
        Bar->FloatTop = FloatTop;
        Bar->SetRow(Row);
        Bar->SetDockedLeft(DockedLeft);
        Bar->SetDockedTop(DockedTop);
        if (Site)
            Bar->SetDockControl(Site);
        else
            Bar->SetDockingStyle(Style);
        if (Visible) Bar->SetVisible(true);
    }
    bool Visible;
    TdxBarDockingStyle Style;
    TdxBarDockControl* Site;
    int FloatLeft, FloatTop, Row, DockedLeft, DockedTop;
};

}  // namespace

TCustomdxBarSubItem* TdxBarSubMenuControl::DetachableSubItem() const {
    TCustomdxBarSubItem* Sub = ItemLinks() ? ItemLinks()->OwnerSubItem() : nullptr;
    return Sub && Sub->Detachable ? Sub : nullptr;
}

int TdxBarSubMenuControl::DetachBarHeight() const {
    if (!DetachableSubItem()) return 0;
    return IsFlatStyle() ? 8 : 10;
}

TRect TdxBarSubMenuControl::DetachBarRect() const {
    const int H = DetachBarHeight();
    if (H == 0) return TRect{};
    const TRect B = BoundsRect();
    return TRect{1, 1, B.Width() - 1 - (HasShadow() ? 2 : 0), 1 + H};
}

void TdxBarSubMenuControl::SetDetachHot(bool Value) {
    if (FDetachHot == Value) return;
    FDetachHot = Value;
    if (HandleAllocated()) SendMessage(Handle(), WM_NCPAINT, 1, 0);
    // The status bar says what the bar is for while the pointer is on it.
    Forms.SetHint(Value ? dxBarString(kdxBarDetachMenu) : std::string());
}

void TdxBarSubMenuControl::PaintDetachBar(HDC DC) {
    const TRect R = DetachBarRect();
    if (R.Height() <= 0) return;
    const RECT Rc = R;
    const COLORREF Grip = dxBarSysColor(FDetachHot ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    if (!IsFlatStyle()) {
        const HBRUSH Fill = CreateSolidBrush(Grip);
        FillRect(DC, &Rc, Fill);
        DeleteObject(Fill);
        return;
    }
    FillRect(DC, &Rc, FDetachHot ? GetSelectedBrush() : BarManager()->FlatGlyphColumnBrush());
    const HPEN Pen = CreatePen(PS_SOLID, 1, Grip);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    const int Left = (R.Left + R.Right - kDetachGripWidth) / 2;
    for (int Y = R.Top + 2; Y < R.Bottom - 1; Y += 2) {
        MoveToEx(DC, Left, Y, nullptr);
        LineTo(DC, Left + kDetachGripWidth, Y);
    }
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

bool TdxBarSubMenuControl::OverDetachBar(TPoint Client) {
    // The detach bar lies above the client area; its points come as client points.
    return DetachBarHeight() > 0 && Client.Y < 0 && Client.Y >= -DetachBarHeight() &&
           Client.X >= 0 && Client.X < ClientRect().Width();
}

void TdxBarSubMenuControl::Detach() {
    TCustomdxBarSubItem* Sub = DetachableSubItem();
    if (!Sub) return;
    TdxBarManager* Manager = BarManager();
    Sub->DoDetaching();
    if (Retired()) return;
    const int Index = Sub->DetachingBar();
    if (Index < 0 || Index >= Manager->Bars()->Count()) return;
    TdxBar* Bar = Manager->Bars()->Items(Index);
    RECT Bounds;
    GetWindowRect(Handle(), &Bounds);
    const TRect Zone = InflatedRect(OffsetRect(DetachBarRect(), Bounds.left, Bounds.top),
                                    kDetachZoneMargin, kDetachZoneMargin);
    auto InZone = [&] {
        POINT Cursor;
        GetCursorPos(&Cursor);
        return PtInRect(Zone, TPoint{Cursor.x, Cursor.y});
    };
    const TBarPlace Before(Bar);
    const TMenuPath Path(this);
    // The menu goes and comes back as the pointer leaves the zone and returns: from here on
    // this window may be gone.
    TBarWindowRef<TdxBarSubMenuControl> Menu = this;
    for (;;) {
        // Within the zone the menu holds the pointer and nothing happens; a release or Esc
        // there leaves the menu open.
        const TdxBarDragEnd Near = RunDragLoop(
            [](bool) {}, [&] { return BarWindowGone(Menu) || !InZone(); }, Menu->Handle());
        if (BarWindowGone(Menu)) return;
        if (Near != TdxBarDragEnd::Ended || InZone()) {
            // The menu heard nothing of the pointer meanwhile: its detach bar is hot as the
            // pointer lies, ready for the next press.
            POINT Cursor;
            GetCursorPos(&Cursor);
            Menu->SetDetachHot(
                Menu->OverDetachBar(Menu->ScreenToClient(TPoint{Cursor.x, Cursor.y})));
            return;
        }
        // Out of it the menus close and the bar floats with its caption under the cursor.
        CloseMenus();
        POINT Cursor;
        GetCursorPos(&Cursor);
        Bar->FloatLeft = Cursor.x - 8;
        Bar->FloatTop = Cursor.y - 8;
        if (Bar->FloatClientWidth <= 0) Bar->FloatClientWidth = 150;
        Bar->SetDockingStyle(dsNone);
        Bar->SetVisible(true);
        TdxBarControl* Floating = Bar->Control();
        const TdxBarDragEnd End = Floating && Floating->IsFloating()
                                      ? TdxBarMover::MoveLoop(Floating, InZone)
                                      : TdxBarDragEnd::Released;
        const bool Back = End == TdxBarDragEnd::Ended && InZone() && IsPrimaryButtonDown();
        // Released: the bar stays where it is.
        if (End != TdxBarDragEnd::Escaped && !Back) return;
        Before.Restore(Bar);
        // Esc gives the drag up with the menus closed, as Esc closes them.
        if (End == TdxBarDragEnd::Escaped) return;
        Menu = Path.Reopen();
        if (!Menu) return;
    }
}
