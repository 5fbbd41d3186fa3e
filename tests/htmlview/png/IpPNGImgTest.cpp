// The picture class: registration with the picture framework, the bitmap it fills, what it
// refuses, copying and drawing.
#include "htmlview/png/IpPNGImg.h"

#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>

#include "tests/htmlview/png/PngTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kSuite = KESTRO_SOURCE_DIR "/tests/htmlview/png/pngsuite/";

uint32_t BitmapPixel(TBitmap& Bitmap, int X, int Y) {
    return reinterpret_cast<const uint32_t*>(Bitmap.ScanLine(Y))[X] | 0xFF000000u;
}

// The pixels the decoder gives for a file, to compare the bitmap with.
TPngPixelBuffer Reference(const std::string& Bytes) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    EXPECT_EQ(DecodeBytes(Decoder, Out, Bytes), "");
    return Out;
}

TEST(IpPNGImage, PicturesEndingInPngAreDecodedHere) {
    const std::string Dir = KESTRO_BINARY_DIR "/pictures/png/";
    std::filesystem::create_directories(Dir);
    const std::string Bytes = ReadFile(kSuite + "basn3p04-31i.png");
    const TPngPixelBuffer Expected = Reference(Bytes);
    for (const char* Name : {"lower.png", "UPPER.PNG"}) {
        WriteFile(Dir + Name, Bytes);
        TPicture Picture;
        Picture.LoadFromFile(Dir + Name);
        ASSERT_NE(Picture.Graphic(), nullptr) << Name;
        EXPECT_EQ(Picture.Graphic()->ClassName(), "TIpPNGImage") << Name;
        EXPECT_EQ(Picture.Width(), 31);
        EXPECT_EQ(Picture.Height(), 31);
    }
    EXPECT_TRUE(TPicture::SupportsExtension("png"));
    EXPECT_NE(TPicture::GraphicFilter().find("Portable Network Graphics"), std::string::npos);

    TIpPNGImage Image;
    Image.LoadFromFile(Dir + "lower.png");
    ASSERT_EQ(Image.Bitmap().PixelFormat(), pf32bit);
    for (int Y = 0; Y < 31; ++Y)
        for (int X = 0; X < 31; ++X)
            ASSERT_EQ(BitmapPixel(Image.Bitmap(), X, Y), Expected.Pixel(X, Y)) << X << "," << Y;
}

TEST(IpPNGImage, SavingAndTheClipboardAreRefused) {
    TIpPNGImage Image;
    Image.LoadFromFile(kSuite + "basn0g08.png");
    TMemoryStream Stream;
    EXPECT_EQ(ErrorOf<EIpPNGError>([&] { Image.SaveToStream(Stream); }),
              "PNG Saving is not supported");
    const std::string Path = KESTRO_BINARY_DIR "/pictures/png/never-written.png";
    std::filesystem::remove(Path);
    EXPECT_EQ(ErrorOf<EIpPNGError>([&] { Image.SaveToFile(Path); }), "PNG Saving is not supported");
    EXPECT_FALSE(std::filesystem::exists(Path));
    uint16_t Format = 0;
    uintptr_t Data = 0, Palette = 0;
    EXPECT_EQ(ErrorOf<EIpPNGError>([&] { Image.SaveToClipboardFormat(Format, Data, Palette); }),
              "PNG Saving is not supported");
    EXPECT_EQ(ErrorOf<EIpPNGError>([&] { Image.LoadFromClipboardFormat(1, 0, 0); }),
              "PNG Clipboard support is not supported.");
}

TEST(IpPNGImage, AFailedLoadKeepsTheRowsPlacedSoFar) {
    const TSampleImage Sample = PatternImage(6, 4, 8, 0);
    std::string Raw = FilteredRows(Sample, 0, {0});
    Raw[3 * 7] = 7;  // row 3's filter byte
    TStringStream Stream(kPngSignatureBytes + PngHeader(6, 4, 8, 0) +
                         PngChunk("IDAT", Deflate(Raw)) + PngChunk("IEND", ""));
    TIpPNGImage Image;
    EXPECT_EQ(ErrorOf<EIpPNGError>([&] { Image.LoadFromStream(Stream); }),
              "Unrecognized filter type 7 on row 3");
    EXPECT_EQ(Image.Log()[Image.Log().Count() - 2], "**** ERROR ****");
    ASSERT_EQ(Image.Width(), 6);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 6; ++X)
            EXPECT_EQ(BitmapPixel(Image.Bitmap(), X, Y), ExpectedPixel(Sample, X, Y));
}

TEST(IpPNGImage, AssignCopiesAPngImageOnly) {
    TIpPNGImage Source;
    Source.SetCorrectGamma(true);
    Source.SetDetailedLog(false);
    Source.SetShowWarnings(true);
    Source.LoadFromFile(kSuite + "ftbbn3p08.png");  // transparent palette image with a warning
    ASSERT_TRUE(Source.Transparent());
    Source.SetTransparentMode(tmAuto);

    TIpPNGImage Copy;
    Copy.Assign(Source);
    EXPECT_TRUE(Copy.CorrectGamma());
    EXPECT_FALSE(Copy.DetailedLog());
    EXPECT_TRUE(Copy.ShowWarnings());
    EXPECT_TRUE(Copy.Transparent());
    EXPECT_EQ(Copy.TransparentColor(), Source.TransparentColor());
    EXPECT_EQ(Copy.TransparentMode(), tmAuto);
    EXPECT_EQ(LogLines(Copy.Log()), LogLines(Source.Log()));
    ASSERT_EQ(Copy.Width(), 32);
    EXPECT_EQ(BitmapPixel(Copy.Bitmap(), 16, 16), BitmapPixel(Source.Bitmap(), 16, 16));

    TBitmap Bitmap;
    Bitmap.Assign(Source);  // the bitmap asks the PNG image to assign itself
    ASSERT_EQ(Bitmap.Width(), 32);
    EXPECT_EQ(BitmapPixel(Bitmap, 16, 16), BitmapPixel(Source.Bitmap(), 16, 16));
    EXPECT_THROW(Copy.Assign(Bitmap), EInvalidGraphicOperation);
}

TEST(IpPNGImage, DrawHandsTheTransparencyToTheBitmap) {
    TIpPNGImage Image;
    Image.LoadFromFile(kSuite + "ftbrn2c08.png");  // RGB with a transparent colour
    ASSERT_TRUE(Image.Transparent());
    TBitmap Canvas(64, 64, pf32bit);
    Canvas.Canvas().Brush().SetColor(clRed);
    Canvas.Canvas().FillRect(TRect{0, 0, 64, 64});
    Canvas.Canvas().StretchDraw(TRect{0, 0, 64, 64}, Image);
    EXPECT_TRUE(Image.Bitmap().Transparent());
    EXPECT_EQ(Image.Bitmap().TransparentMode(), tmFixed);
    EXPECT_EQ(Image.Bitmap().TransparentColor(), Image.TransparentColor());
    // The picture's white background lets the red through; the cube does not.
    EXPECT_EQ(Canvas.Canvas().Pixel(1, 1), clRed);
    EXPECT_NE(Canvas.Canvas().Pixel(32, 32), clRed);
    Canvas.Image().save(QString::fromStdString(KESTRO_BINARY_DIR "/pictures/png/drawn.png"));
}

}  // namespace
