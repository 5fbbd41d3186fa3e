// A missing name is looked up ignoring case either by asking for each of its case variants (few
// letters) or by reading the directory (many letters). Both must give the same answer, and a
// large directory must change nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/fs/Files.h"
#include "platform/fs/Limits.h"

namespace {

class CaseLookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro_fs_lookup_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = std::string(tmpl) + '/';
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    void Write(const std::string& name) { std::ofstream(dir + name) << name; }

    std::string dir;
};

}  // namespace

TEST_F(CaseLookupTest, ShortAndLongNamesResolveAlike) {
    static_assert(FsLimits::kMaxProbedLetters == 6, "the names below sit on either side");
    // Six letters (looked up by variants) and seven (by reading the directory), each present in
    // two cases: the first in byte order wins, and digits and dots must match exactly.
    for (const char* name : {"ab12cd.ef", "aB12Cd.eF", "ab12cd.efg", "Ab12cD.EFg", "x1.y"})
        Write(name);
    EXPECT_EQ(ResolvePath(dir + "AB12CD.EF"), dir + "aB12Cd.eF");
    EXPECT_EQ(ResolvePath(dir + "AB12CD.EFG"), dir + "Ab12cD.EFg");
    EXPECT_EQ(ResolvePath(dir + "ab12cd.ef"), dir + "ab12cd.ef") << "an exact name wins";
    EXPECT_EQ(ResolvePath(dir + "X2.Y"), dir + "X2.Y") << "digits are not folded";
    EXPECT_EQ(ResolvePath(dir + "X1.Y"), dir + "x1.y");
    // Names without letters, and a missing name followed by more components.
    Write("1234");
    EXPECT_EQ(ResolvePath(dir + "1234"), dir + "1234");
    EXPECT_EQ(ResolvePath(dir + "NEW\\Sub\\x1.y"), dir + "NEW/Sub/x1.y");
    // Directories are found the same way, and a relative name in the working directory too.
    ASSERT_EQ(mkdir((dir + "Sp").c_str(), 0777), 0);
    std::ofstream(dir + "Sp/M7.MSG") << "";
    EXPECT_EQ(ResolvePath(dir + "sp/m7.msg"), dir + "Sp/M7.MSG");
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    EXPECT_EQ(ResolvePath("SP\\m7.Msg"), "Sp/M7.MSG");
    EXPECT_TRUE(FileExists("sp/m7.msg"));
    ASSERT_EQ(chdir(cwd), 0);
    free(cwd);
    EXPECT_EQ(ResolvePath(dir + std::string("x1\0.y", 5)), dir + std::string("x1\0.y", 5))
        << "a name with a NUL byte matches no entry";
}

TEST_F(CaseLookupTest, ALargeDirectoryChangesNoAnswerAndNoRenameReplaces) {
    for (int i = 0; i < 2000; ++i) Write("f" + std::to_string(i) + ".dat");
    Write("M5.MSG");
    Write("Old.Message.File");
    EXPECT_TRUE(FileExists(dir + "m5.msg"));
    EXPECT_FALSE(FileExists(dir + "m6.msg"));
    EXPECT_TRUE(FileExists(dir + "OLD.MESSAGE.FILE"));
    EXPECT_EQ(FileSizeOf(dir + "F1999.DAT"), 9);

    Write("m6.tmp");
    errno = 0;
    EXPECT_FALSE(RenameNoReplace(dir + "m6.tmp", dir + "m5.msg"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(RenameNoReplace(dir + "m6.tmp", dir + "old.message.file"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_TRUE(RenameNoReplace(dir + "M6.TMP", dir + "m6.msg"));
    EXPECT_TRUE(FileExists(dir + "m6.msg"));
    EXPECT_FALSE(FileExists(dir + "m6.tmp"));
    EXPECT_EQ(FindFiles(dir, "m*.msg"), (std::vector<std::string>{"M5.MSG", "m6.msg"}));
}
