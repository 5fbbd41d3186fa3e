#pragma once
// The state of a line-oriented regular-expression filter over text streams: its settings, three
// pattern sets and the heap their parsed nodes come from. Matching and pattern parsing are not
// part of the program; the object is only made and freed.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Classes.h"

// One node of a parsed pattern.
struct TStPatRecord {
    std::unique_ptr<char[]> Data;           // a block of the node's own, or none
    TStPatRecord* NestedPattern = nullptr;  // a list of nodes below it, or none
    TStPatRecord* NextPattern = nullptr;
};

// Pattern nodes that were given back, kept for reuse.
class TStNodeHeap {
  public:
    TStNodeHeap();
    // Frees every node given back.
    ~TStNodeHeap();
    TStNodeHeap(const TStNodeHeap&) = delete;
    TStNodeHeap& operator=(const TStNodeHeap&) = delete;

    // A node from the free list, else a new one; empty either way.
    TStPatRecord* AllocNode();
    // Puts the node in front of the free list (its data and nested list must be gone).
    void FreeNode(TStPatRecord* Node);
    int FreeCount() const;

  private:
    struct THeader {
        TStPatRecord* FreeList = nullptr;
    };
    std::unique_ptr<THeader> FHeader;
};

class TStStreamRegEx {
  public:
    // One set of patterns: its lines, the text buffer built from them and the parsed nodes.
    struct TPatternSet {
        TStringList Lines;
        std::unique_ptr<char[]> Buffer;
        TStPatRecord* Parsed = nullptr;
    };

    TStStreamRegEx();
    ~TStStreamRegEx();
    TStStreamRegEx(const TStStreamRegEx&) = delete;
    TStStreamRegEx& operator=(const TStStreamRegEx&) = delete;

    // Frees each node's data and nested list and gives the node to the heap; the list becomes
    // empty.
    void DisposeParsedPattern(TStPatRecord*& Pattern);

    std::array<bool, 2> Options{};
    std::array<bool, 2> Flags{};
    int InLineTerminator = 3;
    char InLineTermChar = '\n';
    int InFixedLineLength = 80;
    int OutLineTerminator = 3;
    char OutLineTermChar = '\n';
    int OutFixedLineLength = 80;
    int MaxLineLength = 1024;
    std::array<TPatternSet, 3> Patterns;
    TStNodeHeap& NodeHeap() { return FNodeHeap; }

  private:
    TStNodeHeap FNodeHeap;
};
