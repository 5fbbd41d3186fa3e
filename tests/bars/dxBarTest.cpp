#include <gtest/gtest.h>

#include "bars/dxBar.h"

namespace {

struct CountingLink : TdxBarItemLinkObserver {
    int Changes = 0;
    void ItemChanged(TdxBarItem&) override { ++Changes; }
};

TEST(BarItem, EnabledRefreshesLinksOnlyOnChangeAndNotWhileLoading) {
    TdxBarManager manager;
    TdxBarButton start(&manager);
    CountingLink menu, toolbar;
    start.AddLink(&menu);
    start.AddLink(&toolbar);
    start.SetEnabled(true);  // unchanged
    EXPECT_EQ(menu.Changes, 0);
    start.SetEnabled(false);
    EXPECT_EQ(menu.Changes, 1);
    EXPECT_EQ(toolbar.Changes, 1);
    manager.SetLoading(true);
    start.SetEnabled(true);
    EXPECT_EQ(menu.Changes, 1);
    EXPECT_TRUE(start.Enabled());
    start.RemoveLink(&menu);
    manager.SetLoading(false);
    manager.SetUpdateLocked(true);
    manager.SetUpdateLocked(false);  // unlocking repaints the remaining link
    EXPECT_EQ(menu.Changes, 1);
    EXPECT_EQ(toolbar.Changes, 2);
}

TEST(BarItem, CustomizingShowsCategoryItemsEnabled) {
    TdxBarManager manager;
    TdxBarButton inCategory(&manager), loose(&manager);
    inCategory.Category = 2;
    inCategory.SetEnabled(false);
    loose.SetEnabled(false);
    manager.SetIsCustomizing(true);
    EXPECT_TRUE(inCategory.Enabled());
    EXPECT_FALSE(loose.Enabled());
    manager.SetIsCustomizing(false);
    EXPECT_FALSE(inCategory.Enabled());
}

TEST(BarItem, ClickCallsOnClickWithTheItemOnlyWhenEnabled) {
    TdxBarManager manager;
    TdxBarButton exitButton(&manager);
    void* sender = nullptr;
    int clicks = 0;
    exitButton.OnClick = [&](void* s) {
        sender = s;
        ++clicks;
    };
    exitButton.Click();
    EXPECT_EQ(sender, &exitButton);
    exitButton.SetEnabled(false);
    exitButton.Click();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
