#include <gtest/gtest.h>

#include <Qt>

#include "platform/core/InputImpl.h"
#include "platform/core/KeyboardLayout.h"

namespace {

// The keys Qt reports, the keys a character needs and the keys' names all come from one table;
// these are the places where a second copy would drift.
TEST(KeyboardLayout, QtKeysAndCharactersMeetOnTheSameKey) {
    for (const TLayoutKey& Key : kLayoutKeys) {
        for (char C : {Key.Plain, Key.Shifted}) {
            if (C == '\0') continue;
            const InputImpl::TKeyCode Code =
                InputImpl::KeyCodeOf(static_cast<unsigned char>(C), false, 0);
            EXPECT_EQ(Code.VirtualKey, Key.VirtualKey) << C;
            EXPECT_EQ(Code.ScanCode, Key.ScanCode) << C;
            EXPECT_EQ(VkKeyScan(C) & 0xFF, Key.VirtualKey) << C;
            EXPECT_EQ(VkKeyScan(C) >> 8, C == Key.Shifted ? 1 : 0) << C;
        }
    }
}

TEST(KeyboardLayout, KeysOfQtAndBack) {
    struct TCase {
        int QtKey;
        WORD VirtualKey;
        BYTE ScanCode;
        int Back;  // the Qt key the virtual key turns back into
    };
    const TCase kCases[] = {
        {Qt::Key_Semicolon, VK_OEM_1, 0x27, Qt::Key_Semicolon},
        {Qt::Key_Colon, VK_OEM_1, 0x27, Qt::Key_Semicolon},
        {Qt::Key_Equal, VK_OEM_PLUS, 0x0D, Qt::Key_Plus},  // the keypad's row comes first
        {Qt::Key_Underscore, VK_OEM_MINUS, 0x0C, Qt::Key_Minus},
        {Qt::Key_AsciiTilde, VK_OEM_3, 0x29, Qt::Key_QuoteLeft},
        {Qt::Key_BraceRight, VK_OEM_6, 0x1B, Qt::Key_BracketRight},
        {Qt::Key_QuoteDbl, VK_OEM_7, 0x28, Qt::Key_Apostrophe},
        {Qt::Key_Exclam, VK_1, 0x02, Qt::Key_1},
        {Qt::Key_ParenRight, VK_0, 0x0B, Qt::Key_0},
        {Qt::Key_Space, VK_SPACE, 0x39, Qt::Key_Space},
        {Qt::Key_Asterisk, VK_8, 0x09, Qt::Key_8},
    };
    for (const TCase& C : kCases) {
        const InputImpl::TKeyCode Code = InputImpl::KeyCodeOf(C.QtKey, false, 0);
        EXPECT_EQ(Code.VirtualKey, C.VirtualKey) << C.QtKey;
        EXPECT_EQ(Code.ScanCode, C.ScanCode) << C.QtKey;
        EXPECT_FALSE(Code.Extended) << C.QtKey;
        EXPECT_EQ(InputImpl::QtKeyOf(C.VirtualKey, false), C.Back) << C.QtKey;
    }
    EXPECT_EQ(VkKeyScan('\0'), -1);
    EXPECT_EQ(VkKeyScan('\xE4'), -1);
}

}  // namespace
