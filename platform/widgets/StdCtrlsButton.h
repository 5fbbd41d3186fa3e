#pragma once
// Buttons of the class library over the BUTTON class (platform/controls/Button.h): push buttons,
// check boxes and radio buttons. The window reports a click (BN_CLICKED); the control decides
// what the click does (checking, the form's modal result), so the window's own automatic types
// are not used: radio buttons of one parent uncheck each other here, whatever the order of their
// windows.
#include "platform/widgets/CheckBoxState.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"

class TButtonControl : public TWinControl {
  public:
    explicit TButtonControl(TComponent* AOwner);

    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool) {}

  protected:
    void WndProc(TMessage& Message) override;
    // While set, state changes made in code do not count as clicks.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    // A left press on the button is being handled (the focus it brings is the mouse's).
    bool Pressing() const { return FPressing; }
    // OnClick may run: not while the control is read from its definition.
    bool ClicksAllowed() const;

  private:
    bool FClicksDisabled = false;
    bool FPressing = false;
};

class TButton : public TButtonControl {
  public:
    explicit TButton(TComponent* AOwner);

    // Enter presses the default button while no other button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Esc presses the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Given to the form when the button is clicked (a modal form then closes).
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    // Shows the button as the one Enter presses, or not.
    virtual void SetButtonStyle(bool ADefault);
    // Enter presses this button now: it has the focus, or it is the default and no other button
    // has it.
    bool Active() const { return FActive; }

  private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FActive = false;
    bool FShownDefault = false;
};

class TCustomCheckBox : public TButtonControl {
  public:
    explicit TCustomCheckBox(TComponent* AOwner);

    // taRightJustify: the text right of the box; taLeftJustify: left of it.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // A click goes through the grayed state too.
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    // OnClick runs whenever the state changes, by the user or in code.
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const override { return FState == cbChecked; }
    void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    virtual void Toggle();

  private:
    TAlignment FAlignment = taRightJustify;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
  public:
    using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
  public:
    explicit TRadioButton(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Checking one unchecks the other radio buttons of its parent; OnClick runs when it becomes
    // checked. A checked radio button is the one of its group that Tab reaches.
    bool Checked() const override { return FChecked; }
    void SetChecked(bool Value) override;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    // Whether Other, a radio button of the same parent, is turned off when this one is checked.
    // Every sibling is, as in a dialog; a page with several questions narrows it.
    virtual bool SharesGroupWith(const TRadioButton& Other) const;

  private:
    void TurnSiblingsOff();
    TAlignment FAlignment = taRightJustify;
    bool FChecked = false;
};
