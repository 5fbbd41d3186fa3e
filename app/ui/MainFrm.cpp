#include "app/ui/MainFrm.h"

#include "app/engine/KestroGlobal.h"
#include "app/engine/UnitScheduler.h"
#include "app/ui/AboutFrm.h"
#include "app/ui/BoxSettingsDlg.h"
#include "app/ui/CommandPictures.h"
#include "app/ui/FormParts.h"
#include "app/ui/GroupManager.h"
#include "app/ui/MainViews.h"
#include "app/ui/MultiConfig.h"
#include "app/ui/OptionsDlg.h"
#include "app/ui/TelnetFrm.h"
#include "app/ui/ViewMessageFrm.h"
#include "app/ui/Wizard.h"
#include "bars/dxBar.h"
#include "components/crashlog/CrashLog.h"
#include "components/shell/StDropFiles.h"
#include "components/store/OvcFormState.h"
#include "components/store/OvcStore.h"
#include "components/tray/StTrayIcon.h"
#include "platform/actions/ShortCuts.h"
#include "platform/controls/Limits.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "platform/system/ProgramDirectory.h"
#include "platform/widgets/ImgList.h"

TFormMain* FormMain = nullptr;

namespace {

constexpr int kStatusPanelCount = 5;

const char* const kOpenConfigFilter =
    "Kestro Konfiguration|*.cfg|Crosspoint Boxenkonfiguration|*.bfg";
const char* const kSaveConfigFilter = "Kestro Konfiguration (*.cfg)|*.cfg";

}  // namespace

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
    FormMain = this;
}

TFormMain::~TFormMain() {
    if (FormMain == this) FormMain = nullptr;
}

template <class F>
void TFormMain::Interactive(F&& Command) {
    try {
        Command();
    } catch (const std::exception& E) {
        std::string Text = E.what();
        Text.resize(Text.find('\0') == std::string::npos ? Text.size() : Text.find('\0'));
        MessageBox(Text, Forms.Title(), MB_OK | MB_ICONERROR);
    }
}

template <class T>
void TFormMain::ShowModalForm() {
    Interactive([&] {
        T* Form = CreateForm<T>(this);
        // The window goes when it closes, also when showing it failed.
        struct TFree {
            T* Form;
            ~TFree() { Form->Free(); }
        } Free{Form};
        Form->ShowModal();
    });
}

// ---- creation and closing --------------------------------------------------------------------

void TFormMain::FormCreate(TObject*) {
    BarManager = BarManagerOfForm(this);
    BarButtonStart = FormPart<TdxBarButton>(this, "BarButtonStart");
    BarButtonMultiStart = FormPart<TdxBarButton>(this, "BarButtonMultiStart");
    BarButtonExit = FormPart<TdxBarButton>(this, "BarButtonExit");
    StatusView = FormPart<TListView>(this, "StatusView");
    LogList = FormPart<TListBox>(this, "LogList");
    StatusBar = FormPart<TStatusBar>(this, "StatusBar");
    MailPopup = FormPart<TPopupMenu>(this, "MailPopup");
    MsgLesen = FormPart<TMenuItem>(this, "MsgLesen");
    MsgLoeschen = FormPart<TMenuItem>(this, "MsgLoeschen");
    ButtonEndTasksSoft = FormPart<TMenuItem>(this, "ButtonEndTasksSoft");
    ButtonEndTasksHard = FormPart<TMenuItem>(this, "ButtonEndTasksHard");
    TrayIcon = FormPart<TStTrayIcon>(this, "TrayIcon");
    StExceptionLog = FormPart<TStExceptionLog>(this, "StExceptionLog");
    AddCommandPictures(*FormPart<TImageList>(this, "ImageList1"));
    // A window nobody sees (a run with boxes and no display) keeps no state: its placement and
    // its bars' layout would be those of the offscreen screen, put over the ones the user left.
    // Set before the state component restores the window, so that the store is not even read.
    if (!Forms.ShowMainForm) {
        FormPart<TOvcFormState>(this, "OvcFormState")->SetActive(false);
        BarManager->StoreInRegistry = false;
    }

    // The designed caption ends in "V": the version follows it.
    SetCaption(Caption() + GlobalConfig.Version);
    StExceptionLog->SetRipInfo(Caption());
    TrayIcon->SetHint(Caption());
    Forms.HintPause = 2000;
    for (int Index = 0; Index < kStatusPanelCount; ++Index) StatusPanelChanged(Index);
    CommandsChanged();
    // The dock sites took their size from the bars after the form had placed its controls.
    Realign();
}

void TFormMain::FormShow(TObject*) {
    // The tray icon turns the minimise into its entry in the tray (an ordinary minimised window
    // where the desktop has no tray).
    if (FStartInTray) PostMinimizeMainForm();
    FStartInTray = false;
}

void TFormMain::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = StartEnabled();
    if (CanClose && CurrentConfig && CurrentConfig->Modified) AskSaveConfig();
}

bool TFormMain::StartEnabled() const {
    return BarButtonStart ? BarButtonStart->Enabled() : TExchangeRun::StartEnabled();
}

bool TFormMain::CloseWindow() {
    if (!StartEnabled()) return false;
    Close();
    return true;
}

void TFormMain::FormShortCut(WORD Key, TShiftState Shift, bool& Handled) {
    // The bars' items answer their shortcuts here unless a keyboard hook of the bars took the
    // key before it reached the form.
    const TShortCut Wanted = ShortCut(Key, Shift);
    for (int Index = 0; !Handled && Index < BarManager->Bars()->Count(); ++Index)
        Handled = BarManager->Bars()->Items(Index)->ProcessShortCut(Wanted);
}

// ---- what the run shows ----------------------------------------------------------------------

void TFormMain::RefreshTaskView() {
    if (FLogListHeld) {
        FLogListHeld = false;
        LogList->Items()->EndUpdate();
    }
    TListItems* Items = StatusView->Items();
    Items->BeginUpdate();
    Items->Clear();
    for (const TTaskRow& Row : TaskRows()) {
        TListItem* Item = Items->Add();
        Item->SetCaption(Row.TaskNo);
        Item->SubItems()->Add(Row.Kind);
        Item->SubItems()->Add(Row.Bytes);
        Item->SubItems()->Add(Row.Status);
    }
    Items->EndUpdate();
}

void TFormMain::StatusPanelChanged(int Index) {
    if (StatusBar) StatusBar->Panels()->Items(Index)->SetText(StatusPanel(Index));
}

void TFormMain::CommandsChanged() {
    if (!BarButtonStart) return;
    BarButtonStart->SetEnabled(Idle());
    BarButtonMultiStart->SetEnabled(Idle());
    BarButtonExit->SetEnabled(Idle());
    ButtonEndTasksSoft->SetEnabled(StopCommandsEnabled());
    ButtonEndTasksHard->SetEnabled(StopCommandsEnabled());
}

void TFormMain::AddMailLine(const std::string& Line) {
    // A fetch adds hundreds of lines a second: during a run the list holds its painting until
    // the status view's next refresh (at most twice a second, and at the run's end), instead of
    // painting every line. The lines themselves are in the list at once.
    if (RunInProgress() && !FLogListHeld) {
        FLogListHeld = true;
        LogList->Items()->BeginUpdate();
    }
    LogList->Items()->Insert(0, FitMailLine(Line, ControlsLimits::kMaxItemText));
    // An index past the last line selects none: the new line does not move the selection.
    LogList->SetItemIndex(LogList->Items()->Count());
}

// ---- configuration commands ------------------------------------------------------------------

void TFormMain::AskSaveConfig() {
    if (ConfirmSaveConfig()) SaveConfigClick(this);
}

void TFormMain::Neu1Click(TObject*) {
    Interactive([&] {
        if (CurrentConfig->Modified) AskSaveConfig();
        ResetDupeSettings();
        CurrentConfig->SetDefaults();
    });
}

void TFormMain::LoadConfigClick(TObject*) {
    Interactive([&] {
        if (CurrentConfig->Modified) AskSaveConfig();
        TFileDialogRequest Request;
        Request.Title = "Konfiguration öffnen";
        Request.Filter = kOpenConfigFilter;
        const TFileDialogAnswer Answer = ExecuteFileDialog(Request);
        if (!Answer.Accepted) return;
        ResetDupeSettings();
        // Read beside the open one: a file that cannot be read leaves the window's box as it was
        // (and its name, which a later "Speichern" would write over).
        TKestroConfig Loaded;
        Loaded.Load(Answer.FileName(), false);
        *CurrentConfig = Loaded;
        SetStatusPanel(0, "Konfiguration " + Answer.FileName() + " geladen");
    });
}

void TFormMain::SaveConfigClick(TObject*) {
    Interactive([&] {
        if (CurrentConfig->FileName.empty())
            SaveConfigAsClick(this);
        else
            CurrentConfig->Save();
    });
}

void TFormMain::SaveConfigAsClick(TObject*) {
    Interactive([&] {
        TFileDialogRequest Request;
        Request.Kind = TFileDialogKind::Save;
        Request.Title = "Konfiguration speichern";
        Request.Filter = kSaveConfigFilter;
        Request.DefaultExt = "cfg";
        const TFileDialogAnswer Answer = ExecuteFileDialog(Request);
        if (Answer.Accepted) CurrentConfig->SaveToFile(Answer.FileName());
    });
}

// ---- the other commands ----------------------------------------------------------------------

void TFormMain::BarButtonStartClick(TObject*) {
    PostRunToDo();
}

void TFormMain::BarButtonExitClick(TObject*) {
    Close();
}

void TFormMain::Telnet1Click(TObject*) {
    ShowModalForm<TTelnetForm>();
}

TOvcAbstractStore* TFormMain::PlacementStore() const {
    return FormPart<TOvcAbstractStore>(this, "O32XMLFileStore");
}

void TFormMain::Editieren1Click(TObject*) {
    Interactive([&] { EditBoxSettings(*CurrentConfig, this, [&] { SaveConfigClick(this); }); });
}

void TFormMain::ButtonOptionenClick(TObject*) {
    Interactive([&] { EditOptions(GlobalConfig, this, PlacementStore()); });
}

void TFormMain::BarButtonOrderNewsClick(TObject*) {
    Interactive([&] {
        std::string GroupList = ChangeFileExt(CurrentConfig->FileName, ".bl");
        if (!FileExists(GroupList)) {
            TFileDialogRequest Request;
            Request.Title = "Newsgroupliste wählen";
            Request.Filter = "Newsgroup-Listen|*.bl";
            const TFileDialogAnswer Answer = ExecuteFileDialog(Request);
            if (!Answer.Accepted) return;
            GroupList = Answer.FileName();
        }
        ExecuteGroupManager(GroupList, *CurrentConfig, BarManager);
    });
}

void TFormMain::BarButtonMultiStartClick(TObject*) {
    Interactive([&] {
        // Left with OK (boxes chosen or not): the run starts now, not when a message comes.
        if (ExecuteMultiConfig(ProgramDirectory(), PlacementStore())) WMRunToDo();
    });
}

void TFormMain::dxBarManagerxBarButton1Click(TObject*) {
    Interactive([&] { ExecuteWizard(CurrentConfig.get(), PlacementStore()); });
}

void TFormMain::ber1Click(TObject*) {
    ShowModalForm<TAboutBox>();
}

void TFormMain::EndTasksSoftClick(TObject*) {
    ButtonEndTasksSoftClick();
}

void TFormMain::EndTasksHardClick(TObject*) {
    ButtonEndTasksHardClick();
}

// ---- the incoming-mail list ------------------------------------------------------------------

std::string TFormMain::SelectedMailFile() {
    const int Index = LogList->ItemIndex();
    if (Index < 0 || Index >= LogList->Items()->Count()) return {};
    return SplitMailLine(LogList->Items()->Get(Index)).FileName;
}

void TFormMain::LogListDblClick(TObject*) {
    Interactive([&] {
        const std::string File = SelectedMailFile();
        // The viewer is modeless and frees itself when it is closed.
        if (!File.empty()) ShowMessageViewer(File, PlacementStore());
    });
}

void TFormMain::MsgLoeschenClick(TObject*) {
    Interactive([&] {
        const int Index = LogList->ItemIndex();
        const std::string File = SelectedMailFile();
        if (File.empty()) return;
        // The point program never sees a mail deleted here: ask first (No unless answered).
        if (MessageBox("Die Nachricht " + ExtractFileName(File) +
                           " im Spoolverzeichnis löschen? Das Pointprogramm erhält sie dann nicht.",
                       Forms.Title(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        // A file that is gone already leaves nothing to keep the line for.
        if (!DeleteFile(File) && (FileExists(File) || DirectoryExists(File)))
            throw Exception("Die Datei " + File + " kann nicht gelöscht werden.");
        LogList->Items()->Delete(Index);
    });
}

void TFormMain::MailPopupPopup(TObject*) {
    const bool Selected = !SelectedMailFile().empty();
    MsgLesen->SetEnabled(Selected);
    MsgLoeschen->SetEnabled(Selected);
}

void TFormMain::LogListContextPopup(TObject*, TPoint MousePos, bool&) {
    // A menu opened from the keyboard keeps the selection.
    if (MousePos.X < 0 && MousePos.Y < 0) return;
    LogList->SetItemIndex(LogList->ItemAtPos(MousePos, true));
}

void TFormMain::LogListDrawItem(TWinControl*, int Index, TRect R, TOwnerDrawState State) {
    TCanvas& C = *LogList->Canvas();
    C.Font().SetColor(clWindowText);
    C.Brush().SetColor(State.Contains(odSelected) ? clActiveBorder : clWhite);
    C.FillRect(R);
    const TMailLine Mail = ShownMailLine(LogList->Items()->Get(Index));
    C.Brush().SetStyle(bsClear);
    const std::string Corner = MailLineCorner(Mail);
    const TMailLineLayout Layout =
        LayOutMailLine(R, C.TextExtent(Mail.Date), C.TextExtent(Mail.Sender),
                       C.TextExtent(Mail.Subject), C.TextExtent(Corner));
    C.TextRect(Layout.Date.Clip, Layout.Date.At.X, Layout.Date.At.Y, Mail.Date);
    C.TextRect(Layout.Sender.Clip, Layout.Sender.At.X, Layout.Sender.At.Y, Mail.Sender);
    C.TextRect(Layout.Subject.Clip, Layout.Subject.At.X, Layout.Subject.At.Y, Mail.Subject);
    C.TextRect(Layout.Corner.Clip, Layout.Corner.At.X, Layout.Corner.At.Y, Corner);
    C.MoveTo(R.Right, R.Bottom - 1);
    C.LineTo(R.Left, R.Bottom - 1);
}

void TFormMain::DropFilesDropFiles(TObject* Sender, POINT) {
    auto* Drop = static_cast<TStDropFiles*>(Sender);
    Interactive([&] {
        for (int Index = 0; Index < Drop->Files().Count(); ++Index)
            if (IsBoxFileName(Drop->Files()[Index])) AddConfigToToDo(Drop->Files()[Index]);
    });
}
