// The edits and buttons of the class library on a form read from its definition: what the
// definition gives them and writes back, and what keys and clicks do to them.
#include "platform/forms/Filer.h"
#include "platform/shell/Clipboard.h"
#include "tests/platform/widgets/StdCtrlsFixture.h"

namespace {

using namespace StdTest;

std::string DefinitionOf(TComponent* Root) {
    TWriter Writer;
    return PrintFormText(Writer.WriteRootComponent(Root));
}

DWORD ButtonType(TWinControl* C) {
    return DWORD(GetWindowLongPtr(C->Handle(), GWL_STYLE)) & BS_TYPEMASK;
}

TEST_F(StdForm, ADefinitionGivesEveryControlItsPropertiesAndIsWrittenBackTheSame) {
    EXPECT_EQ(Form->EditName->Text(), "Kestro");
    EXPECT_EQ(Form->EditPass->PasswordChar(), '*');
    EXPECT_EQ(Form->MaskDate->EditMask(), "00/00/0000;1;_");
    EXPECT_EQ(Form->MaskDate->Text(), "24/12/1999");
    ASSERT_EQ(Form->MemoNotes->Lines()->Count(), 2);
    EXPECT_EQ(Form->MemoNotes->Lines()->Get(1), "Second line");
    EXPECT_EQ(Form->MemoNotes->ScrollBars(), ssVertical);
    EXPECT_EQ(Form->CheckSave->State(), cbChecked);
    EXPECT_EQ(Form->CheckGray->State(), cbGrayed);
    EXPECT_TRUE(Form->RadioPop->Checked());
    EXPECT_FALSE(Form->RadioImap->Checked());
    ASSERT_EQ(Form->RadioSort->ButtonCount(), 3);
    EXPECT_EQ(Form->RadioSort->ItemIndex(), 1);
    EXPECT_TRUE(Form->RadioSort->Buttons(1)->Checked());
    EXPECT_EQ(Form->RadioSort->Buttons(2)->Caption(), "Date");
    EXPECT_EQ(Form->SpeedOpen->Glyph()->Width(), 16);
    EXPECT_TRUE(Form->SpeedLeft->Down());
    EXPECT_EQ(Form->BitHelp->Caption(), "&Help");
    EXPECT_EQ(Form->BitHelp->Kind(), TBitBtnKind::bkHelp);
    EXPECT_EQ(Form->BitAbort->ModalResult(), mrAbort);
    // A kind with a caption of its own keeps the caption.
    EXPECT_EQ(Form->ButtonCancel->Caption(), "Abbruch");
    EXPECT_TRUE(Form->ButtonCancel->Cancel());
    EXPECT_EQ(Form->ButtonCancel->ModalResult(), mrCancel);
    EXPECT_TRUE(Form->ButtonOk->Default());
    // Reading the definition is no change and no click.
    EXPECT_TRUE(Form->Log.empty());

    const std::string Written = DefinitionOf(Form);
    for (const char* Part :
         {"Kind = bkHelp", "Caption = 'Abbruch'", "EditMask = '00/00/0000;1;_'",
          "Text = '24/12/1999'", "Lines.Strings = (", "'Second line')", "Items.Strings = (",
          "ItemIndex = 1", "State = cbGrayed", "GroupIndex = 1", "Glyph.Data = {",
          "PasswordChar = '*'", "Default = True"})
        EXPECT_NE(Written.find(Part), std::string::npos) << Part;
    // What a kind gives is not written again, nor the memo's text beside its lines, nor the
    // radio group's own buttons.
    for (const char* Part : {"Caption = '&Help'", "TGroupButton", "Text = 'First line"})
        EXPECT_EQ(Written.find(Part), std::string::npos) << Part;

    const TFormObject Parsed = ParseFormText(Written, "written");
    TReader Reader(Parsed, "written");
    TComponent* Again = Reader.ReadRootComponent(nullptr);
    ASSERT_NE(Again, nullptr);
    EXPECT_EQ(DefinitionOf(Again), Written);
    Again->Free();
}

TEST_F(StdForm, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    TScript Enter;
    Enter.Then([&] { QTest::keyClick(Window(), Qt::Key_Return); });
    Enter.Start();
    EXPECT_EQ(Form->ShowModal(), mrOk);
    ASSERT_TRUE(Enter.Done());

    TScript Esc;
    Esc.Then([&] { QTest::keyClick(Window(), Qt::Key_Escape); });
    Esc.Start();
    EXPECT_EQ(Form->ShowModal(), mrCancel);
}

TEST_F(StdForm, TheFocusedButtonIsTheOneEnterPresses) {
    ShowForm();
    EXPECT_EQ(ButtonType(Form->ButtonOk), BS_DEFPUSHBUTTON);
    Form->ButtonSave->SetFocus();
    Drain();
    // The look moves to the focused button and back to the default one.
    EXPECT_EQ(ButtonType(Form->ButtonSave), BS_DEFPUSHBUTTON);
    EXPECT_EQ(ButtonType(Form->ButtonOk), BS_PUSHBUTTON);
    Key(Qt::Key_Return);
    EXPECT_EQ(Form->ModalResult(), mrYes);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"ButtonSave"}));
    Form->CheckSave->SetFocus();
    Drain();
    EXPECT_EQ(ButtonType(Form->ButtonSave), BS_PUSHBUTTON);
    EXPECT_EQ(ButtonType(Form->ButtonOk), BS_DEFPUSHBUTTON);
    // Another default button takes the look over.
    Form->ButtonOk->SetDefault(false);
    Form->ButtonSave->SetDefault(true);
    Drain();
    EXPECT_EQ(ButtonType(Form->ButtonSave), BS_DEFPUSHBUTTON);
    EXPECT_EQ(ButtonType(Form->ButtonOk), BS_PUSHBUTTON);
}

TEST_F(StdForm, AltAndALetterClicksChecksOrFocusesItsControl) {
    ShowForm();
    Key(Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(Form->RadioImap->Checked());
    EXPECT_FALSE(Form->RadioPop->Checked());
    EXPECT_TRUE(Form->RadioImap->Focused());
    Key(Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(Form->CheckSave->State(), cbUnchecked);
    // A group box's accelerator goes to the first control inside: the checked radio button.
    Key(Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(Form->RadioImap->Focused());
    Form->Log.clear();
    TScript Save;
    Save.Then([&] { QTest::keyClick(Window(), Qt::Key_S, Qt::AltModifier); });
    Form->Hide();
    Save.Start();
    EXPECT_EQ(Form->ShowModal(), mrYes);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"ButtonSave"}));
}

TEST_F(StdForm, RadioButtonsOfOneParentUncheckEachOther) {
    ShowForm();
    Click(Form->RadioImap);
    EXPECT_TRUE(Form->RadioImap->Checked());
    EXPECT_FALSE(Form->RadioPop->Checked());
    // Only the checked one is reached by Tab.
    EXPECT_TRUE(Form->RadioImap->TabStop());
    EXPECT_FALSE(Form->RadioPop->TabStop());
    // The arrows move through the group and check what they reach.
    Key(Qt::Key_Up);
    EXPECT_TRUE(Form->RadioPop->Focused());
    EXPECT_TRUE(Form->RadioPop->Checked());
    EXPECT_FALSE(Form->RadioImap->Checked());
    // In code too; each becomes checked once.
    Form->RadioImap->SetChecked(true);
    EXPECT_FALSE(Form->RadioPop->Checked());
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"RadioImap", "RadioPop", "RadioImap"}));
    EXPECT_EQ(SendMessage(Form->RadioPop->Handle(), BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));

    // The radio group checks its buttons and tells which one.
    Form->Log.clear();
    Click(Form->RadioSort->Buttons(2));
    EXPECT_EQ(Form->RadioSort->ItemIndex(), 2);
    EXPECT_FALSE(Form->RadioSort->Buttons(1)->Checked());
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"RadioSort"}));
    Form->RadioSort->SetItemIndex(0);
    EXPECT_TRUE(Form->RadioSort->Buttons(0)->Checked());
    EXPECT_FALSE(Form->RadioSort->Buttons(2)->Checked());
    Form->RadioSort->SetItemIndex(7);
    EXPECT_EQ(Form->RadioSort->ItemIndex(), 2);
    // New items make new buttons; the choice stays where it still exists.
    Form->RadioSort->Items()->Delete(2);
    EXPECT_EQ(Form->RadioSort->ButtonCount(), 2);
    EXPECT_EQ(Form->RadioSort->ItemIndex(), -1);
    Form->RadioSort->Items()->Add("Size");
    Form->RadioSort->SetColumns(2);
    EXPECT_EQ(Form->RadioSort->ButtonCount(), 3);
    EXPECT_GT(Form->RadioSort->Buttons(2)->Left(), Form->RadioSort->Buttons(0)->Left());
}

TEST_F(StdForm, CheckBoxesToggleThroughTheirStatesAndTellEveryChange) {
    ShowForm();
    Click(Form->CheckSave);
    EXPECT_EQ(Form->CheckSave->State(), cbUnchecked);
    Form->CheckSave->SetFocus();
    Drain();
    Key(Qt::Key_Space);
    EXPECT_TRUE(Form->CheckSave->Checked());
    // With AllowGrayed a click goes on to the grayed state.
    Click(Form->CheckGray);
    Click(Form->CheckGray);
    Click(Form->CheckGray);
    EXPECT_EQ(Form->CheckGray->State(), cbGrayed);
    EXPECT_EQ(SendMessage(Form->CheckGray->Handle(), BM_GETCHECK, 0, 0),
              LRESULT(BST_INDETERMINATE));
    // A change made in code is a click too; setting the same state is none.
    Form->CheckSave->SetChecked(false);
    Form->CheckSave->SetChecked(false);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"CheckSave", "CheckSave", "CheckGray",
                                                   "CheckGray", "CheckGray", "CheckSave"}));
    // The state survives a new window.
    Form->CheckGray->SetAlignment(taLeftJustify);
    EXPECT_EQ(SendMessage(Form->CheckGray->Handle(), BM_GETCHECK, 0, 0),
              LRESULT(BST_INDETERMINATE));
}

TEST_F(StdForm, AnEditKeepsItsTextSelectionAndFlagsAndTellsChanges) {
    ShowForm();
    // Reading the definition and making the window told nothing.
    EXPECT_TRUE(Form->Log.empty());
    TCustomEdit* E = Form->EditName;
    E->SetSelStart(1);
    E->SetSelLength(3);
    EXPECT_EQ(E->SelText(), "est");
    E->SetSelText("ING");
    EXPECT_EQ(E->Text(), "KINGro");
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"EditName"}));
    E->SelectAll();
    EXPECT_EQ(E->SelLength(), 6);
    E->SetModified(false);
    Type("ab");
    EXPECT_EQ(E->Text(), "ab");
    EXPECT_TRUE(E->Modified());
    // Upper case: typed and set text alike, umlauts too.
    E->SetCharCase(ecUpperCase);
    EXPECT_EQ(E->Text(), "AB");
    QTest::sendKeyEvent(QTest::Click, Window(), Qt::Key_unknown, QStringLiteral("\u00e4"), {});
    Drain();
    E->SetText("xy\xF6");
    EXPECT_EQ(E->Text(), "XY\xD6");
    EXPECT_TRUE(E->Focused());
    // The limit holds for typing.
    E->SetMaxLength(4);
    E->SetSelStart(4);
    Type("zzz");
    EXPECT_EQ(E->Text(), "XY\xD6Z");
    // Read-only takes nothing, and shows on the edit's own colour.
    E->SetReadOnly(true);
    Type("q");
    EXPECT_EQ(E->Text(), "XY\xD6Z");
    // Cut, paste and undo go through the clipboard.
    E->SetReadOnly(false);
    E->SelectAll();
    E->CutToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "XY\xD6Z");
    EXPECT_EQ(E->Text(), "");
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "XY\xD6Z");
    // A password is never copied out.
    Form->EditPass->SelectAll();
    Form->EditPass->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "XY\xD6Z");
    // State that lives in the window survives a new one.
    E->SetModified(true);
    E->SetBorderStyle(bsNone);
    EXPECT_EQ(E->Text(), "XY\xD6Z");
    EXPECT_TRUE(E->Modified());
    EXPECT_EQ(SendMessage(E->Handle(), EM_GETLIMITTEXT, 0, 0), 4);
    // Its height follows its font while AutoSize holds.
    E->Font()->SetHeight(-20);
    const int Tall = E->Height();
    EXPECT_GT(Tall, 21);
    E->SetAutoSize(false);
    E->Font()->SetHeight(-11);
    EXPECT_EQ(E->Height(), Tall);
}

TEST_F(StdForm, TabIntoAnEditSelectsItsTextAClickDoesNot) {
    ShowForm();
    Key(Qt::Key_Tab);
    ASSERT_TRUE(Form->EditPass->Focused());
    EXPECT_EQ(Form->EditPass->SelLength(), 6);
    Click(Form->EditName);
    EXPECT_TRUE(Form->EditName->Focused());
    EXPECT_EQ(Form->EditName->SelLength(), 0);
    // An edit's colour is what it paints its text on, read-only or not.
    Form->EditName->SetColor(clYellow);
    Form->EditName->SetReadOnly(true);
    Drain();
    const TPoint P = Form->EditName->ClientToScreen(TPoint{Form->EditName->Width() - 6, 10});
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    EXPECT_EQ(PixelAt(Form->Handle(), P.X - R.left, P.Y - R.top), ColorOf(RGB(255, 255, 0)));
}

TEST_F(StdForm, AMemoTakesReturnAndLeavesTabToTheForm) {
    ShowForm();
    Form->MemoNotes->SetFocus();
    Drain();
    Form->MemoNotes->SetSelStart(0);
    Type("x");
    Key(Qt::Key_Return);
    EXPECT_EQ(Form->MemoNotes->Lines()->Get(0), "x");
    EXPECT_EQ(Form->MemoNotes->Lines()->Get(1), "First line");
    EXPECT_EQ(Form->ModalResult(), mrNone);
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Form->CheckSave->Focused());
    Form->MemoNotes->SetWantTabs(true);
    Form->MemoNotes->SetFocus();
    Drain();
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Form->MemoNotes->Focused());
    EXPECT_EQ(Form->MemoNotes->Lines()->Get(1), "\tFirst line");
    // Without WantReturns Return is the default button's.
    Form->MemoNotes->SetWantReturns(false);
    Key(Qt::Key_Return);
    EXPECT_EQ(Form->ModalResult(), mrOk);
    EXPECT_EQ(Form->MemoNotes->Lines()->Count(), 3);
}

TEST_F(StdForm, AMemosLinesLiveInItsWindow) {
    ShowForm();
    TStrings* L = Form->MemoNotes->Lines();
    L->Insert(1, "Middle");
    L->Add("Last");
    L->Put(0, "Erste");
    L->Delete(2);
    EXPECT_EQ(L->Text(), "Erste\r\nMiddle\r\nLast\r\n");
    EXPECT_EQ(Form->MemoNotes->Text(), "Erste\r\nMiddle\r\nLast\r\n");
    EXPECT_THROW(L->Get(3), EStringListError);
    // They survive a new window.
    Form->MemoNotes->SetScrollBars(ssBoth);
    EXPECT_EQ(L->Count(), 3);
    EXPECT_EQ(L->Get(2), "Last");
    // A line longer than the edit's line buffer comes back whole.
    const std::string Long(70000, 'q');
    L->Add(Long);
    EXPECT_EQ(L->Get(3), Long);
    L->Clear();
    EXPECT_EQ(L->Count(), 0);
    // Without a window the text holds them.
    auto* Loose = new TMemo(Form);
    Loose->Lines()->Add("a");
    Loose->Lines()->Add("b");
    Loose->Lines()->Insert(1, "c");
    EXPECT_FALSE(Loose->HandleAllocated());
    EXPECT_EQ(Loose->Text(), "a\r\nc\r\nb\r\n");
    Loose->SetParent(Form);
    EXPECT_EQ(Loose->Lines()->Get(2), "b");
}

TEST_F(StdForm, AMemoTakesAMessageSourceOfMegabytesInOneGo) {
    ShowForm();
    TMemo* M = Form->MemoNotes;
    M->SetScrollBars(ssBoth);
    int SetTexts = 0;
    int Replaced = 0;
    const TWndMethod Inner = M->WindowProc;
    M->WindowProc = [&](TMessage& Message) {
        if (Message.Msg == WM_SETTEXT) ++SetTexts;
        if (Message.Msg == EM_REPLACESEL) ++Replaced;
        Inner(Message);
    };
    struct TRestore {
        TMemo* M;
        TWndMethod Inner;
        ~TRestore() { M->WindowProc = Inner; }
    } Restore{M, Inner};
    std::string Source;
    const int Lines = 80000;
    for (int I = 0; I < Lines; ++I)
        Source +=
            "Line " + std::to_string(I) + " of a message source, long enough for megabytes\r\n";
    ASSERT_GT(Source.size(), 4u << 20);
    M->Lines()->SetText(Source);
    EXPECT_EQ(M->Lines()->Count(), Lines);
    // Cleared and filled line by line within an update: one text for the window all the same.
    M->Lines()->BeginUpdate();
    M->Lines()->Clear();
    for (int I = 0; I < Lines; ++I) M->Lines()->Add("Zeile " + std::to_string(I));
    EXPECT_EQ(M->Lines()->Count(), Lines);
    M->Lines()->EndUpdate();
    EXPECT_EQ(SetTexts, 3);
    EXPECT_EQ(Replaced, 0);
    EXPECT_EQ(M->Lines()->Count(), Lines);
    EXPECT_EQ(M->Lines()->Get(Lines - 1), "Zeile 79999");
    // Lines added to a memo that has lines go after them, also in one go.
    M->Lines()->BeginUpdate();
    M->Lines()->Add("more");
    M->Lines()->Add("and more");
    EXPECT_EQ(M->Lines()->Get(Lines + 1), "and more");
    M->Lines()->EndUpdate();
    EXPECT_EQ(Replaced, 1);
    EXPECT_EQ(M->Lines()->Count(), Lines + 2);
}

TEST_F(StdForm, TheMaskEditRefusesWhatDoesNotSuitAndKeepsTheFocusUntilComplete) {
    ShowForm();
    TMaskEdit* D = Form->MaskDate;
    D->SetFocus();
    Drain();
    D->SelectAll();
    Type("3");
    EXPECT_EQ(D->EditText(), "3_/__/____");
    // A letter in a digit place: refused, with a beep.
    Type("x");
    EXPECT_EQ(D->EditText(), "3_/__/____");
    EXPECT_EQ(Sounds->Beeps.size(), 1u);
    Type("1/1");
    EXPECT_EQ(D->EditText(), "31/1_/____");
    EXPECT_EQ(D->Text(), "31/1 /    ");
    // Leaving it incomplete brings the focus back, with the error.
    Key(Qt::Key_Tab);
    ASSERT_TRUE(PumpUntil([&] { return !Errors.empty(); }));
    EXPECT_EQ(
        Errors,
        (std::vector<std::string>{"Invalid input value.  Use escape key to abandon changes"}));
    EXPECT_TRUE(D->Focused());
    EXPECT_THROW(D->ValidateEdit(), EDBEditError);
    // Esc takes the changes back (and does not cancel the form).
    Key(Qt::Key_Escape);
    EXPECT_EQ(D->Text(), "24/12/1999");
    EXPECT_EQ(Form->ModalResult(), mrNone);
    // Backspace and Delete blank places, the text keeps its shape.
    D->SetSelStart(10);
    Key(Qt::Key_Backspace);
    D->SetSelStart(0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(D->EditText(), "_4/12/199_");
    // Pasting types what fits.
    Clipboard().SetAsText("01/01/2000");
    D->SelectAll();
    D->PasteFromClipboard();
    EXPECT_EQ(D->EditText(), "01/01/2000");
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Form->MemoNotes->Focused());
    EXPECT_EQ(Errors.size(), 1u);
    // Text set without literals, or another mask: the value fits itself in.
    D->SetText("05061970");
    EXPECT_EQ(D->Text(), "05/06/1970");
    D->SetEditMask("00.00.0000;0;_");
    EXPECT_EQ(D->EditText(), "05.06.1970");
    EXPECT_EQ(D->Text(), "05061970");
    D->SetEditMask("");
    EXPECT_EQ(D->Text(), "05061970");
}

TEST_F(StdForm, TheFormLooksLikeAClassicDialog) {
    ShowForm();
    Form->ButtonSave->SetFocus();
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), WidgetPicture("stdctrls")));
}

}  // namespace
