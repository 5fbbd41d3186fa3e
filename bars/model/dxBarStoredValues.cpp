#include "bars/model/dxBarStoredValues.h"

#include "bars/model/Limits.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
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

namespace {

// Sets each option the store has with a meaningful value.
struct TOptionReader {
    const TStoredIntegerReader& Read;
    template <class F>
    void Bool(const char* Name, bool, F Set) {
        if (const std::optional<int32_t> Value = Read(Name)) Set(*Value != 0);
    }
    template <class F>
    void Ordinal(const char* Name, int, int Last, F Set) {
        if (const std::optional<int32_t> Value = Read(Name); Value && *Value >= 0 && *Value <= Last)
            Set(*Value);
    }
};

}  // namespace

void ReadManagerOptions(TdxBarManager& Manager, const TStoredIntegerReader& Read) {
    TOptionReader Reader{Read};
    VisitManagerOptions(Manager, Reader);
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
