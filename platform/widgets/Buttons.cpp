#include "platform/widgets/Buttons.h"

#include <algorithm>

#include "platform/controls/Button.h"

namespace {

void FrameWith(HDC DC, RECT& R, TColor Color) {
    const HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color));
    FrameRect(DC, &R, Brush);
    DeleteObject(Brush);
    InflateRect(&R, -1, -1);
}

// The face of a button held down in a group: button face and highlight in a checkerboard.
TBitmap& HeldPattern() {
    static TBitmap* Pattern = [] {
        auto* B = new TBitmap(8, 8);
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 8; ++X)
                B->Canvas().SetPixel(X, Y, (X + Y) % 2 ? clBtnHighlight : clBtnFace);
        return B;
    }();
    return *Pattern;
}

}  // namespace

// ---- TBitBtn --------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
    FControlStyle.Include(csReplicatable);
    FGlyph.OnChange = [this] { Invalidate(); };
}

void TBitBtn::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::CreateWnd() {
    TButton::CreateWnd();
    // A default button shows its frame from the start.
    FShownDefault = Default();
}

void TBitBtn::SetButtonStyle(bool ADefault) {
    if (ADefault == FShownDefault) return;
    FShownDefault = ADefault;
    Invalidate();
}

void TBitBtn::SetGlyph(const TBitmap* Value) {
    FGlyph.SetGlyph(Value);
    FModifiedGlyph = true;
}

TBitBtnKind TBitBtn::Kind() const {
    if (FKind == TBitBtnKind::bkCustom) return TBitBtnKind::bkCustom;
    const TBitBtnKindInfo& I = BitBtnKindInfo(FKind);
    const bool Same = Default() == I.Default && Cancel() == I.Cancel && ModalResult() == I.Result &&
                      !FModifiedGlyph;
    return Same ? FKind : TBitBtnKind::bkCustom;
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (Value == Kind()) return;
    if (Value != TBitBtnKind::bkCustom) {
        const TBitBtnKindInfo& I = BitBtnKindInfo(Value);
        SetDefault(I.Default);
        SetCancel(I.Cancel);
        SetModalResult(I.Result);
        // A definition may give the button a caption of its own (a German "Abbruch"); it is
        // read before the kind.
        if (!ComponentState().Contains(csLoading) || Caption().empty()) SetCaption(I.Caption);
        LoadBitBtnGlyph(Value, *FGlyph.Glyph());
        FGlyph.SetNumGlyphs(1);
        FModifiedGlyph = false;
    }
    FKind = Value;
    Invalidate();
}

bool TBitBtn::IsCustomCaption() {
    return Caption() != BitBtnKindInfo(FKind).Caption;
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    FSpacing = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::Click() {
    TButton::Click();
    if (FKind != TBitBtnKind::bkClose) return;
    if (TCustomForm* Form = GetParentForm(this)) Form->Close();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
    const bool IsDown = Item.itemState & ODS_SELECTED;
    const bool HasFocus = Item.itemState & ODS_FOCUS;
    TCanvas C;
    C.SetHandle(Item.hDC);
    C.Font().Assign(FFont);
    const HDC DC = C.Handle();
    RECT R = Item.rcItem;
    // The button Enter presses has a black frame around its bevel.
    if (FShownDefault || HasFocus) FrameWith(DC, R, clWindowFrame);
    if (IsDown) {
        FrameWith(DC, R, clBtnShadow);
        C.Brush().SetColor(clBtnFace);
        C.FillRect(TRect{R.left, R.top, R.right, R.bottom});
    } else {
        DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    }
    const TButtonState State = !FEnabled ? bsDisabled : IsDown ? bsDown : bsUp;
    const TPoint Offset = IsDown ? TPoint{1, 1} : TPoint{0, 0};
    FGlyph.Draw(C, TRect{R.left, R.top, R.right, R.bottom}, Offset, Caption(), FLayout, FMargin,
                FSpacing, State);
    if (HasFocus) {
        RECT Focus = Item.rcItem;
        InflateRect(&Focus, -4, -4);
        DrawFocusRect(DC, &Focus);
    }
    C.SetHandle(0);
}

void TBitBtn::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_DRAWITEM:
            if (Message.LParam) DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        case WM_LBUTTONDBLCLK:
            // An owner-drawn button reports a double click instead of a second press.
            Perform(WM_LBUTTONDOWN, Message.WParam, Message.LParam);
            return;
        case CM_FONTCHANGED:
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            TButton::Dispatch(Message);
            Invalidate();
            return;
        default:
            TButton::Dispatch(Message);
    }
}

// ---- TSpeedButton ---------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
    FGlyph.OnChange = [this] { Invalidate(); };
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    if (FDown) FState = bsExclusive;
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    // The one button down of a group goes up only when another goes down.
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    Invalidate();
    if (Value) UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !FParent) return;
    for (int I = 0; I < FParent->ControlCount(); ++I)
        if (FParent->Controls(I) != this)
            FParent->Controls(I)->Perform(CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this));
}

void TSpeedButton::PaintFrame(RECT& R) {
    const HDC DC = Canvas()->Handle();
    const bool In = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        DrawFrameControl(DC, &R, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (In ? DFCS_PUSHED : 0));
        return;
    }
    if (In || (FMouseInControl && FState != bsDisabled)) {
        RECT Edge = R;
        DrawEdge(DC, &Edge, In ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 BF_RECT | (FTransparent ? 0 : BF_MIDDLE));
    } else if (!FTransparent) {
        Canvas()->Brush().SetColor(FColor);
        Canvas()->FillRect(TRect{R.left, R.top, R.right, R.bottom});
    }
    InflateRect(&R, -1, -1);
}

void TSpeedButton::Paint() {
    if (!FEnabled) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TCanvas& C = *Canvas();
    C.Font().Assign(FFont);
    RECT R = ClientRect();
    PaintFrame(R);
    const bool In = FState == bsDown || FState == bsExclusive;
    if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
        C.Brush().SetBitmap(&HeldPattern());
        C.FillRect(TRect{R.left, R.top, R.right, R.bottom});
        C.Brush().SetBitmap(nullptr);
    }
    FGlyph.Draw(C, TRect{R.left, R.top, R.right, R.bottom}, In ? TPoint{1, 1} : TPoint{0, 0},
                Caption(), FLayout, FMargin, FSpacing, FState);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !FEnabled) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    const bool Inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    const TButtonState Now = FDown ? bsExclusive : Inside ? bsDown : bsUp;
    if (Now == FState) return;
    FState = Now;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging || Button != mbLeft) return;
    FDragging = false;
    const bool Clicked = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    if (FGroupIndex != 0 && Clicked) SetDown(!FDown);
    // A press that did not change Down shows the button as it was.
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
    if (Clicked) Click();
}

void TSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_BUTTONPRESSED: {
            auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
            auto* Other = dynamic_cast<TSpeedButton*>(Sender);
            if (int(Message.WParam) != FGroupIndex || !Other || Other == this) return;
            if (Other->Down() && FDown) {
                FDown = false;
                FState = bsUp;
                Invalidate();
            }
            FAllowAllUp = Other->AllowAllUp();
            return;
        }
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            FMouseInControl = Message.Msg == CM_MOUSEENTER;
            if (FFlat && FEnabled) Invalidate();
            return;
        case CM_DIALOGCHAR:
            if (IsAccel(WORD(Message.WParam), Caption()) && FEnabled && IsVisibleOnScreen()) {
                Click();
                Message.Result = 1;
            }
            return;
        case CM_FONTCHANGED:
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            TGraphicControl::Dispatch(Message);
            Invalidate();
            return;
        default:
            TGraphicControl::Dispatch(Message);
    }
}
