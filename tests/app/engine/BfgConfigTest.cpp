#include "app/engine/bfgconfig.h"

#include <algorithm>
#include <sstream>

#include "app/engine/RunState.h"
#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"

namespace {

class BfgConfigTest : public EngineTest {
  protected:
    // A box read from one file holding text (the extension decides the spool rule).
    TKestroConfig Parse(const std::string& text, const std::string& name = "box.bfg") {
        WriteFile(name, text);
        TKestroConfig config;
        config.ReadFile(name);
        return config;
    }

    static TKestroConfig FullBox() {
        TKestroConfig c;
        c.GlobalSpool = "C:\\XP\\SPOOL\\";
        c.DebugLog = true;
        c.Pop3Server = "pop.example.net";
        c.Pop3User = "point";
        c.Pop3Pass = "g=eheim 1";
        c.Pop3Spool = "C:\\XP\\SPOOL\\MAIL\\";
        c.Pop3Auth = true;
        c.Pop3Envelope = "*";
        c.Pop3Keep = true;
        c.Pop3MaxLen = 512;
        c.Pop3OnlyNew = true;
        c.Pop3UseSSL = true;
        c.SmtpServer = "smtp.example.net";
        c.SmtpUser = "point@example.net";
        c.SmtpPass = "s3cret";
        c.SmtpSpool = "C:\\XP\\SPOOL\\OUT\\";
        c.SmtpAfterPop = true;
        c.SmtpEnvelope = "point@example.net";
        c.SmtpUseSSL = true;
        c.NntpServer = "news.example.net";
        c.NntpUser = "reader";
        c.NntpPass = "n3ws";
        c.NntpSpool = "C:\\XP\\SPOOL\\NEWS\\";
        c.NntpDupeSize = 20000;
        c.NntpDupeType = 1;
        c.NntpPosting = false;
        c.NntpNewMax = 4294967295u;
        c.NntpSort = 1;
        c.NntpMaxThreads = 4;
        c.NntpGetNewsList = false;
        c.NntpUseSSL = true;
        c.DialOnStart = c.DialAskBefore = c.DialUseConnection = true;
        c.DialName = "Provider Eins";
        c.HangupOnExit = c.HangupAskBefore = c.HangupAlways = true;
        c.IgnoreVCard = c.ExtractAttach = c.DeleteAttach = c.NetcallAllSupport = true;
        c.ExtractPath = "C:\\XP\\FILES\\";
        // Not written to a .cfg:
        c.Pop3Port = 995;
        c.SmtpTimeout = 60;
        c.MailFallback = "fallbox";
        c.NntpArtClAnz = 50;
        c.AddServers = "box2";
        return c;
    }
};

TEST_F(BfgConfigTest, DefaultBoxWritesTheGoldenCfg) {
    TKestroConfig config;
    config.Modified = true;
    config.SaveToFile("box.cfg");
    EXPECT_EQ(ReadFile("box.cfg"), Golden("defaults.cfg"));
    EXPECT_EQ(config.FileName, "box.cfg");
    EXPECT_FALSE(config.Modified);
}

TEST_F(BfgConfigTest, FullBoxWritesTheGoldenCfgAndReadsBack) {
    TKestroConfig config = FullBox();
    config.SaveToFile("full.cfg");
    EXPECT_EQ(ReadFile("full.cfg"), Golden("full.cfg"));

    TKestroConfig loaded;
    loaded.ReadFile("full.cfg");
    EXPECT_EQ(loaded.CfgText(), config.CfgText());
    // What the .cfg does not hold keeps its default.
    EXPECT_EQ(loaded.Pop3Port, 110);
    EXPECT_EQ(loaded.SmtpTimeout, 30);
    EXPECT_EQ(loaded.MailFallback, "");
    EXPECT_EQ(loaded.NntpArtClAnz, 20);
    EXPECT_EQ(loaded.AddServers, "");
    // Spools in a .cfg stay as written.
    EXPECT_EQ(loaded.Pop3Spool, "C:\\XP\\SPOOL\\MAIL\\");
}

// Read and written again, a .cfg in which every field holds a value no other field holds comes
// back line for line: no key is read into another's field. Each switch is tried alone, since
// "enabled" in two of them could not tell them apart.
TEST_F(BfgConfigTest, EveryLineIsReadIntoItsOwnField) {
    TKestroConfig defaults;
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(defaults.CfgText());
    std::string header;
    std::getline(in, header);
    if (!header.empty() && header.back() == '\r') header.pop_back();
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t eq = line.find('=');
        lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    ASSERT_GT(lines.size(), 40u);
    auto isSwitch = [](const std::string& v) { return v == "enabled" || v == "disabled"; };
    auto text = [&](const std::vector<std::pair<std::string, std::string>>& with) {
        std::string out = header + "\r\n";
        for (const auto& [key, value] : with) out += key + "=" + value + "\r\n";
        return out;
    };
    // Texts and numbers each their own value (list indexes stay in their lists).
    auto distinct = lines;
    int n = 0;
    for (auto& [key, value] : distinct) {
        ++n;
        if (isSwitch(value) || key == "NntpDupeType" || key == "NntpSort") continue;
        if (!value.empty() && std::all_of(value.begin(), value.end(), ::isdigit))
            value = std::to_string(100 + n);
        else
            value = "v-" + key + "/";  // paths keep their closing delimiter
    }
    EXPECT_EQ(Parse(text(distinct), "box.cfg").CfgText(), text(distinct));
    for (size_t on = 0; on < lines.size(); ++on) {
        if (!isSwitch(lines[on].second)) continue;
        auto one = lines;
        for (size_t k = 0; k < one.size(); ++k)
            if (isSwitch(one[k].second)) one[k].second = k == on ? "enabled" : "disabled";
        EXPECT_EQ(Parse(text(one), "box.cfg").CfgText(), text(one)) << lines[on].first;
    }
}

TEST_F(BfgConfigTest, SaveToAMissingDirectoryRaisesAndStaysModified) {
    TKestroConfig config;
    config.Modified = true;
    EXPECT_THROW(config.SaveToFile(ProgramDir() + "no/such/dir/box.cfg"), Exception);
    EXPECT_TRUE(config.Modified);
}

TEST_F(BfgConfigTest, LinesAreTrimmedSplitAtTheFirstEqualsAndLaterLinesWin) {
    const TKestroConfig c = Parse(
        "  Pop3Server  =   mail  \r\n"
        "\tNNTPSERVER\t=\tnews\t\n"
        "Pop3Pass=a=b=c\n"
        "SmtpServer=first\nsmtpserver=second\n"
        "Pop3User=\n"
        "no equals sign\n"
        "UnknownKey=value\n",
        "box.cfg");
    EXPECT_EQ(c.Pop3Server, "mail");
    EXPECT_EQ(c.NntpServer, "news");
    EXPECT_EQ(c.Pop3Pass, "a=b=c");
    EXPECT_EQ(c.SmtpServer, "second");
    EXPECT_EQ(c.Pop3User, "");
}

TEST_F(BfgConfigTest, BooleansAreTrueOnlyForTheFiveSpellings) {
    for (const char* yes : {"enabled", "j", "y", "J", "Y"}) {
        EXPECT_TRUE(TKestroConfig::IsEnabledValue(yes)) << yes;
        EXPECT_TRUE(Parse(std::string("Pop3Keep=") + yes + "\n").Pop3Keep) << yes;
    }
    for (const char* no : {"Enabled", "ENABLED", "yes", "ja", "1", "true", "disabled"}) {
        EXPECT_FALSE(TKestroConfig::IsEnabledValue(no)) << no;
        EXPECT_FALSE(Parse(std::string("Pop3Keep=") + no + "\n").Pop3Keep) << no;
    }
    // An empty value never clears a field.
    EXPECT_TRUE(Parse("NntpPosting=\n").NntpPosting);
    EXPECT_FALSE(Parse("NntpPosting=n\n").NntpPosting);
}

TEST_F(BfgConfigTest, NumbersThatDoNotParseGiveTheFieldDefault) {
    TKestroConfig c = Parse(
        "Pop3Port=abc\nSmtpPort=25x\nNntpPort=\nNntpMaxThreads=\nPop3Timeout=0x10\n"
        "NntpArtClAnz=99999999999\nNntpDupeSize=+7\nPop3MaxLen=-5\nNntpNewMax=lots\n"
        "SmtpTimeout=45\nsmpttimeout=50\nNntpTimeout= 12 \n");
    EXPECT_EQ(c.Pop3Port, 110);
    EXPECT_EQ(c.SmtpPort, 25);
    EXPECT_EQ(c.NntpPort, 119);
    EXPECT_EQ(c.NntpMaxThreads, 15);
    EXPECT_EQ(c.Pop3Timeout, 30);
    EXPECT_EQ(c.NntpArtClAnz, 20);
    EXPECT_EQ(c.NntpDupeSize, 7);
    EXPECT_EQ(c.Pop3MaxLen, -5);
    EXPECT_EQ(c.NntpNewMax, 2500u);
    // The time-out key of our own files is spelled "smpttimeout".
    EXPECT_EQ(c.SmtpTimeout, 50);
    EXPECT_EQ(c.NntpTimeout, 12);
    EXPECT_EQ(Parse("NntpNewMax=4294967295\n").NntpNewMax, 4294967295u);
    EXPECT_EQ(Parse("NntpNewMax=4294967296\n").NntpNewMax, 2500u);
}

TEST_F(BfgConfigTest, NegativeArticleMaximumEndsTheFile) {
    WriteFile("box.bfg", "Pop3Server=before\nclient-newsmax=-10\nSmtpServer=after\n");
    TKestroConfig c;
    EXPECT_THROW(c.ReadFile("box.bfg"), ERangeError);
    EXPECT_EQ(c.Pop3Server, "before");
    EXPECT_EQ(c.SmtpServer, "");
}

// A box file of each point program loads with its type, its spools and its values; what the
// .cfg writer shows is compared with the expected file, the rest field by field.
TEST_F(BfgConfigTest, OpenXPClientBox) {
    const TKestroConfig c = Parse(Golden("openxp.bfg"));
    EXPECT_EQ(PointProgramType, ptOpenXP);
    EXPECT_EQ(c.CfgText(), Golden("openxp.expected.cfg"));
    EXPECT_EQ(c.Pop3Port, 995);
    EXPECT_EQ(c.SmtpPort, 587);
    EXPECT_EQ(c.NntpPort, 563);
    EXPECT_EQ(c.MailFallback, "fallbox");
    EXPECT_EQ(c.NewsFallback, "newsfall");
    EXPECT_EQ(c.AddServers, "box2 box3");
}

TEST_F(BfgConfigTest, XP2Box) {
    const TKestroConfig c = Parse(Golden("xp2.bfg"));
    EXPECT_EQ(PointProgramType, ptXP2);
    // "AskForDisconnect=Yes" reads as false: "Yes" is not one of the true spellings.
    EXPECT_EQ(c.CfgText(), Golden("xp2.expected.cfg"));
    EXPECT_EQ(c.AddServers, "xp2b xp2c");

    // A later OpenXP box switches the type; nothing switches it back to our own.
    Parse("client-spool=x\n");
    EXPECT_EQ(PointProgramType, ptOpenXP);
    Parse("Pop3Server=x\n");
    EXPECT_EQ(PointProgramType, ptOpenXP);
}

TEST_F(BfgConfigTest, CrossPointBoxWithOwnKeysKeepsOurType) {
    const TKestroConfig c = Parse(Golden("crosspoint.bfg"));
    EXPECT_EQ(PointProgramType, ptKestro);
    EXPECT_EQ(c.CfgText(), Golden("crosspoint.expected.cfg"));
}

TEST_F(BfgConfigTest, SpoolRuleAppliesToEveryFileButCfg) {
    const std::string text = "PPP_UUZ_Spool=/spool/\nPop3Spool=/mail/\n";
    const TKestroConfig cfg = Parse(text, "box.cfg");
    EXPECT_EQ(cfg.GlobalSpool, "/spool/");
    EXPECT_EQ(cfg.Pop3Spool, "/mail/");
    EXPECT_EQ(cfg.SmtpSpool, "");
    // The comparison is exact: only our own lower-case extension keeps the spools apart.
    const TKestroConfig upper = Parse(text, "BOX.CFG");
    EXPECT_EQ(upper.Pop3Spool, "/spool/");
    EXPECT_EQ(upper.NntpSpool, "/spool/");
}

TEST_F(BfgConfigTest, OversizedBoxFileIsRefused) {
    WriteFile("huge.bfg", std::string((1 << 20) + 1, 'x'));
    TKestroConfig c;
    EXPECT_THROW(c.ReadFile("huge.bfg"), EReadError);
}

// ---- Load ------------------------------------------------------------------------------------

class BoxLoadTest : public BfgConfigTest {
  protected:
    // box.cfg and box.bfg in dir, each naming its own POP3 server, and one key only it holds.
    void WriteBoth(const std::string& dir) {
        WriteFile(dir + "box.cfg", "Pop3Server=from-cfg\r\nSmtpServer=cfg-only\r\n");
        WriteFile(dir + "box.bfg",
                  "client-mailinserver=from-bfg\r\nclient-newsserver=bfg-only\r\n");
    }
    // Load fails and names the file it tried last.
    static void ExpectLoadFails(TKestroConfig& c, const std::string& name,
                                const std::string& tried) {
        EXPECT_EQ(ErrorOf<EConfigError>([&] { c.Load(name, true); }),
                  "Fehler: Konnte Konfiguration " + tried + " nicht lesen");
    }
};

// Without option the .bfg is read last and wins; the cfg option reads the .cfg last; the
// cfg-only option skips the .bfg.
TEST_F(BoxLoadTest, OptionsDecideWhichFilesAreReadAndWhichWins) {
    WriteBoth(ProgramDir());
    const struct {
        bool Cfg, CfgOnly;
        const char *Pop3, *Nntp;
    } cases[] = {
        {false, false, "from-bfg", "bfg-only"},
        {true, false, "from-cfg", "bfg-only"},
        {false, true, "from-cfg", ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "cfg " << k.Cfg << " cfg-only " << k.CfgOnly);
        OptCfg = k.Cfg;
        OptCfgOnly = k.CfgOnly;
        TKestroConfig c;
        c.Load("box", true);
        EXPECT_EQ(c.Pop3Server, k.Pop3);
        EXPECT_EQ(c.SmtpServer, "cfg-only");
        EXPECT_EQ(c.NntpServer, k.Nntp);
        EXPECT_EQ(c.FileName, "box.cfg");
    }
    // Without the flag only the .cfg is read.
    OptCfg = OptCfgOnly = false;
    TKestroConfig c;
    c.Load("box.bfg", false);
    EXPECT_EQ(c.Pop3Server, "from-cfg");
    EXPECT_EQ(c.NntpServer, "");
    // With the cfg-only option and no .cfg there is no box.
    OptCfgOnly = true;
    DeleteFile("box.cfg");
    ExpectLoadFails(c, "box", "box");
}

TEST_F(BoxLoadTest, CfgOptionNeedsTheCfgAndNamesTheFileTriedLast) {
    WriteFile(ProgramDir() + "box.bfg", "client-mailinserver=from-bfg\r\n");
    OptCfg = true;
    TKestroConfig c;
    ExpectLoadFails(c, ProgramDir() + "box", ProgramDir() + "box.bfg");
    OptCfg = false;
    c.Load(ProgramDir() + "box", true);
    EXPECT_EQ(c.Pop3Server, "from-bfg");
}

TEST_F(BoxLoadTest, FilesAreFoundInTheParentOfTheProgramDirectory) {
    WriteBoth(PointDir());
    TKestroConfig c;
    c.Load("box", true);
    EXPECT_EQ(c.Pop3Server, "from-bfg");
    EXPECT_EQ(c.SmtpServer, "cfg-only");
    EXPECT_EQ(c.FileName, PointDir() + "box.cfg");

    OptCfg = true;
    c.Load("box", true);
    EXPECT_EQ(c.Pop3Server, "from-cfg");
}

TEST_F(BoxLoadTest, MissingBoxKeepsTheFallbackNameForSaving) {
    TKestroConfig c;
    ExpectLoadFails(c, "nobox", PointDir() + "nobox.bfg");
    EXPECT_EQ(c.FileName, PointDir() + "nobox.cfg");
    EXPECT_TRUE(Messages.empty());
}

TEST_F(BoxLoadTest, WindowsNamesAreFoundInAnyCase) {
    std::filesystem::create_directories(ProgramDir() + "Boxes");
    WriteFile(ProgramDir() + "Boxes/MyBox.BFG", "client-mailinserver=found\r\n");
    TKestroConfig c;
    c.Load("BOXES\\mybox", true);
    EXPECT_EQ(c.Pop3Server, "found");
}

TEST_F(BoxLoadTest, FailingFileIsReportedAndAnEarlierFileStillCounts) {
    WriteFile("box.cfg", "SmtpServer=cfg\r\n");
    WriteFile("box.bfg",
              "client-mailinserver=before\r\nclient-newsmax=-1\r\nclient-newsserver=after\r\n");
    TKestroConfig c;
    c.Load("box", true);
    EXPECT_EQ(c.SmtpServer, "cfg");
    EXPECT_EQ(c.Pop3Server, "before");
    EXPECT_EQ(c.NntpServer, "");
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].rfind("Fehler beim Lesen der Konfiguration: ", 0), 0u) << Messages[0];

    // The same file alone loads nothing.
    DeleteFile("box.cfg");
    EXPECT_THROW(c.Load("box", true), EConfigError);
    EXPECT_EQ(Messages.size(), 2u);
}

// An empty or binary file, or one of another program, is no box: its name is reported, the run
// learns of it through the exit code, and the box is not loaded from it.
TEST_F(BoxLoadTest, FileWithoutAnyBoxSettingIsAnError) {
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"binary", std::string("\x7F"
                               "ELF\x02\x01\x01\0\0\0\xFF\xFE=\x01\n\x90\x90",
                               17)},
        {"foreign", "[Settings]\r\nColor=blue\r\n# Pop3Server=commented out\r\n"},
        {"comments", "# XP2-Boxen Konfiguration (ppp.bfg)\r\n"},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        Messages.clear();
        SetRunExitCode(0);
        WriteFile(ProgramDir() + name + ".bfg", bytes);
        TKestroConfig c;
        EXPECT_THROW(c.Load(ProgramDir() + name, true), EConfigError);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_NE(
            Messages[0].find(ProgramDir() + name + ".bfg enth\xC3\xA4lt keine Box-Einstellungen"),
            std::string::npos)
            << Messages[0];
        EXPECT_EQ(RunExitCode(), 1);
    }
    SetRunExitCode(0);
}

// A NUL inside a value would cut it where nobody sees: the setting is refused and named, the
// other settings of the file stay.
TEST_F(BfgConfigTest, SettingWithANulByteIsRefused) {
    SetRunExitCode(0);
    const TKestroConfig c =
        Parse(std::string("NntpServer=news.example.org\0.evil\r\n"
                          "Pop3Server=pop.example.org\r\n",
                          63));
    EXPECT_EQ(c.NntpServer, "");
    EXPECT_EQ(c.Pop3Server, "pop.example.org");
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0],
              "Fehler: Der Eintrag nntpserver in box.bfg enth\xC3\xA4lt ein NUL-Zeichen "
              "und wird nicht verwendet");
    EXPECT_EQ(RunExitCode(), 1);
    SetRunExitCode(0);
}

}  // namespace
