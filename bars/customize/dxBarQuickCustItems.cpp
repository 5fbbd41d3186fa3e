// The entries of "&Add or Remove Buttons": the check entries that stand for the toolbar's links
// and the extra entries below them, each with its square at the left.
#include <algorithm>

#include "bars/customize/dxBarQuickCust.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarControl.h"
#include "platform/gdi/RectMath.h"

namespace {

void FillSquare(HDC DC, const TRect& R, HBRUSH Brush) {
    const RECT Rc = R;
    FillRect(DC, &Rc, Brush);
}

void FrameSquare(HDC DC, const TRect& R, HBRUSH Brush) {
    const RECT Rc = R;
    FrameRect(DC, &Rc, Brush);
}

// The square at the left of an entry, and the rest of it.
TRect SquareOf(const TRect& R) {
    return TRect{R.Left, R.Top, R.Left + R.Height(), R.Bottom};
}

// In the flat style a selected entry is framed in the highlight colour, with a stripe of the
// window's background right of the square.
void FrameSelectedFlat(HDC DC, TCustomdxBarControl* Window, const TRect& R, int Stripe) {
    FrameSquare(DC, R, dxBarSysBrush(COLOR_HIGHLIGHT));
    const TRect Square = SquareOf(R);
    FillSquare(DC, TRect{Square.Right, R.Top + 1, Square.Right + Stripe, R.Bottom - 1},
               Window->BkBrushOfItem());
}

}  // namespace

// ---- the items --------------------------------------------------------------------------------

TdxBarQuickCustItem::TdxBarQuickCustItem(TComponent* AOwner) : TdxBarButton(AOwner) {
    // The menu stays open: the user ticks several entries in a row.
    CloseSubMenuOnClick = false;
}

void TdxBarQuickCustItem::Represent(const TdxBarItemLink* Entry, TdxBarItemLink* ToolbarLink) {
    FEntries.emplace_back(Entry, ToolbarLink);
}

TdxBarItemLink* TdxBarQuickCustItem::RepresentedLink(const TdxBarItemLink* Entry) const {
    if (!FToolbarLinks) return nullptr;
    for (const auto& [Key, Link] : FEntries) {
        if (Key != Entry) continue;
        // Compared, never followed, until it is found among the toolbar's links again.
        for (int I = 0; I < FToolbarLinks->Count(); ++I)
            if (FToolbarLinks->Items(I) == Link) return Link;
        return nullptr;
    }
    return nullptr;
}

// ---- the check entries ------------------------------------------------------------------------

TdxBarItemLink* TdxBarQuickCustItemControl::Represented() const {
    auto* Item = dynamic_cast<TdxBarQuickCustItem*>(this->Item());
    return Item ? Item->RepresentedLink(ItemLink()) : nullptr;
}

std::string TdxBarQuickCustItemControl::GetCaption() const {
    TdxBarItemLink* Link = Represented();
    return Link ? Link->Caption() : TdxBarButtonControl::GetCaption();
}

TBitmap* TdxBarQuickCustItemControl::GetGlyph() const {
    TdxBarItemLink* Link = Represented();
    return Link ? Link->Glyph() : TdxBarButtonControl::GetGlyph();
}

int TdxBarQuickCustItemControl::GetImageIndex() const {
    TdxBarItemLink* Link = Represented();
    return Link && Link->Item() ? Link->Item()->ImageIndex() : -1;
}

TCustomImageList* TdxBarQuickCustItemControl::GetImages() const {
    TdxBarItemLink* Link = Represented();
    TdxBarManager* Manager = Link && Link->Item() ? Link->Item()->BarManager() : nullptr;
    return Manager ? Manager->Images() : TdxBarButtonControl::GetImages();
}

std::string TdxBarQuickCustItemControl::GetHint() const {
    TdxBarItemLink* Link = Represented();
    return Link && Link->Item() ? Link->Item()->Hint() : std::string();
}

TShortCut TdxBarQuickCustItemControl::GetShortCut() const {
    TdxBarItemLink* Link = Represented();
    return Link && Link->Item() ? Link->Item()->ShortCut() : scNone;
}

void TdxBarQuickCustItemControl::Click(bool ByMouse) {
    const TBarWindowRef<> Window = Parent();
    TdxBarQuickCustItemControl* Self = this;
    TdxBarButtonControl::Click(ByMouse);
    // The click's handlers may have closed the menu: the control is asked only while it lives.
    if (BarWindowGone(Window) || !Window->HasControl(Self)) return;
    if (TdxBarItemLink* Link = Represented()) Link->SetVisible(!Link->Visible());
    if (!BarWindowGone(Window) && Window->HasControl(Self)) Repaint();
}

void TdxBarQuickCustItemControl::PaintSquare(HDC DC, TRect Square, bool Flat, bool Selected) {
    FillSquare(DC, Square, Parent()->BkBrushOfItem());
    if (Flat && !Selected) {
        FrameSquare(DC, Square, dxBarSysBrush(COLOR_BTNFACE));
        Square = InflatedRect(Square, -1, -1);
    }
    // A check box of 13 pixels (less in a low entry), ticked while the link shows.
    const int Box = std::min(13, Square.Height() - 2);
    const int X = Square.Left + (Square.Width() - Box) / 2,
              Y = Square.Top + (Square.Height() - Box) / 2;
    RECT Check{X, Y, X + Box, Y + Box};
    TdxBarItemLink* Link = Represented();
    DrawFrameControl(
        DC, &Check, DFC_BUTTON,
        DFCS_BUTTONCHECK | (Flat ? DFCS_FLAT : 0) | (Link && Link->Visible() ? DFCS_CHECKED : 0));
}

// ---- the extra entries ------------------------------------------------------------------------

void TdxBarQuickCustExtButtonControl::PaintSquare(HDC DC, TRect Square, bool Flat, bool Selected) {
    const HBRUSH Brush = Selected ? Parent()->BkBrushOfItem() : dxBarSysBrush(COLOR_BTNFACE);
    FillSquare(DC, Square, Parent()->BkBrushOfItem());
    FillSquare(DC, Flat && Selected ? InflatedRect(Square, -1, -1) : Square, Brush);
}

// ---- both -------------------------------------------------------------------------------------

int TdxBarQuickCustEntryControl::GetDefaultWidth() const {
    return TdxBarButtonControl::GetDefaultWidth() + GetDefaultHeight();
}

void TdxBarQuickCustEntryControl::Paint(const TRect& R, TdxBarPaintType PaintType) {
    if (PaintType != ptMenu || IsRectEmpty(R)) {
        TdxBarButtonControl::Paint(R, PaintType);
        return;
    }
    const HDC DC = Canvas()->Handle();
    const bool Flat = IsFlat();
    const bool Selected = IsSelected();
    const TRect Square = SquareOf(R);
    PaintSquare(DC, Square, Flat, Selected);
    TdxBarButtonControl::Paint(TRect{Square.Right + ButtonGap(Flat), R.Top, R.Right, R.Bottom},
                               PaintType);
    if (Flat && Selected) FrameSelectedFlat(DC, Parent(), R, SelectedStripe());
}
