#include "htmlview/html/IpHtmlEntities.h"

#include <cstdint>
#include <cstring>

namespace {

struct TEntity {
    const char* Name;
    uint8_t Code;
};

// Case matters. 160 is "nbsp" (code 2) and 173 "shy" (code 1), the internal codes.
const TEntity kEntities[] = {
    {"shy", 1},      {"nbsp", 2},     {"amp", 38},     {"gt", 62},      {"lt", 60},
    {"quot", 34},    {"minus", 45},   {"circ", 94},    {"tilde", 126},  {"fnof", 131},
    {"hellip", 133}, {"dagger", 134}, {"Dagger", 135}, {"permil", 137}, {"Scaron", 138},
    {"lsaquo", 139}, {"OElig", 140},  {"lsquo", 145},  {"rsquo", 146},  {"ldquo", 147},
    {"rdquo", 148},  {"bull", 149},   {"ndash", 150},  {"mdash", 151},  {"trade", 153},
    {"scaron", 154}, {"rsaquo", 155}, {"oelig", 156},  {"Yuml", 159},   {"iexcl", 161},
    {"cent", 162},   {"pound", 163},  {"curren", 164}, {"yen", 165},    {"brvbar", 166},
    {"sect", 167},   {"uml", 168},    {"copy", 169},   {"ordf", 170},   {"laquo", 171},
    {"not", 172},    {"reg", 174},    {"macr", 175},   {"deg", 176},    {"plusmn", 177},
    {"sup2", 178},   {"sup3", 179},   {"acute", 180},  {"micro", 181},  {"para", 182},
    {"middot", 183}, {"cedil", 184},  {"sup1", 185},   {"ordm", 186},   {"raquo", 187},
    {"frac14", 188}, {"frac12", 189}, {"frac34", 190}, {"iquest", 191}, {"Agrave", 192},
    {"Aacute", 193}, {"Acirc", 194},  {"Atilde", 195}, {"Auml", 196},   {"Aring", 197},
    {"AElig", 198},  {"Ccedil", 199}, {"Egrave", 200}, {"Eacute", 201}, {"Ecirc", 202},
    {"Euml", 203},   {"Igrave", 204}, {"Iacute", 205}, {"Icirc", 206},  {"Iuml", 207},
    {"ETH", 208},    {"Ntilde", 209}, {"Ograve", 210}, {"Oacute", 211}, {"Ocirc", 212},
    {"Otilde", 213}, {"Ouml", 214},   {"times", 215},  {"Oslash", 216}, {"Ugrave", 217},
    {"Uacute", 218}, {"Ucirc", 219},  {"Uuml", 220},   {"Yacute", 221}, {"THORN", 222},
    {"szlig", 223},  {"agrave", 224}, {"aacute", 225}, {"acirc", 226},  {"atilde", 227},
    {"auml", 228},   {"aring", 229},  {"aelig", 230},  {"ccedil", 231}, {"egrave", 232},
    {"eacute", 233}, {"ecirc", 234},  {"euml", 235},   {"igrave", 236}, {"iacute", 237},
    {"icirc", 238},  {"iuml", 239},   {"eth", 240},    {"ntilde", 241}, {"ograve", 242},
    {"oacute", 243}, {"ocirc", 244},  {"otilde", 245}, {"ouml", 246},   {"divide", 247},
    {"oslash", 248}, {"ugrave", 249}, {"uacute", 250}, {"ucirc", 251},  {"uuml", 252},
    {"yacute", 253}, {"thorn", 254},  {"yuml", 255},
};
static_assert(sizeof(kEntities) / sizeof(kEntities[0]) == 123);

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// The number a "$hex" or decimal name denotes, or -1 when it is malformed or above 255.
int EntityNumber(const std::string& Name) {
    const bool Hex = Name[0] == '$';
    const int Base = Hex ? 16 : 10;
    size_t I = Hex ? 1 : 0;
    if (I >= Name.size()) return -1;
    int Value = 0;
    for (; I < Name.size(); ++I) {
        const int Digit =
            Hex ? HexDigit(Name[I]) : (Name[I] >= '0' && Name[I] <= '9' ? Name[I] - '0' : -1);
        if (Digit < 0) return -1;
        Value = Value * Base + Digit;
        if (Value > 255) return -1;
    }
    return Value;
}

char EntityChar(std::string Name) {
    if (Name[0] == '#') {
        Name.erase(0, 1);
        if (!Name.empty() && (Name[0] == 'x' || Name[0] == 'X')) Name[0] = '$';
    }
    if (Name.size() > 1 && (Name[0] == '$' || (Name[0] >= '0' && Name[0] <= '9'))) {
        const int Number = EntityNumber(Name);
        return Number >= 32 ? char(Number) : ' ';
    }
    for (const TEntity& Entity : kEntities)
        if (Name == Entity.Name) return char(Entity.Code);
    return ' ';
}

}  // namespace

std::string EscapeToAnsi(const std::string& Text) {
    size_t Amp = Text.rfind('&');
    if (Amp == std::string::npos) return Text;
    std::string Result = Text;
    for (;;) {
        // The reference ends at the first blank or ";" after the "&", else at the last character.
        size_t Stop = Result.find_first_of(" ;", Amp + 1);
        if (Stop == std::string::npos) Stop = Result.size() - 1;
        if (Stop > Amp + 1) {
            const std::string Name = Result.substr(Amp + 1, Stop - Amp - 1);
            Result.replace(Amp, Stop - Amp + 1, 1, EntityChar(Name));
        }
        if (Amp == 0) break;
        Amp = Result.rfind('&', Amp - 1);
        if (Amp == std::string::npos) break;
    }
    return Result;
}

std::string AnsiToEscape(const std::string& Text) {
    std::string Result;
    Result.reserve(Text.size());
    for (char C : Text) {
        switch (C) {
            case '<':
                Result += "&lt;";
                break;
            case '>':
                Result += "&gt;";
                break;
            case '&':
                Result += "&amp;";
                break;
            case '"':
                Result += "&quot;";
                break;
            case kHtmlSoftHyphen:
                Result += "&shy;";
                break;
            case kHtmlNoBreakSpace:
                Result += "&nbsp;";
                break;
            default:
                Result += C;
        }
    }
    return Result;
}

std::string NoBreakToSpace(const std::string& Text) {
    std::string Result = Text;
    for (char& C : Result)
        if (C == kHtmlNoBreakSpace) C = ' ';
    return Result;
}

std::string NormalizeText(const std::string& Text) {
    std::string Kept;
    Kept.reserve(Text.size());
    for (char C : Text) {
        const auto Code = uint8_t(C);
        if (Code == 10) {
            if (Kept.size() >= 2) Kept += ' ';
        } else if (Code >= 32) {
            Kept += C;
        }
    }
    std::string Result;
    Result.reserve(Kept.size());
    for (char C : Kept)
        if (C != ' ' || Result.empty() || Result.back() != ' ') Result += C;
    return Result;
}

std::string NormalizePreText(const std::string& Text) {
    std::string Result;
    Result.reserve(Text.size());
    for (char C : Text) {
        switch (uint8_t(C)) {
            case 9:
            case 32:
                Result += ' ';
                break;
            case 13:
                Result += '\n';
                break;
            case 10:
                if (Result.empty() || Result.back() != '\n') Result += '\n';
                break;
            default:
                if (uint8_t(C) >= 32) Result += C;
        }
    }
    return Result;
}
