#pragma once
// Popup menus of the bars and the links that tie a popup menu to a control of the form. What a
// popup menu holds (its links, font, band) is here; its window and its message loop are the
// submenu window's.
#include <memory>
#include <string>

#include "bars/dxBarTypes.h"
#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"

class TWinControl;

class TdxBarPopupMenu : public TComponent {
  public:
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

  private:
    TdxBarManager* FBarManager;
};
