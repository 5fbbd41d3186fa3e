#pragma once
// Scroll bars in the non-client area of a control that draws itself (the list boxes): the
// classic look (arrow buttons, a dithered track, a raised thumb whose length shows the page),
// hit testing, and the mouse: a press on an arrow or on the track scrolls by a line or a page
// and repeats while the button is held (WM_TIMER kRepeatTimer), the thumb can be dragged. The
// window learns of it as it would from a window scroll bar: WM_VSCROLL / WM_HSCROLL to itself
// with SB_* codes (SB_THUMBTRACK while dragging, SB_THUMBPOSITION when let go, SB_ENDSCROLL at
// the end) and a null LParam.
//
// The control's procedure calls in: CalcSize from WM_NCCALCSIZE (after the frame is taken off),
// HitTest from WM_NCHITTEST, Paint from WM_NCPAINT (after the frame), Press for WM_NCLBUTTONDOWN
// on a bar (or a press it captured), Move / Release for the mouse messages while Tracking(),
// Repeat for its timer and Cancel when the capture goes elsewhere.
#include "platform/core/ScrollBar.h"
#include "platform/core/Window.h"

// The bar and request codes are the window layer's (platform/core/ScrollBar.h).

// The left button as the input left it. A press that is handled late may find its release gone
// by already, to wherever the pointer was: tracking that starts then ends at once.
bool LeftButtonHeld();

// Positions Min..Max, of which Page show at once; Pos is the first one shown.
struct TScrollRange {
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Pos = 0;
    friend bool operator==(const TScrollRange&, const TScrollRange&) = default;
};

class TNcScrollBars {
  public:
    static constexpr UINT_PTR kRepeatTimer = 0x5C01;

    explicit TNcScrollBars(HWND Wnd) : FWnd(Wnd) {}

    // A bar shows when the window has its style (WS_VSCROLL, WS_HSCROLL) and the range holds more
    // than a page, or, kept, always (greyed while not needed). True when a bar appeared or went:
    // the frame has been recomputed then (the client area changed).
    bool Set(int Bar, const TScrollRange& Range);
    void KeepWhenNotNeeded(bool Keep) { FKeep = Keep; }
    const TScrollRange& Range(int Bar) const { return FBars[Bar].Range; }
    bool Shown(int Bar) const { return FBars[Bar].Shown; }
    // Where the thumb is while it is dragged; the position otherwise.
    int TrackPos(int Bar) const;

    void CalcSize(RECT& Client) const;
    // HTVSCROLL, HTHSCROLL, or HTNOWHERE off the bars.
    LRESULT HitTest(POINT Screen) const;
    void Paint() const;

    // False when the point is on no bar.
    bool Press(POINT Screen);
    bool Tracking() const { return FTrack.Part != TPart::None; }
    void Move(POINT Screen);
    void Release(POINT Screen);
    void Repeat();
    void Cancel();

  private:
    enum class TPart { None, LessArrow, LessPage, Thumb, MorePage, MoreArrow };
    struct TBar {
        TScrollRange Range;
        bool Shown = false;
    };
    // A bar's parts along its length, in window coordinates.
    struct TLayout {
        RECT Bar{};
        bool Vertical = true;
        int Start = 0;  // first pixel along the bar
        int End = 0;
        int Arrow = 0;  // length of each arrow button
        bool Enabled = false;
        bool HasThumb = false;
        int ThumbStart = 0;
        int ThumbLength = 0;
    };
    struct TTrack {
        int Bar = SB_VERT;
        TPart Part = TPart::None;
        bool Over = false;
        bool OwnCapture = false;
        int Grab = 0;  // pointer offset into the thumb
        int Pos = 0;
    };

    RECT ClientInWindow() const;
    POINT WindowOrigin() const;
    TLayout Layout(int Bar, int Pos) const;
    TPart PartAt(const TLayout& L, int Along) const;
    int AlongOf(const TLayout& L, POINT Screen) const;
    RECT PartRect(const TLayout& L, int From, int To) const;
    int PosOfThumb(const TLayout& L, int ThumbStart) const;
    void PaintBar(HDC DC, int Bar) const;
    // The tracked part follows the pointer (the thumb moves, an arrow shows pushed or not).
    void Follow(POINT Screen);
    void Send(WORD Code, int Pos);
    void Step();
    void End();
    bool Needed(int Bar) const;

    HWND FWnd;
    TBar FBars[2];
    bool FKeep = false;
    TTrack FTrack;
};
