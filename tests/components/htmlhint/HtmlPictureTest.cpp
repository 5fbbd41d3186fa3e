// Pictures of hint texts: the formats, the GIF frame cut, sources and the container.
#include <gtest/gtest.h>

#include <QBuffer>

#include "HtmlTestSupport.h"
#include "components/htmlhint/GifFrames.h"
#include "components/htmlhint/HtmlPicture.h"

using namespace HtmlTest;

namespace {

std::vector<uint8_t> Encoded(const QImage& Image, const char* Format) {
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(Image.save(&Buffer, Format));
    return {Bytes.begin(), Bytes.end()};
}

QImage Solid(int W, int H, QRgb Color) {
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(Color);
    return I;
}

TEST(HtmlPicture, AChosenFrameOfAnAnimatedGifIsTheOneShown) {
    const std::vector<uint8_t> Gif = SolidFramesGif(12, 8, {0, 1, 2});
    THTMLPicture P;
    int Changes = 0;
    P.OnFrameChange = [&](THTMLPicture*) { ++Changes; };
    P.LoadFromBytes(Gif);
    EXPECT_EQ(P.FrameCount(), 3);
    EXPECT_EQ(P.Image().pixel(3, 3) | 0xFF000000u, 0xFFFF0000u);
    P.SetFrame(2);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(P.Width(), 12);
    EXPECT_EQ(P.Height(), 8);
    EXPECT_EQ(P.Image().pixel(3, 3) | 0xFF000000u, 0xFF00FF00u);
    EXPECT_EQ(P.FrameXSize(), 12);
    EXPECT_EQ(P.FrameYSize(), 8);
    P.SetFrame(3);
    EXPECT_EQ(P.Image().pixel(11, 7) | 0xFF000000u, 0xFF0000FFu);
    EXPECT_EQ(P.GIFWidth(), 12);
    // The cut keeps the header and the chosen frame onwards.
    const std::vector<uint8_t> Cut = GifFrames::KeepFrame(Gif, 2);
    EXPECT_EQ(GifFrames::Frames(Cut).size(), 2u);
    EXPECT_EQ(GifFrames::KeepFrame(Gif, 7), Gif);
}

TEST(HtmlPicture, FramesAreCountedOnlyWhereADescriptorFollowsTheExtension) {
    std::vector<uint8_t> Gif = SolidFramesGif(2, 2, {0, 1});
    EXPECT_EQ(GifFrames::Frames(Gif).size(), 2u);
    // An extension cut off at the end of the data is no frame, and nothing is read past it.
    const std::vector<uint8_t> Short(Gif.begin(), Gif.begin() + 13 + 12 + 8);
    EXPECT_EQ(GifFrames::Frames(Short).size(), 0u);
    Gif[13 + 12 + 8] = 0x2B;
    EXPECT_EQ(GifFrames::Frames(Gif).size(), 1u);
    THTMLPicture Bmp;
    Bmp.LoadFromBytes(Encoded(Solid(3, 2, qRgb(1, 2, 3)), "BMP"));
    EXPECT_EQ(Bmp.FrameCount(), -1);
    EXPECT_EQ(Bmp.GIFWidth(), 3);
}

TEST(HtmlPicture, JpegAndBmpDecode) {
    THTMLPicture Jpeg;
    Jpeg.LoadFromBytes(Encoded(Solid(17, 9, qRgb(200, 40, 60)), "JPG"));
    EXPECT_FALSE(Jpeg.Empty());
    ASSERT_EQ(Jpeg.Width(), 17);
    EXPECT_EQ(Jpeg.Height(), 9);
    const QRgb Px = Jpeg.Image().pixel(8, 4);
    EXPECT_NEAR(qRed(Px), 200, 6);
    EXPECT_NEAR(qGreen(Px), 40, 6);
    EXPECT_NEAR(qBlue(Px), 60, 6);
    QImage Grey(5, 5, QImage::Format_Grayscale8);
    Grey.fill(128);
    THTMLPicture GreyJpeg;
    GreyJpeg.LoadFromBytes(Encoded(Grey, "JPG"));
    EXPECT_NEAR(qRed(GreyJpeg.Image().pixel(2, 2)), 128, 4);
    THTMLPicture Bmp;
    Bmp.LoadFromBytes(Encoded(Solid(4, 3, qRgb(9, 8, 7)), "BMP"));
    EXPECT_EQ(Bmp.Image().pixel(3, 2) | 0xFF000000u, qRgb(9, 8, 7));
    // The bytes are kept as read.
    TMemoryStream Out;
    Bmp.SaveToStream(Out);
    EXPECT_EQ(Out.Size(), int64_t(Encoded(Solid(4, 3, qRgb(9, 8, 7)), "BMP").size()));
}

TEST(HtmlPicture, BadDataRaisesAndLeavesThePictureEmpty) {
    std::vector<uint8_t> Jpeg = Encoded(Solid(8, 8, qRgb(1, 1, 1)), "JPG");
    std::vector<uint8_t> Gif = SolidFramesGif(4, 4, {0});
    const std::pair<std::vector<uint8_t>, std::string> Cases[] = {
        {{}, "Empty image stream created"},
        {{'P', 'K', 3, 4}, "Could not load image. Invalid format"},
        {{Jpeg.begin(), Jpeg.begin() + 20}, "Could not load image"},
        {{Gif.begin(), Gif.begin() + 8}, "Could not load image"},
        {{'B', 'M', 0, 0, 0}, "Could not load image"},
    };
    for (const auto& [Data, Message] : Cases) {
        THTMLPicture P;
        EXPECT_EQ(ErrorOf([&] { P.LoadFromBytes(Data); }), Message);
        EXPECT_TRUE(P.Empty());
        EXPECT_EQ(P.Width(), 0);
    }
}

TEST(HtmlPicture, SourcesFromResourcesAndFiles) {
    const std::vector<uint8_t> Gif = SolidFramesGif(5, 4, {2});
    static const TResourceEntry Entries[] = {{"LOGO", {Gif.data(), Gif.size()}}};
    static const TResourceModule Module{Entries};
    THTMLPicture::SetResourceModule(&Module);
    THTMLPicture FromResource;
    FromResource.SetID("res://logo");
    EXPECT_EQ(FromResource.Width(), 5);
    EXPECT_EQ(FromResource.ID(), "res://logo");
    THTMLPicture Missing;
    Missing.SetID("RES://NOSUCH");
    EXPECT_TRUE(Missing.Empty());
    THTMLPicture::SetResourceModule(nullptr);

    const std::string Path = std::string(KESTRO_BINARY_DIR) + "/HtmlHint-Picture.gif";
    WriteFile(Path, std::string(Gif.begin(), Gif.end()));
    THTMLPicture FromFile;
    FromFile.SetID("FILE://" + Path);
    EXPECT_EQ(FromFile.Height(), 4);
    // Network sources are remembered and never fetched.
    THTMLPicture Remote;
    Remote.SetAsynch(false);
    Remote.SetID("http://example.invalid/x.gif");
    EXPECT_TRUE(Remote.Empty());
    EXPECT_EQ(Remote.ID(), "http://example.invalid/x.gif");
}

TEST(HtmlPicture, TheContainerFindsPicturesByUpperCasedName) {
    TPictureContainer Container(nullptr);
    TPictureItem* A = Container.Add();
    A->SetName("Logo");
    A->SetTag(7);
    A->Picture().LoadFromBytes(SolidFramesGif(3, 3, {1}));
    TPictureItem* B = Container.Add();
    B->SetName("logo");
    EXPECT_EQ(Container.FindPicture("LOGO"), &A->Picture());
    EXPECT_EQ(Container.FindPicture("Logo"), nullptr);
    EXPECT_EQ(Container.FindPicture("OTHER"), nullptr);
    B->Assign(A);
    EXPECT_EQ(B->Name(), "Logo");
    EXPECT_EQ(B->Tag(), 7);
    EXPECT_EQ(B->Picture().Width(), 3);
}

}  // namespace
