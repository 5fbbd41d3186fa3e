// Combo boxes: choosing with the mouse and the keyboard, typing, the events and their order, what
// the program does without events, the dropped-down height, owner drawing and colours.
#include "platform/controls/ComboBox.h"
#include "tests/platform/widgets/ListsTestSupport.h"

using namespace ListsTest;
using namespace GuiTest;

namespace {

// The combo box's events the form recorded (other controls draw meanwhile).
std::vector<std::string> Events(const std::vector<std::string>& Log) {
    std::vector<std::string> Out;
    for (const std::string& L : Log)
        if (L.rfind("kinds ", 0) == 0 || L.rfind("hosts ", 0) == 0) Out.push_back(L);
    return Out;
}

// The dropped-down list: the window just below the combo box.
HWND DroppedList(TComboBox* Combo) {
    return WindowFromPoint(ScreenPoint(Combo, 5, Combo->Height() + 3));
}

TEST_F(ListsFixture, ADropDownListIsChosenFromWithTheMouse) {
    TTestListsForm* Form = ShowForm();
    TComboBox* Kinds = Form->Kinds;
    const HWND Top = Form->Handle();
    Form->Log.clear();
    MouseClick(Top, ScreenPoint(Kinds, Kinds->Width() - 8, 8));
    Drain();
    ASSERT_TRUE(Kinds->DroppedDown());
    const HWND List = DroppedList(Kinds);
    ASSERT_EQ(GetClassName(List), "ComboLBox");
    // DropDownCount rows are shown.
    RECT R;
    GetClientRect(List, &R);
    const int Item = Kinds->ItemHeight();
    EXPECT_EQ(R.bottom, 2 * Item);
    SaveWindowPicture(List, Picture("combobox-dropped"));
    MouseClick(List, ScreenOf(List, POINT{5, Item + Item / 2}));
    Drain();
    // Scrolled to the current item "MD5": the second row is "MsgID".
    EXPECT_FALSE(Kinds->DroppedDown());
    EXPECT_EQ(Kinds->ItemIndex(), 2);
    EXPECT_EQ(Kinds->Text(), "MsgID");
    EXPECT_EQ(Events(Form->Log),
              (std::vector<std::string>{"kinds dropdown", "kinds closeup", "kinds change MsgID"}));

    // The keyboard chooses too; OnSelect, when assigned, takes the place of OnChange.
    Form->Log.clear();
    int Selected = 0;
    Kinds->OnSelect = [&](TObject*) { ++Selected; };
    QTest::keyClick(QtWindowOf(Top), Qt::Key_Up);
    Drain();
    EXPECT_EQ(Kinds->ItemIndex(), 1);
    EXPECT_EQ(Selected, 1);
    EXPECT_TRUE(Events(Form->Log).empty());
}

TEST_F(ListsFixture, TypingChangesTheTextWithinMaxLength) {
    TTestListsForm* Form = ShowForm();
    TComboBox* Hosts = Form->Hosts;
    Hosts->SetFocus();
    Drain();
    Hosts->SetText("");
    Hosts->SetMaxLength(5);
    Form->Log.clear();
    TypeText(Form->Handle(), "mail.example");
    Drain();
    EXPECT_EQ(Hosts->Text(), "mail.");
    ASSERT_FALSE(Form->Log.empty());
    EXPECT_EQ(Form->Log.front(), "hosts change m");
    EXPECT_EQ(Form->Log.back(), "hosts change mail.");
    // The edit's keys go through the key events: a key set to 0 goes no further.
    std::vector<WORD> Down;
    Hosts->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Down.push_back(Key); };
    Hosts->OnKeyPress = [](TObject*, char& Key) {
        if (Key == '.') Key = 0;
    };
    Hosts->SetMaxLength(0);
    Hosts->SetText("");
    TypeText(Form->Handle(), "a.b");
    Drain();
    EXPECT_EQ(Hosts->Text(), "ab");
    EXPECT_EQ(Down, (std::vector<WORD>{'A', VK_OEM_PERIOD, 'B'}));
    Hosts->OnKeyDown = nullptr;
    Hosts->OnKeyPress = nullptr;
    Hosts->SetText("mail.");
    Hosts->SetMaxLength(5);
    // A new window keeps the limit, the items and the typed text.
    Hosts->SetSorted(true);
    EXPECT_EQ(Hosts->Text(), "mail.");
    EXPECT_EQ(Hosts->Items()->Get(0), "mail.example.net");
    Hosts->SetFocus();
    TypeText(Form->Handle(), "xyz123");
    Drain();
    EXPECT_EQ(Hosts->Text(), "xyz12");
}

TEST_F(ListsFixture, TheProgramsChangesFireNoEvents) {
    TTestListsForm* Form = ShowForm();
    TComboBox* Kinds = Form->Kinds;
    Form->Log.clear();
    Kinds->SetItemIndex(0);
    EXPECT_EQ(Kinds->Text(), "CRC");
    // A drop-down list's text selects the item of that text.
    Kinds->SetText("msgid");
    EXPECT_EQ(Kinds->ItemIndex(), 2);
    // A text no item has changes nothing.
    Kinds->SetText("none such");
    EXPECT_EQ(Kinds->ItemIndex(), 2);
    EXPECT_EQ(Kinds->Text(), "MsgID");
    Kinds->SetItemIndex(1);
    // Another style is another window with the same items and current item.
    Kinds->SetStyle(csDropDown);
    EXPECT_EQ(Kinds->ItemIndex(), 1);
    EXPECT_EQ(Kinds->Text(), "MD5");
    EXPECT_EQ(Kinds->Items()->Count(), 3);
    Kinds->SetDroppedDown(true);
    EXPECT_TRUE(Kinds->DroppedDown());
    Kinds->SetDroppedDown(false);
    Drain();
    EXPECT_EQ(Events(Form->Log), (std::vector<std::string>{"kinds dropdown", "kinds closeup"}));
    EXPECT_EQ(ErrorOf<ERangeError>([&] { Kinds->SetItemHeight(256); }),
              "Item height 256 is not between 1 and 255");
}

TEST_F(ListsFixture, OwnerDrawnComboBoxesMeasureAndDrawThroughTheEvents) {
    TTestListsForm* Form = ShowForm();
    TComboBox* Colours = Form->Colours;
    std::vector<int> Measured;
    Colours->OnMeasureItem = [&](TWinControl*, int Index, int& Height) {
        Measured.push_back(Index);
        Height = Index < 0 ? 22 : 20;
    };
    Colours->SetStyle(csOwnerDrawVariable);
    // The field first, then the items.
    EXPECT_EQ(Measured, (std::vector<int>{-1, 0}));
    EXPECT_EQ(SendMessage(Colours->Handle(), CB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(SendMessage(Colours->Handle(), CB_GETITEMHEIGHT, WPARAM(-1), 0), 22);
    Form->Log.clear();
    Colours->SetDroppedDown(true);
    Drain();
    for (const char* Line : {"colour 0 -", "colour 1 -", "colour 2 selected,focused"})
        EXPECT_NE(std::find(Form->Log.begin(), Form->Log.end(), Line), Form->Log.end()) << Line;
    SaveWindowPicture(DroppedList(Colours), Picture("combobox-ownerdrawn"));
    Colours->SetDroppedDown(false);

    // The edit and the field take the combo box's colours.
    Form->Hosts->SetColor(clYellow);
    Form->Hosts->Font()->SetColor(clRed);
    Drain();
    SaveWindowPicture(Form->Hosts->Handle(), Picture("combobox-colours"));
    EXPECT_EQ(PixelAt(Form->Hosts->Handle(), Form->Hosts->Width() - 30, 10),
              ColorOf(ColorToRGB(clYellow)));
}

}  // namespace
