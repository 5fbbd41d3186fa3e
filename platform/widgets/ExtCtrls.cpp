#include "platform/widgets/ExtCtrls.h"

#include <algorithm>

#include "platform/classes/Mnemonics.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/widgets/Forms.h"

namespace {

// A raised or lowered frame of Width pixels inside R (which shrinks by it).
void Frame3D(HDC DC, RECT& R, TColor TopLeft, TColor BottomRight, int Width) {
    const HBRUSH Light = CreateSolidBrush(ColorToRGB(TopLeft));
    const HBRUSH Dark = CreateSolidBrush(ColorToRGB(BottomRight));
    for (int I = 0; I < Width; ++I) {
        RECT Top{R.left, R.top, R.right - 1, R.top + 1};
        RECT Left{R.left, R.top, R.left + 1, R.bottom - 1};
        RECT Bottom{R.left, R.bottom - 1, R.right, R.bottom};
        RECT Right{R.right - 1, R.top, R.right, R.bottom};
        FillRect(DC, &Top, Light);
        FillRect(DC, &Left, Light);
        FillRect(DC, &Bottom, Dark);
        FillRect(DC, &Right, Dark);
        R.left += 1;
        R.top += 1;
        R.right -= 1;
        R.bottom -= 1;
    }
    DeleteObject(Light);
    DeleteObject(Dark);
}

void BevelFrame(HDC DC, RECT& R, TBevelCut Cut, int Width) {
    if (Cut == bvNone) return;
    if (Cut == bvSpace) {
        R.left += Width;
        R.top += Width;
        R.right -= Width;
        R.bottom -= Width;
        return;
    }
    const bool Raised = Cut == bvRaised;
    Frame3D(DC, R, Raised ? clBtnHighlight : clBtnShadow, Raised ? clBtnShadow : clBtnHighlight,
            Width);
}

int BevelSize(TBevelCut Cut, int Width) {
    return Cut == bvNone ? 0 : Width;
}

}  // namespace

bool IsAccel(WORD Key, const std::string& Caption) {
    const char Marked = MnemonicKey(Caption);
    const char C = char(Key & 0xFF);
    return Marked != 0 && Marked == ((C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C);
}

// ---- TCustomLabel ---------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    FAutoSize = true;
    FColor = clBtnFace;
    SetBounds(0, 0, 65, 17);
}

std::string TCustomLabel::GetLabelText() {
    return GetText();
}

UINT TCustomLabel::DrawFlags() const {
    UINT Flags = DT_EXPANDTABS;
    if (FWordWrap) Flags |= DT_WORDBREAK;
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    switch (FAlignment) {
        case taRightJustify:
            Flags |= DT_RIGHT;
            break;
        case taCenter:
            Flags |= DT_CENTER;
            break;
        default:
            Flags |= DT_LEFT;
    }
    return Flags;
}

void TCustomLabel::DoDrawText(RECT& Rect, UINT Flags) {
    std::string Text = GetLabelText();
    // An empty line still has a height (the measure of a label without text).
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&"))) Text += " ";
    TCanvas& C = *Canvas();
    C.Font().Assign(FFont);
    const HDC DC = C.Handle();
    SetBkMode(DC, TRANSPARENT);
    if (!FEnabled && !(Flags & DT_CALCRECT)) {
        // Disabled: embossed, a light copy one pixel down and right under the shadow.
        RECT Light = Rect;
        OffsetRect(&Light, 1, 1);
        SetTextColor(DC, ColorToRGB(clBtnHighlight));
        DrawText(DC, Text, &Light, Flags);
        SetTextColor(DC, ColorToRGB(clBtnShadow));
        DrawText(DC, Text, &Rect, Flags);
        return;
    }
    SetTextColor(DC, ColorToRGB(FFont.Color()));
    DrawText(DC, Text, &Rect, Flags);
}

void TCustomLabel::Paint() {
    TCanvas& C = *Canvas();
    const TRect Client = ClientRect();
    if (!FTransparent) {
        C.Brush().SetColor(FColor);
        C.Brush().SetStyle(bsSolid);
        C.FillRect(Client);
    }
    RECT R = Client;
    UINT Flags = DrawFlags();
    if (FLayout != tlTop) {
        RECT Measure = R;
        DoDrawText(Measure, Flags | DT_CALCRECT);
        const int Height = Measure.bottom - Measure.top;
        if (FLayout == tlBottom)
            R.top = R.bottom - Height;
        else
            R.top = (R.bottom + R.top - Height) / 2;
    }
    DoDrawText(R, Flags);
}

void TCustomLabel::AdjustSize() {
    if (!FAutoSize || ComponentState().Contains(csLoading)) return;
    // Measured on a screen context with the label's font.
    const HDC DC = GetDC(0);
    Canvas()->SetHandle(DC);
    RECT R{0, 0, FWordWrap ? FWidth : 0, 0};
    DoDrawText(R, DrawFlags() | DT_CALCRECT);
    Canvas()->SetHandle(0);
    ReleaseDC(0, DC);
    int Left = FLeft;
    const int Width = R.right - R.left;
    // A right-aligned label keeps its right edge, a centred one its centre.
    if (!FWordWrap && FAlignment == taRightJustify) Left += FWidth - Width;
    if (!FWordWrap && FAlignment == taCenter) Left += (FWidth - Width) / 2;
    SetBounds(Left, FTop, Width, R.bottom - R.top);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

void TCustomLabel::SetAutoSize(bool Value) {
    TGraphicControl::SetAutoSize(Value);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGCHAR:
            if (FEnabled && FShowAccelChar && FFocusControl &&
                IsAccel(WORD(Message.WParam), GetText()) && FFocusControl->CanFocus()) {
                FFocusControl->SetFocus();
                Message.Result = 1;
            }
            return;
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            AdjustSize();
            Invalidate();
            return;
        case CM_MOUSEENTER:
            if (OnMouseEnter) OnMouseEnter(this);
            return;
        case CM_MOUSELEAVE:
            if (OnMouseLeave) OnMouseLeave(this);
            return;
        default:
            TGraphicControl::Dispatch(Message);
    }
}

// ---- TCustomPanel ---------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csOpaque,          csDoubleClicks, csReplicatable};
    FColor = clBtnFace;
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    const int Inset = BevelSize(FBevelOuter, FBevelWidth) + BevelSize(FBevelInner, FBevelWidth);
    Rect.Left += Inset;
    Rect.Top += Inset;
    Rect.Right -= Inset;
    Rect.Bottom -= Inset;
}

void TCustomPanel::Paint() {
    const HDC DC = Canvas()->Handle();
    RECT R = ClientRect();
    BevelFrame(DC, R, FBevelOuter, FBevelWidth);
    // The border between the bevels is the panel's colour.
    Canvas()->Brush().SetColor(FColor);
    Canvas()->Brush().SetStyle(bsSolid);
    Canvas()->FillRect(TRect{R.left, R.top, R.right, R.bottom});
    for (int I = 0; I < BorderWidth(); ++I) {
        R.left += 1;
        R.top += 1;
        R.right -= 1;
        R.bottom -= 1;
    }
    BevelFrame(DC, R, FBevelInner, FBevelWidth);
    const std::string Text = GetText();
    if (Text.empty()) return;
    Canvas()->Font().Assign(FFont);
    SetBkMode(Canvas()->Handle(), TRANSPARENT);
    SetTextColor(Canvas()->Handle(), ColorToRGB(FFont.Color()));
    UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    Flags |= FAlignment == taLeftJustify    ? DT_LEFT
             : FAlignment == taRightJustify ? DT_RIGHT
                                            : DT_CENTER;
    DrawText(Canvas()->Handle(), Text, &R, Flags);
}

void TCustomPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_TEXTCHANGED:
        case CM_COLORCHANGED:
            Invalidate();
            if (Message.Msg == CM_COLORCHANGED) TCustomControl::Dispatch(Message);
            return;
        case WM_ERASEBKGND:
            // Paint covers everything.
            Message.Result = 1;
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = std::max(1, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value == bsSingle ? bsSingle : bsNone;
    RecreateWnd();
}

// ---- TBevel ---------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    if (FShape == bsSpacer) return;
    const HDC DC = Canvas()->Handle();
    const TColor Top = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor Bottom = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int W = FWidth;
    const int H = FHeight;
    auto Line = [&](int X1, int Y1, int X2, int Y2, TColor Color) {
        const HBRUSH B = CreateSolidBrush(ColorToRGB(Color));
        RECT R{X1, Y1, X2, Y2};
        FillRect(DC, &R, B);
        DeleteObject(B);
    };
    switch (FShape) {
        case bsBox: {
            RECT R{0, 0, W, H};
            Frame3D(DC, R, Top, Bottom, 1);
            break;
        }
        case bsFrame: {
            // Two boxes, one pixel apart: an etched groove.
            RECT Outer{0, 0, W - 1, H - 1};
            Frame3D(DC, Outer, Top, Top, 1);
            RECT Inner{1, 1, W, H};
            Frame3D(DC, Inner, Bottom, Bottom, 1);
            break;
        }
        case bsTopLine:
            Line(0, 0, W, 1, Top);
            Line(0, 1, W, 2, Bottom);
            break;
        case bsBottomLine:
            Line(0, H - 2, W, H - 1, Top);
            Line(0, H - 1, W, H, Bottom);
            break;
        case bsLeftLine:
            Line(0, 0, 1, H, Top);
            Line(1, 0, 2, H, Bottom);
            break;
        case bsRightLine:
            Line(W - 2, 0, W - 1, H, Top);
            Line(W - 1, 0, W, H, Bottom);
            break;
        default:
            break;
    }
}

// ---- TImage ---------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    FPicture.OnChange = [this](TPicture*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

void TImage::PictureChanged() {
    // Transparent is the image's: a picture given after it (as definitions give them) takes it.
    if (TGraphic* G = FPicture.Graphic()) G->SetTransparent(FTransparent);
    if (FAutoSize) AdjustSize();
    Invalidate();
}

void TImage::AdjustSize() {
    if (!FAutoSize || FPicture.Width() <= 0 || FPicture.Height() <= 0) return;
    SetBounds(FLeft, FTop, FPicture.Width(), FPicture.Height());
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    if (FPicture.Graphic()) FPicture.Graphic()->SetTransparent(Value);
    Invalidate();
}

TRect TImage::DestRect() {
    int W = FPicture.Width();
    int H = FPicture.Height();
    const int CW = FWidth;
    const int CH = FHeight;
    if (FStretch || (FProportional && (W > CW || H > CH))) {
        if (FProportional && W > 0 && H > 0) {
            // The whole picture, as large as fits, its proportions kept.
            using Wide = long long;
            if (Wide(CW) * H > Wide(CH) * W) {
                W = int(Wide(W) * CH / H);
                H = CH;
            } else {
                H = int(Wide(H) * CW / W);
                W = CW;
            }
        } else {
            W = CW;
            H = CH;
        }
    }
    int L = 0;
    int T = 0;
    if (FCenter) {
        L = (CW - W) / 2;
        T = (CH - H) / 2;
    }
    return TRect{L, T, L + W, T + H};
}

void TImage::Paint() {
    TGraphic* G = FPicture.Graphic();
    if (!G || G->Empty()) return;
    G->Draw(*Canvas(), DestRect());
}

// ---- TSplitter ------------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    FAlign = alLeft;
    FCursor = crHSplit;
    SetBounds(0, 0, 3, 100);
}

void TSplitter::Paint() {
    const HDC DC = Canvas()->Handle();
    const TRect Client = ClientRect();
    RECT R = Client;
    Canvas()->Brush().SetColor(FColor);
    Canvas()->FillRect(Client);
    if (Beveled) Frame3D(DC, R, clBtnHighlight, clBtnShadow, 1);
}

TControl* TSplitter::FindControl() {
    if (!FParent) return nullptr;
    // The aligned control touching the splitter on the side the alignment comes from.
    for (int I = 0; I < FParent->ControlCount(); ++I) {
        TControl* C = FParent->Controls(I);
        if (C == this || !C->Visible() || C->Align() != FAlign) continue;
        const bool Touches = (FAlign == alLeft && C->Left() + C->Width() == FLeft) ||
                             (FAlign == alRight && C->Left() == FLeft + FWidth) ||
                             (FAlign == alTop && C->Top() + C->Height() == FTop) ||
                             (FAlign == alBottom && C->Top() == FTop + FHeight);
        if (Touches) return C;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FControl = FindControl();
    if (!FControl) return;
    FDragging = true;
    FDownPos = ClientToScreen(TPoint{X, Y});
    FStartSize = (FAlign == alLeft || FAlign == alRight) ? FControl->Width() : FControl->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging || !FControl) return;
    const TPoint P = ClientToScreen(TPoint{X, Y});
    int Delta = (FAlign == alLeft || FAlign == alRight) ? P.X - FDownPos.X : P.Y - FDownPos.Y;
    if (FAlign == alRight || FAlign == alBottom) Delta = -Delta;
    const int Size = std::max(MinSize, FStartSize + Delta);
    if (FAlign == alLeft || FAlign == alRight)
        FControl->SetWidth(Size);
    else
        FControl->SetHeight(Size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    FControl = nullptr;
    if (OnMoved) OnMoved(this);
}

// ---- TTimer ---------------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TTimer::~TTimer() {
    DeallocateHWnd(FWindow);
}

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        if (FOnTimer) FOnTimer(this);
        return;
    }
    Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

void TTimer::UpdateTimer() {
    KillTimer(FWindow, 1);
    if (FEnabled && FInterval > 0 && FOnTimer && !ComponentState().Contains(csLoading))
        SetTimer(FWindow, 1, FInterval);
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    UpdateTimer();
}
