#include "platform/dialogs/OnScreenDialogs.h"

#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/FolderDialog.h"
#include "platform/dialogs/MessageBoxDialog.h"

int TOnScreenDialogService::MessageBox(const std::string& Text, const std::string& Caption,
                                       uint32_t Flags) {
    TMessageBoxDialog Box(Text, Caption, Flags);
    return Box.RunModal();
}

TFileDialogAnswer TOnScreenDialogService::FileDialog(const TFileDialogRequest& Request) {
    TFileDialog Dialog(Request);
    if (Dialog.RunModal() != IDOK) return {};
    return Dialog.Answer();
}

TFolderDialogAnswer TOnScreenDialogService::BrowseForFolder(const TFolderDialogRequest& Request) {
    TFolderDialog Dialog(Request);
    if (Dialog.RunModal() != IDOK) return {};
    return Dialog.Answer();
}

void InstallOnScreenDialogs() {
    static const bool Installed = [] {
        SetOnScreenDialogService(std::make_unique<TOnScreenDialogService>());
        return true;
    }();
    (void)Installed;
}
