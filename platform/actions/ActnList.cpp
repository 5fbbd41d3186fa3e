#include "platform/actions/ActnList.h"

#include <algorithm>
#include <utility>

#include "platform/forms/ClassRegistry.h"

namespace {

template <class T>
bool Contains(const std::vector<T*>& List, const T* Item) {
    return std::find(List.begin(), List.end(), Item) != List.end();
}

template <class T>
void Erase(std::vector<T*>& List, const T* Item) {
    const auto It = std::find(List.begin(), List.end(), Item);
    if (It != List.end()) List.erase(It);
}

}  // namespace

// ---- TBasicActionLink --------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
    if (FAction != nullptr) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction != nullptr) FAction->UnRegisterChanges(this);
    if (Value != nullptr) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
    TBasicAction* const Action = FAction;
    if (Action == nullptr) return false;
    // The handler may free the client and this link with it: from here on only the action is
    // touched, and only while it lives.
    const std::shared_ptr<const bool> Alive = Action->Alive();
    Action->SetActionComponent(AComponent);
    struct TReset {
        TBasicAction* Action;
        const std::shared_ptr<const bool>& Alive;
        ~TReset() {
            if (*Alive) Action->SetActionComponent(nullptr);
        }
    } Reset{Action, Alive};
    return Action->Execute();
}

bool TBasicActionLink::Update() {
    return FAction != nullptr && FAction->Update();
}

void TBasicActionLink::SetOnExecute(const TNotifyEvent&) {}

void TBasicActionLink::Change() {
    if (OnChange) OnChange(FAction);
}

// ---- TBasicAction ------------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    *FAlive = false;
    for (TBasicActionLink* Link : FClients) Link->FAction = nullptr;
    FClients.clear();
}

bool TBasicAction::Execute() {
    if (!FOnExecute) return false;
    // A copy: the handler may assign another one, or free the action.
    const TNotifyEvent Handler = FOnExecute;
    Handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!FOnUpdate) return false;
    const TNotifyEvent Handler = FOnUpdate;
    Handler(this);
    return true;
}

void TBasicAction::SetOnExecute(TNotifyEvent Value) {
    ForEachLink([&](TBasicActionLink& Link) { Link.SetOnExecute(Value); });
    FOnExecute = std::move(Value);
    Change();
}

void TBasicAction::SetActionComponent(TComponent* Value) {
    // Only asked for, never given up: giving up would also cancel a notification the component
    // asked of this action for itself.
    if (Value != nullptr && Value != FActionComponent) Value->FreeNotification(this);
    FActionComponent = Value;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (Value == nullptr || Contains(FClients, Value)) return;
    if (Value->FAction != nullptr) Value->FAction->UnRegisterChanges(Value);
    Value->FAction = this;
    FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    if (Value == nullptr || !Contains(FClients, Value)) return;
    Erase(FClients, Value);
    Value->FAction = nullptr;
}

void TBasicAction::Change() {
    ForEachLink([](TBasicActionLink& Link) { Link.Change(); });
}

void TBasicAction::ForEachLink(const std::function<void(TBasicActionLink& Link)>& Tell) {
    const std::shared_ptr<const bool> Alive = FAlive;
    const std::vector<TBasicActionLink*> Links = FClients;
    for (TBasicActionLink* Link : Links) {
        if (!*Alive) return;
        if (Contains(FClients, Link)) Tell(*Link);
    }
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---- TContainedAction --------------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
    SetActionList(nullptr);
}

bool TContainedAction::ListFirst(bool (TCustomActionList::*ListStep)(TBasicAction*),
                                 const std::function<bool()>& OwnStep) {
    if (Suspended()) return false;
    const std::shared_ptr<const bool> Alive = this->Alive();
    if (FActionList != nullptr && (FActionList->*ListStep)(this)) return true;
    return *Alive && OwnStep();
}

bool TContainedAction::Execute() {
    return ListFirst(&TCustomActionList::ExecuteAction, [this] { return TBasicAction::Execute(); });
}

bool TContainedAction::Update() {
    return ListFirst(&TCustomActionList::UpdateAction, [this] { return TBasicAction::Update(); });
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (Value == FActionList) return;
    if (FActionList != nullptr) FActionList->RemoveAction(this);
    if (Value != nullptr) Value->AddAction(this);
}

void TContainedAction::SetCategory(const std::string& Value) {
    if (Value == FCategory) return;
    FCategory = Value;
    if (FActionList != nullptr) FActionList->Change();
}

int TContainedAction::Index() const {
    if (FActionList == nullptr) return -1;
    const auto& List = FActionList->FActions;
    return int(std::find(List.begin(), List.end(), this) - List.begin());
}

void TContainedAction::SetIndex(int Value) {
    if (FActionList == nullptr) return;
    auto& List = FActionList->FActions;
    const int Current = Index();
    Value = std::clamp(Value, 0, int(List.size()) - 1);
    if (Value == Current) return;
    List.erase(List.begin() + Current);
    List.insert(List.begin() + Value, this);
    FActionList->Change();
}

bool TContainedAction::Suspended() const {
    return FActionList != nullptr && FActionList->State() != asNormal;
}

TComponent* TContainedAction::GetParentComponent() const {
    return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value) {
    if (auto* List = dynamic_cast<TCustomActionList*>(Value)) SetActionList(List);
}

// ---- TActionLink -------------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const {
    return dynamic_cast<TCustomAction*>(Action());
}

// ---- TCustomAction -----------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

template <class V, class P>
void TCustomAction::ChangeValue(V& Field, const V& Value, void (TActionLink::*Tell)(P)) {
    if (Field == Value) return;
    // The links see the old value still, so that they can tell whether their client follows it.
    const std::shared_ptr<const bool> Alive = this->Alive();
    ForEachLink([&](TBasicActionLink& Link) {
        if (auto* Typed = dynamic_cast<TActionLink*>(&Link)) (Typed->*Tell)(Value);
    });
    if (!*Alive) return;
    Field = Value;
    Change();
}

bool TCustomAction::Execute() {
    if (Suspended()) return false;
    const std::shared_ptr<const bool> Alive = this->Alive();
    Update();
    if (!*Alive || !FEnabled) return false;
    if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
    return *Alive && FEnabled && TContainedAction::Execute();
}

bool TCustomAction::DoHint(std::string& HintStr) {
    bool CanShow = true;
    if (OnHint) OnHint(HintStr, CanShow);
    return CanShow;
}

void TCustomAction::SetAutoCheck(bool Value) {
    ChangeValue(FAutoCheck, Value, &TActionLink::SetAutoCheck);
}

void TCustomAction::SetCaption(const std::string& Value) {
    ChangeValue(FCaption, Value, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool Value) {
    if (Value == FChecked) return;
    ChangeValue(FChecked, Value, &TActionLink::SetChecked);
    if (FChecked) UncheckGroup();
}

void TCustomAction::SetEnabled(bool Value) {
    ChangeValue(FEnabled, Value, &TActionLink::SetEnabled);
}

void TCustomAction::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    ChangeValue(FGroupIndex, Value, &TActionLink::SetGroupIndex);
    if (FChecked) UncheckGroup();
}

void TCustomAction::SetHelpContext(int Value) {
    ChangeValue(FHelpContext, Value, &TActionLink::SetHelpContext);
}

void TCustomAction::SetHint(const std::string& Value) {
    ChangeValue(FHint, Value, &TActionLink::SetHint);
}

void TCustomAction::SetImageIndex(int Value) {
    ChangeValue(FImageIndex, Value, &TActionLink::SetImageIndex);
}

void TCustomAction::SetShortCut(TShortCut Value) {
    ChangeValue(FShortCut, Value, &TActionLink::SetShortCut);
}

void TCustomAction::SetVisible(bool Value) {
    ChangeValue(FVisible, Value, &TActionLink::SetVisible);
}

void TCustomAction::UncheckGroup() {
    TCustomActionList* const List = ActionList();
    if (List == nullptr || FGroupIndex <= 0) return;
    const std::vector<TContainedAction*> Others = List->FActions;
    for (TContainedAction* Other : Others) {
        auto* Action = dynamic_cast<TCustomAction*>(Other);
        if (Action == nullptr || Action == this || !Contains(List->FActions, Other)) continue;
        if (Action->FGroupIndex == FGroupIndex && Action->FChecked) Action->SetChecked(false);
    }
}

// ---- TCustomActionList -------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {
    FImageChangeLink.OnChange = [this](TCustomImageList*) { Change(); };
}

TCustomActionList::~TCustomActionList() {
    // Marked first, so that the actions leaving do not report changes of a list that goes.
    Destroying();
    while (!FActions.empty()) {
        TContainedAction* const Last = FActions.back();
        Last->Free();
        if (!FActions.empty() && FActions.back() == Last) FActions.pop_back();
    }
}

TContainedAction* TCustomActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    return FActions[size_t(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
    if (Value == Images()) return;
    if (Images() != nullptr) Images()->UnRegisterChanges(&FImageChangeLink);
    if (Value != nullptr) Value->RegisterChanges(&FImageChangeLink);
    Change();
}

void TCustomActionList::SetState(TActionListState Value) {
    if (Value == FState) return;
    FState = Value;
    if (Value == asSuspendedEnabled) {
        const std::vector<TContainedAction*> Actions = FActions;
        for (TContainedAction* Action : Actions)
            if (auto* Custom = dynamic_cast<TCustomAction*>(Action);
                Custom != nullptr && Contains(FActions, Action))
                Custom->SetEnabled(true);
    }
    Change();
}

bool TCustomActionList::Handled(const TActionEvent& Handler, TBasicAction* Action) {
    bool Result = false;
    // A copy: the handler may free the list.
    if (Handler) {
        const TActionEvent Copy = Handler;
        Copy(Action, Result);
    }
    return Result;
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
    return Handled(OnExecute, Action);
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
    return Handled(OnUpdate, Action);
}

bool TCustomActionList::IsShortCut(TShortCut ShortCut) {
    if (ShortCut == scNone) return false;
    for (TContainedAction* Action : FActions)
        if (auto* Custom = dynamic_cast<TCustomAction*>(Action);
            Custom != nullptr && Custom->ShortCut() == ShortCut)
            return Custom->Execute();
    return false;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    const std::vector<TContainedAction*> Actions = FActions;
    for (TContainedAction* Action : Actions)
        if (Action->Owner() == Root) Proc(Action);
}

void TCustomActionList::Change() {
    if (ComponentState().Contains(csDestroying)) return;
    if (!OnChange) return;
    const TNotifyEvent Handler = OnChange;  // it may free the list
    Handler(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (TContainedAction* Action : FActions) {
        if (Action == AComponent) {
            RemoveAction(Action);
            break;
        }
    }
}

void TCustomActionList::SetChildOrder(TComponent* Child, int Order) {
    for (TContainedAction* Action : FActions) {
        if (Action == Child) {
            Action->SetIndex(Order);
            break;
        }
    }
}

void TCustomActionList::AddAction(TContainedAction* Action) {
    FActions.push_back(Action);
    Action->FActionList = this;
    // Actions of another owner than the list's announce their end too.
    Action->FreeNotification(this);
    Change();
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
    if (!Contains(FActions, Action)) return;
    Erase(FActions, Action);
    Action->FActionList = nullptr;
    Change();
}

// ---- the update pass and registration
// ------------------------------------------------------------

namespace {

using TLiveAction = std::pair<TBasicAction*, std::shared_ptr<const bool>>;

void CollectActions(TComponent* Owner, std::vector<TLiveAction>& Actions) {
    for (int I = 0; I < Owner->ComponentCount(); ++I) {
        TComponent* Component = Owner->Components(I);
        if (auto* Action = dynamic_cast<TBasicAction*>(Component))
            Actions.emplace_back(Action, Action->Alive());
        CollectActions(Component, Actions);
    }
}

bool Busy(const TComponent* Component) {
    const TComponentState State = Component->ComponentState();
    return State.Contains(csLoading) || State.Contains(csDestroying) || State.Contains(csDesigning);
}

}  // namespace

void UpdateActionsOf(TComponent* Root) {
    if (Root == nullptr || Busy(Root)) return;
    std::vector<TLiveAction> Actions;
    CollectActions(Root, Actions);
    for (const auto& [Action, Alive] : Actions)
        if (*Alive && !Busy(Action)) Action->Update();
}

void RegisterActionClasses() {
    static bool Done = false;
    if (Done) return;
    Done = true;
    RegisterEnum<TActionListState>({"asNormal", "asSuspended", "asSuspendedEnabled"});
    RegisterClass<TBasicAction, TComponent>("TBasicAction");
    RegisterClass<TContainedAction, TBasicAction>("TContainedAction")
        .Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
    RegisterClass<TCustomAction, TContainedAction>("TCustomAction");
    RegisterClass<TAction, TCustomAction>("TAction")
        .Property("AutoCheck", &TAction::AutoCheck, &TAction::SetAutoCheck, Default(false))
        .Property("Caption", &TAction::Caption, &TAction::SetCaption)
        .Property("Checked", &TAction::Checked, &TAction::SetChecked, Default(false))
        .Property("Enabled", &TAction::Enabled, &TAction::SetEnabled, Default(true))
        .Property("GroupIndex", &TAction::GroupIndex, &TAction::SetGroupIndex, Default(0))
        .Property("HelpContext", &TAction::HelpContext, &TAction::SetHelpContext, Default(0))
        .Property("Hint", &TAction::Hint, &TAction::SetHint)
        .Property("ImageIndex", &TAction::ImageIndex, &TAction::SetImageIndex, Default(-1))
        .Property("ShortCut", &TAction::ShortCut, &TAction::SetShortCut, Default(scNone))
        .Property("Visible", &TAction::Visible, &TAction::SetVisible, Default(true))
        .Property("OnExecute", &TAction::OnExecute, &TAction::SetOnExecute)
        .Property("OnUpdate", &TAction::OnUpdate, &TAction::SetOnUpdate)
        .Field<TActionHintEvent>("OnHint", &TAction::OnHint);
    RegisterClass<TCustomActionList, TComponent>("TCustomActionList");
    RegisterClass<TActionList, TCustomActionList>("TActionList")
        .Property("State", &TActionList::State, &TActionList::SetState, Default(asNormal))
        .Field<TNotifyEvent>("OnChange", &TActionList::OnChange)
        .Field<TActionEvent>("OnExecute", &TActionList::OnExecute)
        .Field<TActionEvent>("OnUpdate", &TActionList::OnUpdate);
}
