#pragma once
// TOvcFormState: restores its form's placement (and, by its options, colour, default monitor and
// active control) from a store when the form is created, and saves it when the form may close
// and, when it never saved, when the form goes. A form read from its definition is hooked by the
// component's Loaded: the form's create, close-query and destroy events run the component's
// steps around the handlers they had.
//
// TOvcAttachedLabel: a label tied to a control, which it tells where it is.
#include <string>

#include "components/store/FormPlacement.h"
#include "components/store/OvcState.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"

// The section a component's state goes to by default: a form's class name; a control's name
// after its form's name (the form's class name when the form has none) and "." (its parent's
// name without a form); another component's name after its owner form's class name and "."
// (its own name alone when the owner is no form); empty for none.
std::string DefaultStateSection(const TComponent* Component);

class TOvcFormState : public TOvcAbstractState {
  public:
    // EComponentError "This component can only be used on forms" for an owner that is no form.
    explicit TOvcFormState(TComponent* AOwner);
    ~TOvcFormState() override;

    TOvcFormStateOptions Options() const { return FOptions; }
    void SetOptions(TOvcFormStateOptions Value) { FOptions = Value; }

    void RestoreState() override;
    void SaveState() override;

  protected:
    void Loaded() override;
    std::string DefaultSection() const override;

  private:
    TCustomForm* Form() const;
    TFormStateSubject Subject(TCustomForm& Form) const;
    void Apply(TCustomForm& Form, const TFormStateRestored& Restored);
    void Unhook();

    TOvcFormStateOptions FOptions{fsState, fsPosition};
    bool FHooked = false;
    TNotifyEvent FPreviousCreate;
    TCloseQueryEvent FPreviousCloseQuery;
    TNotifyEvent FPreviousDestroy;
};

// The private messages an attached label sends its control: where the label is now (LParam: the
// label), and a posted request to place the label again.
inline constexpr UINT OM_ASSIGNLABEL = 0x7F0D;
inline constexpr UINT OM_POSITIONLABEL = 0x7F0C;

class TOvcAttachedLabel : public TLabel {
  public:
    // Sized to its text, in its parent's font, not transparent.
    explicit TOvcAttachedLabel(TComponent* AOwner);
    // Tied to Control (its focus control).
    TOvcAttachedLabel(TComponent* AOwner, TWinControl* Control);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  protected:
    void Loaded() override;

  private:
    // Tells the control, when it belongs to the label's form and neither is being read or freed.
    bool TellControl();
};
