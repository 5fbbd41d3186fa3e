// JPEG pictures: the decoder's pixels and refusals (sizes, the pixels a byte may stand for, the
// scans of a progressive file), and TJPEGImage in the picture registry.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "platform/gdi/Jpeg.h"
#include "platform/gdi/Limits.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<uint8_t> Encoded(const QImage& Image, int Quality = 90) {
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    QImageWriter Writer(&Buffer, "jpg");
    Writer.setQuality(Quality);
    EXPECT_TRUE(Writer.write(Image));
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

QImage Halves(int W, int H, QRgb Left, QRgb Right) {
    QImage Image(W, H, QImage::Format_RGB32);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) Image.setPixel(X, Y, X < W / 2 ? Left : Right);
    return Image;
}

bool Near(QRgb A, QRgb B, int Slack = 12) {
    return std::abs(qRed(A) - qRed(B)) <= Slack && std::abs(qGreen(A) - qGreen(B)) <= Slack &&
           std::abs(qBlue(A) - qBlue(B)) <= Slack;
}

// A grey progressive JPEG whose AC coefficients come one band and one bit at a time: Bits
// refinement steps per band, so 5 + 63 * (Bits + 1) scans in all with DC's.
std::vector<uint8_t> ManyScans(int Bits) {
    std::vector<jpeg_scan_info> Script;
    const auto Scan = [&](int Ss, int Se, int Ah, int Al) {
        jpeg_scan_info Info{};
        Info.comps_in_scan = 1;
        Info.component_index[0] = 0;
        Info.Ss = Ss;
        Info.Se = Se;
        Info.Ah = Ah;
        Info.Al = Al;
        Script.push_back(Info);
    };
    Scan(0, 0, 0, Bits);
    for (int Al = Bits; Al > 0; --Al) Scan(0, 0, Al, Al - 1);
    for (int K = 1; K < 64; ++K) {
        Scan(K, K, 0, Bits);
        for (int Al = Bits; Al > 0; --Al) Scan(K, K, Al, Al - 1);
    }
    jpeg_compress_struct Info;
    jpeg_error_mgr Error;
    Info.err = jpeg_std_error(&Error);
    jpeg_create_compress(&Info);
    unsigned char* Out = nullptr;
    unsigned long Size = 0;
    jpeg_mem_dest(&Info, &Out, &Size);
    Info.image_width = 64;
    Info.image_height = 64;
    Info.input_components = 1;
    Info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&Info);
    Info.scan_info = Script.data();
    Info.num_scans = int(Script.size());
    jpeg_start_compress(&Info, TRUE);
    std::vector<uint8_t> Row(64);
    while (Info.next_scanline < Info.image_height) {
        for (int X = 0; X < 64; ++X) Row[size_t(X)] = uint8_t((X * 4 + Info.next_scanline) & 255);
        JSAMPROW Rows[1] = {Row.data()};
        jpeg_write_scanlines(&Info, Rows, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    std::vector<uint8_t> Bytes(Out, Out + Size);
    free(Out);
    return Bytes;
}

// The start-of-frame marker's height and width fields.
void SetFrameSize(std::vector<uint8_t>& Jpeg, int Width, int Height) {
    for (size_t I = 2; I + 9 < Jpeg.size(); ++I)
        if (Jpeg[I] == 0xFF && (Jpeg[I + 1] == 0xC0 || Jpeg[I + 1] == 0xC2)) {
            Jpeg[I + 5] = uint8_t(Height >> 8);
            Jpeg[I + 6] = uint8_t(Height);
            Jpeg[I + 7] = uint8_t(Width >> 8);
            Jpeg[I + 8] = uint8_t(Width);
            return;
        }
    ADD_FAILURE() << "no frame header";
}

TEST(Jpeg, DecodesColourAndGreyPictures) {
    const QImage Image = DecodeJpeg(Encoded(Halves(32, 16, qRgb(220, 30, 40), qRgb(20, 60, 200))));
    ASSERT_EQ(Image.size(), QSize(32, 16));
    EXPECT_TRUE(Near(Image.pixel(4, 8), qRgb(220, 30, 40)));
    EXPECT_TRUE(Near(Image.pixel(28, 8), qRgb(20, 60, 200)));
    QImage Grey(8, 8, QImage::Format_Grayscale8);
    Grey.fill(100);
    EXPECT_TRUE(Near(DecodeJpeg(Encoded(Grey)).pixel(3, 3), qRgb(100, 100, 100), 4));
    EXPECT_TRUE(DecodeJpeg({}).isNull());
    const std::vector<uint8_t> NotJpeg{'B', 'M', 0, 0};
    EXPECT_TRUE(DecodeJpeg(NotJpeg).isNull());
}

// A few bytes that ask for millions of pixels are refused; the same size with data enough for
// it is not.
TEST(Jpeg, AHeaderMayNotAskForMorePixelsThanItsDataCanHold) {
    std::vector<uint8_t> Small = Encoded(Halves(16, 16, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    const int Side = int(std::sqrt(double(Small.size() * GdiLimits::kMaxJpegPixelsPerByte))) + 64;
    SetFrameSize(Small, Side, Side);
    EXPECT_TRUE(DecodeJpeg(Small).isNull());
    SetFrameSize(Small, 64, 64);
    EXPECT_EQ(DecodeJpeg(Small).size(), QSize(64, 64));
    SetFrameSize(Small, 0, 64);
    EXPECT_TRUE(DecodeJpeg(Small).isNull());
}

TEST(Jpeg, AProgressiveFileOfTooManyScansIsRefused) {
    const std::vector<uint8_t> Fine = ManyScans(2);  // 3 + 63 * 3 = 192 scans
    const QImage Image = DecodeJpeg(Fine);
    ASSERT_EQ(Image.size(), QSize(64, 64));
    EXPECT_TRUE(Near(Image.pixel(10, 20), qRgb(60, 60, 60), 16));
    EXPECT_TRUE(DecodeJpeg(ManyScans(4)).isNull());  // 5 + 63 * 5 = 320 scans
}

TEST(Jpeg, TheRegistryReadsJpegFilesByTheirExtensionWhateverItsCase) {
    const std::string Dir = testing::TempDir();
    const std::vector<uint8_t> Bytes = Encoded(Halves(10, 6, qRgb(250, 250, 0), qRgb(0, 0, 0)));
    const std::string Data(Bytes.begin(), Bytes.end());
    for (const char* Name : {"photo.jpg", "photo.JPG", "photo.Jpeg"}) {
        WriteFile(Dir + Name, Data);
        TPicture Picture;
        Picture.LoadFromFile(Dir + Name);
        ASSERT_NE(Picture.Graphic(), nullptr) << Name;
        EXPECT_EQ(Picture.Graphic()->ClassName(), "TJPEGImage");
        EXPECT_EQ(Picture.Width(), 10);
        EXPECT_EQ(Picture.Height(), 6);
        // Saved as it was read.
        TMemoryStream Saved;
        Picture.Graphic()->SaveToStream(Saved);
        EXPECT_EQ(std::string(Saved.Memory(), size_t(Saved.Size())), Data);
        std::remove((Dir + Name).c_str());
    }
    // Damaged data raises and leaves the picture as it was.
    WriteFile(Dir + "bad.jpg", Data.substr(0, 20) + std::string(50, 'x'));
    TPicture Picture;
    Picture.Bitmap().SetSize(3, 3);
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { Picture.LoadFromFile(Dir + "bad.jpg"); }),
              "JPEG image is not valid");
    EXPECT_EQ(Picture.Graphic()->ClassName(), "TBitmap");
    std::remove((Dir + "bad.jpg").c_str());
}

}  // namespace
