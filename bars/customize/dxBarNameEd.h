#pragma once
// The name dialog of the customizing dialog: the caption of a new or renamed toolbar, or the name
// of a category. OK stays disabled while the name is empty; a blank name, or a toolbar caption
// that another bar has already, keeps the dialog open with a message.
#include <string>

#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TdxBar;
class TdxBarManager;
class TLabel;

// What the dialog names, and how.
enum class TdxBarNameMode {
    CategoryAdd,
    CategoryInsert,
    CategoryRename,
    ToolbarNew,
    ToolbarRename
};

class TdxBarNameEd : public TForm {
  public:
    using TForm::TForm;

    // The captions of the mode, the name into the edit and the checks OK makes.
    void Prepare(const std::string& Name, TdxBarNameMode Mode, TdxBar* Toolbar,
                 TdxBarManager* Manager);
    std::string Name() const { return EName->Text(); }

    TLabel* LName = nullptr;
    TEdit* EName = nullptr;
    TButton* BOK = nullptr;
    TButton* BCancel = nullptr;

    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ENameChange(TObject* Sender);

  private:
    // The reason the name cannot be taken (UTF-8), empty when it can.
    std::string Refusal() const;

    bool FIsCategory = false;
    TdxBar* FToolbar = nullptr;
    TdxBarManager* FBarManager = nullptr;
};

// Asks for a name in the mode's dialog; true, with Name changed, when the user confirmed. Toolbar
// is the toolbar being renamed (none otherwise).
bool ShowNameDialog(std::string& Name, TdxBarNameMode Mode, TdxBar* Toolbar,
                    TdxBarManager* Manager);
