// Keys of the terminal control: what the control keeps for itself (copying, ending a selection),
// the translation of the keypad, and the emulator, which turns keys into bytes for the host.
#include "terminal/IpTermControl.h"

namespace {

// With Num Lock off the keypad's keys come as the navigation keys of the separate block, only
// without the extended flag; the emulator wants them as the keypad keys they are.
struct TPadKey {
    WORD Navigation;
    WORD Keypad;
};
constexpr TPadKey kPadKeys[] = {
    {VK_CLEAR, VK_NUMPAD5},  {VK_PRIOR, VK_NUMPAD9},  {VK_NEXT, VK_NUMPAD3},
    {VK_END, VK_NUMPAD1},    {VK_HOME, VK_NUMPAD7},   {VK_LEFT, VK_NUMPAD4},
    {VK_UP, VK_NUMPAD8},     {VK_RIGHT, VK_NUMPAD6},  {VK_DOWN, VK_NUMPAD2},
    {VK_INSERT, VK_NUMPAD0}, {VK_DELETE, VK_DECIMAL},
};

// The code the emulator gets for a key message: keypad keys as such (the keypad's Enter is the
// extended one), and a held key that repeats marked as repeating.
uint16_t EmulatorKey(WORD Key, LPARAM Data) {
    const bool Extended = (Data & KF_EXTENDED_BIT) != 0;
    if (!Extended && (GetKeyState(VK_NUMLOCK) & 1) == 0) {
        for (const TPadKey& P : kPadKeys)
            if (P.Navigation == Key) Key = P.Keypad;
    } else if (Extended && Key == VK_RETURN) {
        Key = VK_EXECUTE;
    }
    uint16_t Code = Key;
    if (Data & KF_REPEAT_BIT) Code += kAutoRepeatFlag;
    return Code;
}

bool IsModifier(WORD Key) {
    return Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU;
}

}  // namespace

// Before the key is dispatched: true when it was used here and goes no further.
bool TIpCustomTerminal::CNKeyDown(TMessage& Message) {
    const WORD Key = WORD(Message.WParam);
    const TShiftState Shift = KeyboardShiftState();
    if (FSelecting && Key == VK_ESCAPE) {
        CancelSelecting();
        return true;
    }
    const bool CtrlOnly =
        Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt);
    if (CtrlOnly && (Key == VK_C || Key == VK_INSERT) && FHasSelection) {
        CopyToClipboard();
        return true;
    }
    if (IsModifier(Key)) return false;
    uint16_t Code = EmulatorKey(Key, Message.LParam);
    CurrentEmulator().KeyDown(Code, Shift);
    return Code == 0;
}

void TIpCustomTerminal::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (FWantAllKeys || Key == 0) return;
    uint16_t Code = Key;
    CurrentEmulator().KeyDown(Code, Shift);
    Key = Code;
}

void TIpCustomTerminal::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key != 0) CurrentEmulator().KeyPress(Key);
}

// The Num Lock key served as PF1: the lock it toggled on the way in is toggled back.
void TIpCustomTerminal::RestoreNumLock() {
    BYTE State[256];
    GetKeyboardState(State);
    State[VK_NUMLOCK] ^= 1;
    SetKeyboardState(State);
}
