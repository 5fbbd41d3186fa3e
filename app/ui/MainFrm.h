#pragma once
// The main window's engine: start-up of the window, the command line, the exchange run (the
// handler of WM_RUNTODO), dialling and hanging up, the time query, the stop commands and the
// task callbacks. What the window shows (views, dialogs) builds on these members.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/bfgconfig.h"
#include "bars/dxBar.h"
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

// A plain menu command (the task view's context menu): enabled flag and click.
struct TMenuCommand {
    bool Enabled = true;
};

class TFormMain : public TReleasable {
  public:
    TFormMain();
    ~TFormMain() override;

    HWND Handle() const { return FHandle; }

    // Reads the arguments (without the program name): boxes are queued at once with the options
    // read before them.
    void ParseCommandLine(const std::vector<std::string>& args);
    // Posts WM_RUNTODO when the command line had arguments and Start is enabled; true if posted.
    bool PostRunIfArguments();

    // Writes a line to the run log while one exists.
    void LogEvent(const std::string& text);
    void SetIdleControls(bool idle);
    void DialStartConnection(const std::string& name);
    void HangupStopConnection(const std::string& name);
    bool DialForConfig(int32_t configIndex);
    void HangupForConfig(int32_t configIndex);
    void AppException(const Exception& e);
    void ButtonEndTasksSoftClick();
    void ButtonEndTasksHardClick();

    // The exchange run. Ignored while a run is in progress.
    void WMRunToDo();
    bool RunInProgress() const { return FRunInProgress; }

    // Closes the window when no run is in progress (the close query asks the Start command);
    // closing the main window ends the message loop.
    bool Close();

    // Task callbacks (fixed for every task when it starts).
    static void TaskLogEvent(TKestroCustomClient* task, int32_t taskNo, const std::string& text,
                             bool toRunLog);
    static void TaskStatusEvent(TKestroCustomClient* task, int32_t taskNo);
    static void AddMailLogLine(TKestroCustomClient* task, const std::string& line);

    // Time client handlers.
    void IpTimeClientTime(double timeStamp);
    void IpTimeClientError(const std::string& text);
    void IpTimeClientErrorReply(const std::string& text);

    // The task view is redrawn from these rows by the visible window; throttled to twice a second.
    void UpdateStatusView(bool throttled);
    virtual void RefreshTaskView() {}

    // Commands: the bar manager and its items as the window's definition declares them, on a
    // form of their own until the window itself is a form.
    TForm* BarsForm() const { return FBarsForm; }
    TdxBarManager* BarManager = nullptr;
    TdxBarButton* BarButtonStart = nullptr;
    TdxBarButton* BarButtonMultiStart = nullptr;
    TdxBarButton* BarButtonExit = nullptr;
    TMenuCommand ButtonEndTasksSoft;
    TMenuCommand ButtonEndTasksHard;

    // Status bar panels: 0 run state and messages, 1 mails, 2 news, 3 bytes, 4 rate.
    std::string StatusPanels[5];
    // The incoming-mail list, newest first.
    std::vector<std::string> LogList;
    std::string Caption;

    std::string CmdDialName;
    std::string CmdHangupName;
    int64_t StartTimeMs = 0;  // wall-clock milliseconds at the run's start
    int64_t TotalBytes = 0;
    int64_t LastViewUpdateMs = 0;
    TIpRasDialer RasDialer;
    TIpTimeClient IpTimeClient;
    // Program arguments as given; a run started with arguments closes the window at its end.
    std::vector<std::string> Arguments;

  private:
    void WndProc(TMessage& message);
    void StartRun();
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
    // Reads the bar manager and its items from the window's definition.
    void CreateBars();
    TdxBarButton* BarButton(const std::string& Name) const;

    HWND FHandle = 0;
    TForm* FBarsForm = nullptr;
    bool FRunInProgress = false;
    std::unique_ptr<TIpEventLog> FRunLog;
    // Outcome of the dial in progress: -1 while waiting, 0 connected, else the error code.
    int32_t FDialOutcome = -1;
};

// The program's main window; null before start-up created it and after shut-down.
extern TFormMain* FormMain;

// The configuration open in the main window.
extern std::unique_ptr<TKestroConfig> CurrentConfig;

// Creates the transfer task of a queued POP3, SMTP or NNTP task with the window's callbacks.
TKestroCustomClient* CreateTransferTask(uint8_t kind);
