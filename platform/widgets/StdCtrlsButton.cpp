#include "platform/widgets/StdCtrlsButton.h"

#include "platform/controls/Button.h"
#include "platform/core/Input.h"

namespace {

bool NoShiftKeys() {
    const TShiftState Shift = KeyboardShiftState();
    return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

WPARAM CheckOf(TCheckBoxState State) {
    switch (State) {
        case cbChecked:
            return BST_CHECKED;
        case cbGrayed:
            return BST_INDETERMINATE;
        default:
            return BST_UNCHECKED;
    }
}

// Where the box stands: taLeftJustify puts the text left of it.
DWORD AlignmentStyle(TAlignment Alignment) {
    return Alignment == taLeftJustify ? BS_LEFTTEXT : 0;
}

}  // namespace

// ---- TButtonControl -------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    // The button window takes the capture and reports the click itself (BN_CLICKED): the
    // control library's capture would end the press before the release.
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

bool TButtonControl::ClicksAllowed() const {
    return !FClicksDisabled && !ComponentState().Contains(csLoading);
}

void TButtonControl::WndProc(TMessage& Message) {
    if (Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONDBLCLK) {
        TWinControl::WndProc(Message);
        return;
    }
    const bool Was = FPressing;
    FPressing = true;
    struct TDone {
        bool& Flag;
        bool Was;
        ~TDone() { Flag = Was; }
    } Done{FPressing, Was};
    TWinControl::WndProc(Message);
}

// ---- TButton --------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    TButtonControl::CreateWnd();
    FActive = FDefault;
    FShownDefault = FDefault;
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated() || ADefault == FShownDefault) return;
    FShownDefault = ADefault;
    Perform(BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    if (!HandleAllocated()) return;
    // Every button of the form takes its look again.
    if (TCustomForm* Form = GetParentForm(this))
        Form->Perform(CM_FOCUSCHANGED, 0, LPARAM(Form->ActiveControl()));
}

void TButton::Click() {
    if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == BN_CLICKED && ClicksAllowed()) Click();
            return;
        case CM_FOCUSCHANGED: {
            auto* Focused = reinterpret_cast<TWinControl*>(Message.LParam);
            FActive = dynamic_cast<TButton*>(Focused) ? Focused == this : FDefault;
            SetButtonStyle(FActive);
            return;
        }
        case CM_DIALOGKEY: {
            const WORD Key = WORD(Message.WParam);
            const bool Mine = (Key == VK_RETURN && FActive) || (Key == VK_ESCAPE && FCancel);
            if (Mine && NoShiftKeys() && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            TWinControl::Dispatch(Message);
            return;
        }
        case CM_DIALOGCHAR:
            if (IsAccel(WORD(Message.WParam), Caption()) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            TWinControl::Dispatch(Message);
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

// ---- TCustomCheckBox ------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Three states whatever AllowGrayed says: the control sets the state, the window shows it.
    Params.Style |= BS_3STATE | AlignmentStyle(FAlignment);
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, CheckOf(FState));
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    if (Value == taCenter || FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    if (HandleAllocated()) Perform(BM_SETCHECK, CheckOf(FState));
    if (ClicksAllowed()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
        case cbUnchecked:
            SetState(FAllowGrayed ? cbGrayed : cbChecked);
            break;
        case cbChecked:
            SetState(cbUnchecked);
            break;
        case cbGrayed:
            SetState(cbChecked);
            break;
    }
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == BN_CLICKED) Toggle();
            return;
        case CM_DIALOGCHAR:
            if (IsAccel(WORD(Message.WParam), Caption()) && CanFocus()) {
                SetFocus();
                if (Focused()) Toggle();
                Message.Result = 1;
                return;
            }
            TWinControl::Dispatch(Message);
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

// ---- TRadioButton ---------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON | AlignmentStyle(FAlignment);
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED);
}

void TRadioButton::SetAlignment(TAlignment Value) {
    if (Value == taCenter || FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    SetTabStop(Value);
    if (HandleAllocated()) Perform(BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED);
    if (!Value) return;
    TurnSiblingsOff();
    if (ClicksAllowed()) Click();
}

void TRadioButton::TurnSiblingsOff() {
    if (!FParent) return;
    for (int I = 0; I < FParent->ControlCount(); ++I)
        if (auto* Sibling = dynamic_cast<TRadioButton*>(FParent->Controls(I)); Sibling != this)
            if (Sibling && SharesGroupWith(*Sibling)) Sibling->SetChecked(false);
}

bool TRadioButton::SharesGroupWith(const TRadioButton&) const {
    return true;
}

void TRadioButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == BN_CLICKED) SetChecked(true);
            if (HIWORD(Message.WParam) == BN_DOUBLECLICKED) DblClick();
            return;
        case WM_SETFOCUS:
            TWinControl::Dispatch(Message);
            // Reached by the arrow keys (not pressed with the mouse, whose release clicks it):
            // the focus checks it, as moving through a group of radio buttons does.
            if (!FChecked && !Pressing()) SetChecked(true);
            return;
        case CM_DIALOGCHAR:
            if (IsAccel(WORD(Message.WParam), Caption()) && CanFocus()) {
                SetFocus();
                SetChecked(true);
                Message.Result = 1;
                return;
            }
            TWinControl::Dispatch(Message);
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}
