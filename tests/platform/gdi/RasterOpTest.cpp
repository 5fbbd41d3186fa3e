// Raster operations checked pixel by pixel against the definition of a ternary operation: bit
// (P·4 + S·2 + D) of the operation's code is the result for that combination of bits.
#include <gtest/gtest.h>

#include <vector>

#include "GdiTestSupport.h"

using namespace GdiTest;

namespace {

uint32_t Expected(uint8_t Code, uint32_t P, uint32_t S, uint32_t D) {
    uint32_t R = 0;
    for (int Bit = 0; Bit < 24; ++Bit) {
        const int Index = int((P >> Bit) & 1) * 4 + int((S >> Bit) & 1) * 2 + int((D >> Bit) & 1);
        R |= uint32_t((Code >> Index) & 1) << Bit;
    }
    return R;
}

// Deterministic pseudo-random colours.
struct TNoise {
    uint32_t State;
    uint32_t Next() {
        State = State * 1664525u + 1013904223u;
        return State >> 8;
    }
};

void Scribble(QImage& Image, uint32_t Seed) {
    TNoise N{Seed};
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) Image.setPixel(X, Y, 0xFF000000u | N.Next());
}

class RasterOp : public ::testing::TestWithParam<bool> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override { SetGenericRasterOps(GetParam()); }
    void TearDown() override { SetGenericRasterOps(false); }
};

constexpr uint8_t kCodes[] = {0xCC, 0x66, 0x88, 0xEE, 0xBB, 0x55, 0xF0, 0x5A, 0xE2, 0x00,
                              0xFF, 0x33, 0x44, 0x11, 0xC0, 0xFB, 0xA0, 0x1B, 0xB8, 0x69};

TEST_P(RasterOp, EveryOperationMatchesItsTruthTableWithAPatternBrush) {
    TMemDC Src(16, 10);
    Scribble(Src.Image(), 7);
    TMemDC PatternBits(8, 8);
    Scribble(PatternBits.Image(), 99);
    const HBRUSH Brush = CreatePatternBrush(PatternBits.Bitmap);
    ASSERT_NE(Brush, 0u);
    for (const uint8_t Code : kCodes) {
        TMemDC Dest(16, 10);
        Scribble(Dest.Image(), 1234);
        const QImage Before = Dest.Image().copy();
        SelectObject(Dest.DC, Brush);
        SetBrushOrgEx(Dest.DC, 3, 5, nullptr);
        ASSERT_TRUE(BitBlt(Dest.DC, 2, 1, 11, 6, Src.DC, 1, 2, (DWORD(Code) << 16) | 0x20));
        for (int Y = 0; Y < 10; ++Y)
            for (int X = 0; X < 16; ++X) {
                const uint32_t D0 = Before.pixel(X, Y) & 0xFFFFFF;
                uint32_t Want = D0;
                if (X >= 2 && X < 13 && Y >= 1 && Y < 7) {
                    const uint32_t P = PatternBits.At((X - 3) & 7, (Y - 5) & 7);
                    const uint32_t S = Src.At(X - 1, Y + 1);
                    Want = Expected(Code, P, S, D0);
                }
                ASSERT_EQ(Dest.At(X, Y), Want)
                    << "rop " << std::hex << int(Code) << std::dec << " at " << X << "," << Y;
            }
        SelectObject(Dest.DC, GetStockObject(WHITE_BRUSH));
    }
    DeleteObject(Brush);
}

// A solid brush is one colour in every pattern position: every operation, clipped to two
// rectangles that cut the blit's rows, and on a monochrome bitmap, where the colour becomes the
// nearer of black and white.
TEST_P(RasterOp, EveryOperationMatchesItsTruthTableWithASolidBrushInsideTheClip) {
    TMemDC Src(16, 10);
    Scribble(Src.Image(), 7);
    const COLORREF Colour = RGB(0x12, 0x9A, 0xE4);
    const HBRUSH Brush = CreateSolidBrush(Colour);
    const HRGN Clip = CreateRectRgn(0, 0, 5, 10);
    const HRGN Right = CreateRectRgn(8, 3, 16, 5);
    CombineRgn(Clip, Clip, Right, RGN_OR);
    auto Clipped = [](int X, int Y) { return X < 5 || (X >= 8 && Y >= 3 && Y < 5); };
    for (const uint8_t Code : kCodes) {
        TMemDC Dest(16, 10);
        Scribble(Dest.Image(), 1234);
        const QImage Before = Dest.Image().copy();
        SelectObject(Dest.DC, Brush);
        SelectClipRgn(Dest.DC, Clip);
        ASSERT_TRUE(BitBlt(Dest.DC, 2, 1, 11, 6, Src.DC, 1, 2, (DWORD(Code) << 16) | 0x20));
        for (int Y = 0; Y < 10; ++Y)
            for (int X = 0; X < 16; ++X) {
                const uint32_t D0 = Before.pixel(X, Y) & 0xFFFFFF;
                const bool Inside = X >= 2 && X < 13 && Y >= 1 && Y < 7 && Clipped(X, Y);
                const uint32_t Want =
                    Inside ? Expected(Code, Rgb(Colour), Src.At(X - 1, Y + 1), D0) : D0;
                ASSERT_EQ(Dest.At(X, Y), Want)
                    << "rop " << std::hex << int(Code) << std::dec << " at " << X << "," << Y;
            }
        SelectObject(Dest.DC, GetStockObject(WHITE_BRUSH));
    }
    TMemDC Mono(16, 4, true, RGB(0, 0, 0));
    SelectObject(Mono.DC, Brush);
    RECT All{0, 0, 16, 4};
    FillRect(Mono.DC, &All, Brush);
    EXPECT_EQ(Mono.At(15, 3), 0xFFFFFFu);
    ASSERT_TRUE(PatBlt(Mono.DC, 3, 1, 5, 2, PATINVERT));
    EXPECT_EQ(Mono.At(3, 1), 0x000000u);
    EXPECT_EQ(Mono.At(8, 1), 0xFFFFFFu);
    SelectObject(Mono.DC, GetStockObject(WHITE_BRUSH));
    DeleteObject(Right);
    DeleteObject(Clip);
    DeleteObject(Brush);
}

TEST_P(RasterOp, DSPDxaxPaintsTheBrushWhereAMonochromeMaskIsZero) {
    // The disabled-glyph idiom: text colour white and background black make 0 bits of the mask
    // select the brush and 1 bits keep the destination.
    TMemDC Mask(12, 12, true);
    for (int Y = 0; Y < 12; ++Y)
        for (int X = 0; X < 12; ++X)
            Mask.Image().setPixel(X, Y, (X * 3 + Y) % 5 < 2 ? 0xFF000000u : 0xFFFFFFFFu);
    TMemDC Checker(8, 8);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            Checker.Image().setPixel(X, Y, (X + Y) % 2 ? 0xFFC0C0C0u : 0xFFFFFFFFu);
    const HBRUSH Dither = CreatePatternBrush(Checker.Bitmap);
    TMemDC Dest(20, 20, false, RGB(10, 20, 30));
    SetTextColor(Dest.DC, RGB(255, 255, 255));
    SetBkColor(Dest.DC, RGB(0, 0, 0));
    SelectObject(Dest.DC, Dither);
    ASSERT_TRUE(BitBlt(Dest.DC, 4, 5, 12, 12, Mask.DC, 0, 0, DSPDxax));
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X) {
            uint32_t Want = Rgb(RGB(10, 20, 30));
            const bool Inside = X >= 4 && X < 16 && Y >= 5 && Y < 17;
            if (Inside && (Mask.At(X - 4, Y - 5) == 0)) Want = (X + Y) % 2 ? 0xC0C0C0u : 0xFFFFFFu;
            ASSERT_EQ(Dest.At(X, Y), Want) << X << "," << Y;
        }
    SelectObject(Dest.DC, GetStockObject(WHITE_BRUSH));
    DeleteObject(Dither);
}

INSTANTIATE_TEST_SUITE_P(SpecialisedAndGeneric, RasterOp, ::testing::Values(false, true),
                         [](const auto& Info) { return Info.param ? "Generic" : "Specialised"; });

class Blit : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(Blit, MonochromeAndColourConvertByTheContextsColours) {
    // Monochrome to colour: 1 bits take the destination's background colour, 0 bits its text
    // colour.
    TMemDC Mono(8, 4, true, RGB(0, 0, 0));
    for (int X = 0; X < 8; ++X) Mono.Image().setPixel(X, 1, X % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    TMemDC Colour(8, 4);
    SetTextColor(Colour.DC, RGB(200, 0, 0));
    SetBkColor(Colour.DC, RGB(0, 0, 200));
    ASSERT_TRUE(BitBlt(Colour.DC, 0, 0, 8, 4, Mono.DC, 0, 0, SRCCOPY));
    EXPECT_EQ(Colour.At(0, 0), Rgb(RGB(200, 0, 0)));
    EXPECT_EQ(Colour.At(1, 1), Rgb(RGB(0, 0, 200)));
    EXPECT_EQ(Colour.At(2, 1), Rgb(RGB(200, 0, 0)));

    // Colour to monochrome: pixels equal to the source's background colour become white.
    TMemDC Picture(4, 1);
    const COLORREF Key = RGB(255, 0, 255);
    Picture.Image().setPixel(1, 0, 0xFFFF00FFu);
    Picture.Image().setPixel(3, 0, 0xFFFF00FFu);
    SetBkColor(Picture.DC, Key);
    TMemDC Mask(4, 1, true);
    ASSERT_TRUE(BitBlt(Mask.DC, 0, 0, 4, 1, Picture.DC, 0, 0, SRCCOPY));
    EXPECT_EQ(Mask.At(0, 0), 0x000000u);
    EXPECT_EQ(Mask.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(Mask.At(2, 0), 0x000000u);
    EXPECT_EQ(Mask.At(3, 0), 0xFFFFFFu);
}

TEST_F(Blit, MonochromePatternBrushUsesTextAndBackgroundColours) {
    TMemDC Bits(8, 8, true, RGB(0, 0, 0));
    Bits.Image().setPixel(0, 0, 0xFFFFFFFFu);
    const HBRUSH Brush = CreatePatternBrush(Bits.Bitmap);
    TMemDC Dest(8, 8);
    SetTextColor(Dest.DC, RGB(1, 2, 3));
    SetBkColor(Dest.DC, RGB(4, 5, 6));
    SelectObject(Dest.DC, Brush);
    ASSERT_TRUE(PatBlt(Dest.DC, 0, 0, 8, 8, PATCOPY));
    EXPECT_EQ(Dest.At(0, 0), Rgb(RGB(4, 5, 6)));
    EXPECT_EQ(Dest.At(1, 0), Rgb(RGB(1, 2, 3)));
    // A source operation is refused by PatBlt.
    EXPECT_FALSE(PatBlt(Dest.DC, 0, 0, 8, 8, SRCCOPY));
    SelectObject(Dest.DC, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}

TEST_F(Blit, OverlappingCopyWithinOneBitmapScrolls) {
    TMemDC DC(10, 3);
    Scribble(DC.Image(), 5);
    const QImage Before = DC.Image().copy();
    ASSERT_TRUE(BitBlt(DC.DC, 3, 0, 7, 3, DC.DC, 0, 0, SRCCOPY));
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 3; X < 10; ++X) ASSERT_EQ(DC.At(X, Y), Before.pixel(X - 3, Y) & 0xFFFFFFu);
}

TEST_F(Blit, ClipAndOriginsDecideWhereItLands) {
    TMemDC Src(6, 6, false, RGB(0, 255, 0));
    TMemDC Dest(20, 20);
    SetViewportOrgEx(Dest.DC, 5, 5, nullptr);
    ASSERT_EQ(IntersectClipRect(Dest.DC, 0, 0, 3, 3), SIMPLEREGION);
    ASSERT_TRUE(BitBlt(Dest.DC, 0, 0, 6, 6, Src.DC, 0, 0, SRCCOPY));
    EXPECT_EQ(Dest.At(5, 5), 0x00FF00u);
    EXPECT_EQ(Dest.At(7, 7), 0x00FF00u);
    EXPECT_EQ(Dest.At(8, 8), 0xFFFFFFu);  // clipped
    EXPECT_EQ(Dest.At(4, 4), 0xFFFFFFu);
}

TEST_F(Blit, StretchBltSamplesAndMirrors) {
    TMemDC Src(2, 2);
    Src.Image().setPixel(0, 0, 0xFFFF0000u);
    Src.Image().setPixel(1, 0, 0xFF00FF00u);
    Src.Image().setPixel(0, 1, 0xFF0000FFu);
    Src.Image().setPixel(1, 1, 0xFF000000u);
    TMemDC Dest(4, 4);
    ASSERT_TRUE(StretchBlt(Dest.DC, 0, 0, 4, 4, Src.DC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Dest.At(1, 1), 0xFF0000u);
    EXPECT_EQ(Dest.At(2, 1), 0x00FF00u);
    EXPECT_EQ(Dest.At(3, 3), 0x000000u);
    ASSERT_TRUE(StretchBlt(Dest.DC, 4, 0, -4, 4, Src.DC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Dest.At(0, 0), 0x00FF00u);
    EXPECT_EQ(Dest.At(3, 0), 0xFF0000u);
}

// A keyed copy is the stretched copy without the source pixels of the key colour, also where
// a clip cuts it and a picture stretched to millions of pixels lands only partly inside.
TEST_F(Blit, TransparentBltLeavesTheKeyColourOutOfTheStretchedCopy) {
    TMemDC Src(4, 3);
    Scribble(Src.Image(), 31);
    const QRgb Key = 0xFF00FF00u;
    for (const QPoint& P : {QPoint(0, 0), QPoint(2, 1), QPoint(3, 2), QPoint(1, 2)})
        Src.Image().setPixel(P, Key);
    TMemDC Dest(20, 12);
    Scribble(Dest.Image(), 77);
    const QImage Before = Dest.Image().copy();
    ASSERT_EQ(IntersectClipRect(Dest.DC, 3, 2, 17, 11), SIMPLEREGION);
    ASSERT_TRUE(TransparentBlt(Dest.DC, 1, 1, 18, 10, Src.DC, 0, 0, 4, 3, RGB(0, 255, 0)));
    for (int Y = 0; Y < 12; ++Y)
        for (int X = 0; X < 20; ++X) {
            uint32_t Want = Before.pixel(X, Y) & 0xFFFFFF;
            if (X >= 3 && X < 17 && Y >= 2 && Y < 11) {
                const uint32_t S = Src.At((X - 1) * 4 / 18, (Y - 1) * 3 / 10);
                if (S != (Key & 0xFFFFFF)) Want = S;
            }
            ASSERT_EQ(Dest.At(X, Y), Want) << X << "," << Y;
        }
    TMemDC Far(10, 10);
    const int Half = 500000;
    ASSERT_TRUE(TransparentBlt(Far.DC, 5 - Half, 5 - Half, 2 * Half, 2 * Half, Src.DC, 0, 0, 4, 3,
                               RGB(0, 255, 0)));
    EXPECT_EQ(Far.At(5, 5), Src.At(2, 1) == (Key & 0xFFFFFF) ? 0xFFFFFFu : Src.At(2, 1));
    EXPECT_EQ(Far.At(4, 4), Src.At(1, 1));
}

// A picture stretched to millions of pixels each way (an <img> whose size attributes are far
// beyond its bitmap) is sampled only where it lands inside the destination and its clip.
TEST_F(Blit, StretchBltFarBeyondTheDestinationSamplesOnlyWhatShows) {
    TMemDC Src(2, 2);
    Src.Image().setPixel(0, 0, 0xFFFF0000u);
    Src.Image().setPixel(1, 0, 0xFF00FF00u);
    Src.Image().setPixel(0, 1, 0xFF0000FFu);
    Src.Image().setPixel(1, 1, 0xFF000000u);
    TMemDC Dest(10, 10);
    ASSERT_TRUE(StretchBlt(Dest.DC, 0, 0, 1000000, 1000000, Src.DC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Dest.At(0, 0), 0xFF0000u);
    EXPECT_EQ(Dest.At(9, 9), 0xFF0000u);
    // The middle of the stretched picture at the destination's (4,4)-(5,5) corner: each
    // quadrant keeps its own source pixel, mirrored or not.
    const int Half = 500000;
    ASSERT_TRUE(
        StretchBlt(Dest.DC, 5 - Half, 5 - Half, 2 * Half, 2 * Half, Src.DC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Dest.At(4, 4), 0xFF0000u);
    EXPECT_EQ(Dest.At(5, 4), 0x00FF00u);
    EXPECT_EQ(Dest.At(4, 5), 0x0000FFu);
    EXPECT_EQ(Dest.At(5, 5), 0x000000u);
    ASSERT_TRUE(
        StretchBlt(Dest.DC, 5 + Half, 5 - Half, -2 * Half, 2 * Half, Src.DC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Dest.At(4, 4), 0x00FF00u);
    EXPECT_EQ(Dest.At(5, 4), 0xFF0000u);
    EXPECT_EQ(Dest.At(5, 5), 0x0000FFu);
    // Through a clip away from the picture's corner, and with the source's edge outside the
    // source bitmap (pixels there keep the destination).
    TMemDC Clipped(20, 20);
    ASSERT_EQ(IntersectClipRect(Clipped.DC, 12, 12, 16, 16), SIMPLEREGION);
    ASSERT_TRUE(StretchBlt(Clipped.DC, 0, 0, 28, 28, Src.DC, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(Clipped.At(12, 12), 0x000000u);
    EXPECT_EQ(Clipped.At(13, 13), 0x000000u);
    EXPECT_EQ(Clipped.At(14, 14), 0xFFFFFFu);  // beyond the 2x2 source
    EXPECT_EQ(Clipped.At(11, 11), 0xFFFFFFu);  // clipped
    EXPECT_EQ(Clipped.At(16, 16), 0xFFFFFFu);
}

TEST_F(Blit, MaskBltChoosesTheOperationByTheMask) {
    TMemDC Src(4, 1, false, RGB(9, 9, 9));
    TMemDC MaskDC(4, 1, true, RGB(0, 0, 0));
    MaskDC.Image().setPixel(2, 0, 0xFFFFFFFFu);
    TMemDC Dest(4, 1, false, RGB(50, 60, 70));
    ASSERT_TRUE(MaskBlt(Dest.DC, 0, 0, 4, 1, Src.DC, 0, 0, MaskDC.Bitmap, 0, 0,
                        MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(Dest.At(2, 0), Rgb(RGB(9, 9, 9)));
    EXPECT_EQ(Dest.At(1, 0), Rgb(RGB(50, 60, 70)));
}

TEST_F(Blit, SurfaceContextsDrawAtTheirOriginInsideTheirVisibleRegion) {
    auto Surface = std::make_shared<TSurface>();
    Surface->Image = QImage(40, 30, QImage::Format_RGB32);
    Surface->Image.fill(0xFFFFFFFFu);
    // A child at (10, 5) whose right part is covered by a sibling.
    const HDC DC = CreateSurfaceDC(Surface, POINT{10, 5},
                                   QRegion(0, 0, 20, 20).subtracted(QRegion(15, 0, 5, 20)));
    const HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    RECT All{-5, -5, 100, 100};
    FillRect(DC, &All, Red);
    EXPECT_EQ(Surface->Image.pixel(10, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Surface->Image.pixel(24, 24) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Surface->Image.pixel(9, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Surface->Image.pixel(25, 5) & 0xFFFFFF, 0xFFFFFFu);  // the sibling's part
    EXPECT_EQ(Surface->Image.pixel(10, 25) & 0xFFFFFF, 0xFFFFFFu);
    // Narrowing the visible region (an update region) keeps the application's clip working.
    ASSERT_TRUE(IntersectSurfaceClip(DC, QRegion(0, 0, 5, 5)));
    RECT Box;
    EXPECT_EQ(GetClipBox(DC, &Box), SIMPLEREGION);
    EXPECT_EQ(Box.right, 5);
    EXPECT_EQ(Box.bottom, 5);
    DeleteObject(Red);
    DeleteDC(DC);
}

TEST_F(Blit, GlyphsDrawTransparentlyAndEmbossedThroughMasks) {
    // A 16 x 16 glyph: a red disc with a dark outline on a fuchsia (transparent) background;
    // the bottom-left pixel tells the transparent colour.
    const int S = 16;
    TMemDC Glyph(S, S, false, RGB(255, 0, 255));
    SelectObject(Glyph.DC, GetStockObject(BLACK_PEN));
    const HBRUSH Red = CreateSolidBrush(RGB(220, 0, 0));
    SelectObject(Glyph.DC, Red);
    Ellipse(Glyph.DC, 2, 2, 14, 14);
    const QImage Original = Glyph.Image().copy();
    const COLORREF Key = GetPixel(Glyph.DC, 0, S - 1);

    TMemDC Scene(60, 24, false, GetSysColor(COLOR_BTNFACE));
    const QImage Background = Scene.Image().copy();
    // The mask: 1 where the glyph is transparent.
    TMemDC Mask(S, S, true);
    SetBkColor(Glyph.DC, Key);
    BitBlt(Mask.DC, 0, 0, S, S, Glyph.DC, 0, 0, SRCCOPY);
    // Enabled: mask by MERGEPAINT (glyph area white), transparent pixels of the picture made
    // white by SRCPAINT with the mask, then the picture by SRCAND.
    BitBlt(Scene.DC, 4, 4, S, S, Mask.DC, 0, 0, MERGEPAINT);
    SetTextColor(Glyph.DC, RGB(0, 0, 0));
    SetBkColor(Glyph.DC, RGB(255, 255, 255));
    BitBlt(Glyph.DC, 0, 0, S, S, Mask.DC, 0, 0, SRCPAINT);
    BitBlt(Scene.DC, 4, 4, S, S, Glyph.DC, 0, 0, SRCAND);
    for (int Y = 0; Y < S; ++Y)
        for (int X = 0; X < S; ++X) {
            const uint32_t G = Original.pixel(X, Y) & 0xFFFFFF;
            const uint32_t Want = G == Rgb(Key) ? Background.pixel(4 + X, 4 + Y) & 0xFFFFFF : G;
            ASSERT_EQ(Scene.At(4 + X, 4 + Y), Want) << X << "," << Y;
        }
    // Disabled: the glyph's shape in the highlight colour one pixel down and right, then in the
    // shadow colour, by DSPDxax with text white and background black.
    SetTextColor(Scene.DC, RGB(255, 255, 255));
    SetBkColor(Scene.DC, RGB(0, 0, 0));
    SelectObject(Scene.DC, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    BitBlt(Scene.DC, 31, 5, S, S, Mask.DC, 0, 0, DSPDxax);
    SelectObject(Scene.DC, GetSysColorBrush(COLOR_BTNSHADOW));
    BitBlt(Scene.DC, 30, 4, S, S, Mask.DC, 0, 0, DSPDxax);
    SelectObject(Scene.DC, GetStockObject(WHITE_BRUSH));
    for (int Y = 0; Y < S; ++Y)
        for (int X = 0; X < S; ++X) {
            const bool Shape = (Original.pixel(X, Y) & 0xFFFFFF) != Rgb(Key);
            if (Shape) {
                ASSERT_EQ(Scene.At(30 + X, 4 + Y), Rgb(GetSysColor(COLOR_BTNSHADOW)));
            }
        }
    // Where the shape ends toward the bottom-right, its highlight copy shows.
    auto IsShape = [&](int X, int Y) {
        return X >= 0 && Y >= 0 && X < S && Y < S && (Original.pixel(X, Y) & 0xFFFFFF) != Rgb(Key);
    };
    int Highlights = 0;
    for (int Y = 0; Y < S; ++Y)
        for (int X = 0; X < S; ++X)
            if (IsShape(X, Y) && !IsShape(X + 1, Y + 1)) {
                EXPECT_EQ(Scene.At(31 + X, 5 + Y), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
                ++Highlights;
            }
    EXPECT_GT(Highlights, 5);
    SavePicture(Scene.Image(), "glyph-enabled-disabled");
    SelectObject(Glyph.DC, GetStockObject(WHITE_BRUSH));
    DeleteObject(Red);
}

}  // namespace
