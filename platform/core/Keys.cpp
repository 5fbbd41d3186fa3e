// Virtual keys and scan codes of Qt keys, and the key-state table.
//
// Scan codes are those of the classic PC keyboard (set 1). Punctuation keys are mapped as they lie
// on the US layout; keys that have no virtual key of their own (letters of other layouts) get
// VK_OEM_102 and still type their characters.
#include <Qt>
#include <array>
#include <cstring>

#include "platform/core/Input.h"
#include "platform/core/InputImpl.h"
#include "platform/core/KeyboardLayout.h"

namespace {

struct TKeyRow {
    int QtKey;
    WORD VirtualKey;
    BYTE ScanCode;
    bool Extended;
};

// Keys that are the same with and without the keypad flag and type no character.
constexpr TKeyRow kKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE, 0x01, false},
    {Qt::Key_Tab, VK_TAB, 0x0F, false},
    {Qt::Key_Backtab, VK_TAB, 0x0F, false},
    {Qt::Key_Backspace, VK_BACK, 0x0E, false},
    {Qt::Key_Return, VK_RETURN, 0x1C, false},
    {Qt::Key_Enter, VK_RETURN, 0x1C, true},
    {Qt::Key_Pause, VK_PAUSE, 0x45, false},
    {Qt::Key_Print, VK_SNAPSHOT, 0x37, true},
    {Qt::Key_SysReq, VK_SNAPSHOT, 0x37, true},
    {Qt::Key_Shift, VK_SHIFT, 0x2A, false},
    {Qt::Key_Control, VK_CONTROL, 0x1D, false},
    {Qt::Key_Alt, VK_MENU, 0x38, false},
    {Qt::Key_Meta, VK_LWIN, 0x5B, true},
    {Qt::Key_Super_L, VK_LWIN, 0x5B, true},
    {Qt::Key_Super_R, VK_RWIN, 0x5C, true},
    {Qt::Key_Menu, VK_APPS, 0x5D, true},
    {Qt::Key_CapsLock, VK_CAPITAL, 0x3A, false},
    {Qt::Key_NumLock, VK_NUMLOCK, 0x45, true},
    {Qt::Key_ScrollLock, VK_SCROLL, 0x46, false},
    {Qt::Key_Help, VK_HELP, 0x00, false},
    {Qt::Key_Select, VK_SELECT, 0x00, false},
    {Qt::Key_Execute, VK_EXECUTE, 0x00, false},
    {Qt::Key_F1, VK_F1, 0x3B, false},
    {Qt::Key_F2, VK_F2, 0x3C, false},
    {Qt::Key_F3, VK_F3, 0x3D, false},
    {Qt::Key_F4, VK_F4, 0x3E, false},
    {Qt::Key_F5, VK_F5, 0x3F, false},
    {Qt::Key_F6, VK_F6, 0x40, false},
    {Qt::Key_F7, VK_F7, 0x41, false},
    {Qt::Key_F8, VK_F8, 0x42, false},
    {Qt::Key_F9, VK_F9, 0x43, false},
    {Qt::Key_F10, VK_F10, 0x44, false},
    {Qt::Key_F11, VK_F11, 0x57, false},
    {Qt::Key_F12, VK_F12, 0x58, false},
};

// Keys whose meaning depends on the keypad flag: {Qt key, main VK, main scan, main extended,
// keypad VK, keypad scan, keypad extended}.
struct TPadRow {
    int QtKey;
    WORD MainKey;
    BYTE MainScan;
    bool MainExtended;
    WORD PadKey;
    BYTE PadScan;
    bool PadExtended;
};

constexpr TPadRow kPadKeys[] = {
    {Qt::Key_Insert, VK_INSERT, 0x52, true, VK_INSERT, 0x52, false},
    {Qt::Key_Delete, VK_DELETE, 0x53, true, VK_DELETE, 0x53, false},
    {Qt::Key_Home, VK_HOME, 0x47, true, VK_HOME, 0x47, false},
    {Qt::Key_End, VK_END, 0x4F, true, VK_END, 0x4F, false},
    {Qt::Key_PageUp, VK_PRIOR, 0x49, true, VK_PRIOR, 0x49, false},
    {Qt::Key_PageDown, VK_NEXT, 0x51, true, VK_NEXT, 0x51, false},
    {Qt::Key_Left, VK_LEFT, 0x4B, true, VK_LEFT, 0x4B, false},
    {Qt::Key_Right, VK_RIGHT, 0x4D, true, VK_RIGHT, 0x4D, false},
    {Qt::Key_Up, VK_UP, 0x48, true, VK_UP, 0x48, false},
    {Qt::Key_Down, VK_DOWN, 0x50, true, VK_DOWN, 0x50, false},
    {Qt::Key_Clear, VK_CLEAR, 0x4C, false, VK_CLEAR, 0x4C, false},
    {Qt::Key_Asterisk, VK_8, 0x09, false, VK_MULTIPLY, 0x37, false},
    {Qt::Key_Plus, VK_OEM_PLUS, 0x0D, false, VK_ADD, 0x4E, false},
    {Qt::Key_Minus, VK_OEM_MINUS, 0x0C, false, VK_SUBTRACT, 0x4A, false},
    {Qt::Key_Slash, VK_OEM_2, 0x35, false, VK_DIVIDE, 0x35, true},
    {Qt::Key_Period, VK_OEM_PERIOD, 0x34, false, VK_DECIMAL, 0x53, false},
    {Qt::Key_0, VK_0, 0x0B, false, VK_NUMPAD0, 0x52, false},
    {Qt::Key_1, VK_1, 0x02, false, VK_NUMPAD1, 0x4F, false},
    {Qt::Key_2, VK_2, 0x03, false, VK_NUMPAD2, 0x50, false},
    {Qt::Key_3, VK_3, 0x04, false, VK_NUMPAD3, 0x51, false},
    {Qt::Key_4, VK_4, 0x05, false, VK_NUMPAD4, 0x4B, false},
    {Qt::Key_5, VK_5, 0x06, false, VK_NUMPAD5, 0x4C, false},
    {Qt::Key_6, VK_6, 0x07, false, VK_NUMPAD6, 0x4D, false},
    {Qt::Key_7, VK_7, 0x08, false, VK_NUMPAD7, 0x47, false},
    {Qt::Key_8, VK_8, 0x09, false, VK_NUMPAD8, 0x48, false},
    {Qt::Key_9, VK_9, 0x0A, false, VK_NUMPAD9, 0x49, false},
};

// Qt's key code of a character that is no letter is the character's code.
int QtKeyOfChar(char C) {
    return static_cast<unsigned char>(C);
}

BYTE LetterScanCode(char Letter) {
    static constexpr const char* kRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    static constexpr BYTE kStarts[] = {0x10, 0x1E, 0x2C};
    for (int Row = 0; Row < 3; ++Row)
        if (const char* At = std::strchr(kRows[Row], Letter))
            return static_cast<BYTE>(kStarts[Row] + (At - kRows[Row]));
    return 0;
}

// X keycodes of the right-hand modifier keys (evdev + 8), as the xcb platform reports them.
constexpr std::uint32_t kXRightShift = 62;
constexpr std::uint32_t kXRightControl = 105;
constexpr std::uint32_t kXRightAlt = 108;

// As input arrives.
InputImpl::TKeyTable& KeyTable() {
    static InputImpl::TKeyTable Table{};
    return Table;
}

// As of the input message the loop took last.
InputImpl::TKeyTable& TakenTable() {
    static InputImpl::TKeyTable Table{};
    return Table;
}

// While input is being translated (keyboard and mouse hooks run then) the state is the input's
// own; afterwards the state of the message being handled.
const InputImpl::TKeyTable& ReadTable() {
    return InputImpl::TranslationDepth() > 0 ? KeyTable() : TakenTable();
}

}  // namespace

InputImpl::TKeyCode InputImpl::KeyCodeOf(int QtKey, bool Keypad, std::uint32_t NativeScanCode) {
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return TKeyCode{static_cast<WORD>(QtKey), LetterScanCode(static_cast<char>(QtKey)), false};
    for (const TPadRow& Row : kPadKeys)
        if (Row.QtKey == QtKey)
            return Keypad ? TKeyCode{Row.PadKey, Row.PadScan, Row.PadExtended}
                          : TKeyCode{Row.MainKey, Row.MainScan, Row.MainExtended};
    if (QtKey == Qt::Key_Shift && NativeScanCode == kXRightShift)
        return TKeyCode{VK_SHIFT, 0x36, false};
    if (QtKey == Qt::Key_Control && NativeScanCode == kXRightControl)
        return TKeyCode{VK_CONTROL, 0x1D, true};
    if (QtKey == Qt::Key_Alt && NativeScanCode == kXRightAlt) return TKeyCode{VK_MENU, 0x38, true};
    for (const TKeyRow& Row : kKeys)
        if (Row.QtKey == QtKey) return TKeyCode{Row.VirtualKey, Row.ScanCode, Row.Extended};
    // The character keys, shifted or not, where they lie on the US layout.
    for (const TLayoutKey& Row : kLayoutKeys)
        if (QtKey == QtKeyOfChar(Row.Plain) || (Row.Shifted && QtKey == QtKeyOfChar(Row.Shifted)))
            return TKeyCode{Row.VirtualKey, Row.ScanCode, false};
    if (QtKey >= Qt::Key_F13 && QtKey <= Qt::Key_F24)
        return TKeyCode{static_cast<WORD>(VK_F1 + (QtKey - Qt::Key_F1)), 0, false};
    // AltGr (and the level-3 shift behind it) is no key of its own here.
    if (QtKey == Qt::Key_AltGr || QtKey == Qt::Key_Mode_switch) return TKeyCode{};
    // Other printable keys (letters of other layouts) still type their characters.
    if (QtKey >= Qt::Key_Space && QtKey <= 0xFF) return TKeyCode{VK_OEM_102, 0x56, false};
    return TKeyCode{};
}

int InputImpl::QtKeyOf(WORD VirtualKey, bool Extended) {
    if ((VirtualKey >= VK_A && VirtualKey <= VK_Z) || (VirtualKey >= VK_0 && VirtualKey <= VK_9))
        return VirtualKey;
    for (const TPadRow& Row : kPadKeys) {
        // Navigation keys on the keypad (not extended) and their own block (extended) are one.
        if (Row.PadKey == VirtualKey && (Row.PadKey != Row.MainKey || !Extended)) return Row.QtKey;
        if (Row.MainKey == VirtualKey && (Row.QtKey < Qt::Key_0 || Row.QtKey > Qt::Key_9))
            return Row.QtKey;
    }
    for (const TKeyRow& Row : kKeys)
        if (Row.VirtualKey == VirtualKey) return Row.QtKey;
    for (const TLayoutKey& Row : kLayoutKeys)
        if (Row.VirtualKey == VirtualKey) return QtKeyOfChar(Row.Plain);
    if (VirtualKey >= VK_F1 && VirtualKey <= VK_F24) return Qt::Key_F1 + (VirtualKey - VK_F1);
    return Qt::Key_unknown;
}

void InputImpl::SetKeyDown(WORD VirtualKey, bool Down) {
    auto& T = KeyTable();
    const BYTE Index = static_cast<BYTE>(VirtualKey & 0xFF);
    const bool Lock = Index == VK_CAPITAL || Index == VK_NUMLOCK || Index == VK_SCROLL;
    if (Down && Lock && !(T[Index] & 0x80)) T[Index] ^= 0x01;
    T[Index] = static_cast<BYTE>(Down ? (T[Index] | 0x80) : (T[Index] & ~0x80));
}

bool InputImpl::KeyDown(WORD VirtualKey) {
    return (KeyTable()[VirtualKey & 0xFF] & 0x80) != 0;
}

std::shared_ptr<const InputImpl::TKeyTable> InputImpl::KeySnapshot() {
    return std::make_shared<const TKeyTable>(KeyTable());
}

void InputImpl::TookInput(const TKeyTable& Keys) {
    TakenTable() = Keys;
}

SHORT GetKeyState(int VirtualKey) {
    const BYTE V = ReadTable()[static_cast<BYTE>(VirtualKey & 0xFF)];
    return static_cast<SHORT>(((V & 0x80) ? 0x8000 : 0) | (V & 0x01));
}

SHORT GetAsyncKeyState(int VirtualKey) {
    return static_cast<SHORT>(InputImpl::KeyDown(static_cast<WORD>(VirtualKey)) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* KeyState) {
    if (!KeyState) return FALSE;
    std::memcpy(KeyState, ReadTable().data(), 256);
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* KeyState) {
    if (!KeyState) return FALSE;
    // Both: what is set is read now, and input arriving later goes on from it.
    std::memcpy(KeyTable().data(), KeyState, 256);
    std::memcpy(TakenTable().data(), KeyState, 256);
    return TRUE;
}

SHORT VkKeyScan(char C) {
    if (C >= 'a' && C <= 'z') return SHORT(VK_A + (C - 'a'));
    if (C >= 'A' && C <= 'Z') return SHORT(0x100 | (VK_A + (C - 'A')));
    for (const TLayoutKey& K : kLayoutKeys) {
        if (C == K.Plain) return SHORT(K.VirtualKey);
        if (C == K.Shifted && C != '\0') return SHORT(0x100 | K.VirtualKey);
    }
    return -1;
}
