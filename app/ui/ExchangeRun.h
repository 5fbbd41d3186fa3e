#pragma once
// The main window's engine: the command line, the exchange run (the handler of WM_RUNTODO),
// dialling and hanging up, the time query, the stop commands and the task callbacks. It owns no
// control: what it has to show (the status panels, the task view, the incoming mail, which
// commands are enabled) it keeps as data and announces through virtual operations that the main
// window overrides, so the run works and is tested without a window.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/bfgconfig.h"
#include "netlib/ras/IpRas.h"
#include "netlib/sock/IpLog.h"
#include "netlib/time/IpTime.h"
#include "platform/core/Application.h"
#include "platform/core/Messages.h"

class TKestroCustomClient;

// Starts a run; posted at start-up when the command line names boxes, and by "&Start".
constexpr UINT WM_RUNTODO = WM_USER + 132;

// Exit code of a second copy that was given boxes: it exchanged nothing.
constexpr int ExitCodeAlreadyRunning = 3;

class TExchangeRun : public TReleasable {
  public:
    TExchangeRun();
    ~TExchangeRun() override;

    // The hidden window that receives WM_RUNTODO.
    HWND RunWindow() const { return FHandle; }

    // Reads the arguments (without the program name): boxes are queued at once with the options
    // read before them.
    void ParseCommandLine(const std::vector<std::string>& args);
    // Posts WM_RUNTODO when the command line had arguments and Start is enabled; true if posted.
    bool PostRunIfArguments();
    // The Start command: posts WM_RUNTODO, so the run starts in a later pass.
    void PostRunToDo();

    // Writes a line to the run log while one exists.
    void LogEvent(const std::string& text);
    // Idle: Start, MultiStart and Exit enabled, the two stop commands disabled; during a run the
    // reverse.
    void SetIdleControls(bool idle);
    // Whether the Start command is enabled; the window asks its command item.
    virtual bool StartEnabled() const { return FIdle; }
    bool Idle() const { return FIdle; }
    bool StopCommandsEnabled() const { return FStopsEnabled; }

    // Asks whether the modified configuration should be saved first; true for Yes.
    bool ConfirmSaveConfig();
    // Offers to save a modified configuration; Yes saves it (the window saves it as its
    // "&Speichern" command does, asking for a name when it has none).
    virtual void AskSaveConfig();
    void DialStartConnection(const std::string& name);
    void HangupStopConnection(const std::string& name);
    bool DialForConfig(int32_t configIndex);
    void HangupForConfig(int32_t configIndex);
    void AppException(const Exception& e);
    void ButtonEndTasksSoftClick();
    void ButtonEndTasksHardClick();
    // The display went away and the program ends: a run stops as Ctrl+F8 stops it and ends as
    // every run ends (the newsgroup lists, the dupes and the run log written, the line hung up),
    // with a line in the run log that names Display; the exit code says that the exchange failed.
    void EndForLostDisplay(const std::string& Display);

    // The exchange run. Ignored while a run is in progress.
    void WMRunToDo();
    bool RunInProgress() const { return FRunInProgress; }

    // Closes the main window, which ends the message loop; refused (false) while a run is in
    // progress (the close query asks the Start command).
    virtual bool CloseWindow();

    // Task callbacks (fixed for every task when it starts).
    static void TaskLogEvent(TKestroCustomClient* task, int32_t taskNo, const std::string& text,
                             bool toRunLog);
    static void TaskStatusEvent(TKestroCustomClient* task, int32_t taskNo);
    static void AddMailLogLine(TKestroCustomClient* task, const std::string& line);

    // Time client handlers.
    void IpTimeClientTime(double timeStamp);
    void IpTimeClientError(const std::string& text);
    void IpTimeClientErrorReply(const std::string& text);

    // Recomputes the status panels and has the window rebuild its task view from TaskList; with
    // throttled set, at most twice a second.
    void UpdateStatusView(bool throttled);

    // A row of the task view: task number, kind ("POP3", "SMTP", "NNTP"), bytes and status.
    struct TTaskRow {
        std::string TaskNo;
        std::string Kind;
        std::string Bytes;
        std::string Status;
    };
    // The rows of the running tasks, as TaskList holds them.
    static std::vector<TTaskRow> TaskRows();

    // Status bar panels: 0 run state and messages, 1 mails, 2 news, 3 bytes, 4 rate.
    const std::string& StatusPanel(int index) const { return FStatusPanels[index]; }
    void SetStatusPanel(int index, const std::string& text);
    // The incoming-mail lines of a run without a window, newest first.
    std::vector<std::string> MailLines;

    std::string CmdDialName;
    // The command line asked for the window to go to the tray once it shows ("tray").
    bool CmdTray = false;
    std::string CmdHangupName;
    int64_t StartTimeMs = 0;  // wall-clock milliseconds at the run's start
    int64_t TotalBytes = 0;
    int64_t LastViewUpdateMs = 0;
    TIpRasDialer RasDialer;
    TIpTimeClient IpTimeClient;
    // Program arguments as given; a run started with arguments closes the window at its end.
    std::vector<std::string> Arguments;

  protected:
    // What the window shows of the run; without a window they do nothing (the mail line is kept
    // in MailLines).
    virtual void RefreshTaskView() {}
    virtual void StatusPanelChanged(int) {}
    virtual void CommandsChanged() {}
    virtual void AddMailLine(const std::string& line);

  private:
    void WndProc(TMessage& message);
    void StartRun();
    // Clears the boxes' spools of the temporary files killed runs left (RemoveStaleBatches,
    // RemoveStaleMails).
    void RemoveStaleSpoolFiles();
    // Stops the run at once: no task starts any more and the running ones are dropped.
    void DropTasks();
    // One walk of the to-do list; true when it started or removed a task.
    bool WalkToDo(bool& timePending);
    // Frees finished tasks; true when it freed one.
    bool ReapTasks();
    void EndRun();
    // Frees a stopped task once none of its handlers runs any more.
    void FreeTask(TKestroCustomClient* task);
    void SetTaskCountStatus();
    void CreateDupeCheck();
    // Waits for the outcome of an asynchronous dial; the dialler's result code.
    int32_t WaitForDial();
    std::string RunLogName() const;

    HWND FHandle = 0;
    bool FRunInProgress = false;
    bool FIdle = true;
    bool FStopsEnabled = false;
    std::string FStatusPanels[5];
    std::unique_ptr<TIpEventLog> FRunLog;
    // Outcome of the dial in progress: -1 while waiting, 0 connected, else the error code.
    int32_t FDialOutcome = -1;
};

// The main window's engine; null before start-up created it and after shut-down.
extern TExchangeRun* RunEngine;

// The configuration open in the main window.
extern std::unique_ptr<TKestroConfig> CurrentConfig;

// Creates the transfer task of a queued POP3, SMTP or NNTP task with the window's callbacks.
TKestroCustomClient* CreateTransferTask(uint8_t kind);
