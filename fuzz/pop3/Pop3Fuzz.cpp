// The mail fetch task against a server that says anything: the input's first byte picks the
// box's settings, its pieces (cut at FuzzWorld::kPieceMark) are the box's list of partly fetched
// mails and then what the server sends, one read each, before it closes. The box's list of
// stored mails (<box>.got) stays from one input to the next, as from one run to the next, so
// mails stored by an earlier run are deleted by a later one. Whatever the server sends:
//   - a mail is deleted on the server only after it was fetched whole (RETR, never TOP) and
//     stored: no more deletions than mails in the spool;
//   - a mail deleted is, byte for byte as the server sent it, the mail data of a spool file, or
//     was stored by an earlier run (its unique id in the list the run started with);
//   - the task ends once the server has closed;
//   - no spool file is left under a temporary name, and every spool file is a whole mail script.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

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

// The lines of Text, each with its line end as received.
std::vector<std::string> RawLines(const std::string& Text) {
    std::vector<std::string> Lines;
    size_t At = 0;
    for (size_t Eol; (Eol = Text.find('\n', At)) != std::string::npos; At = Eol + 1)
        Lines.push_back(Text.substr(At, Eol + 1 - At));
    return Lines;
}

// The lines of what the server sent, each with its CR LF: the socket ends a line at CR LF
// alone, so a bare LF ends none (a "." after one is no end of the data), and what the close cut
// off is no line.
std::vector<std::string> ReceivedLines(const std::string& Text) {
    std::vector<std::string> Lines;
    size_t At = 0;
    for (size_t Eol; (Eol = Text.find("\r\n", At)) != std::string::npos; At = Eol + 2)
        Lines.push_back(Text.substr(At, Eol + 2 - At));
    return Lines;
}

// A line of data as the protocol gives it: the server puts one more "." before a line beginning
// with one, and the reader takes the first "." of every line away, needed or not.
std::string Unstuffed(const std::string& Line) {
    return Line.rfind('.', 0) == 0 ? Line.substr(1) : Line;
}

// A unique id as a UIDL line gives it: the blanks and control characters around it are no part
// of it (an id is printable), and a line whose id holds one inside names no mail for sure.
std::optional<std::string> UniqueId(const std::string& Text) {
    size_t First = 0, Last = Text.size();
    while (First < Last && uint8_t(Text[First]) <= 0x20) ++First;
    while (Last > First && uint8_t(Text[Last - 1]) <= 0x20) --Last;
    const std::string Id = Text.substr(First, Last - First);
    if (Id.empty() ||
        std::any_of(Id.begin(), Id.end(), [](char C) { return uint8_t(C) < 0x20 || C == 0x7F; }))
        return std::nullopt;
    return Id;
}

std::string WithoutEnd(std::string Line) {
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r')) Line.pop_back();
    return Line;
}

// The lines with CR LF ends, as a mail script holds them whatever ends the server sent.
std::string CrLfLines(const std::string& Text) {
    std::string Out;
    size_t At = 0;
    for (size_t Eol; (Eol = Text.find('\n', At)) != std::string::npos; At = Eol + 1) {
        size_t End = Eol;
        if (End > At && Text[End - 1] == '\r') --End;
        Out += Text.substr(At, End - At) + "\r\n";
    }
    return Out + Text.substr(At);
}

// What the session says about each mail, from the server's replies paired with the client's
// commands as the protocol pairs them: the greeting, then one reply to each command, with data
// lines after a +OK where the command has them. Nothing when a command is one this reading does
// not know.
struct TSession {
    std::map<std::string, std::string> Ids;    // mail number -> unique id
    std::map<std::string, std::string> Mails;  // mail number -> data of a whole RETR reply
    // Mail numbers the UIDL reply gives two ids: which one the task takes is not foretold.
    std::set<std::string> TwoIds;
};

std::optional<TSession> ReadSession(const std::string& Sent, const std::string& Received) {
    static const std::set<std::string> kKnown = {"USER", "PASS", "APOP", "STAT", "LIST",
                                                 "UIDL", "RETR", "TOP",  "DELE", "QUIT",
                                                 "NOOP", "RSET", "CAPA", "AUTH"};
    const std::vector<std::string> Commands = RawLines(Sent);
    const std::vector<std::string> Lines = ReceivedLines(Received);
    TSession Session;
    size_t L = 0;
    for (size_t C = 0; C <= Commands.size() && L < Lines.size(); ++C) {
        const std::string Status = WithoutEnd(Lines[L++]);
        // A status line is text ending in CR LF; how the client reads another is its own affair.
        if (Lines[L - 1].size() != Status.size() + 2 ||
            std::any_of(Status.begin(), Status.end(), [](char C) { return C < 0x20 || C > 0x7E; }))
            return std::nullopt;
        if (C == 0) continue;  // the greeting
        const std::string Command = WithoutEnd(Commands[C - 1]);
        const std::string Verb = Command.substr(0, Command.find(' '));
        const std::string Argument =
            Command.find(' ') == std::string::npos ? "" : Command.substr(Command.find(' ') + 1);
        if (!kKnown.count(Verb) || Verb == "AUTH") return std::nullopt;
        const bool Ok = Status.rfind("+OK", 0) == 0;
        const bool HasData = Ok && (Verb == "RETR" || Verb == "TOP" || Verb == "CAPA" ||
                                    ((Verb == "LIST" || Verb == "UIDL") && Argument.empty()));
        if (!HasData) {
            if (Ok && Verb == "UIDL") {
                const size_t Blank = Status.find(' ', 4);
                const auto Id =
                    Blank == std::string::npos ? std::nullopt : UniqueId(Status.substr(Blank + 1));
                if (Id) Session.Ids[Status.substr(4, Blank - 4)] = *Id;
            }
            continue;
        }
        std::string Data;
        bool Whole = false;
        while (L < Lines.size()) {
            const std::string& Line = Lines[L++];
            if (Line == ".\r\n") {
                Whole = true;
                break;
            }
            Data += Unstuffed(Line);
            if (Verb == "UIDL") {
                const std::string Entry = WithoutEnd(Unstuffed(Line));
                const size_t Blank = Entry.find(' ');
                const auto Id =
                    Blank == std::string::npos ? std::nullopt : UniqueId(Entry.substr(Blank + 1));
                if (Id) {
                    const auto [At, New] = Session.Ids.emplace(Entry.substr(0, Blank), *Id);
                    if (!New && At->second != *Id) Session.TwoIds.insert(At->first);
                }
            }
        }
        if (!Whole) break;
        // The mail's lines, wherever a line feed ends one, as a spool file holds them.
        if (Verb == "RETR") Session.Mails[Argument] = CrLfLines(Data);
    }
    return Session;
}

// The unique ids of the mails the box's list says are stored (their spool files named), as the
// run finds it: the spool is empty, so every listed file was named and delivered.
std::set<std::string> StoredIds(const std::string& List) {
    std::set<std::string> Ids;
    for (const std::string& Line : RawLines(List + "\n")) {
        const std::string Entry = WithoutEnd(Line);
        const size_t Blank = Entry.find(' ');
        if (Blank != std::string::npos && Blank > 0) Ids.insert(Entry.substr(0, Blank));
    }
    return Ids;
}

// The mail of each spool file: what follows the DATA line of its script, whose lines the point
// program reads dot-stuffed.
std::vector<std::string> SpooledMails() {
    std::vector<std::string> Mails;
    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Spool())) {
        const std::string Script = FuzzWorld::Read(FuzzWorld::Spool() + Name);
        const size_t Data = Script.find("\r\nDATA\r\n");
        if (Data == std::string::npos) continue;
        std::string Mail;
        for (const std::string& Line : RawLines(CrLfLines(Script.substr(Data + 8))))
            Mail += Unstuffed(Line);
        Mails.push_back(Mail);
    }
    return Mails;
}

// Every mail the run lists as stored (for a later run to delete) is whole in the spool.
void CheckListedMailsAreStored(const std::string& Sent, const std::string& Received,
                               const std::set<std::string>& StoredBefore,
                               const std::set<std::string>& Listed) {
    const std::optional<TSession> Session = ReadSession(Sent, Received);
    if (!Session) return;
    const std::vector<std::string> Spooled = SpooledMails();
    for (const auto& [Number, Mail] : Session->Mails) {
        const auto Id = Session->Ids.find(Number);
        if (Id == Session->Ids.end() || StoredBefore.count(Id->second) ||
            !Listed.count(Id->second) || Session->TwoIds.count(Number))
            continue;
        if (std::find(Spooled.begin(), Spooled.end(), Mail) == Spooled.end())
            FuzzWorld::Fail("mail " + Number + " listed as stored but not whole in the spool");
    }
}

// Every mail deleted was stored: by an earlier run, or by this one whole. The number of mails
// this run deleted that no earlier run stored.
size_t CheckDeletedMailsAreStored(const std::string& Sent, const std::string& Received,
                                  const std::set<std::string>& StoredBefore,
                                  const std::set<std::string>& Deleted) {
    const std::optional<TSession> Session = ReadSession(Sent, Received);
    const std::vector<std::string> Retrieved = Arguments(Sent, "RETR");
    if (!Session) {
        // Replies this reading cannot pair: at least nothing unfetched is deleted.
        if (StoredBefore.empty())
            for (const std::string& Number : Deleted)
                if (std::find(Retrieved.begin(), Retrieved.end(), Number) == Retrieved.end())
                    FuzzWorld::Fail("mail " + Number + " deleted unfetched");
        return StoredBefore.empty() ? Deleted.size() : 0;
    }
    const std::vector<std::string> Spooled = SpooledMails();
    size_t New = 0;
    for (const std::string& Number : Deleted) {
        const auto Id = Session->Ids.find(Number);
        if (Id != Session->Ids.end() && StoredBefore.count(Id->second)) continue;
        if (Session->TwoIds.count(Number)) continue;
        ++New;
        const auto Mail = Session->Mails.find(Number);
        if (Mail == Session->Mails.end())
            FuzzWorld::Fail("mail " + Number + " deleted, never fetched whole nor stored before");
        if (std::find(Spooled.begin(), Spooled.end(), Mail->second) == Spooled.end())
            FuzzWorld::Fail("mail " + Number + " deleted but not whole in the spool");
    }
    return New;
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
    const std::set<std::string> StoredBefore =
        StoredIds(FuzzWorld::Read(FuzzWorld::PointDir() + "box.got"));

    TScriptedServer Server;
    std::string Received;  // what the server sent while the client listened
    {
        TKestroPOP3Client Task;
        Task.ConfigIndex = ConfigList.Add(Box);
        Server.Install(*Task.Client);
        Task.Start(1);
        Server.Play(*Task.Client, Pieces, 1, [&](size_t Piece) { Received += Pieces[Piece]; });
        if (Task.State != TKestroCustomClient::tsFinished)
            FuzzWorld::Fail("the task goes on after the server has closed");
    }
    FuzzWorld::Pump();

    const auto Deletions = Arguments(Server.Sent, "DELE");
    const std::set<std::string> Deleted(Deletions.begin(), Deletions.end());
    const size_t NewlyDeleted =
        CheckDeletedMailsAreStored(Server.Sent, Received, StoredBefore, Deleted);
    CheckListedMailsAreStored(Server.Sent, Received, StoredBefore,
                              StoredIds(FuzzWorld::Read(FuzzWorld::PointDir() + "box.got")));
    size_t Stored = 0;
    for (const std::string& Name : FuzzWorld::Files(FuzzWorld::Spool())) {
        if (Name.size() < 4 || Name.substr(Name.size() - 4) != ".msg")
            FuzzWorld::Fail("a file under no final name: " + Name);
        const std::string Script = FuzzWorld::Read(FuzzWorld::Spool() + Name);
        if (Script.rfind("HELO ", 0) != 0 || Script.find("\r\nDATA\r\n") == std::string::npos)
            FuzzWorld::Fail("a spool file that is no mail script: " + Name);
        ++Stored;
    }
    if (NewlyDeleted > Stored) FuzzWorld::Fail("more mails deleted than stored");
    return 0;
}
