#include "app/ui/Wizard.h"

#include "app/engine/KestroGlobal.h"
#include "app/engine/bfgconfig.h"
#include "app/ui/FormParts.h"
#include "app/ui/UiPictures.h"
#include "components/dcedit/DirectoryEdit.h"
#include "components/dcedit/Register.h"
#include "components/store/Register.h"
#include "platform/controls/Controls.h"
#include "platform/forms/ClassRegistry.h"

namespace {

// The pages in the order of their indexes.
constexpr const char* PageNames[] = {"ExportType", "UUCPBox", "Provider", "Mail",
                                     "News",       "Fertig",  "Error"};

// Suggestions of the provider page: the servers of the providers the wizard knows.
void SuggestServers(TComboBox* Pop3, TComboBox* Smtp) {
    for (const TWizardProvider& P : KnownProviders) {
        Pop3->Items()->Add(P.Pop3Server);
        Smtp->Items()->Add(P.SmtpServer);
    }
}

}  // namespace

void TFormWizard::FormCreate(TObject*) {
    for (const char* Name : PageNames) FPages.push_back(FormPart<TPanel>(this, Name));
    btnBack = FormPart<TButton>(this, "btnBack");
    btnNext = FormPart<TButton>(this, "btnNext");
    btnCancel = FormPart<TButton>(this, "btnCancel");
    LabelCrosspointDir = FormPart<TLabel>(this, "LabelCrosspointDir");
    EditXPDir = FormPart<TDCDirectoryEdit>(this, "EditXPDir");
    EditeMail = FormPart<TEdit>(this, "EditeMail");
    EditRealname = FormPart<TEdit>(this, "EditRealname");
    EditPassword = FormPart<TEdit>(this, "EditPassword");
    ListBoxBoxen = FormPart<TListBox>(this, "ListBoxBoxen");
    LabelWarningBox = FormPart<TLabel>(this, "LabelWarningBox");
    EditPop3Server = FormPart<TComboBox>(this, "EditPop3Server");
    EditPOP3Username = FormPart<TEdit>(this, "EditPOP3Username");
    EditSMTPServer = FormPart<TComboBox>(this, "EditSMTPServer");
    LabelError = FormPart<TLabel>(this, "LabelError");
    SuggestServers(EditPop3Server, EditSMTPServer);
    FormPart<TImage>(this, "Picture")
        ->Picture()
        ->Bitmap()
        .SetImage(WizardPicture(qRgb(0, 128, 128)));

    GlobalConfig.LoadFromRegistry();
    EditXPDir->SetEditText(GlobalConfig.CrosspointDir);
    EditRealname->SetText(GlobalConfig.Realname);
    EditeMail->SetText(GlobalConfig.eMail);
    ShowPage(wpExportType);
}

// Whatever closed the wizard, the directory, name and address are kept for the next time.
void TFormWizard::FormDestroy(TObject*) {
    GlobalConfig.CrosspointDir = EditXPDir->GetEditText();
    GlobalConfig.Realname = EditRealname->Text();
    GlobalConfig.eMail = EditeMail->Text();
    GlobalConfig.SaveToRegistry();
}

void TFormWizard::btnNextClick(TObject*) {
    NextPage(PageIndex() + 1);
}

void TFormWizard::btnBackClick(TObject*) {
    if (PageIndex() > 0) NextPage(PageIndex() - 1);
}

void TFormWizard::ListBoxes() {
    ListBoxBoxen->Items()->Clear();
    FBoxes = ListWizardBoxes(EditXPDir->GetEditText());
    for (const TWizardBox& Box : FBoxes) ListBoxBoxen->Items()->Add(Box.Name);
    if (!FBoxes.empty()) ListBoxBoxen->SetItemIndex(0);
}

void TFormWizard::NextPage(int Page) {
    const int From = PageIndex();
    LabelWarningBox->SetVisible(false);
    if (Page == wpUUCPBox) {
        ListBoxes();
        LabelCrosspointDir->Font()->SetColor(FBoxes.empty() ? clRed : clBlack);
        if (FBoxes.empty()) return;
    }
    if (Page == wpProvider) {
        if (ListBoxBoxen->ItemIndex() < 0) {
            LabelWarningBox->SetVisible(true);
            return;
        }
        FProvider = DetectProvider(EditeMail->Text());
        if (FProvider != OtherProvider) Page = Write() ? wpMail : wpError;
    } else if (Page == wpMail && From == wpProvider) {
        Page = Write() ? wpMail : wpError;
    }
    ShowPage(Page);
}

void TFormWizard::ShowPage(int Page) {
    FPage = Page;
    // The new page shows before the others hide, so a focus on the page left goes on to it.
    if (Page >= 0 && size_t(Page) < FPages.size()) FPages[size_t(Page)]->SetVisible(true);
    for (size_t I = 0; I < FPages.size(); ++I)
        if (int(I) != Page) FPages[I]->SetVisible(false);
    btnBack->SetEnabled(Page != wpExportType && Page < wpMail);
    btnNext->SetEnabled(Page < wpMail);
    if (Page >= wpMail) {
        btnCancel->SetCaption("Beenden");
        FocusControl(btnCancel);
    }
}

bool TFormWizard::Write() {
    TWizardInput Input;
    Input.PointDir = EditXPDir->GetEditText();
    Input.EMail = EditeMail->Text();
    Input.Password = EditPassword->Text();
    Input.Provider = FProvider;
    Input.Pop3Server = EditPop3Server->Text();
    Input.Pop3User = EditPOP3Username->Text();
    Input.SmtpServer = EditSMTPServer->Text();
    try {
        WrittenConfig =
            WriteConfiguration(Input, FBoxes[size_t(ListBoxBoxen->ItemIndex())].FileName);
        if (MainConfig && !MainConfig->Modified) {
            // Read apart first: a file that cannot be read leaves the window's box as it was.
            TKestroConfig Loaded;
            Loaded.Load(WrittenConfig, false);
            *MainConfig = Loaded;
        }
        return true;
    } catch (const std::exception& E) {
        LabelError->SetCaption(E.what());
        return false;
    }
}

void RegisterWizardClasses() {
    static const bool Done = [] {
        RegisterDCEditClasses();
        RegisterStoreClasses();
        RegisterClass<TFormWizard, TForm>("TFormWizard")
            .Method("FormCreate", &TFormWizard::FormCreate)
            .Method("FormDestroy", &TFormWizard::FormDestroy)
            .Method("btnNextClick", &TFormWizard::btnNextClick)
            .Method("btnBackClick", &TFormWizard::btnBackClick);
        return true;
    }();
    (void)Done;
}

bool ExecuteWizard(TKestroConfig* Config, TOvcAbstractStore* Store) {
    RegisterWizardClasses();
    auto* Wizard = CreateForm<TFormWizard>(&Forms);
    Wizard->MainConfig = Config;
    UseFormStateStore(Wizard, Store);
    Wizard->ShowModal();
    const bool Written = !Wizard->WrittenConfig.empty();
    Wizard->Free();
    return Written;
}
