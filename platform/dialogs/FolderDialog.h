#pragma once
// The folder browser: the request's title above a tree of folders that starts at its root (the
// whole file system without one) and opens on the folder selected at the start (the working
// directory when none is given). A folder's subfolders are read when it is first expanded. OK
// answers the selected folder; it is enabled only while a folder is selected.
#include <string>
#include <vector>

#include "platform/controls/TreeView.h"
#include "platform/dialogs/DialogWindow.h"
#include "platform/shell/Dialogs.h"

class TFolderDialog : public TDialogWindow {
  public:
    explicit TFolderDialog(const TFolderDialogRequest& Request);

    // After RunModal gave IDOK.
    const TFolderDialogAnswer& Answer() const { return FAnswer; }

    enum : UINT { kTitleLabel = 0x3742, kFolderTree = 0x3741 };

  protected:
    SIZE Build() override;
    void Command(WORD Id, WORD Code, HWND Control) override;
    LRESULT Notify(NMHDR& Header) override;
    HWND FirstFocus() override;

  private:
    HTREEITEM AddNode(HTREEITEM Parent, const std::string& Path, const std::string& Text);
    // Reads a node's subfolders once.
    void Fill(HTREEITEM Node);
    // Expands the tree down to Path (under the root) and selects the deepest folder found.
    void Reveal(const std::string& Path);
    HTREEITEM SelectedNode() const;
    const std::string* PathOf(HTREEITEM Node) const;

    TFolderDialogRequest FRequest;
    std::string FRoot;
    // The folder of each node (the node's item data is its index here) and whether it was read.
    std::vector<std::string> FPaths;
    std::vector<bool> FFilled;
    TFolderDialogAnswer FAnswer;
};
