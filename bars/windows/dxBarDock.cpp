#include "bars/windows/dxBarDock.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarMove.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarToolbarsPopup.h"
#include "bars/windows/dxBarWindowViews.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/RectMath.h"

namespace {

// The docking zone's depth, and the band between rows in which a moved bar asks for a new row.
constexpr int kZoneSize = 23;
constexpr int kBandStart = 9;
constexpr int kBandSize = 5;

}  // namespace

// ---- life -------------------------------------------------------------------------------------

TdxDockControl::TdxDockControl(TComponent* AOwner, TdxBarManager* Manager, TdxBarDockingStyle Style)
    : TCustomControl(AOwner), FDefaultStyle(Style) {
    RegisterdxBarViews();
    TControlStyle CS = ControlStyle();
    CS.Include(csAcceptsControls);
    SetControlStyle(CS);
    SetBarManager(Manager);
}

TdxDockControl::~TdxDockControl() {
    DestroyHandle();
    while (!FRows.empty()) DeleteRow(RowCount() - 1);
    SetBarManager(nullptr);
}

void TdxDockControl::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    TdxBarManager* Old = FBarManager;
    FBarManager = nullptr;
    if (Old) {
        Old->RemoveDockControl(this);
        Old->RemoveFreeNotification(this);
    }
    FBarManager = Value;
    if (Value) {
        Value->AddDockControl(this);
        Value->FreeNotification(this);
    }
    BarManagerChanged();
    UpdateColor();
}

void TdxDockControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBarManager) FBarManager = nullptr;
}

TdxBarDockingStyle TdxDockControl::DockingStyle() const {
    if (FDefaultStyle != dsNone) return FDefaultStyle;
    switch (Align()) {
        case alLeft:
            return dsLeft;
        case alRight:
            return dsRight;
        case alBottom:
            return dsBottom;
        default:
            return dsTop;
    }
}

bool TdxDockControl::IsHorizontal() const {
    const TdxBarDockingStyle Style = DockingStyle();
    return Style == dsTop || Style == dsBottom;
}

int TdxDockControl::ClientAcross() const {
    const TRect C = const_cast<TdxDockControl*>(this)->ClientRect();
    return IsHorizontal() ? C.Height() : C.Width();
}

int TdxDockControl::ClientAlong() const {
    const TRect C = const_cast<TdxDockControl*>(this)->ClientRect();
    return IsHorizontal() ? C.Width() : C.Height();
}

void TdxDockControl::DeleteRow(int Index) {
    delete FRows[size_t(Index)];
    FRows.erase(FRows.begin() + Index);
}

int TdxDockControl::RowOfBar(const TdxBarControl* BarControl) const {
    for (int I = 0; I < RowCount(); ++I)
        if (FRows[size_t(I)]->IndexOfBarControl(BarControl) >= 0) return I;
    return -1;
}

// ---- rows -------------------------------------------------------------------------------------

int TdxDockControl::RowThickness(int Row) const {
    int Thickness = 0;
    const TdxDockRow* R = FRows.at(size_t(Row));
    for (int I = 0; I < R->ColCount(); ++I) {
        TdxBarControl* W = R->Cols(I)->BarControl();
        Thickness = std::max(Thickness, IsHorizontal() ? W->Height() : W->Width());
    }
    return Thickness;
}

int TdxDockControl::DockSize() const {
    int Size = 0;
    for (int I = 0; I < RowCount(); ++I) Size += RowThickness(I);
    return Size;
}

bool TdxDockControl::StacksFromFarSide() const {
    // While a bar is dragged a right or bottom site keeps its rows against its outer edge: the
    // site only grows or shrinks after the rows were laid out, and rows stacked from the inner
    // edge would jump twice on every row gained or lost under the pointer.
    const TdxBarDockingStyle Style = DockingStyle();
    return (Style == dsRight || Style == dsBottom) && FBarManager && FBarManager->Bars() &&
           FBarManager->Bars()->Dragging();
}

int TdxDockControl::RowOffset(int Row) const {
    if (StacksFromFarSide()) {
        int Offset = ClientAcross();
        for (int I = Row; I < RowCount(); ++I) Offset -= RowThickness(I);
        return Offset;
    }
    int Offset = 0;
    for (int I = 0; I < Row; ++I) Offset += RowThickness(I);
    return Offset;
}

TRect TdxDockControl::RowRect(int Row) const {
    const int Offset = RowOffset(Row);
    const int Thickness = RowThickness(Row);
    return IsHorizontal() ? TRect{0, Offset, ClientAlong(), Offset + Thickness}
                          : TRect{Offset, 0, Offset + Thickness, ClientAlong()};
}

TRect TdxDockControl::DockingZone() const {
    const TPoint Origin = const_cast<TdxDockControl*>(this)->ClientToScreen(TPoint{0, 0});
    TRect R{Origin.X, Origin.Y, Origin.X + Width(), Origin.Y + Height()};
    if (IsHorizontal()) return InflatedRect(R, kZoneSize, kZoneSize);
    return InflatedRect(R, 0, kZoneSize);
}

int TdxDockControl::FindRow(TPoint ScreenPoint, bool& NewRow) const {
    const TPoint P = const_cast<TdxDockControl*>(this)->ScreenToClient(ScreenPoint);
    return RowAt(IsHorizontal() ? P.Y : P.X, NewRow);
}

TdxDockControl::TExtent TdxDockControl::RowExtent(int Position) const {
    const TdxBarDockingStyle Style = DockingStyle();
    const bool NearEdge = Style == dsLeft || Style == dsTop;
    if (Position >= 0 && Position < RowCount()) {
        const TRect R = RowRect(Position);
        return IsHorizontal() ? TExtent{R.Top, R.Bottom} : TExtent{R.Left, R.Right};
    }
    const int Size = DockSize();
    const int Start = Position < 0 ? (NearEdge ? -kZoneSize : ClientAcross() - Size - kZoneSize)
                                   : (NearEdge ? Size : ClientAcross());
    return TExtent{Start, Start + kZoneSize};
}

int TdxDockControl::RowAt(int C, bool& NewRow) const {
    NewRow = true;
    if (FRows.empty()) return 0;
    const TdxBarDockingStyle Style = DockingStyle();
    const bool NearEdge = Style == dsLeft || Style == dsTop;
    int Result = -1;
    for (int I = -1; I <= RowCount() && Result < 0; ++I) {
        const auto [Start, End] = RowExtent(I);
        const int BandStart = NearEdge ? Start + kBandStart : End - kBandStart - kBandSize;
        const int BandEnd = BandStart + kBandSize;
        if (C >= Start && C < BandStart) {
            Result = I;
            NewRow = false;
        } else if (C >= BandStart && C < BandEnd) {
            Result = I + 1;
            NewRow = true;
        } else if (C >= BandEnd && C < End) {
            Result = I + 1;
            NewRow = false;
        }
        if (Result == -1 && I == -1 && C >= Start && C < End) break;
    }
    if (Result < 0) {
        NewRow = true;
        return C < DockSize() ? 0 : RowCount();
    }
    if (Result >= RowCount()) NewRow = true;
    return Result;
}

std::optional<int> TdxDockControl::RowZoneMiddle(int Row, bool NewRow) const {
    // The zones are a handful of pixels each: walking every coordinate the rows' extents cover
    // keeps the answer tied to RowAt instead of restating its zones.
    int First = INT_MAX, Last = INT_MIN;
    for (int I = -1; I <= RowCount(); ++I) {
        const TExtent E = RowExtent(I);
        First = std::min(First, E.Start);
        Last = std::max(Last, E.End);
    }
    int RunStart = 0;
    bool InRun = false;
    for (int C = First; C <= Last; ++C) {
        bool AsksNew = false;
        const bool Hit = C < Last && RowAt(C, AsksNew) == Row && AsksNew == NewRow;
        if (Hit && !InRun) RunStart = C;
        if (!Hit && InRun) return (RunStart + C - 1) / 2;
        InRun = Hit;
    }
    return std::nullopt;
}

int TdxDockControl::FindColumn(int Row, TPoint ScreenPoint) const {
    if (Row < 0 || Row >= RowCount()) return 0;
    const TPoint P = const_cast<TdxDockControl*>(this)->ScreenToClient(ScreenPoint);
    const int At = IsHorizontal() ? P.X : P.Y;
    const TdxDockRow* R = FRows[size_t(Row)];
    for (int I = 0; I < R->ColCount(); ++I) {
        TdxBar* Bar = R->Cols(I)->BarControl()->Bar();
        const int Pos = IsHorizontal() ? Bar->DockedLeft() : Bar->DockedTop();
        if (Pos >= At) return I;
    }
    return R->ColCount();
}

void TdxDockControl::StoreColumnPositions() {
    for (TdxDockRow* Row : FRows)
        for (int I = 0; I < Row->ColCount(); ++I) Row->Cols(I)->UpdatePos();
}

// ---- placing bars -----------------------------------------------------------------------------

void TdxDockControl::InsertBar(TdxBarControl* BarControl, TPoint ScreenPoint, bool ByCode,
                               bool Relayout) {
    if (!FBarManager) return;
    TdxBar* Bar = BarControl->Bar();
    const bool Restoring = FBarManager->Bars()->Loading() && ByCode;
    int Row;
    bool NewRow;
    if (ByCode) {
        Row = Bar->Row();
        NewRow = Bar->OneOnRow;
    } else {
        Row = FindRow(ScreenPoint, NewRow);
    }
    if (Bar->WholeRow()) NewRow = true;
    if (Restoring) {
        while (RowCount() <= Row) FRows.push_back(new TdxDockRow(this));
    } else {
        Row = std::max(0, std::min(Row, NewRow ? RowCount() : RowCount() - 1));
        if (Row >= RowCount()) NewRow = true;
        if (!NewRow)
            for (int I = 0; I < FRows[size_t(Row)]->ColCount(); ++I) {
                TdxBarControl* Other = FRows[size_t(Row)]->Cols(I)->BarControl();
                if (Other != BarControl && Other->Bar()->WholeRow()) NewRow = true;
            }
    }
    TdxDockCol* Col;
    if (NewRow && Restoring) {
        Col = FRows[size_t(Row)]->InsertCol(FRows[size_t(Row)]->ColCount(), BarControl);
    } else if (NewRow) {
        FRows.insert(FRows.begin() + Row, new TdxDockRow(this));
        Col = FRows[size_t(Row)]->InsertCol(0, BarControl);
    } else {
        Col = FRows[size_t(Row)]->InsertCol(FindColumn(Row, ScreenPoint), BarControl);
    }
    TPoint P = ScreenToClient(ScreenPoint);
    if (IsHorizontal())
        P.X = std::max<LONG>(P.X, 0);
    else
        P.Y = std::max<LONG>(P.Y, 0);
    Col->Pos = P;
    if (!Relayout) return;
    BarControl->SetBounds(P.X, P.Y, BarControl->Width(), BarControl->Height());
    Realign();
    if (!Restoring) Col->UpdatePos();
}

void TdxDockControl::RemoveBar(TdxBarControl* BarControl, bool Relayout) {
    const int Row = RowOfBar(BarControl);
    if (Row < 0) return;
    TdxDockRow* R = FRows[size_t(Row)];
    R->DeleteCol(R->IndexOfBarControl(BarControl));
    if (R->ColCount() == 0) DeleteRow(Row);
    if (Relayout) Realign();
}

void TdxDockControl::MoveBarInSite(TdxBarControl* BarControl, TPoint ScreenPoint) {
    RemoveBar(BarControl, false);
    InsertBar(BarControl, ScreenPoint, false, true);
}

// ---- layout -----------------------------------------------------------------------------------

bool TdxDockControl::ManagerGoing() const {
    return !FBarManager || !FBarManager->Bars() ||
           FBarManager->ComponentState().Contains(csDestroying);
}

void TdxDockControl::Realign() {
    if (ManagerGoing() || FBarManager->UpdateLocked() || !HandleAllocated()) return;
    TCustomForm* Form = FBarManager->OwnerForm();
    if (Form && Form->ComponentState().Contains(csDestroying)) return;
    Layout();
    AdjustSize();
}

void TdxDockControl::AlignControls(TControl*, TRect&) {
    if (FBarManager && !FBarManager->IsLoading() && FLayingOut == 0) Realign();
}

void TdxDockControl::Layout() {
    if (ManagerGoing() || FBarManager->Bars()->Loading() || !HandleAllocated() ||
        ComponentState().Contains(csDestroying))
        return;
    ++FLayingOut;
    // From the far side the offsets come from the rows as they are before this pass.
    const bool FromFarSide = StacksFromFarSide();
    std::vector<int> Offsets;
    for (int I = 0; FromFarSide && I < RowCount(); ++I) Offsets.push_back(RowOffset(I));
    int Offset = 0;
    for (int I = 0; I < RowCount(); ++I) {
        TdxDockRow* Row = FRows[size_t(I)];
        if (Row->ColCount() == 0) continue;
        LayoutRow(Row, FromFarSide ? Offsets[size_t(I)] : Offset);
        Offset += RowThickness(I);
    }
    --FLayingOut;
}

void TdxDockControl::LayoutRow(TdxDockRow* Row, int RowOffset) {
    struct TPlace {
        TdxBarControl* Window;
        int Min, Full, Start, Length, Thickness;
        bool Truncated;
    };
    const int L = ClientAlong();
    const bool Horizontal = IsHorizontal();
    std::vector<TPlace> Places;
    int FullTotal = 0;
    for (int I = 0; I < Row->ColCount(); ++I) {
        TdxBarControl* W = Row->Cols(I)->BarControl();
        W->Bar()->ItemLinks()->SetRecentItemCount(-1);
        TPlace P{W, W->MinLength(), W->FullLength(), 0, 0, 0, false};
        FullTotal += P.Full;
        Places.push_back(P);
    }
    const int Count = int(Places.size());
    auto SumBefore = [&](int Index, bool Minimum) {
        int Sum = 0;
        for (int K = 0; K < Index; ++K)
            Sum += Minimum ? Places[size_t(K)].Min : Places[size_t(K)].Full;
        return Sum;
    };
    auto Along = [&](int Index) {
        const TPoint& Pos = Row->Cols(Index)->Pos;
        return Horizontal ? Pos.X : Pos.Y;
    };
    auto MultiLine = [](TdxBarControl* W) { return W->Bar()->MultiLine() || W->IsFloating(); };
    if (Places[0].Window->Bar()->WholeRow()) {
        TPlace& P = Places[0];
        P.Start = 0;
        P.Length = std::max(L, P.Min);
        P.Truncated = !MultiLine(P.Window) && L < P.Full;
    } else if (L < FullTotal) {
        // The bar under the pointer keeps its whole length where the pointer put it: the bar
        // after it gives way first, the bars before it are cut.
        const TdxBarControl* Dragged = TdxBarMover::MovingBarControl(FBarManager);
        int A = L;
        for (int I = Count - 1; I >= 0; --I) {
            TPlace& P = Places[size_t(I)];
            const int Low = SumBefore(I, true), High = SumBefore(I, false);
            int Start = std::clamp(Along(I), Low, std::max(Low, High));
            if (I > 0 && Places[size_t(I - 1)].Window == Dragged)
                Start = std::min(Start, std::max(Along(I - 1), SumBefore(I - 1, true)) +
                                            Places[size_t(I - 1)].Full);
            const int Room = A - Start;
            if (P.Full > Room) {
                P.Truncated = !MultiLine(P.Window) && P.Min != P.Full;
                P.Length = std::max(P.Min, Room);
            } else {
                P.Length = P.Full;
            }
            if (I == 0 && P.Length < A) P.Length = A;
            P.Start = std::clamp(A - P.Length, Low, std::max(Low, High));
            A = P.Start;
        }
    } else {
        int A = L;
        for (int I = Count - 1; I >= 0; --I) {
            TPlace& P = Places[size_t(I)];
            P.Length = P.Full;
            P.Start = Along(I);
            if (P.Start + P.Full > A) P.Start = A - P.Full;
            P.Start = std::max(P.Start, SumBefore(I, false));
            A = P.Start;
        }
    }
    for (int I = 0; I < Count; ++I) {
        TPlace& P = Places[size_t(I)];
        if (!P.Window->Bar()->UseRestSpace()) continue;
        P.Start = I == 0 ? 0 : Places[size_t(I - 1)].Start + Places[size_t(I - 1)].Length;
        const int End = I + 1 < Count ? Places[size_t(I + 1)].Start : L;
        P.Length = std::max(P.Min, End - P.Start);
    }
    TPlace& Last = Places.back();
    if (Last.Truncated) Last.Length = std::max(Last.Min, L - Last.Start);
    int RowThickness = 0;
    for (TPlace& P : Places) {
        P.Thickness = P.Window->ThicknessForLength(P.Length);
        RowThickness = std::max(RowThickness, P.Thickness);
    }
    for (TPlace& P : Places) {
        const TRect R =
            Horizontal ? TRect{P.Start, RowOffset, P.Start + P.Length, RowOffset + RowThickness}
                       : TRect{RowOffset, P.Start, RowOffset + RowThickness, P.Start + P.Length};
        if (!(R == P.Window->BoundsRect())) P.Window->SetBoundsRect(R);
        P.Window->CalcControlsPositions();
    }
}

void TdxDockControl::AdjustSize() {
    if (!FBarManager) return;
    const int Size = DockSize();
    const int Across = Size + (Size >= 1 && GetSunkenBorder() ? 2 : 0);
    const TdxBarDockingStyle Style = DockingStyle();
    const int Current = IsHorizontal() ? Height() : Width();
    if (Current == Across) return;
    switch (Style) {
        case dsBottom:
            SetBounds(Left(), Top() + Height() - Across, Width(), Across);
            break;
        case dsRight:
            SetBounds(Left() + Width() - Across, Top(), Across, Height());
            break;
        case dsLeft:
            SetBounds(Left(), Top(), Across, Height());
            break;
        default:
            SetBounds(Left(), Top(), Width(), Across);
            break;
    }
    // The quick-customizing window (with the menu it opened) stays open while its entries show
    // and hide the buttons that change the site's size.
    TCustomdxBarControl* Active = ActiveBarControl();
    if (Active && (!Active->HandleAllocated() || GetCapture() != Active->Handle()) &&
        TopLevelBarControl(Active) != dxBarCustomizing().QuickControl())
        Active->SetActive(false);
}

// ---- colour, border, window -------------------------------------------------------------------

bool TdxDockControl::CanDock(TdxBar*) const {
    return AllowDocking;
}

void TdxDockControl::UpdateColor() {
    if (!FBarManager) return;
    if (!FBarManager->AutoDockColor())
        SetColor(FBarManager->DockColor());
    else
        SetParentColor(true);
}

bool TdxDockControl::GetSunkenBorder() const {
    return FBarManager && FBarManager->SunkenBorder();
}

void TdxDockControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.WindowClass.style |= CS_DBLCLKS;
}

void TdxDockControl::CreateWnd() {
    TCustomControl::CreateWnd();
}

void TdxDockControl::Paint() {
    const RECT R = ClientRect();
    const HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(Canvas()->Handle(), &R, Brush);
    DeleteObject(Brush);
}

void TdxDockControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_NCCALCSIZE:
            TCustomControl::Dispatch(Message);
            if (GetSunkenBorder()) {
                RECT* R = Message.WParam
                              ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(Message.LParam);
                InflateRect(R, -1, -1);
            }
            return;
        case WM_NCPAINT: {
            TCustomControl::Dispatch(Message);
            if (!GetSunkenBorder()) return;
            const HDC DC = GetWindowDC(Handle());
            RECT W{0, 0, Width(), Height()};
            DrawEdge(DC, &W, BDR_SUNKENOUTER, BF_RECT);
            ReleaseDC(Handle(), DC);
            return;
        }
        case WM_MOUSEACTIVATE:
            // A click on the site raises the form without making the site active.
            if (FBarManager && FBarManager->OwnerForm() &&
                FBarManager->OwnerForm()->HandleAllocated())
                SetWindowPos(FBarManager->OwnerForm()->Handle(), HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            Message.Result = MA_NOACTIVATE;
            return;
        case WM_RBUTTONDOWN:
            TCustomControl::Dispatch(Message);
            if (FBarManager && !FBarManager->IsCustomizing()) {
                const TPoint At{short(LOWORD(std::uintptr_t(Message.LParam))),
                                short(HIWORD(std::uintptr_t(Message.LParam)))};
                ShowToolbarsPopup(FBarManager->OwnerForm(), ClientToScreen(At));
            }
            return;
        case WM_LBUTTONDBLCLK:
            TCustomControl::Dispatch(Message);
            if (FBarManager && FBarManager->CanCustomize)
                dxBarCustomizing().ShowForm(FBarManager, true);
            return;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            if (DockingStyle() == dsBottom && FBarManager) {
                for (TdxDockRow* Row : FRows)
                    for (int I = 0; I < Row->ColCount(); ++I)
                        if (Row->Cols(I)->BarControl()->Bar()->BorderStyle() == bbsNone)
                            Row->Cols(I)->BarControl()->FrameChanged();
            }
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

// ---- the published site -----------------------------------------------------------------------

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner) : TdxDockControl(AOwner, nullptr, dsNone) {
    SetAlign(alTop);
}

void TdxBarDockControl::SetDockAlign(TdxBarDockAlign Value) {
    if (FDockAlign == Value) return;
    static constexpr TAlign kAligns[] = {alNone, alTop, alBottom, alLeft, alRight};
    static constexpr TdxBarDockingStyle kStyles[] = {dsTop, dsTop, dsBottom, dsLeft, dsRight};
    {
        TdxBarUpdateLock Lock(BarManager());
        for (int R = 0; R < RowCount(); ++R)
            for (int I = 0; I < Rows(R)->ColCount(); ++I)
                Rows(R)->Cols(I)->BarControl()->SetDockingStyle(kStyles[Value]);
        FDockAlign = Value;
        SetAlign(kAligns[Value]);
    }
    for (int R = 0; R < RowCount(); ++R)
        for (int I = 0; I < Rows(R)->ColCount(); ++I)
            Rows(R)->Cols(I)->BarControl()->UpdateLayout();
    if (Parent()) Parent()->Realign();
}

bool TdxBarDockControl::CanDock(TdxBar* Bar) const {
    if (!TdxDockControl::CanDock(Bar)) return false;
    // A site inside the bar's own window cannot take it.
    for (const TControl* C = this; C; C = C->Parent())
        if (Bar && C == Bar->Control()) return false;
    return true;
}

void TdxBarDockControl::UpdateColor() {
    if (!FUseOwnColor) TdxDockControl::UpdateColor();
}

void TdxBarDockControl::SetUseOwnColor(bool Value) {
    if (FUseOwnColor == Value) return;
    FUseOwnColor = Value;
    if (!Value) TdxDockControl::UpdateColor();
}

void TdxBarDockControl::SetDockColor(TColor Value) {
    SetColor(Value);
    if (!ComponentState().Contains(csLoading)) FUseOwnColor = true;
}

void TdxBarDockControl::SetDockParentColor(bool Value) {
    SetParentColor(Value);
    if (!ComponentState().Contains(csLoading)) FUseOwnColor = true;
}

bool TdxBarDockControl::GetSunkenBorder() const {
    return FUseOwnSunkenBorder ? FSunkenBorder : TdxDockControl::GetSunkenBorder();
}

void TdxBarDockControl::SetSunkenBorder(bool Value) {
    if (GetSunkenBorder() == Value) return;
    FSunkenBorder = Value;
    FUseOwnSunkenBorder = true;
    if (HandleAllocated()) {
        SetWindowPos(Handle(), 0, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Realign();
    }
}

void TdxBarDockControl::SetUseOwnSunkenBorder(bool Value) {
    if (FUseOwnSunkenBorder == Value) return;
    const bool Was = GetSunkenBorder();
    if (Value) FSunkenBorder = Was;
    FUseOwnSunkenBorder = Value;
    if (GetSunkenBorder() != Was && HandleAllocated()) Realign();
}

int TdxBarDockControl::DockSize() const {
    if (ComponentState().Contains(csLoading) || (BarManager() && BarManager()->Bars()->Loading()))
        return ClientAcross();
    return TdxDockControl::DockSize();
}
