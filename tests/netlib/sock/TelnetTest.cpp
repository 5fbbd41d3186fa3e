// Telnet option negotiation and the receive filter as byte transcripts over the fake socket.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/netlib/sock/FakeProxyClient.h"

namespace {

using Events = std::vector<std::string>;
constexpr int IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr int NOP = 241, GA = 249;

class Telnet : public ::testing::Test {
  protected:
    Telnet() {
        C.SockInits().SocketOptions = soTelnet;
        C.SockInits().ReceiveMode = rmAny;  // each block as it comes
        F = C.Open("10.1.2.3:23");
    }
    // What the server's bytes give: the data the client sees and the answer on the wire.
    std::string Data() {
        std::string Out;
        for (const std::string& E : C.Events)
            if (E.rfind("line ", 0) == 0) Out += E.substr(5);
        C.Events.clear();
        return Out;
    }
    void AttachTerminal() { C.SetMasterTerminal(F->Handle(), &Term); }

    TRecordingClient C;
    TIpFakeSocket* F;
    TTestTerminal Term;
};

TEST_F(Telnet, NegotiationAnswersOnlyChangesOfState) {
    struct TStep {
        std::string In, Out;
    };
    const TStep Steps[] = {
        {Bytes({IAC, WILL, 1}), Bytes({IAC, DO, 1})},      // ECHO is let through
        {Bytes({IAC, WILL, 1}), ""},                       // already on: no answer
        {Bytes({IAC, WILL, 6}), Bytes({IAC, DONT, 6})},    // not supported
        {Bytes({IAC, DO, 1}), Bytes({IAC, WONT, 1})},      // this side does not echo
        {Bytes({IAC, DO, 3}), Bytes({IAC, WILL, 3})},      // SUPPRESS-GO-AHEAD
        {Bytes({IAC, DO, 3}), ""},                         //
        {Bytes({IAC, DONT, 3}), Bytes({IAC, WONT, 3})},    //
        {Bytes({IAC, DONT, 3}), ""},                       //
        {Bytes({IAC, WONT, 1}), Bytes({IAC, DONT, 1})},    //
        {Bytes({IAC, WONT, 1}), ""},                       //
        {Bytes({IAC, WONT, 9}), ""},                       //
        {Bytes({IAC, DONT, 9}), ""},                       //
        {Bytes({IAC, DO, 200}), Bytes({IAC, WONT, 200})},  //
    };
    for (const TStep& S : Steps) {
        F->Feed(S.In);
        EXPECT_EQ(F->TakeWritten(), S.Out);
    }
    EXPECT_EQ(Data(), "");
}

TEST_F(Telnet, CommandsAreTakenOutOfTheDataAlsoWhenSplit) {
    F->Feed(Bytes({'a', IAC, NOP, 'b', IAC, GA, 'c', IAC}));
    EXPECT_EQ(Data(), "abc");
    F->Feed(Bytes({WILL}));
    EXPECT_EQ(F->TakeWritten(), "");
    F->Feed(Bytes({3, 'd', IAC}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, DO, 3}));
    F->Feed(Bytes({IAC, 'e'}));
    EXPECT_EQ(Data(),
              "d\xff"
              "e");
    // received counts the data only
    EXPECT_EQ(F->GetStatRec().BytesReceived, 6u);
}

TEST_F(Telnet, OutgoingIacIsDoubledAndCountsOnceAsUserData) {
    F->PutString(Bytes({'x', IAC, 'y'}), false);
    EXPECT_EQ(F->TakeWritten(), Bytes({'x', IAC, IAC, 'y'}));
    EXPECT_EQ(F->GetStatRec().BytesSent, 3u);
    EXPECT_EQ(F->GetStatRec().RawBytesSent, 4u);
}

TEST_F(Telnet, WindowSizeFollowsWillAndIsSentAgainOnResize) {
    AttachTerminal();
    // Before the server asked, a resize sends nothing.
    PostMessage(C.Handle(), WM_IPTERMRESIZE, F->Handle(), 0);
    Application.ProcessMessages();
    EXPECT_EQ(F->TakeWritten(), "");

    F->Feed(Bytes({IAC, DO, 31}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, WILL, 31, IAC, SB, 31, 0, 80, 0, 24, IAC, SE}));
    Term.Cols = 255;
    Term.Rows = 0x1FF;
    PostMessage(C.Handle(), WM_IPTERMRESIZE, F->Handle(), 0);
    Application.ProcessMessages();
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, SB, 31, 0, IAC, IAC, 1, IAC, IAC, IAC, SE}));

    F->Feed(Bytes({IAC, DONT, 31}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, WONT, 31}));
    PostMessage(C.Handle(), WM_IPTERMRESIZE, F->Handle(), 0);
    Application.ProcessMessages();
    EXPECT_EQ(F->TakeWritten(), "");
}

TEST_F(Telnet, WindowSizeNeedsAMasterTerminal) {
    F->Feed(Bytes({IAC, DO, 31}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, WILL, 31}));
}

TEST_F(Telnet, TerminalTypeRequestSplitOverReadsIsAnsweredOnce) {
    AttachTerminal();
    F->Feed(Bytes({IAC, SB, 24, 1, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), "");  // not before DO TERMINAL-TYPE
    F->Feed(Bytes({IAC, DO, 24}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, WILL, 24}));
    F->Feed(Bytes({'x', IAC, SB, 24}));
    EXPECT_EQ(F->TakeWritten(), "");
    F->Feed(Bytes({1, IAC, SE, 'y'}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, SB, 24, 0}) + "vt100" + Bytes({IAC, SE}));
    EXPECT_EQ(Data(), "xy");
    Term.HasEmulator = false;
    F->Feed(Bytes({IAC, SB, 24, 1, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, SB, 24, 0}) + "dumb" + Bytes({IAC, SE}));
    C.SetMasterTerminal(F->Handle(), nullptr);
    F->Feed(Bytes({IAC, SB, 24, 1, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, SB, 24, 0}) + "dumb" + Bytes({IAC, SE}));
}

TEST_F(Telnet, StatusListsTheEnabledOptions) {
    F->Feed(Bytes({IAC, SB, 5, 1, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), "");
    F->Feed(Bytes({IAC, DO, 5, IAC, WILL, 1, IAC, WILL, 3, IAC, DO, 0}));
    F->TakeWritten();
    F->Feed(Bytes({IAC, SB, 5, 1, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, SB, 5, 0, WILL, 0, DO, 1, DO, 3, WILL, 5, IAC, SE}));
    // Other and short sub-negotiations are ignored.
    F->Feed(Bytes({IAC, SB, 5, IAC, SE, IAC, SB, 32, 1, IAC, SE, IAC, SB, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), "");
}

TEST_F(Telnet, CrNulOutsideBinaryLosesTheNulAlsoAcrossReads) {
    F->Feed("a\r");
    F->Feed(std::string("\0b\r\n", 4));
    F->Feed(std::string("c\r\0", 3));
    EXPECT_EQ(Data(), "a\rb\r\nc\r");
    // A NUL that does not follow a CR is data.
    F->Feed(std::string("\0d", 2));
    EXPECT_EQ(Data(), std::string("\0d", 2));
}

TEST_F(Telnet, BinaryModePassesEveryByte) {
    F->Feed(Bytes({IAC, WILL, 0}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, DO, 0}));
    const std::string Block = std::string("\r\0\rX\r", 5);
    F->Feed(Block + Bytes({IAC, IAC}));
    F->Feed(std::string("\0", 1));
    EXPECT_EQ(Data(), Block + "\xff" + std::string("\0", 1));
}

TEST_F(Telnet, AnUnendedSubNegotiationIsCappedAndDataAfterItsEndGoesOn) {
    AttachTerminal();
    F->Feed(Bytes({IAC, DO, 24}));
    F->TakeWritten();
    F->Feed(Bytes({IAC, SB, 24}));
    const std::string Chunk(8000, 'z');
    for (int I = 0; I < 20; ++I) {
        F->Feed(Chunk);
        auto* T = dynamic_cast<TIpTelnetFilter*>(F->Filter());
        ASSERT_NE(T, nullptr);
        EXPECT_LE(T->HeldBytes(), SockLimits::kTelnetMaxHeld);
    }
    F->Feed(Bytes({IAC, IAC, IAC, SE}) + "ok");
    EXPECT_EQ(Data(), "ok");
    EXPECT_EQ(F->TakeWritten(), "");
    // the next request is understood again
    F->Feed(Bytes({IAC, SB, 24, 1, IAC, SE}));
    EXPECT_EQ(F->TakeWritten(), Bytes({IAC, SB, 24, 0}) + "vt100" + Bytes({IAC, SE}));
}

TEST(TelnetLog, NegotiationIsLoggedBothWaysOnlyWithTheTelnetOption) {
    char Dir[] = "/tmp/kestro-telnet-XXXXXX";
    ASSERT_NE(mkdtemp(Dir), nullptr);
    const std::string File = std::string(Dir) + "/debug.log";
    for (TIpLogOptionSet Options : {loTelnet, loHighData}) {
        std::remove(File.c_str());
        TRecordingClient C;
        C.SockInits().SocketOptions = soTelnet;
        C.SockInits().LogOptions = Options;
        C.DebugLog().SetFileName(File);
        C.DebugLog().SetEnabled(true);
        TIpFakeSocket* F = C.Open("10.1.2.3:23");
        F->Feed(Bytes({IAC, WILL, 1, IAC, DO, 99}));
        C.DebugLog().WriteDebugLog();
        std::ifstream In(File, std::ios::binary);
        std::stringstream Text;
        Text << In.rdbuf();
        std::string H(1, '[');
        H += std::to_string(F->Handle());
        H += "] Telnet ";
        const bool Logged = Options == loTelnet;
        EXPECT_EQ(Text.str().find(H + "WILL echo received.") != std::string::npos, Logged);
        EXPECT_EQ(Text.str().find(H + "DO echo sent.") != std::string::npos, Logged);
        EXPECT_EQ(Text.str().find(H + "DO [99] received.") != std::string::npos, Logged);
        EXPECT_EQ(Text.str().find(H + "WON'T [99] sent.") != std::string::npos, Logged);
        C.DebugLog().SetEnabled(false);
    }
    std::remove(File.c_str());
    rmdir(Dir);
}

TEST(TelnetHelpers, DoubleIacAndDoubleChar) {
    const std::string In = Bytes({1, IAC, 2, IAC, IAC});
    std::string Out(2 * In.size(), '\0');
    Out.resize(DoubleIAC(In.data(), Out.data(), static_cast<uint32_t>(In.size())));
    EXPECT_EQ(Out, Bytes({1, IAC, IAC, 2, IAC, IAC, IAC, IAC}));
    EXPECT_EQ(DoubleChar("a;b;;", ';'), "a;;b;;;;");
    EXPECT_EQ(DoubleChar("", ';'), "");
}

}  // namespace
