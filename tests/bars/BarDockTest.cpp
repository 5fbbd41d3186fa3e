// Dock sites with several bars: rows shared and rows of their own, bars hidden and shown again,
// moved to another edge and docked at the sides; the manager's update lock; bars, items and links
// going away while their windows are shown, also from a click handler.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "platform/gdi/RectMath.h"
#include "tests/bars/ShownBars.h"

namespace {

using namespace BarTest;

TdxDockControl* Site(const TShownBars& Shown, TdxBarDockingStyle Style) {
    return Shown.Manager()->Bars()->DockControls(Style);
}

// A second toolbar with the first three commands of the main window.
TdxBar* AddExtra(TShownBars& Shown, int Row, bool OneOnRow, int DockedLeft = 0) {
    TdxBar* Extra = Shown.Bars.NewBar(
        "Extra", {Shown.Bars.Button("BarButtonStart"), Shown.Bars.Button("BarButtonMultiStart"),
                  Shown.Bars.Button("BarButtonExit")});
    Extra->SetRow(Row);
    Extra->OneOnRow = OneOnRow;
    Extra->SetDockedLeft(DockedLeft);
    Extra->SetVisible(true);
    GuiTest::Drain();
    return Extra;
}

// ---- rows ----------------------------------------------------------------------------------

TEST(DockRows, ABarJoinsTheRowItNamesAtItsDockedLeft) {
    TShownBars Shown(640);
    TdxDockControl* Top = Site(Shown, dsTop);
    const int Height = Top->Height();
    TdxBar* Extra = AddExtra(Shown, 1, false, 300);
    ASSERT_TRUE(Extra->Control());
    EXPECT_EQ(Top->RowCount(), 2);
    EXPECT_EQ(Top->RowOfBar(Extra->Control()), 1);
    EXPECT_EQ(Extra->Control()->Top(), Shown.Toolbar()->Control()->Top());
    EXPECT_EQ(Extra->Control()->Left(), 300);
    EXPECT_EQ(Shown.Toolbar()->Control()->Left(), 0);
    EXPECT_EQ(Top->Height(), Height);  // the row is as thick as before
}

TEST(DockRows, ABarLeftOfAnotherComesFirstAndPushesItAlong) {
    TShownBars Shown(640);
    TdxBar* Extra = AddExtra(Shown, 1, false, 0);
    const TdxBarControl* First = Extra->Control();
    const TdxBarControl* Second = Shown.Toolbar()->Control();
    ASSERT_TRUE(First && Second);
    EXPECT_EQ(First->Left(), 0);
    EXPECT_GE(Second->Left(), First->Left() + First->Width());  // never overlapping
}

TEST(DockRows, OneOnRowTakesANewRowWhereItAsks) {
    TShownBars Shown(640);
    TdxDockControl* Top = Site(Shown, dsTop);
    const int MenuHeight = Shown.Menu()->Control()->Height();
    TdxBar* Extra = AddExtra(Shown, 1, true);
    ASSERT_TRUE(Extra->Control());
    EXPECT_EQ(Top->RowCount(), 3);
    EXPECT_EQ(Top->RowOfBar(Extra->Control()), 1);
    EXPECT_EQ(Top->RowOfBar(Shown.Toolbar()->Control()), 2);
    EXPECT_EQ(Extra->Control()->Top(), MenuHeight);
    EXPECT_EQ(Shown.Toolbar()->Control()->Top(), MenuHeight + Extra->Control()->Height());
    EXPECT_EQ(Top->Height(),
              MenuHeight + Extra->Control()->Height() + Shown.Toolbar()->Control()->Height());
}

TEST(DockRows, TheMenuBarKeepsItsWholeRow) {
    TShownBars Shown(640);
    TdxDockControl* Top = Site(Shown, dsTop);
    TdxBar* Extra = AddExtra(Shown, 0, false, 400);
    ASSERT_TRUE(Extra->Control());
    const int MenuRow = Top->RowOfBar(Shown.Menu()->Control());
    EXPECT_NE(Top->RowOfBar(Extra->Control()), MenuRow);
    EXPECT_EQ(Top->Rows(MenuRow)->ColCount(), 1);
    EXPECT_EQ(Shown.Menu()->Control()->Width(), Top->ClientRect().Right);
}

TEST(DockRows, HidingABarGivesItsRowBackAndShowingItTakesOneAgain) {
    TShownBars Shown(640);
    TdxDockControl* Top = Site(Shown, dsTop);
    const int Height = Top->Height();
    const int MenuHeight = Shown.Menu()->Control()->Height();
    const TRect ItemBefore = Shown.Link(Shown.Toolbar(), 3)->ItemRect();
    Shown.Toolbar()->SetVisible(false);
    GuiTest::Drain();
    EXPECT_EQ(Shown.Toolbar()->Control(), nullptr);
    EXPECT_EQ(Top->RowCount(), 1);
    EXPECT_EQ(Top->Height(), MenuHeight);
    EXPECT_TRUE(IsRectEmpty(Shown.Link(Shown.Toolbar(), 3)->ItemRect()));  // no window, no place
    Shown.Toolbar()->SetVisible(true);
    GuiTest::Drain();
    ASSERT_TRUE(Shown.Toolbar()->Control());
    EXPECT_EQ(Top->RowCount(), 2);
    EXPECT_EQ(Top->Height(), Height);
    EXPECT_EQ(Shown.Link(Shown.Toolbar(), 3)->ItemRect(), ItemBefore);
}

// ---- other edges ---------------------------------------------------------------------------

TEST(DockEdges, ABarMovedToTheBottomLeavesTheTopAndSitsOnTheFormsLowerEdge) {
    TShownBars Shown(640);
    TdxDockControl* Top = Site(Shown, dsTop);
    TdxDockControl* Bottom = Site(Shown, dsBottom);
    const int MenuHeight = Shown.Menu()->Control()->Height();
    Shown.Toolbar()->SetDockingStyle(dsBottom);
    GuiTest::Drain();
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    ASSERT_TRUE(Toolbar);
    EXPECT_EQ(Toolbar->Parent(), Bottom);
    EXPECT_EQ(Toolbar->DockingStyle(), dsBottom);
    EXPECT_EQ(Top->RowCount(), 1);
    EXPECT_EQ(Top->Height(), MenuHeight);
    EXPECT_EQ(Bottom->RowCount(), 1);
    EXPECT_EQ(Bottom->Height(), Toolbar->Height());
    EXPECT_EQ(Bottom->Top() + Bottom->Height(), Shown.Bars.Form()->ClientRect().Bottom);
    // Still a horizontal toolbar with every button in place.
    EXPECT_EQ(Shown.Toolbar()->ItemLinks()->FittingCount(), 6);
    EXPECT_EQ(Shown.Link(Shown.Toolbar(), 1)->ItemRect().Top,
              Shown.Link(Shown.Toolbar(), 0)->ItemRect().Top);
    // And back.
    Shown.Toolbar()->SetDockingStyle(dsTop);
    GuiTest::Drain();
    ASSERT_TRUE(Shown.Toolbar()->Control());
    EXPECT_EQ(Shown.Toolbar()->Control()->Parent(), Top);
    EXPECT_EQ(Bottom->RowCount(), 0);
    EXPECT_EQ(Bottom->Height(), 0);
}

TEST(DockEdges, AtTheSidesTheButtonsStackAndTheSiteIsAsWideAsTheBar) {
    for (TdxBarDockingStyle Style : {dsLeft, dsRight}) {
        TShownBars Shown(640);
        Shown.Bars.Form()->SetHeight(400);
        Shown.Toolbar()->SetDockingStyle(Style);
        GuiTest::Drain();
        TdxBarControl* Toolbar = Shown.Toolbar()->Control();
        ASSERT_TRUE(Toolbar) << Style;
        TdxDockControl* Side = Site(Shown, Style);
        EXPECT_EQ(Toolbar->Parent(), Side);
        EXPECT_TRUE(Toolbar->IsVertical());
        EXPECT_EQ(Side->Width(), Toolbar->Width());
        EXPECT_GT(Toolbar->Height(), Toolbar->Width());
        int Bottom = 0;
        for (int I = 0; I < 6; ++I) {
            const TRect R = Shown.Link(Shown.Toolbar(), I)->ItemRect();
            EXPECT_EQ(R.Left, Shown.Link(Shown.Toolbar(), 0)->ItemRect().Left) << I;
            EXPECT_GE(R.Top, Bottom) << I;
            EXPECT_EQ(R.Width(), 23) << I;
            Bottom = R.Bottom;
        }
        // The side site lies below the top site and reaches the form's lower edge.
        EXPECT_EQ(Side->Top(), Site(Shown, dsTop)->Height());
        EXPECT_EQ(Side->Left() == 0, Style == dsLeft);
    }
}

// ---- lengths for the sites ----------------------------------------------------------------

TEST(BarLengths, WhatTheSitesAskAgreesWithWhereTheWindowsEndUp) {
    for (TdxBarManagerStyle Style : {bmsStandard, bmsEnhanced, bmsFlat}) {
        TShownBars Shown(640, true, Style);
        TdxBarControl* Toolbar = Shown.Toolbar()->Control();
        TdxBarControl* Menu = Shown.Menu()->Control();
        ASSERT_TRUE(Toolbar && Menu);
        // Wide enough: the toolbar is as long as all of it on one line, the mark only where
        // quick customizing shows it.
        EXPECT_EQ(Toolbar->FullLength(), Toolbar->Width()) << Style;
        // Border and grip, group separators and the mark as the style draws them.
        const int Frame = 4 + Shown.Manager()->GripSize();
        const int Separators = 3 * Toolbar->GetBeginGroupSize();
        EXPECT_EQ(Toolbar->Width(),
                  6 * 23 + Separators + Frame + (Style == bmsStandard ? 0 : kdxBarMarkSize))
            << Style;
        EXPECT_EQ(Toolbar->ThicknessForLength(Toolbar->FullLength()), Toolbar->Height()) << Style;
        EXPECT_LE(Toolbar->MinLength(), Toolbar->FullLength()) << Style;
        // A toolbar does not wrap: shorter, it keeps its thickness.
        EXPECT_EQ(Toolbar->ThicknessForLength(Toolbar->MinLength()), Toolbar->Height()) << Style;
        // The menu bar wraps: at its shortest it is thicker, at its full length one line.
        EXPECT_EQ(Menu->ThicknessForLength(Menu->FullLength()), Menu->Height()) << Style;
        EXPECT_GT(Menu->ThicknessForLength(Menu->MinLength()), Menu->Height()) << Style;
        // Standing at a side the toolbar turns: long across becomes long down.
        const TSize Across = Toolbar->GetSizeForStyle(dsTop);
        const TSize Down = Toolbar->GetSizeForStyle(dsLeft);
        EXPECT_EQ(Across, (TSize{Toolbar->Width(), Toolbar->Height()})) << Style;
        EXPECT_LT(Down.cx, Across.cx) << Style;
        EXPECT_GT(Down.cy, Down.cx) << Style;
    }
}

// ---- the update lock -----------------------------------------------------------------------

TEST(BarUpdateLock, ChangesWaitWhileLockedAndShowWhenUnlocked) {
    TShownBars Shown(640);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    const int Width = Toolbar->Width();
    {
        TdxBarUpdateLock Lock(Shown.Manager());
        {
            TdxBarUpdateLock Inner(Shown.Manager());  // nesting keeps the outer lock
        }
        EXPECT_TRUE(Shown.Manager()->UpdateLocked());
        for (const char* Name : {"BarButtonStart", "BarButtonMultiStart", "BarButtonExit"})
            Shown.Toolbar()->ItemLinks()->Add()->SetItem(Shown.Bars.Button(Name));
        GuiTest::Drain();
        EXPECT_EQ(Shown.Toolbar()->Control()->Width(), Width);
    }
    EXPECT_FALSE(Shown.Manager()->UpdateLocked());
    GuiTest::Drain();
    ASSERT_TRUE(Shown.Toolbar()->Control());
    EXPECT_EQ(Shown.Toolbar()->Control()->Width(), Width + 3 * 23);
    EXPECT_EQ(Shown.Toolbar()->ItemLinks()->FittingCount(), 9);
}

// ---- things going away ---------------------------------------------------------------------

TEST(BarLifetime, AFreedItemLeavesEveryShownBar) {
    TShownBars Shown(640);
    TdxBarButton* Start = Shown.Bars.Button("BarButtonStart");
    AddExtra(Shown, 2, true);
    const int Width = Shown.Toolbar()->Control()->Width();
    Start->Free();
    GuiTest::Drain();
    EXPECT_EQ(Shown.Toolbar()->ItemLinks()->Count(), 5);
    EXPECT_EQ(Shown.Manager()->Bars()->Items(2)->ItemLinks()->Count(), 2);
    EXPECT_EQ(Shown.Toolbar()->Control()->Width(), Width - 23 - 5);  // its group separator too
    // What is left still answers the mouse.
    int Exits = 0;
    Shown.Bars.Button("BarButtonExit")->OnClick = [&](TObject*) { ++Exits; };
    GuiTest::MouseClick(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 4));
    GuiTest::Drain();
    EXPECT_EQ(Exits, 1);
}

TEST(BarLifetime, ClickHandlersMayTakeTheirOwnBarApart) {
    // Each handler pulls away what the click is running in; the click must not touch it again.
    using TTakeApart = void (*)(TShownBars&);
    const std::pair<const char*, TTakeApart> kHandlers[] = {
        {"hides the bar", [](TShownBars& S) { S.Toolbar()->SetVisible(false); }},
        {"frees the link", [](TShownBars& S) { S.Toolbar()->ItemLinks()->Delete(2); }},
        {"clears the links", [](TShownBars& S) { S.Toolbar()->ItemLinks()->Clear(); }},
        {"moves the bar", [](TShownBars& S) { S.Toolbar()->SetDockingStyle(dsBottom); }},
        {"frees the bar", [](TShownBars& S) { S.Manager()->Bars()->Delete(1); }},
        {"changes the style", [](TShownBars& S) { S.Manager()->SetStyle(bmsStandard); }},
    };
    for (auto [What, TakeApart] : kHandlers) {
        TShownBars Shown(640);
        int Clicks = 0;
        Shown.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) {
            ++Clicks;
            TakeApart(Shown);
        };
        TdxBarControl* Window = Shown.Toolbar()->Control();
        TFreeWatch Watch(Window);
        GuiTest::MouseClick(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 2));
        GuiTest::Drain();
        EXPECT_EQ(Clicks, 1) << What;
        // A window its bar let go of is freed once the click is over, and nobody keeps it.
        const bool Kept = !Watch.Gone();
        if (Kept) Window->RemoveFreeNotification(&Watch);
        bool StillABarsWindow = false;
        for (int I = 0; I < Shown.Manager()->Bars()->Count(); ++I)
            StillABarsWindow =
                StillABarsWindow || Shown.Manager()->Bars()->Items(I)->Control() == Window;
        EXPECT_EQ(Kept, StillABarsWindow) << What;
        // The form goes on: another pass of painting and a move of the mouse over it.
        GuiTest::MouseMove(Shown.FormWindow(),
                           GuiTest::ScreenOf(Shown.FormWindow(), POINT{30, 40}));
        GuiTest::Drain();
    }
}

// A press holds the toolbar's window in Pressed until the button comes up; when the pressed
// link goes meanwhile the window lets go of it at once, its release clicks nothing and the
// pointer hot-tracks again.
TEST(BarLifetime, APressEndsWithTheReleaseOrWithItsLink) {
    TShownBars Shown(640);
    int Clicks = 0;
    Shown.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) { ++Clicks; };
    TdxBarControl* Window = Shown.Toolbar()->Control();
    const POINT Start = Shown.ScreenPoint(Shown.Toolbar(), 2);
    GuiTest::MousePress(Shown.FormWindow(), Start);
    GuiTest::Drain();
    EXPECT_EQ(Window->InputState(), TdxBarInputState::Pressed);
    EXPECT_EQ(Window->PressedControl(), Shown.Link(Shown.Toolbar(), 2)->Control());
    GuiTest::MouseRelease(Shown.FormWindow(), Start);
    GuiTest::Drain();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Window->InputState(), TdxBarInputState::Idle);
    EXPECT_EQ(Window->PressedControl(), nullptr);

    GuiTest::MousePress(Shown.FormWindow(), Start);
    GuiTest::Drain();
    ASSERT_EQ(Window->InputState(), TdxBarInputState::Pressed);
    Shown.Toolbar()->ItemLinks()->Delete(2);
    EXPECT_EQ(Window->InputState(), TdxBarInputState::Idle);
    EXPECT_EQ(Window->PressedControl(), nullptr);
    GuiTest::MouseRelease(Shown.FormWindow(), Start);
    GuiTest::Drain();
    EXPECT_EQ(Clicks, 1);
    const POINT Exit = Shown.ScreenPoint(Shown.Toolbar(), 3);
    GuiTest::MouseMove(Shown.FormWindow(), Exit);
    GuiTest::Drain();
    ASSERT_NE(Window->SelectedControl(), nullptr);
    EXPECT_EQ(Window->SelectedControl(), Shown.Link(Shown.Toolbar(), 3)->Control());
}

TEST(BarLifetime, AFreedManagerTakesItsItemsBarsAndSitesAlong) {
    TShownBars Shown(640);
    TForm* Form = Shown.Bars.Form();
    const int Controls = Form->ControlCount();
    Shown.Manager()->SetImages(nullptr);
    Shown.Manager()->Free();
    GuiTest::Drain();
    EXPECT_EQ(BarManagerOfForm(Form), nullptr);
    EXPECT_EQ(Shown.Bars.Button("BarButtonStart"), nullptr);
    EXPECT_EQ(Shown.Bars.Find<TdxBarSubItem>("dxBarSubItem1"), nullptr);
    EXPECT_EQ(Form->ControlCount(), Controls - 4);  // the four sites along the edges
    // The form lives on without them.
    Form->SetWidth(300);
    GuiTest::MouseMove(Shown.FormWindow(), GuiTest::ScreenOf(Shown.FormWindow(), POINT{30, 10}));
    GuiTest::Drain();
}

}  // namespace
