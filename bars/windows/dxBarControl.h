#pragma once
// The bar window: the window in which one links collection is shown, the base of the toolbar
// window and of the submenu window. It creates an item control for each visible link, routes the
// mouse and the keyboard to them, and holds the selection, the pressed item and menu mode with
// its chain of parent windows (the active chain).
//
// The window never keeps the focus and is never activated by a click. The code a window calls may
// take it away (a click that hides its own bar, frees its manager or the form): it is then retired
// at once and freed once its handlers have returned (ReleaseWindow), so after each such call it
// checks once that it is not retired (BarWindowGone) before it goes on with its work. What it
// reaches through its links (items, links, the manager) may be gone by then. Other windows are
// held through a TBarWindowRef, which turns null once that window retires or is freed.
#include <cstddef>
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/widgets/Control.h"

class TdxBarManager;

// What the pointer is doing with a bar window; a window does one of these at a time. Menu mode
// (Active) is none of them: an item is pressed, or pressed to be dragged, in menu mode as well
// as outside it, and a chain of windows is in menu mode at once.
enum class TdxBarInputState {
    Idle,
    // An item holds the mouse from its press until the button comes up (PressedControl).
    Pressed,
    // Customizing: an item was pressed and is dragged once the pointer leaves the drag rectangle
    // around the press.
    DragPending,
    // The bar follows the pointer to another place or dock site (the move loop runs).
    Moving,
};

// A button drawn in a bar window's frame or client area (the mark, a caption's close button):
// Down while pressed, or while what it opens is open.
enum class TdxBarButtonState { Normal, Hot, Down };

class TCustomdxBarControl;

// The part of a TBarWindowRef the window knows: the window clears it when it retires.
class TBarWindowRefBase {
  public:
    TBarWindowRefBase(const TBarWindowRefBase&) = delete;
    TBarWindowRefBase& operator=(const TBarWindowRefBase&) = delete;

  protected:
    TBarWindowRefBase() = default;
    ~TBarWindowRefBase() { Set(nullptr); }
    // Points at Window (none when it is retired already).
    void Set(TCustomdxBarControl* Window);
    TCustomdxBarControl* FWindow = nullptr;

  private:
    friend class TCustomdxBarControl;
};

// A bar window held across code that may take it away: null once the window retires or is
// freed, so that it is never read after that.
template <class T = TCustomdxBarControl>
class TBarWindowRef : public TBarWindowRefBase {
  public:
    TBarWindowRef(T* Window = nullptr) { Set(Window); }
    TBarWindowRef(const TBarWindowRef& Other) : TBarWindowRefBase() { Set(Other.get()); }
    TBarWindowRef& operator=(const TBarWindowRef& Other) {
        Set(Other.get());
        return *this;
    }
    TBarWindowRef& operator=(T* Window) {
        Set(Window);
        return *this;
    }
    T* get() const { return static_cast<T*>(FWindow); }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }
    friend bool operator==(const TBarWindowRef& A, const TBarWindowRef& B) {
        return A.get() == B.get();
    }
    friend bool operator==(const TBarWindowRef& A, const T* B) { return A.get() == B; }
    friend bool operator==(const TBarWindowRef& A, T* B) { return A.get() == B; }
    friend bool operator==(const TBarWindowRef& A, std::nullptr_t) { return !A.get(); }
};

class TCustomdxBarControl : public TCustomControl {
  public:
    // The owner is always the manager.
    explicit TCustomdxBarControl(TdxBarManager* Manager);
    ~TCustomdxBarControl() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    void SetItemLinks(TdxBarItemLinks* Value);
    // Frees the window; while one of its handlers runs it is retired now (no links, hidden, out
    // of its dock site and of its manager's components) and freed when the handler has returned.
    void ReleaseWindow();
    // The window was let go of: it only waits to be freed, and its handlers return at once.
    bool Retired() const { return FRetired; }

    // --- metrics item controls size themselves by ---
    int TextSize() const { return FTextSize; }
    int EditTextSize() const { return FEditTextSize; }
    int FifthTextSize() const { return FFifthTextSize; }
    int DoubleDigitWidth() const { return FDoubleDigitWidth; }

    // --- state ---
    bool Active() const { return FActive; }
    TdxBarInputState InputState() const { return FInputState; }
    TdxBarItemControl* SelectedControl() const { return FSelectedControl; }
    // The item holding the mouse (Pressed), or none.
    TdxBarItemControl* PressedControl() const { return FPressedControl; }
    TCustomdxBarControl* ParentBar() const { return FParentBar; }
    void SetParentBar(TCustomdxBarControl* Value) { FParentBar = Value; }
    TCustomdxBarControl* ChildBar() const { return FChildBar; }
    void SetChildBar(TCustomdxBarControl* Value) { FChildBar = Value; }
    TdxBarDockingStyle DockingStyle() const { return FDockingStyle; }
    TdxDockControl* DockControl() const { return FDockControl; }
    TdxBarButtonState MarkState() const { return FMarkState; }
    bool UpdateLock() const { return FUpdateLock; }
    void SetUpdateLock(bool Value) { FUpdateLock = Value; }
    // The canvas's background brush while an item paints itself.
    HBRUSH BkBrushOfItem() const { return FBkBrush; }
    void SetBkBrushOfItem(HBRUSH Value) { FBkBrush = Value; }
    bool IgnoreNextClick = false;
    // The next mouse move counts as a move, wherever the pointer is.
    void ResetLastCursorPos() { FLastCursorPos = TPoint{-1, -1}; }

    // --- virtual operations ---
    virtual void CreateControls();
    virtual void DestroyControls();
    virtual void CalcMetrics();
    virtual bool CanAlignItems() const { return false; }
    virtual bool HasNonClientFrame() const { return true; }
    virtual bool IsCustomizable() const;
    virtual int GetBeginGroupSize() const = 0;
    virtual HFONT GetFontHandle() const;
    virtual TRect GetItemRect(TdxBarItemControl* Control) const;
    virtual bool IsCustomizing() const;
    virtual TRect GetItemRectEx(TdxBarItemControl* Control, bool WithSeparator) const;
    // A new region; the caller deletes it.
    HRGN GetItemRegion(TdxBarItemControl* Control) const;
    virtual HBRUSH GetBkBrush() const;
    virtual HBRUSH GetDownBrush() const;
    virtual HBRUSH GetDownSelectedBrush() const;
    virtual HBRUSH GetSelectedBrush() const;
    virtual bool IsSubMenuWindow() const { return false; }
    // Whether this window is in Control's chain of parent bars (Control itself not counted).
    bool IsParentOf(const TCustomdxBarControl* Control) const;
    // The item control under a client point for a drop while customizing; none on no item.
    virtual TdxBarItemControl* GetDropPlace(TPoint P, bool& OnSeparator, bool& Before,
                                            bool& Vertical) const;
    virtual bool MarkExists() const { return false; }
    virtual bool IsMouseUnmoved(TPoint ClientPoint) const;
    virtual void DrawItem(TdxBarItemControl* Control);
    virtual void SelectedChanged(TdxBarItemControl* OldControl);
    virtual void SetDockingStyle(TdxBarDockingStyle Value);
    virtual void AssignFont() = 0;
    virtual void SetActive(bool Value);
    virtual void SetKeySelectedControl(TdxBarItemControl* Control);
    virtual void SetMarkState(TdxBarButtonState Value) = 0;
    virtual void SetMouseSelectedControl(TdxBarItemControl* Control);
    virtual void SetSelectedControl(TdxBarItemControl* Control);
    virtual void HideAll();
    virtual void UpdateLayout() {}
    // Asked after a hit test: whether the pointer left the area that hot-tracks.
    virtual bool StopsMouseTracking(LRESULT HitTest) const { return HitTest != HTCLIENT; }
    virtual void DblClickItem(TdxBarItemControl* Control);

    // The item control under a client point (customizing: only in windows that take part).
    TdxBarItemControl* ItemAtPos(TPoint P) const;
    // Two nested frames around the selected item while customizing.
    void DrawCustomizingFrame(TdxBarItemControl* Control);
    // The link's control when the link is shown here.
    bool IsShownControl(const TdxBarItemControl* Control) const;
    // Whether Control is one of the window's controls now (the pointer is compared, never
    // followed: a control a command freed is found missing).
    bool HasControl(const TdxBarItemControl* Control) const;
    // Paints one item now (outside WM_PAINT too).
    void RepaintItem(TdxBarItemControl* Control);
    // An item control goes: nothing here keeps pointing at it.
    void ControlDestroyed(TdxBarItemControl* Control);
    // Whether the window is being freed.
    bool Destroying() const { return ComponentState().Contains(csDestroying); }

  protected:
    // Lets go of everything others see of the window: the active chain, the links and their
    // controls, the references to it; the window is hidden.
    virtual void Retire();
    void CreateWnd() override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void DestroyWindowHandle() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void AdjustSize() override {}

    // --- input (dxBarControlInput.cpp) ---
    virtual void WMKeyDown(TMessage& Message);
    virtual void WMMouseMove(TMessage& Message);
    virtual void WMMouseLeave(TMessage& Message);
    virtual void WMLButtonDown(TMessage& Message);
    virtual void WMLButtonUp(TMessage& Message);
    virtual void WMLButtonDblClk(TMessage& Message);
    virtual void WMRButtonDown(TMessage& Message);
    virtual void WMCaptureChanged(TMessage& Message);
    virtual void WMSetCursor(TMessage& Message);
    virtual void WMNCHitTest(TMessage& Message);

    // --- frame ---
    // The flat shadow: floating windows of a flat-style manager.
    bool HasShadow() const;
    virtual void WMNCCalcSize(TMessage& Message);
    virtual void WMNCPaint(TMessage& Message);
    void SetShadowRegion();

    // Enters a state; leaving Pressed lets go of the pressed item.
    void SetInputState(TdxBarInputState Value);
    // A press ends (its item goes, or the mouse was let go or taken away): back to Idle.
    void EndPress();

    // The last cursor position handled (screen), (-1, -1) when none.
    TPoint FLastCursorPos{-1, -1};
    TdxBarItemControl* FSelectedControl = nullptr;
    TdxBarInputState FInputState = TdxBarInputState::Idle;
    // Pressed: the item, and whether the pointer is over it.
    TdxBarItemControl* FPressedControl = nullptr;
    bool FPressedControlHot = false;
    // DragPending: where the press was (client coordinates).
    TPoint FDragStartPoint;
    TdxBarDockingStyle FDockingStyle = dsNone;
    TdxDockControl* FDockControl = nullptr;
    TdxBarButtonState FMarkState = TdxBarButtonState::Normal;
    bool FRegionSuppressed = false;
    int FTextSize = 0;
    int FEditTextSize = 0;
    int FFifthTextSize = 4;
    int FDoubleDigitWidth = 0;

  private:
    void SetDoubleClicks();
    // Hands the window's hint text and the application's status hint to the selection.
    void SelectionHint();

    // Clears the references to the window: it retires or goes.
    void ForgetRefs();
    // Out of menu mode (a submenu), or with its chain hidden; no longer the manager's selection.
    void LeaveMenuMode();
    // What a retired window still does with its messages.
    void RetiredWndProc(TMessage& Message);

    TdxBarManager* FBarManager;
    TdxBarItemLinks* FItemLinks = nullptr;
    HBRUSH FBkBrush = 0;
    TBarWindowRef<> FChildBar;
    TBarWindowRef<> FParentBar;
    TBarWindowRef<> FPrevActiveBar;
    bool FUpdateLock = false;
    bool FActive = false;
    bool FRetired = false;
    std::vector<TBarWindowRefBase*> FRefs;

    friend class TBarWindowRefBase;
};

// No window, or a retired one: what a handler checks after a call that may take its window (or
// the one it holds) away.
inline bool BarWindowGone(const TCustomdxBarControl* Window) {
    return !Window || Window->Retired();
}
// The innermost bar window in menu mode, or none.
TCustomdxBarControl* ActiveBarControl();
// Once the user expands one personalized menu, the menus opened while the same chain of bar
// windows stays active open in full; the first window of a chain that becomes active sets it to
// whether the manager customizes.
bool dxBarFullMenusShown();
void SetdxBarFullMenusShown(bool Value);
// From a window up its chain of parent bars to the first one that is not a submenu (or the
// last one reached).
TCustomdxBarControl* TopLevelBarControl(TCustomdxBarControl* Control);
// The control of a window of ours, or of its nearest ancestor that has one.
TWinControl* FindControlOfWindow(HWND Wnd);
bool IsChildWindowOf(HWND Wnd, HWND Parent);
// The deepest visible window under a screen point.
HWND ControlAtScreenPoint(TPoint P);
// Where the focus goes that a bar window of Manager (or an item's editor in it) gives away: the
// manager's owner form, or, while the form is not shown, the next window after it that is shown
// and enabled (never a bar window, which would give it away again); none without either.
HWND dxBarFocusTarget(TdxBarManager* Manager);

// The arrangement of a dock site: rows of columns, each column one bar window.
class TdxDockRow;

class TdxDockCol {
  public:
    TdxDockCol(TdxDockRow* Row, TdxBarControl* BarControl) : FRow(Row), FBarControl(BarControl) {}
    TdxDockRow* Row() const { return FRow; }
    TdxBarControl* BarControl() const { return FBarControl; }
    // Where the column stands in the site (client coordinates).
    TPoint Pos;
    // Takes the bar window's current left and top.
    void UpdatePos();

  private:
    TdxDockRow* FRow;
    TdxBarControl* FBarControl;
};

class TdxDockRow {
  public:
    explicit TdxDockRow(TdxDockControl* DockControl) : FDockControl(DockControl) {}
    ~TdxDockRow();
    TdxDockRow(const TdxDockRow&) = delete;
    TdxDockRow& operator=(const TdxDockRow&) = delete;

    TdxDockControl* DockControl() const { return FDockControl; }
    int ColCount() const { return int(FCols.size()); }
    TdxDockCol* Cols(int Index) const { return FCols.at(size_t(Index)); }
    TdxDockCol* InsertCol(int Index, TdxBarControl* BarControl);
    void DeleteCol(int Index);
    int IndexOfBarControl(const TdxBarControl* BarControl) const;

  private:
    TdxDockControl* FDockControl;
    std::vector<TdxDockCol*> FCols;
};
