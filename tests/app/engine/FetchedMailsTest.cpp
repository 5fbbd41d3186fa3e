// The list of mails stored whole on its own: what a line must hold, how a line whose spool file
// was never named is settled, and how the list is written.
#include <gtest/gtest.h>

#include <string>

#include "app/engine/FetchedMails.h"
#include "app/engine/Limits.h"
#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"

namespace {

using FetchedMails = EngineTest;

TEST_F(FetchedMails, OnlyIdsThatStandOnALineAreListed) {
    const std::string spool = ProgramDir();
    const std::string temp = TFetchedMails::TempSpoolName(spool, "m7.msg");
    EXPECT_EQ(temp, spool + "m7.tmp");
    TFetchedMails list;
    EXPECT_TRUE(list.Add("whqtswO00WBw418f9t5JxYwZ", temp));
    EXPECT_FALSE(list.Add("with blank", temp));
    EXPECT_FALSE(list.Add("a\tb", temp));
    EXPECT_FALSE(list.Add("", temp));
    EXPECT_FALSE(list.Add(std::string(KestroLimits::kMaxPartialMailIdLength + 1, 'x'), temp));
    EXPECT_TRUE(list.Stored("whqtswO00WBw418f9t5JxYwZ"));
    EXPECT_FALSE(list.Stored("with blank"));
    EXPECT_EQ(TFetchedMails::FileNameFor("C:\\XP\\box.cfg"), "C:\\XP\\box.got");
}

TEST_F(FetchedMails, ReadsWhatItWroteAndSettlesWhatWasNeverNamed) {
    const std::string spool = ProgramDir() + "spool/";
    std::filesystem::create_directories(spool);
    const std::string file = ProgramDir() + "box.got";
    TFetchedMails list;
    list.Add("a", spool + "m1.tmp");
    list.Add("b", spool + "m2.tmp");
    list.Add("c", spool + "m3.tmp");
    list.Remove("c");
    list.Save(file);
    EXPECT_EQ(ReadFile(file), "a " + spool + "m1.tmp\r\nb " + spool + "m2.tmp\r\n");
    EXPECT_FALSE(FileExists(file + ".tmp"));

    WriteFile(spool + "m2.tmp", "never named");
    TFetchedMails again;
    again.Load(file, spool);
    EXPECT_TRUE(again.Stored("a"));
    EXPECT_FALSE(again.Stored("b"));
    EXPECT_FALSE(FileExists(spool + "m2.tmp"));
    EXPECT_EQ(again.Dropped(), 1);
    EXPECT_TRUE(again.Modified());

    again.Retain({"b", "c"});
    EXPECT_FALSE(again.Stored("a"));
    EXPECT_TRUE(again.Empty());
    again.Save(file);
    EXPECT_FALSE(FileExists(file));
}

// A line named twice (a damaged list) is settled as the first one: a spool file never named is
// removed whichever line names it, and a mail whose file was never named is not taken as stored
// by a second line of the same file.
TEST_F(FetchedMails, ALineNamedTwiceIsSettledLikeTheFirst) {
    const std::string spool = ProgramDir() + "spool/";
    std::filesystem::create_directories(spool);
    const std::string file = ProgramDir() + "box.got";
    WriteFile(file, "a " + spool + "m1.tmp\r\na " + spool + "m2.tmp\r\nb " + spool +
                        "m3.tmp\r\nb " + spool + "m3.tmp\r\n" + std::string("\x04") + "c " + spool +
                        "m4.tmp\r\n");
    WriteFile(spool + "m2.tmp", "never named");
    WriteFile(spool + "m3.tmp", "never named");
    WriteFile(spool + "m4.tmp", "never named");
    TFetchedMails list;
    list.Load(file, spool);
    EXPECT_TRUE(list.Stored("a"));
    EXPECT_FALSE(FileExists(spool + "m2.tmp"));
    EXPECT_FALSE(list.Stored("b"));
    EXPECT_FALSE(FileExists(spool + "m3.tmp"));
    // A damaged id does not keep its spool file either.
    EXPECT_FALSE(FileExists(spool + "m4.tmp"));
    EXPECT_EQ(list.Dropped(), 4);
}

TEST_F(FetchedMails, AFileLargerThanAnyListIsRefusedAndWrittenAnew) {
    const std::string file = ProgramDir() + "box.got";
    WriteFile(file, std::string(size_t(KestroLimits::kMaxFetchedMailFileSize) + 1, 'x'));
    TFetchedMails list;
    EXPECT_THROW(list.Load(file, ProgramDir()), EReadError);
    EXPECT_TRUE(list.Empty());
    EXPECT_TRUE(list.Modified());
}

}  // namespace
