// The main window on the offscreen platform: its definition (commands, captions, shortcuts,
// views), what it shows of a run, the incoming-mail list and its commands, drops, closing, the
// configuration commands with their dialogs answered by script, and pictures of it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/nntp.h"
#include "app/engine/pop3.h"
#include "app/engine/smtp.h"
#include "app/ui/AboutFrm.h"
#include "app/ui/BoxSettingsDlg.h"
#include "app/ui/CommandPictures.h"
#include "app/ui/GroupManager.h"
#include "app/ui/MainFrm.h"
#include "app/ui/MainViews.h"
#include "app/ui/MultiConfig.h"
#include "app/ui/OptionsDlg.h"
#include "app/ui/ViewMessageFrm.h"
#include "app/ui/Wizard.h"
#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarCustLists.h"
#include "bars/dxBar.h"
#include "components/shell/StDropFiles.h"
#include "components/tray/StTrayIcon.h"
#include "platform/actions/ShortCuts.h"
#include "platform/classes/CodePages.h"
#include "platform/core/Host.h"
#include "platform/gdi/Gdi.h"
#include "platform/registry/Registry.h"
#include "platform/shell/Dialogs.h"
#include "platform/system/SystemClock.h"
#include "tests/app/ui/TelnetWindowChecks.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class MainForm : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-main-XXXXXX";
        Dir = std::string(mkdtemp(Template)) + "/";
        setenv("KESTRO_HOME", Dir.c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
        Forms.Initialize();
        RegisterMainFormClasses();
        auto Service = std::make_unique<TFakeTrayService>();
        Tray = Service.get();
        SetTrayService(std::move(Service));
        auto Dialogs = std::make_unique<TScriptedDialogService>();
        Script = Dialogs.get();
        SetDialogService(std::move(Dialogs));
        Application.ExitCode = 0;
        TaskQueue.Clear();
        GlobalConfig = TGlobalConfig();
        GlobalConfig.TimeServer.clear();
        CurrentConfig = std::make_unique<TKestroConfig>();
        Forms.SetIcon(ProgramIcon(16));
        Form = CreateForm<TFormMain>(nullptr);
        Form->SetIdleControls(true);
        Form->Show();
        Drain();
    }
    void TearDown() override {
        if (Form) Form->Free();
        Drain();
        SetDialogService(nullptr);
        SetTrayService(nullptr);
        Forms.SetIcon(0);
        CurrentConfig.reset();
        std::filesystem::remove_all(Dir);
    }

    std::string Picture(const std::string& Name) const {
        return std::string(KESTRO_BINARY_DIR) + "/pictures/app/" + Name + ".png";
    }
    std::string WriteBox(const std::string& Name, const std::string& Lines) {
        const std::string Path = Dir + Name;
        std::ofstream(Path, std::ios::binary)
            << "### Kestro Configuration File Version 1 ###\r\n"
            << "Pop3Server=pop.example.org\r\nSmtpServer=smtp.example.org\r\n"
            << Lines;
        return Path;
    }
    TdxBarItem* Item(const std::string& Name) {
        return dynamic_cast<TdxBarItem*>(Form->FindComponent(Name));
    }
    std::vector<std::string> Asked() const {
        std::vector<std::string> Texts;
        for (const auto& A : Script->Asked())
            Texts.push_back(A.Kind == TScriptedDialogService::TKind::MessageBox ? A.Text
                                                                                : A.File.Title);
        return Texts;
    }

    TFakeTrayService* Trays() const { return Tray; }

    std::string Dir;
    TFormMain* Form = nullptr;
    TScriptedDialogService* Script = nullptr;
    TFakeTrayService* Tray = nullptr;
};

// Texts of the definitions are Windows-1252 bytes.
std::string Utf8(const std::string& Ansi) {
    return Cp1252ToUnicode(Ansi).toStdString();
}

// A task of the run that shows itself in the task view and stays until Finish.
template <class Base>
class TShownTask : public Base {
  public:
    void Start(int32_t TaskNo) override {
        this->State = TKestroCustomClient::tsRunning;
        this->TaskNo = TaskNo;
        this->Bytes = 1000 * TaskNo;
        this->OnTaskStatus(this, TaskNo);
        this->OnTaskLog(this, TaskNo, "Verbunden mit server.example.org", false);
        Started.push_back(this);
        if (OnStarted) OnStarted();
        if (FinishAtStart) this->State = TKestroCustomClient::tsFinished;
    }
    static inline bool FinishAtStart = false;
    static inline std::vector<TKestroCustomClient*> Started;
    static inline std::function<void()> OnStarted;
};

// What every kind of shown task does when it starts: a step to run, and whether it then ends.
void ShownTasksOnStart(const std::function<void()>& Step) {
    TShownTask<TKestroPOP3Client>::OnStarted = Step;
    TShownTask<TKestroSMTPClient>::OnStarted = Step;
    TShownTask<TKestroNNTPClient>::OnStarted = Step;
}
void ShownTasksFinishAtStart(bool Finish) {
    TShownTask<TKestroPOP3Client>::FinishAtStart = Finish;
    TShownTask<TKestroSMTPClient>::FinishAtStart = Finish;
    TShownTask<TKestroNNTPClient>::FinishAtStart = Finish;
}

TKestroCustomClient* ShownTask(const TTask& Task) {
    TKestroCustomClient* Client;
    if (Task.Kind == tkPop3)
        Client = new TShownTask<TKestroPOP3Client>();
    else if (Task.Kind == tkSmtp)
        Client = new TShownTask<TKestroSMTPClient>();
    else
        Client = new TShownTask<TKestroNNTPClient>();
    Client->OnTaskLog = &TExchangeRun::TaskLogEvent;
    Client->OnTaskStatus = &TExchangeRun::TaskStatusEvent;
    Client->ConfigIndex = Task.ConfigIndex;
    return Client;
}

const char* const kMail1 =
    "/spool/m1.msg\1"
    "06.12.2026 22:40\2"
    "Treffen am Freitag\3"
    "anna@example.org\4"
    "2048";
const char* const kMail2 =
    "/spool/m2.msg\1"
    "07.12.2026 08:15\2"
    "Zu gross\3"
    "bob@example.org\4"
    "Gekuerzt\5"
    "512000";

TEST_F(MainForm, CommandsHaveTheirCaptionsShortcutsAndHints) {
    struct {
        const char* Name;
        const char* Caption;
        const char* ShortCut;
        const char* Hint;
    } const Commands[] = {
        {"Neu1", "&Neu", "", ""},
        {"LoadConfig", "&Laden...", "", "Laden"},
        {"Editieren1", "&Konfiguration...", "F3", "Konfiguration bearbeiten"},
        {"BarButtonOrderNews", "News &bestellen...", "", "News bestellen"},
        {"SaveConfig", "&Speichern", "", ""},
        {"SaveConfigAs", "Speichern &unter...", "", ""},
        {"BarButtonStart", "&Start", "F7", "Start"},
        {"BarButtonMultiStart", "&MultiStart", "F8", "MultiStart"},
        {"Telnet1", "&Telnet", "", ""},
        {"ButtonOptionen", "&Optionen...", "F5", "Optionen"},
        {"dxBarManagerxBarButton1", "&Wizard...", "F6", "Wizard"},
        {"BarButtonExit", "&Ende", "Alt+X", "Ende"},
        {"ber1",
         "\xC3\x9C"
         "ber...",
         "",
         "\xC3\x9C"
         "ber"},
    };
    for (const auto& C : Commands) {
        SCOPED_TRACE(C.Name);
        TdxBarItem* Command = Item(C.Name);
        ASSERT_NE(Command, nullptr);
        EXPECT_EQ(Utf8(Command->Caption()), C.Caption);
        EXPECT_EQ(ShortCutToText(Command->ShortCut()), C.ShortCut);
        EXPECT_EQ(Utf8(Command->Hint()), C.Hint);
    }
    EXPECT_TRUE(Form->BarManager->ShowShortCutInHint());
    EXPECT_TRUE(Form->MsgLesen->Default());
    EXPECT_EQ(Form->MsgLesen->Caption(), "&Lesen...");
    EXPECT_EQ(Utf8(Form->MsgLoeschen->Caption()), "&L\xC3\xB6schen...");
    EXPECT_EQ(Form->ButtonEndTasksSoft->Caption(), "Tasks &sicher abbrechen");
    EXPECT_EQ(ShortCutToText(Form->ButtonEndTasksSoft->ShortCut()), "Ctrl+F7");
    EXPECT_EQ(Form->ButtonEndTasksHard->Caption(), "Tasks &hart abbrechen");
    EXPECT_EQ(ShortCutToText(Form->ButtonEndTasksHard->ShortCut()), "Ctrl+F8");
}

TEST_F(MainForm, ViewsAndCaptionAreAsDefined) {
    EXPECT_EQ(Form->Caption(), "Orvalin Kestro V" + GlobalConfig.Version);
    EXPECT_EQ(Form->TrayIcon->Hint(), Form->Caption());
    TListColumns& Columns = *Form->StatusView->Columns();
    ASSERT_EQ(Columns.Count(), 4);
    const struct {
        const char* Caption;
        int Width;
        TAlignment Alignment;
    } Expected[] = {{"Thread", 46, taLeftJustify},
                    {"Typ", 46, taCenter},
                    {"Bytes    ", 60, taRightJustify},
                    {"Status", 361, taLeftJustify}};
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ(Columns.Items(I)->Caption(), Expected[I].Caption);
        EXPECT_EQ(Columns.Items(I)->Width(), Expected[I].Width);
        EXPECT_EQ(Columns.Items(I)->Alignment(), Expected[I].Alignment);
    }
    EXPECT_TRUE(Form->StatusView->ReadOnly());
    EXPECT_EQ(Form->LogList->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(Form->LogList->ItemHeight(), 34);
    const int Widths[] = {263, 75, 75, 75, 75};
    ASSERT_EQ(Form->StatusBar->Panels()->Count(), 5);
    for (int I = 0; I < 5; ++I) EXPECT_EQ(Form->StatusBar->Panels()->Items(I)->Width(), Widths[I]);
    // The docked bars take the top; the views start below them.
    auto* Views = dynamic_cast<TControl*>(Form->FindComponent("Panel1"));
    ASSERT_NE(Views, nullptr);
    EXPECT_EQ(Views->Top(), 49);
}

TEST_F(MainForm, IdleControlsSwitchTheCommandsBothWays) {
    for (const bool Idle : {false, true}) {
        SCOPED_TRACE(Idle);
        Form->SetIdleControls(Idle);
        EXPECT_EQ(Form->BarButtonStart->Enabled(), Idle);
        EXPECT_EQ(Form->BarButtonMultiStart->Enabled(), Idle);
        EXPECT_EQ(Form->BarButtonExit->Enabled(), Idle);
        EXPECT_EQ(Form->ButtonEndTasksSoft->Enabled(), !Idle);
        EXPECT_EQ(Form->ButtonEndTasksHard->Enabled(), !Idle);
        EXPECT_EQ(Form->StartEnabled(), Idle);
    }
    Form->SetIdleControls(false);
    Form->ButtonEndTasksSoftClick();
    EXPECT_FALSE(Form->ButtonEndTasksSoft->Enabled());
    EXPECT_FALSE(Form->ButtonEndTasksHard->Enabled());
    EXPECT_FALSE(Form->BarButtonStart->Enabled());  // the run is still ending
    Form->SetIdleControls(true);
}

// A refresh of the task view ends with one pass of the message loop (the window stays alive while
// the tasks report); a report the throttle swallows runs none.
TEST_F(MainForm, ARefreshOfTheTaskViewLetsPendingMessagesThrough) {
    constexpr UINT Probe = WM_USER + 7;
    int Seen = 0;
    const HWND Wnd = AllocateHWnd([&](TMessage& M) { Seen += M.Msg == Probe; });
    PostMessage(Wnd, Probe, 0, 0);
    Form->UpdateStatusView(false);
    EXPECT_EQ(Seen, 1);
    PostMessage(Wnd, Probe, 0, 0);
    Form->UpdateStatusView(true);  // within half a second of the last refresh
    EXPECT_EQ(Seen, 1);
    Drain();
    EXPECT_EQ(Seen, 2);
    DeallocateHWnd(Wnd);
}

TEST_F(MainForm, TaskCallbacksFillTheFirstRowOfTheirNumberAndTheStatusBar) {
    TaskList.CreateClient = &ShownTask;
    TaskList.StartClient = [](TKestroCustomClient* Client, int32_t No) { Client->Start(No); };
    for (const uint8_t Kind : {tkPop3, tkSmtp, tkNntp}) {
        TTask Task;
        Task.Kind = Kind;
        Task.TaskNo = TaskList.Count() + 1;
        TaskList.StartTask(Task);
    }
    // Task numbers repeat once they wrap: the first row of the number takes the text.
    TaskList.TaskNos.SetString(2, TaskList.TaskNos[0]);
    TExchangeRun::TaskLogEvent(nullptr, std::stoi(TaskList.TaskNos[0]), "Hole Nachricht 3", false);
    Form->UpdateStatusView(false);
    TListItems* Rows = Form->StatusView->Items();
    ASSERT_EQ(Rows->Count(), 3);
    EXPECT_EQ(Rows->Item(0)->SubItems()->Get(0), "POP3");
    EXPECT_EQ(Rows->Item(1)->SubItems()->Get(0), "SMTP");
    EXPECT_EQ(Rows->Item(2)->SubItems()->Get(0), "NNTP");
    EXPECT_EQ(Rows->Item(0)->SubItems()->Get(2), "Hole Nachricht 3");
    EXPECT_EQ(Rows->Item(2)->SubItems()->Get(2), "Verbunden mit server.example.org");
    EXPECT_EQ(Form->StatusBar->Panels()->Items(1)->Text(), " 0 Mails");
    EXPECT_EQ(Form->StatusBar->Panels()->Items(2)->Text(), " 0 News");
    EXPECT_NE(Form->StatusBar->Panels()->Items(3)->Text().find(" KB"), std::string::npos);
    while (TaskList.Count() > 0) {
        delete TaskList.GetClient(0);
        TaskList.Remove(0);
    }
}

TEST_F(MainForm, NewMailGoesOnTopAndLeavesNoLineSelected) {
    TExchangeRun::AddMailLogLine(nullptr, kMail1);
    Form->LogList->SetItemIndex(0);
    TExchangeRun::AddMailLogLine(nullptr, kMail2);
    ASSERT_EQ(Form->LogList->Items()->Count(), 2);
    EXPECT_EQ(Form->LogList->Items()->Get(0), kMail2);
    EXPECT_EQ(Form->LogList->ItemIndex(), -1);
}

// A mail whose subject runs to 100 KB is listed with its subject cut to what the list holds, its
// sender and size whole, and the mails after it are listed as usual: the fetch reporting them
// goes on.
TEST_F(MainForm, AMailWithAHugeSubjectIsListedAndTheNextOnesToo) {
    const std::string Head = "M0001.MSG\1Mon, 07 Dec 2026 22:40:00 +0200\2";
    const std::string Tail = "\3a@b.example\0045000";
    EXPECT_NO_THROW(
        TExchangeRun::AddMailLogLine(nullptr, Head + std::string(100 * 1024, 'S') + Tail));
    EXPECT_NO_THROW(TExchangeRun::AddMailLogLine(nullptr, kMail2));
    ASSERT_EQ(Form->LogList->Items()->Count(), 2);
    EXPECT_EQ(Form->LogList->Items()->Get(0), kMail2);
    const std::string Listed = Form->LogList->Items()->Get(1);
    EXPECT_EQ(Listed, Head + std::string(0xFFFF - Head.size() - Tail.size(), 'S') + Tail);
    const TMailLine Mail = SplitMailLine(Listed);
    EXPECT_EQ(Mail.FileName, "M0001.MSG");
    EXPECT_EQ(Mail.Sender, "a@b.example");
    EXPECT_EQ(Mail.Size, "5000");
    Drain();
}

// The columns of a band of rows that hold anything but the white background, as runs of
// background between them: the widest such run after the first ink, up to the last ink.
int WidestGapBetweenTexts(const QImage& Image, int Top, int Bottom) {
    std::vector<bool> Ink(size_t(Image.width()), false);
    for (int X = 0; X < Image.width(); ++X)
        for (int Y = Top; Y < Bottom; ++Y)
            if (Image.pixel(X, Y) != qRgb(255, 255, 255)) Ink[size_t(X)] = true;
    int Widest = 0, Run = 0;
    bool SeenInk = false;
    for (const bool Column : Ink) {
        if (Column) {
            if (SeenInk) Widest = std::max(Widest, Run);
            SeenInk = true;
            Run = 0;
        } else {
            ++Run;
        }
    }
    return Widest;
}

TEST_F(MainForm, MailLinesWithLongDatesAndSubjectsKeepTheirTextsApart) {
    TExchangeRun::AddMailLogLine(
        nullptr,
        "M0001.MSG\1Mon, 07 Dec 2026 22:40:00 +0200 (CEST)\2"
        "=?iso-8859-1?q?Termine_f=FCr_n=E4chste_Woche_und_die_Woche_danach_und_alle_weiteren_"
        "Wochen_bis_Ende_Januar_2027?=\3Wilhelm =?utf-8?q?M=C3=BCller?= <wm@x.example>\4Gek\xFCrzt"
        "\005512000");
    TExchangeRun::AddMailLogLine(nullptr,
                                 "M0002.MSG\1Tue, 8 Dec 2026 07:05:00 +0100\2Kurz\3"
                                 "anna@example.org\0042048");
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), Picture("main-mail-list-long-dates")));
    for (const LONG Width : {537, 420, 300}) {
        Form->LogList->SetWidth(Width);
        Drain();
        // The items without the list's border.
        const QImage Whole = WindowPicture(Form->LogList->Handle());
        ASSERT_FALSE(Whole.isNull());
        const int Border = (Form->LogList->Width() - Form->LogList->ClientWidth()) / 2;
        const QImage List =
            Whole.copy(Border, Border, Form->LogList->ClientWidth(), Form->LogList->ClientHeight());
        const TRect Long = Form->LogList->ItemRect(1);
        // The date and the sender of the top row, the subject and the corner text of the bottom
        // row: each pair apart by more than a word space.
        EXPECT_GE(WidestGapBetweenTexts(List, Long.Top + 2, Long.Top + 15), 7) << Width;
        EXPECT_GE(WidestGapBetweenTexts(List, Long.Bottom - 15, Long.Bottom - 2), 7) << Width;
    }
}

TEST_F(MainForm, LesenAndLoeschenNeedTheLineUnderTheMouse) {
    TExchangeRun::AddMailLogLine(nullptr, kMail1);
    TExchangeRun::AddMailLogLine(nullptr, kMail2);
    Drain();
    bool Handled = false;
    const TRect Second = Form->LogList->ItemRect(1);
    Form->LogListContextPopup(Form->LogList, TPoint{Second.Left + 5, Second.Top + 5}, Handled);
    Form->MailPopupPopup(Form->MailPopup);
    EXPECT_EQ(Form->LogList->ItemIndex(), 1);
    EXPECT_TRUE(Form->MsgLesen->Enabled());
    EXPECT_TRUE(Form->MsgLoeschen->Enabled());
    // Below the last line: no line, nothing to read or delete.
    Form->LogListContextPopup(Form->LogList, TPoint{5, Second.Bottom + 20}, Handled);
    Form->MailPopupPopup(Form->MailPopup);
    EXPECT_EQ(Form->LogList->ItemIndex(), -1);
    EXPECT_FALSE(Form->MsgLesen->Enabled());
    EXPECT_FALSE(Form->MsgLoeschen->Enabled());
}

TEST_F(MainForm, LoeschenDeletesTheSpoolFileOnlyWhenConfirmed) {
    struct {
        const char* Case;
        int Answer;
        bool Deletable;
        bool Gone;
    } const Cases[] = {{"declined", IDNO, true, false},
                       {"unanswered", 0, true, false},
                       {"confirmed", IDYES, true, true},
                       {"not deletable", IDYES, false, false}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        const std::string File = Dir + "m1.msg";
        if (C.Deletable)
            std::ofstream(File) << "mail";
        else
            std::filesystem::create_directories(File + "/inside");
        Form->LogList->Items()->Clear();
        TExchangeRun::AddMailLogLine(nullptr, File + "\1d\2s\3f\0044");
        Form->LogList->SetItemIndex(0);
        if (C.Answer) Script->QueueAnswer(C.Answer);
        const size_t Before = Script->Asked().size();
        Form->MsgLoeschenClick(Form->MsgLoeschen);
        ASSERT_GE(Script->Asked().size(), Before + 1);
        EXPECT_NE(Script->Asked()[Before].Text.find("m1.msg"), std::string::npos);
        EXPECT_EQ(std::filesystem::exists(File), !C.Gone);
        EXPECT_EQ(Form->LogList->Items()->Count(), C.Gone ? 0 : 1);
        if (!C.Deletable) {
            ASSERT_EQ(Script->Asked().size(), Before + 2);  // and the error
            EXPECT_NE(Script->Asked().back().Text.find("kann nicht gel"), std::string::npos);
        }
        std::filesystem::remove_all(File);
    }
}

TEST_F(MainForm, DroppedBoxFilesAreQueuedInAnyCaseAndNoRunStarts) {
    const std::string Upper = WriteBox("UPPER.BFG", "");
    const std::string Mixed = WriteBox("mixed.Cfg", "");
    const std::string Text = WriteBox("notes.txt", "");
    DropFiles(Form->Handle(), {40, 120}, {Upper, Text, Mixed});
    // Each box queues its POP3 and SMTP task; the text file nothing.
    EXPECT_EQ(TaskQueue.Count(), 4);
    Drain();
    EXPECT_FALSE(Form->RunInProgress());
    EXPECT_EQ(TaskQueue.Count(), 4);
    EXPECT_FALSE(std::filesystem::exists(Dir + "kestro.log"));
    TaskQueue.Clear();
}

TEST_F(MainForm, ClosingIsRefusedDuringARunAndAsksToSaveAModifiedBox) {
    Form->SetIdleControls(false);
    Form->Close();
    Drain();
    EXPECT_TRUE(Form->Visible());
    Form->SetIdleControls(true);
    CurrentConfig->Modified = true;
    Script->QueueAnswer(IDNO);
    Form->Close();
    Drain();
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(Asked(),
              (std::vector<std::string>{"Ihre Konfiguration ist noch nicht gespeichert. M\xC3\xB6"
                                        "chten Sie diese jetzt speichern?"}));
}

TEST_F(MainForm, LadenTakesTheBoxOnlyWhenItCouldBeRead) {
    // A .bfg chosen reads the .cfg of the same name alone (this .bfg would fail).
    WriteBox("box.cfg", "Pop3User=anna\r\n");
    std::ofstream(Dir + "box.bfg") << "not a box file";
    Script->QueueFile(TFileDialogAnswer{true, {Dir + "box.bfg"}});
    Form->LoadConfigClick(nullptr);
    ASSERT_EQ(Script->Asked().size(), 1u);
    EXPECT_EQ(Script->Asked()[0].File.Title,
              "Konfiguration \xC3\xB6"
              "ffnen");
    EXPECT_EQ(Script->Asked()[0].File.Filter,
              "Kestro Konfiguration|*.cfg|Crosspoint Boxenkonfiguration|*.bfg");
    EXPECT_EQ(CurrentConfig->Pop3User, "anna");
    EXPECT_EQ(Form->StatusPanel(0), "Konfiguration " + Dir + "box.bfg geladen");

    // A box that cannot be read: the error shows, the open box stays as it was.
    Script->QueueFile(TFileDialogAnswer{true, {Dir + "missing.cfg"}});
    Form->LoadConfigClick(nullptr);
    ASSERT_EQ(Script->Asked().size(), 3u);
    EXPECT_EQ(Script->Asked()[2].Kind, TScriptedDialogService::TKind::MessageBox);
    EXPECT_FALSE(Script->Asked()[2].Text.empty());
    EXPECT_EQ(CurrentConfig->Pop3User, "anna");
    EXPECT_EQ(CurrentConfig->FileName, Dir + "box.cfg");
}

TEST_F(MainForm, NeuAndSpeichernOfferToSaveAndAskForAName) {
    CurrentConfig->Pop3User = "anna";
    CurrentConfig->Modified = true;
    Script->QueueAnswer(IDYES);  // save first: it has no name, so the save dialog asks
    Script->QueueFile(TFileDialogAnswer{true, {Dir + "saved"}});
    Form->Neu1Click(nullptr);
    ASSERT_EQ(Script->Asked().size(), 2u);
    const TFileDialogRequest& Save = Script->Asked()[1].File;
    EXPECT_EQ(Save.Kind, TFileDialogKind::Save);
    EXPECT_EQ(Save.Title, "Konfiguration speichern");
    EXPECT_EQ(Save.Filter, "Kestro Konfiguration (*.cfg)|*.cfg");
    EXPECT_EQ(Save.DefaultExt, "cfg");
    EXPECT_NE(ReadFile(Dir + "saved.cfg").find("Pop3User=anna"), std::string::npos);
    EXPECT_EQ(CurrentConfig->Pop3User, "");  // and then the defaults
    EXPECT_FALSE(CurrentConfig->Modified);
}

TEST_F(MainForm, F7StartsTheRunFromTheMessageLoop) {
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F7);
    EXPECT_FALSE(Form->RunInProgress());  // posted, not run inside the key
    ASSERT_TRUE(PumpUntil(
        [&] { return ReadFile(Dir + "kestro.log").find(" gestartet") != std::string::npos; }));
    ASSERT_TRUE(PumpUntil([&] { return !Form->RunInProgress(); }));
    EXPECT_EQ(Form->StatusPanel(0), "Die ToDo-Liste ist abgearbeitet");
    EXPECT_EQ(Form->StatusBar->Panels()->Items(0)->Text(), "Die ToDo-Liste ist abgearbeitet");
}

TEST_F(MainForm, PicturesBeforeDuringAndAfterARun) {
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), Picture("main-idle")));
    TaskList.CreateClient = &ShownTask;
    const std::string Box = WriteBox("box.cfg", "NntpServer=news.example.org\r\n");
    Form->ParseCommandLine({Box});
    Form->Arguments.clear();  // the window stays after the run
    TShownTask<TKestroNNTPClient>::OnStarted = nullptr;
    bool Pictured = false;
    // Once the third task runs: the view as the user sees it, then every task finishes.
    auto WhenThreeRun = [&] {
        const size_t Running = TShownTask<TKestroPOP3Client>::Started.size() +
                               TShownTask<TKestroSMTPClient>::Started.size() +
                               TShownTask<TKestroNNTPClient>::Started.size();
        if (Running != 3 || Pictured) return;
        Pictured = true;
        TExchangeRun::AddMailLogLine(nullptr, kMail1);
        TExchangeRun::AddMailLogLine(nullptr, kMail2);
        Form->UpdateStatusView(false);
        Drain();
        EXPECT_EQ(Form->StatusView->Items()->Count(), 3);
        EXPECT_TRUE(SaveWindowPicture(Form->Handle(), Picture("main-run")));
        for (int I = 0; I < TaskList.Count(); ++I)
            TaskList.GetClient(I)->State = TKestroCustomClient::tsFinished;
        ShownTasksFinishAtStart(true);
    };
    ShownTasksOnStart(WhenThreeRun);
    Form->WMRunToDo();
    EXPECT_TRUE(Pictured);
    Drain();
    EXPECT_EQ(Form->StatusView->Items()->Count(), 0);
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), Picture("main-after")));
    ShownTasksOnStart(nullptr);
    ShownTasksFinishAtStart(false);
    TaskQueue.Clear();
}

TEST_F(MainForm, DuringARunTheMailListPaintsWithTheStatusViewNotPerLine) {
    TaskList.CreateClient = &ShownTask;
    const std::string Box = WriteBox("box.cfg", "NntpServer=news.example.org\r\n");
    Form->ParseCommandLine({Box});
    Form->Arguments.clear();  // the window stays after the run
    const HWND List = Form->LogList->Handle();
    bool Checked = false;
    auto WhenStarted = [&] {
        if (Checked) return;
        Checked = true;
        Drain();
        ASSERT_FALSE(GetUpdateRect(List, nullptr, FALSE));
        const QImage Before = WindowPicture(List);
        for (int I = 0; I < 50; ++I) TExchangeRun::AddMailLogLine(nullptr, kMail1);
        TExchangeRun::AddMailLogLine(nullptr, kMail2);
        EXPECT_EQ(Form->LogList->Items()->Count(), 51) << "the lines are there at once";
        EXPECT_EQ(Form->LogList->Items()->Get(0), kMail2);
        EXPECT_FALSE(GetUpdateRect(List, nullptr, FALSE)) << "nothing painted per line";
        EXPECT_TRUE(WindowPicture(List) == Before) << "nothing painted per line";
        // The refresh lets the list go: it is due to paint, or the refresh's own message pass
        // has painted it already.
        Form->UpdateStatusView(false);
        EXPECT_TRUE(GetUpdateRect(List, nullptr, FALSE) || WindowPicture(List) != Before)
            << "painted with the status view";
        Drain();
    };
    ShownTasksOnStart(WhenStarted);
    ShownTasksFinishAtStart(true);
    Form->WMRunToDo();
    EXPECT_TRUE(Checked);
    // The run's end let the list go: a line added now paints at once.
    Drain();
    TExchangeRun::AddMailLogLine(nullptr, kMail1);
    EXPECT_TRUE(GetUpdateRect(List, nullptr, FALSE)) << "outside a run a line paints at once";
    ShownTasksOnStart(nullptr);
    ShownTasksFinishAtStart(false);
    TaskQueue.Clear();
}

TEST_F(MainForm, TheTrayOptionSendsTheShownWindowToTheTray) {
    Form->Free();
    Form = Forms.CreateForm<TFormMain>();
    ASSERT_EQ(Forms.MainForm(), Form);
    Form->ParseCommandLine({"-tray"});
    Form->SetStartInTray(Form->CmdTray);
    Form->Show();
    Drain();
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));  // in the tray, not on the screen
}

// The bars as the user left them come back at the next start: kept in the registry when the
// window goes, read when the next one is made.
TEST_F(MainForm, TheBarsLayoutSurvivesARestart) {
    TdxBarManager* Manager = BarManagerOfForm(Form);
    TdxBar* Toolbar = Manager->BarByName("Toolbar");
    ASSERT_NE(Toolbar, nullptr);
    Toolbar->SetDockingStyle(dsBottom);
    Toolbar->ItemLinks()->Items(4)->SetVisible(false);  // News bestellen
    Toolbar->ItemLinks()->Items(0)->SetUserCaption("Box laden");
    Form->Free();
    Form = nullptr;
    Drain();
    {
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKeyReadOnly("\\Software\\Orvalin\\Kestro\\Bars\\Bar1"));
        EXPECT_EQ(Registry.ReadInteger("DockingStyle"), dsBottom);
    }

    Form = CreateForm<TFormMain>(nullptr);
    Form->Show();
    Drain();
    Toolbar = BarManagerOfForm(Form)->BarByName("Toolbar");
    ASSERT_NE(Toolbar, nullptr);
    EXPECT_EQ(Toolbar->DockingStyle(), dsBottom);
    EXPECT_TRUE(Toolbar->Visible());
    EXPECT_FALSE(Toolbar->ItemLinks()->Items(4)->Visible());
    EXPECT_EQ(Toolbar->ItemLinks()->Items(0)->Caption(), "Box laden");
    EXPECT_EQ(Toolbar->ItemLinks()->Items(2)->Item(), Form->BarButtonStart);
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    EXPECT_TRUE(SaveWindowPicture(Form->Handle(), Picture("main-bars-restored")));
}

// A run with boxes and no display makes the main window without showing it: placed on the
// offscreen screen, its bars laid out without fonts. What the last session left stays byte for
// byte, the window's placement and the bars' layout; the session itself stored both.
TEST_F(MainForm, AnUnattendedRunKeepsTheWindowStateTheSessionLeft) {
    TdxBar* Toolbar = BarManagerOfForm(Form)->BarByName("Toolbar");
    ASSERT_NE(Toolbar, nullptr);
    Toolbar->SetDockingStyle(dsNone);
    Form->SetBounds(400, 200, Form->Width(), Form->Height());
    Form->SetWindowState(wsMaximized);
    Drain();
    Form->Free();
    Form = nullptr;
    Drain();
    const std::string Hive = TRegistry::HiveFileName(HKEY_CURRENT_USER);
    const std::string Placement = ReadFile(Dir + "kestro.xml");
    const std::string Layout = ReadFile(Hive);
    EXPECT_NE(Placement.find("<NormalPos value=\"400,200,"), std::string::npos) << Placement;
    EXPECT_NE(Placement.find("<ShowCmd value=\"3\"/>"), std::string::npos) << Placement;
    EXPECT_NE(Layout.find("\"FloatClientWidth\""), std::string::npos) << Layout;

    const std::string Box = WriteBox("box.cfg", "");
    const std::string Command =
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen KESTRO_CLOCK=none "
        "KESTRO_HOME='" +
        Dir + "' KESTRO_REGISTRY_DIR='" + Dir + "reg' XDG_RUNTIME_DIR='" + Dir +
        "' timeout 120 " KESTRO_EXE " '" + Box + "' > '" + Dir + "out.txt' 2>&1";
    const int Status = std::system(Command.c_str());
    ASSERT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) <= 2) << ReadFile(Dir + "out.txt");
    EXPECT_NE(ReadFile(Dir + "kestro.log").find("Onlinezeit"), std::string::npos);
    EXPECT_EQ(ReadFile(Dir + "kestro.xml"), Placement);
    EXPECT_EQ(ReadFile(Hive), Layout);
}

// The toolbar dragged off its dock floats with its six buttons in a column; left floating when
// the program ends, it comes back at the next start as it was: its buttons, its size and place,
// above the main window, and its first button loads a box.
TEST_F(MainForm, AToolbarLeftFloatingComesBackAsItWasLeft) {
    TdxBar* Toolbar = BarManagerOfForm(Form)->BarByName("Toolbar");
    ASSERT_NE(Toolbar, nullptr);
    RECT Docked;
    GetWindowRect(Toolbar->Control()->Handle(), &Docked);
    const POINT Grip{Docked.left + 4, (Docked.top + Docked.bottom) / 2};
    const POINT Away = ScreenOf(Form->Handle(), POINT{300, 160});
    TScript Drag;
    Drag.Then([&] {
            MouseMove(Form->Handle(), Grip);
            MousePress(Form->Handle(), Grip);
        })
        .ThenWhen([&] { return BarManagerOfForm(Form)->Bars()->Dragging(); },
                  [&] { MouseMove(Form->Handle(), Away); })
        .ThenWhen([&] { return Toolbar->Control()->IsFloating(); },
                  [&] { MouseRelease(Form->Handle(), Away); });
    Drag.Start();
    ASSERT_TRUE(PumpUntil([&] { return Drag.Done(); }));
    Drain();
    ASSERT_TRUE(Toolbar->Control()->IsFloating());
    RECT Left;
    GetWindowRect(Toolbar->Control()->Handle(), &Left);
    // One button a row: as wide as a button with its frame, as high as six with the caption.
    EXPECT_EQ(Left.right - Left.left, 31);
    EXPECT_EQ(Left.bottom - Left.top, 170);
    Form->Free();
    Form = nullptr;
    Drain();
    auto Stored = [](const std::string& Name) {
        TRegistry Registry;
        EXPECT_TRUE(Registry.OpenKeyReadOnly("\\Software\\Orvalin\\Kestro\\Bars\\Bar1"));
        return Registry.ReadInteger(Name);
    };
    EXPECT_EQ(Stored("DockingStyle"), dsNone);
    EXPECT_EQ(Stored("FloatClientWidth"), 23);
    EXPECT_EQ(Stored("FloatClientHeight"), 147);

    Form = CreateForm<TFormMain>(nullptr);
    Form->Show();
    Drain();
    Toolbar = BarManagerOfForm(Form)->BarByName("Toolbar");
    TdxBarControl* Window = Toolbar->Control();
    ASSERT_NE(Window, nullptr);
    ASSERT_TRUE(Window->IsFloating());
    EXPECT_TRUE(IsWindowVisible(Window->Handle()));
    RECT Back;
    GetWindowRect(Window->Handle(), &Back);
    EXPECT_EQ(Back.left, Left.left);
    EXPECT_EQ(Back.top, Left.top);
    EXPECT_EQ(Back.right - Back.left, 31);
    EXPECT_EQ(Back.bottom - Back.top, 170);
    // Above the main window, which owns it.
    EXPECT_EQ(GetWindow(Window->Handle(), GW_OWNER), Form->Handle());
    bool Above = false;
    for (HWND Below = GetWindow(Window->Handle(), GW_HWNDNEXT); Below;
         Below = GetWindow(Below, GW_HWNDNEXT))
        Above = Above || Below == Form->Handle();
    EXPECT_TRUE(Above);
    // Its six buttons, one below the other inside its client area.
    const TRect Client = Window->ClientRect();
    for (int I = 0; I < 6; ++I) {
        const TRect R = Toolbar->ItemLinks()->Items(I)->ItemRect();
        EXPECT_EQ(R.Width(), 23) << I;
        EXPECT_GE(R.Top, I == 0 ? 0 : Toolbar->ItemLinks()->Items(I - 1)->ItemRect().Bottom) << I;
        EXPECT_LE(R.Bottom, Client.Bottom) << I;
    }
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    EXPECT_TRUE(SaveWindowPicture(Window->Handle(), Picture("main-toolbar-floating-restored")));
    Script->QueueFile(TFileDialogAnswer{false, {}});
    const TRect First = Toolbar->ItemLinks()->Items(0)->ItemRect();
    const POINT OnFirst =
        ScreenOf(Window->Handle(), POINT{(First.Left + First.Right) / 2, First.Top + 11});
    MouseClick(Window->Handle(), OnFirst);
    Drain();
    ASSERT_EQ(Script->Asked().size(), 1u);
    EXPECT_EQ(Script->Asked()[0].File.Title,
              "Konfiguration \xC3\xB6"
              "ffnen");
    // Nothing of it changed for the next start.
    Form->Free();
    Form = nullptr;
    Drain();
    EXPECT_EQ(Stored("FloatClientWidth"), 23);
    EXPECT_EQ(Stored("FloatClientHeight"), 147);
}

// Telnet and Über show their windows modally; each goes when it is closed (Exit, OK by Enter).
TEST_F(MainForm, TelnetAndInformationShowUntilClosedAndThenGo) {
    auto Shown = [](auto* Kind) -> decltype(Kind) {
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (auto* F = dynamic_cast<decltype(Kind)>(Screen->Forms(I))) return F;
        return nullptr;
    };
    const int Before = Screen->FormCount();
    bool TelnetSeen = false;
    TSteps CloseTelnet({[&] {
        TTelnetForm* Telnet = Shown(static_cast<TTelnetForm*>(nullptr));
        ASSERT_NE(Telnet, nullptr);
        TelnetSeen = IsWindowVisible(Telnet->Handle()) && TelnetChecks::ShowsIdle(Telnet);
        TelnetChecks::ClickMiddle(Telnet->Handle(), Telnet->BtnExit);
    }});
    CloseTelnet.Start();
    Form->Telnet1Click(nullptr);
    EXPECT_TRUE(CloseTelnet.Done());
    EXPECT_TRUE(TelnetSeen);
    Drain();
    EXPECT_EQ(Screen->FormCount(), Before);

    bool AboutSeen = false;
    TSteps CloseAbout({[&] {
        TAboutBox* About = Shown(static_cast<TAboutBox*>(nullptr));
        ASSERT_NE(About, nullptr);
        AboutSeen = IsWindowVisible(About->Handle());
        QTest::keyClick(QtWindowOf(About->Handle()), Qt::Key_Return);
    }});
    CloseAbout.Start();
    Form->ber1Click(nullptr);
    EXPECT_TRUE(CloseAbout.Done());
    EXPECT_TRUE(AboutSeen);
    Drain();
    EXPECT_EQ(Screen->FormCount(), Before);
    EXPECT_TRUE(Script->Asked().empty());
}

// Konfiguration (F3), Optionen (F5), the wizard (F6), MultiStart (F8) and "News bestellen..." open
// their windows modally; Escape leaves each without a change: the box stays unmodified, no run
// starts, no list is written. Without a group list beside
// the box the manager asks for one first, and a cancelled choice opens nothing.
TEST_F(MainForm, DialogCommandsOpenTheirWindowsAndEscapeChangesNothing) {
    auto IsShown = [](auto* Kind) {
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (auto* F = dynamic_cast<decltype(Kind)>(Screen->Forms(I)))
                return IsWindowVisible(F->Handle()) != FALSE;
        return false;
    };
    auto Escape = [&](bool& Seen, auto* Kind) {
        return std::vector<std::function<void()>>{[&Seen, Kind, IsShown] {
            Seen = IsShown(Kind);
            HWND Active = GetActiveWindow();
            QTest::keyClick(QtWindowOf(Active), Qt::Key_Escape);
        }};
    };
    WriteBox("box.cfg", "");
    CurrentConfig->Load(Dir + "box.cfg", false);
    const int Before = Screen->FormCount();

    bool SettingsSeen = false;
    TSteps CloseSettings(Escape(SettingsSeen, static_cast<TFormEditConfig*>(nullptr)));
    CloseSettings.Start();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F3);
    Drain();
    EXPECT_TRUE(CloseSettings.Done());
    EXPECT_TRUE(SettingsSeen);
    EXPECT_FALSE(CurrentConfig->Modified);

    bool OptionsSeen = false;
    TSteps CloseOptions(Escape(OptionsSeen, static_cast<TFormEditGlobal*>(nullptr)));
    CloseOptions.Start();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F5);
    Drain();
    EXPECT_TRUE(CloseOptions.Done());
    EXPECT_TRUE(OptionsSeen);

    bool WizardSeen = false;
    TSteps CloseWizard(Escape(WizardSeen, static_cast<TFormWizard*>(nullptr)));
    CloseWizard.Start();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F6);
    Drain();
    EXPECT_TRUE(CloseWizard.Done());
    EXPECT_TRUE(WizardSeen);

    bool ChooserSeen = false;
    TSteps CloseChooser(Escape(ChooserSeen, static_cast<TFormMultiConfig*>(nullptr)));
    CloseChooser.Start();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F8);
    Drain();
    EXPECT_TRUE(CloseChooser.Done());
    EXPECT_TRUE(ChooserSeen);
    EXPECT_TRUE(Form->BarButtonStart->Enabled());  // no run
    EXPECT_EQ(TaskQueue.Count(), 0);

    // No group list yet: the manager asks for one; cancelled, nothing opens.
    Form->BarButtonOrderNewsClick(nullptr);
    EXPECT_EQ(Asked(), std::vector<std::string>{"Newsgroupliste w\xC3\xA4hlen"});
    EXPECT_EQ(Script->Asked()[0].File.Filter, "Newsgroup-Listen|*.bl");

    std::ofstream(Dir + "box.bl", std::ios::binary) << "de.test\r\nde.comp.lang.c++\r\n";
    bool ManagerSeen = false;
    TSteps CloseManager(Escape(ManagerSeen, static_cast<TFormGroupManager*>(nullptr)));
    CloseManager.Start();
    Form->BarButtonOrderNewsClick(nullptr);
    EXPECT_TRUE(CloseManager.Done());
    EXPECT_TRUE(ManagerSeen);
    EXPECT_EQ(Script->Asked().size(), 1u);  // the list beside the box needs no question
    EXPECT_FALSE(std::filesystem::exists(Dir + "box.rc"));
    Drain();
    EXPECT_EQ(Screen->FormCount(), Before);
}

// A double click on a mail line, or "Lesen", opens the viewer on that line's spool file (modeless,
// one window each time); without a selected line nothing opens.
TEST_F(MainForm, ADoubleClickOrLesenOpensTheViewerOnTheLinesFile) {
    auto Viewers = [] {
        std::vector<TFormViewMessage*> Found;
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (auto* V = dynamic_cast<TFormViewMessage*>(Screen->Forms(I))) Found.push_back(V);
        return Found;
    };
    const std::string File = Dir + "m7.msg";
    std::ofstream(File, std::ios::binary)
        << "From: anna@example.org\r\nSubject: Treffen\r\n"
        << "Date: Mon, 7 Dec 2026 10:00:00 +0100\r\n\r\nHallo\r\n";
    TExchangeRun::AddMailLogLine(nullptr, File + "\1d\2Treffen\3anna\00445");
    Form->LogListDblClick(nullptr);  // no line selected
    Drain();
    EXPECT_TRUE(Viewers().empty());

    const HWND List = Form->LogList->Handle();
    MouseDoubleClick(List, ScreenOf(List, POINT{40, 10}));
    Drain();
    ASSERT_EQ(Viewers().size(), 1u);
    TFormViewMessage* Viewer = Viewers()[0];
    EXPECT_TRUE(IsWindowVisible(Viewer->Handle()));
    EXPECT_EQ(Viewer->Message().Subject, "Treffen");
    EXPECT_TRUE(Script->Asked().empty());

    Form->MsgLesen->Click();
    Drain();
    EXPECT_EQ(Viewers().size(), 2u);
    for (TFormViewMessage* V : Viewers()) V->Close();
    Drain();
    EXPECT_TRUE(Viewers().empty());  // they free themselves
}

// Both the main window and the message viewer are windows of their own classes whose definitions
// centre them: after a move, a close and a new start each comes back where it was left, the main
// window with its monitor setting.
TEST_F(MainForm, TheMainWindowAndTheViewerReopenWhereTheyWereLeft) {
    const std::string File = Dir + "m8.msg";
    std::ofstream(File, std::ios::binary)
        << "From: anna@example.org\r\nSubject: Ort\r\n\r\nHallo\r\n";
    TExchangeRun::AddMailLogLine(nullptr, File + "\1d\2Ort\3anna\00412");
    auto OpenViewer = [&]() -> TFormViewMessage* {
        const HWND List = Form->LogList->Handle();
        MouseDoubleClick(List, ScreenOf(List, POINT{40, 10}));
        Drain();
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (auto* V = dynamic_cast<TFormViewMessage*>(Screen->Forms(I))) return V;
        ADD_FAILURE() << "no viewer";
        return nullptr;
    };
    TFormViewMessage* Viewer = OpenViewer();
    ASSERT_NE(Viewer, nullptr);
    Viewer->SetBounds(17, 23, Viewer->Width(), Viewer->Height());
    Viewer->Close();
    Form->SetBounds(31, 12, Form->Width(), Form->Height());
    Drain();
    Form->Free();
    Form = nullptr;
    Drain();
    const std::string Saved = ReadFile(Dir + "kestro.xml");
    EXPECT_NE(Saved.find("<DefaultMonitor value="), std::string::npos) << Saved;

    Form = CreateForm<TFormMain>(nullptr);
    Form->Show();
    Drain();
    EXPECT_EQ(Form->Left(), 31);
    EXPECT_EQ(Form->Top(), 12);
    TExchangeRun::AddMailLogLine(nullptr, File + "\1d\2Ort\3anna\00412");
    Viewer = OpenViewer();
    ASSERT_NE(Viewer, nullptr);
    EXPECT_EQ(Viewer->Left(), 17);
    EXPECT_EQ(Viewer->Top(), 23);
    Viewer->Close();
    Drain();
}

// How many pixels of the picture have the colour.
int PixelsOf(const QImage& Picture, QRgb Color) {
    int Count = 0;
    for (int Y = 0; Y < Picture.height(); ++Y)
        for (int X = 0; X < Picture.width(); ++X)
            Count += (Picture.pixel(X, Y) & 0xFFFFFF) == (Color & 0xFFFFFF);
    return Count;
}

// The bars draw each command with its picture from the window's image list (the same list when
// hot); the picture at a command's image index is the one drawn for it, and the program's icon
// stands in the caption, in the tray and on the desktop.
TEST_F(MainForm, CommandsShowTheirPicturesAndTheWindowTheProgramsIcon) {
    TdxBarManager* Manager = BarManagerOfForm(Form);
    auto* List = dynamic_cast<TCustomImageList*>(Form->FindComponent("ImageList1"));
    ASSERT_NE(List, nullptr);
    EXPECT_EQ(Manager->Images(), List);
    EXPECT_EQ(Manager->HotImages(), List);
    const std::vector<std::string> Pictured = CommandPictureItems();
    EXPECT_EQ(List->Count(), int(Pictured.size()));
    std::vector<std::string> Shown(Pictured.size());
    for (int I = 0; I < Manager->ItemCount(); ++I) {
        const auto* Button = dynamic_cast<TdxBarButton*>(Manager->Items(I));
        if (!Button || Button->ImageIndex() < 0) continue;
        ASSERT_LT(Button->ImageIndex(), int(Pictured.size())) << Button->Name();
        Shown[size_t(Button->ImageIndex())] = Button->Name();
    }
    EXPECT_EQ(Shown, Pictured);

    TdxBar* Toolbar = Manager->BarByName("Toolbar");
    ASSERT_NE(Toolbar, nullptr);
    const QImage Bar = WindowPicture(Toolbar->Control()->Handle());
    EXPECT_GT(PixelsOf(Bar, qRgb(255, 255, 0)), 10);  // the open folder of "Laden..."
    EXPECT_GT(PixelsOf(Bar, qRgb(0, 128, 0)), 20);    // the green arrows of the two starts
    EXPECT_GT(PixelsOf(Bar, qRgb(128, 0, 0)), 20);    // the door of "Ende"

    // The caption shows the program's picture at its left, where the caption text began.
    const QImage Window = WindowPicture(Form->Handle());
    const QImage Art = ProgramPicture();
    int Matching = 0;
    for (int Y = 0; Y < 30 && !Matching; ++Y)
        for (int X = 0; X < 30 && !Matching; ++X) {
            bool Same = true;
            for (int V = 0; V < 16 && Same; ++V)
                for (int U = 0; U < 16 && Same; ++U) {
                    const QRgb A = Art.pixel(U, V) & 0xFFFFFF;
                    if (A == 0xFF00FF) continue;
                    if (X + U >= Window.width() || Y + V >= Window.height() ||
                        (Window.pixel(X + U, Y + V) & 0xFFFFFF) != A)
                        Same = false;
                }
            Matching = Same;
        }
    EXPECT_TRUE(Matching) << "no program icon in the caption";

    ASSERT_EQ(Trays()->Shown.size(), 1u);
    const QImage TrayPicture = IconImage(Trays()->Shown.begin()->second.Icon);
    ASSERT_FALSE(TrayPicture.isNull());
    EXPECT_EQ(TrayPicture.pixel(8, 1) & 0xFFFFFF,
              0u);  // the letter's black edge, not a plain square
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    EXPECT_TRUE(SaveWindowPicture(Form->Handle(), Picture("main-pictures")));
}

// The Commands page of the customizing dialog lists the window's commands with their pictures,
// category by category.
TEST_F(MainForm, TheCommandsPageShowsEachCommandWithItsPicture) {
    TdxBarManager* Manager = BarManagerOfForm(Form);
    ShowCustomizingForm(Manager, true);
    Drain();
    TdxBarCustomizingForm* Dialog = GetCustomizingForm();
    ASSERT_NE(Dialog, nullptr);
    Dialog->PageControl->SetActivePage(Dialog->TabSheet2);
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    const std::pair<const char*, QRgb> Categories[] = {
        {"Konfiguration", qRgb(255, 255, 0)},  // the folder of "Laden..."
        {"Kestro", qRgb(128, 0, 0)},           // the door of "Ende"
    };
    for (const auto& [Category, Color] : Categories) {
        Dialog->SelectItem(
            Manager->ItemByName(Category == std::string("Kestro") ? "BarButtonExit" : "LoadConfig"),
            true);
        Drain();
        EXPECT_GT(PixelsOf(WindowPicture(Dialog->CommandsListBox()->Handle()), Color), 10)
            << Category;
        EXPECT_TRUE(SaveWindowPicture(Dialog->Handle(),
                                      Picture(std::string("main-customize-commands-") + Category)));
    }
    ShowCustomizingForm(Manager, false);
    Drain();
}

// A bar reset reads the bars' design from the window's definition, whose manager takes its
// pictures from the window's image list: the toolbar gets its six buttons back.
TEST_F(MainForm, ResettingTheToolbarBringsItsDesignBack) {
    TdxBar* Toolbar = BarManagerOfForm(Form)->BarByName("Toolbar");
    ASSERT_NE(Toolbar, nullptr);
    TdxBarItemLinks* Links = Toolbar->ItemLinks();
    ASSERT_EQ(Links->Count(), 6);
    delete Links->Items(0);
    Drain();
    ASSERT_EQ(Links->Count(), 5);
    Toolbar->Reset();
    Drain();
    EXPECT_EQ(Links->Count(), 6);
    EXPECT_EQ(Links->Items(0)->Item(), Item("LoadConfig"));
}

// A viewer is put aside by clicking the main window: it falls behind it, and the next mail opens
// in a viewer of its own.
TEST_F(MainForm, AClickOnTheMailListPutsTheViewerBehindTheMainWindow) {
    auto Viewers = [] {
        std::vector<TFormViewMessage*> Found;
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (auto* V = dynamic_cast<TFormViewMessage*>(Screen->Forms(I))) Found.push_back(V);
        return Found;
    };
    // Whether A is above B among the top-level windows.
    auto Above = [](HWND A, HWND B) {
        for (HWND W = GetWindow(A, GW_HWNDNEXT); W; W = GetWindow(W, GW_HWNDNEXT))
            if (W == B) return true;
        return false;
    };
    for (const char* Name : {"m1.msg", "m2.msg"}) {
        std::ofstream(Dir + Name, std::ios::binary)
            << "From: anna@example.org\r\nSubject: " << Name << "\r\n\r\nHallo\r\n";
        TExchangeRun::AddMailLogLine(nullptr, Dir + Name + "\1d\2" + Name + "\3anna\00445");
    }
    Drain();
    const HWND List = Form->LogList->Handle();
    const TRect First = Form->LogList->ItemRect(0);
    const TRect Second = Form->LogList->ItemRect(1);
    MouseDoubleClick(List, ScreenOf(List, POINT{First.Left + 40, First.Top + 5}));
    Drain();
    ASSERT_EQ(Viewers().size(), 1u);
    const HWND Viewer = Viewers()[0]->Handle();
    EXPECT_TRUE(Above(Viewer, Form->Handle()));
    // Where it leaves the mail list's lines in view.
    RECT Main;
    GetWindowRect(Form->Handle(), &Main);
    SetWindowPos(Viewer, 0, Main.right - 60, Main.top + 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();

    MouseClick(List, ScreenOf(List, POINT{Second.Left + 40, Second.Top + 5}));
    Drain();
    EXPECT_TRUE(Above(Form->Handle(), Viewer));
    EXPECT_EQ(GetActiveWindow(), Form->Handle());

    MouseDoubleClick(List, ScreenOf(List, POINT{Second.Left + 40, Second.Top + 5}));
    Drain();
    ASSERT_EQ(Viewers().size(), 2u);
    for (TFormViewMessage* V : Viewers()) V->Close();
    Drain();
}

}  // namespace
