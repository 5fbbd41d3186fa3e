#pragma once
// TCollection and TCollectionItem: an ordered list of items of one class that a persistent object
// owns (the bar manager's bars, a bar's item links), read and written in definitions as
// "Bars = < item ... end >".
//
// A collection owns its items: Delete, Clear and the collection's destructor free them, and an
// item that is freed leaves its collection. Changes are reported through the virtual Update
// (nullptr: the whole collection changed; an item: only that item), held back while
// BeginUpdate/EndUpdate calls nest and reported once at the outermost EndUpdate. Notify tells of
// an item added (cnAdded), about to be freed (cnDeleting, the item is still whole) and leaving
// the list (cnExtracting; when an item is freed directly with delete, its own parts are already
// gone by then: use cnDeleting for work that needs them). Items made with Add and Insert are
// announced once they are complete; an item constructed in place with its collection is
// announced from inside its constructor, so Notify must not look beyond TCollectionItem then.
// The collection cannot check the class of an item constructed in place; Add makes the right one.
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/forms/Persistent.h"

class TCollection;
class TCollectionItem;

// The class of the items of a collection: how to make one and how to recognise one.
struct TCollectionItemClass {
    const std::type_info* Type = nullptr;
    TCollectionItem* (*Create)(TCollection* Collection) = nullptr;
    bool (*IsInstance)(const TCollectionItem* Item) = nullptr;
};

template <class T>
TCollectionItemClass ItemClassOf() {
    return {&typeid(T), [](TCollection* C) -> TCollectionItem* { return new T(C); },
            [](const TCollectionItem* I) { return dynamic_cast<const T*>(I) != nullptr; }};
}

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  public:
    // Joins Collection (when given) at its end.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Leaves the current collection and joins the new one (at its end).
    void SetCollection(TCollection* Value);
    // A number unique within the collection, never reused.
    int ID() const { return FID; }
    // The position in the collection (-1 without one); setting it moves the item there.
    int Index() const;
    virtual void SetIndex(int Value);
    // The text designers show for the item; the base gives the class name.
    virtual std::string DisplayName() const;
    virtual void SetDisplayName(const std::string& Value);
    std::string GetNamePath() const override;

  protected:
    // Reports a change of this item (AllItems: of the collection as a whole).
    void Changed(bool AllItems);
    TPersistent* GetOwner() const override;

  private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
  public:
    explicit TCollection(TCollectionItemClass ItemClass, TPersistent* Owner = nullptr);
    ~TCollection() override;

    const TCollectionItemClass& ItemClass() const { return FItemClass; }
    TPersistent* Owner() const { return FOwner; }

    int Count() const { return int(FItems.size()); }
    // ERangeError for an index outside 0..Count-1.
    TCollectionItem* Items(int Index) const;
    // A new item of the item class at the end, or at Index (clamped to the list).
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    // Frees the item at Index (ERangeError outside the list).
    void Delete(int Index);
    // Frees every item, last first.
    void Clear();
    TCollectionItem* FindItemID(int ID) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: the items are replaced by new items of this collection's class,
    // each assigned from the other's item at its position.
    void Assign(const TPersistent* Source) override;
    std::string GetNamePath() const override;

  protected:
    // A change (see the top of this file); called only when no update is pending.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Reports a change of the whole collection unless an update is pending.
    void Changed();
    TPersistent* GetOwner() const override { return FOwner; }

  private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    bool FAdding = false;
};
