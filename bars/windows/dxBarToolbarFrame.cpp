// The floating toolbar's frame: its client area inside the border and the small caption, the
// hit test that lets the caption move it and the edges size it (never diagonally), the caption
// with the bar's name and its close button, sizing by one edge with the other side following
// from the items wrapping, staying on the screen, saving its place, and docking or floating by
// a double click.
#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarMove.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarUtils.h"
#include "platform/classes/MulDiv.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/core/Screens.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"

namespace {

// The ring between the border and the client area of the standard and enhanced styles: the
// frame the bar reports (twice the border plus 8 across, twice the border plus the caption plus
// 3 down) is the one the window takes, so client and window sizes agree.
constexpr int kPadLeft = 4, kPadRight = 4, kPadTop = 2, kPadBottom = 1;

}  // namespace

// ---- geometry ---------------------------------------------------------------------------------

TPoint TdxBarControl::ScreenTopLeft() {
    if (HandleAllocated()) {
        RECT W;
        GetWindowRect(Handle(), &W);
        return TPoint{W.left, W.top};
    }
    const TRect B = BoundsRect();
    const TPoint P{B.Left, B.Top};
    return Parent() ? Parent()->ClientToScreen(P) : P;
}

TRect TdxBarControl::FloatingCaptionRect() const {
    const TdxBarManager* M = BarManager();
    TRect R = BoundsRect();
    R = TRect{0, 0, R.Width(), R.Height()};
    if (HasShadow()) {
        R.Right -= 2;
        R.Bottom -= 2;
    }
    R.Left += M->BorderWidth();
    R.Right -= M->BorderWidth();
    R.Top += M->BorderHeight();
    R.Bottom = R.Top + GetSystemMetrics(SM_CYSMCAPTION);
    return R;
}

bool TdxBarControl::HasCloseButton() const {
    return FBar->CanClose();
}

TRect TdxBarControl::CloseButtonRect() const {
    if (!HasCloseButton()) return TRect{};
    const TRect C = FloatingCaptionRect();
    return TRect{C.Right - C.Height(), C.Top, C.Right, C.Bottom};
}

TRect TdxBarControl::FloatingMarkRect() const {
    if (!IsFloating() || !MarkExists()) return TRect{};
    const TRect C = FloatingCaptionRect();
    const bool Flat = BarManager()->IsFlat();
    // The flat style's mark sits beside the close button, as square as it.
    const int Width = Flat ? C.Height() : kdxBarFloatingMarkWidth;
    const int Right = HasCloseButton() ? CloseButtonRect().Left : C.Right;
    // The caption is what the bar is moved by: on a bar too narrow for the mark and a square of
    // caption to hold (one column of buttons), the mark gives way. Its commands stay within
    // reach of the docked bar's mark and the toolbars' menu.
    if (Right - C.Left - Width < C.Height()) return TRect{};
    if (!Flat) return TRect{C.Left, C.Top, C.Left + Width, C.Bottom};
    return TRect{Right - Width, C.Top, Right, C.Bottom};
}

void TdxBarControl::FloatingNCCalcSize(RECT& R) const {
    const TdxBarManager* M = BarManager();
    if (HasShadow()) {
        R.right -= 2;
        R.bottom -= 2;
    }
    const int Bw = M->BorderWidth(), Bh = M->BorderHeight();
    const bool Flat = M->IsFlat();
    R.left += Bw + (Flat ? 0 : kPadLeft);
    R.right -= Bw + (Flat ? 0 : kPadRight);
    R.top += Bh + GetSystemMetrics(SM_CYSMCAPTION) + (Flat ? 0 : kPadTop);
    R.bottom -= Bh + (Flat ? 0 : kPadBottom);
    R.right = std::max(R.right, R.left);
    R.bottom = std::max(R.bottom, R.top);
}

// ---- hit test ---------------------------------------------------------------------------------

LRESULT TdxBarControl::FloatingHitTest(TPoint Screen) {
    const TdxBarManager* M = BarManager();
    const TRect Bounds = BoundsRect();
    const TPoint P{Screen.X - Bounds.Left, Screen.Y - Bounds.Top};
    const TRect Window{0, 0, Width() - (HasShadow() ? 2 : 0), Height() - (HasShadow() ? 2 : 0)};
    if (!PtInRect(Window, P)) return FLastHit = HTNOWHERE;
    const TPoint InClient = ScreenToClient(Screen);
    if (PtInRect(ClientRect(), InClient)) {
        if (PointOverUsableItem(InClient)) return FLastHit = HTCLIENT;
        FLastHit = HTCAPTION;
        return HTCLIENT;
    }
    const int Bw = M->BorderWidth(), Bh = M->BorderHeight();
    const bool OnBorder =
        P.X < Bw || P.Y < Bh || P.X >= Window.Right - Bw || P.Y >= Window.Bottom - Bh;
    if (OnBorder) {
        // A floating bar is sized along one edge at a time: corners count as the edge whose
        // border the point lies in across.
        if (P.Y < Bh) return FLastHit = HTTOP;
        if (P.Y >= Window.Bottom - Bh) return FLastHit = HTBOTTOM;
        return FLastHit = P.X < Bw ? HTLEFT : HTRIGHT;
    }
    if (!IsCustomizing() && PtInRect(FloatingMarkRect(), P)) return FLastHit = HTCLIENT;
    if (HasCloseButton() && PtInRect(CloseButtonRect(), P) && !IsCustomizing()) {
        FLastHit = HTCLOSE;
        return M->IsFlat() ? HTCLIENT : HTCLOSE;
    }
    FLastHit = HTCAPTION;
    return HTCLIENT;
}

// ---- painting ---------------------------------------------------------------------------------

void TdxBarControl::PaintFloatingFrame(HDC DC, const TRect& Window) {
    const TdxBarManager* M = BarManager();
    const bool Flat = M->IsFlat();
    TRect Frame = Window;
    if (HasShadow()) {
        Frame.Right -= 2;
        Frame.Bottom -= 2;
    }
    RECT R = Frame;
    if (Flat) {
        for (HBRUSH Brush :
             {dxBarSysBrush(COLOR_WINDOWFRAME), dxBarSysBrush(COLOR_BTNHIGHLIGHT), GetBkBrush()}) {
            FrameRect(DC, &R, Brush);
            InflateRect(&R, -1, -1);
        }
    } else {
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        for (int I = 2; I < M->BorderWidth(); ++I) {
            FrameRect(DC, &R, dxBarSysBrush(COLOR_BTNFACE));
            InflateRect(&R, -1, -1);
        }
    }
    // The ring between the frame and the client area.
    const TRect Caption = FloatingCaptionRect();
    RECT Client{0, 0, 0, 0};
    GetClientRect(Handle(), &Client);
    const TPoint Origin = ClientOrigin();
    const TRect Bounds = BoundsRect();
    OffsetRect(&Client, Origin.X - Bounds.Left, Origin.Y - Bounds.Top);
    const HRGN Ring = CreateRectRgnIndirect(R);
    ExcludeBarRect(Ring, Caption);
    ExcludeBarRect(Ring, TRect{Client.left, Client.top, Client.right, Client.bottom});
    FillRgn(DC, Ring, GetBkBrush());
    DeleteObject(Ring);
    // The caption: the bar's name and the close button.
    const COLORREF CaptionColor = dxBarSysColor(Flat ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION);
    const HBRUSH CaptionBrush = CreateSolidBrush(CaptionColor);
    FillBarRect(DC, Caption, CaptionBrush);
    TRect Text = Caption;
    Text.Left += 2;
    if (HasCloseButton()) Text.Right = CloseButtonRect().Left;
    const TRect Mark = FloatingMarkRect();
    if (!IsRectEmpty(Mark)) {
        if (Flat)
            Text.Right = Mark.Left;
        else
            Text.Left = Mark.Right + 3;
    }
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, Caption.Left, Caption.Top, Caption.Right, Caption.Bottom);
    const HFONT Font = CreateCaptionFont();
    SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, dxBarSysColor(Flat ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT));
    RECT T = Text;
    DrawText(DC, FBar->Caption(), &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    RestoreDC(DC, Saved);
    DeleteObject(Font);
    // On the caption the mark's glyphs take the caption's text colour, readable on its navy or
    // grey.
    if (!IsRectEmpty(Mark))
        DrawMark(DC, Mark, CaptionBrush,
                 dxBarSysColor(Flat ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT));
    if (HasCloseButton()) PaintCloseButton(DC, CloseButtonRect());
    DeleteObject(CaptionBrush);
}

void TdxBarControl::PaintCloseButton(HDC DC, const TRect& Button) {
    const bool Flat = BarManager()->IsFlat();
    RECT R = Button;
    if (!Flat) {
        const HBRUSH Caption = CreateSolidBrush(dxBarSysColor(COLOR_ACTIVECAPTION));
        FrameRect(DC, &R, Caption);
        DeleteObject(Caption);
        InflateRect(&R, -1, -1);
        DrawFrameControl(
            DC, &R, DFC_CAPTION,
            DFCS_CAPTIONCLOSE | (FCaptionButtonState == TdxBarButtonState::Down ? DFCS_PUSHED : 0));
        return;
    }
    if (FCaptionButtonState == TdxBarButtonState::Normal) {
        const HBRUSH Caption = CreateSolidBrush(dxBarSysColor(COLOR_INACTIVECAPTION));
        FillRect(DC, &R, Caption);
        DeleteObject(Caption);
    } else {
        FrameHighlight(DC, Button);
        InflateRect(&R, -1, -1);
        FillRect(DC, &R, GetSelectedBrush());
    }
    // The cross: each diagonal twice, side by side, in a square inside the button.
    TRect Cross = Button;
    Cross.Left += 3;
    Cross.Right -= 3;
    Cross.Top += 4;
    int Side = Cross.Width() & ~1;
    Side = std::min(Side, Button.Height() - 8);
    Cross.Left = (Button.Left + Button.Right - Side) / 2;
    Cross.Top = (Button.Top + Button.Bottom - Side) / 2;
    const COLORREF Color = dxBarSysColor(
        FCaptionButtonState == TdxBarButtonState::Hot ? COLOR_BTNTEXT : COLOR_INACTIVECAPTIONTEXT);
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    for (int D = 0; D < 2; ++D) {
        MoveToEx(DC, Cross.Left + D, Cross.Top, nullptr);
        LineTo(DC, Cross.Left + D + Side, Cross.Top + Side);
        MoveToEx(DC, Cross.Left + D + Side - 1, Cross.Top, nullptr);
        LineTo(DC, Cross.Left + D - 1, Cross.Top + Side);
    }
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

HFONT TdxBarControl::CreateCaptionFont() const {
    LOGFONT Log = dxBarSmallCaptionLogFont();
    if (!BarManager()->UseSystemFont()) {
        const LOGFONT& Own = FBar->Font()->LogFont();
        std::copy(std::begin(Own.lfFaceName), std::end(Own.lfFaceName), std::begin(Log.lfFaceName));
        // Characters at least 11 pixels high.
        Log.lfHeight = std::min<LONG>(-std::abs(Log.lfHeight), -11);
    }
    return CreateFontIndirect(Log);
}

void TdxBarControl::TrackCloseButtonHover(TPoint ClientPoint) {
    if (!IsFloating() || !BarManager()->IsFlat() || !HasCloseButton() ||
        FCaptionButtonState == TdxBarButtonState::Down)
        return;
    const bool Over = OverCloseButton(ClientToScreen(ClientPoint));
    if (Over && HandleAllocated()) StartMouseTracking(Handle());
    SetCaptionButtonState(Over ? TdxBarButtonState::Hot : TdxBarButtonState::Normal);
}

void TdxBarControl::SetCaptionButtonState(TdxBarButtonState Value) {
    if (FCaptionButtonState == Value) return;
    FCaptionButtonState = Value;
    if (HandleAllocated()) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

bool TdxBarControl::StartsFrameAction(TMessage& Message) {
    if (FLastHit == HTCAPTION) {
        TdxBarMover::MoveLoop(this);
        return true;
    }
    if (!IsFloating()) return false;
    if (FLastHit == HTCLOSE) {
        TrackCloseButton();
        return true;
    }
    if (FLastHit >= HTLEFT && FLastHit <= HTBOTTOMRIGHT) {
        POINT Cursor;
        GetCursorPos(&Cursor);
        SendMessage(Handle(), WM_NCLBUTTONDOWN, WPARAM(FLastHit), MAKELONG(Cursor.x, Cursor.y));
        return true;
    }
    (void)Message;
    return false;
}

// ---- the close button -------------------------------------------------------------------------

bool TdxBarControl::OverCloseButton(TPoint Screen) {
    const TPoint Origin = ScreenTopLeft();
    return PtInRect(CloseButtonRect(), TPoint{Screen.X - Origin.X, Screen.Y - Origin.Y});
}

bool TdxBarControl::TrackButtonPress(const std::function<bool()>& Over,
                                     const std::function<void(TdxBarButtonState)>& Show) {
    const HWND Wnd = Handle();
    Show(TdxBarButtonState::Down);
    SetCapture(Wnd);
    // The press counts where the button comes up; the loop looks at the button itself, so a
    // release that went elsewhere still ends it. A press that ends otherwise (the capture taken
    // away, as by WM_CANCELMODE when a modal window opens meanwhile) is no click.
    TModalLoop Loop(kDragWait);
    MSG Msg;
    bool Released = false;
    while (IsWindow(Wnd) && GetCapture() == Wnd && GetKeyState(VK_LBUTTON) < 0) {
        const TModalLoop::TNext Next = Loop.Next(Msg);
        if (Next == TModalLoop::TNext::Quit) break;
        if (Next == TModalLoop::TNext::Idle) continue;
        if (Msg.message == WM_MOUSEMOVE) {
            Show(Over() ? TdxBarButtonState::Down : TdxBarButtonState::Hot);
            continue;
        }
        if (Msg.message == WM_LBUTTONUP) {
            Released = true;
            break;
        }
        TModalLoop::Deliver(Msg);
    }
    if (!IsWindow(Wnd) || Retired()) return false;
    if (GetCapture() == Wnd) ReleaseCapture();
    const bool Counts = Released && Over();
    Show(TdxBarButtonState::Normal);
    return Counts;
}

void TdxBarControl::TrackRightCloseButton() {
    const auto Over = [this] {
        return PtInRect(RightCloseButtonRect(), ScreenToClient(ToTPoint(CursorNow())));
    };
    const auto Show = [this](TdxBarButtonState State) {
        if (FRightCloseButtonPressed == (State == TdxBarButtonState::Down)) return;
        FRightCloseButtonPressed = State == TdxBarButtonState::Down;
        const RECT R = RightCloseButtonRect();
        InvalidateRect(Handle(), &R, FALSE);
    };
    if (TrackButtonPress(Over, Show)) BarManager()->DoCloseButtonClick();
}

void TdxBarControl::TrackCloseButton() {
    const bool Counts =
        TrackButtonPress([this] { return OverCloseButton(ToTPoint(CursorNow())); },
                         [this](TdxBarButtonState State) { SetCaptionButtonState(State); });
    if (!Counts) return;
    TdxBar* Bar = FBar;
    TdxBarManager* Manager = BarManager();
    Bar->SetVisible(false);
    Manager->DoBarClose(Bar);
}

// ---- sizing and placing -----------------------------------------------------------------------

void TdxBarControl::FloatingSizing(WPARAM Edge, RECT& R) {
    const int FrameW = FBar->FrameWidth(dsNone), FrameH = FBar->FrameHeight(dsNone);
    const RECT Old = BoundsRect();
    TSize Client;
    if (Edge == WMSZ_LEFT || Edge == WMSZ_RIGHT) {
        Client = WrappedClientSize(std::max<int>(R.right - R.left - FrameW, 1), false);
    } else if (Edge == WMSZ_TOP || Edge == WMSZ_BOTTOM) {
        // The narrowest width whose rows fit into the height asked for.
        const int Wanted = R.bottom - R.top - FrameH;
        int Low = 1, High = std::max(FullLength(), 1);
        while (Low < High) {
            const int Mid = (Low + High) / 2;
            if (WrappedClientSize(Mid, false).cy <= Wanted)
                High = Mid;
            else
                Low = Mid + 1;
        }
        Client = WrappedClientSize(Low, false);
    } else {
        R = Old;
        return;
    }
    const int W = Client.cx + FrameW, H = Client.cy + FrameH;
    if (Edge == WMSZ_LEFT)
        R.left = R.right - W;
    else
        R.right = R.left + W;
    if (Edge == WMSZ_TOP)
        R.top = R.bottom - H;
    else
        R.bottom = R.top + H;
    if (R.top < -15) OffsetRect(&R, 0, -15 - R.top);
    FBar->FloatClientWidth = Client.cx;
    FBar->FloatClientHeight = Client.cy;
}

void TdxBarControl::KeepOnScreen(WINDOWPOS& Pos) const {
    if ((Pos.flags & SWP_NOMOVE) && (Pos.flags & SWP_NOSIZE)) return;
    const TRect B = BoundsRect();
    const int L = (Pos.flags & SWP_NOMOVE) ? B.Left : Pos.x;
    const int T = (Pos.flags & SWP_NOMOVE) ? B.Top : Pos.y;
    const int W = (Pos.flags & SWP_NOSIZE) ? B.Width() : Pos.cx;
    const int H = (Pos.flags & SWP_NOSIZE) ? B.Height() : Pos.cy;
    POINT Cursor;
    GetCursorPos(&Cursor);
    const TRect Work = ToTRect(WorkAreaAt(Cursor));
    int X = L, Y = T;
    if (X + W <= Work.Left) X = Work.Left;
    if (Y + H <= Work.Top) Y = Work.Top;
    if (X >= Work.Right) X = Work.Right - W;
    if (Y >= Work.Bottom) Y = Work.Bottom - H;
    if (X == L && Y == T) return;
    Pos.x = X;
    Pos.y = Y;
    Pos.flags &= ~UINT(SWP_NOMOVE);
    if (Pos.flags & SWP_NOSIZE) {
        Pos.cx = W;
        Pos.cy = H;
    }
}

void TdxBarControl::SetMoving(bool Value) {
    if (Moving() == Value) return;
    if (Value) {
        // Where the press was: the cursor may have moved on before the press is handled.
        const DWORD Pos = GetMessagePos();
        const POINT Cursor{short(LOWORD(Pos)), short(HIWORD(Pos))};
        const TRect B = BoundsRect();
        const TPoint At = ScreenTopLeft();
        FGrabOffset = TPoint{Cursor.x - At.X, Cursor.y - At.Y};
        FStartGrabOffset = FGrabOffset;
        FGrabSize = TSize{std::max(B.Width(), 1), std::max(B.Height(), 1)};
        FGrabStyle = FDockingStyle;
    }
    SetInputState(Value ? TdxBarInputState::Moving : TdxBarInputState::Idle);
    if (!Value) SavePosition();
}

TPoint TdxBarControl::GetGrabOffset(TdxBarDockingStyle Style) {
    if (Style == FGrabStyle) return FStartGrabOffset;
    const TSize Size = GetSizeForStyle(Style);
    return TPoint{MulDiv(Size.cx, FGrabOffset.X, FGrabSize.cx),
                  MulDiv(Size.cy, FGrabOffset.Y, FGrabSize.cy)};
}

bool TdxBarControl::WaitsForForm() const {
    if (BarManager()->IsCustomizing()) return false;
    TCustomForm* Form = BarManager()->OwnerForm();
    return !Form || !Form->HandleAllocated() || !IsWindowVisible(Form->Handle()) ||
           GetActiveWindow() != Form->Handle();
}

void TdxBarControl::KeepBarForFormsNewWindow() {
    if (FRecreating > 0 || Retired() || !IsFloating() || FBar->Control() != this ||
        !FBar->Visible())
        return;
    TdxBarManager* Manager = BarManager();
    TCustomForm* Form = Manager->OwnerForm();
    if (Manager->IsDestroying() || !Form || Form->ComponentState().Contains(csDestroying)) return;
    Manager->KeepBarToShowAgain(FBar);
    FBar->SetVisible(false);
}

void TdxBarControl::SavePosition() {
    if (FRecreating > 0 || Destroying() || Moving()) return;
    if (IsFloating()) {
        FBar->FDockingStyle = dsNone;
        FBar->FDockControl = nullptr;
    } else {
        FBar->FDockingStyle = FDockingStyle;
        auto* Published = dynamic_cast<TdxBarDockControl*>(FDockControl);
        FBar->FDockControl = Published;
    }
    if (!FBar->Visible() || BarManager()->IsLoading()) return;
    if (IsFloating()) {
        // A window still being set up (not shown yet) has nothing of the bar's to keep.
        if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
        const TRect B = BoundsRect();
        FBar->FloatLeft = B.Left;
        FBar->FloatTop = B.Top;
        const TRect C = ClientRect();
        FBar->FloatClientWidth = C.Width();
        FBar->FloatClientHeight = C.Height();
        return;
    }
    if (!FDockControl) return;
    FBar->FDockedDockingStyle = FDockingStyle;
    FBar->FDockedDockControl = dynamic_cast<TdxBarDockControl*>(FDockControl);
    FBar->FDockedLeft = std::max(0, Left());
    FBar->FDockedTop = std::max(0, Top());
    const int Row = FDockControl->RowOfBar(this);
    if (Row >= 0) {
        FBar->FRow = Row;
        FBar->OneOnRow = FDockControl->Rows(Row)->ColCount() == 1;
    }
}

void TdxBarControl::KeepDockedWidthForFloating() {
    if (FBar->FloatClientWidth > 0 || IsFloating()) return;
    // A bar that never floated floats on one line, as long as it is docked.
    RECT Client{0, 0, 0, 0};
    if (HandleAllocated()) GetClientRect(Handle(), &Client);
    FBar->FloatClientWidth =
        std::max<int>(IsVertical() ? Client.bottom - Client.top : Client.right - Client.left, 1);
}

// ---- docking by a double click ----------------------------------------------------------------

void TdxBarControl::ToggleDocking() {
    TdxBar* Bar = FBar;
    TdxBarManager* Manager = BarManager();
    if (IsFloating()) {
        const TdxBarDockingStyle Style = Bar->DockedDockingStyle();
        TdxBarDockControl* Published = Bar->DockedDockControl();
        TdxDockControl* Site = Published ? static_cast<TdxDockControl*>(Published)
                                         : Manager->Bars()->DockControls(Style);
        if (!Site || !Manager->CanDockBar(Bar, Style, Site)) return;
        if (Published)
            Bar->SetDockControl(Published);
        else
            Bar->SetDockingStyle(Style);
        return;
    }
    if (!Manager->CanDockBar(Bar, dsNone, nullptr)) return;
    if (Bar->FloatClientWidth <= 0) {
        // Never floated: it floats where it lies.
        const TPoint At = ScreenTopLeft();
        Bar->FloatLeft = At.X;
        Bar->FloatTop = At.Y;
        KeepDockedWidthForFloating();
    }
    Bar->SetDockingStyle(dsNone);
}
