#pragma once
// Inside of the window layer: input translation's state and entry points.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/WindowData.h"

class QEvent;
class QWindow;

namespace InputImpl {
// Installs the application event filter that translates input for our hosts (once).
void Install();
// Qt events of hosts being translated right now (hosts are not deleted meanwhile).
int TranslationDepth();
// Translates one Qt event that reached Window; true when it was ours (and is eaten).
bool TranslateQtEvent(QWindow* Window, QEvent* Event);
// The window goes: tracking, double-click and cursor state forget it.
void ForgetWindow(HWND Wnd);
// Qt says a form's host became active or inactive (platforms with a window manager only).
void QtActivationChanged(HWND Host, bool Active);
// A wrapped control's widget follows its window's rectangle and visibility.
void PlaceWidget(TWnd& W);
// The same for W and every wrapped control below it.
void PlaceWidgets(TWnd& W);
// The virtual key, scan code and extended flag for a Qt key (0 for keys without one).
struct TKeyCode {
    WORD VirtualKey = 0;
    BYTE ScanCode = 0;
    bool Extended = false;
};
TKeyCode KeyCodeOf(int QtKey, bool Keypad, std::uint32_t NativeScanCode);
// The Qt key of a virtual key (Qt::Key_unknown when there is none).
int QtKeyOf(WORD VirtualKey, bool Extended);
// The key-state table as input arrives (the asynchronous state): a key went down or up (lock
// keys toggle on the way down).
void SetKeyDown(WORD VirtualKey, bool Down);
bool KeyDown(WORD VirtualKey);
// Input is translated as Qt delivers it, often a whole burst before the loop takes the first
// message of it; so every input message carries the table as it stood when it was translated,
// and the state GetKeyState reads becomes that table when the loop takes the message. A Tab
// taken after its Shift was already released still reads Shift down.
using TKeyTable = std::array<BYTE, 256>;
std::shared_ptr<const TKeyTable> KeySnapshot();
void TookInput(const TKeyTable& Keys);
// A typed key as the loop takes it: the WH_KEYBOARD hooks see it first; false when one ate it, or
// when its window (the focus window when it arrived) is gone or disabled now.
bool KeyReachesItsWindow(const MSG& Key);
}  // namespace InputImpl
