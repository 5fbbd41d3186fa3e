#pragma once
// The system menu of a form as a sub-item: every time its submenu opens it makes its links again
// from the form's system menu, read entry by entry (separators begin groups, the text after a tab
// is the shortcut, submenus become sub-items, checked entries checked buttons, a command sends
// WM_SYSCOMMAND to the form). The manager puts one before the main menu of an MDI frame while its
// active child is maximized.
//
// The window layer gives its forms no system menu of their own: the item reads the menu it is
// given (SetSystemMenu), and none without one.
#include "bars/model/dxBarItems.h"
#include "bars/windows/dxBarItemControls.h"
#include "platform/core/Window.h"

class TCustomForm;

class TSystemMenuSubItem : public TCustomdxBarSubItem {
  public:
    explicit TSystemMenuSubItem(TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}
    ~TSystemMenuSubItem() override;

    TCustomForm* Form() const { return FForm; }
    void SetForm(TCustomForm* Value);
    // The form's system menu (a menu of platform/menus); 0: none.
    HMENU SystemMenu() const { return FSystemMenu; }
    void SetSystemMenu(HMENU Value) { FSystemMenu = Value; }
    // Makes the links again from the system menu.
    void Rebuild();

    void DoClick() override;

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    void FreeMadeItems();
    void ReadMenu(HMENU Menu, TdxBarItemLinks* Links);

    TCustomForm* FForm = nullptr;
    HMENU FSystemMenu = 0;
    std::vector<TdxBarItem*> FMade;
};

// The form's small icon, as wide and high as the system's small icons.
class TSystemMenuSubItemControl : public TdxBarSubItemControl {
  public:
    explicit TSystemMenuSubItemControl(TdxBarItemLink* Link) : TdxBarSubItemControl(Link) {}

    bool IsOwnManagerItem() const override { return false; }
    bool IsSelectable() const override;
    bool OpensOnDblClick() const override { return false; }
    bool HandlesDblClick() const override { return true; }
    // All menus close and the form runs its system menu's default command.
    void DblClick() override;
    int GetDefaultWidth() const override;
    int GetDefaultHeight() const override;
    void Paint(const TRect& R, TdxBarPaintType PaintType) override;
};
