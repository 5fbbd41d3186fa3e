#pragma once
// The keys of the US keyboard layout that type characters other than letters: the number row,
// the punctuation keys and the space bar, with their virtual keys, their scan codes (set 1) and
// the characters they type without and with Shift. Letters are their own virtual keys ('A' to
// 'Z', scan codes by row). Everything that reads the layout (the keys of Qt's key codes, the
// names of shortcut keys, the key that types a character) reads it from this one table.
#include "platform/core/Input.h"

struct TLayoutKey {
    WORD VirtualKey;
    BYTE ScanCode;
    char Plain;
    char Shifted;  // '\0' when Shift types nothing else
};

inline constexpr TLayoutKey kLayoutKeys[] = {
    {VK_1, 0x02, '1', '!'},         {VK_2, 0x03, '2', '@'},          {VK_3, 0x04, '3', '#'},
    {VK_4, 0x05, '4', '$'},         {VK_5, 0x06, '5', '%'},          {VK_6, 0x07, '6', '^'},
    {VK_7, 0x08, '7', '&'},         {VK_8, 0x09, '8', '*'},          {VK_9, 0x0A, '9', '('},
    {VK_0, 0x0B, '0', ')'},         {VK_OEM_MINUS, 0x0C, '-', '_'},  {VK_OEM_PLUS, 0x0D, '=', '+'},
    {VK_OEM_COMMA, 0x33, ',', '<'}, {VK_OEM_PERIOD, 0x34, '.', '>'}, {VK_OEM_2, 0x35, '/', '?'},
    {VK_OEM_1, 0x27, ';', ':'},     {VK_OEM_7, 0x28, '\'', '"'},     {VK_OEM_4, 0x1A, '[', '{'},
    {VK_OEM_6, 0x1B, ']', '}'},     {VK_OEM_5, 0x2B, '\\', '|'},     {VK_OEM_3, 0x29, '`', '~'},
    {VK_SPACE, 0x39, ' ', '\0'},
};

// The key that types a character: the virtual key in the low byte, the shift state in the high
// byte (1 Shift, 2 Ctrl); -1 for a character no key types.
SHORT VkKeyScan(char C);

// The punctuation keys: those whose name is the character they type.
constexpr bool IsPunctuationKey(const TLayoutKey& Key) {
    return !(Key.VirtualKey >= VK_0 && Key.VirtualKey <= VK_9) && Key.VirtualKey != VK_SPACE;
}
