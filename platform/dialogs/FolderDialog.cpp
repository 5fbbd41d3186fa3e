#include "platform/dialogs/FolderDialog.h"

#include <algorithm>

#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/dialogs/DialogIcons.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/dialogs/FileChoice.h"
#include "platform/dialogs/FolderListing.h"
#include "platform/dialogs/Limits.h"
#include "platform/fs/Files.h"

namespace {

constexpr int kWidth = 300;
constexpr int kMargin = 10;
constexpr int kTitleHeight = 30;
constexpr int kTreeHeight = 230;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

// The folder without a trailing separator ("/" stays).
std::string Folder(const std::string& Path) {
    const std::string F = ExcludeTrailingPathDelimiter(ResolvePath(Path));
    return F.empty() ? "/" : F;
}

bool IsInside(const std::string& Path, const std::string& Root) {
    if (Root == "/") return !Path.empty() && Path[0] == '/';
    return Path == Root || Path.rfind(Root + "/", 0) == 0;
}

}  // namespace

TFolderDialog::TFolderDialog(const TFolderDialogRequest& Request)
    : TDialogWindow(InUserLanguage(DialogTexts::kFolderTitle)), FRequest(Request) {}

SIZE TFolderDialog::Build() {
    const std::string Here = GetCurrentDir();
    FRoot = "/";
    if (!FRequest.Root.empty() && DirectoryExists(ResolveFileName(FRequest.Root, Here)))
        FRoot = Folder(ResolveFileName(FRequest.Root, Here));
    AddControl("STATIC", ShownText(FRequest.Title), SS_LEFT | SS_NOPREFIX,
               {kMargin, kMargin, kWidth - kMargin, kMargin + kTitleHeight}, kTitleLabel);
    const int TreeTop = kMargin + kTitleHeight + 4;
    const HWND Tree = AddControl(
        "SysTreeView32", "",
        TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL,
        {kMargin, TreeTop, kWidth - kMargin, TreeTop + kTreeHeight}, kFolderTree, WS_EX_CLIENTEDGE);
    SendMessage(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(FileIcons()));
    const int ButtonsTop = TreeTop + kTreeHeight + 10;
    const int CancelLeft = kWidth - kMargin - kButtonWidth;
    const int OkLeft = CancelLeft - 6 - kButtonWidth;
    AddControl("BUTTON", MessageBoxButtonCaption(IDOK),
               BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP,
               {OkLeft, ButtonsTop, OkLeft + kButtonWidth, ButtonsTop + kButtonHeight}, IDOK);
    AddControl("BUTTON", MessageBoxButtonCaption(IDCANCEL), BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
               {CancelLeft, ButtonsTop, CancelLeft + kButtonWidth, ButtonsTop + kButtonHeight},
               IDCANCEL);
    SetDefaultButton(IDOK);

    AddNode(TVI_ROOT, FRoot, FRoot);
    // The folder selected at the start: the one asked for, else the working directory.
    const std::string Start =
        ResolveFileName(FRequest.Selected.empty() ? Here : FRequest.Selected, Here);
    Reveal(Folder(Start));
    EnableWindow(Control(IDOK), SelectedNode() != 0);
    return SIZE{kWidth, ButtonsTop + kButtonHeight + kMargin};
}

HWND TFolderDialog::FirstFocus() {
    return Control(kFolderTree);
}

HTREEITEM TFolderDialog::AddNode(HTREEITEM Parent, const std::string& Path,
                                 const std::string& Text) {
    std::string Shown = ShownText(Text);
    TVINSERTSTRUCT Insert;
    Insert.hParent = Parent;
    Insert.hInsertAfter = TVI_LAST;
    Insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    Insert.item.pszText = Shown.data();
    Insert.item.iImage = kClosedFolderIcon;
    Insert.item.iSelectedImage = kOpenFolderIcon;
    Insert.item.lParam = LPARAM(FPaths.size());
    // The button shows for a folder with subfolders; they are read when it is opened.
    Insert.item.cChildren = HasSubfolders(Path) ? 1 : 0;
    FPaths.push_back(Path);
    FFilled.push_back(false);
    return HTREEITEM(SendMessage(Control(kFolderTree), TVM_INSERTITEM, 0, LPARAM(&Insert)));
}

const std::string* TFolderDialog::PathOf(HTREEITEM Node) const {
    TVITEM Item;
    Item.mask = TVIF_HANDLE | TVIF_PARAM;
    Item.hItem = Node;
    if (!Node || !SendMessage(Control(kFolderTree), TVM_GETITEM, 0, LPARAM(&Item))) return nullptr;
    return size_t(Item.lParam) < FPaths.size() ? &FPaths[size_t(Item.lParam)] : nullptr;
}

void TFolderDialog::Fill(HTREEITEM Node) {
    TVITEM Item;
    Item.mask = TVIF_HANDLE | TVIF_PARAM;
    Item.hItem = Node;
    if (!SendMessage(Control(kFolderTree), TVM_GETITEM, 0, LPARAM(&Item))) return;
    const size_t Index = size_t(Item.lParam);
    if (Index >= FPaths.size() || FFilled[Index]) return;
    FFilled[Index] = true;
    const std::string Path = FPaths[Index];
    const std::vector<TFolderEntry> Entries = ListFolder(Path, {}, true);
    for (const TFolderEntry& E : Entries)
        AddNode(Node, IncludeTrailingPathDelimiter(Path) + E.Name, E.Name);
    if (Entries.empty()) {
        Item.mask = TVIF_HANDLE | TVIF_CHILDREN;
        Item.cChildren = 0;
        SendMessage(Control(kFolderTree), TVM_SETITEM, 0, LPARAM(&Item));
    }
}

void TFolderDialog::Reveal(const std::string& Path) {
    const HWND Tree = Control(kFolderTree);
    HTREEITEM Node = HTREEITEM(SendMessage(Tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, LPARAM(Node));
    if (IsInside(Path, FRoot)) {
        // The names below the root, one level at a time.
        std::string Rest = Path.substr(FRoot == "/" ? 1 : FRoot.size());
        for (int Depth = 0; !Rest.empty() && Depth < DialogLimits::kMaxFolderDepth; ++Depth) {
            if (Rest[0] == '/') Rest.erase(0, 1);
            const std::string Name = Rest.substr(0, Rest.find('/'));
            Rest.erase(0, Name.size());
            if (Name.empty()) break;
            Fill(Node);
            HTREEITEM Child =
                HTREEITEM(SendMessage(Tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(Node)));
            for (; Child;
                 Child = HTREEITEM(SendMessage(Tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(Child)))) {
                const std::string* ChildPath = PathOf(Child);
                if (ChildPath && ExtractFileName(*ChildPath) == Name) break;
            }
            if (!Child) break;
            SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, LPARAM(Node));
            Node = Child;
        }
    }
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(Node));
    SendMessage(Tree, TVM_ENSUREVISIBLE, 0, LPARAM(Node));
}

HTREEITEM TFolderDialog::SelectedNode() const {
    return HTREEITEM(SendMessage(Control(kFolderTree), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TFolderDialog::Command(WORD Id, WORD Code, HWND) {
    if (Code != BN_CLICKED) return;
    if (Id == IDCANCEL) {
        EndDialog(IDCANCEL);
        return;
    }
    if (Id != IDOK) return;
    const std::string* Path = PathOf(SelectedNode());
    if (!Path) return;
    FAnswer.Accepted = true;
    FAnswer.Folder = *Path;
    EndDialog(IDOK);
}

LRESULT TFolderDialog::Notify(NMHDR& Header) {
    if (Header.idFrom != kFolderTree) return 0;
    const auto& N = reinterpret_cast<const NMTREEVIEW&>(Header);
    switch (Header.code) {
        case TVN_ITEMEXPANDING:
            if (N.action & TVE_EXPAND) Fill(N.itemNew.hItem);
            return 0;
        case TVN_SELCHANGED:
            EnableWindow(Control(IDOK), N.itemNew.hItem != 0);
            return 0;
        default:
            return 0;
    }
}
