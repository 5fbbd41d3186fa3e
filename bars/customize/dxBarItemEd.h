#pragma once
// The item editor of the customizing dialog (while the manager is designed): makes a new command
// of one of the item classes shown in the editors, with its name, caption and category. The name
// proposed is the class name without its first letter and the smallest free number; a name the
// form refuses keeps the dialog open with a fresh proposal.
#include <string>

#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TdxBarItem;
class TdxBarManager;

class TdxBarItemAddEditor : public TForm {
  public:
    using TForm::TForm;

    // Lists the categories (Category selected when it is one, else the first) and the classes.
    void Prepare(TdxBarManager* Manager, int Category);
    TdxBarItem* CreatedItem() const { return FCreatedItem; }
    // The class name without its first letter and the smallest number no item of the manager
    // has as its name (without regard to case).
    static std::string ProposedName(TdxBarManager* Manager, const std::string& ClassName);

    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TButton* BOk = nullptr;
    TButton* BCancel = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ComboBox1Change(TObject* Sender);

  private:
    // Makes the item of the chosen class; false (nothing made) when the form refuses it.
    bool CreateItem();

    TdxBarManager* FBarManager = nullptr;
    TdxBarItem* FCreatedItem = nullptr;
};

// Asks for a new item of the manager in the given category; the item made, or none.
TdxBarItem* ShowItemAddEditor(TdxBarManager* Manager, int Category);
