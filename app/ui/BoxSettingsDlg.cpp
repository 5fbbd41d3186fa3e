#include "app/ui/BoxSettingsDlg.h"

#include <optional>
#include <variant>

#include "app/ui/FormParts.h"
#include "app/ui/PhonebookEntryDlg.h"
#include "app/ui/SettingsFields.h"
#include "components/dcedit/DirectoryEdit.h"
#include "components/dcedit/Register.h"
#include "components/htmlhint/Register.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/shell/Dialogs.h"

namespace {

using TFieldTarget = std::variant<std::string TKestroConfig::*, bool TKestroConfig::*,
                                  int32_t TKestroConfig::*, uint32_t TKestroConfig::*>;

enum class TFieldKind {
    Text,        // an edit, an editable combo box or a directory edit
    Check,       // a check box
    Number,      // a decimal number in an edit or editable combo box
    ListIndex,   // the position in a drop-down list
    Connection,  // the phonebook entry chosen in the connection list
};

struct TBoxField {
    const char* Control;
    TFieldTarget Target;
    TFieldKind Kind;
    // Numbers only: the field's caption for messages (UTF-8), the value a text that is no
    // number gives, and the largest value the field holds.
    const char* Caption = "";
    int64_t Default = 0;
    int64_t Max = INT32_MAX;
};

using K = TKestroConfig;

// The fields the dialog edits, in the order they are taken over: general, dial-up, hang-up,
// POP3, SMTP, NNTP, MIME. Every other field of the box stays as it is.
const TBoxField BoxFields[] = {
    {"EditGlobalSpool", &K::GlobalSpool, TFieldKind::Text},
    {"CheckBoxDial", &K::DialOnStart, TFieldKind::Check},
    {"CheckBoxAskDial", &K::DialAskBefore, TFieldKind::Check},
    {"CheckBoxUseConnection", &K::DialUseConnection, TFieldKind::Check},
    {"EditConnection", &K::DialName, TFieldKind::Connection},
    {"CheckBoxHangup", &K::HangupOnExit, TFieldKind::Check},
    {"CheckBoxAskHangup", &K::HangupAskBefore, TFieldKind::Check},
    {"CheckBoxAlwaysHangup", &K::HangupAlways, TFieldKind::Check},
    {"CheckBoxNetcallAllSupport", &K::NetcallAllSupport, TFieldKind::Check},
    {"EditPOP3Server", &K::Pop3Server, TFieldKind::Text},
    {"EditPOP3Username", &K::Pop3User, TFieldKind::Text},
    {"EditPOP3Password", &K::Pop3Pass, TFieldKind::Text},
    {"CheckBoxPOP3EncryptedLogon", &K::Pop3Auth, TFieldKind::Check},
    {"CheckBoxPop3Keep", &K::Pop3Keep, TFieldKind::Check},
    {"EditPop3MaxLen", &K::Pop3MaxLen, TFieldKind::Number,
     "Nachricht \xC3\xBC"
     "berspringen, wenn gr\xC3\xB6\xC3\x9F"
     "er als",
     0},
    {"CheckBoxPop3OnlyNew", &K::Pop3OnlyNew, TFieldKind::Check},
    {"EditPop3Envelope", &K::Pop3Envelope, TFieldKind::Text},
    {"CheckBoxPop3SSL", &K::Pop3UseSSL, TFieldKind::Check},
    {"EditSMTPServer", &K::SmtpServer, TFieldKind::Text},
    {"EditSmtpUsername", &K::SmtpUser, TFieldKind::Text},
    {"EditSmtpPassword", &K::SmtpPass, TFieldKind::Text},
    {"EditSmtpEnvelope", &K::SmtpEnvelope, TFieldKind::Text},
    {"CheckBoxSmtpAfterPop", &K::SmtpAfterPop, TFieldKind::Check},
    {"CheckBoxSMTPSSL", &K::SmtpUseSSL, TFieldKind::Check},
    {"EditNNTPServer", &K::NntpServer, TFieldKind::Text},
    {"EditNNTPUsername", &K::NntpUser, TFieldKind::Text},
    {"EditNNTPPassword", &K::NntpPass, TFieldKind::Text},
    {"EditNNTPDupeSize", &K::NntpDupeSize, TFieldKind::Number, "Eintr\xC3\xA4ge in Dupedatenbank",
     0},
    {"EditNNTPDupeType", &K::NntpDupeType, TFieldKind::ListIndex},
    {"CheckBoxNNTPPosting", &K::NntpPosting, TFieldKind::Check},
    {"EditNNTPNewMax", &K::NntpNewMax, TFieldKind::Number, "Maximale neue Nachrichten", 0,
     UINT32_MAX},
    {"EditNNTPSort", &K::NntpSort, TFieldKind::ListIndex},
    {"EditNNTPMaxThreads", &K::NntpMaxThreads, TFieldKind::Number,
     "Maximale Zahl gleichzeitiger Verbindungen", 15},
    {"CheckBoxGetNewsList", &K::NntpGetNewsList, TFieldKind::Check},
    {"CheckBoxNntpSSL", &K::NntpUseSSL, TFieldKind::Check},
    {"CheckBoxExtractAttach", &K::ExtractAttach, TFieldKind::Check},
    {"CheckBoxDeleteAttach", &K::DeleteAttach, TFieldKind::Check},
    {"CheckBoxIgnoreVCard", &K::IgnoreVCard, TFieldKind::Check},
    {"EditExtractPath", &K::ExtractPath, TFieldKind::Text},
};

// A check box and the controls it enables while checked.
struct TEnablingRule {
    const char* Switch;
    std::vector<std::string> Dependents;
};

const TEnablingRule DialRule{"CheckBoxDial",
                             {"CheckBoxAskDial", "CheckBoxUseConnection", "EditConnection",
                              "ButtonNewConnection", "ButtonEditConnection"}};
const TEnablingRule HangupRule{
    "CheckBoxHangup", {"CheckBoxAskHangup", "CheckBoxAlwaysHangup", "CheckBoxNetcallAllSupport"}};
const TEnablingRule MimeRule{"CheckBoxExtractAttach",
                             {"EditExtractPath", "LabelExtractPath", "CheckBoxIgnoreVCard"}};
const TEnablingRule Pop3KeepRule{"CheckBoxPop3Keep", {"CheckBoxPop3OnlyNew"}};
const TEnablingRule* const EnablingRules[] = {&DialRule, &HangupRule, &MimeRule, &Pop3KeepRule};

std::string ControlText(TControl* Control) {
    if (auto* Edit = dynamic_cast<TCustomDCEdit*>(Control)) return Edit->GetEditText();
    return Control->Text();
}

void SetControlText(TControl* Control, const std::string& Text) {
    if (auto* Edit = dynamic_cast<TCustomDCEdit*>(Control))
        Edit->SetEditText(Text);
    else
        Control->SetText(Text);
}

template <class T>
T FieldValue(const TKestroConfig& Config, const TFieldTarget& Target) {
    return std::visit(
        [&](auto Member) -> T {
            if constexpr (std::is_convertible_v<decltype(Config.*Member), T>)
                return T(Config.*Member);
            else
                return T();
        },
        Target);
}

template <class T>
void SetField(TKestroConfig& Config, const TFieldTarget& Target, const T& Value) {
    std::visit(
        [&](auto Member) {
            using F = std::remove_reference_t<decltype(Config.*Member)>;
            if constexpr (std::is_same_v<F, std::string> == std::is_same_v<T, std::string>)
                Config.*Member = F(Value);
        },
        Target);
}

}  // namespace

TFormEditConfig::TFormEditConfig(TComponent* AOwner) : TForm(AOwner) {
    RasDialer.SetDialMode(dmSync);
    RasDialer.SetHangupOnDestroy(false);
}

void TFormEditConfig::FormCreate(TObject*) {
    PageControl = FormPart<TPageControl>(this, "PageControl");
    ButtonOK = FormPart<TButton>(this, "ButtonOK");
    ButtonCancel = FormPart<TButton>(this, "ButtonCancel");
    ButtonSave = FormPart<TButton>(this, "ButtonSave");
    CheckBoxDial = FormPart<TCheckBox>(this, "CheckBoxDial");
    CheckBoxHangup = FormPart<TCheckBox>(this, "CheckBoxHangup");
    CheckBoxExtractAttach = FormPart<TCheckBox>(this, "CheckBoxExtractAttach");
    CheckBoxPop3Keep = FormPart<TCheckBox>(this, "CheckBoxPop3Keep");
    EditConnection = FormPart<TComboBox>(this, "EditConnection");
    ButtonNewConnection = FormPart<TButton>(this, "ButtonNewConnection");
    ButtonEditConnection = FormPart<TButton>(this, "ButtonEditConnection");
    // Every field of the table must be in the definition: a renamed control would otherwise
    // quietly drop its value.
    for (const TBoxField& Field : BoxFields) FormPart<TControl>(this, Field.Control);
    UsePhonebookEntryDialog();
}

void TFormEditConfig::EnableControls(const std::vector<std::string>& Names, bool Enabled) {
    for (const std::string& Name : Names) FormPart<TControl>(this, Name)->SetEnabled(Enabled);
}

void TFormEditConfig::CheckBoxDialClick(TObject*) {
    EnableControls(DialRule.Dependents, CheckBoxDial->Checked());
}

void TFormEditConfig::CheckBoxHangupClick(TObject*) {
    EnableControls(HangupRule.Dependents, CheckBoxHangup->Checked());
}

void TFormEditConfig::CheckBoxMimeClick(TObject*) {
    EnableControls(MimeRule.Dependents, CheckBoxExtractAttach->Checked());
}

void TFormEditConfig::CheckBoxPop3KeepClick(TObject*) {
    EnableControls(Pop3KeepRule.Dependents, CheckBoxPop3Keep->Checked());
}

void TFormEditConfig::FillConnections(const std::string& DialName) {
    TStringList Entries;
    try {
        RasDialer.GetPhonebookEntries(&Entries);
    } catch (const std::exception&) {
        // Without a dial-up service there is nothing to choose; the box still opens.
    }
    TStrings* Items = EditConnection->Items();
    Items->Clear();
    int Selected = -1;
    for (int I = 0; I < Entries.Count(); ++I) {
        Items->Add(Entries[I]);
        if (Entries[I] == DialName) Selected = I;
    }
    EditConnection->SetItemIndex(Selected);
}

void TFormEditConfig::LoadFromConfig(const TKestroConfig& Config) {
    for (const TBoxField& Field : BoxFields) {
        TControl* C = FormPart<TControl>(this, Field.Control);
        switch (Field.Kind) {
            case TFieldKind::Text:
                SetControlText(C, FieldValue<std::string>(Config, Field.Target));
                break;
            case TFieldKind::Check:
                static_cast<TCheckBox*>(C)->SetChecked(FieldValue<bool>(Config, Field.Target));
                break;
            case TFieldKind::Number:
                SetControlText(C, std::to_string(FieldValue<int64_t>(Config, Field.Target)));
                break;
            case TFieldKind::ListIndex: {
                auto* List = static_cast<TComboBox*>(C);
                const int64_t Index = FieldValue<int64_t>(Config, Field.Target);
                List->SetItemIndex(Index >= 0 && Index < List->Items()->Count() ? int(Index) : -1);
                break;
            }
            case TFieldKind::Connection:
                FillConnections(FieldValue<std::string>(Config, Field.Target));
                break;
        }
    }
    for (const TEnablingRule* Rule : EnablingRules)
        EnableControls(Rule->Dependents, FormPart<TCheckBox>(this, Rule->Switch)->Checked());
}

std::string TFormEditConfig::TakeFields(TKestroConfig& Config, TControl*& BadControl) const {
    for (const TBoxField& Field : BoxFields) {
        TControl* C = FormPart<TControl>(this, Field.Control);
        switch (Field.Kind) {
            case TFieldKind::Text:
                SetField(Config, Field.Target, SingleLine(ControlText(C)));
                break;
            case TFieldKind::Check:
                SetField(Config, Field.Target, static_cast<TCheckBox*>(C)->Checked());
                break;
            case TFieldKind::Number: {
                const TNumberValue Value =
                    ReadNumberField(ControlText(C), {Field.Caption, Field.Default, Field.Max});
                if (!Value.Value) {
                    BadControl = C;
                    return Value.Error;
                }
                SetField(Config, Field.Target, *Value.Value);
                break;
            }
            case TFieldKind::ListIndex: {
                // Without a choice (a stored value the list does not offer) the value stays.
                const int Index = static_cast<TComboBox*>(C)->ItemIndex();
                if (Index >= 0) SetField(Config, Field.Target, int64_t(Index));
                break;
            }
            case TFieldKind::Connection: {
                auto* List = static_cast<TComboBox*>(C);
                const int Index = List->ItemIndex();
                SetField(Config, Field.Target,
                         Index < 0 ? std::string() : SingleLine(List->Items()->Get(Index)));
                break;
            }
        }
    }
    return {};
}

void TFormEditConfig::SaveToConfig(TKestroConfig& Config) {
    // Taken over a copy, so that a field that cannot be taken leaves the box as it was.
    TKestroConfig Taken = Config;
    TControl* BadControl = nullptr;
    const std::string Error = TakeFields(Taken, BadControl);
    if (!Error.empty()) throw EConvertError(Error);
    Taken.Modified = true;
    Config = std::move(Taken);
}

std::string TFormEditConfig::CheckFields() {
    TKestroConfig Scratch;
    TControl* BadControl = nullptr;
    const std::string Error = TakeFields(Scratch, BadControl);
    if (BadControl) {
        for (TControl* C = BadControl; C; C = C->Parent())
            if (auto* Page = dynamic_cast<TTabSheet*>(C)) PageControl->SetActivePage(Page);
        if (auto* Win = dynamic_cast<TWinControl*>(BadControl)) FocusControl(Win);
    }
    return Error;
}

void TFormEditConfig::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() != mrOk && ModalResult() != mrYes) return;
    const std::string Error = CheckFields();
    if (Error.empty()) return;
    MessageBox(Error, "Konfiguration", MB_OK | MB_ICONERROR);
    CanClose = false;
}

TModalResult TFormEditConfig::Execute(TKestroConfig& Config,
                                      const std::function<void()>& SaveConfig) {
    LoadFromConfig(Config);
    PageControl->SetActivePage(PageControl->Pages(0));
    const TModalResult Result = ShowModal();
    if (Result == mrOk || Result == mrYes) SaveToConfig(Config);
    if (Result == mrYes) {
        if (SaveConfig)
            SaveConfig();
        else
            Config.Save();
    }
    return Result;
}

void TFormEditConfig::ButtonNewConnectionClick(TObject*) {
    RasDialer.CreatePhonebookEntry();
}

void TFormEditConfig::ButtonEditConnectionClick(TObject*) {
    const int Index = EditConnection->ItemIndex();
    if (Index < 0) return;
    RasDialer.SetEntryName(EditConnection->Items()->Get(Index));
    RasDialer.EditPhonebookEntry();
}

void RegisterBoxSettingsDlg() {
    static const bool Done = [] {
        RegisterDCEditClasses();
        RegisterPhonebookEntryDlg();
        RegisterClass<TFormEditConfig, TForm>("TFormEditConfig")
            .Method("FormCreate", &TFormEditConfig::FormCreate)
            .Method("FormCloseQuery", &TFormEditConfig::FormCloseQuery)
            .Method("CheckBoxDialClick", &TFormEditConfig::CheckBoxDialClick)
            .Method("CheckBoxHangupClick", &TFormEditConfig::CheckBoxHangupClick)
            .Method("CheckBoxMimeClick", &TFormEditConfig::CheckBoxMimeClick)
            .Method("CheckBoxPop3KeepClick", &TFormEditConfig::CheckBoxPop3KeepClick)
            .Method("ButtonNewConnectionClick", &TFormEditConfig::ButtonNewConnectionClick)
            .Method("ButtonEditConnectionClick", &TFormEditConfig::ButtonEditConnectionClick);
        return true;
    }();
    (void)Done;
}

bool EditBoxSettings(TKestroConfig& Config, TComponent* Owner,
                     const std::function<void()>& SaveConfig) {
    RegisterBoxSettingsDlg();
    TFormEditConfig* Form = CreateForm<TFormEditConfig>(Owner);
    struct TFree {
        TFormEditConfig* Form;
        ~TFree() { Form->Free(); }
    } Free{Form};
    const TModalResult Result = Form->Execute(Config, SaveConfig);
    return Result == mrOk || Result == mrYes;
}
