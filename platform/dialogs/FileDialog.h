#pragma once
// The open and save dialogs: the folder shown ("Look in" with the folders above it, and a button
// one level up), the list of its folders and of the files that match the type chosen (names,
// sizes, dates), the name field and the file type list from the request's filter. A double
// click (or Enter) on a folder opens it, Backspace goes up; a double click on a file chooses
// it. What the name field holds on OK is judged by ChooseFiles: a folder is opened, patterns
// list the folder by them, a refused name is explained in a message box, and a save over an
// existing file asks first when the request wants the question (No keeps the dialog open).
#include <string>
#include <vector>

#include "platform/dialogs/DialogWindow.h"
#include "platform/dialogs/FolderListing.h"
#include "platform/shell/Dialogs.h"

class TFileDialog : public TDialogWindow {
  public:
    explicit TFileDialog(const TFileDialogRequest& Request);

    // After RunModal gave IDOK: the chosen files and the filter index.
    const TFileDialogAnswer& Answer() const { return FAnswer; }
    // The folder shown (UTF-8).
    const std::string& Folder() const { return FFolder; }

    // The ids of the controls, for tests that look at them.
    enum : UINT {
        kFolderLabel = 0x441,
        kFolderBox = 0x471,
        kUpButton = 0x472,
        kFileList = 0x460,
        kNameLabel = 0x442,
        kNameEdit = 0x480,
        kTypeLabel = 0x443,
        kTypeBox = 0x470,
    };

  protected:
    SIZE Build() override;
    void Command(WORD Id, WORD Code, HWND Control) override;
    LRESULT Notify(NMHDR& Header) override;
    HWND FirstFocus() override;

  private:
    struct TFilter {
        std::string Description;
        std::string Patterns;
    };

    void BuildControls(int Width);
    // Shows Path (refused with a message when it is not a folder); true when it did.
    bool Navigate(const std::string& Path);
    void FillFolderBox();
    void FillList();
    void TypeChosen();
    // The selected entries of the list (indexes into FEntries).
    std::vector<size_t> Selected() const;
    void SelectionToName();
    // The entry under Index of the list was activated (double click, Enter on a folder).
    void Open(size_t Entry);
    void Accept();
    bool ConfirmReplace(const std::string& File);
    // The names of the name field, those that name a listed entry given its real bytes.
    std::vector<std::string> TypedNames() const;
    std::string Patterns() const;

    TFileDialogRequest FRequest;
    std::vector<TFilter> FFilters;
    std::string FFolder;
    // Patterns typed into the name field; they list the folder until another type is chosen.
    std::string FTypedPatterns;
    std::vector<TFolderEntry> FEntries;
    std::vector<std::string> FFolderChain;
    TFileDialogAnswer FAnswer;
    bool FFilling = false;
};
