#pragma once
// Popup menus of the bars and the links that tie a popup menu to a control of the form. A popup
// menu shows its links in a submenu window of its own; Popup does not return before that window
// closed (its own message loop, in which WM_COMMAND messages are dropped), except for a button's
// drop-down menu, which stays open while the program goes on.
#include <memory>
#include <string>

#include "bars/model/dxBarTypes.h"
#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"

class TWinControl;
class TdxBarSubMenuControl;

class TdxBarPopupMenu : public TComponent {
  public:
    // Raises EdxBarError when the program has no manager: the menu takes the manager of its owner
    // form, else the first one.
    explicit TdxBarPopupMenu(TComponent* AOwner);
    ~TdxBarPopupMenu() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    void SetBarManager(TdxBarManager* Value);
    int BarSize() const { return FBarSize; }
    void SetBarSize(int Value) { FBarSize = Value < 0 ? 0 : Value; }
    TFont* Font() { return &FFont; }
    void SetFont(const TFont* Value) { FFont.Assign(*Value); }
    TdxBarItemLinks* ItemLinks() const { return FItemLinks.get(); }
    void SetItemLinks(TdxBarItemLinks* Value);
    bool UseOwnFont() const { return FUseOwnFont; }
    void SetUseOwnFont(bool Value);
    bool UseRecentItems() const;
    void SetUseRecentItems(bool Value);
    // The font handle of its window: its own with UseOwnFont, else the manager's.
    HFONT FontHandle();
    // The manager's font changed: a menu without its own font takes it.
    void ManagerFontChanged();

    TNotifyEvent OnCloseUp;
    std::function<void(TObject* Sender, TCanvas* Canvas, const TRect& R)> OnPaintBar;
    TNotifyEvent OnPopup;

    virtual void DoPaintBar(TCanvas* Canvas, const TRect& R);

    // Shows the menu with its top-left corner at a screen point; nothing while it is open.
    void Popup(int X, int Y);
    // Popup for an opener of the given extent (around which the menu may flip), animated or not.
    void PopupEx(int X, int Y, int ParentItemWidth, int ParentItemHeight, bool Animate);
    // A button's drop-down: the menu opens for Opener and Popup returns at once.
    void DropDownFor(TdxBarItemControl* Opener, TPoint At, int ParentItemWidth,
                     int ParentItemHeight, bool Animate);
    // The window of the open menu, or none.
    TdxBarSubMenuControl* Window() const;
    bool IsOpen() const { return Window() != nullptr; }

  protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    TdxBarManager* FBarManager = nullptr;
    int FBarSize = 0;
    TFont FFont;
    HFONT FFontHandle = 0;
    bool FUseOwnFont = false;
    bool FCopyingFont = false;
    std::unique_ptr<TdxBarItemLinks> FItemLinks;
    int FParentItemWidth = 0;
    int FParentItemHeight = 0;
    bool FAnimate = true;
    bool FNonModal = false;
    bool FLoopRunning = false;
    TdxBarItemControl* FOpener = nullptr;
    // Cleared when the menu is freed, for a loop that runs while it goes.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TdxBarPopupMenuLink : public TCollectionItem {
  public:
    explicit TdxBarPopupMenuLink(TCollection* Collection) : TCollectionItem(Collection) {}

    TWinControl* Control() const { return FControl; }
    // Only a control of the manager's owner form is taken; another one stores none.
    void SetControl(TWinControl* Value);
    TdxBarPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TdxBarPopupMenu* Value);
    TdxBarPopupMenuLinkActionEvent OnAction;

    void Assign(const TPersistent* Source) override;

  private:
    TWinControl* FControl = nullptr;
    TdxBarPopupMenu* FPopupMenu = nullptr;
};

class TdxBarPopupMenuLinks : public TCollection {
  public:
    explicit TdxBarPopupMenuLinks(TdxBarManager* Manager);
    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBarPopupMenuLink* Items(int Index) const {
        return static_cast<TdxBarPopupMenuLink*>(TCollection::Items(Index));
    }
    TdxBarPopupMenuLink* Add() { return static_cast<TdxBarPopupMenuLink*>(TCollection::Add()); }
    // A component the links name goes.
    void ComponentRemoved(TComponent* AComponent);
    // Shows the popup menu of the first link of Control that shows one, for a right click at
    // Position (Window's client coordinates) or, with (-1, -1), for the keyboard; true when a
    // menu was shown.
    bool ShowFor(TWinControl* Control, HWND Window, TPoint Position);

  private:
    TdxBarManager* FBarManager;
};
