// A pixel allowance: bitmaps made while it is open take their pixels from it and are refused,
// before anything is allocated, beyond what it has left; the decoders that hold pixels of their
// own on the way stop or refuse there too. And a bitmap whose memory cannot be had at all.
#include <gtest/gtest.h>

#include <QBuffer>
#include <string>

#include "GdiTestSupport.h"
#include "platform/gdi/Gif.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Jpeg.h"
#include "platform/gdi/PixelAllowance.h"
#include "tests/platform/gdi/GifTestEncoder.h"
#include "tests/support/CappedMemory.h"

using namespace GdiTest;

namespace {

class PixelAllowance : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(PixelAllowance, BitmapsTakeTheirPixelsAndAreRefusedBeyondWhatIsLeft) {
    TPixelAllowance Allowance(1000);
    TBitmap Kept(10, 10, pf32bit);
    Kept.Canvas().SetPixel(3, 3, clRed);
    {
        TPixelAllowanceScope Scope(Allowance);
        TBitmap Small(10, 20, pf32bit);
        EXPECT_EQ(Allowance.Left(), 800);
        // Refused with the bitmap as it was.
        EXPECT_THROW(Kept.SetSize(30, 30), EInvalidGraphic);
        EXPECT_EQ(Kept.Width(), 10);
        EXPECT_EQ(Kept.Canvas().Pixel(3, 3), clRed);
        QImage Pixels(30, 30, QImage::Format_RGB32);
        Pixels.fill(qRgb(0, 0, 255));
        EXPECT_THROW(Kept.SetImage(Pixels), EInvalidGraphic);
        EXPECT_EQ(Kept.Canvas().Pixel(3, 3), clRed);
        EXPECT_THROW(TBitmap(1, 801, pf24bit), EInvalidGraphic);
        EXPECT_EQ(Allowance.Left(), 800);
        // An inner scope takes from its own allowance, and the outer one holds again after it.
        TPixelAllowance Inner(5);
        {
            TPixelAllowanceScope InnerScope(Inner);
            EXPECT_THROW(TBitmap(3, 2), EInvalidGraphic);
        }
        TBitmap Copy;
        Copy.Assign(Small);
        EXPECT_EQ(Allowance.Left(), 600);
    }
    // Without a scope nothing counts.
    TBitmap Free(40, 40);
    EXPECT_EQ(Allowance.Left(), 600);
    Allowance.GiveBack(100);
    EXPECT_EQ(Allowance.Left(), 700);
}

// A GIF's screen is a bitmap of its own beside its frames: the frames stop where what is left
// beside the screen ends, and a screen beyond what is left refuses the file.
TEST_F(PixelAllowance, GifFramesStopAndAScreenIsRefusedWhereTheAllowanceEnds) {
    const std::vector<uint8_t> Three =
        GifTest::Encode(10, 10,
                        {GifTest::Solid(0, 0, 4, 4, 0), GifTest::Solid(0, 0, 4, 4, 1),
                         GifTest::Solid(0, 0, 4, 4, 2)});
    TPixelAllowance Allowance(100 + 2 * 16);
    {
        TPixelAllowanceScope Scope(Allowance);
        EXPECT_EQ(DecodeGif(Three).Frames.size(), 2u);
    }
    TPixelAllowance Small(99);
    TPixelAllowanceScope Scope(Small);
    EXPECT_TRUE(DecodeGif(Three).Empty());
    // A file without a screen gets its frames' extent, which must fit beside them: 5 x 3 and
    // 3 x 2 are too many, 3 x 3 and 3 x 2 are not.
    TPixelAllowance Screenless(20);
    TPixelAllowanceScope Inner(Screenless);
    EXPECT_TRUE(DecodeGif(GifTest::Encode(0, 0, {GifTest::Solid(2, 1, 3, 2, 2)})).Empty());
    EXPECT_FALSE(DecodeGif(GifTest::Encode(0, 0, {GifTest::Solid(0, 1, 3, 2, 2)})).Empty());
}

TEST_F(PixelAllowance, AJpegBeyondWhatIsLeftIsRefusedBeforeItIsDecoded) {
    QImage Photo(40, 30, QImage::Format_RGB32);
    Photo.fill(qRgb(40, 120, 220));
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Photo.save(&Buffer, "JPEG"));
    const std::span<const uint8_t> Data(reinterpret_cast<const uint8_t*>(Bytes.data()),
                                        size_t(Bytes.size()));
    TPixelAllowance Allowance(40 * 30 - 1);
    TPixelAllowanceScope Scope(Allowance);
    EXPECT_TRUE(DecodeJpeg(Data).isNull());
    Allowance.GiveBack(1);
    EXPECT_EQ(DecodeJpeg(Data).size(), QSize(40, 30));
}

// Memory the machine does not have (an address space limit in a child process) refuses the
// bitmap as one beyond the limits, leaving it as it was; an empty image never stands in for it.
TEST_F(PixelAllowance, ABitmapWhoseMemoryCannotBeHadIsRefused) {
    if (!CappedMemory::Available())
        GTEST_SKIP() << "needs allocations that can fail (not under AddressSanitizer)";
    TBitmap Bitmap(2, 2, pf32bit);
    Bitmap.Canvas().SetPixel(1, 1, clRed);
    // 64 MB to spare: the 128 MB of a 32768 x 1024 bitmap do not fit.
    const int Code = CappedMemory::RunWithSpare(int64_t(64) << 20, [&] {
        try {
            Bitmap.SetSize(32768, 1024);
        } catch (const EInvalidGraphic&) {
            return Bitmap.Width() == 2 && Bitmap.Canvas().Pixel(1, 1) == clRed ? 0 : 2;
        }
        return 1;
    });
    ASSERT_GE(Code, 0) << "the child died of signal " << -Code;
    EXPECT_EQ(Code, 0) << "1: not refused, 2: the bitmap changed";
}

}  // namespace
