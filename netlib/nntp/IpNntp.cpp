#include "netlib/nntp/IpNntp.h"

#include <cctype>
#include <ctime>
#include <iterator>
#include <utility>

#include "netlib/base/IpUtils.h"
#include "netlib/nntp/Limits.h"

namespace {

constexpr const char* kNotConnected = "Not connected";

const char* const kStateDescriptions[] = {"No operation",
                                          "Connecting",
                                          "Getting new news groups",
                                          "Getting new articles",
                                          "Retrieving article",
                                          "Retrieving status",
                                          "Retrieving body",
                                          "Retrieving heading",
                                          "Selecting group",
                                          "Retrieving list",
                                          "Selecting previous article",
                                          "Selecting next article",
                                          "Preparing to post article",
                                          "Posting article",
                                          "Disconnecting",
                                          "Retrieving help",
                                          "Sending special command",
                                          "Authorizing user",
                                          "Authorizing password",
                                          "Retrieving list of extended commands",
                                          "Retrieving active times",
                                          "Retrieving list of distributions",
                                          "Retrieving distribution patterns",
                                          "Retrieving list of available news groups",
                                          "Retrieving overview format",
                                          "Retrieving article numbers",
                                          "Retrieving overview",
                                          "Retrieving patterns",
                                          "Retrieving server date"};

const char* const kStateNames[] = {"nsNoOp",
                                   "nsConnect",
                                   "nsNewGroups",
                                   "nsNewNews",
                                   "nsArticle",
                                   "nsStat",
                                   "nsBody",
                                   "nsHead",
                                   "nsGroup",
                                   "nsList",
                                   "nsLast",
                                   "nsNext",
                                   "nsPrePost",
                                   "nsPost",
                                   "nsQuit",
                                   "nsHelp",
                                   "nsSpecial",
                                   "nsAuthUser",
                                   "nsAuthPass",
                                   "nsListExt",
                                   "nsListActiveTimes",
                                   "nsListDistributions",
                                   "nsListDistribPats",
                                   "nsListNewsGroups",
                                   "nsListOverviewFmt",
                                   "nsListGroup",
                                   "nsOver",
                                   "nsPat",
                                   "nsDate"};

const char* const kTaskDescriptions[] = {"No task", "Authenticating", "Selecting Group",
                                         "Retrieving new news", "Posting article"};
const char* const kTaskNames[] = {"ntNoTask", "ntAuthenticate", "ntSelectGroup", "ntNewNews",
                                  "ntPostTo"};

static_assert(std::size(kStateDescriptions) == nsDate + 1);
static_assert(std::size(kStateNames) == nsDate + 1);

bool StartsWith(const std::string& s, char c) {
    return !s.empty() && s[0] == c;
}

// Text from the 5th character on ("211 3 1 3 g" gives "3 1 3 g").
std::string FromFifth(const std::string& line) {
    return line.size() > 4 ? line.substr(4) : "";
}

std::vector<std::string> SplitBlanks(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

// A message ID in angle brackets, as the commands send it.
std::string Bracketed(const std::string& id) {
    std::string result = id;
    if (!StartsWith(result, '<')) result.insert(result.begin(), '<');
    if (result.back() != '>') result.push_back('>');
    return result;
}

// Refuses arguments that would end the command line early or smuggle in a second command.
void CheckArgument(const std::string& argument) {
    if (argument.size() > NntpLimits::kMaxArgumentLength)
        throw EIpNntpException("Command argument too long");
    for (char c : argument)
        if (c == '\r' || c == '\n' || c == '\0')
            throw EIpNntpException("Invalid character in command argument");
}

std::string FormatLocal(int64_t unixSeconds, const char* pattern) {
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, pattern, &tm);
    return buffer;
}

// "ddd" or "ddd text", the first digit 1 to 5: anything else is no NNTP status line.
bool IsStatusLine(const std::string& line) {
    if (line.size() < 3 || line[0] < '1' || line[0] > '5') return false;
    if (!std::isdigit(static_cast<unsigned char>(line[1])) ||
        !std::isdigit(static_cast<unsigned char>(line[2])))
        return false;
    return line.size() == 3 || line[3] == ' ';
}

// The reply that brings a command's lines (an article, its head or body, a listing): every
// other reply to that command is its failure and carries no lines. One row per command that
// reads lines.
struct TDataReply {
    TIpNntpStates State;
    const char* Code;
};
constexpr TDataReply kDataReplies[] = {
    {nsArticle, "220"},
    {nsHead, "221"},
    {nsBody, "222"},
    {nsList, "215"},
    {nsNewGroups, "231"},
    {nsNewNews, "230"},
    {nsHelp, "100"},
    {nsListExt, "202"},
    {nsListActiveTimes, "215"},
    {nsListDistributions, "215"},
    {nsListDistribPats, "215"},
    {nsListNewsGroups, "215"},
    {nsListOverviewFmt, "215"},
    {nsListGroup, "211"},
    {nsOver, "224"},
    {nsPat, "221"},
};

std::string ZoneWord(int zone) {
    return zone == 1 ? " GMT" : zone == 2 ? " UTC" : "";
}

}  // namespace

std::string FormatNntpDate(int64_t unixSeconds) {
    return FormatLocal(unixSeconds, "%y%m%d");
}

std::string FormatNntpTime(int64_t unixSeconds) {
    return FormatLocal(unixSeconds, "%H%M%S");
}

std::string NntpDataReplyCode(TIpNntpStates command) {
    for (const TDataReply& reply : kDataReplies)
        if (reply.State == command) return reply.Code;
    return "";
}

TIpCustomNntpClient::TIpCustomNntpClient(void* owner) : TIpCustomEmailClass(owner) {
    DefaultPort = 119;
    SockInits().StripLineTerminator = true;
    SetReplyTimeLimit({NntpLimits::kReplyMinBytesPerSecond, NntpLimits::kMaxReplyMs});
}

TIpCustomNntpClient::~TIpCustomNntpClient() = default;

std::string TIpCustomNntpClient::StateText(TIpNntpStates state) {
    if (state > nsDate) return "Unknown state";
    return std::string(kStateDescriptions[state]) + " (" + kStateNames[state] + ")";
}

std::string TIpCustomNntpClient::TaskText(TIpNntpTasks task) {
    if (task > ntPostTo) return "Unknown task";
    return std::string(kTaskDescriptions[task]) + " (" + kTaskNames[task] + ")";
}

void TIpCustomNntpClient::DebugValue(uint32_t entryType, uint32_t value) {
    if (DebugLog().Enabled()) DebugLog().AddDebugValue(this, 0, entryType, value, 0);
}

std::string TIpCustomNntpClient::FormatDebugEntry(uint32_t socket, uint32_t entryType,
                                                  const void* data, uint32_t size) {
    const uint32_t value = IpDebugEntryValue(entryType, data);
    std::string text;
    switch (entryType) {
        case deNntpStartTask:
            text = "Starting task: " + TaskText(TIpNntpTasks(value));
            break;
        case deNntpTaskComplete:
            text = "Generating OnTaskComplete event " + TaskText(TIpNntpTasks(value));
            break;
        case deNntpStateChange:
            text = "State change: " + StateText(TIpNntpStates(value));
            break;
        case deNntpResponse:
            text = "Generating OnResponse event, Code = " + std::to_string(int32_t(value));
            break;
        case deNntpMultiLine:
            text = "Generating OnMultiLineResponse event";
            break;
        case deNntpArticle:
            text = "Generating OnArticle event";
            break;
        default:
            return TIpCustomEmailClass::FormatDebugEntry(socket, entryType, data, size);
    }
    return "[NNTP] " + text + "\r\n";
}

void TIpCustomNntpClient::SetState(TIpNntpStates state) {
    if (state == FState) return;
    FState = state;
    DebugValue(deNntpStateChange, state);
    PostMessage(Handle(), WM_IPNNTPSTATE, 1, state);
}

void TIpCustomNntpClient::WndProc(TMessage& message) {
    if (message.Msg == WM_IPNNTPSTATE && message.WParam == 1) {
        if (OnStateChange) OnStateChange(this, TIpNntpStates(message.LParam));
        return;
    }
    TIpCustomEmailClass::WndProc(message);
}

void TIpCustomNntpClient::CheckConnected() const {
    if (!IsConnected()) throw EIpNntpException(kNotConnected);
}

void TIpCustomNntpClient::SendCommand(TIpNntpStates state, bool multiLine,
                                      const std::string& line) {
    CheckConnected();
    if (FAwaitingStatus || FMultiLine || !FQueued.empty()) {
        // A reply is still coming (or others wait before this one): the command goes out now
        // and its reply is read after theirs.
        if (FQueued.size() >= NntpLimits::kMaxQueuedCommands)
            throw EIpNntpException("Too many commands waiting for their replies");
        FQueued.push_back({state, multiLine});
    } else {
        AwaitReply(state, multiLine);
    }
    PutString(SocketHandle(), line + "\r\n", false);
}

void TIpCustomNntpClient::AwaitReply(TIpNntpStates state, bool multiLine) {
    SetState(state);
    FMultiLine = multiLine;
    FAwaitingStatus = true;
    FReplyBytes = 0;
    FArticleTooLarge = false;
    BeginReply();
}

void TIpCustomNntpClient::NextQueuedReply() {
    if (FAwaitingStatus || FMultiLine || FQueued.empty()) return;
    const TQueuedCommand next = FQueued.front();
    FQueued.pop_front();
    AwaitReply(next.State, next.MultiLine);
}

void TIpCustomNntpClient::ArticleByMessageId(const std::string& id) {
    CheckArgument(id);
    SendCommand(nsArticle, true, id.empty() ? "ARTICLE" : "ARTICLE " + Bracketed(id));
}

void TIpCustomNntpClient::ArticleByNumber(int64_t number) {
    SendCommand(nsArticle, true, "ARTICLE " + std::to_string(number));
}

void TIpCustomNntpClient::HeadByNumber(int64_t number) {
    SendCommand(nsHead, true, "HEAD " + std::to_string(number));
}

void TIpCustomNntpClient::HeadByMessageId(const std::string& id) {
    CheckArgument(id);
    SendCommand(nsHead, true, id.empty() ? "HEAD" : "HEAD " + Bracketed(id));
}

void TIpCustomNntpClient::Group(const std::string& name) {
    CheckArgument(name);
    SendCommand(nsGroup, false, "GROUP " + name);
}

void TIpCustomNntpClient::List() {
    SendCommand(nsList, true, "LIST");
}

void TIpCustomNntpClient::NewGroups(const std::string& date, const std::string& time, int zone) {
    CheckArgument(date);
    CheckArgument(time);
    SendCommand(nsNewGroups, true, "NEWGROUPS " + date + " " + time + ZoneWord(zone));
}

void TIpCustomNntpClient::NewNews(const std::string& groups, const std::string& date,
                                  const std::string& time, int zone) {
    CheckArgument(groups);
    CheckArgument(date);
    CheckArgument(time);
    SendCommand(nsNewNews, true, "NEWNEWS " + groups + " " + date + " " + time + ZoneWord(zone));
}

void TIpCustomNntpClient::Post() {
    CheckConnected();
    FArticle.EncodeMessage();
    SendCommand(nsPrePost, false, "POST");
}

void TIpCustomNntpClient::Quit() {
    if (IsConnected())
        SendCommand(nsQuit, false, "QUIT");
    else
        SetState(nsNoOp);
}

void TIpCustomNntpClient::AuthUser() {
    CheckArgument(UserID);
    SendCommand(nsAuthUser, false, "AUTHINFO USER " + UserID);
}

void TIpCustomNntpClient::AuthPass() {
    CheckArgument(Password);
    SendCommand(nsAuthPass, false, "AUTHINFO PASS " + Password);
}

void TIpCustomNntpClient::ConnectTo(const std::string& host) {
    SetState(nsConnect);
    FMultiLine = false;
    // The greeting is a status line like every reply to a command.
    FAwaitingStatus = true;
    EndReply();
    Connect(host);
}

void TIpCustomNntpClient::Authenticate(const std::string& host) {
    FTask = ntAuthenticate;
    ConnectTo(host);
}

void TIpCustomNntpClient::StartTask(TIpNntpTasks task, const std::string& host,
                                    const std::string& group) {
    FTask = task;
    DebugValue(deNntpStartTask, task);
    GroupToSelect = group;
    ConnectTo(host);
}

void TIpCustomNntpClient::SelectGroup(const std::string& host, const std::string& group) {
    StartTask(ntSelectGroup, host, group);
}

void TIpCustomNntpClient::PostTo(const std::string& host, const std::string& group) {
    StartTask(ntPostTo, host, group);
}

void TIpCustomNntpClient::ParseStatus(const std::string& line) {
    size_t blank = line.find(' ');
    FReplyCode = line.substr(0, blank);
    FReplyText = FromFifth(line);
}

void TIpCustomNntpClient::DoReadLine(SOCKET socket, const std::string& line) {
    // A status line ended by a bare LF brings the next line with it.
    ReadStatusLines(
        socket, line, [this] { return FAwaitingStatus; },
        [&](const std::string& part) { ReadReplyLine(socket, part); });
}

void TIpCustomNntpClient::ReadReplyLine(SOCKET socket, const std::string& line) {
    if (socket != SocketHandle()) return;
    FLastLine = line;
    bool status = FAwaitingStatus;
    // A server that talks without being asked, or answers with something that is no status
    // line, is not an NNTP server (or has lost track): nothing it says can be trusted.
    if (!status && !FMultiLine) {
        AbortReply(0, "unexpected line \"" + IpLineForLog(line) + "\", connection dropped");
        return;
    }
    if (status && !IsStatusLine(line)) {
        AbortReply(0, "invalid reply \"" + IpLineForLog(line) + "\", connection dropped");
        return;
    }
    // A line the close cut off ends no listing or article: the head of an article would be
    // stored as the whole article.
    if (!status && LineCutByClose(socket)) return;
    if (!ReplyLineArrived()) return;
    if (status) ParseStatus(line);
    // A reply that ends the command without the lines it asked for.
    bool refused = false;

    switch (FState) {
        case nsConnect:
            FPostingAllowed = FReplyCode == "200";
            // The server refuses service (400, 502): no task.
            if (!StartsWith(FReplyCode, '2')) FState = nsNoOp;
            break;
        case nsArticle:
        case nsBody:
        case nsHead:
            if (!status) {
                HandleArticleLine(line);
                NextQueuedReply();
                return;
            }
            // Only the command's own data reply starts an article. Any other (a 200, a 300,
            // a 4xx) is a failed fetch of this article: taking its following lines for data
            // would store them after what is left of the article before.
            refused = FReplyCode != NntpDataReplyCode(FState);
            if (!refused) {
                // A line of the article may be as long as the reply may be large; a longer
                // article is still read to its end (and dropped) by the limits below.
                AllowMessageLines(NntpLimits::kMaxArticleReplySize);
                FArticle.ClearMessage();
                if (FState == nsBody) {
                    FArticle.WriteLine("From: ");
                    FArticle.WriteLine("");
                }
                FArticleStatus = line;
            }
            break;
        case nsGroup:
            if (StartsWith(line, '2')) HandleGroupReply();
            break;
        case nsLast:
        case nsNext:
            if (StartsWith(line, '2')) {
                std::vector<std::string> words = SplitBlanks(FReplyText);
                FCurrentArticle = ToInt64Def(words.empty() ? "" : words[0], 0);
            }
            break;
        default:
            // A listing likewise: a reply other than its own (a 200, a 230 to LIST) is the
            // failed command alone; no lines follow it, and an empty listing it is not.
            if (status && FMultiLine) {
                const std::string code = NntpDataReplyCode(FState);
                refused = !code.empty() && FReplyCode != code;
            }
            break;
    }
    FAwaitingStatus = false;

    if (FMultiLine) {
        if (line != ".") {
            bool first = FResponseList.Count() == 0;
            FReplyBytes += line.size();
            if (FResponseList.Count() >= int(NntpLimits::kMaxResponseLines) ||
                FReplyBytes > NntpLimits::kMaxResponseBytes) {
                FResponseList.Clear();
                AbortReply(WSAEMSGSIZE, "reply too large: more than " +
                                            std::to_string(NntpLimits::kMaxResponseLines) +
                                            " lines or " +
                                            std::to_string(NntpLimits::kMaxResponseBytes) +
                                            " bytes, connection dropped");
                return;
            }
            FResponseList.Add(line);
            bool failed = refused || (first && !line.empty() && (line[0] == '4' || line[0] == '5'));
            if (!failed) return;
        }
        EndReply();
        EndMultiLine();
    } else {
        EndReply();
        Report(line);
    }
    NextStep();
    NextQueuedReply();
}

bool TIpCustomNntpClient::HandleArticleLine(const std::string& line) {
    if (line == ".") {
        FMultiLine = false;
        EndReply();
        FResponseList.Clear();
        if (FArticleTooLarge) {
            // Reported as a failed fetch: the caller skips it like a missing article.
            TStringList refused;
            refused.Add(FArticleStatus);
            DebugValue(deNntpMultiLine, 0);
            if (OnMultiLineResponse) OnMultiLineResponse(this, FState, refused);
            return true;
        }
        try {
            FArticle.DecodeMessage();
        } catch (const std::exception&) {
            // An article that does not decode is still delivered as received.
        }
        DebugValue(deNntpArticle, 0);
        if (OnArticle) OnArticle(this, FArticle);
        return true;
    }
    FReplyBytes += line.size() + 2;
    if (FReplyBytes > NntpLimits::kMaxArticleReplySize) {
        AbortReply(WSAEMSGSIZE, "reply too large: more than " +
                                    std::to_string(NntpLimits::kMaxArticleReplySize) +
                                    " bytes, connection dropped");
        return true;
    }
    if (FArticleTooLarge) return true;
    if (FReplyBytes > NntpLimits::kMaxArticleSize) {
        FArticleTooLarge = true;
        FArticle.ClearMessage();
        return true;
    }
    if (StartsWith(line, '.'))
        FArticle.WriteLine(line.substr(1));
    else
        FArticle.WriteLine(line);
    return true;
}

void TIpCustomNntpClient::HandleGroupReply() {
    std::vector<std::string> words = SplitBlanks(FReplyText);
    auto word = [&](size_t i) { return i < words.size() ? words[i] : std::string(); };
    // Article numbers have no sign: "-3" is no number, as "x" is not.
    auto number = [&](size_t i) {
        const std::string w = word(i);
        return w.empty() || w[0] == '-' || w[0] == '+' ? -1 : ToInt64Def(w, -1);
    };
    FArticleCount = ToInt64Def(word(0), 0);
    FFirstArticle = number(1);
    FLastArticle = number(2);
    FSelectedGroup = word(3);
    FCurrentArticle = FFirstArticle;
}

void TIpCustomNntpClient::EndMultiLine() {
    // The list is handed over and the reply closed before the event runs, so that a command
    // the handler sends starts a fresh reply.
    TStringList list;
    std::swap(list, FResponseList);
    FMultiLine = false;
    DebugValue(deNntpMultiLine, 0);
    if (OnMultiLineResponse) OnMultiLineResponse(this, FState, list);
}

void TIpCustomNntpClient::Report(const std::string& line) {
    int32_t code = int32_t(ToInt64Def(line.substr(0, 3), 0));
    DebugValue(deNntpResponse, uint32_t(code));
    if (OnResponse) OnResponse(this, FState, code, FromFifth(line));
}

void TIpCustomNntpClient::TaskComplete() {
    DebugValue(deNntpTaskComplete, FTask);
    if (OnTaskComplete) OnTaskComplete(this, FTask, FResponseList);
}

void TIpCustomNntpClient::NextStep() {
    switch (FState) {
        case nsNoOp:
        case nsNewNews:
        case nsArticle:
        case nsBody:
        case nsHead:
            // Articles end in their own handler; the caller chooses the next command.
            break;
        case nsConnect:
            if (FTask == ntNoTask)
                SetState(nsNoOp);
            else if (!UserID.empty())
                AuthUser();
            else if (FTask == ntAuthenticate)
                TaskComplete();
            else
                Group(GroupToSelect);
            break;
        case nsGroup:
            switch (FTask) {
                case ntNoTask:
                    SetState(nsNoOp);
                    break;
                case ntSelectGroup:
                    TaskComplete();
                    break;
                case ntNewNews:
                    NewNews(GroupToSelect, NewNewsDate, NewNewsTime, 0);
                    break;
                case ntPostTo:
                    Post();
                    break;
                case ntAuthenticate:
                    break;
            }
            break;
        case nsPrePost:
            if (StartsWith(FLastLine, '3'))
                SendArticle();
            else
                SetState(nsNoOp);
            break;
        case nsPost:
            if (FTask == ntPostTo) TaskComplete();
            break;
        case nsAuthUser:
            AuthPass();
            break;
        case nsAuthPass:
            if (FTask == ntNoTask)
                SetState(nsNoOp);
            else if (FTask == ntAuthenticate)
                TaskComplete();
            else if (FReplyCode != "502")
                Group(GroupToSelect);
            break;
        default:
            SetState(nsNoOp);
            break;
    }
}

void TIpCustomNntpClient::SendArticle() {
    SetState(nsPost);
    FAwaitingStatus = true;
    FMultiLine = false;
    BeginReply();
    // One block for the whole article: the socket queues what it cannot send at once.
    std::string block;
    FArticle.SetPosition(0);
    bool any = false;
    while (!FArticle.AtEndOfStream()) {
        std::string line = FArticle.ReadLine();
        if (StartsWith(line, '.')) block.push_back('.');
        block += line;
        block += "\r\n";
        any = true;
    }
    if (!any) block += "\r\n";
    block += ".\r\n";
    PutString(SocketHandle(), block, false);
}

void TIpCustomNntpClient::DoStatus(SOCKET socket, TIpStatusType event,
                                   const TIpConnRec& connection) {
    switch (event) {
        case stConnect:
            ApplyIdleTimeout();
            BeginReply();  // the greeting
            break;
        case stDisconnect: {
            EndReply();
            FQueued.clear();
            SetState(nsNoOp);
            TaskComplete();
            FTask = ntNoTask;
            break;
        }
        case stProgress:
            if (OnProgress && Socket()) {
                TIpSockStatRec stats = Socket()->GetStatRec();
                OnProgress(this, uint64_t(stats.BytesReceived) + stats.BytesSent);
            }
            break;
    }
    TIpCustomEmailClass::DoStatus(socket, event, connection);
}
