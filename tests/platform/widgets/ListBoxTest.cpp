// List boxes: the test form read from its definition, items kept in memory until the window
// exists and carried through a new window, the selection, owner drawing, and real input.
#include <algorithm>

#include "platform/controls/ListBox.h"
#include "platform/controls/StatusBar.h"
#include "tests/platform/widgets/ListsTestSupport.h"

using namespace ListsTest;
using namespace GuiTest;

namespace {

std::vector<std::string> Lines(TStrings* Items) {
    std::vector<std::string> Out;
    for (int I = 0; I < Items->Count(); ++I) Out.push_back(Items->Get(I));
    return Out;
}

bool Logged(const std::vector<std::string>& Log, const std::string& Line) {
    return std::find(Log.begin(), Log.end(), Line) != Log.end();
}

TEST_F(ListsFixture, TheFormReadsEveryControlFromItsDefinitionAndShows) {
    TTestListsForm* Form = ShowForm();
    ASSERT_TRUE(Form->LogList && Form->Plain && Form->Checks && Form->Hosts && Form->Kinds &&
                Form->Colours && Form->Count && Form->Spin && Form->Icons && Form->StatusBar);
    EXPECT_EQ(Form->LogList->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(Form->LogList->ItemHeight(), 34);
    EXPECT_EQ(Form->LogList->Items()->Count(), 3);
    // Sorted as the window sorts: without regard to case.
    EXPECT_EQ(Lines(Form->Plain->Items()),
              (std::vector<std::string>{"apple", "Banana", "cherry", "Date", "Kiwi"}));
    EXPECT_TRUE(Form->Plain->MultiSelect());
    EXPECT_TRUE(Form->Checks->AllowGrayed());
    // The current item came before the items in the definition.
    EXPECT_EQ(Form->Kinds->ItemIndex(), 1);
    EXPECT_EQ(Form->Kinds->Text(), "MD5");
    EXPECT_EQ(Form->Colours->ItemIndex(), 2);
    EXPECT_EQ(Form->Hosts->Text(), "pop.example.org");
    EXPECT_EQ(Form->Spin->Associate(), Form->Count);
    EXPECT_EQ(Form->Count->Text(), "5");
    EXPECT_EQ(Form->Icons->Count(), 3);

    // Every owner-drawn item and panel was drawn by the form's handlers.
    // The first control in tab order has the focus: its first item shows it.
    for (const char* Line : {"draw 0 focused", "draw 1 -", "draw 2 -", "colour 2 comboedit"})
        EXPECT_TRUE(Logged(Form->Log, Line)) << Line;
    EXPECT_TRUE(std::any_of(Form->Log.begin(), Form->Log.end(),
                            [](const std::string& L) { return L.rfind("panel 4 ", 0) == 0; }));
    Form->Checks->SetChecked(0, true);
    Form->Checks->SetState(2, cbGrayed);
    Form->Checks->SetItemEnabled(3, false);
    Form->Plain->SetSelected(1, true);
    Form->Plain->SetSelected(3, true);
    Form->LogList->SetItemIndex(1);
    Drain();
    SaveWindowPicture(Form->Handle(), Picture("lists-form"));
}

// What the list keeps must be the same whether the window exists or not; each step runs once on
// a list without a window and once on one with a window.
TEST_F(ListsFixture, ItemsBehaveAlikeInMemoryAndInTheWindow) {
    TTestListsForm* Form = ShowForm();
    for (bool WithWindow : {false, true}) {
        SCOPED_TRACE(WithWindow ? "window" : "memory");
        auto* List = new TListBox(Form);
        if (WithWindow) {
            List->SetParent(Form);
            List->HandleNeeded();
        }
        TStrings* Items = List->Items();
        int Objects[3];
        Items->AddObject("beta", &Objects[0]);
        Items->Add("Alpha");
        Items->InsertObject(0, "gamma", &Objects[1]);
        EXPECT_EQ(Lines(Items), (std::vector<std::string>{"gamma", "beta", "Alpha"}));
        EXPECT_EQ(Items->GetObject(0), &Objects[1]);
        EXPECT_EQ(Items->IndexOf("ALPHA"), 2);
        EXPECT_EQ(Items->IndexOf("delta"), -1);
        // Replacing a text keeps the object and the current item.
        List->SetItemIndex(1);
        Items->Put(1, "BETA");
        EXPECT_EQ(Items->GetObject(1), &Objects[0]);
        EXPECT_EQ(List->ItemIndex(), 1);
        // Sorting keeps every object with its item and the current item.
        List->SetSorted(true);
        EXPECT_EQ(Lines(Items), (std::vector<std::string>{"Alpha", "BETA", "gamma"}));
        EXPECT_EQ(List->ItemIndex(), 1);
        EXPECT_EQ(Items->GetObject(1), &Objects[0]);
        EXPECT_EQ(Items->GetObject(2), &Objects[1]);
        EXPECT_EQ(Items->AddObject("b", &Objects[2]), 1);
        EXPECT_EQ(List->ItemIndex(), WithWindow ? 2 : 2);
        // Bad indexes are errors, not crashes.
        EXPECT_EQ(ErrorOf([&] { Items->Get(4); }), "List index out of bounds (4)");
        EXPECT_EQ(ErrorOf([&] { Items->Insert(9, "x"); }), "List index out of bounds (9)");
        EXPECT_EQ(ErrorOf([&] { Items->Delete(-1); }), "List index out of bounds (-1)");
        // Texts are kept as the window keeps them: up to a NUL.
        const int Cut = Items->Add(std::string("cut\0here", 8));
        EXPECT_EQ(Items->Get(Cut), "cut");
        Items->Delete(Cut);
        // Selecting past the end selects nothing (the program does so after adding a line).
        Items->Insert(0, "newest");
        List->SetItemIndex(Items->Count());
        EXPECT_EQ(List->ItemIndex(), -1);
        Items->Clear();
        EXPECT_EQ(Items->Count(), 0);
        EXPECT_EQ(List->ItemIndex(), -1);
        List->Free();
    }
}

TEST_F(ListsFixture, ANewWindowKeepsItemsSelectionAndTopItem) {
    TTestListsForm* Form = ShowForm();
    TListBox* List = Form->Plain;
    for (int I = 0; I < 20; ++I) List->Items()->AddObject("Item " + std::to_string(100 + I), List);
    List->SetSelected(2, true);
    List->SetSelected(7, true);
    List->SetItemIndex(7);
    List->SetTopIndex(4);
    const HWND Before = List->Handle();
    // Another selection mode needs another window.
    List->SetExtendedSelect(false);
    EXPECT_NE(List->Handle(), Before);
    EXPECT_EQ(List->Items()->Count(), 25);
    EXPECT_TRUE(List->Selected(2));
    EXPECT_TRUE(List->Selected(7));
    EXPECT_FALSE(List->Selected(3));
    EXPECT_EQ(List->SelCount(), 2);
    EXPECT_EQ(List->ItemIndex(), 7);
    EXPECT_EQ(List->TopIndex(), 4);
    EXPECT_EQ(List->Items()->GetObject(List->Items()->IndexOf("Item 119")), List);
    EXPECT_NE(GetWindowLongPtr(List->Handle(), GWL_STYLE) & LBS_MULTIPLESEL, 0);

    // One selection: SelCount says so, Selected follows ItemIndex.
    List->SetMultiSelect(false);
    EXPECT_EQ(List->SelCount(), -1);
    List->SetSelected(3, true);
    EXPECT_EQ(List->ItemIndex(), 3);
    List->SetSelected(3, false);
    EXPECT_EQ(List->ItemIndex(), -1);
    EXPECT_EQ(ErrorOf([&] { List->Selected(25); }), "List index out of bounds (25)");
    EXPECT_EQ(ErrorOf<ERangeError>([&] { List->SetItemHeight(0); }),
              "Item height 0 is not between 1 and 255");
}

TEST_F(ListsFixture, ItemAtPosAndItemRectFollowTheItems) {
    TTestListsForm* Form = ShowForm();
    TListBox* List = Form->LogList;
    const int W = List->ClientWidth();
    EXPECT_EQ(List->ItemRect(0), (TRect{0, 0, W, 34}));
    EXPECT_EQ(List->ItemRect(2), (TRect{0, 68, W, 102}));
    // The place after the last item, for dropping after it.
    EXPECT_EQ(List->ItemRect(3), (TRect{0, 102, W, 136}));
    EXPECT_EQ(List->ItemRect(4), TRect{});
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 40}, true), 1);
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 110}, true), -1);
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 110}, false), 3);
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 500}, false), -1);
    // Scrolled down by one item.
    List->Items()->Add("4");
    List->Items()->Add("5");
    List->SetTopIndex(1);
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 5}, true), 1);
    EXPECT_EQ(List->ItemRect(1), (TRect{0, 0, List->ClientWidth(), 34}));
}

TEST_F(ListsFixture, VariableItemsAreMeasuredOneByOneAndDrawnByDefault) {
    TTestListsForm* Form = ShowForm();
    auto* List = new TListBox(Form);
    List->SetBounds(8, 190, 150, 80);
    List->SetStyle(lbOwnerDrawVariable);
    std::vector<int> Measured;
    List->OnMeasureItem = [&](TWinControl* Control, int Index, int& Height) {
        EXPECT_EQ(Control, List);
        Measured.push_back(Index);
        Height = 14 + 6 * Index;
    };
    for (const char* Text : {"short", "taller", "tallest"}) List->Items()->Add(Text);
    List->SetParent(Form);
    List->HandleNeeded();
    // Measured as the window takes them, whether added before or after it was made.
    EXPECT_EQ(Measured, (std::vector<int>{0, 1, 2}));
    List->Items()->Add("last");
    EXPECT_EQ(Measured.back(), 3);
    EXPECT_EQ(List->ItemRect(0).Height(), 14);
    EXPECT_EQ(List->ItemRect(2), (TRect{0, 34, List->ClientWidth(), 60}));
    // Without OnDrawItem the text is drawn, in the highlight colours when selected.
    List->SetItemIndex(1);
    Drain();
    const QRgb Highlight = ColorOf(ColorToRGB(clHighlight));
    EXPECT_EQ(PixelAt(List->Handle(), 100, 14 + 2 + 10), Highlight);
    bool Text = false;
    for (int X = 4; X < 30 && !Text; ++X)
        for (int Y = 2; Y < 14 && !Text; ++Y) Text = qGray(PixelAt(List->Handle(), X, Y)) < 100;
    EXPECT_TRUE(Text);
    SaveWindowPicture(List->Handle(), Picture("listbox-variable"));
}

TEST_F(ListsFixture, ClicksAndKeysSelectAndFireTheEvents) {
    TTestListsForm* Form = ShowForm();
    const HWND Top = Form->Handle();
    Form->Log.clear();
    // A click selects the item and draws it selected with the focus.
    MouseClick(Top, ScreenPoint(Form->LogList, 20, 40));
    Drain();
    EXPECT_EQ(Form->LogList->ItemIndex(), 1);
    EXPECT_TRUE(Logged(Form->Log, "draw 1 selected,focused"));
    MouseDoubleClick(Top, ScreenPoint(Form->LogList, 20, 75));
    Drain();
    EXPECT_TRUE(Logged(Form->Log, "log dblclick"));
    EXPECT_EQ(Form->LogList->ItemIndex(), 2);

    // Clicks in a list of several selections toggle; the arrows move and select.
    Form->Log.clear();
    const int H = Form->Plain->ItemHeight();
    MouseClick(Top, ScreenPoint(Form->Plain, 10, H + 2));
    Drain();
    EXPECT_TRUE(Logged(Form->Log, "plain click 1"));
    EXPECT_TRUE(Logged(Form->Log, "draw 2 selected"));  // the log list lost the focus
    EXPECT_TRUE(Form->Plain->Selected(1));
    QTest::keyClick(QtWindowOf(Top), Qt::Key_Down);
    Drain();
    EXPECT_EQ(Form->Plain->ItemIndex(), 2);
    EXPECT_TRUE(Form->Plain->Selected(2));
    EXPECT_FALSE(Form->Plain->Selected(1));
    EXPECT_EQ(Form->Log.back(), "plain click 2");
    // What the program selects fires nothing.
    Form->Log.clear();
    Form->Plain->SetSelected(4, true);
    Form->LogList->SetItemIndex(0);
    Drain();
    EXPECT_TRUE(std::none_of(Form->Log.begin(), Form->Log.end(), [](const std::string& L) {
        return L.find("click") != std::string::npos;
    }));
}

}  // namespace
