#include "components/htmlhint/HtmlText.h"

#include <climits>

namespace HtmlText {

namespace {

char Upper(char C) {
    return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C;
}

char Lower(char C) {
    return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C;
}

int Digit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    C = Upper(C);
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return 0;
}

struct TNamedColor {
    std::string_view Name;
    TColor Color;
};

// Names in lower case; the system colours carry their index as clBtnFace does.
constexpr TNamedColor kColors[] = {
    {"clred", clRed},
    {"clblack", clBlack},
    {"clblue", clBlue},
    {"clgreen", clGreen},
    {"claqua", clAqua},
    {"clyellow", clYellow},
    {"clfuchsia", clFuchsia},
    {"clwhite", clWhite},
    {"cllime", clLime},
    {"clsilver", clSilver},
    {"clgray", clGray},
    {"clolive", clOlive},
    {"clnavy", clNavy},
    {"clpurple", clPurple},
    {"clteal", clTeal},
    {"clmaroon", clMaroon},
    {"clbackground", clBackground},
    {"clactivecaption", clActiveCaption},
    {"clinactivecaption", clInactiveCaption},
    {"clmenu", clMenu},
    {"clwindow", clWindow},
    {"clwindowframe", clWindowFrame},
    {"clmenutext", clMenuText},
    {"clwindowtext", clWindowText},
    {"clcaptiontext", clCaptionText},
    {"clactiveborder", clActiveBorder},
    {"clinactiveborder", clInactiveBorder},
    {"clappworkspace", clAppWorkSpace},
    {"clhighlight", clHighlight},
    {"clhighlighttext", clHighlightText},
    {"clbtnface", clBtnFace},
    {"clbtnshadow", clBtnShadow},
    {"clgraytext", clGrayText},
    {"clbtntext", clBtnText},
    {"clinactivecaptiontext", clInactiveCaptionText},
    {"clbtnhighlight", clBtnHighlight},
    {"cl3ddkshadow", cl3DDkShadow},
    {"cl3dlight", cl3DLight},
    {"clinfotext", clInfoText},
    {"clinfobk", clInfoBk},
};

struct TEntity {
    std::string_view Name;  // with "&" and ";"
    std::string_view Text;
};

// Replaced before the text is laid out; "&amp;" stays a doubled ampersand, which the text drawing
// shows as one.
constexpr TEntity kEntities[] = {
    {"&amp;", "&&"},      {"&quot;", "\""},    {"&sect;", "\xA7"},
    {"&permil;", "\x89"}, {"&reg;", "\xAE"},   {"&copy;", "\xA9"},
    {"&para;", "\xB6"},   {"&trade;", "\x99"}, {"&euro;", "\x80"},
};

// Replaced in each text run as it is drawn.
constexpr TEntity kRunEntities[] = {
    {"&nbsp;", " "},
    {"&lt;", "<"},
    {"&gt;", ">"},
};

bool SameAt(std::string_view S, size_t At, std::string_view What) {
    if (At > S.size() || S.size() - At < What.size()) return false;
    for (size_t I = 0; I < What.size(); ++I)
        if (Upper(S[At + I]) != Upper(What[I])) return false;
    return true;
}

}  // namespace

int HexVal(std::string_view Pair) {
    const int High = Pair.size() > 0 ? Digit(Pair[0]) : 0;
    const int Low = Pair.size() > 1 ? Digit(Pair[1]) : 0;
    return High * 16 + Low;
}

TColor HexToColor(std::string_view Value) {
    if (!Value.empty() && Value[0] == '#') Value.remove_prefix(1);
    auto Pair = [&](size_t At) { return At < Value.size() ? Value.substr(At, 2) : ""; };
    return HexVal(Pair(0)) + HexVal(Pair(2)) * 256 + HexVal(Pair(4)) * 65536;
}

TColor Text2Color(std::string_view Name) {
    std::string Key;
    for (char C : Name) Key += Lower(C);
    for (const TNamedColor& C : kColors)
        if (C.Name == Key) return C.Color;
    return clBlack;
}

TColor ColorValue(std::string_view Value) {
    if (!Value.empty() && Value[0] == '#') return HexToColor(Value);
    return Text2Color(Value);
}

size_t IPos(std::string_view Needle, std::string_view Haystack, size_t From) {
    if (Needle.empty()) return From <= Haystack.size() ? From : npos;
    if (Haystack.size() < Needle.size()) return npos;
    for (size_t At = From; At + Needle.size() <= Haystack.size(); ++At)
        if (SameAt(Haystack, At, Needle)) return At;
    return npos;
}

int IStrToInt(std::string_view Text) {
    size_t I = 0;
    while (I < Text.size() && Text[I] == ' ') ++I;
    bool Negative = false;
    if (I < Text.size() && (Text[I] == '-' || Text[I] == '+')) Negative = Text[I++] == '-';
    long long Value = 0;
    for (; I < Text.size() && Text[I] >= '0' && Text[I] <= '9'; ++I) {
        Value = Value * 10 + (Text[I] - '0');
        if (Value > INT_MAX) {
            Value = INT_MAX;
            break;
        }
    }
    return int(Negative ? -Value : Value);
}

bool TagReplaceString(std::string_view From, std::string_view To, std::string& S) {
    const size_t At = IPos(From, S);
    if (At == npos) return false;
    S.replace(At, From.size(), To);
    return true;
}

bool AttributeValue(std::string_view Tag, std::string_view Name, std::string& Value) {
    const size_t At = Tag.find(Name);
    if (At == npos) return false;
    size_t I = At + Name.size();
    while (I < Tag.size() && Tag[I] == ' ') ++I;
    if (I + 1 < Tag.size() && Tag[I] == '=' && Tag[I + 1] != '"' && Tag[I + 1] != ' ') {
        const size_t End = Tag.find_first_of(" >", I + 1);
        Value = std::string(Tag.substr(I + 1, End == npos ? npos : End - I - 1));
        return true;
    }
    const size_t Open = Tag.find('"', At + Name.size());
    if (Open == npos) {
        Value.clear();
        return true;
    }
    const size_t Close = Tag.find('"', Open + 1);
    Value = std::string(Tag.substr(Open + 1, Close == npos ? npos : Close - Open - 1));
    return true;
}

std::string FirstQuoted(std::string_view Tag) {
    const size_t Open = Tag.find('"');
    if (Open == npos) return {};
    const size_t Close = Tag.find('"', Open + 1);
    return std::string(Tag.substr(Open + 1, Close == npos ? npos : Close - Open - 1));
}

// One pass from left to right gives what replacing the first occurrence again and again until
// nothing changes gives: entities never overlap, and only the second ampersand of a replaced
// "&amp;" can start a new one.
std::string ReplaceEntities(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    size_t I = 0;
    bool PendingAmpersand = false;  // the second '&' of "&&", not yet written
    while (I < Text.size() || PendingAmpersand) {
        const bool AtAmpersand = PendingAmpersand || Text[I] == '&';
        const size_t Rest = PendingAmpersand ? I : I + 1;
        const TEntity* Found = nullptr;
        if (AtAmpersand)
            for (const TEntity& E : kEntities)
                if (SameAt(Text, Rest, E.Name.substr(1))) {
                    Found = &E;
                    break;
                }
        if (!Found) {
            if (PendingAmpersand) {
                Out += '&';
                PendingAmpersand = false;
            } else {
                Out += Text[I++];
            }
            continue;
        }
        I = Rest + Found->Name.size() - 1;
        if (Found->Text == "&&") {
            Out += '&';
            PendingAmpersand = true;
        } else {
            Out += Found->Text;
            PendingAmpersand = false;
        }
    }
    return Out;
}

std::string ReplaceRunEntities(std::string_view Run) {
    if (Run.find('&') == npos) return std::string(Run);
    std::string Out;
    Out.reserve(Run.size());
    for (size_t I = 0; I < Run.size();) {
        const TEntity* Found = nullptr;
        if (Run[I] == '&')
            for (const TEntity& E : kRunEntities)
                if (SameAt(Run, I, E.Name)) {
                    Found = &E;
                    break;
                }
        if (Found) {
            Out += Found->Text;
            I += Found->Name.size();
        } else {
            Out += Run[I++];
        }
    }
    return Out;
}

std::string UpperCase(std::string_view Text) {
    std::string Out(Text);
    for (char& C : Out) C = Upper(C);
    return Out;
}

}  // namespace HtmlText
