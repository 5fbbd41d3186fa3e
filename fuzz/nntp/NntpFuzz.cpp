// The news task against a server that says anything, with a file of the point program the input
// gives. The first byte picks the job (two bits: fetching the groups of the newsgroup list
// <box>.rc, fetching the group list into <box>.bl, posting N*.OUT, fetching the Message-IDs of
// <box>.mid) and the box's settings; the input's pieces (cut at FuzzWorld::kPieceMark) are that
// file and then what the server sends, one read each, before it closes. Whatever it sends:
//   - the task ends once the server has closed, and stores what it has when it is freed;
//   - every spool file has its final name and is whole: an rnews batch of complete articles,
//     or a notice as a mail script; no pending record of a batch is left;
//   - an article is deleted from the spool only after the server took it (240, or an answer
//     that it holds it already).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
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

// A line of the pieces that says the server has the article now.
bool TookArticle(const std::vector<std::string>& Pieces) {
    for (size_t I = 1; I < Pieces.size(); ++I) {
        const std::string Text = "\n" + Pieces[I];
        for (const char* Reply : {"\n240", "\n435", "\n441 435", "\n437"})
            if (Text.find(Reply) != std::string::npos) return true;
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
        Server.Play(*Task.Client, Pieces, 1);
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
    if (Job == jbPost && !std::filesystem::exists(Post) && !TookArticle(Pieces))
        FuzzWorld::Fail("an article deleted that the server did not take");
    return 0;
}
