#pragma once
// The two lists of the customizing dialog: the bars with a check box each (checked while the bar
// is visible), and the commands of a category painted as the manager paints its menus, so that
// the user sees what will land on a bar when the command is dragged there.
#include <functional>

#include "platform/widgets/ListBoxes.h"

class TdxBar;
class TdxBarItem;
class TdxBarManager;

namespace dxBarCustForm {

// One entry per bar, its object the bar. A click in the check column, Space or a double click
// shows or hides the bar; a bar that may not be hidden (the main menu bar, a bar without
// AllowClose) answers with a beep and draws its box inactive.
class TCheckListBox : public TListBox {
  public:
    explicit TCheckListBox(TComponent* AOwner);

    TdxBar* Bar(int Index);
    // The check column is as wide as an entry is high.
    int CheckWidth() { return ItemHeight(); }
    // Shows or hides the bar of the entry, or beeps; repaints the box alone.
    void ToggleBar(int Index);
    void InvalidateCheck(int Index);

  protected:
    void Dispatch(TMessage& Message) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void KeyPress(char& Key) override;

  private:
    void DrawCheck(HDC DC, TRect Column, int Index);
};

// One entry per command of a category, its object the item, 22 pixels high.
class TCommandsListBox : public TListBox {
  public:
    explicit TCommandsListBox(TComponent* AOwner);

    TdxBarItem* Item(int Index);
    TdxBarManager* BarManager() const { return FBarManager; }
    void SetBarManager(TdxBarManager* Value) { FBarManager = Value; }
    // A left press on a selected entry that turned into a drag (the platform's drag detection):
    // the dialog starts the manager's item drag.
    std::function<void(TdxBarItem* Item)> OnDragItem;

    static constexpr int kItemHeight = 22;

  protected:
    void Dispatch(TMessage& Message) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;

  private:
    struct TLook;
    void DrawGlyphColumn(HDC DC, TdxBarItem* Command, TRect Rect, const TLook& Look);
    // The drop-down part, submenu arrow or edit box that tells the kind of command.
    void DrawKind(HDC DC, TdxBarItem* Command, TRect Rect, int CaptionRight, const TLook& Look);
    void PressedAt(TMessage& Message, bool Left);

    TdxBarManager* FBarManager = nullptr;
    // A left press on the selected entry waits for the mouse to leave the drag rectangle.
    // The entry pressed: the list's selection follows the mouse meanwhile.
    TdxBarItem* FDragItem = nullptr;
    TPoint FDragFrom;
};

}  // namespace dxBarCustForm
