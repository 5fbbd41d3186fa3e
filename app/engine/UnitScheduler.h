#pragma once
// The queue a run works off and the rules that fill it: queued jobs (TTask), the to-do list with
// its cursor, every box loaded since start-up (TConfigList), the running transfer tasks with the
// rows of the task view (TTaskList), the newsgroup lists of a run (TNNTPTasks), and the step
// that queues a box with its fallback and further boxes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/bfgconfig.h"
#include "platform/classes/Classes.h"

// Task kinds, in the numbering the task view and the run loop use.
enum : uint8_t { tkNone = 0, tkDial = 1, tkHangup = 2, tkPop3 = 3, tkSmtp = 4, tkNntp = 5 };

// Commands of NNTP tasks other than a range of the newsgroup list ("<first> <last>").
inline constexpr const char* NntpCmdGetGroups = "GetGroups";
inline constexpr const char* NntpCmdSendNews = "SendNews";
inline constexpr const char* NntpCmdGetMsgIDs = "GetMsgIDs";

// One queued job.
class TTask {
  public:
    uint8_t Kind = tkNone;
    int32_t ConfigIndex = -1;    // the box in ConfigList
    std::string Command;         // NNTP only
    int32_t TaskNo = 0;          // queue length + 1 when queued; shown in the task view
    int32_t GroupListIndex = 0;  // NNTP range tasks: the box's list in NNTPTasks
};

// The queue of a run, with the cursor of the run loop's walk.
class TToDoList {
  public:
    std::vector<std::unique_ptr<TTask>> Items;
    int32_t Cursor = 0;

    int32_t Count() const { return int32_t(Items.size()); }
    TTask* Task(int32_t index) const;
    // Cursor := 0; the first task, or null.
    TTask* First();
    // Advances the cursor; the task there, or null past the end.
    TTask* Next();
    // Removes the task at the cursor and sets the cursor before the front, so that the next
    // Next starts the walk again at the first task.
    void DeleteCurrent();
    void Clear();

    // Appends the tasks of one kind for the box at configIndex of ConfigList.
    void AddTasks(uint8_t kind, int32_t configIndex);

  private:
    TTask& Append(uint8_t kind, int32_t configIndex);
    void AddNntpTasks(const TKestroConfig& config, int32_t configIndex);
};

// Every box loaded since start-up. Tasks refer to their box by index, so entries are never
// removed and every queueing loads a fresh entry.
class TConfigList {
  public:
    // Loads the box (reading its .bfg too) into a new slot and returns the slot's index. A load
    // that fails raises and leaves the slot empty; later indexes stay valid.
    int32_t Add(const std::string& boxName);
    // The box at index: null for a slot whose load failed; ERangeError outside the list.
    TKestroConfig* GetConfig(int32_t index) const;
    int32_t Count() const { return int32_t(Configs.size()); }
    void FreeAll() { Configs.clear(); }

  private:
    std::vector<std::unique_ptr<TKestroConfig>> Configs;
};

// The transfer-task base; defined with the transfer tasks.
class TKestroCustomClient;

// The running transfer tasks and the task view's rows, one row per task in four parallel lists.
// The clients are not owned: the run loop frees them.
class TTaskList {
  public:
    std::vector<TKestroCustomClient*> Clients;
    TStringList TaskNos;     // the task number as decimal text
    TStringList Statuses;    // last status text
    TStringList ByteCounts;  // byte count as text

    // Installed by the transfer-task unit: creates the client of a POP3, SMTP or NNTP task with
    // its callbacks, box index and (NNTP) command and list index set; null for other kinds.
    std::function<TKestroCustomClient*(const TTask& task)> CreateClient;
    // Installed by the transfer-task unit: calls the client's Start with the task number.
    std::function<void(TKestroCustomClient* client, int32_t taskNo)> StartClient;

    // Creates the client for the task, adds its row, and only then starts it, so that the
    // task's first status already finds its row. Kinds other than 3, 4 and 5 do nothing.
    void StartTask(const TTask& task);
    // Deletes the row at index from all four lists (the caller frees the client).
    void Remove(int32_t index);
    int32_t Count() const { return int32_t(Clients.size()); }
    TKestroCustomClient* GetClient(int32_t index) const;
};

// The newsgroup lists of a run, one per queueing of a box, written back when the run ends.
class TNNTPTasks {
  public:
    TNNTPTasks() = default;
    ~TNNTPTasks();
    TNNTPTasks(const TNNTPTasks&) = delete;
    TNNTPTasks& operator=(const TNNTPTasks&) = delete;

    std::vector<std::unique_ptr<TStringList>> Lists;
    std::vector<std::string> FileNames;
    // Lists registered; the next list goes to index Count. Advanced by AddTasks.
    int32_t Count = 0;

    // Loads the file into a new list at index Count; a missing or unreadable file raises.
    void AddList(const std::string& fileName);
    TStringList* GetList(int32_t index) const;
    // Writes the list at index to its file now (through a temporary file and a rename), so
    // that a run killed later does not fetch again what it has stored.
    void SaveList(int32_t index) const;
    // Writes every list back to its file in index order (comments and untouched lines keep
    // their text and place) and frees them all. A file that cannot be written does not stop the
    // others; the first such error is raised once all lists are done.
    void SaveAndClear();
};

// Program-wide instances.
extern TToDoList TaskQueue;
extern TConfigList ConfigList;
extern TTaskList TaskList;
extern TNNTPTasks NNTPTasks;

// The largest dupe database size and the dupe kind of the boxes queued since the last reset.
extern int32_t DupeMaxSize;
extern int32_t DupeType;

// Forgets the dupe values of earlier queueings.
void ResetDupeSettings();

// Queues a box with its fallback boxes and its further boxes. A box that cannot be loaded is
// reported through the message-box service and skipped; the other boxes are still queued.
void AddConfigToToDo(const std::string& boxName);
