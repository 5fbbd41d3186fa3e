#pragma once
// A window's placement saved in and restored from a store, by the rules every window of the
// program follows. Written against the window's handle; the form-state component supplies what
// the form knows beyond its window and applies what the restore gives back to the form.
//
// Items of a window's section, all decimal text: "Flags" and "ShowCmd" (the window placement's),
// "NormalPos" (left,top,right,bottom), "PixelsPerInch", "DefaultMonitor" (fsDefaultMonitor),
// "Color", "ActiveControl" (fsActiveControl, when there is one).
//
// A store that cannot be read or written is logged, never raised: the window then opens at its
// default place, or closes without saving, and the file keeps what it held.
#include <cstdint>
#include <optional>
#include <string>

#include "components/store/OvcStore.h"
#include "platform/core/Window.h"
#include "platform/forms/Set.h"

enum TOvcFormStateOption {
    fsState,           // minimised, maximised or normal
    fsPosition,        // the normal rectangle
    fsNoSize,          // with fsPosition: only the top left corner
    fsColor,           // the form's colour
    fsActiveControl,   // the name of the focused control
    fsDefaultMonitor,  // the form's default-monitor setting
};
using TOvcFormStateOptions = TSet<TOvcFormStateOption>;

// The program does not scale its windows: every window counts as laid out at this resolution,
// and a placement saved at another one is not restored.
inline constexpr int kFormPixelsPerInch = 96;

// What the save and the restore need to know of a form besides its window.
struct TFormStateSubject {
    HWND Wnd = 0;
    bool MainForm = false;  // the application's main form
    bool ApplicationMinimized = false;
    // Receives SC_MINIMIZE for a main form restored minimised (the application's window); 0: Wnd.
    HWND ApplicationWindow = 0;
    bool PlainFormClass = false;  // a form of the plain form class, derived classes included
    bool MDIChild = false;
    bool Loading = false;
    int32_t Color = 0;
    int DefaultMonitor = 0;     // 0 desktop, 1 primary, 2 main form, 3 active form
    std::string ActiveControl;  // the focused control's name; empty: none
};

enum class TRestoredWindowState { Normal, Minimized, Maximized };

// What the form takes over from a restore; the placement itself is already set on its window.
struct TFormStateRestored {
    bool PositionDesigned = false;  // the form's position setting becomes "as designed"
    std::optional<TRestoredWindowState> WindowState;
    std::optional<int> DefaultMonitor;
    std::optional<int32_t> Color;
    bool Repaint = false;       // the form repaints at once
    std::string ActiveControl;  // a control of this name becomes the active one (empty: none)
};

// Restores the window's placement from the section (the store is opened and closed around it).
TFormStateRestored RestoreFormState(TOvcAbstractStore& Store, const std::string& Section,
                                    TOvcFormStateOptions Options, const TFormStateSubject& Form);
// Writes the section's items from the window's placement and the form's values.
void SaveFormState(TOvcAbstractStore& Store, const std::string& Section,
                   TOvcFormStateOptions Options, const TFormStateSubject& Form);
