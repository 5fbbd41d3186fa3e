#pragma once
// The toolbar window: the window of one bar, the menu bar or a toolbar, docked in a dock site or
// floating. It places its item controls in one line or in rows, works out how big it wants to be
// for each docking style, paints the items with their group separators and the mark (the end
// button that reaches what does not fit), and draws its frame and grip.
//
// Menu mode: a click on an item of a toolbar that is not active enters it (the window becomes
// the active bar and takes the keyboard selection); the item's click, Esc or a click elsewhere
// leaves it again.
#include <functional>
#include <vector>

#include "bars/layout/dxBarLayout.h"
#include "bars/windows/dxBarControl.h"

class TdxBarControl : public TCustomdxBarControl {
  public:
    TdxBarControl(TdxBarManager* Manager, TdxBar* Bar);
    ~TdxBarControl() override;

    TdxBar* Bar() const { return FBar; }
    bool IsVertical() const { return FDockingStyle == dsLeft || FDockingStyle == dsRight; }
    bool IsRotated() const;
    bool IsFloating() const { return FDockingStyle == dsNone; }
    bool HiddenItems() const { return FHiddenItems; }
    LRESULT LastHit() const { return FLastHit; }
    bool InMenuMode() const;

    // --- frame ---
    // The window text becomes the bar's caption; the frame is painted again.
    virtual void BarCaptionChanged();
    // Docks into Site (none: floats) with the given style; the window is made again for it.
    void DockTo(TdxDockControl* Site, TdxBarDockingStyle Style);
    // The frame of the window changed (border, grip, size grip): recomputed and painted.
    void FrameChanged();
    // The mark's rectangle in client coordinates (empty when there is none).
    TRect MarkRect() const;
    int CaptionButtonWidth() const { return FCaptionButtonWidth; }
    int CaptionButtonHeight() const { return FCaptionButtonHeight; }
    // The size the right-hand buttons of a main menu bar take along the line (0 without them).
    int RightButtonsLength() const;
    // The close button at the end of a docked main menu bar (ShowCloseButton), in client
    // coordinates; empty without one.
    TRect RightCloseButtonRect() const;
    // Floating: the caption band and its close button in window coordinates; the state of the
    // close button.
    TRect FloatingCaptionRect() const;
    TRect CloseButtonRect() const;
    // A floating bar's mark lies in its caption (window coordinates; empty when none).
    TRect FloatingMarkRect() const;
    bool HasCloseButton() const;
    TdxBarButtonState CaptionButtonState() const { return FCaptionButtonState; }
    // While the bar is dragged: the moving state, and where the cursor holds the window when it
    // takes a docking style (the grab keeps its relative place as the window changes form).
    bool Moving() const { return FInputState == TdxBarInputState::Moving; }
    void SetMoving(bool Value);
    TPoint GetGrabOffset(TdxBarDockingStyle Style);
    // The grab in the style the move started in, once the move engine has placed it.
    void SetStartGrabOffset(TPoint Value) { FStartGrabOffset = Value; }
    // Docked to floating and back by a double click on the grip or caption.
    void ToggleDocking();
    // The bar takes the window's docking and place (after a move or a change of form).
    void SavePosition();
    // Floating bars show with their form: while it is hidden or another window is active a
    // floating window waits, hidden, and the form's activation shows it (unless customizing).
    bool WaitsForForm() const;
    // A bar that never floated takes its docked length as its floating width.
    void KeepDockedWidthForFloating();

    // --- layout ---
    // Places the shown item controls in the client area.
    void CalcControlsPositions();
    // The outer size the window needs when it takes the docking style.
    TSize GetSizeForStyle(TdxBarDockingStyle Style);
    // For the dock sites: the outer length along a site of the window's style with every item
    // on one line, the shortest it can become, and its outer thickness at a length.
    int FullLength();
    int MinLength();
    int ThicknessForLength(int Length);

    // --- menu mode ---
    virtual void EnterMenuMode(TdxBarItemControl* Control);
    virtual void ExitMenuMode();
    // In menu mode, the selected item's submenu was opened by a click or a key: a click on the
    // item then leaves menu mode.
    bool SubMenuOpened() const { return FSubMenuOpened; }
    void SetSubMenuOpened(bool Value) { FSubMenuOpened = Value; }

    // --- overrides of the bar window ---
    bool CanAlignItems() const override;
    bool HasNonClientFrame() const override;
    bool IsCustomizable() const override;
    int GetBeginGroupSize() const override;
    HFONT GetFontHandle() const override;
    TRect GetItemRect(TdxBarItemControl* Control) const override;
    HBRUSH GetBkBrush() const override;
    bool MarkExists() const override;
    bool IsMouseUnmoved(TPoint ClientPoint) const override;
    void DrawItem(TdxBarItemControl* Control) override;
    void SetDockingStyle(TdxBarDockingStyle Value) override;
    void AssignFont() override;
    void SetActive(bool Value) override;
    void SetKeySelectedControl(TdxBarItemControl* Control) override;
    void SetMarkState(TdxBarButtonState Value) override;
    void HideAll() override;
    void UpdateLayout() override;
    void CalcMetrics() override;
    bool StopsMouseTracking(LRESULT HitTest) const override;

  protected:
    void Retire() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMNCHitTest(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    void WMMouseLeave(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    // Outside customizing mode the toolbars popup; in it the item context menu.
    void WMRButtonDown(TMessage& Message) override;

  private:
    // The floating frame: client area, hit test, painting, the close button's press, sizing by
    // an edge (the other side follows from the items wrapping) and staying on the screen.
    void FloatingNCCalcSize(RECT& R) const;
    LRESULT FloatingHitTest(TPoint Screen);
    void PaintFloatingFrame(HDC DC, const TRect& Window);
    void PaintCloseButton(HDC DC, const TRect& Button);
    void TrackCloseButton();
    // Holds the mouse from a press on a button of the window until the left button comes up;
    // true when it came up over the button (a press ended otherwise counts for nothing). Show
    // gets Down while the pointer is over it, Hot while it is off it, Normal at the end.
    bool TrackButtonPress(const std::function<bool()>& Over,
                          const std::function<void(TdxBarButtonState)>& Show);
    void PaintRightCloseButton(HDC DC, const TRect& Button);
    void TrackRightCloseButton();
    // The screen point lies on the close button.
    bool OverCloseButton(TPoint Screen);
    void FloatingSizing(WPARAM Edge, RECT& R);
    void KeepOnScreen(WINDOWPOS& Pos) const;
    // The window goes: a floating one went with its owner form's window, and when the form stays
    // (its window is made again for a new border) the bar is hidden and kept for the form's new
    // window to show again. A docked window is a child of its site, and comes back with it.
    void KeepBarForFormsNewWindow();
    void SetCaptionButtonState(TdxBarButtonState Value);
    // The caption's font: the system's small-caption font, or the bar's face at its height.
    HFONT CreateCaptionFont() const;
    // The flat style's close button lights up under the pointer.
    void TrackCloseButtonHover(TPoint ClientPoint);
    // The mark of a floating bar has no leave notice of its own (it lies in the caption): while
    // it is hot a timer looks whether the pointer has left it.
    void MarkTimerTick();
    bool CursorOverMark();
    void RepaintMark();
    // The window's top-left corner on the screen.
    TPoint ScreenTopLeft();
    // A press on the frame: the caption moves the bar, the close button closes it, an edge
    // sizes it. False when the press is the client area's.
    bool StartsFrameAction(TMessage& Message);
    // What the layout knows of the visible links' controls (lengths along the line).
    std::vector<TdxBarLayoutItem> LayoutItems(int Count, bool Vertical) const;
    // The client length along the line of a docked bar less the mark and the right-hand buttons.
    int ClientLineLength() const;
    // Outer frame extents along and across a line of the window's style.
    int FrameAlong(TdxBarDockingStyle Style) const;
    int FrameAcross(TdxBarDockingStyle Style) const;
    // Client size of a floating or multi-line bar whose items wrap at a client length.
    TSize WrappedClientSize(int ClientLength, bool Vertical);
    bool CanWrap() const;
    void PaintSeparators(HDC DC, HRGN Region);
    void PaintMark(HDC DC, HRGN Region);
    // Glyph: the colour of the mark's glyphs on Bk.
    void DrawMark(HDC DC, const TRect& R, HBRUSH Bk, COLORREF Glyph);
    void PaintDockedFrame(HDC DC, const TRect& Window);
    void DrawChevron(HDC DC, const TRect& R, bool Vertical, COLORREF Color);
    void DrawQuickCustomizingArrow(HDC DC, const TRect& R, bool Vertical, COLORREF Color);
    // Fonts after a change of font or orientation (the canvas's font turned on a vertical bar).
    void FontChanged();
    bool PointOverUsableItem(TPoint ClientPoint) const;
    // Changing the width of the selected edit or combo item with the mouse in customizing mode
    // (dxBarItemSizing.cpp): its cursor, the press on its edge and the drag; true when the
    // message was the sizing's. One sizing at a time: it holds the mouse capture.
    bool ItemSizingMessage(TMessage& Message);

    TdxBar* FBar;
    bool FHiddenItems = false;
    LRESULT FLastHit = HTNOWHERE;
    int FCaptionButtonWidth = 0;
    int FCaptionButtonHeight = 0;
    bool FSizeGripShown = false;
    bool FSubMenuOpened = false;
    HWND FFocusBeforeMenuMode = 0;
    int FRecreating = 0;
    bool FFontChanging = false;
    HFONT FRotatedFont = 0;
    TdxBarButtonState FCaptionButtonState = TdxBarButtonState::Normal;
    bool FRightCloseButtonPressed = false;
    UINT_PTR FMarkTimer = 0;
    TPoint FGrabOffset;
    TPoint FStartGrabOffset;
    TSize FGrabSize;
    TdxBarDockingStyle FGrabStyle = dsNone;
};

// A toolbar window docked at the left or right (and one that turns its text there).
bool IsVerticalBar(const TCustomdxBarControl* Control);
bool IsRotatedBar(const TCustomdxBarControl* Control);
