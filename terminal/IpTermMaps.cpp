#include "terminal/IpTermMaps.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/classes/Exception.h"
#include "terminal/Limits.h"

namespace {

constexpr size_t kKeyChains = 57;
constexpr size_t kCharSetChains = 199;
constexpr char kMagic[4] = {'A', 'H', 'T', '3'};

std::string_view Cut(std::string_view Text) {
    return Text.substr(0, std::min(Text.size(), TerminalLimits::kMaxMapString));
}

// Reads a resource without trusting it: every read checks what remains, and a record count
// larger than the bytes could hold is refused before anything is read.
class TResourceReader {
  public:
    explicit TResourceReader(std::span<const uint8_t> Data) : FData(Data) {}

    bool Magic() {
        if (FData.size() - FPos < 4 || std::memcmp(FData.data() + FPos, kMagic, 4) != 0)
            return false;
        FPos += 4;
        return true;
    }
    bool Count(uint32_t& Value, size_t MinRecord) {
        if (FData.size() - FPos < 4) return false;
        Value = 0;
        for (int I = 3; I >= 0; --I) Value = Value << 8 | FData[FPos + size_t(I)];
        FPos += 4;
        return Value <= (FData.size() - FPos) / MinRecord;
    }
    bool ShortString(std::string& Text) {
        if (FPos >= FData.size()) return false;
        const size_t Length = FData[FPos++];
        if (FData.size() - FPos < Length) return false;
        Text.assign(reinterpret_cast<const char*>(FData.data() + FPos), Length);
        FPos += Length;
        return true;
    }
    bool Byte(uint8_t& Value) {
        if (FPos >= FData.size()) return false;
        Value = FData[FPos++];
        return true;
    }

  private:
    std::span<const uint8_t> FData;
    size_t FPos = 0;
};

// Every emulator reads the same two resources, and reading one is most of what a new emulator
// cost: each is read once and copied after that. The bytes read are kept beside the map, so a
// module whose data changes (or whose memory is reused) is read again.
template <class TMap>
void LoadOnce(TMap& Map, std::span<const uint8_t> Data) {
    struct TRead {
        std::vector<uint8_t> Bytes;
        TMap Map;
    };
    constexpr size_t kKept = 4;
    static std::mutex Lock;
    static std::vector<TRead> Reads;
    const std::lock_guard<std::mutex> Guard(Lock);
    for (const TRead& R : Reads) {
        if (std::equal(R.Bytes.begin(), R.Bytes.end(), Data.begin(), Data.end())) {
            Map = R.Map;
            return;
        }
    }
    Map.LoadFromData(Data);
    if (Reads.size() == kKept) Reads.erase(Reads.begin());
    Reads.push_back({std::vector<uint8_t>(Data.begin(), Data.end()), Map});
}

}  // namespace

uint32_t IpTermElfHash(std::string_view Text, uint32_t Seed) {
    uint32_t H = Seed;
    for (const char C : Text) {
        H = (H << 4) + uint8_t(C);
        const uint32_t G = H & 0xF0000000u;
        if (G != 0) H ^= G >> 24;
        H &= ~G;
    }
    return H;
}

// --- key map --------------------------------------------------------------------------------

TIpKeyboardMapping::TIpKeyboardMapping() : FChains(kKeyChains) {}

bool TIpKeyboardMapping::Add(std::string_view Key, std::string_view Value) {
    Key = Cut(Key);
    const uint32_t Hash = IpTermElfHash(Key);
    if (FChains.Find(Hash, [Key](const TEntry& E) { return E.Key == Key; })) return false;
    FChains.Add(Hash, {std::string(Key), std::string(Cut(Value))});
    ++FCount;
    return true;
}

std::string TIpKeyboardMapping::Get(std::string_view Key) const {
    Key = Cut(Key);
    const TEntry* E =
        FChains.Find(IpTermElfHash(Key), [Key](const TEntry& E) { return E.Key == Key; });
    return E ? E->Value : std::string();
}

void TIpKeyboardMapping::Clear() {
    FChains.Clear();
    FCount = 0;
}

void TIpKeyboardMapping::LoadFromRes(const TResourceModule& Module, std::string_view ResName) {
    LoadOnce(*this, FindResourceData(Module, ResName));
}

void TIpKeyboardMapping::LoadFromData(std::span<const uint8_t> Data) {
    Clear();
    TResourceReader In(Data);
    uint32_t Records = 0;
    if (!In.Magic() || !In.Count(Records, 2)) return;
    std::string Key, Value;
    for (uint32_t I = 0; I < Records; ++I) {
        if (!In.ShortString(Key) || !In.ShortString(Value)) return Clear();
        Add(Key, Value);
    }
    if (!In.Magic()) Clear();
}

// --- character-set map ----------------------------------------------------------------------

TIpCharSetMapping::TIpCharSetMapping() : FChains(kCharSetChains) {}

const TIpCharSetMapping::TEntry* TIpCharSetMapping::Find(std::string_view CharSet,
                                                         uint8_t Ch) const {
    return FChains.Find(IpTermElfHash(CharSet, Ch), [CharSet, Ch](const TEntry& E) {
        return E.Ch == Ch && E.CharSet == CharSet;
    });
}

bool TIpCharSetMapping::Add(std::string_view CharSet, uint8_t FromCh, uint8_t FirstGlyph,
                            std::string_view Font, uint8_t ToCh) {
    CharSet = Cut(CharSet);
    ForgetLookups();
    Font = Cut(Font);
    for (int Ch = FromCh; Ch <= ToCh; ++Ch)
        if (Find(CharSet, uint8_t(Ch))) return false;
    for (int Ch = FromCh; Ch <= ToCh; ++Ch) {
        const auto Glyph = uint8_t(FirstGlyph + (Ch - FromCh));
        FChains.Add(IpTermElfHash(CharSet, uint8_t(Ch)),
                    {std::string(CharSet), std::string(Font), uint8_t(Ch), Glyph});
        ++FCount;
    }
    return true;
}

std::vector<std::string> TIpCharSetMapping::GetFontNames() const {
    std::vector<std::string> Names;
    FChains.Each([&Names](const TEntry& E) {
        if (std::find(Names.begin(), Names.end(), E.Font) == Names.end()) Names.push_back(E.Font);
    });
    return Names;
}

// For a character of the set GenerateDrawScript was asked for.
const TIpCharSetMapping::TEntry* TIpCharSetMapping::FindForScript(std::string_view CharSet,
                                                                  uint8_t Ch) {
    int& Index = FLookup[Ch];
    if (Index == kNotLookedUp) Index = FChains.IndexOf(Find(CharSet, Ch));
    return Index < 0 ? nullptr : &FChains.At(Index);
}

void TIpCharSetMapping::GenerateDrawScript(std::string_view Text, std::string_view CharSet) {
    static const std::string kDefaultFont = "<Default>";
    FScript.clear();
    FScriptPos = 0;
    TCharQueue Run;
    const std::string* Font = &kDefaultFont;
    if (!FLookupSet || *FLookupSet != CharSet) {
        FLookupSet.emplace(CharSet);
        FLookup.fill(kNotLookedUp);
    }
    for (const char C : Text) {
        const TEntry* E = FindForScript(CharSet, uint8_t(C));
        const std::string& CharFont = E ? E->Font : kDefaultFont;
        if (Run.Length() > 0 && CharFont != *Font) {
            FScript.push_back({*Font, Run.Text()});
            Run.Clear();
        }
        Font = &CharFont;
        Run.Add(E ? char(E->Glyph) : C);
    }
    if (Run.Length() > 0) FScript.push_back({*Font, Run.Text()});
}

bool TIpCharSetMapping::GetNextDrawCommand(std::string& Font, std::string& Text) {
    if (FScriptPos >= FScript.size()) return false;
    Font = FScript[FScriptPos].Font;
    Text = FScript[FScriptPos].Text;
    if (++FScriptPos == FScript.size()) {
        FScript.clear();
        FScriptPos = 0;
    }
    return true;
}

void TIpCharSetMapping::Clear() {
    ForgetLookups();
    FChains.Clear();
    FCount = 0;
    FScript.clear();
    FScriptPos = 0;
}

void TIpCharSetMapping::LoadFromRes(const TResourceModule& Module, std::string_view ResName) {
    LoadOnce(*this, FindResourceData(Module, ResName));
}

void TIpCharSetMapping::LoadFromData(std::span<const uint8_t> Data) {
    Clear();
    TResourceReader In(Data);
    uint32_t Records = 0;
    if (!In.Magic() || !In.Count(Records, 4)) return;
    std::string CharSet, Font;
    uint8_t Ch = 0, Glyph = 0;
    for (uint32_t I = 0; I < Records; ++I) {
        if (!In.ShortString(CharSet) || !In.ShortString(Font) || !In.Byte(Ch) || !In.Byte(Glyph))
            return Clear();
        Add(CharSet, Ch, Glyph, Font, Ch);
    }
    if (!In.Magic()) Clear();
}

// --- byte queue -------------------------------------------------------------------------------

TaaByteQueue::TaaByteQueue() : FData(64) {}

// Capacity is asked for in multiples of 64 and twice that is taken, so a stream of small
// blocks does not re-allocate for each.
void TaaByteQueue::Reserve(size_t Count) {
    if (Count > TerminalLimits::kMaxQueueBytes - this->Count())
        throw Exception("Received data exceeds the terminal's queue (" +
                        std::to_string(TerminalLimits::kMaxQueueBytes) + " bytes)");
    const size_t Need = this->Count() + Count;
    if (FTail + Count <= FData.size()) return;
    if (Need <= FData.size()) {
        // Enough room once the read bytes are dropped.
        std::memmove(FData.data(), FData.data() + FHead, this->Count());
    } else {
        const size_t Rounded = (Need + 63) / 64 * 64;
        std::vector<uint8_t> Bigger(Rounded * 2);
        std::memcpy(Bigger.data(), FData.data() + FHead, this->Count());
        FData.swap(Bigger);
    }
    FTail -= FHead;
    FHead = 0;
}

void TaaByteQueue::Put(const void* Data, size_t Count) {
    std::memcpy(PutPosition(Count), Data, Count);
    AdvanceTail(Count);
}

uint8_t* TaaByteQueue::PutPosition(size_t Count) {
    Reserve(Count);
    return FData.data() + FTail;
}

void TaaByteQueue::AdvanceTail(size_t Count) {
    FTail = std::min(FTail + Count, FData.size());
}

void TaaByteQueue::CheckHeld(size_t Count) const {
    if (Count > this->Count())
        throw Exception("Not enough data in queue (" + std::to_string(this->Count()) +
                        " bytes) to satisfy read request (" + std::to_string(Count) + " bytes)");
}

const uint8_t* TaaByteQueue::Peek(size_t Count) const {
    CheckHeld(Count);
    return FData.data() + FHead;
}

void TaaByteQueue::Remove(size_t Count) {
    CheckHeld(Count);
    FHead += Count;
    if (FHead == FTail) FHead = FTail = 0;
}

void TaaByteQueue::Clear() {
    FHead = FTail = 0;
}
