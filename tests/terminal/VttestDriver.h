#pragma once
// Runs vttest on a pseudo-terminal with the VT100 emulator as its terminal: what vttest prints
// goes to ProcessBlock, the emulator's replies (DA, DSR, DECREQTPARM, answerback) go back to
// vttest, and the test types vttest's menu choices. Every wait for vttest is bounded; nothing
// sleeps.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/terminal/TermTestSupport.h"

class TVttestSession {
  public:
    using Clock = std::chrono::steady_clock;

    TVttestSession() { Vt.SetTerminal(&Host); }
    ~TVttestSession() {
        if (FPid > 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
        if (FFd >= 0) close(FFd);
    }

    // Starts vttest on a 24-row, 80-column terminal that can switch to 132 columns.
    bool Start(const std::string& Program) {
        winsize Size{};
        Size.ws_row = 24;
        Size.ws_col = 80;
        FPid = forkpty(&FFd, nullptr, nullptr, &Size);
        if (FPid < 0) return false;
        if (FPid == 0) {
            setenv("TERM", "vt100", 1);
            execlp(Program.c_str(), Program.c_str(), "24x80.132", static_cast<char*>(nullptr));
            _exit(127);
        }
        Host.Connect();
        return true;
    }

    // Reads what vttest prints until Text has appeared since the last keys were typed and
    // nothing more is waiting; false when vttest ended or the bound ran out first.
    bool WaitFor(const std::string& Text, int BoundMs = 20000) {
        const auto End = Clock::now() + std::chrono::milliseconds(BoundMs);
        while (FSince.find(Text) == std::string::npos) {
            const auto Left =
                std::chrono::duration_cast<std::chrono::milliseconds>(End - Clock::now());
            if (Left.count() <= 0 || !ReadOnce(int(Left.count()))) return false;
        }
        while (ReadOnce(0)) {
        }
        return true;
    }

    // Either of two texts; the index of the one seen, -1 when none came.
    int WaitForEither(const std::string& A, const std::string& B, int BoundMs = 20000) {
        const auto End = Clock::now() + std::chrono::milliseconds(BoundMs);
        for (;;) {
            if (FSince.find(A) != std::string::npos) break;
            if (FSince.find(B) != std::string::npos) break;
            const auto Left =
                std::chrono::duration_cast<std::chrono::milliseconds>(End - Clock::now());
            if (Left.count() <= 0 || !ReadOnce(int(Left.count()))) return -1;
        }
        while (ReadOnce(0)) {
        }
        return FSince.find(A) != std::string::npos ? 0 : 1;
    }

    // Reads what vttest prints until the emulator has answered it Count times in all (DA, DSR,
    // answerback...); false when vttest ended or the bound ran out first.
    bool WaitForReplies(int Count, int BoundMs = 20000) {
        const auto End = Clock::now() + std::chrono::milliseconds(BoundMs);
        while (FReplies < Count) {
            const auto Left =
                std::chrono::duration_cast<std::chrono::milliseconds>(End - Clock::now());
            if (Left.count() <= 0 || !ReadOnce(int(Left.count()))) return false;
        }
        return true;
    }
    int Replies() const { return FReplies; }

    void Type(const std::string& Keys) {
        FSince.clear();
        WriteAll(Keys);
    }

    // Everything vttest printed since the last keys.
    const std::string& Output() const { return FSince; }

    TFakeTerminal Host;
    TIpVT100Emulator Vt;

  private:
    // One read of what is waiting (up to TimeoutMs for it); false at the end of vttest's
    // output or when nothing came.
    bool ReadOnce(int TimeoutMs) {
        pollfd P{FFd, POLLIN, 0};
        if (poll(&P, 1, TimeoutMs) <= 0) return false;
        char Buffer[4096];
        const ssize_t N = read(FFd, Buffer, sizeof Buffer);
        if (N <= 0) return false;
        FSince.append(Buffer, size_t(N));
        Vt.ProcessBlock(reinterpret_cast<const uint8_t*>(Buffer), size_t(N));
        const std::string Replies = Host.Sent();
        if (!Replies.empty()) {
            WriteAll(Replies);
            ++FReplies;
        }
        return true;
    }

    void WriteAll(const std::string& Bytes) {
        for (size_t At = 0; At < Bytes.size();) {
            const ssize_t N = write(FFd, Bytes.data() + At, Bytes.size() - At);
            if (N <= 0) return;
            At += size_t(N);
        }
    }

    pid_t FPid = -1;
    int FFd = -1;
    std::string FSince;
    int FReplies = 0;
};

// The screen as text for review: one line per row, line-drawing characters as their box
// drawing shapes (UTF-8), the UK pound sign as itself, double-width and double-height rows
// marked at the left, and below the text the attribute rows that are not plain.
inline std::string VttestScreen(TIpVT100Emulator& Vt) {
    static const char* const kGraphics[32] = {" ", "◆", "▒", "␉", "␌", "␍", "␊", "°", "±", "␤", "␋",
                                              "┘", "┐", "┌", "└", "┼", "⎺", "⎻", "─", "⎼", "⎽", "├",
                                              "┤", "┴", "┬", "│", "≤", "≥", "π", "≠", "£", "·"};
    TIpTerminalBuffer& B = Vt.Buffer();
    std::string Out;
    for (int Row = 1; Row <= B.RowCount(); ++Row) {
        const uint8_t LineAttr = Vt.LineAttr(Row);
        std::string Line = LineAttr == 0   ? "  |"
                           : LineAttr == 3 ? "W |"
                           : LineAttr == 1 ? "T |"
                                           : "B |";
        size_t Keep = Line.size();
        for (int Col = 1; Col <= B.ColCount(); ++Col) {
            const auto Ch = uint8_t(B.CharAt(Row, Col));
            const uint8_t Set = B.CharSetAt(Row, Col);
            if ((Set == csLineDraw || Set == csROM2) && Ch >= 95 && Ch <= 126)
                Line += kGraphics[Ch - 95];
            else if (Set == csUK && Ch == '#')
                Line += "£";
            else if (Ch < 32 || Ch > 126)
                Line += "?";
            else
                Line.push_back(char(Ch));
            if (Ch != ' ') Keep = Line.size();
        }
        Out += Line.substr(0, Keep) + "\n";
    }
    const std::string A = Attrs(B);
    if (A.find_first_not_of('\n') != std::string::npos) {
        Out += "attributes:\n";
        size_t Start = 0;
        for (int Row = 1; Row <= B.RowCount(); ++Row) {
            const size_t End = A.find('\n', Start);
            const std::string Line = A.substr(Start, End - Start);
            if (!Line.empty()) Out += std::to_string(Row) + " |" + Line + "\n";
            Start = End + 1;
        }
    }
    return Out;
}
