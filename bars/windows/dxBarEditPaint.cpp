// How edit and combo controls paint: the caption part (a menu entry in menus), the edit box with
// its frame (a sunken edge, or a line in the flat style that turns dark while the item is hot),
// the item's text while the editor is closed, and the combo's drop-down button.
#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarEditControls.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/gdi/RectMath.h"

namespace {

// The filled triangle of the drop-down button: W wide (odd), W div 2 + 1 rows, centred.
void DrawComboArrow(HDC DC, const TRect& R, COLORREF Color) {
    int W = R.Width() / 2;
    if (W % 2 == 0) ++W;
    const int X = R.Left + (R.Width() - W) / 2;
    const int Y = R.Top + (R.Height() - (W / 2 + 1)) / 2;
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    for (int Row = 0; Row <= W / 2; ++Row) {
        MoveToEx(DC, X + Row, Y + Row, nullptr);
        LineTo(DC, X + W - Row, Y + Row);
    }
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

}  // namespace

void TdxBarEditControl::Paint(const TRect& R, TdxBarPaintType PaintType) {
    if (IsRectEmpty(R) || !Parent()) return;
    const HDC DC = Canvas()->Handle();
    const TRect Box = EditBoxRect();
    if (PaintType == ptMenu) {
        DrawMenuEntry(DC, R, false, true, IsSelected());
    } else {
        FillBarRect(DC, R, Parent()->BkBrushOfItem());
        if (ShowsCaption()) {
            const TRect Caption{R.Left + (IsFlat() ? 5 : 3), R.Top, Box.Left, R.Bottom};
            DrawCaption(DC, Caption, GetCaption(), false, false, DT_LEFT);
        }
    }
    PaintEditBox(DC, Box);
}

void TdxBarEditControl::PaintEditBox(HDC DC, const TRect& Box) {
    if (IsRectEmpty(Box)) return;
    const bool Enabled = GetEnabled();
    TdxBarManager* M = BarManager();
    if (IsFlat()) {
        // A hot box is framed as hot buttons are; a cold one keeps a line of the bar around it.
        const bool Hot = Enabled && (IsSelected() || Focused());
        FrameBarRect(DC, Box, Hot ? M->FlatFrameBrush() : Parent()->BkBrushOfItem());
    } else {
        RECT Rc = Box;
        DrawEdge(DC, &Rc, EDGE_SUNKEN, BF_RECT);
    }
    TRect Inner = InflatedRect(Box, -EditFrameWidth(), -EditFrameWidth());
    FillBarRect(DC, Inner, Enabled ? dxBarSysBrush(COLOR_WINDOW) : Parent()->BkBrushOfItem());
    if (auto* Combo = dynamic_cast<TCustomdxBarComboControl*>(this))
        Inner.Right = Combo->DropDownButtonRect().Left;
    if (Focused() || (!Enabled && !IsFlat())) return;
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, Inner.Left, Inner.Top, Inner.Right, Inner.Bottom);
    SelectObject(DC, Parent()->GetFontHandle());
    SetTextColor(DC, dxBarSysColor(Enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(DC, dxBarSysColor(Enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    PaintEditText(DC, Inner);
    RestoreDC(DC, Saved);
}

void TdxBarEditControl::PaintEditText(HDC DC, const TRect& R) {
    TRect Text = R;
    Text.Left += 2;
    Text.Right -= 2;
    if (IsFlat()) Text.Top += 2;
    const int Mode = SetBkMode(DC, TRANSPARENT);
    RECT Rc = Text;
    const std::string Shown = WindowItem() ? WindowItem()->CurText() : std::string();
    DrawText(DC, Shown, &Rc,
             DT_SINGLELINE | DT_NOPREFIX | (IsFlat() ? DT_TOP : DT_VCENTER) | DT_LEFT);
    SetBkMode(DC, Mode);
}

void TCustomdxBarComboControl::Paint(const TRect& R, TdxBarPaintType PaintType) {
    TdxBarEditControl::Paint(R, PaintType);
    if (!IsRectEmpty(R) && Parent()) PaintDropDownButton(Canvas()->Handle(), DropDownButtonRect());
}

void TCustomdxBarComboControl::PaintDropDownButton(HDC DC, const TRect& R) {
    if (IsRectEmpty(R)) return;
    const bool Enabled = GetEnabled();
    const bool Hot = IsSelected() || Focused();
    TCustomdxBarControl* Window = Parent();
    if (IsFlat()) {
        if (Hot && Enabled) {
            FrameBarRect(DC, R, BarManager()->FlatFrameBrush());
            FillBarRect(DC, InflatedRect(R, -1, -1),
                        FDroppedDown ? Window->GetDownSelectedBrush() : Window->GetSelectedBrush());
        } else {
            FillBarRect(DC, R, Window->BkBrushOfItem());
        }
        DrawComboArrow(DC, R, dxBarSysColor(Enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
        return;
    }
    FillBarRect(DC, R, dxBarSysBrush(COLOR_BTNFACE));
    RECT Rc = R;
    if (Hot && Enabled)
        DrawEdge(DC, &Rc, FDroppedDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    else
        DrawEdge(DC, &Rc, BDR_RAISEDINNER, BF_RECT);
    const TRect Arrow = FDroppedDown ? OffsetRect(R, 1, 1) : R;
    if (Enabled) {
        DrawComboArrow(DC, Arrow, dxBarSysColor(COLOR_BTNTEXT));
    } else {
        DrawComboArrow(DC, OffsetRect(Arrow, 1, 1), dxBarSysColor(COLOR_BTNHIGHLIGHT));
        DrawComboArrow(DC, Arrow, dxBarSysColor(COLOR_BTNSHADOW));
    }
}

void TdxBarComboControl::PaintEditText(HDC DC, const TRect& R) {
    TdxBarCombo* C = ComboItem();
    if (!C) return;
    TCanvas* Canvas = this->Canvas();
    (void)DC;
    Canvas->Brush().SetColor(GetEnabled() ? clWindow : clBtnFace);
    Canvas->Font().SetColor(GetEnabled() ? clWindowText : clGrayText);
    const int Index = Focused() ? CurItemIndex() : C->ItemIndex();
    C->DrawItem(Canvas, Index, R, 0, true);
}
