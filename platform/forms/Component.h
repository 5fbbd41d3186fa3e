#pragma once
// TComponent: an object with an owner, a name unique among its owner's components, a tag, a
// loading state and notifications, as the class library's components.
//
// Ownership: an owner frees the components it owns when it is freed (last inserted first). A
// component that is freed leaves its owner's list. Prefer Free() to delete: Free announces the
// removal while the whole object still exists, so components that watch it (Notification) and
// its own overrides see the complete object; the destructor does the same for whatever Free has
// not done, but by then the derived parts are gone.
//
// Notifications: inserting a component into an owner and removing it from one tells the owner,
// which passes the news to every component it owns (and they to theirs). A component that must
// hear of another's end although they have different owners asks for it with FreeNotification.
// A component being freed is announced once, with opRemove, before it goes.
//
// Names: empty, or an identifier (a letter or '_' first, then letters, digits and '_'); two
// components of one owner never share a name, compared without regard to ASCII case.
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Persistent.h"
#include "platform/forms/Set.h"

class TComponent;
class TReader;
class TWriter;

enum TComponentStateItem {
    csLoading,           // created or being filled from a definition; cleared by Loaded
    csReading,           // its own properties are being read
    csWriting,           // it is being written to a definition
    csDestroying,        // it (or its owner) is being freed
    csDesigning,         // placed in a form designer (SetDesigning)
    csAncestor,          // part of an ancestor definition
    csUpdating,          // its definition is being updated
    csFixups,            // references to other components wait to be resolved
    csFreeNotification,  // someone asked to be told when it is freed
    csInline,            // an inline (frame) component: it owns what its own definition creates
};
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

using TGetChildProc = std::function<void(TComponent* Child)>;

// True for a valid component name: a letter or '_' first, then letters, digits and '_' (ASCII).
bool IsValidIdent(const std::string& Ident);
// Compares two names as the class library does: equal without regard to ASCII case.
bool SameText(const std::string& A, const std::string& B);

class TComponent : public TPersistent {
  public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    // Announces the end (Destroying, free notifications, the owned components freed, removal
    // from the owner) while the object is whole, then deletes it.
    void Free();

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Validates (see the top of this file) and stores a new name; EComponentError otherwise.
    virtual void SetName(const std::string& NewName);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    int ComponentCount() const { return int(FComponents.size()); }
    // ERangeError for an index outside 0..ComponentCount-1.
    TComponent* Components(int Index) const;
    // The position in the owner's list, -1 without owner; setting it moves the component there
    // (clamped to the list).
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    // The owned component of that name (compared without regard to case), or none.
    TComponent* FindComponent(const std::string& AName) const;

    TComponentState ComponentState() const { return FComponentState; }

    // Takes over AComponent (from its previous owner, if any), after checking its name against
    // the components already owned; tells everyone with opInsert.
    void InsertComponent(TComponent* AComponent);
    // Lets AComponent go (it then has no owner) after telling everyone with opRemove.
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, last first.
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();
    // Puts this component (and, with SetChildren, everything it owns) into or out of a form
    // designer's hands: the design-time parts of the components it holds become reachable.
    void SetDesigning(bool Value, bool SetChildren = true);

    // AComponent is told (Notification with opRemove) when this component is freed. Components
    // of one owner hear of each other anyway; for others the link is two-way, so either side
    // going first tells the other and undoes the link.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // The components a definition writes nested inside this one. The base lists, when this is
    // Root, the components Root owns that have no parent component or whose parent is Root;
    // otherwise the components Root owns whose parent component is this one.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    // The component a definition nests this one under (a control's parent); none at this level.
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }

    // The definition text this component was read from as a root (the one named after its
    // class), kept for re-reading parts of the design later; empty when it was not read.
    const std::string& DefinitionText() const { return FDefinitionText; }
    void SetDefinitionText(std::string Text) { FDefinitionText = std::move(Text); }

    std::string GetNamePath() const override { return FName; }

  protected:
    // Free calls it while the object is whole, before it is deleted: announces the end
    // (Destroying, free notifications, the owned components freed, removal from the owner).
    // Overrides do their own last work first (a form's OnDestroy) and then call the base; the
    // destructor calls the base for an object deleted without Free.
    virtual void BeforeDestruction();
    // Tells this component that AComponent was inserted into or removed from its owner (or
    // freed, for free notifications). The base drops a free-notification link on removal and
    // passes the news to every owned component. Overrides call it.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called once per read definition after every component of it is read and every reference
    // resolved, in creation order. The base clears csLoading; overrides call it first.
    virtual void Loaded();
    // Reads this component's part of a definition; the base reads its properties and children
    // (Reader.ReadData). Overrides may count or prepare, and call it.
    virtual void ReadState(TReader& Reader);
    // The reader nests this component under Value (see GetParentComponent); the base ignores it.
    virtual void SetParentComponent(TComponent* Value);
    // A definition asks Child to take position Order among this component's children.
    virtual void SetChildOrder(TComponent* Child, int Order);
    // The owner of the components nested in this one's definition: none (the root owns them),
    // except for an inline component, which owns its own.
    virtual TComponent* GetChildOwner();
    // The parent given to components nested in this one's definition.
    virtual TComponent* GetChildParent();
    // Raises EComponentError when NewName is taken among this component's owned components by
    // another than AComponent (a change of case of one's own name is allowed).
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName);

    void IncludeState(TComponentStateItem Item) { FComponentState.Include(Item); }
    void ExcludeState(TComponentStateItem Item) { FComponentState.Exclude(Item); }

  private:
    friend class TReader;
    friend class TWriter;
    friend class TComponentCreationScope;

    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void NotifyOwned(TComponent* AComponent, TOperation Operation);

    TComponent* FOwner = nullptr;
    std::string FName;
    int FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
    bool FDetached = false;
    std::string FDefinitionText;
};

// Hears of a component being freed (a free notification): Gone once it was.
class TFreeWatch : public TComponent {
  public:
    explicit TFreeWatch(TComponent* Watched) : TComponent(nullptr) {
        Watched->FreeNotification(this);
    }
    bool Gone() const { return FGone; }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) FGone = true;
    }

  private:
    bool FGone = false;
};

// While the scope lives, the next TComponent constructed starts with State (the reader marks the
// components it creates as loading before their constructors run, so that a constructor can tell
// a component being read from one made in code). The constructor takes the state once.
class TComponentCreationScope {
  public:
    explicit TComponentCreationScope(TComponentState State);
    ~TComponentCreationScope();
    TComponentCreationScope(const TComponentCreationScope&) = delete;
    TComponentCreationScope& operator=(const TComponentCreationScope&) = delete;

  private:
    friend class TComponent;
    TComponentState FSaved;
};
