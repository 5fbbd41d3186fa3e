#pragma once
// The message viewer ("Nachricht betrachten"): one received mail file with its main header
// lines, the tree of its MIME parts and its body on the HTML panel; attachments can be saved
// or opened, and the raw text of the message or of a part looked at. Modeless; it frees itself
// when it closes.
#include <cstdint>
#include <string>
#include <vector>

#include "app/ui/MessagePictures.h"
#include "htmlview/panel/IpBroker.h"
#include "htmlview/panel/IpHtmlPanel.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrls.h"

class TOvcAbstractStore;

class TFormViewMessage : public TForm {
  public:
    using TForm::TForm;

    TListBox* lbxHeader = nullptr;
    TTreeView* tvMimeParts = nullptr;
    TPageControl* PageControl = nullptr;
    TTabSheet* TabHtml = nullptr;
    TTabSheet* TabSource = nullptr;
    TIpHtmlPanel* IpHtmlPanel = nullptr;
    TIpHtmlDataProvider* IpHtmlDataProvider1 = nullptr;
    TMemo* RawMemo = nullptr;

    // Shows the window (not modal) and loads the file into it. A file that cannot be read
    // raises; the window stays open with what was filled.
    void ShowMessageFile(const std::string& FileName);
    TIpMailMessage& Message() { return FMessage; }

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ButtonCloseClick(TObject* Sender);
    // The tree's popup: on the selected part (nothing without one).
    void SaveClick(TObject* Sender);
    void OpenClick(TObject* Sender);
    void PartSourceClick(TObject* Sender);
    // The header list's popup: the whole message as it came.
    void MessageSourceClick(TObject* Sender);

    void BuildMimeTree();

  private:
    void FillHeader();
    void AddMimeNode(TTreeNode* Parent, TIpMimeEntity* Part);
    TIpMimeEntity* SelectedPart() const;
    void ShowSource(const std::vector<std::string>& Lines);
    void ConnectProvider();
    void OpenDocument();

    TIpMailMessage FMessage;
    TMessagePictures FPictures;
    bool FLoaded = false;
    // The most of the message's document the panel gets (all of it unless it could not be
    // laid out whole).
    size_t FShownBytes = SIZE_MAX;
};

// Opens a new viewer on the mail file FileName, shown modeless; Store keeps the window's place
// (may be null). The viewer frees itself when it closes. Raises when the file cannot be read
// (the viewer stays open).
TFormViewMessage* ShowMessageViewer(const std::string& FileName, TOvcAbstractStore* Store);

void RegisterViewMessageClasses();
