#include "app/ui/ExchangeRun.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <set>

#include "app/engine/BatchRecords.h"
#include "app/engine/EngineLog.h"
#include "app/engine/FetchedMails.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/SpoolFiles.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/dupecheck.h"
#include "app/engine/nntp.h"
#include "app/engine/pop3.h"
#include "app/engine/smtp.h"
#include "app/ui/MainViews.h"
#include "components/text/WordRoutines.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "platform/system/ProgramDirectory.h"
#include "platform/system/SystemClock.h"
#include "platform/system/Version.h"

TExchangeRun* RunEngine = nullptr;
std::unique_ptr<TKestroConfig> CurrentConfig;

namespace {

constexpr const char* kDialMarker = "kestro.dial";
constexpr const char* kNetcallMarker = "netcall.all";
// The run log's time stamps.
constexpr const char* kRunLogDateTimeFormat = "yyyy.mm.dd hh:nn:ss";
// Longest wait between two passes of a run when nothing happens; events and timers end it early.
constexpr DWORD kIdleWaitMs = 1000;
// How long a dial may take before the run gives up on it (the provider's own time-out is
// normally shorter).
constexpr int64_t kDialWaitLimitMs = 10 * 60 * 1000;
// The task view is rebuilt at most this often from the task callbacks.
constexpr int64_t kViewThrottleMs = 500;
// Once the time server answered, the time client gives up on a silent server after this.
constexpr uint32_t kTimeClientIdleMs = 10000;

const char* const kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

// Wall-clock milliseconds of the program's clock (a fake one in tests).
int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(SystemClock().Now().time_since_epoch()).count();
}

// Date and time in the German short date and long time form: 06.12.2026 22:40:50.
std::string FormatLocalDateTime(const std::tm& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d %02d:%02d:%02d", t.tm_mday, t.tm_mon + 1,
                  t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

std::string FormatDuration(int64_t ms) {
    int64_t seconds = ms < 0 ? 0 : ms / 1000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld",
                  static_cast<long long>((seconds / 3600) % 24),
                  static_cast<long long>((seconds / 60) % 60),
                  static_cast<long long>(seconds % 60));
    return buffer;
}

}  // namespace

TKestroCustomClient* CreateTransferTask(uint8_t kind) {
    TKestroCustomClient* task = nullptr;
    switch (kind) {
        case tkPop3:
            task = new TKestroPOP3Client();
            task->OnNewMail = &TExchangeRun::AddMailLogLine;
            break;
        case tkSmtp:
            task = new TKestroSMTPClient();
            break;
        case tkNntp:
            task = new TKestroNNTPClient();
            break;
        default:
            return nullptr;
    }
    task->OnTaskLog = &TExchangeRun::TaskLogEvent;
    task->OnTaskStatus = &TExchangeRun::TaskStatusEvent;
    return task;
}

TExchangeRun::TExchangeRun() {
    RunEngine = this;
    FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); }, this);
    Application.OnException = [this](const Exception& e) { AppException(e); };
    SetCurrentDir(ProgramDirectory());
    GlobalConfig.Version = FileVersion();
    CmdDialName.clear();
    CmdHangupName.clear();
    FRunLog = std::make_unique<TIpEventLog>(nullptr);
    FRunLog->SetDateTimeFormat(kRunLogDateTimeFormat);
    EventLogObj = FRunLog.get();
    SetEngineLog([this](const std::string& text) { LogEvent(text); });

    RasDialer.OnConnected = [this](TIpCustomRasDialer*) {
        FDialOutcome = 0;
        SetStatusPanel(0, "Dial Status: " + RasDialer.EntryName() + " connected");
    };
    RasDialer.OnDialError = [this](TIpCustomRasDialer*, int32_t error) {
        FDialOutcome = error ? error : -2;
    };
    RasDialer.OnDialStatus = [this](TIpCustomRasDialer*, int32_t status) {
        SetStatusPanel(0, "Dial Status: " + RasDialer.GetStatusText(status));
    };
    RasDialer.OnDisconnected = [this](TIpCustomRasDialer*) {
        SetStatusPanel(0, "Dial Status: " + RasDialer.EntryName() + " disconnected");
    };

    IpTimeClient.SetTimeService(tsTime);
    IpTimeClient.SetSockProtocol(spUdp);
    IpTimeClient.OnTime = [this](TIpCustomTimeClient*, double stamp) { IpTimeClientTime(stamp); };
    IpTimeClient.OnError = [this](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
        IpTimeClientError(text);
    };
    IpTimeClient.OnErrorReply = [this](TIpSockControl*, uintptr_t, int32_t,
                                       const std::string& text) { IpTimeClientErrorReply(text); };

    TaskList.CreateClient = [](const TTask& task) {
        TKestroCustomClient* client = CreateTransferTask(task.Kind);
        if (client) {
            client->ConfigIndex = task.ConfigIndex;
            client->Command = task.Command;
            if (auto* news = dynamic_cast<TKestroNNTPClient*>(client))
                news->GroupListIndex = task.GroupListIndex;
        }
        return client;
    };
    TaskList.StartClient = [](TKestroCustomClient* client, int32_t taskNo) {
        // Start counts as a handler of the task: a stop from a nested pass in it cannot free it.
        TDispatchScope scope(client);
        client->Start(taskNo);
    };
    LastViewUpdateMs = NowMs();
}

TExchangeRun::~TExchangeRun() {
    SetEngineLog(nullptr);
    EventLogObj = nullptr;
    DeallocateHWnd(FHandle);
    if (Application.OnException) Application.OnException = nullptr;
    if (RunEngine == this) RunEngine = nullptr;
}

void TExchangeRun::WndProc(TMessage& message) {
    if (message.Msg == WM_RUNTODO) {
        WMRunToDo();
        return;
    }
    message.Result = DefWindowProc(FHandle, message.Msg, message.WParam, message.LParam);
}

void TExchangeRun::ParseCommandLine(const std::vector<std::string>& args) {
    Arguments = args;
    ResetDupeSettings();
    for (const std::string& arg : args) {
        if (arg.empty() || (arg[0] != '-' && arg[0] != '/')) {
            AddConfigToToDo(arg);
            continue;
        }
        std::string text = arg.substr(1);
        size_t colon = text.find(':');
        std::string name = text.substr(0, colon);
        std::string value = colon == std::string::npos ? std::string() : text.substr(colon + 1);
        for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
        // On this platform "/" also starts paths: only the six option names make an option.
        static const char* const kOptions[] = {"dial", "hangup",  "sendonly",
                                               "cfg",  "cfgonly", "tray"};
        bool known = false;
        for (const char* option : kOptions) known = known || name == option;
        if (arg[0] == '/' && !known) {
            AddConfigToToDo(arg);
            continue;
        }
        if (name == "dial")
            CmdDialName = value;
        else if (name == "hangup")
            CmdHangupName = value.empty() ? CmdDialName : value;
        else if (name == "sendonly")
            OptSendOnly = true;
        else if (name == "cfg")
            OptCfg = true;
        else if (name == "cfgonly")
            OptCfgOnly = true;
        else if (name == "tray")
            CmdTray = true;
        // Other options are ignored.
    }
}

bool TExchangeRun::PostRunIfArguments() {
    if (Arguments.empty() || !StartEnabled()) return false;
    return PostMessage(FHandle, WM_RUNTODO, 0, 0);
}

void TExchangeRun::PostRunToDo() {
    PostMessage(FHandle, WM_RUNTODO, 0, 0);
}

void TExchangeRun::LogEvent(const std::string& text) {
    if (FRunLog) FRunLog->WriteEventString(text);
}

void TExchangeRun::SetIdleControls(bool idle) {
    FIdle = idle;
    FStopsEnabled = !idle;
    CommandsChanged();
}

void TExchangeRun::SetStatusPanel(int index, const std::string& text) {
    FStatusPanels[index] = text;
    StatusPanelChanged(index);
}

void TExchangeRun::AddMailLine(const std::string& line) {
    MailLines.insert(MailLines.begin(), line);
}

void TExchangeRun::AppException(const Exception& e) {
    LogEvent("Exception: " + e.Message());
}

void TExchangeRun::ButtonEndTasksSoftClick() {
    LogEvent("User: Tasks sicher beenden gewählt");
    FStopsEnabled = false;
    CommandsChanged();
    Running = false;
}

void TExchangeRun::ButtonEndTasksHardClick() {
    LogEvent("User: Tasks hart beenden gewählt");
    DropTasks();
}

void TExchangeRun::DropTasks() {
    FStopsEnabled = false;
    CommandsChanged();
    Running = false;
    while (TaskList.Count() > 0) {
        TKestroCustomClient* task = TaskList.GetClient(0);
        TaskList.Remove(0);
        FreeTask(task);
    }
}

void TExchangeRun::EndForLostDisplay(const std::string& Display) {
    SetRunExitCode(ExitCodeError);
    if (!FRunInProgress) return;
    // The run loop that would end the run never gets control back: the run ends here.
    LogEvent("Verbindung zur Anzeige " + Display + " verloren: Tasks hart beenden");
    DropTasks();
    EndRun();
    FRunInProgress = false;
}

void TExchangeRun::FreeTask(TKestroCustomClient* task) {
    // The stop may come from a nested pass inside one of the task's own handlers or its Start:
    // such a task goes once they have returned.
    Application.ReleaseLater(task);
}

bool TExchangeRun::CloseWindow() {
    if (!StartEnabled()) return false;
    Application.Terminate();
    return true;
}

// ---- dialling ------------------------------------------------------------------------------

int32_t TExchangeRun::WaitForDial() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kDialWaitLimitMs);
    while (FDialOutcome == -1 && std::chrono::steady_clock::now() < deadline) {
        if (!Application.ProcessMessages()) Application.WaitForEvent(kIdleWaitMs);
    }
    return FDialOutcome == -1 ? 638 /* timed out */ : FDialOutcome;
}

void TExchangeRun::DialStartConnection(const std::string& name) {
    TStringList active;
    active.SetCaseSensitive(true);
    RasDialer.ListConnections(&active);
    RasDialer.SetEntryName(name);
    if (active.IndexOf(name) < 0) {
        FDialOutcome = -1;
        int32_t result = RasDialer.Dial();
        if (result == 0 && RasDialer.DialMode() == dmAsync) result = WaitForDial();
        if (result != 0)
            LogEvent("Fehler bei Anwahl von " + name + ": " + RasDialer.GetErrorText(result));
        WeDialled = true;
    }
}

void TExchangeRun::HangupStopConnection(const std::string& name) {
    RasDialer.SetEntryName(name);
    RasDialer.Hangup();
}

bool TExchangeRun::DialForConfig(int32_t configIndex) {
    TKestroConfig* cfg = ConfigList.GetConfig(configIndex);
    if (!cfg) return true;
    if (cfg->NetcallAllSupport && FileExists(kDialMarker)) {
        TStringList marker;
        marker.LoadFromFile(kDialMarker);
        cfg->DialName = marker.Count() > 0 ? marker[0] : std::string();
        LogEvent("Datei kestro.dial mit Verbindung " + cfg->DialName + " gelesen");
        WeDialled = true;
        return true;
    }
    if (!cfg->DialOnStart || cfg->DialName.empty()) return true;

    RasDialer.SetEntryName(cfg->DialName);
    TStringList active;
    active.SetCaseSensitive(true);
    RasDialer.ListConnections(&active);
    if (cfg->DialUseConnection || (cfg->NetcallAllSupport && PointFileExists(kNetcallMarker))) {
        if (active.Count() > 0) return true;
    }
    if (active.IndexOf(cfg->DialName) < 0 && cfg->DialAskBefore) {
        int answer = MessageBox("Verbindung " + cfg->DialName + " wählen?", Application.Title,
                                MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) return false;
    }
    FDialOutcome = -1;
    int32_t result = RasDialer.Dial();
    if (result == 0 && RasDialer.DialMode() == dmAsync) result = WaitForDial();
    WeDialled = true;
    if (result != 0) {
        LogEvent("Fehler bei Anwahl von " + cfg->DialName + ": " + RasDialer.GetErrorText(result));
        // Nothing of this box can be exchanged: an unattended caller must not read success.
        SetRunExitCode(ExitCodeError);
        return false;
    }
    // The marker names a connection that is really up, so a later run may take it over.
    if (cfg->NetcallAllSupport) {
        TStringList marker;
        marker.Add(cfg->DialName);
        marker.SaveToFile(kDialMarker);
        LogEvent("Datei kestro.dial mit Verbindung " + cfg->DialName + " geschrieben");
    }
    return true;
}

void TExchangeRun::HangupForConfig(int32_t configIndex) {
    TKestroConfig* cfg = ConfigList.GetConfig(configIndex);
    if (!cfg) return;
    bool markerFound = false;
    if (cfg->NetcallAllSupport) {
        markerFound = PointFileExists(kNetcallMarker);
        LogEvent(markerFound ? "Datei netcall.all wurde gefunden. Verbindung wird nicht beendet"
                             : "Datei netcall.all wurde nicht gefunden");
    }
    if (!cfg->HangupOnExit || markerFound) return;
    if (!WeDialled && !cfg->HangupAlways && !cfg->NetcallAllSupport) return;
    if (cfg->DialName.empty()) return;
    RasDialer.SetEntryName(cfg->DialName);
    bool hangUp = true;
    if (cfg->HangupAskBefore)
        hangUp = MessageBox("Verbindung " + cfg->DialName + " auflegen?", Application.Title,
                            MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (hangUp) RasDialer.Hangup();
    if (FileExists(kDialMarker)) DeleteFile(kDialMarker);
}

// ---- time ------------------------------------------------------------------------------------

void TExchangeRun::IpTimeClientTime(double timeStamp) {
    using namespace std::chrono;
    // Days since 30 December 1899 to seconds since 1970.
    double unixSeconds = (timeStamp - 25569.0) * 86400.0;
    auto when = system_clock::time_point(milliseconds(int64_t(std::llround(unixSeconds * 1000))));
    std::time_t whenT = system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&whenT, &utc);
    std::string remote = std::string(kDayNames[utc.tm_wday]) + ", " + FormatLocalDateTime(utc);

    TSetTimeResult result = SystemClock().SetSystemTime(when);
    if (result == TSetTimeResult::Failed)
        LogEvent("Error: Could not set system time! Maybe not enough security privileges?");
    else if (result == TSetTimeResult::Disabled)
        LogEvent("Systemzeit nicht gestellt (KESTRO_CLOCK=none): " + remote + " UTC");
    LogEvent("Remote Zeit: " + remote + ", Coordinated Universal Time (UTC)");

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    tzset();
    std::string zone;
    if (local.tm_isdst == 0 && tzname[0])
        zone = std::string(", ") + tzname[0];
    else if (local.tm_isdst > 0 && tzname[1])
        zone = std::string(", ") + tzname[1];
    LogEvent("Lokale Zeit: " + std::string(kDayNames[local.tm_wday]) + ", " +
             FormatLocalDateTime(local) + zone);
}

void TExchangeRun::IpTimeClientError(const std::string& text) {
    LogEvent("TimeClient Error: " + text);
}

void TExchangeRun::IpTimeClientErrorReply(const std::string& text) {
    LogEvent("TimeClient Reply Error: " + text);
}

// ---- task callbacks ----------------------------------------------------------------------------

void TExchangeRun::TaskLogEvent(TKestroCustomClient*, int32_t taskNo, const std::string& text,
                                bool toRunLog) {
    int row = TaskList.TaskNos.IndexOf(std::to_string(taskNo));
    if (row >= 0) TaskList.Statuses.SetString(row, text);
    if (!RunEngine) return;
    if (toRunLog) RunEngine->LogEvent(text);
    RunEngine->UpdateStatusView(true);
}

void TExchangeRun::TaskStatusEvent(TKestroCustomClient* task, int32_t taskNo) {
    int row = TaskList.TaskNos.IndexOf(std::to_string(taskNo));
    if (row >= 0 && task) TaskList.ByteCounts.SetString(row, std::to_string(task->Bytes));
    if (RunEngine) RunEngine->UpdateStatusView(true);
}

void TExchangeRun::AddMailLogLine(TKestroCustomClient*, const std::string& line) {
    if (RunEngine) RunEngine->AddMailLine(line);
}

std::vector<TExchangeRun::TTaskRow> TExchangeRun::TaskRows() {
    std::vector<TTaskRow> rows;
    for (int32_t i = 0; i < TaskList.Count(); ++i) {
        const TKestroCustomClient* task = TaskList.GetClient(i);
        const char* kind = dynamic_cast<const TKestroPOP3Client*>(task)   ? "POP3"
                           : dynamic_cast<const TKestroSMTPClient*>(task) ? "SMTP"
                           : dynamic_cast<const TKestroNNTPClient*>(task) ? "NNTP"
                                                                          : "";
        rows.push_back({TaskList.TaskNos[i], kind, TaskList.ByteCounts[i], TaskList.Statuses[i]});
    }
    return rows;
}

void TExchangeRun::UpdateStatusView(bool throttled) {
    const int64_t now = NowMs();
    if (throttled && now - LastViewUpdateMs < kViewThrottleMs) return;
    LastViewUpdateMs = now;
    int64_t sum = 0;
    for (int i = 0; i < TaskList.ByteCounts.Count(); ++i)
        sum += ByteCountOfText(TaskList.ByteCounts[i]);
    const int64_t bytes = TotalBytes + sum;
    SetStatusPanel(1, MailCountPanel(MailCount));
    SetStatusPanel(2, NewsCountPanel(NewsCount));
    SetStatusPanel(3, ByteCountPanel(bytes, LocaleDecimalSeparator()));
    SetStatusPanel(4, RatePanel(bytes, StartTimeMs, now));
    RefreshTaskView();
    // The window repaints and takes the user's input between the tasks' reports; the socket
    // layer expects such a pass inside its handlers, and a nested WM_RUNTODO starts no run.
    Application.ProcessMessages();
}

// ---- the run -----------------------------------------------------------------------------------

std::string TExchangeRun::RunLogName() const {
    switch (PointProgramType) {
        case ptOpenXP:
            return "xpclient.log";
        case ptXP2:
            return "xp-ppp.log";
        default:
            return "kestro.log";
    }
}

void TExchangeRun::SetTaskCountStatus() {
    SetStatusPanel(0, "Es sind noch " + std::to_string(TaskList.Count() + TaskQueue.Count()) +
                          " Tasks in der ToDo-Liste...");
}

void TExchangeRun::CreateDupeCheck() {
    DupeCheck = nullptr;
    if (DupeMaxSize < 1) return;
    TCustomDupecheck* check;
    const char* kind;
    if (DupeType == 0) {
        check = new TCRCDupecheck();
        kind = "CRC";
    } else if (DupeType == 1) {
        check = new TMD5Dupecheck();
        kind = "MD5";
    } else {
        check = new TMIDDupecheck();
        kind = "Message-ID";
    }
    DupeCheck = check;
    LogEvent(std::string("Nutze ") + kind + " Dupedatenbank (" + std::to_string(DupeMaxSize) +
             " Einträge)");
    check->Dir = ProgramDirectory();
    check->MaxEntries = DupeMaxSize;
    check->Load();
}

bool TExchangeRun::ConfirmSaveConfig() {
    return MessageBox(
               "Ihre Konfiguration ist noch nicht gespeichert. Möchten Sie diese jetzt speichern?",
               Application.Title, MB_YESNO | MB_ICONWARNING) == IDYES;
}

void TExchangeRun::AskSaveConfig() {
    if (ConfirmSaveConfig() && !CurrentConfig->FileName.empty()) CurrentConfig->Save();
}

void TExchangeRun::StartRun() {
    if (CurrentConfig && CurrentConfig->Modified) AskSaveConfig();
    if (CurrentConfig && !CurrentConfig->FileName.empty()) AddConfigToToDo(CurrentConfig->FileName);

    if (!FRunLog) {
        FRunLog = std::make_unique<TIpEventLog>(nullptr);
        FRunLog->SetDateTimeFormat(kRunLogDateTimeFormat);
    }
    EventLogObj = FRunLog.get();
    FRunLog->SetFileName(ProgramDirectory() + RunLogName());
    FRunLog->SetEnabled(GlobalConfig.EventLog);
    LogEvent("Kestro V" + GlobalConfig.Version + " gestartet");

    StartTimeMs = NowMs();
    TotalBytes = 0;
    MailCount = 0;
    NewsCount = 0;
    Pop3Busy = 0;
    SmtpBusy = 0;
    Running = true;
    WeDialled = false;
}

bool TExchangeRun::WalkToDo(bool& timePending) {
    bool changed = false;
    TTask* task = TaskQueue.First();
    int32_t maxThreads = GlobalConfig.EffectiveMaxThreads();
    while (Running && task && TaskList.Count() < maxThreads) {
        bool removed = false;
        switch (task->Kind) {
            case tkDial:
                if (TaskList.Count() > 0) return changed;  // the dial waits for the running tasks
                if (!DialForConfig(task->ConfigIndex)) {
                    Running = false;
                    TaskQueue.DeleteCurrent();
                    return true;
                }
                TaskQueue.DeleteCurrent();
                removed = true;
                break;
            case tkHangup:
                if (TaskList.Count() > 0) return changed;
                HangupForConfig(task->ConfigIndex);
                TaskQueue.DeleteCurrent();
                removed = true;
                break;
            case tkPop3:
            case tkSmtp:
                if (timePending && !GlobalConfig.TimeServer.empty()) {
                    IpTimeClient.Server = GlobalConfig.TimeServer;
                    IpTimeClient.RequestTime();
                    // A datagram client counts as connected once its request is out.
                    timePending = false;
                }
                TaskList.StartTask(*task);
                TaskQueue.DeleteCurrent();
                removed = true;
                break;
            case tkNntp: {
                TKestroConfig* cfg = ConfigList.GetConfig(task->ConfigIndex);
                const bool postingWaits =
                    cfg && task->Command == NntpCmdSendNews && NntpPostingBusy(*cfg);
                if (cfg && cfg->NntpRunning < cfg->NntpMaxThreads && !postingWaits) {
                    TaskList.StartTask(*task);
                    TaskQueue.DeleteCurrent();
                    removed = true;
                }
                break;
            }
            default:
                TaskQueue.DeleteCurrent();
                removed = true;
                break;
        }
        changed = changed || removed;
        task = TaskQueue.Next();
    }
    return changed;
}

bool TExchangeRun::ReapTasks() {
    bool freed = false;
    for (int32_t row = 0; row < TaskList.Count(); ++row) {
        TKestroCustomClient* task = TaskList.GetClient(row);
        if (!task || task->State != TKestroCustomClient::tsFinished || task->HandlerRunning() ||
            task->DispatchDepth() > 0)
            continue;
        TotalBytes += task->Bytes;
        TaskList.Remove(row);
        delete task;
        freed = true;
        SetTaskCountStatus();
        // The row that moved into this place is looked at in the next pass.
    }
    return freed;
}

void TExchangeRun::EndRun() {
    // No handler runs at this level any more: whatever a stop left behind can go now.
    Application.FreeReleased();
    LastViewUpdateMs = 0;
    UpdateStatusView(false);
    SetStatusPanel(0, "Die ToDo-Liste ist abgearbeitet");
    auto guarded = [this](const char* what, auto&& step) {
        try {
            step();
        } catch (const std::exception& e) {
            LogEvent(std::string(what) + e.what());
            SetRunExitCode(ExitCodeError);
        }
    };
    guarded("Exception: ", [&] {
        if (!CmdHangupName.empty() && WeDialled) HangupStopConnection(CmdHangupName);
    });
    LogEvent("Onlinezeit: " + FormatDuration(NowMs() - StartTimeMs) + ", " +
             std::to_string(MailCount) + " Mails und " + std::to_string(NewsCount) +
             " News bearbeitet");
    EventLogObj = nullptr;
    FRunLog.reset();
    SetIdleControls(true);
    guarded("Exception: ", [&] { NNTPTasks.SaveAndClear(); });
    guarded("Exception: ", [&] {
        if (DupeCheck) {
            std::unique_ptr<TCustomDupecheck> check(DupeCheck);
            DupeCheck = nullptr;
            check->Save();
        }
    });
    if (!Arguments.empty()) CloseWindow();
}

void TExchangeRun::RemoveStaleSpoolFiles() {
    // A mail's temporary file that a box's list of fetched mails names tells that the mail was
    // never stored, empty or not (FetchedMails.h): it is not ours to clear away.
    std::set<std::string> mailTemps;
    bool listsRead = true;
    for (int32_t index = 0; index < ConfigList.Count(); ++index) {
        const TKestroConfig* config = ConfigList.GetConfig(index);
        if (!config) continue;
        try {
            TFetchedMails::AddTempNames(TFetchedMails::FileNameFor(config->FileName), mailTemps);
        } catch (const std::exception& e) {
            LogEvent(std::string("Warnung: ") + e.what());
            listsRead = false;
        }
    }
    // What is left of batches and mails under a temporary name now belongs to no record: a
    // fetch that was killed. Nothing of this run writes one yet; another Kestro's are held
    // (SafeFile.h).
    const std::set<std::string>* named = listsRead ? &mailTemps : nullptr;
    for (int32_t index = 0; index < ConfigList.Count(); ++index) {
        const TKestroConfig* config = ConfigList.GetConfig(index);
        if (!config) continue;
        if (!config->NntpSpool.empty() && DirectoryExists(config->NntpSpool))
            RemoveStaleBatches(config->NntpSpool, named);
        if (!config->Pop3Spool.empty() && DirectoryExists(config->Pop3Spool))
            RemoveStaleMails(config->Pop3Spool, named);
    }
}

void TExchangeRun::WMRunToDo() {
    if (FRunInProgress) return;  // no run inside a run
    FRunInProgress = true;
    // A run writes thousands of spool files and looks each new name up ignoring case: its
    // directories are read once, not asked for every spelling of every name.
    TDirectoryNameCache directoryNames;
    try {
        StartRun();
        // Batches a killed run left half stored are settled before anything reads the dupe
        // database or fetches a group.
        RecoverNewsBatches(ProgramDirectory());
        RemoveStaleSpoolFiles();
        if (!CmdDialName.empty()) DialStartConnection(CmdDialName);
        IpTimeClient.Server = GlobalConfig.TimeServer;
        CreateDupeCheck();
    } catch (const std::exception& e) {
        // A run that cannot start (dupe file unreadable, ...) still ends properly.
        LogEvent(std::string("Exception: ") + e.what());
        SetRunExitCode(ExitCodeError);
        Running = false;
    }
    SetIdleControls(false);
    bool timePending = true;

    for (;;) {
        bool delivered = Application.ProcessMessages();
        bool changed = false;
        try {
            changed = WalkToDo(timePending);
        } catch (const std::exception& e) {
            LogEvent(std::string("ToDoManager Exception: ") + e.what());
            Running = false;
        }
        SetTaskCountStatus();
        try {
            changed = ReapTasks() || changed;
        } catch (const std::exception& e) {
            LogEvent(std::string("TaskManager Exception: ") + e.what());
            Running = false;
        }
        if (timePending && IpTimeClient.IsConnected()) {
            timePending = false;
            IpTimeClient.SetSocketIdleTimeout(kTimeClientIdleMs);
        }
        if (TaskList.Count() == 0 && (TaskQueue.Count() == 0 || !Running)) break;
        // Nothing happened in this pass: sleep until a socket, timer or message wakes us.
        if (!delivered && !changed) Application.WaitForEvent(kIdleWaitMs);
    }
    // A run ended from a handler (the display went) is over already.
    if (!FRunInProgress) return;
    EndRun();
    FRunInProgress = false;
}
