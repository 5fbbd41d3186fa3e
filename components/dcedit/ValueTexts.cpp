#include "components/dcedit/ValueTexts.h"

#include <array>
#include <cctype>

#include "platform/forms/Component.h"

namespace {

constexpr int kSystemColors = 25;

constexpr std::array<TColor, 16 + kSystemColors + 1> kListedColors = [] {
    std::array<TColor, 16 + kSystemColors + 1> Colors{
        clBlack,  clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clGray,
        clSilver, clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
    for (int I = 0; I < kSystemColors; ++I) Colors[size_t(16 + I)] = SysColor(I);
    Colors.back() = clNone;
    return Colors;
}();

constexpr const char* kPenStyleNames[] = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                          "psDashDotDot", "psClear", "psInsideFrame"};
static_assert(std::size(kPenStyleNames) == psInsideFrame + 1);

constexpr const char* kBrushStyleNames[] = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                            "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
static_assert(std::size(kBrushStyleNames) == bsDiagCross + 1);

// The position of Text among Names (compared without regard to case), or -1.
int IndexOfName(std::span<const char* const> Names, const std::string& Text) {
    for (size_t I = 0; I < Names.size(); ++I)
        if (SameText(Names[I], Text)) return int(I);
    return -1;
}

}  // namespace

std::span<const TColor> ListedColors() {
    return kListedColors;
}

std::string ColorText(TColor Color) {
    return ColorToString(Color);
}

TColor ColorFromText(const std::string& Text) {
    return StringToColor(Text);
}

std::span<const char* const> PenStyleNames() {
    return kPenStyleNames;
}

std::string PenStyleText(TPenStyle Style) {
    return kPenStyleNames[size_t(Style)];
}

TPenStyle PenStyleFromText(const std::string& Text) {
    const int Index = IndexOfName(kPenStyleNames, Text);
    if (Index < 0) throw Exception("'" + Text + "' is not a valid pen style");
    return TPenStyle(Index);
}

std::span<const char* const> BrushStyleNames() {
    return kBrushStyleNames;
}

std::string BrushStyleText(TBrushStyle Style) {
    return std::string(kBrushStylePrefix) + kBrushStyleNames[size_t(Style)];
}

TBrushStyle BrushStyleFromText(const std::string& Text) {
    const std::string Prefix = kBrushStylePrefix;
    const int Index = SameText(Text.substr(0, Prefix.size()), Prefix)
                          ? IndexOfName(kBrushStyleNames, Text.substr(Prefix.size()))
                          : -1;
    if (Index < 0) throw Exception("'" + Text + "' is not a valid brush style");
    return TBrushStyle(Index);
}

bool BooleanFromText(const std::string& Text) {
    if (Text.empty()) return false;
    const char First = char(std::toupper(static_cast<unsigned char>(Text[0])));
    return First == 'T' || First == 'Y';
}

std::string BooleanText(bool Value) {
    return Value ? "True" : "False";
}
