#pragma once
// The manager's categories: a string list of names whose items are the manager's items with that
// index as their Category. Inserting, deleting, exchanging and moving names renumbers the items
// so that every item stays in its category; deleting a name frees the items of that category, and
// the last name deleted brings "Default" back.
//
// Each name has a record made on first need: which items show (ItemsVisible, applied to the
// items when it changes) and whether the category shows in the customizing dialog. A name without
// a record reads as ivAlways and visible.
#include <memory>
#include <string>
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/classes/Classes.h"

class TFiler;

class TdxBarManagerCategories : public TStringList {
  public:
    explicit TdxBarManagerCategories(TdxBarManager* Manager) : FManager(Manager) {}
    ~TdxBarManagerCategories() override;

    TdxBarManager* Manager() const { return FManager; }

    int AddObject(const std::string& Value, void* Object) override;
    void InsertObject(int Index, const std::string& Value, void* Object) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int A, int B) override;
    void Move(int From, int To);

    TdxBarItemVisible ItemsVisible(int Index) const;
    bool Visible(int Index) const;
    // The manager's setters use these (SetCategoryItemsVisible, SetCategoryVisible).
    void SetItemsVisibleRecord(int Index, TdxBarItemVisible Value);
    void SetPendingItemsVisible(int Index, TdxBarItemVisible Value);
    void SetVisibleRecord(int Index, bool Value);
    // Applies every value read from a definition while the form was loading.
    void ApplyPendingItemsVisible();

    // "ItemsVisibles" and "Visibles" besides the names.
    void DefineProperties(TFiler& Filer);

  private:
    struct TRecord {
        TdxBarItemVisible ItemsVisible = ivAlways;
        // Read from a definition and not applied yet.
        bool HasPending = false;
        TdxBarItemVisible Pending = ivAlways;
        bool Visible = true;
    };
    TRecord& RecordOf(int Index);
    // Items of category From take category To.
    void Renumber(int From, int To);
    static void MoveItems(TdxBarManager* Manager, int From, int To);

    TdxBarManager* FManager;
    std::vector<std::unique_ptr<TRecord>> FRecords;
};
