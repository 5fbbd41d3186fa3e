#include "platform/dialogs/FileDialog.h"

#include <algorithm>

#include "platform/classes/FlagScope.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Static.h"
#include "platform/dialogs/DialogIcons.h"
#include "platform/dialogs/DialogKeys.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/dialogs/FileChoice.h"
#include "platform/dialogs/Limits.h"
#include "platform/dialogs/MessageBoxDialog.h"
#include "platform/fs/Files.h"

namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 256;
constexpr int kMargin = 8;
constexpr int kFieldLeft = 96;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kUpWidth = 44;
constexpr int kListTop = 36;
constexpr int kListBottom = 188;
constexpr int kNameTop = 197;
constexpr int kTypeTop = 225;
constexpr int kSizeWidth = 70;
constexpr int kDateWidth = 120;

struct TColumn {
    TDialogText Caption;
    int Format;
};
const TColumn kColumns[] = {{DialogTexts::kNameColumn, LVCFMT_LEFT},
                            {DialogTexts::kSizeColumn, LVCFMT_RIGHT},
                            {DialogTexts::kModifiedColumn, LVCFMT_LEFT}};

std::string TitleOf(const TFileDialogRequest& Request) {
    if (!Request.Title.empty()) return Request.Title;
    return InUserLanguage(Request.Kind == TFileDialogKind::Save ? DialogTexts::kSaveTitle
                                                                : DialogTexts::kOpenTitle);
}

void SetSubItem(HWND List, int Item, int Column, const std::string& Text) {
    std::string Copy = Text;
    LVITEM Sub;
    Sub.iSubItem = Column;
    Sub.pszText = Copy.data();
    SendMessage(List, LVM_SETITEMTEXT, WPARAM(Item), LPARAM(&Sub));
}

// "/", "/home", "/home/point" for "/home/point".
std::vector<std::string> FolderChain(const std::string& Folder) {
    std::vector<std::string> Chain{"/"};
    size_t At = 1;
    while (At < Folder.size()) {
        const size_t Slash = std::min(Folder.find('/', At), Folder.size());
        if (Slash > At) Chain.push_back(Folder.substr(0, Slash));
        At = Slash + 1;
    }
    return Chain;
}

}  // namespace

TFileDialog::TFileDialog(const TFileDialogRequest& Request)
    : TDialogWindow(TitleOf(Request)), FRequest(Request) {
    if (FRequest.Kind == TFileDialogKind::Save) FRequest.AllowMultiSelect = false;
    for (const auto& [Description, Patterns] : ParseDialogFilter(FRequest.Filter)) {
        if (FFilters.size() >= DialogLimits::kMaxFilters) break;
        FFilters.push_back({Description, Patterns});
    }
    if (FFilters.empty()) FFilters.push_back({InUserLanguage(DialogTexts::kAllFiles), "*"});
}

// ---- building -------------------------------------------------------------------------------

SIZE TFileDialog::Build() {
    BuildControls(kWidth);
    // The folder of the file name given, else the initial folder, else the working directory.
    const std::string Here = GetCurrentDir();
    const std::string FromName = ExtractFileDir(FRequest.FileName);
    for (const std::string& Candidate : {FromName, FRequest.InitialDir, Here}) {
        if (Candidate.empty()) continue;
        const std::string Path = ResolveFileName(Candidate, Here);
        if (DirectoryExists(Path) && Navigate(Path)) break;
    }
    SetWindowText(Control(kNameEdit), ShownText(ExtractFileName(FRequest.FileName)));
    return SIZE{kWidth, kHeight};
}

void TFileDialog::BuildControls(int Width) {
    using namespace DialogTexts;
    const bool Save = FRequest.Kind == TFileDialogKind::Save;
    const int Right = Width - kMargin;
    const int ButtonLeft = Right - kButtonWidth;
    const int FieldRight = ButtonLeft - 10;
    AddControl("STATIC", Shown(Save ? kSaveIn : kLookIn), SS_LEFT,
               {kMargin, 12, kFieldLeft - 4, 26}, kFolderLabel);
    AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
               {kFieldLeft, 8, Right - kUpWidth - 6, 208}, kFolderBox);
    AddControl("BUTTON", Shown(kUp), BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
               {Right - kUpWidth, 7, Right, 7 + kButtonHeight}, kUpButton);
    const DWORD ListStyle = LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP |
                            (FRequest.AllowMultiSelect ? 0 : LVS_SINGLESEL);
    const HWND List =
        AddControl("SysListView32", "", ListStyle, {kMargin, kListTop, Right, kListBottom},
                   kFileList, WS_EX_CLIENTEDGE);
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(FileIcons()));
    SendMessage(List, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const int Widths[] = {Right - kMargin - kSizeWidth - kDateWidth - 22, kSizeWidth, kDateWidth};
    for (int I = 0; I < 3; ++I) {
        std::string Caption = Shown(kColumns[I].Caption);
        LVCOLUMN Column;
        Column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        Column.fmt = kColumns[I].Format;
        Column.cx = Widths[I];
        Column.pszText = Caption.data();
        Column.iSubItem = I;
        SendMessage(List, LVM_INSERTCOLUMN, WPARAM(I), LPARAM(&Column));
    }
    AddControl("STATIC", Shown(kFileName), SS_LEFT,
               {kMargin, kNameTop + 4, kFieldLeft - 4, kNameTop + 18}, kNameLabel);
    AddControl("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP,
               {kFieldLeft, kNameTop, FieldRight, kNameTop + 21}, kNameEdit, WS_EX_CLIENTEDGE);
    AddControl("BUTTON", Shown(Save ? kSave : kOpen), BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
               {ButtonLeft, kNameTop - 1, Right, kNameTop - 1 + kButtonHeight}, IDOK);
    AddControl("STATIC", Shown(Save ? kSaveAsType : kFilesOfType), SS_LEFT,
               {kMargin, kTypeTop + 4, kFieldLeft - 4, kTypeTop + 18}, kTypeLabel);
    const HWND Types = AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                                  {kFieldLeft, kTypeTop, FieldRight, kTypeTop + 150}, kTypeBox);
    AddControl("BUTTON", MessageBoxButtonCaption(IDCANCEL), BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
               {ButtonLeft, kTypeTop, Right, kTypeTop + kButtonHeight}, IDCANCEL);
    for (const TFilter& F : FFilters)
        SendMessage(Types, CB_ADDSTRING, 0, LPARAM(ShownText(F.Description).c_str()));
    const int Index = std::clamp(FRequest.FilterIndex, 1, int(FFilters.size())) - 1;
    SendMessage(Types, CB_SETCURSEL, WPARAM(Index), 0);
    SetDefaultButton(IDOK);
}

HWND TFileDialog::FirstFocus() {
    return Control(kNameEdit);
}

// ---- the folder shown -----------------------------------------------------------------------

bool TFileDialog::Navigate(const std::string& Path) {
    if (!DirectoryExists(Path)) {
        TMessageBoxDialog Box(FormatDialogText(DialogTexts::kPathNotFound, Path), TitleOf(FRequest),
                              MB_OK | MB_ICONWARNING);
        Box.RunModal();
        return false;
    }
    FFolder = ExcludeTrailingPathDelimiter(ResolvePath(Path));
    if (FFolder.empty()) FFolder = "/";
    FillFolderBox();
    FillList();
    return true;
}

void TFileDialog::FillFolderBox() {
    const HWND Box = Control(kFolderBox);
    FFolderChain = FolderChain(FFolder);
    SendMessage(Box, CB_RESETCONTENT, 0, 0);
    for (const std::string& Folder : FFolderChain)
        SendMessage(Box, CB_ADDSTRING, 0, LPARAM(ShownText(Folder).c_str()));
    SendMessage(Box, CB_SETCURSEL, WPARAM(FFolderChain.size() - 1), 0);
}

std::string TFileDialog::Patterns() const {
    if (!FTypedPatterns.empty()) return FTypedPatterns;
    const LRESULT Index = SendMessage(Control(kTypeBox), CB_GETCURSEL, 0, 0);
    return FFilters[Index >= 0 && size_t(Index) < FFilters.size() ? size_t(Index) : 0].Patterns;
}

void TFileDialog::FillList() {
    const HWND List = Control(kFileList);
    const TFlagScope Filling(FFilling);
    SendMessage(List, WM_SETREDRAW, FALSE, 0);
    SendMessage(List, LVM_DELETEALLITEMS, 0, 0);
    FEntries = ListFolder(FFolder, SplitPatterns(Patterns()), false);
    for (size_t I = 0; I < FEntries.size(); ++I) {
        const TFolderEntry& E = FEntries[I];
        std::string Name = ShownText(E.Name);
        LVITEM Item;
        Item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        Item.iItem = int(I);
        Item.pszText = Name.data();
        Item.iImage = E.Folder ? kClosedFolderIcon : kFileIcon;
        Item.lParam = LPARAM(I);
        const int At = int(SendMessage(List, LVM_INSERTITEM, 0, LPARAM(&Item)));
        if (At < 0) continue;
        if (!E.Folder) SetSubItem(List, At, 1, FormatFileSize(E.Size));
        SetSubItem(List, At, 2, FormatFileTime(E.Modified));
    }
    SendMessage(List, WM_SETREDRAW, TRUE, 0);
}

void TFileDialog::TypeChosen() {
    FTypedPatterns.clear();
    FillList();
}

// ---- the list -------------------------------------------------------------------------------

std::vector<size_t> TFileDialog::Selected() const {
    std::vector<size_t> Out;
    const HWND List = Control(kFileList);
    for (LRESULT I = SendMessage(List, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED); I >= 0;
         I = SendMessage(List, LVM_GETNEXTITEM, WPARAM(I), LVNI_SELECTED)) {
        LVITEM Item;
        Item.mask = LVIF_PARAM;
        Item.iItem = int(I);
        if (SendMessage(List, LVM_GETITEM, 0, LPARAM(&Item)) &&
            size_t(Item.lParam) < FEntries.size())
            Out.push_back(size_t(Item.lParam));
    }
    return Out;
}

void TFileDialog::SelectionToName() {
    std::vector<std::string> Names;
    for (size_t Entry : Selected())
        if (!FEntries[Entry].Folder) Names.push_back(ShownText(FEntries[Entry].Name));
    if (!Names.empty()) SetWindowText(Control(kNameEdit), JoinFileNames(Names));
}

void TFileDialog::Open(size_t Entry) {
    if (Entry >= FEntries.size()) return;
    const TFolderEntry E = FEntries[Entry];
    if (E.Folder) {
        Navigate(IncludeTrailingPathDelimiter(FFolder) + E.Name);
        return;
    }
    SetWindowText(Control(kNameEdit), ShownText(E.Name));
    Accept();
}

std::vector<std::string> TFileDialog::TypedNames() const {
    std::vector<std::string> Names =
        SplitFileNames(GetWindowText(Control(kNameEdit)), FRequest.AllowMultiSelect);
    for (std::string& Name : Names) {
        // A listed name keeps its own bytes, also those the window cannot show.
        auto Listed = std::find_if(FEntries.begin(), FEntries.end(), [&](const TFolderEntry& E) {
            return ShownText(E.Name) == Name;
        });
        Name = Listed != FEntries.end() ? Listed->Name : TypedText(Name);
    }
    return Names;
}

// ---- OK -------------------------------------------------------------------------------------

bool TFileDialog::ConfirmReplace(const std::string& File) {
    TMessageBoxDialog Box(FormatDialogText(DialogTexts::kReplace, File), TitleOf(FRequest),
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    return Box.RunModal() == IDYES;
}

void TFileDialog::Accept() {
    // Enter on a folder of the list opens it.
    if (DialogChildOf(Handle(), GetFocus()) == Control(kFileList)) {
        const std::vector<size_t> Chosen = Selected();
        if (Chosen.size() == 1 && FEntries[Chosen.front()].Folder) {
            Open(Chosen.front());
            return;
        }
    }
    const TFileChoice Choice = ChooseFiles(TypedNames(), FFolder, FRequest);
    switch (Choice.Kind) {
        case TFileChoice::TKind::Nothing:
            return;
        case TFileChoice::TKind::Navigate:
            if (Navigate(Choice.Folder)) SetWindowText(Control(kNameEdit), "");
            return;
        case TFileChoice::TKind::Filter:
            FTypedPatterns = Choice.Patterns;
            if (Choice.Folder != FFolder)
                Navigate(Choice.Folder);
            else
                FillList();
            return;
        case TFileChoice::TKind::Refused: {
            TMessageBoxDialog Box(Choice.Error, TitleOf(FRequest), MB_OK | MB_ICONWARNING);
            Box.RunModal();
            return;
        }
        case TFileChoice::TKind::Files:
            if (Choice.AskReplace && !ConfirmReplace(Choice.Files.front())) return;
            FAnswer.Accepted = true;
            FAnswer.Files = Choice.Files;
            FAnswer.FilterIndex = int(SendMessage(Control(kTypeBox), CB_GETCURSEL, 0, 0)) + 1;
            EndDialog(IDOK);
            return;
    }
}

void TFileDialog::Command(WORD Id, WORD Code, HWND) {
    switch (Id) {
        case IDOK:
            if (Code == BN_CLICKED) Accept();
            return;
        case IDCANCEL:
            if (Code == BN_CLICKED) EndDialog(IDCANCEL);
            return;
        case kUpButton:
            if (Code == BN_CLICKED) Navigate(ExtractFileDir(FFolder));
            return;
        case kFolderBox: {
            if (Code != CBN_SELCHANGE) return;
            const LRESULT Index = SendMessage(Control(kFolderBox), CB_GETCURSEL, 0, 0);
            if (Index >= 0 && size_t(Index) < FFolderChain.size())
                Navigate(FFolderChain[size_t(Index)]);
            return;
        }
        case kTypeBox:
            if (Code == CBN_SELCHANGE) TypeChosen();
            return;
        default:
            return;
    }
}

LRESULT TFileDialog::Notify(NMHDR& Header) {
    if (Header.idFrom != kFileList) return 0;
    switch (Header.code) {
        case LVN_ITEMCHANGED: {
            const auto& N = reinterpret_cast<const NMLISTVIEW&>(Header);
            if (!FFilling && (N.uChanged & LVIF_STATE) &&
                ((N.uNewState ^ N.uOldState) & LVIS_SELECTED))
                SelectionToName();
            return 0;
        }
        case NM_DBLCLK: {
            const auto& N = reinterpret_cast<const NMITEMACTIVATE&>(Header);
            if (N.iItem < 0) return 0;
            LVITEM Item;
            Item.mask = LVIF_PARAM;
            Item.iItem = N.iItem;
            if (SendMessage(Control(kFileList), LVM_GETITEM, 0, LPARAM(&Item)))
                Open(size_t(Item.lParam));
            return 0;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN&>(Header).wVKey == VK_BACK)
                Navigate(ExtractFileDir(FFolder));
            return 0;
        default:
            return 0;
    }
}
