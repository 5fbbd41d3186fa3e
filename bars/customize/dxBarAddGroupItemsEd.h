#pragma once
// The add-items dialog of the customizing dialog's groups page (while the manager is designed):
// the manager's other groups and its items by category, from which the user picks what a group
// gets. Members the group has already show greyed.
#include <string>
#include <vector>

#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrls.h"

class TComponent;
class TdxBarGroup;

// Entries whose text starts with the header mark are headers (the mark is not shown); the others
// hold a group or an item as their object.
class TdxBarGroupItemsListBox : public TListBox {
  public:
    explicit TdxBarGroupItemsListBox(TComponent* AOwner);

    static constexpr char kHeaderMark = '~';
    TdxBarGroup* Group() const { return FGroup; }
    void SetGroup(TdxBarGroup* Value) { FGroup = Value; }
    bool IsHeader(int Index);
    TComponent* Member(int Index);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

  private:
    TdxBarGroup* FGroup = nullptr;
};

class TfrmAddGroupItems : public TForm {
  public:
    using TForm::TForm;

    // Lists what may be added to the group.
    void Prepare(TdxBarGroup* Group);
    // Appends the objects of the selected entries.
    void GetSelected(std::vector<TComponent*>& List);

    TdxBarGroupItemsListBox* lbGroupItems = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;

    void FormCreate(TObject* Sender);
};

// Lets the user pick items and groups for Group; true when confirmed, the picks appended to List.
bool ShowAddGroupItems(TdxBarGroup* Group, std::vector<TComponent*>& List);
