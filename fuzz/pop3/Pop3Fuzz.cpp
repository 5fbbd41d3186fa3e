// The mail fetch task against a server that says anything: the input's first byte picks the
// box's settings, its pieces (cut at FuzzWorld::kPieceMark) are the box's list of partly fetched
// mails and then what the server sends, one read each, before it closes. Whatever it sends:
//   - a mail is deleted on the server only after it was fetched whole (RETR, never TOP) and
//     stored: no more deletions than mails in the spool;
//   - the task ends once the server has closed;
//   - no spool file is left under a temporary name, and every spool file is a whole mail script.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "app/engine/RunState.h"
#include "app/engine/SpoolFiles.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/pop3.h"
#include "fuzz/support/FuzzWorld.h"
#include "fuzz/support/ScriptedServer.h"

namespace {

enum : uint8_t { kSizeLimit = 1, kKeep = 2, kOnlyNew = 4, kFirstTo = 8, kApop = 16 };

std::string BoxText(uint8_t Flags) {
    std::string Text =
        "Pop3Server=127.0.0.1\r\nPop3User=joe\r\nPop3Pass=pw\r\nPop3Spool=" + FuzzWorld::Spool() +
        "\r\n";
    if (Flags & kSizeLimit) Text += "Pop3MaxLen=1\r\n";
    if (Flags & kKeep) Text += "Pop3Keep=enabled\r\n";
    if (Flags & kOnlyNew) Text += "Pop3OnlyNew=enabled\r\n";
    if (Flags & kFirstTo) Text += "Pop3Envelope=*\r\n";
    if (Flags & kApop) Text += "Pop3Auth=enabled\r\n";
    return Text;
}

// The numbers of the commands with that word the client sent, in order.
std::vector<std::string> Arguments(const std::string& Sent, const std::string& Word) {
    std::vector<std::string> Out;
    for (size_t At = 0; (At = Sent.find(Word + " ", At)) != std::string::npos; At += Word.size()) {
        if (At != 0 && Sent[At - 1] != '\n') continue;
        const size_t End = Sent.find("\r\n", At);
        Out.push_back(Sent.substr(At + Word.size() + 1, End - At - Word.size() - 1));
    }
    return Out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    FuzzWorld::InitializeApplication(Argc, Argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const auto Pieces = FuzzWorld::Pieces(Data + 1, Size - 1);
    const std::string Box = FuzzWorld::NewRun(BoxText(Data[0]));
    FuzzWorld::Write(FuzzWorld::PointDir() + "box.big", Pieces[0]);
    // The list of stored mails an earlier input left would allow deletions this one never saw.
    std::filesystem::remove(FuzzWorld::PointDir() + "box.got");

    TScriptedServer Server;
    {
        TKestroPOP3Client Task;
        Task.ConfigIndex = ConfigList.Add(Box);
        Server.Install(*Task.Client);
        Task.Start(1);
        Server.Play(*Task.Client, Pieces, 1);
        if (Task.State != TKestroCustomClient::tsFinished)
            FuzzWorld::Fail("the task goes on after the server has closed");
    }
    FuzzWorld::Pump();

    const auto Retrieved = Arguments(Server.Sent, "RETR");
    const std::set<std::string> Fetched(Retrieved.begin(), Retrieved.end());
    const auto Deleted = Arguments(Server.Sent, "DELE");
    for (const std::string& Number : Deleted)
        if (!Fetched.count(Number)) FuzzWorld::Fail("mail " + Number + " deleted unfetched");
    size_t Stored = 0;
    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Spool())) {
        if (Name.size() < 4 || Name.substr(Name.size() - 4) != ".msg")
            FuzzWorld::Fail("a file under no final name: " + Name);
        const std::string Script = FuzzWorld::Read(FuzzWorld::Spool() + Name);
        if (Script.rfind("HELO ", 0) != 0 || Script.find("\r\nDATA\r\n") == std::string::npos)
            FuzzWorld::Fail("a spool file that is no mail script: " + Name);
        ++Stored;
    }
    if (std::set<std::string>(Deleted.begin(), Deleted.end()).size() > Stored)
        FuzzWorld::Fail("more mails deleted than stored");
    return 0;
}
