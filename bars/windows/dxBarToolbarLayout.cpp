// Where a toolbar window places its items and how big it wants to be: along one line (docked
// single-line bars stop at the first item that does not fit and show the rest through the mark)
// or in rows (floating and multi-line bars wrap).
#include <algorithm>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarToolbar.h"

bool TdxBarControl::CanWrap() const {
    return IsFloating() || FBar->MultiLine();
}

int TdxBarControl::RightButtonsLength() const {
    if (IsFloating() || !FBar->IsMainMenu() || !BarManager()->ShowCloseButton()) return 0;
    return IsVertical() ? FCaptionButtonHeight : FCaptionButtonWidth;
}

TRect TdxBarControl::RightCloseButtonRect() const {
    if (RightButtonsLength() == 0) return TRect{};
    const TRect C = const_cast<TdxBarControl*>(this)->ClientRect();
    const int W = FCaptionButtonWidth, H = FCaptionButtonHeight;
    if (IsVertical()) {
        const int Left = (C.Left + C.Right - W) / 2;
        return TRect{Left, C.Bottom - H, Left + W, C.Bottom};
    }
    const int Top = (C.Top + C.Bottom - H) / 2;
    return TRect{C.Right - W, Top, C.Right, Top + H};
}

int TdxBarControl::FrameAlong(TdxBarDockingStyle Style) const {
    return Style == dsLeft || Style == dsRight ? FBar->FrameHeight(Style) : FBar->FrameWidth(Style);
}

int TdxBarControl::FrameAcross(TdxBarDockingStyle Style) const {
    return Style == dsLeft || Style == dsRight ? FBar->FrameWidth(Style) : FBar->FrameHeight(Style);
}

std::vector<TdxBarLayoutItem> TdxBarControl::LayoutItems(int Count, bool Vertical) const {
    std::vector<TdxBarLayoutItem> Items;
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return Items;
    Count = std::min(Count, Links->VisibleItemCount());
    for (int I = 0; I < Count; ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        Link->CreateControl();
        TdxBarItemControl* Control = Link->Control();
        TdxBarLayoutItem Item;
        if (Control) {
            Item.Length = Vertical ? Control->GetHeight() : Control->GetWidth();
            Item.Thickness = Vertical ? Control->GetWidth() : Control->GetHeight();
            Item.Align = Control->RealAlign();
            Item.NewRow = Control->NewRow;
        }
        Item.BeginGroup = Link->BeginGroup();
        Items.push_back(Item);
    }
    return Items;
}

int TdxBarControl::ClientLineLength() const {
    const TRect Client = const_cast<TdxBarControl*>(this)->ClientRect();
    const int Length = IsVertical() ? Client.Height() : Client.Width();
    return Length - (MarkExists() && !IsFloating() ? kdxBarMarkSize : 0) - RightButtonsLength();
}

void TdxBarControl::CalcControlsPositions() {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links || !HandleAllocated()) return;
    const bool Vertical = IsVertical();
    std::vector<TdxBarLayoutItem> Items = LayoutItems(Links->VisibleItemCount(), Vertical);
    const TRect Client = ClientRect();
    TdxBarLayoutParams Params;
    Params.CanWrap = CanWrap();
    Params.Vertical = Vertical;
    Params.ClientWidth = Client.Width();
    Params.Thickness = Vertical ? Client.Width() : Client.Height();
    Params.GroupSize = GetBeginGroupSize();
    Params.CanAlign = CanAlignItems();
    if (!Params.CanWrap) FHiddenItems = false;
    Params.LineLength = ClientLineLength();
    if (Params.CanWrap) WrapItems(Items, Params.LineLength, Params.GroupSize);
    TdxBarLayoutResult Result = PlaceItems(Items, Params);
    if (Result.HiddenItems && !Params.CanWrap && !FHiddenItems) {
        // Once items are hidden the mark shows them, and takes its room at the line's end.
        FHiddenItems = true;
        const int Shorter = ClientLineLength();
        if (Shorter != Params.LineLength) {
            Params.LineLength = Shorter;
            Result = PlaceItems(Items, Params);
        }
    }
    FHiddenItems = Result.HiddenItems && !Params.CanWrap;
    Links->SetShownCount(Result.PlacedCount);
    // Links that are not shown (hidden items, hidden links) have no place on the bar.
    Links->EmptyItemRects();
    for (int I = 0; I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        const TdxBarLayoutPlace& Place = Result.Places[size_t(I)];
        Link->SetItemRect(Place.Placed ? Place.Rect : TRect{});
        Link->SetRowHeight(Place.RowThickness);
        if (TdxBarItemControl* Control = Link->Control()) {
            Control->NewRow = Items[size_t(I)].NewRow;
            Control->LastInRow = Place.LastInRow;
        }
    }
}

TSize TdxBarControl::WrappedClientSize(int ClientLength, bool Vertical) {
    std::vector<TdxBarLayoutItem> Items = LayoutItems(ItemLinks()->VisibleItemCount(), Vertical);
    const TdxBarWrapResult Wrap = WrapItems(Items, ClientLength, GetBeginGroupSize());
    const int Thickness = std::max(Wrap.Thickness, BarManager()->ButtonHeight());
    const int Length = std::max(Wrap.Length, ClientLength);
    return Vertical ? TSize{Thickness, Length} : TSize{Length, Thickness};
}

TSize TdxBarControl::GetSizeForStyle(TdxBarDockingStyle Style) {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return TSize{0, 0};
    Links->SetShownCount(-1);
    if (Style == dsNone) {
        const TSize Client = WrappedClientSize(std::max(FBar->FloatClientWidth, 1), false);
        return TSize{Client.cx + FBar->FrameWidth(dsNone), Client.cy + FBar->FrameHeight(dsNone)};
    }
    const bool Vertical = Style == dsLeft || Style == dsRight;
    TdxDockControl* Site = FDockControl ? FDockControl : FBar->RealDockControl();
    const TRect SiteClient = Site ? Site->ClientRect() : TRect{};
    const int SiteLength = Vertical ? SiteClient.Height() : SiteClient.Width();
    int Length = FullLength();
    if (FBar->WholeRow() && SiteLength > 0) Length = SiteLength;
    const int Thickness = ThicknessForLength(Length);
    return Vertical ? TSize{Thickness, Length} : TSize{Length, Thickness};
}

int TdxBarControl::FullLength() {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return 0;
    const bool Vertical = IsVertical();
    const std::vector<TdxBarLayoutItem> Items = LayoutItems(Links->VisibleItemCount(), Vertical);
    const bool Mark =
        FBar->ShowMark() && BarManager()->Style() != bmsStandard && FBar->AllowQuickCustomizing();
    return LineLengthOf(Items, GetBeginGroupSize()) + (Mark ? kdxBarMarkSize : 0) +
           RightButtonsLength() + FrameAlong(FDockingStyle);
}

int TdxBarControl::MinLength() {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return 0;
    const bool Vertical = IsVertical();
    const std::vector<TdxBarLayoutItem> Items = LayoutItems(Links->VisibleItemCount(), Vertical);
    int Length = 0;
    if (CanWrap()) {
        for (const TdxBarLayoutItem& Item : Items) Length = std::max(Length, Item.Length);
    } else if (!Items.empty()) {
        Length = Items.front().Length;
    }
    // The mark takes its room once items are hidden (and always where it is shown anyway).
    const bool Mark = FBar->ShowMark() &&
                      ((BarManager()->Style() != bmsStandard && FBar->AllowQuickCustomizing()) ||
                       (!CanWrap() && Items.size() > 1));
    return Length + (Mark ? kdxBarMarkSize : 0) + FrameAlong(FDockingStyle);
}

int TdxBarControl::ThicknessForLength(int Length) {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return 0;
    const bool Vertical = IsVertical();
    std::vector<TdxBarLayoutItem> Items = LayoutItems(Links->VisibleItemCount(), Vertical);
    int Thickness = 0;
    if (CanWrap()) {
        const bool Mark = MarkExists();
        const int Line = Length - FrameAlong(FDockingStyle) - (Mark ? kdxBarMarkSize : 0);
        Thickness = WrapItems(Items, std::max(Line, 1), GetBeginGroupSize()).Thickness;
        for (int I = 0; I < int(Items.size()); ++I)
            if (TdxBarItemControl* Control = Links->VisibleItems(I)->Control())
                Control->NewRow = Items[size_t(I)].NewRow;
    } else {
        for (const TdxBarLayoutItem& Item : Items) Thickness = std::max(Thickness, Item.Thickness);
    }
    if (Items.empty())
        Thickness = Vertical ? BarManager()->ButtonWidth() : BarManager()->ButtonHeight();
    return Thickness + FrameAcross(FDockingStyle);
}

void TdxBarControl::UpdateLayout() {
    if (UpdateLock() || FBar->UpdateLocked() || !HandleAllocated() || !ItemLinks()) return;
    TdxBarManager* M = BarManager();
    TdxBarItemLink* Remembered = nullptr;
    if (IsCustomizing() && M->CustomizingSelection() &&
        M->CustomizingSelection()->Parent() == this) {
        Remembered = M->CustomizingSelection()->ItemLink();
        SetKeySelectedControl(nullptr);
    }
    DestroyControls();
    CreateControls();
    if (Remembered && Remembered->Control()) SetKeySelectedControl(Remembered->Control());
    if (FDockControl) {
        FDockControl->Realign();
    } else if (IsFloating()) {
        // The width the items wrap at is the shown window's; a window not on the screen (waiting
        // for its form, or never shown yet) keeps the bar's, which only a shown window changes.
        const int Width = IsWindowVisible(Handle()) ? ClientRect().Width() : FBar->FloatClientWidth;
        const TSize Size = WrappedClientSize(std::max(Width, 1), false);
        SetClientSize(Size.cx, Size.cy);
    }
    if (Retired() || !HandleAllocated()) return;
    CalcControlsPositions();
    Invalidate();
}
