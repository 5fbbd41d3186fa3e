// Edit and combo items on a toolbar and in a submenu, driven by synthetic input: the in-place
// editor opening on a click, Enter, Esc and Tab, AlwaysSaveText, long texts, the combo's
// drop-down list (by click and keys, choosing a row, the prefix search), and where the list opens.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/RectMath.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

// The main window's bars with a third toolbar: an edit "&Suche" and a combo "&Gruppe" of
// four entries.
struct TEditForm : TMenuForm {
    TdxBarEdit* Edit = nullptr;
    TdxBarCombo* Combo = nullptr;
    TdxBar* EditBar = nullptr;
    std::vector<std::string> Changes;
    int CurChanges = 0;
    int Enters = 0, Exits = 0;

    explicit TEditForm(TdxBarManagerStyle Style = bmsFlat) : TMenuForm(640, Style) {
        InitStandardControls();
        Edit = Bars.NewItem<TdxBarEdit>("&Suche");
        Edit->SetText("alt");
        Edit->OnChange = [this](TObject*) { Changes.push_back(Edit->Text()); };
        Edit->OnCurChange = [this](TObject*) { ++CurChanges; };
        Edit->OnEnter = [this](TObject*) { ++Enters; };
        Edit->OnExit = [this](TObject*) { ++Exits; };
        Combo = Bars.NewItem<TdxBarCombo>("&Gruppe");
        for (const char* Entry : {"b", "Ax", "ABc", "de.comp.os"}) Combo->Items()->Add(Entry);
        Combo->SetItemIndex(0);
        Combo->OnCurChange = [this](TObject*) { ++CurChanges; };
        EditBar = Bars.NewBar("Eingaben", {Edit, Combo});
        EditBar->SetRow(2);
        EditBar->OneOnRow = true;
        EditBar->SetVisible(true);
        GuiTest::Drain();
    }
    TdxBarControl* Window() const { return EditBar->Control(); }
    template <class T>
    T* ControlOf(int I) const {
        return dynamic_cast<T*>(EditBar->ItemLinks()->Items(I)->Control());
    }
    TdxBarEditControl* EditControl() const { return ControlOf<TdxBarEditControl>(0); }
    TdxBarComboControl* ComboControl() const { return ControlOf<TdxBarComboControl>(1); }
    POINT Screen(POINT Client) const { return GuiTest::ScreenOf(Window()->Handle(), Client); }
    // The middle of the edit part of a control, on the screen.
    POINT EditPoint(TdxBarEditControl* Control) const {
        const TRect R = Control->EditRect();
        return Screen(POINT{R.Left + 4, (R.Top + R.Bottom) / 2});
    }
    POINT ButtonPoint() const {
        const TRect R = ComboControl()->DropDownButtonRect();
        return Screen(POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    void Type(const std::string& Text) {
        for (char C : Text) {
            QTest::keyClick(TMenuForm::Window(), C);
            GuiTest::Drain();
        }
    }
    TdxBarDropDownListBox* List() const { return ComboListBox(Combo); }
    bool ListShows() const {
        return Combo->DroppedDownControl() && List()->HandleAllocated() &&
               IsWindowVisible(List()->Handle());
    }
    // The middle of a row of the open list, on the screen.
    POINT RowPoint(int Row) const {
        const TRect R = List()->ItemRect(Row);
        return GuiTest::ScreenOf(List()->Handle(),
                                 POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
};

// ---- edits ------------------------------------------------------------------------------------

TEST(BarEdit, TypingIntoTheEditAndEnterStoresTheTextAndClosesTheEditor) {
    TEditForm Form;
    ASSERT_TRUE(Form.EditControl());
    Form.Click(Form.EditPoint(Form.EditControl()));
    ASSERT_TRUE(Form.EditControl()->Focused());
    EXPECT_EQ(GetFocus(), Form.EditControl()->EditWindow());
    EXPECT_EQ(Form.Enters, 1);
    Form.Type("neu");  // the whole text was selected: typing replaces it
    EXPECT_EQ(Form.Edit->Text(), "alt");
    EXPECT_EQ(Form.Edit->CurText(), "neu");
    EXPECT_EQ(Form.CurChanges, 3);
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Form.Edit->Text(), "neu");
    EXPECT_EQ(Form.Changes, std::vector<std::string>{"neu"});
    ASSERT_TRUE(Form.EditControl());
    EXPECT_FALSE(Form.EditControl()->Focused());
    EXPECT_FALSE(IsWindowVisible(Form.EditControl()->EditWindow()));
    EXPECT_FALSE(ActiveBarControl());
    EXPECT_EQ(GetFocus(), Form.FormWindow());
    EXPECT_EQ(Form.Exits, 1);
}

TEST(BarEdit, EscClosesTheEditorWithoutStoringAndKeepsTheItemSelected) {
    for (bool AlwaysSave : {false, true}) {
        TEditForm Form;
        Form.Manager()->AlwaysSaveText = AlwaysSave;
        Form.Click(Form.EditPoint(Form.EditControl()));
        Form.Type("verworfen");
        Form.Tap(Qt::Key_Escape);
        EXPECT_EQ(Form.Edit->Text(), "alt") << AlwaysSave;
        EXPECT_TRUE(Form.Changes.empty()) << AlwaysSave;
        EXPECT_FALSE(Form.EditControl()->Focused()) << AlwaysSave;
        EXPECT_EQ(Form.Window()->SelectedControl(), Form.EditControl()) << AlwaysSave;
        // The next opening starts from the stored text again.
        Form.Click(Form.EditPoint(Form.EditControl()));
        EXPECT_EQ(Form.Edit->CurText(), "alt") << AlwaysSave;
    }
}

TEST(BarEdit, ClickingElsewhereStoresTheTextOnlyWithAlwaysSaveText) {
    for (bool AlwaysSave : {false, true}) {
        TEditForm Form;
        Form.Manager()->AlwaysSaveText = AlwaysSave;
        Form.Click(Form.EditPoint(Form.EditControl()));
        Form.Type("halb");
        Form.Click(Form.FormPoint());
        EXPECT_FALSE(Form.EditControl()->Focused()) << AlwaysSave;
        EXPECT_EQ(Form.Edit->Text(), AlwaysSave ? "halb" : "alt") << AlwaysSave;
    }
}

TEST(BarEdit, ALongTextIsKeptWhole) {
    TEditForm Form;
    const std::string Long = std::string(300, 'x') + "ende";
    Form.Click(Form.EditPoint(Form.EditControl()));
    Form.Type(Long);
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Form.Edit->Text(), Long);
}

TEST(BarEdit, MaxLengthLimitsTheTyping) {
    TEditForm Form;
    Form.Edit->SetMaxLength(4);
    Form.Click(Form.EditPoint(Form.EditControl()));
    Form.Type("abcdefg");
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Form.Edit->Text(), "abcd");
}

TEST(BarEdit, KeyEventsSeeTheKeysAndAZeroKeyIsSwallowed) {
    TEditForm Form;
    std::vector<WORD> Downs;
    Form.Edit->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Downs.push_back(Key); };
    Form.Edit->OnKeyPress = [](TObject*, char& Key) {
        if (Key == 'q') Key = 0;
    };
    Form.Click(Form.EditPoint(Form.EditControl()));
    Form.Type("aqb");
    EXPECT_EQ(Form.Edit->CurText(), "ab");
    EXPECT_EQ(Downs, (std::vector<WORD>{'A', 'Q', 'B'}));
}

TEST(BarEdit, TabStoresTheTextAndOpensTheNextEditor) {
    TEditForm Form;
    Form.Click(Form.EditPoint(Form.EditControl()));
    Form.Type("weiter");
    Form.Tap(Qt::Key_Tab);
    EXPECT_EQ(Form.Edit->Text(), "weiter");
    EXPECT_FALSE(Form.EditControl()->Focused());
    ASSERT_TRUE(Form.ComboControl());
    EXPECT_TRUE(Form.ComboControl()->Focused());
    EXPECT_EQ(Form.Combo->CurText(), "b");
}

TEST(BarEdit, SizesFollowTheWidthAndTheCaption) {
    TEditForm Form;
    TdxBarItemLink* Link = Form.EditBar->ItemLinks()->Items(0);
    EXPECT_EQ(Link->ItemRect().Width(), 100);
    EXPECT_EQ(Link->ItemRect().Height(), Form.Window()->EditTextSize());
    Form.Edit->SetWidth(10);
    EXPECT_EQ(Form.Edit->Width(), 20);
    Form.Edit->SetWidth(1000);
    EXPECT_EQ(Form.Edit->Width(), 600);
    Form.Edit->SetWidth(150);
    GuiTest::Drain();
    EXPECT_EQ(Link->ItemRect().Width(), 150);
    Form.Edit->SetShowCaption(true);
    GuiTest::Drain();
    const int Caption = Form.EditControl()->CaptionPartWidth();
    EXPECT_GT(Caption, 11);
    EXPECT_EQ(Link->ItemRect().Width(), 150 + Caption);
    EXPECT_EQ(Form.EditControl()->EditBoxRect().Left, Link->ItemRect().Left + Caption);
    // A link's own width wins over the item's.
    Link->SetUserWidth(60);
    GuiTest::Drain();
    EXPECT_EQ(Link->ItemRect().Width(), 60 + Caption);
}

// While an item is edited, a click on it outside its editor goes to the editor: the caption part
// changes nothing, the combo's button drops the list; the text typed so far stays either way.
TEST(BarEdit, AClickOnTheEditedItemOutsideItsEditorKeepsTheTypedText) {
    TEditForm Form;
    Form.Edit->SetShowCaption(true);
    GuiTest::Drain();
    Form.Click(Form.EditPoint(Form.EditControl()));
    ASSERT_TRUE(Form.EditControl()->Focused());
    Form.Type("ne");
    const TRect Item = Form.EditBar->ItemLinks()->Items(0)->ItemRect();
    Form.Click(Form.Screen(POINT{Item.Left + 3, (Item.Top + Item.Bottom) / 2}));
    ASSERT_TRUE(Form.EditControl()->Focused());
    EXPECT_EQ(GetFocus(), Form.EditControl()->EditWindow());
    Form.Type("u");
    EXPECT_EQ(Form.Edit->CurText(), "neu");

    Form.Tap(Qt::Key_Escape);
    Form.Click(Form.EditPoint(Form.ComboControl()));
    ASSERT_TRUE(Form.ComboControl()->Focused());
    Form.Type("xy");
    Form.Click(Form.ButtonPoint());
    EXPECT_TRUE(Form.ListShows());
    EXPECT_TRUE(Form.ComboControl()->Focused());
    EXPECT_EQ(Form.Combo->CurText(), "xy");
    Form.Click(Form.ButtonPoint());
    EXPECT_FALSE(Form.ListShows());
    EXPECT_EQ(Form.Combo->CurText(), "xy");
}

// The editor keeps only presses outside it from itself: a drag that starts inside and goes past
// its right edge (over the item's frame) goes on selecting to the end of the text, and the release
// there ends it. The press places the caret where it is, in the flat style's editor (whose text
// rectangle fits the window) as in the others'.
TEST(BarEdit, ADragFromInsideTheEditorPastItsEdgeSelectsToTheEndAndTheReleaseEndsIt) {
    for (TdxBarManagerStyle Style : {bmsFlat, bmsStandard}) {
        TEditForm Form(Style);
        Form.Edit->SetText("Suchbegriff");
        GuiTest::Drain();
        Form.Click(Form.EditPoint(Form.EditControl()));
        ASSERT_TRUE(Form.EditControl()->Focused()) << Style;
        const HWND Editor = Form.EditControl()->EditWindow();
        const auto Selection = [&] {
            DWORD Start = 0, End = 0;
            SendMessage(Editor, EM_GETSEL, WPARAM(&Start), LPARAM(&End));
            return std::pair{int(Start), int(End)};
        };
        const TRect R = Form.EditControl()->EditRect();
        const int Y = (R.Top + R.Bottom) / 2;
        const POINT Inside = Form.Screen(POINT{R.Left + 20, Y});
        const POINT Past = Form.Screen(POINT{R.Right, Y});
        ASSERT_TRUE(PtInRect(Form.EditBar->ItemLinks()->Items(0)->ItemRect(), TPoint{R.Right, Y}));
        const HWND Via = TMenuForm::Via(Inside);
        GuiTest::MousePress(Via, Inside);
        GuiTest::Drain();
        const auto [From, Caret] = Selection();
        ASSERT_EQ(From, Caret) << Style;
        ASSERT_GT(From, 0) << Style;
        ASSERT_LT(From, 11) << Style;
        ASSERT_EQ(GetCapture(), Editor) << Style;
        GuiTest::MouseMove(Via, Past);
        GuiTest::Drain();
        EXPECT_EQ(Selection(), (std::pair{From, 11})) << Style;
        GuiTest::MouseRelease(Via, Past);
        GuiTest::Drain();
        EXPECT_EQ(GetCapture(), HWND(0)) << Style;
        // The drag is over: moving back selects nothing more.
        GuiTest::MouseMove(Via, Inside);
        GuiTest::Drain();
        EXPECT_EQ(Selection(), (std::pair{From, 11})) << Style;
        EXPECT_TRUE(Form.EditControl()->Focused()) << Style;
        SaveScenePicture({Form.FormWindow()}, std::string("edit-drag-selected-") +
                                                  (Style == bmsFlat ? "flat" : "standard"));
    }
}

// The I-beam over an editor says where typing goes: not over the button or the caption, and
// not over another editor than the one being edited.
TEST(BarEdit, TheIBeamShowsOverAnEditorUnlessAnotherIsEdited) {
    TEditForm Form;
    const HCURSOR IBeam = LoadCursor(0, MAKEINTRESOURCE(IDC_IBEAM));
    const HCURSOR Arrow = LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
    Form.Move(Form.EditPoint(Form.EditControl()));
    EXPECT_EQ(GetCursor(), IBeam);
    Form.Move(Form.ButtonPoint());
    EXPECT_EQ(GetCursor(), Arrow);
    Form.Move(Form.EditPoint(Form.ComboControl()));
    EXPECT_EQ(GetCursor(), IBeam);
    Form.Click(Form.EditPoint(Form.ComboControl()));
    ASSERT_TRUE(Form.ComboControl()->Focused());
    Form.Move(Form.EditPoint(Form.EditControl()));
    EXPECT_EQ(GetCursor(), Arrow);
}

// An editor open on an item that the bar no longer has room for (its form narrowed) closes: it
// would stay where the item was, over the mark. (The combo is wide enough to go before the main
// menu wraps: a dock site whose thickness changes ends menu mode, and the editor with it.)
TEST(BarEdit, AnEditorWhoseItemGoesBeyondTheBarsEndCloses) {
    TEditForm Form;
    Form.Combo->SetWidth(400);
    GuiTest::Drain();
    Form.Click(Form.EditPoint(Form.ComboControl()));
    ASSERT_TRUE(Form.ComboControl()->Focused());
    TdxBarItemLink* Link = Form.EditBar->ItemLinks()->Items(1);
    for (int Width = Form.Bars.Form()->Width(); Width > 100 && !IsRectEmpty(Link->ItemRect());
         Width -= 10) {
        Form.Bars.Form()->SetWidth(Width);
        GuiTest::Drain();
    }
    ASSERT_TRUE(IsRectEmpty(Link->ItemRect()));
    TdxBarComboControl* Control = Form.ComboControl();
    ASSERT_NE(Control, nullptr);
    EXPECT_FALSE(Control->Focused());
    EXPECT_FALSE(Control->EditWindow() && IsWindowVisible(Control->EditWindow()));
    EXPECT_NE(GetFocus(), Control->EditWindow());
}

TEST(BarEditSizing, DraggingAnEdgeOfTheSelectedEditInCustomizingModeSetsTheLinksWidth) {
    struct TCase {
        const char* Name;
        bool RightEdge;
        int Drag;
        int Want;
    };
    // The width is the distance from the fixed edge to the pointer, pressed 3 pixels inside.
    const TCase kCases[] = {
        {"right edge wider", true, 40, 137},
        {"right edge narrower", true, -30, 67},
        {"left edge wider", false, -25, 122},
        {"never below 20", true, -300, 20},
    };
    for (const TCase& C : kCases) {
        TEditForm Form;
        Form.Manager()->CustomizingMode(true);
        GuiTest::Drain();
        TdxBarItemLink* Link = Form.EditBar->ItemLinks()->Items(0);
        const TRect R = Link->ItemRect();
        const int Y = (R.Top + R.Bottom) / 2;
        Form.Click(Form.Screen(POINT{(R.Left + R.Right) / 2, Y}));
        ASSERT_EQ(Form.Manager()->CustomizingSelection(), Form.EditControl()) << C.Name;
        const int X = C.RightEdge ? R.Right - 3 : R.Left + 3;
        const HWND Via = TMenuForm::Via(Form.Screen(POINT{X, Y}));
        GuiTest::MousePress(Via, Form.Screen(POINT{X, Y}));
        GuiTest::Drain();
        EXPECT_EQ(GetCapture(), Form.Window()->Handle()) << C.Name;
        GuiTest::MouseMove(Via, Form.Screen(POINT{X + C.Drag, Y}));
        GuiTest::Drain();
        GuiTest::MouseRelease(Via, Form.Screen(POINT{X + C.Drag, Y}));
        GuiTest::Drain();
        EXPECT_EQ(Link->UserWidth(), C.Want) << C.Name;
        EXPECT_TRUE(Link->UserDefine().Contains(udWidth)) << C.Name;
        EXPECT_EQ(Form.Edit->Width(), 100) << C.Name;  // the item keeps its own
        EXPECT_EQ(Link->ItemRect().Width(), C.Want) << C.Name;
        EXPECT_FALSE(GetCapture()) << C.Name;
    }
}

TEST(BarEditSizing, APressInsideTheEditOrOutsideCustomizingSizesNothing) {
    TEditForm Form;
    TdxBarItemLink* Link = Form.EditBar->ItemLinks()->Items(0);
    const TRect R = Link->ItemRect();
    const int Y = (R.Top + R.Bottom) / 2;
    // Not customizing: the press opens the editor.
    Form.Click(Form.Screen(POINT{R.Right - 3, Y}));
    EXPECT_TRUE(Form.EditControl()->Focused());
    EXPECT_FALSE(Link->UserDefine().Contains(udWidth));
    Form.Tap(Qt::Key_Escape);
    Form.Manager()->CustomizingMode(true);
    GuiTest::Drain();
    Form.Click(Form.Screen(POINT{(R.Left + R.Right) / 2, Y}));
    // A press away from the edges starts no sizing.
    const POINT Middle = Form.Screen(POINT{(R.Left + R.Right) / 2 + 10, Y});
    GuiTest::MousePress(TMenuForm::Via(Middle), Middle);
    GuiTest::Drain();
    GuiTest::MouseRelease(TMenuForm::Via(Middle), Middle);
    GuiTest::Drain();
    EXPECT_FALSE(Link->UserDefine().Contains(udWidth));
    EXPECT_EQ(Link->ItemRect().Width(), 100);
}

TEST(BarEdit, OnABarDockedAtTheSideEditsAndCombosAreButtons) {
    TEditForm Form;
    Form.EditBar->SetDockingStyle(dsLeft);
    GuiTest::Drain();
    for (int I = 0; I < 2; ++I) {
        TdxBarItemControl* Control = Form.EditBar->ItemLinks()->Items(I)->Control();
        ASSERT_TRUE(Control) << I;
        EXPECT_TRUE(dynamic_cast<TdxBarButtonControl*>(Control)) << I;
        EXPECT_FALSE(Control->IsWindowControl()) << I;
    }
    Form.EditBar->SetDockingStyle(dsTop);
    GuiTest::Drain();
    EXPECT_TRUE(Form.EditControl());
    EXPECT_TRUE(Form.ComboControl());
}

// ---- combos -----------------------------------------------------------------------------------

TEST(BarCombo, AClickOnTheButtonDropsTheListAndAClickOnARowChoosesIt) {
    TEditForm Form;
    ASSERT_TRUE(Form.ComboControl());
    Form.Click(Form.ButtonPoint());
    ASSERT_TRUE(Form.ListShows());
    EXPECT_TRUE(Form.ComboControl()->DroppedDown());
    EXPECT_EQ(Form.List()->Items()->Count(), 4);
    EXPECT_EQ(Form.List()->ItemIndex(), 0);
    // Below the edit part, as wide as the control less its button at least.
    RECT List;
    GetWindowRect(Form.List()->Handle(), &List);
    const TRect Item = Form.EditBar->ItemLinks()->Items(1)->ItemRect();
    const POINT Corner = Form.Screen(POINT{Form.ComboControl()->EditBoxRect().Left, Item.Bottom});
    EXPECT_EQ(List.left, Corner.x);
    EXPECT_EQ(List.top, Corner.y);
    EXPECT_GE(List.right - List.left, Item.Width() - Form.Window()->DoubleDigitWidth());
    Form.Move(Form.RowPoint(2));
    EXPECT_EQ(Form.List()->ItemIndex(), 2);
    EXPECT_EQ(Form.Combo->CurText(), "ABc");  // the row shows in the editor at once
    Form.Click(Form.RowPoint(2));
    EXPECT_FALSE(Form.ListShows());
    EXPECT_EQ(Form.Combo->ItemIndex(), 2);
    EXPECT_EQ(Form.Combo->Text(), "ABc");
    EXPECT_FALSE(ActiveBarControl());
}

TEST(BarCombo, ThePressThatDropsTheListCanBeDraggedOntoARow) {
    TEditForm Form;
    const POINT Button = Form.ButtonPoint();
    GuiTest::MousePress(TMenuForm::Via(Button), Button);
    GuiTest::Drain();
    ASSERT_TRUE(Form.ListShows());
    EXPECT_TRUE(Form.List()->Tracking());
    EXPECT_EQ(GetCapture(), Form.List()->Handle());
    // Still held, the pointer goes down into the list: the row under it is selected.
    const POINT Row = Form.RowPoint(3);
    GuiTest::MouseMove(Form.List()->Handle(), Row);
    GuiTest::Drain();
    EXPECT_FALSE(Form.List()->Tracking());
    EXPECT_EQ(Form.List()->ItemIndex(), 3);
    GuiTest::MouseRelease(Form.List()->Handle(), Row);
    GuiTest::Drain();
    EXPECT_FALSE(Form.ListShows());
    EXPECT_EQ(Form.Combo->ItemIndex(), 3);
    EXPECT_EQ(Form.Combo->Text(), "de.comp.os");
}

TEST(BarCombo, ReleasingTheOpeningPressOnTheButtonKeepsTheListOpen) {
    TEditForm Form;
    Form.Click(Form.ButtonPoint());
    ASSERT_TRUE(Form.ListShows());
    EXPECT_FALSE(Form.List()->Tracking());
    EXPECT_FALSE(GetCapture());
    EXPECT_EQ(Form.Combo->ItemIndex(), 0);
    const QImage First = WindowPicture(Form.List()->Handle());
    // A second click on the button closes it, choosing nothing.
    Form.Click(Form.ButtonPoint());
    EXPECT_FALSE(Form.ListShows());
    EXPECT_EQ(Form.Combo->ItemIndex(), 0);
    // Opened again, it shows its rows as before.
    Form.Click(Form.ButtonPoint());
    ASSERT_TRUE(Form.ListShows());
    EXPECT_EQ(WindowPicture(Form.List()->Handle()), First);
}

TEST(BarCombo, AltDownOpensTheListAndTheArrowKeysMoveInIt) {
    TEditForm Form;
    Form.Click(Form.EditPoint(Form.ComboControl()));
    ASSERT_TRUE(Form.ComboControl()->Focused());
    EXPECT_FALSE(Form.ListShows());
    Form.AltTap(Qt::Key_Down);
    ASSERT_TRUE(Form.ListShows());
    Form.Tap(Qt::Key_Down);
    Form.Tap(Qt::Key_Down);
    EXPECT_EQ(Form.List()->ItemIndex(), 2);
    EXPECT_EQ(Form.Combo->CurText(), "ABc");
    Form.AltTap(Qt::Key_Up);
    EXPECT_FALSE(Form.ListShows());
    EXPECT_TRUE(Form.ComboControl()->Focused());
    Form.Tap(Qt::Key_F4);
    EXPECT_TRUE(Form.ListShows());
    Form.Tap(Qt::Key_Return);
    EXPECT_FALSE(Form.ListShows());
    EXPECT_EQ(Form.Combo->ItemIndex(), 2);
    EXPECT_EQ(Form.Combo->Text(), "ABc");
}

TEST(BarCombo, UpAndDownWithTheListClosedStepThroughTheEntries) {
    TEditForm Form;
    Form.Click(Form.EditPoint(Form.ComboControl()));
    Form.Tap(Qt::Key_Down);
    EXPECT_EQ(Form.ComboControl()->CurItemIndex(), 1);
    EXPECT_EQ(Form.Combo->CurText(), "Ax");
    Form.Tap(Qt::Key_Up);
    Form.Tap(Qt::Key_Up);  // stays on the first entry
    EXPECT_EQ(Form.ComboControl()->CurItemIndex(), 0);
    for (int I = 0; I < 5; ++I) Form.Tap(Qt::Key_Down);
    EXPECT_EQ(Form.ComboControl()->CurItemIndex(), 3);
    EXPECT_EQ(Form.Combo->ItemIndex(), 0);  // nothing stored yet
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Form.Combo->ItemIndex(), 3);
    EXPECT_EQ(Form.Combo->Text(), "de.comp.os");
}

TEST(BarCombo, TypingFindsTheEntryByItsLongestPrefix) {
    TEditForm Form;
    Form.Click(Form.EditPoint(Form.ComboControl()));
    Form.Tap(Qt::Key_F4);
    ASSERT_TRUE(Form.ListShows());
    Form.CurChanges = 0;
    Form.Type("ab");
    EXPECT_EQ(Form.CurChanges, 2);
    EXPECT_EQ(Form.ComboControl()->CurItemIndex(), 2);
    EXPECT_EQ(Form.List()->ItemIndex(), -1);  // "ab" is not the entry itself
    Form.Type("c");
    EXPECT_EQ(Form.List()->ItemIndex(), 2);  // the entry, in another case
    // A text no entry starts like selects nothing; Enter stores the text as typed.
    Form.Tap(Qt::Key_Backspace);
    Form.Tap(Qt::Key_Backspace);
    Form.Tap(Qt::Key_Backspace);
    Form.Type("zz");
    EXPECT_EQ(Form.ComboControl()->CurItemIndex(), -1);
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Form.Combo->Text(), "zz");
    EXPECT_EQ(Form.Combo->ItemIndex(), -1);
}

TEST(BarCombo, AReadOnlyComboDoesNotDropDown) {
    TEditForm Form;
    Form.Combo->ReadOnly = true;
    Form.Click(Form.ButtonPoint());
    EXPECT_FALSE(Form.ListShows());
}

TEST(BarCombo, TheListOpensWhereItFits) {
    const TRect Work{0, 0, 800, 600};
    struct TCase {
        const char* Name;
        TPoint At;
        TSize Size;
        TSize Item;
        bool Beside;
        TPoint Want;
    };
    const TCase kCases[] = {
        {"below a bar item", {100, 50}, {120, 80}, {90, 22}, false, {100, 50}},
        {"cut at the right edge", {750, 50}, {120, 80}, {90, 22}, false, {680, 50}},
        {"upwards when more room is above", {100, 560}, {120, 80}, {90, 22}, false, {100, 458}},
        {"down when more room is below", {100, 60}, {120, 580}, {90, 22}, false, {100, 60}},
        {"right of a menu entry", {300, 100}, {120, 80}, {150, 20}, true, {300, 100}},
        {"flipped left of a menu entry", {700, 100}, {120, 80}, {150, 20}, true, {430, 100}},
        {"kept right when the left has less room",
         {150, 100},
         {700, 80},
         {150, 20},
         true,
         {150, 100}},
        {"pushed up from the bottom", {300, 580}, {120, 80}, {150, 20}, true, {300, 520}},
        {"never negative", {10, 10}, {120, 900}, {150, 20}, true, {10, 0}},
    };
    for (const TCase& C : kCases) {
        const TPoint Got = PlaceDropDown(C.At, C.Size, C.Item, C.Beside, Work);
        EXPECT_EQ(Got.X, C.Want.X) << C.Name;
        EXPECT_EQ(Got.Y, C.Want.Y) << C.Name;
    }
}

// ---- in a submenu -----------------------------------------------------------------------------

TEST(BarEditInMenu, AnEditInASubmenuTakesTextAndEnterClosesTheMenus) {
    TEditForm Form;
    auto* Sub = Form.Bars.NewItem<TdxBarSubItem>("&Extras");
    TdxBarEdit* Name = Form.Bars.NewItem<TdxBarEdit>("&Name:");
    Sub->ItemLinks()->Add()->SetItem(Form.Bars.NewItem("&Eins"));
    Sub->ItemLinks()->Add()->SetItem(Name);
    Form.EditBar->ItemLinks()->Add()->SetItem(Sub);
    GuiTest::Drain();
    Form.Click(Form.Middle(Form.EditBar->ItemLinks()->Items(2)));
    TdxBarSubMenuControl* Menu = TMenuForm::MenuOf(Sub);
    ASSERT_TRUE(Menu);
    auto* Control = dynamic_cast<TdxBarEditControl*>(Menu->ItemLinks()->Items(1)->Control());
    ASSERT_TRUE(Control);
    // The box lies at the right end of the entry, the caption left of it.
    const TRect Entry = Menu->ItemLinks()->Items(1)->ItemRect();
    EXPECT_EQ(Control->EditBoxRect().Right, Entry.Right);
    EXPECT_EQ(Control->EditBoxRect().Width(), 100);
    const TRect E = Control->EditRect();
    Form.Click(GuiTest::ScreenOf(Menu->Handle(), POINT{E.Left + 4, (E.Top + E.Bottom) / 2}));
    ASSERT_TRUE(Control->Focused());
    Form.Type("Kestro");
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Name->Text(), "Kestro");
    EXPECT_FALSE(TMenuForm::MenuOf(Sub));
    EXPECT_FALSE(ActiveBarControl());
}

TEST(BarEditInMenu, AnEditInAMenuOfItsOwnTakesTextAndEnterClosesIt) {
    // A menu without a parent bar, as the item context menu of customizing shows its "&Name:".
    TEditForm Form;
    auto* Popup = new TdxBarPopupMenu(Form.Bars.Form());
    Popup->ItemLinks()->Add()->SetItem(Form.Bars.NewItem("&Reset"));
    TdxBarEdit* Name = Form.Bars.NewItem<TdxBarEdit>("&Name:");
    Name->SetText("Start");
    std::vector<std::string> Named;
    Name->OnChange = [&](TObject*) { Named.push_back(Name->Text()); };
    TdxBarItemLink* NameLink = Popup->ItemLinks()->Add();
    NameLink->SetItem(Name);
    NameLink->SetBeginGroup(true);
    const POINT At = GuiTest::ScreenOf(Form.FormWindow(), POINT{200, 20});
    Popup->DropDownFor(nullptr, TPoint{At.x, At.y}, 0, 0, false);
    GuiTest::Drain();
    TdxBarSubMenuControl* Menu = Popup->Window();
    ASSERT_TRUE(Menu);
    auto* Control = dynamic_cast<TdxBarEditControl*>(Menu->ItemLinks()->Items(1)->Control());
    ASSERT_TRUE(Control);
    const TRect E = Control->EditRect();
    Form.Click(GuiTest::ScreenOf(Menu->Handle(), POINT{E.Left + 4, (E.Top + E.Bottom) / 2}));
    ASSERT_TRUE(Control->Focused());
    EXPECT_EQ(Name->CurText(), "Start");
    Form.Type("Los");
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Named, std::vector<std::string>{"Los"});
    EXPECT_FALSE(Popup->IsOpen());
    EXPECT_FALSE(ActiveBarControl());
}

// ---- containers listed in place ---------------------------------------------------------

// A sub-item "&Fenster" on the edit bar: "&Neu", a list item of three windows, a container
// item holding two commands.
struct TListForm : TEditForm {
    TdxBarSubItem* Sub = nullptr;
    TdxBarListItem* List = nullptr;
    TdxBarContainerItem* Container = nullptr;
    std::vector<int> Chosen;
    TListForm() {
        Sub = Bars.NewItem<TdxBarSubItem>("&Fenster");
        List = Bars.NewItem<TdxBarListItem>("Fensterliste");
        for (const char* Entry : {"Eingang", "-", "Ausgang", "Protokoll"})
            List->Items()->Add(Entry);
        List->ShowCheck = true;
        List->SetItemIndex(2);
        List->OnClick = [this](TObject*) { Chosen.push_back(List->ItemIndex()); };
        Container = Bars.NewItem<TdxBarContainerItem>("Befehle");
        Container->ItemLinks()->Add()->SetItem(Bars.NewItem("&Kopieren"));
        Container->ItemLinks()->Add()->SetItem(Bars.NewItem("&Suchen"));
        for (TdxBarItem* Item :
             {static_cast<TdxBarItem*>(Bars.NewItem("&Neu")), static_cast<TdxBarItem*>(List),
              static_cast<TdxBarItem*>(Container)})
            Sub->ItemLinks()->Add()->SetItem(Item);
        EditBar->ItemLinks()->Add()->SetItem(Sub);
        GuiTest::Drain();
    }
    TdxBarSubMenuControl* Open() {
        Click(Middle(EditBar->ItemLinks()->Items(2)));
        return TMenuForm::MenuOf(Sub);
    }
    // The captions of the menu's entries that take room.
    static std::vector<std::string> Entries(TdxBarSubMenuControl* Menu) {
        std::vector<std::string> Out;
        TdxBarItemLinks* Links = Menu->ItemLinks();
        for (int I = 0; I < Links->VisibleItemCount(); ++I) {
            TdxBarItemLink* Link = Links->VisibleItems(I);
            if (Link->Control() && !IsRectEmpty(Link->ItemRect()))
                Out.push_back(Link->Caption() + (Link->BeginGroup() ? " |" : ""));
        }
        return Out;
    }
};

TEST(BarListItem, AListAndAContainerShowTheirEntriesInPlaceInTheSubmenu) {
    TListForm Form;
    TdxBarSubMenuControl* Menu = Form.Open();
    ASSERT_TRUE(Menu);
    EXPECT_EQ(TListForm::Entries(Menu),
              (std::vector<std::string>{"&Neu", "&1 Eingang |", "&2 Ausgang |", "&3 Protokoll",
                                        "&Kopieren |", "&Suchen"}));
    SaveScenePicture({Form.FormWindow(), Menu->Handle()}, "list-item-in-submenu");
    // The entry of the chosen window is checked.
    auto* Second = Form.List->Buttons(1);
    EXPECT_TRUE(Second->Down());
    EXPECT_FALSE(Form.List->Buttons(0)->Down());
    // Closing the menu takes the made links out again.
    Form.Tap(Qt::Key_Escape);
    EXPECT_FALSE(TMenuForm::MenuOf(Form.Sub));
    EXPECT_EQ(Form.Sub->ItemLinks()->Count(), 3);
    EXPECT_TRUE(Form.List->Stale());
    // And opening it again makes them anew.
    Menu = Form.Open();
    ASSERT_TRUE(Menu);
    EXPECT_EQ(TListForm::Entries(Menu).size(), 6u);
}

TEST(BarListItem, ClickingAListEntrySelectsItAndClosesTheMenu) {
    TListForm Form;
    TdxBarSubMenuControl* Menu = Form.Open();
    ASSERT_TRUE(Menu);
    // "&3 Protokoll": after "&Neu", the list item's own link (no room) and two entries.
    Form.Click(TMenuForm::EntryPoint(Menu, 4));
    EXPECT_EQ(Form.Chosen, std::vector<int>{3});
    EXPECT_EQ(Form.List->ItemIndex(), 3);
    EXPECT_EQ(Form.List->DataIndex(), 2);
    EXPECT_FALSE(TMenuForm::MenuOf(Form.Sub));
    EXPECT_EQ(Form.Sub->ItemLinks()->Count(), 3);
    // The keys reach the entries too: the list's accelerators are its numbers.
    Menu = Form.Open();
    ASSERT_TRUE(Menu);
    Form.Tap(Qt::Key_1);
    EXPECT_EQ(Form.Chosen, (std::vector<int>{3, 0}));
}

TEST(BarListItem, AListItemOnABarOpensAMenuOfItsEntries) {
    TListForm Form;
    Form.EditBar->ItemLinks()->Add()->SetItem(Form.List);
    GuiTest::Drain();
    Form.Click(Form.Middle(Form.EditBar->ItemLinks()->Items(3)));
    TdxBarSubMenuControl* Menu = TMenuForm::MenuOf(Form.List);
    ASSERT_TRUE(Menu);
    EXPECT_EQ(TListForm::Entries(Menu),
              (std::vector<std::string>{"&1 Eingang", "&2 Ausgang |", "&3 Protokoll"}));
    // Opening the menu is a click of the sub-item as well: the choice is the last one.
    Form.Click(TMenuForm::EntryPoint(Menu, 0));
    ASSERT_FALSE(Form.Chosen.empty());
    EXPECT_EQ(Form.Chosen.back(), 0);
    EXPECT_EQ(Form.List->ItemIndex(), 0);
    EXPECT_FALSE(TMenuForm::MenuOf(Form.List));
    EXPECT_EQ(Form.List->ItemLinks()->Count(), 0);
}

TEST(BarListItem, AClickByCodeWaitsWhileTheListsMenuIsOpen) {
    TListForm Form;
    Form.EditBar->ItemLinks()->Add()->SetItem(Form.List);
    GuiTest::Drain();
    Form.Click(Form.Middle(Form.EditBar->ItemLinks()->Items(3)));
    ASSERT_TRUE(TMenuForm::MenuOf(Form.List));
    const size_t Before = Form.Chosen.size();
    Form.List->DirectClick();
    EXPECT_EQ(Form.Chosen.size(), Before);
    Form.Tap(Qt::Key_Escape);
    ASSERT_FALSE(TMenuForm::MenuOf(Form.List));
    Form.List->DirectClick();
    EXPECT_EQ(Form.Chosen.size(), Before + 1);
}

// ---- pictures ---------------------------------------------------------------------------------

TEST(BarEditPictures, ABarWithAnEditAndACombo) {
    for (TdxBarManagerStyle Style : {bmsFlat, bmsStandard}) {
        TEditForm Form(Style);
        Form.Edit->SetShowCaption(true);
        GuiTest::Drain();
        const std::string Name = Style == bmsFlat ? "flat" : "standard";
        SaveScenePicture({Form.FormWindow()}, "edit-combo-" + Name);
        Form.Click(Form.ButtonPoint());
        ASSERT_TRUE(Form.ListShows());
        Form.Move(Form.RowPoint(1));
        SaveScenePicture({Form.FormWindow(), Form.List()->Handle()}, "edit-combo-dropped-" + Name);
        Form.Tap(Qt::Key_Escape);
    }
}

}  // namespace
