#pragma once
// The single-instance guard: tells start-up whether another copy of the program runs, and brings
// a window to the front, the other copy's when this process is the second one, else its own.
//
// Both copies derive one name from "PREVINST:" and the application's caption at the time the
// guard initialises. The first copy holds an exclusive lock on a file of that name in the
// runtime directory for its whole life and listens on a local socket of the same name. A
// second copy finds the lock taken and sends the first the class and caption of its own
// application window; the first brings forward its top-level window of that class and caption,
// if it has one. The lock goes with the process that holds it, so only a live first copy counts.
#include <string>

#include "platform/classes/WinTypes.h"

// Sets the guard up: call once at start-up, after the Qt application object exists and before
// the application's title is changed. When the lock file cannot be created or locked for any
// reason but another copy holding it, that is logged and this process counts as the first one:
// a broken runtime directory must not keep the program from starting.
void InitializeInstanceGuard(const std::string& caption);
// Releases the lock and stops listening (shut-down; also for tests).
void FinalizeInstanceGuard();

// True unless another live copy holds the lock.
bool IsFirstInstance();

// The window that stands for this application (its application window, or its main window):
// what a first copy brings forward itself, and whose class and caption a second copy sends.
// 0: none. Without one a second copy sends the application's title as the caption and lets any
// class match.
void SetInstanceWindow(HWND Wnd);

// First instance: restores its window when it is minimised, else makes its last active popup
// (the window itself when it has none) the foreground window. Second instance: asks the first
// one, waiting at most a moment for the request to be delivered; nothing happens when no first
// instance listens or it has no matching window.
void ActivateFirstInstance();

// The directory of the lock and the socket: $XDG_RUNTIME_DIR, else /tmp.
std::string InstanceGuardDirectory();
