#pragma once
// The folder browser component and SelectDirectory over it, on the platform's folder dialog
// (platform/shell/Dialogs.h).
//
// Root names a place of the desktop by its shell folder number; here each stands for the folder
// of this platform that serves the same purpose (the user's documents, desktop, templates, ...),
// and those without one (printers, the control panel, the network) for the whole file system.
#include <string>

#include "platform/forms/Component.h"
#include "platform/forms/Set.h"

enum TDCPathDialogRoot {
    pdrNone,
    pdrBitBucket,
    pdrControls,
    pdrDesktop,
    pdrDesktopDirectory,
    pdrDrives,
    pdrFonts,
    pdrNetHood,
    pdrNetwork,
    pdrPersonal,
    pdrPrinters,
    pdrPrograms,
    pdrRecent,
    pdrSendto,
    pdrStartmenu,
    pdrStartup,
    pdrTemplates,
};

enum TDCPathDialogFlag {
    pdfBrowseForComputer,
    pdfBrowseForPrinter,
    pdfDontGoBelowDomain,
    pdfReturnfsAncestors,
    pdfReturnOnlyFSDirs,
};
using TDCPathDialogFlags = TSet<TDCPathDialogFlag>;

// The shell folder number a root stands for, and the folder of this platform it opens at (empty:
// the whole file system).
int RootFolderNumber(TDCPathDialogRoot Root);
std::string RootFolder(TDCPathDialogRoot Root);
// The folder browser's flag bits for a set of flags.
uint32_t BrowseFlags(TDCPathDialogFlags Flags);

class TDCPathDialog : public TComponent {
  public:
    using TComponent::TComponent;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    // The folder selected when the browser opens, and the one chosen after it was closed with a
    // choice. Set empty, it is the working directory; one trailing path delimiter is dropped.
    const std::string& SelectedItem() const { return FSelectedItem; }
    void SetSelectedItem(const std::string& Value);
    TDCPathDialogRoot Root() const { return FRoot; }
    void SetRoot(TDCPathDialogRoot Value) { FRoot = Value; }
    TDCPathDialogFlags Flags() const { return FFlags; }
    void SetFlags(TDCPathDialogFlags Value) { FFlags = Value; }

    // Runs the browser (modal); true when a folder was chosen.
    bool Execute();

  private:
    std::string FTitle;
    std::string FSelectedItem;
    TDCPathDialogRoot FRoot = pdrNone;
    TDCPathDialogFlags FFlags{pdfReturnOnlyFSDirs};
};

// Runs a browser titled Caption that opens at Directory; on a choice Directory becomes the
// chosen folder and the answer is true.
bool SelectDirectory(const std::string& Caption, std::string& Directory);
