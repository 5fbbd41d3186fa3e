// The hints of the main window's toolbar on a fake clock: the delay before the first hint, the
// switch while one shows, the short grace after one hid, the hiding after ten seconds, the text
// with the shortcut, and where the hint goes at the edges of the work area.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "bars/windows/dxBarHint.h"
#include "platform/actions/ActnList.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

bool HintShows() {
    TdxBarHintWindow* Hint = dxBarHintWindow();
    return Hint && Hint->HandleAllocated() && IsWindowVisible(Hint->Handle());
}

std::string HintCaption() {
    return HintShows() ? dxBarHintWindow()->Caption() : std::string();
}

// The toolbar's link of a command of the main window.
POINT ToolbarPoint(const TMenuForm& Form, const char* Button) {
    TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I)
        if (Links->Items(I)->Item() == Form.Bars.Button(Button))
            return Form.ScreenPoint(Form.Toolbar(), I);
    ADD_FAILURE() << Button;
    return POINT{0, 0};
}

TEST(BarHints, TheFirstHintWaitsASecondTheNextSwitchesAtOnce) {
    TFakeClock Clock;
    TMenuForm Form;
    const POINT Start = ToolbarPoint(Form, "BarButtonStart");
    Form.Move(Start);
    Clock.Advance(999);
    EXPECT_FALSE(HintShows());
    Clock.Advance(1);
    ASSERT_TRUE(HintShows());
    EXPECT_EQ(HintCaption(), "Start (F7)");
    // Its corner 20 pixels below the cursor; a hint never takes the focus.
    TdxBarHintWindow* Hint = dxBarHintWindow();
    EXPECT_EQ(Hint->Left(), Start.x);
    EXPECT_EQ(Hint->Top(), Start.y + 20);
    EXPECT_NE(GetActiveWindow(), Hint->Handle());
    SaveScenePicture({Form.FormWindow(), Hint->Handle()}, "hint-start");
    // The next button's hint replaces it at once.
    Form.Move(ToolbarPoint(Form, "BarButtonMultiStart"));
    EXPECT_EQ(HintCaption(), "MultiStart (F8)");
    // A command without a shortcut shows its hint alone.
    Form.Move(ToolbarPoint(Form, "BarButtonOrderNews"));
    EXPECT_EQ(HintCaption(), "News bestellen");
}

TEST(BarHints, ComingBackWithin400MsShowsTheHintAtOnceLaterItWaitsAgain) {
    TFakeClock Clock;
    TMenuForm Form;
    const POINT Start = ToolbarPoint(Form, "BarButtonStart");
    Form.Move(Start);
    Clock.Advance(1000);
    ASSERT_TRUE(HintShows());
    Form.Move(Form.FormPoint());
    EXPECT_FALSE(HintShows());
    Clock.Advance(399);
    Form.Move(Start);
    EXPECT_TRUE(HintShows());
    Form.Move(Form.FormPoint());
    Clock.Advance(400);
    Form.Move(Start);
    EXPECT_FALSE(HintShows());
    Clock.Advance(1000);
    EXPECT_TRUE(HintShows());
    // Ten seconds later it hides by itself.
    Clock.Advance(9999);
    EXPECT_TRUE(HintShows());
    Clock.Advance(1);
    EXPECT_FALSE(HintShows());
}

TEST(BarHints, NoHintForDisabledCommandsWhenTheManagerSaysSoNorInMenus) {
    TFakeClock Clock;
    TMenuForm Form;
    Form.Bars.Button("BarButtonStart")->SetEnabled(false);
    Form.Manager()->ShowHintForDisabledItems = false;
    Form.Move(ToolbarPoint(Form, "BarButtonStart"));
    Clock.Advance(2000);
    EXPECT_FALSE(HintShows());
    Form.Manager()->ShowHintForDisabledItems = true;
    Form.Move(ToolbarPoint(Form, "BarButtonMultiStart"));
    Form.Move(ToolbarPoint(Form, "BarButtonStart"));
    Clock.Advance(1000);
    EXPECT_EQ(HintCaption(), "Start (F7)");
    // Entries of open menus have no hints.
    Form.Click(Form.ScreenPoint(Form.Menu(), 2));
    EXPECT_FALSE(HintShows());
    Form.Move(TMenuForm::EntryPoint(Form.OpenMenu(2), 1));
    Clock.Advance(2000);
    EXPECT_FALSE(HintShows());
}

TEST(BarHints, AHintThatWouldLeaveTheWorkAreaMovesBackOntoIt) {
    TScreensGuard Screens({WholeScreen(800, 600)});
    TMenuForm Form;
    TdxBarHintWindow* Hint = dxBarHintWindow();
    ASSERT_NE(Hint, nullptr);
    Hint->ActivateHint(TPoint{100, 200}, "Start (F7)", Form.Manager());
    const int Width = Hint->Width(), Height = Hint->Height();
    EXPECT_EQ(Hint->BoundsRect(), (TRect{100, 200, 100 + Width, 200 + Height}));
    // Below the bottom: 50 pixels above the point it was given (30 above the cursor).
    Hint->ActivateHint(TPoint{100, 590}, "Start (F7)", Form.Manager());
    EXPECT_EQ(Hint->Top(), 540);
    // Past the right edge: its right edge on the work area's.
    Hint->ActivateHint(TPoint{790, 200}, "Start (F7)", Form.Manager());
    EXPECT_EQ(Hint->Left() + Width, 800);
    // Left of and above the work area: onto it.
    Hint->ActivateHint(TPoint{-30, -30}, "Start (F7)", Form.Manager());
    EXPECT_EQ(Hint->Left(), 0);
    EXPECT_EQ(Hint->Top(), 0);
    UpdateHint(Form.Manager(), false);
}

// The hint of a command linked to an action goes through the action's hint handler first: it may
// word the hint anew, or decline it, and then no hint shows.
TEST(BarHints, AnActionsHintHandlerMayRewordOrDeclineTheHint) {
    TFakeClock Clock;
    TMenuForm Form;
    auto* Action = new TAction(Form.Bars.Form());
    Action->SetCaption("Start");
    Action->SetHint("Start|Startet die Boxen");
    Action->SetShortCut(Form.Bars.Button("BarButtonStart")->ShortCut());
    bool Declines = false;
    Action->OnHint = [&](std::string& Hint, bool& CanShow) {
        if (Declines)
            CanShow = false;
        else
            Hint = "Los";
    };
    Form.Bars.Button("BarButtonStart")->SetAction(Action);
    const POINT Start = ToolbarPoint(Form, "BarButtonStart");
    Form.Move(Start);
    Clock.Advance(1000);
    EXPECT_EQ(HintCaption(), "Los (F7)");
    Form.Move(Form.FormPoint());
    Clock.Advance(1000);
    Declines = true;
    Form.Move(Start);
    Clock.Advance(2000);
    EXPECT_FALSE(HintShows());
}

}  // namespace
