// Items connected to actions: what the item takes from its action and keeps following, clicks
// that run the action, checked buttons with self-checking actions, and either side going away.
// Popup menus and the links that tie them to controls of the form, and what they hold when the
// other side goes.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "platform/actions/ActnList.h"
#include "platform/actions/ShortCuts.h"
#include "platform/core/Input.h"
#include "platform/widgets/ExtCtrls.h"
#include "tests/bars/BarTestSupport.h"

namespace {

// A form with a manager, an action list with one action, and a button.
struct TActionBars {
    TBarsForm Bars;
    TActionList* List = new TActionList(Bars.Form());
    TAction* Action = new TAction(Bars.Form());
    TdxBarButton* Button = Bars.NewItem();
    int Executed = 0;
    TActionBars() {
        Action->SetActionList(List);
        Action->SetCaption("&Start");
        Action->SetHint("Starten|Startet den Austausch");
        Action->SetShortCut(ShortCut(VK_F9, {}));
        Action->SetImageIndex(3);
        Action->SetHelpContext(120);
        Action->SetOnExecute([this](TObject*) { ++Executed; });
    }
};

TEST(BarItemActions, TheItemTakesItsActionsValues) {
    TActionBars A;
    A.Action->SetEnabled(false);
    A.Button->SetAction(A.Action);
    EXPECT_EQ(A.Button->Action(), A.Action);
    EXPECT_EQ(A.Button->Caption(), "&Start");
    EXPECT_EQ(A.Button->Hint(), "Starten|Startet den Austausch");
    EXPECT_EQ(A.Button->ShortCut(), ShortCut(VK_F9, {}));
    EXPECT_EQ(A.Button->ImageIndex(), 3);
    EXPECT_EQ(A.Button->HelpContext(), 120);
    EXPECT_FALSE(A.Button->Enabled());
}

TEST(BarItemActions, ChangesOfTheActionFollow) {
    TActionBars A;
    A.Button->SetAction(A.Action);
    A.Action->SetCaption("&Los");
    EXPECT_EQ(A.Button->Caption(), "&Los");
    A.Action->SetShortCut(ShortCut(VK_F8, {}));
    EXPECT_EQ(A.Button->ShortCut(), ShortCut(VK_F8, {}));
    A.Action->SetImageIndex(5);
    EXPECT_EQ(A.Button->ImageIndex(), 5);
    A.Action->SetEnabled(false);
    EXPECT_FALSE(A.Button->Enabled());
    A.Action->SetEnabled(true);
    EXPECT_TRUE(A.Button->Enabled());
    A.Action->SetVisible(false);
    EXPECT_EQ(A.Button->Visible(), ivNever);
    A.Action->SetVisible(true);
    EXPECT_EQ(A.Button->Visible(), ivAlways);
    // The item's shortcut is the action's: the manager finds the item by it.
    A.Action->SetShortCut(ShortCut('S', {ssCtrl}));
    EXPECT_EQ(A.Button->ShortCut(), ShortCut('S', {ssCtrl}));
}

TEST(BarItemActions, AClickRunsTheActionUnlessTheItemHasAHandlerOfItsOwn) {
    TActionBars A;
    A.Button->SetAction(A.Action);
    A.Button->Click();
    EXPECT_EQ(A.Executed, 1);
    int Own = 0;
    A.Button->OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, A.Button);
        ++Own;
    };
    A.Button->Click();
    EXPECT_EQ(Own, 1);
    EXPECT_EQ(A.Executed, 1);
    // A disabled action disables the item: nothing runs.
    A.Button->OnClick = nullptr;
    A.Action->SetEnabled(false);
    A.Button->Click();
    EXPECT_EQ(A.Executed, 1);
}

TEST(BarItemActions, ACheckedButtonAndASelfCheckingActionStayTogether) {
    TActionBars A;
    A.Action->SetAutoCheck(true);
    A.Button->SetButtonStyle(bsChecked);
    A.Button->SetAction(A.Action);
    for (bool Expected : {true, false, true}) {
        A.Button->Click();
        EXPECT_EQ(A.Action->Checked(), Expected);
        EXPECT_EQ(A.Button->Down(), Expected);
    }
    EXPECT_EQ(A.Executed, 3);
    // Checked from elsewhere: the button follows.
    A.Action->SetChecked(false);
    EXPECT_FALSE(A.Button->Down());
}

TEST(BarItemActions, EitherSideMayGoFirst) {
    {
        TActionBars A;
        A.Button->SetAction(A.Action);
        A.Action->Free();
        EXPECT_EQ(A.Button->Action(), nullptr);
        EXPECT_EQ(A.Button->Caption(), "&Start");  // what it took stays
        A.Button->Click();                         // and clicking runs nothing
        EXPECT_EQ(A.Executed, 0);
    }
    {
        TActionBars A;
        A.Button->SetAction(A.Action);
        A.Button->Free();
        A.Action->SetCaption("&Los");  // no item left to tell
        A.Action->Execute();
        EXPECT_EQ(A.Executed, 1);
    }
    {
        TActionBars A;
        A.Button->SetAction(A.Action);
        A.Button->SetAction(nullptr);
        A.Action->SetCaption("&Los");
        EXPECT_EQ(A.Button->Caption(), "&Start");
        A.Button->Click();
        EXPECT_EQ(A.Executed, 0);
    }
}

// ---- popup menus ---------------------------------------------------------------------------

TEST(BarPopupMenus, TheyBelongToTheManagerAndLeaveItWhenItGoes) {
    TBarsForm Bars;
    auto* Menu = new TdxBarPopupMenu(Bars.Form());
    Menu->SetBarManager(Bars.Manager());
    Menu->ItemLinks()->Add()->SetItem(Bars.NewItem("Kopieren"));
    EXPECT_EQ(Menu->FontHandle(), Bars.Manager()->FontHandle());  // the manager's font
    Menu->SetUseOwnFont(true);
    EXPECT_NE(Menu->FontHandle(), Bars.Manager()->FontHandle());
    Bars.Manager()->Free();
    EXPECT_EQ(Menu->BarManager(), nullptr);
    EXPECT_EQ(Menu->ItemLinks()->Count(), 0);  // the manager took its items along
    Menu->Free();
}

TEST(BarPopupMenus, LinksTakeOnlyControlsOfTheFormAndForgetWhatGoes) {
    TBarsForm Bars;
    auto* Menu = new TdxBarPopupMenu(nullptr);  // nobody's component either
    Menu->SetBarManager(Bars.Manager());
    auto* Owned = new TPanel(Bars.Form());
    Owned->SetParent(Bars.Form());
    auto* Parented = new TPanel(nullptr);  // on the form, but nobody's component
    Parented->SetParent(Bars.Form());
    auto* Elsewhere = new TPanel(nullptr);  // on no form
    TdxBarPopupMenuLinks* Links = Bars.Manager()->PopupMenuLinks();
    TdxBarPopupMenuLink* ToOwned = Links->Add();
    TdxBarPopupMenuLink* ToParented = Links->Add();
    TdxBarPopupMenuLink* ToElsewhere = Links->Add();
    ToOwned->SetControl(Owned);
    ToOwned->SetPopupMenu(Menu);
    ToParented->SetControl(Parented);
    ToElsewhere->SetControl(Elsewhere);
    EXPECT_EQ(ToOwned->Control(), Owned);
    EXPECT_EQ(ToParented->Control(), Parented);
    EXPECT_EQ(ToElsewhere->Control(), nullptr);
    Owned->Free();
    Parented->Free();
    EXPECT_EQ(ToOwned->Control(), nullptr);
    EXPECT_EQ(ToParented->Control(), nullptr);
    Menu->Free();
    EXPECT_EQ(ToOwned->PopupMenu(), nullptr);
    Elsewhere->Free();
}

}  // namespace
