#pragma once
// The key map and the character-set map of the VT100 emulator, read from the program's
// resources, and the small queues the terminal moves bytes and text through.
//
// Resource layout (little-endian): "AHT3", a 32-bit record count, the records, "AHT3". A key
// record is two short strings (a length byte, then the characters): key and value. A
// character-set record is two short strings (set name, font name), then the character code and
// the glyph code. A resource that is missing, cut short or closed by anything but "AHT3" leaves
// the map empty; nothing is reported.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/ResourceData.h"

// The hash both maps use: the ELF hash over the characters, started with Seed.
uint32_t IpTermElfHash(std::string_view Text, uint32_t Seed = 0);

class TIpKeyboardMapping {
  public:
    TIpKeyboardMapping();

    // False when the key is present already. Keys and values longer than 63 characters are cut.
    bool Add(std::string_view Key, std::string_view Value);
    // The value, or an empty string.
    std::string Get(std::string_view Key) const;
    void Clear();
    int Count() const { return FCount; }
    void LoadFromRes(const TResourceModule& Module, std::string_view ResName);
    void LoadFromData(std::span<const uint8_t> Data);

  private:
    struct TEntry {
        std::string Key;
        std::string Value;
    };
    std::vector<std::vector<TEntry>> FChains;
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

    std::vector<std::vector<TEntry>> FChains;
    int FCount = 0;
    std::vector<TScriptElement> FScript;
    size_t FScriptPos = 0;
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
