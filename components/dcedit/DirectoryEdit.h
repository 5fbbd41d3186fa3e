#pragma once
// The directory edit: an edit control with buttons whose one visible button browses for a
// folder, and onto which files and folders may be dropped.
//
// Browsing starts at the folder after the text's last ";" (the whole text when it has none), or
// at InitialDir when the text is empty. The chosen folder replaces the text, or, with
// MultipleDirs and a text already there, is appended after a ";". A drop (while AcceptFiles is
// set) gives each dropped folder, and for each dropped file its folder; with MultipleDirs all of
// them joined by ";", else the first.
#include <string>
#include <vector>

#include "components/dcedit/DCEdit.h"

// The caption of the folder browser.
inline constexpr const char* kSelectDirectoryCaption = "Select Directory";

// What a drop of Names gives as text: each name, or with AsDirectories its folder (a name that
// is a folder stands for itself, a file for the path up to its last delimiter); all joined by
// Separator when Multiple, else the first alone.
std::string DroppedNames(const std::vector<std::string>& Names, bool AsDirectories, bool Multiple,
                         char Separator);

// Folder names: a delimiter appended to a folder that has none at its end (an empty text stays
// empty); this platform's counterparts of the system, Windows and program-files folders, each
// with a trailing delimiter.
std::string AddFolderDelimiter(const std::string& Folder);
std::string SystemFolder();
std::string WindowsFolder();
std::string ProgramFilesFolder();

class TCustomFileDirEdit : public TCustomDCEdit {
  public:
    explicit TCustomFileDirEdit(TComponent* AOwner);

    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool Value);
    virtual void BrowseDirectory() = 0;

    TNotifyEvent OnDropFiles;

  protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    // The text a drop of these names gives.
    virtual std::string DropText(const std::vector<std::string>& Names);

  private:
    void Dropped(uintptr_t Drop);

    bool FAcceptFiles = false;
};

class TDCDirectoryEdit : public TCustomFileDirEdit {
  public:
    explicit TDCDirectoryEdit(TComponent* AOwner);

    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    // Kept for form definitions; the browser's text does not depend on it.
    const std::string& DialogText() const { return FDialogText; }
    void SetDialogText(const std::string& Value) { FDialogText = Value; }
    bool MultipleDirs() const { return FMultipleDirs; }
    void SetMultipleDirs(bool Value) { FMultipleDirs = Value; }

    void BrowseDirectory() override;

  protected:
    std::string DropText(const std::vector<std::string>& Names) override;

  private:
    std::string FInitialDir;
    std::string FDialogText;
    bool FMultipleDirs = false;
};
