#include "htmlview/panel/IpHtmlInternalPanel.h"

#include <algorithm>
#include <cstdlib>

#include "htmlview/html/IpHtmlPlatformCanvas.h"
#include "htmlview/panel/Limits.h"
#include "platform/controls/Static.h"
#include "platform/core/ScrollBar.h"

namespace {

// A press and release nearer than this to each other in both directions are a click.
constexpr int kClickSlop = 4;
// The hint stays while the mouse moves less than this from where it showed.
constexpr int kHintSlop = 5;
// Where a hint shows below the pointer, and its room beside the text.
constexpr int kHintBelow = 16;
constexpr int kHintPadding = 4;
// Lines a notch of the wheel scrolls.
constexpr int kWheelLines = 8;
// The size of a focus window; it lies outside the view, where it shows nothing.
constexpr int kFocusRectWidth = 65;
constexpr int kFocusRectHeight = 17;

// Focus windows are held in groups of this many: the window layer walks the siblings of a
// window whenever one is placed, so thousands of siblings would cost the square of their number.
constexpr size_t kFocusRectsPerHolder = 64;

// The top of the document, as the document asks to scroll there.
constexpr TIpHtmlRect kDocumentTop{0, 0, 1, 1};

// The start of the view along one axis so that Near to Far shows: Far when the whole fits,
// else Near.
int ViewStartFor(int Start, int Extent, int Near, int Far) {
    if (Far < Near) Far = Near;
    if (Far - Near <= Extent) {
        if (Near < Start) return Near;
        if (Far > Start + Extent) return Far - Extent;
        return Start;
    }
    return Near;
}

// Holds focus windows out of view; neither it nor they ever paint.
class TFocusHolder : public TWinControl {
  public:
    TFocusHolder() : TWinControl(nullptr) {
        SetControlStyle(TControlStyle{csAcceptsControls});
        SetBounds(-2 * kFocusRectWidth, -2 * kFocusRectHeight, kFocusRectWidth, kFocusRectHeight);
    }

  protected:
    void CreateWnd() override {
        TWinControl::CreateWnd();
        SendMessage(FHandle, WM_SETREDRAW, FALSE, 0);
    }
};

}  // namespace

// --- scroll bars -------------------------------------------------------------------------------

TIpHtmlScrollBar::TIpHtmlScrollBar(TIpHtmlInternalPanel& Owner, int Kind)
    : FOwner(Owner), FKind(Kind) {}

int TIpHtmlScrollBar::ClientExtent() const {
    const TRect Client = FOwner.ClientRect();
    return std::max(FKind == SB_HORZ ? Client.Width() : Client.Height(), 0);
}

int TIpHtmlScrollBar::MaxPosition() const {
    return std::max(FRange - ClientExtent(), 0);
}

void TIpHtmlScrollBar::SetPosition(int Value) {
    Value = std::clamp(Value, 0, MaxPosition());
    if (Value == FPosition) return;
    FPosition = Value;
    Update();
    FOwner.ViewMoved();
}

void TIpHtmlScrollBar::SetRange(int Value) {
    FRange = std::max(Value, 0);
    Update();
}

void TIpHtmlScrollBar::SetVisible(bool Value) {
    FVisible = Value;
    if (FOwner.HandleAllocated()) ShowScrollBar(FOwner.Handle(), FKind, Value ? TRUE : FALSE);
    Update();
}

void TIpHtmlScrollBar::Update() {
    if (!FVisible || !FOwner.HandleAllocated()) return;
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = std::max(FRange - 1, 0);
    Info.nPage = UINT(ClientExtent());
    Info.nPos = FPosition;
    FlatSB_SetScrollInfo(FOwner.Handle(), FKind, &Info, TRUE);
}

// Thumb positions come from the bar itself: the message's 16 bits cannot hold a position past
// 32767.
void TIpHtmlScrollBar::Scroll(WORD Request) {
    int Pos = FPosition;
    switch (Request) {
        case SB_LINEUP:
            Pos -= Increment;
            break;
        case SB_LINEDOWN:
            Pos += Increment;
            break;
        case SB_PAGEUP:
            Pos -= ClientExtent();
            break;
        case SB_PAGEDOWN:
            Pos += ClientExtent();
            break;
        case SB_TOP:
            Pos = 0;
            break;
        case SB_BOTTOM:
            Pos = FRange;
            break;
        case SB_THUMBTRACK:
            if (!Tracking) return;
            [[fallthrough]];
        case SB_THUMBPOSITION: {
            SCROLLINFO Info;
            Info.fMask = SIF_TRACKPOS;
            if (!FOwner.HandleAllocated() || !FlatSB_GetScrollInfo(FOwner.Handle(), FKind, &Info))
                return;
            Pos = Info.nTrackPos;
            break;
        }
        default:
            return;
    }
    SetPosition(Pos);
}

// --- the inner panel ---------------------------------------------------------------------------

TIpHtmlInternalPanel::TIpHtmlInternalPanel(TComponent* AOwner)
    : TCustomControl(AOwner), FHScroll(*this, SB_HORZ), FVScroll(*this, SB_VERT) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csOpaque, csDoubleClicks};
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
}

TIpHtmlInternalPanel::~TIpHtmlInternalPanel() {
    FreeFocusRects();
}

// The focus windows have no owner: each one made with this panel as owner would be announced to
// all the others, and a mail of thousands of links would take seconds to open.
void TIpHtmlInternalPanel::MakeFocusRects() {
    TWinControl* Holder = nullptr;
    for (TIpHtmlNodeA* Anchor : FHtml->Anchors()) {
        if (FFocusRects.size() >= HtmlPanelLimits::kMaxFocusControls) break;
        if (FFocusRects.size() % kFocusRectsPerHolder == 0) {
            Holder = new TFocusHolder;
            Holder->SetParent(this);
            FFocusHolders.push_back(Holder);
        }
        auto* Rect = new TIpHtmlFocusRect(nullptr, Anchor);
        Rect->SetParent(Holder);
        FFocusRects.push_back(Rect);
    }
}

void TIpHtmlInternalPanel::FreeFocusRects() {
    for (TIpHtmlFocusRect* Rect : FFocusRects) Rect->Free();
    FFocusRects.clear();
    for (TWinControl* Holder : FFocusHolders) Holder->Free();
    FFocusHolders.clear();
}

void TIpHtmlInternalPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (!FNoScrollBars) Params.Style |= WS_HSCROLL | WS_VSCROLL;
}

void TIpHtmlInternalPanel::CreateWnd() {
    TCustomControl::CreateWnd();
    InitializeFlatSB(FHandle);
    DoLayout();
}

void TIpHtmlInternalPanel::SetNoScrollBars(bool Value) {
    if (Value == FNoScrollBars) return;
    FNoScrollBars = Value;
    FHScroll.SetVisible(!Value);
    FVScroll.SetVisible(!Value);
    if (HandleAllocated()) RecreateWnd();
}

// The document's anchors get their focus windows here, and lose them with the document: a
// window whose anchor is gone must never be told of the focus again.
void TIpHtmlInternalPanel::SetHtml(TIpHtml* Value) {
    if (Value == FHtml) return;
    FreeFocusRects();
    HideHint();
    FHtml = Value;
    FSelecting = FSelectPending = FMouseDown = false;
    FHScroll.SetPosition(0);
    FVScroll.SetPosition(0);
    if (FHtml) MakeFocusRects();
    DoLayout();
}

// A bar that comes or goes changes the client width the page was laid out for: the layout runs
// again until the client area stays.
void TIpHtmlInternalPanel::DoLayout() {
    if (FLayingOut) return;
    FLayingOut = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FLayingOut};
    for (int Pass = 0; Pass < 3; ++Pass) {
        const TRect Before = ClientRect();
        if (FHtml) {
            TBitmap Paper(1, 1, pf32bit);
            TIpHtmlPlatformCanvas Measure(Paper.Canvas());
            FPageRect = FHtml->LayoutPage(Measure, std::max(Before.Width(), 0), 0);
        } else {
            FPageRect = {};
        }
        FHScroll.SetRange(FPageRect.Right);
        FVScroll.SetRange(FPageRect.Bottom);
        const TRect After = ClientRect();
        if (After.Width() == Before.Width() && After.Height() == Before.Height()) break;
    }
    FHScroll.SetPosition(FHScroll.Position());
    FVScroll.SetPosition(FVScroll.Position());
    Invalidate();
}

void TIpHtmlInternalPanel::ViewMoved() {
    HideHint();
    Invalidate();
}

// The whole view is painted each time: the document shows and hides its form controls by what
// a paint reaches.
void TIpHtmlInternalPanel::Paint() {
    TCanvas& Target = *Canvas();
    const TRect Client = ClientRect();
    if (!FHtml || FHtml->PrintState.Printing) {
        Target.Brush().SetColor(Color());
        Target.Brush().SetStyle(bsSolid);
        Target.FillRect(Client);
        return;
    }
    TIpHtmlPlatformCanvas Canvas(Target);
    const TIpHtmlPoint Origin = ViewOrigin();
    FHtml->RenderPage(Canvas,
                      {Origin.X, Origin.Y, Origin.X + Client.Width(), Origin.Y + Client.Height()},
                      {0, 0}, false);
}

void TIpHtmlInternalPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_HSCROLL:
            FHScroll.Scroll(LOWORD(Message.WParam));
            return;
        case WM_VSCROLL:
            FVScroll.Scroll(LOWORD(Message.WParam));
            return;
        case WM_MOUSEWHEEL:
            Wheel(static_cast<short>(HIWORD(Message.WParam)));
            return;
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            DoLayout();
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

void TIpHtmlInternalPanel::Wheel(int Delta) {
    for (int I = 0; I < kWheelLines; ++I)
        Perform(WM_VSCROLL, Delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
}

// --- scrolling into view -----------------------------------------------------------------------

void TIpHtmlInternalPanel::ScrollInView(const TIpHtmlRect& R) {
    const TRect Client = ClientRect();
    const TIpHtmlPoint Origin = ViewOrigin();
    FHScroll.SetPosition(ViewStartFor(Origin.X, Client.Width(), R.Left, R.Right));
    FVScroll.SetPosition(ViewStartFor(Origin.Y, Client.Height(), R.Top, R.Bottom));
}

void TIpHtmlInternalPanel::ScrollInViewRaw(const TIpHtmlRect& R) {
    if (R == kDocumentTop) return Home();
    const TRect Client = ClientRect();
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    ScrollInView(
        {R.Left, R.Top, R.Left + Client.Width() - W - 10, R.Top + Client.Height() - H - 10});
}

void TIpHtmlInternalPanel::ScrollPtInView(TIpHtmlPoint P) {
    const TRect Client = ClientRect();
    const TIpHtmlPoint Origin = ViewOrigin();
    if (P.X < Origin.X)
        FHScroll.SetPosition(P.X);
    else if (P.X >= Origin.X + Client.Width())
        FHScroll.SetPosition(Origin.X + P.X - (Origin.X + Client.Width()) + 1);
    if (P.Y < Origin.Y)
        FVScroll.SetPosition(P.Y);
    else if (P.Y >= Origin.Y + Client.Height())
        FVScroll.SetPosition(Origin.Y + P.Y - (Origin.Y + Client.Height()) + 1);
}

// --- the mouse ---------------------------------------------------------------------------------

void TIpHtmlInternalPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus() && !Focused()) SetFocus();
    FDownPoint = TPoint{X, Y};
    FMouseDown = true;
    FSelectPending = AllowTextSelect && Button == mbLeft;
}

void TIpHtmlInternalPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FHtml) return;
    const TIpHtmlPoint Origin = ViewOrigin();
    const TIpHtmlPoint Page{X + Origin.X, Y + Origin.Y};
    if (FSelecting) {
        FSelEnd = Page;
        ScrollPtInView(Page);
        FHtml->SetSelectionPoints(FSelStart, FSelEnd);
    }
    TIpHtmlNode* OldHot = FHtml->HotNode();
    LayoutElement* OldElement = FHtml->CurElement();
    FHtml->TrackMouse(Page);
    if (FHtml->HotNode() != OldHot && OnHotChange) OnHotChange();
    if (!FHtml) return;
    UpdateCursor();
    if (FHtml->CurElement() != OldElement && OnCurElementChange) OnCurElementChange();
    if (!FHtml) return;
    if (FSelectPending) {
        FSelectPending = false;
        FSelecting = true;
        FHtml->SetSelectionPoints({-1, -1}, {-1, -1});
        FSelStart = {FDownPoint.X + Origin.X, FDownPoint.Y + Origin.Y};
    }
    UpdateHint(X, Y);
}

// A release near the press is a click: on a link a hot click (which may replace the document
// and with it this window's content, so nothing of it is looked at afterwards).
void TIpHtmlInternalPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    const bool WasDown = FMouseDown;
    FMouseDown = FSelectPending = FSelecting = false;
    if (!WasDown || !FHtml) return;
    if (std::abs(X - FDownPoint.X) >= kClickSlop || std::abs(Y - FDownPoint.Y) >= kClickSlop)
        return;
    if (Button == mbLeft && FHtml->HotNode()) {
        if (OnHotClick) OnHotClick();
        return;
    }
    if (OnPanelClick) OnPanelClick();
}

void TIpHtmlInternalPanel::UpdateCursor() {
    TCursor Shape = crDefault;
    if (FHtml->HotNode())
        Shape = crHandPoint;
    else if (AllowTextSelect && FHtml->CurElement() &&
             FHtml->CurElement()->ElementType == TElementType::Word)
        Shape = crIBeam;
    if (Cursor() != Shape) SetCursor(Shape);
}

// --- hints -------------------------------------------------------------------------------------

// The hot link's, or that of the thing an object element under the mouse belongs to.
std::string TIpHtmlInternalPanel::HintOfMouse() {
    if (TIpHtmlNode* Hot = FHtml->HotNode()) return Hot->HintText();
    const LayoutElement* Element = FHtml->CurElement();
    if (Element && Element->ElementType == TElementType::Object && Element->Owner)
        return Element->Owner->HintText();
    return std::string();
}

// A new hint shows once the mouse rests near where it came; moving further hides it.
void TIpHtmlInternalPanel::UpdateHint(int X, int Y) {
    const std::string Text = HintOfMouse();
    if (Text != FHintText) {
        FHintText = Text;
        if (FHintShown) HideHint();
    }
    if (std::abs(X - FHintPos.X) < kHintSlop && std::abs(Y - FHintPos.Y) < kHintSlop) {
        FHintPos = TPoint{X, Y};
        if (!FHintShown && !FHintText.empty()) ShowHint(X, Y);
        return;
    }
    if (FHintShown) HideHint();
    FHintPos = TPoint{X, Y};
}

// Centred below the pointer, as wide as the text with a little room on each side.
void TIpHtmlInternalPanel::ShowHint(int X, int Y) {
    if (!ShowHints || FHintText == FShownHint || !HandleAllocated()) return;
    if (!FHintWindow) {
        FHintWindow = new THintWindow(this);
        FHintWindow->SetColor(Forms.HintColor);
    }
    const TRect Needed = FHintWindow->CalcHintRect(Screen->Width(), FHintText, nullptr);
    TBitmap Paper(1, 1, pf32bit);
    Paper.Canvas().Font().Assign(*Screen->HintFont());
    const int Width = Paper.Canvas().TextWidth(FHintText) + 2 * kHintPadding;
    const TPoint At = ClientToScreen(TPoint{X, Y});
    const int Left = At.X - Width / 2, Top = At.Y + kHintBelow;
    FHintWindow->ActivateHint(TRect{Left, Top, Left + Width, Top + Needed.Height()}, FHintText);
    FShownHint = FHintText;
    FHintShown = true;
}

void TIpHtmlInternalPanel::HideHint() {
    if (FHintWindow && FHintShown) FHintWindow->ReleaseHandle();
    FHintShown = false;
    FShownHint.clear();
}

// --- focus windows -----------------------------------------------------------------------------

TIpHtmlFocusRect::TIpHtmlFocusRect(TComponent* AOwner, TIpHtmlNodeA* Anchor)
    : TWinControl(AOwner), FAnchor(Anchor) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents,  csSetCaption,
                                  csOpaque,       csDoubleClicks, csReplicatable};
    SetBounds(0, 0, kFocusRectWidth, kFocusRectHeight);
    SetTabStop(true);
}

void TIpHtmlFocusRect::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "STATIC");
    Params.Style |= SS_NOTIFY;
}

void TIpHtmlFocusRect::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS:
            TWinControl::Dispatch(Message);
            FAnchor->FocusAnchor();
            return;
        case WM_KILLFOCUS:
            TWinControl::Dispatch(Message);
            FAnchor->UnfocusAnchor();
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}
