// Table layout on the recording canvas (6-pixel characters, 16-pixel lines).
#include <gtest/gtest.h>

#include "tests/htmlview/html/LayoutTestSupport.h"

namespace {

TIpHtmlNodeTABLE& TableOf(TLaidOut& Page, int N = 0) {
    std::vector<TIpHtmlNodeTABLE*> Tables;
    Page.Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Table = dynamic_cast<TIpHtmlNodeTABLE*>(Node)) Tables.push_back(Table);
    });
    return *Tables.at(size_t(N));
}

std::vector<TIpHtmlNodeTableHeaderOrCell*> CellsOf(TLaidOut& Page) {
    std::vector<TIpHtmlNodeTableHeaderOrCell*> Cells;
    Page.Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Cell = dynamic_cast<TIpHtmlNodeTableHeaderOrCell*>(Node)) Cells.push_back(Cell);
    });
    return Cells;
}

std::string ColumnWidths(TIpHtmlNodeTABLE& Table) {
    std::string Out;
    for (int32_t C = 0; C < Table.ColCount(); ++C)
        Out += (C ? " " : "") + std::to_string(Table.ColWidth(C));
    return Out;
}

TEST(HtmlTable, WidthsComeFromTheCells) {
    struct TCase {
        const char* Name;
        const char* Html;
        int32_t Width;
        const char* Columns;
        int32_t TableWidth;
    };
    const TCase Cases[] = {
        {"a spanning cell wider than its columns widens them in proportion to their minima",
         "<table cellspacing=0 cellpadding=0><tr><td>aa<td>aaaa<tr><td colspan=2>aaaaaaaaaaaa", 400,
         "24 48", 72},
        {"without WIDTH a table narrower than the room is as wide as its widest content",
         "<table cellspacing=0 cellpadding=0><tr><td>aa bb<td>cc</table>", 400, "30 12", 42},
        {"spacing and padding come around each column", "<table><tr><td>aa bb<td>cc</table>", 400,
         "30 12", 42 + 4 + 2 * 8},
        {"a narrow room takes the lines apart down to the minimum",
         "<table cellspacing=0 cellpadding=0><tr><td>aa bb<td>cc dd</table>", 30, "18 18", 36},
        {"a width in percent of the room", "<table width=50%><tr><td>aa</table>", 400, "188", 200},
        {"an absolute width", "<table width=100 cellspacing=0 cellpadding=0><tr><td>aa<td>b", 400,
         "53 47", 100},
        {"cells asking for a share of the room",
         "<table cellspacing=0 cellpadding=0><tr>"
         "<td width=25%>aa<td>bb</table>",
         400, "57 43", 100},
        {"a cell spanning columns no other cell measures gives them all of its width",
         "<table cellspacing=0 cellpadding=0><tr><td colspan=4>aaaaaaa</table>", 400, "12 10 10 10",
         42},
        {"... also at its minimum",
         "<table cellspacing=0 cellpadding=0><tr><td colspan=5>aaaaaaa</table>", 10, "10 8 8 8 8",
         42},
        {"shares of a spanning cell rounded down leave no pixel out",
         "<table cellspacing=0 cellpadding=0><tr><td>a<td>a<td>a<td>a<td>a<td>a<td>a"
         "<tr><td colspan=7>aaaaaaaaaaaa</table>",
         400, "11 11 10 10 10 10 10", 72},
        {"a cell asking for pixels",
         "<table width=200 cellspacing=0 cellpadding=0><tr>"
         "<td width=150>aa<td>bb</table>",
         400, "169 31", 200},
    };
    for (const TCase& Case : Cases) {
        TLaidOut Page(std::string("<body>") + Case.Html);
        Page.Layout(Case.Width);
        TIpHtmlNodeTABLE& Table = TableOf(Page);
        EXPECT_EQ(ColumnWidths(Table), Case.Columns) << Case.Name;
        EXPECT_EQ(Table.TableRect().Right - Table.TableRect().Left, Case.TableWidth) << Case.Name;
    }
}

// A cell spanning two rows counts towards the second row's height; the cell beside it in the
// second row is as tall as that row and its content moves to the middle.
// At its minimum width a cell holds the indent of a list or a quote plus its longest word: no
// word runs over into the next column.
TEST(HtmlTable, AnIndentedBlockInACellKeepsItsWordsInsideTheColumn) {
    for (const char* Block :
         {"<ul><li>aaaa bb</ul>", "<ol><li>aaaa bb</ol>", "<blockquote>aaaa bb</blockquote>",
          "<dl><dd>aaaa bb</dl>", "<ul><li><blockquote>aaaa bb</blockquote></ul>"}) {
        for (int32_t Room : {10, 60}) {
            SCOPED_TRACE(std::string(Block) + " in " + std::to_string(Room));
            TLaidOut Page(std::string("<body><table cellspacing=0 cellpadding=0><tr><td>") + Block +
                          "<td>cccc</table>");
            Page.Layout(Room);
            const TIpHtmlRect Word = WordRect(*Page.Doc, "aaaa");
            const TIpHtmlRect Next = WordRect(*Page.Doc, "cccc");
            EXPECT_GT(Word.Left, 0);  // indented
            EXPECT_LE(Word.Right, Next.Left);
            TIpHtmlNodeTABLE& Table = TableOf(Page);
            EXPECT_LE(Word.Right, Table.ColWidth(0));
        }
    }
}

TEST(HtmlTable, ARowSpanMakesItsLastRowTallEnough) {
    TLaidOut Page(
        "<body><table cellspacing=0 cellpadding=0><tr><td rowspan=2>a<br>b<br>c<br>d<td>x"
        "<tr><td>y</table>");
    Page.Layout(400);
    const auto Cells = CellsOf(Page);
    ASSERT_EQ(Cells.size(), 3u);
    EXPECT_EQ(Cells[0]->PadRect, (TIpHtmlRect{0, 0, 6, 64}));
    EXPECT_EQ(Cells[1]->PadRect, (TIpHtmlRect{6, 0, 12, 16}));
    EXPECT_EQ(Cells[2]->PadRect, (TIpHtmlRect{6, 16, 12, 64}));
    EXPECT_EQ(WordRect(*Page.Doc, "y"), (TIpHtmlRect{6, 32, 12, 48}));
    EXPECT_EQ(TableOf(Page).TableRect(), (TIpHtmlRect{0, 0, 12, 64}));
}

TEST(HtmlTable, HeadRowsComeFirstAndFootRowsLast) {
    TLaidOut Page(
        "<body><table cellspacing=0 cellpadding=0><thead><tr><td>head</thead>"
        "<tfoot><tr><td>foot</tfoot><tbody><tr><td>body</tbody></table>");
    Page.Layout(400);
    EXPECT_EQ(WordRects(*Page.Doc), "head@0,0,24,16 foot@0,32,24,48 body@0,16,24,32");
}

TEST(HtmlTable, VerticalAlignmentInARow) {
    TLaidOut Page(
        "<body><table cellspacing=0 cellpadding=0><tr><td>a<br>b<br>c<td valign=top>t"
        "<td>m<td valign=bottom>o</table>");
    Page.Layout(400);
    EXPECT_EQ(WordRect(*Page.Doc, "t").Top, 0);
    EXPECT_EQ(WordRect(*Page.Doc, "m").Top, 16);
    EXPECT_EQ(WordRect(*Page.Doc, "o").Top, 32);
}

// Cells align within their padding: with padding, spacing and rules, bottom-aligned content
// ends where the tallest cell's content ends, middle-aligned content sits level with its
// middle line, and nothing leaves its cell.
TEST(HtmlTable, VerticalAlignmentKeepsContentInsideThePadding) {
    TLaidOut Page(
        "<body><table border=1 cellspacing=2 cellpadding=4><tr><td>a<br>b<br>c"
        "<td valign=top>t<td valign=middle>m<td valign=bottom>o</table>");
    Page.Layout(400);
    const TIpHtmlRect A = WordRect(*Page.Doc, "a"), B = WordRect(*Page.Doc, "b"),
                      C = WordRect(*Page.Doc, "c");
    EXPECT_EQ(WordRect(*Page.Doc, "t").Top, A.Top);
    EXPECT_EQ(WordRect(*Page.Doc, "m").Top, B.Top);
    EXPECT_EQ(WordRect(*Page.Doc, "o").Bottom, C.Bottom);
    EXPECT_LE(WordRect(*Page.Doc, "o").Bottom + 4, TableOf(Page).TableRect().Bottom);
}

TEST(HtmlTable, CaptionsGoAboveOrBelow) {
    TLaidOut Page(
        "<body><table cellspacing=0 cellpadding=0><caption>top</caption><tr><td>cell</table>"
        "<table cellspacing=0 cellpadding=0><caption align=bottom>bottom</caption><tr><td>x"
        "</table>");
    Page.Layout(400);
    EXPECT_EQ(WordRect(*Page.Doc, "top"), (TIpHtmlRect{0, 0, 18, 16}));
    EXPECT_EQ(WordRect(*Page.Doc, "cell"), (TIpHtmlRect{0, 16, 24, 32}));
    EXPECT_EQ(TableOf(Page).TableRect(), (TIpHtmlRect{0, 16, 24, 32}));
    EXPECT_EQ(WordRect(*Page.Doc, "x").Top + 16, WordRect(*Page.Doc, "bottom").Top);
}

// Moving a laid-out table (its block laid out again at the same width elsewhere) moves its
// cells and their content, and lays nothing out again.
TEST(HtmlTable, ATableMovesWithItsBlock) {
    TLaidOut Page("<body><table cellspacing=0 cellpadding=0><tr><td>aa<td>bb</table>");
    Page.Layout(400);
    const int Measured = Page.Canvas.Measures;
    Page.Doc->MarginWidth = 7;
    Page.Doc->MarginHeight = 5;
    Page.Layout(414);
    EXPECT_EQ(WordRects(*Page.Doc), "aa@7,5,19,21 bb@19,5,31,21");
    EXPECT_EQ(TableOf(Page).TableRect(), (TIpHtmlRect{7, 5, 31, 21}));
    EXPECT_EQ(Page.Canvas.Measures, Measured);
}

// Each level lays the one inside out at two widths (beside a float, then below it); tied to
// their minimum width, tables past the nesting limit do not double the work again.
TEST(HtmlTable, DeeplyNestedTablesNextToFloatsStayBounded) {
    std::string Html = "<body>";
    const int Levels = 40;
    for (int I = 0; I < Levels; ++I)
        Html += "<table cellspacing=0 cellpadding=0><tr><td><img align=left src=p40>aaaa bbbb ";
    Html += "core";
    for (int I = 0; I < Levels; ++I) Html += "</table>";
    TLaidOut Page(Html, {{"p40", {40, 40}}});
    Page.Layout(600);
    EXPECT_FALSE(IsEmptyRect(WordRect(*Page.Doc, "core")));
}

TEST(HtmlTable, ColumnsPastTheLimitAreNotLaidOut) {
    std::string Html = "<body><table><tr>";
    for (int I = 0; I < 1200; ++I) Html += "<td>" + std::to_string(I);
    TLaidOut Page(Html + "</table>");
    Page.Layout(400);
    EXPECT_EQ(TableOf(Page).ColCount(), 1000);
    EXPECT_FALSE(IsEmptyRect(WordRect(*Page.Doc, "999")));
    EXPECT_TRUE(IsEmptyRect(WordRect(*Page.Doc, "1000")));
}

}  // namespace

namespace {

// As deep as the parser nests (it flattens what lies deeper), tables and inline markup lay out
// and paint without running out of stack.
TEST(HtmlTable, NestingAsDeepAsTheParserAllows) {
    std::string Html = "<body>";
    for (int I = 0; I < 300; ++I) Html += "<table><tr><td><font size=+1><b>";
    Html += "deep";
    TLaidOut Page(Html);
    const TIpHtmlRect Doc = Page.Layout(300);
    Page.Paint({0, 0, Doc.Right, Doc.Bottom});
    EXPECT_FALSE(Page.Canvas.Drawn("text").empty());
}

}  // namespace
