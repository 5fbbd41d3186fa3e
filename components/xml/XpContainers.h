#pragma once
// The XML library's containers: a list of pointers and a hash table keyed by wide strings.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Persistent.h"

// Pointers in order. Reading outside 0..Count-1 gives null and writing there does nothing.
class TXpPointerList : public TPersistent {
  public:
    int Count() const { return int(FItems.size()); }
    int Capacity() const { return int(FItems.capacity()); }
    void* Items(int Index) const;
    void SetItem(int Index, void* Value);
    int Add(void* Value);
    // Grows with null items or shrinks to Count items.
    void SetCount(int Count);
    // Removes the item; those after it move down.
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    // Another pointer list's items replace these.
    void Assign(const TPersistent* Source) override;

  private:
    std::vector<void*> FItems;
};

struct TXpStrHashNode {
    std::u16string Key;
    void* Value = nullptr;
    TXpStrHashNode* Next = nullptr;
};

// Values by wide-string key, in chains over a prime number of buckets. The table grows when it
// holds more than four keys per bucket.
class TXpStrHash : public TPersistent {
  public:
    // SizeIndex picks the first bucket count from the prime table (above 15: 15); the table
    // never shrinks below it.
    explicit TXpStrHash(int SizeIndex);
    ~TXpStrHash() override;

    // Adds the key unless it is there already; true when added.
    bool Add(const std::u16string& Key, void* Value);
    TXpStrHashNode* Find(const std::u16string& Key) const;
    // Removes every key, telling OnDisposeData of each value.
    void Clear();
    int Count() const { return FCount; }
    int BucketCount() const { return FBuckets.Count(); }

    std::function<void(void* Value)> OnDisposeData;

    // The bucket counts, smallest first.
    static const std::vector<int>& Primes();

  protected:
    virtual bool KeysEqual(const std::u16string& A, const std::u16string& B) const;
    virtual TXpStrHashNode* CreateNode(const std::u16string& Key, void* Value) const;
    // The ELF hash of the key's UTF-16 bytes, modulo Buckets.
    virtual uint32_t Hash(const std::u16string& Key, uint32_t Buckets) const;
    // One step up the prime table (beyond its end: 2n + 1, avoiding multiples of 3), or one
    // step down but never below the smallest size; every key is moved.
    virtual void Resize(bool Grow);

  private:
    void Rehash(int NewSize);

    TXpPointerList FBuckets;
    int FCount = 0;
    int FSizeIndex = 0;
    int FMinSizeIndex = 0;
};

// The PJW/ELF hash of bytes.
uint32_t XpElfHash(const std::u16string& Key);
