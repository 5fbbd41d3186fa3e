#include "components/xml/XpContainers.h"

#include <algorithm>

#include "components/xml/Limits.h"

void* TXpPointerList::Items(int Index) const {
    return Index >= 0 && Index < Count() ? FItems[size_t(Index)] : nullptr;
}

void TXpPointerList::SetItem(int Index, void* Value) {
    if (Index >= 0 && Index < Count()) FItems[size_t(Index)] = Value;
}

int TXpPointerList::Add(void* Value) {
    if (FItems.size() == FItems.capacity())
        FItems.reserve(FItems.size() + XmlLimits::kPointerListGrowth);
    FItems.push_back(Value);
    return Count() - 1;
}

void TXpPointerList::SetCount(int Count) {
    FItems.resize(size_t(std::max(Count, 0)), nullptr);
}

void TXpPointerList::Delete(int Index) {
    if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

void TXpPointerList::Assign(const TPersistent* Source) {
    if (const auto* Other = dynamic_cast<const TXpPointerList*>(Source)) {
        FItems = Other->FItems;
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TXpStrHash ----------------------------------------------------------------------------

const std::vector<int>& TXpStrHash::Primes() {
    static const std::vector<int> Table = {59,     127,    257,     521,    1049,  2099,
                                           4201,   8419,   16843,   33703,  67409, 134837,
                                           269683, 539389, 1078787, 2157587};
    return Table;
}

uint32_t XpElfHash(const std::u16string& Key) {
    uint32_t H = 0;
    for (char16_t C : Key) {
        for (uint8_t Byte : {uint8_t(C & 0xFF), uint8_t(C >> 8)}) {
            H = (H << 4) + Byte;
            const uint32_t G = H & 0xF0000000u;
            if (G != 0) H ^= G >> 24;
            H &= ~G;
        }
    }
    return H;
}

TXpStrHash::TXpStrHash(int SizeIndex) {
    FSizeIndex = FMinSizeIndex = std::clamp(SizeIndex, 0, int(Primes().size()) - 1);
    FBuckets.SetCount(Primes()[size_t(FSizeIndex)]);
}

TXpStrHash::~TXpStrHash() {
    Clear();
}

bool TXpStrHash::KeysEqual(const std::u16string& A, const std::u16string& B) const {
    return A == B;
}

TXpStrHashNode* TXpStrHash::CreateNode(const std::u16string& Key, void* Value) const {
    return new TXpStrHashNode{Key, Value, nullptr};
}

uint32_t TXpStrHash::Hash(const std::u16string& Key, uint32_t Buckets) const {
    return XpElfHash(Key) % Buckets;
}

TXpStrHashNode* TXpStrHash::Find(const std::u16string& Key) const {
    const int Bucket = int(Hash(Key, uint32_t(BucketCount())));
    for (auto* Node = static_cast<TXpStrHashNode*>(FBuckets.Items(Bucket)); Node; Node = Node->Next)
        if (KeysEqual(Node->Key, Key)) return Node;
    return nullptr;
}

bool TXpStrHash::Add(const std::u16string& Key, void* Value) {
    if (Find(Key) != nullptr) return false;
    const int Bucket = int(Hash(Key, uint32_t(BucketCount())));
    TXpStrHashNode* Node = CreateNode(Key, Value);
    Node->Next = static_cast<TXpStrHashNode*>(FBuckets.Items(Bucket));
    FBuckets.SetItem(Bucket, Node);
    ++FCount;
    if (FCount > XmlLimits::kKeysPerBucket * BucketCount()) Resize(true);
    return true;
}

void TXpStrHash::Clear() {
    for (int Bucket = 0; Bucket < BucketCount(); ++Bucket) {
        auto* Node = static_cast<TXpStrHashNode*>(FBuckets.Items(Bucket));
        while (Node != nullptr) {
            TXpStrHashNode* Next = Node->Next;
            if (OnDisposeData) OnDisposeData(Node->Value);
            delete Node;
            Node = Next;
        }
        FBuckets.SetItem(Bucket, nullptr);
    }
    FCount = 0;
}

void TXpStrHash::Resize(bool Grow) {
    const int Last = int(Primes().size()) - 1;
    if (Grow) {
        if (FSizeIndex < Last) {
            Rehash(Primes()[size_t(++FSizeIndex)]);
            return;
        }
        if (BucketCount() >= XmlLimits::kMaxBuckets) return;
        int Size = 2 * BucketCount() + 1;
        if (Size % 3 == 0) Size += 2;
        Rehash(Size);
        return;
    }
    if (FSizeIndex <= FMinSizeIndex) return;
    Rehash(Primes()[size_t(--FSizeIndex)]);
}

void TXpStrHash::Rehash(int NewSize) {
    std::vector<TXpStrHashNode*> Nodes;
    for (int Bucket = 0; Bucket < BucketCount(); ++Bucket)
        for (auto* Node = static_cast<TXpStrHashNode*>(FBuckets.Items(Bucket)); Node;
             Node = Node->Next)
            Nodes.push_back(Node);
    FBuckets.Clear();
    FBuckets.SetCount(NewSize);
    for (TXpStrHashNode* Node : Nodes) {
        const int Bucket = int(Hash(Node->Key, uint32_t(NewSize)));
        Node->Next = static_cast<TXpStrHashNode*>(FBuckets.Items(Bucket));
        FBuckets.SetItem(Bucket, Node);
    }
}
