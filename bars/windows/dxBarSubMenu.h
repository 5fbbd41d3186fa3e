#pragma once
// The submenu window: a topmost popup that shows the links of a sub-item, of a popup menu or of a
// button's drop-down menu as a menu. It is a bar window, so selection, hot tracking and the item
// controls work as in the toolbars; what it adds is its own layout (entries stacked from the
// top), its place on the screen (flipped beside its opener or cut to the work area with scroll
// areas), the opening animation, the personalized menus' expand button, and its keys.
//
// A submenu window lives while its menu is open: the opener (a sub-item control, a button's
// drop-down, TdxBarPopupMenu::Popup) makes it, sets where and for whom it opens, and calls Show;
// Hide frees it. Once it hides, everything that pointed at it forgets it (its links, the bar it
// was opened from, its opener's control) and a submenu still open below it hides too.
#include <functional>

#include "bars/windows/dxBarControl.h"

class TdxBarListItem;
class TdxBarSubMenuAnimation;

// Where a submenu of Size opens for a requested top-left corner, on the work area Work (screen
// coordinates). ParentWidth and ParentHeight are the extent of the opener's item across which it
// may flip (0: none); a popup at a point opens upwards when it does not fit below. Height may be
// cut, the menu then scrolls. The flags say whether it went left of or above its opener.
struct TdxBarSubMenuPlace {
    TRect Bounds;
    bool FlippedHorizontally = false;
    bool FlippedVertically = false;
};
TdxBarSubMenuPlace PlaceSubMenu(TPoint Requested, TSize Size, int ParentWidth, int ParentHeight,
                                const TRect& Work);

class TdxBarSubMenuControl : public TCustomdxBarControl {
  public:
    explicit TdxBarSubMenuControl(TdxBarManager* Manager);
    ~TdxBarSubMenuControl() override;

    // --- what the opener sets before Show ---
    // The top-left corner asked for (screen coordinates); the menu goes back there on expanding.
    TPoint RequestedPos() const { return FRequestedPos; }
    void SetRequestedPos(TPoint Value) { FRequestedPos = Value; }
    // The item control whose menu this is (none for popup menus).
    TdxBarItemControl* ParentItemControl() const { return FParentItemControl; }
    void SetParentItemControl(TdxBarItemControl* Value) { FParentItemControl = Value; }
    void SetParentItemSize(int Width, int Height);
    // The window that owns the menu's window (0: the manager's owner form).
    void SetOwnerWindow(HWND Value) { FOwnerWindow = Value; }
    // Permission to animate the opening (menus opened with the mouse).
    void SetAnimationAllowed(bool Value) { FAnimationAllowed = Value; }
    TNotifyEvent OnPopup;
    TNotifyEvent OnCloseUp;

    // Makes the window, lays it out, places it and shows it without activating it.
    void Show();
    // Once only: the menu closes and the window is freed.
    void Hide();
    bool Hiding() const { return FHiding; }

    // --- state ---
    int TopIndex() const { return FTopIndex; }
    bool Expanded() const { return FExpanded; }
    bool FlippedHorizontally() const { return FFlippedHorizontally; }
    bool FlippedVertically() const { return FFlippedVertically; }
    bool Animating() const;
    // Stops a running opening animation: the window takes its final place and paints in full.
    void WaitForAnimation();
    // The size the window wants (outer, shadow included) for its links as they are now.
    TSize MeasureSize();
    // The scroll areas and the expand button (client coordinates; empty when there is none).
    TRect TopScrollRect() const;
    TRect BottomScrollRect() const;
    TRect MarkRect() const;
    int ScrollAreaHeight() const;
    // The band at the left that the popup menu or sub-item paints (its BarSize).
    int BarSize() const;
    // The menu's personalized part: it hides links not used recently until it is expanded.
    bool UsesRecentItems() const;
    // Shows the links hidden as not used recently: the menu opens again in full.
    void Expand();
    // Scrolls so that the link is placed (keyboard selection keeps it in view).
    void MakeVisible(TdxBarItemLink* Link);
    int ArrowWidth() const { return FArrowWidth; }
    int GlyphReferenceSize() const { return IsFlatStyle() ? 20 : 19; }

    // --- overrides of the bar window ---
    void CalcMetrics() override;
    bool IsCustomizable() const override;
    int GetBeginGroupSize() const override;
    HFONT GetFontHandle() const override;
    TRect GetItemRectEx(TdxBarItemControl* Control, bool WithSeparator) const override;
    bool IsSubMenuWindow() const override { return true; }
    TdxBarItemControl* GetDropPlace(TPoint P, bool& OnSeparator, bool& Before,
                                    bool& Vertical) const override;
    bool MarkExists() const override;
    void DrawItem(TdxBarItemControl* Control) override;
    void AssignFont() override;
    void SetActive(bool Value) override;
    void SetMarkState(TdxBarButtonState Value) override;
    void SetSelectedControl(TdxBarItemControl* Control) override;
    void HideAll() override;
    void UpdateLayout() override;
    // Lists the entries of container items in place first (dxBarSubMenuContainers.cpp).
    void CreateControls() override;

  protected:
    void Retire() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    void WMMouseLeave(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;

    void WMNCHitTest(TMessage& Message) override;

  private:
    friend class TdxBarSubMenuAnimation;
    // Container items expand into the links they make, right after their own link, while the
    // menu is open (not while customizing); the menu takes them out again when it closes.
    void ListContainers();
    void UnlistContainers();
    std::vector<TdxBarItemLink*> FListedContainers;
    bool FContainersListed = false;
    // The menu of a list item opened from a bar shows the list item's own entries.
    TdxBarListItem* FListedOwnList = nullptr;
    // Tearing the menu off (a menu of a Detachable sub-item): the bar above the entries, its
    // hot state, and the press on it that floats the sub-item's DetachingBar.
    TCustomdxBarSubItem* DetachableSubItem() const;
    int DetachBarHeight() const;
    TRect DetachBarRect() const;
    bool OverDetachBar(TPoint Client);
    void SetDetachHot(bool Value);
    void PaintDetachBar(HDC DC);
    void Detach();
    bool FDetachHot = false;
    bool IsFlatStyle() const;
    // The links shown before and after expanding (the personalized menus' rule).
    void RecalcVisibleLinks();
    // Stacks the entries from the top index; with Measuring nothing is cut and the stacked
    // height (client coordinates, below the last entry) is returned.
    int CalcLayout(bool Measuring);
    // Lays out, places the window on the monitor of its requested point and stores the result.
    void PlaceOnScreen();
    // What happens once when the menu closes, whether it is freed now or later.
    void CloseUp();
    void StartAnimation();
    // Scrolling with the mouse in a scroll area.
    void ScrollTick();
    void StopScrolling();
    void Scroll(int Delta);
    void StartExpandTimer(UINT Elapse);
    TdxBarControl* MainMenuBarWindow() const;
    // Left and Right move a menu bar the menu was opened from on to its neighbouring menu.
    void SendToMainMenuBar(WORD Key);
    // The bar window whose selected control opened this menu (the parent bar, or for a button's
    // drop-down menu the bar of the button).
    TCustomdxBarControl* OpenerBar() const;
    void PaintScrollArea(HDC DC, const TRect& R, bool Up);
    void PaintMark(HDC DC);
    void PaintSeparator(HDC DC, TdxBarItemControl* Control, const TRect& R);

    TdxBarItemControl* FParentItemControl = nullptr;
    int FParentItemWidth = 0;
    int FParentItemHeight = 0;
    TPoint FRequestedPos{0, 0};
    HWND FOwnerWindow = 0;
    bool FAnimationAllowed = false;
    TdxBarMenuAnimations FAnimations = maNone;
    bool FHiding = false;
    bool FClosed = false;
    bool FExpanded = false;
    bool FFlippedHorizontally = false;
    bool FFlippedVertically = false;
    int FTopIndex = -1;
    // The last entry placed (index into the visible list), -1 when none.
    int FLastPlaced = -1;
    bool FScrollsDown = false;
    UINT_PTR FScrollTimer = 0;
    TPoint FLastScrollPos{-1, -1};
    UINT_PTR FExpandTimer = 0;
    UINT FExpandElapse = 0;
    int FArrowWidth = 0;
    int FMarkHeight = 0;
    HBRUSH FRarelyUsedBrush = 0;
    bool FFontChanging = false;
};

// The submenu window that is opening with an animation now, if any (one at a time).
TdxBarSubMenuControl* AnimatedSubMenu();
