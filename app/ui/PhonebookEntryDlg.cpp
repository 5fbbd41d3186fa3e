#include "app/ui/PhonebookEntryDlg.h"

#include <algorithm>
#include <cctype>

#include "app/ui/FormParts.h"
#include "app/ui/SettingsFields.h"
#include "netlib/ras/provider/CommandProvider.h"
#include "netlib/ras/provider/Limits.h"
#include "netlib/ras/provider/PhonebookText.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/shell/Dialogs.h"

namespace {

// The keys the dialog edits, each with its edit, its caption for messages (UTF-8) and the
// entry's text of it. Other keys of the entry stay as they are.
struct TEntryField {
    const char* Control;
    const char* Key;
    const char* Caption;
    std::string TPhonebookEntry::*Text;
};

const TEntryField EntryFields[] = {
    {"EditPhoneNumber", "PhoneNumber", "Rufnummer", &TPhonebookEntry::PhoneNumber},
    {"EditUserName", "UserName", "Benutzername", &TPhonebookEntry::UserName},
    {"EditPassword", "Password", "Passwort", &TPhonebookEntry::Password},
    {"EditConnect", "Connect", "Verbinden", &TPhonebookEntry::Connect},
    {"EditDisconnect", "Disconnect", "Trennen", &TPhonebookEntry::Disconnect},
    {"EditStatus", "Status", "Status", &TPhonebookEntry::Status},
    {"EditTimeout", "Timeout", "Zeitlimit", &TPhonebookEntry::Timeout},
};

bool SameIgnoringCase(const std::string& A, const std::string& B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) ==
                      std::tolower(static_cast<unsigned char>(Y));
           });
}

constexpr const char* kCaption = "Verbindung";

std::string Trimmed(std::string Text) {
    const size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos) return {};
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

}  // namespace

void TFormPhonebookEntry::FormCreate(TObject*) {
    EditName = FormPart<TEdit>(this, "EditName");
    for (const TEntryField& F : EntryFields) FormPart<TEdit>(this, F.Control);
}

void TFormPhonebookEntry::LoadEntry(const TPhonebookEntry& Entry) {
    EditName->SetText(Entry.Name);
    for (const TEntryField& F : EntryFields)
        FormPart<TEdit>(this, F.Control)->SetText(Entry.*F.Text);
}

std::string TFormPhonebookEntry::CheckEntry() {
    const auto Refuse = [this](TEdit* Edit, const std::string& Why) {
        FocusControl(Edit);
        return Why;
    };
    const std::string Name = Trimmed(SingleLine(EditName->Text()));
    if (Name.empty())
        return Refuse(EditName, "Bitte einen Namen f\xC3\xBCr die Verbindung eingeben.");
    if (Name.find_first_of("[]") != std::string::npos)
        return Refuse(EditName, "Der Name darf keine eckigen Klammern enthalten.");
    // A second entry of the same name would be written into the first; one that differs only in
    // case would be a second connection hard to tell from the first.
    const auto Taken = [&](const TPhonebookEntry& Entry) {
        return SameIgnoringCase(Entry.Name, Name);
    };
    if (FNewEntry && FBook && std::any_of(FBook->Entries().begin(), FBook->Entries().end(), Taken))
        return Refuse(EditName,
                      "Eine Verbindung \xE2\x80\x9E" + Name + "\xE2\x80\x9C gibt es schon.");
    for (const TEntryField& F : EntryFields) {
        TEdit* Edit = FormPart<TEdit>(this, F.Control);
        if (SingleLine(Edit->Text()).size() > DialupLimits::kMaxValueLength)
            return Refuse(Edit,
                          std::string("\xE2\x80\x9E") + F.Caption + "\xE2\x80\x9C ist zu lang.");
    }
    const std::string Timeout = Trimmed(FormPart<TEdit>(this, "EditTimeout")->Text());
    const TNumberValue Seconds =
        ReadNumberField(Timeout, {"Zeitlimit", -1, DialupLimits::kMaxTimeoutSeconds});
    if (!Timeout.empty() && (!Seconds.Value || *Seconds.Value < 1))
        return Refuse(FormPart<TEdit>(this, "EditTimeout"),
                      Seconds.Error.empty()
                          ? "\xE2\x80\x9EZeitlimit\xE2\x80\x9C: bitte eine Zahl von Sekunden "
                            "(1 bis " +
                                std::to_string(DialupLimits::kMaxTimeoutSeconds) + ") eingeben."
                          : Seconds.Error);
    return {};
}

std::string TFormPhonebookEntry::SaveEntry(const std::string& Text) {
    const std::string Name = Trimmed(SingleLine(EditName->Text()));
    // A new entry whose fields are all empty is still an entry (always online).
    std::string Saved = AddPhonebookEntry(Text, Name);
    for (const TEntryField& F : EntryFields) {
        // The phonebook reads values trimmed; an empty one means "not given".
        const std::string Value = Trimmed(SingleLine(FormPart<TEdit>(this, F.Control)->Text()));
        Saved = SetPhonebookValue(Saved, Name, F.Key, Value);
    }
    return Saved;
}

void TFormPhonebookEntry::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() != mrOk) return;
    const std::string Error = CheckEntry();
    if (Error.empty()) return;
    MessageBox(Error, kCaption, MB_OK | MB_ICONERROR);
    CanClose = false;
}

uint32_t TFormPhonebookEntry::Execute(const std::string& Path, const std::string* Name) {
    std::string Text, Error;
    if (ReadPhonebookText(Path, Text, Error) == TPhonebookRead::Unreadable) {
        MessageBox("Die Verbindungen in " + Path + " k\xC3\xB6nnen nicht gelesen werden: " + Error,
                   kCaption, MB_OK | MB_ICONERROR);
        return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    TPhonebook Book;
    Book.Parse(Text, Path);
    FBook = &Book;
    FNewEntry = Name == nullptr;
    if (Name) {
        const TPhonebookEntry* Entry = Book.Find(*Name);
        TPhonebookEntry Named;
        Named.Name = *Name;
        LoadEntry(Entry ? *Entry : Named);
        EditName->SetReadOnly(true);
    } else {
        SetCaption("Neue Verbindung");
        // The time limit a new entry would get anyway, shown so that it can be changed.
        FormPart<TEdit>(this, "EditTimeout")
            ->SetText(std::to_string(DialupLimits::kDefaultTimeoutSeconds));
    }
    const TModalResult Result = ShowModal();
    FBook = nullptr;
    if (Result != mrOk) return 0;
    try {
        WritePhonebookText(Path, SaveEntry(Text));
    } catch (const std::exception& E) {
        MessageBox(std::string("Die Verbindung konnte nicht gespeichert werden: ") + E.what(),
                   kCaption, MB_OK | MB_ICONERROR);
        return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    return 0;
}

void RegisterPhonebookEntryDlg() {
    static const bool Registered = [] {
        RegisterClass<TFormPhonebookEntry, TForm>("TFormPhonebookEntry")
            .Method("FormCreate", &TFormPhonebookEntry::FormCreate)
            .Method("FormCloseQuery", &TFormPhonebookEntry::FormCloseQuery);
        return true;
    }();
    (void)Registered;
}

uint32_t EditPhonebookEntryDialog(const std::string& Path, const std::string* Name,
                                  TComponent* Owner) {
    RegisterPhonebookEntryDlg();
    TFormPhonebookEntry* Form = CreateForm<TFormPhonebookEntry>(Owner);
    struct TFree {
        TFormPhonebookEntry* Form;
        ~TFree() { Form->Free(); }
    } Free{Form};
    return Form->Execute(Path, Name);
}

void UsePhonebookEntryDialog() {
    static const bool Installed = [] {
        SetPhonebookEditor([](HWND, const std::string& Path, const std::string* Name) {
            return EditPhonebookEntryDialog(Path, Name, &Forms);
        });
        return true;
    }();
    (void)Installed;
}
