// The news task against a server that says anything, with a file of the point program the input
// gives. The first byte picks the job (two bits: fetching the groups of the newsgroup list
// <box>.rc, fetching the group list into <box>.bl, posting N*.OUT, fetching the Message-IDs of
// <box>.mid) and the box's settings; the input's pieces (cut at FuzzWorld::kPieceMark) are that
// file and then what the server sends, one read each, before it closes. Whatever it sends:
//   - the task ends once the server has closed, and stores what it has when it is freed;
//   - every spool file has its final name and is whole: an rnews batch of complete articles,
//     or a notice as a mail script; no pending record of a batch is left;
//   - an article is deleted from the spool only after the server took it (a 240 reply to its
//     POST, or an answer that it holds it already);
//   - every article the server sent whole in reply to an ARTICLE command is in a batch exactly
//     once, byte for byte (replies paired with the commands as the protocol pairs them).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/dupecheck.h"
#include "app/engine/nntp.h"
#include "fuzz/support/FuzzWorld.h"
#include "fuzz/support/ScriptedServer.h"

namespace {

enum TJob : uint8_t { jbRange, jbGroups, jbPost, jbRequests };
enum : uint8_t { kDupes = 4, kNewMax = 8, kOneAtATime = 16, kNoGroupList = 32 };

std::string BoxText(uint8_t Flags) {
    std::string Text = "NntpServer=127.0.0.1\r\nNntpSpool=" + FuzzWorld::Spool() + "\r\n";
    Text += Flags & kNewMax ? "NntpNewMax=2\r\n" : "NntpNewMax=0\r\n";
    if (Flags & kDupes) Text += "NntpDupeSize=100\r\n";
    return Text;
}

// True when the bytes are a sequence of whole rnews articles.
bool WholeBatch(const std::string& Batch) {
    size_t At = 0;
    while (At < Batch.size()) {
        const size_t Eol = Batch.find('\n', At);
        if (Batch.compare(At, 9, "#! rnews ") != 0 || Eol == std::string::npos) return false;
        const std::string Digits = Batch.substr(At + 9, Eol - At - 9);
        if (Digits.empty() || Digits.size() > 12 ||
            Digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const size_t Length = std::stoul(Digits);
        if (Length > Batch.size() - Eol - 1) return false;
        At = Eol + 1 + Length;
    }
    return true;
}

// The whole lines of Text, each without its end (KeepEnds: with it, as received).
std::vector<std::string> SplitLines(const std::string& Text, bool KeepEnds = false) {
    std::vector<std::string> Lines;
    size_t At = 0;
    for (size_t Eol; (Eol = Text.find('\n', At)) != std::string::npos; At = Eol + 1) {
        std::string Line = Text.substr(At, Eol + 1 - At);
        if (!KeepEnds) {
            Line.pop_back();
            if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        }
        Lines.push_back(Line);
    }
    return Lines;
}

std::string WithoutEnd(std::string Line) {
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r')) Line.pop_back();
    return Line;
}

bool EndsWithCrLf(const std::string& Line) {
    return Line.size() >= 2 && Line.compare(Line.size() - 2, 2, "\r\n") == 0;
}

std::string Upper(std::string S) {
    std::transform(S.begin(), S.end(), S.begin(), [](unsigned char C) { return char(toupper(C)); });
    return S;
}

// The replies of the server to the client's commands, paired as the protocol pairs them: the
// greeting, then one reply to each command in order, a reply of data lines where the command
// and code say so. Nothing when a command or reply is one this reading does not know.
struct TReply {
    std::string Command;  // its verb, upper case; empty for the greeting
    int Code = 0;
    std::vector<std::string> Data;  // as received, with their line ends; dot-stuffing undone
    bool Whole = false;             // the data's end line arrived
};

std::optional<std::vector<TReply>> PairReplies(const std::string& Sent,
                                               const std::string& Received) {
    // Replies that carry data lines, by command: as the protocol defines them.
    static const std::map<std::string, std::vector<int>> kDataReplies = {
        {"", {}},         {"ARTICLE", {220}}, {"HEAD", {221}}, {"BODY", {222}},
        {"STAT", {}},     {"GROUP", {}},      {"QUIT", {}},    {"MODE", {}},
        {"AUTHINFO", {}}, {"XOVER", {224}},   {"LIST", {215}}, {"NEWGROUPS", {231}},
        {"DATE", {}},     {"POST", {}},       {"IHAVE", {}},   {"NEXT", {}},
    };
    std::vector<std::string> Commands{""};
    for (const std::string& Line : SplitLines(Sent)) {
        const std::string Verb = Upper(Line.substr(0, Line.find(' ')));
        if (!kDataReplies.count(Verb)) return std::nullopt;
        Commands.push_back(Verb);
        if (Verb == "POST" || Verb == "IHAVE") return std::nullopt;  // article lines follow
    }
    const std::vector<std::string> Lines = SplitLines(Received, true);
    std::vector<TReply> Replies;
    size_t L = 0;
    for (const std::string& Verb : Commands) {
        if (L >= Lines.size()) break;
        const std::string Status = WithoutEnd(Lines[L++]);
        if (Status.size() < 3 || Status.find_first_not_of("0123456789") < 3 ||
            (Status.size() > 3 && Status[3] != ' '))
            return std::nullopt;
        TReply Reply{Verb, std::stoi(Status.substr(0, 3)), {}, true};
        // The client takes any 2xx or 3xx reply as success; which lines follow one the protocol
        // does not give to the command is its own reading, not checked here.
        if (!Verb.empty() && Reply.Code < 400) {
            const auto& Codes = kDataReplies.at(Verb);
            const bool Data = std::find(Codes.begin(), Codes.end(), Reply.Code) != Codes.end();
            if (!Data && !Codes.empty()) return std::nullopt;
            if (Codes.empty() && Verb != "GROUP" && Verb != "QUIT") return std::nullopt;
            if (Verb == "GROUP" && Reply.Code != 211) return std::nullopt;
        }
        const auto& Codes = kDataReplies.at(Verb);
        if (std::find(Codes.begin(), Codes.end(), Reply.Code) != Codes.end()) {
            Reply.Whole = false;
            while (L < Lines.size()) {
                // A data line ends at CR LF only, as the socket cuts them: a bare LF inside it
                // ends nothing, and a "." after one is no end of the data.
                std::string Line = Lines[L++];
                while (!EndsWithCrLf(Line) && L < Lines.size()) Line += Lines[L++];
                if (Line == ".\r\n") {
                    Reply.Whole = true;
                    break;
                }
                Reply.Data.push_back(Line.rfind('.', 0) == 0 ? Line.substr(1) : Line);
            }
        }
        Replies.push_back(Reply);
        if (!Reply.Whole) break;
    }
    return Replies;
}

// The articles of the spool's rnews batches, each as stored.
std::vector<std::string> BatchedArticles() {
    std::vector<std::string> Articles;
    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Spool())) {
        const std::string Batch = FuzzWorld::Read(FuzzWorld::Spool() + Name);
        if (Batch.rfind("#! rnews ", 0) != 0 || !WholeBatch(Batch)) continue;
        for (size_t At = 0; At < Batch.size();) {
            const size_t Eol = Batch.find('\n', At);
            const size_t Length = std::stoul(Batch.substr(At + 9, Eol - At - 9));
            Articles.push_back(Batch.substr(Eol + 1, Length));
            At = Eol + 1 + Length;
        }
    }
    return Articles;
}

// Every article the server sent whole in reply to ARTICLE is stored exactly once: not lost while
// the group's numbers advance, and not twice.
void CheckFetchedArticles(const std::string& Sent, const std::string& Received) {
    const std::optional<std::vector<TReply>> Replies = PairReplies(Sent, Received);
    if (!Replies) return;
    std::map<std::string, int> Expected;
    for (const TReply& Reply : *Replies) {
        if (Reply.Command != "ARTICLE" || Reply.Code != 220 || !Reply.Whole) continue;
        // The socket ends a line of data at CR LF alone: where a line of the article ends in a
        // bare LF, the article ends elsewhere than the lines cut here say (a "." after it is
        // no end), so what is stored is not foretold.
        const auto BareEnd = [](const std::string& Line) {
            return Line.size() < 2 || Line[Line.size() - 2] != '\r';
        };
        if (std::any_of(Reply.Data.begin(), Reply.Data.end(), BareEnd)) continue;
        std::string Article;
        for (const std::string& Line : Reply.Data) Article += Line;
        ++Expected[Article];
    }
    if (Expected.empty()) return;
    std::map<std::string, int> Stored;
    for (const std::string& Article : BatchedArticles()) ++Stored[Article];
    for (const auto& [Article, Count] : Expected)
        if (Stored[Article] != Count)
            FuzzWorld::Fail("an article the server sent is stored " +
                            std::to_string(Stored[Article]) + " times, not " +
                            std::to_string(Count) + ":\n" + Article);
}

// A reply of the server that says it has the article now: 240 to the POST's article, or that it
// holds it already.
bool TookArticle(const std::string& Sent, const std::vector<std::string>& Pieces) {
    std::string Received;
    for (size_t I = 1; I < Pieces.size(); ++I) Received += Pieces[I];
    const std::vector<std::string> Lines = SplitLines(Received);
    for (const std::string& Line : Lines)
        for (const char* Reply : {"435", "441 435", "437"})
            if (Line.rfind(Reply, 0) == 0) return true;
    // A 240 counts only as the reply to the article's end: after the 340 that asked for it.
    const size_t Posts = size_t(std::count(Sent.begin(), Sent.end(), '\n'));
    bool Asked = false;
    for (size_t I = 0; I < Lines.size() && I <= Posts + 2; ++I) {
        if (Lines[I].rfind("340", 0) == 0) Asked = true;
        if (Asked && Lines[I].rfind("240", 0) == 0 && (Lines[I].size() == 3 || Lines[I][3] == ' '))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    FuzzWorld::InitializeApplication(Argc, Argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const uint8_t Flags = Data[0];
    const auto Job = TJob(Flags & 3);
    const auto Pieces = FuzzWorld::Pieces(Data + 1, Size - 1);
    const std::string Box = FuzzWorld::NewRun(BoxText(Flags));
    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Home()))
        if (Name != "spool") std::filesystem::remove_all(FuzzWorld::Home() + Name);
    for (const char* Old : {"box.rc", "box.bl", "box.mid"})
        std::filesystem::remove(FuzzWorld::PointDir() + Old);
    const std::string Post = FuzzWorld::Spool() + "N0001.OUT";
    std::string Command;
    switch (Job) {
        case jbRange:
            FuzzWorld::Write(FuzzWorld::PointDir() + "box.rc", Pieces[0]);
            break;
        case jbGroups:
            if (!(Flags & kNoGroupList))
                FuzzWorld::Write(FuzzWorld::PointDir() + "box.bl", Pieces[0]);
            Command = NntpCmdGetGroups;
            break;
        case jbPost:
            FuzzWorld::Write(Post, Pieces[0]);
            Command = NntpCmdSendNews;
            break;
        case jbRequests:
            FuzzWorld::Write(FuzzWorld::PointDir() + "box.mid", Pieces[0]);
            Command = NntpCmdGetMsgIDs;
            break;
    }
    NNTPTasks.SaveAndClear();
    std::unique_ptr<TCustomDupecheck> Dupes;
    if (Flags & kDupes) {
        Dupes = std::make_unique<TCRCDupecheck>();
        Dupes->MaxEntries = 100;
        Dupes->Load();
    }
    DupeCheck = Dupes.get();

    TScriptedServer Server;
    std::string Received;  // what the server sent while the client listened
    {
        TKestroNNTPClient Task;
        Task.ConfigIndex = ConfigList.Add(Box);
        if (Job == jbRange) {
            NNTPTasks.AddList(FuzzWorld::PointDir() + "box.rc");
            NNTPTasks.Count = 1;
            const int32_t Lines = NNTPTasks.GetList(0)->Count();
            Command = "0 " + std::to_string(Lines > 0 ? Lines - 1 : 0);
        }
        Task.Command = Command;
        Task.GroupListIndex = 0;
        Task.ArticleWindow = Flags & kOneAtATime ? 1 : 16;
        Server.Install(*Task.Client);
        Task.Start(1);
        Server.Play(*Task.Client, Pieces, 1, [&](size_t Piece) { Received += Pieces[Piece]; });
        if (Task.State != TKestroCustomClient::tsFinished)
            FuzzWorld::Fail("the task goes on after the server has closed");
    }
    FuzzWorld::Pump();
    NNTPTasks.SaveAndClear();
    DupeCheck = nullptr;

    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Spool())) {
        if (Name == "N0001.OUT") continue;
        if (Name.size() < 4 || Name.substr(Name.size() - 4) != ".msg")
            FuzzWorld::Fail("a file under no final name: " + Name);
        const std::string Bytes = FuzzWorld::Read(FuzzWorld::Spool() + Name);
        if (Bytes.rfind("#! rnews ", 0) == 0 ? !WholeBatch(Bytes) : Bytes.rfind("HELO ", 0) != 0)
            FuzzWorld::Fail("a spool file that is neither a whole batch nor a notice: " + Name);
    }
    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Home()))
        if (Name.find(".pending") != std::string::npos)
            FuzzWorld::Fail("a batch record left behind: " + Name);
    if (Job == jbRange && !(Flags & kDupes) && Server.Connections == 1)
        CheckFetchedArticles(Server.Sent, Received);
    if (Job == jbPost && !std::filesystem::exists(Post) && !TookArticle(Server.Sent, Pieces))
        FuzzWorld::Fail("an article deleted that the server did not take");
    return 0;
}
