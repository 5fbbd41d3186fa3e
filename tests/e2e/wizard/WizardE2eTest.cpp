// A box of each kind written by the set-up wizard (with servers typed on its provider page) is
// exchanged end to end: the mail waiting on the POP3 server lands in the spool the wizard chose,
// the outgoing mail there is sent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/engine/KestroGlobal.h"
#include "app/ui/WizardConfig.h"
#include "tests/e2e/E2eEnv.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Quotes a word for the shell.
std::string Quoted(const std::string& Text) {
    std::string Out = "'";
    for (char C : Text) Out += C == '\'' ? std::string("'\\''") : std::string(1, C);
    return Out + "'";
}

// Runs a command line of the fixture's (its scripts take words) with input from a file; bounded.
int Shell(const std::string& Command) {
    return std::system(("timeout 120 " + Command).c_str());
}

class WizardE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Env = e2e::Env::Load();
        if (!Env) GTEST_SKIP() << "no e2e servers (KESTRO_E2E_ENV unset)";
        const auto* Info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = (fs::temp_directory_path() /
               ("kestro-wizard-e2e-" + std::to_string(getpid()) + "-" + Info->name()))
                  .string() +
              "/";
        fs::remove_all(Dir);
        fs::create_directories(Dir + "kestro/reg");
        User = "e2ewiz" + std::to_string(getpid()) + Info->name();
        for (char& C : User) C = char(std::tolower(static_cast<unsigned char>(C)));
        ASSERT_EQ(Shell(Env->Get("ADDUSER") + " " + User + " pw-" + User), 0);
        // Our own registry: no time server on the network, the run log on.
        setenv("KESTRO_REGISTRY_DIR", (Dir + "kestro/reg").c_str(), 1);
        GlobalConfig = TGlobalConfig();
        GlobalConfig.TimeServer.clear();
        GlobalConfig.SaveToRegistry();
    }
    void TearDown() override {
        if (!Env) return;
        unsetenv("KESTRO_REGISTRY_DIR");
        if (!HasFailure()) fs::remove_all(Dir);
    }

    void DropMail(const std::string& Subject) {
        WriteFile(Dir + "drop.eml", "From: a@example.org\r\nTo: " + User +
                                        "@example.org\r\nSubject: " + Subject +
                                        "\r\n\r\nhello\r\n");
        ASSERT_EQ(Shell(Env->Get("POP3_DROP") + " " + User + " " + Quoted(Dir + "drop.eml")), 0);
    }

    // The wizard's writer with the servers typed on its provider page.
    void Prepare(const std::string& Box) {
        TWizardInput Input;
        Input.PointDir = Dir;
        Input.EMail = User + "@beispiel.org";
        Input.Password = "pw-" + User;
        Input.Provider = DetectProvider(Input.EMail);
        ASSERT_EQ(Input.Provider, OtherProvider);
        Input.Pop3Server = Env->Host() + ":" + std::to_string(Env->Port("POP3"));
        Input.Pop3User = User;
        Input.SmtpServer = Env->Host() + ":" + std::to_string(Env->Port("SMTP"));
        WriteConfiguration(Input, Dir + Box);
    }

    int RunKestro(const std::string& Box) {
        const std::string Home = Dir + "kestro/";
        return WEXITSTATUS(Shell(
            "env KESTRO_HOME=" + Quoted(Home) + " KESTRO_REGISTRY_DIR=" + Quoted(Home + "reg") +
            " XDG_RUNTIME_DIR=" + Quoted(Home) + " KESTRO_CLOCK=none QT_QPA_PLATFORM=offscreen " +
            KESTRO_EXE + " " + Quoted(Dir + Box) + " > " + Quoted(Home + "out.txt") + " 2>&1"));
    }

    // Every file of the spool directory the wizard chose, read.
    std::string SpoolDir() const {
        std::string Short = WizardShortName(User + "@beispiel.org");
        for (char& C : Short) C = char(std::toupper(static_cast<unsigned char>(C)));
        return Dir + Short + "/";
    }
    // Every file of the spool directory the wizard chose, read.
    std::string SpoolText() const {
        std::string All;
        for (const auto& Entry : fs::directory_iterator(SpoolDir()))
            if (Entry.is_regular_file()) All += ReadFile(Entry.path().string());
        return All;
    }

    std::optional<e2e::Env> Env;
    std::string Dir;
    std::string User;
};

TEST_F(WizardE2e, AnOpenXpClientBoxIsExchanged) {
    WriteFile(Dir + "oxp.bfg", "Boxname=oxp\r\nClient-Mode=J\r\n");
    DropMail("wizard client box");
    Prepare("oxp.bfg");
    WriteFile(SpoolDir() + "M0001.OUT",
              "HELO point\r\nMAIL FROM:<p@example.org>\r\nRCPT TO:<sink@example.org>\r\nDATA\r\n"
              "Subject: out\r\n\r\nbody\r\n.\r\nQUIT\r\n");
    EXPECT_EQ(RunKestro("oxp.bfg"), 0) << ReadFile(Dir + "kestro/out.txt");
    EXPECT_NE(SpoolText().find("Subject: wizard client box"), std::string::npos);
    EXPECT_FALSE(fs::exists(SpoolDir() + "M0001.OUT"));
}

TEST_F(WizardE2e, AnXp2PppBoxIsExchanged) {
    WriteFile(Dir + "ppp.bfg", "Boxname=ppp\r\nxpscoreaktiv=J\r\n");
    DropMail("wizard ppp box");
    Prepare("ppp.bfg");
    EXPECT_EQ(RunKestro("ppp.bfg"), 0) << ReadFile(Dir + "kestro/out.txt");
    EXPECT_NE(SpoolText().find("Subject: wizard ppp box"), std::string::npos);
}

}  // namespace
