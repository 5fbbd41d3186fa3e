// Moving a bar with the mouse: the drag loop, the search for a dock site under the cursor and
// the docking delay. A floating bar docks only once the cursor rested over a site's zone for the
// manager's WaitForDockingTime, so that a bar dragged across the form does not jump into every
// site it passes; Ctrl keeps it floating.
#include "bars/windows/dxBarMove.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarTimers.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarUtils.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Input.h"
#include "platform/core/Messages.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/RectMath.h"

namespace {

bool ControlDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

constexpr TdxBarDockingStyle kTargetOrder[] = {dsLeft, dsRight, dsTop, dsBottom};

// The movers of the moves going on now (one at most, for the one mouse).
std::vector<TdxBarMover*>& Movers() {
    static std::vector<TdxBarMover*> List;
    return List;
}

}  // namespace

TdxBarMover::TdxBarMover(TdxBarManager* Manager) : FBarManager(Manager) {
    Movers().push_back(this);
}

TdxBarMover::~TdxBarMover() {
    auto& List = Movers();
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
}

TdxBarDragEnd TdxBarMover::MoveLoop(TdxBarControl* Window, const std::function<bool()>& GiveUp) {
    TdxBarMover Mover(Window->BarManager());
    return Mover.Loop(Window, GiveUp);
}

TdxBarControl* TdxBarMover::MovingBarControl(const TdxBarManager* Manager) {
    for (const TdxBarMover* Mover : Movers())
        if (Mover->FBarManager == Manager && Mover->FDragging) return Mover->FMovingWindow;
    return nullptr;
}

TdxBarDockingStyle TdxBarMover::FindDockTarget(TdxBar* Bar, TPoint Cursor,
                                               TdxDockControl*& Site) const {
    Site = nullptr;
    if (FDragging && ControlDown()) return dsNone;
    TdxBarManager* M = FBarManager;
    auto Search = [&](TPoint Point) {
        for (TdxBarDockingStyle Style : kTargetOrder)
            for (int I = 0; I < M->DockControlCount(); ++I) {
                TdxDockControl* Candidate = M->DockControls(I);
                if (!Candidate || Candidate->DockingStyle() != Style ||
                    !Candidate->HandleAllocated() || !IsWindowVisible(Candidate->Handle()) ||
                    !Candidate->CanDock(Bar) || !M->CanDockBar(Bar, Style, Candidate))
                    continue;
                const RECT Zone = Candidate->DockingZone();
                if (!PtInRect(&Zone, POINT{Point.X, Point.Y})) continue;
                Site = Candidate;
                return Style;
            }
        return dsNone;
    };
    const TdxBarDockingStyle Found = Search(Cursor);
    if (Found != dsNone || !FDragging || !FMovingWindow || FMovingWindow->Bar() != Bar)
        return Found;
    // A bar held far from its corner (a wide floating bar by the middle of its caption) also
    // docks when the bar itself, not the pointer, reaches a site.
    const TPoint Grab = FMovingWindow->GetGrabOffset(FMovingWindow->DockingStyle());
    return Search(TPoint{Cursor.X - Grab.X, Cursor.Y - Grab.Y});
}

void TdxBarMover::MoveBar(TdxBarControl* Window, TPoint Cursor) {
    TdxBar* Bar = Window->Bar();
    Window->KeepDockedWidthForFloating();
    TdxBarManager* M = FBarManager;
    TdxDockControl* Site = nullptr;
    TdxBarDockingStyle Style = FindDockTarget(Bar, Cursor, Site);
    if (!M->CanDockBar(Bar, Style, Site)) return;
    if (Style == dsNone) dxBarKillTimer(FDockingTimer);
    if (Window->IsFloating() && Style != dsNone && !FDockingTimerFired) {
        // Docking waits until the cursor rests: every move starts the wait again.
        dxBarKillTimer(FDockingTimer);
        FDockingTimer = dxBarTimers().SetTimer(UINT(M->WaitForDockingTime()), [this, Window] {
            dxBarKillTimer(FDockingTimer);
            if (!FDragging || FMovingWindow != Window) return;
            const TFlagScope TimerFired(FDockingTimerFired);
            MoveBar(Window, ToTPoint(CursorNow()));
        });
        Style = dsNone;
        Site = nullptr;
    }
    const TPoint Grab = Window->GetGrabOffset(Style);
    const TPoint At{Cursor.X - Grab.X, Cursor.Y - Grab.Y};
    if (Style == Window->DockingStyle() && Site == Window->DockControl()) {
        if (Style == dsNone)
            SetWindowPos(Window->Handle(), 0, At.X, At.Y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        else
            Site->MoveBarInSite(Window, At);
        return;
    }
    if (Window->HandleAllocated()) ShowWindow(Window->Handle(), SW_HIDE);
    if (TdxDockControl* Old = Window->DockControl()) {
        Old->RemoveBar(Window, true);
        Bar->ItemLinks()->SetRecentItemCount(-1);
    }
    if (Site) {
        Window->DockTo(Site, Style);
        Site->InsertBar(Window, At, false, true);
    } else {
        Window->DockTo(nullptr, dsNone);
        const TSize Size = Window->GetSizeForStyle(dsNone);
        Window->SetBounds(At.X, At.Y, Size.cx, Size.cy);
    }
    ShowWindow(Window->Handle(), SW_SHOWNA);
    M->DoBarDockingStyleChange(Bar);
}

void TdxBarMover::CenterGrabInRow(TdxBarControl* Window) {
    TdxDockControl* Site = Window->DockControl();
    const int Row = Site ? Site->RowOfBar(Window) : -1;
    if (Row < 0) return;
    // A bar alone in its row takes the row with it when it leaves: only a new row there can
    // bring it back.
    const bool NewRow = Window->Bar()->OneOnRow || Site->Rows(Row)->ColCount() == 1;
    TPoint Place = Site->ClientToScreen(TPoint{Window->Left(), Window->Top()});
    Site->RemoveBar(Window, false);
    // The grab is taken from the middle of what keeps the bar in its row, so that a small slip
    // of the hand either way across the site leaves it there.
    if (const std::optional<int> Middle = Site->RowZoneMiddle(Row, NewRow)) {
        const TPoint Origin = Site->ClientToScreen(TPoint{0, 0});
        TPoint Grab = Window->GetGrabOffset(Window->DockingStyle());
        const TPoint Press{Place.X + Grab.X, Place.Y + Grab.Y};
        if (Site->IsHorizontal()) {
            Place.Y = Origin.Y + *Middle;
            Grab.Y = Press.Y - Place.Y;
        } else {
            Place.X = Origin.X + *Middle;
            Grab.X = Press.X - Place.X;
        }
        Window->SetStartGrabOffset(Grab);
    }
    Site->InsertBar(Window, Place, false, false);
}

TdxBarDragEnd TdxBarMover::Loop(TdxBarControl* Window, const std::function<bool()>& GiveUp) {
    TdxBar* Bar = Window->Bar();
    if (std::all_of(std::begin(kTargetOrder), std::end(kTargetOrder),
                    [&](TdxBarDockingStyle S) { return Bar->NotDocking.Contains(S); }) &&
        Bar->NotDocking.Contains(dsNone))
        return TdxBarDragEnd::Ended;
    // Code outside the window's own handlers (a detached submenu's) may free it during the loop.
    const TBarWindowRef<TdxBarControl> Held(Window);
    FDragging = true;
    FMovingWindow = Window;
    TdxBars* Bars = FBarManager->Bars();
    Bars->SetDragging(true);
    Window->SetMoving(true);
    CenterGrabInRow(Window);
    const TdxBarDragEnd End =
        RunDragLoop([&](bool) { MoveBar(Window, ToTPoint(CursorNow())); },
                    [&] { return BarWindowGone(Held) || (GiveUp && GiveUp()); });
    dxBarKillTimer(FDockingTimer);
    FDragging = false;
    FMovingWindow = nullptr;
    Bars->SetDragging(false);
    if (BarWindowGone(Held)) return End;
    Window->SetMoving(false);
    if (TdxDockControl* Site = Window->DockControl()) Site->StoreColumnPositions();
    return End;
}
