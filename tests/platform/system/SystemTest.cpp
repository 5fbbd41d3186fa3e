#include <gtest/gtest.h>

#include <QApplication>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/shell/Dialogs.h"
#include "platform/system/ProgramDirectory.h"
#include "platform/system/SystemClock.h"
#include "platform/system/Version.h"

namespace {

struct Logged {
    std::string Caption, Text;
    uint32_t Flags;
    int Answer;
};

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageLogSink([this](const std::string& caption, const std::string& text,
                                 uint32_t flags, int answer) {
            logged.push_back({caption, text, flags, answer});
        });
    }
    void TearDown() override {
        SetMessageLogSink(nullptr);
        SetMessageBoxHandler(nullptr);
        SetUnattended(false);
    }
    std::vector<Logged> logged;
};

TEST_F(MessageBoxTest, HeadlessAnswersTheDefaultAtOnceAndLogs) {
    // Without any application object there is no display.
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(MessageBoxHasDisplay());
    EXPECT_EQ(MessageBox("Fehler beim Lesen der Konfiguration: x", "Kestro", MB_OK | MB_ICONERROR),
              IDOK);
    EXPECT_EQ(MessageBox("Dial now?", "Kestro", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].Text, "Fehler beim Lesen der Konfiguration: x");
    EXPECT_EQ(logged[0].Caption, "Kestro");
    EXPECT_EQ(logged[0].Answer, IDOK);
    EXPECT_EQ(logged[1].Answer, IDNO);
    EXPECT_EQ(logged[1].Flags, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

TEST_F(MessageBoxTest, OffscreenApplicationIsHeadlessAndUnattendedSwitchHolds) {
    // The test runner sets QT_QPA_PLATFORM=offscreen; make sure of it for a bare run too.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "system_test";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    EXPECT_FALSE(MessageBoxHasDisplay());
    EXPECT_EQ(MessageBox("text with <b>markup</b>", "c", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    SetUnattended(true);
    EXPECT_TRUE(Unattended());
    EXPECT_FALSE(MessageBoxHasDisplay());
    QCoreApplication::setApplicationName("Orvalin Kestro");
    ShowMessage("plain note");
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].Text, "text with <b>markup</b>");
    EXPECT_EQ(logged[1].Caption, "Orvalin Kestro");
    EXPECT_EQ(logged[1].Text, "plain note");
}

TEST_F(MessageBoxTest, HandlerAnswersInsteadOfDisplayOrLog) {
    std::vector<std::string> seen;
    SetMessageBoxHandler([&](const std::string& text, const std::string&, uint32_t) {
        seen.push_back(text);
        return IDNO;
    });
    EXPECT_EQ(MessageBox("Ask?", "Kestro", MB_YESNO), IDNO);
    EXPECT_EQ(seen, std::vector<std::string>{"Ask?"});
    EXPECT_TRUE(logged.empty());
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(MessageBox("Ask?", "Kestro", MB_YESNO), IDYES);
}

TEST(MessageBoxDefaults, DefaultButtonPerBoxKind) {
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OK), IDOK);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OK | MB_DEFBUTTON3), IDOK);  // beyond the buttons
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNO), IDYES);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), IDIGNORE);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_RETRYCANCEL), IDRETRY);
}

TEST(ProgramDirectoryTest, HomeOverridesTheExecutablesDirectory) {
    unsetenv("KESTRO_HOME");
    std::string exe = ProgramFileName();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(ProgramDirectory(), exe.substr(0, exe.rfind('/') + 1));
    setenv("KESTRO_HOME", "/srv/kestro", 1);
    EXPECT_EQ(ProgramDirectory(), "/srv/kestro/");
    setenv("KESTRO_HOME", "/srv/kestro/", 1);
    EXPECT_EQ(ProgramDirectory(), "/srv/kestro/");
    unsetenv("KESTRO_HOME");
}

TEST(VersionTest, ComesFromTheProjectVersion) {
    TProgramVersion v = ProgramVersion();
    std::string dotted = std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." +
                         std::to_string(v.Release) + "." + std::to_string(v.Build);
    EXPECT_EQ(FileVersion(), dotted);
    EXPECT_EQ(FileVersion().rfind(KESTRO_PROJECT_VERSION, 0), 0u);
}

TEST(ClockTest, NoneSwitchNeverSetsTheMachineClock) {
    setenv("KESTRO_CLOCK", "none", 1);
    TRealSystemClock clock;
    auto before = clock.Now();
    EXPECT_EQ(clock.SetSystemTime(before - std::chrono::hours(24 * 365)), TSetTimeResult::Disabled);
    EXPECT_EQ(clock.LastError(), 0);
    EXPECT_GE(clock.Now(), before);
}

TEST(ClockTest, FakeClockStandsInForTheRealOne) {
    using namespace std::chrono;
    TFakeSystemClock fake(system_clock::time_point(seconds(1000)));
    EXPECT_EQ(SetSystemClock(&fake), nullptr);
    EXPECT_EQ(&SystemClock(), &fake);
    fake.Advance(seconds(5));
    EXPECT_EQ(SystemClock().Now(), system_clock::time_point(seconds(1005)));
    EXPECT_EQ(SystemClock().SetSystemTime(system_clock::time_point(seconds(50))),
              TSetTimeResult::Set);
    EXPECT_EQ(fake.Now(), system_clock::time_point(seconds(50)));
    fake.SetResult(TSetTimeResult::Failed, EPERM);
    EXPECT_EQ(SystemClock().SetSystemTime(system_clock::time_point(seconds(70))),
              TSetTimeResult::Failed);
    EXPECT_EQ(SystemClock().LastError(), EPERM);
    EXPECT_EQ(fake.Now(), system_clock::time_point(seconds(50)));
    EXPECT_EQ(fake.SetCalls().size(), 2u);
    EXPECT_EQ(SetSystemClock(nullptr), &fake);
    EXPECT_NE(&SystemClock(), &fake);
}

}  // namespace
