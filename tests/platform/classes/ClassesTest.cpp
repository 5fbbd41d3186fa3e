#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/classes/Classes.h"

namespace {

std::string TempDir() {
    char tmpl[] = "/tmp/kestro-classes-XXXXXX";
    return std::string(mkdtemp(tmpl)) + "/";
}

TEST(MemoryStream, WritesReadsSeeksAndGrows) {
    TMemoryStream m;
    m.WriteString("hello");
    EXPECT_EQ(m.Size(), 5);
    m.Seek(10, soBeginning);
    m.WriteString("x");  // writing past the end fills the gap with zeros
    EXPECT_EQ(m.Size(), 11);
    EXPECT_EQ(m.Memory()[7], '\0');
    m.SetPosition(1);
    char buf[4] = {};
    EXPECT_EQ(m.Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "ell");
    m.SetPosition(11);
    EXPECT_EQ(m.Read(buf, 3), 0);
    EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);
}

TEST(FileStream, CreateOpenAndMissingFile) {
    std::string dir = TempDir();
    {
        TFileStream f(dir + "a.bin", fmCreate);
        f.WriteString(std::string("a\0b", 3));
    }
    TFileStream f(dir + "a.bin", fmOpenRead);
    EXPECT_EQ(f.Size(), 3);
    TStringStream copy;
    copy.CopyFrom(f, 0);
    EXPECT_EQ(copy.DataString(), std::string("a\0b", 3));
    EXPECT_THROW(TFileStream(dir + "missing", fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir, fmOpenRead), EFOpenError);  // a directory is no file
    std::filesystem::remove_all(dir);
}

TEST(StringList, TextSplitsEveryLineEndAndWritesCrLf) {
    TStringList l;
    l.SetText("a\r\nb\nc\rd");
    ASSERT_EQ(l.Count(), 4);
    EXPECT_EQ(l[3], "d");
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\nd\r\n");
    l.SetText("x\r\n\r\n");
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l[1], "");
    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
}

TEST(StringList, SortedAddFindAndDuplicates) {
    TStringList l;
    l.SetSorted(true);
    l.Add("de.comp");
    l.Add("alt.test");
    l.Add("DE.COMP");  // ignored: comparison ignores case by default
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l[0], "alt.test");
    int index = -1;
    EXPECT_TRUE(l.Find("De.Comp", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(l.Find("b", index));
    EXPECT_EQ(index, 1);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.Add("alt.test"), EStringListError);
    EXPECT_THROW(l.Insert(0, "z"), EStringListError);
    EXPECT_THROW(l.Delete(5), EStringListError);
}

TEST(StringList, NameValueLines) {
    TStringList l;
    l.Add("Server=news.example.org");
    l.Add("port=119");
    EXPECT_EQ(l.Values("PORT"), "119");
    EXPECT_EQ(l.Names(0), "Server");
    l.SetValue("port", "563");
    EXPECT_EQ(l[1], "port=563");
    l.SetValue("user", "joe");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Values("missing"), "");
}

TEST(StringList, FileRoundTripKeepsBytes) {
    std::string dir = TempDir();
    TStringList l;
    l.Add("\xE4\xF6\xFC");
    l.Add("");
    l.Add("last");
    l.SaveToFile(dir + "l.txt");
    TStringList r;
    r.LoadFromFile(dir + "l.txt");
    EXPECT_EQ(r.Text(), l.Text());
    EXPECT_EQ(l.CommaText(), "\xE4\xF6\xFC,\"\",last");
    std::filesystem::remove_all(dir);
}

}  // namespace
