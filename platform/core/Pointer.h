#pragma once
// The pointer as the program's own code asks about it: where the cursor is now, which of the
// logical buttons are down, and whether a window hears when the pointer leaves it.
#include "platform/classes/WinTypes.h"

// The tracked cursor position now (GetCursorPos), in screen coordinates.
POINT CursorNow();

// The logical left and right buttons, as the input stands now (swapped buttons swap them).
bool IsPrimaryButtonDown();
bool IsSecondaryButtonDown();

// Mouse-leave tracking: the window gets WM_MOUSELEAVE once the pointer leaves it. Stopping the
// tracking of a window that is tracked sends it WM_MOUSELEAVE at once, as if the pointer left.
void StartMouseTracking(HWND Wnd);
void StopMouseTracking(HWND Wnd);
bool IsMouseTracked(HWND Wnd);
