#include "app/ui/GroupManager.h"

#include "app/engine/bfgconfig.h"
#include "app/ui/FormParts.h"
#include "app/ui/UiPictures.h"
#include "bars/model/dxBarManager.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/shell/Dialogs.h"
#include "platform/widgets/ImgList.h"

namespace {

constexpr const char* Title = "Newsgroups bestellen";

// Restores the cursor however the load ends.
class THourGlass {
  public:
    THourGlass() { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(crDefault); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;
};

}  // namespace

void TFormGroupManager::FormCreate(TObject*) {
    Tree = FormPart<TTreeView>(this, "Tree");
    EditNewArticles = FormPart<TEdit>(this, "EditNewArticles");
    CBHeaderOnly = FormPart<TCheckBox>(this, "CBHeaderOnly");
    ButtonOk = FormPart<TButton>(this, "ButtonOk");
    AddGroupTreePictures(*FormPart<TImageList>(this, "ImageListTree"));
    AddSubscriptionPictures(*FormPart<TImageList>(this, "ImageListState"));
    Tree->OnExpanding = [this](TObject*, TTreeNode* Node, bool&) { FGroups.Fill(Node); };
    PostMessage(Handle(), WM_LOADGROUPS, 0, 0);
}

void TFormGroupManager::FormDestroy(TObject*) {
    if (FLocked && BarManager) BarManager->SetUpdateLocked(false);
}

void TFormGroupManager::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_LOADGROUPS) {
        WMLoadGroups();
        return;
    }
    TForm::Dispatch(Message);
}

void TFormGroupManager::ShowProgress(const std::string& Text) {
    SetCaption(Text);
    Forms.ProcessMessages();
}

void TFormGroupManager::WMLoadGroups() {
    if (BarManager && !FLocked) {
        BarManager->SetUpdateLocked(true);
        FLocked = true;
    }
    THourGlass Busy;
    const auto Progress = [this](const std::string& Text) { ShowProgress(Text); };
    try {
        FGroups.Load(GroupListFile, Progress);
        FGroups.Build(*Tree->Items(), Progress);
        SetCaption(Title);
        FLoaded = true;
        ButtonOk->SetEnabled(true);
    } catch (const std::exception& E) {
        // Nothing was read that OK could write back: the lists stay as they are.
        LoadFailed = true;
        SetCaption(Title);
        MessageBox(
            std::string("Die Liste der Newsgroups konnte nicht gelesen werden:\n") + E.what(),
            Title, MB_OK | MB_ICONERROR);
        SetModalResult(mrCancel);
    }
}

void TFormGroupManager::TreeDblClick(TObject*) {
    FGroups.Toggle(Tree->Selected());
}

void TFormGroupManager::TreeContextPopup(TObject*, TPoint MousePos, bool&) {
    FPopupNode = Tree->GetNodeAt(MousePos.X, MousePos.Y);
}

void TFormGroupManager::SubtreeClick(TObject* Sender) {
    auto* Item = dynamic_cast<TComponent*>(Sender);
    TTreeNode* Node = FPopupNode ? FPopupNode : Tree->Selected();
    if (Item) FGroups.ApplyToSubtree(Node, TSubtreeCommand(Item->Tag()));
}

void TFormGroupManager::ButtonOkClick(TObject*) {
    if (!FLoaded) return;
    ShowProgress("Speichere Liste der bestellten Newsgroups");
    try {
        FGroups.Save(EditNewArticles->Text(), CBHeaderOnly->Checked());
    } catch (const std::exception& E) {
        MessageBox(E.what(), Title, MB_OK | MB_ICONERROR);
        SetModalResult(mrNone);
    }
    SetCaption(Title);
}

void RegisterGroupManagerClasses() {
    static const bool Done = [] {
        RegisterClass<TFormGroupManager, TForm>("TFormGroupManager")
            .Method("FormCreate", &TFormGroupManager::FormCreate)
            .Method("FormDestroy", &TFormGroupManager::FormDestroy)
            .Method("TreeDblClick", &TFormGroupManager::TreeDblClick)
            .Method("TreeContextPopup", &TFormGroupManager::TreeContextPopup)
            .Method("SubtreeClick", &TFormGroupManager::SubtreeClick)
            .Method("ButtonOkClick", &TFormGroupManager::ButtonOkClick);
        return true;
    }();
    (void)Done;
}

bool ExecuteGroupManager(const std::string& GroupListFile, const TKestroConfig& Config,
                         TdxBarManager* Bars) {
    RegisterGroupManagerClasses();
    auto* Manager = CreateForm<TFormGroupManager>(&Forms);
    Manager->GroupListFile = GroupListFile;
    Manager->BarManager = Bars;
    Manager->EditNewArticles->SetText(std::to_string(Config.NntpArtClAnz));
    const bool Written = Manager->ShowModal() == mrOk && !Manager->LoadFailed;
    Manager->Free();
    return Written;
}
