#pragma once
// Property records: fonts, colours and alignment carried down the node tree. A node points to a
// TIpHtmlProps, which points to two records shared by every node with the same values: the font
// record (TIpHtmlPropA) and the other record (TIpHtmlPropB). Changing a field copies on write:
// the record with the new values is looked up in the document's list, or made and added, so
// nodes with equal properties always share one record and comparing properties is comparing
// two pointers. The lists are searched through a hash of the values, not walked.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "htmlview/html/IpHtmlCanvas.h"
#include "htmlview/html/IpHtmlTypes.h"

class TIpHtml;

// The values that identify a font record.
struct TIpHtmlPropAKey {
    std::string FontName;
    int32_t FontSize = 0;
    int32_t BaseFontSize = 0;
    TIpHtmlFontStyleSet FontStyle = 0;
    bool operator==(const TIpHtmlPropAKey&) const = default;
};

// The values that identify the other record.
struct TIpHtmlPropBKey {
    int32_t BaseOffset = 0;
    TIpHtmlAlign Alignment = TIpHtmlAlign::haDefault;
    TIpHtmlColor FontColor = 0;
    TIpHtmlVAlign3 VAlignment = TIpHtmlVAlign3::hva3Top;
    TIpHtmlColor LinkColor = 0;
    TIpHtmlColor VLinkColor = 0;
    TIpHtmlColor ALinkColor = 0;
    TIpHtmlColor BgColor = kHtmlNoColor;
    bool Preformatted = false;
    bool NoBreak = false;
    bool operator==(const TIpHtmlPropBKey&) const = default;
};

struct TIpHtmlPropAKeyHash {
    size_t operator()(const TIpHtmlPropAKey& Key) const;
};
struct TIpHtmlPropBKeyHash {
    size_t operator()(const TIpHtmlPropBKey& Key) const;
};

// Word sizes are looked up by the text of an element without copying it.
struct TIpHtmlWordHash {
    using is_transparent = void;
    size_t operator()(std::string_view Text) const { return std::hash<std::string_view>()(Text); }
};
using TIpHtmlWordSizes =
    std::unordered_map<std::string, TIpHtmlSize, TIpHtmlWordHash, std::equal_to<>>;

// A font record with the metrics measured for it. The metrics belong to the font on one canvas;
// layout fills them on first use and clears them before laying out on another canvas.
class TIpHtmlPropA {
  public:
    explicit TIpHtmlPropA(const TIpHtmlPropAKey& Key) : FKey(Key) {}
    const TIpHtmlPropAKey& Key() const { return FKey; }
    const std::string& FontName() const { return FKey.FontName; }
    int32_t FontSize() const { return FKey.FontSize; }
    int32_t BaseFontSize() const { return FKey.BaseFontSize; }
    TIpHtmlFontStyleSet FontStyle() const { return FKey.FontStyle; }
    int32_t UseCount() const { return FUseCount; }

    // The size of a space; raises "Internal error" for a width of 0, which would make every
    // blank vanish and the line breaker loop.
    void SetKnownSizeOfSpace(int32_t Width, int32_t Height);
    bool SizeOfSpaceKnown() const { return FSizeOfSpaceKnown; }
    int32_t SpaceWidth() const { return FSpaceWidth; }
    int32_t SpaceHeight() const { return FSpaceHeight; }
    // The other metrics of the font; cleared together with the size of a space.
    int32_t HyphenWidth = 0;
    int32_t HyphenHeight = 0;
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t Height = 0;
    // The size of every word measured in this font, so that a word that comes again, and a
    // layout at another width, measure nothing.
    TIpHtmlWordSizes WordSizes;
    void ClearMetrics();

  private:
    friend class TIpHtmlProps;
    friend class TIpHtmlPropList;
    TIpHtmlPropAKey FKey;
    int32_t FUseCount = 0;
    bool FSizeOfSpaceKnown = false;
    int32_t FSpaceWidth = 0;
    int32_t FSpaceHeight = 0;
};

class TIpHtmlPropB {
  public:
    explicit TIpHtmlPropB(const TIpHtmlPropBKey& Key) : FKey(Key) {}
    const TIpHtmlPropBKey& Key() const { return FKey; }
    int32_t UseCount() const { return FUseCount; }

  private:
    friend class TIpHtmlProps;
    friend class TIpHtmlPropList;
    TIpHtmlPropBKey FKey;
    int32_t FUseCount = 0;
    size_t FIndex = 0;  // position in the document's list
};

// The document's two record lists, each with an index by value. Both own their records; font
// records stay until the document goes, other records leave when their last user releases them.
class TIpHtmlPropList {
  public:
    TIpHtmlPropList();
    ~TIpHtmlPropList();
    TIpHtmlPropList(const TIpHtmlPropList&) = delete;
    TIpHtmlPropList& operator=(const TIpHtmlPropList&) = delete;

    size_t PropACount() const { return FPropA.size(); }
    size_t PropBCount() const { return FPropB.size(); }
    TIpHtmlPropA* PropA(size_t Index) const { return FPropA.at(Index).get(); }
    TIpHtmlPropB* PropB(size_t Index) const { return FPropB.at(Index).get(); }
    // The record with these values, made and appended when there is none.
    TIpHtmlPropA* FindOrAddA(const TIpHtmlPropAKey& Key);
    TIpHtmlPropB* FindOrAddB(const TIpHtmlPropBKey& Key);
    // Adds one use (the document's own hold on its default records).
    void RetainA(TIpHtmlPropA* Record) { ++Record->FUseCount; }
    void RetainB(TIpHtmlPropB* Record) { ++Record->FUseCount; }
    // Drops one use; a record of the other kind is removed and freed with its last use, the last
    // entry taking its place in the list.
    void ReleaseA(TIpHtmlPropA* Record);
    void ReleaseB(TIpHtmlPropB* Record);
    // Clears the metrics of every font record (before a layout on another canvas).
    void ClearFontMetrics();

  private:
    std::vector<std::unique_ptr<TIpHtmlPropA>> FPropA;
    std::vector<std::unique_ptr<TIpHtmlPropB>> FPropB;
    std::unordered_map<TIpHtmlPropAKey, TIpHtmlPropA*, TIpHtmlPropAKeyHash> FIndexA;
    std::unordered_map<TIpHtmlPropBKey, TIpHtmlPropB*, TIpHtmlPropBKeyHash> FIndexB;
};

// The properties in force at a node: a pointer to one record of each kind.
class TIpHtmlProps {
  public:
    // Starts with the document's default records.
    explicit TIpHtmlProps(TIpHtml& Owner);
    ~TIpHtmlProps();
    TIpHtmlProps(const TIpHtmlProps&) = delete;
    TIpHtmlProps& operator=(const TIpHtmlProps&) = delete;

    // Takes the source's records.
    void Assign(const TIpHtmlProps& Source);
    bool PropsEqual(const TIpHtmlProps& Other) const {
        return FPropA == Other.FPropA && FPropB == Other.FPropB;
    }
    bool FontEqual(const TIpHtmlProps& Other) const { return FPropA == Other.FPropA; }
    TIpHtml& Owner() const { return FOwner; }
    TIpHtmlPropA* PropA() const { return FPropA; }
    TIpHtmlPropB* PropB() const { return FPropB; }

    const std::string& FontName() const { return FPropA->FKey.FontName; }
    int32_t FontSize() const { return FPropA->FKey.FontSize; }
    int32_t BaseFontSize() const { return FPropA->FKey.BaseFontSize; }
    TIpHtmlFontStyleSet FontStyle() const { return FPropA->FKey.FontStyle; }
    int32_t BaseOffset() const { return FPropB->FKey.BaseOffset; }
    TIpHtmlAlign Alignment() const { return FPropB->FKey.Alignment; }
    TIpHtmlColor FontColor() const { return FPropB->FKey.FontColor; }
    TIpHtmlVAlign3 VAlignment() const { return FPropB->FKey.VAlignment; }
    TIpHtmlColor LinkColor() const { return FPropB->FKey.LinkColor; }
    TIpHtmlColor VLinkColor() const { return FPropB->FKey.VLinkColor; }
    TIpHtmlColor ALinkColor() const { return FPropB->FKey.ALinkColor; }
    TIpHtmlColor BgColor() const { return FPropB->FKey.BgColor; }
    bool Preformatted() const { return FPropB->FKey.Preformatted; }
    bool NoBreak() const { return FPropB->FKey.NoBreak; }

    void SetFontName(const std::string& Value);
    void SetFontSize(int32_t Value);
    void SetBaseFontSize(int32_t Value);
    void SetFontStyle(TIpHtmlFontStyleSet Value);
    void SetBaseOffset(int32_t Value);
    // haDefault leaves the record as it is.
    void SetAlignment(TIpHtmlAlign Value);
    void SetFontColor(TIpHtmlColor Value);
    void SetVAlignment(TIpHtmlVAlign3 Value);
    void SetLinkColor(TIpHtmlColor Value);
    void SetVLinkColor(TIpHtmlColor Value);
    void SetALinkColor(TIpHtmlColor Value);
    void SetBgColor(TIpHtmlColor Value);
    void SetPreformatted(bool Value);
    void SetNoBreak(bool Value);

  private:
    template <class T>
    void ChangeA(T TIpHtmlPropAKey::*Field, const T& Value);
    template <class T>
    void ChangeB(T TIpHtmlPropBKey::*Field, const T& Value);
    void UseA(TIpHtmlPropA* Record);
    void UseB(TIpHtmlPropB* Record);

    TIpHtml& FOwner;
    TIpHtmlPropA* FPropA = nullptr;
    TIpHtmlPropB* FPropB = nullptr;
};
