#include "app/ui/ViewMessageFrm.h"

#include "app/ui/FormParts.h"
#include "app/ui/Limits.h"
#include "app/ui/ViewMessageParts.h"
#include "app/ui/ViewMessageText.h"
#include "components/store/Register.h"
#include "htmlview/panel/IpHtmlRegister.h"
#include "netlib/base/IpBase.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/shell/Dialogs.h"
#include "platform/shell/ShellExecute.h"

namespace {

constexpr const char* Title = "Nachricht betrachten";
// The panel asks for the one document there is under this name.
constexpr const char* DocumentURL = "message";

}  // namespace

void TFormViewMessage::FormCreate(TObject*) {
    lbxHeader = FormPart<TListBox>(this, "lbxHeader");
    tvMimeParts = FormPart<TTreeView>(this, "tvMimeParts");
    PageControl = FormPart<TPageControl>(this, "PageControl");
    TabHtml = FormPart<TTabSheet>(this, "TabHtml");
    TabSource = FormPart<TTabSheet>(this, "TabSource");
    IpHtmlPanel = FormPart<TIpHtmlPanel>(this, "IpHtmlPanel");
    IpHtmlDataProvider1 = FormPart<TIpHtmlDataProvider>(this, "IpHtmlDataProvider1");
    RawMemo = FormPart<TMemo>(this, "RawMemo");
    ConnectProvider();
}

// Every URL the panel asks for is the message: links and frames lead nowhere else, and
// pictures come only from the message's own parts (nothing is fetched from the network).
void TFormViewMessage::ConnectProvider() {
    IpHtmlDataProvider1->OnCheckURL = [](TObject*, const std::string&, bool& Available,
                                         std::string& ContentType) {
        Available = true;
        ContentType = "text/html";
    };
    IpHtmlDataProvider1->OnGetHtml = [this](TObject*, const std::string&, TIpFormDataEntity*,
                                            std::unique_ptr<TStream>& Stream) {
        if (FLoaded)
            Stream = std::make_unique<TStringStream>(MessageDocument(FMessage, FShownBytes));
    };
    IpHtmlDataProvider1->OnGetImage = [this](TIpHtmlNode* Sender, const std::string& URL,
                                             TIpHtmlPictureRef& Picture) {
        if (TIpMimeEntity* Part = FindContentPart(FMessage, URL))
            Picture = FPictures.Picture(*Part, Sender ? Sender->Owner() : nullptr);
    };
}

void TFormViewMessage::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
}

void TFormViewMessage::ButtonCloseClick(TObject*) {
    Close();
}

void TFormViewMessage::ShowMessageFile(const std::string& FileName) {
    Show();
    FLoaded = false;
    FPictures.Clear();
    FMessage.LoadFromFile(FileName);
    FLoaded = true;
    FillHeader();
    BuildMimeTree();
    OpenDocument();
}

// A mail whose document is more than layout can hold (its element pool runs out) is shown again
// cut to what the pool always holds, with a notice that it was cut.
void TFormViewMessage::OpenDocument() {
    FShownBytes = SIZE_MAX;
    try {
        IpHtmlPanel->OpenDocument(DocumentURL);
    } catch (const EIpHtmlException&) {
        const size_t Bound = UiLimits::kMaxShownDocumentBytes;
        if (MessageDocument(FMessage).size() <= Bound) throw;
        FShownBytes = Bound;
        IpHtmlPanel->OpenDocument(DocumentURL);
    }
}

void TFormViewMessage::FillHeader() {
    TStrings* Items = lbxHeader->Items();
    Items->BeginUpdate();
    Items->Clear();
    for (const std::string& Line : MessageHeaderLines(FMessage)) Items->Add(Line);
    Items->EndUpdate();
}

void TFormViewMessage::BuildMimeTree() {
    TTreeNodes* Nodes = tvMimeParts->Items();
    Nodes->BeginUpdate();
    Nodes->Clear();
    if (FMessage.IsMime) {
        TTreeNode* Root = Nodes->AddObject(nullptr, MediaTypeText(FMessage), &FMessage);
        for (int I = 0; I < FMessage.Parts.Count(); ++I) AddMimeNode(Root, FMessage.Parts.Items(I));
        Root->Expand(true);
    }
    Nodes->EndUpdate();
}

void TFormViewMessage::AddMimeNode(TTreeNode* Parent, TIpMimeEntity* Part) {
    TTreeNode* Node = tvMimeParts->Items()->AddChildObject(Parent, MimeNodeCaption(*Part), Part);
    for (int I = 0; I < Part->Parts.Count(); ++I) AddMimeNode(Node, Part->Parts.Items(I));
    Node->Expand(true);
}

TIpMimeEntity* TFormViewMessage::SelectedPart() const {
    TTreeNode* Node = tvMimeParts->Selected();
    return Node ? static_cast<TIpMimeEntity*>(Node->Data()) : nullptr;
}

void TFormViewMessage::SaveClick(TObject*) {
    TIpMimeEntity* Part = SelectedPart();
    if (!Part) return;
    TFileDialogRequest Request;
    Request.Kind = TFileDialogKind::Save;
    Request.FileName = AttachmentSavePreset(*Part);
    // A file of the user's is not replaced without asking.
    Request.OverwritePrompt = true;
    const TFileDialogAnswer Answer = ExecuteFileDialog(Request);
    if (Answer.Accepted && !Answer.FileName().empty()) DecodeAttachment(*Part, Answer.FileName());
}

void TFormViewMessage::OpenClick(TObject*) {
    TIpMimeEntity* Part = SelectedPart();
    if (!Part) return;
    const std::string Name = AttachmentBareName(*Part);
    if (Name.empty()) {
        ShowMessage("Dieser MIME-Teil ist kein Dateianhang");
        return;
    }
    // The name comes from the sender: it must not reach outside the private folder, nor name
    // the folder itself.
    if (!UsableAttachmentName(Name)) {
        MessageBox("Der Name des Dateianhangs ist als Dateiname nicht zulässig: \"" + Name +
                       "\". Speichern Sie den Anhang unter einem anderen Namen.",
                   Title, MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string Folder = AttachmentFolder();
    const std::string Path = Folder + Name;
    DecodeAttachment(*Part, Path);
    if (ShellExecute(Handle(), "open", Path, "", Folder, SW_SHOWNORMAL) <= 32)
        MessageBox("Die Datei \"" + Path + "\" konnte nicht geöffnet werden.", Title,
                   MB_OK | MB_ICONWARNING);
}

void TFormViewMessage::PartSourceClick(TObject*) {
    if (TIpMimeEntity* Part = SelectedPart()) ShowSource(RawBodyLines(*Part));
}

void TFormViewMessage::MessageSourceClick(TObject*) {
    ShowSource(RawMessageLines(FMessage));
}

void TFormViewMessage::ShowSource(const std::vector<std::string>& Lines) {
    TStrings* Memo = RawMemo->Lines();
    Memo->BeginUpdate();
    Memo->Clear();
    for (const std::string& Line : Lines) Memo->Add(Line);
    Memo->EndUpdate();
    PageControl->SetActivePage(TabSource);
}

void RegisterViewMessageClasses() {
    static const bool Done = [] {
        RegisterHtmlViewClasses();
        RegisterStoreClasses();
        RegisterClass<TFormViewMessage, TForm>("TFormViewMessage")
            .Method("FormCreate", &TFormViewMessage::FormCreate)
            .Method("FormClose", &TFormViewMessage::FormClose)
            .Method("ButtonCloseClick", &TFormViewMessage::ButtonCloseClick)
            .Method("SaveClick", &TFormViewMessage::SaveClick)
            .Method("OpenClick", &TFormViewMessage::OpenClick)
            .Method("PartSourceClick", &TFormViewMessage::PartSourceClick)
            .Method("MessageSourceClick", &TFormViewMessage::MessageSourceClick);
        return true;
    }();
    (void)Done;
}

TFormViewMessage* ShowMessageViewer(const std::string& FileName, TOvcAbstractStore* Store) {
    RegisterViewMessageClasses();
    auto* Viewer = CreateForm<TFormViewMessage>(&Forms);
    UseFormStateStore(Viewer, Store);
    Viewer->ShowMessageFile(FileName);
    return Viewer;
}
