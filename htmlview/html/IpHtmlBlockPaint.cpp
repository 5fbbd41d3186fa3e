// Painting a block's elements and copying its selected text. Painting starts at the first line
// that reaches into the page rectangle being painted and stops at the first line below it, so
// the last screen of a long mail costs what the first does.
#include <climits>
#include <string>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "htmlview/html/IpHtmlFontInForce.h"

namespace {

using enum TElementType;

std::string Shown(const std::string& Word) {
    return Word.find(kHtmlNoBreakSpace) == std::string::npos ? Word : NoBreakToSpace(Word);
}

bool EndsWithLineBreak(const std::string& Text) {
    return Text.size() >= 2 && Text.compare(Text.size() - 2, 2, "\r\n") == 0;
}

}  // namespace

void TIpHtmlNodeBlock::PaintBlock(TIpHtmlProps& Props) {
    Prepare(Props);
    TIpHtml& Doc = *Owner();
    const TIpHtmlRect& Page = Doc.PaintPageRect();
    const auto [FirstLine, EndLine] = LinesBetween(Page.Top, Page.Bottom);
    if (FirstLine >= EndLine) return;
    TIpHtmlFontInForce Font(Doc.Fonts(), *FProps);
    if (const LayoutElement* From = FLines[FirstLine].PropsFrom) Font.Use(*From->Props);
    const size_t End = EndLine < FLines.size() ? FLines[EndLine].First : FElements.size();
    for (size_t I = FLines[FirstLine].First; I < End; ++I) {
        LayoutElement* E = FElements[I];
        if (E->Props) Font.Use(*E->Props);
        if (!RectsIntersect(E->WordRect, Page)) continue;
        if (E->ElementType == Object) {
            static_cast<TIpHtmlNodeAlignInline*>(E->Owner)->PaintInline(*this);
            continue;
        }
        if (E->ElementType != Word && E->ElementType != SoftHyphen) continue;
        TIpHtmlRect Screen;
        if (!Doc.PageRectToScreen(E->WordRect, Screen)) continue;
        Font.SelectForDrawing();
        Doc.Target().TextOut(Screen.Left, Screen.Top,
                             E->ElementType == Word ? Shown(E->AnsiWord) : std::string("-"));
        Doc.AddDrawRect(E->WordRect, E, this);
    }
}

// The selected range runs from the first element hit by the selection to the last; a line
// break goes between elements on different rows and for every break element.
void TIpHtmlNodeBlock::CopySelectionText(std::string& Text) {
    TIpHtml& Doc = *Owner();
    if (!Doc.HasSelection() || FElements.empty()) return;
    size_t First = 0, Last = FElements.size() - 1;
    if (!Doc.AllSelected()) {
        const auto Hit = [&](size_t I) {
            return !IsEmptyRect(FElements[I]->WordRect) &&
                   Doc.SelectionHits(FElements[I]->WordRect);
        };
        while (First < FElements.size() && !Hit(First)) ++First;
        if (First == FElements.size()) return;
        while (Last > First && !Hit(Last)) --Last;
    }
    int32_t Row = INT32_MIN;
    bool RowKnown = false;
    for (size_t I = First; I <= Last; ++I) {
        LayoutElement* E = FElements[I];
        const TElementType Type = E->ElementType;
        if (Type >= SoftBreak && Type <= BreakClearAll) {
            if (!EndsWithLineBreak(Text)) Text += "\r\n";
            continue;
        }
        if ((Type != Word && Type != Object) || IsEmptyRect(E->WordRect)) continue;
        if (RowKnown && E->WordRect.Top != Row && !EndsWithLineBreak(Text)) Text += "\r\n";
        Row = E->WordRect.Top;
        RowKnown = true;
        if (Type == Word)
            Text += Shown(E->AnsiWord);
        else
            E->Owner->CopySelectionText(Text);
    }
}
