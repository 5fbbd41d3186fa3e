// Where a submenu window's entries go and where the window goes: the links it shows (a
// personalized menu hides those not used recently until it is expanded), entries stacked from
// the top with group separators, scroll areas when the work area cuts the menu, and the window's
// place beside its opener.
//
// Sizes: the frame is one pixel on every side, plus the two-pixel shadow at the right and the
// bottom in the flat style. Entries lie 1 pixel (flat) or 2 pixels inside the client area, right
// of the side band; the expand button takes TextSize at the bottom.
#include <algorithm>
#include <climits>
#include <set>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/core/Screens.h"
#include "platform/gdi/RectMath.h"

namespace {

constexpr int kScrollAreaHeight = 16;
constexpr int kFlatScrollAreaHeight = 6;
// What a menu without entries measures across.
constexpr int kEmptyMenuWidth = 100;

int MarginOf(bool Flat) {
    return Flat ? 1 : 2;
}

}  // namespace

TdxBarSubMenuPlace PlaceSubMenu(TPoint Requested, TSize Size, int ParentWidth, int ParentHeight,
                                const TRect& Work) {
    TdxBarSubMenuPlace Place;
    int Left = Requested.X, Top = Requested.Y;
    const int W = Size.cx;
    int H = Size.cy;
    const int P = ParentWidth, Q = ParentHeight;
    if (Left + W > Work.Right) {
        if (!P) {
            Left = Work.Right - W;
        } else if (Left - P - Work.Left > Work.Right - Left) {
            Left = Left - P - W;
            Place.FlippedHorizontally = true;
        }
    }
    if (Left < Work.Left && !P) Left = Work.Left;
    if (Left + W > Work.Right) Left = Work.Right - W;
    if (Left < Work.Left) Left = Work.Left;
    if (Top + H > Work.Bottom) {
        if (!Q && !P && Top - H >= Work.Top) {
            // A popup at a point opens upwards.
            Top -= H;
            Place.FlippedVertically = true;
        } else if (!Q) {
            Top = Work.Bottom - H;
        } else if (Top - Q - Work.Top > Work.Bottom - Top) {
            Top = Top - Q - H;
            Place.FlippedVertically = true;
        } else {
            H = Work.Bottom - Top;
        }
    }
    if (Top < Work.Top) {
        if (Place.FlippedVertically && Q) {
            H -= Work.Top - Top;
            Top = Work.Top;
        } else {
            Top = Work.Top;
            H = std::min(H, int(Work.Bottom) - Top);
        }
    }
    Place.Bounds = TRect{Left, Top, Left + W, Top + H};
    return Place;
}

int TdxBarSubMenuControl::ScrollAreaHeight() const {
    return IsFlatStyle() ? kFlatScrollAreaHeight : kScrollAreaHeight;
}

void TdxBarSubMenuControl::RecalcVisibleLinks() {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return;
    const bool Full = !UsesRecentItems() || FExpanded || dxBarFullMenusShown();
    const int Recent = UsesRecentItems() ? Links->CalcRecentItemCount() : -1;
    std::set<TdxBarItemLink*> RecentLinks;
    if (Full && Recent >= 0) {
        Links->SetRecentItemCount(Recent);
        for (int I = 0; I < Links->VisibleItemCount(); ++I)
            RecentLinks.insert(Links->VisibleItems(I));
    }
    std::vector<TdxBarItemLink*> Before;
    for (int I = 0; I < Links->VisibleItemCount(); ++I) Before.push_back(Links->VisibleItems(I));
    Links->SetRecentItemCount(Full ? -1 : Recent);
    std::vector<TdxBarItemLink*> After;
    for (int I = 0; I < Links->VisibleItemCount(); ++I) After.push_back(Links->VisibleItems(I));
    if (Before != After ||
        std::any_of(After.begin(), After.end(), [](TdxBarItemLink* L) { return !L->Control(); })) {
        DestroyControls();
        for (int I = 0; I < Links->Count(); ++I)
            if (Links->VisibleIndexOf(Links->Items(I)) < 0) Links->Items(I)->SetItemRect(TRect{});
        CreateControls();
    }
    // Links shown only since the menu was expanded are the rarely used ones.
    bool PreviousRare = false;
    for (TdxBarItemLink* Link : After) {
        TdxBarItemControl* Control = Link->Control();
        if (!Control) continue;
        const bool Rare = !RecentLinks.empty() && !RecentLinks.count(Link);
        Control->RarelyUsed = Rare;
        Control->FirstOfRarelyUsed = Rare && !PreviousRare;
        PreviousRare = Rare;
    }
}

int TdxBarSubMenuControl::CalcLayout(bool Measuring) {
    TdxBarItemLinks* Links = ItemLinks();
    const bool Flat = IsFlatStyle();
    const int Margin = MarginOf(Flat);
    if (!Links) return Margin;
    const TRect Client = ClientRect();
    const int Left = BarSize() + Margin;
    const int Right = Client.Right - Margin;
    const int Count = Links->VisibleItemCount();
    FTopIndex = std::clamp(FTopIndex, 0, std::max(Count - 1, 0));
    // Stacks the entries from the top index while they end above Limit; false when one did not.
    auto Stack = [&](int Limit, int& Y) {
        Y = Margin + (FTopIndex > 0 ? ScrollAreaHeight() : 0);
        FLastPlaced = -1;
        bool Fits = true;
        for (int I = 0; I < Count; ++I) {
            TdxBarItemLink* Link = Links->VisibleItems(I);
            TdxBarItemControl* Control = Link->Control();
            if (I < FTopIndex || !Control || !Fits) {
                Link->SetItemRect(TRect{});
                continue;
            }
            int Top = Y;
            if (I > FTopIndex && Link->BeginGroup()) Top += GetBeginGroupSize();
            if (!Flat && Control->FirstOfRarelyUsed) ++Top;
            const int Bottom = Top + Control->GetHeight();
            if (Bottom > Limit) {
                Fits = false;
                Link->SetItemRect(TRect{});
                continue;
            }
            Link->SetItemRect(TRect{Left, Top, Right, Bottom});
            FLastPlaced = I;
            Y = Bottom;
        }
        return Fits;
    };
    int Y = 0;
    if (Measuring) {
        Stack(INT_MAX, Y);
        return Y;
    }
    const int Limit = Client.Bottom - Margin - (MarkExists() ? TextSize() : 0);
    FScrollsDown = !Stack(Limit, Y);
    if (FScrollsDown) Stack(Limit - ScrollAreaHeight(), Y);
    return Y;
}

TSize TdxBarSubMenuControl::MeasureSize() {
    TdxBarItemLinks* Links = ItemLinks();
    const bool Flat = IsFlatStyle();
    const int SavedTop = FTopIndex;
    FTopIndex = 0;
    const int Stacked = CalcLayout(true);
    FTopIndex = SavedTop;
    int Widest = 0;
    bool Any = false;
    for (int I = 0; Links && I < Links->VisibleItemCount(); ++I)
        if (TdxBarItemControl* Control = Links->VisibleItems(I)->Control()) {
            Widest = std::max(Widest, Control->GetWidth());
            Any = true;
        }
    const int Frame = 2 + (Flat ? 2 : 0);
    const int Width = (Any ? Widest : kEmptyMenuWidth) + BarSize() + 2 * MarginOf(Flat) + Frame;
    const int Height = Stacked + MarginOf(Flat) + (MarkExists() || !Any ? TextSize() : 0) + Frame +
                       DetachBarHeight();
    return TSize{Width, Height};
}

void TdxBarSubMenuControl::PlaceOnScreen() {
    RecalcVisibleLinks();
    const TdxBarSubMenuPlace Place =
        PlaceSubMenu(FRequestedPos, MeasureSize(), FParentItemWidth, FParentItemHeight,
                     ToTRect(WorkAreaAt(POINT{FRequestedPos.X, FRequestedPos.Y})));
    FFlippedHorizontally = Place.FlippedHorizontally;
    FFlippedVertically = Place.FlippedVertically;
    SetBoundsRect(Place.Bounds);
    CalcLayout(false);
}

void TdxBarSubMenuControl::MakeVisible(TdxBarItemLink* Link) {
    TdxBarItemLinks* Links = ItemLinks();
    const int Index = Links ? Links->VisibleIndexOf(Link) : -1;
    if (Index < 0 || !HandleAllocated()) return;
    const int Was = FTopIndex;
    if (Index < FTopIndex) {
        FTopIndex = Index;
        CalcLayout(false);
    }
    while (Index > FLastPlaced && FTopIndex < Index) {
        ++FTopIndex;
        CalcLayout(false);
    }
    if (FTopIndex != Was) Invalidate();
}

TRect TdxBarSubMenuControl::TopScrollRect() const {
    if (FTopIndex <= 0) return TRect{};
    const int Margin = MarginOf(IsFlatStyle());
    const TRect C = const_cast<TdxBarSubMenuControl*>(this)->ClientRect();
    return TRect{BarSize() + Margin, Margin, C.Right - Margin, Margin + ScrollAreaHeight()};
}

TRect TdxBarSubMenuControl::BottomScrollRect() const {
    if (!FScrollsDown) return TRect{};
    const int Margin = MarginOf(IsFlatStyle());
    const TRect C = const_cast<TdxBarSubMenuControl*>(this)->ClientRect();
    const int Bottom = C.Bottom - Margin - (MarkExists() ? TextSize() : 0);
    return TRect{BarSize() + Margin, Bottom - ScrollAreaHeight(), C.Right - Margin, Bottom};
}

TRect TdxBarSubMenuControl::MarkRect() const {
    if (!MarkExists()) return TRect{};
    const int Margin = MarginOf(IsFlatStyle());
    const TRect C = const_cast<TdxBarSubMenuControl*>(this)->ClientRect();
    return TRect{BarSize() + Margin, C.Bottom - Margin - TextSize(), C.Right - Margin,
                 C.Bottom - Margin};
}

TRect TdxBarSubMenuControl::GetItemRectEx(TdxBarItemControl* Control, bool WithSeparator) const {
    TRect R = GetItemRect(Control);
    if (!Control || IsRectEmpty(R)) return R;
    if (!IsFlatStyle() && Control->FirstOfRarelyUsed) --R.Top;
    const int Index = ItemLinks() ? ItemLinks()->VisibleIndexOf(Control->ItemLink()) : -1;
    if (WithSeparator && Index > FTopIndex && Control->ItemLink()->BeginGroup())
        R.Top -= GetBeginGroupSize();
    return R;
}

TdxBarItemControl* TdxBarSubMenuControl::GetDropPlace(TPoint P, bool& OnSeparator, bool& Before,
                                                      bool& Vertical) const {
    if (PtInRect(TopScrollRect(), P) || PtInRect(BottomScrollRect(), P) ||
        PtInRect(MarkRect(), P)) {
        OnSeparator = Before = false;
        Vertical = true;
        return nullptr;
    }
    return TCustomdxBarControl::GetDropPlace(P, OnSeparator, Before, Vertical);
}
