#pragma once
// Moving a bar with the mouse. A move lasts while the button is held: its mover holds the window
// being moved and the docking delay, and tells the manager's bars that one of them is dragged
// (TdxBars::Dragging) until it ends.
#include <functional>

#include "bars/model/dxBarTypes.h"
#include "bars/windows/dxBarControl.h"
#include "platform/gdi/Graphics.h"

class TdxBarMover {
  public:
    // Drags the window until the button is released (Esc ends it where it is): it floats, or
    // docks into a site whose zone the cursor has rested in for the manager's
    // WaitForDockingTime; with Ctrl held it stays floating. The drag is also given up, with
    // the bar where it last was, once GiveUp answers true.
    static TdxBarDragEnd MoveLoop(TdxBarControl* Window, const std::function<bool()>& GiveUp = {});
    // The manager's bar window being moved now (none).
    static TdxBarControl* MovingBarControl(const TdxBarManager* Manager);

    TdxBarMover(const TdxBarMover&) = delete;
    TdxBarMover& operator=(const TdxBarMover&) = delete;

  private:
    explicit TdxBarMover(TdxBarManager* Manager);
    ~TdxBarMover();

    TdxBarDragEnd Loop(TdxBarControl* Window, const std::function<bool()>& GiveUp);
    // One step of the drag to the cursor's screen point.
    void MoveBar(TdxBarControl* Window, TPoint Cursor);
    // The site (none: floating) and style the bar docks into at the cursor.
    TdxBarDockingStyle FindDockTarget(TdxBar* Bar, TPoint Cursor, TdxDockControl*& Site) const;
    // At the start of a docked bar's move: the grab across the site is taken from the middle
    // of the zones that keep the bar in its row.
    void CenterGrabInRow(TdxBarControl* Window);

    TdxBarManager* FBarManager;
    bool FDragging = false;
    TBarWindowRef<TdxBarControl> FMovingWindow;
    UINT_PTR FDockingTimer = 0;
    bool FDockingTimerFired = false;
};
