// The texts of typed values, the column list's texts, dropped names and folder names, the folder
// browser's roots and flags, and the sorted list.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <filesystem>

#include "components/dcedit/ColumnText.h"
#include "components/dcedit/DirectoryEdit.h"
#include "components/dcedit/PathDialog.h"
#include "components/dcedit/SortedList.h"
#include "components/dcedit/ValueTexts.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(ValueTexts, ColoursAreNamedOrNumbered) {
    const std::pair<const char*, const char*> Cases[] = {
        {"clBlack", "clBlack"},  {"CLRED", "clRed"},          {"255", "clRed"},
        {"$00FF0000", "clBlue"}, {"$00123456", "$00123456"},  {"clInfoBk", "clInfoBk"},
        {"clNone", "clNone"},    {"-2147483624", "clInfoBk"},
    };
    for (const auto& [Text, Shown] : Cases)
        EXPECT_EQ(ColorText(ColorFromText(Text)), Shown) << Text;
    for (const char* Bad : {"", "red", "cl", "$", "12x", "$1FFFFFFFF", "99999999999"})
        EXPECT_NE(ErrorOf([&] { ColorFromText(Bad); }), "") << Bad;
    EXPECT_EQ(ErrorOf([&] { ColorFromText("red"); }), "'red' is not a valid integer value");

    // The list: 16 standard colours, the system colours 0 to 24 in order, none.
    const auto Colors = ListedColors();
    ASSERT_EQ(Colors.size(), 42u);
    EXPECT_EQ(ColorText(Colors[0]), "clBlack");
    EXPECT_EQ(ColorText(Colors[15]), "clWhite");
    EXPECT_EQ(ColorText(Colors[16]), "clScrollBar");
    EXPECT_EQ(ColorText(Colors[16 + 15]), "clBtnFace");
    EXPECT_EQ(ColorText(Colors[40]), "clInfoBk");
    EXPECT_EQ(ColorText(Colors[41]), "clNone");
}

TEST(ValueTexts, PenAndBrushStylesByName) {
    EXPECT_EQ(PenStyleNames().size(), 7u);
    for (int I = 0; I <= psInsideFrame; ++I)
        EXPECT_EQ(PenStyleFromText(PenStyleText(TPenStyle(I))), TPenStyle(I));
    EXPECT_EQ(PenStyleFromText("PSDOT"), psDot);
    EXPECT_EQ(ErrorOf([] { PenStyleFromText("Dot"); }), "'Dot' is not a valid pen style");
    EXPECT_NE(ErrorOf([] { PenStyleFromText(""); }), "");

    // A brush style's text carries "bs"; its name in the list does not.
    EXPECT_EQ(BrushStyleNames().size(), 8u);
    EXPECT_EQ(BrushStyleText(bsFDiagonal), "bsFDiagonal");
    for (int I = 0; I <= bsDiagCross; ++I)
        EXPECT_EQ(BrushStyleFromText(BrushStyleText(TBrushStyle(I))), TBrushStyle(I));
    EXPECT_EQ(BrushStyleFromText("BSCLEAR"), bsClear);
    for (const char* Bad : {"Solid", "bs", "", "bsSolidX", "xxSolid"})
        EXPECT_NE(ErrorOf([&] { BrushStyleFromText(Bad); }), "") << Bad;
}

TEST(ValueTexts, BooleansAreTrueByTheirFirstLetter) {
    for (const char* Yes : {"True", "t", "Yes", "y", "TRUE", "trouble"})
        EXPECT_TRUE(BooleanFromText(Yes)) << Yes;
    for (const char* No : {"False", "", "no", "1", " True", "x"})
        EXPECT_FALSE(BooleanFromText(No)) << No;
    EXPECT_EQ(BooleanText(true), "True");
    EXPECT_EQ(BooleanText(false), "False");
}

TEST(ColumnTexts, ColumnsAndTheirMarkedParts) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitColumns("a|b|c"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitColumns(""), (V{""}));
    EXPECT_EQ(SplitColumns("a||"), (V{"a", "", ""}));
    // Past the limit the rest of the text stays in the last column.
    const std::vector<std::string> Many = SplitColumns(std::string(100, '|'));
    EXPECT_EQ(Many.size(), 64u);
    EXPECT_EQ(Many.back(), std::string(37, '|'));

    EXPECT_EQ(SplitMarked("Re: ~Meeting~ today"), (TMarkedText{"Re: ", "Meeting", " today"}));
    EXPECT_EQ(SplitMarked("~all~"), (TMarkedText{"", "all", ""}));
    EXPECT_EQ(SplitMarked("~~x"), (TMarkedText{"", "", "x"}));
    // The first pair marks; later tildes are text.
    EXPECT_EQ(SplitMarked("a~b~c~d"), (TMarkedText{"a", "b", "c~d"}));
    // A single tilde marks nothing and is shown.
    EXPECT_EQ(SplitMarked("50~ off"), (TMarkedText{"50~ off", "", ""}));
}

TEST(DroppedNames, FilesStandForTheirFoldersAndFoldersForThemselves) {
    const std::filesystem::path Dir =
        std::filesystem::temp_directory_path() / ("kestro-drops-" + std::to_string(getpid()));
    std::filesystem::create_directories(Dir / "spool");
    const std::string Folder = (Dir / "spool").string();
    const std::string File = (Dir / "spool" / "box.bfg").string();
    WriteFile(File, "");
    EXPECT_EQ(DroppedNames({File, Folder}, true, true, ';'), Folder + "/;" + Folder);
    EXPECT_EQ(DroppedNames({File, Folder}, true, false, ';'), Folder + "/");
    EXPECT_EQ(DroppedNames({File, Folder}, false, true, ','), File + "," + Folder);
    // A name that no longer exists is taken for a file.
    EXPECT_EQ(DroppedNames({"/nowhere/x/y"}, true, false, ';'), "/nowhere/x/");
    EXPECT_EQ(DroppedNames({}, true, true, ';'), "");
    std::filesystem::remove_all(Dir);

    EXPECT_EQ(AddFolderDelimiter(""), "");
    EXPECT_EQ(AddFolderDelimiter("/var"), "/var/");
    EXPECT_EQ(AddFolderDelimiter("/var/"), "/var/");
    EXPECT_EQ(AddFolderDelimiter("C:\\XP\\"), "C:\\XP\\");
    for (const std::string& Folder : {SystemFolder(), WindowsFolder(), ProgramFilesFolder()})
        EXPECT_EQ(AddFolderDelimiter(Folder), Folder);
}

TEST(PathDialog, RootsFlagsAndTheSelectedFolder) {
    EXPECT_EQ(RootFolderNumber(pdrPersonal), 5);
    EXPECT_EQ(RootFolderNumber(pdrTemplates), 21);
    EXPECT_EQ(RootFolder(pdrNone), "");
    EXPECT_EQ(RootFolder(pdrPrinters), "");
    EXPECT_EQ(RootFolder(pdrDrives), "/");
    EXPECT_EQ(RootFolder(pdrTemplates), QDir::homePath().toStdString() + "/Templates");
    EXPECT_EQ(BrowseFlags(TDCPathDialogFlags{pdfReturnOnlyFSDirs}), BIF_RETURNONLYFSDIRS);
    EXPECT_EQ(BrowseFlags(TDCPathDialogFlags{pdfBrowseForComputer, pdfDontGoBelowDomain}),
              BIF_BROWSEFORCOMPUTER | BIF_DONTGOBELOWDOMAIN);

    TDCPathDialog Dialog(nullptr);
    Dialog.SetSelectedItem("/var/spool/");
    EXPECT_EQ(Dialog.SelectedItem(), "/var/spool");
    Dialog.SetSelectedItem("/var//");
    EXPECT_EQ(Dialog.SelectedItem(), "/var/");
    Dialog.SetSelectedItem("/");
    EXPECT_EQ(Dialog.SelectedItem(), "/");
    Dialog.SetSelectedItem("");
    EXPECT_EQ(Dialog.SelectedItem(), GetCurrentDir());
    // Headless, a folder dialog counts as cancelled and changes nothing.
    std::string Folder = "/tmp";
    EXPECT_FALSE(SelectDirectory("Pick", Folder));
    EXPECT_EQ(Folder, "/tmp");
}

// Items are sorted by their value's last digit.
class TLastDigitList : public TCustomSortedList {
  protected:
    int Compare(TItem A, TItem B) const override { return int(A % 10) - int(B % 10); }
};

TEST(SortedList, FindsByBinarySearchAndKeepsOrDropsDuplicates) {
    TLastDigitList List;
    for (TCustomSortedList::TItem Item : {23, 41, 12, 35}) List.Add(Item);
    EXPECT_EQ(List.Add(53), -1);  // equal to 23
    EXPECT_EQ(List.Count(), 4);
    std::vector<TCustomSortedList::TItem> Items;
    for (int I = 0; I < List.Count(); ++I) Items.push_back(List.Items(I));
    EXPECT_EQ(Items, (std::vector<TCustomSortedList::TItem>{41, 12, 23, 35}));
    int Index = -1;
    EXPECT_TRUE(List.Find(3, Index));
    EXPECT_EQ(Index, 2);
    EXPECT_FALSE(List.Find(4, Index));
    EXPECT_EQ(Index, 3);

    // With duplicates, equal items go after their equals and IndexOf finds the first.
    List.SetDuplicates(true);
    EXPECT_EQ(List.Add(53), 3);
    EXPECT_EQ(List.Add(63), 4);
    EXPECT_EQ(List.IndexOf(3), 2);
    EXPECT_TRUE(List.Find(3, Index));
    EXPECT_EQ(Index, 5);

    // Unsorted: appended, found by walking; sorted again on request.
    List.SetSorted(false);
    const int Added = List.Add(10);
    EXPECT_EQ(Added, List.Count() - 1);
    EXPECT_EQ(List.IndexOf(10), List.Count() - 1);
    List.SetSorted(true);
    EXPECT_EQ(List.Items(0), 10);
    List.Delete(0);
    EXPECT_EQ(List.Items(0), 41);
    EXPECT_EQ(ErrorOf<ERangeError>([&] { List.Items(99); }), "List index out of bounds (99)");
}

}  // namespace
