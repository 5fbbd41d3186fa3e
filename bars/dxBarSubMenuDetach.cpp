// Tearing a menu off: a menu of a sub-item that is Detachable has a detach bar above its
// entries; a press there closes the menus and shows the sub-item's DetachingBar floating under
// the cursor, where the bar's own moving takes over until the button comes up.
#include <algorithm>

#include "bars/dxBarItemLinks.h"
#include "bars/dxBarItems.h"
#include "bars/dxBarManager.h"
#include "bars/dxBarSubMenu.h"
#include "bars/dxBarSystem.h"
#include "bars/dxBarToolbar.h"
#include "bars/dxBars.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"

namespace {

// The grip drawn in the middle of the flat style's detach bar.
constexpr int kDetachGripWidth = 33;

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
    const int Index = Sub->DetachingBar();
    if (Index < 0 || Index >= Manager->Bars()->Count()) return;
    TdxBar* Bar = Manager->Bars()->Items(Index);
    POINT Cursor;
    GetCursorPos(&Cursor);
    // The menus close; the bar floats with its caption under the cursor.
    if (TCustomdxBarControl* Active = ActiveBarControl()) Active->HideAll();
    if (IsLiveBarControl(this)) HideAll();
    Bar->FloatLeft = Cursor.x - 8;
    Bar->FloatTop = Cursor.y - 8;
    if (Bar->FloatClientWidth <= 0) Bar->FloatClientWidth = 150;
    Bar->SetDockingStyle(dsNone);
    Bar->SetVisible(true);
    TdxBarControl* Window = Bar->Control();
    if (!Window || !Window->IsFloating() || GetKeyState(VK_LBUTTON) >= 0) return;
    Manager->Bars()->MoveLoop(Window);
}
