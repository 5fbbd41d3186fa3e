#pragma once
// Actions: commands that menus, buttons and bar items link to, so that a command's caption,
// enabled and checked state, shortcut and handler live in one place. An action tells every link
// when one of its values changes; a client's link (a subclass of TActionLink) decides what its
// client takes over. Actions are kept in action lists, whose handlers see every execution and
// update first, and the application's idle step lets each action update itself
// (UpdateActionsOf), so that an OnUpdate that disables an action disables every linked client.
//
// Ownership: a form owns its actions and lists; a list frees the actions in it when it goes. A
// link leaves its action when it is freed, and an action that goes clears the links to it.
// Handlers may free the action, its list, the client or the link: nothing of theirs is touched
// after a handler returns unless it is known to be alive.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/actions/ShortCuts.h"
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"

class TBasicAction;
class TCustomAction;
class TCustomActionList;

using TNotifyEvent = std::function<void(TObject* Sender)>;
// An action list's handler; setting Handled ends the execution or update of that action there.
using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;
// Asked before a client shows an action's hint: the handler may change the text, or clear
// CanShow to keep the hint from showing.
using TActionHintEvent = std::function<void(std::string& HintStr, bool& CanShow)>;

// Connects a client (a control, a bar item) to an action. The client makes one of its own
// subclass, which knows the client, and sets its Action.
class TBasicActionLink {
  public:
    TBasicActionLink() = default;
    // Leaves the action.
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    virtual void SetAction(TBasicAction* Value);
    // Executes the action for AComponent (its ActionComponent meanwhile); false without an action
    // or when nothing handled it.
    virtual bool Execute(TComponent* AComponent = nullptr);
    // Lets the action update its state; false without an action or when nothing handled it.
    virtual bool Update();
    // Whether the client's own handler is the action's; the base answers true.
    virtual bool IsOnExecuteLinked() const { return true; }

    // Told after every change of the action, with the action as sender.
    TNotifyEvent OnChange;

  protected:
    friend class TBasicAction;
    // The action's OnExecute changed (before it is stored); the base does nothing.
    virtual void SetOnExecute(const TNotifyEvent& Value);
    // Calls OnChange.
    virtual void Change();

  private:
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
  public:
    explicit TBasicAction(TComponent* AOwner);
    // Clears the links to it.
    ~TBasicAction() override;

    // Runs OnExecute with the action as sender; false when it has none.
    virtual bool Execute();
    // Runs OnUpdate with the action as sender; false when it has none.
    virtual bool Update();

    const TNotifyEvent& OnExecute() const { return FOnExecute; }
    // Tells every link before it stores the handler.
    void SetOnExecute(TNotifyEvent Value);
    const TNotifyEvent& OnUpdate() const { return FOnUpdate; }
    void SetOnUpdate(TNotifyEvent Value) { FOnUpdate = std::move(Value); }

    // The client that executes the action through its link right now; none otherwise.
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value);

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);

    // False once the action is destroyed: held by code that runs handlers which may free it.
    std::shared_ptr<const bool> Alive() const { return FAlive; }

  protected:
    // Tells every link (TBasicActionLink::Change).
    virtual void Change();
    // Calls Tell(link) for each link, skipping links that left meanwhile and stopping when the
    // action is freed.
    void ForEachLink(const std::function<void(TBasicActionLink& Link)>& Tell);
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    std::vector<TBasicActionLink*> FClients;
    TNotifyEvent FOnExecute;
    TNotifyEvent FOnUpdate;
    TComponent* FActionComponent = nullptr;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// An action that can belong to an action list, under a category.
class TContainedAction : public TBasicAction {
  public:
    explicit TContainedAction(TComponent* AOwner);
    // Leaves its list.
    ~TContainedAction() override;

    // The list's OnExecute first; when it does not handle it, the action's own. False while the
    // list is suspended.
    bool Execute() override;
    // The same with OnUpdate.
    bool Update() override;

    TCustomActionList* ActionList() const { return FActionList; }
    // Leaves the list it is in and joins Value at its end.
    void SetActionList(TCustomActionList* Value);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value);
    // The position in the list (-1 without one); setting it moves the action there (clamped).
    int Index() const;
    void SetIndex(int Value);
    // Whether the list's state keeps the action from executing and updating.
    bool Suspended() const;

    // In definitions an action is written inside its list.
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

  protected:
    void SetParentComponent(TComponent* Value) override;

  private:
    friend class TCustomActionList;
    // The list's step (OnExecute or OnUpdate) first, then the action's own unless it handled it
    // or freed the action.
    bool ListFirst(bool (TCustomActionList::*ListStep)(TBasicAction*),
                   const std::function<bool()>& OwnStep);
    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
};

// What a client's link takes over from a TCustomAction. The Is...Linked tests tell whether a
// value of the client follows the action (the base: whenever the action is a TCustomAction; a
// client adds its own conditions); the setters are called by the action with the new value
// before it stores it, and the base ignores them: a client's link overrides those it shows.
class TActionLink : public TBasicActionLink {
  public:
    virtual bool IsCaptionLinked() const { return IsCustomAction(); }
    virtual bool IsCheckedLinked() const { return IsCustomAction(); }
    virtual bool IsEnabledLinked() const { return IsCustomAction(); }
    virtual bool IsGroupIndexLinked() const { return IsCustomAction(); }
    virtual bool IsHelpContextLinked() const { return IsCustomAction(); }
    virtual bool IsHintLinked() const { return IsCustomAction(); }
    virtual bool IsImageIndexLinked() const { return IsCustomAction(); }
    virtual bool IsShortCutLinked() const { return IsCustomAction(); }
    virtual bool IsVisibleLinked() const { return IsCustomAction(); }

  protected:
    friend class TCustomAction;
    virtual void SetAutoCheck(bool) {}
    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetGroupIndex(int) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

    // The action when it is a TCustomAction, else none.
    TCustomAction* CustomAction() const;

  private:
    bool IsCustomAction() const { return CustomAction() != nullptr; }
};

// An action with the values a client shows. Every setter that changes a value tells each link
// (the TActionLink setter of that value) and then the links' OnChange.
class TCustomAction : public TContainedAction {
  public:
    explicit TCustomAction(TComponent* AOwner);

    // Updates first; then, when enabled, toggles Checked with AutoCheck (a checked action of a
    // group stays checked) and executes. False when disabled or suspended.
    bool Execute() override;

    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // Checking an action of a group (GroupIndex above 0) unchecks the others of its list.
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value);
    // The short part, "|", and the long part, as hints are.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Runs OnHint for the hint a client is about to show (HintStr, which it may change); false
    // when the handler declines.
    virtual bool DoHint(std::string& HintStr);
    TActionHintEvent OnHint;

  private:
    template <class V, class P>
    void ChangeValue(V& Field, const V& Value, void (TActionLink::*Tell)(P));
    void UncheckGroup();

    bool FAutoCheck = false;
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = scNone;
    bool FVisible = true;
};

class TAction : public TCustomAction {
  public:
    using TCustomAction::TCustomAction;
};

// asSuspended: the list's actions neither execute nor update. asSuspendedEnabled: the same, and
// every action is enabled when the list enters it.
enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };

class TCustomActionList : public TComponent {
  public:
    explicit TCustomActionList(TComponent* AOwner);
    // Frees the actions in it.
    ~TCustomActionList() override;

    int ActionCount() const { return int(FActions.size()); }
    // ERangeError for an index outside 0..ActionCount-1.
    TContainedAction* Actions(int Index) const;
    // The images the actions' ImageIndex refers to; none when the list goes.
    TCustomImageList* Images() const { return FImageChangeLink.Sender(); }
    void SetImages(TCustomImageList* Value);
    TActionListState State() const { return FState; }
    void SetState(TActionListState Value);

    // Runs OnExecute (OnUpdate) for the action; true when that handled it.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    // Executes the first action whose ShortCut is ShortCut; false when none is or it did not run
    // (disabled, suspended, unhandled).
    bool IsShortCut(TShortCut ShortCut);

    // Definitions write the actions inside the list, in the list's order.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    // An action joined or left the list, the images or the state changed.
    TNotifyEvent OnChange;

  protected:
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetChildOrder(TComponent* Child, int Order) override;

  private:
    friend class TContainedAction;
    friend class TCustomAction;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);
    static bool Handled(const TActionEvent& Handler, TBasicAction* Action);

    std::vector<TContainedAction*> FActions;
    TChangeLink FImageChangeLink;
    TActionListState FState = asNormal;
};

class TActionList : public TCustomActionList {
  public:
    using TCustomActionList::TCustomActionList;
};

// The update pass of the application's idle step: every action that Root owns (and that the
// components it owns own, for frames) updates its state, in creation order. Actions of
// suspended lists, and components being loaded or destroyed, are left alone. A handler may free
// actions: those are skipped.
void UpdateActionsOf(TComponent* Root);

// TBasicAction, TContainedAction, TCustomAction, TAction, TCustomActionList and TActionList with
// their published properties, for definitions. Once at start-up; later calls do nothing.
void RegisterActionClasses();
