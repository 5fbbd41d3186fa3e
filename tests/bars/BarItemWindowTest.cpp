// Shown bars following their items and their manager: items and links hidden and shown again,
// captions and paint styles changed, a drop-down button's arrow, the style and the font changed
// while the bars are shown.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "platform/gdi/RectMath.h"
#include "tests/bars/ShownBars.h"

namespace {

using namespace BarTest;

// The lefts of the toolbar's item rectangles (empty ones as -1).
std::vector<int> Lefts(const TShownBars& Shown) {
    std::vector<int> Out;
    TdxBarItemLinks* Links = Shown.Toolbar()->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I) {
        const TRect R = Links->Items(I)->ItemRect();
        Out.push_back(IsRectEmpty(R) ? -1 : R.Left);
    }
    return Out;
}

TEST(ShownItems, HiddenItemsAndLinksLeaveTheLineAndComeBackToTheirPlace) {
    TShownBars Shown(640);
    const std::vector<int> All = Lefts(Shown);
    const int Width = Shown.Toolbar()->Control()->Width();
    TdxBarButton* MultiStart = Shown.Bars.Button("BarButtonMultiStart");
    using THide = void (*)(TShownBars&, bool Hidden);
    const std::pair<const char*, THide> kWays[] = {
        {"item never visible",
         [](TShownBars& S, bool Hidden) {
             S.Bars.Button("BarButtonMultiStart")->SetVisible(Hidden ? ivNever : ivAlways);
         }},
        {"item visible while customizing",
         [](TShownBars& S, bool Hidden) {
             S.Bars.Button("BarButtonMultiStart")->SetVisible(Hidden ? ivInCustomizing : ivAlways);
         }},
        {"link hidden",
         [](TShownBars& S, bool Hidden) { S.Link(S.Toolbar(), 3)->SetVisible(!Hidden); }},
    };
    ASSERT_TRUE(MultiStart);
    for (auto [Way, Hide] : kWays) {
        Hide(Shown, true);
        GuiTest::Drain();
        const std::vector<int> Now = Lefts(Shown);
        EXPECT_EQ(Now[3], -1) << Way;
        EXPECT_EQ(Now[4], All[3] + 5) << Way;  // the next group moves up, its separator too
        EXPECT_EQ(Shown.Toolbar()->Control()->Width(), Width - 23) << Way;
        Hide(Shown, false);
        GuiTest::Drain();
        EXPECT_EQ(Lefts(Shown), All) << Way;
        EXPECT_EQ(Shown.Toolbar()->Control()->Width(), Width) << Way;
    }
}

TEST(ShownItems, AGroupStartThatIsNeverShownTakesItsSeparatorAlong) {
    TShownBars Shown(640);
    const std::vector<int> All = Lefts(Shown);
    Shown.Bars.Button("BarButtonStart")->SetVisible(ivNever);  // starts the second group
    GuiTest::Drain();
    const std::vector<int> Now = Lefts(Shown);
    // Only links the personalized menus hide hand their separator on (see the model tests):
    // MultiStart follows the first group directly.
    EXPECT_EQ(Now[2], -1);
    EXPECT_EQ(Now[3], All[2] - 5);
    EXPECT_EQ(Now[4], All[4] - 23 - 5);
}

TEST(ShownItems, CaptionsAndPaintStylesResizeTheirButtons) {
    TShownBars Shown(640);
    TdxBarButton* Start = Shown.Bars.Button("BarButtonStart");
    TdxBarItemLink* Link = Shown.Link(Shown.Toolbar(), 2);
    const int Glyph = Link->ItemRect().Width();
    Start->SetPaintStyle(psCaptionGlyph);
    GuiTest::Drain();
    const int Both = Link->ItemRect().Width();
    EXPECT_GT(Both, Glyph);
    Start->SetCaption(Start->Caption() + " jetzt sofort");
    GuiTest::Drain();
    const int Longer = Link->ItemRect().Width();
    EXPECT_GT(Longer, Both);
    // The next item follows the wider button.
    EXPECT_EQ(Shown.Link(Shown.Toolbar(), 3)->ItemRect().Left, Link->ItemRect().Right);
    Start->SetPaintStyle(psStandard);
    GuiTest::Drain();
    EXPECT_EQ(Link->ItemRect().Width(), Glyph);  // a glyph button shows no caption
}

TEST(ShownItems, ADropDownButtonIsWiderByItsArrow) {
    TShownBars Shown(640);
    TdxBarButton* Start = Shown.Bars.Button("BarButtonStart");
    Start->SetButtonStyle(bsDropDown);
    GuiTest::Drain();
    EXPECT_EQ(Shown.Manager()->ArrowWidth(), 8);  // 9, one less in the flat style
    EXPECT_EQ(Shown.Link(Shown.Toolbar(), 2)->ItemRect().Width(), 23 + 8);
    Start->SetButtonStyle(bsDefault);
    GuiTest::Drain();
    EXPECT_EQ(Shown.Link(Shown.Toolbar(), 2)->ItemRect().Width(), 23);
}

// ---- the manager's style and font ----------------------------------------------------------

TEST(ShownManager, ChangingTheStyleLaysTheShownBarsOutAgain) {
    TShownBars Shown(640);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    const QImage Flat = WindowPicture(Toolbar->Handle());
    Shown.Manager()->SetStyle(bmsStandard);
    GuiTest::Drain();
    Toolbar = Shown.Toolbar()->Control();
    ASSERT_TRUE(Toolbar);
    EXPECT_FALSE(Toolbar->MarkExists());  // no quick customizing mark in the standard style
    EXPECT_EQ(Toolbar->Width(), Toolbar->FullLength());
    EXPECT_NE(WindowPicture(Toolbar->Handle()), Flat);
    Shown.Manager()->SetStyle(bmsFlat);
    GuiTest::Drain();
    Toolbar = Shown.Toolbar()->Control();
    EXPECT_TRUE(Toolbar->MarkExists());
    EXPECT_EQ(WindowPicture(Toolbar->Handle()), Flat);
}

TEST(ShownManager, ALargerFontMakesTheMenuBarTallerAndItsItemsWider) {
    TShownBars Shown(640);
    TdxBarControl* Menu = Shown.Menu()->Control();
    const int Height = Menu->Height();
    const int Width = Shown.Link(Shown.Menu(), 1)->ItemRect().Width();
    const int SiteHeight = Shown.Manager()->Bars()->DockControls(dsTop)->Height();
    // A scaled manager keeps the system menu font's height whatever the font says.
    const int Size = Shown.Manager()->Font()->Size();
    Shown.Manager()->Font()->SetSize(Size * 2);
    GuiTest::Drain();
    EXPECT_FALSE(Shown.Manager()->UseSystemFont());
    EXPECT_EQ(Shown.Menu()->Control()->Height(), Height);
    Shown.Manager()->SetScaled(false);
    Shown.Manager()->Font()->SetSize(Size * 2);
    GuiTest::Drain();
    Menu = Shown.Menu()->Control();
    ASSERT_TRUE(Menu);
    EXPECT_GT(Menu->Height(), Height);
    EXPECT_GT(Shown.Link(Shown.Menu(), 1)->ItemRect().Width(), Width);
    EXPECT_GT(Shown.Manager()->Bars()->DockControls(dsTop)->Height(), SiteHeight);
    // The toolbar's glyph buttons keep the button size.
    EXPECT_EQ(Shown.Link(Shown.Toolbar(), 2)->ItemRect().Width(), 23);
}

}  // namespace
