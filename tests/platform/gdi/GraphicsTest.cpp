// The class library's graphics classes: colours, fonts, bitmaps with their canvas and scan lines,
// pictures and their format registry, image lists and their change links.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "GdiTestSupport.h"
#include "platform/gdi/Graphics.h"

using namespace GdiTest;

namespace {

class GraphicsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(GraphicsTest, ColoursAndTheirNames) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(0, 0, 128));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(clNone), COLORREF(0x1FFFFFFF));
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(StringToColor("clinfobk"), clInfoBk);
    EXPECT_EQ(StringToColor("$FF00FF"), 0xFF00FF);
    EXPECT_EQ(StringToColor("-2147483633"), clBtnFace);
    EXPECT_THROW(StringToColor("$xyz"), Exception);
    EXPECT_THROW(StringToColor(""), Exception);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 15);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
}

TEST_F(GraphicsTest, FontSizeAndHeightAt96Dpi) {
    TFont F;
    EXPECT_EQ(F.Size(), 8);
    EXPECT_EQ(F.Height(), -11);
    int Changes = 0;
    F.OnChange = [&](TGraphicsObject*) { ++Changes; };
    F.SetSize(12);
    EXPECT_EQ(F.Height(), -16);
    F.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(F.LogFont().lfWeight, FW_BOLD);
    EXPECT_EQ(F.Style(), (TFontStyles{fsBold, fsUnderline}));
    F.SetName("Tahoma");
    EXPECT_EQ(Changes, 3);
    const HFONT H = F.Handle();
    EXPECT_EQ(F.Handle(), H);  // kept until something changes
    TFont G;
    G.SetHandle(H);
    EXPECT_EQ(G.Name(), "Tahoma");
    EXPECT_EQ(G.Height(), -16);
}

TEST_F(GraphicsTest, CanvasAndScanLinesSeeEachOthersChanges) {
    TBitmap B(4, 3, pf24bit);
    B.Canvas().Brush().SetColor(clBlue);
    B.Canvas().FillRect(Rect(0, 0, 4, 3));
    // The canvas drew blue: B, G, R bytes of the row.
    const uint8_t* Row = B.ScanLine(1);
    EXPECT_EQ(Row[0], 255);
    EXPECT_EQ(Row[2], 0);
    // Writing through ScanLine shows in the canvas.
    B.ScanLine(2)[3] = 0;
    B.ScanLine(2)[4] = 0;
    B.ScanLine(2)[5] = 255;
    EXPECT_EQ(B.Canvas().Pixel(1, 2), clRed);
    B.Canvas().SetPixel(3, 0, clLime);
    EXPECT_EQ(B.ScanLine(0)[10], 255);
    // Growing keeps the old pixels and adds white ones.
    B.SetSize(6, 3);
    EXPECT_EQ(B.Canvas().Pixel(1, 2), clRed);
    EXPECT_EQ(B.Canvas().Pixel(5, 0), clWhite);
    EXPECT_EQ(B.TransparentColor(), clBlue);  // the bottom-left pixel
    EXPECT_THROW(B.ScanLine(3), ERangeError);
    // An empty bitmap has no canvas to draw on.
    TBitmap Empty;
    EXPECT_THROW(Empty.Canvas().FillRect(Rect(0, 0, 1, 1)), EInvalidGraphicOperation);
}

// Width and height are kept apart: setting them one after the other, in either order, sizes an
// empty bitmap, and a bitmap shrunk to one zero side keeps the other.
TEST_F(GraphicsTest, WidthAndHeightSetOneAfterTheOtherSizeTheBitmap) {
    struct TCase {
        bool WidthFirst;
        TPixelFormat Format;
    };
    for (const TCase& C : {TCase{true, pf24bit}, TCase{false, pf24bit}, TCase{true, pf1bit},
                           TCase{false, pf32bit}}) {
        SCOPED_TRACE(testing::Message() << C.WidthFirst << " " << int(C.Format));
        TBitmap B;
        B.SetPixelFormat(C.Format);
        int Changes = 0;
        B.OnChange = [&](TGraphic*) { ++Changes; };
        if (C.WidthFirst)
            B.SetWidth(5);
        else
            B.SetHeight(3);
        EXPECT_TRUE(B.Empty());
        EXPECT_EQ(C.WidthFirst ? B.Width() : B.Height(), C.WidthFirst ? 5 : 3);
        if (C.WidthFirst)
            B.SetHeight(3);
        else
            B.SetWidth(5);
        EXPECT_FALSE(B.Empty());
        EXPECT_EQ(B.Width(), 5);
        EXPECT_EQ(B.Height(), 3);
        EXPECT_EQ(B.Image().size(), QSize(5, 3));
        EXPECT_EQ(B.Canvas().Pixel(4, 2), clWhite);
        EXPECT_EQ(Changes, 2);
    }
    TBitmap B(4, 2);
    B.SetHeight(0);
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(B.Width(), 4);
    EXPECT_THROW(B.ScanLine(0), ERangeError);
    B.SetHeight(2);
    EXPECT_EQ(B.Image().size(), QSize(4, 2));
    // A copy takes the kept size too.
    TBitmap Half;
    Half.SetWidth(7);
    TBitmap Copy;
    Copy.Assign(Half);
    Copy.SetHeight(1);
    EXPECT_EQ(Copy.Image().size(), QSize(7, 1));
}

TEST_F(GraphicsTest, ColoursSetOnTheCanvasHandleStayUntilTheCanvasChanges) {
    TBitmap Target(4, 1, pf24bit);
    TCanvas& C = Target.Canvas();
    const HDC DC = C.Handle();
    SetTextColor(DC, RGB(255, 0, 0));
    SetBkColor(DC, RGB(0, 0, 255));
    TBitmap Mono(4, 1, pf1bit);
    Mono.ScanLine(0)[0] = 0xA0;  // 1, 0, 1, 0
    const HDC MonoDC = Mono.Canvas().Handle();
    BitBlt(C.Handle(), 0, 0, 4, 1, MonoDC, 0, 0, SRCCOPY);
    EXPECT_EQ(C.Pixel(0, 0), clBlue);
    EXPECT_EQ(C.Pixel(1, 0), clRed);
    // A change of the brush sets its colour again.
    C.Brush().SetColor(clLime);
    EXPECT_EQ(GetBkColor(C.Handle()), RGB(0, 255, 0));
}

TEST_F(GraphicsTest, TransparentBitmapsLeaveTheirKeyColourOut) {
    TBitmap Glyph(3, 1, pf24bit);
    Glyph.Canvas().SetPixel(0, 0, clFuchsia);
    Glyph.Canvas().SetPixel(1, 0, clGreen);
    Glyph.Canvas().SetPixel(2, 0, clFuchsia);
    Glyph.SetTransparent(true);
    Glyph.SetTransparentColor(clFuchsia);
    TBitmap Target(5, 1, pf32bit);
    Target.Canvas().Brush().SetColor(clYellow);
    Target.Canvas().FillRect(Rect(0, 0, 5, 1));
    Target.Canvas().Draw(1, 0, Glyph);
    EXPECT_EQ(Target.Canvas().Pixel(1, 0), clYellow);
    EXPECT_EQ(Target.Canvas().Pixel(2, 0), clGreen);
    EXPECT_EQ(Target.Canvas().Pixel(3, 0), clYellow);
}

// A bitmap is selected into one context at a time: drawn elsewhere after its own canvas drew on
// it, it shows its pixels all the same, and its canvas goes on drawing on it.
TEST_F(GraphicsTest, ABitmapDrawnAfterItsCanvasDrewOnItShowsItsPixels) {
    TBitmap Picture(2, 1, pf32bit);
    Picture.Canvas().SetPixel(0, 0, clRed);
    Picture.Canvas().SetPixel(1, 0, clBlue);
    TBitmap Target(4, 1, pf32bit);
    Target.Canvas().StretchDraw(Rect(0, 0, 4, 1), Picture);
    EXPECT_EQ(Target.Canvas().Pixel(1, 0), clRed);
    EXPECT_EQ(Target.Canvas().Pixel(2, 0), clBlue);
    Picture.Canvas().SetPixel(0, 0, clLime);
    EXPECT_EQ(Picture.Canvas().Pixel(0, 0), clLime);
    Target.Canvas().Draw(0, 0, Picture);
    EXPECT_EQ(Target.Canvas().Pixel(0, 0), clLime);
}

// Rows written through ScanLine after the bitmap was drawn show when it is drawn again, in
// every pixel format (only the rows written are copied to its handle).
TEST_F(GraphicsTest, RowsWrittenAfterADrawShowInTheNextDraw) {
    for (TPixelFormat Format : {pf32bit, pf24bit}) {
        TBitmap Picture(3, 3, Format);
        Picture.Canvas().Brush().SetColor(clRed);
        Picture.Canvas().FillRect(Rect(0, 0, 3, 3));
        TBitmap Target(3, 3, pf32bit);
        Target.Canvas().Draw(0, 0, Picture);
        EXPECT_EQ(Target.Canvas().Pixel(1, 1), clRed);
        uint8_t* Row = Picture.ScanLine(1);
        if (Format == pf32bit)
            reinterpret_cast<uint32_t*>(Row)[2] = 0xFF0000FFu;  // blue
        else
            Row[6] = 0xFF, Row[7] = Row[8] = 0;  // blue, green, red
        Target.Canvas().Draw(0, 0, Picture);
        EXPECT_EQ(Target.Canvas().Pixel(2, 1), clBlue) << Format;
        EXPECT_EQ(Target.Canvas().Pixel(1, 1), clRed) << Format;
        EXPECT_EQ(Target.Canvas().Pixel(2, 2), clRed) << Format;
    }
}

TEST_F(GraphicsTest, PicturesPickTheirClassByExtension) {
    QTemporaryDir Dir;
    const std::string Bmp = Dir.filePath("photo.BMP").toStdString();
    TBitmap B(2, 2);
    B.Canvas().SetPixel(0, 0, clRed);
    B.SaveToFile(Bmp);

    TPicture P;
    int Changes = 0;
    P.OnChange = [&](TPicture*) { ++Changes; };
    P.LoadFromFile(Bmp);
    ASSERT_NE(dynamic_cast<TBitmap*>(P.Graphic()), nullptr);
    EXPECT_EQ(P.Width(), 2);
    EXPECT_GE(Changes, 1);

    try {
        P.LoadFromFile(Dir.filePath("scan.xyz").toStdString());
        FAIL() << "no error";
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message(), "Unknown picture file extension (.xyz)");
    }
    EXPECT_EQ(P.Width(), 2);  // still the old picture

    // A registered class is found case-insensitively; its load error keeps the old picture.
    struct TBroken : TBitmap {
        void LoadFromStream(TStream&) override { throw EInvalidGraphic("broken"); }
        std::string ClassName() const override { return "TBroken"; }
    };
    TPicture::RegisterFileFormat("BRK", "Broken", [] { return std::make_unique<TBroken>(); });
    const std::string Broken = Dir.filePath("x.brk").toStdString();
    B.SaveToFile(Broken);
    EXPECT_THROW(P.LoadFromFile(Broken), EInvalidGraphic);
    EXPECT_NE(dynamic_cast<TBitmap*>(P.Graphic()), nullptr);
    EXPECT_EQ(P.Graphic()->ClassName(), "TBitmap");
    EXPECT_NE(TPicture::GraphicFilter().find("Broken (*.brk)|*.brk"), std::string::npos);
    EXPECT_NE(TPicture::CreateGraphic("TBroken"), nullptr);
    TPicture::UnregisterFileFormat("brk");
    EXPECT_FALSE(TPicture::SupportsExtension("brk"));

    // A missing file is a stream error, not a crash.
    EXPECT_THROW(P.LoadFromFile(Dir.filePath("missing.bmp").toStdString()), EStreamError);
    // Graphics of unrelated kinds refuse to assign.
    TIcon I;
    try {
        B.Assign(I);
        FAIL() << "no error";
    } catch (const EInvalidGraphicOperation& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TIcon to a TBitmap.");
    }
}

TEST_F(GraphicsTest, ImageListsDrawMaskedAndTellTheirLinks) {
    TCustomImageList List(2, 2);
    TChangeLink A, B;
    int ChangesA = 0, ChangesB = 0;
    A.OnChange = [&](TCustomImageList*) { ++ChangesA; };
    B.OnChange = [&](TCustomImageList*) { ++ChangesB; };
    List.RegisterChanges(&A);
    List.RegisterChanges(&B);
    // Two images in one strip; fuchsia is transparent.
    TBitmap Strip(4, 2, pf24bit);
    Strip.Canvas().Brush().SetColor(clFuchsia);
    Strip.Canvas().FillRect(Rect(0, 0, 4, 2));
    Strip.Canvas().SetPixel(0, 0, clRed);
    Strip.Canvas().SetPixel(3, 1, clBlue);
    EXPECT_EQ(List.AddMasked(Strip, clFuchsia), 0);
    EXPECT_EQ(List.Count(), 2);
    EXPECT_EQ(ChangesA, 1);
    EXPECT_EQ(ChangesB, 1);
    A.OnChange = [&](TCustomImageList* L) {
        ++ChangesA;
        L->UnRegisterChanges(&B);  // a handler may unregister the links after it
    };
    TBitmap Target(4, 2, pf24bit);
    Target.Canvas().Brush().SetColor(clGreen);
    Target.Canvas().FillRect(Rect(0, 0, 4, 2));
    List.Draw(Target.Canvas(), 0, 0, 0);
    List.Draw(Target.Canvas(), 2, 0, 1);
    EXPECT_EQ(Target.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(Target.Canvas().Pixel(1, 0), clGreen);
    EXPECT_EQ(Target.Canvas().Pixel(3, 1), clBlue);
    EXPECT_EQ(Target.Canvas().Pixel(2, 1), clGreen);
    List.Delete(0);
    EXPECT_EQ(List.Count(), 1);
    EXPECT_EQ(ChangesA, 2);
    EXPECT_EQ(ChangesB, 1);  // unregistered before the change reached it
    EXPECT_EQ(B.Sender(), nullptr);
    EXPECT_THROW(List.Delete(5), EInvalidGraphicOperation);
    // Grouped changes notify once.
    List.BeginUpdate();
    List.Clear();
    List.AddMasked(Strip, clFuchsia);
    EXPECT_EQ(ChangesA, 2);
    List.EndUpdate();
    EXPECT_EQ(ChangesA, 3);
    // A link that dies first leaves the list; a list that dies first leaves its links.
    {
        TChangeLink Short;
        List.RegisterChanges(&Short);
    }
    List.Clear();
    auto Temp = std::make_unique<TCustomImageList>(2, 2);
    Temp->RegisterChanges(&A);
    Temp.reset();
    EXPECT_EQ(A.Sender(), nullptr);
}

TEST_F(GraphicsTest, DisabledImagesAreEmbossedInShadowAndHighlight) {
    TCustomImageList List(3, 3);
    TBitmap Strip(3, 3, pf24bit);
    Strip.Canvas().Brush().SetColor(clFuchsia);
    Strip.Canvas().FillRect(Rect(0, 0, 3, 3));
    Strip.Canvas().SetPixel(1, 1, clRed);
    List.AddMasked(Strip, clFuchsia);
    TBitmap Target(5, 5, pf24bit);
    Target.Canvas().Brush().SetColor(clBtnFace);
    Target.Canvas().FillRect(Rect(0, 0, 5, 5));
    List.Draw(Target.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(Target.Canvas().Pixel(1, 1), TColor(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(Target.Canvas().Pixel(2, 2), TColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(Target.Canvas().Pixel(0, 0), TColor(GetSysColor(COLOR_BTNFACE)));
    SavePicture(Target.Image(), "imagelist-disabled");
}

}  // namespace
