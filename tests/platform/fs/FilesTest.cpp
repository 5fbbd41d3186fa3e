#include "platform/fs/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro_fs_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        dir += '/';
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    void Write(const std::string& name, const std::string& content = "x") {
        std::ofstream(dir + name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void MakeDir(const std::string& name) { ASSERT_EQ(mkdir((dir + name).c_str(), 0777), 0); }

    std::string dir;
};

TEST_F(FilesTest, ResolvesCaseAndBackslashesComponentByComponent) {
    MakeDir("Spool");
    MakeDir("Spool/news");
    Write("Spool/news/box.bfg");
    EXPECT_EQ(ResolvePath(dir + "SPOOL\\NEWS\\BOX.BFG"), dir + "Spool/news/box.bfg");
    EXPECT_EQ(ResolvePath(dir + "spool/News/Box.Bfg"), dir + "Spool/news/box.bfg");
    EXPECT_TRUE(FileExists(dir + "SPOOL\\NEWS\\BOX.BFG"));
    // A trailing separator and dot components survive.
    EXPECT_EQ(ResolvePath(dir + "SPOOL\\NEWS\\"), dir + "Spool/news/");
    EXPECT_EQ(ResolvePath(dir + "spool/./NEWS/box.BFG"), dir + "Spool/./news/box.bfg");
}

TEST_F(FilesTest, MissingTailKeepsNameAsWrittenInsideExistingDirectories) {
    MakeDir("Spool");
    // A new file lands in the existing directory under the name given.
    EXPECT_EQ(ResolvePath(dir + "SPOOL\\M1.TMP"), dir + "Spool/M1.TMP");
    EXPECT_EQ(ResolvePath(dir + "spool/New/Deeper/x.msg"), dir + "Spool/New/Deeper/x.msg");
    EXPECT_EQ(ResolvePath("C:\\XP\\KESTRO\\"), "C:/XP/KESTRO/");
    EXPECT_EQ(ResolvePath(""), "");
    EXPECT_FALSE(FileExists(dir + "nothing.here"));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FilesTest, ExactNamePreferredOverCaseVariants) {
    Write("Box.bfg", "mixed");
    Write("box.bfg", "lower");
    Write("BOX.BFG", "upper");
    EXPECT_EQ(ResolvePath(dir + "Box.bfg"), dir + "Box.bfg");
    EXPECT_EQ(ResolvePath(dir + "BOX.BFG"), dir + "BOX.BFG");
    // No exact match: the first in byte order is taken, so the choice is stable.
    EXPECT_EQ(ResolvePath(dir + "bOx.bfg"), dir + "BOX.BFG");
}

TEST_F(FilesTest, FileAndDirectoryExistenceAreDistinct) {
    MakeDir("Sub");
    Write("file.txt");
    EXPECT_FALSE(FileExists(dir + "SUB"));
    EXPECT_TRUE(DirectoryExists(dir + "SUB"));
    EXPECT_TRUE(FileExists(dir + "FILE.TXT"));
    EXPECT_FALSE(DirectoryExists(dir + "FILE.TXT"));
    EXPECT_EQ(FileSizeOf(dir + "File.Txt"), 1);
    EXPECT_EQ(FileSizeOf(dir + "none"), -1);
    EXPECT_FALSE(DeleteFile(dir + "sub"));
    EXPECT_TRUE(DeleteFile(dir + "FILE.txt"));
    EXPECT_FALSE(FileExists(dir + "file.txt"));
    EXPECT_FALSE(DeleteFile(dir + "file.txt"));
}

TEST_F(FilesTest, WildcardSearchIsCaseInsensitiveSortedAndFilesOnly) {
    for (const char* name :
         {"m2.out", "M10.OUT", "M1.OUT", "n1.out", "m1.outx", "Ma.out", "mb.Out"})
        Write(name);
    MakeDir("M3.OUT");  // a directory never counts
    std::vector<std::string> expected = {"M1.OUT", "M10.OUT", "m2.out", "Ma.out", "mb.Out"};
    EXPECT_EQ(FindFiles(dir, "M*.OUT"), expected);
    EXPECT_EQ(FindFiles(dir + "\\", "m*.out"), expected);
    EXPECT_EQ(FindFiles(dir, "M?.OUT"),
              (std::vector<std::string>{"M1.OUT", "m2.out", "Ma.out", "mb.Out"}));
    EXPECT_EQ(FindFiles(dir, "*.*").size(), 7u);
    EXPECT_TRUE(FindFiles(dir + "missing", "*").empty());

    TSearchRec rec;
    std::vector<std::string> seen;
    for (int rc = FindFirst(dir + "M*.OUT", faAnyFile, rec); rc == 0; rc = FindNext(rec))
        seen.push_back(rec.Name);
    FindClose(rec);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(FindFirst(dir + "*.none", faAnyFile, rec), 2);
}

TEST(MatchesMask, Patterns) {
    EXPECT_TRUE(MatchesMask("box.BFG", "*.bfg"));
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.c"));
    EXPECT_TRUE(MatchesMask("M1.OUT", "m?.out"));
    EXPECT_FALSE(MatchesMask("M12.OUT", "m?.out"));
    EXPECT_FALSE(MatchesMask("box.bfgx", "*.bfg"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask("", "?"));
    // Many stars against a long name must not take exponential time.
    EXPECT_FALSE(MatchesMask(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*a*b"));
}

TEST_F(FilesTest, RenameNeverReplaces) {
    Write("m1.tmp", "new");
    Write("M1.MSG", "old");
    errno = 0;
    EXPECT_FALSE(RenameNoReplace(dir + "m1.tmp", dir + "m1.msg"));  // exists under another case
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(RenameNoReplace(dir + "m1.tmp", dir + "M1.MSG"));
    EXPECT_EQ(Read("M1.MSG"), "old");
    EXPECT_EQ(Read("m1.tmp"), "new");

    EXPECT_TRUE(RenameNoReplace(dir + "M1.TMP", dir + "m2.msg"));
    EXPECT_EQ(Read("m2.msg"), "new");
    EXPECT_FALSE(FileExists(dir + "m1.tmp"));
    EXPECT_FALSE(RenameFile(dir + "m1.tmp", dir + "m3.msg"));
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileNames, ExtractAndChange) {
    EXPECT_EQ(ExtractFilePath("C:\\XP\\box.bfg"), "C:\\XP\\");
    EXPECT_EQ(ExtractFilePath("C:box.bfg"), "C:");
    EXPECT_EQ(ExtractFilePath("dir/sub\\box"), "dir/sub\\");
    EXPECT_EQ(ExtractFilePath("box.bfg"), "");
    EXPECT_EQ(ExtractFileDir("C:\\XP\\box.bfg"), "C:\\XP");
    EXPECT_EQ(ExtractFileDir("C:\\box.bfg"), "C:\\");
    EXPECT_EQ(ExtractFileDir("/box.bfg"), "/");
    EXPECT_EQ(ExtractFileName("C:\\XP\\box.bfg"), "box.bfg");
    EXPECT_EQ(ExtractFileName("a/b/"), "");
    EXPECT_EQ(ExtractFileExt("a.b\\c"), "");
    EXPECT_EQ(ExtractFileExt("x.tar.GZ"), ".GZ");
    EXPECT_EQ(ExtractFileExt("name."), ".");

    EXPECT_EQ(ChangeFileExt("C:\\XP\\box.bfg", ".cfg"), "C:\\XP\\box.cfg");
    EXPECT_EQ(ChangeFileExt("box", ".cfg"), "box.cfg");
    EXPECT_EQ(ChangeFileExt("dir.d/box", ".cfg"), "dir.d/box.cfg");
    EXPECT_EQ(ChangeFileExt("m1.msg", ".tmp"), "m1.tmp");
    EXPECT_EQ(ChangeFileExt("a.b.c", ""), "a.b");
    EXPECT_EQ(ChangeFileExt("", ".rc"), ".rc");

    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\XP"), "C:\\XP/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\XP\\"), "C:\\XP\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("a/b/"), "a/b");
}

TEST_F(FilesTest, DirectoriesAndWorkingDirectory) {
    MakeDir("Data");
    EXPECT_TRUE(ForceDirectories(dir + "DATA\\one\\two\\"));
    EXPECT_TRUE(DirectoryExists(dir + "Data/one/two"));
    EXPECT_FALSE(DirectoryExists(dir + "data2"));
    EXPECT_TRUE(ForceDirectories(dir + "data/ONE"));  // exists: still true
    Write("plain");
    EXPECT_FALSE(ForceDirectories(dir + "plain/sub"));

    std::string before = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(dir + "DATA\\ONE"));
    EXPECT_EQ(ExpandFileName("two\\..\\x.txt"), dir + "Data/one/x.txt");
    EXPECT_EQ(ExpandFileName("../../Data/./"), dir + "Data/");
    EXPECT_TRUE(DirectoryExists("TWO"));
    ASSERT_TRUE(SetCurrentDir(before));
    EXPECT_FALSE(SetCurrentDir(dir + "nope"));
    EXPECT_EQ(ExpandFileName("/a/../../b"), "/b");
}

}  // namespace
