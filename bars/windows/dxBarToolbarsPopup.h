#pragma once
// The toolbars popup: the menu a right click on a toolbar or a dock site opens. It lists the
// bars a user may show or hide, each checked while its bar is visible, and "&Customize..." at
// its end; a click on a bar's entry shows or hides that bar.
//
// The popup owns its links and the window lives while the menu is open; the entries are
// temporary items, freed once nothing shows them any more.
#include <memory>

#include "bars/windows/dxBarSubMenu.h"
#include "platform/classes/WinTypes.h"

class TCustomForm;

// A menu of the framework's own that owns its links (its entries are temporary items): it is a
// menu also while its manager customizes, so it takes keys and clicks then too.
class TdxBarOwnLinksPopup : public TdxBarSubMenuControl {
  public:
    // Frees the temporary items nothing shows any more first.
    explicit TdxBarOwnLinksPopup(TdxBarManager* Manager);
    ~TdxBarOwnLinksPopup() override;

    bool IsCustomizing() const override { return false; }

  protected:
    TdxBarItemLinks* OwnLinks() const { return FLinks.get(); }

  private:
    std::unique_ptr<TdxBarItemLinks> FLinks;
};

class TdxBarToolbarsPopup : public TdxBarOwnLinksPopup {
  public:
    // Fills its links through the manager (FillToolbarsPopup).
    explicit TdxBarToolbarsPopup(TdxBarManager* Manager);
};

// Opens the toolbars popup of Form's manager with its top-left corner at a screen point, after
// closing the open menus; nothing happens when the popup would be empty.
void ShowToolbarsPopup(TCustomForm* Form, TPoint ScreenPoint);

// Closes every open menu of the program, the innermost first.
void CloseAllMenus();
