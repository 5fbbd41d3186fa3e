// The list box's view: where items lie, scrolling, and painting (see ListBoxControl.h).
#include <algorithm>
#include <optional>

#include "platform/classes/FlagScope.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

// Where a scroll request (SB_..., the same codes for both bars) moves a bar at Pos: by Line or
// Page, to the thumb's Track, or to either end (0, Last); nothing for the other codes.
std::optional<int> RequestedPos(WORD Code, int Pos, int Line, int Page, int Track, int Last) {
    switch (Code) {
        case SB_LINEUP:
            return Pos - Line;
        case SB_LINEDOWN:
            return Pos + Line;
        case SB_PAGEUP:
            return Pos - Page;
        case SB_PAGEDOWN:
            return Pos + Page;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            return Track;
        case SB_TOP:
            return 0;
        case SB_BOTTOM:
            return Last;
        default:
            return std::nullopt;
    }
}

}  // namespace

// --- geometry and scrolling ---------------------------------------------------------------------

RECT TListBoxControl::Client() const {
    RECT R;
    GetClientRect(Handle(), &R);
    return R;
}

int TListBoxControl::ItemTop(int Index) const {
    if (!Variable()) return (Index - FTop) * FItemHeight;
    int Y = 0;
    for (int I = FTop; I < Index; ++I) Y += HeightOf(I);
    for (int I = Index; I < FTop; ++I) Y -= HeightOf(I);
    return Y;
}

RECT TListBoxControl::ItemRect(int Index) const {
    const int Top = ItemTop(Index);
    const int Width = std::max(static_cast<int>(Client().right), FHorzExtent);
    return RECT{-FHorzPos, Top, Width - FHorzPos, Top + HeightOf(Index)};
}

int TListBoxControl::FullyVisible(int From) const {
    const int Height = Client().bottom;
    if (!Variable()) return std::max(1, Height / FItemHeight);
    int N = 0;
    int Y = 0;
    for (int I = From; I < FItems.Count(); ++I) {
        Y += HeightOf(I);
        if (Y > Height) break;
        ++N;
    }
    return std::max(1, N);
}

int TListBoxControl::LastTop() const {
    const int Count = FItems.Count();
    if (!Variable()) return std::max(0, Count - FullyVisible(0));
    const int Height = Client().bottom;
    int Y = 0;
    int Top = Count;
    while (Top > 0 && Y + HeightOf(Top - 1) <= Height) Y += HeightOf(--Top);
    return std::min(Top, std::max(0, Count - 1));
}

int TListBoxControl::ItemAt(POINT Pt, bool& Outside) const {
    const RECT C = Client();
    Outside = !PtInRect(&C, Pt);
    if (FItems.Empty()) return 0;
    // Above the list: the item before the first one shown; below the items: the last one.
    if (Pt.y < 0) return std::max(0, FTop - 1);
    int Y = 0;
    for (int I = FTop; I < FItems.Count(); ++I) {
        Y += HeightOf(I);
        if (Pt.y < Y) return I;
    }
    return FItems.Count() - 1;
}

void TListBoxControl::SetTop(int Top) {
    Top = std::clamp(Top, 0, LastTop());
    if (Top == FTop) return;
    FTop = Top;
    Invalidate();
    UpdateScrollBars();
}

void TListBoxControl::ScrollIntoView(int Index, bool Partly) {
    if (Index < 0 || Index >= FItems.Count()) return;
    if (Index < FTop) {
        SetTop(Index);
        return;
    }
    const int Height = Client().bottom;
    const RECT R = ItemRect(Index);
    if (R.bottom <= Height || (Partly && R.top < Height)) return;
    // The item becomes the last one wholly shown.
    int Top = Index;
    int Y = HeightOf(Index);
    while (Top > 0 && Y + HeightOf(Top - 1) <= Height) Y += HeightOf(--Top);
    SetTop(Top);
}

void TListBoxControl::SetHorzPos(int Pos) {
    Pos = std::clamp(Pos, 0, std::max(0, FHorzExtent - static_cast<int>(Client().right)));
    if (Pos == FHorzPos) return;
    FHorzPos = Pos;
    Invalidate();
    UpdateScrollBars();
}

void TListBoxControl::UpdateScrollBars() {
    if (FUpdatingBars || FRedrawOff) return;
    const TFlagScope Updating(FUpdatingBars);
    // A bar that comes or goes changes the room for the other one: settle within a few rounds.
    for (int Round = 0; Round < 3; ++Round) {
        const RECT Before = Client();
        const int Count = FItems.Count();
        SetBar(SB_VERT, std::max(0, Count - 1), std::max(1, Count - LastTop()), FTop);
        SetBar(SB_HORZ, std::max(0, FHorzExtent - 1), std::max(1, static_cast<int>(Client().right)),
               FHorzPos);
        const RECT After = Client();
        if (After == Before) break;
        FTop = std::clamp(FTop, 0, LastTop());
        FHorzPos =
            std::clamp(FHorzPos, 0, std::max(0, FHorzExtent - static_cast<int>(After.right)));
        Invalidate();
    }
}

void TListBoxControl::SetBar(int Bar, int Max, int Page, int Pos) {
    if (!(FBarStyles & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) return;
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    // Kept while not needed: the bar stays, greyed.
    if (Style() & LBS_DISABLENOSCROLL) Info.fMask |= SIF_DISABLENOSCROLL;
    Info.nMax = Max;
    Info.nPage = static_cast<UINT>(Page);
    Info.nPos = Pos;
    SetScrollInfo(Handle(), Bar, &Info, TRUE);
}

int TListBoxControl::TrackPos(int Bar) const {
    SCROLLINFO Info;
    Info.fMask = SIF_TRACKPOS;
    return GetScrollInfo(Handle(), Bar, &Info) ? Info.nTrackPos : 0;
}

void TListBoxControl::VScroll(WORD Code) {
    if (const auto To =
            RequestedPos(Code, FTop, 1, FullyVisible(FTop), TrackPos(SB_VERT), LastTop()))
        SetTop(*To);
}

void TListBoxControl::HScroll(WORD Code) {
    const int Line = std::max(1, FItemHeight / 2);
    if (const auto To =
            RequestedPos(Code, FHorzPos, Line, Client().right, TrackPos(SB_HORZ), FHorzExtent))
        SetHorzPos(*To);
}

// --- painting -----------------------------------------------------------------------------------

bool TListBoxControl::CanDrawNow() const {
    return !FRedrawOff && IsWindowVisible(Handle());
}

bool TListBoxControl::ShowsFocus() const {
    return InCombo() ? FDropped : FFocused;
}

void TListBoxControl::Invalidate() {
    if (!FRedrawOff) InvalidateRect(Handle(), nullptr, FALSE);
}

HBRUSH TListBoxControl::PrepareDC(HDC DC) {
    SelectObject(DC, Font());
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    SetBkMode(DC, OPAQUE);
    const HWND Asked = InCombo() ? FCombo : GetParent(Handle());
    HBRUSH Brush = 0;
    if (Asked)
        Brush = static_cast<HBRUSH>(SendMessage(Asked, WM_CTLCOLORLISTBOX, static_cast<WPARAM>(DC),
                                                static_cast<LPARAM>(Handle())));
    return Brush ? Brush : GetSysColorBrush(COLOR_WINDOW);
}

void TListBoxControl::DrawItem(HDC DC, int Index, UINT Action) {
    const RECT R = ItemRect(Index);
    const bool Sel = !NoSelection() && Selected(Index);
    // A combo box's list shows its focus only on the item that is selected.
    const bool Focus = ShowsFocus() && Index == FCaret && (!InCombo() || Index == FSelected);
    const bool Enabled = IsWindowEnabled(Handle());
    if (OwnerDraw()) {
        const TOwner O = Owner();
        DRAWITEMSTRUCT D;
        D.CtlType = O.CtlType;
        D.CtlID = O.Id;
        D.itemID = static_cast<UINT>(Index);
        D.itemAction = Action;
        D.itemState =
            (Sel ? ODS_SELECTED : 0) | (Focus ? ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
        D.hwndItem = O.Item;
        D.hDC = DC;
        D.rcItem = R;
        D.itemData = FItems[Index].Data;
        const int Saved = SaveDC(DC);
        IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
        if (O.Wnd) SendMessage(O.Wnd, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
        RestoreDC(DC, Saved);
        return;
    }
    const COLORREF Text = GetTextColor(DC);
    const COLORREF Back = GetBkColor(DC);
    if (Sel) {
        SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(DC, GetSysColor(COLOR_HIGHLIGHT));
    } else if (!Enabled) {
        SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
    }
    ExtTextOut(DC, R.left + 2, R.top, ETO_OPAQUE | ETO_CLIPPED, &R, FItems[Index].Text);
    SetTextColor(DC, Text);
    SetBkColor(DC, Back);
    if (Focus) DrawFocusRect(DC, &R);
}

// An empty list shows its focus where the first item would be.
void TListBoxControl::DrawEmptyFocus(HDC DC, UINT Action) {
    const RECT R{0, 0, Client().right, FItemHeight};
    if (!OwnerDraw()) {
        DrawFocusRect(DC, &R);
        return;
    }
    const TOwner O = Owner();
    DRAWITEMSTRUCT D;
    D.CtlType = O.CtlType;
    D.CtlID = O.Id;
    D.itemID = static_cast<UINT>(-1);
    D.itemAction = Action;
    D.itemState = ODS_FOCUS;
    D.hwndItem = O.Item;
    D.hDC = DC;
    D.rcItem = R;
    if (O.Wnd) SendMessage(O.Wnd, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
}

void TListBoxControl::Paint() {
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(Handle(), &Ps);
    const HBRUSH Brush = PrepareDC(DC);
    const RECT C = Client();
    int Y = 0;
    for (int I = FTop; I < FItems.Count() && Y < C.bottom; ++I) {
        const RECT R = ItemRect(I);
        if (R.bottom > Ps.rcPaint.top && R.top < Ps.rcPaint.bottom) DrawItem(DC, I, ODA_DRAWENTIRE);
        Y = R.bottom;
    }
    const RECT Rest{C.left, Y, C.right, C.bottom};
    FillRect(DC, &Rest, Brush);
    if (FItems.Empty() && ShowsFocus()) DrawEmptyFocus(DC, ODA_FOCUS);
    EndPaint(Handle(), &Ps);
}

void TListBoxControl::RedrawItem(int Index, UINT Action) {
    if (Index < 0 || Index >= FItems.Count() || !CanDrawNow()) return;
    const RECT C = Client();
    const RECT R = ItemRect(Index);
    RECT Shown;
    if (!IntersectRect(&Shown, &R, &C)) return;
    const HDC DC = GetDC(Handle());
    if (!DC) return;
    PrepareDC(DC);
    DrawItem(DC, Index, Action);
    ReleaseDC(Handle(), DC);
}

// Many items may move in a row: they are painted in the next pass, not drawn at once.
void TListBoxControl::InvalidateFrom(int From) {
    if (FRedrawOff) return;
    const RECT C = Client();
    // An empty list that showed its focus where the first item goes shows it no more (or again).
    const int Top = FItems.Count() <= 1 ? 0 : std::max(0, ItemTop(From));
    const RECT Area{C.left, Top, C.right, C.bottom};
    if (!IsRectEmpty(&Area)) InvalidateRect(Handle(), &Area, FALSE);
}
