#include "components/dcedit/DirectoryEdit.h"

#include "components/dcedit/PathDialog.h"
#include "platform/core/DropFiles.h"
#include "platform/fs/Files.h"

namespace {

constexpr char kFolderSeparator = ';';

// Every name of a drop, whole however long: a path cut short names another file.
std::vector<std::string> DropFileNames(HDROP Drop) {
    std::vector<std::string> Names;
    const UINT Count = DragQueryFile(Drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT N = 0; N < Count; ++N) {
        std::string Name(DragQueryFile(Drop, N, nullptr, 0) + 1, '\0');
        Name.resize(DragQueryFile(Drop, N, Name.data(), UINT(Name.size())));
        Names.push_back(Name);
    }
    return Names;
}

}  // namespace

std::string DroppedNames(const std::vector<std::string>& Names, bool AsDirectories, bool Multiple,
                         char Separator) {
    std::string Text;
    for (const std::string& Name : Names) {
        const std::string Item =
            AsDirectories && !DirectoryExists(Name) ? ExtractFilePath(Name) : Name;
        if (!Text.empty()) Text += Separator;
        Text += Item;
        if (!Multiple) break;
    }
    return Text;
}

std::string AddFolderDelimiter(const std::string& Folder) {
    if (Folder.empty() || Folder.back() == '\\' || Folder.back() == '/') return Folder;
    return Folder + '/';
}

std::string SystemFolder() {
    return "/usr/lib/";
}

std::string WindowsFolder() {
    return "/usr/";
}

std::string ProgramFilesFolder() {
    return "/opt/";
}

// ---- the file and directory edit --------------------------------------------------------------

TCustomFileDirEdit::TCustomFileDirEdit(TComponent* AOwner) : TCustomDCEdit(AOwner) {
    Button1()->SetKind(bkCustom);
    SetButtonCount(1);
    EditButton(0)->OnClick = [this](TObject*) { BrowseDirectory(); };
}

void TCustomFileDirEdit::SetAcceptFiles(bool Value) {
    if (FAcceptFiles == Value) return;
    FAcceptFiles = Value;
    if (HandleAllocated()) DragAcceptFiles(Handle(), Value);
}

void TCustomFileDirEdit::CreateWnd() {
    TCustomDCEdit::CreateWnd();
    if (FAcceptFiles) DragAcceptFiles(Handle(), TRUE);
}

void TCustomFileDirEdit::DestroyWnd() {
    if (FAcceptFiles) DragAcceptFiles(Handle(), FALSE);
    TCustomDCEdit::DestroyWnd();
}

void TCustomFileDirEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_DROPFILES && FAcceptFiles) {
        Dropped(Message.WParam);
        Message.Result = 0;
        return;
    }
    TCustomDCEdit::Dispatch(Message);
}

std::string TCustomFileDirEdit::DropText(const std::vector<std::string>& Names) {
    return DroppedNames(Names, false, false, kFolderSeparator);
}

void TCustomFileDirEdit::Dropped(uintptr_t Drop) {
    const std::vector<std::string> Names = DropFileNames(HDROP(Drop));
    DragFinish(HDROP(Drop));
    SetEditText(DropText(Names));
    if (OnDropFiles) OnDropFiles(this);
}

// ---- the directory edit -----------------------------------------------------------------------

TDCDirectoryEdit::TDCDirectoryEdit(TComponent* AOwner) : TCustomFileDirEdit(AOwner) {
    TBitmap Glyph;
    LoadEditGlyph("DCDIRECTORYEDIT", Glyph);
    Button1()->SetGlyph(&Glyph);
}

std::string TDCDirectoryEdit::DropText(const std::vector<std::string>& Names) {
    return DroppedNames(Names, true, FMultipleDirs, kFolderSeparator);
}

void TDCDirectoryEdit::BrowseDirectory() {
    const std::string Text = GetEditText();
    std::string Folder = Text.empty() ? FInitialDir : Text.substr(Text.rfind(kFolderSeparator) + 1);
    if (!SelectDirectory(kSelectDirectoryCaption, Folder)) return;
    SetEditText(!Text.empty() && FMultipleDirs ? Text + kFolderSeparator + Folder : Folder);
}
