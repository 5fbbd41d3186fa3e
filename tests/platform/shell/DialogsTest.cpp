// The dialog service: scripted answers and what was asked, the headless service that never
// waits, and the parts every service shares (default extension, filters, default answers).
#include <gtest/gtest.h>

#include "platform/shell/Dialogs.h"

namespace {

class Dialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        auto Scripted = std::make_unique<TScriptedDialogService>();
        Script = Scripted.get();
        SetDialogService(std::move(Scripted));
    }
    void TearDown() override {
        SetDialogService(nullptr);
        SetMessageBoxHandler(nullptr);
        SetMessageLogSink(nullptr);
    }
    TScriptedDialogService* Script = nullptr;
};

}  // namespace

TEST_F(Dialogs, ScriptedServiceAnswersFromItsQueuesAndRecordsWhatWasAsked) {
    Script->QueueAnswer(IDNO);
    Script->QueueFile({true, {"/spool/konfig"}, 2});
    Script->QueueFolder({true, "/home/point/xp"});

    EXPECT_EQ(MessageBox("Verbindung Arcor wählen?", "Orvalin Kestro", MB_YESNO | MB_ICONQUESTION),
              IDNO);
    TFileDialogRequest Save;
    Save.Kind = TFileDialogKind::Save;
    Save.Title = "Konfiguration speichern";
    Save.Filter = "Kestro Konfiguration (*.cfg)|*.cfg";
    Save.DefaultExt = "cfg";
    const TFileDialogAnswer Saved = ExecuteFileDialog(Save);
    EXPECT_TRUE(Saved.Accepted);
    EXPECT_EQ(Saved.FileName(), "/spool/konfig.cfg");  // the dialog adds the default extension
    EXPECT_EQ(Saved.FilterIndex, 2);
    TFolderDialogRequest Browse;
    Browse.Title = "Select Directory";
    Browse.Selected = "/home/point";
    EXPECT_EQ(ExecuteFolderDialog(Browse).Folder, "/home/point/xp");

    // Nothing left in the queues: the defaults, counted.
    EXPECT_EQ(MessageBox("Ende?", "Orvalin Kestro", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_FALSE(ExecuteFileDialog(Save).Accepted);
    EXPECT_EQ(Script->Unanswered(), 2);

    const auto& Asked = Script->Asked();
    ASSERT_EQ(Asked.size(), 5u);
    EXPECT_EQ(Asked[0].Kind, TScriptedDialogService::TKind::MessageBox);
    EXPECT_EQ(Asked[0].Text, "Verbindung Arcor wählen?");
    EXPECT_EQ(Asked[0].Caption, "Orvalin Kestro");
    EXPECT_EQ(Asked[0].Flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(Asked[1].Kind, TScriptedDialogService::TKind::FileDialog);
    EXPECT_EQ(Asked[1].File.Title, "Konfiguration speichern");
    EXPECT_EQ(Asked[1].File.Kind, TFileDialogKind::Save);
    EXPECT_EQ(Asked[2].Folder.Selected, "/home/point");
}

TEST_F(Dialogs, AHandlerAnswersBeforeAnyService) {
    SetMessageBoxHandler([](const std::string&, const std::string&, uint32_t) { return IDRETRY; });
    EXPECT_EQ(MessageBox("x", "y", MB_RETRYCANCEL), IDRETRY);
    EXPECT_TRUE(Script->Asked().empty());
}

TEST_F(Dialogs, HeadlessServiceNeverWaitsAndCancelsFileDialogs) {
    SetDialogService(nullptr);  // no display in the tests: the headless service answers
    std::vector<std::string> Logged;
    SetMessageLogSink(
        [&](const std::string& Caption, const std::string& Text, uint32_t, int Answer) {
            Logged.push_back(Caption + "|" + Text + "|" + std::to_string(Answer));
        });
    EXPECT_FALSE(MessageBoxHasDisplay());
    EXPECT_EQ(MessageBox("Fehler: Konfig-Datei a.bfg konnte nicht geladen werden", "Kestro",
                         MB_OK | MB_ICONERROR),
              IDOK);
    TFileDialogRequest Open;
    Open.Title = "Konfiguration öffnen";
    Open.FileName = "box.cfg";
    EXPECT_FALSE(ExecuteFileDialog(Open).Accepted);
    EXPECT_EQ(ExecuteFileDialog(Open).FileName(), "");
    EXPECT_FALSE(ExecuteFolderDialog({}).Accepted);
    EXPECT_EQ(Logged, std::vector<std::string>{
                          "Kestro|Fehler: Konfig-Datei a.bfg konnte nicht geladen werden|1"});

    // An on-screen service is used only on a real display, never on the offscreen platform.
    auto OnScreen = std::make_unique<TScriptedDialogService>();
    TScriptedDialogService* Screen = OnScreen.get();
    SetOnScreenDialogService(std::move(OnScreen));
    EXPECT_EQ(MessageBox("?", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_TRUE(Screen->Asked().empty());
    EXPECT_FALSE(MessageBoxHasDisplay());
    SetOnScreenDialogService(nullptr);
}

TEST(DialogParts, DefaultExtensionGoesOnlyOnNamesWithoutOne) {
    struct Case {
        const char* Name;
        const char* Ext;
        const char* Result;
    };
    const Case Cases[] = {
        {"konfig", "cfg", "konfig.cfg"},
        {"konfig.bfg", "cfg", "konfig.bfg"},
        {"spool.d/konfig", "cfg", "spool.d/konfig.cfg"},
        {"C:\\xp.d\\box", ".cfg", "C:\\xp.d\\box.cfg"},
        {"konfig", "", "konfig"},
        {"", "cfg", ""},
        {"dir/", "cfg", "dir/"},
    };
    for (const Case& C : Cases) EXPECT_EQ(AddDefaultExt(C.Name, C.Ext), C.Result) << C.Name;
}

TEST(DialogParts, FiltersSplitIntoDescriptionsAndPatterns) {
    using TPairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(
        ParseDialogFilter("Kestro Konfiguration|*.cfg|Crosspoint Boxenkonfiguration|*.bfg"),
        (TPairs{{"Kestro Konfiguration", "*.cfg"}, {"Crosspoint Boxenkonfiguration", "*.bfg"}}));
    EXPECT_EQ(ParseDialogFilter("Newsgroup-Listen|*.bl;*.BL"),
              (TPairs{{"Newsgroup-Listen", "*.bl;*.BL"}}));
    EXPECT_EQ(ParseDialogFilter("Alles"), (TPairs{{"Alles", "*"}}));
    EXPECT_EQ(ParseDialogFilter(""), TPairs{});
}

TEST(DialogParts, DefaultAnswerIsTheDefaultButtonOfTheBox) {
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OKCANCEL | MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNO | MB_DEFBUTTON3), IDYES);
}
