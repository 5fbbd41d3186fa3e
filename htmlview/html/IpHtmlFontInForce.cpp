#include "htmlview/html/IpHtmlFontInForce.h"

#include <algorithm>
#include <string>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"

namespace {

// A non-breaking space measures and draws as a blank.
std::string_view Printable(std::string_view Text, std::string& Copy) {
    if (Text.find(kHtmlNoBreakSpace) == std::string_view::npos) return Text;
    Copy = NoBreakToSpace(std::string(Text));
    return Copy;
}

}  // namespace

void TIpHtmlCanvasFonts::SetCanvas(TIpHtmlCanvas* Canvas) {
    FCanvas = Canvas;
    Forget();
}

void TIpHtmlCanvasFonts::Forget() {
    FSelected = nullptr;
    FColorKnown = false;
}

// Sizes of 0 and below (SMALL in SMALL in SMALL...) still need a font that has a size.
void TIpHtmlCanvasFonts::Select(TIpHtmlPropA& Font) {
    if (FSelected == &Font) return;
    int32_t Size = Font.FontSize();
    if (FOwner.PrintState.Printing) Size = FOwner.PrintState.Scale(Size);
    FCanvas->SetFont({Font.FontName(), std::max(Size, 1), Font.FontStyle()});
    FSelected = &Font;
}

TIpHtmlSize TIpHtmlCanvasFonts::Measure(TIpHtmlPropA& Font, std::string_view Text) {
    Select(Font);
    std::string Copy;
    return FCanvas->TextExtent(Printable(Text, Copy));
}

// A space measured 0 wide (a font of one pixel) counts 1 wide: blanks that take no room would
// let words run together.
TIpHtmlPropA& TIpHtmlCanvasFonts::WithMetrics(TIpHtmlPropA& Font) {
    if (Font.SizeOfSpaceKnown()) return Font;
    const TIpHtmlSize Space = Measure(Font, " ");
    const TIpHtmlSize Hyphen = Measure(Font, "-");
    const TIpHtmlTextMetrics Metrics = FCanvas->TextMetrics();
    Font.SetKnownSizeOfSpace(std::max(Space.Width, 1), Space.Height);
    Font.HyphenWidth = Hyphen.Width;
    Font.HyphenHeight = Hyphen.Height;
    Font.Ascent = Metrics.Ascent;
    Font.Descent = Metrics.Descent;
    Font.Height = Metrics.Height;
    return Font;
}

TIpHtmlSize TIpHtmlCanvasFonts::WordSize(TIpHtmlPropA& Font, std::string_view Text) {
    const auto Known = Font.WordSizes.find(Text);
    if (Known != Font.WordSizes.end()) return Known->second;
    const TIpHtmlSize Size = Measure(Font, Text);
    Font.WordSizes.emplace(std::string(Text), Size);
    return Size;
}

void TIpHtmlCanvasFonts::SelectForDrawing(TIpHtmlPropA& Font, TIpHtmlColor Color) {
    Select(Font);
    if (FColorKnown && FColor == Color) return;
    FCanvas->SetTextColor(Color);
    FColor = Color;
    FColorKnown = true;
}

TIpHtmlFontInForce::TIpHtmlFontInForce(TIpHtmlCanvasFonts& Fonts, const TIpHtmlProps& Start)
    : FFonts(Fonts), FFont(Start.PropA()), FOther(Start.PropB()) {}

bool TIpHtmlFontInForce::Use(const TIpHtmlProps& Props) {
    if (Props.PropA() == FFont && Props.PropB() == FOther) return false;
    FFont = Props.PropA();
    FOther = Props.PropB();
    return true;
}

TIpHtmlSize TIpHtmlFontInForce::WordSize(LayoutElement& Word) {
    if (Word.SizeProp != FFont) {
        const TIpHtmlSize Size = FFonts.WordSize(*FFont, Word.AnsiWord);
        Word.Width = Size.Width;
        Word.Height = Size.Height;
        Word.SizeProp = FFont;
    }
    return {Word.Width, Word.Height};
}
