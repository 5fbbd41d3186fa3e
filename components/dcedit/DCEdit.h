#pragma once
// The edit control with buttons: an outer control that holds an inner edit, up to two buttons at
// its right end, a popup that drops down below it, and an edit source (a value holder that is
// given the text and may correct it).
//
// Children by class name: the classes of the inner edit, the popup and the edit source are
// chosen by name among those registered in the class registries (components/registries); a name
// that is not registered there gives the default (TDCSimpleEdit, TDummyPopup, TDummyEditSource).
// A child whose class name is set is written into form definitions, nested in the edit without a
// name, and a child read back that way is taken over when the edit has been loaded.
//
// The inner edit's window is subclassed while it exists: its mouse presses count as the edit's
// own, its keys go through the edit's key handling first (and to the popup while it is dropped
// down), and focus moving in and out of the whole control makes the edit's OnEnter and OnExit.
//
// The popup is a top-level window, never activated: while it is dropped down a mouse hook closes
// it at a press outside it and the edit, a hook on the application closes it when the program
// loses the activation, and timer 1 keeps a list tracking the pointer while the button is held.
// One popup is dropped down at a time in the whole program.
//
// Buttons: ButtonCount (0 to 2) says how many are shown; making a button visible or invisible
// sets the count to the number of visible ones, so that the first buttons are always the ones
// shown.
#include <memory>
#include <string>

#include "components/dcedit/EditButtons.h"
#include "components/dcedit/Limits.h"
#include "platform/core/Input.h"
#include "platform/widgets/StdCtrlsEdit.h"

enum TDreamBorderStyle {
    dbsNone,
    dbsSunkenBorder,
    dbsRaisedBorder,
    dbsSunkenSingle,
    dbsRaisedSingle,
    dbsSunkenLine,
    dbsRaisedLine,
    dbsLine,
    dbsLineBorder,
};

// Run UpdateSource now (sent by the value editors and by code that needs the value in place).
constexpr UINT CM_UPDATESOURCE = 2035;

// Holds the edited value besides the text: it is given the text and may give back another.
class TEditSource : public TComponent {
  public:
    using TComponent::TComponent;
    virtual void GetValue(std::string& Value) = 0;
    virtual void SetValue(const std::string& Value) = 0;
};

// Keeps the last text it was given.
class TDummyEditSource : public TEditSource {
  public:
    using TEditSource::TEditSource;
    void GetValue(std::string& Value) override { Value = FValue; }
    void SetValue(const std::string& Value) override { FValue = Value; }

  private:
    std::string FValue;
};

// The popup of an edit without one: never dropped down.
class TDummyPopup : public TWinControl {
  public:
    explicit TDummyPopup(TComponent* AOwner);
};

// What an inner edit does whatever its edit class: it has no frame of its own (the edit control
// draws one), the edit control places it, and entered other than by a click it selects its
// whole text.
template <class TEditBase>
class TInnerEdit : public TEditBase {
  public:
    explicit TInnerEdit(TComponent* AOwner) : TEditBase(AOwner) {
        this->FAutoSize = false;
        this->SetBorderStyle(bsNone);
    }

  protected:
    void CreateParams(TCreateParams& Params) override {
        TEditBase::CreateParams(Params);
        Params.Style = (Params.Style | WS_CLIPCHILDREN) & ~WS_BORDER;
        Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_ENTER && this->HandleAllocated() && GetKeyState(VK_LBUTTON) >= 0)
            this->SelectAll();
        TEditBase::Dispatch(Message);
    }
};

// The inner edit of plain text.
class TDCSimpleEdit : public TInnerEdit<TCustomEdit> {
  public:
    using TInnerEdit::TInnerEdit;
};

class TCustomDCEdit : public TCustomControl {
  public:
    explicit TCustomDCEdit(TComponent* AOwner);
    ~TCustomDCEdit() override;

    // --- the text ---
    // The edited text (not the caption, which is the window's caption and accelerator only).
    virtual std::string GetEditText();
    // Sets the edited text; only a new text reaches the inner edit and fires OnChange. Dropped
    // while there is no inner edit.
    virtual void SetEditText(const std::string& Value);
    // Whether the user changed the text since it was set.
    virtual bool GetModified();
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Hands the text to the edit source (nothing while it runs already or while an exception
    // is being handled).
    virtual void UpdateSource();
    // OnChange, then the class library's change notice.
    virtual void Change();
    // The inner edit's value changed: Change, unless it is the text SetEditText is setting.
    void InnerEditChanged();

    // --- the popup ---
    bool DroppedDown() const { return FDroppedDown; }
    virtual void DropDown();
    // Hides the popup; with Accept its value becomes the text (as the edit source has it).
    virtual void CloseUp(bool Accept);

    // --- the children ---
    TControl* Edit() const { return FEdit; }
    TWinControl* Popup() const { return FPopup; }
    TEditSource* EditSource() const { return FEditSource; }
    const std::string& EditClassName() const { return FEditClassName; }
    void SetEditClassName(const std::string& Value);
    const std::string& PopupClassName() const { return FPopupClassName; }
    void SetPopupClassName(const std::string& Value);
    const std::string& EditSourceClassName() const { return FEditSourceClassName; }
    void SetEditSourceClassName(const std::string& Value);
    // Make the inner edit and the popup when the control gets a parent (default true).
    bool CreateChildrenOnParent() const { return FCreateChildrenOnParent; }
    void SetCreateChildrenOnParent(bool Value) { FCreateChildrenOnParent = Value; }

    // --- the buttons ---
    TButtonParams* Button1() { return FButtonParams[0].get(); }
    TButtonParams* Button2() { return FButtonParams[1].get(); }
    TEditButton* EditButton(int Index) const { return FButtons[Index]; }
    int ButtonCount() const { return FButtonCount; }
    // 0 to 2: the first Value buttons are shown, the others hidden; other counts are ignored.
    void SetButtonCount(int Value);
    const TNotifyEvent& OnButton1Click() const { return FOnButtonClick[0]; }
    void SetOnButton1Click(TNotifyEvent Value);
    const TNotifyEvent& OnButton2Click() const { return FOnButtonClick[1]; }
    void SetOnButton2Click(TNotifyEvent Value);

    // --- the look ---
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // A flat edit shows its frame only while the pointer is over it or it has the focus.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TDreamBorderStyle DreamBorderStyle() const { return FDreamBorderStyle; }
    void SetDreamBorderStyle(TDreamBorderStyle Value);
    bool UseDreamBorder() const { return FUseDreamBorder; }
    void SetUseDreamBorder(bool Value);
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor Value);
    // Whether the frame shows in full now (focused, pointer over it): 1, else 0.
    int FlatState();

    // The tab stop the user sees: the inner edit's while there is one with a window of its own.
    bool EditTabStop() const { return FTabStop; }
    void SetEditTabStop(bool Value);
    // The focus is in the control's window or its inner edit.
    bool EditFocused();
    void SetFocus() override;
    void SetParent(TWinControl* AParent) override;
    // The click of the caption's accelerator: the inner edit takes the focus, then OnClick.
    void Click() override;
    std::string Version() const { return "1.0"; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

    // For the buttons: their visibility changed, and what they draw over a speed button's look.
    void ButtonVisibilityChanged();
    void PaintButtonEdges(TEditButton& Button);

  protected:
    // --- the operations descendants change ---
    virtual void RestoreText();
    virtual void UpdateReadOnly();
    virtual void EditWndProc(TMessage& Message);
    virtual void SetPopupValue();
    virtual void GetPopupValue();
    virtual bool GetReadOnly() { return FReadOnly; }
    virtual void AdjustEditClass(const TClassInfo*& EditClass) { (void)EditClass; }
    virtual const TClassInfo* GetEditClass();
    virtual const TClassInfo* GetPopupClass();

    // --- the class library's ---
    void BeforeDestruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return this; }
    TComponent* GetChildParent() override { return this; }

  private:
    // Timer 1: the popup's tracking and the frame's redraw after the pointer left.
    static constexpr UINT_PTR kPopupTimer = 1;
    static constexpr UINT kTrackingTick = 20;
    static constexpr UINT kLeaveTick = 10;

    enum class TChild { EditSource, Edit, Popup };
    struct TChildClass;
    static const TChildClass& ChildClassOf(TChild Kind);

    // --- children (DCEdit.cpp) ---
    void CreateChildren();
    // Chooses a child's class by name; Again re-applies the name it has.
    void ChooseChild(TChild Kind, const std::string& Name, bool Again);
    TComponent* ChildOf(TChild Kind) const;
    std::string& ChildClassName(TChild Kind);
    // A component of that class read from a definition, owned by the edit and not yet in use.
    TComponent* ReadChildOf(const TClassInfo* Class);
    void AttachChild(TChild Kind, TComponent* Child);
    void AttachEdit(TControl* Edit);
    void AttachPopup(TWinControl* Popup);
    void ApplyTabStop();
    bool HasWindowedEdit() const;
    bool IsDummyPopup() const;

    // --- input (DCEditInput.cpp) ---
    void HookEdit(HWND Wnd);
    void UnhookEdit();
    void EditMouseDown(TMessage& Message);
    bool EditKey(TMessage& Message);
    bool Inside(HWND Wnd);
    void FocusEntered(HWND From);
    void FocusLeft(HWND To);
    void SelectNeighbour(bool GoForward);
    bool WantsKey(WORD Key) const;
    LRESULT WantedDialogCode() const;
    void MouseEntered();
    void MouseLeft();

    // --- the popup (DCEditPopup.cpp) ---
    void InstallPopupHooks();
    void RemovePopupHooks();
    LRESULT MouseHook(int Code, WPARAM WParam, LPARAM LParam);
    LRESULT ActivationHook(int Code, WPARAM WParam, LPARAM LParam);
    // Closes without accepting, through the popup list when the popup is one.
    void CancelPopup();
    bool InsidePopupOrEdit(POINT Screen);
    void TimerTick();
    void TrackPopupMouse();

    // --- the look (DCEditLook.cpp) ---
    void LayoutButtons();
    int BorderInset() const;
    bool SingleDreamStyle() const;
    bool FrameNeeded() const { return FFlat || FUseDreamBorder; }
    void FitHeightToFont();
    void PaintFrame();
    void RedrawFlatState();
    void UpdateButtonLook();
    TColor DarkColor() const;
    TColor LightColor() const;

    std::unique_ptr<TButtonParams> FButtonParams[DCEditLimits::kMaxButtons];
    TEditButton* FButtons[DCEditLimits::kMaxButtons] = {nullptr, nullptr};
    TNotifyEvent FOnButtonClick[DCEditLimits::kMaxButtons];
    int FButtonCount = 1;
    bool FCountingButtons = false;

    TControl* FEdit = nullptr;
    TWinControl* FPopup = nullptr;
    TEditSource* FEditSource = nullptr;
    std::string FEditClassName;
    std::string FPopupClassName;
    std::string FEditSourceClassName;
    bool FCreateChildrenOnParent = true;

    // The inner edit's window while it is subclassed, and its procedure before.
    HWND FEditWnd = 0;
    WNDPROC FEditInstance = nullptr;
    WNDPROC FEditDefProc = nullptr;
    bool FInEditMouseDown = false;
    bool FLostFocusInMouseDown = false;

    std::string FText;
    bool FSettingText = false;
    TFormBorderStyle FBorderStyle = bsSingle;
    int FDrawnFlatState = 2;
    bool FDroppedDown = false;
    bool FFlat = false;
    bool FCtl3D = true;
    bool FModified = false;
    bool FReadOnly = false;
    bool FUpdatingSource = false;
    bool FMouseOutside = true;
    bool FLeaveSeen = false;
    bool FEnterForwarded = false;
    bool FFirstLoad = true;
    TDreamBorderStyle FDreamBorderStyle = dbsSunkenBorder;
    bool FUseDreamBorder = false;
    TColor FLineColor = cl3DDkShadow;
    bool FTabStop = true;

    HHOOK FMouseHook = 0;
    HHOOK FActivationHook = 0;
};
