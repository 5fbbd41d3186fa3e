#pragma once
// Item groups: a named set of items and nested groups whose Enabled and Visible are set all at
// once. A group may not contain itself, directly or through nested groups.
#include <string>
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/forms/Component.h"

class TdxBarGroup : public TComponent {
  public:
    explicit TdxBarGroup(TComponent* AOwner);
    ~TdxBarGroup() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    int Count() const { return int(FItems.size()); }
    TComponent* Items(int Index) const { return FItems.at(size_t(Index)); }
    // Adds an item or a group (anything else is ignored, as is a member already there); raises
    // EdxBarError "You cannot create recursive groups" for a group that contains this one.
    void Add(TComponent* Member);
    void Remove(TComponent* Member);
    int IndexOf(const TComponent* Member) const;
    // Whether Member is in the group or in one of its groups.
    bool Contains(const TComponent* Member) const;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TdxBarItemVisible Visible() const { return FVisible; }
    void SetVisible(TdxBarItemVisible Value);
    // Its place in the manager's list of groups.
    int Index() const;
    void SetIndex(int Value);

    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

  protected:
    void SetParentComponent(TComponent* Value) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler& Filer) override;
    void SetName(const std::string& NewName) override;

  private:
    friend class TdxBarManager;
    void SetBarManager(TdxBarManager* Value);
    // Runs Set on every member, nested groups included, under the manager's lock.
    template <class F>
    void ForMembers(F Set);

    TdxBarManager* FBarManager = nullptr;
    std::vector<TComponent*> FItems;
    // Member names read from a definition, looked up by Loaded.
    std::vector<std::string> FItemNames;
    bool FEnabled = true;
    TdxBarItemVisible FVisible = ivAlways;
};
