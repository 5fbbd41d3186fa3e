#pragma once
// The loss of the display the windows are on: the X server ended, or the connection to it broke
// (a logout, a lost remote display). Qt's platform ends the process from inside its loop once it
// sees that, while the forms and whatever runs still exist, so the program ends here instead, in
// order: the handler the program set runs, then the process ends with kDisplayLostExitCode
// without the destructors of static objects.
#include <functional>

// The exit code of a program whose display went away.
inline constexpr int kDisplayLostExitCode = 1;

// The program's part: it stops what it does and saves what it can. It runs once, inside whatever
// handler was running when the display went; the loops no longer service Qt meanwhile (a pass
// delivers what is queued, a wait ends at once), and message boxes answer without showing. Its
// exceptions go to the application's exception handler.
void SetDisplayLostHandler(std::function<void()> Handler);

// Ends the program as above. Called by the watch on the user-interface thread; a second call (from
// the handler) ends the process at once.
[[noreturn]] void DisplayLost();
// True from the loss of the display on: nothing shows any more, and Qt is not asked to.
bool DisplayGone();

// Watches for the loss: Qt's xcb platform says that its connection broke just before it ends the
// process, and the watch, which sees what Qt says, calls DisplayLost on the user-interface thread
// (on another thread the process ends at once). What Qt says goes on to the handler installed
// before. TApplication::InitializeQt installs it for a QApplication on an X display.
void WatchDisplay();
