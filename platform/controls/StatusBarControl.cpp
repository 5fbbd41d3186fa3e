#include "platform/controls/StatusBarControl.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/FlagScope.h"
#include "platform/controls/ControlLook.h"
#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

// SB_GETBORDERS: no border left and right, 2 pixels above the parts, 2 between them.
constexpr int kHorizontalBorder = 0;
constexpr int kVerticalBorder = 2;
constexpr int kSpacing = 2;
// Text keeps this far from a part's edge.
constexpr int kTextMargin = 2;

}  // namespace

TStatusBarControl::TStatusBarControl(HWND Wnd) : TWrappedControl(Wnd) {
    FParts.resize(1);
}

QWidget* TStatusBarControl::CreateWidget(QWidget*, const CREATESTRUCT&) {
    // Drawn by the window itself: an owner-drawn part shows exactly what its parent drew.
    return nullptr;
}

LRESULT TStatusBarControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case SB_SETTEXT:
            return SetText(WParam, LParam);
        case SB_GETTEXT:
            return GetText(WParam, reinterpret_cast<char*>(LParam));
        case SB_GETTEXTLENGTH:
            return GetText(WParam, nullptr);
        case SB_SETPARTS:
            return SetParts(static_cast<int>(WParam), reinterpret_cast<const int*>(LParam));
        case SB_GETPARTS:
            return GetParts(static_cast<int>(WParam), reinterpret_cast<int*>(LParam));
        case SB_GETBORDERS: {
            auto* Borders = reinterpret_cast<int*>(LParam);
            if (!Borders) return FALSE;
            Borders[0] = kHorizontalBorder;
            Borders[1] = kVerticalBorder;
            Borders[2] = kSpacing;
            return TRUE;
        }
        case SB_SETMINHEIGHT:
            FMinHeight = std::clamp(static_cast<int>(WParam), 0, 0x7FFF);
            return 0;
        case SB_SIMPLE:
            FSimple = WParam != 0;
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case SB_ISSIMPLE:
            return FSimple ? TRUE : FALSE;
        case SB_GETRECT: {
            auto* Rect = reinterpret_cast<RECT*>(LParam);
            if (!Rect || (!FSimple && WParam >= FParts.size())) return FALSE;
            *Rect = PartRect(FSimple ? 0 : WParam);
            return TRUE;
        }
        case WM_SETTEXT:
            SetText(0, LParam);
            return TRUE;
        case WM_GETTEXT: {
            return ItemTextTo(FParts.front().Text, reinterpret_cast<char*>(LParam),
                              static_cast<std::int64_t>(WParam));
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(FParts.front().Text.size());
        case WM_SETFONT:
            FFont = static_cast<HFONT>(WParam);
            if (LOWORD(static_cast<std::uintptr_t>(LParam)))
                InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return static_cast<LRESULT>(FFont);
        case WM_SIZE:
            Place();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HitTest(LParam);
        case WM_NCLBUTTONDOWN:
            // The grip sizes the top-level window, not the bar.
            if (static_cast<LRESULT>(WParam) == HTBOTTOMRIGHT)
                return SendMessage(GetAncestor(Handle(), GA_ROOT), Msg, WParam, LParam);
            return DefWindowProc(Handle(), Msg, WParam, LParam);
        case WM_ENABLE:
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        default:
            break;
    }
    // Clicks do not take the focus to a status bar; everything else is the default.
    if ((Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || Msg == WM_KEYDOWN || Msg == WM_KEYUP ||
        Msg == WM_CHAR)
        return DefWindowProc(Handle(), Msg, WParam, LParam);
    return TWrappedControl::WndProc(Msg, WParam, LParam);
}

TStatusBarControl::TPart* TStatusBarControl::PartAt(WPARAM Part) {
    if (Part == SB_SIMPLEID) return &FSimpleText;
    return Part < FParts.size() ? &FParts[Part] : nullptr;
}

const TStatusBarControl::TPart* TStatusBarControl::PartAt(WPARAM Part) const {
    return const_cast<TStatusBarControl*>(this)->PartAt(Part);
}

LRESULT TStatusBarControl::SetText(WPARAM WParam, LPARAM LParam) {
    const WPARAM Index = WParam & 0xFF;
    TPart* Part = PartAt(Index);
    if (!Part) return FALSE;
    const UINT Type = static_cast<UINT>(WParam) & 0xFF00;
    TPart New = *Part;
    New.Type = Type;
    if (Type & SBT_OWNERDRAW) {
        New.Data = LParam;
        New.Text.clear();
    } else {
        New.Data = 0;
        New.Text = ItemTextFrom(reinterpret_cast<const char*>(LParam));
    }
    if (New.Text == Part->Text && New.Type == Part->Type && New.Data == Part->Data &&
        !(Type & SBT_OWNERDRAW))
        return TRUE;
    *Part = std::move(New);
    const bool Shown = FSimple == (Index == SB_SIMPLEID);
    if (Shown) {
        // The bar shows new texts at once, also while its program is busy.
        const RECT R = PartRect(FSimple ? 0 : Index);
        InvalidateRect(Handle(), &R, TRUE);
        UpdateWindow(Handle());
    }
    return TRUE;
}

LRESULT TStatusBarControl::GetText(WPARAM WParam, char* Buffer) const {
    const TPart* Part = PartAt(WParam & 0xFF);
    if (!Part) return 0;
    if (Part->Type & SBT_OWNERDRAW) return Part->Data;
    // The caller's buffer holds SB_GETTEXTLENGTH + 1 bytes: the message has no size.
    if (Buffer) {
        std::memcpy(Buffer, Part->Text.data(), Part->Text.size());
        Buffer[Part->Text.size()] = '\0';
    }
    return static_cast<LRESULT>(
        MAKELONG(static_cast<WORD>(Part->Text.size()), static_cast<WORD>(Part->Type)));
}

LRESULT TStatusBarControl::SetParts(int Count, const int* Rights) {
    if (Count < 1 || Count > ControlsLimits::kMaxStatusParts || !Rights) return FALSE;
    FParts.resize(static_cast<size_t>(Count));
    for (int I = 0; I < Count; ++I) FParts[static_cast<size_t>(I)].Right = Rights[I];
    InvalidateRect(Handle(), nullptr, TRUE);
    return TRUE;
}

LRESULT TStatusBarControl::GetParts(int Count, int* Rights) const {
    if (Rights) {
        for (int I = 0; I < Count && I < static_cast<int>(FParts.size()); ++I)
            Rights[I] = FParts[static_cast<size_t>(I)].Right;
    }
    return static_cast<LRESULT>(FParts.size());
}

RECT TStatusBarControl::GripRect() const {
    RECT C;
    GetClientRect(Handle(), &C);
    if (!(Style() & SBARS_SIZEGRIP)) return RECT{C.right, C.bottom, C.right, C.bottom};
    const int Side = std::min(GetSystemMetrics(SM_CXVSCROLL), static_cast<int>(C.bottom - C.top));
    return RECT{C.right - Side, C.bottom - Side, C.right, C.bottom};
}

RECT TStatusBarControl::PartRect(size_t Part) const {
    RECT C;
    GetClientRect(Handle(), &C);
    const LONG End = GripRect().left;
    if (FSimple) return RECT{kHorizontalBorder, kVerticalBorder, End, C.bottom};
    LONG Left = kHorizontalBorder;
    for (size_t I = 0; I < Part && I < FParts.size(); ++I) {
        const int Right = FParts[I].Right;
        Left = (Right < 0 ? End : std::min<LONG>(Right, End)) + kSpacing;
    }
    const int Right = Part < FParts.size() ? FParts[Part].Right : -1;
    LONG R = Right < 0 ? End : std::min<LONG>(Right, End);
    Left = std::min(Left, End);
    return RECT{Left, kVerticalBorder, std::max(Left, R), C.bottom};
}

int TStatusBarControl::Height() const {
    const HDC DC = CreateCompatibleDC(0);
    SelectObject(DC, FontOrDefault(FFont));
    TEXTMETRIC Metrics;
    GetTextMetrics(DC, &Metrics);
    DeleteDC(DC);
    // The drawing area, the part's edge, and the border above the parts.
    return std::max(FMinHeight, static_cast<int>(Metrics.tmHeight) + 2) + 2 + kVerticalBorder;
}

void TStatusBarControl::Place() {
    const DWORD S = Style();
    const HWND Parent = GetParent(Handle());
    if (FPlacing || (S & CCS_NORESIZE) || !Parent || !(S & WS_CHILD)) return;
    const TFlagScope Placing(FPlacing);
    RECT Room;
    GetClientRect(Parent, &Room);
    RECT Now;
    GetWindowRect(Handle(), &Now);
    POINT Corner{Now.left, Now.top};
    ScreenToClient(Parent, &Corner);
    const int H = Height();
    int X = 0;
    int Y = Room.bottom - H;
    if (S & CCS_NOPARENTALIGN) {
        X = Corner.x;
        Y = Corner.y;
    } else if ((S & CCS_BOTTOM) == CCS_TOP) {
        Y = 0;
    } else if ((S & CCS_BOTTOM) == CCS_NOMOVEY) {
        Y = Corner.y;
    }
    SetWindowPos(Handle(), 0, X, Y, Room.right - Room.left, H, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TStatusBarControl::HitTest(LPARAM LParam) {
    POINT At = MessagePoint(LParam);
    ScreenToClient(Handle(), &At);
    const RECT Grip = GripRect();
    const HWND Top = GetAncestor(Handle(), GA_ROOT);
    const bool Sizable = (GetWindowLongPtr(Top, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(Top);
    if (Sizable && PtInRect(&Grip, At)) return HTBOTTOMRIGHT;
    return HTCLIENT;
}

void TStatusBarControl::Paint() {
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(Handle(), &Ps);
    if (!DC) return;
    PaintFace(Handle(), DC, FFont);
    const HWND Self = Handle();
    if (FSimple) {
        PaintPart(DC, FSimpleText, PartRect(0), static_cast<UINT>(SB_SIMPLEID));
    } else {
        for (size_t I = 0; I < FParts.size() && IsWindow(Self); ++I)
            PaintPart(DC, FParts[I], PartRect(I), static_cast<UINT>(I));
    }
    if (IsWindow(Self) && (Style() & SBARS_SIZEGRIP)) {
        RECT Grip = GripRect();
        DrawFrameControl(DC, &Grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    EndPaint(Self, &Ps);
}

void TStatusBarControl::PaintPart(HDC DC, const TPart& Part, RECT R, UINT Index) {
    if (R.right <= R.left) return;
    if (Part.Type & SBT_NOBORDERS) {
        InflateRect(&R, -1, -1);
    } else {
        DrawEdge(DC, &R, (Part.Type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                 BF_RECT | BF_ADJUST);
    }
    if (Part.Type & SBT_OWNERDRAW) {
        const HWND Parent = GetParent(Handle());
        if (!Parent) return;
        DRAWITEMSTRUCT Draw;
        Draw.CtlID = static_cast<UINT>(GetWindowLongPtr(Handle(), GWLP_ID));
        Draw.itemID = Index;
        Draw.itemAction = ODA_DRAWENTIRE;
        Draw.hwndItem = Handle();
        Draw.hDC = DC;
        Draw.rcItem = R;
        Draw.itemData = static_cast<ULONG_PTR>(Part.Data);
        const int Saved = SaveDC(DC);
        IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
        SendMessage(Parent, WM_DRAWITEM, Draw.CtlID, reinterpret_cast<LPARAM>(&Draw));
        RestoreDC(DC, Saved);
        return;
    }
    RECT Room{R.left + kTextMargin, R.top, R.right - kTextMargin, R.bottom};
    const UINT Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (Part.Type & SBT_NOTABPARSING) {
        DrawText(DC, Part.Text, &Room, Format | DT_LEFT);
        return;
    }
    // "left\tcentred\tright"
    constexpr UINT kAligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    size_t Start = 0;
    for (UINT Align : kAligns) {
        const size_t Tab = Part.Text.find('\t', Start);
        const bool Last = Align == DT_RIGHT || Tab == std::string::npos;
        const std::string Piece = Part.Text.substr(Start, Last ? std::string::npos : Tab - Start);
        if (!Piece.empty()) DrawText(DC, Piece, &Room, Format | Align);
        if (Last) break;
        Start = Tab + 1;
    }
}
