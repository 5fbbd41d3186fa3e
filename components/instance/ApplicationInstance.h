#pragma once
// The guard started with the application window (see platform/widgets/Forms.h): both copies of
// the program name the guard after the window's first caption (the program's name), then give it
// the title and make it the window that stands for them. A second copy thus asks for the window
// of class "TApplication" captioned with the title, which the first copy has; activating it
// brings the first copy's main form forward.
#include <string>

// Initialises the class library's application object when needed, starts the guard, sets the
// title and activates the first instance (the other copy's, or this one's). True when this
// process is the first instance.
bool GuardApplicationInstance(const std::string& Title);
