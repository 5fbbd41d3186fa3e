#include "components/dcedit/PathDialog.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"

namespace {

// Where a root opens here: a standard location, or a folder under the home or configuration
// folder; Kind None is the whole file system, Root the file system's root.
enum class TPlace { None, Root, Standard, UnderHome, UnderData, UnderConfig };

struct TRootRow {
    TDCPathDialogRoot Root;
    int FolderNumber;
    TPlace Place;
    QStandardPaths::StandardLocation Location;
    const char* SubFolder;
};

constexpr auto kNoLocation = QStandardPaths::HomeLocation;

constexpr TRootRow kRoots[] = {
    {pdrNone, 0, TPlace::None, kNoLocation, ""},
    {pdrBitBucket, 10, TPlace::UnderData, kNoLocation, "Trash/files"},
    {pdrControls, 3, TPlace::None, kNoLocation, ""},
    {pdrDesktop, 0, TPlace::None, kNoLocation, ""},
    {pdrDesktopDirectory, 16, TPlace::Standard, QStandardPaths::DesktopLocation, ""},
    {pdrDrives, 17, TPlace::Root, kNoLocation, ""},
    {pdrFonts, 20, TPlace::Standard, QStandardPaths::FontsLocation, ""},
    {pdrNetHood, 19, TPlace::None, kNoLocation, ""},
    {pdrNetwork, 18, TPlace::None, kNoLocation, ""},
    {pdrPersonal, 5, TPlace::Standard, QStandardPaths::DocumentsLocation, ""},
    {pdrPrinters, 4, TPlace::None, kNoLocation, ""},
    {pdrPrograms, 2, TPlace::Standard, QStandardPaths::ApplicationsLocation, ""},
    {pdrRecent, 8, TPlace::None, kNoLocation, ""},
    {pdrSendto, 9, TPlace::None, kNoLocation, ""},
    {pdrStartmenu, 11, TPlace::Standard, QStandardPaths::ApplicationsLocation, ""},
    {pdrStartup, 7, TPlace::UnderConfig, kNoLocation, "autostart"},
    {pdrTemplates, 21, TPlace::UnderHome, kNoLocation, "Templates"},
};

struct TFlagRow {
    TDCPathDialogFlag Flag;
    uint32_t Bits;
};

constexpr TFlagRow kFlags[] = {
    {pdfBrowseForComputer, BIF_BROWSEFORCOMPUTER}, {pdfBrowseForPrinter, BIF_BROWSEFORPRINTER},
    {pdfDontGoBelowDomain, BIF_DONTGOBELOWDOMAIN}, {pdfReturnfsAncestors, BIF_RETURNFSANCESTORS},
    {pdfReturnOnlyFSDirs, BIF_RETURNONLYFSDIRS},
};

const TRootRow& RowOf(TDCPathDialogRoot Root) {
    for (const TRootRow& Row : kRoots)
        if (Row.Root == Root) return Row;
    return kRoots[0];
}

std::string Under(QStandardPaths::StandardLocation Base, const char* SubFolder) {
    return QDir(QStandardPaths::writableLocation(Base)).filePath(SubFolder).toStdString();
}

}  // namespace

int RootFolderNumber(TDCPathDialogRoot Root) {
    return RowOf(Root).FolderNumber;
}

std::string RootFolder(TDCPathDialogRoot Root) {
    const TRootRow& Row = RowOf(Root);
    switch (Row.Place) {
        case TPlace::Root:
            return "/";
        case TPlace::Standard:
            return QStandardPaths::writableLocation(Row.Location).toStdString();
        case TPlace::UnderHome:
            return Under(QStandardPaths::HomeLocation, Row.SubFolder);
        case TPlace::UnderData:
            return Under(QStandardPaths::GenericDataLocation, Row.SubFolder);
        case TPlace::UnderConfig:
            return Under(QStandardPaths::GenericConfigLocation, Row.SubFolder);
        default:
            return std::string();
    }
}

uint32_t BrowseFlags(TDCPathDialogFlags Flags) {
    uint32_t Bits = 0;
    for (const TFlagRow& Row : kFlags)
        if (Flags.Contains(Row.Flag)) Bits |= Row.Bits;
    return Bits;
}

void TDCPathDialog::SetSelectedItem(const std::string& Value) {
    std::string Folder = Value.empty() ? GetCurrentDir() : Value;
    // A root keeps its delimiter: without it, it would name no folder at all.
    if (Folder.size() > 1 && IsPathDelimiter(Folder.back()) && Folder.back() != ':')
        Folder.pop_back();
    FSelectedItem = Folder;
}

bool TDCPathDialog::Execute() {
    TFolderDialogRequest Request;
    Request.Title = FTitle;
    Request.Root = RootFolder(FRoot);
    Request.Selected = FSelectedItem;
    Request.Flags = BrowseFlags(FFlags);
    const TFolderDialogAnswer Answer = ExecuteFolderDialog(Request);
    if (!Answer.Accepted) return false;
    FSelectedItem = Answer.Folder;
    return true;
}

bool SelectDirectory(const std::string& Caption, std::string& Directory) {
    TDCPathDialog Dialog(nullptr);
    Dialog.SetTitle(Caption);
    Dialog.SetSelectedItem(Directory);
    if (!Dialog.Execute()) return false;
    Directory = Dialog.SelectedItem();
    return true;
}
