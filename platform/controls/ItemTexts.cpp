#include "platform/controls/ItemTexts.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/controls/Limits.h"

namespace {

// The upper case of every Windows-1252 byte.
constexpr std::array<unsigned char, 256> MakeUpper() {
    std::array<unsigned char, 256> Table{};
    for (int B = 0; B < 256; ++B) Table[B] = static_cast<unsigned char>(B);
    for (int B = 'a'; B <= 'z'; ++B) Table[B] = static_cast<unsigned char>(B - 0x20);
    for (int B = 0xE0; B <= 0xFE; ++B)
        if (B != 0xF7) Table[B] = static_cast<unsigned char>(B - 0x20);
    Table[0x9A] = 0x8A;  // š
    Table[0x9C] = 0x8C;  // œ
    Table[0x9E] = 0x8E;  // ž
    Table[0xFF] = 0x9F;  // ÿ
    return Table;
}
constexpr std::array<unsigned char, 256> kUpper = MakeUpper();

// Upper-case letters that sort with the letters of their base (one or two of them).
struct TBaseLetter {
    unsigned char Upper;
    const char* Base;
};
constexpr TBaseLetter kBaseLetters[] = {
    {0x8A, "S"}, {0x8C, "OE"}, {0x8E, "Z"}, {0x9F, "Y"},  {0xC0, "A"}, {0xC1, "A"},  {0xC2, "A"},
    {0xC3, "A"}, {0xC4, "A"},  {0xC5, "A"}, {0xC6, "AE"}, {0xC7, "C"}, {0xC8, "E"},  {0xC9, "E"},
    {0xCA, "E"}, {0xCB, "E"},  {0xCC, "I"}, {0xCD, "I"},  {0xCE, "I"}, {0xCF, "I"},  {0xD0, "D"},
    {0xD1, "N"}, {0xD2, "O"},  {0xD3, "O"}, {0xD4, "O"},  {0xD5, "O"}, {0xD6, "O"},  {0xD8, "O"},
    {0xD9, "U"}, {0xDA, "U"},  {0xDB, "U"}, {0xDC, "U"},  {0xDD, "Y"}, {0xDE, "TH"}, {0xDF, "SS"}};

// What each byte sorts as first: its base letters, or its upper case; the second is 0 when there
// is one.
using TSortKey = std::array<unsigned char, 2>;
constexpr std::array<TSortKey, 256> MakeSortKeys() {
    std::array<TSortKey, 256> Table{};
    for (int B = 0; B < 256; ++B) Table[B] = TSortKey{kUpper[B], 0};
    for (const TBaseLetter& L : kBaseLetters) {
        const std::string_view Base(L.Base);
        const TSortKey Key{static_cast<unsigned char>(Base[0]),
                           static_cast<unsigned char>(Base.size() > 1 ? Base[1] : 0)};
        for (int B = 0; B < 256; ++B)
            if (kUpper[B] == L.Upper) Table[B] = Key;
    }
    return Table;
}
constexpr std::array<TSortKey, 256> kSortKeys = MakeSortKeys();

// The letters a text sorts as, one at a time (-1 at the end).
class TSortLetters {
  public:
    explicit TSortLetters(std::string_view Text) : FText(Text) {}
    int Next() {
        if (FPending != 0) {
            const int Letter = FPending;
            FPending = 0;
            return Letter;
        }
        if (FAt == FText.size()) return -1;
        const TSortKey& Key = kSortKeys[static_cast<unsigned char>(FText[FAt++])];
        FPending = Key[1];
        return Key[0];
    }

  private:
    std::string_view FText;
    size_t FAt = 0;
    int FPending = 0;
};

int CompareBytes(std::string_view A, std::string_view B, bool Folded) {
    const size_t N = std::min(A.size(), B.size());
    for (size_t I = 0; I < N; ++I) {
        auto X = static_cast<unsigned char>(A[I]);
        auto Y = static_cast<unsigned char>(B[I]);
        if (Folded) {
            X = kUpper[X];
            Y = kUpper[Y];
        }
        if (X != Y) return X < Y ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}

}  // namespace

std::string ItemTextFrom(const char* Text) {
    if (!Text) return std::string();
    return std::string(Text, strnlen(Text, ControlsLimits::kMaxItemText));
}

int ItemTextTo(std::string_view Text, char* Buffer, std::int64_t Size) {
    if (!Buffer || Size <= 0) return 0;
    const size_t N = std::min<std::uint64_t>(Text.size(), static_cast<std::uint64_t>(Size - 1));
    std::memcpy(Buffer, Text.data(), N);
    Buffer[N] = '\0';
    return static_cast<int>(N);
}

int CompareItemTexts(std::string_view A, std::string_view B) {
    TSortLetters X(A);
    TSortLetters Y(B);
    for (;;) {
        const int L = X.Next();
        const int R = Y.Next();
        if (L != R) return L < R ? -1 : 1;
        if (L < 0) break;
    }
    // Case alone does not order: such items stay in the order they came.
    return CompareBytes(A, B, true);
}

bool ItemTextStartsWith(std::string_view Text, std::string_view Prefix) {
    return Prefix.size() <= Text.size() &&
           CompareBytes(Text.substr(0, Prefix.size()), Prefix, true) == 0;
}

bool ItemTextEquals(std::string_view A, std::string_view B) {
    return CompareBytes(A, B, true) == 0;
}
