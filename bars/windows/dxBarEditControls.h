#pragma once
// The controls of edit and combo items: an item control with a child EDIT window of its own that
// lies over the edit part of the item while the user types in it (the in-place editor). The
// editor opens when the item is pressed or entered by Tab, and closes on Enter (the text is
// stored), Esc (nothing is stored, the control stays selected), Tab (stored, the selection moves
// on) or when the menus close (stored only with the manager's AlwaysSaveText). Without the editor
// the control paints the item's text itself.
//
// Combos carve a drop-down button out of the right end of the edit part; it, F4 and Alt+Down open
// the item's drop-down window, which takes the arrow and page keys while it shows.
//
// Parts of the item rectangle, left to right: the caption part (in menus always, in bars with the
// item's ShowCaption), then the edit box: a frame around the edit rectangle (and the button).
#include <memory>
#include <string>

#include "bars/windows/dxBarItemControls.h"
#include "platform/core/Messages.h"

class TdxBarWindowItem;
class TdxBarEdit;
class TCustomdxBarCombo;
class TdxBarCombo;

class TdxBarWinControl : public TdxBarItemControl {
  public:
    explicit TdxBarWinControl(TdxBarItemLink* Link);
    ~TdxBarWinControl() override;

    TdxBarWindowItem* WindowItem() const;
    HWND EditWindow() const { return FEditWnd; }
    bool Focused() const override { return FFocused; }

    // The editor's window: made when it first opens, then kept (hidden) while the control lives.
    virtual void CreateEditWindow() = 0;
    virtual void DestroyEditWindow();
    // The editor's whole text, however long.
    virtual std::string GetEditText() const;
    virtual void SetEditText(const std::string& Text);
    virtual void SetFocused(bool Value);
    virtual void EditWndProc(TMessage& Message);
    TRect EditRect() const override = 0;

    void Press(bool ByMouse) override;
    void Deselect(bool Immediately) override;
    // The editor closes (the text stays the item's as on any other close).
    void Unplaced() override;
    void MouseToEditor(UINT Msg, WPARAM WParam, TPoint WindowPoint) override;
    // The item is not clicked: pressing opens the editor, and it stays open.
    void Click(bool ByMouse) override { (void)ByMouse; }
    bool ClosesMenusOnClick() const override { return false; }

  protected:
    void LetGo() override;
    // Subclasses the new window: its messages come to EditWndProc first.
    void HookEditWindow(HWND Wnd);
    void DefaultEditProc(TMessage& Message);
    // The window's state as it opens (font, margins, read-only...).
    virtual void PrepareEditWindow() {}
    // The window has the edit rectangle's place and size: what is measured in its client area
    // (a text rectangle set before would keep the size the window had then).
    virtual void EditWindowPlaced() {}
    // The user changed the editor's text (not SetEditText).
    virtual void EditTextChanged() {}
    void RemovePendingChars();
    // The point of an editor's mouse message in the bar window's client coordinates.
    TPoint WindowPointOf(LPARAM EditPoint) const;
    // Alt served another key: its release does not go on to the menus.
    void AltKeyUsed() { FAltCount = 0; }
    // Turns false when the control is freed: storing the text runs the item's handlers, which
    // may close the menu the control lies in (and free it) before the key's handling is over.
    std::shared_ptr<const bool> AliveToken() const { return FAlive; }

  private:
    void RestoreFocus();
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    HWND FEditWnd = 0;
    WNDPROC FOldProc = nullptr;
    WNDPROC FThunk = nullptr;
    bool FFocused = false;
    bool FSettingText = false;
    int FAltCount = 0;
    HWND FPrevFocus = 0;
};

class TdxBarEditControl : public TdxBarWinControl {
  public:
    explicit TdxBarEditControl(TdxBarItemLink* Link) : TdxBarWinControl(Link) {}

    TdxBarEdit* Edit() const;
    // The caption part: shown in menus, and in bars with the item's ShowCaption (0 when not).
    bool ShowsCaption() const;
    int CaptionPartWidth() const;
    // The framed box right of the caption part, and its frame's thickness.
    TRect EditBoxRect() const;
    int EditFrameWidth() const { return IsFlat() ? 1 : 2; }
    TRect EditRect() const override;

    void CreateEditWindow() override;
    void EditWndProc(TMessage& Message) override;
    virtual void SizeChanged() { RequestLayout(); }

    int GetDefaultHeight() const override;
    int GetDefaultWidth() const override;
    int GetMinWidth() const override;
    void Paint(const TRect& R, TdxBarPaintType PaintType) override;

  protected:
    void PrepareEditWindow() override;
    void EditWindowPlaced() override;
    void EditTextChanged() override;
    // Stores the editor's text into the item (Enter and Tab).
    virtual void StoreEditText();
    // The text shown while the editor is closed, drawn into the edit rectangle.
    virtual void PaintEditText(HDC DC, const TRect& R);
    void PaintEditBox(HDC DC, const TRect& Box);
};

class TCustomdxBarComboControl : public TdxBarEditControl {
  public:
    explicit TCustomdxBarComboControl(TdxBarItemLink* Link) : TdxBarEditControl(Link) {}

    TCustomdxBarCombo* Combo() const;
    bool DroppedDown() const { return FDroppedDown; }
    virtual void SetDroppedDown(bool Value);
    TRect DropDownButtonRect() const;
    TRect EditRect() const override;

    void Press(bool ByMouse) override;
    void Deselect(bool Immediately) override;
    void Unplaced() override;
    void EditWndProc(TMessage& Message) override;
    void Paint(const TRect& R, TdxBarPaintType PaintType) override;

  private:
    void PaintDropDownButton(HDC DC, const TRect& R);
    // Where a press toggles the drop-down: its button, or the whole item without an editor.
    TRect DropDownPressRect() const;
    bool FDroppedDown = false;
};

class TdxBarComboControl : public TCustomdxBarComboControl {
  public:
    explicit TdxBarComboControl(TdxBarItemLink* Link) : TCustomdxBarComboControl(Link) {}

    TdxBarCombo* ComboItem() const;
    // The entry the editor shows while it is open.
    int CurItemIndex() const { return FCurItemIndex; }
    // Shows the entry in the editor (the item's Text for an index outside the entries).
    void SetCurItemIndex(int Value);

    void SetFocused(bool Value) override;
    void EditWndProc(TMessage& Message) override;

  protected:
    void StoreEditText() override;
    void EditTextChanged() override;
    void PaintEditText(HDC DC, const TRect& R) override;

  private:
    int FCurItemIndex = -1;
};

// The window control of a window item; on a vertical toolbar such items are plain buttons.
template <class TControl>
TdxBarItemControl* CreateWindowItemControl(TdxBarItemLink* Link);
TdxBarItemControl* CreateWindowItemControlOrButton(TdxBarItemLink* Link,
                                                   TdxBarItemControl* (*Create)(TdxBarItemLink*));

template <class TControl>
TdxBarItemControl* CreateWindowItemControl(TdxBarItemLink* Link) {
    return CreateWindowItemControlOrButton(
        Link, [](TdxBarItemLink* L) -> TdxBarItemControl* { return new TControl(L); });
}
