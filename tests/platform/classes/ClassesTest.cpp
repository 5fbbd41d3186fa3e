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

namespace {

// A list that stores only what a kind of list must (as the lists of controls do): everything
// else comes from the base.
class TBareStrings : public TStrings {
  public:
    int Count() const override { return int(Lines.size()); }
    std::string Get(int Index) const override {
        CheckIndex(Index);
        return Lines[size_t(Index)];
    }
    void Insert(int Index, const std::string& Value) override {
        Lines.insert(Lines.begin() + Index, Value);
    }
    void Delete(int Index) override {
        CheckIndex(Index);
        Lines.erase(Lines.begin() + Index);
    }
    void Clear() override { Lines.clear(); }
    std::vector<std::string> Lines;
    std::vector<bool> UpdateStates;

  protected:
    void SetUpdateState(bool Updating) override { UpdateStates.push_back(Updating); }
};

}  // namespace

TEST(Strings, TheBaseBuildsEveryOperationOnWhatAListStores) {
    TBareStrings L;
    L.SetCommaText(R"(one, "two words",,"say ""hi""" three,)");
    EXPECT_EQ(L.Lines,
              (std::vector<std::string>{"one", "two words", "", "say \"hi\"", "three", ""}));
    EXPECT_EQ(L.CommaText(), R"(one,"two words","","say ""hi""",three,"")");
    // Reading a list's comma text gives the same list back.
    TStringList Back;
    Back.SetCommaText(L.CommaText());
    EXPECT_TRUE(Back.Equals(L));
    // The whole change is one update.
    EXPECT_EQ(L.UpdateStates, (std::vector<bool>{true, false}));

    L.Move(0, 2);
    EXPECT_EQ(L.Lines[2], "one");
    L.Exchange(0, 1);
    EXPECT_EQ(L.Lines[0], "");
    EXPECT_EQ(L.IndexOf("ONE"), 2);
    L.Put(2, "uno");
    EXPECT_EQ(L.Get(2), "uno");

    L.Clear();
    L.SetValue("Name", "Anna");
    L.SetValue("Host", "news");
    L.SetValue("name", "Berta");
    EXPECT_EQ(L.Text(), "name=Berta\r\nHost=news\r\n");
    EXPECT_EQ(L.Values("HOST"), "news");
    L.SetValue("Host", "");
    EXPECT_EQ(L.Count(), 1);
    EXPECT_THROW(L.Get(5), EStringListError);

    // A string list takes over another kind of list, and gives its lines to one.
    TStringList Sorted;
    Sorted.SetSorted(true);
    TBareStrings Source;
    Source.SetText("b\nA\nc");
    Sorted.Assign(Source);
    EXPECT_EQ(Sorted.Text(), "A\r\nb\r\nc\r\n");
    Source.Assign(Sorted);
    EXPECT_EQ(Source.Lines, (std::vector<std::string>{"A", "b", "c"}));
}
