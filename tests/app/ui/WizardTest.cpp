// The set-up wizard's pages: where "Weiter >>" and "<< Zurück" lead, what each page refuses, the
// error page, and what is kept in the registry however the wizard ends.
#include "app/ui/Wizard.h"

#include <algorithm>
#include <cctype>

#include "app/engine/bfgconfig.h"
#include "components/dcedit/DirectoryEdit.h"
#include "components/store/XMLFileStore.h"
#include "platform/fs/Files.h"
#include "tests/app/ui/UiFixture.h"
#include "tests/app/ui/UiGolden.h"

namespace {

class WizardTest : public UiTest {
  protected:
    TFormWizard* Open(const std::string& EMail) {
        RegisterWizardClasses();
        auto* Form = CreateForm<TFormWizard>(&Forms);
        Form->MainConfig = &Main;
        Form->EditXPDir->SetEditText(PointDir());
        Form->EditeMail->SetText(EMail);
        Form->EditRealname->SetText("Hans Meier");
        Form->EditPassword->SetText("geheim");
        return Form;
    }
    void PutBox(const std::string& Name) {
        WriteFile(PointDir() + Name, UiGolden::Read("wizard/" + Name));
    }
    static std::string Buttons(TFormWizard* Form) {
        return std::to_string(Form->PageIndex()) + (Form->btnBack->Enabled() ? " back" : "") +
               (Form->btnNext->Enabled() ? " next" : "") + " " + Form->btnCancel->Caption();
    }
    TKestroConfig Main;
};

TEST_F(WizardTest, AKnownProviderSkipsTheServerPage) {
    PutBox("openxp.bfg");
    PutBox("fido.bfg");
    TFormWizard* Form = Open("Hans.Meier@mailhafen.de");
    EXPECT_EQ(Form->Caption(), "Exportieren");
    EXPECT_EQ(Buttons(Form), "0 next Abbrechen");
    Picture(Form, "wizard-0-directory");

    Form->btnNextClick(nullptr);
    EXPECT_EQ(Buttons(Form), "1 back next Abbrechen");
    ASSERT_EQ(Form->ListBoxBoxen->Items()->Count(), 1);
    EXPECT_EQ(Form->ListBoxBoxen->Items()->Get(0), "RFCBOX");
    EXPECT_EQ(Form->ListBoxBoxen->ItemIndex(), 0);
    Picture(Form, "wizard-1-box");

    Form->btnNextClick(nullptr);
    EXPECT_EQ(Buttons(Form), "3 Beenden");
    Picture(Form, "wizard-3-done");
    UiGolden::Expect("wizard/openxp-known.bfg",
                     UiGolden::Replaced(ReadFile(PointDir() + "openxp.bfg"), PointDir(), "<D>/"));
    // The main window's box held no changes: it now is the one written.
    EXPECT_EQ(Main.Pop3Server, "pop.mailhafen.de");
    EXPECT_EQ(Main.Pop3User, "Hans.Meier@mailhafen.de");
}

TEST_F(WizardTest, AnOtherProviderAsksForTheServers) {
    PutBox("xp2.bfg");
    WriteFile(PointDir() + "xp2.bfg", "Client-Path=XP\r\n" + ReadFile(PointDir() + "xp2.bfg"));
    TFormWizard* Form = Open("h_meier@beispiel.org");
    Main.Modified = true;
    Main.Pop3Server = "mine";
    Form->NextPage(wpUUCPBox);
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Buttons(Form), "2 back next Abbrechen");
    Form->EditPop3Server->SetText("pop.beispiel.org");
    Form->EditPOP3Username->SetText("hmeier");
    Form->EditSMTPServer->SetText("smtp.beispiel.org");
    Picture(Form, "wizard-2-provider");

    // Back lists the boxes again; forward keeps what was typed.
    Form->btnBackClick(nullptr);
    EXPECT_EQ(Buttons(Form), "1 back next Abbrechen");
    EXPECT_EQ(Form->ListBoxBoxen->Items()->Count(), 1);
    Form->btnNextClick(nullptr);
    EXPECT_FALSE(FileExists(PointDir() + "xp2.cfg"));
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Buttons(Form), "3 Beenden");
    EXPECT_NE(ReadFile(PointDir() + "xp2.cfg").find("Pop3User=hmeier\r\n"), std::string::npos);
    EXPECT_EQ(Main.Pop3Server, "mine");  // the user's changes are not overwritten
}

TEST_F(WizardTest, NoBoxKeepsTheFirstPageAndNoSelectionTheSecond) {
    PutBox("fido.bfg");
    TFormWizard* Form = Open("a@b.de");
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Buttons(Form), "0 next Abbrechen");
    EXPECT_EQ(Form->LabelCrosspointDir->Font()->Color(), clRed);

    PutBox("openxp.bfg");
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Form->PageIndex(), 1);
    EXPECT_EQ(Form->LabelCrosspointDir->Font()->Color(), clBlack);
    Form->ListBoxBoxen->SetItemIndex(-1);
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Form->PageIndex(), 1);
    EXPECT_TRUE(Form->LabelWarningBox->Visible());
    Picture(Form, "wizard-1-warning");
    Form->ListBoxBoxen->SetItemIndex(0);
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Form->PageIndex(), 2);
    EXPECT_FALSE(Form->LabelWarningBox->Visible());
}

TEST_F(WizardTest, AFailedWriteShowsTheErrorPage) {
    PutBox("openxp.bfg");
    WriteFile(PointDir() + "LHAFENDE", "a file where the spool directory would be");
    TFormWizard* Form = Open("Hans.Meier@mailhafen.de");
    Form->NextPage(wpUUCPBox);
    Form->btnNextClick(nullptr);
    EXPECT_EQ(Buttons(Form), "6 Beenden");
    EXPECT_NE(Form->LabelError->Caption().find("LHAFENDE"), std::string::npos);
    Picture(Form, "wizard-6-error");
    // The backup was made; the box itself is unchanged.
    EXPECT_EQ(ReadFile(PointDir() + "openxp.bak"), UiGolden::Read("wizard/openxp.bfg"));
    EXPECT_EQ(ReadFile(PointDir() + "openxp.bfg"), UiGolden::Read("wizard/openxp.bfg"));
}

TEST_F(WizardTest, CancelWritesNoFileButKeepsTheTextsInTheRegistry) {
    PutBox("openxp.bfg");
    GlobalConfig.CrosspointDir = "/old/xp/";
    GlobalConfig.SaveToRegistry();
    RegisterWizardClasses();
    auto* Form = CreateForm<TFormWizard>(&Forms);
    EXPECT_EQ(Form->EditXPDir->GetEditText(), "/old/xp/");
    Form->EditXPDir->SetEditText(PointDir());
    Form->EditeMail->SetText("neu@mailhafen.de");
    Form->NextPage(wpUUCPBox);
    Form->Free();

    TGlobalConfig Stored;
    Stored.LoadFromRegistry();
    EXPECT_EQ(Stored.CrosspointDir, PointDir());
    EXPECT_EQ(Stored.eMail, "neu@mailhafen.de");
    EXPECT_EQ(FindFiles(PointDir(), "*.*"), std::vector<std::string>{"openxp.bfg"});
}

TEST_F(WizardTest, TheEntryPointWritesABoxAndKeepsTheWindowsPlace) {
    PutBox("openxp.bfg");
    GlobalConfig.CrosspointDir = PointDir();
    GlobalConfig.eMail = "Hans.Meier@mailhafen.de";
    GlobalConfig.SaveToRegistry();
    TO32XMLFileStore Store(nullptr);
    Store.SetXMLFileName(ProgramDir() + "kestro.xml");
    GuiTest::TScript Script;
    const auto Wizard = [] { return OpenForm<TFormWizard>(); };
    Script.Then([&] { Wizard()->btnNext->Click(); })
        .Then([&] { Wizard()->btnNext->Click(); })
        .Then([&] { Wizard()->btnCancel->Click(); });
    Script.Start();
    EXPECT_TRUE(ExecuteWizard(&Main, &Store));
    EXPECT_TRUE(Script.Done());
    EXPECT_EQ(Main.Pop3Server, "pop.mailhafen.de");
    EXPECT_NE(ReadFile(ProgramDir() + "kestro.xml").find("TFormWizard"), std::string::npos);

    // Cancelled at once: nothing written, and the entry point says so.
    GuiTest::TScript Cancel;
    Cancel.Then([&] { Wizard()->btnCancel->Click(); });
    Cancel.Start();
    EXPECT_FALSE(ExecuteWizard(nullptr));
}

// Typed as a user types: the keys after each page change land in the page shown, never in a field
// of a page just hidden, and the box file holds each text where it was typed.
TEST_F(WizardTest, KeysAfterEachPageChangeGoToThePageShown) {
    PutBox("openxp.bfg");
    TFormWizard* Form = Open("h_meier@beispiel.org");
    Form->EditPassword->SetText("");
    Form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Form->Active(); }));
    Form->EditPassword->SetFocus();
    QWindow* Keys = GuiTest::QtWindowOf(Form->Handle());
    const auto Type = [&](const char* Text) {
        for (const char* C = Text; *C; ++C) QTest::keyClick(Keys, *C);
        GuiTest::Drain();
    };
    const auto Return = [&] {
        QTest::keyClick(Keys, Qt::Key_Return);
        GuiTest::Drain();
    };
    Type("pwpop");
    Return();
    ASSERT_EQ(Form->PageIndex(), int(wpUUCPBox));
    Return();
    ASSERT_EQ(Form->PageIndex(), int(wpProvider));
    ASSERT_EQ(Form->ActiveControl(), Form->EditPop3Server);
    Type("pop.beispiel.de");
    QTest::keyClick(Keys, Qt::Key_Tab);
    Type("hmeier");
    QTest::keyClick(Keys, Qt::Key_Tab);
    Type("smtp.beispiel.de");
    EXPECT_EQ(Form->EditPassword->Text(), "pwpop");
    Return();
    ASSERT_EQ(Form->PageIndex(), int(wpMail));
    // (Keys keep the case the box gave them.)
    std::string Box = ReadFile(PointDir() + "openxp.bfg");
    std::transform(Box.begin(), Box.end(), Box.begin(),
                   [](unsigned char C) { return std::tolower(C); });
    EXPECT_NE(Box.find("\nclient-mailinpassword=pwpop\r\n"), std::string::npos) << Box;
    EXPECT_NE(Box.find("\nclient-mailinserver=pop.beispiel.de\r\n"), std::string::npos) << Box;
    EXPECT_NE(Box.find("\nclient-mailinuser=hmeier\r\n"), std::string::npos) << Box;
    EXPECT_NE(Box.find("\nclient-mailoutserver=smtp.beispiel.de\r\n"), std::string::npos) << Box;
}

}  // namespace
