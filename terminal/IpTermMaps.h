#pragma once
// The key map and the character-set map of the VT100 emulator, read from the program's
// resources, and the small queues the terminal moves bytes and text through.
//
// Resource layout (little-endian): "AHT3", a 32-bit record count, the records, "AHT3". A key
// record is two short strings (a length byte, then the characters): key and value. A
// character-set record is two short strings (set name, font name), then the character code and
// the glyph code. A resource that is missing, cut short or closed by anything but "AHT3" leaves
// the map empty; nothing is reported.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resources/ResourceData.h"

// The hash both maps use: the ELF hash over the characters, started with Seed.
uint32_t IpTermElfHash(std::string_view Text, uint32_t Seed = 0);

// A chained hash table whose entries lie in one array, each chain linked through the entries
// in the order they were added: copying a map is copying four arrays, which is what lets every
// new emulator take the maps read once (see LoadFromRes).
template <class TEntry>
class TIpHashChains {
  public:
    explicit TIpHashChains(size_t Chains) : FHeads(Chains, -1), FTails(Chains, -1) {}

    template <class FMatch>
    const TEntry* Find(uint32_t Hash, FMatch&& Match) const {
        for (int I = FHeads[Hash % FHeads.size()]; I >= 0; I = FNext[size_t(I)])
            if (Match(FEntries[size_t(I)])) return &FEntries[size_t(I)];
        return nullptr;
    }
    // Entries keep their places while the table lives, and in its copies.
    int IndexOf(const TEntry* Entry) const { return Entry ? int(Entry - FEntries.data()) : -1; }
    const TEntry& At(int Index) const { return FEntries[size_t(Index)]; }
    void Add(uint32_t Hash, TEntry Entry) {
        const size_t Chain = Hash % FHeads.size();
        const int Index = int(FEntries.size());
        FEntries.push_back(std::move(Entry));
        FNext.push_back(-1);
        if (FTails[Chain] < 0)
            FHeads[Chain] = Index;
        else
            FNext[size_t(FTails[Chain])] = Index;
        FTails[Chain] = Index;
    }
    void Clear() {
        std::fill(FHeads.begin(), FHeads.end(), -1);
        std::fill(FTails.begin(), FTails.end(), -1);
        FEntries.clear();
        FNext.clear();
    }
    // Chain after chain, each in the order its entries were added.
    template <class FStep>
    void Each(FStep&& Step) const {
        for (const int Head : FHeads)
            for (int I = Head; I >= 0; I = FNext[size_t(I)]) Step(FEntries[size_t(I)]);
    }

  private:
    std::vector<int> FHeads;
    std::vector<int> FTails;
    std::vector<TEntry> FEntries;
    std::vector<int> FNext;
};

class TIpKeyboardMapping {
  public:
    TIpKeyboardMapping();

    // False when the key is present already. Keys and values longer than 63 characters are cut.
    bool Add(std::string_view Key, std::string_view Value);
    // The value, or an empty string.
    std::string Get(std::string_view Key) const;
    void Clear();
    int Count() const { return FCount; }
    // Each resource is read once; later loads of the same bytes copy that map.
    void LoadFromRes(const TResourceModule& Module, std::string_view ResName);
    void LoadFromData(std::span<const uint8_t> Data);

  private:
    struct TEntry {
        std::string Key;
        std::string Value;
    };
    TIpHashChains<TEntry> FChains;
    int FCount = 0;
};

class TIpCharSetMapping {
  public:
    TIpCharSetMapping();

    // One entry per character FromCh..ToCh of the set, the glyph counting up from FirstGlyph;
    // false and nothing added when any of them is present already.
    bool Add(std::string_view CharSet, uint8_t FromCh, uint8_t FirstGlyph, std::string_view Font,
             uint8_t ToCh);
    // Every font name in use, each once.
    std::vector<std::string> GetFontNames() const;
    // Builds the draw script of Text in CharSet: runs of characters drawn in one font, each
    // character replaced by its glyph; characters without an entry are drawn as themselves in
    // "<Default>" (the terminal's own font).
    void GenerateDrawScript(std::string_view Text, std::string_view CharSet);
    // Takes the next element of the script; false when it is empty.
    bool GetNextDrawCommand(std::string& Font, std::string& Text);
    void Clear();
    int Count() const { return FCount; }
    // Each resource is read once; later loads of the same bytes copy that map.
    void LoadFromRes(const TResourceModule& Module, std::string_view ResName);
    void LoadFromData(std::span<const uint8_t> Data);

  private:
    struct TEntry {
        std::string CharSet;
        std::string Font;
        uint8_t Ch;
        uint8_t Glyph;
    };
    struct TScriptElement {
        std::string Font;
        std::string Text;
    };
    const TEntry* Find(std::string_view CharSet, uint8_t Ch) const;
    const TEntry* FindForScript(std::string_view CharSet, uint8_t Ch);
    void ForgetLookups() { FLookupSet.reset(); }

    TIpHashChains<TEntry> FChains;
    int FCount = 0;
    std::vector<TScriptElement> FScript;
    size_t FScriptPos = 0;
    // Rows are drawn a character at a time, mostly in one set: the entries of the set asked for
    // last, by character, as they are found (kNotLookedUp, or -1 for none). Every change of the
    // entries forgets them.
    static constexpr int kNotLookedUp = -2;
    std::optional<std::string> FLookupSet;
    std::array<int, 256> FLookup{};
};

// Received bytes between the socket message and the emulator: a contiguous buffer with a head
// and a tail.
class TaaByteQueue {
  public:
    TaaByteQueue();

    void Put(const void* Data, size_t Count);
    // Room for Count bytes at the tail; AdvanceTail says how many were written.
    uint8_t* PutPosition(size_t Count);
    void AdvanceTail(size_t Count);
    // The first Count bytes; raises when fewer are held.
    const uint8_t* Peek(size_t Count) const;
    void Remove(size_t Count);
    size_t Count() const { return FTail - FHead; }
    size_t Capacity() const { return FData.size(); }
    void Clear();

  private:
    void Reserve(size_t Count);
    void CheckHeld(size_t Count) const;

    std::vector<uint8_t> FData;
    size_t FHead = 0;
    size_t FTail = 0;
};

// The text of the draw-script element being built.
class TCharQueue {
  public:
    void Add(char Ch) { FText.push_back(Ch); }
    void Clear() { FText.clear(); }
    size_t Length() const { return FText.size(); }
    const std::string& Text() const { return FText; }

  private:
    std::string FText;
};
