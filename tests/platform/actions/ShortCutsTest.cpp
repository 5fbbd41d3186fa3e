// Shortcuts: every named key with every modifier survives text and back, the program's own
// shortcuts read as the menus show them, and texts that name no key give 0.
#include <gtest/gtest.h>

#include <set>

#include "platform/actions/ShortCuts.h"
#include "platform/core/Input.h"

namespace {

TEST(ShortCuts, EveryNamedKeyWithEveryModifierRoundTrips) {
    std::set<std::string> Names;
    for (WORD Key = 0; Key <= 0xFF; ++Key) {
        const std::string Name = ShortCutToText(Key);
        if (Name.empty()) continue;
        EXPECT_TRUE(Names.insert(Name).second) << "two keys named " << Name;
        for (TShortCut Modifiers = 0; Modifiers <= 7; ++Modifiers) {
            const TShortCut Cut = TShortCut(Key | (Modifiers << 13));
            const std::string Text = ShortCutToText(Cut);
            EXPECT_EQ(TextToShortCut(Text), Cut) << Text;
        }
    }
    // Named keys, punctuation, digits, letters and F1 to F12.
    EXPECT_EQ(Names.size(), 15u + 11u + 10u + 26u + 12u);
}

TEST(ShortCuts, TheProgramsShortCutsReadAsTheMenusShowThem) {
    struct Case {
        TShortCut Cut;
        const char* Text;
    };
    const Case Cases[] = {
        {VK_F3, "F3"},
        {VK_F5, "F5"},
        {VK_F12, "F12"},
        {0x8058, "Alt+X"},
        {0x4076, "Ctrl+F7"},
        {0x4077, "Ctrl+F8"},
        {0x4046, "Ctrl+F"},  // 16454, as definitions store it
        {scCtrl | VK_UP, "Ctrl+Up"},
        {VK_INSERT, "Ins"},
        {VK_DELETE | scShift | scCtrl | scAlt, "Shift+Ctrl+Alt+Del"},
        {VK_BACK, "BkSp"},
        {VK_PRIOR, "PgUp"},
        {VK_NEXT, "PgDn"},
        {VK_RETURN, "Enter"},
        {VK_ESCAPE, "Esc"},
        {VK_SPACE | scShift, "Shift+Space"},
        {VK_OEM_PLUS | scCtrl, "Ctrl+="},
        {VK_OEM_MINUS | scCtrl, "Ctrl+-"},
        {VK_OEM_5, "\\"},
        {VK_0 | scAlt, "Alt+0"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ShortCutToText(C.Cut), C.Text);
        EXPECT_EQ(TextToShortCut(C.Text), C.Cut) << C.Text;
    }
}

TEST(ShortCuts, TextsAreReadIgnoringCaseWithModifiersInAnyOrder) {
    EXPECT_EQ(TextToShortCut("ctrl+f7"), 0x4076);
    EXPECT_EQ(TextToShortCut("ALT+x"), 0x8058);
    EXPECT_EQ(TextToShortCut("Alt+Ctrl+Shift+del"), VK_DELETE | scShift | scCtrl | scAlt);
    for (const char* Text : {"", "Ctrl+", "Shift+", "Ctrl+F13", "F0", "F25", "Control+A", "Ctrl-A",
                             "Ctrl+AB", "Ctrl +A", "Num 1", "Insert", "+", "A+"})
        EXPECT_EQ(TextToShortCut(Text), scNone) << Text;
    // Keys without a name have no text, whatever is held with them.
    for (TShortCut Cut : {TShortCut(0), TShortCut(scCtrl), TShortCut(VK_LWIN | scAlt),
                          TShortCut(VK_NUMPAD1), TShortCut(0x87)})
        EXPECT_EQ(ShortCutToText(Cut), "") << Cut;
}

TEST(ShortCuts, KeysAndShiftStatesMakeAndSplitShortCuts) {
    EXPECT_EQ(ShortCut(VK_X, {ssAlt}), 0x8058);
    EXPECT_EQ(ShortCut(VK_F7, {ssCtrl, ssShift}), VK_F7 | scCtrl | scShift);
    EXPECT_EQ(ShortCut(VK_A, {ssLeft, ssRight, ssMiddle, ssDouble}), VK_A);
    EXPECT_EQ(ShortCut(0x100, {ssCtrl}), scNone);
    WORD Key = 0;
    TShiftState Shift{ssLeft};
    ShortCutToKey(VK_A | scShift | scCtrl | scAlt, Key, Shift);
    EXPECT_EQ(Key, VK_A);
    EXPECT_EQ(Shift, (TShiftState{ssShift, ssCtrl, ssAlt}));
    ShortCutToKey(VK_F3, Key, Shift);
    EXPECT_EQ(Key, VK_F3);
    EXPECT_TRUE(Shift.Empty());
}

}  // namespace
