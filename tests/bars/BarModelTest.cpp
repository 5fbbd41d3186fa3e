// The bar manager's model without windows: the main window's definition, defaults, categories,
// groups, items, links and their usage record.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "platform/forms/Filer.h"
#include "platform/forms/FormDefinitions.h"
#include "tests/bars/BarTestSupport.h"

namespace {

TEST(MainWindowBars, LoadFromTheWindowsDefinition) {
    TBarsForm Form = TBarsForm::FromDefinition("TFormMain");
    TdxBarManager* M = Form.Manager();
    ASSERT_NE(M, nullptr);
    EXPECT_EQ(M->Style(), bmsFlat);
    EXPECT_TRUE(M->UseSystemFont());
    EXPECT_TRUE(M->UseFullReset);
    EXPECT_TRUE(M->ShowShortCutInHint());
    EXPECT_EQ(M->MostRecentItemsPercents(), 100);
    EXPECT_FALSE(M->MenusShowRecentItemsFirst());
    ASSERT_EQ(M->Bars()->Count(), 2);
    TdxBar* Menu = M->Bars()->Items(0);
    TdxBar* Toolbar = M->Bars()->Items(1);
    EXPECT_EQ(Menu->Caption(), "Main Menu");
    EXPECT_TRUE(Menu->IsMainMenu());
    EXPECT_EQ(M->MainMenuBar(), Menu);
    EXPECT_TRUE(Menu->MultiLine());
    EXPECT_TRUE(Menu->WholeRow());
    EXPECT_TRUE(Menu->Visible());
    EXPECT_EQ(Menu->ItemLinks()->Count(), 4);
    EXPECT_EQ(Toolbar->Caption(), "Toolbar");
    EXPECT_EQ(Toolbar->Row(), 1);
    EXPECT_EQ(Toolbar->ItemLinks()->Count(), 6);
    EXPECT_EQ(Toolbar->ItemLinks()->VisibleItemCount(), 6);
    int Buttons = 0, SubItems = 0;
    for (int I = 0; I < M->ItemCount(); ++I) {
        if (dynamic_cast<TdxBarButton*>(M->Items(I))) ++Buttons;
        if (dynamic_cast<TdxBarSubItem*>(M->Items(I))) ++SubItems;
    }
    EXPECT_EQ(Buttons, 13);
    EXPECT_EQ(SubItems, 4);
    EXPECT_EQ(M->Categories()->Count(), 6);
    EXPECT_EQ(M->DockControlHeights(), (std::vector<int>{0, 0, 49, 0}));
}

}  // namespace
