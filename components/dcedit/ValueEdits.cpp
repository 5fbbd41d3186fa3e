#include "components/dcedit/ValueEdits.h"

#include "components/dcedit/TextAnswer.h"
#include "components/dcedit/ValueTexts.h"
#include "platform/controls/Edit.h"
#include "platform/gdi/Gdi.h"

namespace {

// The classic check box: a quarter of the system's check-box bitmap wide, a third of it high.
constexpr int kCheckBoxSize = 13;

TCustomDCEdit* EditOf(TComponent* Control) {
    return dynamic_cast<TCustomDCEdit*>(Control->Owner());
}

}  // namespace

// ---- controls of a value -----------------------------------------------------------------------

void TValueControl::Dispatch(TMessage& Message) {
    if (AnswerTextMessage(Message, GetText())) return;
    switch (Message.Msg) {
        case WM_SETTEXT:
            SetTextValue(SetTextOf(Message));
            Message.Result = TRUE;
            return;
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case CM_ENABLEDCHANGED:
            TCustomControl::Dispatch(Message);
            Invalidate();
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

// ---- graphic edits ----------------------------------------------------------------------------

TGraphicEdit::TGraphicEdit(TComponent* AOwner) : TValueControl(AOwner) {
    FControlStyle.Include(csOpaque);
    SetTabStop(true);
}

std::string TGraphicEdit::GetValue() {
    return FValue;
}

void TGraphicEdit::SetValue(const std::string& Text) {
    FValue = Text;
}

void TGraphicEdit::SetTextValue(const std::string& Value) {
    SetValue(Value);
    if (TCustomDCEdit* Edit = EditOf(this)) Edit->InnerEditChanged();
    Invalidate();
}

void TGraphicEdit::DrawValue(HDC DC, const TRect& Rect, bool Focused) {
    TCanvas C;
    C.SetHandle(DC);
    C.Brush().SetColor(FColor);
    C.FillRect(Rect);
    C.Font().Assign(FFont);
    if (!FEnabled) C.Font().SetColor(clBtnShadow);
    if (const TSwatchPainter Paint = Swatch()) {
        ::DrawValue(C, Rect, GetValue(), Paint);
    } else {
        RECT Place{Rect.Left + 2, Rect.Top, Rect.Right, Rect.Bottom};
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToRGB(C.Font().Color()));
        DrawText(C.Handle(), GetValue(), &Place,
                 DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (Focused) {
        const RECT Frame{Rect.Left + kValueNameOffset - 2, Rect.Top + 1, Rect.Right - 1,
                         Rect.Bottom - 1};
        DrawFocusRect(DC, &Frame);
    }
    C.SetHandle(0);
}

void TGraphicEdit::Paint() {
    // Drawn aside and copied at once: the field never shows half-drawn.
    const TRect R = ClientRect();
    TBitmap Aside;
    Aside.SetSize(R.Width(), R.Height());
    DrawValue(Aside.Canvas().Handle(), R, Focused());
    BitBlt(Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Aside.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TGraphicEdit::Dispatch(TMessage& Message) {
    if (Message.Msg != CM_DRAWVALUE) {
        TValueControl::Dispatch(Message);
        return;
    }
    const POINT At = MessagePoint(Message.LParam);
    DrawValue(HDC(Message.WParam), TRect{At.x, At.y, At.x + Width(), At.y + Height()}, false);
}

TColorEdit::TColorEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {
    FValue = ColorText(FColorValue);
}

void TColorEdit::SetValue(const std::string& Text) {
    const TColor Color = ColorFromText(Text);
    FColorValue = Color;
    FValue = ColorText(Color);
}

TPenStyleEdit::TPenStyleEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {
    FValue = PenStyleText(FStyle);
}

void TPenStyleEdit::SetValue(const std::string& Text) {
    FStyle = PenStyleFromText(Text);
    FValue = PenStyleText(FStyle);
}

TBrushStyleEdit::TBrushStyleEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {
    FBrush.SetColor(clBlack);
    FValue = BrushStyleText(FBrush.Style());
}

void TBrushStyleEdit::SetValue(const std::string& Text) {
    FBrush.SetStyle(BrushStyleFromText(Text));
    FValue = BrushStyleText(FBrush.Style());
}

// ---- the check edit ---------------------------------------------------------------------------

TCheckEdit::TCheckEdit(TComponent* AOwner) : TValueControl(AOwner) {
    // A click toggles at the press; a second quick click toggles again.
    FControlStyle.Exclude(csDoubleClicks);
    FControlStyle.Exclude(csClickEvents);
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
}

void TCheckEdit::SetInverted(bool Value) {
    if (FInverted == Value) return;
    FInverted = Value;
    Invalidate();
}

std::string TCheckEdit::GetText() {
    return BooleanText(FChecked != FInverted);
}

void TCheckEdit::SetTextValue(const std::string& Value) {
    if (BooleanFromText(Value) != (FChecked != FInverted)) {
        FChecked = !FChecked;
        Invalidate();
    }
    FModified = false;
}

void TCheckEdit::Toggle() {
    TCustomDCEdit* Edit = EditOf(this);
    if (Edit && Edit->ReadOnly()) return;
    FChecked = !FChecked;
    if (Edit) Edit->Change();
    Invalidate();
    FModified = true;
    if (Edit) Edit->UpdateSource();
}

void TCheckEdit::Paint() {
    TCanvas& C = *Canvas();
    const TRect R = ClientRect();
    C.Brush().SetColor(FColor);
    C.FillRect(R);
    const int Top = (R.Height() - kCheckBoxSize) / 2;
    RECT Box{2, Top, 2 + kCheckBoxSize, Top + kCheckBoxSize};
    UINT State = DFCS_BUTTONCHECK;
    if (FChecked) State |= DFCS_CHECKED;
    if (!FEnabled) State |= DFCS_INACTIVE;
    DrawFrameControl(C.Handle(), &Box, DFC_BUTTON, State);
    if (Focused()) {
        const RECT Frame{0, Top - 2, kCheckBoxSize + 4, Top + kCheckBoxSize + 2};
        DrawFocusRect(C.Handle(), &Frame);
    }
}

void TCheckEdit::Dispatch(TMessage& Message) {
    if (Message.Msg != EM_GETMODIFY) {
        TValueControl::Dispatch(Message);
        return;
    }
    Message.Result = FModified ? TRUE : FALSE;
}

void TCheckEdit::KeyPress(char& Key) {
    TValueControl::KeyPress(Key);
    if (Key != ' ') return;
    Toggle();
    Key = 0;
}

void TCheckEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TValueControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus()) SetFocus();
    if (FWholeArea || X < Height() + 2) Toggle();
    Click();
}
