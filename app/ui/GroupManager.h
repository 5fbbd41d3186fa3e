#pragma once
// The newsgroup manager ("Newsgroups bestellen"): the box's full group list as a tree of dotted
// names with the subscribed groups checked; OK writes the subscription list and the group list.
#include <string>

#include "app/ui/GroupManagerTree.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/StdCtrls.h"

class TdxBarManager;
class TKestroConfig;

// Posted to itself on creation: the lists are read once the window shows.
inline constexpr UINT WM_LOADGROUPS = 0x11F6;

class TFormGroupManager : public TForm {
  public:
    using TForm::TForm;

    TTreeView* Tree = nullptr;
    TEdit* EditNewArticles = nullptr;
    TCheckBox* CBHeaderOnly = nullptr;
    // Enabled once the tree is complete: a click while loading would write a part of it.
    TButton* ButtonOk = nullptr;
    // Locked against updates from loading until the window is destroyed; may be null.
    TdxBarManager* BarManager = nullptr;
    // The group list file (.bl); set before the window shows.
    std::string GroupListFile;
    // Set when the lists could not be read: nothing is written then.
    bool LoadFailed = false;
    bool Loaded() const { return FLoaded; }

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void TreeDblClick(TObject* Sender);
    void TreeContextPopup(TObject* Sender, TPoint MousePos, bool& Handled);
    void SubtreeClick(TObject* Sender);
    void ButtonOkClick(TObject* Sender);

    // Reads the lists and builds the tree (the handler of WM_LOADGROUPS).
    void WMLoadGroups();
    TGroupTree& Groups() { return FGroups; }

  protected:
    void Dispatch(TMessage& Message) override;

  private:
    void ShowProgress(const std::string& Text);

    TGroupTree FGroups;
    TTreeNode* FPopupNode = nullptr;
    bool FLocked = false;
    bool FLoaded = false;
};

// Shows the manager modally for the group list file GroupListFile of the box Config; Bars is the
// main window's bar manager (may be null). True when OK wrote the lists.
bool ExecuteGroupManager(const std::string& GroupListFile, const TKestroConfig& Config,
                         TdxBarManager* Bars);

void RegisterGroupManagerClasses();
