// What the exchange run relies on: Enabled reaches every control showing the item at once (not
// while the item is read), reads as enabled while customizing, and a click reaches OnClick only
// when the item is enabled.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "tests/bars/BarTestSupport.h"

namespace {

// A button whose controls count what they are told.
class TCountingButton : public TdxBarButton {
  public:
    using TdxBarButton::TdxBarButton;
};

class TCountingControl : public TdxBarButtonControl {
  public:
    using TdxBarButtonControl::TdxBarButtonControl;
    static inline int EnabledChanges = 0;
    void EnabledChanged() override { ++EnabledChanges; }
};

void RegisterCountingButton() {
    static const bool Done = [] {
        RegisterBarClasses();
        RegisterBarItemClass<TCountingButton, TCountingControl>("TCountingButton", false);
        return true;
    }();
    (void)Done;
}

TEST(BarItem, EnabledRefreshesLinksOnlyOnChangeAndNotWhileLoading) {
    RegisterCountingButton();
    TBarsForm Bars;
    auto* Start = new TCountingButton(Bars.Form());
    TdxBar* Menu = Bars.NewBar("Menu", {Start});
    TdxBar* Toolbar = Bars.NewBar("Toolbar", {Start});
    Menu->ItemLinks()->Items(0)->CreateControl();
    Toolbar->ItemLinks()->Items(0)->CreateControl();
    TCountingControl::EnabledChanges = 0;
    Start->SetEnabled(true);  // unchanged
    EXPECT_EQ(TCountingControl::EnabledChanges, 0);
    Start->SetEnabled(false);
    EXPECT_EQ(TCountingControl::EnabledChanges, 2);  // both links at once

    // An item being read from a definition only stores the flag.
    TCountingButton* Loading;
    {
        TComponentCreationScope Scope(TComponentState{csLoading});
        Loading = new TCountingButton(Bars.Form());
    }
    Bars.NewBar("Other", {Loading})->ItemLinks()->Items(0)->CreateControl();
    TCountingControl::EnabledChanges = 0;
    Loading->SetEnabled(false);
    EXPECT_EQ(TCountingControl::EnabledChanges, 0);
    EXPECT_FALSE(Loading->Enabled());
}

TEST(BarItem, CustomizingShowsCategoryItemsEnabled) {
    TBarsForm Bars;
    TdxBarButton* InCategory = Bars.NewItem("In");
    TdxBarButton* Loose = Bars.NewItem("Loose");
    InCategory->SetCategory(0);
    InCategory->SetEnabled(false);
    Loose->SetEnabled(false);
    Bars.Manager()->CustomizingMode(true);
    EXPECT_TRUE(InCategory->Enabled());
    EXPECT_FALSE(Loose->Enabled());
    Bars.Manager()->Customizing(false);
    EXPECT_FALSE(InCategory->Enabled());
}

TEST(BarItem, ClickCallsOnClickWithTheItemOnlyWhenEnabled) {
    TBarsForm Bars;
    TdxBarButton* ExitButton = Bars.NewItem("&Ende");
    TObject* Sender = nullptr;
    int Clicks = 0;
    ExitButton->OnClick = [&](TObject* S) {
        Sender = S;
        ++Clicks;
    };
    ExitButton->Click();
    EXPECT_EQ(Sender, ExitButton);
    ExitButton->SetEnabled(false);
    ExitButton->Click();
    EXPECT_EQ(Clicks, 1);
}

TEST(BarManager, UpdateLockIsAFlagThatIgnoresTheSameValue) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    M->SetUpdateLocked(true);
    M->SetUpdateLocked(true);
    EXPECT_TRUE(M->UpdateLocked());
    M->SetUpdateLocked(false);  // one unlock undoes any number of locks: it is not a counter
    EXPECT_FALSE(M->UpdateLocked());
    {
        TdxBarUpdateLock Lock(M);
        EXPECT_TRUE(M->UpdateLocked());
    }
    EXPECT_FALSE(M->UpdateLocked());
}

}  // namespace
