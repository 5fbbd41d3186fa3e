#pragma once
// The popup list: the default popup of an edit control with buttons. A top-level column list
// that is never activated; the edit drops it down below itself and passes it its keys.
//
// It exchanges its value with the edit as text: WM_SETTEXT selects the item of that text (none
// when there is none) and makes the list as high as its items, 1 to 7 rows; WM_GETTEXT answers
// the selected item's text (empty when none is selected).
//
// A press selects the item under the pointer and takes the mouse capture; moving with the
// button held selects the item under the pointer, the one before or after it above or below the
// list (scrolling it); the release closes the popup, accepting when it is inside the list. Enter
// closes it accepting, Escape without; other keys move in the list. A selection the user changes
// runs the edit's Change.
#include "components/dcedit/DCListBox.h"

class TCustomDCEdit;

class TPopupListBox : public TDCListBox {
  public:
    explicit TPopupListBox(TComponent* AOwner);

    // Closes the popup through the edit that owns it.
    virtual void CloseUp(bool Accept);
    // The edit that owns the list, or null.
    TCustomDCEdit* OwnerEdit() const;
    // Whether the value lists show their values' names besides their pictures.
    bool DisplayNames() const { return FDisplayNames; }
    void SetDisplayNames(bool Value);
    // The rows a list of Count items shows.
    static int RowsFor(int Count);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The window was made (the value lists fill themselves then).
    virtual void AfterHandleCreated() {}
    void Dispatch(TMessage& Message) override;
    // WM_SETTEXT and WM_GETTEXT.
    virtual void SetPopupText(const std::string& Text);
    virtual std::string PopupText();

    bool FDisplayNames = false;

  private:
    void SelectAt(POINT Client);
    // The key closes the popup (Enter, Escape without shift keys).
    bool ClosingKey(WORD Key) const;
    // A new font (not the same one given again) sets the item height.
    void FitItemHeightToFont();

    std::string FFittedFont;
};
