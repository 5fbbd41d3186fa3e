#pragma once
// The dial-up connection dialog ("Verbindung"): one entry of the command provider's phonebook
// file (phonebook.ini), its number, user, password and the shell commands that connect, hang up
// and ask for the line's state. It reads the file as the dialer does (PhonebookText.h): it shows
// what a dial runs, and "OK" changes the lines the dial reads; every other line of the file stays
// as it was.
#include <cstdint>
#include <string>

#include "netlib/ras/provider/Phonebook.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TFormPhonebookEntry : public TForm {
  public:
    using TForm::TForm;

    // Shows the entry Name of the file (none: a new entry, whose name is typed in) and writes it
    // on "OK". 0 when written or cancelled; ERROR_CANNOT_OPEN_PHONEBOOK when the file could not
    // be read or written (the user was told, the file is unchanged).
    uint32_t Execute(const std::string& Path, const std::string* Name);

    // The entry's values into the controls.
    void LoadEntry(const TPhonebookEntry& Entry);
    // The reason the values cannot be written (UTF-8), with the control focused; empty when
    // they can.
    std::string CheckEntry();
    // The phonebook's text with the entry's values; an empty field removes its key.
    std::string SaveEntry(const std::string& Text);

    TEdit* EditName = nullptr;

    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);

  private:
    // The phonebook as it was read when the dialog opened (for the check of a new name).
    const TPhonebook* FBook = nullptr;
    bool FNewEntry = false;
};

// Registers the dialog's class and what its definition holds. Calling it again does nothing.
void RegisterPhonebookEntryDlg();

// Makes the command provider's two phonebook dialogs open this one. Calling it again does
// nothing.
void UsePhonebookEntryDialog();

// The entry of the phonebook file Path (none: a new entry), in the dialog owned by Owner.
uint32_t EditPhonebookEntryDialog(const std::string& Path, const std::string* Name,
                                  TComponent* Owner);
