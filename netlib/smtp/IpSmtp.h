#pragma once
// The SMTP client: a socket client that speaks SMTP as a machine driven by reply lines. One
// SendMail connects (or reuses the connection), greets with EHLO (HELO when EHLO is refused),
// sends the envelope and the body of Message, and asks OnNextMessage whether another message
// follows on the same connection; at the end it quits.
//
// State changes and the end of a task are posted to the client's own window, so OnStateChange
// and OnTaskComplete arrive after the line that caused them. The reply machine picks its next
// step from the state after the events of a reply have run; when an event handler sent a command
// for that reply (AUTH LOGIN, its answers, a new SendMail), the machine takes no step of its own,
// so every later reply still belongs to the command it answers.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "netlib/mime/MimeMessage.h"
#include "netlib/sock/IpEmail.h"
#include "platform/classes/Classes.h"

enum TIpSmtpStates : uint8_t {
    ssNoOp,
    ssConnect,
    ssEhlo,
    ssHelo,
    ssMailFrom,
    ssRcptTo,
    ssRcptCc,
    ssRcptBcc,
    ssData,
    ssRSet,
    ssHelp,
    ssSendEnvelope,
    ssSendMessage,
    ssSpecial,
    ssQuit
};

// stFailed marks a task that ended with an error reply or a socket error; it stays until the
// next task starts.
enum TIpSmtpTasks : uint8_t { stNoTask, stLogon, stSendMail, stFailed };

// The window message that carries posted state changes (wParam 1) and task completions
// (wParam 2); lParam is the state or the task.
constexpr UINT WM_IPSMTP = 0x12A5;

class TIpCustomSmtpClient;

using TIpSmtpConnectErrorEvent =
    std::function<void(TIpCustomSmtpClient* client, int32_t errCode, const std::string& errStr)>;
using TIpSmtpNextMessageEvent =
    std::function<void(TIpCustomSmtpClient* client, bool& nextMsgReady)>;
// Bytes of the current message sent so far.
using TIpSmtpProgressEvent =
    std::function<void(TIpCustomSmtpClient* client, uint64_t charsTransferred)>;
// The response text is the line from its fifth character on, line end included.
using TIpSmtpResponseEvent =
    std::function<void(TIpCustomSmtpClient* client, TIpSmtpStates responseTo, int32_t code,
                       const std::string& response)>;
// The continuation lines of a reply; its final line is LastReply.
using TIpSmtpMultiLineResponseEvent = std::function<void(
    TIpCustomSmtpClient* client, TIpSmtpStates responseTo, TStringList& response)>;
using TIpSmtpStateChangeEvent =
    std::function<void(TIpCustomSmtpClient* client, TIpSmtpStates state)>;
using TIpSmtpTaskCompleteEvent =
    std::function<void(TIpCustomSmtpClient* client, TIpSmtpTasks task)>;

class TIpCustomSmtpClient : public TIpCustomEmailClass {
  public:
    explicit TIpCustomSmtpClient(void* owner = nullptr);
    ~TIpCustomSmtpClient() override;

    // Added to every message sent: file names of attachments.
    TStringList Attachments;
    // Mailer name for the "X-Mailer" header; empty adds none.
    std::string XMailer;
    // Not used by the client; kept for its users.
    std::string UserID;
    // Argument of EHLO and HELO; empty means the local host name.
    std::string Domain;
    // Keep the BCC header in the message sent.
    bool IncludeBCC = false;

    TIpSmtpConnectErrorEvent OnConnectError;
    TIpSmtpStateChangeEvent OnStateChange;
    TIpSmtpResponseEvent OnResponse;
    TIpSmtpMultiLineResponseEvent OnMultiLineResponse;
    TIpSmtpProgressEvent OnProgress;
    TIpSmtpNextMessageEvent OnNextMessage;
    TIpSmtpTaskCompleteEvent OnTaskComplete;

    TIpMailMessage& Message() { return *FMessage; }
    TIpSmtpStates State() const { return FState; }
    TIpSmtpTasks Task() const { return FTask; }
    bool MultiLine() const { return FMultiLine; }
    bool QuitAfterSend() const { return FQuitAfterSend; }
    bool ConnectOnly() const { return FConnectOnly; }
    TStringList& ReplyLines() { return FReplyLines; }
    // The envelope recipients not sent yet.
    TStringList& Recipients() { return FRecipients; }
    const std::string& LastReply() const { return FLastReply; }

    // Sends Message; raises "Can not comply, wrong state" unless idle. quitAfterSend: send QUIT
    // when no further message follows.
    void SendMail(const std::string& host, bool quitAfterSend);
    void Connect(const std::string& host);
    void SendCommand(const std::string& text, bool multiLine);
    void Quit();

    // The first address of an address header as an envelope line writes it: "Name <a@b>",
    // "a@b (Name)" and "Group: a@b;" give "<a@b>"; without any address, empty.
    static std::string NormalizeAddress(const std::string& address);

    void DoReadLine(SOCKET socket, const std::string& line) override;
    void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) override;
    void DoError(SOCKET socket, int32_t errCode, const std::string& errStr) override;
    std::string ProtocolTag() const override { return "[SMTP] "; }
    void WndProc(TMessage& message) override;
    std::string FormatDebugEntry(uint32_t socket, uint32_t entryType, const void* data,
                                 uint32_t size) override;

  private:
    void SetState(TIpSmtpStates value);
    void SetTask(TIpSmtpTasks value);
    void TaskComplete();
    void PutLine(const std::string& text);
    void NextStep(int32_t code);
    // One status line of a reply, with its CR LF.
    void ReadReplyLine(SOCKET socket, const std::string& line);
    void RefuseCodelessReply(const std::string& line);

    void SendGreeting(bool extended);
    void SendEnvelope();
    void SendNextRecipient();
    void SendBody();
    void AskNextMessage();

    std::unique_ptr<TIpMailMessage> FMessage;
    TIpSmtpStates FState = ssNoOp;
    TIpSmtpTasks FTask = stNoTask;
    bool FMultiLine = false;
    bool FQuitAfterSend = false;
    bool FConnectOnly = false;
    TStringList FReplyLines;
    TStringList FRecipients;
    std::string FLastReply;
    uint64_t FCommandsSent = 0;
};

class TIpSmtpClient : public TIpCustomSmtpClient {
  public:
    using TIpCustomSmtpClient::TIpCustomSmtpClient;

    // Milliseconds; takes effect at once on an open connection.
    using TIpCustomEmailClass::IdleTimeout;
    using TIpCustomEmailClass::SetIdleTimeout;
};

// The reply code of an SMTP line: its first three characters as a number; 0 when they are not
// one, when a fourth character other than a blank, "-" or the line end follows, or when the
// line has 4 characters or fewer.
int32_t SmtpReplyCode(const std::string& line);
// The text of an SMTP line after its code and the character after it (as its line end leaves
// it); empty for a line of 4 characters or fewer.
std::string SmtpReplyText(const std::string& line);

// The address spec as MAIL FROM and RCPT TO carry it, in angle brackets and without control
// characters: a CR or LF from a header would end the command early, the rest going to the server
// as a command of its own.
std::string EnvelopeAddress(const std::string& spec);

// Appends the message line to out as it goes on the wire: CR LF at the end and one more "." in
// front of a line that begins with ".".
void AppendStuffedLine(std::string& out, const std::string& line);

// Texts of the debug log.
std::string SmtpTaskText(uint32_t task);
std::string SmtpStateText(uint32_t state);
