#pragma once
// Item controls: the on-screen view of one item link inside one bar window. Every visible link
// of a shown bar window has one while the window's controls exist; the control measures itself,
// paints itself into the window's canvas, reacts to selection, presses, clicks and keys that the
// window passes on, and runs the item's command. Controls are plain objects, not windows.
//
// Sizes: along and across the line of a horizontal bar a control's width and height; a vertical
// bar exchanges them (and a rotated one draws its captions turned). All geometry is in client
// pixels of the bar window.
#include <string>

#include "bars/model/dxBarTypes.h"
#include "platform/gdi/Graphics.h"

class TCustomdxBarSubItem;
class TdxBarButton;
class TdxBarSubMenuControl;

// Where an item paints itself.
enum TdxBarPaintType { ptHorizontal = 0, ptMenu = 1, ptVertical = 2 };

class TdxBarItemControl {
  public:
    explicit TdxBarItemControl(TdxBarItemLink* Link);
    virtual ~TdxBarItemControl();
    TdxBarItemControl(const TdxBarItemControl&) = delete;
    TdxBarItemControl& operator=(const TdxBarItemControl&) = delete;

    // The control goes while a handler of its window may still hold it: it lets go now of what
    // it points at and of what points at it, and its later freeing touches none of it.
    void Detach();
    bool Detached() const { return FDetached; }

    TdxBarItemLink* ItemLink() const { return FItemLink; }
    TCustomdxBarControl* Parent() const { return FParent; }
    TdxBarItem* Item() const;
    TdxBarManager* BarManager() const;
    bool IsFlat() const;
    bool IsSelected() const;
    // The item's Align where the window aligns items, else iaLeft.
    TdxBarItemAlign RealAlign() const;
    // The toolbar the control lies in is docked at the left or right (and turns its text).
    bool IsVertical() const;
    bool IsRotated() const;
    bool InSubMenu() const;
    bool IsMouseDownOver() const;
    bool HasGlyph() const;
    int GetWidth() const;
    int GetHeight() const;

    // --- state ---
    bool Selected() const { return FSelected; }
    bool DoingClick() const { return FDoingClick; }
    void SetDoingClick(bool Value);
    bool IsWindowControl() const { return FIsWindowControl; }
    // A window control whose editor has the focus.
    virtual bool Focused() const { return false; }
    // Where a window control's editor lies (client coordinates of the bar window); empty for
    // other controls.
    virtual TRect EditRect() const { return TRect{}; }
    bool SelectedByMouse = false;
    // Set by the layout: the control starts a new row of a wrapping bar, or ends one.
    bool NewRow = false;
    bool LastInRow = false;
    // Where the window drew the group separator before the control (empty when none).
    TRect SeparatorRect;
    bool FirstOfRarelyUsed = false;
    bool RarelyUsed = false;

    // --- what the window and the items call ---
    virtual void ParentHandleDestroyed() {}
    // The window placed no rectangle for the link (it lies beyond the bar's end): whatever the
    // control shows of its own goes away. Controls without a window of their own have nothing.
    virtual void Unplaced() {}
    // A mouse message of the window (client point) for the control's in-place editor, which
    // decides what it means; controls without one ignore it.
    virtual void MouseToEditor(UINT Msg, WPARAM WParam, TPoint WindowPoint) {
        (void)Msg;
        (void)WParam;
        (void)WindowPoint;
    }
    virtual void BeginGroupChanged();
    virtual void CaptionChanged();
    virtual void EnabledChanged();
    virtual void GlyphChanged();
    virtual void StateChanged();
    virtual void ShortCutChanged();
    virtual void VisibleChanged();
    virtual bool ExecutesItemOnClick() const { return true; }
    virtual bool IsOwnManagerItem() const;
    virtual bool IsSelectable() const;
    // The keyboard and accelerator path: Press, then Click.
    virtual void Activate(bool ByMouse);
    virtual void Select(bool Immediately);
    virtual void Deselect(bool Immediately);
    virtual void Press(bool ByMouse) { (void)ByMouse; }
    virtual void Click(bool ByMouse);
    virtual bool IsPressed() const { return IsSelected(); }
    virtual void KeyDown(WORD Key) { (void)Key; }
    virtual bool WantsKey(WORD Key) const {
        (void)Key;
        return false;
    }
    virtual std::string GetCaption() const;
    virtual bool GetEnabled() const;
    virtual TBitmap* GetGlyph() const;
    virtual int GetImageIndex() const;
    virtual TCustomImageList* GetImages() const;
    virtual std::string GetHint() const;
    virtual TCustomImageList* GetHotImages() const;
    virtual TCustomImageList* GetLargeImages() const;
    virtual TShortCut GetShortCut() const;
    virtual int GetMenuTextOffset() const;
    virtual int GetDefaultHeight() const { return 0; }
    virtual int GetMinHeight() const { return 1; }
    virtual int GetMinWidth() const { return 1; }
    virtual int GetDefaultWidth() const { return 0; }
    virtual bool HasHint() const;
    virtual bool ClosesMenusOnClick() const { return true; }
    virtual bool OpensOnDblClick() const { return false; }
    virtual bool CapturesMouse() const { return false; }
    virtual void Paint(const TRect& R, TdxBarPaintType PaintType) {
        (void)R;
        (void)PaintType;
    }
    virtual void Repaint();
    void RequestLayout();
    virtual void DblClick() {}
    virtual bool HandlesDblClick() const;
    virtual bool IsSubItemControl() const { return false; }

  protected:
    // Each class lets go of its own part (what its destructor does), then calls its base's.
    virtual void LetGo();

    // Caption drawing shared by the controls (see dxBarItemPaint.cpp).
    void DrawCaption(HDC DC, const TRect& R, const std::string& Caption, bool Selected, bool InMenu,
                     UINT Alignment);
    // The glyph area: background, glyph (or check mark) and frame.
    void DrawGlyphArea(HDC DC, const TRect& R, bool Pressed, bool Down, bool Enabled, bool Selected,
                       bool CheckMark);
    // A menu entry's frame, glyph column, gap and text area (the caption drawn in it).
    TRect DrawMenuEntry(HDC DC, TRect R, bool Down, bool ShowGlyph, bool Selected);
    int CaptionWidth() const;
    TCanvas* Canvas() const;

    bool FIsWindowControl = false;
    bool FSelected = false;

  private:
    TdxBarItemLink* FItemLink;
    TCustomdxBarControl* FParent;
    bool FDoingClick = false;
    bool FDetached = false;
};

// Frees a control its link let go of: at once, or once the handlers of its window have returned.
void ReleaseItemControl(TdxBarItemControl* Control);

class TdxBarButtonControl : public TdxBarItemControl {
  public:
    explicit TdxBarButtonControl(TdxBarItemLink* Link) : TdxBarItemControl(Link) {}
    ~TdxBarButtonControl() override;

    TdxBarButton* Button() const;
    bool DroppedDown() const { return FDroppedDown; }
    bool MouseDown = false;

    virtual int GetDropDownArrowWidth() const;
    virtual void ButtonStyleChanged() { RequestLayout(); }
    virtual void DownChanged() { Repaint(); }
    virtual void DropDownEnabledChanged() { Repaint(); }
    virtual int CalcButtonHeight() const;
    virtual int CalcButtonWidth() const;
    virtual void PaintStyleChanged() { RequestLayout(); }
    virtual void CloseUp();
    virtual void DropDown(bool ByMouse);
    // The drop-down menu closed: the button comes up, and its window's menu ends too unless the
    // closing press lies on the button or a key that moves on (Esc, Left, Right) is held.
    void MenuClosed();

    void Click(bool ByMouse) override;
    void Press(bool ByMouse) override;
    void Deselect(bool Immediately) override;
    void KeyDown(WORD Key) override;
    bool WantsKey(WORD Key) const override;
    bool IsPressed() const override;
    bool ClosesMenusOnClick() const override;
    bool CapturesMouse() const override { return !FDroppedDown; }
    void GlyphChanged() override;
    int GetDefaultHeight() const override;
    int GetDefaultWidth() const override;
    void Paint(const TRect& R, TdxBarPaintType PaintType) override;

    // The paint style in effect: without a glyph a standard toolbar button shows its caption.
    TdxBarPaintStyle RealPaintStyle() const;
    // The arrow part of a drop-down button (empty for others).
    TRect ArrowRect(const TRect& R) const;

  protected:
    void LetGo() override;

  private:
    // An open drop-down menu forgets its button and closes.
    void LetGoOfDropDown();
    bool PressedLook() const;
    void PaintInBar(HDC DC, TRect R, TdxBarPaintType PaintType);
    void PaintInMenu(HDC DC, TRect R);
    void PaintArrowPart(HDC DC, const TRect& R, bool InMenu);
    bool FDroppedDown = false;
};

class TdxBarSubItemControl : public TdxBarItemControl {
  public:
    explicit TdxBarSubItemControl(TdxBarItemLink* Link) : TdxBarItemControl(Link) {}
    ~TdxBarSubItemControl() override;

    TCustomdxBarSubItem* SubItem() const;
    // Handed to the submenu window as its permission to animate when it opens from the mouse.
    bool AnimateNextOpening = false;

    // The window of the item's links while it shows, or none.
    virtual TCustomdxBarControl* GetSubMenuControl() const;
    virtual void CreateSubMenuControl();
    virtual int CalcSubItemHeight() const;
    virtual int CalcSubItemWidth() const;
    bool IsSubItemControl() const override { return true; }

    void Select(bool Immediately) override;
    void Deselect(bool Immediately) override;
    void Press(bool ByMouse) override;
    void KeyDown(WORD Key) override;
    bool WantsKey(WORD Key) const override;
    bool ExecutesItemOnClick() const override { return false; }
    bool ClosesMenusOnClick() const override { return false; }
    bool OpensOnDblClick() const override { return true; }
    bool HandlesDblClick() const override;
    void GlyphChanged() override { RequestLayout(); }
    int GetDefaultHeight() const override;
    int GetDefaultWidth() const override;
    void Paint(const TRect& R, TdxBarPaintType PaintType) override;

  protected:
    void LetGo() override;
    // Opens the submenu window of the item's links at the place of the control.
    void OpenSubMenu();
    // The open submenu window when this control opened it.
    TdxBarSubMenuControl* OwnSubMenu() const;

  private:
    // The hover forgets the control; the submenu it opened forgets it and closes.
    void LetGoOfSubMenu();
};

class TdxBarContainerItemControl : public TdxBarSubItemControl {
  public:
    explicit TdxBarContainerItemControl(TdxBarItemLink* Link) : TdxBarSubItemControl(Link) {}
    std::string GetCaption() const override;
    bool OpensOnDblClick() const override;
    // In a menu the entry shows only while customizing: otherwise the menu lists the
    // container's entries in its place, and the entry itself takes no room.
    bool ListedInPlace() const;
    int GetDefaultHeight() const override;
    bool IsSelectable() const override;
};

// The one sub-item control of the program that waits to open (or close) its submenu because the
// pointer came to rest on it (or left it), or none.
TdxBarSubItemControl* PendingHoverControl();

// The full text of a window (an in-place editor), however long it is.
std::string GetEditText(HWND Wnd);
