#include "platform/controls/NcScrollBars.h"

#include <algorithm>

#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

// The first repeat waits longer, as a key's does.
constexpr UINT kFirstRepeatMs = 250;
constexpr UINT kRepeatMs = 50;
// A proportional thumb is never shorter than this.
constexpr int kMinThumb = 8;

int BarThickness(int Bar) {
    return GetSystemMetrics(Bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
}

// The track's dither: every other pixel light, as classic scroll bars are.
HBRUSH DitherBrush() {
    static const HBRUSH Brush = [] {
        const WORD Rows[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
        const HBITMAP Bits = CreateBitmap(8, 8, 1, 1, Rows);
        const HBRUSH B = CreatePatternBrush(Bits);
        DeleteObject(Bits);
        return B;
    }();
    return Brush;
}

void FillTrack(HDC DC, const RECT& R, bool Pressed) {
    if (IsRectEmpty(&R)) return;
    const COLORREF OldText = SetTextColor(DC, GetSysColor(COLOR_BTNFACE));
    const COLORREF OldBack = SetBkColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(DC, &R, DitherBrush());
    SetTextColor(DC, OldText);
    SetBkColor(DC, OldBack);
    if (Pressed) InvertRect(DC, &R);
}

}  // namespace

bool LeftButtonHeld() {
    return (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
}

bool TNcScrollBars::Needed(int Bar) const {
    const TScrollRange& R = FBars[Bar].Range;
    return R.Max >= R.Min && R.Max - R.Min + 1 > std::max(R.Page, 0);
}

int TNcScrollBars::TrackPos(int Bar) const {
    if (FTrack.Part == TPart::Thumb && FTrack.Bar == Bar) return FTrack.Pos;
    return FBars[Bar].Range.Pos;
}

bool TNcScrollBars::Set(int Bar, const TScrollRange& Range) {
    TBar& B = FBars[Bar];
    const auto Style = static_cast<DWORD>(GetWindowLongPtr(FWnd, GWL_STYLE));
    const bool Styled = Style & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
    const TScrollRange Old = B.Range;
    B.Range = Range;
    const bool Show = Styled && (FKeep || Needed(Bar));
    if (Show != B.Shown) {
        B.Shown = Show;
        SetWindowPos(FWnd, 0, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    }
    if (!Show || Old == Range || !IsWindowVisible(FWnd)) return false;
    // Only what looks different is drawn again: adding to a long list moves no thumb pixel.
    B.Range = Old;
    const TLayout Before = Layout(Bar, TrackPos(Bar));
    B.Range = Range;
    const TLayout After = Layout(Bar, TrackPos(Bar));
    if (Before.Enabled != After.Enabled || Before.HasThumb != After.HasThumb ||
        Before.ThumbStart != After.ThumbStart || Before.ThumbLength != After.ThumbLength) {
        const HDC DC = GetWindowDC(FWnd);
        if (DC) {
            PaintBar(DC, Bar);
            ReleaseDC(FWnd, DC);
        }
    }
    return false;
}

void TNcScrollBars::CalcSize(RECT& Client) const {
    if (FBars[SB_VERT].Shown)
        Client.right = std::max(Client.left, Client.right - BarThickness(SB_VERT));
    if (FBars[SB_HORZ].Shown)
        Client.bottom = std::max(Client.top, Client.bottom - BarThickness(SB_HORZ));
}

POINT TNcScrollBars::WindowOrigin() const {
    RECT W;
    GetWindowRect(FWnd, &W);
    return POINT{W.left, W.top};
}

RECT TNcScrollBars::ClientInWindow() const {
    RECT C;
    GetClientRect(FWnd, &C);
    POINT O{0, 0};
    ClientToScreen(FWnd, &O);
    const POINT W = WindowOrigin();
    OffsetRect(&C, O.x - W.x, O.y - W.y);
    return C;
}

TNcScrollBars::TLayout TNcScrollBars::Layout(int Bar, int Pos) const {
    TLayout L;
    const RECT C = ClientInWindow();
    L.Vertical = Bar == SB_VERT;
    if (L.Vertical) {
        L.Bar = RECT{C.right, C.top, C.right + BarThickness(SB_VERT), C.bottom};
        L.Start = L.Bar.top;
        L.End = L.Bar.bottom;
    } else {
        L.Bar = RECT{C.left, C.bottom, C.right, C.bottom + BarThickness(SB_HORZ)};
        L.Start = L.Bar.left;
        L.End = L.Bar.right;
    }
    const int Length = std::max(0, L.End - L.Start);
    L.Arrow = std::min(BarThickness(Bar), Length / 2);
    L.Enabled = Needed(Bar) && IsWindowEnabled(FWnd);
    const TScrollRange& R = FBars[Bar].Range;
    const int Track = Length - 2 * L.Arrow;
    if (!L.Enabled || Track <= 0) return L;
    const long long Span = static_cast<long long>(R.Max) - R.Min + 1;
    L.ThumbLength = R.Page <= 0 ? BarThickness(Bar)
                                : std::max(kMinThumb, static_cast<int>(Track * R.Page / Span));
    if (L.ThumbLength > Track) return L;
    L.HasThumb = true;
    const long long Last = std::max<long long>(R.Min, R.Max - std::max(R.Page - 1, 0));
    const long long Along = std::clamp<long long>(Pos, R.Min, Last) - R.Min;
    const long long Room = Track - L.ThumbLength;
    L.ThumbStart =
        L.Start + L.Arrow + static_cast<int>(Last == R.Min ? 0 : Along * Room / (Last - R.Min));
    return L;
}

int TNcScrollBars::PosOfThumb(const TLayout& L, int ThumbStart) const {
    const TScrollRange& R = FBars[L.Vertical ? SB_VERT : SB_HORZ].Range;
    const long long Last = std::max<long long>(R.Min, R.Max - std::max(R.Page - 1, 0));
    const long long Room = L.End - L.Start - 2 * L.Arrow - L.ThumbLength;
    if (Room <= 0) return R.Min;
    const long long Offset = std::clamp<long long>(ThumbStart - L.Start - L.Arrow, 0, Room);
    return static_cast<int>(R.Min + (Offset * (Last - R.Min) + Room / 2) / Room);
}

RECT TNcScrollBars::PartRect(const TLayout& L, int From, int To) const {
    return L.Vertical ? RECT{L.Bar.left, From, L.Bar.right, To}
                      : RECT{From, L.Bar.top, To, L.Bar.bottom};
}

TNcScrollBars::TPart TNcScrollBars::PartAt(const TLayout& L, int Along) const {
    if (Along < L.Start || Along >= L.End) return TPart::None;
    if (Along < L.Start + L.Arrow) return TPart::LessArrow;
    if (Along >= L.End - L.Arrow) return TPart::MoreArrow;
    if (!L.HasThumb) return TPart::None;
    if (Along < L.ThumbStart) return TPart::LessPage;
    if (Along >= L.ThumbStart + L.ThumbLength) return TPart::MorePage;
    return TPart::Thumb;
}

int TNcScrollBars::AlongOf(const TLayout& L, POINT Screen) const {
    const POINT W = WindowOrigin();
    return L.Vertical ? Screen.y - W.y : Screen.x - W.x;
}

LRESULT TNcScrollBars::HitTest(POINT Screen) const {
    const POINT W = WindowOrigin();
    const POINT P{Screen.x - W.x, Screen.y - W.y};
    for (const int Bar : {SB_VERT, SB_HORZ}) {
        if (!FBars[Bar].Shown) continue;
        const TLayout L = Layout(Bar, TrackPos(Bar));
        if (PtInRect(&L.Bar, P)) return Bar == SB_VERT ? HTVSCROLL : HTHSCROLL;
    }
    return HTNOWHERE;
}

void TNcScrollBars::PaintBar(HDC DC, int Bar) const {
    const TLayout L = Layout(Bar, TrackPos(Bar));
    if (IsRectEmpty(&L.Bar)) return;
    const bool Tracked = FTrack.Part != TPart::None && FTrack.Bar == Bar && FTrack.Over;
    const UINT Inactive = L.Enabled ? 0 : DFCS_INACTIVE;
    const UINT Less = L.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
    const UINT More = L.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
    const UINT Pushed = DFCS_PUSHED | DFCS_FLAT;
    RECT R = PartRect(L, L.Start, L.Start + L.Arrow);
    DrawFrameControl(DC, &R, DFC_SCROLL,
                     Less | Inactive | (Tracked && FTrack.Part == TPart::LessArrow ? Pushed : 0));
    R = PartRect(L, L.End - L.Arrow, L.End);
    DrawFrameControl(DC, &R, DFC_SCROLL,
                     More | Inactive | (Tracked && FTrack.Part == TPart::MoreArrow ? Pushed : 0));
    const int TrackStart = L.Start + L.Arrow;
    const int TrackEnd = L.End - L.Arrow;
    if (!L.HasThumb) {
        FillTrack(DC, PartRect(L, TrackStart, TrackEnd), false);
        return;
    }
    const int ThumbEnd = L.ThumbStart + L.ThumbLength;
    FillTrack(DC, PartRect(L, TrackStart, L.ThumbStart), Tracked && FTrack.Part == TPart::LessPage);
    FillTrack(DC, PartRect(L, ThumbEnd, TrackEnd), Tracked && FTrack.Part == TPart::MorePage);
    R = PartRect(L, L.ThumbStart, ThumbEnd);
    DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void TNcScrollBars::Paint() const {
    if (!FBars[SB_VERT].Shown && !FBars[SB_HORZ].Shown) return;
    const HDC DC = GetWindowDC(FWnd);
    if (!DC) return;
    for (const int Bar : {SB_VERT, SB_HORZ})
        if (FBars[Bar].Shown) PaintBar(DC, Bar);
    const RECT C = ClientInWindow();
    RECT Inside = C;
    if (FBars[SB_VERT].Shown) Inside.right += BarThickness(SB_VERT);
    if (FBars[SB_HORZ].Shown) Inside.bottom += BarThickness(SB_HORZ);
    if (FBars[SB_VERT].Shown && FBars[SB_HORZ].Shown) {
        const RECT Corner{C.right, C.bottom, Inside.right, Inside.bottom};
        FillRect(DC, &Corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    // The sunken client edge goes around the bars as well (the frame drew it around the client
    // area alone, under the bars).
    if (GetWindowLongPtr(FWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
        InflateRect(&Inside, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
        DrawEdge(DC, &Inside, EDGE_SUNKEN, BF_RECT);
    }
    ReleaseDC(FWnd, DC);
}

void TNcScrollBars::Send(WORD Code, int Pos) {
    const UINT Msg = FTrack.Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    SendMessage(FWnd, Msg, MAKEWPARAM(Code, static_cast<WORD>(std::clamp(Pos, 0, 0xFFFF))), 0);
}

bool TNcScrollBars::Press(POINT Screen) {
    const LRESULT Hit = HitTest(Screen);
    if (Hit == HTNOWHERE) return false;
    if (Tracking()) return true;
    const int Bar = Hit == HTVSCROLL ? SB_VERT : SB_HORZ;
    const TLayout L = Layout(Bar, FBars[Bar].Range.Pos);
    const TPart Part = L.Enabled ? PartAt(L, AlongOf(L, Screen)) : TPart::None;
    if (Part == TPart::None) return true;
    FTrack = TTrack{Bar, Part, true, false, 0, FBars[Bar].Range.Pos};
    if (GetCapture() != FWnd) {
        SetCapture(FWnd);
        FTrack.OwnCapture = true;
    }
    if (Part == TPart::Thumb) {
        FTrack.Grab = AlongOf(L, Screen) - L.ThumbStart;
    } else {
        SetTimer(FWnd, kRepeatTimer, kFirstRepeatMs);
        Step();
    }
    if (!IsWindow(FWnd) || !Tracking()) return true;
    Paint();
    // Handled late, the press may find its release gone by already (to where the pointer was).
    if (!LeftButtonHeld()) {
        POINT Cursor;
        GetCursorPos(&Cursor);
        Release(Cursor);
    }
    return true;
}

// One step of a held arrow or page part; a page part stops once the thumb reached the pointer.
void TNcScrollBars::Step() {
    if (!FTrack.Over) return;
    const TLayout L = Layout(FTrack.Bar, FBars[FTrack.Bar].Range.Pos);
    POINT Cursor;
    GetCursorPos(&Cursor);
    const int Along = AlongOf(L, Cursor);
    switch (FTrack.Part) {
        case TPart::LessArrow:
            Send(SB_LINEUP, 0);
            break;
        case TPart::MoreArrow:
            Send(SB_LINEDOWN, 0);
            break;
        case TPart::LessPage:
            if (L.HasThumb && Along < L.ThumbStart) Send(SB_PAGEUP, 0);
            break;
        case TPart::MorePage:
            if (L.HasThumb && Along >= L.ThumbStart + L.ThumbLength) Send(SB_PAGEDOWN, 0);
            break;
        default:
            break;
    }
}

void TNcScrollBars::Move(POINT Screen) {
    if (!Tracking()) return;
    if (!LeftButtonHeld()) {
        Release(Screen);
        return;
    }
    Follow(Screen);
}

void TNcScrollBars::Follow(POINT Screen) {
    const TLayout L = Layout(FTrack.Bar, FBars[FTrack.Bar].Range.Pos);
    const int Along = AlongOf(L, Screen);
    if (FTrack.Part == TPart::Thumb) {
        const int Pos = PosOfThumb(L, Along - FTrack.Grab);
        if (Pos == FTrack.Pos) return;
        FTrack.Pos = Pos;
        Send(SB_THUMBTRACK, Pos);
        if (IsWindow(FWnd)) Paint();
        return;
    }
    // Arrows and page parts act only while the pointer is over them.
    const bool Over = PartAt(L, Along) == FTrack.Part && [&] {
        const POINT W = WindowOrigin();
        return PtInRect(&L.Bar, POINT{Screen.x - W.x, Screen.y - W.y}) != 0;
    }();
    if (Over == FTrack.Over) return;
    FTrack.Over = Over;
    Paint();
}

void TNcScrollBars::Release(POINT Screen) {
    if (!Tracking()) return;
    Follow(Screen);
    if (FTrack.Part == TPart::Thumb) Send(SB_THUMBPOSITION, FTrack.Pos);
    if (!IsWindow(FWnd)) return;
    Send(SB_ENDSCROLL, 0);
    End();
}

void TNcScrollBars::Repeat() {
    if (!Tracking() || FTrack.Part == TPart::Thumb) return;
    SetTimer(FWnd, kRepeatTimer, kRepeatMs);
    Step();
}

void TNcScrollBars::Cancel() {
    if (!Tracking()) return;
    FTrack.OwnCapture = false;
    End();
}

void TNcScrollBars::End() {
    const bool Release = FTrack.OwnCapture;
    FTrack = TTrack{};
    KillTimer(FWnd, kRepeatTimer);
    if (Release && GetCapture() == FWnd) ReleaseCapture();
    if (IsWindow(FWnd)) Paint();
}
