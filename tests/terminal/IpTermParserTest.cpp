// The VT100 parser: bytes in, results, command codes and arguments out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/IpTermParser.h"
#include "terminal/Limits.h"

namespace {

// Every result other than prIncomplete, as text: "'x'" for a character, "E" for an error,
// "C<code>(<args>)" for a command.
std::string Parse(TIpVT100Parser& P, const std::string& Bytes) {
    std::string Out;
    for (const char C : Bytes) {
        const TIpParserResult R = P.ProcessChar(uint8_t(C));
        if (R == prIncomplete) continue;
        if (!Out.empty()) Out += " ";
        if (R == prChar || R == prHighChar) {
            Out += "'" + std::string(1, C) + "'";
        } else if (R == prError) {
            Out += "E";
        } else {
            Out += "C" + std::to_string(P.Command()) + "(";
            for (int I = 0; I < P.ArgumentCount(); ++I)
                Out += (I ? "," : "") + std::to_string(P.GetArgument(I));
            Out += ")";
        }
    }
    return Out;
}

std::string Parse(const std::string& Bytes) {
    TIpVT100Parser P(false);
    return Parse(P, Bytes);
}

TEST(VT100Parser, SequencesAndTheirArguments) {
    struct Case {
        const char* Bytes;
        const char* Expected;
    } Cases[] = {
        {"\x1b[H", "C2(1,1)"},
        {"\x1b[;5H", "C2(1,5)"},
        {"\x1b[7f", "C2(7,1)"},
        {"\x1b[1;2;3H", "E"},
        {"\x1b[A\x1b[0B\x1b[12C", "C3(1) C4(0) C5(12)"},
        {"\x1b[m\x1b[1;;4m", "C16(0) C16(1,0,4)"},
        {"\x1b[?7h\x1b[?1;7l", "C13(-2,7) C90(-2,1,7)"},
        {"\x1b[r\x1b[5;10r", "C113(-1) C113(5,10)"},
        {"\x1b[6n\x1b[n\x1b[?5n", "C19(6) C19(-1) E"},
        {"\x1b[c\x1bZ\x1b[x", "C41(0) C41(0) C126(-1)"},
        {"\x1b[2J\x1b[K\x1b[3g\x1b[2q", "C50(2) C52(0) C106(3) C125(2)"},
        {"\x1b[4@\x1b[L\x1b[M\x1b[P\x1b[X", "C66(4) C67(1) C45(1) C43(1) C49(1)"},
        {"\x1b[s\x1b[u\x1b"
         "7\x1b"
         "8",
         "C17(-1) C18(-1) C17() C18()"},
        {"\x1b[61\"p\x1b"
         "c",
         "C89() C89()"},
        {"\x1b[2y\x1b[z\x1b[1:2m", "C128(2) E E"},
        {"\x1b[99999999999m", "E"},
        {"\x1b=\x1b>", "C13(-2,999) C90(-2,999)"},
        {"\x1b"
         "D\x1b"
         "E\x1bH\x1bM\x1b"
         "1",
         "C121() C76() C65() C88() C0()"},
        {"\x1b<\x1b"
         "a",
         "E E"},
        {"\x1b#3\x1b#4\x1b#5\x1b#6\x1b#8\x1b#9", "C123(0) C123(1) C127() C124() C122() E"},
        {"\x1b(B\x1b)0\x1b(A\x1b)2", "C129(0,66) C129(1,0) C129(0,65) C129(1,2)"},
        {"\x1b(X\x1b*B\x1b( B", "E E E"},
        {"\x05\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f",
         "C114() C115() C116() C34(1) C117() C40(1) C50(2) C118() C119() C120()"},
        {"\x18"
         "a\x1a\x7f\xe4",
         "E 'a' E '\x7f' '\xe4'"},
    };
    for (const Case& C : Cases) EXPECT_EQ(Parse(C.Bytes), C.Expected) << C.Bytes;
}

TEST(VT100Parser, ControlCharacterInsideASequenceIsCarriedOutAtOnce) {
    TIpVT100Parser P(false);
    EXPECT_EQ(Parse(P, "\x1b[1"), "");
    EXPECT_EQ(P.ProcessChar('\r'), prCommand);
    EXPECT_EQ(P.Command(), tcCR);
    EXPECT_EQ(P.GetSequence(), "\r");
    EXPECT_EQ(Parse(P, "2H"), "C2(12,1)");
    EXPECT_EQ(P.GetSequence(), "\x1b[12H");
    EXPECT_EQ(Parse(P,
                    "\x1b[2\x08"
                    "C\x1b[\r5C"),
              "C116() C5(2) C118() C5(5)");
    // ESC starts over.
    EXPECT_EQ(Parse(P, "\x1b[12\x1b[3A"), "C3(3)");
}

TEST(VT100Parser, SequenceSplitAcrossBlocksIsParsedWhole) {
    const std::string Whole = "x\x1b[12;34Hy\x1b(0z\x1b#8";
    const std::string Expected = Parse(Whole);
    EXPECT_EQ(Expected, "'x' C2(12,34) 'y' C129(0,0) 'z' C122()");
    for (size_t Cut = 0; Cut <= Whole.size(); ++Cut) {
        TIpVT100Parser P(false);
        const std::string First = Parse(P, Whole.substr(0, Cut));
        const std::string Second = Parse(P, Whole.substr(Cut));
        EXPECT_EQ(First.empty() || Second.empty() ? First + Second : First + " " + Second, Expected)
            << Cut;
    }
}

// The parser's state after a byte, as text: what a caller can read of it.
std::string State(const TIpVT100Parser& P) {
    std::string Out = std::to_string(P.Command()) + "(";
    for (int I = 0; I < P.ArgumentCount(); ++I) Out += std::to_string(P.GetArgument(I)) + ",";
    return Out + ")" + P.GetSequence() + (P.InVT52Mode() ? " vt52" : "");
}

// The emulator's shortcuts take runs of bytes at once; byte for byte, the results and the state
// after each run must be those of ProcessChar.
void ExpectShortcutsAsProcessChar(const std::string& Bytes) {
    const auto* Data = reinterpret_cast<const uint8_t*>(Bytes.data());
    TIpVT100Parser Slow(false), Fast(false);
    for (size_t I = 0; I < Bytes.size();) {
        size_t Run = Fast.TakeChars(Data + I, Bytes.size() - I);
        const TIpParserResult Each = Run ? prChar : prIncomplete;
        if (!Run) Run = Fast.TakeSequenceBytes(Data + I, Bytes.size() - I);
        if (!Run) {
            ASSERT_EQ(Fast.ProcessChar(Data[I]), Slow.ProcessChar(Data[I])) << "at " << I;
            ASSERT_EQ(State(Fast), State(Slow)) << "at " << I;
            ++I;
            continue;
        }
        for (size_t J = 0; J < Run; ++J)
            ASSERT_EQ(Slow.ProcessChar(Data[I + J]), Each) << "at " << I + J;
        I += Run;
        ASSERT_EQ(State(Fast), State(Slow)) << "after the run ending at " << I;
    }
}

TEST(VT100Parser, RunsOfCharactersAndSequenceBytesAsByteForByte) {
    ExpectShortcutsAsProcessChar("plain text\r\nx\x1b[12;34Hy\x1b[?25h\x1b(0lqqk\x1b(Bz\x1b#8");
    // control characters inside a sequence, and characters right after them
    ExpectShortcutsAsProcessChar("ab\rc\x1b[1\r2;3\nmd\x1b[4\x07;5 qe\x1b[\x1b[7m");
    // bytes the shortcuts leave to ProcessChar: high bytes, DEL, finals after intermediates
    ExpectShortcutsAsProcessChar(
        "a\x80"
        "b\x7f"
        "\xb3"
        "c\x1b[1\xb3m\x1b[?1;2$pd\x1b[61\"pe");
    // VT52: its sequences take no parameters
    ExpectShortcutsAsProcessChar("\x1b[?2lab\x1bY#5cd\x1b<\x1b[1;1Hz");
    // a sequence longer than the parser keeps is refused at its final byte either way
    ExpectShortcutsAsProcessChar(
        "\x1b[" + std::string(TerminalLimits::kMaxSequenceBytes + 10, '1') + "mx\x1b[2m");
    // and whatever a host may send
    uint32_t Seed = 7;
    const std::string Alphabet = "ab;0123456789[?(#\x1b\x1b\x1b\r\n\x08\x07mHJKr\xb3\x7f ";
    std::string Noise;
    for (int I = 0; I < 20000; ++I) {
        Seed = Seed * 1103515245u + 12345u;
        Noise.push_back(Alphabet[(Seed >> 16) % Alphabet.size()]);
    }
    ExpectShortcutsAsProcessChar(Noise);
}

TEST(VT100Parser, VT52ModeComesAndGoes) {
    TIpVT100Parser P(false);
    EXPECT_EQ(Parse(P, "\x1b[?2l"), "C90(-2,2)");
    EXPECT_TRUE(P.InVT52Mode());
    EXPECT_EQ(Parse(P,
                    "\x1b"
                    "A\x1b"
                    "D\x1bH\x1bJ\x1bK\x1bZ\x1b"
                    "F\x1bG\x1bI"),
              "C3(1) C6(1) C2(1,1) C50(0) C52(0) C41(52) C119() C120() C88()");
    EXPECT_EQ(Parse(P, "\x1bY# \x1bY!\r+\x1b["), "C2(4,1) C118() C2(2,12) E");
    EXPECT_EQ(Parse(P, "\x1b<"), "C13(-2,2)");
    EXPECT_FALSE(P.InVT52Mode());
    EXPECT_EQ(Parse(P, "\x1b[A"), "C3(1)");
    EXPECT_EQ(Parse(P, "\x1b[?2;1l"), "C90(-2,2,1)");
    EXPECT_FALSE(P.InVT52Mode());
}

TEST(VT100Parser, SequencesAreBoundedByArgumentsAndBytes) {
    const size_t Max = TerminalLimits::kMaxArguments;
    std::string Many = "\x1b[";
    for (size_t I = 1; I < Max; ++I) Many += "1;";
    TIpVT100Parser P(false);
    EXPECT_EQ(Parse(P, Many + "7m").substr(0, 4), "C16(");
    EXPECT_EQ(P.ArgumentCount(), int(Max));
    EXPECT_EQ(P.GetArgument(int(Max) - 1), 7);
    EXPECT_EQ(P.GetArgument(int(Max)), 0);
    EXPECT_EQ(Parse(P, Many + "1;7m"), "E");

    // Bytes past the cap are dropped and the sequence is refused at its final byte; the next
    // byte is read afresh.
    const std::string Long = "\x1b[" + std::string(TerminalLimits::kMaxSequenceBytes, '0');
    EXPECT_EQ(Parse(P, Long + "1mA"), "E 'A'");
    EXPECT_EQ(Parse(P, "\x1b(" + std::string(TerminalLimits::kMaxSequenceBytes, ' ') + "B"), "E");
    EXPECT_EQ(Parse(P, "\x1b[1m"), "C16(1)");
}

TEST(VT100Parser, ClearAndSequenceText) {
    TIpVT100Parser P(false);
    EXPECT_EQ(P.GetSequence(), "");
    Parse(P, "\x1b[3;4r");
    EXPECT_EQ(P.GetSequence(), "\x1b[3;4r");
    P.Clear();
    EXPECT_EQ(P.Command(), tcNone);
    EXPECT_EQ(P.ArgumentCount(), 0);
    EXPECT_EQ(P.GetSequence(), "");
    EXPECT_EQ(P.ProcessWideChar(u'\u20ac'), prError);
    EXPECT_EQ(P.ProcessWideChar(u'a'), prChar);
    TIpTerminalParser Base(false);
    EXPECT_EQ(Base.ProcessChar('a'), prError);
}

}  // namespace
