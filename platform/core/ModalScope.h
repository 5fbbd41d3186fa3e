#pragma once
// What a window that runs modal does to the rest of the program, for modal forms and the
// dialogs alike: while the scope lives, the mouse capture is cancelled and every other visible,
// enabled top-level window is disabled in the window layer (its input is blocked; it is not
// greyed). When the scope ends, those windows that still exist are enabled again and the window
// that was active before becomes active again.
#include <vector>

#include "platform/core/Window.h"

class TModalScope {
  public:
    // Modal is the window that stays enabled; it must exist already.
    explicit TModalScope(HWND Modal);
    ~TModalScope() { End(); }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

    // Ends the scope early (a dialog gives the activation back before its window goes, so that
    // it never falls to an unrelated window); later calls do nothing.
    void End();
    // The window that was active when the scope began (0: none).
    HWND Previous() const { return FPrevious; }

  private:
    std::vector<HWND> FDisabled;
    HWND FPrevious = 0;
    bool FEnded = false;
};
