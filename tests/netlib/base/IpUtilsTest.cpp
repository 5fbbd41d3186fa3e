#include <gtest/gtest.h>

#include "netlib/base/IpBase.h"
#include "netlib/base/IpUtils.h"

namespace {

TEST(IpStringRoutines, CharPositionsAreOneBasedAndZeroWhenOutOfRange) {
    const std::string s = "a/b/c";
    struct Case {
        int32_t got;
        int32_t want;
    } cases[] = {
        {CharPos('/', s), 2},
        {CharPos('x', s), 0},
        {CharPos('/', ""), 0},
        {CharPosIdx('/', s, 3), 4},
        {CharPosIdx('/', s, 5), 0},
        {CharPosIdx('/', s, 0), 0},
        {CharPosIdx('/', s, 6), 0},
        {RCharPos('/', s), 4},
        {RCharPos('x', s), 0},
        {RCharPosIdx('/', s, 3), 2},
        {RCharPosIdx('/', s, 1), 0},
        {RCharPosIdx('/', s, 0), 0},
        {RCharPosIdx('/', s, 6), 0},
        {PosIdx("../", "x../../y", 1), 2},
        {PosIdx("../", "x../../y", 3), 5},
        {PosIdx("../", "x../../y", 6), 0},
        {PosIdx("", "abc", 1), 0},
        {PosIdx("c", "abc", 9), 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << i;
}

TEST(IpStringRoutines, TrimSpacesRemovesBlanksOnly) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(""), "");
}

TEST(IpStringRoutines, BufferComparisonAndCounting) {
    const uint8_t a[] = {1, 0x80, 3};
    const uint8_t b[] = {1, 0x7F, 4};
    EXPECT_EQ(CompareBuffers(a, b, 0), 0);
    EXPECT_EQ(CompareBuffers(a, b, 1), 0);
    EXPECT_EQ(CompareBuffers(a, b, 3), 1);  // bytes compare unsigned
    EXPECT_EQ(CompareBuffers(b, a, 3), -1);
    const char text[] = "a.b.c";
    EXPECT_EQ(CharCount(text, 5, '.'), 2);
    EXPECT_EQ(CharCount(text, 0, '.'), 0);
    EXPECT_EQ(CharCount(text, -1, '.'), 0);
    EXPECT_EQ(IntMax(-3, 2), 2);
    EXPECT_EQ(IntMin(-3, 2), -3);
}

TEST(IpStringRoutines, FreeAndNilClearsBeforeFreeing) {
    struct Probe {
        Probe*& Var;
        bool& SawNil;
        ~Probe() { SawNil = Var == nullptr; }
    };
    bool sawNil = false;
    Probe* p = nullptr;
    p = new Probe{p, sawNil};
    FreeAndNilObject(p);
    EXPECT_EQ(p, nullptr);
    EXPECT_TRUE(sawNil);
    FreeAndNilObject(p);  // nil is allowed
}

TEST(IpBaseClasses, VersionAndDebugEntryText) {
    EXPECT_EQ(VersionString(), "v1.11");
    TIpBaseComponent component;
    component.SetVersion("v9.99");
    EXPECT_EQ(component.Version(), "v1.11");
    EXPECT_EQ(component.FormatDebugEntry(1, 2, nullptr, 0), "!!!! Unhandled log entry\n\r");
    TIpBaseWinControl control;
    EXPECT_EQ(control.Version(), "v1.11");
}

TEST(IpBaseClasses, AccessExceptionTextAndLocksNest) {
    EXPECT_EQ(EIpAccessException("connect", "not bound").Message(),
              "Win32 error loading 'connect' pointer: not bound");
    TIpBaseAccess access;
    access.Lock();
    access.Lock();  // a handler re-entering the same object must not deadlock
    access.Unlock();
    access.Unlock();
    EXPECT_EQ(access.Module(), 0u);
}

TEST(IpUtils, EscapeForLogKeepsUtf8AndEscapesControlsAndStrayBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain text", "plain text"},
        {"W\xC3\xA4hle Gruppe \xE2\x82\xAC \xF0\x9F\x93\xB0",
         "W\xC3\xA4hle Gruppe \xE2\x82\xAC \xF0\x9F\x93\xB0"},
        {std::string("a\0b\tc\r\nd\x7F", 9), "a\\x00b\\x09c\\x0D\\x0Ad\\x7F"},
        {"Gr\xFC\xDF"
         "e",
         "Gr\\xFC\\xDFe"},                                        // Windows-1252, not UTF-8
        {"\xC3", "\\xC3"},                                        // cut short
        {"\xC0\xAF \xED\xA0\x80", "\\xC0\\xAF \\xED\\xA0\\x80"},  // overlong, surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},             // beyond U+10FFFF
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(EscapeForLog(in), out) << in;
}

}  // namespace
