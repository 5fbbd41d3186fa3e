#include "htmlview/html/IpHtmlAttributes.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "htmlview/html/IpHtmlTokenizer.h"
#include "htmlview/html/Limits.h"

namespace {

using HtmlLimits::kMaxPixels;

const char kInvalidInteger[] = "Invalid integer constant";
const char kInvalidAlignment[] = "Invalid alignment specified";
const char kInvalidType[] = "Invalid type specified";

std::string Upper(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Text;
}

std::string TrimBlanks(const std::string& Text) {
    const size_t First = Text.find_first_not_of(' ');
    if (First == std::string::npos) return std::string();
    return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

int32_t ClampPixels(int32_t Value) {
    return std::clamp(Value, -kMaxPixels, kMaxPixels);
}

// Reports Message when errors are flagged; otherwise the caller goes on with its fallback.
void Fail(const TIpHtmlTokenizer& Tok, const std::string& Message) {
    if (Tok.FlagErrors) Tok.ReportError(Message);
}

int DigitValue(char C, int Base) {
    int Value = -1;
    if (C >= '0' && C <= '9')
        Value = C - '0';
    else if (C >= 'a' && C <= 'f')
        Value = C - 'a' + 10;
    else if (C >= 'A' && C <= 'F')
        Value = C - 'A' + 10;
    return Value < Base ? Value : -1;
}

// Strips Mark from Text; true when it was there.
bool StripMark(std::string& Text, char Mark) {
    const size_t Before = Text.size();
    Text.erase(std::remove(Text.begin(), Text.end(), Mark), Text.end());
    return Text.size() != Before;
}

template <class E>
using TEnumTable = std::initializer_list<std::pair<const char*, E>>;

// The entry whose name equals Value; Other (and an error) for any other value.
template <class E>
E LookUpEnum(const TIpHtmlTokenizer& Tok, const std::string& Value, TEnumTable<E> Table, E Other,
             const char* Message) {
    for (const auto& [Name, Result] : Table)
        if (Value == Name) return Result;
    Fail(Tok, Message);
    return Other;
}

// The attribute compared in upper case; Absent without it.
template <class E>
E ReadEnum(const TIpHtmlTokenizer& Tok, const char* Attribute, TEnumTable<E> Table, E Absent,
           E Other, const char* Message) {
    const std::string Value = Tok.FindAttribute(Attribute);
    if (Value.empty()) return Absent;
    return LookUpEnum(Tok, Upper(Value), Table, Other, Message);
}

// A length-like value in Text (blanks, "%" and "*" removed); false when malformed or negative.
bool ReadNonNegative(const std::string& Text, int32_t& Value) {
    return HtmlStrToInt(Text, Value) && Value >= 0;
}

void ReadMultiLength(const TIpHtmlTokenizer& Tok, std::string Text, TIpHtmlMultiLength& Result,
                     bool EmptyIsZero) {
    Text = TrimBlanks(Text);
    TIpHtmlMultiLengthType Type = TIpHtmlMultiLengthType::hmlAbsolute;
    if (StripMark(Text, '%'))
        Type = TIpHtmlMultiLengthType::hmlPercent;
    else if (StripMark(Text, '*'))
        Type = TIpHtmlMultiLengthType::hmlRelative;
    Text = TrimBlanks(Text);
    int32_t Value = 0;
    // A bare "*" is one share: treating it as 0 shares made "*,*" divide by zero.
    if (Text.empty() && Type == TIpHtmlMultiLengthType::hmlRelative)
        Value = 1;
    else if (Text.empty() && EmptyIsZero)
        Value = 0;
    else if (!ReadNonNegative(Text, Value)) {
        Fail(Tok, kInvalidInteger);
        Result.SetLengthType(TIpHtmlMultiLengthType::hmlUndefined);
        Result.SetLengthValue(0);
        return;
    }
    Result.SetLengthType(Type);
    Result.SetLengthValue(ClampPixels(Value));
}

uint32_t HexPair(const std::string& Text, size_t At) {
    const int High = DigitValue(Text[At], 16);
    const int Low = DigitValue(Text[At + 1], 16);
    return High < 0 || Low < 0 ? 255u : uint32_t(High * 16 + Low);
}

// Three pairs red, green, blue from At on, as blue-green-red.
TIpHtmlColor ColorFromPairs(const std::string& Text, size_t At) {
    return HexPair(Text, At) | HexPair(Text, At + 2) << 8 | HexPair(Text, At + 4) << 16;
}

}  // namespace

bool HtmlStrToInt(const std::string& Text, int32_t& Value) {
    const std::string S = TrimBlanks(Text);
    size_t I = 0;
    const bool Negative = !S.empty() && S[0] == '-';
    if (!S.empty() && (S[0] == '-' || S[0] == '+')) ++I;
    int Base = 10;
    if (I < S.size() && S[I] == '$') {
        Base = 16;
        ++I;
    } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
        Base = 16;
        I += 2;
    }
    if (I >= S.size()) return false;
    int64_t Magnitude = 0;
    for (; I < S.size(); ++I) {
        const int Digit = DigitValue(S[I], Base);
        if (Digit < 0) return false;
        Magnitude = Magnitude * Base + Digit;
        if (Magnitude > int64_t(INT32_MAX) + 1) return false;
    }
    const int64_t Signed = Negative ? -Magnitude : Magnitude;
    if (Signed > INT32_MAX || Signed < INT32_MIN) return false;
    Value = int32_t(Signed);
    return true;
}

bool ParseBoolean(const TIpHtmlTokenizer& Tok, const std::string& Name) {
    for (int I = 0; I < Tok.AttributeCount(); ++I)
        if (Upper(Tok.AttributeName(I)) == Name) return true;
    return false;
}

int32_t ParseInteger(const TIpHtmlTokenizer& Tok, const std::string& Name, int32_t Default) {
    const std::string Value = Tok.FindAttribute(Name);
    if (Value.empty()) return Default;
    if (Value == Name) return 1;
    int32_t Result = 0;
    if (!HtmlStrToInt(Value, Result)) {
        Fail(Tok, kInvalidInteger);
        return Default;
    }
    return ClampPixels(Result);
}

void ParseHtmlInteger(const TIpHtmlTokenizer& Tok, const std::string& Name, int32_t Default,
                      TIpHtmlInteger& Result) {
    Result.SetValue(ParseInteger(Tok, Name, Default));
}

void ParsePixels(const TIpHtmlTokenizer& Tok, const std::string& Name, TIpHtmlPixels& Result) {
    const std::string Value = Tok.FindAttribute(Name);
    int32_t Pixels = 0;
    if (!Value.empty() && !ReadNonNegative(Value, Pixels)) {
        Fail(Tok, kInvalidInteger);
        Pixels = 0;
    }
    Result.SetValue(ClampPixels(Pixels));
}

void ParseHtmlLength(const TIpHtmlTokenizer& Tok, const std::string& Name,
                     const std::string& Default, TIpHtmlLength& Result) {
    std::string Value = Tok.FindAttribute(Name);
    if (Value.empty()) Value = Default;
    if (Value.empty()) {
        Result.SetLengthType(TIpHtmlLengthType::hlUndefined);
        return;
    }
    const bool Percent = StripMark(Value, '%');
    int32_t Length = 0;
    if (!ReadNonNegative(Value, Length)) {
        Fail(Tok, kInvalidInteger);
        Result.SetLengthType(TIpHtmlLengthType::hlUndefined);
        return;
    }
    Result.SetLengthValue(ClampPixels(Length));
    Result.SetLengthType(Percent ? TIpHtmlLengthType::hlPercent : TIpHtmlLengthType::hlAbsolute);
}

void ParseHtmlMultiLength(const TIpHtmlTokenizer& Tok, const std::string& Name,
                          TIpHtmlMultiLength& Result) {
    const std::string Value = Tok.FindAttribute(Name);
    if (Value.empty()) {
        Result.SetLengthType(TIpHtmlMultiLengthType::hmlUndefined);
        return;
    }
    ReadMultiLength(Tok, Value, Result, false);
}

void ParseHtmlMultiLengthList(const TIpHtmlTokenizer& Tok, const std::string& Name,
                              const std::string& Default, TIpHtmlMultiLengthList& Result,
                              const TIpHtmlPrintState* Print) {
    std::string Value = Tok.FindAttribute(Name);
    if (Value.empty()) Value = Default;
    Result.Clear();
    size_t Start = 0;
    for (;;) {
        const size_t Comma = Value.find(',', Start);
        TIpHtmlMultiLength Entry(Print);
        ReadMultiLength(Tok, Value.substr(Start, Comma - Start), Entry, true);
        Result.AddEntry(Entry);
        if (Comma == std::string::npos) break;
        Start = Comma + 1;
    }
}

void ParseRelSize(const TIpHtmlTokenizer& Tok, TIpHtmlRelSize& Result) {
    std::string Value = Tok.FindAttribute("SIZE");
    if (Value.empty()) return;
    TIpHtmlRelSizeType Type = TIpHtmlRelSizeType::hrsAbsolute;
    if (Value.size() > 1 && (Value[0] == '+' || Value[0] == '-')) {
        Type = TIpHtmlRelSizeType::hrsRelative;
        if (Value[0] == '+') Value.erase(0, 1);
    }
    int32_t Size = 0;
    if (!HtmlStrToInt(Value, Size)) {
        Fail(Tok, kInvalidInteger);
        return;
    }
    Result.SetSizeType(Type);
    Result.SetValue(ClampPixels(Size));
}

TIpHtmlColor ColorFromString(const TIpHtmlTokenizer& Tok, const std::string& Value) {
    if (Value.empty()) return kHtmlNoColor;
    const std::string U = Upper(Value);
    if (U[0] == '#') {
        if (U.size() == 7) return ColorFromPairs(U, 1);
        Fail(Tok, "Invalid color constant:" + Value);
        return kHtmlNoColor;
    }
    static const std::pair<const char*, TIpHtmlColor> kNames[] = {
        {"BLACK", 0x000000},  {"SILVER", 0xC0C0C0}, {"GRAY", 0x808080},   {"WHITE", 0xFFFFFF},
        {"MAROON", 0x000080}, {"RED", 0x0000FF},    {"PURPLE", 0x800080}, {"FUCHSIA", 0xFF00FF},
        {"GREEN", 0x008000},  {"LIME", 0x00FF00},   {"OLIVE", 0x008080},  {"YELLOW", 0x00FFFF},
        {"NAVY", 0x800000},   {"BLUE", 0xFF0000},   {"TEAL", 0x808000},   {"AQUA", 0xFFFF00},
    };
    for (const auto& [Name, Color] : kNames)
        if (U == Name) return Color;
    if (U.size() == 6) return ColorFromPairs(U, 0);
    return kHtmlNoColor;
}

TIpHtmlColor ParseColor(const TIpHtmlTokenizer& Tok, const std::string& Name) {
    return ColorFromString(Tok, Tok.FindAttribute(Name));
}

TIpHtmlAlign ParseAlignment(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlAlign;
    return ReadEnum<TIpHtmlAlign>(Tok, "ALIGN",
                                  {{"LEFT", haLeft},
                                   {"CENTER", haCenter},
                                   {"MIDDLE", haCenter},
                                   {"RIGHT", haRight},
                                   {"JUSTIFY", haJustify}},
                                  haDefault, haLeft, kInvalidAlignment);
}

TIpHtmlAlign ParseCellAlign(const TIpHtmlTokenizer& Tok, TIpHtmlAlign Default) {
    using enum TIpHtmlAlign;
    return ReadEnum<TIpHtmlAlign>(Tok, "ALIGN",
                                  {{"LEFT", haLeft},
                                   {"CENTER", haCenter},
                                   {"MIDDLE", haCenter},
                                   {"RIGHT", haRight},
                                   {"JUSTIFY", haJustify},
                                   {"CHAR", haChar}},
                                  Default, haCenter, kInvalidAlignment);
}

TIpHtmlImageAlign ParseImageAlignment(const TIpHtmlTokenizer& Tok, const std::string& Default) {
    using enum TIpHtmlImageAlign;
    std::string Value = Tok.FindAttribute("ALIGN");
    if (Value.empty()) Value = Default;
    return LookUpEnum<TIpHtmlImageAlign>(Tok, Upper(Value),
                                         {{"BOTTOM", hiaBottom},
                                          {"TOP", hiaTop},
                                          {"MIDDLE", hiaMiddle},
                                          {"ABSCENTER", hiaMiddle},
                                          {"LEFT", hiaLeft},
                                          {"CENTER", hiaCenter},
                                          {"RIGHT", hiaRight}},
                                         hiaBottom, kInvalidAlignment);
}

TIpHtmlVAlignment2 ParseVAlignment2(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlVAlignment2;
    return ReadEnum<TIpHtmlVAlignment2>(
        Tok, "ALIGN",
        {{"TOP", hva2Top}, {"BOTTOM", hva2Bottom}, {"LEFT", hva2Left}, {"RIGHT", hva2Right}},
        hva2Top, hva2Top, kInvalidAlignment);
}

TIpHtmlVAlign ParseVAlignment(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlVAlign;
    return ReadEnum<TIpHtmlVAlign>(
        Tok, "VALIGN",
        {{"TOP", hvaTop}, {"MIDDLE", hvaMiddle}, {"CENTER", hvaMiddle}, {"BOTTOM", hvaBottom}},
        hvaMiddle, hvaMiddle, kInvalidAlignment);
}

TIpHtmlVAlign3 ParseVAlignment3(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlVAlign3;
    return ReadEnum<TIpHtmlVAlign3>(Tok, "VALIGN",
                                    {{"TOP", hva3Top},
                                     {"MIDDLE", hva3Middle},
                                     {"CENTER", hva3Middle},
                                     {"BOTTOM", hva3Bottom},
                                     {"BASELINE", hva3Baseline}},
                                    hva3Default, hva3Middle, kInvalidAlignment);
}

TIpHtmlOLStyle ParseOLStyle(const TIpHtmlTokenizer& Tok, TIpHtmlOLStyle Default) {
    using enum TIpHtmlOLStyle;
    const std::string Value = Tok.FindAttribute("TYPE");
    if (Value.empty()) return Default;
    // Compared exactly: "a" and "A" differ.
    return LookUpEnum<TIpHtmlOLStyle>(Tok, Value,
                                      {{"1", olArabic},
                                       {"a", olLowerAlpha},
                                       {"A", olUpperAlpha},
                                       {"i", olLowerRoman},
                                       {"I", olUpperRoman}},
                                      Default, kInvalidType);
}

TIpHtmlULType ParseULStyle(const TIpHtmlTokenizer& Tok, TIpHtmlULType Default) {
    using enum TIpHtmlULType;
    return ReadEnum<TIpHtmlULType>(Tok, "TYPE",
                                   {{"DISC", ulDisc}, {"SQUARE", ulSquare}, {"CIRCLE", ulCircle}},
                                   Default, Default, kInvalidType);
}

TIpHtmlInputType ParseInputType(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlInputType;
    return ReadEnum<TIpHtmlInputType>(Tok, "TYPE",
                                      {{"TEXT", hitText},
                                       {"TEXTAREA", hitText},
                                       {"PASSWORD", hitPassword},
                                       {"CHECKBOX", hitCheckbox},
                                       {"RADIO", hitRadio},
                                       {"SUBMIT", hitSubmit},
                                       {"RESET", hitReset},
                                       {"FILE", hitFile},
                                       {"HIDDEN", hitHidden},
                                       {"IMAGE", hitImage},
                                       {"BUTTON", hitButton}},
                                      hitText, hitText, kInvalidType);
}

TIpHtmlButtonType ParseButtonType(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlButtonType;
    return ReadEnum<TIpHtmlButtonType>(
        Tok, "TYPE", {{"SUBMIT", hbtSubmit}, {"RESET", hbtReset}, {"BUTTON", hbtButton}}, hbtSubmit,
        hbtSubmit, kInvalidType);
}

TIpHtmlObjectValueType ParseObjectValueType(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlObjectValueType;
    return ReadEnum<TIpHtmlObjectValueType>(
        Tok, "VALUETYPE", {{"DATA", hovtData}, {"REF", hovtRef}, {"OBJECT", hovtObject}}, hovtData,
        hovtData, "Invalid value type specified");
}

TIpHtmlMapShape ParseShape(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlMapShape;
    return ReadEnum<TIpHtmlMapShape>(Tok, "SHAPE",
                                     {{"DEFAULT", hmsDefault},
                                      {"RECT", hmsRect},
                                      {"CIRCLE", hmsCircle},
                                      {"POLY", hmsPoly},
                                      {"POLYGON", hmsPoly}},
                                     hmsDefault, hmsDefault, "Invalid shape specified");
}

TIpHtmlFormMethod ParseMethod(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlFormMethod;
    return ReadEnum<TIpHtmlFormMethod>(Tok, "METHOD", {{"GET", hfmGet}, {"POST", hfmPost}}, hfmGet,
                                       hfmGet, "Invalid method specified");
}

TIpHtmlBreakClear ParseBRClear(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlBreakClear;
    return ReadEnum<TIpHtmlBreakClear>(
        Tok, "CLEAR", {{"ALL", hbcAll}, {"CLEAR", hbcAll}, {"LEFT", hbcLeft}, {"RIGHT", hbcRight}},
        hbcNone, hbcNone, kInvalidAlignment);
}

TIpHtmlDirection ParseDir(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlDirection;
    return ReadEnum<TIpHtmlDirection>(Tok, "DIR", {{"LTR", hdLTR}, {"RTL", hdRTL}}, hdLTR, hdLTR,
                                      "Invalid dir value specified");
}

TIpHtmlFrameProp ParseFrameProp(const TIpHtmlTokenizer& Tok, TIpHtmlFrameProp Default) {
    using enum TIpHtmlFrameProp;
    return ReadEnum<TIpHtmlFrameProp>(Tok, "FRAME",
                                      {{"VOID", hfVoid},
                                       {"ABOVE", hfAbove},
                                       {"BELOW", hfBelow},
                                       {"HSIDES", hfHSides},
                                       {"LHS", hfLhs},
                                       {"RHS", hfRhs},
                                       {"VSIDES", hfvSides},
                                       {"BOX", hfBox},
                                       {"BORDER", hfBorder}},
                                      Default, hfVoid, "Invalid frame specified");
}

TIpHtmlRules ParseRules(const TIpHtmlTokenizer& Tok, TIpHtmlRules Default) {
    using enum TIpHtmlRules;
    return ReadEnum<TIpHtmlRules>(Tok, "RULES",
                                  {{"NONE", hrNone},
                                   {"GROUPS", hrGroups},
                                   {"ROWS", hrRows},
                                   {"COLS", hrCols},
                                   {"ALL", hrAll}},
                                  Default, hrNone, "Invalid rule specified");
}

TIpHtmlFrameScrolling ParseFrameScrollingProp(const TIpHtmlTokenizer& Tok) {
    using enum TIpHtmlFrameScrolling;
    return ReadEnum<TIpHtmlFrameScrolling>(Tok, "SCROLLING",
                                           {{"AUTO", hfsAuto}, {"YES", hfsYes}, {"NO", hfsNo}},
                                           hfsAuto, hfsAuto, "Invalid scrolling specified");
}
