#pragma once
// The item context menu of customizing mode: a right click on a link of a bar or a menu opens it
// for that link. Its eight entries reset the link's own values, delete the link, rename it in
// place ("&Name:"), choose its paint style (four entries acting as one radio group) and start or
// end a group before it.
//
// One link is being customized at a time in the program (the current customizing link); it
// becomes none when the link goes. The entries are temporary items, freed once nothing shows
// them any more.
#include <memory>

#include "bars/windows/dxBarToolbarsPopup.h"
#include "platform/classes/WinTypes.h"

class TdxBarEdit;

// The entries by their index (the tag of their item; the text is string 39150 + index).
enum TdxBarCustomizingEntry {
    ceReset,
    ceDelete,
    ceName,
    ceDefaultStyle,
    ceTextOnlyAlways,
    ceTextOnlyInMenus,
    ceImageAndText,
    ceBeginGroup,
    ceEntryCount
};

class TdxBarCustomizingPopup : public TdxBarOwnLinksPopup {
  public:
    // Makes the entries and fires the manager's OnShowCustomizingPopup with them.
    explicit TdxBarCustomizingPopup(TdxBarManager* Manager);
    ~TdxBarCustomizingPopup() override;

    // The entries for Link, which becomes the current customizing link.
    void InitFor(TdxBarItemLink* Link);
    // The item of an entry (the links' event may have moved or added links).
    TdxBarItem* Entry(TdxBarCustomizingEntry Index) const { return FEntries[Index]; }
    TdxBarEdit* NameEdit() const;

  private:
    TdxBarItem* FEntries[ceEntryCount] = {};
};

// Opens the item context menu for Link with its top-left corner at a screen point (a menu of it
// that is open closes first).
void ShowCustomizingPopup(TdxBarItemLink* Link, TPoint ScreenPoint);
// The open item context menu, or none.
TdxBarCustomizingPopup* ShownCustomizingPopup();
// The link the item context menu acts on, or none.
TdxBarItemLink* CurrentCustomizingLink();
// A link goes: the menu no longer acts on it.
void CustomizingLinkDestroyed(TdxBarItemLink* Link);
