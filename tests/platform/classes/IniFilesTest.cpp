// INI files: byte-exact round trips, lookups, edits in place, damaged files (read as far as they
// go, never written over), names that could not be read back, and the bar layout's use of them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/classes/IniFiles.h"
#include "platform/classes/Limits.h"
#include "tests/support/TestSupport.h"

namespace {

class IniFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-ini-XXXXXX";
        FDir = std::string(mkdtemp(Template)) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(FDir); }

    std::string Path(const std::string& Name = "test.ini") const { return FDir + Name; }
    std::string Written(const std::string& Bytes, const std::string& Name = "test.ini") const {
        WriteFile(Path(Name), Bytes);
        return Path(Name);
    }
    // The names in the directory besides the INI file (temporary files left behind).
    std::vector<std::string> Others() const {
        std::vector<std::string> Names;
        for (const auto& Entry : std::filesystem::directory_iterator(FDir))
            if (Entry.path().filename() != "test.ini") Names.push_back(Entry.path().filename());
        return Names;
    }

    std::string FDir;
};

std::vector<std::string> Lines(const TStringList& List) {
    std::vector<std::string> Result;
    for (int I = 0; I < List.Count(); ++I) Result.push_back(List[I]);
    return Result;
}

TEST_F(IniFiles, FilesReadAndWrittenUnchangedComeBackByteForByte) {
    struct Case {
        const char* Name;
        std::string Bytes;
        const char* Section;
        const char* Key;
        const char* Value;
    };
    const Case Cases[] = {
        {"CR LF", "[Main]\r\nBarCount=2\r\n\r\n[Bar0]\r\nCaption=Main Menu\r\n", "bar0", "CAPTION",
         "Main Menu"},
        {"LF", "[Main]\nBarCount=2\n", "Main", "BarCount", "2"},
        {"CR alone", "[Main]\rBarCount=2\r", "Main", "BarCount", "2"},
        {"mixed ends", "[Main]\r\nA=1\nBarCount=2\r", "Main", "BarCount", "2"},
        {"no final line end", "[Main]\r\nBarCount=2", "Main", "BarCount", "2"},
        {"comments and blanks", "; layout\r\n\r\n[Main]\r\n; count\r\n  \r\nBarCount=2\r\n", "Main",
         "BarCount", "2"},
        {"duplicate keys", "[Main]\r\nBarCount=1\r\nbarcount=2\r\n", "Main", "BarCount", "1"},
        {"duplicate sections", "[Main]\r\nA=1\r\n[Other]\r\n[MAIN]\r\nB=2\r\n", "Main", "B", "2"},
        {"empty value", "[Main]\r\nCaption=\r\n", "Main", "Caption", ""},
        {"spaces around '='", "[Main]\r\n  Caption  = Main Menu  \r\n", "Main", "Caption",
         " Main Menu  "},
        {"quotes stay", "[Main]\r\nCaption=\"Main\"\r\n", "Main", "Caption", "\"Main\""},
        {"8-bit bytes", "[\xC4nderungen]\r\nTitel=Gr\xFC\xDF\x65 \x80\r\n", "\xC4nderungen",
         "Titel", "Gr\xFC\xDF\x65 \x80"},
        {"indented header", "  [Main]  \r\nA=1\r\n", "Main", "A", "1"},
        {"value holds '='", "[Main]\r\nA=b=c\r\n", "Main", "A", "b=c"},
        {"DOS end of file", "[Main]\r\nA=1\r\n\x1A", "Main", "A", "1"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string File = Written(C.Bytes);
        TMemIniFile Mem(File);
        EXPECT_EQ(Mem.ReadString(C.Section, C.Key, "?"), C.Value);
        EXPECT_TRUE(Mem.Problems().empty());
        Mem.UpdateFile();
        EXPECT_EQ(ReadFile(File), C.Bytes);
        TIniFile Direct(File);
        EXPECT_EQ(Direct.ReadString(C.Section, C.Key, "?"), C.Value);
        Direct.UpdateFile();
        EXPECT_EQ(ReadFile(File), C.Bytes);
        // Writing the value it has changes nothing either.
        Direct.WriteString(C.Section, C.Key, C.Value);
        EXPECT_EQ(ReadFile(File), C.Bytes);
    }
    EXPECT_TRUE(Others().empty());
}

TEST_F(IniFiles, SectionsAndKeysAreListedOnceInFileOrderIgnoringCase) {
    TMemIniFile Ini(
        Written("[b]\r\nz=1\r\ny=2\r\nZ=3\r\n[a]\r\nk=v\r\n[B]\r\nx=4\r\ny=5\r\n[empty]\r\n"));
    TStringList List;
    Ini.ReadSections(List);
    EXPECT_EQ(Lines(List), (std::vector<std::string>{"b", "a", "empty"}));
    Ini.ReadSection("B", List);
    EXPECT_EQ(Lines(List), (std::vector<std::string>{"z", "y", "x"}));
    Ini.ReadSectionValues("b", List);
    EXPECT_EQ(Lines(List), (std::vector<std::string>{"z=1", "y=2", "x=4"}));
    EXPECT_TRUE(Ini.SectionExists("EMPTY"));
    EXPECT_FALSE(Ini.SectionExists("missing"));
    EXPECT_TRUE(Ini.ValueExists("A", "K"));
    EXPECT_FALSE(Ini.ValueExists("a", "z"));
    Ini.ReadSection("missing", List);
    EXPECT_EQ(List.Count(), 0);

    Ini.SetCaseSensitive(true);
    EXPECT_EQ(Ini.ReadString("B", "y", "-"), "5");
    EXPECT_EQ(Ini.ReadString("b", "Z", "-"), "3");
    EXPECT_EQ(Ini.ReadString("A", "k", "-"), "-");
}

TEST_F(IniFiles, WritesChangeTheirLineAndAddLinesInTheFilesOwnStyle) {
    // An existing value keeps its key's spelling and spacing; a new key follows the section's
    // last value (before the blank line); a new section gets a blank line before it; new lines
    // end like the file's lines; the last line gets its end when something follows it.
    const std::string File = Written("; c\n[Main]\n  Count = 1\n; end of main\n\n[Bar0]\nRow=0");
    TMemIniFile Ini(File);
    Ini.WriteInteger("MAIN", "count", 2);
    Ini.WriteString("Main", "Style", "flat");
    Ini.WriteBool("Bar0", "Visible", true);
    Ini.WriteString("Bar1", "Caption", "Tool bar");
    Ini.UpdateFile();
    EXPECT_EQ(ReadFile(File),
              "; c\n[Main]\n  Count =2\nStyle=flat\n; end of main\n\n[Bar0]\nRow=0\nVisible=1\n\n"
              "[Bar1]\nCaption=Tool bar\n");

    const std::string NewFile = Path("new.ini");
    TMemIniFile Fresh(NewFile);
    Fresh.WriteString("A", "x", " padded ");
    Fresh.WriteString("B", "y", "");
    Fresh.UpdateFile();
    EXPECT_EQ(ReadFile(NewFile), "[A]\r\nx= padded \r\n\r\n[B]\r\ny=\r\n");
    EXPECT_EQ(TMemIniFile(NewFile).ReadString("a", "X", "?"), " padded ");
}

TEST_F(IniFiles, EraseSectionAndDeleteKeyRemoveEveryOccurrence) {
    const std::string File = Written(
        "[Keep]\r\na=1\r\n[Gone]\r\nb=2\r\n; about gone\r\n\r\n[Keep]\r\nc=3\r\nA=4\r\n"
        "[gone]\r\nd=5\r\n");
    TMemIniFile Ini(File);
    Ini.EraseSection("GONE");
    Ini.DeleteKey("keep", "a");
    Ini.DeleteKey("keep", "missing");
    Ini.EraseSection("missing");
    EXPECT_FALSE(Ini.SectionExists("Gone"));
    EXPECT_FALSE(Ini.ValueExists("Keep", "a"));  // the duplicate went too
    Ini.UpdateFile();
    EXPECT_EQ(ReadFile(File), "[Keep]\r\n[Keep]\r\nc=3\r\n");
}

TEST_F(IniFiles, DamagedLinesAreKeptAndListedButSeenByNoCall) {
    struct Case {
        const char* Name;
        std::string Bytes;
        int Line;
        const char* What;
    };
    const Case Cases[] = {
        {"a line without '='", "[A]\r\nx=1\r\njunk\r\n[B]\r\ny=2\r\n", 3, "neither"},
        {"a value without a name", "[A]\r\nx=1\r\n = 5\r\n[B]\r\ny=2\r\n", 3, "without a name"},
        {"a value before the first section", "z=0\r\n[A]\r\nx=1\r\n[B]\r\ny=2\r\n", 1,
         "before the first section"},
        // The value under the broken header is not taken for one of A's.
        {"a header without ']'", "[A]\r\nx=1\r\n[C\r\nx=9\r\nw=8\r\n[B]\r\ny=2\r\n", 3,
         "without ']'"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string File = Written(C.Bytes);
        TMemIniFile Ini(File);
        ASSERT_EQ(Ini.Problems().size(), 1u);
        EXPECT_EQ(Ini.Problems()[0].Line, C.Line);
        EXPECT_NE(Ini.Problems()[0].What.find(C.What), std::string::npos) << Ini.Problems()[0].What;
        EXPECT_EQ(Ini.ReadString("A", "x", "?"), "1");
        EXPECT_EQ(Ini.ReadString("B", "y", "?"), "2");
        EXPECT_FALSE(Ini.ValueExists("A", "w"));
        TStringList Keys;
        Ini.ReadSection("A", Keys);
        EXPECT_EQ(Lines(Keys), (std::vector<std::string>{"x"}));
        // Nothing is lost by writing: the damaged lines stay as they were.
        Ini.WriteString("B", "y", "3");
        Ini.UpdateFile();
        std::string Expected = C.Bytes;
        Expected.replace(Expected.rfind("y=2"), 3, "y=3");
        EXPECT_EQ(ReadFile(File), Expected);
    }
}

TEST_F(IniFiles, FilesThatCannotBeReadWholeAreReadAsFarAsTheyGoAndNeverWrittenOver) {
    const char NulBytes[] = "[A]\r\nx=1\r\ny=a\0b\r\n[B]\r\nz=2\r\n";
    const std::string Nul(NulBytes, sizeof NulBytes - 1);
    const std::string NulFile = Written(Nul, "nul.ini");
    const std::string Dir = Path("dir.ini");
    std::filesystem::create_directory(Dir);
    const std::string Big = Path("big.ini");
    WriteFile(Big, "[A]\r\nx=1\r\n");
    std::filesystem::resize_file(Big, ClassesLimits::kMaxIniFileSize + 1);

    struct Case {
        std::string File;
        int Line;
        const char* Why;
        const char* X;
    };
    const Case Cases[] = {
        {NulFile, 3, "NUL byte", "1"},
        {Dir, 0, "Is a directory", "?"},
        {Big, 0, "larger than", "?"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.File);
        const std::string Before = std::filesystem::is_regular_file(C.File) ? ReadFile(C.File) : "";
        TMemIniFile Ini(C.File);
        EXPECT_EQ(Ini.ReadString("A", "x", "?"), C.X);
        EXPECT_FALSE(Ini.ValueExists("A", "y"));
        EXPECT_FALSE(Ini.ValueExists("B", "z"));
        ASSERT_EQ(Ini.Problems().size(), 1u);
        EXPECT_EQ(Ini.Problems()[0].Line, C.Line);
        Ini.WriteString("A", "new", "1");
        Ini.Clear();
        try {
            Ini.UpdateFile();
            ADD_FAILURE() << "written over";
        } catch (const EIniFileException& E) {
            EXPECT_EQ(E.FileName(), C.File);
            EXPECT_EQ(E.Line(), C.Line);
            EXPECT_NE(E.Message().find(C.File), std::string::npos) << E.Message();
            EXPECT_NE(E.Message().find(C.Why), std::string::npos) << E.Message();
        }
        EXPECT_THROW(TIniFile(C.File).WriteString("A", "x", "2"), EIniFileException);
        if (!Before.empty()) {
            EXPECT_EQ(ReadFile(C.File), Before);
        }
        // Elsewhere, what was read may be written.
        Ini.Rename(Path("copy.ini"), false);
        Ini.UpdateFile();
    }
    // Once the file reads cleanly again, it may be written.
    WriteFile(NulFile, "[A]\r\nx=1\r\n");
    TMemIniFile Repaired(Path("elsewhere.ini"));
    Repaired.Rename(NulFile, true);
    Repaired.WriteString("A", "x", "2");
    Repaired.UpdateFile();
    EXPECT_EQ(ReadFile(NulFile), "[A]\r\nx=2\r\n");
    EXPECT_EQ(std::filesystem::file_size(Big), ClassesLimits::kMaxIniFileSize + 1);
}

TEST_F(IniFiles, NamesAndValuesThatWouldNotReadBackAreRefused) {
    struct Case {
        std::string Section, Key, Value;
    };
    const Case Cases[] = {
        {"A", "k", "line\r\nbreak"}, {"A", "k", "cr\r"},       {"A", "k", std::string("n\0l", 3)},
        {"A\n[B]", "k", "v"},        {"A", "", "v"},           {"A", "a=b", "v"},
        {"A", ";comment", "v"},      {"A", "[B]", "v"},        {"A", " padded", "v"},
        {"A", "padded\t", "v"},      {"A", "two\nlines", "v"},
    };
    const std::string File = Written("[A]\r\nk=1\r\n");
    TMemIniFile Ini(File);
    TIniFile Direct(File);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Section + "/" + C.Key + "/" + C.Value);
        EXPECT_THROW(Ini.WriteString(C.Section, C.Key, C.Value), EIniFileException);
        EXPECT_THROW(Direct.WriteString(C.Section, C.Key, C.Value), EIniFileException);
    }
    Ini.UpdateFile();
    EXPECT_EQ(ReadFile(File), "[A]\r\nk=1\r\n");
    // Unusual names that do read back are taken.
    Ini.WriteString(" x]", "a b", "=;[");
    Ini.WriteString("", "k", "v");
    Ini.UpdateFile();
    TMemIniFile Again(File);
    EXPECT_EQ(Again.ReadString(" x]", "a b", "?"), "=;[");
    EXPECT_EQ(Again.ReadString("", "k", "?"), "v");
}

TEST_F(IniFiles, IntegersAndBooleansReadAsTheClassicClassReadsThem) {
    struct Case {
        const char* Text;
        int Expected;  // -99: the default
    };
    const Case Cases[] = {
        {"12", 12},
        {" -7 ", -7},
        {"+5", 5},
        {"$1F", 31},
        {"0x1f", 31},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", -99},
        {"$100000000", -99},
        {"12a", -99},
        {"", -99},
        {"0x", -99},
        {"1 2", -99},
        {"99999999999999999999", -99},
    };
    TMemIniFile Ini(Path());
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        Ini.WriteString("N", "v", C.Text);
        EXPECT_EQ(Ini.ReadInteger("N", "v", -99), C.Expected);
        EXPECT_EQ(Ini.ReadBool("N", "v", true), C.Expected != 0);
    }
    EXPECT_EQ(Ini.ReadInteger("N", "missing", 4), 4);
    EXPECT_FALSE(Ini.ReadBool("N", "missing", false));
    Ini.WriteBool("N", "b", false);
    Ini.WriteInteger("N", "i", -2147483647 - 1);
    EXPECT_EQ(Ini.ReadString("N", "b", ""), "0");
    EXPECT_EQ(Ini.ReadString("N", "i", ""), "-2147483648");
}

TEST_F(IniFiles, TheIniFileWritesAtOnceAndSeesOtherWriters) {
    const std::string File = Path();
    TIniFile One(File);
    TIniFile Two(File);
    One.WriteString("A", "x", "1");
    EXPECT_EQ(ReadFile(File), "[A]\r\nx=1\r\n");
    Two.WriteString("A", "y", "2");  // Two reads One's change before it writes its own
    EXPECT_EQ(One.ReadString("A", "y", "?"), "2");
    One.DeleteKey("A", "x");
    EXPECT_FALSE(Two.ValueExists("A", "x"));
    Two.EraseSection("A");
    EXPECT_EQ(ReadFile(File), "");
    EXPECT_TRUE(Others().empty());

    // Calls that change nothing do not write: no file appears for them.
    TIniFile Missing(Path("missing.ini"));
    Missing.EraseSection("A");
    Missing.DeleteKey("A", "x");
    EXPECT_FALSE(std::filesystem::exists(Path("missing.ini")));
}

TEST_F(IniFiles, ReplacingTheFileKeepsItsPermissionsAndSymbolicLinks) {
    const std::string Real = Written("[A]\r\nx=1\r\n", "real.ini");
    ::chmod(Real.c_str(), 0640);
    const std::string Link = Path();
    std::filesystem::create_symlink(Real, Link);
    TMemIniFile Ini(Link);
    Ini.WriteString("A", "x", "2");
    Ini.UpdateFile();
    EXPECT_TRUE(std::filesystem::is_symlink(Link));
    EXPECT_EQ(ReadFile(Real), "[A]\r\nx=2\r\n");
    struct stat Info;
    ASSERT_EQ(::stat(Real.c_str(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 07777, 0640u);
    EXPECT_EQ(Others(), (std::vector<std::string>{"real.ini"}));

    // A file in a directory that does not exist cannot be written: a clear error, no file.
    TMemIniFile Nowhere(Path("missing/dir/x.ini"));
    Nowhere.WriteString("A", "x", "1");
    EXPECT_NE(ErrorOf<EIniFileException>([&] { Nowhere.UpdateFile(); }).find("missing/dir/x.ini"),
              std::string::npos);
}

TEST_F(IniFiles, MemoryFileLinesCanBeTakenReplacedAndCleared) {
    const std::string File = Written("[A]\nx=1\n");
    TMemIniFile Ini(File);
    TStringList List;
    Ini.GetStrings(List);
    EXPECT_EQ(Lines(List), (std::vector<std::string>{"[A]", "x=1"}));
    List.Add("[B]");
    List.Add("y=2");
    Ini.SetStrings(List);
    EXPECT_EQ(Ini.ReadString("b", "y", "?"), "2");
    Ini.UpdateFile();
    EXPECT_EQ(ReadFile(File), "[A]\nx=1\n[B]\ny=2\n");  // the file's own line ends
    List.Add(std::string("z=\0", 3));
    EXPECT_THROW(Ini.SetStrings(List), EIniFileException);
    EXPECT_EQ(Ini.ReadString("b", "y", "?"), "2");
    Ini.Clear();
    EXPECT_FALSE(Ini.SectionExists("A"));
    Ini.UpdateFile();
    EXPECT_EQ(ReadFile(File), "");
}

// What the bar manager does with its layout: drop its own sections (by a case-sensitive prefix),
// write them anew, and read them back with defaults; other sections stay as they were.
TEST_F(IniFiles, BarLayoutIsReplacedAndReadBackWithDefaults) {
    const std::string File = Written(
        "[Other]\r\nKeep=1\r\n\r\n[FormMain.dxBarManager.Main]\r\nBarCount=3\r\n\r\n"
        "[FormMain.dxBarManager.Bar2]\r\nRow=4\r\n\r\n[formmain.dxBarManager.Bar9]\r\nRow=1\r\n");
    const std::string Prefix = "FormMain.dxBarManager.";
    {
        TMemIniFile Ini(File);
        TStringList Sections;
        Ini.ReadSections(Sections);
        for (int I = 0; I < Sections.Count(); ++I)
            if (Sections[I].compare(0, Prefix.size(), Prefix) == 0) Ini.EraseSection(Sections[I]);
        Ini.WriteBool(Prefix + "Main", "ShowHint", true);
        Ini.WriteInteger(Prefix + "Main", "BarCount", 1);
        Ini.WriteString(Prefix + "Bar0", "Caption", "Main Menu");
        Ini.WriteInteger(Prefix + "Bar0", "Row", 0);
        Ini.WriteString(Prefix + "Bar0.ItemLink0", "ItemName", "BarButtonStart");
        Ini.UpdateFile();
    }
    EXPECT_EQ(ReadFile(File),
              "[Other]\r\nKeep=1\r\n\r\n[formmain.dxBarManager.Bar9]\r\nRow=1\r\n\r\n"
              "[FormMain.dxBarManager.Main]\r\nShowHint=1\r\nBarCount=1\r\n\r\n"
              "[FormMain.dxBarManager.Bar0]\r\nCaption=Main Menu\r\nRow=0\r\n\r\n"
              "[FormMain.dxBarManager.Bar0.ItemLink0]\r\nItemName=BarButtonStart\r\n");
    TMemIniFile Ini(File);
    EXPECT_EQ(Ini.ReadInteger(Prefix + "Main", "BarCount", -1), 1);
    EXPECT_EQ(Ini.ReadInteger(Prefix + "Bar1", "Row", -1000), -1000);
    EXPECT_TRUE(Ini.ReadBool(Prefix + "Main", "ShowHint", false));
    EXPECT_EQ(Ini.ReadInteger(Prefix + "Bar0.ItemLink0", "UserWidth", 100), 100);
}

}  // namespace
