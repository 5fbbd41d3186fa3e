// The box settings dialog: its fields against the box and its file, the enabling rules, what OK,
// "&Speichern" and "Abbruch" take over and write, refused numbers, and the phonebook buttons.
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "app/ui/BoxSettingsDlg.h"
#include "app/ui/PhonebookEntryDlg.h"
#include "components/dcedit/DCEdit.h"
#include "components/dcedit/DirectoryEdit.h"
#include "components/htmlhint/HTMLHint.h"
#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Limits.h"
#include "netlib/ras/provider/Phonebook.h"
#include "platform/forms/Errors.h"
#include "platform/widgets/ExtCtrls.h"
#include "tests/app/ui/SettingsDialogsTestSupport.h"

using namespace GuiTest;
using namespace SettingsDialogsTest;

namespace {

class BoxSettings : public SettingsDialogFixture {
  protected:
    void SetUp() override {
        SettingsDialogFixture::SetUp();
        RegisterBoxSettingsDlg();
        std::filesystem::copy_file(Golden("phonebook.ini"), Dir + "phonebook.ini");
        Config.ReadFile(Golden("box.cfg"));
        Config.FileName = Dir + "box.cfg";
        Form = CreateForm<TFormEditConfig>(&Forms);
    }
    template <class T = TControl>
    T* C(const std::string& Name) {
        return Find<T>(Form, Name);
    }
    void SetText(const std::string& Name, const std::string& Text) {
        TControl* Control = C(Name);
        if (auto* Edit = dynamic_cast<TCustomDCEdit*>(Control))
            Edit->SetEditText(Text);
        else
            Control->SetText(Text);
    }
    // Runs the dialog with these steps given inside its modal loop.
    TModalResult Run(std::vector<std::function<void()>> Steps,
                     const std::function<void()>& SaveConfig = {}) {
        TSteps Script(std::move(Steps));
        Script.Start();
        const TModalResult Result = Form->Execute(Config, SaveConfig);
        EXPECT_TRUE(Script.Done());
        return Result;
    }

    TKestroConfig Config;
    TFormEditConfig* Form = nullptr;
};

TEST_F(BoxSettings, TheBoxComesBackUnchangedThroughTheDialogAndOnlyMarkedModified) {
    // Fields the dialog does not show keep what they held.
    Config.Pop3Port = 995;
    Config.SmtpTimeout = 77;
    Config.MailFallback = "backup";
    Config.NntpArtClAnz = 33;
    Config.AddServers = "a b";
    const TKestroConfig Before = Config;
    Form->LoadFromConfig(Config);
    Form->SaveToConfig(Config);
    EXPECT_TRUE(Config.Modified);
    EXPECT_EQ(Config.Pop3Port, 995);
    EXPECT_EQ(Config.SmtpTimeout, 77);
    EXPECT_EQ(Config.MailFallback, "backup");
    EXPECT_EQ(Config.NntpArtClAnz, 33);
    EXPECT_EQ(Config.AddServers, "a b");
    EXPECT_EQ(Config.CfgText(), Before.CfgText());
    Config.Save();
    EXPECT_EQ(ReadFile(Dir + "box.cfg"), ReadFile(Golden("box.cfg")));
    EXPECT_FALSE(Config.Modified);
}

TEST_F(BoxSettings, EveryFieldIsTakenFromItsControlAndTheOtherLinesStay) {
    Form->LoadFromConfig(Config);
    // What the dialog shows of the box, the mixed-case spool path as it was written.
    EXPECT_EQ(C<TCustomDCEdit>("EditGlobalSpool")->GetEditText(), "/home/point/xp/Spool/");
    EXPECT_EQ(C("EditPop3MaxLen")->Text(), "250");
    EXPECT_EQ(C<TComboBox>("EditNNTPDupeType")->ItemIndex(), 1);
    EXPECT_EQ(C<TComboBox>("EditNNTPSort")->ItemIndex(), 1);
    EXPECT_EQ(C<TComboBox>("EditConnection")->ItemIndex(), 0);  // "isp"
    EXPECT_TRUE(C<TCheckBox>("CheckBoxPop3Keep")->Checked());

    const std::pair<const char*, const char*> Texts[] = {
        {"EditGlobalSpool", "/srv/Point/NeuSpool/"},
        {"EditPOP3Server", "pop.t-online.de"},
        {"EditPOP3Username", "bert"},
        {"EditPOP3Password", "pass1"},
        {"EditPop3MaxLen", "1024"},
        {"EditPop3Envelope", "bert@example.net"},
        {"EditSMTPServer", "mail.gmx.net"},
        {"EditSmtpUsername", "bert2"},
        {"EditSmtpPassword", "pass2"},
        {"EditSmtpEnvelope", "bert@example.com"},
        {"EditNNTPServer", "news.arcor.de"},
        {"EditNNTPUsername", "bert3"},
        {"EditNNTPPassword", "pass3"},
        {"EditNNTPDupeSize", "200000"},
        {"EditNNTPNewMax", "4000000000"},
        {"EditNNTPMaxThreads", "kein Wert"},
        {"EditExtractPath", "/srv/Point/Anhaenge/"},
    };
    for (const auto& [Name, Text] : Texts) SetText(Name, Text);
    // Every check box turned over.
    for (const char* Name :
         {"CheckBoxDial", "CheckBoxAskDial", "CheckBoxUseConnection", "CheckBoxHangup",
          "CheckBoxAskHangup", "CheckBoxAlwaysHangup", "CheckBoxNetcallAllSupport",
          "CheckBoxPOP3EncryptedLogon", "CheckBoxPop3Keep", "CheckBoxPop3OnlyNew",
          "CheckBoxPop3SSL", "CheckBoxSmtpAfterPop", "CheckBoxSMTPSSL", "CheckBoxNNTPPosting",
          "CheckBoxGetNewsList", "CheckBoxNntpSSL", "CheckBoxExtractAttach", "CheckBoxDeleteAttach",
          "CheckBoxIgnoreVCard"}) {
        auto* Box = C<TCheckBox>(Name);
        Box->SetChecked(!Box->Checked());
    }
    C<TComboBox>("EditNNTPDupeType")->SetItemIndex(2);
    C<TComboBox>("EditNNTPSort")->SetItemIndex(0);
    C<TComboBox>("EditConnection")->SetItemIndex(1);  // "office"
    Form->SaveToConfig(Config);
    Config.Save();
    EXPECT_EQ(ReadFile(Dir + "box.cfg"), ReadFile(Golden("box-edited.cfg")));
}

// The box file with these lines replaced (each "Key=value"; a key not yet in it is added), its
// lines ending in CR LF as the program writes them.
std::string BoxWith(const std::map<std::string, std::string>& Lines) {
    std::string Out;
    std::set<std::string> Done;
    std::istringstream In(ReadFile(Golden("box.cfg")));
    for (std::string Line; std::getline(In, Line);) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        const std::string Key = Line.substr(0, Line.find('='));
        if (auto It = Lines.find(Key); It != Lines.end()) {
            Line = Key + "=" + It->second;
            Done.insert(Key);
        }
        Out += Line + "\r\n";
    }
    for (const auto& [Key, Value] : Lines)
        if (!Done.count(Key)) Out += Key + "=" + Value + "\r\n";
    return Out;
}

// Which line of the box each control shows and writes. The golden box repeats values (one user
// name for every server, several switches on), which would hide two fields taken for each
// other: here each field holds a value no other has, and each switch is tried alone.
const std::pair<const char*, const char*> kTextLines[] = {
    {"EditPOP3Server", "Pop3Server"}, {"EditPOP3Username", "Pop3User"},
    {"EditPOP3Password", "Pop3Pass"}, {"EditPop3Envelope", "Pop3Envelope"},
    {"EditSMTPServer", "SmtpServer"}, {"EditSmtpUsername", "SmtpUser"},
    {"EditSmtpPassword", "SmtpPass"}, {"EditSmtpEnvelope", "SmtpEnvelope"},
    {"EditNNTPServer", "NntpServer"}, {"EditNNTPUsername", "NntpUser"},
    {"EditNNTPPassword", "NntpPass"}, {"EditExtractPath", "ExtractPath"},
};
const std::pair<const char*, const char*> kNumberLines[] = {
    {"EditPop3MaxLen", "Pop3MaxLen"},
    {"EditNNTPDupeSize", "NntpDupeSize"},
    {"EditNNTPNewMax", "NntpNewMax"},
    {"EditNNTPMaxThreads", "NntpMaxThreads"},
};
const std::pair<const char*, const char*> kSwitchLines[] = {
    {"CheckBoxDial", "DialOnStart"},
    {"CheckBoxAskDial", "DialAskBefore"},
    {"CheckBoxUseConnection", "DialUseConnection"},
    {"CheckBoxHangup", "HangupOnExit"},
    {"CheckBoxAskHangup", "HangupAskBefore"},
    {"CheckBoxAlwaysHangup", "HangupAlways"},
    {"CheckBoxNetcallAllSupport", "NetcallAllSupport"},
    {"CheckBoxPOP3EncryptedLogon", "Pop3Auth"},
    {"CheckBoxPop3Keep", "Pop3Keep"},
    {"CheckBoxPop3OnlyNew", "Pop3OnlyNew"},
    {"CheckBoxPop3SSL", "Pop3UseSSL"},
    {"CheckBoxSmtpAfterPop", "SmtpAfterPop"},
    {"CheckBoxSMTPSSL", "SmtpUseSSL"},
    {"CheckBoxNNTPPosting", "NntpPosting"},
    {"CheckBoxGetNewsList", "NntpGetNewsList"},
    {"CheckBoxNntpSSL", "NntpUseSSL"},
    {"CheckBoxExtractAttach", "ExtractAttach"},
    {"CheckBoxDeleteAttach", "DeleteAttach"},
    {"CheckBoxIgnoreVCard", "IgnoreVCard"},
};

TEST_F(BoxSettings, EachControlShowsItsOwnLineOfTheBoxAndWritesItBack) {
    std::map<std::string, std::string> Lines;
    for (const auto& [Control, Key] : kTextLines) Lines[Key] = std::string("v-") + Key;
    int Number = 11;
    for (const auto& [Control, Key] : kNumberLines) Lines[Key] = std::to_string(Number++);
    const std::string Path = Dir + "distinct.cfg";
    WriteFile(Path, BoxWith(Lines));
    Config.ReadFile(Path);
    Config.FileName = Path;
    Form->LoadFromConfig(Config);
    for (const auto& [Control, Key] : kTextLines) {
        TControl* Shown = C(Control);
        const std::string Text = dynamic_cast<TCustomDCEdit*>(Shown)
                                     ? static_cast<TCustomDCEdit*>(Shown)->GetEditText()
                                     : Shown->Text();
        EXPECT_EQ(Text, Lines[Key]) << Control;
    }
    for (const auto& [Control, Key] : kNumberLines)
        EXPECT_EQ(C(Control)->Text(), Lines[Key]) << Control;
    Form->SaveToConfig(Config);
    Config.Save();
    EXPECT_EQ(ReadFile(Path), BoxWith(Lines));
}

TEST_F(BoxSettings, EachSwitchAloneShowsAndWritesItsOwnLine) {
    std::map<std::string, std::string> AllOff;
    for (const auto& [Control, Key] : kSwitchLines) AllOff[Key] = "disabled";
    const std::string Path = Dir + "switch.cfg";
    for (const auto& [Switch, SwitchKey] : kSwitchLines) {
        SCOPED_TRACE(Switch);
        std::map<std::string, std::string> One = AllOff;
        One[SwitchKey] = "enabled";
        // Read: only its box is checked.
        WriteFile(Path, BoxWith(One));
        Config = TKestroConfig();
        Config.ReadFile(Path);
        Config.FileName = Path;
        Form->LoadFromConfig(Config);
        for (const auto& [Control, Key] : kSwitchLines)
            EXPECT_EQ(C<TCheckBox>(Control)->Checked(), Control == Switch) << Control;
        // Written: from a box with every switch off, only its line turns on.
        WriteFile(Path, BoxWith(AllOff));
        Config = TKestroConfig();
        Config.ReadFile(Path);
        Config.FileName = Path;
        for (const auto& [Control, Key] : kSwitchLines)
            C<TCheckBox>(Control)->SetChecked(Control == Switch);
        Form->SaveToConfig(Config);
        Config.Save();
        EXPECT_EQ(ReadFile(Path), BoxWith(One));
    }
}

TEST_F(BoxSettings, TextsThatAreNoNumbersGiveTheDefaultsAndListsKeepWhatTheyDoNotOffer) {
    Config.NntpDupeType = 7;  // written by hand into the file
    Form->LoadFromConfig(Config);
    EXPECT_EQ(C<TComboBox>("EditNNTPDupeType")->ItemIndex(), -1);
    SetText("EditNNTPMaxThreads", "viele");
    SetText("EditPop3MaxLen", "groß");
    SetText("EditNNTPDupeSize", "");
    SetText("EditNNTPNewMax", "12x");
    Form->SaveToConfig(Config);
    EXPECT_EQ(Config.NntpMaxThreads, 15);
    EXPECT_EQ(Config.Pop3MaxLen, 0);
    EXPECT_EQ(Config.NntpDupeSize, 0);
    EXPECT_EQ(Config.NntpNewMax, 0u);
    EXPECT_EQ(Config.NntpDupeType, 7);
}

TEST_F(BoxSettings, AConnectionMissingFromThePhonebookIsNotSelectedAndSavedEmpty) {
    Config.DialName = "ISP";  // names are compared exactly
    Form->LoadFromConfig(Config);
    auto* List = C<TComboBox>("EditConnection");
    ASSERT_EQ(List->Items()->Count(), 2);
    EXPECT_EQ(List->Items()->Get(0), "isp");
    EXPECT_EQ(List->Items()->Get(1), "office");
    EXPECT_EQ(List->ItemIndex(), -1);
    Form->SaveToConfig(Config);
    EXPECT_EQ(Config.DialName, "");
}

TEST_F(BoxSettings, EachCheckBoxEnablesItsControlsOnLoadAndOnAClick) {
    struct {
        const char* Switch;
        std::vector<const char*> Dependents;
    } const Rules[] = {
        {"CheckBoxDial",
         {"CheckBoxAskDial", "CheckBoxUseConnection", "EditConnection", "ButtonNewConnection",
          "ButtonEditConnection"}},
        {"CheckBoxHangup",
         {"CheckBoxAskHangup", "CheckBoxAlwaysHangup", "CheckBoxNetcallAllSupport"}},
        {"CheckBoxExtractAttach", {"EditExtractPath", "LabelExtractPath", "CheckBoxIgnoreVCard"}},
        {"CheckBoxPop3Keep", {"CheckBoxPop3OnlyNew"}},
    };
    const auto Expect = [&](const char* Switch, const std::vector<const char*>& Names,
                            bool Enabled) {
        for (const char* Name : Names)
            EXPECT_EQ(C(Name)->Enabled(), Enabled) << Switch << " -> " << Name;
    };
    // Loaded with every switch off, then on: the rules run once after the values are in.
    TKestroConfig Off;
    Form->LoadFromConfig(Off);
    for (const auto& Rule : Rules) Expect(Rule.Switch, Rule.Dependents, false);
    Form->LoadFromConfig(Config);
    for (const auto& Rule : Rules) Expect(Rule.Switch, Rule.Dependents, true);

    Form->Show();
    auto* Pages = C<TPageControl>("PageControl");
    for (const auto& Rule : Rules) {
        auto* Switch = C<TCheckBox>(Rule.Switch);
        for (TControl* P = Switch; P; P = P->Parent())
            if (auto* Page = dynamic_cast<TTabSheet*>(P)) Pages->SetActivePage(Page);
        Drain();
        Click(Switch);
        ASSERT_FALSE(Switch->Checked()) << Rule.Switch;
        Expect(Rule.Switch, Rule.Dependents, false);
        Click(Switch);
        Expect(Rule.Switch, Rule.Dependents, true);
    }
    // The other two MIME boxes run the attachment rule too.
    C<TCheckBox>("CheckBoxExtractAttach")->SetChecked(false);
    C("EditExtractPath")->SetEnabled(true);
    Pages->SetActivePageIndex(5);
    Drain();
    Click(C("CheckBoxDeleteAttach"));
    EXPECT_FALSE(C("EditExtractPath")->Enabled());
}

TEST_F(BoxSettings, ANegativeNumberRefusesOkWithAMessageAndTakesNothing) {
    const std::string Before = Config.CfgText();
    const TModalResult Result = Run({
        [&] {
            SetText("EditPOP3Server", "pop.changed.example");
            SetText("EditNNTPNewMax", "-5");
            SetText("EditNNTPMaxThreads", "3");
            Click(Form->ButtonOK);
        },
        [&] {
            // Still open, on the page of the field, which has the focus.
            EXPECT_TRUE(Form->Visible());
            ASSERT_EQ(Dialogs().Asked().size(), 1u);
            EXPECT_EQ(Dialogs().Asked()[0].Text,
                      "\xE2\x80\x9EMaximale neue Nachrichten\xE2\x80\x9C darf nicht negativ sein.");
            EXPECT_EQ(Dialogs().Asked()[0].Caption, "Konfiguration");
            EXPECT_EQ(C<TPageControl>("PageControl")->ActivePage()->Caption(), "NNTP");
            EXPECT_TRUE(C<TWinControl>("EditNNTPNewMax")->Focused());
            EXPECT_EQ(Config.CfgText(), Before);
            EXPECT_FALSE(Config.Modified);
            SetText("EditNNTPNewMax", "50");
            Form->ButtonOK->Click();
        },
    });
    EXPECT_EQ(Result, mrOk);
    EXPECT_EQ(Config.Pop3Server, "pop.changed.example");
    EXPECT_EQ(Config.NntpNewMax, 50u);
    EXPECT_EQ(Config.NntpMaxThreads, 3);

    // Taken over in code, the number raises and the box stays as it was.
    TKestroConfig Other;
    Other.ReadFile(Golden("box.cfg"));
    Form->LoadFromConfig(Other);
    SetText("EditPOP3Server", "pop.other.example");
    SetText("EditPop3MaxLen", "99999999999");
    EXPECT_NE(ErrorOf<EConvertError>([&] { Form->SaveToConfig(Other); }).find("zu gro"),
              std::string::npos);
    EXPECT_EQ(Other.Pop3Server, "pop.example.org");
    EXPECT_FALSE(Other.Modified);
}

TEST_F(BoxSettings, OkTakesOverSpeichernAlsoWritesAndAbbruchLeavesEverything) {
    struct {
        const char* Button;
        TModalResult Result;
        bool Taken;
        bool Written;
    } const Cases[] = {
        {"ButtonOK", mrOk, true, false},
        {"ButtonSave", mrYes, true, true},
        {"ButtonCancel", mrCancel, false, false},
    };
    for (const auto& Case : Cases) {
        Config.ReadFile(Golden("box.cfg"));
        Config.Modified = false;
        std::filesystem::remove(Dir + "box.cfg");
        int Saves = 0;
        const TModalResult Result = Run({[&] {
                                            SetText("EditSMTPServer", "smtp.neu.example");
                                            Click(C(Case.Button));
                                        }},
                                        [&] {
                                            ++Saves;
                                            Config.Save();
                                        });
        EXPECT_EQ(Result, Case.Result) << Case.Button;
        EXPECT_EQ(Config.SmtpServer == "smtp.neu.example", Case.Taken) << Case.Button;
        EXPECT_EQ(Saves, Case.Written ? 1 : 0) << Case.Button;
        // OK leaves the box to be saved later; the save clears the mark.
        EXPECT_EQ(Config.Modified, Case.Taken && !Case.Written) << Case.Button;
        EXPECT_EQ(std::filesystem::exists(Dir + "box.cfg"), Case.Written) << Case.Button;
    }
    // The main window's entry point answers whether the values were taken over.
    TSteps Cancel({[] { ShownForm<TFormEditConfig>()->ButtonCancel->Click(); }});
    Cancel.Start();
    EXPECT_FALSE(EditBoxSettings(Config, &Forms));
    TSteps Ok({[] { ShownForm<TFormEditConfig>()->ButtonOK->Click(); }});
    Ok.Start();
    EXPECT_TRUE(EditBoxSettings(Config, &Forms));
    EXPECT_TRUE(Ok.Done());
    // Without a save command of the main window the box saves itself.
    Config.Modified = false;
    EXPECT_EQ(Run({[&] { Form->ButtonSave->Click(); }}), mrYes);
    EXPECT_EQ(ReadFile(Dir + "box.cfg"), ReadFile(Golden("box.cfg")));
}

TEST_F(BoxSettings, LineBreaksInAFieldNeverStartALineOfTheFile) {
    Form->LoadFromConfig(Config);
    SetText("EditPOP3Server", "pop.example.org\r\nPop3Pass=gestohlen");
    SetText("EditGlobalSpool", "/home/point/xp/Spool/\nDialName=fremd");
    C<TComboBox>("EditPOP3Server")->SetText("pop.example.org\r\nPop3Pass=gestohlen");
    Form->SaveToConfig(Config);
    Config.Save();
    const std::string Text = ReadFile(Dir + "box.cfg");
    EXPECT_EQ(Text.find("\r\nPop3Pass=gestohlen"), std::string::npos);
    EXPECT_EQ(Text.find("\r\nDialName=fremd"), std::string::npos);
    TKestroConfig Again;
    Again.ReadFile(Dir + "box.cfg");
    EXPECT_EQ(Again.Pop3Pass, "geheim");
    EXPECT_EQ(Again.DialName, "isp");
}

// Runs Act once Ready holds, asking again from each pass of the loop that runs then (a modal
// window's loop as well); a bounded wait that cancels the shown dialogs when it runs out.
void WhenReady(QObject* Context, std::function<bool()> Ready, std::function<void()> Act,
               int Tries = 20000) {
    QTimer::singleShot(1, Context, [=] {
        if (Ready()) return Act();
        if (Tries > 0) return WhenReady(Context, Ready, Act, Tries - 1);
        ADD_FAILURE() << "the dialog never showed";
        for (int I = 0; I < Screen->FormCount(); ++I) Screen->Forms(I)->SetModalResult(mrCancel);
    });
}

TEST_F(BoxSettings, ThePhonebookButtonsEditAndAddEntriesOfPhonebookIni) {
    const auto Entry = [] { return ShownForm<TFormPhonebookEntry>(); };
    const auto EntryShown = [=] { return Entry() != nullptr; };
    const auto EntryGone = [=] { return Entry() == nullptr; };
    const auto Type = [&](const std::string& Name, const std::string& Text) {
        Find<TEdit>(Entry(), Name)->SetText(Text);
    };
    QObject Context;
    const auto AddNew = [&] {
        EXPECT_EQ(Entry()->Caption(), "Neue Verbindung");
        // A name the phonebook has already (in any case) is refused.
        Type("EditName", "Office");
        Type("EditPhoneNumber", "*99#");
        Type("EditConnect", "pon mobil");
        Type("EditDisconnect", "poff mobil");
        Type("EditTimeout", "120");
        Find<TButton>(Entry(), "ButtonOK")->Click();
        WhenReady(
            &Context, [&] { return !Dialogs().Asked().empty(); },
            [&] {
                EXPECT_NE(Entry(), nullptr);
                EXPECT_EQ(Dialogs().Asked()[0].Text,
                          "Eine Verbindung \xE2\x80\x9E"
                          "Office\xE2\x80\x9C gibt es schon.");
                Type("EditName", "mobil");
                Find<TButton>(Entry(), "ButtonOK")->Click();
                WhenReady(&Context, EntryGone, [&] { Form->ButtonCancel->Click(); });
            });
    };
    const auto EditIsp = [&] {
        // The selected connection ("isp") in the dialog of ours.
        EXPECT_EQ(Entry()->Caption(), "Verbindung");
        EXPECT_EQ(Find<TEdit>(Entry(), "EditName")->Text(), "isp");
        EXPECT_EQ(Find<TEdit>(Entry(), "EditConnect")->Text(), "pon isp");
        Type("EditPhoneNumber", "0191012");
        Type("EditPassword", "geheim");
        Type("EditTimeout", "");
        Find<TButton>(Entry(), "ButtonOK")->Click();
        WhenReady(&Context, EntryGone, [&] {
            WhenReady(&Context, EntryShown, AddNew);
            Form->ButtonNewConnection->Click();
        });
    };
    WhenReady(
        &Context, [&] { return Form->Visible(); },
        [&] {
            C<TPageControl>("PageControl")->SetActivePageIndex(1);
            WhenReady(&Context, EntryShown, EditIsp);
            Form->ButtonEditConnection->Click();
        });
    EXPECT_EQ(Form->Execute(Config), mrCancel);
    EXPECT_EQ(ReadFile(Dir + "phonebook.ini"), ReadFile(Golden("phonebook-edited.ini")));
}

// The entry dialog reads the phonebook as the dialer does: of a key given twice the last value
// (the one a dial runs), and an entry by its exact name. What it saves is what the next dial runs,
// and the entry of the other case stays as it was.
TEST_F(BoxSettings, TheEntryDialogShowsAndChangesWhatTheDialerRuns) {
    const std::string Path = Dir + "phonebook.ini";
    WriteFile(Path,
              "[isp]\r\nConnect=pon old\r\nPhoneNumber=0191011\r\nconnect = pon isp\r\n\r\n"
              "[ISP]\r\nConnect=pon other\r\n");
    const auto Dialed = [&](const std::string& Name) {
        TPhonebook Dialer;
        std::string Error;
        EXPECT_EQ(Dialer.Read(Path, Error), TPhonebookRead::Ok) << Error;
        const TPhonebookEntry* Entry = Dialer.Find(Name);
        return Entry ? Entry->Connect : std::string("(none)");
    };
    ASSERT_EQ(Dialed("isp"), "pon isp");
    const auto Edit = [&](const std::string& Name,
                          const std::function<void(TFormPhonebookEntry*)>& Step) {
        QObject Context;
        bool Shown = false;
        WhenReady(
            &Context, [] { return ShownForm<TFormPhonebookEntry>() != nullptr; },
            [&] {
                Shown = true;
                Step(ShownForm<TFormPhonebookEntry>());
            });
        EXPECT_EQ(EditPhonebookEntryDialog(Path, &Name, &Forms), 0u);
        EXPECT_TRUE(Shown);
    };
    Edit("isp", [](TFormPhonebookEntry* Entry) {
        EXPECT_EQ(Find<TEdit>(Entry, "EditConnect")->Text(), "pon isp");
        EXPECT_EQ(Find<TEdit>(Entry, "EditPhoneNumber")->Text(), "0191011");
        Find<TEdit>(Entry, "EditConnect")->SetText("pon neu");
        Find<TButton>(Entry, "ButtonOK")->Click();
    });
    EXPECT_EQ(Dialed("isp"), "pon neu");
    EXPECT_EQ(Dialed("ISP"), "pon other");
    EXPECT_EQ(
        ReadFile(Path),
        "[isp]\r\nConnect=pon neu\r\nPhoneNumber=0191011\r\n\r\n[ISP]\r\nConnect=pon other\r\n");
    Edit("ISP", [](TFormPhonebookEntry* Entry) {
        EXPECT_EQ(Find<TEdit>(Entry, "EditConnect")->Text(), "pon other");
        EXPECT_EQ(Find<TEdit>(Entry, "EditPhoneNumber")->Text(), "");
        Find<TButton>(Entry, "ButtonCancel")->Click();
    });

    // A phonebook the dialer would not read is not shown as an empty one (to be written over).
    WriteFile(Path, std::string(DialupLimits::kMaxPhonebookBytes + 1, ';'));
    const std::string Name = "isp";
    EXPECT_EQ(EditPhonebookEntryDialog(Path, &Name, &Forms), ERROR_CANNOT_OPEN_PHONEBOOK);
    ASSERT_EQ(Dialogs().Asked().size(), 1u);
    EXPECT_NE(Dialogs().Asked()[0].Text.find("nicht gelesen werden"), std::string::npos);
    EXPECT_EQ(ReadFile(Path).size(), DialupLimits::kMaxPhonebookBytes + 1);
}

TEST_F(BoxSettings, TheEntryDialogLabelsHaveTheirOwnKeysAndANewEntryStartsAtSixtySeconds) {
    QObject Context;
    bool Checked = false;
    WhenReady(
        &Context, [] { return ShownForm<TFormPhonebookEntry>() != nullptr; },
        [&] {
            auto* Entry = ShownForm<TFormPhonebookEntry>();
            EXPECT_EQ(Find<TEdit>(Entry, "EditTimeout")->Text(), "60");
            std::set<char> Keys;
            for (const char* Field : {"Name", "PhoneNumber", "UserName", "Password", "Connect",
                                      "Disconnect", "Status", "Timeout"}) {
                auto* Label = Find<TLabel>(Entry, std::string("Label") + Field);
                const std::string Caption = Label->Caption();
                const size_t Amp = Caption.find('&');
                // Checked without leaving early: the dialog must still be closed below.
                const bool HasKey = Amp != std::string::npos && Amp + 1 < Caption.size();
                EXPECT_TRUE(HasKey) << Caption;
                if (HasKey) {
                    EXPECT_TRUE(Keys.insert(char(std::toupper(Caption[Amp + 1]))).second)
                        << Caption;
                }
                EXPECT_EQ(Label->FocusControl(), Find<TEdit>(Entry, std::string("Edit") + Field))
                    << Caption;
            }
            Checked = true;
            Find<TButton>(Entry, "ButtonCancel")->Click();
        });
    EXPECT_EQ(EditPhonebookEntryDialog(Dir + "phonebook.ini", nullptr, &Forms), 0u);
    EXPECT_TRUE(Checked);
}

TEST_F(BoxSettings, EditierenWithoutAConnectionOpensNothingAndBadEntriesAreRefused) {
    Config.DialName.clear();
    Form->LoadFromConfig(Config);
    Form->ButtonEditConnectionClick(nullptr);
    EXPECT_EQ(ShownForm<TFormPhonebookEntry>(), nullptr);

    // The entry dialog's own checks, each with the field focused and the file untouched.
    auto* Entry = CreateForm<TFormPhonebookEntry>(&Forms);
    struct {
        const char* Field;
        std::string Text;
        const char* Reason;
    } const Cases[] = {
        {"EditName", "  ", "Bitte einen Namen"},
        {"EditName", "a]b", "eckigen Klammern"},
        {"EditTimeout", "0", "Zeitlimit"},
        {"EditTimeout", "-4", "negativ"},
        {"EditTimeout", "sofort", "Zeitlimit"},
        {"EditTimeout", "3601", "zu gro"},
        {"EditStatus", std::string(9000, 'x'), "zu lang"},
    };
    for (const auto& Case : Cases) {
        Find<TEdit>(Entry, "EditName")->SetText("neu");
        Find<TEdit>(Entry, "EditTimeout")->SetText("");
        Find<TEdit>(Entry, "EditStatus")->SetText("");
        Find<TEdit>(Entry, Case.Field)->SetText(Case.Text);
        EXPECT_NE(Entry->CheckEntry().find(Case.Reason), std::string::npos) << Case.Text;
    }
    Find<TEdit>(Entry, "EditStatus")->SetText("");
    Find<TEdit>(Entry, "EditTimeout")->SetText("30");
    EXPECT_EQ(Entry->CheckEntry(), "");
}

TEST_F(BoxSettings, HintsShowAsHtmlHints) {
    Form->LoadFromConfig(Config);
    Form->Show();
    C<TPageControl>("PageControl")->SetActivePageIndex(2);
    Drain();
    TControl* Apop = C("CheckBoxPOP3EncryptedLogon");
    EXPECT_TRUE(Apop->ShowHint());
    EXPECT_EQ(Apop->Hint(),
              "Das Passwort wird verschl\xFCsselt \xFC"
              "bertragen.<br>Die meisten Server unterst\xFCtzen diese Funktion.");
    // The main window's hint component makes every hint of the program an HTML hint; the
    // dialog has none of its own.
    auto* MainWindow = new TForm(&Forms);
    new THTMLHint(MainWindow);
    THintWindow* Window = Forms.HintWindowClass(&Forms);
    ASSERT_NE(dynamic_cast<THTMLHintWindow*>(Window), nullptr);
    const TPoint At = Apop->ClientToScreen(TPoint{20, 28});
    const TRect Size = Window->CalcHintRect(400, Apop->Hint(), nullptr);
    Window->ActivateHint(TRect{At.X, At.Y, At.X + Size.Width(), At.Y + Size.Height()},
                         Apop->Hint());
    Drain();
    // Two lines: the <br> broke it, and no markup shows.
    EXPECT_GT(Window->Height(), 2 * 13);
    SaveWindowPicture(Window->Handle(),
                      std::string(KESTRO_BINARY_DIR) + "/pictures/app/box-settings-hint.png");
    Window->Free();
    MainWindow->Free();
}

// The directory edits take no dropped files, and the dialog brings no hint component of its own:
// the main window's paints every hint of the program.
TEST_F(BoxSettings, DirectoryEditsTakeNoDropsAndTheDialogNoHintComponent) {
    int DirectoryEdits = 0;
    for (int I = 0; I < Form->ComponentCount(); ++I) {
        TComponent* Part = Form->Components(I);
        EXPECT_EQ(dynamic_cast<THTMLHint*>(Part), nullptr) << Part->Name();
        if (auto* Edit = dynamic_cast<TDCDirectoryEdit*>(Part)) {
            ++DirectoryEdits;
            EXPECT_FALSE(Edit->AcceptFiles()) << Edit->Name();
        }
    }
    EXPECT_EQ(DirectoryEdits, 2);
}

TEST_F(BoxSettings, PicturesOfEveryPage) {
    Form->LoadFromConfig(Config);
    Form->Show();
    auto* Pages = C<TPageControl>("PageControl");
    const char* Names[] = {"allgemeines", "anwahl", "pop3", "smtp", "nntp", "mime"};
    ASSERT_EQ(Pages->PageCount(), 6);
    for (int I = 0; I < 6; ++I) {
        Pages->SetActivePageIndex(I);
        SavePicture(Form, std::string("box-settings-") + Names[I]);
    }
    auto* Entry = CreateForm<TFormPhonebookEntry>(&Forms);
    TPhonebook Phonebook;
    std::string Error;
    ASSERT_EQ(Phonebook.Read(Dir + "phonebook.ini", Error), TPhonebookRead::Ok) << Error;
    ASSERT_NE(Phonebook.Find("isp"), nullptr);
    Entry->LoadEntry(*Phonebook.Find("isp"));
    Entry->Show();
    SavePicture(Entry, "phonebook-entry");
}

}  // namespace
