// Check list boxes: what toggles an item's box (a click on the box, Space; not a click on the
// text, nor a disabled item), the grayed state, and the states staying with their items.
#include "tests/platform/widgets/ListsTestSupport.h"

using namespace ListsTest;
using namespace GuiTest;

namespace {

std::vector<TCheckBoxState> States(TCheckListBox* List) {
    std::vector<TCheckBoxState> Out;
    for (int I = 0; I < List->Items()->Count(); ++I) Out.push_back(List->State(I));
    return Out;
}

// What the check list told the form (other controls draw meanwhile).
std::vector<std::string> Checks(const std::vector<std::string>& Log) {
    std::vector<std::string> Out;
    for (const std::string& L : Log)
        if (L.rfind("check ", 0) == 0) Out.push_back(L);
    return Out;
}

TEST_F(ListsFixture, AClickOnTheBoxTogglesAndAClickOnTheTextSelectsOnly) {
    TTestListsForm* Form = ShowForm();
    TCheckListBox* List = Form->Checks;
    const HWND Top = Form->Handle();
    const int H = List->ItemHeight();
    EXPECT_EQ(List->CheckWidth(), H);
    List->SetItemEnabled(3, false);
    Form->Log.clear();

    struct TStep {
        const char* What;
        int X, Item;
        bool Double;
        std::vector<TCheckBoxState> After;
        std::vector<std::string> Log;
    };
    const TStep Steps[] = {
        // Unchecked -> grayed -> checked -> unchecked with AllowGrayed.
        {"box of item 1",
         H / 2,
         1,
         false,
         {cbUnchecked, cbGrayed, cbUnchecked, cbUnchecked},
         {"check 1"}},
        {"again", H / 2, 1, false, {cbUnchecked, cbChecked, cbUnchecked, cbUnchecked}, {"check 1"}},
        {"again",
         H / 2,
         1,
         false,
         {cbUnchecked, cbUnchecked, cbUnchecked, cbUnchecked},
         {"check 1"}},
        {"text of item 0",
         H + 20,
         0,
         false,
         {cbUnchecked, cbUnchecked, cbUnchecked, cbUnchecked},
         {}},
        {"box of the disabled item",
         H / 2,
         3,
         false,
         {cbUnchecked, cbUnchecked, cbUnchecked, cbUnchecked},
         {}},
        // The second press of a double click on the box is a click of its own.
        {"double click on a box",
         H / 2,
         2,
         true,
         {cbUnchecked, cbUnchecked, cbChecked, cbUnchecked},
         {"check 2", "check 2"}},
    };
    for (const TStep& S : Steps) {
        SCOPED_TRACE(S.What);
        const POINT At = ScreenPoint(List, S.X, S.Item * H + H / 2);
        if (S.Double)
            MouseDoubleClick(Top, At);
        else
            MouseClick(Top, At);
        Drain();
        EXPECT_EQ(List->ItemIndex(), S.Item);
        EXPECT_EQ(States(List), S.After);
        EXPECT_EQ(Checks(Form->Log), S.Log);
        Form->Log.clear();
    }

    // Space toggles the current item; on a disabled one it does nothing.
    List->SetItemIndex(0);
    QTest::keyClick(QtWindowOf(Top), Qt::Key_Space);
    Drain();
    EXPECT_EQ(List->State(0), cbGrayed);
    EXPECT_EQ(Checks(Form->Log), (std::vector<std::string>{"check 0"}));
    Form->Log.clear();
    List->SetItemIndex(3);
    QTest::keyClick(QtWindowOf(Top), Qt::Key_Space);
    Drain();
    EXPECT_EQ(List->State(3), cbUnchecked);
    EXPECT_TRUE(Checks(Form->Log).empty());
    SaveWindowPicture(List->Handle(), Picture("checklistbox"));
}

TEST_F(ListsFixture, CheckStatesGoWithTheirItemsAndObjectsStayTheProgramsOwn) {
    TTestListsForm* Form = ShowForm();
    TCheckListBox* List = Form->Checks;
    int Bar = 0;
    List->Items()->PutObject(1, &Bar);  // "Toolbar"
    List->SetChecked(1, true);
    List->SetItemEnabled(0, false);  // "Main Menu"
    List->SetState(3, cbGrayed);     // "Custom 1"
    // Sorted in a new window: "Custom 1", "Main Menu", "Status Bar", "Toolbar".
    List->SetSorted(true);
    EXPECT_EQ(List->Items()->Get(0), "Custom 1");
    EXPECT_EQ(States(List),
              (std::vector<TCheckBoxState>{cbGrayed, cbUnchecked, cbUnchecked, cbChecked}));
    EXPECT_FALSE(List->ItemEnabled(1));
    EXPECT_TRUE(List->ItemEnabled(0));
    EXPECT_EQ(List->Items()->GetObject(3), &Bar);
    EXPECT_EQ(List->Items()->IndexOfObject(&Bar), 3);
    // A new item starts unchecked and enabled; a deleted one takes its state with it.
    List->Items()->Delete(0);
    const int Added = List->Items()->Add("Another");
    EXPECT_EQ(List->State(Added), cbUnchecked);
    EXPECT_TRUE(List->ItemEnabled(Added));
    EXPECT_EQ(List->Items()->GetObject(Added), nullptr);
    // Item data set behind the list's back is never taken for a state.
    SendMessage(List->Handle(), LB_SETITEMDATA, 0, 0x1234);
    EXPECT_EQ(List->State(0), cbUnchecked);
    EXPECT_EQ(List->Items()->GetObject(0), nullptr);
    EXPECT_EQ(ErrorOf([&] { List->State(9); }), "List index out of bounds (9)");
    // States set before the window exists are there when it comes.
    auto* Fresh = new TCheckListBox(Form);
    Fresh->Items()->Add("one");
    Fresh->Items()->Add("two");
    Fresh->SetChecked(1, true);
    Fresh->SetParent(Form);
    Fresh->HandleNeeded();
    EXPECT_EQ(States(Fresh), (std::vector<TCheckBoxState>{cbUnchecked, cbChecked}));
    List->Items()->Clear();
    EXPECT_EQ(List->Items()->Count(), 0);
}

}  // namespace
