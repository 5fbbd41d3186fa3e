// The directory edit on a dialog read from its definition: its text and OnChange, browsing
// through the scripted folder dialog, drops, the popup and what closes it, the keys that move
// the focus, the buttons' visibility as a count, and the form definition it is written to.
#include <filesystem>

#include "components/dcedit/ValueEdits.h"
#include "components/registries/ClassRegistries.h"
#include "platform/forms/Filer.h"
#include "platform/fs/Files.h"
#include "platform/widgets/AnsiChars.h"
#include "tests/components/dcedit/DCEditTestSupport.h"

using namespace DCEditTest;
using namespace GuiTest;

namespace {

TFolderDialogAnswer Chosen(const std::string& Folder) {
    return TFolderDialogAnswer{true, Folder};
}

// Clicks the first button of an edit.
void ClickButton1(TCustomDCEdit* Edit) {
    TEditButton* Button = Edit->EditButton(0);
    const TPoint At = Button->ClientToScreen(TPoint{Button->Width() / 2, Button->Height() / 2});
    MouseClick(Edit->Handle(), POINT{At.X, At.Y});
    Drain();
}

// Keeps values in upper case and counts what it is given.
class TUpperSource : public TEditSource {
  public:
    using TEditSource::TEditSource;
    void GetValue(std::string& Value) override { Value = FValue; }
    void SetValue(const std::string& Value) override {
        ++Given;
        FValue = AnsiUpperCase(Value);
    }
    int Given = 0;

  private:
    std::string FValue;
};

TEST_F(DCEditFixture, TheDefinitionGivesEachEditItsPopupAndButtons) {
    TDCEditTestForm* Form = ShowForm();
    for (TDCDirectoryEdit* Edit : {Form->SpoolDir, Form->ExtractDir}) {
        // The popup read from the definition took the place of the one made meanwhile.
        TPopupListBox* Popup = PopupOf(Edit);
        ASSERT_NE(Popup, nullptr);
        EXPECT_EQ(Popup->Owner(), Edit);
        EXPECT_EQ(Popup->ItemHeight(), 13);
        int Popups = 0;
        for (int I = 0; I < Edit->ComponentCount(); ++I)
            Popups += dynamic_cast<TPopupListBox*>(Edit->Components(I)) ? 1 : 0;
        EXPECT_EQ(Popups, 1);
        EXPECT_EQ(Edit->PopupClassName(), "TPopupListBox");
        EXPECT_TRUE(dynamic_cast<TDCSimpleEdit*>(Edit->Edit()));
        // One browse button with the folder glyph; the inner edit carries the tab stop.
        EXPECT_EQ(Edit->ButtonCount(), 1);
        EXPECT_EQ(Edit->Button1()->Kind(), bkCustom);
        EXPECT_EQ(Edit->EditButton(0)->Width(), 12 + 4);
        EXPECT_FALSE(Edit->EditButton(1)->Visible());
        EXPECT_FALSE(Edit->TabStop());
        EXPECT_TRUE(static_cast<TWinControl*>(Edit->Edit())->TabStop());
    }
    EXPECT_TRUE(Form->ExtractDir->MultipleDirs());
    EXPECT_TRUE(Form->ExtractDir->AcceptFiles());
    EXPECT_EQ(Form->ExtractDir->InitialDir(), "/tmp");

    // Written back: the popup nests in each edit without a name; the buttons are settings.
    const std::string Text = WriteComponentToText(Form);
    EXPECT_NE(Text.find("object TPopupListBox\n"), std::string::npos) << Text;
    EXPECT_NE(Text.find("ItemHeight = 13"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Button1.Glyph.Data"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Button2.Kind = bkDots"), std::string::npos) << Text;
    EXPECT_NE(Text.find("MultipleDirs = True"), std::string::npos) << Text;
    SaveWindowPicture(Form->Handle(), Picture("directory-dialog"));
}

TEST_F(DCEditFixture, OnChangeFiresOnlyWhenTheTextChanges) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    Spool->SetEditText("/var/spool/xp");
    Spool->SetEditText("/var/spool/xp");
    EXPECT_EQ(Spool->GetEditText(), "/var/spool/xp");
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"spool /var/spool/xp"}));
    // The caption is not the text.
    EXPECT_EQ(Spool->Caption(), "");

    // Typed text fires once per change, as it is typed.
    Form->Log.clear();
    Spool->SetFocus();
    Drain();
    Key(Form, Qt::Key_End);
    Type(Form, "/a");
    EXPECT_EQ(Form->Log,
              (std::vector<std::string>{"spool /var/spool/xp/", "spool /var/spool/xp/a"}));
    EXPECT_TRUE(Spool->GetModified());

    // Without an inner edit a text goes nowhere and fires nothing.
    TDCDirectoryEdit Loose(nullptr);
    Loose.SetCreateChildrenOnParent(false);
    int Changes = 0;
    Loose.OnChange = [&](TObject*) { ++Changes; };
    Loose.SetEditText("/tmp");
    EXPECT_EQ(Loose.GetEditText(), "");
    EXPECT_EQ(Changes, 0);
}

TEST_F(DCEditFixture, BrowsingStartsAfterTheLastSemicolonAndReplacesTheText) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    Spool->SetEditText("/home/anna/xp;/var/spool/");
    Form->Log.clear();
    Dialogs().QueueFolder(Chosen("/srv/news"));
    ClickButton1(Spool);
    ASSERT_EQ(Dialogs().Asked().size(), 1u);
    const TFolderDialogRequest& Asked = Dialogs().Asked()[0].Folder;
    EXPECT_EQ(Asked.Title, "Select Directory");
    // The second folder, without its trailing delimiter; the whole file system as root.
    EXPECT_EQ(Asked.Selected, "/var/spool");
    EXPECT_EQ(Asked.Root, "");
    EXPECT_EQ(Asked.Flags, BIF_RETURNONLYFSDIRS);
    // Without MultipleDirs the choice replaces the whole text.
    EXPECT_EQ(Spool->GetEditText(), "/srv/news");
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"spool /srv/news"}));
    // The edit kept the focus for the user to go on.
    EXPECT_TRUE(Spool->EditFocused());

    // The folder that is the text already: no change; cancelled: nothing either.
    Form->Log.clear();
    Dialogs().QueueFolder(Chosen("/srv/news"));
    ClickButton1(Spool);
    Dialogs().QueueFolder(TFolderDialogAnswer{});
    ClickButton1(Spool);
    EXPECT_EQ(Spool->GetEditText(), "/srv/news");
    EXPECT_TRUE(Form->Log.empty());

    // An empty text and no InitialDir: the working directory; else InitialDir.
    Spool->SetEditText("");
    Dialogs().QueueFolder(TFolderDialogAnswer{});
    ClickButton1(Spool);
    EXPECT_EQ(Dialogs().Asked().back().Folder.Selected, GetCurrentDir());
    Form->ExtractDir->SetEditText("");
    Dialogs().QueueFolder(TFolderDialogAnswer{});
    ClickButton1(Form->ExtractDir);
    EXPECT_EQ(Dialogs().Asked().back().Folder.Selected, "/tmp");
    EXPECT_EQ(Dialogs().Unanswered(), 0);
}

TEST_F(DCEditFixture, MultipleDirsAppendsTheChoiceAfterASemicolon) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Extract = Form->ExtractDir;
    Dialogs().QueueFolder(Chosen("/home/anna/files"));
    ClickButton1(Extract);
    // The first choice into an empty text stands alone.
    EXPECT_EQ(Extract->GetEditText(), "/home/anna/files");
    Dialogs().QueueFolder(Chosen("/tmp/attachments"));
    ClickButton1(Extract);
    EXPECT_EQ(Extract->GetEditText(), "/home/anna/files;/tmp/attachments");
    EXPECT_EQ(Dialogs().Asked().back().Folder.Selected, "/home/anna/files");
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"extract /home/anna/files",
                                                   "extract /home/anna/files;/tmp/attachments"}));
}

TEST_F(DCEditFixture, DroppedFilesGiveTheirFoldersAndDroppedFoldersThemselves) {
    TDCEditTestForm* Form = ShowForm();
    const std::filesystem::path Dir =
        std::filesystem::temp_directory_path() / ("kestro-dcedit-" + std::to_string(getpid()));
    std::filesystem::create_directories(Dir / "inbox");
    const std::string Folder = (Dir / "inbox").string();
    const std::string File = (Dir / "box.cfg").string();
    WriteFile(File, "x");
    const std::string Long = Folder + "/" + std::string(300, 'n') + ".txt";
    DropFiles(Form->ExtractDir->Handle(), {20, 5}, {File, Folder, Long});
    EXPECT_EQ(Form->ExtractDir->GetEditText(), Dir.string() + "/;" + Folder + ";" + Folder + "/");
    EXPECT_EQ(Form->Log.back(), "dropped " + Form->ExtractDir->GetEditText());
    // Without MultipleDirs the first name alone; without AcceptFiles no drop at all.
    Form->ExtractDir->SetMultipleDirs(false);
    DropFiles(Form->ExtractDir->Handle(), {20, 5}, {Folder, File});
    EXPECT_EQ(Form->ExtractDir->GetEditText(), Folder);
    Form->Log.clear();
    DropFiles(Form->SpoolDir->Handle(), {20, 5}, {Folder});
    EXPECT_EQ(Form->SpoolDir->GetEditText(), "");
    EXPECT_TRUE(Form->Log.empty());
    std::filesystem::remove_all(Dir);
}

TEST_F(DCEditFixture, AltDownDropsAnEmptyOneRowListThatEscapeEnterAndOutsideClicksClose) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    Spool->SetEditText("/var/spool");
    Spool->SetFocus();
    Drain();
    Form->Log.clear();
    int DropDowns = 0;
    Spool->OnDropDown = [&](TObject*) { ++DropDowns; };
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Spool->DroppedDown());
    EXPECT_TRUE(PopupShown(Spool));
    EXPECT_EQ(DropDowns, 1);
    TPopupListBox* Popup = PopupOf(Spool);
    // One empty row, as wide as the edit, just below its client area; not activated.
    EXPECT_EQ(Popup->ClientHeight(), Popup->ItemHeight());
    RECT PopupRect, EditRect;
    GetWindowRect(Popup->Handle(), &PopupRect);
    GetWindowRect(Spool->Handle(), &EditRect);
    EXPECT_EQ(PopupRect.right - PopupRect.left, Spool->Width());
    EXPECT_EQ(PopupRect.left, EditRect.left);
    EXPECT_EQ(PopupRect.top, EditRect.bottom - 2);
    EXPECT_EQ(GetActiveWindow(), Form->Handle());
    EXPECT_TRUE(Spool->EditFocused());
    SaveFormWithPopup(Form, Spool, "directory-edit-popup-empty");

    Key(Form, Qt::Key_Escape);
    EXPECT_FALSE(Spool->DroppedDown());
    EXPECT_FALSE(PopupShown(Spool));
    // Enter closes it too (accepting an empty list's nothing).
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Spool->DroppedDown());
    Key(Form, Qt::Key_Return);
    EXPECT_FALSE(Spool->DroppedDown());
    // A click outside the list and the edit closes it without accepting.
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Spool->DroppedDown());
    MouseClick(Form->Handle(), ScreenPoint(Form, 300, 150));
    Drain();
    EXPECT_FALSE(Spool->DroppedDown());
    EXPECT_FALSE(PopupShown(Spool));
    // A click into the list's own edit keeps it... until the click closes it as the edit's.
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Spool->DroppedDown());
    Key(Form, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(Spool->DroppedDown());
    EXPECT_EQ(Spool->GetEditText(), "/var/spool");
    EXPECT_TRUE(Form->Log.empty());
    EXPECT_EQ(DropDowns, 4);
}

TEST_F(DCEditFixture, LosingTheActivationClosesThePopup) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    Spool->SetFocus();
    Drain();
    // The program as a whole losing the activation.
    Spool->DropDown();
    ASSERT_TRUE(Spool->DroppedDown());
    SendMessage(Forms.Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(Spool->DroppedDown());
    // Another form of the program taking it (the focus goes with it).
    Spool->DropDown();
    ASSERT_TRUE(Spool->DroppedDown());
    TForm* Other = new TForm(&Forms);
    Other->SetBounds(500, 300, 200, 100);
    Other->Show();
    Drain();
    EXPECT_EQ(GetActiveWindow(), Other->Handle());
    EXPECT_FALSE(Spool->DroppedDown());
    EXPECT_FALSE(PopupShown(Spool));
    // A later drop-down is watched afresh.
    Form->SpoolDir->SetFocus();
    Drain();
    Spool->DropDown();
    ASSERT_TRUE(Spool->DroppedDown());
    SetActiveWindow(0);
    Drain();
    EXPECT_FALSE(Spool->DroppedDown());
}

TEST_F(DCEditFixture, AnEditFreedWhileDroppedDownLeavesNothingWatching) {
    TDCEditTestForm* Form = ShowForm();
    Form->SpoolDir->DropDown();
    ASSERT_TRUE(Form->SpoolDir->DroppedDown());
    Form->SpoolDir->Free();
    Form->SpoolDir = nullptr;
    // Its hooks went with it: a click and another edit's popup find nothing of it.
    MouseClick(Form->Handle(), ScreenPoint(Form, 300, 150));
    Form->ExtractDir->DropDown();
    EXPECT_TRUE(Form->ExtractDir->DroppedDown());
    MouseClick(Form->Handle(), ScreenPoint(Form, 300, 150));
    Drain();
    EXPECT_FALSE(Form->ExtractDir->DroppedDown());
}

TEST_F(DCEditFixture, UpAndDownMoveTheFocusBetweenControls) {
    TDCEditTestForm* Form = ShowForm();
    Form->SpoolDir->SetFocus();
    Drain();
    int Entered = 0;
    int Exited = 0;
    Form->SpoolDir->OnEnter = [&](TObject*) { ++Entered; };
    Form->SpoolDir->OnExit = [&](TObject*) { ++Exited; };
    Key(Form, Qt::Key_Down);
    EXPECT_TRUE(Form->ExtractDir->EditFocused());
    EXPECT_FALSE(Form->SpoolDir->EditFocused());
    Key(Form, Qt::Key_Down);
    EXPECT_EQ(GetFocus(), Form->Last->Handle());
    Key(Form, Qt::Key_Up);
    Key(Form, Qt::Key_Up);
    EXPECT_TRUE(Form->SpoolDir->EditFocused());
    Key(Form, Qt::Key_Up);
    EXPECT_EQ(GetFocus(), Form->First->Handle());
    // Entering and leaving count for the whole control, once each.
    EXPECT_EQ(Entered, 1);
    EXPECT_EQ(Exited, 2);
    // Tab goes through the inner edit, never stopping at the control's own window.
    Form->SpoolDir->SetFocus();
    Drain();
    Key(Form, Qt::Key_Tab);
    EXPECT_TRUE(Form->ExtractDir->EditFocused());
    EXPECT_NE(GetFocus(), Form->ExtractDir->Handle());
}

TEST_F(DCEditFixture, ButtonVisibilityCountsTheVisibleButtons) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Edit = Form->SpoolDir;
    TEditButton* First = Edit->EditButton(0);
    TEditButton* Second = Edit->EditButton(1);
    // Showing the second button makes two; the second sits at the right end.
    Edit->Button2()->SetVisible(true);
    EXPECT_EQ(Edit->ButtonCount(), 2);
    const int Right = Edit->ClientWidth();
    EXPECT_EQ(Second->Left() + Second->Width(), Right);
    EXPECT_EQ(First->Left() + First->Width(), Second->Left());
    EXPECT_EQ(Edit->Edit()->Width(), Second->Left() - First->Width());
    // With none shown, making only the second visible shows the first instead.
    Edit->SetButtonCount(0);
    EXPECT_FALSE(First->Visible());
    EXPECT_EQ(Edit->Edit()->Width(), Right);
    Edit->Button2()->SetVisible(true);
    EXPECT_EQ(Edit->ButtonCount(), 1);
    EXPECT_TRUE(First->Visible());
    EXPECT_FALSE(Second->Visible());
    // Hiding the first of two leaves one shown: the first.
    Edit->SetButtonCount(2);
    Edit->Button1()->SetVisible(false);
    EXPECT_EQ(Edit->ButtonCount(), 1);
    EXPECT_TRUE(First->Visible());
    EXPECT_FALSE(Second->Visible());
    // Counts beyond the buttons there are change nothing.
    Edit->SetButtonCount(3);
    Edit->SetButtonCount(-1);
    EXPECT_EQ(Edit->ButtonCount(), 1);
    // Alt+Down drops down only while the first button shows.
    Edit->SetButtonCount(0);
    Edit->SetFocus();
    Drain();
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(DCEditFixture, AButtonWithAHandlerDoesNotToggleThePopup) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Edit = Form->SpoolDir;
    Edit->SetButtonCount(2);
    int Dots = 0;
    Edit->SetOnButton2Click([&](TObject*) { ++Dots; });
    TEditButton* Second = Edit->EditButton(1);
    const TPoint At = Second->ClientToScreen(TPoint{3, 3});
    MouseClick(Edit->Handle(), POINT{At.X, At.Y});
    Drain();
    EXPECT_EQ(Dots, 1);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_TRUE(Edit->EditFocused());
    // Without a handler the button drops the popup down and closes it again.
    Edit->SetOnButton2Click(nullptr);
    MouseClick(Edit->Handle(), POINT{At.X, At.Y});
    Drain();
    EXPECT_TRUE(Edit->DroppedDown());
    MouseClick(Edit->Handle(), POINT{At.X, At.Y});
    Drain();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Dialogs().Asked().size(), 0u);
}

TEST_F(DCEditFixture, AListIsChosenFromWithTheMouseAndTheKeys) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    TPopupListBox* Popup = PopupOf(Spool);
    Popup->Items()->SetText("/var/spool/a\n/var/spool/b\n/var/spool/c\n");
    Spool->SetEditText("/var/spool/b");
    Spool->SetFocus();
    Drain();
    Form->Log.clear();
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Spool->DroppedDown());
    // The text's item is selected; three rows.
    EXPECT_EQ(Popup->ItemIndex(), 1);
    EXPECT_EQ(Popup->ClientHeight(), 3 * Popup->ItemHeight());
    SaveFormWithPopup(Form, Spool, "directory-edit-popup");
    // A press, a drag and a release on the third item take it.
    const HWND List = Popup->Handle();
    const int Row = Popup->ItemHeight();
    MousePress(List, ScreenOf(List, POINT{10, Row / 2}));
    Drain();
    EXPECT_EQ(Popup->ItemIndex(), 0);
    EXPECT_EQ(GetCapture(), List);
    MouseMove(List, ScreenOf(List, POINT{10, 2 * Row + Row / 2}));
    Drain();
    EXPECT_EQ(Popup->ItemIndex(), 2);
    MouseRelease(List, ScreenOf(List, POINT{10, 2 * Row + Row / 2}));
    Drain();
    EXPECT_FALSE(Spool->DroppedDown());
    EXPECT_EQ(Spool->GetEditText(), "/var/spool/c");
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"spool /var/spool/c"}));
    // A release outside the list takes nothing.
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    MousePress(List, ScreenOf(List, POINT{10, Row / 2}));
    MouseRelease(List, ScreenOf(List, POINT{10, 4 * Row}));
    Drain();
    EXPECT_FALSE(Spool->DroppedDown());
    EXPECT_EQ(Spool->GetEditText(), "/var/spool/c");
    // The keys: Up moves in the list (a change of the selection is the edit's change), Enter
    // takes the item.
    Form->Log.clear();
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    Key(Form, Qt::Key_Up);
    EXPECT_TRUE(Spool->DroppedDown());
    EXPECT_EQ(Popup->ItemIndex(), 1);
    Key(Form, Qt::Key_Return);
    EXPECT_EQ(Spool->GetEditText(), "/var/spool/b");
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"spool /var/spool/c", "spool /var/spool/b"}));
}

TEST_F(DCEditFixture, APopupThatWouldLeaveTheScreenOpensAboveTheEdit) {
    TDCEditTestForm* Form = ShowForm();
    const int ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    // The edit's bottom 60 pixels above the screen's: too little room for seven rows.
    Form->SetTop(ScreenHeight - 60 -
                 (Form->SpoolDir->ClientToScreen(TPoint{0, 21}).Y - Form->Top()));
    Drain();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    PopupOf(Spool)->Items()->SetText("1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    Spool->DropDown();
    ASSERT_TRUE(Spool->DroppedDown());
    RECT PopupRect, EditRect;
    GetWindowRect(Spool->Popup()->Handle(), &PopupRect);
    GetWindowRect(Spool->Handle(), &EditRect);
    // Seven rows at most, ending where the edit starts (less the two pixels it overlaps below).
    EXPECT_EQ(PopupOf(Spool)->ClientHeight(), 7 * PopupOf(Spool)->ItemHeight());
    EXPECT_EQ(PopupRect.bottom, EditRect.top - 2);
    EXPECT_LE(PopupRect.bottom, ScreenHeight);
    Spool->CloseUp(false);
}

TEST_F(DCEditFixture, ChildClassesAreChosenByNameAndUnknownNamesGiveTheDefaults) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Edit = Form->SpoolDir;
    Edit->SetEditText("/tmp");
    Edit->SetPopupClassName("TNoSuchPopup");
    EXPECT_TRUE(dynamic_cast<TDummyPopup*>(Edit->Popup()));
    // A dummy popup never drops down.
    Edit->DropDown();
    EXPECT_FALSE(Edit->DroppedDown());
    // A class registered for another role is not taken either.
    Edit->SetEditClassName("TPopupColorBox");
    EXPECT_TRUE(dynamic_cast<TDCSimpleEdit*>(Edit->Edit()));
    Edit->SetEditClassName("TCheckEdit");
    ASSERT_TRUE(dynamic_cast<TCheckEdit*>(Edit->Edit()));
    EXPECT_EQ(Edit->Edit()->Parent(), Edit);
    EXPECT_EQ(Edit->GetEditText(), "False");
    Edit->SetEditSourceClassName("TNoSuchSource");
    EXPECT_TRUE(dynamic_cast<TDummyEditSource*>(Edit->EditSource()));
    // Written with the class names set, the children nest in the definition.
    const std::string Text = WriteComponentToText(Form);
    EXPECT_NE(Text.find("object TCheckEdit"), std::string::npos) << Text;
    EXPECT_NE(Text.find("object TDummyPopup"), std::string::npos) << Text;
}

TEST_F(DCEditFixture, ReadOnlyReachesTheInnerEditAndDisablingTheWholeControl) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Edit = Form->SpoolDir;
    Edit->SetEditText("/var");
    Edit->SetReadOnly(true);
    auto* Inner = static_cast<TCustomEdit*>(Edit->Edit());
    EXPECT_TRUE(Inner->ReadOnly());
    Edit->SetFocus();
    Drain();
    Type(Form, "x");
    EXPECT_EQ(Edit->GetEditText(), "/var");
    Edit->SetReadOnly(false);
    Edit->SetEnabled(false);
    EXPECT_FALSE(Inner->Enabled());
    EXPECT_FALSE(Edit->EditButton(0)->Enabled());
    Drain();
    EXPECT_EQ(Edit->EditButton(0)->State(), bsDisabled);
    SaveWindowPicture(Edit->Handle(), Picture("directory-edit-disabled"));
    Edit->SetEnabled(true);
    EXPECT_TRUE(Inner->Enabled());
}

TEST_F(DCEditFixture, AFlatEditShowsItsFrameOnlyWhileActive) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Edit = Form->SpoolDir;
    Edit->SetFlat(true);
    Drain();
    // Not focused, the pointer elsewhere: button face all round.
    const HWND Wnd = Edit->Handle();
    EXPECT_EQ(PixelAt(Wnd, 0, 0), ColorOf(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(PixelAt(Wnd, 0, 5), ColorOf(GetSysColor(COLOR_BTNFACE)));
    SaveWindowPicture(Wnd, Picture("flat-edit-inactive"));
    // Focused: the sunken frame, shadow at the top and left, highlight at the bottom and right.
    Edit->SetFocus();
    Drain();
    EXPECT_EQ(PixelAt(Wnd, 0, 5), ColorOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(PixelAt(Wnd, 5, 0), ColorOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(PixelAt(Wnd, 5, Edit->Height() - 1), ColorOf(GetSysColor(COLOR_BTNHIGHLIGHT)));
    SaveWindowPicture(Wnd, Picture("flat-edit-focused"));
    // The dream border's single styles: the edge all round.
    Edit->SetUseDreamBorder(true);
    Edit->SetDreamBorderStyle(dbsLineBorder);
    Edit->SetLineColor(clRed);
    Drain();
    EXPECT_EQ(PixelAt(Edit->Handle(), 0, 5), ColorOf(ColorToRGB(clRed)));
}

TEST_F(DCEditFixture, TheEditSourceIsGivenTheTextAndMayCorrectIt) {
    static const bool Registered = [] {
        AddRegisteredClass(EditSourceClasses(),
                           StreamingClass<TUpperSource, TEditSource>("TUpperSource"),
                           typeid(std::string), "", 0);
        return true;
    }();
    (void)Registered;
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    Spool->SetEditSourceClassName("TUpperSource");
    auto* Source = dynamic_cast<TUpperSource*>(Spool->EditSource());
    ASSERT_NE(Source, nullptr);
    // A value taken from the list comes back corrected.
    PopupOf(Spool)->Items()->Add("/var/spool");
    Spool->SetFocus();
    Drain();
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    Key(Form, Qt::Key_Down);
    Key(Form, Qt::Key_Return);
    EXPECT_EQ(Spool->GetEditText(), "/VAR/SPOOL");
    // Leaving the control, and the notice, give it the text.
    Source->Given = 0;
    Key(Form, Qt::Key_End);
    Type(Form, "x");
    Form->First->SetFocus();
    Drain();
    EXPECT_EQ(Source->Given, 1);
    Spool->Perform(CM_UPDATESOURCE);
    EXPECT_EQ(Source->Given, 2);
    std::string Value;
    Source->GetValue(Value);
    EXPECT_EQ(Value, "/VAR/SPOOLX");
}

TEST_F(DCEditFixture, TheCaptionsAcceleratorADoubleClickAndTheFontReachTheControl) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Extract = Form->ExtractDir;
    Extract->SetCaption("E&xtract");
    Key(Form, Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(Extract->EditFocused());
    int DoubleClicks = 0;
    Extract->OnDblClick = [&](TObject*) { ++DoubleClicks; };
    MouseDoubleClick(Form->Handle(), ScreenPoint(Extract, 20, 8));
    Drain();
    EXPECT_EQ(DoubleClicks, 1);
    // A new font sets the height: a line of it and the frame.
    TFont Big;
    Big.SetHeight(-20);
    Extract->SetFont(&Big);
    EXPECT_EQ(Extract->Height(), Big.Metrics().tmHeight + 8 * GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(Extract->EditButton(0)->Height(), Extract->ClientHeight());
}

TEST_F(DCEditFixture, ThePointerLeavingOnceDoesNotStopALaterListFromTrackingTheHeldButton) {
    TDCEditTestForm* Form = ShowForm();
    TDCDirectoryEdit* Spool = Form->SpoolDir;
    TPopupListBox* Popup = PopupOf(Spool);
    Popup->Items()->SetText("a\nb\nc\n");
    // Over the edit and away again: the frame's redraw is due on timer 1.
    MouseMove(Form->Handle(), ScreenPoint(Spool, 20, 8));
    MouseMove(Form->Handle(), ScreenPoint(Form, 300, 150));
    Drain();
    Spool->SetFocus();
    Drain();
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Spool->DroppedDown());
    // The button held on the first item; the pointer moves on without a message: the timer
    // has the list follow it.
    const HWND List = Popup->Handle();
    const int Row = Popup->ItemHeight();
    MousePress(List, ScreenOf(List, POINT{10, Row / 2}));
    Drain();
    ASSERT_EQ(Popup->ItemIndex(), 0);
    const POINT Third = ScreenOf(List, POINT{10, 2 * Row + Row / 2});
    SetCursorPos(Third.x, Third.y);
    EXPECT_TRUE(PumpUntil([&] { return Popup->ItemIndex() == 2; }));
    MouseRelease(List, Third);
    Drain();
    EXPECT_EQ(Spool->GetEditText(), "c");
}

}  // namespace
