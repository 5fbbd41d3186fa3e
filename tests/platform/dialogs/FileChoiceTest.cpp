// What the file dialogs make of typed names and of a folder, apart from any window: names split
// and joined as the name field shows them, resolved against the folder shown, the checks a
// request asks for, and the listing, sizes and patterns.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QTemporaryDir>
#include <regex>

#include "platform/dialogs/FileChoice.h"
#include "platform/dialogs/FolderListing.h"
#include "platform/fs/Files.h"
#include "tests/support/TestSupport.h"

namespace {

using TNames = std::vector<std::string>;
using TKind = TFileChoice::TKind;

class FileChoice : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        Dir = Temp.path().toStdString();
        WriteFile(Dir + "/Box.cfg", "b");
        WriteFile(Dir + "/a.cfg", "a");
        WriteFile(Dir + "/z.bfg", "z");
        WriteFile(Dir + "/.hidden", "h");
        mkdir((Dir + "/spool").c_str(), 0755);
        mkdir((Dir + "/Archiv").c_str(), 0755);
    }
    TFileDialogRequest Request(TFileDialogKind Kind) {
        TFileDialogRequest R;
        R.Kind = Kind;
        R.DefaultExt = "cfg";
        return R;
    }
    TFileChoice Choose(const TNames& Names, const TFileDialogRequest& R) {
        return ChooseFiles(Names, Dir, R);
    }
    static TNames NamesOf(const std::vector<TFolderEntry>& Entries) {
        TNames Out;
        for (const TFolderEntry& E : Entries) Out.push_back(E.Name + (E.Folder ? "/" : ""));
        return Out;
    }

    QTemporaryDir Temp;
    std::string Dir;
};

}  // namespace

TEST(FileNames, TheNameFieldSplitsIntoQuotedNamesAndJoinsBack) {
    EXPECT_EQ(SplitFileNames("  box.cfg ", false), TNames{"box.cfg"});
    EXPECT_EQ(SplitFileNames("\"mit blank.cfg\"", false), TNames{"mit blank.cfg"});
    EXPECT_EQ(SplitFileNames("\"a.cfg\" \"b.cfg\"", true), (TNames{"a.cfg", "b.cfg"}));
    // Without quotes, also with several allowed, the text is one name.
    EXPECT_EQ(SplitFileNames("mit blank.cfg", true), TNames{"mit blank.cfg"});
    // A quote left open takes the rest; empty quotes are nothing.
    EXPECT_EQ(SplitFileNames("\"a.cfg\" \"\" \"b.c", true), (TNames{"a.cfg", "b.c"}));
    EXPECT_TRUE(SplitFileNames("   ", true).empty());
    EXPECT_EQ(JoinFileNames({"a.cfg"}), "a.cfg");
    EXPECT_EQ(JoinFileNames({"a.cfg", "b c.cfg"}), "\"a.cfg\" \"b c.cfg\"");
}

TEST(FileNames, NamesResolveAgainstTheFolderShown) {
    EXPECT_EQ(ResolveFileName("box.cfg", "/home/point"), "/home/point/box.cfg");
    EXPECT_EQ(ResolveFileName("..\\xp\\box.cfg", "/home/point"), "/home/xp/box.cfg");
    EXPECT_EQ(ResolveFileName("/etc/./kestro", "/home/point"), "/etc/kestro");
    EXPECT_EQ(ResolveFileName("box.cfg", "/"), "/box.cfg");
    const char* Home = std::getenv("HOME");
    ASSERT_NE(Home, nullptr);
    EXPECT_EQ(ResolveFileName("~/box.cfg", "/tmp"), ExpandFileName(std::string(Home) + "/box.cfg"));
}

TEST_F(FileChoice, FoldersOpenPatternsListAndNamesAreChosen) {
    const TFileDialogRequest Open = Request(TFileDialogKind::Open);
    EXPECT_EQ(Choose({}, Open).Kind, TKind::Nothing);
    TFileChoice C = Choose({"spool"}, Open);
    EXPECT_EQ(C.Kind, TKind::Navigate);
    EXPECT_EQ(C.Folder, Dir + "/spool");
    C = Choose({"spool/*.msg;*.out"}, Open);
    EXPECT_EQ(C.Kind, TKind::Filter);
    EXPECT_EQ(C.Folder, Dir + "/spool");
    EXPECT_EQ(C.Patterns, "*.msg;*.out");
    // Patterns in a folder that does not exist are refused.
    C = Choose({"fehlt/*.cfg"}, Open);
    EXPECT_EQ(C.Kind, TKind::Refused);
    EXPECT_NE(C.Error.find("Path not found"), std::string::npos);
    // A name without an extension gets the default one; a name with one keeps it.
    C = Choose({"neu"}, Open);
    EXPECT_EQ(C.Kind, TKind::Files);
    EXPECT_EQ(C.Files, TNames{Dir + "/neu.cfg"});
    EXPECT_EQ(Choose({"neu.txt", "b"}, Open).Files, (TNames{Dir + "/neu.txt", Dir + "/b.cfg"}));
}

TEST_F(FileChoice, TheRequestsChecksRefuseOrAsk) {
    TFileDialogRequest Open = Request(TFileDialogKind::Open);
    Open.FileMustExist = true;
    // Found without regard to case, as every file name of the program.
    EXPECT_EQ(Choose({"box"}, Open).Kind, TKind::Files);
    TFileChoice C = Choose({"a.cfg", "fehlt.cfg"}, Open);
    EXPECT_EQ(C.Kind, TKind::Refused);
    EXPECT_EQ(C.Error,
              Dir + "/fehlt.cfg\nFile not found.\nPlease verify the correct file name was given.");
    EXPECT_TRUE(C.Files.empty());

    TFileDialogRequest Save = Request(TFileDialogKind::Save);
    C = Choose({"fehlt/neu.cfg"}, Save);
    EXPECT_EQ(C.Kind, TKind::Refused);
    EXPECT_EQ(C.Error, Dir + "/fehlt\nPath not found.\nPlease verify the correct path was given.");
    // Replacing asks only when the request wants it and the file is there.
    EXPECT_FALSE(Choose({"a"}, Save).AskReplace);
    Save.OverwritePrompt = true;
    EXPECT_TRUE(Choose({"a"}, Save).AskReplace);
    EXPECT_FALSE(Choose({"neu"}, Save).AskReplace);
    // A name longer than any the file system takes is refused before it is looked at.
    C = Choose({std::string(5000, 'x')}, Save);
    EXPECT_EQ(C.Kind, TKind::Refused);
    EXPECT_NE(C.Error.find("too long"), std::string::npos);
}

TEST_F(FileChoice, AFolderListsFoldersFirstEachSortedWithoutRegardToCase) {
    EXPECT_EQ(NamesOf(ListFolder(Dir, {"*"}, false)),
              (TNames{"Archiv/", "spool/", "a.cfg", "Box.cfg", "z.bfg"}));
    EXPECT_EQ(NamesOf(ListFolder(Dir, SplitPatterns("*.CFG; *.bfg"), false)),
              (TNames{"Archiv/", "spool/", "a.cfg", "Box.cfg", "z.bfg"}));
    EXPECT_EQ(NamesOf(ListFolder(Dir, {"*.bfg"}, false)), (TNames{"Archiv/", "spool/", "z.bfg"}));
    EXPECT_EQ(NamesOf(ListFolder(Dir, {"*"}, true)), (TNames{"Archiv/", "spool/"}));
    EXPECT_TRUE(ListFolder(Dir + "/fehlt", {"*"}, false).empty());
    EXPECT_TRUE(HasSubfolders(Dir));
    EXPECT_FALSE(HasSubfolders(Dir + "/spool"));
    const std::vector<TFolderEntry> Entries = ListFolder(Dir, {"a.cfg"}, false);
    ASSERT_EQ(Entries.size(), 3u);
    EXPECT_EQ(Entries[2].Size, 1);
    EXPECT_GT(Entries[2].Modified, 0);
}

TEST(FolderListing, SizesDatesAndPatternsAreShownTheClassicWay) {
    struct TCase {
        std::int64_t Bytes;
        const char* Shown;
    };
    for (const TCase C :
         {TCase{0, "0 KB"}, TCase{1, "1 KB"}, TCase{1024, "1 KB"}, TCase{1025, "2 KB"},
          TCase{1263616, "1,234 KB"}, TCase{std::int64_t(5) << 30, "5,242,880 KB"}})
        EXPECT_EQ(FormatFileSize(C.Bytes), C.Shown) << C.Bytes;
    EXPECT_TRUE(std::regex_match(FormatFileTime(1700000000),
                                 std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}")));
    EXPECT_EQ(SplitPatterns(""), TNames{"*"});
    EXPECT_EQ(SplitPatterns(" ; *.bl;*.BL "), (TNames{"*.bl", "*.BL"}));
}
