#pragma once
// How the model tells the bar windows that show it of its changes, and asks them the little
// only they know, without knowing them: bars/windows puts its own in place as soon as a bar
// window or a dock site exists. Before that no link has a control and there is no dock site, and
// the one in place does nothing and answers "no" and "none".
#include <string>

#include "bars/model/dxBarInPlace.h"
#include "bars/model/dxBarTypes.h"

class TCustomForm;

// What changed of an item, for the controls of its links.
enum class TdxBarItemChange {
    // The control takes a new size and place (its width, say).
    Layout,
};

class TdxBarViews {
  public:
    virtual ~TdxBarViews() = default;
    // Link's item changed as What says; its control, while it has one, shows the change.
    virtual void ItemChanged(TdxBarItemLink* /*Link*/, TdxBarItemChange /*What*/) {}
    // Whether Link's control has its submenu open.
    virtual bool SubMenuOpen(const TdxBarItemLink* /*Link*/) { return false; }
    // The link whose control opened the submenu window that shows Links, or none.
    virtual TdxBarItemLink* OpenerLink(const TdxBarItemLinks* /*Links*/) { return nullptr; }
    // The links of the bar window that the window showing Links was opened from, or none.
    virtual TdxBarItemLinks* ParentBarLinks(const TdxBarItemLinks* /*Links*/) { return nullptr; }
    // A dock site's name, and the form's dock site of a name (none when it has none).
    virtual std::string SiteName(const TdxBarDockControl* /*Site*/) { return {}; }
    virtual TdxBarDockControl* FindSite(TCustomForm* /*Form*/, const std::string& /*Name*/) {
        return nullptr;
    }
};

// The views in place (never none), and putting the windows' views in place.
inline TdxBarViews& dxBarViews() {
    return *dxBarInPlace<TdxBarViews>();
}
inline void SetdxBarViews(TdxBarViews* Views) {
    if (Views) dxBarInPlace<TdxBarViews>() = Views;
}
