// vttest (the Debian package) run through the VT100 emulator: menus 1 (cursor movements),
// 2 (screen features), 3 (character sets) and 6 (terminal reports). Every screen vttest asks
// the user to look at is dumped as text and compared with the reviewed dumps in vttest/;
// KESTRO_VTTEST_UPDATE=1 writes the dumps there instead. The reports of menu 6 are judged by
// vttest itself ("OK", "TERMINAL OK", "No options").
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/terminal/VttestDriver.h"

namespace {

const char* const kVttest = "/usr/bin/vttest";
const char* const kMainMenu = "Enter choice number (0 - 12):";
const char* const kReportsMenu = "Enter choice number (0 - 7):";
const char* const kPush = "Push <RETURN>";

class Vttest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (access(kVttest, X_OK) != 0)
            GTEST_SKIP() << "vttest is not installed (Debian package vttest)";
        S.Vt.SetAnswerback("Kestro Terminal");
        ASSERT_TRUE(S.Start(kVttest));
        ASSERT_TRUE(S.WaitFor(kMainMenu)) << S.Output();
    }

    // Keys go through the emulator, as the user's keys do (Return sends CR LF in new-line
    // mode).
    void Type(const std::string& Keys) {
        S.Type("");
        for (const char C : Keys) S.Vt.KeyPress(C);
        const std::string Bytes = S.Host.Sent();
        S.Type(Bytes);
    }

    void Snapshot(const std::string& Title) {
        Dump += "=== " + std::to_string(++Screens) + ": " + Title + "\n";
        if (S.Vt.ReverseScreen()) Dump += "(reverse screen)\n";
        Dump += VttestScreen(S.Vt);
    }

    // Waits for Text, dumps the screen and answers with Keys.
    void Step(const std::string& Text, const std::string& Keys) {
        ASSERT_TRUE(S.WaitFor(Text)) << "waiting for \"" << Text << "\"; got:\n" << S.Output();
        Snapshot(Text);
        Type(Keys);
    }

    // A menu of screens that each end with "Push <RETURN>", up to the main menu again.
    void PushThrough(const std::string& Choice) {
        Type(Choice + "\r");
        for (int Guard = 0; Guard < 40; ++Guard) {
            const int Seen = S.WaitForEither(kPush, kMainMenu);
            ASSERT_GE(Seen, 0) << "vttest stopped; output:\n" << S.Output();
            if (Seen == 1) return;
            Snapshot(kPush);
            Type("\r");
        }
        FAIL() << "no end to the menu";
    }

    void Compare(const std::string& Name) {
        const std::string Golden =
            std::string(KESTRO_SOURCE_DIR) + "/tests/terminal/vttest/" + Name + ".txt";
        if (std::getenv("KESTRO_VTTEST_UPDATE")) {
            WriteFile(Golden, Dump);
            return;
        }
        const std::string Actual = std::string(KESTRO_BINARY_DIR) + "/vttest-" + Name + ".txt";
        WriteFile(Actual, Dump);
        EXPECT_EQ(Dump, ReadFile(Golden)) << "screens differ; this run's dump: " << Actual;
    }

    TVttestSession S;
    std::string Dump;
    int Screens = 0;
};

TEST_F(Vttest, Menu1CursorMovements) {
    PushThrough("1");
    EXPECT_EQ(Screens, 6);
    Compare("menu1");
}

TEST_F(Vttest, Menu2ScreenFeatures) {
    PushThrough("2");
    EXPECT_EQ(Screens, 15);
    Compare("menu2");
}

TEST_F(Vttest, Menu3CharacterSets) {
    PushThrough("3");
    EXPECT_EQ(Screens, 1);
    Compare("menu3");
}

TEST_F(Vttest, Menu6ReportsPassVttestsChecks) {
    Type("6\r");
    const int Answered = S.Replies();
    Step(kReportsMenu, "1\r");
    // vttest shows what ENQ answered: the RETURN that ends the test comes after the answer (vttest
    // may send its ENQ a moment after the text).
    ASSERT_TRUE(S.WaitFor("Finish this test with RETURN.")) << S.Output();
    ASSERT_TRUE(S.WaitForReplies(Answered + 1)) << S.Output();
    Step("Finish this test with RETURN.", "\r");
    Step(kPush, "\r");
    Step(kReportsMenu, "2\r");
    Step("NewLine mode set. Push the RETURN key:", "\r");
    Step("NewLine mode reset. Push the RETURN key:", "\r");
    Step(kPush, "\r");
    Step(kReportsMenu, "3\r");
    Step(kPush, "\r");
    Step(kReportsMenu, "4\r");
    Step(kPush, "\r");
    Step(kReportsMenu, "7\r");
    Step(kPush, "\r");
    Step(kReportsMenu, "0\r");
    ASSERT_TRUE(S.WaitFor(kMainMenu));
    Compare("menu6");

    const struct {
        const char* Verdict;
        int Count;
    } Verdicts[] = {
        {"K e s t r o <32> T e r m i n a l", 1},
        {"<13> <10>  -- OK", 1},
        {"<13>  -- OK", 1},
        {"means \"TERMINAL OK\"", 1},
        {"R  -- OK", 2},
        {"means No options (vanilla VT100)", 1},
        {"x  -- OK", 2},
    };
    for (const auto& V : Verdicts) {
        int Seen = 0;
        for (size_t At = Dump.find(V.Verdict); At != std::string::npos;
             At = Dump.find(V.Verdict, At + 1))
            ++Seen;
        // Each result stays on the screens that follow it, so count the last screen of each.
        EXPECT_GE(Seen, V.Count) << V.Verdict;
    }
    EXPECT_EQ(Dump.find("Not expected"), std::string::npos);
    EXPECT_EQ(Dump.find("Unknown"), std::string::npos);
    EXPECT_EQ(Dump.find("unknown"), std::string::npos);
}

}  // namespace
