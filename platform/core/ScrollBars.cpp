// The standard scroll bars of windows: their records, the room they take, their look, hit
// testing and the loop that tracks a press on them.
#include <QImage>
#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/core/ScrollBarImpl.h"
#include "platform/core/TrackImpl.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

using namespace TrackImpl;

// The tracking loop's repeat timer, on the tracked window; far from the small ids programs use.
constexpr UINT_PTR kRepeatTimer = 0xFFF0;
// A held arrow or page area repeats after this long, then at the faster rate.
constexpr UINT kFirstRepeatMs = 350;
constexpr UINT kRepeatMs = 50;
// The thumb never gets shorter than this, however large the range is against the page.
constexpr int kMinThumb = 8;

// The parts of a bar along its length, in order, with what a press on them asks the window for.
enum class TPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };
struct TPartInfo {
    TPart Part;
    WORD Request;
};
constexpr std::array<TPartInfo, 4> kRequests = {{{TPart::LineUp, SB_LINEUP},
                                                 {TPart::PageUp, SB_PAGEUP},
                                                 {TPart::PageDown, SB_PAGEDOWN},
                                                 {TPart::LineDown, SB_LINEDOWN}}};

WORD RequestOf(TPart Part) {
    for (const TPartInfo& I : kRequests)
        if (I.Part == Part) return I.Request;
    return SB_ENDSCROLL;
}

struct TBar {
    int Min = 0;
    int Max = 100;
    UINT Page = 0;
    int Pos = 0;
    // EnableScrollBar's disabled arrows (ESB_DISABLE_BOTH: the whole bar).
    UINT DisabledArrows = ESB_ENABLE_BOTH;
    // Disabled by SIF_DISABLENOSCROLL while it has nothing to scroll.
    bool NothingToScroll = false;
    bool Tracking = false;
    int TrackPos = 0;
    TPart Pressed = TPart::None;
};

struct TBars {
    std::array<TBar, 2> Bars;
};

std::unordered_map<HWND, TBars>& Records() {
    static auto* Map = new std::unordered_map<HWND, TBars>;
    return *Map;
}

const TBar& BarOrDefault(HWND Wnd, int Bar) {
    static const TBar Default;
    auto It = Records().find(Wnd);
    return It == Records().end() ? Default : It->second.Bars[size_t(Bar)];
}

// The record of a window's bar, made on first use. Records of windows that are gone are swept
// out then (handles are never reused, so a stale record is only memory).
TBar& BarOf(HWND Wnd, int Bar) {
    auto& Map = Records();
    if (!Map.count(Wnd))
        std::erase_if(Map, [](const auto& Entry) { return !FindWnd(Entry.first); });
    return Map[Wnd].Bars[size_t(Bar)];
}

// Null when the window went meanwhile (a handler of the window destroyed it).
TBar* LiveBar(HWND Wnd, int Bar) {
    if (!FindWnd(Wnd)) return nullptr;
    auto It = Records().find(Wnd);
    return It == Records().end() ? nullptr : &It->second.Bars[size_t(Bar)];
}

bool ValidBar(int Bar) {
    return Bar == SB_HORZ || Bar == SB_VERT;
}

DWORD StyleBit(int Bar) {
    return Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

// The highest position: the page ends at the range's end. Wide arithmetic: ranges may span int.
std::int64_t MaxPos(const TBar& B) {
    const std::int64_t Page = B.Page > 0 ? std::int64_t(B.Page) - 1 : 0;
    return std::max<std::int64_t>(B.Min, std::int64_t(B.Max) - Page);
}

bool CanScroll(const TBar& B) {
    return MaxPos(B) > B.Min;
}

bool Enabled(const TBar& B) {
    return !B.NothingToScroll && B.DisabledArrows != ESB_DISABLE_BOTH;
}

void Clamp(TBar& B) {
    B.Max = std::max(B.Min, B.Max);
    const std::int64_t Span = std::int64_t(B.Max) - B.Min + 1;
    if (std::int64_t(B.Page) > Span) B.Page = static_cast<UINT>(Span);
    B.Pos = static_cast<int>(std::clamp<std::int64_t>(B.Pos, B.Min, MaxPos(B)));
}

// --- geometry ------------------------------------------------------------------------------

int BarWidth(int Bar) {
    return GetSystemMetrics(Bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
}

// A bar's rectangle in window coordinates, beside (or below) the client area.
RECT BarRect(const TWnd& W, int Bar) {
    const RECT& C = W.Client;
    if (Bar == SB_VERT) return RECT{C.right, C.top, C.right + BarWidth(SB_VERT), C.bottom};
    return RECT{C.left, C.bottom, C.right, C.bottom + BarWidth(SB_HORZ)};
}

bool Shown(const TWnd& W, int Bar) {
    return (W.Style & StyleBit(Bar)) != 0;
}

// Positions along the bar's length, window coordinates.
struct TLayout {
    RECT Bar{};
    bool Vertical = true;
    int Start = 0;
    int End = 0;
    int Arrow = 0;
    int ThumbStart = 0;
    int ThumbLength = 0;  // 0: no thumb
    int TrackStart() const { return Start + Arrow; }
    int TrackEnd() const { return End - Arrow; }
    RECT Span(int From, int To) const {
        return Vertical ? RECT{Bar.left, From, Bar.right, To} : RECT{From, Bar.top, To, Bar.bottom};
    }
};

TLayout LayoutOf(const TWnd& W, int Bar, const TBar& B) {
    TLayout L;
    L.Bar = BarRect(W, Bar);
    L.Vertical = Bar == SB_VERT;
    L.Start = L.Vertical ? L.Bar.top : L.Bar.left;
    L.End = L.Vertical ? L.Bar.bottom : L.Bar.right;
    const int Length = std::max(0, L.End - L.Start);
    L.Arrow = std::min(GetSystemMetrics(L.Vertical ? SM_CYVSCROLL : SM_CXHSCROLL), Length / 2);
    if (!Enabled(B) || !CanScroll(B)) return L;
    const int Track = L.TrackEnd() - L.TrackStart();
    const std::int64_t Span = std::int64_t(B.Max) - B.Min + 1;
    int Thumb = B.Page > 0 ? static_cast<int>(Track * std::int64_t(B.Page) / Span)
                           : GetSystemMetrics(L.Vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    Thumb = std::max(Thumb, kMinThumb);
    if (Thumb >= Track) return L;
    const std::int64_t Pos = B.Tracking ? B.TrackPos : B.Pos;
    const std::int64_t Range = MaxPos(B) - B.Min;
    L.ThumbLength = Thumb;
    L.ThumbStart = L.TrackStart() + static_cast<int>((Pos - B.Min) * (Track - Thumb) / Range);
    return L;
}

TPart PartAt(const TLayout& L, POINT Local) {
    if (!PtInRect(&L.Bar, Local)) return TPart::None;
    const int At = L.Vertical ? Local.y : Local.x;
    if (At < L.TrackStart()) return TPart::LineUp;
    if (At >= L.TrackEnd()) return TPart::LineDown;
    if (L.ThumbLength == 0) return TPart::None;
    if (At < L.ThumbStart) return TPart::PageUp;
    if (At < L.ThumbStart + L.ThumbLength) return TPart::Thumb;
    return TPart::PageDown;
}

// The position whose thumb starts at ThumbStart (rounded to the nearest).
int PosAt(const TLayout& L, const TBar& B, int ThumbStart) {
    const int Room = L.TrackEnd() - L.TrackStart() - L.ThumbLength;
    if (Room <= 0) return B.Min;
    const std::int64_t Offset = std::clamp(ThumbStart - L.TrackStart(), 0, Room);
    const std::int64_t Range = MaxPos(B) - B.Min;
    return static_cast<int>(B.Min + (Offset * Range + Room / 2) / Room);
}

bool ArrowEnabled(const TBar& B, TPart Part) {
    if (!Enabled(B)) return false;
    if (Part == TPart::LineUp) return !(B.DisabledArrows & ESB_DISABLE_LTUP);
    if (Part == TPart::LineDown) return !(B.DisabledArrows & ESB_DISABLE_RTDN);
    return true;
}

// --- painting ------------------------------------------------------------------------------

// The track's classic dither of highlight and face, one pixel apart.
void FillTrack(HDC DC, const RECT& R) {
    QImage Pattern(8, 8, QImage::Format_RGB32);
    const COLORREF A = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF B = GetSysColor(COLOR_BTNFACE);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X) {
            const COLORREF C = ((X + Y) & 1) ? B : A;
            Pattern.setPixel(X, Y, qRgb(GetRValue(C), GetGValue(C), GetBValue(C)));
        }
    const HBITMAP Bitmap = CreateBitmapFromImage(Pattern);
    const HBRUSH Brush = CreatePatternBrush(Bitmap);
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
    DeleteObject(Bitmap);
}

void PaintArrow(HDC DC, RECT R, UINT Kind, const TBar& B, TPart Part) {
    UINT State = Kind;
    if (!ArrowEnabled(B, Part)) State |= DFCS_INACTIVE;
    if (B.Pressed == Part) State |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(DC, &R, DFC_SCROLL, State);
}

void PaintBar(HDC DC, const TWnd& W, int Bar) {
    const TBar& B = BarOrDefault(W.Handle, Bar);
    const TLayout L = LayoutOf(W, Bar, B);
    if (IsRectEmpty(&L.Bar)) return;
    PaintArrow(DC, L.Span(L.Start, L.TrackStart()), L.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, B,
               TPart::LineUp);
    PaintArrow(DC, L.Span(L.TrackEnd(), L.End), L.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, B,
               TPart::LineDown);
    const RECT Track = L.Span(L.TrackStart(), L.TrackEnd());
    if (IsRectEmpty(&Track)) return;
    FillTrack(DC, Track);
    if (L.ThumbLength == 0) return;
    const int ThumbEnd = L.ThumbStart + L.ThumbLength;
    // A held page area shows dark, as long as the cursor stays on it.
    if (B.Pressed == TPart::PageUp) {
        const RECT Page = L.Span(L.TrackStart(), L.ThumbStart);
        InvertRect(DC, &Page);
    } else if (B.Pressed == TPart::PageDown) {
        const RECT Page = L.Span(ThumbEnd, L.TrackEnd());
        InvertRect(DC, &Page);
    }
    RECT Thumb = L.Span(L.ThumbStart, ThumbEnd);
    DrawEdge(DC, &Thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

// What a bar shows: it is drawn again only when this changes (a list that grows by one item
// rarely moves its thumb by a pixel).
struct TLook {
    bool Shown = false;
    bool Enabled = false;
    UINT DisabledArrows = ESB_ENABLE_BOTH;
    RECT Bar{};
    int ThumbStart = 0;
    int ThumbLength = 0;
    friend bool operator==(const TLook&, const TLook&) = default;
};

TLook LookOf(HWND Wnd, int Bar) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return TLook{};
    const TBar& B = BarOrDefault(Wnd, Bar);
    const TLayout L = LayoutOf(*W, Bar, B);
    return TLook{Shown(*W, Bar), Enabled(B), B.DisabledArrows, L.Bar, L.ThumbStart, L.ThumbLength};
}

void Repaint(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !IsWindowVisible(Wnd) || !(W->Style & (WS_VSCROLL | WS_HSCROLL))) return;
    const HDC DC = GetWindowDC(Wnd);
    if (!DC) return;
    ScrollBarImpl::Paint(DC, *W);
    ReleaseDC(Wnd, DC);
}

// --- showing -------------------------------------------------------------------------------

// Shows or hides the bar; the client area changes with it.
void SetShown(HWND Wnd, int Bar, bool Show) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || Shown(*W, Bar) == Show) return;
    if (Show)
        W->Style |= StyleBit(Bar);
    else
        W->Style &= ~StyleBit(Bar);
    SetWindowPos(Wnd, 0, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// After a new range or page: a bar that can scroll shows; one that cannot goes, or stays
// disabled when the caller asked for that.
void Reconsider(HWND Wnd, int Bar, bool DisableNoScroll) {
    TBar& B = BarOf(Wnd, Bar);
    const bool Can = CanScroll(B);
    B.NothingToScroll = DisableNoScroll && !Can;
    SetShown(Wnd, Bar, Can || DisableNoScroll);
}

// --- tracking ------------------------------------------------------------------------------

POINT WindowPoint(HWND Wnd, POINT Screen) {
    RECT R;
    GetWindowRect(Wnd, &R);
    return POINT{Screen.x - R.left, Screen.y - R.top};
}

// Sends the request; false when the window went in its handler.
bool Send(HWND Wnd, int Bar, WORD Request, int Pos = 0) {
    SendMessage(Wnd, Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
                MAKEWPARAM(Request, static_cast<WORD>(Pos)), 0);
    return FindWnd(Wnd) != nullptr;
}

// Where the cursor is, which part of the bar lies under it now (the thumb moves as the window
// scrolls, so a page area ends where the thumb has come to).
TPart PartUnderCursor(HWND Wnd, int Bar) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return TPart::None;
    return PartAt(LayoutOf(*W, Bar, BarOrDefault(Wnd, Bar)), WindowPoint(Wnd, CursorNow()));
}

// What a tracking loop does with a message that is not its own: mouse input is the loop's
// (it follows the cursor), everything else goes on.
void PassOn(MSG& Msg) {
    if (IsMouseMessage(Msg.message)) return;
    TModalLoop::Deliver(Msg);
}

// An arrow or page area: its request now, then again on the timer while the cursor stays on it.
void RepeatWhileHeld(HWND Wnd, int Bar, TPart Part) {
    const WORD Request = RequestOf(Part);
    bool Over = true;
    if (!Send(Wnd, Bar, Request)) return;
    SetTimer(Wnd, kRepeatTimer, kFirstRepeatMs);
    TModalLoop Loop(kTrackWait);
    MSG Msg;
    for (;;) {
        if (GetCapture() != Wnd || !LiveBar(Wnd, Bar)) break;
        if (!LeftButtonDown()) {
            DropDragMessages();
            break;
        }
        const bool NowOver = PartUnderCursor(Wnd, Bar) == Part;
        if (NowOver != Over) {
            Over = NowOver;
            LiveBar(Wnd, Bar)->Pressed = Over ? Part : TPart::None;
            Repaint(Wnd);
        }
        const TNext Next = Loop.Next(Msg);
        if (Next == TNext::Quit) break;
        if (Next == TNext::Idle) continue;
        if (Msg.message == WM_TIMER && Msg.hwnd == Wnd && Msg.wParam == kRepeatTimer) {
            if (Over && !Send(Wnd, Bar, Request)) return;
            SetTimer(Wnd, kRepeatTimer, kRepeatMs);
            continue;
        }
        PassOn(Msg);
    }
    KillTimer(Wnd, kRepeatTimer);
}

// The thumb follows the cursor; the window hears every new position and where it ended.
void DragThumb(HWND Wnd, int Bar) {
    TWndPtr W = FindWnd(Wnd);
    TBar* B = LiveBar(Wnd, Bar);
    if (!W || !B) return;
    const TLayout Start = LayoutOf(*W, Bar, *B);
    const auto Along = [&](POINT P) { return Start.Vertical ? P.y : P.x; };
    int Followed = Along(WindowPoint(Wnd, CursorNow()));
    const int Grab = Followed - Start.ThumbStart;
    B->Tracking = true;
    B->TrackPos = B->Pos;
    TModalLoop Loop(kTrackWait);
    MSG Msg;
    for (;;) {
        if (!(W = FindWnd(Wnd)) || !(B = LiveBar(Wnd, Bar))) return;
        if (GetCapture() != Wnd) break;
        // Only a move changes the position: the thumb's pixels round positions off.
        const int Now = Along(WindowPoint(Wnd, CursorNow()));
        if (Now != Followed) {
            Followed = Now;
            const int Pos = PosAt(LayoutOf(*W, Bar, *B), *B, Now - Grab);
            if (Pos != B->TrackPos) {
                B->TrackPos = Pos;
                Repaint(Wnd);
                if (!Send(Wnd, Bar, SB_THUMBTRACK, Pos)) return;
                continue;
            }
        }
        if (!LeftButtonDown()) {
            DropDragMessages();
            break;
        }
        const TNext Next = Loop.Next(Msg);
        if (Next == TNext::Quit) break;
        if (Next == TNext::Message) PassOn(Msg);
    }
    if ((B = LiveBar(Wnd, Bar))) Send(Wnd, Bar, SB_THUMBPOSITION, B->TrackPos);
}

}  // namespace

// --- the hooks of DefWindowProc ------------------------------------------------------------

void ScrollBarImpl::TakeRoom(const TWnd& W, RECT& Client) {
    if (W.Style & WS_VSCROLL)
        Client.right = std::max(Client.left, Client.right - BarWidth(SB_VERT));
    if (W.Style & WS_HSCROLL)
        Client.bottom = std::max(Client.top, Client.bottom - BarWidth(SB_HORZ));
}

RECT ScrollBarImpl::ClientWithBars(const TWnd& W) {
    RECT R = W.Client;
    if (W.Style & WS_VSCROLL) R.right += BarWidth(SB_VERT);
    if (W.Style & WS_HSCROLL) R.bottom += BarWidth(SB_HORZ);
    return R;
}

LRESULT ScrollBarImpl::HitTest(const TWnd& W, POINT Local) {
    for (int Bar : {SB_VERT, SB_HORZ}) {
        const RECT R = BarRect(W, Bar);
        if (Shown(W, Bar) && PtInRect(&R, Local)) return Bar == SB_VERT ? HTVSCROLL : HTHSCROLL;
    }
    if (Shown(W, SB_VERT) && Shown(W, SB_HORZ)) {
        const RECT Corner{W.Client.right, W.Client.bottom, W.Client.right + BarWidth(SB_VERT),
                          W.Client.bottom + BarWidth(SB_HORZ)};
        if (PtInRect(&Corner, Local))
            return (W.Style & WS_THICKFRAME) && !(W.Style & WS_MAXIMIZE) ? HTBOTTOMRIGHT : HTBORDER;
    }
    return HTNOWHERE;
}

void ScrollBarImpl::Paint(HDC WindowDC, const TWnd& W) {
    if (Shown(W, SB_VERT)) PaintBar(WindowDC, W, SB_VERT);
    if (Shown(W, SB_HORZ)) PaintBar(WindowDC, W, SB_HORZ);
    if (Shown(W, SB_VERT) && Shown(W, SB_HORZ)) {
        const RECT Corner{W.Client.right, W.Client.bottom, W.Client.right + BarWidth(SB_VERT),
                          W.Client.bottom + BarWidth(SB_HORZ)};
        FillRect(WindowDC, &Corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void ScrollBarImpl::Track(HWND Wnd, int Bar) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !ValidBar(Bar) || !Shown(*W, Bar)) return;
    const TPart Part = PartUnderCursor(Wnd, Bar);
    if (Part == TPart::None || !ArrowEnabled(BarOrDefault(Wnd, Bar), Part)) return;
    BarOf(Wnd, Bar).Pressed = Part;
    // A window that holds the capture already (a dropped-down list) keeps it: the press on its
    // bar is one moment of a gesture of its own.
    const bool Held = GetCapture() == Wnd;
    if (!Held) SetCapture(Wnd);
    Repaint(Wnd);
    if (Part == TPart::Thumb)
        DragThumb(Wnd, Bar);
    else
        RepeatWhileHeld(Wnd, Bar, Part);
    if (!Held && GetCapture() == Wnd) ReleaseCapture();
    TBar* B = LiveBar(Wnd, Bar);
    if (!B) return;
    B->Pressed = TPart::None;
    B->Tracking = false;
    Repaint(Wnd);
    Send(Wnd, Bar, SB_ENDSCROLL);
}

// --- the functions -------------------------------------------------------------------------

int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw) {
    if (!Info || !ValidBar(Bar) || !FindWnd(Wnd)) return 0;
    const TLook Before = LookOf(Wnd, Bar);
    TBar& B = BarOf(Wnd, Bar);
    if (Info->fMask & SIF_RANGE) {
        B.Min = Info->nMin;
        B.Max = Info->nMax;
    }
    if (Info->fMask & SIF_PAGE) B.Page = Info->nPage;
    if (Info->fMask & SIF_POS) B.Pos = Info->nPos;
    Clamp(B);
    const int Pos = B.Pos;
    if (Info->fMask & (SIF_RANGE | SIF_PAGE))
        Reconsider(Wnd, Bar, (Info->fMask & SIF_DISABLENOSCROLL) != 0);
    if (Redraw && !(LookOf(Wnd, Bar) == Before)) Repaint(Wnd);
    return Pos;
}

BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info) {
    TWndPtr W = FindWnd(Wnd);
    if (!Info || !ValidBar(Bar) || !W) return FALSE;
    if (!Shown(*W, Bar) && !Records().count(Wnd)) return FALSE;
    const TBar& B = BarOrDefault(Wnd, Bar);
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = B.Min;
        Info->nMax = B.Max;
    }
    if (Info->fMask & SIF_PAGE) Info->nPage = B.Page;
    if (Info->fMask & SIF_POS) Info->nPos = B.Pos;
    if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = B.Tracking ? B.TrackPos : B.Pos;
    return TRUE;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw) {
    if (!ValidBar(Bar) || !FindWnd(Wnd)) return 0;
    const int Old = BarOrDefault(Wnd, Bar).Pos;
    SCROLLINFO Info;
    Info.fMask = SIF_POS;
    Info.nPos = Pos;
    SetScrollInfo(Wnd, Bar, &Info, Redraw);
    return Old;
}

int GetScrollPos(HWND Wnd, int Bar) {
    SCROLLINFO Info;
    Info.fMask = SIF_POS;
    return GetScrollInfo(Wnd, Bar, &Info) ? Info.nPos : 0;
}

BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw) {
    if (!ValidBar(Bar) || !FindWnd(Wnd)) return FALSE;
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE;
    Info.nMin = Min;
    Info.nMax = Max;
    SetScrollInfo(Wnd, Bar, &Info, Redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max) {
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE;
    const BOOL Ok = GetScrollInfo(Wnd, Bar, &Info);
    if (Min) *Min = Ok ? Info.nMin : 0;
    if (Max) *Max = Ok ? Info.nMax : 0;
    return Ok;
}

BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show) {
    if (!FindWnd(Wnd) || (Bar != SB_BOTH && !ValidBar(Bar))) return FALSE;
    for (int One : {SB_HORZ, SB_VERT})
        if (Bar == SB_BOTH || Bar == One) {
            BarOf(Wnd, One);
            SetShown(Wnd, One, Show != FALSE);
        }
    return TRUE;
}

BOOL EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows) {
    const int Which = static_cast<int>(Bar);
    if (!FindWnd(Wnd) || (Which != SB_BOTH && !ValidBar(Which))) return FALSE;
    bool Changed = false;
    for (int One : {SB_HORZ, SB_VERT})
        if (Which == SB_BOTH || Which == One) {
            TBar& B = BarOf(Wnd, One);
            Changed = Changed || B.DisabledArrows != (Arrows & ESB_DISABLE_BOTH);
            B.DisabledArrows = Arrows & ESB_DISABLE_BOTH;
        }
    if (Changed) Repaint(Wnd);
    return Changed ? TRUE : FALSE;
}

BOOL InitializeFlatSB(HWND Wnd) {
    return FindWnd(Wnd) ? TRUE : FALSE;
}

BOOL FlatSB_GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info) {
    return GetScrollInfo(Wnd, Bar, Info);
}

int FlatSB_SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw) {
    return SetScrollInfo(Wnd, Bar, Info, Redraw);
}

int FlatSB_GetScrollPos(HWND Wnd, int Bar) {
    return GetScrollPos(Wnd, Bar);
}

int FlatSB_SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw) {
    return SetScrollPos(Wnd, Bar, Pos, Redraw);
}

BOOL FlatSB_SetScrollProp(HWND Wnd, UINT, LONG_PTR, BOOL) {
    return FindWnd(Wnd) ? TRUE : FALSE;
}
