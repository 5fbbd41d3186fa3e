// Building and reading menus: items by position and by command (into submenus), states, the
// default item, removing and deleting, and handles that are not menus.
#include <gtest/gtest.h>

#include "platform/menus/Menus.h"

namespace {

constexpr UINT kNone = 0xFFFFFFFFu;

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Menu = CreatePopupMenu();
        Sub = CreatePopupMenu();
        ASSERT_TRUE(AppendMenu(Sub, MF_STRING, 21, "&Inner"));
        ASSERT_TRUE(AppendMenu(Menu, MF_STRING, 1, "&Open\tCtrl+O"));
        ASSERT_TRUE(AppendMenu(Menu, MF_SEPARATOR, 0, nullptr));
        ASSERT_TRUE(AppendMenu(Menu, MF_POPUP, UINT_PTR(Sub), "&More"));
        ASSERT_TRUE(AppendMenu(Menu, MF_STRING | MF_GRAYED, 3, "E&xit"));
    }
    void TearDown() override { DestroyMenu(Menu); }
    HMENU Menu = 0, Sub = 0;
};

TEST_F(MenuTest, ItemsAreFoundByPositionAndByCommandInsideSubmenus) {
    EXPECT_EQ(GetMenuItemCount(Menu), 4);
    EXPECT_EQ(GetMenuItemID(Menu, 0), 1u);
    EXPECT_EQ(GetMenuItemID(Menu, 2), kNone);  // a submenu's item
    EXPECT_EQ(GetMenuItemID(Menu, 9), kNone);
    EXPECT_EQ(GetSubMenu(Menu, 2), Sub);
    EXPECT_EQ(GetMenuString(Menu, 21, MF_BYCOMMAND), "&Inner");
    EXPECT_EQ(GetMenuString(Menu, 0, MF_BYPOSITION), "&Open\tCtrl+O");
    struct TCase {
        UINT Id;
        UINT Flags;
        UINT State;
    };
    const TCase Cases[] = {
        {1, MF_BYCOMMAND, 0},
        {1, MF_BYPOSITION, MF_SEPARATOR},
        {2, MF_BYPOSITION, MF_POPUP | (1u << 8)},
        {3, MF_BYCOMMAND, MF_GRAYED},
        {21, MF_BYCOMMAND, 0},
        {99, MF_BYCOMMAND, kNone},
    };
    for (const TCase& C : Cases) EXPECT_EQ(GetMenuState(Menu, C.Id, C.Flags), C.State) << C.Id;
}

TEST_F(MenuTest, CheckAndEnableReturnWhatWasBefore) {
    EXPECT_EQ(CheckMenuItem(Menu, 1, MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(Menu, 1, MF_CHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(GetMenuState(Menu, 1, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(Menu, 21, MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(Menu, 0, MF_BYPOSITION | MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(Menu, 77, MF_CHECKED), DWORD(kNone));
    EXPECT_EQ(EnableMenuItem(Menu, 3, MF_ENABLED), BOOL(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(Menu, 3, MF_DISABLED), BOOL(MF_ENABLED));
    EXPECT_EQ(GetMenuState(Menu, 3, MF_BYCOMMAND), MF_DISABLED);
}

TEST_F(MenuTest, OneDefaultItemPerMenu) {
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, 0), kNone);
    EXPECT_TRUE(SetMenuDefaultItem(Menu, 1, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, 0), 1u);
    EXPECT_TRUE(SetMenuDefaultItem(Menu, 3, TRUE));
    EXPECT_EQ(GetMenuDefaultItem(Menu, TRUE, GMDI_USEDISABLED), 3u);
    EXPECT_EQ(GetMenuState(Menu, 1, MF_BYCOMMAND) & MF_DEFAULT, 0u);
    // A disabled default counts only when asked for.
    EXPECT_TRUE(SetMenuDefaultItem(Menu, 3, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, 0), kNone);
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, GMDI_USEDISABLED), 3u);
    // Items of submenus are not this menu's default.
    EXPECT_FALSE(SetMenuDefaultItem(Menu, 21, FALSE));
    EXPECT_TRUE(SetMenuDefaultItem(Menu, kNone, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, GMDI_USEDISABLED), kNone);
}

TEST_F(MenuTest, InsertModifyRemoveAndDelete) {
    EXPECT_TRUE(InsertMenu(Menu, 3, MF_BYCOMMAND | MF_STRING, 4, "&Close"));
    EXPECT_EQ(GetMenuItemID(Menu, 3), 4u);
    EXPECT_TRUE(InsertMenu(Menu, 0, MF_BYPOSITION | MF_STRING, 5, "First"));
    EXPECT_TRUE(InsertMenu(Menu, 100, MF_BYPOSITION | MF_STRING, 6, "Last"));
    EXPECT_EQ(GetMenuItemID(Menu, 0), 5u);
    EXPECT_EQ(GetMenuItemID(Menu, GetMenuItemCount(Menu) - 1), 6u);
    EXPECT_FALSE(InsertMenu(Menu, 99, MF_BYCOMMAND, 7, "x"));
    // Inserted before a submenu's item by command: into the submenu.
    EXPECT_TRUE(InsertMenu(Menu, 21, MF_BYCOMMAND, 20, "Before inner"));
    EXPECT_EQ(GetMenuItemID(Sub, 0), 20u);

    EXPECT_TRUE(ModifyMenu(Menu, 1, MF_BYCOMMAND | MF_STRING | MF_CHECKED, 11, "&Reopen"));
    EXPECT_EQ(GetMenuString(Menu, 11, MF_BYCOMMAND), "&Reopen");
    EXPECT_EQ(GetMenuState(Menu, 11, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(GetMenuState(Menu, 1, MF_BYCOMMAND), kNone);

    MENUITEMINFO Info;
    Info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
    Info.wID = 12;
    Info.fState = MFS_CHECKED;
    Info.Text = "Info item";
    EXPECT_TRUE(InsertMenuItem(Menu, 0, TRUE, &Info));
    MENUITEMINFO Read;
    Read.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
    EXPECT_TRUE(GetMenuItemInfo(Menu, 12, FALSE, &Read));
    EXPECT_EQ(Read.Text, "Info item");
    EXPECT_EQ(Read.fState, UINT(MFS_CHECKED));

    // Removing keeps the submenu alive; deleting destroys it.
    const int Position = [&] {
        for (int I = 0; I < GetMenuItemCount(Menu); ++I)
            if (GetSubMenu(Menu, I) == Sub) return I;
        return -1;
    }();
    ASSERT_GE(Position, 0);
    EXPECT_TRUE(RemoveMenu(Menu, UINT(Position), MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(Sub));
    EXPECT_TRUE(InsertMenu(Menu, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(Sub), "Again"));
    EXPECT_TRUE(DeleteMenu(Menu, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(Sub));
    EXPECT_FALSE(DeleteMenu(Menu, 99, MF_BYCOMMAND));
}

TEST_F(MenuTest, HandlesThatAreNotMenusAndMenusThatHoldThemselves) {
    const HMENU Gone = CreatePopupMenu();
    DestroyMenu(Gone);
    EXPECT_FALSE(IsMenu(Gone));
    EXPECT_FALSE(IsMenu(0));
    EXPECT_EQ(GetMenuItemCount(Gone), -1);
    EXPECT_FALSE(AppendMenu(Gone, MF_STRING, 1, "x"));
    EXPECT_FALSE(AppendMenu(Menu, MF_POPUP, UINT_PTR(Gone), "Dead submenu"));
    EXPECT_FALSE(DestroyMenu(Gone));
    // A menu inside itself: searches stop at the depth limit instead of running forever.
    ASSERT_TRUE(AppendMenu(Sub, MF_POPUP, UINT_PTR(Sub), "Loop"));
    EXPECT_EQ(GetMenuState(Menu, 12345, MF_BYCOMMAND), kNone);
    EXPECT_EQ(GetMenuState(Menu, 21, MF_BYCOMMAND), 0u);
    // A long text is cut to the limit, not refused.
    const std::string Long(100000, 'x');
    EXPECT_TRUE(AppendMenu(Menu, MF_STRING, 50, Long.c_str()));
    EXPECT_LT(GetMenuString(Menu, 50, MF_BYCOMMAND).size(), Long.size());
}

}  // namespace
