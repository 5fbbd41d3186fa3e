// DrawText and the text metrics against what QFontMetrics says of the substituted font.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "GdiTestSupport.h"
#include "platform/classes/CodePages.h"

using namespace GdiTest;

namespace {

class DrawTextTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override {
        Font =
            CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
        Old = SelectObject(Canvas.DC, Font);
        QFont F("DejaVu Sans");
        F.setPixelSize(11);
        F.setKerning(false);
        FM.emplace(F);
    }
    void TearDown() override {
        SelectObject(Canvas.DC, Old);
        DeleteObject(Font);
    }
    int Width(const char* Text) { return FM->horizontalAdvance(QString::fromLatin1(Text)); }
    TMemDC Canvas{200, 80};
    HFONT Font = 0;
    HGDIOBJ Old = 0;
    std::optional<QFontMetrics> FM;
};

TEST_F(DrawTextTest, CalcRectMeasuresLinesLikeTheFontMetrics) {
    struct TCase {
        const char* Text;
        UINT Format;
        int Width;  // 0: compare with the metrics of Expect
        const char* Expect;
        int Lines;
    };
    const TCase Cases[] = {
        {"Hello world", DT_SINGLELINE, 0, "Hello world", 1},
        {"&File", DT_SINGLELINE, 0, "File", 1},
        {"Fish && Chips", DT_SINGLELINE, 0, "Fish & Chips", 1},
        {"&File", DT_SINGLELINE | DT_NOPREFIX, 0, "&File", 1},
        {"one\r\ntwo longer\nx", 0, 0, "two longer", 3},
        {"one\r\ntwo", DT_SINGLELINE, 0, "one two", 1},
        {"", DT_SINGLELINE, 0, "", 1},
    };
    for (const TCase& C : Cases) {
        RECT R{10, 5, 10 + 500, 5};
        const int H = DrawText(Canvas.DC, std::string(C.Text), &R, C.Format | DT_CALCRECT);
        EXPECT_EQ(R.right - R.left, Width(C.Expect)) << C.Text;
        EXPECT_EQ(R.bottom - R.top, C.Lines * FM->height()) << C.Text;
        EXPECT_EQ(H, C.Lines * FM->height()) << C.Text;
        EXPECT_EQ(R.left, 10);
        EXPECT_EQ(R.top, 5);
    }
}

TEST_F(DrawTextTest, WordBreakFillsLinesGreedily) {
    const std::string Text = "alpha beta gamma";
    // Room for "alpha beta" but not "alpha beta gamma".
    const int Max = Width("alpha beta") + 2;
    ASSERT_LT(Max, Width("alpha beta gamma"));
    RECT R{0, 0, Max, 0};
    DrawText(Canvas.DC, Text, &R, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(R.bottom, 2 * FM->height());
    EXPECT_EQ(R.right, Width("alpha beta"));
    // A word longer than the line stands alone and sticks out.
    RECT Narrow{0, 0, 5, 0};
    DrawText(Canvas.DC, std::string("unbreakable word"), &Narrow, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(Narrow.bottom, 2 * FM->height());
    EXPECT_EQ(Narrow.right, Width("unbreakable"));
}

TEST_F(DrawTextTest, EllipsisStylesShortenToFit) {
    struct TCase {
        std::string Text;
        UINT Style;
        std::string Fits;  // the longest of these candidates that fits
    };
    const std::string Path = "C:\\Programs\\Kestro\\spool\\outgoing.msg";
    const int Max = Width("C:\\Prog...\\outgoing.msg");
    RECT R{0, 0, Max, 20};
    std::string Text = Path;
    DrawText(Canvas.DC, Text, &R, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(Text, "C:\\Prog...\\outgoing.msg");

    const int EndMax = Width("Long subjec...");
    RECT E{0, 0, EndMax, 20};
    std::string Subject = "Long subject line";
    DrawText(Canvas.DC, Subject, &E, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(Subject, "Long subjec...");

    const int WordMax = Width("Long subject...");
    RECT W{0, 0, WordMax + 1, 20};
    std::string Words = "Long subject line here";
    DrawText(Canvas.DC, Words, &W, DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(Words, "Long subject...");

    // Text that fits is left alone.
    RECT Wide{0, 0, 500, 20};
    std::string Short = "short";
    DrawText(Canvas.DC, Short, &Wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(Short, "short");
}

TEST_F(DrawTextTest, PrefixUnderlinesTheMarkedCharacter) {
    SetBkMode(Canvas.DC, TRANSPARENT);
    SetTextColor(Canvas.DC, RGB(0, 0, 0));
    RECT R{10, 10, 190, 40};
    DrawText(Canvas.DC, std::string("Ab&cd"), &R, DT_SINGLELINE);
    const int UnderY = 10 + FM->ascent() + FM->underlinePos();
    const int CX = 10 + Width("Ab");
    const int CW = Width("c");
    // The underline covers the whole advance of 'c' and nothing left of it on that row.
    for (int X = CX; X < CX + CW; ++X) EXPECT_EQ(Canvas.At(X, UnderY), 0u) << X;
    EXPECT_EQ(Canvas.At(CX - 1, UnderY), 0xFFFFFFu);
    EXPECT_EQ(Canvas.At(CX + CW, UnderY), 0xFFFFFFu);
    SavePicture(Canvas.Image(), "drawtext-prefix");

    // DT_HIDEPREFIX draws the text without the underline.
    TMemDC Hidden(200, 80);
    SelectObject(Hidden.DC, Font);
    SetBkMode(Hidden.DC, TRANSPARENT);
    DrawText(Hidden.DC, std::string("Ab&cd"), &R, DT_SINGLELINE | DT_HIDEPREFIX);
    for (int X = CX; X < CX + CW; ++X)
        if (Hidden.At(X, UnderY) != 0xFFFFFFu) {
            // Glyph pixels may reach the row; the whole row cannot be covered.
            bool AllDark = true;
            for (int K = CX; K < CX + CW; ++K) AllDark &= Hidden.At(K, UnderY) != 0xFFFFFFu;
            EXPECT_FALSE(AllDark);
            break;
        }
    SelectObject(Hidden.DC, GetStockObject(SYSTEM_FONT));
}

TEST_F(DrawTextTest, AlignmentPlacesTheLine) {
    SetBkMode(Canvas.DC, OPAQUE);
    SetBkColor(Canvas.DC, RGB(0, 255, 0));  // the opaque background shows where the line is
    const int W = Width("Mid");
    RECT R{0, 0, 200, 80};
    const int H =
        DrawText(Canvas.DC, std::string("Mid"), &R, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const int Left = (200 - W) / 2, Top = (80 - FM->height()) / 2;
    EXPECT_EQ(H, Top + FM->height());
    EXPECT_EQ(Canvas.At(Left, Top), 0x00FF00u);
    EXPECT_EQ(Canvas.At(Left - 1, Top), 0xFFFFFFu);
    EXPECT_EQ(Canvas.At(Left, Top - 1), 0xFFFFFFu);
    EXPECT_EQ(Canvas.At(Left + W - 1, Top + FM->height() - 1), 0x00FF00u);
    EXPECT_EQ(Canvas.At(Left + W, Top + FM->height() - 1), 0xFFFFFFu);

    TMemDC Right(200, 80);
    SelectObject(Right.DC, Font);
    SetBkColor(Right.DC, RGB(0, 255, 0));
    DrawText(Right.DC, std::string("Mid"), &R, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    EXPECT_EQ(Right.At(199, 79), 0x00FF00u);
    EXPECT_EQ(Right.At(200 - W - 1, 79), 0xFFFFFFu);
    SelectObject(Right.DC, GetStockObject(SYSTEM_FONT));
}

TEST_F(DrawTextTest, TabsExpandToEightAverageCharacters) {
    const int Tab = 8 * FM->averageCharWidth();
    RECT R{0, 0, 500, 0};
    DrawText(Canvas.DC, std::string("a\tb"), &R, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(R.right, Tab + Width("b"));
}

TEST_F(DrawTextTest, MetricsComeFromTheSubstitutedFont) {
    TEXTMETRIC M;
    ASSERT_TRUE(GetTextMetrics(Canvas.DC, &M));
    EXPECT_EQ(M.tmHeight, FM->height());
    EXPECT_EQ(M.tmAscent, FM->ascent());
    EXPECT_EQ(M.tmDescent, FM->descent());
    EXPECT_EQ(M.tmAveCharWidth, FM->averageCharWidth());
    EXPECT_EQ(M.tmPitchAndFamily & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);  // variable pitch
    SIZE S;
    ASSERT_TRUE(GetTextExtentPoint32(Canvas.DC, "Kestro", &S));
    EXPECT_EQ(S.cx, Width("Kestro"));
    EXPECT_EQ(S.cy, FM->height());
    // Windows-1252 bytes reach the screen as their Unicode characters.
    ASSERT_TRUE(GetTextExtentPoint32(Canvas.DC, "\x80\xe4", &S));
    EXPECT_EQ(S.cx, FM->horizontalAdvance(QString::fromUtf8("€ä")));
}

TEST_F(DrawTextTest, LogicalHeightsBecomePixelsAt96Dpi) {
    // Positive heights are cell heights: the font shrinks until its cell fits.
    const HFONT Cell = CreateFont(16, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
    SelectObject(Canvas.DC, Cell);
    TEXTMETRIC M;
    GetTextMetrics(Canvas.DC, &M);
    EXPECT_LE(M.tmHeight, 16);
    EXPECT_GE(M.tmHeight, 13);
    EXPECT_EQ(M.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // fixed pitch
    char Face[32];
    GetTextFace(Canvas.DC, 32, Face);
    EXPECT_STREQ(Face, "Courier New");
    SelectObject(Canvas.DC, Font);
    DeleteObject(Cell);
}

TEST_F(DrawTextTest, ExtTextOutFillsAndClipsItsRectangle) {
    SetBkColor(Canvas.DC, RGB(255, 255, 0));
    SetTextColor(Canvas.DC, RGB(0, 0, 0));
    RECT R{20, 20, 60, 30};
    ASSERT_TRUE(ExtTextOut(Canvas.DC, 22, 20, ETO_OPAQUE | ETO_CLIPPED, &R,
                           std::string("a long line that does not fit"), nullptr));
    EXPECT_EQ(Canvas.At(20, 20), 0xFFFF00u);
    EXPECT_EQ(Canvas.At(59, 29), 0xFFFF00u);
    // Nothing beyond the rectangle, though the text is longer.
    for (int X = 60; X < 200; ++X)
        for (int Y = 18; Y < 36; ++Y) ASSERT_EQ(Canvas.At(X, Y), 0xFFFFFFu) << X << "," << Y;
    // Right-aligned text ends at its reference point and moves the current position.
    SetTextAlign(Canvas.DC, TA_RIGHT | TA_TOP);
    SetBkMode(Canvas.DC, OPAQUE);
    SetBkColor(Canvas.DC, RGB(0, 0, 255));
    TextOut(Canvas.DC, 150, 50, "abc");
    EXPECT_EQ(Canvas.At(149, 50), 0x0000FFu);
    EXPECT_EQ(Canvas.At(150, 50), 0xFFFFFFu);
    EXPECT_EQ(Canvas.At(150 - Width("abc"), 50), 0x0000FFu);
    EXPECT_EQ(Canvas.At(149 - Width("abc"), 50), 0xFFFFFFu);
    SetTextAlign(Canvas.DC, TA_LEFT | TA_TOP);
}

TEST_F(DrawTextTest, TerminalAndSymbolFontsMapTheirOwnCodePages) {
    const HFONT Terminal =
        CreateFont(-12, 0, 0, 0, 0, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, "Terminal");
    SelectObject(Canvas.DC, Terminal);
    QFont Mono("DejaVu Sans Mono");
    Mono.setPixelSize(12);
    Mono.setKerning(false);
    const QFontMetrics MM(Mono);
    SIZE S;
    GetTextExtentPoint32(Canvas.DC, "\xC4\xC4\xB3", &S);
    EXPECT_EQ(S.cx, MM.horizontalAdvance(QString::fromUtf8("──│")));
    const HFONT Symbol = CreateFont(-11, 0, 0, 0, 0, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Symbol");
    SelectObject(Canvas.DC, Symbol);
    GetTextExtentPoint32(Canvas.DC, "\xB7", &S);
    EXPECT_EQ(S.cx, FM->horizontalAdvance(QChar(0x2022)));
    SelectObject(Canvas.DC, Font);
    DeleteObject(Terminal);
    DeleteObject(Symbol);
    // The tables themselves, both ways.
    EXPECT_EQ(Cp1252ToUnicode("\x80\x9F\xFF"), QString::fromUtf8("€Ÿÿ"));
    EXPECT_EQ(UnicodeToCp1252(QString::fromUtf8("€Ÿÿ\u0081")), "\x80\x9F\xFF\x81");
    EXPECT_EQ(UnicodeToCp1252(QString::fromUtf8("Ω")), "?");
    EXPECT_EQ(Cp437ToUnicode("\xDA\xFE"), QString::fromUtf8("┌■"));
}

TEST_F(DrawTextTest, RotatedTextPicture) {
    // Escapement -900 turns text to run downward (vertical toolbars).
    TMemDC DC(120, 120);
    const HFONT Down = CreateFont(-11, 0, -900, -900, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    SelectObject(DC.DC, Down);
    SetBkMode(DC.DC, TRANSPARENT);
    TextOut(DC.DC, 60, 10, "Downward");
    SelectObject(DC.DC, Font);
    TextOut(DC.DC, 5, 100, "Across");
    SavePicture(DC.Image(), "text-rotated");
    // Ink below the reference point within a narrow column, none to its right on row 10.
    int Below = 0;
    for (int Y = 15; Y < 70; ++Y)
        for (int X = 45; X < 62; ++X) Below += DC.At(X, Y) != 0xFFFFFFu;
    EXPECT_GT(Below, 20);
    for (int X = 70; X < 120; ++X) EXPECT_EQ(DC.At(X, 12), 0xFFFFFFu);
    SelectObject(DC.DC, GetStockObject(SYSTEM_FONT));
    DeleteObject(Down);
}

}  // namespace
