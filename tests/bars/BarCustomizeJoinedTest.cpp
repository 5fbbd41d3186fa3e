// The customizing pieces together: the dialog opened from the toolbars popup and a dock site, and
// commands dragged from its list onto the main window's toolbar.
#include <gtest/gtest.h>

#include "bars/dxBarToolbarsPopup.h"
#include "tests/bars/CustomizeTestSupport.h"

namespace {

using namespace BarTest;

int LinksOf(TdxBarItemLinks* Links, TdxBarItem* Item) {
    int Count = 0;
    for (int I = 0; I < Links->Count(); ++I) Count += Links->Items(I)->Item() == Item;
    return Count;
}

TEST_F(Customize, CustomizeInTheToolbarsPopupOpensTheDialogOverDisabledForms) {
    const POINT At = Bars.ScreenPoint(Bars.Toolbar(), 0);
    GuiTest::MousePress(TMenuForm::Via(At), At, Qt::RightButton);
    GuiTest::Drain();
    GuiTest::MouseRelease(TMenuForm::Via(At), At, Qt::RightButton);
    GuiTest::Drain();
    auto* Popup = dynamic_cast<TdxBarToolbarsPopup*>(ActiveBarControl());
    ASSERT_NE(Popup, nullptr);
    const int Last = Popup->ItemLinks()->Count() - 1;
    ASSERT_EQ(Popup->ItemLinks()->Items(Last)->Item()->Caption(), "&Customize...");
    Bars.Click(TMenuForm::EntryPoint(Popup, Last));
    ASSERT_NE(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(Manager()->IsCustomizing());
    EXPECT_FALSE(IsWindowEnabled(Bars.FormWindow()));
    ShowCustomizingForm(Manager(), false);
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
    EXPECT_FALSE(Manager()->IsCustomizing());
}

// A double click on a dock site opens the dialog, unless the manager may not customize.
TEST_F(Customize, ADoubleClickOnADockSiteOpensTheDialog) {
    TdxBarControl* Window = Bars.Toolbar()->Control();
    const POINT Site =
        GuiTest::ScreenOf(Manager()->Bars()->DockControls(dsTop)->Handle(),
                          POINT{Window->Left() + Window->Width() + 30, Window->Top() + 5});
    Manager()->CanCustomize = false;
    GuiTest::MouseDoubleClick(TMenuForm::Via(Site), Site);
    GuiTest::Drain();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    Manager()->CanCustomize = true;
    GuiTest::MouseDoubleClick(TMenuForm::Via(Site), Site);
    GuiTest::Drain();
    EXPECT_NE(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(Manager()->IsCustomizing());
}

// A command pressed in the dialog's list and moved out of the drag rectangle is dragged: dropped
// on the toolbar it gets a link there; Esc on the way adds nothing.
TEST_F(Customize, ACommandDraggedOntoTheToolbarGetsALinkThereUnlessEscCancels) {
    for (const bool Cancel : {false, true}) {
        SCOPED_TRACE(Cancel ? "Esc" : "drop");
        TdxBarCustomizingForm* D = Open();
        ASSERT_NE(D, nullptr);
        D->PageControl->SetActivePage(D->TabSheet2);
        GuiTest::Drain();
        auto* Commands = D->CommandsListBox();
        ASSERT_GT(Commands->Items()->Count(), 1);
        TdxBarItemLinks* Links = Bars.Toolbar()->ItemLinks();
        const int Before = Links->Count();
        const HWND Dialog = D->Handle();
        const auto At = [&](int X, int Y) {
            const TPoint P = Commands->ClientToScreen(TPoint{X, Y});
            return POINT{P.X, P.Y};
        };
        GuiTest::MousePress(Dialog, At(40, 33));
        GuiTest::Drain();
        TdxBarItem* Dragged = Commands->Item(Commands->ItemIndex());
        ASSERT_NE(Dragged, nullptr);
        const int LinksBefore = LinksOf(Links, Dragged);
        TdxBarItemLink* Target = Links->Items(Links->Count() - 1);
        const TRect R = Target->ItemRect();
        const POINT Drop = GuiTest::ScreenOf(Target->Links()->BarControl()->Handle(),
                                             POINT{R.Right - 3, (R.Top + R.Bottom) / 2});
        GuiTest::TScript Script;
        Script.Then([&] { GuiTest::MouseMove(Dialog, At(60, 60)); });
        Script.ThenWhen([&] { return Manager()->Dragging(); },
                        [&] { GuiTest::MouseMove(Dialog, Drop); });
        Script.Then([&] {
            if (Cancel)
                QTest::keyClick(GuiTest::QtWindowOf(Dialog), Qt::Key_Escape);
            else
                GuiTest::MouseRelease(Dialog, Drop);
        });
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Manager()->Dragging(); }));
        GuiTest::Drain();
        if (Cancel) GuiTest::MouseRelease(Dialog, Drop);
        GuiTest::Drain();
        EXPECT_EQ(Links->Count(), Before + (Cancel ? 0 : 1));
        EXPECT_EQ(LinksOf(Links, Dragged), LinksBefore + (Cancel ? 0 : 1));
        ShowCustomizingForm(Manager(), false);
        GuiTest::Drain();
    }
}

}  // namespace
