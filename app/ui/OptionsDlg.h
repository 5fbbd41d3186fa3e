#pragma once
// The options dialog ("Kestro Konfiguration"): the program-wide settings (run log, debug logs,
// time server, thread maximum). "OK" takes them over and saves them to the registry. The dialog
// keeps its place on the screen in the main window's store.
#include "app/engine/KestroGlobal.h"
#include "components/store/OvcFormState.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TFormEditGlobal : public TForm {
  public:
    // Store: where the dialog's place on the screen is kept (none: it opens centred each time).
    TFormEditGlobal(TComponent* AOwner, TOvcAbstractStore* Store);

    // Fills the controls from Settings, shows the first page and runs the dialog; on "OK" the
    // values go into Settings, which are saved to the registry. True then.
    bool Execute(TGlobalConfig& Settings);

    void LoadSettings(const TGlobalConfig& Settings);
    // The controls' values into Settings, then Settings into the registry.
    void SaveSettings(TGlobalConfig& Settings);

    TPageControl* PageControl = nullptr;
    TCheckBox* CheckBoxEventLog = nullptr;
    TCheckBox* CheckBoxDebugLog = nullptr;
    TComboBox* EditTimeServer = nullptr;
    TEdit* EditMaxThreads = nullptr;
    TOvcFormState* FormState = nullptr;

    void FormCreate(TObject* Sender);

  private:
    TOvcAbstractStore* FStore;
};

// Registers the dialog's class and what its definition holds. Calling it again does nothing.
void RegisterOptionsDlg();

// The main window's "&Optionen..." command: the options dialog for Settings (the program's
// GlobalConfig), owned by Owner, its place kept in Store (the main window's store; none: not
// kept). True when the settings were taken over and saved.
bool EditOptions(TGlobalConfig& Settings, TComponent* Owner, TOvcAbstractStore* Store);
