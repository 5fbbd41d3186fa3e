#pragma once
// Combo boxes over the COMBOBOX class (platform/controls/ComboBox.h): a field with a list that
// drops down below it (csDropDown with an edit, csDropDownList without), is always shown
// (csSimple), or whose items the program draws (csOwnerDrawFixed, csOwnerDrawVariable: lists
// without an edit, see ListItems.h).
//
// Key events (OnKeyDown, OnKeyPress, OnKeyUp) come from the combo box and from its edit alike.
//
// Events, for what the user does only: OnChange when the text changes by typing, and when the
// user chooses another item while no OnSelect is assigned; OnSelect when the user chooses
// another item; OnClick before either; OnDropDown before the list shows (the program may fill
// it then); OnCloseUp after it went.
#include "platform/widgets/ListItems.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TCustomListControl {
  public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // The items the dropped-down list shows at once (fewer when there are fewer).
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    // The most characters the user may type; 0 for no limit of the control's own.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    // The items' height: the font's, or the height the program draws them in (the default of
    // OnMeasureItem for csOwnerDrawVariable). 1 to 255; ERangeError otherwise.
    int ItemHeight();
    void SetItemHeight(int Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void ItemsRestored() override;
    void DestroyWnd() override;
    bool OwnerDrawn() const override { return FStyle >= csOwnerDrawFixed; }
    bool VariableHeight() const override { return FStyle == csOwnerDrawVariable; }
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

  private:
    // The window's height with the list is what the list may take: DropDownCount items.
    void AdjustDropDown();
    // The edit's keys go through the key events first, as the combo box's own do.
    void HookEdit();
    void UnhookEdit();
    void EditWndProc(TMessage& Message);

    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    HWND FEdit = 0;
    WNDPROC FEditInstance = nullptr;
    WNDPROC FEditDefProc = nullptr;
};

class TComboBox : public TCustomComboBox {
  public:
    using TCustomComboBox::TCustomComboBox;
};
