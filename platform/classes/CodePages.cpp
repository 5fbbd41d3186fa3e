#include "platform/classes/CodePages.h"

#include <cstdint>

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 controls of the same value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// 0x80..0xFF of code page 437.
constexpr char16_t kCp437High[] =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»"
    u"░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"
    u"αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
static_assert(sizeof(kCp437High) / sizeof(char16_t) == 129);

}  // namespace

QString Cp1252ToUnicode(std::string_view Bytes) {
    QString Out;
    Out.reserve(qsizetype(Bytes.size()));
    for (const char C : Bytes) {
        const auto B = uint8_t(C);
        Out.append(QChar(B >= 0x80 && B < 0xA0 ? kCp1252High[B - 0x80] : char16_t(B)));
    }
    return Out;
}

std::string UnicodeToCp1252(const QString& Text) {
    std::string Out;
    Out.reserve(size_t(Text.size()));
    for (const QChar C : Text) {
        const char16_t U = C.unicode();
        if (U < 0x80 || (U >= 0xA0 && U <= 0xFF)) {
            Out.push_back(char(U));
            continue;
        }
        char Found = '?';
        for (int I = 0; I < 32; ++I)
            if (kCp1252High[I] == U) Found = char(0x80 + I);
        Out.push_back(Found);
    }
    return Out;
}

QString Cp437ToUnicode(std::string_view Bytes) {
    QString Out;
    Out.reserve(qsizetype(Bytes.size()));
    for (const char C : Bytes) {
        const auto B = uint8_t(C);
        Out.append(QChar(B >= 0x80 ? kCp437High[B - 0x80] : char16_t(B)));
    }
    return Out;
}
