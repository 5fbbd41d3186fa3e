#include "app/engine/nntp.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <set>
#include <utility>

#include "app/engine/BatchRecords.h"
#include "app/engine/ExitPoints.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/bfgconfig.h"
#include "app/engine/dupecheck.h"
#include "components/text/WordRoutines.h"
#include "netlib/base/IpUtils.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

const char* const NntpNotice::From = "Kestro Client";
const char* const NntpNotice::Recipient = "kestro@localhost";

namespace {

// Header line that tells the point program an article holds its head only.
constexpr const char* kHdrOnlyMark = "X-XP-Mode: HdrOnly";
constexpr const char* kNewGroupsMark = "!new_groups:";

// A line number of a range command; anything but a number is an error.
int32_t StrictLineNumber(const std::string& text) {
    int64_t value = ToInt64Def(text, INT64_MIN);
    if (value < INT32_MIN || value > INT32_MAX)
        throw Exception("'" + text + "' is not a valid integer value");
    return int32_t(value);
}

// "Sun, 06 Dec 26 22:34": the notices' date, in the local time.
std::string NoticeDate() {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %02d %02d:%02d", days[tm.tm_wday % 7],
                  tm.tm_mday, months[tm.tm_mon % 12], tm.tm_year % 100, tm.tm_hour, tm.tm_min);
    return buffer;
}

std::string GroupListHeader() {
    int64_t now = std::time(nullptr);
    return std::string(kNewGroupsMark) + FormatNntpDate(now) + " " + FormatNntpTime(now);
}

int32_t StatusCode(const std::string& line) {
    return int32_t(ToInt64Def(line.substr(0, 3), 0));
}

std::string AfterCode(const std::string& line) {
    return line.size() > 4 ? line.substr(4) : "";
}

// The server refused a post because it holds an article with that Message-ID already: the
// article is there, from an earlier run that ended before it could delete its file. INN
// passes its own transfer code on in the text of its refusal ("441 435 Duplicate"); a bare 435
// or 437 says the same. 437 also turns articles away for other reasons ("437 Unwanted
// newsgroup"), which are no delivery: with 437 only a duplicate counts.
bool AlreadyPosted(int32_t Code, const std::string& Text) {
    std::string Reason = Text;
    if (Code == 441) {
        Code = StatusCode(Text);
        Reason = AfterCode(Text);
        if (Text.size() > 3 && Text[3] != ' ') return false;
    }
    if (Code == 435) return true;
    return Code == 437 && LowerAscii(Reason).find("duplicate") != std::string::npos;
}

// The spool directories whose outgoing news a task is posting now.
std::multiset<std::string> gPostingSpools;

std::string PostingKey(const std::string& nntpSpool) {
    return nntpSpool.empty() ? ProgramDirectory() : IncludeTrailingPathDelimiter(nntpSpool);
}

}  // namespace

bool NntpPostingBusy(const TKestroConfig& box) {
    return gPostingSpools.count(PostingKey(box.NntpSpool)) > 0;
}

void AddGroupListNames(const std::string& serverLine, TStringList& names) {
    size_t start = 0;
    while (start <= serverLine.size()) {
        size_t end = serverLine.find('\n', start);
        if (end == std::string::npos) end = serverLine.size();
        std::string name = ExtractWord(1, serverLine.substr(start, end - start), " *\r");
        if (!name.empty()) names.Add(name + " ");
        start = end + 1;
    }
}

TKestroNNTPClient::TKestroNNTPClient() : Client(std::make_unique<TIpNntpClient>()) {
    Client->OnResponse = [this](TIpCustomNntpClient* c, TIpNntpStates to, int32_t code,
                                const std::string& text) { DoResponse(c, to, code, text); };
    Client->OnMultiLineResponse = [this](TIpCustomNntpClient* c, TIpNntpStates to,
                                         TStringList& list) { DoMultiLineResponse(c, to, list); };
    Client->OnTaskComplete = [this](TIpCustomNntpClient* c, TIpNntpTasks task, TStringList& list) {
        DoTaskComplete(c, task, list);
    };
    Client->OnArticle = [this](TIpCustomNntpClient* c, TIpNewsArticle& article) {
        DoArticle(c, article);
    };
    Client->OnProgress = [this](TIpCustomNntpClient* c, uint64_t chars) { DoProgress(c, chars); };
    Client->OnStateChange = [](TIpCustomNntpClient*, TIpNntpStates) {};
}

TKestroNNTPClient::~TKestroNNTPClient() {
    // The client reports its own close as a completion; nothing of this task may run then.
    Client->OnResponse = nullptr;
    Client->OnMultiLineResponse = nullptr;
    Client->OnTaskComplete = nullptr;
    Client->OnArticle = nullptr;
    Client->OnProgress = nullptr;
    UnwireClient(*Client);
    try {
        if (Client->IsConnected()) Client->Quit();
    } catch (const std::exception&) {
        // The connection is going away with the client anyway.
    }
    try {
        if (FCountsRunning) --Box().NntpRunning;
    } catch (const std::exception&) {
    }
    // A task stopped in the middle of a group keeps what it fetched, and its line records it.
    try {
        if (FGroupActive)
            FinishGroup();
        else
            StoreBatch();
    } catch (const std::exception& e) {
        Log("Error: " + std::string(e.what()));
        SetRunExitCode(ExitCodeError);
    }
    // Whatever was not stored must not stay taken for the rest of the run.
    if (DupeCheck) DupeCheck->Discard(FDupeBatch);
    if (!FPostingKey.empty()) gPostingSpools.erase(gPostingSpools.find(FPostingKey));
}

template <class F>
void TKestroNNTPClient::Guarded(F&& step) {
    try {
        step();
    } catch (const std::exception& e) {
        HandleException(e.what());
        SetRunExitCode(ExitCodeError);
    }
}

const std::string& TKestroNNTPClient::Server() const {
    return Box().NntpServer;
}

// ---- start ---------------------------------------------------------------------------------

void TKestroNNTPClient::Start(int32_t taskNo) {
    TKestroCustomClient::Start(taskNo);
    TaskNo = taskNo;
    Guarded([&] {
        TKestroConfig& box = Box();
        if (box.NntpRunning == INT32_MAX) throw EIntOverflow("Integer overflow");
        ++box.NntpRunning;
        FCountsRunning = true;
        if (!SetSpoolDir(box.NntpSpool)) {
            State = tsFinished;
            SetRunExitCode(ExitCodeError);
            return;
        }
        if (Command == NntpCmdSendNews) {
            FJob = jbSendNews;
            StartSendNews();
        } else if (Command == NntpCmdGetMsgIDs) {
            FJob = jbGetMsgIDs;
            StartGetMsgIDs();
        } else if (Command == NntpCmdGetGroups) {
            FJob = jbGetGroups;
            SetupClient();
            if (State != tsFinished) Client->Authenticate(Server());
        } else {
            FJob = jbRange;
            StartRange();
        }
    });
}

void TKestroNNTPClient::StartRange() {
    CurrentLine = StrictLineNumber(ExtractWord(1, Command, " "));
    LastLine = StrictLineNumber(ExtractWord(2, Command, " "));
    SetupClient();
    if (State != tsFinished && !NextGroup()) State = tsFinished;
}

void TKestroNNTPClient::StartSendNews() {
    FPostingKey = PostingKey(Box().NntpSpool);
    gPostingSpools.insert(FPostingKey);
    OutgoingFiles.Clear();
    FileIndex = 0;
    for (const std::string& name : FindFiles(SpoolDir, "N*.OUT"))
        OutgoingFiles.Add(SpoolDir + name);
    const int32_t count = OutgoingFiles.Count();
    if (Box().IsFallback) {
        if (count > 0)
            Log("Fallback: Versende " + std::to_string(count) +
                " ausgehenden News in Verzeichnis " + SpoolDir);
        else
            Log("Kein Fallback für Verzeichnis " + SpoolDir + " nötig");
    } else {
        Log("Versende " + std::to_string(count) + " ausgehenden News in Verzeichnis " + SpoolDir);
    }
    if (count == 0) {
        State = tsFinished;
        return;
    }
    SetupClient();
    if (State == tsFinished) return;
    LoadNextPost();
    std::string group = Client->Article().Newsgroups.Count() > 0
                            ? TrimControls(Client->Article().Newsgroups[0])
                            : "";
    Client->PostTo(Server(), group);
}

void TKestroNNTPClient::StartGetMsgIDs() {
    TKestroConfig& box = Box();
    std::string midFile = ChangeFileExt(box.FileName, ".mid");
    if (FileExists(midFile)) {
        TStringList loaded;
        LoadListFile(loaded, midFile);
        for (int i = 0; i < loaded.Count(); ++i)
            if (!TrimControls(loaded[i]).empty()) MessageIDs.Add(TrimControls(loaded[i]));
    }
    GetRequestedMessageIDs(box.FileName, MessageIDs);
    if (MessageIDs.Count() == 0) {
        State = tsFinished;
        return;
    }
    Log("Bearbeite " + std::to_string(MessageIDs.Count()) + " MessageID Anforderungen");
    SetupClient();
    if (State != tsFinished) Client->Authenticate(Server());
}

void TKestroNNTPClient::SetupClient() {
    TKestroConfig& box = Box();
    Client->UserID = box.NntpUser;
    Client->Password = box.NntpPass;
    SetClientLogs(*Client, "NNTP");
    WireClient(*Client, box.NntpServer);
    // A finished task may wait a while for the run loop to free it; its idle connection is no
    // failure then.
    Client->OnIdleTimeout = [this](TIpSockControl* sender, SOCKET socket, bool& reset) {
        if (State == tsFinished)
            reset = false;
        else
            DoClientIdleTimeout(sender, socket, reset);
    };
    if (box.NntpUseSSL) {
        if (!ApplyPortAndTimeout(*Client, 563, box.NntpTimeout, "NNTP")) return;
        Client->SetUsingSSL(true);
    } else if (!ApplyPortAndTimeout(*Client, box.NntpPort, box.NntpTimeout, "NNTP")) {
        return;
    }
    Client->SetIdleTimeout(uint32_t(box.NntpTimeout) * 1000u);
    Client->SetTimerInterval(50);
    Log("Verbinde zu NNTP Server " + box.NntpServer);
    GroupListFile = ChangeFileExt(box.FileName, ".bl");
}

// ---- fetching a range ----------------------------------------------------------------------

bool TKestroNNTPClient::NextGroup() {
    if (Client->IsConnected()) ++CurrentLine;
    TStringList* list = NNTPTasks.GetList(GroupListIndex);
    for (; CurrentLine <= LastLine; ++CurrentLine) {
        if (CurrentLine < 0 || CurrentLine >= list->Count()) return false;
        std::string line = TrimControls((*list)[CurrentLine]);
        if (line.empty() || line[0] == '!' || line[0] == '#' || line[0] == '$') continue;
        LastNo = ToInt64Def(ExtractWord(2, line, " "), 0);
        HdrOnly = LowerAscii(ExtractWord(3, line, " ")) == "hdronly";
        GroupName = ExtractWord(1, line, " ");
        Log("Wähle Gruppe " + GroupName + " auf " + Server());
        StoreBatch();
        FGroupActive = true;
        FGroupMissing = false;
        if (Client->IsConnected())
            Client->Group(GroupName);
        else
            Client->SelectGroup(Server(), GroupName);
        return true;
    }
    return false;
}

void TKestroNNTPClient::GroupSelected() {
    if (FGroupMissing) {
        // The notice is stored; the line keeps its number and the range goes on.
        FGroupMissing = false;
        FGroupActive = false;
        if (!NextGroup()) State = tsFinished;
        return;
    }
    const int64_t first = Client->FirstArticle();
    const int64_t last = Client->LastArticle();
    if (first < 0 || last < 0) {
        // Read as an empty group, its articles would stay unseen while the run reports success.
        // The line keeps its number.
        FGroupActive = false;
        Fail("Error auf " + Server() + ": GROUP-Antwort \"" + IpLineForLog(Client->LastLine()) +
             "\" ist ung\xC3\xBCltig");
        return;
    }
    if (LastNo < 0) LastNo = last + LastNo;
    if (LastNo < first - 1) LastNo = first - 1;
    const std::string kind = HdrOnly ? "Artikelheader" : "Artikel";
    const int64_t newMax = Box().NntpNewMax;
    if (newMax != 0 && newMax < last - LastNo) {
        LastNo = last - newMax;
        Log("Hole nur die letzen " + std::to_string(newMax) + " " + kind + " in der Newsgroup " +
            GroupName);
    } else if (last - LastNo > 0) {
        Log("Hole " + std::to_string(last - LastNo) + " " + kind + " in der Newsgroup " +
            GroupName);
    } else {
        Log("Keine neuen Artikel in der Newsgroup " + GroupName);
    }
    FRequested.clear();
    FNextNo = LastNo + 1;
    FetchNextArticle();
}

void TKestroNNTPClient::FetchNextArticle() {
    Guarded([&] {
        const int64_t last = Client->LastArticle();
        // Up to ArticleWindow requests stay on their way: one at a time, every article would
        // wait a whole round trip to the server before the next is asked for.
        const size_t window = ArticleWindow > 1 ? size_t(ArticleWindow) : 1;
        while (Running && FRequested.size() < window && FNextNo <= last) {
            Log("Empfange Artikel " + std::to_string(LastNo) + " (bis " + std::to_string(last) +
                    ") in " + GroupName,
                false);
            FRequested.push_back(FNextNo);
            if (HdrOnly)
                Client->HeadByNumber(FNextNo);
            else
                Client->ArticleByNumber(FNextNo);
            ++FNextNo;
        }
        // The group is done once every request is answered: all of it, or up to a stop.
        if (!FRequested.empty()) return;
        const bool stored = FinishGroup();
        if (!Running || !stored || !NextGroup()) State = tsFinished;
    });
}

int64_t TKestroNNTPClient::TakeRequested() {
    if (FRequested.empty()) return LastNo;
    const int64_t number = FRequested.front();
    FRequested.pop_front();
    return number;
}

bool TKestroNNTPClient::FinishGroup() {
    if (!FGroupActive) return StoreBatch();
    FGroupActive = false;
    std::string Line = GroupName + " " + std::to_string(LastNo);
    if (HdrOnly) Line += " HdrOnly";
    const TLineMove Move{CurrentLine, (*NNTPTasks.GetList(GroupListIndex))[CurrentLine], Line};
    return CommitBatch(&Move);
}

bool TKestroNNTPClient::MoveGroupLine(const TLineMove& Move) {
    NNTPTasks.GetList(GroupListIndex)->SetString(Move.Line, Move.To);
    try {
        NNTPTasks.SaveList(GroupListIndex);
        return true;
    } catch (const std::exception& E) {
        // The line is kept in memory and written again at the end of the run.
        Log("Error: " + std::string(E.what()));
        SetRunExitCode(ExitCodeError);
        return false;
    }
}

bool TKestroNNTPClient::SaveDupeDatabase() {
    if (!DupeCheck || !DupeCheck->Modified()) return true;
    try {
        DupeCheck->Save();
        return true;
    } catch (const std::exception& e) {
        Log("Error: " + std::string(e.what()));
        SetRunExitCode(ExitCodeError);
        return false;
    }
}

std::string TKestroNNTPClient::RecordBatch(const TLineMove* Move) {
    const bool Learns = DupeCheck && !FDupeBatch.Empty();
    if (!Move && !Learns) return std::string();
    TBatchRecord Record;
    Record.Batch = Container.FileName();
    Record.Complete = Container.CompleteName();
    Record.Temps = Container.TempNames();
    if (Move) {
        Record.GroupList = NNTPTasks.FileNames.at(size_t(GroupListIndex));
        Record.Line = Move->Line;
        Record.OldLine = Move->From;
        Record.NewLine = Move->To;
    }
    if (Learns) {
        Record.Dupes = DupeCheck->FileName();
        // Only the newest entries stay in the database.
        const std::vector<std::string>& All = FDupeBatch.Fingerprints();
        const size_t Kept = std::min(All.size(), size_t(std::max(DupeCheck->MaxEntries, 0)));
        Record.Entries.assign(All.end() - ptrdiff_t(Kept), All.end());
    }
    return WriteBatchRecord(Record, ProgramDirectory());
}

bool TKestroNNTPClient::AddToBatch(TIpMessage& message) {
    try {
        if (!Container.IsOpen())
            Container.Open(SpoolDir + NewSpoolFileName(SpoolDir), Box().NntpSort == 1);
        Container.AddMessage(message);
        return true;
    } catch (const std::exception& e) {
        // The group's batch is gone (a full disk): nothing of it is learned or recorded, so
        // the next run fetches the group again from where its line stands.
        Container.Clear();
        if (DupeCheck) DupeCheck->Discard(FDupeBatch);
        FGroupActive = false;
        Fail("Error: " + std::string(e.what()));
        return false;
    }
}

bool TKestroNNTPClient::StoreBatch() {
    return CommitBatch(nullptr);
}

bool TKestroNNTPClient::CommitBatch(const TLineMove* Move) {
    std::string Record;
    const bool Batch = Container.Count() > 0;
    if (Batch) {
        try {
            if (Box().NntpSort == 1) Container.Sort();
            Container.Complete();
            ExitPoint(epBatchComplete);
            Record = RecordBatch(Move);
            ExitPoint(epBatchRecorded);
            Container.TakeName();
            ExitPoint(epBatchNamed);
        } catch (const std::exception& E) {
            // The group's line keeps its number and the dupe database never saw the articles,
            // so they come again next time.
            Container.Clear();
            if (!Record.empty()) DeleteFile(Record);
            if (DupeCheck) DupeCheck->Discard(FDupeBatch);
            Log("Error: " + std::string(E.what()));
            SetRunExitCode(ExitCodeError);
            return false;
        }
    } else {
        Container.Clear();
    }
    // The batch is stored. What follows the record can redo, should the run end in its midst.
    bool Saved = true;
    if (Move) Saved = MoveGroupLine(*Move);
    if (Batch) ExitPoint(epGroupListSaved);
    if (DupeCheck) {
        DupeCheck->Commit(FDupeBatch);
        Saved = SaveDupeDatabase() && Saved;
    }
    if (Batch) ExitPoint(epDupesSaved);
    if (Saved && !Record.empty()) DeleteFile(Record);
    if (Batch) ExitPoint(epRecordRemoved);
    return true;
}

void TKestroNNTPClient::ConnectionLost() {
    if (FJob == jbRange && FGroupActive) FinishGroup();
    Fail("Error: Server " + Server() + " hat die Verbindung vorzeitig beendet");
}

// ---- handlers ------------------------------------------------------------------------------

void TKestroNNTPClient::DoArticle(TIpCustomNntpClient*, TIpNewsArticle& article) {
    CountBytes(*Client, true, true);
    if (State == tsFinished) return;
    Guarded([&] {
        // The group's line moves on to an article only once it is stored (or known as a dupe):
        // one that meets a fault here is asked for again by the next run.
        const int64_t number = FJob == jbRange ? TakeRequested() : LastNo;
        // An article nothing was taken from or added to is stored as received.
        bool changed = ExtractAttachments(article, Box());
        if (HdrOnly) {
            article.UserFields.Add(kHdrOnlyMark);
            // A head arrives without the empty line that ends a header; the point program has
            // always been given one, so the marked head is stored as a complete header block.
            article.Layout.Separator = true;
            changed = true;
        }
        if (changed) article.EncodeMessage();
        if (Box().NntpDupeSize != 0 && DupeCheck && DupeCheck->IsDupe(article, FDupeBatch)) {
            Log("Artikel " + std::to_string(number) + " in " + GroupName +
                " ist doppelt und wurde nicht gespeichert");
        } else if (AddToBatch(article)) {
            ++NewsCount;
        } else {
            return;
        }
        LastNo = number;
    });
    if (State == tsFinished) return;
    if (FJob == jbGetMsgIDs)
        NextMessageID();
    else
        FetchNextArticle();
}

void TKestroNNTPClient::DoMultiLineResponse(TIpCustomNntpClient*, TIpNntpStates responseTo,
                                            TStringList& responseList) {
    CountBytes(*Client, true, true);
    if (State == tsFinished) return;
    switch (responseTo) {
        case nsArticle:
        case nsHead: {
            const std::string status = responseList.Count() > 0 ? responseList[0] : "";
            const int32_t code = StatusCode(status);
            // A missing article (expired, cancelled) or one above the size limit (its own data
            // reply, refused as too large) is passed over without a word. Any other reply, a
            // server fault, a lost log-on or another success code, may hold for this article
            // only for now: the group ends before it, and the next run asks again.
            const bool tooLarge = std::to_string(code) == NntpDataReplyCode(responseTo);
            if (code != 423 && code != 430 && !tooLarge) {
                Guarded([&] {
                    LogServerError(code, AfterCode(status));
                    SetRunExitCode(ExitCodeError);
                    if (FJob == jbRange && FGroupActive) FinishGroup();
                    State = tsFinished;
                });
                break;
            }
            if (FJob == jbRange) LastNo = TakeRequested();
            if (FJob == jbGetMsgIDs)
                NextMessageID();
            else
                FetchNextArticle();
            break;
        }
        case nsList:
            Guarded([&] { ListReceived(responseList); });
            break;
        case nsNewGroups:
            Guarded([&] { NewGroupsReceived(responseList); });
            break;
        default:
            break;
    }
}

void TKestroNNTPClient::DoResponse(TIpCustomNntpClient*, TIpNntpStates responseTo, int32_t code,
                                   const std::string& response) {
    if (responseTo == nsPost) CountBytes(*Client, true, true);  // the article went out
    if (State == tsFinished) return;
    if (responseTo == nsPost && code == 240) FPostAccepted = true;
    if (responseTo == nsPost && AlreadyPosted(code, response)) {
        // Posting it again can never succeed: every later article would wait behind it.
        Log("Artikel " + std::to_string(FileIndex + 1) + " ist auf " + Server() +
            " bereits vorhanden und gilt als versandt: " + std::to_string(code) + " " + response);
        FPostAccepted = true;
        return;
    }
    if (responseTo == nsPost && code == 441) {
        // This article will meet the same refusal on every run (a group that does not exist, a
        // header the server will not take); held up by it, every article after it would wait
        // for good. It stays in the spool as written, the run reports it, and the next one goes
        // out on the same connection.
        LogServerError(code, response);
        Log("Artikel " + std::to_string(FileIndex + 1) + " (" + OutgoingFiles[FileIndex] +
            ") wurde abgewiesen und bleibt im Spool");
        SetRunExitCode(ExitCodeError);
        FPostRefused = true;
        return;
    }
    if (responseTo == nsGroup && FJob == jbSendNews) return;  // posting needs no selected group
    if (responseTo == nsGroup && (code == 411 || code == 441)) {
        Guarded([&] { StoreMissingGroupNotice(response); });
        LogServerError(code, response);
        // The range goes on with its next group once the client reports the selection done.
        if (FJob == jbRange)
            FGroupMissing = true;
        else
            State = tsFinished;
        return;
    }
    // A refused log-on, post or command ends the task; an unattended caller must learn that
    // something stayed undone (a post stays in the spool). A missing group (above) does not.
    if (code >= 400 && code <= 599) {
        LogServerError(code, response);
        SetRunExitCode(ExitCodeError);
        State = tsFinished;
    }
}

void TKestroNNTPClient::DoTaskComplete(TIpCustomNntpClient*, TIpNntpTasks task, TStringList&) {
    if (State == tsFinished) return;
    // A completion without a connection is the client reporting that the server went away.
    if (!Client->IsConnected()) {
        Guarded([&] { ConnectionLost(); });
        return;
    }
    Guarded([&] {
        switch (FJob) {
            case jbRange:
                if (task == ntSelectGroup) GroupSelected();
                break;
            case jbGetGroups:
                RequestGroupList();
                break;
            case jbSendNews:
                PostCompleted();
                break;
            case jbGetMsgIDs:
                NextMessageID();
                break;
        }
    });
}

void TKestroNNTPClient::DoProgress(TIpCustomNntpClient*, uint64_t) {
    CountBytes(*Client, true, true);
}

// ---- group lists ---------------------------------------------------------------------------

void TKestroNNTPClient::RequestGroupList() {
    if (Command.empty()) {
        State = tsFinished;
        return;
    }
    Command.clear();
    if (!FileExists(GroupListFile)) {
        Log("Empfange Newsgroup-Liste von " + Server());
        Client->List();
        return;
    }
    Log("Empfange Liste neuer Newsgroups von " + Server());
    TStringList old;
    LoadListFile(old, GroupListFile);
    const std::string first = old.Count() > 0 ? old[0] : "";
    if (first.rfind(kNewGroupsMark, 0) != 0 || first.size() < 25) {
        State = tsFinished;
        return;
    }
    Client->NewGroups(first.substr(12, 6), first.substr(19, 6), 0);
}

void TKestroNNTPClient::LogServerError(int32_t code, const std::string& text) {
    Log("NNTP Error " + std::to_string(code) + " auf " + Server() + ": " + text);
}

bool TKestroNNTPClient::ListFailed(const TStringList& list, TIpNntpStates command) {
    const std::string status = list.Count() > 0 ? list[0] : "";
    // Only the command's own reply brings the list; any other, a success code among them, is
    // its failure (taken for an empty list it would empty the user's group list).
    if (std::to_string(StatusCode(status)) == NntpDataReplyCode(command)) return false;
    LogServerError(StatusCode(status), AfterCode(status));
    SetRunExitCode(ExitCodeError);
    return true;
}

void TKestroNNTPClient::ListReceived(TStringList& list) {
    Log("Newsgroup-Liste wurde empfangen");
    State = tsFinished;
    if (ListFailed(list, nsList)) return;
    TStringList names;
    for (int i = 1; i < list.Count(); ++i) AddGroupListNames(list[i], names);
    WriteGroupList(names);
}

void TKestroNNTPClient::NewGroupsReceived(TStringList& list) {
    Log("Newsgroup-Liste wurde empfangen");
    State = tsFinished;
    if (ListFailed(list, nsNewGroups)) return;
    if (list.Count() <= 1) return;
    TStringList lines;
    for (int i = 1; i < list.Count(); ++i) lines.Add(list[i]);
    lines.Sort();
    WriteNewGroupsMail(lines);
    TStringList names;
    for (int i = 0; i < lines.Count(); ++i) AddGroupListNames(lines[i], names);
    TStringList old;
    LoadListFile(old, GroupListFile);
    for (int i = 1; i < old.Count(); ++i) names.Add(old[i]);
    WriteGroupList(names);
}

void TKestroNNTPClient::WriteGroupList(TStringList& names) {
    names.Sort();
    names.Insert(0, GroupListHeader());
    // Written aside and renamed, so that a failed write leaves the old list.
    const std::string tmp = ChangeFileExt(GroupListFile, ".bl.tmp");
    names.SaveToFile(tmp);
    if (std::rename(ResolvePath(tmp).c_str(), ResolvePath(GroupListFile).c_str()) != 0) {
        DeleteFile(tmp);
        throw EWriteError("Die Datei " + GroupListFile + " konnte nicht geschrieben werden");
    }
}

void TKestroNNTPClient::WriteNewGroupsMail(const TStringList& lines) {
    TIpMailMessage mail;
    mail.From = NntpNotice::From;
    mail.MailTo.Add(NntpNotice::Recipient);
    mail.Date = NoticeDate();
    mail.Subject = "Liste neuer Newsgroups auf " + Server();
    TIpMimeEntity* body = mail.GetBodyPlain(true);
    for (int i = 0; i < lines.Count(); ++i) body->Body.WriteLine(lines[i]);
    mail.EncodeMessage();
    const std::string name = SpoolDir + NewSpoolFileName(SpoolDir);
    const std::string tmp = ChangeFileExt(name, ".tmp");
    WriteSpoolMail(mail, tmp, "", "*");
    if (!RenameNoReplace(tmp, name))
        throw EWriteError("Die Datei " + tmp + " konnte nicht in " + name + " umbenannt werden");
}

void TKestroNNTPClient::StoreMissingGroupNotice(const std::string& response) {
    TIpNewsArticle notice;
    notice.From = NntpNotice::From;
    notice.Newsgroups.Add(GroupName);
    notice.Subject = "Diese Newsgroup existiert nicht mehr";
    notice.Date = NoticeDate();
    TIpMimeEntity* body = notice.GetBodyPlain(true);
    // The point program reads Windows-1252.
    body->Body.WriteLine("Die Newsgroup " + GroupName + " ist auf dem Server " + Server() +
                         " nicht verf\xFCgbar");
    body->Body.WriteLine("Fehlermeldung: " + response);
    notice.EncodeMessage();
    if (AddToBatch(notice)) StoreBatch();
}

// ---- posting -------------------------------------------------------------------------------

void TKestroNNTPClient::LoadNextPost() {
    Log("Versende Artikel " + std::to_string(FileIndex + 1) + " von " +
        std::to_string(OutgoingFiles.Count()));
    FPostAccepted = false;
    FPostRefused = false;
    Client->Article().LoadFromFile(OutgoingFiles[FileIndex]);
    AddClientBanner();
    ++NewsCount;
}

void TKestroNNTPClient::PostCompleted() {
    if (!FPostAccepted && !FPostRefused) {
        // Refused for another reason than the article (the error line is logged) or answered
        // with something else: the file stays, and the run reports that it is still unsent.
        SetRunExitCode(ExitCodeError);
        State = tsFinished;
        return;
    }
    if (FPostAccepted) {
        ExitPoint(epPostAccepted);
        if (!DeleteFile(OutgoingFiles[FileIndex]))
            Log("Error: Die Datei " + OutgoingFiles[FileIndex] + " konnte nicht gelöscht werden");
    }
    FPostAccepted = false;
    FPostRefused = false;
    ++FileIndex;
    if (FileIndex >= OutgoingFiles.Count()) {
        State = tsFinished;
        return;
    }
    LoadNextPost();
    Client->Post();
}

void TKestroNNTPClient::AddClientBanner() {
    const std::string banner = "Orvalin Kestro V" + GlobalConfig.Version;
    TStringList& fields = Client->Article().UserFields;
    for (int i = 0; i < fields.Count(); ++i) {
        if (LowerAscii(fields[i].substr(0, 13)) == "x-newsreader:") {
            fields.SetString(i, fields[i] + " via Kestro");
            fields.Add("X-NNTP-Client: " + banner);
            return;
        }
    }
    fields.Add("X-Newsreader: " + banner);
}

// ---- Message-ID requests -------------------------------------------------------------------

void TKestroNNTPClient::NextMessageID() {
    Guarded([&] {
        while (++MessageIDIndex < MessageIDs.Count()) {
            try {
                Client->ArticleByMessageId(MessageIDs[MessageIDIndex]);
                return;
            } catch (const EIpNntpException& e) {
                if (!Client->IsConnected()) throw;
                // An ID that cannot be sent is passed over like one the server lacks.
                Log("Error: MessageID " + MessageIDs[MessageIDIndex] + ": " + e.Message());
            }
        }
        State = tsFinished;
    });
}
