#include "fuzz/barlayout/StoredLayoutModel.h"

#include <algorithm>
#include <map>

#include "bars/model/Limits.h"
#include "platform/registry/Limits.h"

namespace BarLayoutModel {

namespace {

std::string Lower(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
    return Text;
}

bool Blank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string Trim(const std::string& Text) {
    size_t Begin = 0, End = Text.size();
    while (Begin < End && Blank(Text[Begin])) ++Begin;
    while (End > Begin && Blank(Text[End - 1])) --End;
    return Text.substr(Begin, End - Begin);
}

int Hex(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// ---- the INI file -----------------------------------------------------------------------------

// Digits in Base, at most MaxDigits of them; none for anything else.
std::optional<int64_t> Digits(const std::string& Text, int Base, size_t MaxDigits) {
    if (Text.empty() || Text.size() > MaxDigits) return std::nullopt;
    int64_t Number = 0;
    for (char C : Text) {
        const int Digit = Hex(C);
        if (Digit < 0 || Digit >= Base) return std::nullopt;
        Number = Number * Base + Digit;
        if (Number > int64_t(UINT32_MAX)) return std::nullopt;
    }
    return Number;
}

std::optional<int32_t> IniNumber(const std::string& Value) {
    std::string Text = Trim(Value);
    bool Negative = false;
    if (!Text.empty() && (Text[0] == '+' || Text[0] == '-')) {
        Negative = Text[0] == '-';
        Text.erase(0, 1);
    }
    // Hexadecimal: "$" or "0x", and its digits are the bits of a 32-bit number.
    size_t HexDigitsAt = 0;
    if (!Text.empty() && Text[0] == '$')
        HexDigitsAt = 1;
    else if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X'))
        HexDigitsAt = 2;
    std::optional<int64_t> Number =
        HexDigitsAt ? Digits(Text.substr(HexDigitsAt), 16, 8) : Digits(Text, 10, std::string::npos);
    if (!Number) return std::nullopt;
    if (HexDigitsAt) Number = int32_t(uint32_t(*Number));
    if (Negative) Number = -*Number;
    if (*Number < INT32_MIN || *Number > INT32_MAX) return std::nullopt;
    return int32_t(*Number);
}

class TIniStore : public TStore {
  public:
    explicit TIniStore(const std::string& Bytes) {
        // The values of the section being read; none before the first header and after a
        // damaged one.
        std::map<std::string, std::string>* Section = nullptr;
        size_t At = 0;
        while (At < Bytes.size()) {
            size_t End = Bytes.find_first_of("\r\n", At);
            if (End == std::string::npos) End = Bytes.size();
            const std::string Line = Bytes.substr(At, End - At);
            At = End;
            if (At < Bytes.size() && Bytes[At] == '\r') ++At;
            if (At < Bytes.size() && Bytes[At] == '\n') ++At;
            if (Line.find('\0') != std::string::npos) break;
            const std::string Trimmed = Trim(Line);
            if (Trimmed.empty() || Trimmed[0] == ';') continue;
            if (Trimmed[0] == '[') {
                Section = Trimmed.size() >= 2 && Trimmed.back() == ']'
                              ? &FSections[Lower(Trimmed.substr(1, Trimmed.size() - 2))]
                              : nullptr;
                continue;
            }
            const size_t Equals = Line.find('=');
            if (!Section || Equals == std::string::npos) continue;
            const std::string Key = Lower(Trim(Line.substr(0, Equals)));
            // The first value of a key holds, also over later sections of the same name.
            if (!Key.empty()) Section->emplace(Key, Line.substr(Equals + 1));
        }
    }

    bool Has(const std::string& Place) const override { return FSections.count(Lower(Place)); }

    TStored Value(const std::string& Place, const std::string& Name) const override {
        const auto Section = FSections.find(Lower(Place));
        if (Section == FSections.end()) return {};
        const auto Found = Section->second.find(Lower(Name));
        if (Found == Section->second.end()) return {};
        return {true, IniNumber(Found->second), Found->second};
    }

    bool Registry() const override { return false; }

  private:
    std::map<std::string, std::map<std::string, std::string>> FSections;
};

// ---- the hive file ----------------------------------------------------------------------------

// A quoted text from Line[At] on; At ends after the closing quote.
std::optional<std::string> Quoted(const std::string& Line, size_t& At) {
    if (At >= Line.size() || Line[At] != '"') return std::nullopt;
    std::string Text;
    for (++At; At < Line.size(); ++At) {
        if (Line[At] == '"') {
            ++At;
            return Text;
        }
        if (Line[At] != '\\') {
            Text += Line[At];
            continue;
        }
        if (At + 1 >= Line.size()) return std::nullopt;
        const char Escaped = Line[++At];
        if (Escaped == '\\' || Escaped == '"') {
            Text += Escaped;
        } else if (Escaped == 'x' && At + 2 < Line.size() && Hex(Line[At + 1]) >= 0 &&
                   Hex(Line[At + 2]) >= 0) {
            Text += char(Hex(Line[At + 1]) * 16 + Hex(Line[At + 2]));
            At += 2;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// A key line's path, each component decoded and in lower case; none when it is damaged.
std::optional<std::string> KeyPath(const std::string& Inner) {
    if (Inner.empty()) return std::string();
    std::string Path;
    size_t Depth = 0;
    size_t Start = 0;
    for (;;) {
        const size_t Stop = std::min(Inner.find('\\', Start), Inner.size());
        std::string Component;
        for (size_t I = Start; I < Stop; ++I) {
            if (Inner[I] != '%') {
                Component += Inner[I];
                continue;
            }
            if (I + 2 >= Stop || Hex(Inner[I + 1]) < 0 || Hex(Inner[I + 2]) < 0)
                return std::nullopt;
            Component += char(Hex(Inner[I + 1]) * 16 + Hex(Inner[I + 2]));
            I += 2;
        }
        if (Component.empty() || Component.size() > RegistryLimits::kMaxKeyNameLength ||
            ++Depth > RegistryLimits::kMaxKeyDepth)
            return std::nullopt;
        // A component may hold a '\' of its own: the separator here is one it cannot hold.
        Path += '\x01' + Lower(Component);
        if (Stop == Inner.size()) return Path;
        Start = Stop + 1;
    }
}

// The value of a value line; none when it is damaged.
std::optional<std::pair<std::string, TStored>> HiveValue(const std::string& Line) {
    size_t At = 0;
    const std::optional<std::string> Name = Quoted(Line, At);
    if (!Name || Name->size() > RegistryLimits::kMaxValueNameLength || At >= Line.size() ||
        Line[At] != '=')
        return std::nullopt;
    const std::string Rest = Line.substr(At + 1);
    TStored Value{true, {}, {}};
    if (Rest.rfind("dword:", 0) == 0) {
        if (Rest.size() != 6 + 8) return std::nullopt;
        uint32_t Bits = 0;
        for (size_t I = 6; I < Rest.size(); ++I) {
            if (Hex(Rest[I]) < 0) return std::nullopt;
            Bits = Bits * 16 + uint32_t(Hex(Rest[I]));
        }
        Value.Number = int32_t(Bits);
    } else if (Rest.rfind("hex:", 0) == 0) {
        // Bytes "hh,hh,..": of another type than the bar values, whatever they hold.
        const std::string Bytes = Rest.substr(4);
        if (!Bytes.empty() && ((Bytes.size() + 1) % 3 != 0 ||
                               (Bytes.size() + 1) / 3 > RegistryLimits::kMaxValueDataSize))
            return std::nullopt;
        for (size_t I = 0; I < Bytes.size(); I += 3)
            if (I + 1 >= Bytes.size() || Hex(Bytes[I]) < 0 || Hex(Bytes[I + 1]) < 0 ||
                (I + 2 < Bytes.size() && Bytes[I + 2] != ','))
                return std::nullopt;
    } else {
        size_t Start = Rest.rfind("expand:", 0) == 0 ? 7 : 0;
        Value.Text = Quoted(Rest, Start);
        if (!Value.Text || Start != Rest.size() ||
            Value.Text->size() > RegistryLimits::kMaxValueDataSize)
            return std::nullopt;
    }
    return std::make_pair(Lower(*Name), Value);
}

class THiveStore : public TStore {
  public:
    explicit THiveStore(const std::string& Bytes) {
        std::map<std::string, TStored>* Key = nullptr;
        size_t At = 0;
        while (At < Bytes.size()) {
            const size_t End = std::min(Bytes.find('\n', At), Bytes.size());
            std::string Line = Bytes.substr(At, End - At);
            At = End + 1;
            if (!Line.empty() && Line.back() == '\r') Line.pop_back();
            if (Line.empty() || Line[0] == ';') continue;
            if (Line[0] == '[') {
                const std::optional<std::string> Path =
                    Line.back() == ']' ? KeyPath(Line.substr(1, Line.size() - 2)) : std::nullopt;
                Key = Path ? Made(*Path) : nullptr;
                continue;
            }
            if (auto Value = HiveValue(Line); Value && Key) (*Key)[Value->first] = Value->second;
        }
    }

    bool Has(const std::string& Place) const override { return FKeys.count(Path(Place)); }

    TStored Value(const std::string& Place, const std::string& Name) const override {
        const auto Key = FKeys.find(Path(Place));
        if (Key == FKeys.end()) return {};
        const auto Found = Key->second.find(Lower(Name));
        return Found == Key->second.end() ? TStored{} : Found->second;
    }

    bool Registry() const override { return true; }

  private:
    // A key with its parents.
    std::map<std::string, TStored>* Made(const std::string& Path) {
        for (size_t At = Path.find('\x01', 1); At != std::string::npos;
             At = Path.find('\x01', At + 1))
            FKeys[Path.substr(0, At)];
        return &FKeys[Path];
    }
    // A path as the program names a key ("\A\B") in the form the keys are held.
    static std::string Path(const std::string& Place) {
        std::string Held;
        for (size_t Start = 0; Start <= Place.size();) {
            const size_t Stop = std::min(Place.find('\\', Start), Place.size());
            if (Stop > Start) Held += '\x01' + Lower(Place.substr(Start, Stop - Start));
            Start = Stop + 1;
        }
        return Held;
    }

    std::map<std::string, std::map<std::string, TStored>> FKeys;
};

// ---- the layout's rules -----------------------------------------------------------------------

struct TBreakOff {
    const char* Name;
};

// Reads the values of one bar into Bar, as the rules say; throws TBreakOff where they break off.
class TBarReading {
  public:
    TBarReading(const TStore& Store, std::string Section, std::vector<TBar>& Bars, size_t Index)
        : FStore(Store), FSection(std::move(Section)), FBars(Bars), FIndex(Index) {}

    void Run() {
        for (const TField& Field : kBarFields) Read(Field);
    }

  private:
    void Read(const TField& Field) {
        const TStored Stored = FStore.Value(FSection, Field.Name);
        TBar& Bar = FBars[FIndex];
        switch (Field.Kind) {
            case TKind::Caption:
            case TKind::Site: {
                // A value of another type breaks off; a missing one is empty in the registry,
                // the bar's own in an INI file. A site named reads as none here.
                if (Stored.Exists && !Stored.Text) throw TBreakOff{Field.Name};
                if (Field.Kind == TKind::Caption)
                    TakeCaption(Stored.Text         ? *Stored.Text
                                : FStore.Registry() ? std::string()
                                                    : Bar.Caption);
                return;
            }
            case TKind::Shown:
                if (!Stored.Number && FStore.Registry()) throw TBreakOff{Field.Name};
                Bar.*Field.Value = Stored.Number.value_or(0) != 0;
                return;
            default:
                break;
        }
        if (!Stored.Number) {
            if (FStore.Registry()) throw TBreakOff{Field.Name};
            return;  // the bar's own value stays
        }
        const int Number = *Stored.Number;
        if (!Range(Field.Kind).Holds(Number)) throw TBreakOff{Field.Name};
        Bar.*Field.Value = Field.Kind == TKind::Flag             ? Number != 0
                           : Field.Kind == TKind::DockedPosition ? std::max(Number, 0)
                                                                 : Number;
    }

    static BarsLimits::TStoredRange Range(TKind Kind) {
        switch (Kind) {
            case TKind::Style:
                return {0, 4};
            case TKind::DockedPosition:
            case TKind::Position:
                return BarsLimits::kStoredPosition;
            case TKind::Size:
                return BarsLimits::kStoredSize;
            case TKind::Row:
                return BarsLimits::kStoredRow;
            default:
                return {INT32_MIN, INT32_MAX};
        }
    }

    void TakeCaption(const std::string& Caption) {
        for (const TBar& Other : FBars)
            if (Other.Caption == Caption) return;
        FBars[FIndex].Caption = Caption;
    }

    const TStore& FStore;
    const std::string FSection;
    std::vector<TBar>& FBars;
    const size_t FIndex;
};

bool BarStored(const TStore& Store, const std::string& Section) {
    if (Store.Registry()) return Store.Has(Section);
    return Store.Value(Section, "Row").Number.value_or(-1000) > -1000;
}

}  // namespace

std::unique_ptr<TStore> ReadIniFile(const std::string& Bytes) {
    return std::make_unique<TIniStore>(Bytes);
}

std::unique_ptr<TStore> ReadHiveFile(const std::string& Bytes) {
    return std::make_unique<THiveStore>(Bytes);
}

TPlace RegistryPlace(const std::string& Path) {
    return {Path, Path + "\\Bar"};
}

TPlace IniPlace(const std::string& FormName, const std::string& ManagerName) {
    const std::string Prefix = FormName + "." + ManagerName + ".";
    return {Prefix + "Main", Prefix + "Bar"};
}

std::vector<TBar> Expected(const TStore& Store, const TPlace& Place, std::vector<TBar> Start,
                           const TBar& NewBar) {
    std::vector<TBar> Bars = std::move(Start);
    if (Store.Registry() && !Store.Has(Place.Main)) return Bars;
    const std::optional<int32_t> Count = Store.Value(Place.Main, "BarCount").Number;
    if (!Count || *Count < 0) return Bars;
    for (TBar& Bar : Bars) Bar.Visible = 0;
    for (int I = 0; I < std::min(*Count, BarsLimits::kMaxStoredBars); ++I) {
        const std::string Section = Place.BarPrefix + std::to_string(I);
        if (!BarStored(Store, Section)) continue;
        while (Bars.size() <= size_t(I)) Bars.push_back(NewBar);
        try {
            TBarReading(Store, Section, Bars, size_t(I)).Run();
        } catch (const TBreakOff& Break) {
            Bars[size_t(I)].BrokeOffAt = Break.Name;
            Bars[size_t(I)].Visible = 1;
        }
    }
    return Bars;
}

}  // namespace BarLayoutModel
