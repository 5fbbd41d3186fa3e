#pragma once
// The main window: the form read from its definition (resources/forms/FormMain.dfm) around the
// exchange run. It shows what the run keeps (the task view, the status bar, the incoming mail),
// switches its command items as the run asks, and carries out the commands of its menu bar,
// toolbar and context menus. The run itself is TExchangeRun's.
#include <string>

#include "app/ui/ExchangeRun.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/StatusBars.h"

class TdxBarButton;
class TdxBarManager;
class TStExceptionLog;
class TStTrayIcon;

class TOvcAbstractStore;

class TFormMain : public TForm, public TExchangeRun {
  public:
    explicit TFormMain(TComponent* AOwner);
    ~TFormMain() override;

    // The controls and components of the definition.
    TdxBarManager* BarManager = nullptr;
    TdxBarButton* BarButtonStart = nullptr;
    TdxBarButton* BarButtonMultiStart = nullptr;
    TdxBarButton* BarButtonExit = nullptr;
    TListView* StatusView = nullptr;
    TListBox* LogList = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPopupMenu* MailPopup = nullptr;
    TMenuItem* MsgLesen = nullptr;
    TMenuItem* MsgLoeschen = nullptr;
    TMenuItem* ButtonEndTasksSoft = nullptr;
    TMenuItem* ButtonEndTasksHard = nullptr;
    TStTrayIcon* TrayIcon = nullptr;
    TStExceptionLog* StExceptionLog = nullptr;

    bool StartEnabled() const override;
    // Closes the form (its close query refuses during a run).
    bool CloseWindow() override;
    // With the command line's "tray" option the window goes to the tray once it shows.
    void SetStartInTray(bool Value) { FStartInTray = Value; }

    // Offers to save a modified configuration: Yes saves it as "&Speichern" does.
    void AskSaveConfig() override;

    // Event handlers the definition names.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormShortCut(WORD Key, TShiftState Shift, bool& Handled);
    void Neu1Click(TObject* Sender);
    void LoadConfigClick(TObject* Sender);
    void SaveConfigClick(TObject* Sender);
    void SaveConfigAsClick(TObject* Sender);
    void BarButtonStartClick(TObject* Sender);
    void Telnet1Click(TObject* Sender);
    void Editieren1Click(TObject* Sender);
    void ButtonOptionenClick(TObject* Sender);
    void BarButtonOrderNewsClick(TObject* Sender);
    void BarButtonMultiStartClick(TObject* Sender);
    void dxBarManagerxBarButton1Click(TObject* Sender);
    void BarButtonExitClick(TObject* Sender);
    void ber1Click(TObject* Sender);
    void LogListDblClick(TObject* Sender);
    void MsgLoeschenClick(TObject* Sender);
    void EndTasksSoftClick(TObject* Sender);
    void EndTasksHardClick(TObject* Sender);
    void MailPopupPopup(TObject* Sender);
    void LogListContextPopup(TObject* Sender, TPoint MousePos, bool& Handled);
    void LogListDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void DropFilesDropFiles(TObject* Sender, POINT Point);

  protected:
    void RefreshTaskView() override;
    void StatusPanelChanged(int Index) override;
    void CommandsChanged() override;
    void AddMailLine(const std::string& Line) override;

  private:
    // The window's XML store, where the dialogs keep their places.
    TOvcAbstractStore* PlacementStore() const;
    // Runs an interactive command: what it raises is shown in a message box (logged when there
    // is no display) instead of being lost.
    template <class F>
    void Interactive(F&& Command);
    // Shows a window of class T (the telnet window, the information box) until it closes.
    template <class T>
    void ShowModalForm();
    // The file of the selected incoming-mail line; empty without a selection.
    std::string SelectedMailFile();

    bool FStartInTray = false;
    // The mail list paints new lines with the status view during a run (see AddMailLine).
    bool FLogListHeld = false;
};

// The program's main window; null before start-up made it and after shut-down.
extern TFormMain* FormMain;

// Puts the main window, the telnet window and the information box into the class registry.
void RegisterMainFormClasses();
