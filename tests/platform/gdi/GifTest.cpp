// GIF pictures: each frame's pixels, place, delay, disposal and transparency as the file gives
// them, interlaced rows, and what damaged or oversized files give.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include "platform/gdi/Gif.h"
#include "platform/gdi/Limits.h"
#include "tests/platform/gdi/GifTestEncoder.h"

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255),
               kWhite = qRgb(255, 255, 255);

std::vector<QRgb> Pixels(const QImage& Image) {
    std::vector<QRgb> Out;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) Out.push_back(Image.pixel(X, Y) | 0xFF000000u);
    return Out;
}

TEST(Gif, AStillPictureGivesItsPixels) {
    GifTest::TFrame Frame{0, 0, 3, 2, {0, 1, 2, 3, 2, 1}};
    const TGifPicture Picture = DecodeGif(GifTest::Encode(3, 2, {Frame}));
    ASSERT_EQ(Picture.Frames.size(), 1u);
    EXPECT_EQ(Picture.Width, 3);
    EXPECT_EQ(Picture.Height, 2);
    EXPECT_EQ(Pixels(Picture.Frames[0].Image),
              (std::vector<QRgb>{kRed, kGreen, kBlue, kWhite, kBlue, kGreen}));
    // Interlaced rows come in four passes: 0, 4 / 2, 6 / 1, 3, 5, 7.
    GifTest::TFrame Tall{0, 0, 1, 8, {0, 1, 2, 3, 0, 1, 2, 3}};
    Tall.Interlaced = true;
    const TGifPicture Interlaced = DecodeGif(GifTest::Encode(1, 8, {Tall}));
    ASSERT_EQ(Interlaced.Frames.size(), 1u);
    EXPECT_EQ(Pixels(Interlaced.Frames[0].Image),
              (std::vector<QRgb>{kRed, kGreen, kBlue, kWhite, kRed, kGreen, kBlue, kWhite}));
}

TEST(Gif, FramesKeepTheirPlaceDelayDisposalAndTransparency) {
    GifTest::TFrame First = GifTest::Solid(0, 0, 4, 4, 0);
    First.Delay = 7;
    First.Disposal = 1;
    GifTest::TFrame Second{1, 2, 2, 1, {3, 1}, 25, 2, 3};
    GifTest::TFrame Third = GifTest::Solid(3, 3, 1, 1, 2);
    Third.Disposal = 3;
    const TGifPicture Picture = DecodeGif(GifTest::Encode(4, 4, {First, Second, Third}));
    ASSERT_EQ(Picture.Frames.size(), 3u);
    const TGifFrame& F = Picture.Frames[1];
    EXPECT_EQ((std::vector<int>{F.Left, F.Top, F.Image.width(), F.Image.height(), F.Delay}),
              (std::vector<int>{1, 2, 2, 1, 25}));
    EXPECT_EQ(F.Disposal, 2);
    EXPECT_TRUE(F.Transparent);
    EXPECT_EQ(F.TransparentColor, kWhite);
    EXPECT_EQ(Pixels(F.Image), (std::vector<QRgb>{kWhite, kGreen}));
    EXPECT_EQ(Picture.Frames[0].Delay, 7);
    EXPECT_EQ(Picture.Frames[0].Disposal, 1);
    EXPECT_FALSE(Picture.Frames[0].Transparent);
    EXPECT_EQ(Picture.Frames[2].Disposal, 3);
}

// What a graphic control block says holds for the one frame that follows it: a frame without
// one has no delay, no disposal and no transparent colour, whatever the frame before it had.
TEST(Gif, AFrameWithoutAControlBlockTakesNothingFromTheFrameBefore) {
    GifTest::TFrame First{0, 0, 2, 1, {3, 1}, 25, 2, 3};
    GifTest::TFrame Second{0, 0, 2, 1, {3, 1}};
    Second.Control = false;
    const TGifPicture Picture = DecodeGif(GifTest::Encode(2, 1, {First, Second}));
    ASSERT_EQ(Picture.Frames.size(), 2u);
    EXPECT_TRUE(Picture.Frames[0].Transparent);
    const TGifFrame& F = Picture.Frames[1];
    EXPECT_EQ(F.Delay, 0);
    EXPECT_EQ(F.Disposal, 0);
    EXPECT_FALSE(F.Transparent);
    EXPECT_EQ(Pixels(F.Image), (std::vector<QRgb>{kWhite, kGreen}));
}

// Frames of one colour, written by libgif's encoder (codes of up to 12 bits: millions of pixels
// in kilobytes).
std::vector<uint8_t> SolidFrames(int Width, int Height, const std::vector<QRect>& Frames) {
    std::vector<uint8_t> Out;
    int Error = 0;
    GifFileType* File = EGifOpen(
        &Out,
        [](GifFileType* F, const GifByteType* Data, int Size) {
            auto* To = static_cast<std::vector<uint8_t>*>(F->UserData);
            To->insert(To->end(), Data, Data + Size);
            return Size;
        },
        &Error);
    GifColorType Colors[2] = {{255, 0, 0}, {0, 0, 255}};
    ColorMapObject* Map = GifMakeMapObject(2, Colors);
    EGifPutScreenDesc(File, Width, Height, 1, 0, Map);
    for (const QRect& R : Frames) {
        EGifPutImageDesc(File, R.x(), R.y(), R.width(), R.height(), false, nullptr);
        std::vector<GifPixelType> Row(size_t(R.width()), 1);
        for (int Y = 0; Y < R.height(); ++Y) EGifPutLine(File, Row.data(), R.width());
    }
    EGifCloseFile(File, &Error);
    GifFreeMapObject(Map);
    return Out;
}

// Every frame is kept decoded for the animation, so the frames stop where their pixels together
// would pass the limit, however few frames that is.
TEST(Gif, TheFramesStopWhereTheirPixelsTogetherPassTheLimit) {
    static_assert(GdiLimits::kMaxGifPixels == 32768 * 1024);
    const QRect Most(0, 0, 32768, 1022), Two(0, 1022, 32768, 2), Three(0, 1021, 32768, 3);
    EXPECT_EQ(DecodeGif(SolidFrames(32768, 1024, {Most, Two})).Frames.size(), 2u);
    const TGifPicture Over = DecodeGif(SolidFrames(32768, 1024, {Most, Three, Two}));
    ASSERT_EQ(Over.Frames.size(), 1u);
    EXPECT_EQ(Over.Frames[0].Image.height(), 1022);
}

// A transparent index that shares its colour with another entry gets a colour of its own, so
// the other entry's pixels stay.
TEST(Gif, TheTransparentColourIsNoColourOfTheFrame) {
    GifTest::TFrame Frame{0, 0, 2, 1, {0, 1}, 10, 0, 0};
    const TGifPicture Picture =
        DecodeGif(GifTest::Encode(2, 1, {Frame}, {kRed, kRed, kBlue, kWhite}));
    ASSERT_EQ(Picture.Frames.size(), 1u);
    const TGifFrame& F = Picture.Frames[0];
    EXPECT_NE(F.TransparentColor, kRed);
    EXPECT_EQ(Pixels(F.Image), (std::vector<QRgb>{F.TransparentColor, kRed}));
    // The screen's background has a colour of its own too.
    for (QRgb Taken : {kRed, kBlue, kWhite, qRgb(0, 0, 0), F.TransparentColor})
        EXPECT_NE(Picture.BackgroundKey, Taken);
}

TEST(Gif, DamagedAndOversizedFiles) {
    const std::vector<uint8_t> Two =
        GifTest::Encode(2, 2, {GifTest::Solid(0, 0, 2, 2, 0), GifTest::Solid(0, 0, 2, 2, 1)});
    // Cut inside the second frame's data: the first frame is kept.
    const std::vector<uint8_t> Cut(Two.begin(), Two.end() - 4);
    EXPECT_EQ(DecodeGif(Cut).Frames.size(), 1u);
    // Cut inside the first: nothing.
    EXPECT_TRUE(DecodeGif(std::vector<uint8_t>(Two.begin(), Two.begin() + 30)).Empty());
    EXPECT_TRUE(DecodeGif(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}).Empty());
    EXPECT_TRUE(DecodeGif(std::vector<uint8_t>{'G', 'I', 'F'}).Empty());
    EXPECT_TRUE(DecodeGif({}).Empty());
    // A screen beyond the painting layer's limits, and a frame beyond them on a small screen.
    EXPECT_TRUE(DecodeGif(GifTest::Encode(60000, 60000, {GifTest::Solid(0, 0, 1, 1, 0)})).Empty());
    std::vector<uint8_t> Huge = GifTest::Encode(1, 1, {GifTest::Solid(0, 0, 1, 1, 0)});
    ASSERT_EQ(Huge[33], 0x2C);
    std::fill(Huge.begin() + 38, Huge.begin() + 42, uint8_t(0xFF));  // 65535 x 65535
    EXPECT_TRUE(DecodeGif(Huge).Empty());
    // No logical screen: the frames' extent.
    const TGifPicture Screenless =
        DecodeGif(GifTest::Encode(0, 0, {GifTest::Solid(2, 1, 3, 2, 2)}));
    EXPECT_EQ(Screenless.Width, 5);
    EXPECT_EQ(Screenless.Height, 3);
}

}  // namespace
