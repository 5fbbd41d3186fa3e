// The mail send task against a server that says anything, sending an outgoing file the input
// gives and one well-formed file: the input's first byte picks the box's settings, its pieces
// (cut at FuzzWorld::kPieceMark) are the first outgoing file and then what the server sends, one
// read each, before it closes. Whatever it sends and whatever the file holds:
//   - a file is deleted only after its message went out whole and a "250" reply line came after
//     it;
//   - every envelope command is one line: nothing in a file adds a command of its own;
//   - the task ends once the server has closed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/smtp.h"
#include "fuzz/support/FuzzWorld.h"
#include "fuzz/support/ScriptedServer.h"

namespace {

enum : uint8_t { kLogin = 1, kEnvelope = 2, kSecondOnly = 4 };

std::string BoxText(uint8_t Flags) {
    std::string Text = "SmtpServer=127.0.0.1\r\nSmtpSpool=" + FuzzWorld::Spool() + "\r\n";
    if (Flags & kLogin) Text += "SmtpUser=joe\r\nSmtpPass=pw\r\n";
    if (Flags & kEnvelope) Text += "SmtpEnvelope=sender@example.org\r\n";
    return Text;
}

const char* const kSecondFile =
    "HELO point.example.org\r\nMAIL FROM:<p@example.org>\r\nRCPT TO:<a@example.org>\r\n"
    "RCPT TO:<b@example.org>\r\nDATA\r\nFrom: p@example.org\r\nTo: a@example.org\r\n"
    "Subject: second\r\n\r\n..dotted\r\nbody\r\n.\r\nQUIT\r\n";

bool StartsWithNoCase(const std::string& Line, const std::string& Word) {
    if (Line.size() < Word.size()) return false;
    for (size_t I = 0; I < Word.size(); ++I)
        if (std::toupper(static_cast<unsigned char>(Line[I])) != Word[I]) return false;
    return true;
}

// The commands the client sent (the message data left out), one a line.
std::vector<std::string> Commands(const std::string& Sent) {
    std::vector<std::string> Out;
    for (size_t At = 0; At < Sent.size();) {
        size_t End = Sent.find("\r\n", At);
        if (End == std::string::npos) End = Sent.size();
        Out.push_back(Sent.substr(At, End - At));
        At = End + 2;
        if (Out.back() == "DATA") {
            const size_t DataEnd = Sent.find("\r\n.\r\n", At - 2);
            if (DataEnd == std::string::npos) break;
            At = DataEnd + 5;
        }
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
    if (!(Data[0] & kSecondOnly)) FuzzWorld::Write(FuzzWorld::Spool() + "M0001.OUT", Pieces[0]);
    FuzzWorld::Write(FuzzWorld::Spool() + "M0002.OUT", kSecondFile);

    TScriptedServer Server;
    {
        TKestroSMTPClient Task;
        Task.ConfigIndex = ConfigList.Add(Box);
        Server.Install(*Task.Client);
        Task.Start(1);
        size_t Files = FuzzWorld::Files(FuzzWorld::Spool()).size();
        size_t Deleted = 0;
        // What the server sent, as one stream, and where each piece of it ended; what the client
        // had sent when each piece had been handled.
        std::string Replies;
        std::vector<size_t> RepliesAfter(Pieces.size(), 0), SentAfter(Pieces.size(), 0);
        Server.Play(*Task.Client, Pieces, 1, [&](size_t Piece) {
            Replies += Pieces[Piece];
            RepliesAfter[Piece] = Replies.size();
            SentAfter[Piece] = Server.Sent.size();
            const size_t Now = FuzzWorld::Files(FuzzWorld::Spool()).size();
            for (; Files > Now; --Files, ++Deleted) {
                // The data end of the message of this deletion...
                size_t DataEnd = 0;
                for (size_t N = 0; N <= Deleted; ++N) {
                    DataEnd = Server.Sent.find("\r\n.\r\n", N ? DataEnd + 1 : 0);
                    if (DataEnd == std::string::npos)
                        FuzzWorld::Fail("a file deleted before its message went out");
                }
                // ...went out while a piece was handled; a "250" line ended after that.
                size_t From = 0;
                for (size_t J = 1; J <= Piece && SentAfter[J] <= DataEnd; ++J)
                    From = RepliesAfter[J];
                bool Accepted = false;
                for (size_t End = Replies.find('\n', From); End != std::string::npos && !Accepted;
                     End = Replies.find('\n', End + 1)) {
                    const size_t Start =
                        End == 0 ? std::string::npos : Replies.rfind('\n', End - 1);
                    const size_t Line = Start == std::string::npos ? 0 : Start + 1;
                    Accepted = Replies.compare(Line, 4, "250 ") == 0 ||
                               Replies.compare(Line, 5, "250\r\n") == 0;
                }
                if (!Accepted)
                    FuzzWorld::Fail("a file deleted that the server did not accept, after:\n" +
                                    Server.Sent);
            }
        });
        if (Task.State != TKestroCustomClient::tsFinished)
            FuzzWorld::Fail("the task goes on after the server has closed");
    }
    FuzzWorld::Pump();

    for (const std::string& Command : Commands(Server.Sent)) {
        const bool Envelope =
            StartsWithNoCase(Command, "MAIL FROM") || StartsWithNoCase(Command, "RCPT TO") ||
            StartsWithNoCase(Command, "EHLO") || StartsWithNoCase(Command, "HELO");
        if (Envelope && Command.find_first_of("\r\n") != std::string::npos)
            FuzzWorld::Fail("an envelope command runs over its line: " + Command);
    }
    return 0;
}
