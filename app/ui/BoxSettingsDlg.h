#pragma once
// The box settings dialog ("Konfiguration"): the servers, dial-up, attachment and dupe settings
// of the box open in the main window, on six pages. The values go into the controls before the
// dialog shows and back into the box only when the user confirms with "OK" or "&Speichern" (which
// then also writes the box's file); a value that cannot be taken keeps the dialog open.
//
// The phonebook buttons hand the connection to the dial-up provider's own editing (for the
// command provider: the entry's section of phonebook.ini in PhonebookEntryDlg.h).
#include <functional>
#include <string>
#include <vector>

#include "app/engine/bfgconfig.h"
#include "netlib/ras/IpRas.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TFormEditConfig : public TForm {
  public:
    explicit TFormEditConfig(TComponent* AOwner);

    // Fills the controls, shows the first page and runs the dialog. On "OK" and "&Speichern" the
    // values are taken into Config; "&Speichern" then runs SaveConfig (the main window's command
    // that writes the box to its file; Config.Save() when none is given). The modal result: mrOk,
    // mrYes ("&Speichern") or mrCancel.
    TModalResult Execute(TKestroConfig& Config, const std::function<void()>& SaveConfig = {});

    // The box's values into the controls; the connection list is read from the phonebook, and the
    // enabling rules run.
    void LoadFromConfig(const TKestroConfig& Config);
    // The controls' values into Config, which is marked as modified. Every field is checked
    // first: a number that cannot be taken raises EConvertError with the reason, and Config is
    // left as it was.
    void SaveToConfig(TKestroConfig& Config);
    // The reason the values cannot be taken now (UTF-8), with the page of the first bad field
    // shown and its control focused; empty when they can.
    std::string CheckFields();

    TPageControl* PageControl = nullptr;
    TButton* ButtonOK = nullptr;
    TButton* ButtonCancel = nullptr;
    TButton* ButtonSave = nullptr;
    TCheckBox* CheckBoxDial = nullptr;
    TCheckBox* CheckBoxHangup = nullptr;
    TCheckBox* CheckBoxExtractAttach = nullptr;
    TCheckBox* CheckBoxPop3Keep = nullptr;
    TComboBox* EditConnection = nullptr;
    TButton* ButtonNewConnection = nullptr;
    TButton* ButtonEditConnection = nullptr;
    // Used only for the phonebook: its entries and its two dialogs.
    TIpRasDialer RasDialer;

    // Handlers the definition binds.
    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void CheckBoxDialClick(TObject* Sender);
    void CheckBoxHangupClick(TObject* Sender);
    void CheckBoxMimeClick(TObject* Sender);
    void CheckBoxPop3KeepClick(TObject* Sender);
    void ButtonNewConnectionClick(TObject* Sender);
    void ButtonEditConnectionClick(TObject* Sender);

  private:
    void EnableControls(const std::vector<std::string>& Names, bool Enabled);
    void FillConnections(const std::string& DialName);
    // The controls' values into Config, field by field; the first number that cannot be taken
    // ends it with the reason, BadControl its control.
    std::string TakeFields(TKestroConfig& Config, TControl*& BadControl) const;
};

// Registers the dialog's class and what its definition holds. Calling it again does nothing.
void RegisterBoxSettingsDlg();

// The main window's "&Konfiguration..." command: the dialog for Config (the box open in the main
// window), owned by Owner while it shows. True when the values were taken over ("OK" or
// "&Speichern"); "&Speichern" has then also run SaveConfig (Config.Save() when none is given).
bool EditBoxSettings(TKestroConfig& Config, TComponent* Owner,
                     const std::function<void()>& SaveConfig = {});
