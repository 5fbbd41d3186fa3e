#pragma once
// The single-instance guard: tells start-up whether another copy of the program runs, and brings
// a window to the front, the other copy's when this process is the second one, else its own.
//
// Both copies derive one name from "PREVINST:" and the application's caption at the time the
// guard initialises. The first copy holds an exclusive lock on a file of that name in the
// runtime directory for its whole life and listens on a local socket of the same name; a
// second copy finds the lock taken and asks the first, through the socket, to come forward.
#include <functional>
#include <string>

// Sets the guard up: call once at start-up, after the Qt application object exists and before
// the application's title is changed. When the lock cannot be created or taken, this process
// counts as a second instance.
void InitializeInstanceGuard(const std::string& caption);
// Releases the lock and stops listening (shut-down; also for tests).
void FinalizeInstanceGuard();

// True only when this process took the lock.
bool IsFirstInstance();

// First instance: calls the activation handler at once. Second instance: asks the first one to
// call its handler, waiting at most a moment for the request to be delivered; nothing happens
// when no first instance listens.
void ActivateFirstInstance();

// What bringing this process's window to the front means; called on the user-interface thread,
// also when a later copy asks for it. Unset: nothing happens.
void SetInstanceActivationHandler(std::function<void()> handler);

// The directory of the lock and the socket: $XDG_RUNTIME_DIR, else /tmp.
std::string InstanceGuardDirectory();
