#pragma once
// How the model tells the windows that show it of its changes, makes and frees them, and asks
// them the little only they know, without knowing them. The model holds its windows (a link's
// item control, a links collection's bar window, the manager's dock sites) as pointers it never
// calls: every call goes through the views here. bars/windows puts its own in place when the
// framework starts (RegisterBarClasses), and again as soon as a bar window or a dock site
// exists. Before that nothing is shown: the one in place makes nothing, does nothing and
// answers "no" and "none".
#include <string>

#include "bars/model/dxBarInPlace.h"
#include "bars/model/dxBarTypes.h"
#include "platform/gdi/Graphics.h"

class TComponent;
class TCustomForm;
class TPersistent;
class TdxBarButton;
class TdxBarButtonControl;
class TdxBarCustomCombo;
class TCustomdxBarComboControl;

// What changed of an item or of a link, for the link's control.
enum class TdxBarItemChange {
    // The control takes a new size and place (its width, say).
    Layout,
    // It lays itself out again, or repaints, unless it is the one the user works in (the
    // selected control of an active window): a change of its item's text must not disturb it.
    LayoutUnlessInUse,
    RepaintUnlessInUse,
    Caption,
    Enabled,
    Glyph,
    ShortCut,
    BeginGroup,
    // The link or its item is shown or hidden.
    Visible,
    // A button's: its paint style, its style, its Down, its drop-down arrow.
    PaintStyle,
    ButtonStyle,
    Down,
    DropDownEnabled,
};

// What a link's control is (all "no" without a control).
struct TdxBarControlState {
    // The keyboard may select it; it is selected.
    bool Selectable = false;
    bool Selected = false;
    // Its submenu is open.
    bool SubMenuOpen = false;
    // The paint style a button shows with (psStandard for others).
    TdxBarPaintStyle PaintStyle = psStandard;
};

// What a bar window does, told through the links it shows (nothing without a window).
enum class TdxBarWindowChange {
    // Its frame, its layout, or both (a docked toolbar: both; a floating one: nothing).
    Frame,
    Layout,
    DockedFrameLayout,
    // A toolbar's caption, its font (taken from the bar), its font's direction.
    Caption,
    Font,
    Rotation,
    Repaint,
    // Posts itself a new layout (a window with its handle only).
    PostLayout,
    // Closes the menus opened from it.
    CloseMenus,
    // A toolbar stops or starts drawing while the manager holds updates.
    StopRedraw,
    ResumeRedraw,
};

// What a bar window is (all "no" and none without a window).
struct TdxBarWindowState {
    bool Exists = false;
    bool HasHandle = false;
    // A toolbar (not a submenu window), floating or docked in which style and on which site.
    bool Toolbar = false;
    bool Floating = false;
    TdxBarDockingStyle DockingStyle = dsNone;
    TdxDockControl* Site = nullptr;
    bool Customizing = false;
    TRect Client;
    // Its bottom edge lies on its parents' bottoms all the way up.
    bool OnParentsBottom = false;
};

// What a dock site does.
enum class TdxBarSiteChange {
    Realign,
    // Its frame is painted again; its frame changes (a sunken border) and it realigns.
    RepaintFrame,
    Frame,
    Color,
    StopRedraw,
    ResumeRedraw,
    // The manager let go of it: it takes its parent's colour (unless it is going), it leaves
    // the manager.
    ParentColor,
    LeaveManager,
};

// What a dock site is.
struct TdxBarSiteState {
    TdxBarManager* Manager = nullptr;
    TdxBarDockingStyle DockingStyle = dsNone;
    // One of the manager's four sites along the form's edges.
    bool Default = false;
    // Along the top or the bottom; its height there, its width else.
    bool Horizontal = false;
    int Extent = 0;
};

// What becomes of a custom combo's list window: it closed (and leaves the form until it opens
// again), or it goes with its combo.
enum class TdxBarComboListChange {
    Closed,
    Freed,
};

// What a manager does with its windows.
enum class TdxBarManagerChange {
    // It joins the windows' list (hooks and hint window), and leaves it.
    Joined,
    Left,
    // Its font changed: its popup menus take it.
    Font,
    // A component of its form goes: its links of controls to popup menus forget it.
    ComponentRemoved,
};

class TdxBarViews {
  public:
    virtual ~TdxBarViews() = default;

    // --- the item controls ---
    // Link's item or link changed as What says; its control, while it has one, shows the change.
    virtual void ItemChanged(TdxBarItemLink* /*Link*/, TdxBarItemChange /*What*/) {}
    virtual TdxBarControlState ControlState(const TdxBarItemLink* /*Link*/) { return {}; }
    // A control its link let go of.
    virtual void FreeControl(TdxBarItemControl* /*Control*/) {}
    // The customizing selection moves from Previous to Current (none): the toolbar Previous lies
    // under forgets its mouse selection unless Current lies under it too.
    virtual void SelectionMoved(TdxBarItemControl* /*Previous*/, TdxBarItemControl* /*Current*/) {}
    // A control that may have gone with its window repaints while the window lives.
    virtual void RepaintControl(TdxBarItemControl* /*Control*/) {}
    // The text being typed into Link's editing control while it has the focus: false when it
    // has no such control.
    virtual bool FocusedText(const TdxBarItemLink* /*Link*/, std::string& /*Text*/) {
        return false;
    }

    // --- the bar windows ---
    // A window for Links (a toolbar for a bar's, a submenu window else), tied to them; none
    // when they belong to neither.
    virtual TCustomdxBarControl* MakeWindow(TdxBarItemLinks* /*Links*/) { return nullptr; }
    // Bar's toolbar (made) goes where the bar says: floating or onto its site, and shows.
    virtual void PlaceToolbar(TdxBar* /*Bar*/) {}
    // A window its links let go of: it forgets them and goes once its handlers return.
    virtual void ReleaseWindow(TCustomdxBarControl* /*Window*/) {}
    virtual void WindowChanged(const TdxBarItemLinks* /*Links*/, TdxBarWindowChange /*What*/) {}
    virtual TdxBarWindowState WindowState(const TdxBarItemLinks* /*Links*/) { return {}; }
    // A bar's window as the toolbar it is (a conversion only the windows know).
    virtual TdxBarControl* ToolbarOf(TCustomdxBarControl* /*Window*/) { return nullptr; }
    // The link whose control opened the submenu window that shows Links, or none.
    virtual TdxBarItemLink* OpenerLink(const TdxBarItemLinks* /*Links*/) { return nullptr; }
    // The links of the bar window that the window showing Links was opened from, or none.
    virtual TdxBarItemLinks* ParentBarLinks(const TdxBarItemLinks* /*Links*/) { return nullptr; }

    // --- the dock sites ---
    // One of the manager's default sites along the owner form's edge; none without windows.
    virtual TdxDockControl* MakeSite(TdxBarManager* /*Manager*/, TdxBarDockingStyle /*Style*/) {
        return nullptr;
    }
    virtual void FreeSite(TdxDockControl* /*Site*/) {}
    // A bar's dock site as a dock site (a conversion only the windows know).
    virtual TdxDockControl* SiteOf(TdxBarDockControl* /*Site*/) { return nullptr; }
    virtual void SiteChanged(TdxDockControl* /*Site*/, TdxBarSiteChange /*What*/) {}
    virtual TdxBarSiteState SiteState(const TdxDockControl* /*Site*/) { return {}; }
    virtual void SetSiteExtent(TdxDockControl* /*Site*/, int /*Extent*/) {}
    // Whether the site (not a default one) takes Bar.
    virtual bool SiteTakes(const TdxDockControl* /*Site*/, TdxBar* /*Bar*/) { return true; }
    // A dock site's name, and the form's dock site of a name (none when it has none).
    virtual std::string SiteName(const TdxBarDockControl* /*Site*/) { return {}; }
    virtual TdxBarDockControl* FindSite(TCustomForm* /*Form*/, const std::string& /*Name*/) {
        return nullptr;
    }

    // --- menus ---
    // The popup menu that owns a links collection (Owner), or none.
    virtual TdxBarPopupMenu* PopupMenuOf(const TPersistent* /*Owner*/) { return nullptr; }
    virtual TdxBarItemLinks* PopupMenuLinks(const TdxBarPopupMenu* /*Menu*/) { return nullptr; }
    // A popup menu as the component it is (a conversion only the windows know).
    virtual TComponent* PopupMenuComponent(TdxBarPopupMenu* /*Menu*/) { return nullptr; }
    // Button's drop-down menu opens for Control at a screen point, or its open menu closes.
    virtual void DropDown(TdxBarButton* /*Button*/, TdxBarButtonControl* /*Control*/,
                          TPoint /*ScreenPoint*/, bool /*ByMouse*/) {}
    virtual void CloseDropDown(TdxBarButton* /*Button*/) {}
    // Whether a combo's drop-down window can open for Control (one on a bar window); it shows
    // beside Control, its corner near the screen point At; it closes (a window of its own or its
    // list); the list's window (opened for the form), filled and sized for Control; a text's
    // extent in the list's font; the list closed or went.
    virtual bool CanDropDown(TCustomdxBarComboControl* /*Control*/) { return false; }
    virtual void ShowDropDown(HWND /*Window*/, TCustomdxBarComboControl* /*Control*/,
                              TPoint /*At*/) {}
    virtual void HideDropDown(HWND /*Window*/) {}
    virtual HWND ComboListWindow(TdxBarCustomCombo* /*Combo*/) { return 0; }
    virtual void FillComboList(TdxBarCustomCombo* /*Combo*/, HWND /*Window*/,
                               TCustomdxBarComboControl* /*Control*/) {}
    virtual TSize ComboTextExtent(TdxBarCustomCombo* /*Combo*/, const std::string& /*Text*/) {
        return {};
    }
    virtual void ComboListChanged(TdxBarCustomCombo* /*Combo*/, TdxBarComboListChange /*What*/) {}

    // --- the manager ---
    // Component: the one that goes (ComponentRemoved).
    virtual void ManagerChanged(TdxBarManager* /*Manager*/, TdxBarManagerChange /*What*/,
                                TComponent* /*Component*/ = nullptr) {}

    // --- the look ---
    // The system's menu font; a system colour (COLOR_*) as the framework paints it, lightened
    // or darkened by the deltas.
    virtual LOGFONT MenuFont() { return {}; }
    virtual COLORREF LightColor(int /*SysColorIndex*/, int /*DeltaRed*/, int /*DeltaGreen*/,
                                int /*DeltaBlue*/) {
        return 0;
    }
    // Replaces Handle (deleting the old one) with a font for bars made from Font.
    virtual void MakeBarFont(const TFont& /*Font*/, HFONT& /*Handle*/, bool /*UseSystemFont*/) {}
};

// The views in place (never none), and putting the windows' views in place.
inline TdxBarViews& dxBarViews() {
    return *dxBarInPlace<TdxBarViews>();
}
inline void SetdxBarViews(TdxBarViews* Views) {
    if (Views) dxBarInPlace<TdxBarViews>() = Views;
}
