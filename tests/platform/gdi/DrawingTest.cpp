// Lines, shapes, edges, focus rectangles, frame controls and the object table.
#include <gtest/gtest.h>

#include "GdiTestSupport.h"
#include "platform/gdi/Graphics.h"

using namespace GdiTest;

namespace {

class DrawingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(DrawingTest, LinesLeaveOutTheirLastPointAndXorTwiceRestores) {
    TMemDC DC(10, 10);
    const HPEN Red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(DC.DC, Red);
    MoveToEx(DC.DC, 1, 1, nullptr);
    LineTo(DC.DC, 6, 1);
    EXPECT_EQ(DC.At(1, 1), 0xFF0000u);
    EXPECT_EQ(DC.At(5, 1), 0xFF0000u);
    EXPECT_EQ(DC.At(6, 1), 0xFFFFFFu);
    POINT Pos;
    GetCurrentPositionEx(DC.DC, &Pos);
    EXPECT_EQ(Pos.x, 6);
    // A closed polyline with an XOR pen touches every pixel once: twice restores the picture.
    const QImage Before = DC.Image().copy();
    SetROP2(DC.DC, R2_XORPEN);
    const POINT Box[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}};
    Polyline(DC.DC, Box, 5);
    EXPECT_EQ(DC.At(2, 2), 0x00FFFFu);
    EXPECT_EQ(DC.At(8, 8), 0x00FFFFu);
    Polyline(DC.DC, Box, 5);
    EXPECT_EQ(DC.Image(), Before);
    // R2_NOT inverts regardless of the pen colour.
    SetROP2(DC.DC, R2_NOT);
    MoveToEx(DC.DC, 0, 9, nullptr);
    LineTo(DC.DC, 3, 9);
    EXPECT_EQ(DC.At(0, 9), 0x000000u);
    SelectObject(DC.DC, GetStockObject(BLACK_PEN));
    DeleteObject(Red);
}

TEST_F(DrawingTest, DottedPensAndRectangles) {
    TMemDC DC(30, 12);
    const HPEN Dot = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    SelectObject(DC.DC, Dot);
    SetBkMode(DC.DC, TRANSPARENT);
    MoveToEx(DC.DC, 0, 0, nullptr);
    LineTo(DC.DC, 12, 0);
    const uint32_t Want[] = {0, 0, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0xFFFFFF};
    for (int X = 0; X < 10; ++X) EXPECT_EQ(DC.At(X, 0), Want[X]) << X;
    SelectObject(DC.DC, GetStockObject(BLACK_PEN));
    DeleteObject(Dot);

    // Rectangle: right and bottom exclusive; the brush fills inside the pen.
    const HBRUSH Green = CreateSolidBrush(RGB(0, 255, 0));
    SelectObject(DC.DC, Green);
    Rectangle(DC.DC, 2, 2, 8, 7);
    EXPECT_EQ(DC.At(2, 2), 0u);
    EXPECT_EQ(DC.At(7, 6), 0u);
    EXPECT_EQ(DC.At(8, 6), 0xFFFFFFu);
    EXPECT_EQ(DC.At(3, 3), 0x00FF00u);
    EXPECT_EQ(DC.At(6, 5), 0x00FF00u);
    // Without a pen the rectangle loses its right column and bottom row.
    SelectObject(DC.DC, GetStockObject(NULL_PEN));
    Rectangle(DC.DC, 10, 2, 14, 6);
    EXPECT_EQ(DC.At(12, 4), 0x00FF00u);
    EXPECT_EQ(DC.At(13, 4), 0xFFFFFFu);
    SelectObject(DC.DC, GetStockObject(WHITE_BRUSH));
    SelectObject(DC.DC, GetStockObject(BLACK_PEN));
    DeleteObject(Green);
}

TEST_F(DrawingTest, EdgesUseTheClassicColours) {
    const uint32_t Light = Rgb(GetSysColor(COLOR_3DLIGHT)),
                   Dark = Rgb(GetSysColor(COLOR_3DDKSHADOW)),
                   High = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)),
                   Shadow = Rgb(GetSysColor(COLOR_BTNSHADOW)),
                   Face = Rgb(GetSysColor(COLOR_BTNFACE));
    struct TCase {
        UINT Edge, Flags;
        uint32_t OuterTL, OuterBR, InnerTL, InnerBR, Middle;
    };
    const TCase Cases[] = {
        {EDGE_RAISED, BF_RECT | BF_MIDDLE, Light, Dark, High, Shadow, Face},
        {EDGE_SUNKEN, BF_RECT, Shadow, High, Dark, Light, 0xFFFFFF},
        {EDGE_ETCHED, BF_RECT, Shadow, High, High, Shadow, 0xFFFFFF},
        {BDR_RAISEDINNER, BF_RECT, High, Shadow, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
        {EDGE_RAISED, BF_RECT | BF_FLAT, Shadow, Shadow, Face, Face, 0xFFFFFF},
        {EDGE_RAISED, BF_RECT | BF_MONO, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
    };
    for (const TCase& C : Cases) {
        TMemDC DC(10, 10);
        RECT R{0, 0, 10, 10};
        ASSERT_TRUE(DrawEdge(DC.DC, &R, C.Edge, C.Flags | BF_ADJUST));
        EXPECT_EQ(DC.At(0, 5), C.OuterTL) << C.Edge;
        EXPECT_EQ(DC.At(5, 0), C.OuterTL) << C.Edge;
        EXPECT_EQ(DC.At(9, 5), C.OuterBR) << C.Edge;
        EXPECT_EQ(DC.At(0, 9), C.OuterBR) << C.Edge;  // bottom-right owns the shared corners
        EXPECT_EQ(DC.At(1, 5), C.InnerTL) << C.Edge;
        EXPECT_EQ(DC.At(8, 5), C.InnerBR) << C.Edge;
        EXPECT_EQ(DC.At(5, 5), C.Middle) << C.Edge;
        const int Rings = (C.Edge & BDR_OUTER ? 1 : 0) + (C.Edge & BDR_INNER ? 1 : 0);
        EXPECT_EQ(R.left, Rings);
        EXPECT_EQ(R.bottom, 10 - Rings);
    }
    // Only the sides asked for.
    TMemDC DC(6, 6);
    RECT R{0, 0, 6, 6};
    DrawEdge(DC.DC, &R, BDR_SUNKENOUTER, BF_BOTTOM);
    EXPECT_EQ(DC.At(3, 5), High);
    EXPECT_EQ(DC.At(0, 3), 0xFFFFFFu);
}

TEST_F(DrawingTest, FocusRectanglesInvertEveryOtherPixelAndUndoThemselves) {
    TMemDC DC(12, 8, false, RGB(192, 192, 192));
    const QImage Before = DC.Image().copy();
    RECT R{1, 1, 11, 7};
    DrawFocusRect(DC.DC, &R);
    EXPECT_EQ(DC.At(1, 1), 0x3F3F3Fu);
    EXPECT_EQ(DC.At(2, 1), 0xC0C0C0u);
    EXPECT_EQ(DC.At(3, 1), 0x3F3F3Fu);
    EXPECT_EQ(DC.At(5, 4), 0xC0C0C0u);  // inside untouched
    DrawFocusRect(DC.DC, &R);
    EXPECT_EQ(DC.Image(), Before);
    // The caret helper inverts a rectangle and restores it the same way.
    RECT Caret{4, 2, 6, 6};
    DrawCaretRect(DC.DC, Caret);
    EXPECT_EQ(DC.At(4, 2), 0x3F3F3Fu);
    DrawCaretRect(DC.DC, Caret);
    EXPECT_EQ(DC.Image(), Before);
}

TEST_F(DrawingTest, FrameControlsAndAPictureOfThem) {
    TMemDC DC(220, 60, false, GetSysColor(COLOR_BTNFACE));
    struct TControl {
        UINT Type, State;
    };
    const TControl Controls[] = {
        {DFC_BUTTON, DFCS_BUTTONPUSH},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
        {DFC_BUTTON, DFCS_BUTTONCHECK},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE},
        {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | DFCS_CHECKED},
        {DFC_CAPTION, DFCS_CAPTIONCLOSE},
        {DFC_CAPTION, DFCS_CAPTIONMIN},
        {DFC_CAPTION, DFCS_CAPTIONMAX},
        {DFC_CAPTION, DFCS_CAPTIONRESTORE | DFCS_PUSHED},
        {DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE},
        {DFC_SCROLL, DFCS_SCROLLUP},
        {DFC_SCROLL, DFCS_SCROLLDOWN},
        {DFC_SCROLL, DFCS_SCROLLLEFT},
        {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE},
        {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
        {DFC_MENU, DFCS_MENUCHECK},
        {DFC_MENU, DFCS_MENUBULLET},
        {DFC_MENU, DFCS_MENUARROW},
    };
    int I = 0;
    for (const TControl& C : Controls) {
        RECT R{4 + (I % 10) * 21, 4 + (I / 10) * 26, 4 + (I % 10) * 21 + 18,
               4 + (I / 10) * 26 + 16};
        EXPECT_TRUE(DrawFrameControl(DC.DC, &R, C.Type, C.State)) << I;
        ++I;
    }
    SavePicture(DC.Image(), "frame-controls");
    // A raised push button: highlight inside the top-left, dark shadow at the bottom-right.
    EXPECT_EQ(DC.At(5, 5), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(DC.At(4 + 17, 4 + 15), Rgb(GetSysColor(COLOR_3DDKSHADOW)));
    // The checked box holds dark check pixels; the unchecked one none.
    auto DarkIn = [&](int Left) {
        int N = 0;
        for (int Y = 8; Y < 16; ++Y)
            for (int X = Left + 3; X < Left + 11; ++X) N += DC.At(X, Y) == 0;
        return N;
    };
    EXPECT_EQ(DarkIn(4 + 2 * 21), 0);
    EXPECT_GT(DarkIn(4 + 3 * 21), 10);
    RECT Bad{0, 0, 10, 10};
    EXPECT_FALSE(DrawFrameControl(DC.DC, &Bad, 42, 0));
}

TEST_F(DrawingTest, HandlesAreNeverReusedAndSelectedObjectsOutliveDeletion) {
    const size_t Before = GdiObjectCount();
    TMemDC DC(4, 4);
    const HBRUSH A = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(DC.DC, A);
    EXPECT_TRUE(DeleteObject(A));
    EXPECT_EQ(GetObjectType(A), 0u);
    // The context still paints with the brush it holds.
    PatBlt(DC.DC, 0, 0, 4, 4, PATCOPY);
    EXPECT_EQ(DC.At(0, 0), Rgb(RGB(1, 2, 3)));
    const HBRUSH B = CreateSolidBrush(RGB(9, 9, 9));
    EXPECT_NE(A, B);
    EXPECT_EQ(SelectObject(DC.DC, A), 0u);  // a dead handle selects nothing
    // Stock objects survive DeleteObject.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
    // A bitmap can be selected into one context at a time.
    TMemDC Other(2, 2);
    EXPECT_EQ(SelectObject(Other.DC, DC.Bitmap), 0u);
    // Selecting the old bitmap back frees the bitmap for another context.
    const HDC Mem = CreateCompatibleDC(0);
    const HBITMAP Bits = CreateBitmap(2, 2, 1, 32, nullptr);
    const HGDIOBJ Old = SelectObject(Mem, Bits);
    EXPECT_EQ(GetObjectType(Old), OBJ_BITMAP);
    EXPECT_EQ(SelectObject(Mem, Old), Bits);
    EXPECT_NE(SelectObject(Other.DC, Bits), 0u);
    SelectObject(Other.DC, Other.Bitmap);
    DeleteDC(Mem);
    DeleteObject(Bits);
    LOGBRUSH L;
    EXPECT_EQ(GetObject(B, sizeof L, &L), int(sizeof L));
    EXPECT_EQ(L.lbColor, RGB(9, 9, 9));
    BITMAP Info;
    EXPECT_EQ(GetObject(DC.Bitmap, sizeof Info, &Info), int(sizeof Info));
    EXPECT_EQ(Info.bmWidth, 4);
    EXPECT_EQ(Info.bmBitsPixel, 32);
    DeleteObject(B);
    SelectObject(DC.DC, GetStockObject(WHITE_BRUSH));
    (void)Before;
}

TEST_F(DrawingTest, TheGraphicsClassesReleaseEveryHandleTheyMake) {
    // Warm the stock objects and system brushes up first: they live for the program.
    GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    GetSysColorBrush(COLOR_BTNSHADOW);
    {
        TBitmap Warm(1, 1);
        Warm.Canvas().FillRect(Rect(0, 0, 1, 1));
    }
    const size_t Before = GdiObjectCount();
    {
        TBitmap B(20, 20, pf24bit);
        TCanvas& C = B.Canvas();
        for (int I = 0; I < 5; ++I) {
            C.Font().SetSize(8 + I);
            C.Pen().SetColor(TColor(I));
            C.Brush().SetColor(TColor(0x10101 * I));
            C.Rectangle(0, 0, 10, 10);
            C.TextOut(1, 1, "x");
            B.SetSize(20 + I, 20);  // a new handle each time
        }
        TBitmap Copy;
        Copy.Assign(B);
        Copy.Canvas().Draw(0, 0, B);
        B.SetTransparent(true);
        Copy.Canvas().Draw(0, 0, B);
        TCustomImageList List(4, 4);
        TBitmap Strip(8, 4);
        List.AddMasked(Strip, clWhite);
        List.Draw(C, 0, 0, 0, false);
        List.Draw(C, 0, 0, 1, true);
        TIcon Icon;
        ICONINFO Info;
        Info.hbmColor = CreateBitmap(2, 2, 1, 32, nullptr);
        Info.hbmMask = CreateBitmap(2, 2, 1, 1, nullptr);
        Icon.SetHandle(CreateIconIndirect(&Info));
        DeleteObject(Info.hbmColor);
        DeleteObject(Info.hbmMask);
        Icon.Draw(C, Rect(0, 0, 2, 2));
    }
    EXPECT_EQ(GdiObjectCount(), Before);
}

TEST_F(DrawingTest, DibSectionsShareTheirPixelsAndDIBitsConvert) {
    BITMAPINFO Info{};
    Info.bmiHeader.biWidth = 3;
    Info.bmiHeader.biHeight = -2;
    Info.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    const HBITMAP Dib = CreateDIBSection(0, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    ASSERT_NE(Dib, 0u);
    ASSERT_NE(Bits, nullptr);
    const HDC DC = CreateCompatibleDC(0);
    SelectObject(DC, Dib);
    SetPixel(DC, 1, 0, RGB(10, 20, 30));
    const auto* P = static_cast<const uint8_t*>(Bits);
    EXPECT_EQ(P[4], 30);  // blue, green, red
    EXPECT_EQ(P[6], 10);
    // Read back bottom-up as 24-bit rows padded to 4 bytes.
    BITMAPINFO Read{};
    Read.bmiHeader.biWidth = 3;
    Read.bmiHeader.biHeight = 2;
    Read.bmiHeader.biBitCount = 24;
    uint8_t Rows[2 * 12] = {};
    EXPECT_EQ(GetDIBits(DC, Dib, 0, 2, Rows, &Read, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Rows[12 + 3], 30);  // the second stored row is the top one
    // 1-bit DIB data sets a monochrome bitmap through its colour table.
    const HBITMAP Mono = CreateBitmap(8, 1, 1, 1, nullptr);
    BITMAPINFO MonoInfo{};
    MonoInfo.bmiHeader.biWidth = 8;
    MonoInfo.bmiHeader.biHeight = 1;
    MonoInfo.bmiHeader.biBitCount = 1;
    MonoInfo.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
    const uint8_t MonoRow[4] = {0xA0, 0, 0, 0};
    EXPECT_EQ(SetDIBits(0, Mono, 0, 1, MonoRow, &MonoInfo, DIB_RGB_COLORS), 1);
    EXPECT_EQ(BitmapImage(Mono)->pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(BitmapImage(Mono)->pixel(1, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(BitmapImage(Mono)->pixel(2, 0) & 0xFFFFFF, 0xFFFFFFu);
    // Sizes out of range are refused.
    EXPECT_EQ(CreateBitmap(0, 5, 1, 32, nullptr), 0u);
    EXPECT_EQ(CreateBitmap(100000, 100000, 1, 32, nullptr), 0u);
    DeleteDC(DC);
    DeleteObject(Dib);
    DeleteObject(Mono);
}

}  // namespace
