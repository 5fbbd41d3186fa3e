#pragma once
// The set-up wizard ("Exportieren"): prepares one RFC box of the point program for the exchange
// in four pages (directory and address, the box, the servers, done), and an error page.
#include <string>
#include <vector>

#include "app/ui/WizardConfig.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrls.h"

class TDCDirectoryEdit;
class TKestroConfig;
class TOvcAbstractStore;

// The wizard's pages by index; only the first four and the error page ever show.
enum TWizardPage { wpExportType, wpUUCPBox, wpProvider, wpMail, wpNews, wpFertig, wpError };

class TFormWizard : public TForm {
  public:
    using TForm::TForm;

    TButton* btnBack = nullptr;
    TButton* btnNext = nullptr;
    TButton* btnCancel = nullptr;
    TLabel* LabelCrosspointDir = nullptr;
    TDCDirectoryEdit* EditXPDir = nullptr;
    TEdit* EditeMail = nullptr;
    TEdit* EditRealname = nullptr;
    TEdit* EditPassword = nullptr;
    TListBox* ListBoxBoxen = nullptr;
    TLabel* LabelWarningBox = nullptr;
    TComboBox* EditPop3Server = nullptr;
    TEdit* EditPOP3Username = nullptr;
    TComboBox* EditSMTPServer = nullptr;
    TLabel* LabelError = nullptr;

    // The main window's configuration: the written file is loaded into it when it holds no
    // changes of the user's. Null when there is none.
    TKestroConfig* MainConfig = nullptr;
    // The configuration file written, empty until then.
    std::string WrittenConfig;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void btnNextClick(TObject* Sender);
    void btnBackClick(TObject* Sender);

    // Goes to Page as far as the page rules let it (they may stay, skip or write).
    void NextPage(int Page);
    int PageIndex() const { return FPage; }

  private:
    void ListBoxes();
    // Writes the files for the selected box; false (and the error page) when that failed.
    bool Write();
    void ShowPage(int Page);

    std::vector<TPanel*> FPages;
    int FPage = wpExportType;
    std::vector<TWizardBox> FBoxes;
    int FProvider = OtherProvider;
};

// Shows the wizard modally. Config is the main window's current configuration (may be null);
// Store keeps the window's place (the main window's store; may be null). True when the wizard
// wrote a box.
bool ExecuteWizard(TKestroConfig* Config, TOvcAbstractStore* Store = nullptr);

// Registers the wizard's classes with the form reader (once).
void RegisterWizardClasses();
