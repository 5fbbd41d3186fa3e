#include "bars/customize/dxBarItemEd.h"

#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarDesigner.h"
#include "bars/look/dxBarDraw.h"
#include "bars/model/dxBarCategories.h"
#include "bars/model/dxBarContainerItems.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredValues.h"
#include "bars/model/dxBarTypes.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Errors.h"

namespace {

template <class T>
T* Part(TComponent* Form, const std::string& Name) {
    auto* Found = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Found) throw EComponentError("Item editor: control " + Name + " is missing");
    return Found;
}

void RegisterItemEditor() {
    static const bool Registered = [] {
        RegisterClass<TdxBarItemAddEditor, TForm>("TdxBarItemAddEditor")
            .Method("FormCreate", &TdxBarItemAddEditor::FormCreate)
            .Method("FormShow", &TdxBarItemAddEditor::FormShow)
            .Method("FormCloseQuery", &TdxBarItemAddEditor::FormCloseQuery)
            .Method("ComboBox1Change", &TdxBarItemAddEditor::ComboBox1Change);
        return true;
    }();
    (void)Registered;
}

bool ItemNamed(TdxBarManager* Manager, const std::string& Name) {
    for (int I = 0; I < Manager->ItemCount(); ++I)
        if (SameText(Manager->Items(I)->Name(), Name)) return true;
    return false;
}

}  // namespace

void TdxBarItemAddEditor::FormCreate(TObject*) {
    Edit1 = Part<TEdit>(this, "Edit1");
    Edit2 = Part<TEdit>(this, "Edit2");
    ComboBox1 = Part<TComboBox>(this, "ComboBox1");
    ComboBox2 = Part<TComboBox>(this, "ComboBox2");
    BOk = Part<TButton>(this, "BOk");
    BCancel = Part<TButton>(this, "BCancel");
}

std::string TdxBarItemAddEditor::ProposedName(TdxBarManager* Manager,
                                              const std::string& ClassName) {
    const std::string Stem = ClassName.size() > 1 ? ClassName.substr(1) : ClassName;
    for (int N = 1;; ++N) {
        std::string Name = Stem + std::to_string(N);
        if (!Manager || !ItemNamed(Manager, Name)) return Name;
    }
}

void TdxBarItemAddEditor::Prepare(TdxBarManager* Manager, int Category) {
    FBarManager = Manager;
    if (TdxBarCustomizingForm* Dialog = GetCustomizingForm()) Font()->Assign(*Dialog->Font());
    TStrings* Categories = ComboBox2->Items();
    Categories->Clear();
    for (int I = 0; I < Manager->Categories()->Count(); ++I)
        Categories->Add(Manager->Categories()->Get(I));
    ComboBox2->SetItemIndex(Category >= 0 && Category < Categories->Count() ? Category : 0);
    TStrings* Classes = ComboBox1->Items();
    Classes->Clear();
    for (int I = 0; I < VisibleItemClassCount(); ++I)
        Classes->Add(VisibleItemClassByIndex(I)->Name);
    ComboBox1->SetItemIndex(Classes->Count() > 0 ? 0 : -1);
    ComboBox1Change(this);
}

void TdxBarItemAddEditor::FormShow(TObject*) {
    SetActiveControl(Edit1);
}

void TdxBarItemAddEditor::ComboBox1Change(TObject*) {
    const int Index = ComboBox1->ItemIndex();
    if (Index < 0) return;
    Edit1->SetText(ProposedName(FBarManager, ComboBox1->Items()->Get(Index)));
}

bool TdxBarItemAddEditor::CreateItem() {
    const TdxBarItemClassInfo* Class = VisibleItemClassByIndex(ComboBox1->ItemIndex());
    if (!Class || !FBarManager || !FBarManager->OwnerForm()) return false;
    TdxBarItem* Item = nullptr;
    try {
        Item = Class->CreateItem(FBarManager->OwnerForm());
        // A command without a name could not be stored with the form nor found again.
        if (Edit1->Text().empty()) throw EComponentError("Item editor: the name is empty");
        static_cast<TComponent*>(Item)->SetName(Edit1->Text());
        Item->SetCategory(ComboBox2->ItemIndex());
        Item->SetCaption(Edit2->Text());
    } catch (const Exception&) {
        if (Item) Item->Free();
        return false;
    }
    FCreatedItem = Item;
    FBarManager->DesignerModified();
    dxBarDesigner()->Modified();
    return true;
}

void TdxBarItemAddEditor::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() != mrOk || CreateItem()) return;
    // Nothing to tell: the proposal shows what the form would take.
    ComboBox1Change(this);
    FocusControl(Edit1);
    CanClose = false;
}

TdxBarItem* ShowItemAddEditor(TdxBarManager* Manager, int Category) {
    if (!Manager) return nullptr;
    RegisterItemEditor();
    TdxBarItemAddEditor* Editor = CreateForm<TdxBarItemAddEditor>(nullptr);
    struct TFree {
        TdxBarItemAddEditor* Editor;
        ~TFree() { Editor->Free(); }
    } Free{Editor};
    Editor->Prepare(Manager, Category);
    return Editor->ShowModal() == mrOk ? Editor->CreatedItem() : nullptr;
}
