#include "bars/dxBarStoredValues.h"

#include "bars/Limits.h"
#include "bars/dxBarItemLinks.h"
#include "bars/dxBarManager.h"
#include "platform/classes/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/registry/Registry.h"

std::optional<int32_t> ReadStoredInteger(TRegistry& Registry, const std::string& Name) {
    if (Registry.GetDataType(Name) != rdInteger) return std::nullopt;
    return Registry.ReadInteger(Name);
}

std::optional<bool> ReadStoredBool(TRegistry& Registry, const std::string& Name) {
    const std::optional<int32_t> Value = ReadStoredInteger(Registry, Name);
    if (!Value) return std::nullopt;
    return *Value != 0;
}

void ReadManagerOptions(TdxBarManager& Manager, const TStoredIntegerReader& Read) {
    const auto ReadBool = [&](const std::string& Name) -> std::optional<bool> {
        if (const std::optional<int32_t> Value = Read(Name)) return *Value != 0;
        return std::nullopt;
    };
    // The options of the recent-item menus exist in the other styles only.
    if (Manager.Style() != bmsStandard) {
        if (auto V = ReadBool("MenusShowRecentItemsFirst"))
            Manager.SetMenusShowRecentItemsFirst(*V);
        if (auto V = ReadBool("ShowFullMenusAfterDelay")) Manager.SetShowFullMenusAfterDelay(*V);
    }
    if (auto V = ReadBool("LargeIcons")) Manager.SetLargeIcons(*V);
    if (auto V = Read("MenuAnimations"); V && *V >= maNone && *V <= maSlide)
        Manager.SetMenuAnimations(TdxBarMenuAnimations(*V));
    if (auto V = ReadBool("ShowHint")) Manager.SetShowHint(*V);
    if (auto V = ReadBool("ShowShortCutInHint")) Manager.SetShowShortCutInHint(*V);
}

void ReadManagerOptions(TdxBarManager& Manager, TRegistry& Registry) {
    ReadManagerOptions(Manager,
                       [&](const std::string& Name) { return ReadStoredInteger(Registry, Name); });
}

TdxBarUserDefines UserDefinesFromStored(int64_t Bits) {
    return TdxBarUserDefines::FromBits(uint64_t(Bits)) * kAllUserDefines;
}

void LoadUserGlyph(TdxBarItemLink& Link, const std::string& Bmp) {
    if (int64_t(Bmp.size()) > BarsLimits::kMaxUserGlyphBytes)
        throw EInvalidGraphic("The stored glyph is larger than a glyph can be");
    TMemoryStream Stream;
    Stream.WriteBuffer(Bmp.data(), int64_t(Bmp.size()));
    Stream.SetPosition(0);
    TBitmap Glyph;
    Glyph.LoadFromStream(Stream);
    Link.SetUserGlyph(&Glyph);
}
