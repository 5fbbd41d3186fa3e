#pragma once
// The POP3 client: a socket client that speaks POP3 as a machine driven by reply lines. It
// connects, logs on with USER and PASS or with APOP, reads the mailbox status, lists the mailbox
// and then takes single commands (RETR, TOP, DELE, LIST, UIDL, raw commands, QUIT) from its user,
// who issues them from inside the client's events.
//
// Every state assignment is posted to the client's own window and arrives as OnStateChange after
// the current line. The reply machine picks its next step from the state after the events of a
// reply have run; when an event handler sent a command for that reply, the machine takes no step
// of its own, so a reply is never answered twice.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "netlib/mime/MimeMessage.h"
#include "netlib/sock/IpEmail.h"
#include "platform/classes/Classes.h"

enum TIpPop3States : uint8_t {
    psNoOp,
    psConnect,
    psUser,
    psPass,
    psStat,
    psList,
    psRetr,
    psDele,
    psRSet,
    psApop,
    psTop,
    psUidl,
    psQuit,
    psSpecial
};

// ptSocketError is the value a task completion carries after a socket error.
enum TIpPop3Tasks : uint8_t { ptNone, ptLogon, ptList, ptUIDL, ptSocketError };

// The window message that carries posted state changes (wParam 1, lParam the state).
constexpr UINT WM_IPPOP3 = 0x12A6;

class EIpPop3Exception : public EIpBaseException {
  public:
    using EIpBaseException::EIpBaseException;
};

class TIpCustomPop3Client;

using TIpPop3StateChangeEvent =
    std::function<void(TIpCustomPop3Client* client, TIpPop3States state)>;
using TIpPop3ResponseEvent =
    std::function<void(TIpCustomPop3Client* client, TIpPop3States responseTo,
                       const std::string& code, const std::string& response)>;
// Bytes of the message being retrieved so far.
using TIpPop3ProgressEvent =
    std::function<void(TIpCustomPop3Client* client, uint64_t charsTransferred)>;
using TIpPop3MultiLineResponseEvent = std::function<void(
    TIpCustomPop3Client* client, TIpPop3States responseTo, TStringList& response)>;
using TIpPop3MessageEvent =
    std::function<void(TIpCustomPop3Client* client, TIpMailMessage& message)>;
using TIpPop3TaskCompleteEvent =
    std::function<void(TIpCustomPop3Client* client, TIpPop3Tasks task, TStringList& response)>;
using TIpPop3TopEvent = std::function<void(TIpCustomPop3Client* client, TIpMailMessage& msgTop)>;

class TIpCustomPop3Client : public TIpCustomEmailClass {
  public:
    explicit TIpCustomPop3Client(void* owner = nullptr);
    ~TIpCustomPop3Client() override;

    std::string UserName;
    std::string Password;
    // Log on with APOP when the greeting carries a time stamp.
    bool EncryptedLogon = false;

    TIpPop3StateChangeEvent OnStateChange;
    TIpPop3ResponseEvent OnResponse;
    TIpPop3ProgressEvent OnProgress;
    TIpPop3MultiLineResponseEvent OnMultiLineResponse;
    TIpPop3MessageEvent OnMessage;
    TIpPop3TaskCompleteEvent OnTaskComplete;
    TIpPop3TopEvent OnTop;

    TIpPop3States State() const { return FState; }
    TIpPop3Tasks Task() const { return FTask; }
    bool InAuthorization() const { return FInAuthorization; }
    const std::string& Timestamp() const { return FTimestamp; }
    bool MultiLine() const { return FMultiLine; }
    bool MultiLineReady() const { return FMultiLineReady; }
    TStringList& ResponseList() { return FResponseList; }
    const std::string& LastResponse() const { return FLastResponse; }
    TIpMailMessage& Message() { return *FMessage; }
    // From the STAT reply; -1 when the reply held no count or size there (a negative or
    // oversized number is none either).
    int64_t MailboxSize() const { return FMailboxSize; }
    int32_t MessageCount() const { return FMessageCount; }

    // Commands. Those that need a logged-on connection raise EIpPop3Exception while the
    // connection is still in the authorization state.
    void Dele(int32_t n);
    void Top(int32_t n, int32_t lines);
    void List();
    // "LIST n": the single-line form.
    void List(int32_t n);
    void Retrieve(int32_t n);
    // The unique-id listing ("UIDL"), a multi-line reply of "number id" lines.
    void Uidl();
    void Quit();
    void SendCommand(const std::string& text, bool multiLine);
    // Lists the mailbox: logs on first when not connected.
    void StartList(const std::string& host);
    // Connects to host ("host" or "host:port"); the greeting starts the running task's logon.
    void Connect(const std::string& host);

    // The parts of a LIST or UIDL line before and after its first blank.
    static std::string ListLineNumber(const std::string& line);
    static std::string ListLineValue(const std::string& line);

    // The APOP digest: 32 lower-case hexadecimal digits of MD5(timestamp + password).
    static std::string ApopDigest(const std::string& timestamp, const std::string& password);

    void DoReadLine(SOCKET socket, const std::string& line) override;
    void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) override;
    void DoError(SOCKET socket, int32_t errCode, const std::string& errStr) override;
    std::string ProtocolTag() const override { return "[POP3] "; }
    void WndProc(TMessage& message) override;
    std::string FormatDebugEntry(uint32_t socket, uint32_t entryType, const void* data,
                                 uint32_t size) override;

  private:
    void SetState(TIpPop3States value);
    void SetTask(TIpPop3Tasks value);
    void CheckTransaction(const char* command) const;
    void PutLine(const std::string& text);
    void StartMultiLine();
    void HandleMultiLine(const std::string& line, const std::string& code);
    // One line of a reply, its status line or a line of its data.
    void ReadReplyLine(SOCKET socket, const std::string& line);
    // A line of a listing or message (after the status line, before the final ".").
    void TakeDataLine(const std::string& Line);
    bool ReplyTooLarge(size_t lineSize);
    void NextStep(const std::string& text);

    void SendApop();
    void SendUser();
    void SendPass();
    void SendStat();
    void SendUidl();

    void ReportResponse(const std::string& code, const std::string& text);
    void ReportMultiLine();
    void ReportMessage();
    void ReportTop();
    void ReportTaskComplete();

    TIpPop3States FState = psNoOp;
    TIpPop3Tasks FTask = ptNone;
    bool FInAuthorization = false;
    std::string FTimestamp;
    bool FMultiLine = false;
    bool FMultiLineReady = false;
    // The status line of the current multi-line reply has been seen.
    bool FReplyStarted = false;
    uint64_t FReplyBytes = 0;
    TStringList FResponseList;
    std::string FLastResponse;
    std::unique_ptr<TIpMailMessage> FMessage;
    int64_t FMailboxSize = 0;
    int32_t FMessageCount = 0;
    // Counts the commands sent, so the machine can tell whether a handler sent one.
    uint64_t FCommandsSent = 0;
};

class TIpPop3Client : public TIpCustomPop3Client {
  public:
    using TIpCustomPop3Client::TIpCustomPop3Client;

    // Milliseconds; takes effect at once on an open connection.
    using TIpCustomEmailClass::IdleTimeout;
    using TIpCustomEmailClass::SetIdleTimeout;
};

// Texts of the debug log.
std::string Pop3TaskText(uint32_t task);
std::string Pop3StateText(uint32_t state);
