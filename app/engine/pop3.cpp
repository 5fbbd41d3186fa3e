#include "app/engine/pop3.h"

#include <exception>
#include <unordered_map>
#include <unordered_set>

#include "app/engine/ExitPoints.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/SpoolFiles.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/bfgconfig.h"
#include "netlib/base/IpUtils.h"
#include "netlib/pop3/Pop3Reply.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

const char* const PartialMailNotice[2] = {
    "Der Rest dieser Nachricht wurde von Kestro \xFC"
    "bersprungen,",
    "da die eingestellte Nachrichtengr\xF6\xDF"
    "e \xFC"
    "berschritten wurde.",
};

namespace {

// Lines of a message fetched with TOP: the head and this many body lines.
constexpr int32_t kTopLines = 50;

std::string CleanField(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return out;
}

}  // namespace

std::string MailListLine(const std::string& path, const std::string& date,
                         const std::string& subject, const std::string& from, int64_t size) {
    std::string line = CleanField(path);
    line += '\x01';
    line += CleanField(date);
    line += '\x02';
    line += CleanField(subject);
    line += '\x03';
    line += CleanField(from);
    line += '\x04';
    line += std::to_string(size);
    return line;
}

// ---- the task base -----------------------------------------------------------------------------

void TKestroCustomClient::Start(int32_t) {
    State = tsRunning;
}

TKestroConfig& TKestroCustomClient::GetConfig() const {
    TKestroConfig* config = ConfigList.GetConfig(ConfigIndex);
    if (!config) throw EConfigError("Box " + std::to_string(ConfigIndex) + " was not loaded");
    return *config;
}

void TKestroCustomClient::Log(const std::string& text, bool toRunLog) {
    if (OnTaskLog) OnTaskLog(this, TaskNo, text, toRunLog);
}

bool TKestroCustomClient::SetSpoolDir(const std::string& dir) {
    if (dir.empty()) {
        SpoolDir = ProgramDirectory();
        return true;
    }
    if (DirectoryExists(dir)) {
        SpoolDir = IncludeTrailingPathDelimiter(dir);
        return true;
    }
    Log("Error: Spool-Verzeichnis " + dir + " existiert nicht!");
    SpoolDir.clear();
    return false;
}

void TKestroCustomClient::HandleException(const std::string& msg) {
    Log("Exception Thread " + std::to_string(TaskNo) + ": " + msg);
    SetRunExitCode(1);
    State = tsFinished;
}

void TKestroCustomClient::Fail(const std::string& line, int exitCode) {
    Log(line);
    SetRunExitCode(exitCode);
    State = tsFinished;
}

void TKestroCustomClient::DoClientError(TIpSockControl* Sender, SOCKET, int32_t errCode,
                                        const std::string& errStr) {
    Log("Error: " + errStr);
    if (errCode == WSAEADDRNOTAVAIL) {
        std::string box;
        try {
            box = GetConfig().FileName;
        } catch (const std::exception&) {
        }
        Log("Error: ung\xC3\xBCltige URL in " + box);
    }
    // A reply given up as too slow is a server that stopped answering in time, as the idle
    // time-out's case is; every other socket error (a time-out of the system's too) is 1.
    const auto* Mail = dynamic_cast<const TIpCustomEmailClass*>(Sender);
    SetRunExitCode(Mail && Mail->ReplyTooSlow() ? ExitCodeTimeout : ExitCodeError);
    State = tsFinished;
}

void TKestroCustomClient::DoClientErrorReply(TIpSockControl*, uintptr_t, int32_t,
                                             const std::string& errStr) {
    Fail("ReplyError: " + errStr);
}

void TKestroCustomClient::DoClientIdleTimeout(TIpSockControl*, SOCKET, bool& reset) {
    reset = false;
    // A task that has finished and waits to be freed is not failed by a quiet connection.
    if (State == tsFinished) return;
    Fail("Error: Socket Timeout", 2);
}

void TKestroCustomClient::WireClient(TIpCustomClient& client, const std::string& serverName) {
    client.OnError = [this](TIpSockControl* s, SOCKET socket, int32_t code, const std::string& t) {
        DoClientError(s, socket, code, t);
    };
    client.OnErrorReply = [this](TIpSockControl* s, uintptr_t h, int32_t code,
                                 const std::string& t) { DoClientErrorReply(s, h, code, t); };
    client.OnIdleTimeout = [this](TIpSockControl* s, SOCKET socket, bool& reset) {
        DoClientIdleTimeout(s, socket, reset);
    };
    // Whatever the client or a handler of this task raises ends the task, never the run.
    client.OnException = [this](TIpSockControl*, const std::string& message) {
        HandleException(message);
    };
    // A close that comes while the task still needs the connection would otherwise leave the
    // task running until the run is stopped by hand.
    client.OnStatus = [this, serverName](TIpSockControl*, SOCKET, TIpStatusType event,
                                         const TIpConnRec&, const TIpSockStatRec&) {
        if (event == stDisconnect && State == tsRunning)
            Fail("Error: Server " + serverName + " hat die Verbindung vorzeitig beendet");
    };
}

void TKestroCustomClient::UnwireClient(TIpCustomClient& client) {
    client.OnError = nullptr;
    client.OnErrorReply = nullptr;
    client.OnIdleTimeout = nullptr;
    client.OnStatus = nullptr;
    client.OnException = nullptr;
}

void TKestroCustomClient::CountBytes(const TIpCustomClient& client, bool received, bool sent) {
    const TIpDataSocket* socket = client.Socket();
    if (!socket) return;
    const TIpSockStatRec stats = socket->GetStatRec();
    const uint32_t total =
        (received ? stats.TotalBytesReceived : 0u) + (sent ? stats.TotalBytesSent : 0u);
    if (client.SocketHandle() != FCountedSocket) {
        FCountedSocket = client.SocketHandle();
        FCountedTotal = 0;
    }
    Bytes += int64_t(uint32_t(total - FCountedTotal));
    FCountedTotal = total;
    if (OnTaskStatus) OnTaskStatus(this, TaskNo);
}

bool TKestroCustomClient::ClientBusy(const TIpCustomClient& client) {
    const TIpDataSocket* socket = client.Socket();
    return client.DispatchDepth() > 0 || (socket && socket->DispatchDepth() > 0);
}

bool TKestroCustomClient::ApplyPortAndTimeout(TIpCustomClient& client, int32_t port,
                                              int32_t timeoutSeconds, const char* what) {
    if (port < 1 || port > 65535) {
        Fail(std::string("Error: Ung\xC3\xBCltiger ") + what + "-Port " + std::to_string(port) +
             " in " + GetConfig().FileName);
        return false;
    }
    if (timeoutSeconds < 0 || int64_t(timeoutSeconds) * 1000 > int64_t(UINT32_MAX)) {
        Fail(std::string("Error: Ung\xC3\xBCltiger ") + what + "-Timeout " +
             std::to_string(timeoutSeconds) + " in " + GetConfig().FileName);
        return false;
    }
    client.DefaultPort = uint16_t(port);
    return true;
}

void TKestroCustomClient::SetClientLogs(TIpCustomClient& client, const std::string& prefix) {
    const TKestroConfig& box = GetConfig();
    const std::string dir = ExtractFilePath(box.FileName);
    const std::string base = dir + prefix + "_" + std::to_string(TaskNo);
    client.EventLog().SetFileName(base + ".log");
    client.EventLog().SetEnabled(GlobalConfig.ThreadLog);
    client.DebugLog().SetFileName(base + "_debug.log");
    client.DebugLog().SetEnabled(GlobalConfig.DebugLog || box.DebugLog);
}

// ---- the POP3 task -----------------------------------------------------------------------------

TKestroPOP3Client::TKestroPOP3Client() : Client(std::make_unique<TIpPop3Client>()) {
    Client->OnResponse = [this](TIpCustomPop3Client* c, TIpPop3States to, const std::string& code,
                                const std::string& text) { DoResponse(c, to, code, text); };
    Client->OnMultiLineResponse = [this](TIpCustomPop3Client* c, TIpPop3States to,
                                         TStringList& list) { DoMultiLineResponse(c, to, list); };
    Client->OnTaskComplete = [this](TIpCustomPop3Client* c, TIpPop3Tasks task, TStringList& list) {
        DoTaskComplete(c, task, list);
    };
    Client->OnMessage = [this](TIpCustomPop3Client* c, TIpMailMessage& m) { DoMessage(c, m); };
    Client->OnTop = [this](TIpCustomPop3Client* c, TIpMailMessage& m) { DoTop(c, m); };
    Client->OnProgress = [this](TIpCustomPop3Client* c, uint64_t n) { DoProgress(c, n); };
}

TKestroPOP3Client::~TKestroPOP3Client() {
    if (FHoldsPop3Busy) --Pop3Busy;
    UnwireClient(*Client);
    Client->OnResponse = nullptr;
    Client->OnMultiLineResponse = nullptr;
    Client->OnTaskComplete = nullptr;
    Client->OnMessage = nullptr;
    Client->OnTop = nullptr;
    Client->OnProgress = nullptr;
    try {
        if (Client->IsConnected()) Client->Quit();
    } catch (const std::exception&) {
        // The connection is going away anyway; nothing the run could do about it.
    }
}

bool TKestroPOP3Client::HandlerRunning() const {
    return ClientBusy(*Client);
}

void TKestroPOP3Client::Start(int32_t taskNo) {
    TKestroCustomClient::Start(taskNo);
    TaskNo = taskNo;
    // Whatever goes wrong before the connection is asked for ends the task here: a task left
    // running without a connection would keep the run from ever ending.
    try {
        if (!Prepare()) return;
        Log("Verbinde zu POP Server " + ServerName);
        FetchIndex = 0;
        DeleteIndex = 0;
        Client->StartList(ServerName);
    } catch (const std::exception& e) {
        Fail("Error: " + std::string(e.what()));
    }
}

bool TKestroPOP3Client::Prepare() {
    const TKestroConfig& box = GetConfig();
    Client->UserName = box.Pop3User;
    Client->Password = box.Pop3Pass;
    Client->EncryptedLogon = box.Pop3Auth;
    ServerName = box.Pop3Server;
    WireClient(*Client, ServerName);
    // Mail fetched into the wrong directory would be deleted on the server and never imported.
    if (!SetSpoolDir(box.Pop3Spool)) {
        SetRunExitCode(1);
        State = tsFinished;
        return false;
    }
    Envelope = box.Pop3Envelope;
    SetClientLogs(*Client, "POP3");
    const int32_t port = box.Pop3UseSSL ? 995 : box.Pop3Port;
    if (!ApplyPortAndTimeout(*Client, port, box.Pop3Timeout, "POP3")) return false;
    if (box.Pop3UseSSL) Client->SetUsingSSL(true);
    Client->SetIdleTimeout(uint32_t(box.Pop3Timeout) * 1000u);
    Client->SetTimerInterval(50);
    if (box.SmtpAfterPop) {
        ++Pop3Busy;
        FHoldsPop3Busy = true;
    }
    return true;
}

int32_t TKestroPOP3Client::FetchCount() const {
    const int32_t listed = MessageList.Count();
    const int32_t count = Client->MessageCount();
    return count < listed ? (count < 0 ? 0 : count) : listed;
}

bool TKestroPOP3Client::TakeList(TStringList& response) {
    MessageList.Clear();
    for (int i = 0; i < response.Count(); ++i) {
        const std::string& line = response[i];
        const int64_t number = Pop3Number(TIpCustomPop3Client::ListLineNumber(line), 0, INT32_MAX);
        const int64_t size =
            Pop3Number(TrimSpaces(TIpCustomPop3Client::ListLineValue(line)), -1, INT64_MAX);
        if (number < 1 || size < 0) {
            Fail("Error auf " + ServerName + ": LIST-Zeile \"" + line + "\" ist ung\xC3\xBCltig");
            return false;
        }
        MessageList.Add(line);
    }
    FStored.assign(size_t(MessageList.Count()), false);
    FIds.assign(size_t(MessageList.Count()), std::string());
    FIdentified.assign(size_t(MessageList.Count()), false);
    return true;
}

void TKestroPOP3Client::DoMultiLineResponse(TIpCustomPop3Client*, TIpPop3States responseTo,
                                            TStringList& response) {
    if (State != tsRunning) return;
    if (responseTo == psUidl) {
        TakeUidl(response);
        SettleFetchedMails();
        ContinueAfterList();
        return;
    }
    if (responseTo != psList) return;
    Log("Empfange Liste der eingehenden Nachrichten");
    if (Client->MessageCount() != 0) {
        TakeList(response);
    } else {
        Log("Keine neuen Nachrichten vorhanden");
        // Nothing is left on the server, so nothing stored before is to be remembered.
        LoadPartialMails();
        SavePartialMails();
        if (TrackFetched()) {
            LoadFetchedMails();
            FFetched.Retain({});
            SaveFetchedMails();
        }
        State = tsFinished;
    }
}

void TKestroPOP3Client::DoTaskComplete(TIpCustomPop3Client*, TIpPop3Tasks task, TStringList&) {
    if (State != tsRunning || task != ptList) return;
    LoadPartialMails();
    if (TrackFetched()) LoadFetchedMails();
    // A mail above the limit needs an id, and so does every mail that is to be deleted; without
    // either the server is asked nothing more.
    if (AnyOversize() || TrackFetched()) {
        Client->Uidl();
        return;
    }
    ContinueAfterList();
}

void TKestroPOP3Client::ContinueAfterList() {
    const TKestroConfig& box = GetConfig();
    if (box.Pop3Keep && box.Pop3OnlyNew)
        Client->SendCommand("LAST", false);
    else if (Client->MessageCount() != 0)
        FetchNext();
}

// ---- mails above the size limit ------------------------------------------------------------

bool TKestroPOP3Client::IsOversize(int32_t index) const {
    const int32_t maxLen = GetConfig().Pop3MaxLen;
    if (maxLen <= 0) return false;
    const std::string sizeText = TrimSpaces(TIpCustomPop3Client::ListLineValue(MessageList[index]));
    return Pop3Number(sizeText, -1, INT64_MAX) > int64_t(maxLen) * 1024;
}

bool TKestroPOP3Client::AnyOversize() const {
    for (int32_t i = 0; i < MessageList.Count(); ++i)
        if (IsOversize(i)) return true;
    return false;
}

void TKestroPOP3Client::TakeUidl(const TStringList& response) {
    std::unordered_map<int64_t, int32_t> indexOf;
    for (int32_t i = 0; i < MessageList.Count(); ++i)
        indexOf[Pop3Number(TIpCustomPop3Client::ListLineNumber(MessageList[i]), 0, INT32_MAX)] = i;
    std::vector<std::string> ids(FIds.size());
    std::unordered_map<std::string, int32_t> uses;
    for (int i = 0; i < response.Count(); ++i) {
        const auto found = indexOf.find(
            Pop3Number(TIpCustomPop3Client::ListLineNumber(response[i]), 0, INT32_MAX));
        const std::string id =
            TPartialMails::CleanId(TIpCustomPop3Client::ListLineValue(response[i]));
        if (found == indexOf.end() || id.empty()) continue;
        ids[size_t(found->second)] = id;
        ++uses[id];
    }
    // An id the server gives twice names no mail for sure: such mails are known by their head.
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i].empty() || uses[ids[i]] != 1) continue;
        FIds[i] = ids[i];
        FIdentified[i] = true;
    }
}

void TKestroPOP3Client::LogOversize(int32_t index, const std::string& tail) {
    Log("Nachricht " + std::to_string(index + 1) + " (" +
        TrimSpaces(TIpCustomPop3Client::ListLineValue(MessageList[index])) +
        " Bytes) ist gr\xC3\xB6\xC3\x9F"
        "er als " +
        std::to_string(GetConfig().Pop3MaxLen) + " KBytes und " + tail);
}

std::string TKestroPOP3Client::PartialMailsFile() const {
    return TPartialMails::FileNameFor(GetConfig().FileName);
}

template <class TList, class... TArgs>
void TKestroPOP3Client::LoadMailList(TList& List, const std::string& File, const TArgs&... Args) {
    try {
        List.Load(File, Args...);
    } catch (const std::exception& e) {
        // Mails listed before may come once more; none is lost.
        Log("Warnung: " + std::string(e.what()));
    }
    if (List.Dropped() > 0)
        Log("Warnung: " + std::to_string(List.Dropped()) + " ung\xC3\xBCltige Zeilen in " + File +
            " \xC3\xBC"
            "bergangen");
}

void TKestroPOP3Client::LoadPartialMails() {
    LoadMailList(FPartialMails, PartialMailsFile());
}

void TKestroPOP3Client::SavePartialMails() {
    std::unordered_set<std::string> onServer;
    bool allKnown = true;
    for (int32_t i = 0; i < MessageList.Count(); ++i) {
        if (!IsOversize(i)) continue;
        if (!FIdentified[size_t(i)]) allKnown = false;
        if (!FIds[size_t(i)].empty()) onServer.insert(FIds[size_t(i)]);
    }
    // A mail whose head was not looked at this run may still be on the server under its
    // Message-ID: forgetting it would store it once more.
    if (allKnown) FPartialMails.Retain(onServer);
    if (!FPartialMails.Modified()) return;
    const std::string file = PartialMailsFile();
    try {
        const int32_t left = FPartialMails.Save(file);
        if (left > 0)
            Log("Warnung: " + std::to_string(left) +
                " \xC3\xA4ltere Eintr\xC3\xA4ge passen nicht in " + file);
    } catch (const std::exception& e) {
        Log("Warnung: " + std::string(e.what()));
    }
}

// ---- mails stored whole -------------------------------------------------------------------

bool TKestroPOP3Client::TrackFetched() const {
    return !GetConfig().Pop3Keep;
}

bool TKestroPOP3Client::FetchedBefore(int32_t index) const {
    return TrackFetched() && FIdentified[size_t(index)] && FFetched.Stored(FIds[size_t(index)]);
}

std::string TKestroPOP3Client::FetchedMailsFile() const {
    return TFetchedMails::FileNameFor(GetConfig().FileName);
}

void TKestroPOP3Client::LoadFetchedMails() {
    LoadMailList(FFetched, FetchedMailsFile(), SpoolDir);
}

void TKestroPOP3Client::SettleFetchedMails() {
    if (!TrackFetched()) return;
    std::unordered_set<std::string> onServer;
    for (int32_t i = 0; i < MessageList.Count(); ++i) {
        if (!FIdentified[size_t(i)]) return;
        onServer.insert(FIds[size_t(i)]);
    }
    FFetched.Retain(onServer);
    SaveFetchedMails();
}

void TKestroPOP3Client::ForgetDeletedMails() {
    if (!TrackFetched()) return;
    for (int32_t i = 0; i < DeleteIndex && i < MessageList.Count(); ++i)
        if (FStored[size_t(i)] && FIdentified[size_t(i)]) FFetched.Remove(FIds[size_t(i)]);
    SaveFetchedMails();
}

void TKestroPOP3Client::SaveFetchedMails() {
    if (!FFetched.Modified()) return;
    try {
        FFetched.Save(FetchedMailsFile());
    } catch (const std::exception& e) {
        // The old list names mails the server may no longer hold: they are never fetched again
        // by it, nor lost.
        Log("Warnung: " + std::string(e.what()));
    }
}

// ---- fetching ------------------------------------------------------------------------------

void TKestroPOP3Client::FetchNext() {
    if (State != tsRunning) return;
    const TKestroConfig& box = GetConfig();
    const int32_t count = FetchCount();
    const std::string total = std::to_string(Client->MessageCount());
    while (FetchIndex < count) {
        const int32_t index = FetchIndex++;
        const int32_t number = int32_t(
            Pop3Number(TIpCustomPop3Client::ListLineNumber(MessageList[index]), 0, INT32_MAX));
        if (IsOversize(index)) {
            const std::string& id = FIds[size_t(index)];
            if (!id.empty() && FPartialMails.StoredBefore(id)) {
                LogOversize(index, "wurde schon teilweise geholt");
                continue;
            }
            LogOversize(index, "wird nur teilweise geholt");
            Client->Top(number, kTopLines);
            return;
        }
        if (FetchedBefore(index)) {
            // Stored by a run that ended before the server deleted it: deleted now, not stored
            // again.
            Log("Nachricht " + std::to_string(index + 1) + " von " + total + " wurde schon geholt");
            FStored[size_t(index)] = true;
            continue;
        }
        Log("Empfange Nachricht " + std::to_string(index + 1) + " von " + total + " Nachrichten");
        Client->Retrieve(number);
        return;
    }
    if (!FFetchDone) {
        FFetchDone = true;
        SavePartialMails();
    }
    // Only what is whole in the spool leaves the server; a partial fetch stays for the user.
    while (!box.Pop3Keep && DeleteIndex < count) {
        const int32_t index = DeleteIndex++;
        if (!FStored[size_t(index)]) continue;
        Log("L\xC3\xB6sche Nachricht " + std::to_string(index + 1) + " von " + total +
            " Nachrichten");
        const std::string& entry = MessageList[index];
        FDeleted = true;
        Client->Dele(int32_t(Pop3Number(TIpCustomPop3Client::ListLineNumber(entry), 0, INT32_MAX)));
        return;
    }
    Log("Es wurden " + std::to_string(FetchIndex) + " Nachrichten empfangen/bearbeitet");
    Finish();
}

void TKestroPOP3Client::Finish() {
    // Deletions take effect only when the server sees QUIT; the task ends on its answer (or on
    // the close that follows), so the run never drops the connection before that.
    if (FDeleted && Client->IsConnected()) {
        Client->Quit();
        return;
    }
    State = tsFinished;
}

void TKestroPOP3Client::DoResponse(TIpCustomPop3Client*, TIpPop3States responseTo,
                                   const std::string& code, const std::string& response) {
    if (State != tsRunning) return;
    if (!code.empty() && code[0] == '-') {
        if (responseTo == psSpecial) {
            Log("Warnung: Server " + GetConfig().Pop3Server +
                " unterst\xC3\xBCtzt LAST Kommando nicht");
            FetchIndex = 0;
            FetchNext();
            return;
        }
        if (responseTo == psUidl) {
            // Mails above the limit are then known by the Message-ID of their head.
            Log("Warnung: Server " + ServerName + " unterst\xC3\xBCtzt UIDL Kommando nicht");
            ContinueAfterList();
            return;
        }
        Fail("Error auf " + GetConfig().Pop3Server + ": " + response);
        return;
    }
    switch (responseTo) {
        case psStat:
            // A count that is no count would be read as an empty mailbox: the mail would stay
            // on the server unseen while the run reports success.
            if (Client->MessageCount() < 0)
                Fail("Error auf " + ServerName + ": STAT-Antwort \"" +
                     IpLineForLog(Client->LastResponse()) + "\" ist ung\xC3\xBCltig");
            break;
        case psNoOp:
        case psDele:
            FetchNext();
            break;
        case psSpecial: {
            FetchIndex = 0;
            const int64_t last =
                Pop3Number(TIpCustomPop3Client::ListLineNumber(response), 0, INT32_MAX);
            if (last != 0) {
                const int32_t count = MessageList.Count();
                while (FetchIndex < count) {
                    const int64_t number = Pop3Number(
                        TIpCustomPop3Client::ListLineNumber(MessageList[FetchIndex]), 0, INT32_MAX);
                    ++FetchIndex;
                    if (number == last) break;
                }
            }
            FetchNext();
            break;
        }
        case psQuit:
            ForgetDeletedMails();
            State = tsFinished;
            break;
        default:
            break;
    }
}

void TKestroPOP3Client::DoMessage(TIpCustomPop3Client*, TIpMailMessage& message) {
    CountBytes(*Client, true, false);
    if (State != tsRunning) return;
    try {
        // A message nothing was taken from is stored as received.
        if (ExtractAttachments(message, GetConfig())) message.EncodeMessage();
        const size_t index = size_t(FetchIndex - 1);
        StoreMail(message, TrackFetched() && FIdentified[index] ? FIds[index] : std::string());
    } catch (const std::exception& e) {
        Fail("Error: " + std::string(e.what()));
        return;
    }
    FStored[size_t(FetchIndex - 1)] = true;
    FetchNext();
}

void TKestroPOP3Client::DoTop(TIpCustomPop3Client*, TIpMailMessage& msgTop) {
    CountBytes(*Client, true, false);
    if (State != tsRunning) return;
    const int32_t index = FetchIndex - 1;
    if (index < 0 || index >= MessageList.Count()) return;
    std::string& id = FIds[size_t(index)];
    if (!FIdentified[size_t(index)]) id = TPartialMails::CleanId(msgTop.MessageID);
    FIdentified[size_t(index)] = true;
    if (!id.empty() && FPartialMails.StoredBefore(id)) {
        LogOversize(index, "wurde schon teilweise geholt");
        FetchNext();
        return;
    }
    try {
        TIpAnsiTextStream& body = msgTop.Body;
        if (msgTop.IsMultipart) {
            // In front of the preamble: the body stream overwrites, so it is written anew.
            std::vector<std::string> old;
            body.Seek(0, soBeginning);
            while (!body.AtEndOfStream()) old.push_back(body.ReadLine());
            msgTop.ClearBodyStream();
            msgTop.Body.WriteLine("");
            for (const char* line : PartialMailNotice) msgTop.Body.WriteLine(line);
            msgTop.Body.WriteLine("");
            for (const auto& line : old) msgTop.Body.WriteLine(line);
        } else {
            body.Seek(0, soEnd);
            body.WriteLine("");
            for (const char* line : PartialMailNotice) body.WriteLine(line);
            body.WriteLine("");
        }
        msgTop.EncodeMessage();
        StoreMail(msgTop);
    } catch (const std::exception& e) {
        Fail("Error: " + std::string(e.what()));
        return;
    }
    if (!id.empty()) {
        FPartialMails.Add(id);
        SavePartialMails();
    }
    FetchNext();
}

void TKestroPOP3Client::StoreMail(TIpMailMessage& message, const std::string& Id) {
    const std::string name = NewSpoolFileName(SpoolDir);
    const std::string path = SpoolDir + name;
    const std::string temp = TFetchedMails::TempSpoolName(SpoolDir, name);
    WriteSpoolMail(message, temp, ServerName, Envelope);
    ExitPoint(epMailWritten);
    // Listed before the file takes its name: a run that ends in between finds its temporary file
    // still there, so the mail counts as not stored.
    if (!Id.empty() && FFetched.Add(Id, temp)) {
        try {
            FFetched.Save(FetchedMailsFile());
        } catch (...) {
            FFetched.Remove(Id);
            DeleteFile(temp);
            throw;
        }
        ExitPoint(epMailListed);
    }
    if (!RenameFile(temp, path)) {
        // The temporary file tells the list that the mail was not stored; it may go only once
        // the list no longer names it.
        bool named = !Id.empty() && FFetched.Stored(Id);
        if (named) {
            FFetched.Remove(Id);
            SaveFetchedMails();
            named = FFetched.Modified();
        }
        if (!named) DeleteFile(temp);
        throw EWriteError("Cannot rename " + temp + " to " + path);
    }
    ExitPoint(epMailStored);
    if (OnNewMail)
        OnNewMail(this, MailListLine(path, message.Date, message.Subject, message.From,
                                     message.GetMessageSize()));
    ++MailCount;
}

void TKestroPOP3Client::DoProgress(TIpCustomPop3Client*, uint64_t) {
    // The client reports what this message brought so far; the task counts the whole session.
    CountBytes(*Client, true, false);
}
