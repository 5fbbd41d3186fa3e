// How nodes turn into layout elements: text into words and blanks, block-level markup into the
// document's shared breaks and indents around its content. The line breaking itself is the
// block's (IpHtmlBlockLayout.cpp).
#include <string>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"

namespace {

using enum TElementType;

void Add(TIpHtmlNode& Node, TElementType Type) {
    Node.AddElement(Node.Owner()->SharedElement(Type));
}

void AddChildren(TIpHtmlNodeMulti& Node) {
    Node.TIpHtmlNodeMulti::BuildElements();
}

// Element kinds around a node's content; a node without content adds none.
void Surround(TIpHtmlNodeMulti& Node, std::initializer_list<TElementType> Before,
              std::initializer_list<TElementType> After) {
    if (Node.ChildCount() == 0) return;
    for (TElementType Type : Before) Add(Node, Type);
    AddChildren(Node);
    for (TElementType Type : After) Add(Node, Type);
}

}  // namespace

// Ordinary text has single blanks, each a blank word (none at the very start of a block);
// preformatted text keeps its blanks inside the words and breaks at each line feed.
void TIpHtmlNodeText::BuildElements() {
    TIpHtml& Doc = *Owner();
    FBlock = Doc.BuildingBlock();
    FFirst = FBlock ? FBlock->Elements().size() : 0;
    TIpHtmlProps* Props = FProps;
    const auto AddRun = [&](const std::string& Run) {
        if (Doc.BuildWordList(Run, Props, this)) Props = nullptr;
    };
    const bool Pre = FProps && FProps->Preformatted();
    const std::string Text = Pre ? NormalizePreText(FEscapedText) : NormalizeText(FEscapedText);
    const char Separator = Pre ? '\n' : ' ';
    size_t Start = 0;
    while (Start <= Text.size()) {
        size_t Cut = Text.find(Separator, Start);
        if (Cut == std::string::npos) Cut = Text.size();
        if (Cut > Start) AddRun(Text.substr(Start, Cut - Start));
        if (Cut == Text.size()) break;
        if (Pre) {
            LayoutElement* Break = Doc.SharedElement(HardBreak);
            AddElement(Break);
        } else if (!ElementsEmpty()) {
            LayoutElement* Blank = Doc.NewElement(Word, this);
            Blank->AnsiWord = " ";
            Blank->IsBlank = 1;
            Blank->Props = Props;
            Props = nullptr;
            AddElement(Blank);
        }
        Start = Cut + 1;
    }
    FEnd = FBlock ? FBlock->Elements().size() : 0;
}

void TIpHtmlNodeText::ListDrawRects(const TIpHtmlRectProc& Proc) {
    if (!FBlock) return;
    const auto& Elements = FBlock->Elements();
    for (size_t I = FFirst; I < FEnd && I < Elements.size(); ++I)
        if (Elements[I]->Owner == this) Proc(Elements[I]->WordRect);
}

// An item's text starts on the marker's line: a paragraph right inside an item breaks nothing
// before it.
void TIpHtmlNodeP::BuildElements() {
    if (ChildCount() == 0) return;
    if (!dynamic_cast<TIpHtmlNodeLI*>(ParentNode())) {
        Add(*this, SoftBreak);
        Add(*this, HardBreak);
    }
    AddChildren(*this);
    Add(*this, SoftBreak);
    Add(*this, HardBreak);
}

void TIpHtmlNodeHeader::BuildElements() {
    Surround(*this, {HardBreak}, {SoftBreak, HardBreak});
}

void TIpHtmlNodeDIV::BuildElements() {
    Surround(*this, {HardBreak}, {HardBreak});
}

void TIpHtmlNodeDT::BuildElements() {
    Surround(*this, {}, {HardBreak});
}

void TIpHtmlNodeDD::BuildElements() {
    Surround(*this, {Indent}, {Outdent, HardBreak});
}

void TIpHtmlNodeBLOCKQUOTE::BuildElements() {
    Surround(*this, {Indent}, {Outdent});
}

void TIpHtmlNodePRE::BuildElements() {
    Surround(*this, {HardBreak}, {HardBreak});
}

void TIpHtmlNodeBR::BuildElements() {
    static const TElementType kBreaks[] = {HardBreak, BreakClearLeft, BreakClearRight,
                                           BreakClearAll};
    Add(*this, kBreaks[size_t(Clear)]);
}

void TIpHtmlNodeHR::BuildElements() {
    Add(*this, SoftBreak);
    AddElement(Element());
    Add(*this, SoftBreak);
}

// The indent and the closing break come even without items.
void TIpHtmlNodeList::BuildElements() {
    if (ChildCount() > 0) Add(*this, SoftBreak);
    Add(*this, Indent);
    for (int I = 0; I < ChildCount(); ++I) {
        ChildNode(I)->BuildElements();
        if (dynamic_cast<TIpHtmlNodeLI*>(ChildNode(I))) Add(*this, SoftBreak);
    }
    Add(*this, Outdent);
    Add(*this, SoftBreak);
}

// Items are numbered by their place among all the list's children.
void TIpHtmlNodeOL::BuildElements() {
    if (ChildCount() > 0) Add(*this, SoftBreak);
    Add(*this, Indent);
    for (int I = 0; I < ChildCount(); ++I) {
        auto* Item = dynamic_cast<TIpHtmlNodeLI*>(ChildNode(I));
        if (Item) Item->Number = I + 1;
        ChildNode(I)->BuildElements();
        if (Item) Add(*this, SoftBreak);
    }
    Add(*this, Outdent);
    Add(*this, SoftBreak);
}

// Roman numerals are additive: 4 is IIII and 9 VIIII.
std::string TIpHtmlNodeOL::NumberText(int32_t Number) const {
    using enum TIpHtmlOLStyle;
    std::string Text;
    switch (Style) {
        case olArabic:
            Text = std::to_string(Number);
            break;
        case olLowerAlpha:
            Text = std::string(1, char(Number + 96));
            break;
        case olUpperAlpha:
            Text = std::string(1, char(Number + 64));
            break;
        case olLowerRoman:
        case olUpperRoman: {
            static const std::pair<int32_t, char> kDigits[] = {
                {1000, 'M'}, {500, 'D'}, {100, 'C'}, {50, 'L'}, {10, 'X'}, {5, 'V'}, {1, 'I'}};
            int32_t Rest = Number;
            for (const auto& [Value, Digit] : kDigits) {
                const char Shown = Style == olLowerRoman ? char(Digit - 'A' + 'a') : Digit;
                for (; Rest >= Value; Rest -= Value) Text += Shown;
            }
            break;
        }
    }
    return Text + ".";
}

void TIpHtmlNodeLI::BuildElements() {
    if (auto* List = dynamic_cast<TIpHtmlNodeOL*>(ParentNode())) {
        FNumberWord->AnsiWord = List->NumberText(Number);
        FNumberWord->IsBlank = 0;
        FNumberWord->SizeProp = nullptr;
        AddElement(FNumberWord);
    } else {
        AddElement(Element());
    }
    Add(*this, Indent);
    AddChildren(*this);
    Add(*this, Outdent);
}

// A table that does not float has a line of its own.
void TIpHtmlNodeTABLE::BuildElements() {
    const bool Floating =
        Align() == TIpHtmlImageAlign::hiaLeft || Align() == TIpHtmlImageAlign::hiaRight;
    if (!Floating) Add(*this, SoftBreak);
    AddElement(Element());
    if (!Floating) Add(*this, SoftBreak);
}
