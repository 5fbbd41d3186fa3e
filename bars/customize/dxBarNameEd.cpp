#include "bars/customize/dxBarNameEd.h"

#include "bars/customize/dxBarCustForm.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Errors.h"
#include "platform/shell/Dialogs.h"
#include "platform/widgets/ExtCtrls.h"

namespace {

struct TNameModeTexts {
    TdxBarNameMode Mode;
    int Caption;
    int Label;
};

constexpr TNameModeTexts kNameModes[] = {
    {TdxBarNameMode::CategoryAdd, kdxBarAddCategoryCaption, kdxBarCategoryNameLabel},
    {TdxBarNameMode::CategoryInsert, kdxBarInsertCategoryCaption, kdxBarCategoryNameLabel},
    {TdxBarNameMode::CategoryRename, kdxBarRenameCategoryCaption, kdxBarCategoryNameLabel},
    {TdxBarNameMode::ToolbarNew, kdxBarNewToolbarCaption, kdxBarToolbarNameLabel},
    {TdxBarNameMode::ToolbarRename, kdxBarRenameToolbarCaption, kdxBarToolbarNameLabel},
};

bool IsBlank(const std::string& Text) {
    return Text.find_first_not_of(" \t") == std::string::npos;
}

template <class T>
T* Part(TComponent* Form, const std::string& Name) {
    auto* Found = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Found) throw EComponentError("Name dialog: control " + Name + " is missing");
    return Found;
}

void RegisterNameDialog() {
    static const bool Registered = [] {
        RegisterClass<TdxBarNameEd, TForm>("TdxBarNameEd")
            .Method("FormCreate", &TdxBarNameEd::FormCreate)
            .Method("FormCloseQuery", &TdxBarNameEd::FormCloseQuery)
            .Method("ENameChange", &TdxBarNameEd::ENameChange);
        return true;
    }();
    (void)Registered;
}

}  // namespace

void TdxBarNameEd::FormCreate(TObject*) {
    LName = Part<TLabel>(this, "LName");
    EName = Part<TEdit>(this, "EName");
    BOK = Part<TButton>(this, "BOK");
    BCancel = Part<TButton>(this, "BCancel");
    BOK->SetCaption(dxBarString(kdxBarOK));
    BCancel->SetCaption(dxBarString(kdxBarCancel));
}

void TdxBarNameEd::Prepare(const std::string& Name, TdxBarNameMode Mode, TdxBar* Toolbar,
                           TdxBarManager* Manager) {
    for (const TNameModeTexts& Texts : kNameModes)
        if (Texts.Mode == Mode) {
            SetCaption(dxBarString(Texts.Caption));
            LName->SetCaption(dxBarString(Texts.Label));
        }
    FIsCategory = Mode == TdxBarNameMode::CategoryAdd || Mode == TdxBarNameMode::CategoryInsert ||
                  Mode == TdxBarNameMode::CategoryRename;
    FToolbar = Toolbar;
    FBarManager = Manager;
    if (TdxBarCustomizingForm* Dialog = GetCustomizingForm()) Font()->Assign(*Dialog->Font());
    EName->SetText(Name);
    ENameChange(this);
    SetActiveControl(EName);
}

void TdxBarNameEd::ENameChange(TObject*) {
    BOK->SetEnabled(!EName->Text().empty());
}

std::string TdxBarNameEd::Refusal() const {
    const std::string Text = EName->Text();
    if (IsBlank(Text)) return dxBarString(kdxBarBlankName);
    if (FIsCategory || !FBarManager) return {};
    TdxBar* Holder = FBarManager->BarByCaption(Text);
    if (!Holder || Holder == FToolbar) return {};
    return FormatDialogText(dxBarString(kdxBarToolbarExists).c_str(), TypedText(Text));
}

void TdxBarNameEd::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() != mrOk) return;
    const std::string Why = Refusal();
    if (Why.empty()) return;
    MessageBox(Why, Forms.Title(), MB_OK | MB_ICONSTOP);
    FocusControl(EName);
    CanClose = false;
}

bool ShowNameDialog(std::string& Name, TdxBarNameMode Mode, TdxBar* Toolbar,
                    TdxBarManager* Manager) {
    RegisterNameDialog();
    TdxBarNameEd* Dialog = CreateForm<TdxBarNameEd>(nullptr);
    struct TFree {
        TdxBarNameEd* Dialog;
        ~TFree() { Dialog->Free(); }
    } Free{Dialog};
    Dialog->Prepare(Name, Mode, Toolbar, Manager);
    if (Dialog->ShowModal() != mrOk) return false;
    Name = Dialog->Name();
    return true;
}
