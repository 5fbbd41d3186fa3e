#include "app/engine/UnitScheduler.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <set>

#include "app/engine/EngineLog.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/Limits.h"
#include "app/engine/RunState.h"
#include "app/engine/SafeFile.h"
#include "components/text/WordRoutines.h"
#include "netlib/base/IpUtils.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "platform/system/ProgramDirectory.h"

// The queue and the box list are defined before the lists that refer to boxes, so that the box
// list goes first at shut-down.
TToDoList TaskQueue;
TConfigList ConfigList;
TTaskList TaskList;
TNNTPTasks NNTPTasks;

int32_t DupeMaxSize = 0;
int32_t DupeType = 0;

namespace {

// What makes two box names the same box: the absolute path without extension, ignoring case
// (the file layer finds names in any case, and Load replaces the extension anyway).
std::string BoxIdentity(const std::string& name) {
    return LowerAscii(ChangeFileExt(ExpandFileName(name), ""));
}

void ReportLoadFailure(const std::string& name) {
    ShowMessage("Fehler: Konfig-Datei " + name + " konnte nicht geladen werden");
    // Nothing of this box is exchanged: an unattended caller must not read success.
    SetRunExitCode(ExitCodeError);
}

// Loads the fallback box named by name for the box main and queues its sending task of kind:
// a fallback box sends main's outgoing files through its own server.
void QueueFallback(const std::string& name, const TKestroConfig& main, uint8_t kind) {
    int32_t index;
    try {
        index = ConfigList.Add(name);
    } catch (const EConfigError&) {
        ReportLoadFailure(name);
        return;
    }
    TKestroConfig& fallback = *ConfigList.GetConfig(index);
    fallback.IsFallback = true;
    if (kind == tkSmtp)
        fallback.SmtpSpool = main.SmtpSpool;
    else
        fallback.NntpSpool = main.NntpSpool;
    TaskQueue.AddTasks(kind, index);
}

// Writes the list to its file through a temporary file, so that a failed write (or a run killed
// in the middle of it) leaves the old file whole.
void SaveListFile(const TStringList& list, const std::string& fileName) {
    WriteFileAtomic(fileName, list.Text());
}

}  // namespace

// ---- TToDoList ----------------------------------------------------------------------------------

TTask* TToDoList::Task(int32_t index) const {
    if (index < 0 || index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    return Items[size_t(index)].get();
}

TTask* TToDoList::First() {
    Cursor = 0;
    return Items.empty() ? nullptr : Items.front().get();
}

TTask* TToDoList::Next() {
    ++Cursor;
    return Cursor >= 0 && Cursor < Count() ? Items[size_t(Cursor)].get() : nullptr;
}

void TToDoList::DeleteCurrent() {
    Task(Cursor);  // raises for a cursor outside the queue
    Items.erase(Items.begin() + Cursor);
    Cursor = -1;
}

void TToDoList::Clear() {
    Items.clear();
    Cursor = 0;
}

TTask& TToDoList::Append(uint8_t kind, int32_t configIndex) {
    auto task = std::make_unique<TTask>();
    task->Kind = kind;
    task->ConfigIndex = configIndex;
    task->TaskNo = Count() + 1;
    Items.push_back(std::move(task));
    return *Items.back();
}

void TToDoList::AddTasks(uint8_t kind, int32_t configIndex) {
    const TKestroConfig* config = ConfigList.GetConfig(configIndex);
    if (!config) throw ERangeError("Keine Konfiguration an Index " + std::to_string(configIndex));
    if (kind == tkNntp) {
        AddNntpTasks(*config, configIndex);
        return;
    }
    // The run's dupe database must serve every box queued, whatever tasks it gets.
    DupeMaxSize = std::max(DupeMaxSize, config->NntpDupeSize);
    if (config->NntpDupeType == 1 || config->NntpDupeType == 2) DupeType = config->NntpDupeType;

    bool queue = false;
    switch (kind) {
        case tkDial:
            queue = config->DialOnStart && !config->DialName.empty();
            break;
        case tkHangup:
            queue = config->HangupOnExit && !config->DialName.empty();
            break;
        case tkPop3:
            queue = !config->Pop3Server.empty() && !OptSendOnly;
            break;
        case tkSmtp:
            queue = !config->SmtpServer.empty();
            break;
        default:
            break;
    }
    if (queue) Append(kind, configIndex);
}

void TToDoList::AddNntpTasks(const TKestroConfig& config, int32_t configIndex) {
    if (config.NntpServer.empty()) return;
    if (config.NntpGetNewsList && !config.IsFallback)
        Append(tkNntp, configIndex).Command = NntpCmdGetGroups;
    if (config.NntpPosting) Append(tkNntp, configIndex).Command = NntpCmdSendNews;
    if (OptSendOnly || config.IsFallback) return;
    Append(tkNntp, configIndex).Command = NntpCmdGetMsgIDs;

    std::string rcName = ChangeFileExt(config.FileName, ".rc");
    if (!FileExists(rcName)) rcName = ProgramDirectory() + ExtractFileName(rcName);
    if (!FileExists(rcName)) return;

    NNTPTasks.AddList(rcName);
    const int32_t lines = NNTPTasks.GetList(NNTPTasks.Count)->Count();
    // About three ranges per task slot, so that slots freed by quick groups find more work.
    const int32_t chunk = lines / GlobalConfig.EffectiveMaxThreads() / 3 + 1;
    for (int32_t first = 0; first < lines; first += chunk) {
        const int32_t last = std::min(first + (chunk - 1), lines - 1);
        TTask& task = Append(tkNntp, configIndex);
        task.Command = std::to_string(first) + " " + std::to_string(last);
        task.GroupListIndex = NNTPTasks.Count;
    }
    ++NNTPTasks.Count;
}

// ---- TConfigList --------------------------------------------------------------------------------

int32_t TConfigList::Add(const std::string& boxName) {
    Configs.emplace_back();
    const int32_t index = Count() - 1;
    auto config = std::make_unique<TKestroConfig>();
    config->Load(boxName, true);
    Configs[size_t(index)] = std::move(config);
    return index;
}

TKestroConfig* TConfigList::GetConfig(int32_t index) const {
    if (index < 0 || index >= Count())
        throw ERangeError("Konfigurationsindex außerhalb des Bereichs (" + std::to_string(index) +
                          ")");
    return Configs[size_t(index)].get();
}

// ---- TTaskList ----------------------------------------------------------------------------------

void TTaskList::StartTask(const TTask& task) {
    if (task.Kind != tkPop3 && task.Kind != tkSmtp && task.Kind != tkNntp) return;
    if (!CreateClient) return;
    TKestroCustomClient* client = CreateClient(task);
    if (!client) return;
    Clients.push_back(client);
    TaskNos.Add(std::to_string(task.TaskNo));
    Statuses.Add(std::string());
    ByteCounts.Add(std::string());
    if (StartClient) StartClient(client, task.TaskNo);
}

void TTaskList::Remove(int32_t index) {
    GetClient(index);  // raises for a row that does not exist
    Clients.erase(Clients.begin() + index);
    TaskNos.Delete(index);
    Statuses.Delete(index);
    ByteCounts.Delete(index);
}

TKestroCustomClient* TTaskList::GetClient(int32_t index) const {
    if (index < 0 || index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    return Clients[size_t(index)];
}

// ---- TNNTPTasks ---------------------------------------------------------------------------------

TNNTPTasks::~TNNTPTasks() {
    try {
        SaveAndClear();
    } catch (...) {
        // Shut-down goes on; the run's end step has reported write errors already.
    }
}

void TNNTPTasks::AddList(const std::string& fileName) {
    const size_t slots = size_t(Count) + 1;
    if (Lists.size() < slots) Lists.resize(slots);
    if (FileNames.size() < slots) FileNames.resize(slots);
    auto list = std::make_unique<TStringList>();
    LoadListFile(*list, fileName);
    Lists[size_t(Count)] = std::move(list);
    FileNames[size_t(Count)] = fileName;
}

TStringList* TNNTPTasks::GetList(int32_t index) const {
    if (index < 0 || size_t(index) >= Lists.size())
        throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    return Lists[size_t(index)].get();
}

void TNNTPTasks::SaveList(int32_t index) const {
    const TStringList* list = GetList(index);
    if (list) SaveListFile(*list, FileNames[size_t(index)]);
}

void TNNTPTasks::SaveAndClear() {
    std::exception_ptr firstError;
    for (size_t i = 0; i < Lists.size(); ++i) {
        if (!Lists[i]) continue;
        try {
            SaveListFile(*Lists[i], FileNames[i]);
        } catch (...) {
            if (!firstError) firstError = std::current_exception();
        }
    }
    Lists.clear();
    FileNames.clear();
    Count = 0;
    if (firstError) std::rethrow_exception(firstError);
}

// ---- Queueing -----------------------------------------------------------------------------------

void ResetDupeSettings() {
    DupeType = 0;
    DupeMaxSize = 0;
}

void AddConfigToToDo(const std::string& boxName) {
    std::deque<std::string> work{boxName};
    // Further boxes may name each other; each box is queued once per call.
    std::set<std::string> queued;
    int32_t boxes = 0;
    while (!work.empty()) {
        const std::string name = work.front();
        work.pop_front();
        if (!queued.insert(BoxIdentity(name)).second) {
            EngineLog("Konfig-Datei " + name + " ist bereits eingereiht und wird übersprungen");
            continue;
        }
        if (++boxes > KestroLimits::kMaxBoxesPerQueueing) {
            EngineLog("Zu viele weitere Boxen, Konfig-Datei " + name + " wird übersprungen");
            continue;
        }
        int32_t index;
        try {
            index = ConfigList.Add(name);
        } catch (const EConfigError&) {
            ReportLoadFailure(name);
            continue;
        }
        for (uint8_t kind : {tkDial, tkPop3, tkSmtp, tkNntp, tkHangup})
            TaskQueue.AddTasks(kind, index);

        const TKestroConfig& main = *ConfigList.GetConfig(index);
        if (!main.MailFallback.empty()) QueueFallback(main.MailFallback, main, tkSmtp);
        if (!main.NewsFallback.empty()) QueueFallback(main.NewsFallback, main, tkNntp);

        const std::string delimiters = " \t";
        const uint32_t words = CountWords(main.AddServers, delimiters);
        for (uint32_t i = 1; i <= words; ++i)
            work.push_back(ExtractWord(i, main.AddServers, delimiters));
    }
}
