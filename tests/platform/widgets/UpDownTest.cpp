// The up-down control: its arrows step the position by Increment within Min and Max (or round
// with Wrap), OnChanging may refuse a step, OnClick names the arrow, and the associated edit
// shows the position and gives back what the user typed.
#include "tests/platform/widgets/ListsTestSupport.h"

using namespace ListsTest;
using namespace GuiTest;

namespace {

TEST_F(ListsFixture, TheArrowsStepThePositionAndTheEditShowsIt) {
    TTestListsForm* Form = ShowForm();
    TUpDown* Spin = Form->Spin;
    const HWND Top = Form->Handle();
    // On the edit's right edge, as high as the edit.
    EXPECT_EQ(Spin->Left(), Form->Count->Left() + Form->Count->Width());
    EXPECT_EQ(Spin->Height(), Form->Count->Height());
    const POINT Up = ScreenPoint(Spin, Spin->Width() / 2, 2);
    const POINT Down = ScreenPoint(Spin, Spin->Width() / 2, Spin->Height() - 3);
    struct TStep {
        const char* What;
        POINT At;
        int Position;
        std::string Text;
        std::vector<std::string> Log;
    };
    auto Run = [&](const TStep& S) {
        SCOPED_TRACE(S.What);
        Form->Log.clear();
        MouseClick(Top, S.At);
        Drain();
        EXPECT_EQ(Spin->Position(), S.Position);
        EXPECT_EQ(Form->Count->Text(), S.Text);
        EXPECT_EQ(Form->Log, S.Log);
    };
    Run({"up", Up, 7, "7", {"spin next 7"}});
    Run({"down", Down, 5, "5", {"spin prev 5"}});
    Form->RefuseSpin = true;
    Run({"refused", Up, 5, "5", {}});
    Form->RefuseSpin = false;
    Spin->SetPosition(19);
    Run({"to the end", Up, 20, "20", {"spin next 20"}});
    Run({"at the end", Up, 20, "20", {}});
    // A new window (another style) leaves the edit as wide as it was.
    const int EditWidth = Form->Count->Width();
    Spin->SetWrap(true);
    EXPECT_EQ(Form->Count->Width(), EditWidth);
    Run({"round", Up, 0, "0", {"spin next 0"}});
    Run({"back round", Down, 20, "20", {"spin prev 20"}});

    // What the user types is the position; the arrow keys step from there.
    Form->Count->SetFocus();
    SetWindowText(Form->Count->Handle(), "12");
    EXPECT_EQ(Spin->Position(), 12);
    Form->Log.clear();
    QTest::keyClick(QtWindowOf(Top), Qt::Key_Up);
    Drain();
    EXPECT_EQ(Spin->Position(), 14);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"spin next 14"}));
    SaveWindowPicture(Top, Picture("updown-form"));
}

TEST_F(ListsFixture, TheAssociateIsCheckedAndMayGo) {
    TTestListsForm* Form = ShowForm();
    TUpDown* Spin = Form->Spin;
    EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { Spin->SetAssociate(Spin); }),
              "An up-down control cannot be associated with an up-down control");
    // Left alone, the edit gets back the room the up-down took.
    Spin->SetAssociate(nullptr);
    EXPECT_EQ(Form->Count->Width(), 60);
    Spin->SetAssociate(Form->Count);
    EXPECT_EQ(Form->Count->Width(), 60 - Spin->Width());
    Form->Count->Free();
    EXPECT_EQ(Spin->Associate(), nullptr);
    Spin->SetPosition(9);
    EXPECT_EQ(Spin->Position(), 9);
    // Without a window the position is kept within the range all the same.
    auto* Loose = new TUpDown(Form);
    Loose->SetPosition(500);
    EXPECT_EQ(Loose->Position(), 100);
    Loose->SetMin(-5);
    Loose->SetPosition(-50);
    EXPECT_EQ(Loose->Position(), -5);
    Loose->SetParent(Form);
    EXPECT_EQ(Loose->Position(), -5);
    Loose->HandleNeeded();
    EXPECT_EQ(Loose->Position(), -5);
}

}  // namespace
