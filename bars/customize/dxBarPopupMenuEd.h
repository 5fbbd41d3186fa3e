#pragma once
// The sub-menu editor: a caption bar alone, with the submenu of a sub-item (or popup menu) open
// under it, so that commands can be dragged into the submenu and its links moved or removed
// while the manager is designed. One editor at a time in the process; it goes when the owner of
// the links goes.
#include "platform/widgets/Forms.h"

class TdxBarItemLinks;
class TdxBarSubMenuControl;

class TdxBarSubMenuEditor : public TForm {
  public:
    using TForm::TForm;
    ~TdxBarSubMenuEditor() override;

    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    // Takes the links to edit (watching their owner); none frees the editor.
    void SetItemLinks(TdxBarItemLinks* Value);
    // The submenu window under the editor, or none.
    TdxBarSubMenuControl* SubMenu() const;
    // Opens the submenu under the editor when it is not open.
    void ShowSubMenu();
    void CloseSubMenu();
    // The form being designed was hidden or shown: the editor, with its menu, goes along
    // (shown without taking the activation).
    void FollowOwnerForm(bool Shown);

    void FormCreate(TObject* Sender);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DoClose(TCloseAction& Action) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    TComponent* LinksOwner() const;
    void FollowWithSubMenu();

    TdxBarItemLinks* FItemLinks = nullptr;
    TComponent* FWatched = nullptr;
};

// Opens the editor for the links (the manager customizes; a designed dialog shows its commands).
void ShowSubMenuEditor(TdxBarItemLinks* ItemLinks);
TdxBarSubMenuEditor* GetSubMenuEditor();
// Frees the editor when one is open.
void FreeSubMenuEditor();
