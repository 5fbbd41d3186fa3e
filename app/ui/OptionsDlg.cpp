#include "app/ui/OptionsDlg.h"

#include "app/ui/FormParts.h"
#include "app/ui/SettingsFields.h"
#include "components/htmlhint/Register.h"
#include "components/store/Register.h"
#include "platform/forms/ClassRegistry.h"

TFormEditGlobal::TFormEditGlobal(TComponent* AOwner, TOvcAbstractStore* Store)
    : TForm(AOwner), FStore(Store) {}

void TFormEditGlobal::FormCreate(TObject*) {
    PageControl = FormPart<TPageControl>(this, "PageControl");
    CheckBoxEventLog = FormPart<TCheckBox>(this, "CheckBoxEventLog");
    CheckBoxDebugLog = FormPart<TCheckBox>(this, "CheckBoxDebugLog");
    EditTimeServer = FormPart<TComboBox>(this, "EditTimeServer");
    EditMaxThreads = FormPart<TEdit>(this, "EditMaxThreads");
    FormState = FormPart<TOvcFormState>(this, "FormState");
    // The form-state component restores right after this handler, from this store.
    FormState->SetStorage(FStore);
}

void TFormEditGlobal::LoadSettings(const TGlobalConfig& Settings) {
    CheckBoxEventLog->SetChecked(Settings.EventLog);
    CheckBoxDebugLog->SetChecked(Settings.DebugLog);
    EditTimeServer->SetText(Settings.TimeServer);
    EditMaxThreads->SetText(std::to_string(Settings.MaxThreads));
}

void TFormEditGlobal::SaveSettings(TGlobalConfig& Settings) {
    Settings.EventLog = CheckBoxEventLog->Checked();
    Settings.DebugLog = CheckBoxDebugLog->Checked();
    Settings.TimeServer = SingleLine(EditTimeServer->Text());
    Settings.MaxThreads = MaxThreadsFromText(EditMaxThreads->Text());
    Settings.SaveToRegistry();
}

bool TFormEditGlobal::Execute(TGlobalConfig& Settings) {
    LoadSettings(Settings);
    PageControl->SetActivePage(PageControl->Pages(0));
    if (ShowModal() != mrOk) return false;
    SaveSettings(Settings);
    return true;
}

void RegisterOptionsDlg() {
    static const bool Done = [] {
        RegisterStoreClasses();
        RegisterClass<TFormEditGlobal, TForm>("TFormEditGlobal")
            .Method("FormCreate", &TFormEditGlobal::FormCreate);
        return true;
    }();
    (void)Done;
}

bool EditOptions(TGlobalConfig& Settings, TComponent* Owner, TOvcAbstractStore* Store) {
    RegisterOptionsDlg();
    TFormEditGlobal* Form = CreateForm<TFormEditGlobal>(Owner, Store);
    struct TFree {
        TFormEditGlobal* Form;
        ~TFree() { Form->Free(); }
    } Free{Form};
    return Form->Execute(Settings);
}
