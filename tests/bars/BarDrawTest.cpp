// The drawing primitives of the bars where their pixels are exact: the glyph's transparent colour,
// its inverted, disabled and raised looks, greyed bitmaps, arrows and the flat colours.
#include <gtest/gtest.h>

#include <QImage>

#include "bars/dxBar.h"
#include "bars/look/dxBarSystem.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 160, 0);

// A memory context on a 32-bit bitmap, filled with a colour.
class TCanvasDC {
  public:
    TCanvasDC(int Width, int Height, COLORREF Fill) : FDC(CreateCompatibleDC(0)) {
        FBitmap = CreateBitmap(Width, Height, 1, 32, nullptr);
        FOld = SelectObject(FDC, FBitmap);
        const HBRUSH Brush = CreateSolidBrush(Fill);
        const RECT All{0, 0, Width, Height};
        FillRect(FDC, &All, Brush);
        DeleteObject(Brush);
    }
    ~TCanvasDC() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    HDC DC() const { return FDC; }
    COLORREF At(int X, int Y) const { return GetPixel(FDC, X, Y); }

  private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
};

// A 6 x 6 glyph: a blue square in the middle, a green pixel, the rest red (the bottom-left
// pixel, so the transparent colour).
TBitmap* MakeGlyph() {
    QImage Image(6, 6, QImage::Format_RGB32);
    Image.fill(qRgb(255, 0, 0));
    for (int Y = 1; Y < 5; ++Y)
        for (int X = 1; X < 5; ++X) Image.setPixel(X, Y, qRgb(0, 0, 255));
    Image.setPixel(2, 2, qRgb(0, 160, 0));
    auto* Glyph = new TBitmap;
    Glyph->SetImage(Image);
    return Glyph;
}

COLORREF Inverted(COLORREF C) {
    return RGB(255 - GetRValue(C), 255 - GetGValue(C), 255 - GetBValue(C));
}

// The system colours the framework paints with go back to the system's after each test.
class BarDraw : public ::testing::Test {
  protected:
    void TearDown() override { dxBarRefreshSysColors(); }
};

TEST_F(BarDraw, TheBottomLeftPixelIsTransparent) {
    std::unique_ptr<TBitmap> Glyph(MakeGlyph());
    TCanvasDC Canvas(10, 10, RGB(1, 2, 3));
    const HBRUSH Bk = CreateSolidBrush(RGB(200, 200, 200));
    TdxBarGlyphSource Source;
    Source.Glyph = Glyph.get();
    DrawGlyph(Canvas.DC(), Bk, TRect{1, 1, 9, 9}, TRect{2, 2, 8, 8}, Source, TdxBarGlyphLook{});
    DeleteObject(Bk);
    EXPECT_EQ(Canvas.At(0, 0), RGB(1, 2, 3));        // outside Rect: untouched
    EXPECT_EQ(Canvas.At(1, 1), RGB(200, 200, 200));  // the background brush
    EXPECT_EQ(Canvas.At(2, 2), RGB(200, 200, 200));  // a transparent (red) pixel of the glyph
    EXPECT_EQ(Canvas.At(3, 3), kBlue);
    EXPECT_EQ(Canvas.At(4, 4), kGreen);
}

TEST_F(BarDraw, OnABlackFaceTheGlyphIsInvertedUnlessGreyOrRaised) {
    std::unique_ptr<TBitmap> Glyph(MakeGlyph());
    dxBarSetSysColor(COLOR_BTNFACE, RGB(0, 0, 0));
    const HBRUSH Black = CreateSolidBrush(RGB(0, 0, 0));
    TdxBarGlyphSource Source;
    Source.Glyph = Glyph.get();
    TCanvasDC Plain(8, 8, 0);
    DrawGlyph(Plain.DC(), Black, TRect{0, 0, 8, 8}, TRect{1, 1, 7, 7}, Source, TdxBarGlyphLook{});
    EXPECT_EQ(Plain.At(2, 2), Inverted(kBlue));
    EXPECT_EQ(Plain.At(3, 3), Inverted(kGreen));
    EXPECT_EQ(Plain.At(1, 1), RGB(0, 0, 0));  // the transparent pixels show the face
    TdxBarGlyphLook Raised;
    Raised.Flat = Raised.Selected = true;
    TCanvasDC Flat(8, 8, 0);
    DrawGlyph(Flat.DC(), Black, TRect{0, 0, 8, 8}, TRect{1, 1, 7, 7}, Source, Raised);
    EXPECT_EQ(Flat.At(1, 1), kBlue);  // raised: one pixel up and left, colours as they are
    TdxBarGlyphLook Grey;
    Grey.GrayScale = true;
    TCanvasDC Greyed(8, 8, 0);
    DrawGlyph(Greyed.DC(), Black, TRect{0, 0, 8, 8}, TRect{1, 1, 7, 7}, Source, Grey);
    EXPECT_EQ(Greyed.At(2, 2), RGB(85, 85, 85));  // (0 + 0 + 255) / 3
    DeleteObject(Black);
}

TEST_F(BarDraw, TheRaisedFlatGlyphCastsAShadow) {
    std::unique_ptr<TBitmap> Glyph(MakeGlyph());
    const COLORREF Face = RGB(230, 230, 230);
    const HBRUSH Bk = CreateSolidBrush(Face);
    TdxBarGlyphSource Source;
    Source.Glyph = Glyph.get();
    TdxBarGlyphLook Raised;
    Raised.Flat = Raised.Selected = true;
    TCanvasDC Canvas(10, 10, 0);
    DrawGlyph(Canvas.DC(), Bk, TRect{0, 0, 10, 10}, TRect{2, 2, 8, 8}, Source, Raised);
    DeleteObject(Bk);
    // The glyph moves up and left by one; its shadow lies two further down and right.
    EXPECT_EQ(Canvas.At(2, 2), kBlue);
    EXPECT_EQ(Canvas.At(6, 6), dxBarSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Canvas.At(1, 1), Face);
}

TEST_F(BarDraw, DisabledGlyphsAreSilhouettes) {
    std::unique_ptr<TBitmap> Glyph(MakeGlyph());
    const COLORREF Face = dxBarSysColor(COLOR_BTNFACE);
    const HBRUSH Bk = CreateSolidBrush(Face);
    TdxBarGlyphSource Source;
    Source.Glyph = Glyph.get();
    TdxBarGlyphLook Disabled;
    Disabled.Enabled = false;
    TCanvasDC Embossed(10, 10, 0);
    DrawGlyph(Embossed.DC(), Bk, TRect{0, 0, 10, 10}, TRect{2, 2, 8, 8}, Source, Disabled);
    // The silhouette in the shadow colour, a highlight copy one pixel down and right.
    EXPECT_EQ(Embossed.At(3, 3), dxBarSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Embossed.At(7, 7), dxBarSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Embossed.At(2, 2), Face);
    Disabled.Flat = true;
    TCanvasDC Flat(10, 10, 0);
    DrawGlyph(Flat.DC(), Bk, TRect{0, 0, 10, 10}, TRect{2, 2, 8, 8}, Source, Disabled);
    EXPECT_EQ(Flat.At(3, 3), dxBarSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Flat.At(7, 7), Face);  // no highlight copy in the flat style
    DeleteObject(Bk);
}

TEST_F(BarDraw, GrayBitmapLeavesTheTransparentColour) {
    std::unique_ptr<TBitmap> Glyph(MakeGlyph());
    GrayBitmap(*Glyph, kRed);
    const QImage Image = Glyph->Image();
    EXPECT_EQ(Image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Image.pixel(1, 1) & 0xFFFFFF, 0x555555u);
    EXPECT_EQ(Image.pixel(2, 2) & 0xFFFFFF, 0x353535u);  // 160 / 3
}

TEST_F(BarDraw, ArrowsAndFlatColours) {
    const std::tuple<TRect, bool, int> kArrows[] = {{TRect{0, 0, 20, 20}, true, 5},
                                                    {TRect{0, 0, 9, 9}, true, 3},
                                                    {TRect{0, 0, 5, 5}, false, 3},
                                                    {TRect{0, 0, 11, 17}, false, 6}};
    for (const auto& [R, Down, Size] : kArrows) EXPECT_EQ(RectArrowSize(R, Down), Size);
    TCanvasDC Canvas(20, 20, RGB(255, 255, 255));
    DrawArrow(Canvas.DC(), TRect{0, 0, 20, 20}, true, true, false, false, 4);
    // Down, size 4: X = (20 - 7) / 2 = 6, Y = (20 - 4) / 2 = 8; the tip at (9, 11).
    EXPECT_EQ(Canvas.At(6, 8), dxBarSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(Canvas.At(9, 11), dxBarSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(Canvas.At(9, 12), RGB(255, 255, 255));

    dxBarSetSysColor(COLOR_BTNFACE, RGB(40, 50, 10));
    EXPECT_EQ(GetLightColor(COLOR_BTNFACE, -79, -62, -18), RGB(0, 0, 0));
    dxBarSetSysColor(COLOR_BTNFACE, RGB(200, 250, 0));
    EXPECT_EQ(GetLightColor(COLOR_BTNFACE, 172, 10, -1), RGB(255, 255, 0));
}

TEST_F(BarDraw, GradientBandsAndTheDitherBrush) {
    TCanvasDC Canvas(4, 256, 0);
    FillGradient(Canvas.DC(), TRect{0, 0, 4, 256}, RGB(0, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Canvas.At(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Canvas.At(1, 255), RGB(255, 0, 0));
    EXPECT_EQ(Canvas.At(1, 128), RGB(128, 0, 0));
    TCanvasDC Checker(8, 8, 0);
    const RECT All{0, 0, 8, 8};
    FillRect(Checker.DC(), &All, DitherBrush());
    EXPECT_EQ(Checker.At(0, 0), dxBarSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Checker.At(1, 0), dxBarSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Checker.At(1, 1), dxBarSysColor(COLOR_BTNFACE));
}

}  // namespace
