#include "components/regex/StStreamRegEx.h"

TStNodeHeap::TStNodeHeap() : FHeader(std::make_unique<THeader>()) {}

TStNodeHeap::~TStNodeHeap() {
    TStPatRecord* Node = FHeader->FreeList;
    while (Node != nullptr) {
        TStPatRecord* Next = Node->NextPattern;
        delete Node;
        Node = Next;
    }
}

TStPatRecord* TStNodeHeap::AllocNode() {
    TStPatRecord* Node = FHeader->FreeList;
    if (Node == nullptr) return new TStPatRecord;
    FHeader->FreeList = Node->NextPattern;
    Node->NextPattern = nullptr;
    return Node;
}

void TStNodeHeap::FreeNode(TStPatRecord* Node) {
    Node->NextPattern = FHeader->FreeList;
    FHeader->FreeList = Node;
}

int TStNodeHeap::FreeCount() const {
    int Count = 0;
    for (const TStPatRecord* Node = FHeader->FreeList; Node; Node = Node->NextPattern) ++Count;
    return Count;
}

TStStreamRegEx::TStStreamRegEx() = default;

TStStreamRegEx::~TStStreamRegEx() {
    for (TPatternSet& Set : Patterns) DisposeParsedPattern(Set.Parsed);
}

void TStStreamRegEx::DisposeParsedPattern(TStPatRecord*& Pattern) {
    TStPatRecord* Node = Pattern;
    while (Node != nullptr) {
        TStPatRecord* Next = Node->NextPattern;
        Node->Data.reset();
        DisposeParsedPattern(Node->NestedPattern);
        FNodeHeap.FreeNode(Node);
        Node = Next;
    }
    Pattern = nullptr;
}
