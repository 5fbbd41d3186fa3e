#pragma once
// The list a combo item drops down: a top-most window of its own, never activated, with a 2-pixel
// frame, whose rows the combo measures and draws. The press that opened it may be dragged onto a
// row (tracking); a release on a row (not that first one) chooses it: the menus close and the
// combo's ItemIndex becomes that row. Every row the pointer or a key selects shows in the
// combo's editor at once.
#include <string>

#include "platform/widgets/ListBoxes.h"

class TCustomdxBarComboControl;
class TdxBarCustomCombo;

class TdxBarDropDownListBox : public TCustomListBox {
  public:
    explicit TdxBarDropDownListBox(TdxBarCustomCombo* Combo);

    TdxBarCustomCombo* Combo() const { return FCombo; }
    // Set while the button that opened the list is still held.
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    // Selects a row (-1: none) and shows it in the combo's editor.
    void SelectRow(int Index);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;

  private:
    // The row the user's input selected goes to the combo's editor.
    void ShowSelection(int Before);
    void Choose();
    void PaintFrame();

    TdxBarCustomCombo* FCombo;
    bool FTracking = false;
};

// Whether the window is a combo's open drop-down list (clicks there stay inside the menus).
bool IsdxBarDropDownWindow(HWND Wnd);
// A combo's drop-down window (filled and sized) opens beside Control's item, its corner near the
// screen point At: placed, shown without activating, and, while the button that opened it is
// held, given the capture so that a drag selects.
void ShowDropDownWindow(HWND Window, TCustomdxBarComboControl* Control, TPoint At);
// A drop-down window closes: it is no longer open, lets the capture go and hides.
void HideDropDownWindow(HWND Window);

// A custom combo's list, made the first time it is asked for and held by the combo.
TdxBarDropDownListBox* ComboListBox(TdxBarCustomCombo* Combo);
// The open list follows the editor's text: the entry at Index is selected when it is that text
// (in any case), else nothing is and the entry goes to the top.
void SyncComboListToText(TdxBarCustomCombo* Combo, const std::string& Text, int Index);

// A custom combo's list window (the windows' views): the window, parented to the form when it
// opens (none without a form); filling and sizing it for Control; a text's extent in its font;
// leaving the form when it closed (until it opens again); freeing it with its combo.
HWND ComboListWindow(TdxBarCustomCombo* Combo);
void FillComboList(TdxBarCustomCombo* Combo, HWND Window, TCustomdxBarComboControl* Control);
TSize ComboListTextExtent(TdxBarCustomCombo* Combo, const std::string& Text);
void ComboListClosed(TdxBarCustomCombo* Combo);
void FreeComboList(TdxBarCustomCombo* Combo);

// Where a drop-down window of Size opens for the screen point At, beside an item of ItemSize:
// below it on a horizontal bar (opening upwards when there is more room above), to its right in
// a menu or on a vertical bar (Beside: flipping to its left when there is more room there); kept
// in Work, never at negative coordinates.
TPoint PlaceDropDown(TPoint At, TSize Size, TSize ItemSize, bool Beside, const TRect& Work);
