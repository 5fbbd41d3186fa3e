// What the set-up wizard writes for a box of the point program, compared with golden files.
#include "app/ui/WizardConfig.h"

#include "app/engine/bfgconfig.h"
#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"
#include "tests/app/ui/UiGolden.h"

namespace {

class WizardConfigTest : public EngineTest {
  protected:
    // Copies a box file of golden/wizard/ into the point program's directory.
    std::string PutBox(const std::string& Name) {
        WriteFile(PointDir() + Name, UiGolden::Read("wizard/" + Name));
        return PointDir() + Name;
    }
    std::string Input(const std::string& Name) { return ReadFile(PointDir() + Name); }
    // A file the wizard wrote, with the test's directory written as <D>/.
    std::string Output(const std::string& Name) {
        return UiGolden::Replaced(Input(Name), PointDir(), "<D>/");
    }
    // The user's entries for an address; the servers typed serve the "other" provider only.
    TWizardInput Entered(const std::string& EMail) {
        TWizardInput In;
        In.PointDir = PointDir();
        In.EMail = EMail;
        In.Password = "geheim";
        In.Provider = DetectProvider(EMail);
        In.Pop3Server = "pop.beispiel.org";
        In.Pop3User = "hmeier";
        In.SmtpServer = "smtp.beispiel.org";
        return In;
    }
    TWizardInput Known() { return Entered("Hans.Meier@mailhafen.de"); }
    TWizardInput Other() { return Entered("h_meier@beispiel.org"); }
};

TEST_F(WizardConfigTest, ProvidersAreFoundByTheExactDomainInAnyCase) {
    EXPECT_EQ(DetectProvider("a@mailhafen.de"), 0);
    EXPECT_EQ(DetectProvider("a@PostWerk.DE"), 1);
    EXPECT_EQ(DetectProvider("a@netzkiosk.de"), 2);
    EXPECT_EQ(DetectProvider("a@mail.mailhafen.de"), OtherProvider);
    EXPECT_EQ(DetectProvider("mailhafen.de"), OtherProvider);
    EXPECT_EQ(DetectProvider("a@b@mailhafen.de"), OtherProvider);
}

TEST_F(WizardConfigTest, ShortNameKeepsTheLastEightLettersDigitsAndUnderscores) {
    const std::pair<const char*, const char*> Cases[] = {
        {"meier1234567@abcdef", "67abcdef"},  // 12 + 6 kept: the last 8
        {"h_m@x.de", "h_mxde"},
        {"a-b.c@d", "abcd"},
        {"", ""},
        {"\xc3\x9c@\xc3\xb6.de", "de"},
    };
    for (const auto& [Address, Short] : Cases)
        EXPECT_EQ(WizardShortName(Address), Short) << Address;
}

TEST_F(WizardConfigTest, OffersOnlyRfcBoxes) {
    for (const char* Name :
         {"openxp.bfg", "xp2.bfg", "fido.bfg", "imap.bfg", "lower.bfg", "path.bfg"})
        PutBox(Name);
    std::string Listed;
    for (const TWizardBox& Box : ListWizardBoxes(PointDir()))
        Listed += Box.Name + " " + Box.FileName.substr(PointDir().size()) + "\n";
    // xp2.bfg is a PPP box without any of the three keys: the point program's XP2 boxes that the
    // wizard can prepare carry "client-path" or "imap" once they were set up for RFC.
    EXPECT_EQ(Listed, "IMAPBOX imap.bfg\nRFCBOX openxp.bfg\nPATHBOX path.bfg\n");
}

struct TWizardCase {
    const char* Box;
    bool KnownProvider;
    const char* Golden;  // golden/wizard/<Golden>.bfg and .cfg
};

TEST_F(WizardConfigTest, WritesTheBoxAndItsConfigurationAsTheGoldenFiles) {
    const TWizardCase Cases[] = {
        {"openxp.bfg", true, "openxp-known"},
        {"openxp.bfg", false, "openxp-other"},
        {"xp2.bfg", true, "xp2-known"},
        {"xp2.bfg", false, "xp2-other"},
    };
    for (const TWizardCase& Case : Cases) {
        SCOPED_TRACE(Case.Golden);
        std::filesystem::remove_all(Root / "xp");
        std::filesystem::create_directories(Root / "xp" / "kestro");
        const std::string Box = PutBox(Case.Box);
        const bool Client = std::string(Case.Box) == "openxp.bfg";
        const std::string Cfg = WriteConfiguration(Case.KnownProvider ? Known() : Other(), Box);

        const std::string Stem = std::string(Case.Box).substr(0, std::string(Case.Box).find('.'));
        EXPECT_EQ(Cfg, PointDir() + (Client ? "Kestro/" : "") + Stem + ".cfg");
        EXPECT_EQ(Input(Stem + ".bak"), UiGolden::Read("wizard/" + std::string(Case.Box)));
        UiGolden::Expect("wizard/" + std::string(Case.Golden) + ".bfg", Output(Case.Box));
        UiGolden::Expect("wizard/" + std::string(Case.Golden) + ".cfg",
                         UiGolden::Replaced(ReadFile(ResolvePath(Cfg)), PointDir(), "<D>/"));
        // The spool directory exists; only the short name in it is upper case.
        EXPECT_TRUE(std::filesystem::is_directory(PointDir() +
                                                  (Case.KnownProvider ? "LHAFENDE" : "SPIELORG")));
        EXPECT_TRUE(FileExists(Cfg));
    }
}

TEST_F(WizardConfigTest, ASecondRunKeepsOneBackupOfEachFileFromBeforeIt) {
    for (const char* Name : {"openxp.bfg", "xp2.bfg"}) {
        SCOPED_TRACE(Name);
        const std::string Box = PutBox(Name);
        const std::string Cfg = WriteConfiguration(Known(), Box);
        const std::string FirstBox = ReadFile(Box);
        const std::string FirstCfg = ReadFile(ResolvePath(Cfg));
        TWizardInput Again = Other();
        WriteConfiguration(Again, Box);

        const std::string Stem = std::string(Name).substr(0, std::string(Name).find('.'));
        EXPECT_EQ(ReadFile(PointDir() + Stem + ".bak"), FirstBox);
        // A PPP box's configuration lies beside the box file: its backup must not take the box
        // file's backup name.
        const std::string CfgBackup = Stem == "xp2" ? Cfg + ".bak" : ChangeFileExt(Cfg, ".bak");
        EXPECT_EQ(ReadFile(ResolvePath(CfgBackup)), FirstCfg);
        EXPECT_NE(ReadFile(ResolvePath(Cfg)), FirstCfg);
        std::vector<std::string> Backups = FindFiles(PointDir(), "*.bak");
        for (const std::string& B : FindFiles(ExtractFilePath(Cfg), "*.bak"))
            if (ExtractFilePath(Cfg) != PointDir()) Backups.push_back(B);
        EXPECT_EQ(Backups.size(), 2u);
        for (const std::string& B : Backups) DeleteFile(PointDir() + B);
        for (const std::string& B : Backups) DeleteFile(ExtractFilePath(Cfg) + B);
    }
}

TEST_F(WizardConfigTest, AClientBoxWithItsOwnSpoolKeepsIt) {
    WriteFile(PointDir() + "own.bfg", "Client-Mode=J\r\nCLIENT-SPOOL=/var/spool/xp/\r\n");
    WriteConfiguration(Known(), PointDir() + "own.bfg");
    const std::string Box = ReadFile(PointDir() + "own.bfg");
    EXPECT_NE(Box.find("CLIENT-SPOOL=/var/spool/xp/\r\n"), std::string::npos);
    EXPECT_EQ(Box.find("Client-Spool"), std::string::npos);
    EXPECT_FALSE(DirectoryExists(PointDir() + "LHAFENDE"));
}

TEST_F(WizardConfigTest, LineBreaksInTypedTextsNeverAddLines) {
    TWizardInput In = Other();
    In.Password = "geh\r\neim";
    In.Pop3User = "h\nmeier";
    In.SmtpServer = "smtp.beispiel.org\r\nClient-Exec=rm";
    const std::string Box = PutBox("openxp.bfg");
    const std::string Cfg = WriteConfiguration(In, Box);
    const std::string Written = ReadFile(Box);
    EXPECT_NE(Written.find("Client-MailInPassword=geheim\r\n"), std::string::npos);
    EXPECT_NE(Written.find("Client-MailInUser=hmeier\r\n"), std::string::npos);
    EXPECT_NE(Written.find("Client-MailOutServer=smtp.beispiel.orgClient-Exec=rm\r\n"),
              std::string::npos);
    EXPECT_NE(ReadFile(ResolvePath(Cfg)).find("Pop3Pass=geheim\r\n"), std::string::npos);
}

TEST_F(WizardConfigTest, AnUnreadableBoxChangesNothing) {
    EXPECT_THROW(WriteConfiguration(Known(), PointDir() + "missing.bfg"), Exception);
    EXPECT_TRUE(FindFiles(PointDir(), "*.*").empty());
    EXPECT_FALSE(DirectoryExists(PointDir() + "LHAFENDE"));
}

}  // namespace
