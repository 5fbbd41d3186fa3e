#pragma once
// The news client: a socket client that speaks NNTP as a machine driven by reply lines. It
// connects, logs on with AUTHINFO, selects groups, fetches articles or heads into Article, lists
// newsgroups, asks for new groups and posts an article. Callers start a task (Authenticate,
// SelectGroup, PostTo) or send single commands and continue in the events, which fire inside the
// socket's read processing; state changes are posted to the client's window and arrive after the
// line that caused them.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "netlib/mime/MimeMessage.h"
#include "netlib/sock/IpEmail.h"
#include "platform/classes/Classes.h"

enum TIpNntpStates : uint8_t {
    nsNoOp,
    nsConnect,
    nsNewGroups,
    nsNewNews,
    nsArticle,
    nsStat,
    nsBody,
    nsHead,
    nsGroup,
    nsList,
    nsLast,
    nsNext,
    nsPrePost,
    nsPost,
    nsQuit,
    nsHelp,
    nsSpecial,
    nsAuthUser,
    nsAuthPass,
    nsListExt,
    nsListActiveTimes,
    nsListDistributions,
    nsListDistribPats,
    nsListNewsGroups,
    nsListOverviewFmt,
    nsListGroup,
    nsOver,
    nsPat,
    nsDate
};

enum TIpNntpTasks : uint8_t { ntNoTask, ntAuthenticate, ntSelectGroup, ntNewNews, ntPostTo };

// The posted state change: wParam 1, lParam the new state.
constexpr UINT WM_IPNNTPSTATE = 0x12A7;

// Debug-log entry types of the news client (values carried: the task, the state, the code).
constexpr uint32_t deNntpStartTask = 0x0100;
constexpr uint32_t deNntpTaskComplete = 0x0101;
constexpr uint32_t deNntpStateChange = 0x0102;
constexpr uint32_t deNntpResponse = 0x0103;
constexpr uint32_t deNntpMultiLine = 0x0104;
constexpr uint32_t deNntpArticle = 0x0105;

class EIpNntpException : public EIpBaseException {
  public:
    using EIpBaseException::EIpBaseException;
};

class TIpCustomNntpClient;

using TIpNntpResponseEvent =
    std::function<void(TIpCustomNntpClient* client, TIpNntpStates responseTo, int32_t code,
                       const std::string& response)>;
using TIpNntpMultiLineResponseEvent = std::function<void(
    TIpCustomNntpClient* client, TIpNntpStates responseTo, TStringList& responseList)>;
using TIpNntpStateChangeEvent =
    std::function<void(TIpCustomNntpClient* client, TIpNntpStates newState)>;
using TIpNntpArticleEvent =
    std::function<void(TIpCustomNntpClient* client, TIpNewsArticle& article)>;
using TIpNntpTaskCompleteEvent = std::function<void(
    TIpCustomNntpClient* client, TIpNntpTasks newTask, TStringList& responseList)>;
using TIpNntpProgressEvent =
    std::function<void(TIpCustomNntpClient* client, uint64_t charsTransferred)>;

// "yymmdd" and "hhmmss" of a local date-time (seconds since the epoch, as given; no zone
// conversion beyond the local one), the date and time arguments of NEWGROUPS and NEWNEWS.
std::string FormatNntpDate(int64_t unixSeconds);
std::string FormatNntpTime(int64_t unixSeconds);
// The code of the reply that brings the lines of a command reading lines ("215" for LIST,
// "220" for ARTICLE); any other reply to it is the command's failure. Empty for the others.
std::string NntpDataReplyCode(TIpNntpStates command);

class TIpCustomNntpClient : public TIpCustomEmailClass {
  public:
    explicit TIpCustomNntpClient(void* owner = nullptr);
    ~TIpCustomNntpClient() override;

    // Commands; each needs a connection ("Not connected" otherwise), QUIT excepted.
    void ArticleByMessageId(const std::string& id);
    void ArticleByNumber(int64_t number);
    void HeadByNumber(int64_t number);
    void HeadByMessageId(const std::string& id);
    void Group(const std::string& name);
    void List();
    // Zone: 0 no zone word, 1 " GMT", 2 " UTC".
    void NewGroups(const std::string& date, const std::string& time, int zone);
    void NewNews(const std::string& groups, const std::string& date, const std::string& time,
                 int zone);
    // Encodes Article and asks to post it; the article follows on a 3xx answer.
    void Post();
    void Quit();

    // Tasks: connect (host, or host:port), log on when UserID is set, then the task's step.
    void Authenticate(const std::string& host);
    void SelectGroup(const std::string& host, const std::string& group);
    void PostTo(const std::string& host, const std::string& group);

    TIpNewsArticle& Article() { return FArticle; }
    TStringList& ResponseList() { return FResponseList; }
    TIpNntpStates State() const { return FState; }
    TIpNntpTasks Task() const { return FTask; }
    const std::string& LastLine() const { return FLastLine; }
    const std::string& ReplyCode() const { return FReplyCode; }
    const std::string& ReplyText() const { return FReplyText; }
    bool PostingAllowed() const { return FPostingAllowed; }
    int64_t CurrentArticle() const { return FCurrentArticle; }
    const std::string& SelectedGroup() const { return FSelectedGroup; }
    // The numbers of the last GROUP reply; -1 where it gave no article number (a word that is
    // no unsigned number of at most 18 digits).
    int64_t FirstArticle() const { return FFirstArticle; }
    int64_t LastArticle() const { return FLastArticle; }
    int64_t ArticleCount() const { return FArticleCount; }

    std::string UserID;
    std::string Password;
    std::string GroupToSelect;
    std::string NewNewsDate;
    std::string NewNewsTime;

    TIpNntpResponseEvent OnResponse;
    TIpNntpMultiLineResponseEvent OnMultiLineResponse;
    TIpNntpStateChangeEvent OnStateChange;
    TIpNntpArticleEvent OnArticle;
    TIpNntpTaskCompleteEvent OnTaskComplete;
    TIpNntpProgressEvent OnProgress;

    void DoReadLine(SOCKET socket, const std::string& line) override;
    void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) override;
    void WndProc(TMessage& message) override;
    std::string FormatDebugEntry(uint32_t socket, uint32_t entryType, const void* data,
                                 uint32_t size) override;

    std::string ProtocolTag() const override { return "[NNTP] "; }
    static std::string StateText(TIpNntpStates state);
    static std::string TaskText(TIpNntpTasks task);

  private:
    struct TQueuedCommand {
        TIpNntpStates State;
        bool MultiLine;
    };

    void SetState(TIpNntpStates state);
    // Sends a command. Commands may follow each other before their replies arrive (a fetch
    // keeps several ARTICLE commands on their way); replies are read in the order sent, and
    // the events of each fire as today.
    void SendCommand(TIpNntpStates state, bool multiLine, const std::string& line);
    void AwaitReply(TIpNntpStates state, bool multiLine);
    // Once a reply is complete and its events have run: the next sent command's reply is due.
    void NextQueuedReply();
    void CheckConnected() const;
    void ConnectTo(const std::string& host);
    void StartTask(TIpNntpTasks task, const std::string& host, const std::string& group);
    void AuthUser();
    void AuthPass();
    void DebugValue(uint32_t entryType, uint32_t value);

    // One line of a reply, its status line or a line of its data.
    void ReadReplyLine(SOCKET socket, const std::string& line);
    void ParseStatus(const std::string& line);
    // Article replies; true when the line was consumed as article data.
    bool HandleArticleLine(const std::string& line);
    void HandleGroupReply();
    void Report(const std::string& line);
    void EndMultiLine();
    void NextStep();
    void SendArticle();
    void TaskComplete();

    TIpNewsArticle FArticle;
    TStringList FResponseList;
    TStringList FSecondList;
    bool FAwaitingStatus = false;
    bool FMultiLine = false;
    std::string FLastLine;
    std::string FReplyCode;
    std::string FReplyText;
    TIpNntpStates FState = nsNoOp;
    bool FPostingAllowed = false;
    int64_t FCurrentArticle = 0;
    std::string FSelectedGroup;
    int64_t FFirstArticle = -1;
    int64_t FLastArticle = -1;
    int64_t FArticleCount = 0;
    TIpNntpTasks FTask = ntNoTask;

    // Size guards of the reply being received.
    uint64_t FReplyBytes = 0;
    bool FArticleTooLarge = false;
    // The article's status line, for reporting a reply that was refused as too large.
    std::string FArticleStatus;
    // Commands sent whose replies come after the current one, oldest first.
    std::deque<TQueuedCommand> FQueued;
};

// The published news client with its idle time-out.
class TIpNntpClient : public TIpCustomNntpClient {
  public:
    using TIpCustomNntpClient::TIpCustomNntpClient;

    // Stores the time-out (milliseconds) and applies it to the connection when there is one.
    using TIpCustomEmailClass::IdleTimeout;
    using TIpCustomEmailClass::SetIdleTimeout;
    // The article's coding-progress event.
    TIpCodingProgressEvent& OnCodingProgress() { return Article().OnCodingProgress; }
};
