// Quick customizing from a toolbar's mark: the window with the buttons that did not fit, its
// place beside the mark, "&Add or Remove Buttons" with a check entry per link, and what closes it.
#include <gtest/gtest.h>

#include "bars/customize/dxBarQuickCust.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

// The main window's bars, narrow enough that the toolbar hides its last buttons.
struct TQuickBars : TMenuForm {
    explicit TQuickBars(int Width = 150, TdxBarManagerStyle Style = bmsFlat)
        : TMenuForm(Width, Style) {}

    TdxBarControl* ToolbarWindow() const { return Toolbar()->Control(); }
    // A press elsewhere: on the toolbar's first button (the window covers the form below it).
    POINT Elsewhere() const { return ScreenPoint(Toolbar(), 0); }
    POINT MarkPoint() const {
        const TRect Mark = ToolbarWindow()->MarkRect();
        return GuiTest::ScreenOf(ToolbarWindow()->Handle(),
                                 POINT{(Mark.Left + Mark.Right) / 2, (Mark.Top + Mark.Bottom) / 2});
    }
    TdxBarQuickControl* OpenByMark() {
        Click(MarkPoint());
        return OpenQuickControl();
    }
    // The submenu of "&Add or Remove Buttons", opened by a click on it.
    TdxBarSubMenuControl* OpenAddRemove() {
        TdxBarQuickControl* Quick = OpenQuickControl();
        TdxBarItemLinks* Links = Quick->ItemLinks();
        const TRect R = Links->Items(Links->Count() - 1)->ItemRect();
        Click(GuiTest::ScreenOf(Quick->Handle(),
                                POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}));
        return TMenuForm::MenuOf(Quick->AddRemoveItem());
    }
    static std::vector<std::string> CaptionsOf(TCustomdxBarControl* Window) {
        std::vector<std::string> Result;
        TdxBarItemLinks* Links = Window->ItemLinks();
        for (int I = 0; I < Links->Count(); ++I)
            Result.push_back(Links->Items(I)->Control() ? Links->Items(I)->Control()->GetCaption()
                                                        : std::string());
        return Result;
    }
};

TEST(QuickCustomizingPlace, BesideTheMarkInsideTheWorkArea) {
    const TRect Work{0, 0, 800, 600};
    const TSize Size{120, 90};
    struct TCase {
        const char* Name;
        TRect Mark;
        TdxBarDockingStyle Style;
        bool Flat;
        TPoint TopLeft;
    };
    const TCase kCases[] = {
        {"top: below, right aligned", {300, 20, 311, 42}, dsTop, true, {191, 42}},
        {"bottom: flips above", {300, 560, 311, 582}, dsBottom, false, {191, 470}},
        {"top near the left edge: clamped", {50, 20, 61, 42}, dsTop, false, {0, 42}},
        {"left: right of the mark, top aligned", {0, 200, 22, 211}, dsLeft, false, {22, 200}},
        {"right at the edge: flips left", {778, 200, 800, 211}, dsRight, true, {658, 200}},
        {"left near the bottom: clamped", {0, 580, 22, 591}, dsLeft, false, {22, 510}},
        {"floating flat: left aligned", {300, 100, 311, 120}, dsNone, true, {300, 120}},
        {"floating: right aligned", {300, 100, 311, 120}, dsNone, false, {191, 120}},
    };
    for (const TCase& Case : kCases) {
        const TRect R = PlaceQuickControl(Case.Mark, Size, Case.Style, Case.Flat, Work);
        EXPECT_EQ((TPoint{R.Left, R.Top}), Case.TopLeft) << Case.Name;
        EXPECT_EQ(R.Width(), Size.cx) << Case.Name;
        EXPECT_EQ(R.Height(), Size.cy) << Case.Name;
    }
}

TEST(QuickCustomizing, TheMarkOpensTheButtonsThatDidNotFitBelowIt) {
    TQuickBars Form;
    TdxBarControl* Owning = Form.ToolbarWindow();
    ASSERT_TRUE(Owning->HiddenItems());
    const int Shown = Form.Toolbar()->ItemLinks()->ShownCount();
    ASSERT_LT(Shown, 6);
    TdxBarQuickControl* Quick = Form.OpenByMark();
    ASSERT_NE(Quick, nullptr);
    EXPECT_EQ(Quick->OwningBarControl(), Owning);
    EXPECT_EQ(Owning->MarkState(), TdxBarButtonState::Down);
    // The hidden buttons in order, then "&Add or Remove Buttons" in a group of its own.
    TdxBarItemLinks* Links = Quick->ItemLinks();
    ASSERT_EQ(Links->Count(), 6 - Shown + 1);
    for (int I = 0; I < 6 - Shown; ++I) {
        EXPECT_EQ(Links->Items(I)->Item(), Form.Link(Form.Toolbar(), Shown + I)->Item());
        EXPECT_EQ(Links->Items(I)->OriginalLink(), Form.Link(Form.Toolbar(), Shown + I));
    }
    EXPECT_EQ(Links->Items(Links->Count() - 1)->Item()->Caption(), "&Add or Remove Buttons");
    EXPECT_TRUE(Links->Items(Links->Count() - 1)->BeginGroup());
    // Right aligned with the mark, just below it.
    const TRect Mark = Owning->MarkRect();
    const POINT MarkBottomRight =
        GuiTest::ScreenOf(Owning->Handle(), POINT{Mark.Right, Mark.Bottom});
    EXPECT_EQ(Quick->Left() + Quick->Width(), MarkBottomRight.x);
    EXPECT_EQ(Quick->Top(), MarkBottomRight.y);
    // Not listed among the bars a user may show.
    EXPECT_TRUE(Quick->Bar()->Hidden);
    SaveScenePicture({Form.FormWindow(), Quick->Handle()}, "quick-customizing");
    // A second press on the mark closes it, and so does a press elsewhere.
    Form.Click(Form.MarkPoint());
    EXPECT_EQ(OpenQuickControl(), nullptr);
    EXPECT_NE(Owning->MarkState(), TdxBarButtonState::Down);
    ASSERT_NE(Form.OpenByMark(), nullptr);
    const int Bars = Form.Manager()->Bars()->Count();
    Form.Click(Form.Elsewhere());
    EXPECT_EQ(OpenQuickControl(), nullptr);
    EXPECT_EQ(Owning->MarkState(), TdxBarButtonState::Normal);
    EXPECT_EQ(Form.Manager()->Bars()->Count(), Bars - 1);
}

TEST(QuickCustomizing, TheWindowCanNeitherBeMovedNorSizedAndARightClickOnItDoesNothing) {
    TQuickBars Form;
    TdxBarQuickControl* Quick = Form.OpenByMark();
    ASSERT_NE(Quick, nullptr);
    const auto HitTest = [&](int X, int Y) {
        return SendMessage(Quick->Handle(), WM_NCHITTEST, 0, MAKELPARAM(X, Y));
    };
    const POINT Middle = GuiTest::ScreenOf(
        Quick->Handle(), POINT{Quick->ClientWidth() / 2, Quick->ClientHeight() / 2});
    EXPECT_EQ(HitTest(Middle.x, Middle.y), HTCLIENT);
    EXPECT_EQ(HitTest(Quick->Left(), Quick->Top()), HTBORDER);
    EXPECT_EQ(HitTest(Quick->Left() + Quick->Width() - 3, Middle.y), HTBORDER);
    GuiTest::MouseClick(Quick->Handle(), Middle, Qt::RightButton);
    GuiTest::Drain();
    EXPECT_EQ(OpenQuickControl(), Quick);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    // A right press on the mark closes it like any press outside.
    GuiTest::MouseClick(Form.FormWindow(), Form.MarkPoint(), Qt::RightButton);
    GuiTest::Drain();
    EXPECT_EQ(OpenQuickControl(), nullptr);
    if (ActiveBarControl()) Form.Tap(Qt::Key_Escape);
}

TEST(QuickCustomizing, APressOnTheMarkWhileItsMenuIsOpenClosesItWithoutOpeningItAgain) {
    TQuickBars Form;
    ASSERT_NE(Form.OpenByMark(), nullptr);
    ASSERT_NE(Form.OpenAddRemove(), nullptr);
    ASSERT_EQ(Form.Manager()->KeyboardModeBar(), OpenQuickControl());
    Form.Click(Form.MarkPoint());
    EXPECT_EQ(OpenQuickControl(), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    EXPECT_NE(Form.ToolbarWindow()->MarkState(), TdxBarButtonState::Down);
    // The next press opens it as usual.
    EXPECT_NE(Form.OpenByMark(), nullptr);
    Form.Click(Form.Elsewhere());
}

TEST(QuickCustomizing, AHiddenButtonClickedInTheWindowRunsAndClosesIt) {
    TQuickBars Form;
    const int Shown = Form.Toolbar()->ItemLinks()->ShownCount();
    TdxBarItem* Hidden = Form.Link(Form.Toolbar(), Shown)->Item();
    int Clicked = 0;
    Hidden->OnClick = [&](TObject*) { ++Clicked; };
    TdxBarQuickControl* Quick = Form.OpenByMark();
    ASSERT_NE(Quick, nullptr);
    const TRect R = Quick->ItemLinks()->Items(0)->ItemRect();
    Form.Click(
        GuiTest::ScreenOf(Quick->Handle(), POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}));
    EXPECT_EQ(Clicked, 1);
    EXPECT_EQ(OpenQuickControl(), nullptr);
    EXPECT_EQ(Form.ToolbarWindow()->MarkState(), TdxBarButtonState::Normal);
}

TEST(QuickCustomizing, AddOrRemoveButtonsListsEveryLinkAndTogglesItsVisibility) {
    TQuickBars Form(640);
    TdxBarItemLink* Exit = Form.Link(Form.Toolbar(), 5);
    Exit->SetVisible(false);
    GuiTest::Drain();
    ASSERT_NE(Form.OpenByMark(), nullptr);
    TdxBarSubMenuControl* Menu = Form.OpenAddRemove();
    ASSERT_NE(Menu, nullptr);
    // Every link, the hidden one too, then the reset (the form came from one definition) and
    // "&Customize..." after it.
    const std::vector<std::string> Captions = TQuickBars::CaptionsOf(Menu);
    ASSERT_EQ(Captions.size(), 8u);
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Captions[size_t(I)], Form.Link(Form.Toolbar(), I)->Caption());
    EXPECT_EQ(Captions[6], "&Reset Toolbar");
    EXPECT_EQ(Captions[7], "&Customize...");
    EXPECT_TRUE(Menu->ItemLinks()->Items(6)->BeginGroup());
    EXPECT_FALSE(Menu->ItemLinks()->Items(7)->BeginGroup());
    auto* ExitEntry =
        dynamic_cast<TdxBarQuickCustItemControl*>(Menu->ItemLinks()->Items(5)->Control());
    ASSERT_NE(ExitEntry, nullptr);
    EXPECT_EQ(ExitEntry->Represented(), Exit);
    SaveScenePicture({Form.FormWindow(), OpenQuickControl()->Handle(), Menu->Handle()},
                     "quick-customizing-add-remove");
    // Checking shows the link on the toolbar; the menu stays open for the next one.
    Form.Click(TMenuForm::EntryPoint(Menu, 5));
    EXPECT_TRUE(Exit->Visible());
    ASSERT_EQ(TMenuForm::MenuOf(OpenQuickControl()->AddRemoveItem()), Menu);
    Form.Click(TMenuForm::EntryPoint(Menu, 0));
    EXPECT_FALSE(Form.Link(Form.Toolbar(), 0)->Visible());
    Form.Click(TMenuForm::EntryPoint(Menu, 0));
    EXPECT_TRUE(Form.Link(Form.Toolbar(), 0)->Visible());
    Form.Click(Form.Elsewhere());
    EXPECT_EQ(OpenQuickControl(), nullptr);
}

// Showing or hiding a button may change the dock site's size across (the lowered button is the
// one that makes the toolbar thicker, across a top row as along a left column): the menu stays
// open and active for the next entry all the same.
TEST(QuickCustomizing, AToggleThatResizesTheDockSiteLeavesTheMenuOpen) {
    for (TdxBarDockingStyle Style : {dsTop, dsLeft}) {
        TQuickBars Form(640);
        Form.Bars.Form()->SetHeight(400);
        Form.Toolbar()->SetDockingStyle(Style);
        TdxBarItemLink* Exit = Form.Link(Form.Toolbar(), 5);
        dynamic_cast<TdxBarButton*>(Exit->Item())->SetLowered(true);
        GuiTest::Drain();
        TdxDockControl* Site = Form.Toolbar()->RealDockControl();
        ASSERT_NE(Site, nullptr) << Style;
        const auto Across = [&] { return Style == dsTop ? Site->Height() : Site->Width(); };
        const int Thick = Across();
        ASSERT_NE(Form.OpenByMark(), nullptr) << Style;
        TdxBarSubMenuControl* Menu = Form.OpenAddRemove();
        ASSERT_NE(Menu, nullptr) << Style;
        ASSERT_EQ(ActiveBarControl(), Menu) << Style;
        for (const bool Shown : {false, true}) {
            Form.Click(TMenuForm::EntryPoint(Menu, 5));
            EXPECT_EQ(Exit->Visible(), Shown) << Style;
            EXPECT_EQ(Across(), Shown ? Thick : Thick - 2) << Style;
            ASSERT_NE(OpenQuickControl(), nullptr) << Style;
            ASSERT_EQ(TMenuForm::MenuOf(OpenQuickControl()->AddRemoveItem()), Menu) << Style;
            EXPECT_EQ(ActiveBarControl(), Menu) << Style;
            EXPECT_EQ(Form.Manager()->KeyboardModeBar(), OpenQuickControl()) << Style;
            if (!Shown)
                SaveScenePicture(
                    {Form.FormWindow(), OpenQuickControl()->Handle(), Menu->Handle()},
                    std::string("quick-customizing-resized-") + (Style == dsTop ? "top" : "left"));
        }
        // The keys still walk the menu.
        Form.Tap(Qt::Key_Down);
        EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 6) << Style;
        Form.Click(Form.Elsewhere());
        EXPECT_EQ(OpenQuickControl(), nullptr) << Style;
    }
}

TEST(QuickCustomizing, ResetToolbarIsMissingWithoutAResetFromTheFormsDefinition) {
    struct TCase {
        const char* Name;
        bool ManagerAllows;
        bool BarAllows;
        bool ReadTwice;
    };
    for (const TCase& Case : {TCase{"manager's AllowReset off", false, true, false},
                              TCase{"bar's AllowReset off", true, false, false},
                              TCase{"two definitions read", true, true, true}}) {
        TQuickBars Form(640);
        Form.Manager()->AllowReset = Case.ManagerAllows;
        Form.Toolbar()->AllowReset = Case.BarAllows;
        // A form of a derived class reads its ancestor's definition and then its own.
        if (Case.ReadTwice)
            ReadComponentFromText(
                "inherited FormMain: TFormMain\n"
                "  inherited dxBarManager: TdxBarManager\n"
                "  end\n"
                "end\n",
                Form.Bars.Form());
        ASSERT_EQ(Form.Manager()->ReadStateCount(), Case.ReadTwice ? 2 : 1) << Case.Name;
        ASSERT_NE(Form.OpenByMark(), nullptr) << Case.Name;
        TdxBarSubMenuControl* Menu = Form.OpenAddRemove();
        ASSERT_NE(Menu, nullptr) << Case.Name;
        const std::vector<std::string> Captions = TQuickBars::CaptionsOf(Menu);
        ASSERT_EQ(Captions.size(), 7u) << Case.Name;
        EXPECT_EQ(Captions[6], "&Customize...") << Case.Name;
        EXPECT_TRUE(Menu->ItemLinks()->Items(6)->BeginGroup()) << Case.Name;
        Form.Click(Form.Elsewhere());
    }
    // A form made in code was read from no definition at all.
    TQuickBars Form(640);
    TBarsForm Coded;
    Coded.Manager()->SetStyle(bmsFlat);
    TdxBar* Bar = Coded.NewBar("Neu", {Coded.NewItem("&A"), Coded.NewItem("&B")});
    Coded.Form()->SetBounds(40, 300, 300, 80);
    Coded.Form()->Show();
    Bar->SetVisible(true);
    GuiTest::Drain();
    ASSERT_TRUE(Bar->Control()->MarkExists());
    const TRect Mark = Bar->Control()->MarkRect();
    Form.Click(GuiTest::ScreenOf(Bar->Control()->Handle(), POINT{Mark.Left + 5, Mark.Top + 5}));
    ASSERT_NE(OpenQuickControl(), nullptr);
    TdxBarSubMenuControl* Menu = Form.OpenAddRemove();
    ASSERT_NE(Menu, nullptr);
    EXPECT_EQ(TQuickBars::CaptionsOf(Menu),
              (std::vector<std::string>{"&A", "&B", "&Customize..."}));
    Form.Click(Form.Elsewhere());
}

TEST(QuickCustomizing, MovingTheCustomizingSelectionToAnotherBarClosesItWithin200Ms) {
    TFakeClock Clock;
    TQuickBars Form;
    TdxBarQuickControl* Quick = Form.OpenByMark();
    ASSERT_NE(Quick, nullptr);
    Form.Manager()->CustomizingMode(true);
    GuiTest::Drain();
    ASSERT_EQ(OpenQuickControl(), Quick);
    Form.Manager()->SetCustomizingSelection(Form.MenuLink(0)->Control());
    Clock.Advance(199);
    EXPECT_EQ(OpenQuickControl(), Quick);
    Clock.Advance(1);
    EXPECT_EQ(OpenQuickControl(), nullptr);
    Form.Manager()->SetCustomizingSelection(nullptr);
    Form.Manager()->Customizing(false);
}

TEST(QuickCustomizing, TheOwningToolbarGoingTakesTheWindowWithIt) {
    TQuickBars Form;
    ASSERT_NE(Form.OpenByMark(), nullptr);
    Form.Toolbar()->SetVisible(false);
    GuiTest::Drain();
    EXPECT_EQ(OpenQuickControl(), nullptr);
    Form.Toolbar()->SetVisible(true);
    GuiTest::Drain();
    EXPECT_EQ(Form.Toolbar()->Control()->MarkState(), TdxBarButtonState::Normal);
}

TEST(QuickCustomizingPictures, EachStyleWithAnEntryUnderThePointer) {
    for (auto [Style, Name] : {std::pair{bmsFlat, "flat"}, std::pair{bmsEnhanced, "enhanced"}}) {
        TQuickBars Form(150, Style);
        ASSERT_NE(Form.OpenByMark(), nullptr) << Name;
        TdxBarSubMenuControl* Menu = Form.OpenAddRemove();
        ASSERT_NE(Menu, nullptr) << Name;
        Form.Move(TMenuForm::EntryPoint(Menu, 1));
        EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 1) << Name;
        SaveScenePicture({Form.FormWindow(), OpenQuickControl()->Handle(), Menu->Handle()},
                         std::string("quick-customizing-") + Name);
        Form.Move(TMenuForm::EntryPoint(Menu, 7));
        SaveScenePicture({Form.FormWindow(), OpenQuickControl()->Handle(), Menu->Handle()},
                         std::string("quick-customizing-") + Name + "-customize");
        Form.Click(Form.Elsewhere());
        EXPECT_EQ(OpenQuickControl(), nullptr) << Name;
    }
}

}  // namespace
