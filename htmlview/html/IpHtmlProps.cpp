#include "htmlview/html/IpHtmlProps.h"

#include <functional>

#include "htmlview/html/IpHtml.h"
#include "netlib/base/IpBase.h"

namespace {

[[noreturn]] void InternalError() {
    throw EIpHtmlException("Internal error");
}

void Mix(size_t& Seed, size_t Value) {
    Seed ^= Value + 0x9E3779B97F4A7C15ull + (Seed << 6) + (Seed >> 2);
}

}  // namespace

size_t TIpHtmlPropAKeyHash::operator()(const TIpHtmlPropAKey& Key) const {
    size_t Seed = std::hash<std::string>()(Key.FontName);
    Mix(Seed, size_t(uint32_t(Key.FontSize)));
    Mix(Seed, size_t(uint32_t(Key.BaseFontSize)));
    Mix(Seed, Key.FontStyle);
    return Seed;
}

size_t TIpHtmlPropBKeyHash::operator()(const TIpHtmlPropBKey& Key) const {
    size_t Seed = size_t(uint32_t(Key.BaseOffset));
    Mix(Seed, size_t(Key.Alignment));
    Mix(Seed, Key.FontColor);
    Mix(Seed, size_t(Key.VAlignment));
    Mix(Seed, Key.LinkColor);
    Mix(Seed, Key.VLinkColor);
    Mix(Seed, Key.ALinkColor);
    Mix(Seed, Key.BgColor);
    Mix(Seed, size_t(Key.Preformatted) << 1 | size_t(Key.NoBreak));
    return Seed;
}

void TIpHtmlPropA::SetKnownSizeOfSpace(int32_t Width, int32_t Height) {
    if (Width == 0) InternalError();
    FSpaceWidth = Width;
    FSpaceHeight = Height;
    FSizeOfSpaceKnown = true;
}

void TIpHtmlPropA::ClearMetrics() {
    FSizeOfSpaceKnown = false;
    FSpaceWidth = FSpaceHeight = 0;
    HyphenWidth = HyphenHeight = Ascent = Descent = Height = 0;
    WordSizes.clear();
}

TIpHtmlPropList::TIpHtmlPropList() = default;
TIpHtmlPropList::~TIpHtmlPropList() = default;

TIpHtmlPropA* TIpHtmlPropList::FindOrAddA(const TIpHtmlPropAKey& Key) {
    const auto Found = FIndexA.find(Key);
    if (Found != FIndexA.end()) return Found->second;
    FPropA.push_back(std::make_unique<TIpHtmlPropA>(Key));
    TIpHtmlPropA* Record = FPropA.back().get();
    FIndexA.emplace(Key, Record);
    return Record;
}

TIpHtmlPropB* TIpHtmlPropList::FindOrAddB(const TIpHtmlPropBKey& Key) {
    const auto Found = FIndexB.find(Key);
    if (Found != FIndexB.end()) return Found->second;
    FPropB.push_back(std::make_unique<TIpHtmlPropB>(Key));
    TIpHtmlPropB* Record = FPropB.back().get();
    Record->FIndex = FPropB.size() - 1;
    FIndexB.emplace(Key, Record);
    return Record;
}

void TIpHtmlPropList::ReleaseA(TIpHtmlPropA* Record) {
    --Record->FUseCount;
}

void TIpHtmlPropList::ReleaseB(TIpHtmlPropB* Record) {
    --Record->FUseCount;
    if (Record->FUseCount > 0) return;
    if (Record->FUseCount < 0) InternalError();
    const size_t Index = Record->FIndex;
    if (Index >= FPropB.size() || FPropB[Index].get() != Record) InternalError();
    FIndexB.erase(Record->FKey);
    if (Index != FPropB.size() - 1) {
        std::swap(FPropB[Index], FPropB.back());
        FPropB[Index]->FIndex = Index;
    }
    FPropB.pop_back();
}

void TIpHtmlPropList::ClearFontMetrics() {
    for (const auto& Record : FPropA) Record->ClearMetrics();
}

TIpHtmlProps::TIpHtmlProps(TIpHtml& Owner) : FOwner(Owner) {
    UseA(Owner.DefaultPropA());
    UseB(Owner.DefaultPropB());
}

TIpHtmlProps::~TIpHtmlProps() {
    FOwner.PropList().ReleaseA(FPropA);
    FOwner.PropList().ReleaseB(FPropB);
}

void TIpHtmlProps::Assign(const TIpHtmlProps& Source) {
    if (FPropA != Source.FPropA) UseA(Source.FPropA);
    if (FPropB != Source.FPropB) UseB(Source.FPropB);
}

void TIpHtmlProps::UseA(TIpHtmlPropA* Record) {
    ++Record->FUseCount;
    if (FPropA) FOwner.PropList().ReleaseA(FPropA);
    FPropA = Record;
}

void TIpHtmlProps::UseB(TIpHtmlPropB* Record) {
    ++Record->FUseCount;
    TIpHtmlPropB* Old = FPropB;
    FPropB = Record;
    if (Old) FOwner.PropList().ReleaseB(Old);
}

template <class T>
void TIpHtmlProps::ChangeA(T TIpHtmlPropAKey::*Field, const T& Value) {
    if (FPropA->FKey.*Field == Value) return;
    TIpHtmlPropAKey Key = FPropA->FKey;
    Key.*Field = Value;
    UseA(FOwner.PropList().FindOrAddA(Key));
}

template <class T>
void TIpHtmlProps::ChangeB(T TIpHtmlPropBKey::*Field, const T& Value) {
    if (FPropB->FKey.*Field == Value) return;
    TIpHtmlPropBKey Key = FPropB->FKey;
    Key.*Field = Value;
    UseB(FOwner.PropList().FindOrAddB(Key));
}

void TIpHtmlProps::SetFontName(const std::string& Value) {
    ChangeA(&TIpHtmlPropAKey::FontName, Value);
}
void TIpHtmlProps::SetFontSize(int32_t Value) {
    ChangeA(&TIpHtmlPropAKey::FontSize, Value);
}
void TIpHtmlProps::SetBaseFontSize(int32_t Value) {
    ChangeA(&TIpHtmlPropAKey::BaseFontSize, Value);
}
void TIpHtmlProps::SetFontStyle(TIpHtmlFontStyleSet Value) {
    ChangeA(&TIpHtmlPropAKey::FontStyle, Value);
}
void TIpHtmlProps::SetBaseOffset(int32_t Value) {
    ChangeB(&TIpHtmlPropBKey::BaseOffset, Value);
}
void TIpHtmlProps::SetAlignment(TIpHtmlAlign Value) {
    if (Value == TIpHtmlAlign::haDefault) return;
    ChangeB(&TIpHtmlPropBKey::Alignment, Value);
}
void TIpHtmlProps::SetFontColor(TIpHtmlColor Value) {
    ChangeB(&TIpHtmlPropBKey::FontColor, Value);
}
void TIpHtmlProps::SetVAlignment(TIpHtmlVAlign3 Value) {
    ChangeB(&TIpHtmlPropBKey::VAlignment, Value);
}
void TIpHtmlProps::SetLinkColor(TIpHtmlColor Value) {
    ChangeB(&TIpHtmlPropBKey::LinkColor, Value);
}
void TIpHtmlProps::SetVLinkColor(TIpHtmlColor Value) {
    ChangeB(&TIpHtmlPropBKey::VLinkColor, Value);
}
void TIpHtmlProps::SetALinkColor(TIpHtmlColor Value) {
    ChangeB(&TIpHtmlPropBKey::ALinkColor, Value);
}
void TIpHtmlProps::SetBgColor(TIpHtmlColor Value) {
    ChangeB(&TIpHtmlPropBKey::BgColor, Value);
}
void TIpHtmlProps::SetPreformatted(bool Value) {
    ChangeB(&TIpHtmlPropBKey::Preformatted, Value);
}
void TIpHtmlProps::SetNoBreak(bool Value) {
    ChangeB(&TIpHtmlPropBKey::NoBreak, Value);
}
