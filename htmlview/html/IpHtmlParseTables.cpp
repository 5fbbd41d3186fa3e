// The table and frame-set parsers. Rows and cells are taken only inside a row group: a TR or a
// cell directly in a table starts an implied TBODY, a cell directly in a row group an implied TR.
#include <algorithm>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlAttributes.h"
#include "htmlview/html/IpHtmlParser.h"
#include "htmlview/html/Limits.h"

namespace {

template <class TValue>
void ResetOnChange(TValue& Value, TIpHtmlNode* Node) {
    Value.OnChange = [Node] { Node->ResetSize(); };
}

}  // namespace

void TIpHtmlParser::ParseTable(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    TIpHtmlNesting Level(FDepth);
    auto* Table = new TIpHtmlNodeTABLE(Parent);
    Table->SetAlign(ParseImageAlignment(FTok, "BOTTOM"));
    ParseHtmlLength(FTok, "WIDTH", "", Table->Width);
    Table->SetBorder(ParseInteger(FTok, "BORDER", 0));
    Table->CellSpacing = ParseInteger(FTok, "CELLSPACING", 4);
    Table->CellPadding = ParseInteger(FTok, "CELLPADDING", 2);
    Table->ParseBaseProps(FOwner);
    Table->Summary = FTok.FindAttribute("SUMMARY");
    Table->Frame = ParseFrameProp(FTok, Table->Frame);
    Table->Rules = ParseRules(FTok, Table->Rules);
    Table->BgColor = ParseColor(FTok, "BGCOLOR");
    ResetOnChange(Table->Width, Table);

    const TSet Start{ttEof, ttTABLEEnd, ttCAPTION, ttTR, ttTBODY, ttTHEAD, ttTFOOT, ttCOLGROUP};
    do Next();
    while (!Start.Has(Cur()));
    if (Cur() == ttCAPTION) ParseCaption(Table, EndSet);
    ParseColGroups(Table);
    FTok.SkipTextWhileCurrent();
    const TSet RowGroupEnd =
        (EndSet + TSet{ttTABLEEnd}) -
        TSet{ttP, ttPEnd, ttCENTEREnd, ttLEFTEnd, ttRIGHTEnd, ttBLINKEnd, ttBLOCKQUOTEEnd, ttTR};
    ParseRowGroups(Table, RowGroupEnd);
    FTok.SkipTextWhileCurrent();
    EnsureClosure(ttTABLEEnd, EndSet);
}

// A caption left open ends at /TABLE or TBODY; those stay for the table to read.
void TIpHtmlParser::ParseCaption(TIpHtmlNodeTABLE* Table, const TSet& EndSet) {
    auto* Caption = new TIpHtmlNodeCAPTION(Table);
    Caption->Align = ParseVAlignment2(FTok);
    Caption->ParseBaseProps(FOwner);
    Next();
    ParseBodyText(Caption, TSet{ttTABLEEnd, ttCAPTIONEnd, ttTBODY});
    if (EndSet.Has(Cur())) return;
    if (Cur() == ttCAPTIONEnd)
        Next();
    else if (FTok.FlagErrors)
        FTok.ReportExpectedToken(ttCAPTIONEnd);
}

void TIpHtmlParser::ParseColGroups(TIpHtmlNodeTABLE* Table) {
    while (Cur() == ttCOLGROUP) {
        auto* Group = new TIpHtmlNodeCOLGROUP(Table);
        Group->ParseBaseProps(FOwner);
        Group->Span = ParseInteger(FTok, "SPAN", 1);
        ParseHtmlMultiLength(FTok, "WIDTH", Group->Width);
        Next();
        FTok.SkipTextWhileCurrent();
        while (Cur() == ttCOL) {
            auto* Column = new TIpHtmlNodeCOL(Group);
            Column->ParseBaseProps(FOwner);
            Column->Span = ParseInteger(FTok, "SPAN", 1);
            ParseHtmlMultiLength(FTok, "WIDTH", Column->Width);
            Next();
            FTok.SkipTextWhileCurrent();
        }
        if (Cur() == ttCOLGROUPEnd) Next();
    }
}

void TIpHtmlParser::ParseRowGroupAttributes(TIpHtmlNodeTHeadFootBody* Group) {
    Group->ParseBaseProps(FOwner);
    Group->Align = ParseCellAlign(FTok, TIpHtmlAlign::haLeft);
    Group->VAlign = ParseVAlignment3(FTok);
    Next();
}

void TIpHtmlParser::ParseRowGroups(TIpHtmlNodeTABLE* Table, const TSet& EndSet) {
    TIpHtmlNesting Level(FDepth);
    const TSet Cells{ttTR, ttTH, ttTD};
    if (Cur() == ttTHEAD) {
        auto* Head = new TIpHtmlNodeTHEAD(Table);
        ParseRowGroupAttributes(Head);
        ParseRows(Head, (EndSet + TSet{ttTBODY, ttTHEADEnd, ttTFOOT}) - Cells);
        if (Cur() == ttTHEADEnd) Next();
    }
    if (Cur() == ttTFOOT) {
        auto* Foot = new TIpHtmlNodeTFOOT(Table);
        ParseRowGroupAttributes(Foot);
        ParseRows(Foot, (EndSet + TSet{ttTBODY, ttTFOOTEnd}) - Cells);
        if (Cur() == ttTFOOTEnd) Next();
    }
    while (Cur() != ttEof && !EndSet.Has(Cur())) {
        if (Cur() == ttTR) {
            ParseRows(new TIpHtmlNodeTBODY(Table), EndSet - Cells);
        } else if (Cur() == ttTBODY) {
            auto* Body = new TIpHtmlNodeTBODY(Table);
            ParseRowGroupAttributes(Body);
            ParseRows(Body, (EndSet + TSet{ttTBODYEnd}) - TSet{ttTR, ttTREnd, ttTH, ttTD});
            if (Cur() == ttTBODYEnd) Next();
        } else {
            break;
        }
    }
}

void TIpHtmlParser::ParseRows(TIpHtmlNodeMulti* Group, const TSet& EndSet) {
    TIpHtmlNesting Level(FDepth);
    while (Cur() != ttEof && !EndSet.Has(Cur())) {
        if (Cur() == ttTR) {
            auto* Row = new TIpHtmlNodeTR(Group);
            Row->ParseBaseProps(FOwner);
            Row->Align = ParseAlignment(FTok);
            Row->VAlign = ParseVAlignment(FTok);
            FTok.SkipTextTokens();
            ParseCells(Row, (EndSet + TSet{ttTR, ttTREnd}) - TSet{ttTH, ttTD});
            while (Cur() == ttTREnd) Next();
        } else if (Cur() == ttTH || Cur() == ttTD) {
            ParseCells(new TIpHtmlNodeTR(Group), (EndSet + TSet{ttTR}) - TSet{ttTH, ttTD});
        } else {
            Next();
        }
    }
}

// Spans are clamped: a span of 0 would divide by zero when widths are shared out, a huge one
// would make the table's grid grow without bound.
void TIpHtmlParser::ParseCells(TIpHtmlNodeTR* Row, const TSet& EndSet) {
    TIpHtmlNesting Level(FDepth);
    while (Cur() != ttEof && !EndSet.Has(Cur())) {
        if (Cur() != ttTH && Cur() != ttTD) {
            Next();
            continue;
        }
        const TIpHtmlToken Token = Cur();
        TIpHtmlNodeTableHeaderOrCell* Cell;
        if (Token == ttTH)
            Cell = new TIpHtmlNodeTH(Row);
        else
            Cell = new TIpHtmlNodeTD(Row);
        Cell->Nowrap = ParseBoolean(FTok, "NOWRAP");
        Cell->Rowspan = std::clamp(ParseInteger(FTok, "ROWSPAN", 1), HtmlLimits::kMinRowspan,
                                   HtmlLimits::kMaxRowspan);
        Cell->Colspan = std::clamp(ParseInteger(FTok, "COLSPAN", 1), HtmlLimits::kMinColspan,
                                   HtmlLimits::kMaxColspan);
        Cell->ParseBaseProps(FOwner);
        Cell->Align =
            ParseCellAlign(FTok, Token == ttTH ? TIpHtmlAlign::haCenter : TIpHtmlAlign::haLeft);
        Cell->VAlign = ParseVAlignment3(FTok);
        ParseHtmlLength(FTok, "WIDTH", "", Cell->Width);
        ParsePixels(FTok, "HEIGHT", Cell->Height);
        Cell->BgColor = ParseColor(FTok, "BGCOLOR");
        ResetOnChange(Cell->Width, Cell);
        ResetOnChange(Cell->Height, Cell);
        Next();
        ParseBodyText(Cell, EndSet + TSet{ttTH, ttTD, TIpHtmlToken(Token + 1)});
        if (Cur() == ttTHEnd || Cur() == ttTDEnd) FTok.SkipTextTokens();
    }
}

void TIpHtmlParser::ParseFrameSet(TIpHtmlNode* Parent, const TSet& EndSet) {
    FOwner.HasFrames = true;
    while (Cur() == ttFRAMESET) {
        if (AtNestingLimit()) continue;
        TIpHtmlNesting Level(FDepth);
        auto* FrameSet = new TIpHtmlNodeFRAMESET(Parent);
        // The outermost set is the one a frame shows; the sets inside it take their places in
        // it, wherever they come among its frames.
        if (!FOwner.CurFrameSet) FOwner.CurFrameSet = FrameSet;
        ParseHtmlMultiLengthList(FTok, "ROWS", "100%", FrameSet->Rows, &FOwner.PrintState);
        ParseHtmlMultiLengthList(FTok, "COLS", "100%", FrameSet->Cols, &FOwner.PrintState);
        FrameSet->Id = FTok.FindAttribute("ID");
        FrameSet->ClassId = FTok.FindAttribute("CLASS");
        FrameSet->Title = FTok.FindAttribute("TITLE");
        FrameSet->Style = FTok.FindAttribute("STYLE");
        Next();
        while (Cur() == ttFRAME || Cur() == ttNOFRAMES || Cur() == ttFRAMESET) {
            if (Cur() == ttFRAMESET)
                ParseFrameSet(FrameSet, EndSet + TSet{ttFRAMESETEnd});
            else if (Cur() == ttFRAME)
                ParseFrame(FrameSet);
            else
                ParseNoFrames(FrameSet);
        }
        if (Cur() == ttFRAMESETEnd) Next();
    }
}

void TIpHtmlParser::ParseFrame(TIpHtmlNode* Parent) {
    auto* Frame = new TIpHtmlNodeFRAME(Parent);
    Frame->LongDesc = FTok.FindAttribute("LONGDESC");
    Frame->Name = FTok.FindAttribute("NAME");
    Frame->Src = FTok.FindAttribute("SRC");
    Frame->SetFrameBorder(ParseInteger(FTok, "BORDER", 1));
    Frame->SetMarginWidth(ParseInteger(FTok, "MARGINWIDTH", 1));
    Frame->SetMarginHeight(ParseInteger(FTok, "MARGINHEIGHT", 1));
    Frame->NoResize = ParseBoolean(FTok, "NORESIZE");
    Frame->SetScrolling(ParseFrameScrollingProp(FTok));
    Frame->ParseBaseProps(FOwner);
    Next();
}

// No limit check here: a NOFRAMES is only met inside a frame set, whose parser checks, and its
// text has no other place to go.
void TIpHtmlParser::ParseNoFrames(TIpHtmlNode* Parent) {
    auto* NoFrames = new TIpHtmlNodeNOFRAMES(Parent);
    Next();
    ParseBodyText(NoFrames, TSet{ttFRAMESETEnd, ttNOFRAMESEnd});
    if (Cur() == ttNOFRAMESEnd) Next();
}
