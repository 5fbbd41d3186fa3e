#include "platform/widgets/AnsiChars.h"

#include <cstdint>

namespace {

// Pairs of lower- and upper-case letters outside the two blocks that differ by 0x20.
struct TCasePair {
    std::uint8_t Lower;
    std::uint8_t Upper;
};
constexpr TCasePair kPairs[] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
// Letters that have no partner.
constexpr std::uint8_t kSingles[] = {0x83, 0xAA, 0xB5, 0xBA, 0xDF};

std::uint8_t Byte(char C) {
    return static_cast<std::uint8_t>(C);
}

// The accented blocks: À..Þ and à..þ, without × and ÷ (and ß, which has no upper case).
bool InUpperBlock(std::uint8_t B) {
    return B >= 0xC0 && B <= 0xDE && B != 0xD7;
}
bool InLowerBlock(std::uint8_t B) {
    return B >= 0xE0 && B <= 0xFE && B != 0xF7;
}

}  // namespace

bool IsAnsiDigit(char C) {
    return C >= '0' && C <= '9';
}

bool IsAnsiLetter(char C) {
    const std::uint8_t B = Byte(C);
    if ((B >= 'A' && B <= 'Z') || (B >= 'a' && B <= 'z')) return true;
    if (InUpperBlock(B) || InLowerBlock(B)) return true;
    for (const TCasePair& P : kPairs)
        if (B == P.Lower || B == P.Upper) return true;
    for (const std::uint8_t S : kSingles)
        if (B == S) return true;
    return false;
}

char AnsiUpperChar(char C) {
    const std::uint8_t B = Byte(C);
    if ((B >= 'a' && B <= 'z') || InLowerBlock(B)) return static_cast<char>(B - 0x20);
    for (const TCasePair& P : kPairs)
        if (B == P.Lower) return static_cast<char>(P.Upper);
    return C;
}

char AnsiLowerChar(char C) {
    const std::uint8_t B = Byte(C);
    if ((B >= 'A' && B <= 'Z') || InUpperBlock(B)) return static_cast<char>(B + 0x20);
    for (const TCasePair& P : kPairs)
        if (B == P.Upper) return static_cast<char>(P.Lower);
    return C;
}

std::string AnsiUpperCase(std::string Text) {
    for (char& C : Text) C = AnsiUpperChar(C);
    return Text;
}

std::string AnsiLowerCase(std::string Text) {
    for (char& C : Text) C = AnsiLowerChar(C);
    return Text;
}
