// Submenu windows on a fake clock and fake screens: the pointer resting on a sub-item of a menu,
// where menus open on the work area (beside their item, flipped, upwards, cut with scroll
// areas), scrolling, the opening animation and the personalized menus' expand button.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "bars/windows/dxBarAnimation.h"
#include "platform/gdi/RectMath.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

// ---- placement on the work area --------------------------------------------------------------

TEST(SubMenuPlace, MenusFlipAroundTheirItemOrMoveOntoTheWorkArea) {
    const TRect Work{0, 0, 800, 600};
    struct TCase {
        const char* Name;
        TPoint Requested;
        TSize Size;
        int P, Q;
        TRect Bounds;
        bool FlippedH, FlippedV;
    };
    const TCase kCases[] = {
        {"fits", {100, 100}, {150, 200}, 0, 20, {100, 100, 250, 300}, false, false},
        {"past the right, a popup moves left",
         {700, 100},
         {150, 200},
         0,
         0,
         {650, 100, 800, 300},
         false,
         false},
        {"past the right, more room left of the item",
         {700, 100},
         {150, 200},
         120,
         0,
         {430, 100, 580, 300},
         true,
         false},
        {"past the right, less room left of the item",
         {700, 100},
         {150, 200},
         690,
         0,
         {650, 100, 800, 300},
         false,
         false},
        {"below the bottom, a popup opens upwards",
         {100, 500},
         {150, 200},
         0,
         0,
         {100, 300, 250, 500},
         false,
         true},
        {"below the bottom, no room above either",
         {100, 150},
         {150, 500},
         0,
         0,
         {100, 100, 250, 600},
         false,
         false},
        {"below the bottom, more room above the item",
         {100, 500},
         {150, 200},
         0,
         20,
         {100, 280, 250, 480},
         false,
         true},
        {"below the bottom, less room above the item: cut",
         {100, 200},
         {150, 500},
         0,
         20,
         {100, 200, 250, 600},
         false,
         false},
        {"above the item and still too high: cut at the top",
         {100, 500},
         {150, 560},
         0,
         20,
         {100, 0, 250, 480},
         false,
         true},
        {"beside an item near the bottom: moved up",
         {300, 500},
         {150, 200},
         150,
         0,
         {300, 400, 450, 600},
         false,
         false},
        {"higher than the screen: the whole height",
         {100, 100},
         {150, 900},
         0,
         0,
         {100, 0, 250, 600},
         false,
         false},
    };
    for (const TCase& C : kCases) {
        SCOPED_TRACE(C.Name);
        const TdxBarSubMenuPlace Place = PlaceSubMenu(C.Requested, C.Size, C.P, C.Q, Work);
        EXPECT_EQ(Place.Bounds, C.Bounds);
        EXPECT_EQ(Place.FlippedHorizontally, C.FlippedH);
        EXPECT_EQ(Place.FlippedVertically, C.FlippedV);
    }
}

// ---- a menu inside a menu ----------------------------------------------------------------------

// The Online menu with a submenu "Mehr" of two commands at its end.
struct TNestedMenus : TMenuForm {
    TdxBarSubItem* More = nullptr;
    TNestedMenus() {
        More = Bars.NewItem<TdxBarSubItem>("Me&hr");
        More->ItemLinks()->Add()->SetItem(Bars.NewItem("&Eins"));
        More->ItemLinks()->Add()->SetItem(Bars.NewItem("&Zwei"));
        SubItem(2)->ItemLinks()->Add()->SetItem(More);
    }
    TdxBarSubMenuControl* Online() const { return OpenMenu(2); }
    TdxBarSubMenuControl* MoreMenu() const { return MenuOf(More); }
    POINT OnMore() const { return EntryPoint(Online(), 3); }
    POINT OnStart() const { return EntryPoint(Online(), 0); }
};

TEST(SubMenuHover, ASubmenuOpensOnceThePointerRestedOnItsItemAndClosesOnceItLeft) {
    TFakeClock Clock;
    TNestedMenus Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 2));
    ASSERT_NE(Form.Online(), nullptr);
    Form.Move(Form.OnMore());
    Clock.Advance(399);
    EXPECT_EQ(Form.MoreMenu(), nullptr);
    Clock.Advance(1);
    TdxBarSubMenuControl* More = Form.MoreMenu();
    ASSERT_NE(More, nullptr);
    // Beside its entry, its first entry level with it (less the menu's border).
    const TRect Entry = Form.Online()->ItemLinks()->Items(3)->ItemRect();
    const POINT Corner =
        GuiTest::ScreenOf(Form.Online()->Handle(), POINT{Entry.Right, Entry.Top - 2});
    EXPECT_EQ(More->Left(), Corner.x);
    EXPECT_EQ(More->Top(), Corner.y);
    EXPECT_EQ(More->ParentBar(), Form.Online());
    EXPECT_EQ(TMenuForm::SelectedIndex(More), -1);  // opened by the pointer: nothing selected
    SaveScenePicture({Form.FormWindow(), Form.Online()->Handle(), More->Handle()},
                     "menu-online-nested");
    // Leaving the entry closes the menu 400 ms later, unless the pointer comes back.
    Form.Move(Form.OnStart());
    Clock.Advance(300);
    EXPECT_EQ(Form.MoreMenu(), More);
    Form.Move(Form.OnMore());
    Clock.Advance(1000);
    EXPECT_EQ(Form.MoreMenu(), More);
    // Into the open menu: its entry stays selected in the menu it came from.
    Form.Move(TMenuForm::EntryPoint(More, 1));
    Clock.Advance(1000);
    EXPECT_EQ(Form.MoreMenu(), More);
    EXPECT_EQ(TMenuForm::SelectedIndex(Form.Online()), 3);
    EXPECT_EQ(TMenuForm::SelectedIndex(More), 1);
    Form.Move(Form.OnStart());
    Clock.Advance(399);
    EXPECT_EQ(Form.MoreMenu(), More);
    Clock.Advance(1);
    EXPECT_EQ(Form.MoreMenu(), nullptr);
    EXPECT_NE(Form.Online(), nullptr);
}

TEST(SubMenuHover, MovingAwayBeforeTheDelayCancelsTheOpening) {
    TFakeClock Clock;
    TNestedMenus Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 2));
    Form.Move(Form.OnMore());
    Clock.Advance(200);
    Form.Move(Form.OnStart());
    Clock.Advance(1000);
    EXPECT_EQ(Form.MoreMenu(), nullptr);
    EXPECT_EQ(PendingHoverControl(), nullptr);
}

TEST(SubMenuKeys, RightOpensASubmenuWithItsFirstEntryAndLeftClosesIt) {
    TNestedMenus Form;
    Form.AltTap(Qt::Key_O);
    ASSERT_NE(Form.Online(), nullptr);
    Form.Tap(Qt::Key_H);  // "Me&hr", the only H: a sub-item opens with its first entry
    ASSERT_NE(Form.MoreMenu(), nullptr);
    EXPECT_EQ(TMenuForm::SelectedIndex(Form.MoreMenu()), 0);
    Form.Tap(Qt::Key_Left);
    EXPECT_EQ(Form.MoreMenu(), nullptr);
    ASSERT_NE(Form.Online(), nullptr);
    EXPECT_EQ(TMenuForm::SelectedIndex(Form.Online()), 3);
    Form.Tap(Qt::Key_Right);
    ASSERT_NE(Form.MoreMenu(), nullptr);
    EXPECT_EQ(TMenuForm::SelectedIndex(Form.MoreMenu()), 0);
    Form.Tap(Qt::Key_Left);
    EXPECT_EQ(Form.MoreMenu(), nullptr);
    // Right on a command moves the menu bar on to its next menu.
    Form.Tap(Qt::Key_Home);
    Form.Tap(Qt::Key_Right);
    EXPECT_EQ(Form.Online(), nullptr);
    EXPECT_NE(Form.OpenMenu(3), nullptr);
}

TEST(SubMenuPlace, ASubmenuThatWouldLeaveTheWorkAreaOpensLeftOfItsItem) {
    TScreensGuard Screens({TScreenInfo{RECT{0, 0, 800, 600}, RECT{0, 0, 300, 600}, true}});
    TNestedMenus Form;
    Form.AltTap(Qt::Key_O);
    TdxBarSubMenuControl* Online = Form.Online();
    ASSERT_NE(Online, nullptr);
    EXPECT_LE(Online->Left() + Online->Width(), 300);
    Form.Tap(Qt::Key_H);
    TdxBarSubMenuControl* More = Form.MoreMenu();
    ASSERT_NE(More, nullptr);
    EXPECT_TRUE(More->FlippedHorizontally());
    const TRect Entry = Online->ItemLinks()->Items(3)->ItemRect();
    const POINT EntryLeft = GuiTest::ScreenOf(Online->Handle(), POINT{Entry.Left, Entry.Top});
    EXPECT_EQ(More->Left() + More->Width(), EntryLeft.x);
}

// ---- a menu cut by the work area --------------------------------------------------------------

struct TLongMenu : TMenuForm {
    TdxBarSubItem* Long = nullptr;
    static constexpr int kEntries = 30;
    TLongMenu() {
        Long = Bars.NewItem<TdxBarSubItem>("&Lang");
        for (int I = 0; I < kEntries; ++I)
            Long->ItemLinks()->Add()->SetItem(Bars.NewItem("Eintrag " + std::to_string(I)));
        Menu()->ItemLinks()->Add()->SetItem(Long);
        GuiTest::Drain();
    }
    TdxBarSubMenuControl* Window() const { return MenuOf(Long); }
};

TEST(SubMenuScroll, AMenuCutByTheWorkAreaScrollsWithTheKeysAndThePointer) {
    TFakeClock Clock;
    TScreensGuard Screens({WholeScreen(800, 400)});
    TLongMenu Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 4));
    TdxBarSubMenuControl* Menu = Form.Window();
    ASSERT_NE(Menu, nullptr);
    EXPECT_EQ(Menu->Top() + Menu->Height(), 400);  // cut at the bottom of the work area
    EXPECT_TRUE(IsRectEmpty(Menu->TopScrollRect()));
    ASSERT_FALSE(IsRectEmpty(Menu->BottomScrollRect()));
    int Placed = 0;
    for (int I = 0; I < TLongMenu::kEntries; ++I)
        if (!IsRectEmpty(Menu->ItemLinks()->Items(I)->ItemRect())) ++Placed;
    ASSERT_GT(Placed, 3);
    ASSERT_LT(Placed, TLongMenu::kEntries);
    // No entry reaches into the scroll area.
    EXPECT_LE(Menu->ItemLinks()->Items(Placed - 1)->ItemRect().Bottom,
              Menu->BottomScrollRect().Top);
    SaveScenePicture({Form.FormWindow(), Menu->Handle()}, "menu-scrolled");
    // The keys keep the selection in view.
    Form.Tap(Qt::Key_End);
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), TLongMenu::kEntries - 1);
    EXPECT_GT(Menu->TopIndex(), 0);
    EXPECT_FALSE(IsRectEmpty(Menu->ItemLinks()->Items(TLongMenu::kEntries - 1)->ItemRect()));
    EXPECT_FALSE(IsRectEmpty(Menu->TopScrollRect()));
    Form.Tap(Qt::Key_Home);
    EXPECT_EQ(Menu->TopIndex(), 0);
    // The pointer in the bottom scroll area scrolls by one entry every 80 ms.
    const TRect Area = Menu->BottomScrollRect();
    Form.Move(GuiTest::ScreenOf(Menu->Handle(),
                                POINT{(Area.Left + Area.Right) / 2, (Area.Top + Area.Bottom) / 2}));
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), -1);
    Clock.Advance(79);
    EXPECT_EQ(Menu->TopIndex(), 0);
    Clock.Advance(1);
    EXPECT_EQ(Menu->TopIndex(), 1);
    Clock.Advance(160);
    EXPECT_EQ(Menu->TopIndex(), 3);
    // Out of the area, it stops.
    Form.Move(TMenuForm::EntryPoint(Menu, 5));
    Clock.Advance(400);
    EXPECT_EQ(Menu->TopIndex(), 3);
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 5);
}

// ---- the opening animation --------------------------------------------------------------------

TEST(SubMenuAnimation, UnfoldingAndSlidingGrowFromTheCornerNextToTheOpener) {
    // Unfolding a wide menu: the width leads by the difference, both grow by 8.
    TdxBarAnimationPlan Wide = PlanAnimation(maUnfold, 100, 60, false, false);
    EXPECT_EQ(Wide.StepCount(), 60 / 8);
    TdxBarAnimationFrame F = AnimationFrame(Wide, 1);
    EXPECT_EQ(F.Client, (TRect{0, 0, 48, 8}));
    EXPECT_EQ(F.Source, (TPoint{0, 52}));  // growing down: the image's bottom rows
    // A tall menu: the height leads.
    TdxBarAnimationPlan Tall = PlanAnimation(maUnfold, 60, 100, false, false);
    EXPECT_EQ(Tall.StepCount(), 60 / 8);
    EXPECT_EQ(AnimationFrame(Tall, 2).Client, (TRect{0, 0, 16, 56}));
    // Sliding keeps the full width and grows by 17.
    TdxBarAnimationPlan Slide = PlanAnimation(maSlide, 100, 60, false, false);
    EXPECT_EQ(Slide.StepCount(), 3);
    EXPECT_EQ(AnimationFrame(Slide, 3).Client, (TRect{0, 0, 100, 51}));
    // Opened upwards: the bottom edge stays and the image's top rows show; opened to the left
    // with a fixed top, the right edge stays and the image's right columns show.
    TdxBarAnimationPlan Up = PlanAnimation(maSlide, 100, 60, false, true);
    F = AnimationFrame(Up, 1);
    EXPECT_EQ(F.Client, (TRect{0, 43, 100, 60}));
    EXPECT_EQ(F.Source, (TPoint{0, 0}));
    TdxBarAnimationPlan Left = PlanAnimation(maUnfold, 100, 60, true, false);
    F = AnimationFrame(Left, 1);
    EXPECT_EQ(F.Client, (TRect{52, 0, 100, 8}));
    EXPECT_EQ(F.Source, (TPoint{52, 52}));
    TdxBarAnimationPlan Both = PlanAnimation(maUnfold, 100, 60, true, true);
    F = AnimationFrame(Both, 1);
    EXPECT_EQ(F.Client, (TRect{52, 52, 100, 60}));
    EXPECT_EQ(F.Source, (TPoint{0, 0}));
    // Random picks both kinds.
    bool Unfolded = false, Slid = false;
    for (int I = 0; I < 200; ++I) {
        const TdxBarMenuAnimations Kind = ResolveAnimation(maRandom);
        Unfolded = Unfolded || Kind == maUnfold;
        Slid = Slid || Kind == maSlide;
    }
    EXPECT_TRUE(Unfolded && Slid);
}

TEST(SubMenuAnimation, AMenuOpenedByTheMouseGrowsStepByStepAndAKeyEndsItAtOnce) {
    TFakeClock Clock;
    TMenuForm Form;
    Form.Manager()->SetMenuAnimations(maSlide);
    Form.Click(Form.ScreenPoint(Form.Menu(), 1));
    TdxBarSubMenuControl* Menu = Form.OpenMenu(1);
    ASSERT_NE(Menu, nullptr);
    ASSERT_EQ(AnimatedSubMenu(), Menu);
    const TSize Final = Menu->MeasureSize();
    EXPECT_TRUE(IsWindowVisible(Menu->Handle()));
    EXPECT_LT(Menu->Height(), Final.cy);
    EXPECT_EQ(Menu->Width(), Final.cx);
    const int First = Menu->Height();
    Clock.Advance(1);
    EXPECT_EQ(Menu->Height(), First + 17);
    Form.Tap(Qt::Key_Down);
    EXPECT_EQ(AnimatedSubMenu(), nullptr);
    EXPECT_EQ(Menu->Height(), Final.cy);
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 0);
    // Left to itself, it ends at its full size.
    Form.Tap(Qt::Key_Escape);
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    Menu = Form.OpenMenu(0);
    ASSERT_EQ(AnimatedSubMenu(), Menu);
    Clock.Advance(100);
    EXPECT_EQ(AnimatedSubMenu(), nullptr);
    EXPECT_EQ(Menu->Height(), Menu->MeasureSize().cy);
    // Opened by a key, it shows at once.
    Form.Tap(Qt::Key_Escape);
    Form.AltTap(Qt::Key_K);
    ASSERT_NE(Form.OpenMenu(1), nullptr);
    EXPECT_EQ(AnimatedSubMenu(), nullptr);
}

// ---- personalized menus -------------------------------------------------------------------------

TEST(SubMenuRecentItems, ARarelyUsedEntryShowsOnceTheMenuExpands) {
    TFakeClock Clock;
    TMenuForm Form;
    Form.Manager()->SetMostRecentItemsPercents(50);
    Form.Manager()->SetShowFullMenusAfterDelay(true);
    // "Speichern unter..." has never been used: it hides until the menu expands.
    TdxBarItemLinks* Konfiguration = Form.SubItem(1)->ItemLinks();
    Konfiguration->Items(5)->SetMostRecentlyUsed(false);
    Konfiguration->ResetUsage(false);
    Form.Click(Form.ScreenPoint(Form.Menu(), 1));
    TdxBarSubMenuControl* Menu = Form.OpenMenu(1);
    ASSERT_NE(Menu, nullptr);
    ASSERT_TRUE(Menu->MarkExists());
    EXPECT_EQ(Konfiguration->VisibleIndexOf(Konfiguration->Items(5)), -1);
    const int Short = Menu->Height();
    SaveScenePicture({Form.FormWindow(), Menu->Handle()}, "menu-personalized");
    // Left open for four seconds, it expands by itself.
    Clock.Advance(3999);
    EXPECT_FALSE(Menu->Expanded());
    Clock.Advance(1);
    EXPECT_TRUE(Menu->Expanded());
    EXPECT_FALSE(Menu->MarkExists());
    EXPECT_GE(Konfiguration->VisibleIndexOf(Konfiguration->Items(5)), 0);
    EXPECT_GT(Menu->Height(), Short);
    EXPECT_TRUE(Konfiguration->Items(5)->Control()->RarelyUsed);
    EXPECT_FALSE(Konfiguration->Items(4)->Control()->RarelyUsed);
    // The next menu of the same chain opens in full.
    Form.Move(Form.ScreenPoint(Form.Menu(), 0));
    Form.Move(Form.ScreenPoint(Form.Menu(), 1));
    ASSERT_NE(Form.OpenMenu(1), nullptr);
    EXPECT_GE(Konfiguration->VisibleIndexOf(Konfiguration->Items(5)), 0);
}

TEST(SubMenuRecentItems, AnOpenSubmenuFollowsTheBarItWasOpenedFrom) {
    TMenuForm Form;
    TdxBarItemLinks* MenuBar = Form.Menu()->ItemLinks();
    TdxBarItemLinks* Konfiguration = Form.SubItem(1)->ItemLinks();
    Konfiguration->SetUseRecentItems(true);
    MenuBar->SetUseRecentItems(false);
    Form.Click(Form.ScreenPoint(Form.Menu(), 1));
    ASSERT_NE(Form.OpenMenu(1), nullptr);
    EXPECT_FALSE(Konfiguration->UsesRecentItems());
    MenuBar->SetUseRecentItems(true);
    EXPECT_TRUE(Konfiguration->UsesRecentItems());
}

TEST(SubMenuRecentItems, CtrlDownAndDownOnTheLastEntryExpand) {
    TMenuForm Form;
    Form.Manager()->SetMostRecentItemsPercents(50);
    Form.Manager()->SetShowFullMenusAfterDelay(false);
    TdxBarItemLinks* Konfiguration = Form.SubItem(1)->ItemLinks();
    Konfiguration->Items(5)->SetMostRecentlyUsed(false);
    Konfiguration->ResetUsage(false);
    Form.AltTap(Qt::Key_K);
    TdxBarSubMenuControl* Menu = Form.OpenMenu(1);
    ASSERT_NE(Menu, nullptr);
    ASSERT_TRUE(Menu->MarkExists());
    Form.Tap(Qt::Key_End);
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 4);
    // Down on the last entry shown expands and moves on into what now shows.
    Form.Tap(Qt::Key_Down);
    EXPECT_TRUE(Menu->Expanded());
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 5);
    Form.Tap(Qt::Key_Escape);
    EXPECT_EQ(Form.OpenMenu(1), nullptr);
    Form.AltTap(Qt::Key_K);
    Menu = Form.OpenMenu(1);
    ASSERT_TRUE(Menu && Menu->MarkExists());
    Form.KeyDown(Qt::Key_Control, Qt::ControlModifier);
    Form.Tap(Qt::Key_Down, Qt::ControlModifier);
    Form.KeyUp(Qt::Key_Control);
    EXPECT_TRUE(Menu->Expanded());
}

}  // namespace
