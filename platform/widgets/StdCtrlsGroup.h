#pragma once
// Group boxes: an etched frame with a caption around controls, and the radio group, a group box
// that makes one radio button per item of its list and knows which one is checked.
#include <memory>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/widgets/StdCtrlsButton.h"

class TCustomGroupBox : public TCustomControl {
  public:
    explicit TCustomGroupBox(TComponent* AOwner);

  protected:
    void Paint() override;
    // Inside the frame and below the caption.
    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(TMessage& Message) override;
    // The height of the caption's line in the control's font.
    int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
  public:
    using TCustomGroupBox::TCustomGroupBox;
};

class TGroupButton;
class TRadioGroupItems;

class TCustomRadioGroup : public TCustomGroupBox {
  public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    // One radio button per item; changing the list remakes them.
    TStringList* Items() const;
    void SetItems(const TStrings* Value);
    // The checked item, -1 for none; kept within the items.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // Columns the buttons are laid out in (1 to 16), filled top to bottom.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int Index) const;

  protected:
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    // Whether the user may check another button now (a descendant may refuse).
    virtual bool CanModify() { return true; }

  private:
    friend class TGroupButton;
    friend class TRadioGroupItems;
    void ItemsChanged();
    void UpdateButtons();
    void ArrangeButtons();
    void ButtonClicked(TGroupButton* Button);

    std::unique_ptr<TRadioGroupItems> FItems;
    std::vector<TGroupButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    // The group checks a button itself: the button's click is not the user's choice.
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
  public:
    using TCustomRadioGroup::TCustomRadioGroup;
};
