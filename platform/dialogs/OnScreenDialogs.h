#pragma once
// The dialog service on the screen (see platform/shell/Dialogs.h for who answers when): message
// boxes, the open and save dialogs and the folder browser of this library, each run on the
// program's own modal loop.
#include "platform/shell/Dialogs.h"

class TOnScreenDialogService : public TDialogService {
  public:
    int MessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags) override;
    TFileDialogAnswer FileDialog(const TFileDialogRequest& Request) override;
    TFolderDialogAnswer BrowseForFolder(const TFolderDialogRequest& Request) override;
};

// Installs TOnScreenDialogService as the service for the display (SetOnScreenDialogService);
// the class library's application object calls it when it starts. Later calls do nothing.
void InstallOnScreenDialogs();
