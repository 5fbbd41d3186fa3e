#include "htmlview/html/IpHtmlParser.h"

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlAttributes.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "htmlview/html/Limits.h"

namespace {

// A value object's change makes its node forget its size.
template <class TValue>
void ResetOnChange(TValue& Value, TIpHtmlNode* Node) {
    Value.OnChange = [Node] { Node->ResetSize(); };
}

TIpHtmlToken After(TIpHtmlToken Token) {
    return TIpHtmlToken(Token + 1);
}

}  // namespace

TIpHtmlParser::TIpHtmlParser(TIpHtml& Owner) : FOwner(Owner), FTok(Owner.FTokenizer) {}

TIpHtmlToken TIpHtmlParser::Cur() const {
    return FTok.CurToken();
}

void TIpHtmlParser::Next() {
    FTok.NextToken();
}

void TIpHtmlParser::EnsureClosure(TIpHtmlToken EndToken, const TSet& EndSet) {
    if (Cur() == EndToken)
        Next();
    else if (!EndSet.Has(Cur()) && FTok.FlagErrors)
        FTok.ReportExpectedToken(EndToken);
}

void TIpHtmlParser::Expect(TIpHtmlToken Token) {
    if (Cur() == Token)
        Next();
    else if (FTok.FlagErrors)
        FTok.ReportExpectedToken(Token);
}

bool TIpHtmlParser::AtNestingLimit() {
    if (FDepth < HtmlLimits::kMaxNestingDepth) return false;
    Next();
    return true;
}

void TIpHtmlParser::ParseContent(TIpHtmlNode* Node, const TSet& EndSet, TIpHtmlToken End) {
    Next();
    ParseBodyText(Node, EndSet + TSet{End});
    EnsureClosure(End, EndSet);
}

void TIpHtmlParser::ParseFixedContent(TIpHtmlNode* Node, TIpHtmlToken End) {
    Next();
    ParseBodyText(Node, TSet{End});
    Expect(End);
}

void TIpHtmlParser::CollectText(TIpHtmlNode* Parent, const TSet& EndSet) {
    while (Cur() != ttEof && !EndSet.Has(Cur())) {
        if (Cur() == ttText) new TIpHtmlNodeText(Parent, FTok.TokenString());
        Next();
    }
}

// --- document structure ---

// Without an HTML or FRAMESET tag the input is read again from its start, and text before the
// first tag is dropped.
void TIpHtmlParser::ParseDocument() {
    FListLevel = 0;
    do Next();
    while (Cur() != ttEof && Cur() != ttHTML && Cur() != ttFRAMESET);
    if (Cur() == ttEof) {
        FTok.Restart();
        FListLevel = 0;
        do Next();
        while (Cur() == ttText);
    }
    if (Cur() != ttEof) ParseHtml();
}

void TIpHtmlParser::ParseHtml() {
    if (Cur() != ttHTML) {
        ParseHead();
        ParseBody(TSet{ttEof});
        return;
    }
    TIpHtmlNodeHtml* Root = FOwner.HtmlNode();
    Root->Version = FTok.FindAttribute("VERSION");
    Root->Lang = FTok.FindAttribute("LANG");
    Root->Dir = ParseDir(FTok);
    Next();
    ParseHead();
    ParseBody(TSet{ttEof, ttHTMLEnd});
    if (Cur() != ttEof && Cur() != ttHTMLEnd && FTok.FlagErrors)
        FTok.ReportExpectedToken(ttHTMLEnd);
    Next();
}

void TIpHtmlParser::ParseHead() {
    if (Cur() != ttHEAD) return;
    Next();
    auto* Head = new TIpHtmlNodeHEAD(FOwner.HtmlNode());
    const TSet HeadEnd{ttEof, ttHEADEnd, ttBODY, ttFRAMESET};
    while (!HeadEnd.Has(Cur())) {
        switch (Cur()) {
            case ttTITLE:
                ParseTitle(Head);
                break;
            case ttSTYLE:
                ParseStyle(Head);
                break;
            case ttSCRIPT:
                ParseScript(Head, TSet{ttEof});
                break;
            case ttNOSCRIPT:
                ParseNoscript(Head);
                break;
            case ttISINDEX:
                ParseIsIndex();
                break;
            case ttBASE:
                ParseBase();
                break;
            case ttMETA:
                ParseMeta(Head);
                break;
            case ttLINK:
                ParseLink(Head);
                break;
            default:
                Next();
        }
    }
    if (Cur() == ttHEADEnd) Next();
}

// A document without a BODY tag gets one holding everything the root got.
void TIpHtmlParser::ParseBody(const TSet& EndSet) {
    TIpHtmlNodeHtml* Root = FOwner.HtmlNode();
    if (Cur() == ttFRAMESET) {
        ParseFrameSet(Root, EndSet);
        return;
    }
    if (Cur() == ttBODY) {
        auto* Body = new TIpHtmlNodeBODY(Root);
        Body->SetBgColor(ParseColor(FTok, "BGCOLOR"));
        Body->SetText(ParseColor(FTok, "TEXT"));
        Body->SetLink(ParseColor(FTok, "LINK"));
        Body->SetVLink(ParseColor(FTok, "VLINK"));
        Body->SetALink(ParseColor(FTok, "ALINK"));
        Body->SetBackground(FTok.FindAttribute("BACKGROUND"));
        Body->ParseBaseProps(FOwner);
        Next();
        ParseBodyText(Body, EndSet + TSet{ttBODYEnd});
        EnsureClosure(ttBODYEnd, EndSet);
        return;
    }
    ParseBodyText(Root, EndSet + TSet{ttBODYEnd});
    if (!Root->HasBodyNode()) {
        auto* Body = new TIpHtmlNodeBODY(Root);
        Body->AdoptChildren(*Root, Body);
    }
    if (Cur() == ttBODYEnd) Next();
}

void TIpHtmlParser::ParseBodyText(TIpHtmlNode* Parent, const TSet& EndSet) {
    TIpHtmlNesting Level(FDepth);
    TIpHtmlNesting InBody(FTok.BodyTextDepth);
    while (Cur() != ttEof && !EndSet.Has(Cur())) ParseBodyTextElement(Parent, EndSet);
}

void TIpHtmlParser::ParseBodyTextElement(TIpHtmlNode* Parent, const TSet& EndSet) {
    const TIpHtmlToken Token = Cur();
    switch (Token) {
        case ttBODY:
            ParseBodyTag(Parent, EndSet);
            break;
        case ttText:
            new TIpHtmlNodeText(Parent, FTok.TokenString());
            Next();
            break;
        case ttSTYLE:
            ParseStyle(Parent);
            break;
        case ttSCRIPT:
            ParseScript(Parent, EndSet);
            break;
        case ttNOSCRIPT:
            ParseNoscript(Parent);
            break;
        case ttFONT:
            ParseFont(Parent, EndSet);
            break;
        case ttH1:
        case ttH2:
        case ttH3:
        case ttH4:
        case ttH5:
        case ttH6:
            ParseHeader(Parent);
            break;
        case ttP:
            ParseParagraph(Parent, EndSet);
            break;
        case ttADDRESS:
            ParseAddress(Parent);
            break;
        case ttUL:
        case ttDIR:
        case ttMENU:
            ParseUnorderedList(Parent, EndSet);
            break;
        case ttOL:
            ParseOrderedList(Parent, EndSet);
            break;
        case ttDL:
            ParseDefinitionList(Parent, EndSet);
            break;
        case ttPRE:
            ParsePre(Parent, EndSet);
            break;
        case ttDIV:
            ParseDiv(Parent, EndSet);
            break;
        case ttCENTER:
        case ttLEFT:
        case ttRIGHT:
            ParseCenter(Parent, EndSet);
            break;
        case ttSPAN:
            ParseSpan(Parent, EndSet);
            break;
        case ttBLINK:
        case ttBLOCKQUOTE:
        case ttQ:
            ParseSimpleInline(Parent, EndSet);
            break;
        case ttINS:
        case ttDEL:
            ParseInsDel(Parent, EndSet);
            break;
        case ttHR:
            ParseHR(Parent);
            break;
        case ttBR:
            ParseBR(Parent);
            break;
        case ttNOBR:
            ParseNOBR(Parent);
            break;
        case ttA:
            ParseAnchor(Parent, EndSet);
            break;
        case ttIMG:
            ParseImage(Parent);
            break;
        case ttAPPLET:
            ParseApplet(Parent, EndSet);
            break;
        case ttOBJECT:
            ParseObject(Parent);
            break;
        case ttBASEFONT:
            ParseBaseFont(Parent);
            break;
        case ttMAP:
            ParseMap(Parent, EndSet);
            break;
        case ttFORM:
            ParseForm(Parent, EndSet);
            break;
        case ttINPUT:
        case ttBUTTON:
        case ttSELECT:
        case ttTEXTAREA:
            ParseFormFields(Parent, EndSet);
            break;
        case ttTABLE:
            ParseTable(Parent, EndSet);
            break;
        case ttIFRAME:
            ParseIFrame(Parent);
            break;
        case ttFRAMESET:
            ParseFrameSet(Parent, EndSet);
            break;
        default:
            if (HtmlFontStyleOf(Token))
                ParseFontStyle(Parent, EndSet);
            else if (HtmlPhraseStyleOf(Token))
                ParsePhrase(Parent, EndSet);
            else
                Next();  // end tags that close nothing here, unknown tags, items out of place
    }
}

// --- head elements ---

void TIpHtmlParser::ParseTitle(TIpHtmlNode* Parent) {
    auto* Title = new TIpHtmlNodeTITLE(Parent);
    FOwner.FTitleNode = Title;
    Next();
    if (Cur() == ttText) {
        Title->Title = NormalizeText(EscapeToAnsi(FTok.TokenString()));
        Next();
    }
    Expect(ttTITLEEnd);
}

void TIpHtmlParser::ParseStyle(TIpHtmlNode* Parent) {
    auto* Style = new TIpHtmlNodeSTYLE(Parent);
    Style->Media = FTok.FindAttribute("MEDIA");
    Style->Title = FTok.FindAttribute("TITLE");
    Next();
    CollectText(Style, TSet{ttSTYLEEnd});
    Expect(ttSTYLEEnd);
}

void TIpHtmlParser::ParseScript(TIpHtmlNode* Parent, const TSet& EndSet) {
    new TIpHtmlNodeSCRIPT(Parent);
    Next();
    while (Cur() != ttEof && Cur() != ttSCRIPTEnd) Next();
    EnsureClosure(ttSCRIPTEnd, EndSet);
}

void TIpHtmlParser::ParseNoscript(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    auto* Node = new TIpHtmlNodeNOSCRIPT(Parent);
    Node->ParseBaseProps(FOwner);
    ParseFixedContent(Node, ttNOSCRIPTEnd);
}

void TIpHtmlParser::ParseIsIndex() {
    FOwner.IndexPhrase = FTok.FindAttribute("PROMPT");
    FOwner.HasIndex = !FOwner.IndexPhrase.empty();
    Next();
}

void TIpHtmlParser::ParseBase() {
    FOwner.BaseURL = FTok.FindAttribute("HREF");
    Next();
}

void TIpHtmlParser::ParseMeta(TIpHtmlNode* Parent) {
    auto* Meta = new TIpHtmlNodeMETA(Parent);
    Meta->HttpEquiv = FTok.FindAttribute("HTTP-EQUIV");
    Meta->Name = FTok.FindAttribute("NAME");
    Meta->Content = FTok.FindAttribute("CONTENT");
    Meta->Scheme = FTok.FindAttribute("SCHEME");
    Next();
}

void TIpHtmlParser::ParseLink(TIpHtmlNode* Parent) {
    auto* Link = new TIpHtmlNodeLINK(Parent);
    Link->HRef = FTok.FindAttribute("HREF");
    Link->Rel = FTok.FindAttribute("REL");
    Link->Rev = FTok.FindAttribute("REV");
    Link->ParseBaseProps(FOwner);
    Next();
}

// --- body elements ---

// A second BODY is ignored; one that first comes up inside body text is made there, without its
// attributes.
void TIpHtmlParser::ParseBodyTag(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (FOwner.Body()) {
        Next();
        return;
    }
    if (AtNestingLimit()) return;
    auto* Body = new TIpHtmlNodeBODY(Parent);
    Next();
    ParseBodyText(Body, EndSet);
}

void TIpHtmlParser::ParseFont(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Font = new TIpHtmlNodeFONT(Parent);
    Font->Face = FTok.FindAttribute("FACE");
    ParseRelSize(FTok, Font->Size);
    Font->Color = ParseColor(FTok, "COLOR");
    Font->ParseBaseProps(FOwner);
    ResetOnChange(Font->Size, Font);
    ParseContent(Font, EndSet, ttFONTEnd);
}

// A header is closed only by its own end tag or the end of input.
void TIpHtmlParser::ParseHeader(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    auto* Header = new TIpHtmlNodeHeader(Parent);
    Header->ParseBaseProps(FOwner);
    Header->Size = (Token - ttH1) / 2 + 1;
    Header->Align = ParseAlignment(FTok);
    ParseFixedContent(Header, After(Token));
}

// A P is closed by the next P, by TABLE, or by any end tag its parent would accept.
void TIpHtmlParser::ParseParagraph(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Paragraph = new TIpHtmlNodeP(Parent);
    Paragraph->ParseBaseProps(FOwner);
    Paragraph->Align = ParseAlignment(FTok);
    Next();
    ParseBodyText(Paragraph, EndSet + TSet{ttP, ttPEnd, ttTABLE});
    if (Cur() == ttPEnd)
        Next();
    else if (!(EndSet + TSet{ttP, ttTABLE}).Has(Cur()) && FTok.FlagErrors)
        FTok.ReportExpectedToken(ttPEnd);
}

void TIpHtmlParser::ParseAddress(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    auto* Address = new TIpHtmlNodeADDRESS(Parent);
    Address->ParseBaseProps(FOwner);
    ParseFixedContent(Address, ttADDRESSEnd);
}

// Nested lists default to disc, circle, then square.
void TIpHtmlParser::ParseUnorderedList(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    TIpHtmlNodeList* List;
    if (Token == ttUL)
        List = new TIpHtmlNodeUL(Parent);
    else if (Token == ttDIR)
        List = new TIpHtmlNodeDIR(Parent);
    else
        List = new TIpHtmlNodeMENU(Parent);
    List->ParseBaseProps(FOwner);
    using enum TIpHtmlULType;
    const TIpHtmlULType Default = FListLevel == 0 ? ulDisc : FListLevel == 1 ? ulCircle : ulSquare;
    List->ListType = ParseULStyle(FTok, Default);
    List->Compact = ParseBoolean(FTok, "COMPACT");
    Next();
    {
        TIpHtmlNesting Level(FListLevel);
        ParseListItems(List, After(Token), List->ListType,
                       (EndSet + TSet{After(Token)}) - TSet{ttP, ttLI});
    }
    EnsureClosure(After(Token), EndSet);
}

// An OL's items end like a UL's: without taking LI out of the end set, an OL inside a list
// item would end at its own first LI and hand its items to the enclosing list.
void TIpHtmlParser::ParseOrderedList(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* List = new TIpHtmlNodeOL(Parent);
    List->Style = ParseOLStyle(FTok, TIpHtmlOLStyle::olArabic);
    List->Start = ParseInteger(FTok, "START", 1);
    List->Compact = ParseBoolean(FTok, "COMPACT");
    Next();
    ParseListItems(List, ttOLEnd, TIpHtmlULType::ulDisc,
                   (EndSet + TSet{ttOLEnd}) - TSet{ttP, ttLI});
    EnsureClosure(ttOLEnd, EndSet);
}

// Content before the first LI belongs to the list itself.
void TIpHtmlParser::ParseListItems(TIpHtmlNodeMulti* List, TIpHtmlToken EndToken,
                                   TIpHtmlULType DefaultType, const TSet& EndSet) {
    TIpHtmlNesting Level(FDepth);
    while (Cur() != ttEof && !EndSet.Has(Cur())) {
        if (Cur() != ttLI) {
            ParseBodyText(List, EndSet + TSet{EndToken, ttLI});
            continue;
        }
        if (AtNestingLimit()) continue;
        auto* Item = new TIpHtmlNodeLI(List);
        Item->ParseBaseProps(FOwner);
        Item->ListType = ParseULStyle(FTok, DefaultType);
        Item->Value = ParseInteger(FTok, "VALUE", -1);
        Item->Compact = ParseBoolean(FTok, "COMPACT");
        Next();
        ParseBodyText(Item, (EndSet + TSet{EndToken, ttLI, ttLIEnd}) - TSet{ttP, ttPEnd});
        if (Cur() == ttLIEnd) Next();
        FTok.SkipTextWhileCurrent();
    }
}

void TIpHtmlParser::ParseDefinitionList(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* List = new TIpHtmlNodeDL(Parent);
    List->ParseBaseProps(FOwner);
    List->Compact = ParseBoolean(FTok, "COMPACT");
    Next();
    ParseDefListItems(List, EndSet + TSet{ttDLEnd});
    EnsureClosure(ttDLEnd, EndSet);
}

void TIpHtmlParser::ParseDefListItems(TIpHtmlNodeMulti* List, const TSet& EndSet) {
    TIpHtmlNesting Level(FDepth);
    while (Cur() != ttEof && !EndSet.Has(Cur())) {
        if (Cur() != ttDT && Cur() != ttDD) {
            ParseBodyText(List, EndSet + TSet{ttDT, ttDD});
            continue;
        }
        if (AtNestingLimit()) continue;
        const bool Term = Cur() == ttDT;
        TIpHtmlNodeCore* Item;
        if (Term)
            Item = new TIpHtmlNodeDT(List);
        else
            Item = new TIpHtmlNodeDD(List);
        Item->ParseBaseProps(FOwner);
        Next();
        if (Term) {
            ParseBodyText(Item, EndSet + TSet{ttDTEnd, ttDD});
            if (Cur() == ttDTEnd) Next();
        } else {
            ParseBodyText(Item, EndSet + TSet{ttDT, ttDDEnd});
            if (Cur() == ttDDEnd) Next();
        }
    }
}

void TIpHtmlParser::ParsePre(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Pre = new TIpHtmlNodePRE(Parent);
    Pre->ParseBaseProps(FOwner);
    {
        TIpHtmlNesting InPre(FTok.PreformattedDepth);
        Next();
        ParseBodyText(Pre, EndSet + TSet{ttPREEnd});
    }
    EnsureClosure(ttPREEnd, EndSet);
}

void TIpHtmlParser::ParseDiv(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Div = new TIpHtmlNodeDIV(Parent);
    Div->Align = ParseAlignment(FTok);
    Div->ParseBaseProps(FOwner);
    ParseContent(Div, EndSet, ttDIVEnd);
}

// CENTER, LEFT and RIGHT are divisions with that alignment.
void TIpHtmlParser::ParseCenter(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    auto* Div = new TIpHtmlNodeDIV(Parent);
    using enum TIpHtmlAlign;
    Div->Align = Token == ttCENTER ? haCenter : Token == ttLEFT ? haLeft : haRight;
    ParseContent(Div, EndSet, After(Token));
}

void TIpHtmlParser::ParseSpan(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Span = new TIpHtmlNodeSPAN(Parent);
    Span->Align = ParseAlignment(FTok);
    Span->ParseBaseProps(FOwner);
    ParseContent(Span, EndSet, ttSPANEnd);
}

// BLINK (no attributes), BLOCKQUOTE and Q.
void TIpHtmlParser::ParseSimpleInline(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    TIpHtmlNodeCore* Node;
    if (Token == ttBLINK) {
        Node = new TIpHtmlNodeBLINK(Parent);
    } else {
        if (Token == ttBLOCKQUOTE)
            Node = new TIpHtmlNodeBLOCKQUOTE(Parent);
        else
            Node = new TIpHtmlNodeQ(Parent);
        Node->ParseBaseProps(FOwner);
    }
    ParseContent(Node, EndSet, After(Token));
}

void TIpHtmlParser::ParseInsDel(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    const std::string Cite = FTok.FindAttribute("CITE");
    const std::string DateTime = FTok.FindAttribute("DATETIME");
    TIpHtmlNodeCore* Node;
    if (Token == ttINS) {
        auto* Ins = new TIpHtmlNodeINS(Parent);
        Ins->Cite = Cite;
        Ins->DateTime = DateTime;
        Node = Ins;
    } else {
        auto* Del = new TIpHtmlNodeDEL(Parent);
        Del->Cite = Cite;
        Del->DateTime = DateTime;
        Node = Del;
    }
    Node->ParseBaseProps(FOwner);
    ParseContent(Node, EndSet, After(Token));
}

void TIpHtmlParser::ParseFontStyle(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    auto* Node = new TIpHtmlNodeFontStyle(Parent);
    Node->ParseBaseProps(FOwner);
    Node->Style = *HtmlFontStyleOf(Token);
    ParseContent(Node, EndSet, After(Token));
}

void TIpHtmlParser::ParsePhrase(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    const TIpHtmlToken Token = Cur();
    auto* Node = new TIpHtmlNodePhrase(Parent);
    Node->ParseBaseProps(FOwner);
    Node->Style = *HtmlPhraseStyleOf(Token);
    ParseContent(Node, EndSet, After(Token));
}

void TIpHtmlParser::ParseHR(TIpHtmlNode* Parent) {
    auto* Rule = new TIpHtmlNodeHR(Parent);
    Rule->SetAlign(ParseImageAlignment(FTok, "CENTER"));
    Rule->NoShade = ParseBoolean(FTok, "NOSHADE");
    ParseHtmlInteger(FTok, "SIZE", 1, Rule->Size);
    ParseHtmlLength(FTok, "WIDTH", "100%", Rule->Width);
    Rule->Color = ParseColor(FTok, "COLOR");
    Rule->ParseBaseProps(FOwner);
    ResetOnChange(Rule->Size, Rule);
    ResetOnChange(Rule->Width, Rule);
    Next();
}

void TIpHtmlParser::ParseBR(TIpHtmlNode* Parent) {
    auto* Break = new TIpHtmlNodeBR(Parent);
    Break->Clear = ParseBRClear(FTok);
    Break->Id = FTok.FindAttribute("ID");
    Break->ClassId = FTok.FindAttribute("CLASS");
    Break->Title = FTok.FindAttribute("TITLE");
    Break->Style = FTok.FindAttribute("STYLE");
    Next();
}

void TIpHtmlParser::ParseNOBR(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    Next();
    auto* NoBreak = new TIpHtmlNodeNOBR(Parent);
    ParseBodyText(NoBreak, TSet{ttNOBREnd});
    Expect(ttNOBREnd);
}

// An anchor with a name and no content gets a non-breaking space, so it has a place to scroll to.
void TIpHtmlParser::ParseAnchor(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Anchor = new TIpHtmlNodeA(Parent);
    Anchor->SetName(FTok.FindAttribute("NAME"));
    Anchor->SetHRef(FTok.FindAttribute("HREF"));
    Anchor->Rel = FTok.FindAttribute("REL");
    Anchor->Rev = FTok.FindAttribute("REV");
    Anchor->ParseBaseProps(FOwner);
    Anchor->Shape = ParseShape(FTok);
    Anchor->TabIndex = ParseInteger(FTok, "TABINDEX", -1);
    Anchor->Target = FTok.FindAttribute("TARGET");
    Next();
    ParseBodyText(Anchor, (EndSet + TSet{ttAEnd}) - TSet{ttA});
    if (Cur() == ttAEnd)
        Next();
    else if (Cur() != ttA && !EndSet.Has(Cur()) && FTok.FlagErrors)
        FTok.ReportExpectedToken(ttAEnd);
    if (!Anchor->Name().empty() && Anchor->ChildCount() == 0) new TIpHtmlNodeText(Anchor, "&nbsp;");
}

void TIpHtmlParser::ParseImage(TIpHtmlNode* Parent) {
    auto* Image = new TIpHtmlNodeIMG(Parent);
    Image->Src = FTok.FindAttribute("SRC");
    Image->Alt = FTok.FindAttribute("ALT");
    Image->SetAlign(ParseImageAlignment(FTok, "BOTTOM"));
    ParsePixels(FTok, "HEIGHT", Image->Height);
    ParseHtmlLength(FTok, "WIDTH", "", Image->Width);
    Image->Border = ParseInteger(FTok, "BORDER", 0);
    Image->HSpace = ParseInteger(FTok, "HSPACE", 0);
    Image->VSpace = ParseInteger(FTok, "VSPACE", 0);
    Image->UseMap = FTok.FindAttribute("USEMAP");
    Image->IsMap = ParseBoolean(FTok, "ISMAP");
    Image->ParseBaseProps(FOwner);
    Image->LongDesc = FTok.FindAttribute("LONGDESC");
    Image->Name = FTok.FindAttribute("NAME");
    ResetOnChange(Image->Height, Image);
    ResetOnChange(Image->Width, Image);
    Next();
}

void TIpHtmlParser::ParseApplet(TIpHtmlNode* Parent, const TSet& EndSet) {
    auto* Applet = new TIpHtmlNodeAPPLET(Parent);
    Applet->Codebase = FTok.FindAttribute("CODEBASE");
    Applet->Code = FTok.FindAttribute("CODE");
    Applet->Alt = FTok.FindAttribute("ALT");
    Applet->Name = FTok.FindAttribute("NAME");
    Applet->Height = ParseInteger(FTok, "HEIGHT", -1);
    ParseHtmlLength(FTok, "WIDTH", "", Applet->Width);
    Applet->Align = ParseImageAlignment(FTok, "BOTTOM");
    Applet->HSpace = ParseInteger(FTok, "HSPACE", 1);
    Applet->VSpace = ParseInteger(FTok, "VSPACE", 1);
    Applet->Archive = FTok.FindAttribute("ARCHIVE");
    Applet->ObjectCode = FTok.FindAttribute("OBJECT");
    Applet->Id = FTok.FindAttribute("ID");
    Applet->ClassId = FTok.FindAttribute("CLASS");
    Applet->Title = FTok.FindAttribute("TITLE");
    Applet->Style = FTok.FindAttribute("STYLE");
    ResetOnChange(Applet->Width, Applet);
    Next();
    const TSet AppletEnd = EndSet + TSet{ttAPPLETEnd};
    while (Cur() != ttEof && !AppletEnd.Has(Cur())) {
        if (Cur() == ttPARAM)
            ParseParam(Applet);
        else
            CollectText(Applet, TSet{ttAPPLETEnd, ttPARAM});
    }
    EnsureClosure(ttAPPLETEnd, EndSet);
}

void TIpHtmlParser::ParseObject(TIpHtmlNode* Parent) {
    auto* Object = new TIpHtmlNodeOBJECT(Parent);
    Object->ClassID = FTok.FindAttribute("CLASSID");
    Object->Codebase = FTok.FindAttribute("CODEBASE");
    Object->Data = FTok.FindAttribute("DATA");
    Object->CodeType = FTok.FindAttribute("CODETYPE");
    Object->Archive = FTok.FindAttribute("ARCHIVE");
    Object->Standby = FTok.FindAttribute("STANDBY");
    Object->Align = ParseImageAlignment(FTok, "BOTTOM");
    Object->Height = ParseInteger(FTok, "HEIGHT", -1);
    ParseHtmlLength(FTok, "WIDTH", "", Object->Width);
    Object->Border = ParseInteger(FTok, "BORDER", 0);
    Object->HSpace = ParseInteger(FTok, "HSPACE", 1);
    Object->VSpace = ParseInteger(FTok, "VSPACE", 1);
    Object->UseMap = FTok.FindAttribute("USEMAP");
    Object->Declare = ParseBoolean(FTok, "DECLARE");
    Object->ParseBaseProps(FOwner);
    Object->Name = FTok.FindAttribute("NAME");
    ResetOnChange(Object->Width, Object);
    Next();
    while (Cur() != ttEof && Cur() != ttOBJECTEnd) {
        if (Cur() == ttPARAM)
            ParseParam(Object);
        else
            CollectText(Object, TSet{ttOBJECTEnd, ttPARAM});
    }
    Expect(ttOBJECTEnd);
}

void TIpHtmlParser::ParseParam(TIpHtmlNode* Parent) {
    auto* Param = new TIpHtmlNodePARAM(Parent);
    Param->Name = FTok.FindAttribute("NAME");
    Param->Value = FTok.FindAttribute("VALUE");
    Param->Id = FTok.FindAttribute("ID");
    Param->ValueType = ParseObjectValueType(FTok);
    Next();
}

void TIpHtmlParser::ParseBaseFont(TIpHtmlNode* Parent) {
    auto* BaseFont = new TIpHtmlNodeBASEFONT(Parent);
    BaseFont->Size = ParseInteger(FTok, "SIZE", 3);
    Next();
}

void TIpHtmlParser::ParseMap(TIpHtmlNode* Parent, const TSet& EndSet) {
    auto* Map = new TIpHtmlNodeMAP(Parent);
    Map->Name = FTok.FindAttribute("NAME");
    Map->ParseBaseProps(FOwner);
    Next();
    const TSet MapEnd = EndSet + TSet{ttMAPEnd};
    while (Cur() != ttEof && !MapEnd.Has(Cur())) {
        if (Cur() != ttAREA) {
            if (FTok.FlagErrors) FTok.ReportExpected("</MAP> or <AREA>");
            Next();
            continue;
        }
        auto* Area = new TIpHtmlNodeAREA(Map);
        Area->Shape = ParseShape(FTok);
        Area->Coords = FTok.FindAttribute("COORDS");
        Area->HRef = FTok.FindAttribute("HREF");
        Area->NoHRef = ParseBoolean(FTok, "NOHREF");
        Area->Alt = FTok.FindAttribute("ALT");
        Area->TabIndex = ParseInteger(FTok, "TABINDEX", -1);
        Area->Target = FTok.FindAttribute("TARGET");
        Area->ParseBaseProps(FOwner);
        Next();
    }
    EnsureClosure(ttMAPEnd, EndSet);
}

void TIpHtmlParser::ParseForm(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Form = new TIpHtmlNodeFORM(Parent);
    Form->Action = FTok.FindAttribute("ACTION");
    Form->Method = ParseMethod(FTok);
    Form->Enctype = FTok.FindAttribute("ENCTYPE");
    if (Form->Enctype.empty()) Form->Enctype = "application/x-www-form-urlencoded";
    Form->Name = FTok.FindAttribute("NAME");
    Form->AcceptCharset = FTok.FindAttribute("ACCEPT-CHARSET");
    if (Form->AcceptCharset.empty()) Form->AcceptCharset = "UNKNOWN";
    Form->Accept = FTok.FindAttribute("ACCEPT");
    Form->ParseBaseProps(FOwner);
    ParseContent(Form, EndSet, ttFORMEnd);
}

void TIpHtmlParser::ParseIFrame(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    auto* Frame = new TIpHtmlNodeIFRAME(Parent);
    Frame->LongDesc = FTok.FindAttribute("LONGDESC");
    Frame->Name = FTok.FindAttribute("NAME");
    Frame->Src = FTok.FindAttribute("SRC");
    Frame->FrameBorder = ParseInteger(FTok, "BORDER", 1);
    Frame->MarginWidth = ParseInteger(FTok, "MARGINWIDTH", 1);
    Frame->MarginHeight = ParseInteger(FTok, "MARGINHEIGHT", 1);
    Frame->Scrolling = ParseFrameScrollingProp(FTok);
    Frame->Align = ParseAlignment(FTok);
    ParseHtmlLength(FTok, "HEIGHT", "", Frame->Height);
    ParseHtmlLength(FTok, "WIDTH", "", Frame->Width);
    Frame->ParseBaseProps(FOwner);
    ResetOnChange(Frame->Height, Frame);
    ResetOnChange(Frame->Width, Frame);
    Next();
    ParseBodyText(Frame, TSet{ttIFRAMEEnd});
    if (Cur() == ttIFRAMEEnd) Next();
}
