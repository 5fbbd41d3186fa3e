#pragma once
// The element parsers: a recursive descent over the tokens that builds the document's tree.
// Each element parser makes its node, reads its attributes, parses its content until a token of
// its end set arrives and then checks its end tag. Missing end tags are tolerated wherever the
// token that arrived may close the element; with FlagErrors set anything else raises.
//
// Every content loop also ends at the end of input, and nesting is followed only to
// HtmlLimits::kMaxNestingDepth: an element with content met there is dropped (its tag skipped)
// and its content goes into the element being filled.
#include "htmlview/html/IpHtmlTokens.h"
#include "htmlview/html/IpHtmlTypes.h"

class TIpHtml;
class TIpHtmlNode;
class TIpHtmlNodeFRAMESET;
class TIpHtmlNodeList;
class TIpHtmlNodeMulti;
class TIpHtmlNodeTABLE;
class TIpHtmlNodeTHeadFootBody;
class TIpHtmlNodeTR;
class TIpHtmlTokenizer;

class TIpHtmlParser {
  public:
    explicit TIpHtmlParser(TIpHtml& Owner);
    // Parses the tokenizer's input into the document's (empty) root.
    void ParseDocument();

  private:
    using TSet = TIpHtmlTokenSet;

    TIpHtmlToken Cur() const;
    void Next();
    // Consumes EndToken when current; otherwise an error unless the token may close the element.
    void EnsureClosure(TIpHtmlToken EndToken, const TSet& EndSet);
    // Consumes Token when current; otherwise an error.
    void Expect(TIpHtmlToken Token);
    // At the nesting limit the element's tag is skipped and true returned.
    bool AtNestingLimit();
    // Parses Node's content with End added to EndSet, then checks End.
    void ParseContent(TIpHtmlNode* Node, const TSet& EndSet, TIpHtmlToken End);
    // Parses Node's content up to its own end tag only, then expects it.
    void ParseFixedContent(TIpHtmlNode* Node, TIpHtmlToken End);
    // Text tokens become text children; every other token up to EndSet is skipped.
    void CollectText(TIpHtmlNode* Parent, const TSet& EndSet);

    void ParseHtml();
    void ParseHead();
    void ParseBody(const TSet& EndSet);
    void ParseBodyText(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseBodyTextElement(TIpHtmlNode* Parent, const TSet& EndSet);

    void ParseTitle(TIpHtmlNode* Parent);
    void ParseStyle(TIpHtmlNode* Parent);
    void ParseScript(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseNoscript(TIpHtmlNode* Parent);
    void ParseIsIndex();
    void ParseBase();
    void ParseMeta(TIpHtmlNode* Parent);
    void ParseLink(TIpHtmlNode* Parent);
    void ParseBodyTag(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseFont(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseHeader(TIpHtmlNode* Parent);
    void ParseParagraph(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseAddress(TIpHtmlNode* Parent);
    void ParseUnorderedList(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseOrderedList(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseListItems(TIpHtmlNodeMulti* List, TIpHtmlToken EndToken, TIpHtmlULType DefaultType,
                        const TSet& EndSet);
    void ParseDefinitionList(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseDefListItems(TIpHtmlNodeMulti* List, const TSet& EndSet);
    void ParsePre(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseDiv(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseCenter(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseSpan(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseSimpleInline(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseInsDel(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseFontStyle(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParsePhrase(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseHR(TIpHtmlNode* Parent);
    void ParseBR(TIpHtmlNode* Parent);
    void ParseNOBR(TIpHtmlNode* Parent);
    void ParseAnchor(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseImage(TIpHtmlNode* Parent);
    void ParseApplet(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseObject(TIpHtmlNode* Parent);
    void ParseParam(TIpHtmlNode* Parent);
    void ParseBaseFont(TIpHtmlNode* Parent);
    void ParseMap(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseForm(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseIFrame(TIpHtmlNode* Parent);

    // Form controls (IpHtmlParseForms.cpp).
    void ParseFormFields(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseInput(TIpHtmlNode* Parent);
    void ParseButton(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseSelect(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseOption(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseTextArea(TIpHtmlNode* Parent);
    void ParseLabel(TIpHtmlNode* Parent);
    void ParseFieldSet(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseLegend(TIpHtmlNode* Parent);

    // Tables and frame sets (IpHtmlParseTables.cpp).
    void ParseTable(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseCaption(TIpHtmlNodeTABLE* Table, const TSet& EndSet);
    void ParseColGroups(TIpHtmlNodeTABLE* Table);
    void ParseRowGroups(TIpHtmlNodeTABLE* Table, const TSet& EndSet);
    void ParseRowGroupAttributes(TIpHtmlNodeTHeadFootBody* Group);
    void ParseRows(TIpHtmlNodeMulti* Group, const TSet& EndSet);
    void ParseCells(TIpHtmlNodeTR* Row, const TSet& EndSet);
    void ParseFrameSet(TIpHtmlNode* Parent, const TSet& EndSet);
    void ParseFrame(TIpHtmlNode* Parent);
    void ParseNoFrames(TIpHtmlNode* Parent);

    TIpHtml& FOwner;
    TIpHtmlTokenizer& FTok;
    // How deep the node being filled lies below the root.
    int FDepth = 0;
    // UL, DIR and MENU lists open around the current token.
    int FListLevel = 0;
};

// Counts one level (of nesting, of lists, of body text) for as long as it lives.
class TIpHtmlNesting {
  public:
    explicit TIpHtmlNesting(int& Depth) : FDepth(Depth) { ++FDepth; }
    ~TIpHtmlNesting() { --FDepth; }
    TIpHtmlNesting(const TIpHtmlNesting&) = delete;
    TIpHtmlNesting& operator=(const TIpHtmlNesting&) = delete;

  private:
    int& FDepth;
};
