#include "netlib/pop3/IpPop3.h"

#include <exception>

#include "netlib/base/IpUtils.h"
#include "netlib/pop3/Limits.h"
#include "netlib/pop3/Pop3Reply.h"

namespace {

// Entry types of the client's own debug-log entries (the writer is the client).
constexpr uint32_t deTaskSet = 0x0301;
constexpr uint32_t deTaskComplete = 0x0302;
constexpr uint32_t deStateChange = 0x0303;
constexpr uint32_t deMultiLine = 0x0304;
constexpr uint32_t deResponse = 0x0305;
constexpr uint32_t deMessage = 0x0306;
constexpr uint32_t deTop = 0x0307;

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

}  // namespace

TIpCustomPop3Client::TIpCustomPop3Client(void* owner)
    : TIpCustomEmailClass(owner), FMessage(std::make_unique<TIpMailMessage>()) {
    DefaultPort = 110;
    SockInits().StripLineTerminator = true;
    SetReplyTimeLimit({Pop3Limits::kReplyMinBytesPerSecond, Pop3Limits::kMaxReplyMs});
}

TIpCustomPop3Client::~TIpCustomPop3Client() = default;

// ---- state, task and sending ---------------------------------------------------------------

void TIpCustomPop3Client::SetState(TIpPop3States value) {
    FState = value;
    DebugValue(deStateChange, value);
    // Posted at every assignment, also when nothing changes: a watcher sees each step.
    PostMessage(Handle(), WM_IPPOP3, 1, LPARAM(value));
}

void TIpCustomPop3Client::SetTask(TIpPop3Tasks value) {
    FTask = value;
    if (value != ptNone) DebugValue(deTaskSet, value);
}

void TIpCustomPop3Client::CheckTransaction(const char* command) const {
    if (FInAuthorization)
        throw EIpPop3Exception(std::string(command) + " can not be called in authentication state");
}

void TIpCustomPop3Client::PutLine(const std::string& text) {
    ++FCommandsSent;
    BeginReply();
    PutString(SocketHandle(), text + "\r\n", false);
}

void TIpCustomPop3Client::StartMultiLine() {
    FResponseList.Clear();
    FMultiLine = true;
    FReplyStarted = false;
    FReplyBytes = 0;
}

// ---- commands --------------------------------------------------------------------------------

void TIpCustomPop3Client::Dele(int32_t n) {
    CheckTransaction("DELE");
    SetState(psDele);
    FMultiLine = false;
    PutLine("DELE " + std::to_string(n));
}

void TIpCustomPop3Client::Top(int32_t n, int32_t lines) {
    CheckTransaction("TOP");
    SetState(psTop);
    StartMultiLine();
    PutLine("TOP " + std::to_string(n) + " " + std::to_string(lines));
}

void TIpCustomPop3Client::List() {
    CheckTransaction("LIST");
    SetState(psList);
    StartMultiLine();
    PutLine("LIST");
}

void TIpCustomPop3Client::List(int32_t n) {
    CheckTransaction("LIST");
    SetState(psList);
    FMultiLine = false;
    PutLine("LIST " + std::to_string(n));
}

void TIpCustomPop3Client::Retrieve(int32_t n) {
    CheckTransaction("RETR");
    SetState(psRetr);
    FMessage->ClearMessage();
    StartMultiLine();
    PutLine("RETR " + std::to_string(n));
}

void TIpCustomPop3Client::Uidl() {
    CheckTransaction("UIDL");
    SendUidl();
}

void TIpCustomPop3Client::Quit() {
    FMultiLine = false;
    if (IsConnected()) {
        SetState(psQuit);
        PutLine("QUIT");
    } else {
        SetState(psNoOp);
    }
}

void TIpCustomPop3Client::SendCommand(const std::string& text, bool multiLine) {
    SetState(psSpecial);
    FMultiLine = multiLine;
    FReplyStarted = false;
    FReplyBytes = 0;
    PutLine(text);
}

void TIpCustomPop3Client::StartList(const std::string& host) {
    SetTask(ptList);
    if (IsConnected()) {
        SetState(psList);
        StartMultiLine();
        PutLine("LIST");
    } else {
        Connect(host);
    }
}

void TIpCustomPop3Client::Connect(const std::string& host) {
    SetState(psConnect);
    FMultiLine = false;
    FInAuthorization = true;
    TIpCustomEmailClass::Connect(host);
}

void TIpCustomPop3Client::SendApop() {
    if (!FInAuthorization) throw EIpPop3Exception("APOP can not be called in transaction state");
    SetState(psApop);
    FMultiLine = false;
    PutLine("APOP " + UserName + " " + ApopDigest(FTimestamp, Password));
}

void TIpCustomPop3Client::SendUser() {
    SetState(psUser);
    FMultiLine = false;
    PutLine("USER " + UserName);
}

void TIpCustomPop3Client::SendPass() {
    SetState(psPass);
    FMultiLine = false;
    PutLine("PASS " + Password);
}

void TIpCustomPop3Client::SendStat() {
    SetState(psStat);
    FMultiLine = false;
    PutLine("STAT");
}

void TIpCustomPop3Client::SendUidl() {
    SetState(psUidl);
    StartMultiLine();
    PutLine("UIDL");
}

std::string TIpCustomPop3Client::ListLineNumber(const std::string& line) {
    const size_t blank = line.find(' ');
    return blank == std::string::npos ? line : line.substr(0, blank);
}

std::string TIpCustomPop3Client::ListLineValue(const std::string& line) {
    const size_t blank = line.find(' ');
    return blank == std::string::npos ? std::string() : line.substr(blank + 1);
}

std::string TIpCustomPop3Client::ApopDigest(const std::string& timestamp,
                                            const std::string& password) {
    return MD5DigestString(timestamp + password);
}

// ---- the reply machine ---------------------------------------------------------------------

void TIpCustomPop3Client::DoReadLine(SOCKET socket, const std::string& line) {
    // A status line ended by a bare LF brings the next line with it.
    ReadStatusLines(
        socket, line, [this] { return !FMultiLine || !FReplyStarted; },
        [&](const std::string& part) { ReadReplyLine(socket, part); });
}

void TIpCustomPop3Client::ReadReplyLine(SOCKET socket, const std::string& line) {
    if (socket != SocketHandle()) return;
    // A server that talks without being asked, or answers with something that is no status
    // line, is not a POP3 server (or has lost track): nothing it says can be trusted.
    if (!ReplyRunning()) {
        AbortReply(0, "unexpected line \"" + IpLineForLog(line) + "\", connection dropped");
        return;
    }
    const bool statusExpected = !FMultiLine || !FReplyStarted;
    if (statusExpected && !StartsWith(line, "+OK") && !StartsWith(line, "-ERR")) {
        AbortReply(0, "invalid reply \"" + IpLineForLog(line) + "\", connection dropped");
        return;
    }
    // A line the close cut off ends no message: a data line cut after its stuffed dot would
    // read as the final dot, and the head of a mail would be stored as the whole mail.
    if (FMultiLine && FReplyStarted && LineCutByClose(socket)) return;
    if (!ReplyLineArrived()) return;
    FLastResponse = line;
    if (FMultiLine && FReplyStarted && line != ".") {
        TakeDataLine(line);
        return;
    }
    const TPop3Reply reply = SplitPop3Reply(line);
    if (FState == psStat) {
        const TPop3Stat Stat = ParsePop3Stat(reply.Text);
        FMessageCount = Stat.Count;
        FMailboxSize = Stat.Size;
    }
    const uint64_t sentBefore = FCommandsSent;

    if (FMultiLine) {
        if (!FReplyStarted) {
            FReplyStarted = true;
            if (FState == psRetr) ResetStats(socket);
            if (FState == psRetr || FState == psTop) AllowMessageLines(Pop3Limits::kMaxReplyBytes);
            // Only the status line: a failed multi-line command keeps its state until the next
            // command.
            if (StartsWith(line, "-ERR")) EndReply();
            ReportResponse(reply.Code, reply.Text);
            return;
        }
        EndReply();
        if (FState == psRetr) {
            try {
                FMessage->DecodeMessage();
            } catch (const std::exception&) {
                // A message the model cannot take apart is still delivered as received.
            }
            ReportMessage();
        } else if (FState == psTop) {
            ReportTop();
        } else {
            ReportMultiLine();
        }
    } else {
        EndReply();
        ReportResponse(reply.Code, reply.Text);
    }

    // A handler that sent a command has answered this reply itself.
    if (FCommandsSent != sentBefore) return;
    if (reply.Code == "-ERR" && FState != psRetr) {
        FMultiLine = false;
        SetState(psNoOp);
        SetTask(ptNone);
        return;
    }
    NextStep(reply.Text);
}

void TIpCustomPop3Client::TakeDataLine(const std::string& Line) {
    if (ReplyTooLarge(Line.size())) return;
    // A message may run to hundreds of megabytes in millions of lines: its lines go into the
    // message as they stand, with no copy made on the way (the dot of a stuffed line skipped).
    const size_t Skip = StartsWith(Line, ".") ? 1 : 0;
    if (FState == psRetr)
        FMessage->MessageStream.WriteLineArray(Line.data() + Skip, int64_t(Line.size() - Skip));
    else
        FResponseList.Add(Line.substr(Skip));
}

bool TIpCustomPop3Client::ReplyTooLarge(size_t lineSize) {
    FReplyBytes += lineSize + 2;
    const bool message = FState == psRetr || FState == psTop;
    if (message ? FReplyBytes <= Pop3Limits::kMaxReplyBytes
                : FReplyBytes <= Pop3Limits::kMaxListBytes &&
                      FResponseList.Count() < Pop3Limits::kMaxListLines)
        return false;
    FMultiLine = false;
    FResponseList.Clear();
    AbortReply(WSAEMSGSIZE, "reply too large, connection dropped");
    return true;
}

void TIpCustomPop3Client::NextStep(const std::string& text) {
    switch (FState) {
        case psConnect:
            FTimestamp = Pop3Timestamp(text);
            if (FTask == ptNone) break;
            if (EncryptedLogon && !FTimestamp.empty())
                SendApop();
            else
                SendUser();
            break;
        case psUser:
            if (FTask != ptNone) SendPass();
            break;
        case psPass:
        case psApop:
            FInAuthorization = false;
            if (FTask != ptNone) SendStat();
            break;
        case psStat:
            if (FTask == ptLogon)
                ReportTaskComplete();
            else if (FTask == ptList)
                List();
            else if (FTask == ptUIDL)
                SendUidl();
            break;
        case psList:
            if (FTask == ptList) ReportTaskComplete();
            break;
        case psUidl:
            if (FTask == ptUIDL) ReportTaskComplete();
            break;
        case psDele:
            SetState(psNoOp);
            break;
        default:
            break;
    }
}

// ---- reporting -------------------------------------------------------------------------------

void TIpCustomPop3Client::ReportResponse(const std::string& code, const std::string& text) {
    DebugValue(deResponse, code == "+OK" ? 1 : 0);
    FMultiLineReady = false;
    if (OnResponse) OnResponse(this, FState, code, text);
}

void TIpCustomPop3Client::ReportMultiLine() {
    DebugValue(deMultiLine, 0);
    FMultiLine = false;
    FMultiLineReady = true;
    if (OnMultiLineResponse) OnMultiLineResponse(this, FState, FResponseList);
}

void TIpCustomPop3Client::ReportMessage() {
    DebugValue(deMessage, 0);
    FMultiLine = false;
    // Idle before the event, so the handler may send the next command.
    SetState(psNoOp);
    if (OnMessage) OnMessage(this, *FMessage);
}

void TIpCustomPop3Client::ReportTop() {
    DebugValue(deTop, 0);
    FMultiLine = false;
    if (!OnTop) return;
    TIpMailMessage top;
    for (int i = 0; i < FResponseList.Count(); ++i) top.WriteLine(FResponseList[i]);
    try {
        top.DecodeMessage();
    } catch (const std::exception&) {
        // Only the head and the first lines arrived; what cannot be decoded stays raw.
    }
    OnTop(this, top);
}

void TIpCustomPop3Client::ReportTaskComplete() {
    const TIpPop3Tasks task = FTask;
    DebugValue(deTaskComplete, task);
    if (OnTaskComplete) {
        if (FMultiLineReady) {
            OnTaskComplete(this, task, FResponseList);
        } else {
            TStringList last;
            last.Add(FLastResponse);
            OnTaskComplete(this, task, last);
        }
    }
    // A handler may have started the next task already.
    if (FTask == task) SetTask(ptNone);
}

// ---- socket events ---------------------------------------------------------------------------

void TIpCustomPop3Client::DoStatus(SOCKET socket, TIpStatusType event,
                                   const TIpConnRec& connection) {
    switch (event) {
        case stConnect:
            if (FTask == ptNone) SetState(psNoOp);
            ApplyIdleTimeout();
            BeginReply();  // the greeting
            break;
        case stDisconnect:
            EndReply();
            SetState(psNoOp);
            SetTask(ptNone);
            FInAuthorization = false;
            break;
        case stProgress:
            if (FState == psRetr && OnProgress) {
                TIpSockStatRec stats;
                GetStatRec(socket, stats);
                OnProgress(this, stats.BytesReceived);
            }
            break;
    }
    TIpCustomEmailClass::DoStatus(socket, event, connection);
}

void TIpCustomPop3Client::DoError(SOCKET socket, int32_t errCode, const std::string& errStr) {
    TIpCustomEmailClass::DoError(socket, errCode, errStr);
    SetState(psNoOp);
    if (FTask != ptNone) {
        SetTask(ptSocketError);
        ReportTaskComplete();
    }
}

void TIpCustomPop3Client::WndProc(TMessage& message) {
    if (message.Msg == WM_IPPOP3) {
        if (message.WParam == 1 && OnStateChange)
            OnStateChange(this, TIpPop3States(message.LParam));
        return;
    }
    TIpCustomEmailClass::WndProc(message);
}

std::string TIpCustomPop3Client::FormatDebugEntry(uint32_t socket, uint32_t entryType,
                                                  const void* data, uint32_t size) {
    const uint32_t value = IpDebugEntryValue(entryType, data);
    std::string text;
    switch (entryType) {
        case deTaskSet:
            text = "Starting task: " + Pop3TaskText(value);
            break;
        case deTaskComplete:
            text = "Generating OnTaskComplete event " + Pop3TaskText(value);
            break;
        case deStateChange:
            text = "State change: " + Pop3StateText(value);
            break;
        case deMultiLine:
            text = "Generating OnMultiLineResponse event";
            break;
        case deResponse:
            text = std::string("Generating OnResponse event, Code = ") + (value ? "+OK" : "-ERR");
            break;
        case deMessage:
            text = "Generating OnMessage event";
            break;
        case deTop:
            text = "Generating OnTop event";
            break;
        default:
            return TIpCustomEmailClass::FormatDebugEntry(socket, entryType, data, size);
    }
    return "[POP3] " + text + "\r\n";
}
