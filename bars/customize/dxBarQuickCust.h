#pragma once
// Quick customizing: the window that opens from a toolbar's mark. It shows the toolbar's buttons
// that did not fit (copies of their links) and below them "&Add or Remove Buttons", whose
// submenu lists every link of the toolbar with a check box (ticked while the link is visible; a
// click shows or hides it), then "&Reset Toolbar" and "&Customize...".
//
// At most one window is open in the program. It lives from the press on the mark until the mark
// comes up again (SetMarkState with another state, a press elsewhere, a click on one of its
// buttons, the customizing selection moving to another bar); its links are those of a hidden bar
// of the manager that goes with it.
#include <utility>
#include <vector>

#include "bars/model/dxBarItems.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarToolbar.h"

// The one item behind every entry of "&Add or Remove Buttons": each entry's link stands for a
// link of the toolbar.
class TdxBarQuickCustItem : public TdxBarButton {
  public:
    explicit TdxBarQuickCustItem(TComponent* AOwner);

    // The toolbar's links the entries stand for.
    void SetToolbarLinks(TdxBarItemLinks* Value) { FToolbarLinks = Value; }
    void Represent(const TdxBarItemLink* Entry, TdxBarItemLink* ToolbarLink);
    void ForgetEntries() { FEntries.clear(); }
    // The toolbar link of an entry, or none when that link has gone meanwhile.
    TdxBarItemLink* RepresentedLink(const TdxBarItemLink* Entry) const;

  private:
    TdxBarItemLinks* FToolbarLinks = nullptr;
    std::vector<std::pair<const TdxBarItemLink*, TdxBarItemLink*>> FEntries;
};

// An entry below the check entries ("&Reset Toolbar", "&Customize...").
class TdxBarQuickCustExtButton : public TdxBarButton {
  public:
    explicit TdxBarQuickCustExtButton(TComponent* AOwner) : TdxBarButton(AOwner) {}
};

// Both entry controls keep a square as high as the entry at their left: the check box of a
// toolbar link, or an empty square for the extra entries; the button follows to its right.
class TdxBarQuickCustEntryControl : public TdxBarButtonControl {
  public:
    explicit TdxBarQuickCustEntryControl(TdxBarItemLink* Link) : TdxBarButtonControl(Link) {}
    int GetDefaultWidth() const override;
    void Paint(const TRect& R, TdxBarPaintType PaintType) override;

  protected:
    // The square, and in the flat style the gap before the button and the stripe of a selected
    // entry right of the square.
    virtual void PaintSquare(HDC DC, TRect Square, bool Flat, bool Selected) = 0;
    virtual int ButtonGap(bool Flat) const = 0;
    virtual int SelectedStripe() const = 0;
};

class TdxBarQuickCustItemControl : public TdxBarQuickCustEntryControl {
  public:
    explicit TdxBarQuickCustItemControl(TdxBarItemLink* Link) : TdxBarQuickCustEntryControl(Link) {}

    // The toolbar link the entry stands for, or none.
    TdxBarItemLink* Represented() const;

    std::string GetCaption() const override;
    TBitmap* GetGlyph() const override;
    int GetImageIndex() const override;
    TCustomImageList* GetImages() const override;
    std::string GetHint() const override;
    TShortCut GetShortCut() const override;
    // The button's click, then the toolbar link is shown or hidden.
    void Click(bool ByMouse) override;

  protected:
    void PaintSquare(HDC DC, TRect Square, bool Flat, bool Selected) override;
    int ButtonGap(bool Flat) const override { return Flat ? 1 : 0; }
    int SelectedStripe() const override { return 2; }
};

class TdxBarQuickCustExtButtonControl : public TdxBarQuickCustEntryControl {
  public:
    explicit TdxBarQuickCustExtButtonControl(TdxBarItemLink* Link)
        : TdxBarQuickCustEntryControl(Link) {}

  protected:
    void PaintSquare(HDC DC, TRect Square, bool Flat, bool Selected) override;
    int ButtonGap(bool) const override { return 0; }
    int SelectedStripe() const override { return 1; }
};

class TdxBarQuickControl : public TdxBarControl {
  public:
    // Registers itself as the open window; Owning is the toolbar window whose mark was pressed.
    explicit TdxBarQuickControl(TdxBarControl* Owning);
    ~TdxBarQuickControl() override;

    TdxBarControl* OwningBarControl() const { return FOwning; }
    TdxBarSubItem* AddRemoveItem() const { return FAddRemove; }
    TdxBarQuickCustItem* QuickCustItem() const { return FQuickItem; }
    // Sizes the window for its links and shows it, without activation, beside MarkRect (the
    // owning window's mark on the screen).
    void SetPosition(const TRect& MarkRect);

    HBRUSH GetBkBrush() const override;
    void HideAll() override;

  protected:
    void Retire() override;
    // The items it made belong to the form, which may free them first.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMNCHitTest(TMessage& Message) override;
    void WMRButtonDown(TMessage& Message) override;

  private:
    void CopyHiddenLinks();
    void FillAddRemove();
    // What goes with the window, once: the registration, the timer, the items, the hidden bar.
    void Unregister();

    TBarWindowRef<TdxBarControl> FOwning;
    TdxBarSubItem* FAddRemove = nullptr;
    TdxBarQuickCustItem* FQuickItem = nullptr;
    bool FUnregistered = false;
};

// Where the window of Size opens beside the mark (screen coordinates) of a toolbar window docked
// with OwnerStyle (dsNone: floating), inside the work area Work.
TRect PlaceQuickControl(const TRect& Mark, TSize Size, TdxBarDockingStyle OwnerStyle, bool Flat,
                        const TRect& Work);

// The open window, or none.
TdxBarQuickControl* OpenQuickControl();
// Opens the window for Owning's mark (one open for another toolbar closes first).
void ShowQuickControl(TdxBarControl* Owning);
// Closes the open window: its owning window's mark comes up (SetMarkState Normal).
void CloseQuickControl();
// Frees the open window when Owning owns it (the mark left Down, or the window goes).
void FreeQuickControlOf(TdxBarControl* Owning);
// Starts the 200 ms check that closes the window once the customizing selection lies under
// another bar window (nothing when it runs).
void StartQuickCloseTimer();
// A bar window selects a control: the open window closes unless it is that window or in menu
// mode.
void QuickControlSelectionChanging(TCustomdxBarControl* Window);
// The mouse hook's step: a button message elsewhere than the window, its menus and (but for a
// right press) the owning window's mark closes it.
void QuickControlMouseMessage(UINT Msg, HWND Wnd, POINT Screen);
