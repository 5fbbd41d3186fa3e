// While a run remembers directory names, lookups ignoring case must answer as the file system
// would: names that were there, files the run writes, never a deleted file, the exact name first.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"

namespace {

class NameCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro_fs_names_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = std::string(tmpl) + '/';
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    // Writes behind the file layer's back, as another program would.
    void WriteBehind(const std::string& name) { std::ofstream(dir + name) << name; }

    std::string dir;
};

}  // namespace

TEST_F(NameCacheTest, NamesPresentAndWrittenDuringTheRunAreFoundInAnyCase) {
    ASSERT_EQ(mkdir((dir + "Spool").c_str(), 0777), 0);
    WriteBehind("Spool/M1.MSG");
    WriteBehind("Spool/m2.msg");
    TDirectoryNameCache run;
    EXPECT_EQ(ResolvePath(dir + "SPOOL\\m1.msg"), dir + "Spool/M1.MSG");
    EXPECT_TRUE(FileExists(dir + "spool/M2.MSG"));
    EXPECT_FALSE(FileExists(dir + "spool/m3.msg"));

    // Files the run creates after the directory was read: through a stream, a rename, a new
    // directory, and one written under the name given before it was looked up as written.
    { TFileStream(dir + "spool/m3.tmp", fmCreate).WriteBuffer("x", 1); }
    EXPECT_EQ(ResolvePath(dir + "SPOOL/M3.TMP"), dir + "Spool/m3.tmp");
    EXPECT_TRUE(RenameNoReplace(dir + "spool/M3.TMP", dir + "Spool/m3.msg"));
    EXPECT_EQ(ResolvePath(dir + "spool/M3.MSG"), dir + "Spool/m3.msg");
    EXPECT_FALSE(FileExists(dir + "spool/m3.tmp")) << "a renamed file is gone under its old name";
    EXPECT_TRUE(ForceDirectories(dir + "spool/Out/Sub"));
    EXPECT_TRUE(DirectoryExists(dir + "SPOOL/OUT/SUB"));
    WriteBehind("Spool/Late.Msg");
    EXPECT_TRUE(FileExists(dir + "Spool/Late.Msg"));
    EXPECT_EQ(ResolvePath(dir + "spool/LATE.MSG"), dir + "Spool/Late.Msg");

    // Another spelling of the directory shares what is known about it.
    { TFileStream(dir + "Spool/./New.Msg", fmCreate).WriteBuffer("y", 1); }
    EXPECT_EQ(ResolvePath(dir + "spool/NEW.MSG"), dir + "Spool/New.Msg");
    char* cwd = getcwd(nullptr, 0);
    ASSERT_TRUE(SetCurrentDir(dir + "spool"));
    EXPECT_EQ(ResolvePath("new.msg"), "New.Msg");
    { TFileStream("Rel.Msg", fmCreate).WriteBuffer("z", 1); }
    EXPECT_EQ(ResolvePath(dir + "Spool/rel.msg"), dir + "Spool/Rel.Msg");
    ASSERT_TRUE(SetCurrentDir(dir));
    EXPECT_EQ(ResolvePath("SPOOL/REL.MSG"), "Spool/Rel.Msg") << "the old directory is forgotten";
    ASSERT_EQ(chdir(cwd), 0);
    free(cwd);
}

TEST_F(NameCacheTest, RemembersNoDeletedFileAndKeepsTheExactNameFirst) {
    WriteBehind("B.txt");
    WriteBehind("b.TXT");
    WriteBehind("gone.dat");
    TDirectoryNameCache run;
    EXPECT_EQ(ResolvePath(dir + "B.TXT"), dir + "B.txt") << "the first in byte order";
    EXPECT_EQ(ResolvePath(dir + "b.TXT"), dir + "b.TXT") << "an exact name wins";
    EXPECT_TRUE(FileExists(dir + "GONE.DAT"));
    ASSERT_TRUE(DeleteFile(dir + "Gone.Dat"));
    EXPECT_FALSE(FileExists(dir + "GONE.DAT"));
    EXPECT_EQ(ResolvePath(dir + "GONE.DAT"), dir + "GONE.DAT") << "a new file takes the name given";
    ASSERT_TRUE(DeleteFile(dir + "B.txt"));
    EXPECT_EQ(ResolvePath(dir + "B.TXT"), dir + "b.TXT") << "the next spelling that is there";

    // A name handed out but not yet created, then created by another spelling's caller.
    EXPECT_FALSE(FileExists(dir + "Pending.Msg"));
    EXPECT_FALSE(FileExists(dir + "PENDING.MSG"));
    WriteBehind("Pending.Msg");
    EXPECT_EQ(ResolvePath(dir + "pending.msg"), dir + "Pending.Msg");
}

TEST_F(NameCacheTest, NamesAreForgottenWhenTheOutermostRunEnds) {
    {
        TDirectoryNameCache run;
        {
            TDirectoryNameCache inner;
            EXPECT_FALSE(FileExists(dir + "x.msg"));
        }
        // Still remembered: another program's file is found under its own name only.
        WriteBehind("X.Msg");
        EXPECT_EQ(ResolvePath(dir + "x.msg"), dir + "x.msg");
        EXPECT_TRUE(FileExists(dir + "X.Msg"));
    }
    WriteBehind("Other.Msg");
    EXPECT_TRUE(FileExists(dir + "OTHER.MSG")) << "no stale names outside a run";
    EXPECT_EQ(ResolvePath(dir + "x.msg"), dir + "X.Msg");
}
