#pragma once
// The window a frame shows its document in: it lays the document out at its width, paints the
// part in view, scrolls with its two bars and the wheel, selects text with the mouse, follows
// the anchor under the mouse (hand cursor, hint) and reports clicks to its frame.
//
// Mouse: a press and release within 3 pixels of each other in both directions is a click (a
// left click on a link is a hot click); moving further with the left button down selects.
// Each notch of the wheel scrolls eight lines of 8 pixels.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "platform/widgets/Forms.h"

class TIpHtmlFocusRect;
class TIpHtmlInternalPanel;

// One of the inner panel's scroll bars: a position within the part of the page that does not
// fit, moved by lines (Increment) and pages (the client size).
class TIpHtmlScrollBar {
  public:
    TIpHtmlScrollBar(TIpHtmlInternalPanel& Owner, int Kind);

    // SB_HORZ or SB_VERT.
    int Kind() const { return FKind; }
    int Position() const { return FPosition; }
    // Kept within 0 and the part that does not fit; moves the view and repaints.
    void SetPosition(int Value);
    // The extent of the page along the bar.
    int Range() const { return FRange; }
    void SetRange(int Value);
    // The largest position: the range less what the client area shows.
    int MaxPosition() const;
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // A WM_HSCROLL / WM_VSCROLL request.
    void Scroll(WORD Request);
    // Puts range, page and position on the window's bar.
    void Update();

    int Increment = 8;
    int PageIncrement = 80;
    bool Tracking = true;
    // Looks of the class library's bars; the window's bars keep the classic look.
    int Margin = 10;
    int Size = 0;
    int ButtonSize = 0;
    TColor Color = clBtnHighlight;
    bool ParentColor = true;
    bool Smooth = false;

  private:
    int ClientExtent() const;
    TIpHtmlInternalPanel& FOwner;
    int FKind;
    int FPosition = 0;
    int FRange = 0;
    bool FVisible = true;
};

class TIpHtmlInternalPanel : public TCustomControl {
  public:
    explicit TIpHtmlInternalPanel(TComponent* AOwner);
    ~TIpHtmlInternalPanel() override;

    // The document shown (none: the panel only fills). Its anchors get focus windows (see
    // TIpHtmlFocusRect) for as long as it is shown.
    TIpHtml* Html() const { return FHtml; }
    void SetHtml(TIpHtml* Value);
    const std::vector<TIpHtmlFocusRect*>& FocusRects() const { return FFocusRects; }
    // Hides both bars for good (a frame with scrolling "no").
    void SetNoScrollBars(bool Value);
    bool NoScrollBars() const { return FNoScrollBars; }
    // Whether the owning panel shows hints and lets the mouse select text.
    bool ShowHints = true;
    bool AllowTextSelect = true;

    TIpHtmlScrollBar& HScroll() { return FHScroll; }
    TIpHtmlScrollBar& VScroll() { return FVScroll; }
    // The page point at the client area's top-left corner.
    TIpHtmlPoint ViewOrigin() const { return {FHScroll.Position(), FVScroll.Position()}; }
    const TIpHtmlRect& PageRect() const { return FPageRect; }

    // Lays the document out at the client width and sets the bars from the page it gives.
    void DoLayout();
    // Scrolls so that R (page coordinates) shows: its far edge when it fits, else its near edge.
    void ScrollInView(const TIpHtmlRect& R);
    // Scrolls R towards the top of the view (as for an anchor jumped to); 0,0,1,1 is the
    // document's top.
    void ScrollInViewRaw(const TIpHtmlRect& R);
    // Scrolls by as much as P lies outside the client area.
    void ScrollPtInView(TIpHtmlPoint P);
    void Home() { ScrollInView({0, 0, 1, 1}); }

    // The hint shown for the anchor or object under the mouse.
    const std::string& HintText() const { return FHintText; }
    bool HintShown() const { return FHintShown; }

    // To the frame: the thing under the mouse changed, a link was clicked, the panel was.
    std::function<void()> OnHotChange;
    std::function<void()> OnCurElementChange;
    std::function<void()> OnHotClick;
    std::function<void()> OnPanelClick;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  private:
    friend class TIpHtmlScrollBar;
    void MakeFocusRects();
    void FreeFocusRects();
    void ViewMoved();
    void Wheel(int Delta);
    void UpdateCursor();
    std::string HintOfMouse();
    void UpdateHint(int X, int Y);
    void ShowHint(int X, int Y);
    void HideHint();

    TIpHtml* FHtml = nullptr;
    TIpHtmlScrollBar FHScroll;
    TIpHtmlScrollBar FVScroll;
    TIpHtmlRect FPageRect;
    bool FNoScrollBars = false;
    bool FLayingOut = false;

    std::vector<TIpHtmlFocusRect*> FFocusRects;
    std::vector<TWinControl*> FFocusHolders;
    THintWindow* FHintWindow = nullptr;
    std::string FHintText;
    std::string FShownHint;
    TPoint FHintPos;
    bool FHintShown = false;

    TPoint FDownPoint;
    bool FMouseDown = false;
    bool FSelectPending = false;
    bool FSelecting = false;
    TIpHtmlPoint FSelStart{-1, -1};
    TIpHtmlPoint FSelEnd{-1, -1};
};

// A small window that takes the keyboard focus for an anchor, so that Tab steps through the
// links: the anchor shows itself focused (and scrolls into view) while the window has it.
class TIpHtmlFocusRect : public TWinControl {
  public:
    TIpHtmlFocusRect(TComponent* AOwner, TIpHtmlNodeA* Anchor);
    TIpHtmlNodeA* Anchor() const { return FAnchor; }

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;

  private:
    TIpHtmlNodeA* FAnchor;
};
