// The dialer against the phonebook provider, with small shell scripts as the entries' commands.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

#include "netlib/ras/provider/CommandProvider.h"
#include "netlib/ras/provider/Phonebook.h"
#include "netlib/ras/provider/ShellCommand.h"
#include "netlib/ras/provider/SimProvider.h"
#include "tests/netlib/ras/RasTestHelpers.h"

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

class CommandProvider : public testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro-ras-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        const char* home = std::getenv("KESTRO_HOME");
        OldHome = home ? home : "";
        HadHome = home != nullptr;
        ::setenv("KESTRO_HOME", (Dir + "/").c_str(), 1);

        // connect.sh takes the password from its input and notes what it was given.
        WriteFile(Dir + "/connect.sh",
                  "read -r pw\n"
                  "printf '%s' \"$pw\" > \"$D/password\"\n"
                  "printf '%s %s %s' \"$KESTRO_RAS_USER\" \"$KESTRO_RAS_PHONE\" \"$*\" > "
                  "\"$D/given\"\n"
                  "touch \"$D/up\"\n");
        WriteFile(Dir + "/phonebook.ini",
                  "; dial-up entries\n"
                  "[isp]\n"
                  "PhoneNumber = 0191011\n"
                  "username=anna\n"
                  "Connect=D=" +
                      Dir + " sh " + Dir +
                      "/connect.sh\n"
                      "Status=test -f " +
                      Dir +
                      "/up\n"
                      "Disconnect=rm " +
                      Dir +
                      "/up\n"
                      "\n"
                      "[lan]\n"
                      "# always there: no commands\n"
                      "\n"
                      "[busy]\n"
                      "PhoneNumber=110\n"
                      "Password=stored\n"
                      "Connect=echo dialling; echo 'modem busy' >&2; exit 3\n"
                      "\n"
                      "[slow]\n"
                      "Timeout=1\n"
                      "Connect=sleep 30\n");
        Provider = std::make_shared<TCommandDialupProvider>();
        IpRasAccess().SetProvider(Provider);
        Dialer = std::make_unique<TRecordedDialer>();
    }
    void TearDown() override {
        Dialer.reset();
        DrainPosted();
        IpRasAccess().SetProvider(nullptr);
        Provider.reset();
        if (HadHome)
            ::setenv("KESTRO_HOME", OldHome.c_str(), 1);
        else
            ::unsetenv("KESTRO_HOME");
        std::string rm = "rm -rf '" + Dir + "'";
        EXPECT_EQ(std::system(rm.c_str()), 0);
    }
    std::string Connections() {
        TStringList list;
        EXPECT_EQ(Dialer->ListConnections(&list), 0);
        return list.CommaText();
    }

    std::string Dir, OldHome;
    bool HadHome = false;
    std::shared_ptr<TCommandDialupProvider> Provider;
    std::unique_ptr<TRecordedDialer> Dialer;
};

TEST_F(CommandProvider, DialRunsConnectAndStatusAndHangupRunsDisconnect) {
    EXPECT_EQ(Connections(), "lan");  // the entry without Connect is always online
    Dialer->SetEntryName("isp");
    EXPECT_EQ(Dialer->PhoneNumber(), "0191011");
    Dialer->SetPassword("pa ss;word");

    ASSERT_EQ(Dialer->Dial(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Has("connected") || Dialer->Has("error 651"); }));
    EXPECT_EQ(Dialer->Events, (std::vector<std::string>{"disconnected", "status 0", "status 1",
                                                        "status 2", "status 3", "connected"}));
    // The password came on standard input; the command line carried nothing of it.
    EXPECT_EQ(ReadFile(Dir + "/password"), "pa ss;word");
    EXPECT_EQ(ReadFile(Dir + "/given"), "anna 0191011 ");
    EXPECT_EQ(Dialer->GetConnectState(), int32_t(RASCS_Connected));
    EXPECT_EQ(Connections(), "isp,lan");

    Dialer->Hangup();
    EXPECT_FALSE(Exists(Dir + "/up"));
    EXPECT_EQ(Dialer->Count("disconnected"), 2);
    EXPECT_FALSE(Dialer->DisconnectTimerEnabled());
    EXPECT_EQ(Connections(), "lan");
}

TEST_F(CommandProvider, SyncDialAndALineThatDrops) {
    Dialer->SetEntryName("isp");
    Dialer->SetDialMode(dmSync);
    ASSERT_EQ(Dialer->Dial(), 0);
    EXPECT_TRUE(Exists(Dir + "/up"));
    EXPECT_EQ(Dialer->Events, std::vector<std::string>{"disconnected"});

    // The line goes away behind the program's back: Status notices, the timer hangs up.
    ASSERT_EQ(::unlink((Dir + "/up").c_str()), 0);
    TCapturedLog log;
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Count("disconnected") == 2; }, 8000));
    EXPECT_NE(log.Find("\"isp\": the line is down"), "");
    EXPECT_FALSE(Dialer->DisconnectTimerEnabled());
}

TEST_F(CommandProvider, FailingConnectCommandGivesItsErrorText) {
    TCapturedLog log;
    Dialer->SetEntryName("busy");
    EXPECT_EQ(Dialer->Password(), "stored");
    ASSERT_EQ(Dialer->Dial(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Count("disconnected") == 2; }));
    EXPECT_EQ(Dialer->Events, (std::vector<std::string>{"disconnected", "status 0", "status 1",
                                                        "status 2", "error 651", "disconnected"}));
    EXPECT_EQ(Dialer->GetErrorText(651),
              "The connect command failed. Connect command exited with code 3: modem busy");
    EXPECT_NE(log.Find("Dial-up entry \"busy\": Connect command exited with code 3"), "");

    // The same with a synchronous dial: the result is the code.
    Dialer->SetDialMode(dmSync);
    EXPECT_EQ(Dialer->Dial(), 651);
}

TEST_F(CommandProvider, ConnectCommandThatHangsIsStoppedAtItsTimeout) {
    Dialer->SetEntryName("slow");
    ASSERT_EQ(Dialer->Dial(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Has("error 638"); }, 10000));
    EXPECT_EQ(Dialer->GetErrorText(638),
              "The connect command did not finish in time. Connect command did not end within "
              "1 s.");
    EXPECT_TRUE(PumpUntil([&] { return Provider->RunningJobs() == 0; }));
}

TEST_F(CommandProvider, UnknownEntryNamesThePhonebookFile) {
    TCapturedLog log;
    Dialer->SetEntryName("nowhere");
    EXPECT_EQ(Dialer->Dial(), int32_t(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_NE(log.Find("\"nowhere\" not found in phonebook file " + Dir + "/phonebook.ini"), "");
    EXPECT_EQ(Dialer->GetErrorText(623), RasErrorText(623));

    TStringList list;
    EXPECT_EQ(Dialer->ListEntries(&list), 0);
    EXPECT_EQ(list.CommaText(), "isp,lan,busy,slow");
    EXPECT_EQ(Dialer->CreatePhonebookEntry(), int32_t(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_NE(log.Find("defined in the phonebook file " + Dir + "/phonebook.ini"), "");

    // A phonebook given to the dialer is used instead, even under another case.
    WriteFile(Dir + "/Other.INI", "[far]\nPhoneNumber=9\n");
    Dialer->SetPhonebook(Dir + "/other.ini");
    EXPECT_EQ(Dialer->ListEntries(&list), 0);
    EXPECT_EQ(list.CommaText(), "far");
}

TEST(Phonebook, ParsesEntriesAndReportsBadLines) {
    TCapturedLog log;
    TPhonebook book;
    book.Parse(
        "stray=1\n"
        "[a]\r\n"
        "PHONENUMBER=1\r\n"
        "Timeout=abc\n"
        "Colour=blue\n"
        "[]\n"
        "[b]\n"
        "Timeout=99999\n"
        "Password=\n"
        "[a]\n"
        "UserName=u\n",
        "pb.ini");
    ASSERT_EQ(book.Entries().size(), 2u);
    const TPhonebookEntry* a = book.Find("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->PhoneNumber, "1");
    EXPECT_EQ(a->UserName, "u");
    EXPECT_EQ(a->TimeoutSeconds, 60u);
    EXPECT_FALSE(a->HasPassword);
    const TPhonebookEntry* b = book.Find("b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->TimeoutSeconds, 3600u);
    EXPECT_TRUE(b->HasPassword);  // an empty stored password is still stored
    EXPECT_EQ(book.Find("A"), nullptr);
    EXPECT_NE(log.Find("pb.ini line 1: line outside an entry"), "");
    EXPECT_NE(log.Find("pb.ini line 4: Timeout=abc"), "");
    EXPECT_NE(log.Find("pb.ini line 5: unknown key colour"), "");
    EXPECT_NE(log.Find("pb.ini line 6: bad section header"), "");
}

TEST(Phonebook, HasNoSmallLimitOnEntriesOrConnections) {
    TPhonebook book;
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "[e";
        text += std::to_string(i);
        text += "]\n";
    }
    book.Parse(text, "big.ini");
    EXPECT_EQ(book.Entries().size(), 100u);

    auto sim = std::make_shared<TSimDialupProvider>();
    for (int i = 0; i < 70; ++i) sim->AddConnection(std::string(1, 'c').append(std::to_string(i)));
    IpRasAccess().SetProvider(sim);
    {
        TIpRasDialer dialer;
        dialer.SetHangupOnDestroy(false);
        TStringList list;
        EXPECT_EQ(dialer.ListConnections(&list), 0);
        EXPECT_EQ(list.Count(), 70);
    }
    IpRasAccess().SetProvider(nullptr);
}

TEST(DialupProvider, ChosenByName) {
    TCapturedLog log;
    EXPECT_EQ(CreateDialupProvider("")->Name(), "command");
    EXPECT_EQ(CreateDialupProvider("sim")->Name(), "sim");
    EXPECT_EQ(CreateDialupProvider("none"), nullptr);
    EXPECT_EQ(CreateDialupProvider("modem"), nullptr);
    EXPECT_NE(log.Find("Unknown dial-up provider \"modem\""), "");
}

TEST(ShellCommand, ExitCodeOutputAndTimeoutOfTheWholeGroup) {
    auto env = CommandEnvironment({"GREETING=hello"});
    TShellResult r =
        RunShellCommand("cat; echo \"$GREETING\" >&2; exit 4", "typed\n", env, 5000, nullptr);
    EXPECT_TRUE(r.Started);
    EXPECT_EQ(r.ExitCode, 4);
    EXPECT_EQ(r.Output, "typed\nhello\n");
    EXPECT_EQ(r.LastLine(), "hello");

    // A command that does not read its input is no problem either.
    EXPECT_TRUE(
        RunShellCommand("exit 0", std::string(100000, 'x'), env, 5000, nullptr).Succeeded());

    // The background child is killed with the shell; otherwise this would wait 30 s.
    r = RunShellCommand("sleep 30 & sleep 30", "", env, 200, nullptr);
    EXPECT_TRUE(r.TimedOut);
    EXPECT_FALSE(r.Succeeded());

    std::atomic<bool> cancel{true};
    r = RunShellCommand("sleep 30", "", env, 60000, &cancel);
    EXPECT_TRUE(r.Cancelled);
}

}  // namespace
