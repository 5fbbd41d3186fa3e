#pragma once
// Window items: items whose control is an editing field rather than a button. An edit holds a
// text; the combos add a drop-down window, and TdxBarCombo offers a list of strings whose
// ItemIndex and Text follow each other.
#include <functional>
#include <string>

#include "bars/model/dxBarItems.h"
#include "platform/classes/Classes.h"

class TCanvas;
class TCustomdxBarComboControl;
class TdxBarDropDownListBox;

// A string list that says when it changed (the combo's and the list item's entries).
class TdxBarNotifyingStrings : public TStringList {
  public:
    std::function<void()> OnChange;

    int AddObject(const std::string& Value, void* Object) override;
    void InsertObject(int Index, const std::string& Value, void* Object) override;
    void Put(int Index, const std::string& Value) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int A, int B) override;

  protected:
    void SetUpdateState(bool Updating) override;

  private:
    void Changed();
    bool FChangedWhileUpdating = false;
};

using TdxBarKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TdxBarKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TdxBarWindowItem : public TdxBarItem {
  public:
    explicit TdxBarWindowItem(TComponent* AOwner) : TdxBarItem(AOwner) {}

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { WriteText(Value); }
    // The editing control's text while a link's control edits, else Text.
    virtual std::string CurText() const;
    TNotifyEvent OnChange;
    TNotifyEvent OnCurChange;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TdxBarKeyEvent OnKeyDown;
    TdxBarKeyEvent OnKeyUp;
    TdxBarKeyPressEvent OnKeyPress;

    bool IsClickable() const override { return false; }
    // OnChange (not while loading).
    virtual void Change();
    // The editing control's text changed.
    virtual void CurTextChanged();
    void DoEnter();
    void DoExit();
    void KeyDown(WORD& Key, TShiftState Shift);
    void KeyUp(WORD& Key, TShiftState Shift);
    void KeyPress(char& Key);

  protected:
    // Stores the text and tells the controls; combos keep their index in step first.
    virtual void WriteText(const std::string& Value);
    void StoreText(const std::string& Value);

  private:
    std::string FText;
};

class TdxBarEdit : public TdxBarWindowItem {
  public:
    explicit TdxBarEdit(TComponent* AOwner) : TdxBarWindowItem(AOwner) {}

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value < 1 ? 0 : Value; }
    bool ReadOnly = false;
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    int Width() const { return FWidth; }
    // Clamped to 20..600.
    void SetWidth(int Value);

    bool HasAccel(TdxBarItemLink* Link) const override;
    // Tells the controls of the links without a width of their own.
    virtual void WidthChanged();

  private:
    int FMaxLength = 0;
    bool FShowCaption = false;
    int FWidth = 100;
};

using TdxBarCheckKeyEvent =
    std::function<void(TObject* Sender, WORD Key, TShiftState Shift, bool& Allow)>;
using TdxBarGetDropDownWindowEvent = std::function<void(TObject* Sender, HWND& Window)>;

class TCustomdxBarCombo : public TdxBarEdit {
  public:
    explicit TCustomdxBarCombo(TComponent* AOwner) : TdxBarEdit(AOwner) {}

    bool ShowEditor() const { return !FHideEditor; }
    void SetShowEditor(bool Value);
    TdxBarCheckKeyEvent OnCheckKeyForDropDownWindow;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;
    TdxBarGetDropDownWindowEvent OnGetDropDownWindow;

    // Whether the open drop-down takes the key.
    virtual bool CheckKeyForDropDownWindow(WORD Key, TShiftState Shift);

    // --- the drop-down window ---
    // OnGetDropDownWindow's answer, else the combo's own window (none without one).
    virtual HWND GetDropDownWindow();
    // Opens it beside Control's item, its corner near the screen point At: OnDropDown, then the
    // window, filled and sized for Control, is shown by the windows (nothing without a window).
    void DropDown(TPoint At, TCustomdxBarComboControl* Control);
    void CloseUp();
    // The control whose drop-down window is open, none while it is closed.
    TCustomdxBarComboControl* DroppedDownControl() const { return FDropDownControl; }

  protected:
    // Fills and sizes the window before it is placed.
    virtual void InitDropDownWindow(HWND Window, TCustomdxBarComboControl* Control) {
        (void)Window;
        (void)Control;
    }
    // The window closed.
    virtual void DropDownClosed() {}

  private:
    bool FHideEditor = false;
    TCustomdxBarComboControl* FDropDownControl = nullptr;
};

class TdxBarCustomCombo : public TCustomdxBarCombo {
  public:
    explicit TdxBarCustomCombo(TComponent* AOwner);

    int DropDownCount = 8;
    // 0 or less: as wide as the control (or its widest entry).
    int DropDownWidth = 0;
    // 0 or less: the font's height.
    int ItemHeight = 0;
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    TStringList* Items() { return &FItems; }
    void SetItems(const TStrings* Value) { FItems.Assign(*Value); }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    std::function<void(TObject* Sender, int Index, const TRect& R, unsigned State)> OnDrawItem;
    std::function<void(TObject* Sender, int Index, int& Height)> OnMeasureItem;

    bool CheckKeyForDropDownWindow(WORD Key, TShiftState Shift) override;
    // The entry the editing control's text selects: CurIndex when its entry is that text, else
    // the first entry sharing the longest common prefix with it (upper-cased), -1 for none.
    int FindItemIndex(const std::string& Text, int CurIndex) const;

    // --- the list ---
    HWND GetDropDownWindow() override;
    // The list's width (its frame and scroll bar included) for a control whose own width for the
    // list is ControlWidth (its item's width less its bar's digit margin): DropDownWidth when
    // set, else as wide as the control or its widest entry.
    int GetDropDownWidth(int ControlWidth);
    virtual void MeasureItem(int Index, int& Height);
    virtual void MeasureItemWidth(int Index, int& Width);
    // Draws an entry (Text for -1) on Canvas; InBar when it is the closed control's face.
    virtual void DrawItem(TCanvas* Canvas, int Index, const TRect& R, unsigned State, bool InBar);

    // --- the list's window, which the windows make and free (dxBarDropDownList.cpp) ---
    // The list made so far (none), holding the one made, and taking it away to be freed.
    TdxBarDropDownListBox* HeldListBox() const { return FListBox; }
    void HoldListBox(TdxBarDropDownListBox* List) { FListBox = List; }
    TdxBarDropDownListBox* TakeListBox() {
        TdxBarDropDownListBox* List = FListBox;
        FListBox = nullptr;
        return List;
    }

  protected:
    void WriteText(const std::string& Value) override;
    void InitDropDownWindow(HWND Window, TCustomdxBarComboControl* Control) override;
    void DropDownClosed() override;
    void BeforeDestruction() override;

  private:
    void ItemsChanged();
    TdxBarDropDownListBox* FListBox = nullptr;
    TdxBarNotifyingStrings FItems;
    int FItemIndex = -1;
    bool FSorted = false;
};

class TdxBarCombo : public TdxBarCustomCombo {
  public:
    explicit TdxBarCombo(TComponent* AOwner) : TdxBarCustomCombo(AOwner) {}
};
