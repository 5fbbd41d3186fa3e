#include "netlib/smtp/IpSmtp.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "netlib/base/IpUtils.h"
#include "netlib/mime/MailAddresses.h"
#include "netlib/smtp/Limits.h"

namespace {

// Entry types of the client's own debug-log entries (the writer is the client).
constexpr uint32_t deTaskSet = 0x0201;
constexpr uint32_t deTaskComplete = 0x0202;
constexpr uint32_t deStateChange = 0x0203;
constexpr uint32_t deMultiLine = 0x0204;
constexpr uint32_t deResponse = 0x0205;
constexpr uint32_t deNextMessage = 0x0206;
// Value 1 when the message's encoding starts, 0 when it is done.
constexpr uint32_t deEncodeAction = 0x0207;

bool HasMailerField(const TStringList& fields) {
    for (int i = 0; i < fields.Count(); ++i) {
        std::string head = fields[i].substr(0, 9);
        for (char& c : head) c = char(std::toupper(static_cast<unsigned char>(c)));
        if (head == "X-MAILER:") return true;
    }
    return false;
}

}  // namespace

TIpCustomSmtpClient::TIpCustomSmtpClient(void* owner)
    : TIpCustomEmailClass(owner), FMessage(std::make_unique<TIpMailMessage>()) {
    DefaultPort = 25;
    XMailer = "Kestro Internet Library " + VersionString();
    SetReplyTimeLimit({SmtpLimits::kReplyMinBytesPerSecond, SmtpLimits::kMaxReplyMs});
}

TIpCustomSmtpClient::~TIpCustomSmtpClient() = default;

// ---- state, task and sending ---------------------------------------------------------------

void TIpCustomSmtpClient::SetState(TIpSmtpStates value) {
    FState = value;
    DebugValue(deStateChange, value);
    PostMessage(Handle(), WM_IPSMTP, 1, LPARAM(value));
}

void TIpCustomSmtpClient::SetTask(TIpSmtpTasks value) {
    FTask = value;
    if (value != stNoTask) DebugValue(deTaskSet, value);
}

void TIpCustomSmtpClient::TaskComplete() {
    DebugValue(deTaskComplete, FTask);
    if (FState != ssNoOp) SetState(ssNoOp);
    PostMessage(Handle(), WM_IPSMTP, 2, LPARAM(FTask));
    FTask = stNoTask;
}

void TIpCustomSmtpClient::PutLine(const std::string& text) {
    ++FCommandsSent;
    BeginReply();
    PutString(SocketHandle(), text + "\r\n", false);
}

// ---- commands --------------------------------------------------------------------------------

void TIpCustomSmtpClient::SendMail(const std::string& host, bool quitAfterSend) {
    if (FState != ssNoOp) throw EIpBaseException("Can not comply, wrong state");
    SetTask(stSendMail);
    FQuitAfterSend = quitAfterSend;
    if (IsConnected())
        SendEnvelope();
    else
        Connect(host);
}

void TIpCustomSmtpClient::Connect(const std::string& host) {
    SetState(ssConnect);
    FConnectOnly = FTask == stNoTask;
    FMultiLine = false;
    FReplyLines.Clear();
    TIpCustomEmailClass::Connect(host);
}

void TIpCustomSmtpClient::SendCommand(const std::string& text, bool multiLine) {
    SetState(ssSpecial);
    FMultiLine = multiLine;
    PutLine(text);
}

void TIpCustomSmtpClient::Quit() {
    SetState(ssQuit);
    if (IsConnected())
        PutLine("QUIT");
    else
        SetState(ssNoOp);
}

std::string TIpCustomSmtpClient::NormalizeAddress(const std::string& address) {
    const std::string spec = FirstAddrSpec(address);
    return spec.empty() ? spec : EnvelopeAddress(spec);
}

void TIpCustomSmtpClient::SendGreeting(bool extended) {
    SetState(extended ? ssEhlo : ssHelo);
    const std::string domain = Domain.empty() ? GetLocalHostName() : Domain;
    PutLine((extended ? "EHLO " : "HELO ") + domain);
}

void TIpCustomSmtpClient::SendEnvelope() {
    TIpMailMessage& msg = *FMessage;
    // Every address of every entry; an entry without one (a group such as
    // "undisclosed-recipients:;", a name alone) has no place in the envelope.
    FRecipients.Clear();
    for (const TStringList* list : {&msg.MailTo, &msg.CC, &msg.BCC})
        for (int i = 0; i < list->Count(); ++i)
            for (const std::string& spec : AddrSpecs((*list)[i])) FRecipients.Add(spec);
    if (FRecipients.Count() == 0) throw EIpBaseException("No recipients specified");

    // The blind copies are envelope recipients only; their header leaves the message unless
    // asked to stay.
    TStringList savedBcc;
    savedBcc.AddStrings(msg.BCC);
    if (!IncludeBCC) msg.BCC.Clear();
    try {
        for (int i = 0; i < Attachments.Count(); ++i) msg.AddAttachment(Attachments[i]);
        if (!XMailer.empty() && !HasMailerField(msg.UserFields))
            msg.UserFields.Add("X-Mailer: " + XMailer);
        DebugValue(deEncodeAction, 1);
        msg.EncodeMessage();
        DebugValue(deEncodeAction, 0);
    } catch (...) {
        if (!IncludeBCC) msg.BCC.AddStrings(savedBcc);
        throw;
    }
    if (!IncludeBCC) msg.BCC.AddStrings(savedBcc);

    SetState(ssMailFrom);
    // A From without any address gives the null sender: "MAIL FROM:" alone is refused by every
    // server, and the refusal would hold back every mail after this one.
    const std::string from = NormalizeAddress(msg.From);
    PutLine("MAIL FROM:" + (from.empty() ? std::string("<>") : from));
}

void TIpCustomSmtpClient::SendNextRecipient() {
    if (FState == ssMailFrom) SetState(ssRcptTo);
    const std::string recipient = FRecipients[0];
    FRecipients.Delete(0);
    PutLine("RCPT TO:" + EnvelopeAddress(recipient));
}

void TIpCustomSmtpClient::SendBody() {
    SetState(ssSendMessage);
    const SOCKET socket = SocketHandle();
    ResetStats(socket);
    ++FCommandsSent;
    TIpMailMessage& msg = *FMessage;
    const int64_t size = msg.GetMessageSize();
    msg.SetPosition(0);
    std::string block;
    bool anyLine = false;
    while (!msg.AtEndOfStream()) {
        AppendStuffedLine(block, msg.ReadLine());
        anyLine = true;
        const int64_t position = msg.GetPosition();
        // A short breath at the end of the stream; the servers of old needed it, it costs
        // nothing worth measuring.
        if (position != 0 && size % position == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (block.size() >= SmtpLimits::kSendBlock) {
            PutString(socket, block, false);
            block.clear();
        }
    }
    if (!anyLine) AppendStuffedLine(block, std::string());
    block += ".\r\n";
    BeginReply();
    PutString(socket, block, false);
}

void TIpCustomSmtpClient::AskNextMessage() {
    bool ready = false;
    if (OnNextMessage) OnNextMessage(this, ready);
    DebugValue(deNextMessage, ready ? 1 : 0);
    if (ready)
        SendEnvelope();
    else if (FQuitAfterSend)
        Quit();
    else
        TaskComplete();
}

// ---- the reply machine ---------------------------------------------------------------------

void TIpCustomSmtpClient::DoReadLine(SOCKET socket, const std::string& line) {
    // Every line of a reply is a status line: one ended by a bare LF, which comes joined to the
    // line after it, is a line of its own and is read with the CR LF the others have. The last
    // piece keeps the ending it came with (none when the close cut it).
    const bool crLf = line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0;
    const std::string text = crLf ? line.substr(0, line.size() - 2) : line;
    size_t bareEnds = size_t(std::count(text.begin(), text.end(), '\n'));
    ReadStatusLines(
        socket, text, [] { return true; },
        [&](const std::string& part) {
            const bool last = bareEnds == 0;
            if (!last) --bareEnds;
            ReadReplyLine(socket, last && !crLf ? part : part + "\r\n");
        });
}

void TIpCustomSmtpClient::ReadReplyLine(SOCKET socket, const std::string& line) {
    if (socket != SocketHandle()) return;
    if (!ReplyLineArrived()) return;
    const int32_t code = SmtpReplyCode(line);
    FLastReply = line;
    if (code == 0) {
        RefuseCodelessReply(line);
        return;
    }
    if (line.size() > 4 && line[3] == '-') {
        FMultiLine = true;
        FReplyLines.Add(line);
        if (FReplyLines.Count() > SmtpLimits::kMaxReplyLines) {
            FReplyLines.Clear();
            AbortReply(WSAEMSGSIZE, "reply too long, connection dropped");
        }
        return;
    }
    EndReply();

    const TIpSmtpStates responseTo = FState;
    const uint64_t sentBefore = FCommandsSent;
    // The reply ends a raw command, so its handler finds the client idle and may start the
    // next task (AUTH answers, then SendMail).
    if (FState == ssSpecial || FState == ssHelp) SetState(ssNoOp);
    if (FMultiLine) {
        DebugValue(deMultiLine, 0);
        FMultiLine = false;
        if (OnMultiLineResponse) OnMultiLineResponse(this, responseTo, FReplyLines);
        FReplyLines.Clear();
    } else {
        DebugValue(deResponse, uint32_t(code));
        if (OnResponse) OnResponse(this, responseTo, code, SmtpReplyText(line));
    }

    // A handler that sent a command has answered this reply itself.
    if (FCommandsSent != sentBefore) return;
    if (code > 400 && responseTo != ssEhlo) {
        TaskComplete();
        FTask = stFailed;
        if (FQuitAfterSend && responseTo != ssQuit) Quit();
        return;
    }
    if (FConnectOnly) {
        SetState(ssNoOp);
        return;
    }
    NextStep(code);
}

// A line without a reply code is no SMTP (or a server that has lost track): taken as a reply it
// would count as consent to the envelope and the data, and nothing it says after can be trusted.
// Its user sees it as a reply with code 0; the task fails and the connection goes.
void TIpCustomSmtpClient::RefuseCodelessReply(const std::string& line) {
    EndReply();
    FMultiLine = false;
    FReplyLines.Clear();
    DebugValue(deResponse, 0);
    if (OnResponse) OnResponse(this, FState, 0, SmtpReplyText(line));
    TaskComplete();
    FTask = stFailed;
    // A line that the server's close flushed ends with the connection anyway.
    if (Socket() && !Socket()->IsClosed()) DropConnection();
}

void TIpCustomSmtpClient::NextStep(int32_t code) {
    switch (FState) {
        case ssConnect:
            SendGreeting(true);
            break;
        case ssEhlo:
        case ssHelo:
            if (FState == ssEhlo && code != 250) {
                SendGreeting(false);
            } else if (FTask == stLogon) {
                TaskComplete();
            } else if (FTask == stSendMail) {
                SendEnvelope();
            }
            break;
        case ssMailFrom:
        case ssRcptTo:
        case ssRcptCc:
        case ssRcptBcc:
            if (FRecipients.Count() > 0) {
                SendNextRecipient();
            } else {
                SetState(ssData);
                PutLine("DATA");
            }
            break;
        case ssData:
            SendBody();
            break;
        case ssRSet:
            Quit();
            break;
        case ssHelp:
        case ssSpecial:
            SetState(ssNoOp);
            break;
        case ssSendMessage:
            // Only the server's 250 takes the message; anything else ends the send.
            if (code == 250) {
                AskNextMessage();
            } else {
                TaskComplete();
                FTask = stFailed;
                if (FQuitAfterSend) Quit();
            }
            break;
        case ssQuit:
            if (FTask == stSendMail)
                TaskComplete();
            else
                SetState(ssNoOp);
            break;
        default:
            break;
    }
}

// ---- socket events ---------------------------------------------------------------------------

void TIpCustomSmtpClient::DoStatus(SOCKET socket, TIpStatusType event,
                                   const TIpConnRec& connection) {
    TIpCustomEmailClass::DoStatus(socket, event, connection);
    switch (event) {
        case stConnect:
            ApplyIdleTimeout();
            BeginReply();  // the greeting
            break;
        case stDisconnect:
            EndReply();
            SetState(ssNoOp);
            SetTask(stNoTask);
            break;
        case stProgress:
            if (FState >= ssMailFrom && FState <= ssSendMessage && OnProgress && IsActive()) {
                TIpSockStatRec stats;
                GetStatRec(socket, stats);
                OnProgress(this, stats.BytesSent);
            }
            break;
    }
}

void TIpCustomSmtpClient::DoError(SOCKET socket, int32_t errCode, const std::string& errStr) {
    TIpCustomEmailClass::DoError(socket, errCode, errStr);
    if (OnConnectError) OnConnectError(this, errCode, errStr);
    SetState(ssNoOp);
    if (FTask != stNoTask) {
        FTask = stFailed;
        TaskComplete();
    }
}

void TIpCustomSmtpClient::WndProc(TMessage& message) {
    if (message.Msg == WM_IPSMTP) {
        if (message.WParam == 1 && OnStateChange)
            OnStateChange(this, TIpSmtpStates(message.LParam));
        else if (message.WParam == 2 && OnTaskComplete)
            OnTaskComplete(this, TIpSmtpTasks(message.LParam));
        return;
    }
    TIpCustomEmailClass::WndProc(message);
}

std::string TIpCustomSmtpClient::FormatDebugEntry(uint32_t socket, uint32_t entryType,
                                                  const void* data, uint32_t size) {
    const uint32_t value = IpDebugEntryValue(entryType, data);
    std::string text;
    switch (entryType) {
        case deTaskSet:
            text = "Starting task: " + SmtpTaskText(value);
            break;
        case deTaskComplete:
            text = "Generating OnTaskComplete event " + SmtpTaskText(value);
            break;
        case deStateChange:
            text = "State change: " + SmtpStateText(value);
            break;
        case deMultiLine:
            text = "Generating OnMultiLineResponse event";
            break;
        case deResponse:
            text = "Generating OnResponse event, Code = " + std::to_string(value);
            break;
        case deNextMessage:
            text = value ? "Next message ready" : "Next message not ready";
            break;
        case deEncodeAction:
            text = value ? "Generating OnEncodeAction(Start)" : "Generating OnEncodeAction(Stop)";
            break;
        default:
            return TIpCustomEmailClass::FormatDebugEntry(socket, entryType, data, size);
    }
    return "[SMTP] " + text + "\r\n";
}
