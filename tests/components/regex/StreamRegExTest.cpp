// The regular-expression stream object is only made and freed: its settings after construction,
// and parsed patterns given back to the node heap (a leak shows under the address sanitizer).
#include <gtest/gtest.h>

#include "components/regex/StStreamRegEx.h"

namespace {

TEST(StStreamRegEx, ConstructionSettings) {
    TStStreamRegEx RegEx;
    EXPECT_EQ(RegEx.InLineTerminator, 3);
    EXPECT_EQ(RegEx.InLineTermChar, '\n');
    EXPECT_EQ(RegEx.InFixedLineLength, 80);
    EXPECT_EQ(RegEx.OutLineTerminator, 3);
    EXPECT_EQ(RegEx.OutLineTermChar, '\n');
    EXPECT_EQ(RegEx.OutFixedLineLength, 80);
    EXPECT_EQ(RegEx.MaxLineLength, 1024);
    for (const auto& Set : RegEx.Patterns) {
        EXPECT_EQ(Set.Lines.Count(), 0);
        EXPECT_EQ(Set.Parsed, nullptr);
        EXPECT_EQ(Set.Buffer, nullptr);
    }
    EXPECT_EQ(RegEx.NodeHeap().FreeCount(), 0);
}

TEST(StStreamRegEx, ParsedPatternsGoBackToTheHeapNestedListsIncluded) {
    TStStreamRegEx RegEx;
    TStNodeHeap& Heap = RegEx.NodeHeap();
    // a -> b(nested: c -> d) -> e
    TStPatRecord* A = Heap.AllocNode();
    TStPatRecord* B = Heap.AllocNode();
    TStPatRecord* C = Heap.AllocNode();
    TStPatRecord* D = Heap.AllocNode();
    TStPatRecord* E = Heap.AllocNode();
    A->NextPattern = B;
    B->NextPattern = E;
    B->NestedPattern = C;
    C->NextPattern = D;
    A->Data.reset(new char[16]);
    D->Data.reset(new char[8]);
    RegEx.Patterns[0].Parsed = A;
    RegEx.DisposeParsedPattern(RegEx.Patterns[0].Parsed);
    EXPECT_EQ(RegEx.Patterns[0].Parsed, nullptr);
    EXPECT_EQ(Heap.FreeCount(), 5);
    // Nodes come back from the free list, emptied.
    TStPatRecord* Again = Heap.AllocNode();
    EXPECT_EQ(Again->Data, nullptr);
    EXPECT_EQ(Again->NextPattern, nullptr);
    EXPECT_EQ(Heap.FreeCount(), 4);
    // Left parsed at the end: freed with the object.
    Again->NestedPattern = Heap.AllocNode();
    Again->Data.reset(new char[4]);
    RegEx.Patterns[2].Parsed = Again;
    RegEx.Patterns[1].Lines.Add("^From:");
    RegEx.Patterns[1].Buffer.reset(new char[32]);
}

}  // namespace
