// BMP files: every depth and compression read into the same pixels, written back, and files that
// lie about their sizes refused with a clear error.
#include <gtest/gtest.h>

#include <cstring>

#include "GdiTestSupport.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Graphics.h"
#include "tests/support/LargestAllocation.h"

using namespace GdiTest;

namespace {

// Builds BMP files field by field.
struct TBmpWriter {
    std::string Data;
    void U8(int V) { Data.push_back(char(V)); }
    void U16(int V) {
        U8(V & 0xFF);
        U8((V >> 8) & 0xFF);
    }
    void U32(int64_t V) {
        for (int I = 0; I < 4; ++I) U8(int((V >> (8 * I)) & 0xFF));
    }
    void Bytes(std::initializer_list<int> B) {
        for (int V : B) U8(V);
    }
    // File header and a 40-byte information header.
    void Headers(int Width, int Height, int Bpp, int Compression, int Colors, int Extra = 0) {
        const int Offset = 14 + 40 + Extra + Colors * 4;
        Bytes({'B', 'M'});
        U32(0);  // the file size is not trusted anyway
        U32(0);
        U32(Offset);
        U32(40);
        U32(Width);
        U32(Height);
        U16(1);
        U16(Bpp);
        U32(Compression);
        U32(0);
        U32(2835);
        U32(2835);
        U32(Colors);
        U32(0);
    }
    void Colour(int R, int G, int B) { Bytes({B, G, R, 0}); }
};

QImage Load(const std::string& Data, TPixelFormat* Format = nullptr) {
    TStringStream S(Data);
    TBitmap B;
    B.LoadFromStream(S);
    if (Format) *Format = B.PixelFormat();
    return B.Image();
}

std::string ErrorOf(const std::string& Data) {
    try {
        Load(Data);
    } catch (const EInvalidGraphic& E) {
        return E.Message();
    }
    return "";
}

class BmpTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

// The same 3 x 2 picture in every encoding: top row red, green, blue; bottom row white, black,
// grey (bottom-up files store the bottom row first).
constexpr uint32_t kTop[3] = {0xFF0000, 0x00FF00, 0x0000FF};
constexpr uint32_t kBottom[3] = {0xFFFFFF, 0x000000, 0x808080};

void ExpectPicture(const QImage& I) {
    ASSERT_EQ(I.width(), 3);
    ASSERT_EQ(I.height(), 2);
    for (int X = 0; X < 3; ++X) {
        EXPECT_EQ(I.pixel(X, 0) & 0xFFFFFF, kTop[X]) << X;
        EXPECT_EQ(I.pixel(X, 1) & 0xFFFFFF, kBottom[X]) << X;
    }
}

// Two pixels in a row, black and white, one bit each, under the old 12-byte information header
// with 3-byte colour entries.
std::string OldHeaderFile() {
    TBmpWriter W;
    W.Bytes({'B', 'M'});
    W.U32(0);
    W.U32(0);
    W.U32(14 + 12 + 6);
    W.U32(12);
    W.U16(2);
    W.U16(1);
    W.U16(1);
    W.U16(1);
    W.Bytes({0, 0, 0, 255, 255, 255});
    W.Bytes({0x40, 0, 0, 0});
    return W.Data;
}

void Palette6(TBmpWriter& W) {
    W.Colour(255, 0, 0);
    W.Colour(0, 255, 0);
    W.Colour(0, 0, 255);
    W.Colour(255, 255, 255);
    W.Colour(0, 0, 0);
    W.Colour(128, 128, 128);
}

TEST_F(BmpTest, EveryDepthAndCompressionReadsTheSamePixels) {
    {  // 24-bit, bottom-up, rows padded to 4 bytes
        TBmpWriter W;
        W.Headers(3, 2, 24, BI_RGB, 0);
        W.Bytes({255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0});
        W.Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0});
        TPixelFormat F;
        ExpectPicture(Load(W.Data, &F));
        EXPECT_EQ(F, pf24bit);
    }
    {  // 32-bit, top-down
        TBmpWriter W;
        W.Headers(3, -2, 32, BI_RGB, 0);
        W.Bytes({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});
        W.Bytes({255, 255, 255, 0, 0, 0, 0, 0, 128, 128, 128, 0});
        TPixelFormat F;
        ExpectPicture(Load(W.Data, &F));
        EXPECT_EQ(F, pf32bit);
    }
    {  // 8-bit palette
        TBmpWriter W;
        W.Headers(3, 2, 8, BI_RGB, 6);
        Palette6(W);
        W.Bytes({3, 4, 5, 0, 0, 1, 2, 0});
        ExpectPicture(Load(W.Data));
    }
    {  // 4-bit palette
        TBmpWriter W;
        W.Headers(3, 2, 4, BI_RGB, 6);
        Palette6(W);
        W.Bytes({0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0});
        ExpectPicture(Load(W.Data));
    }
    {  // RLE8: a run and a literal per row
        TBmpWriter W;
        W.Headers(3, 2, 8, BI_RLE8, 6);
        Palette6(W);
        W.Bytes({1, 3, 0, 3, 4, 5, 0, 0, 0, 0});  // literal of 3 (padded), end of line
        W.Bytes({1, 0, 1, 1, 1, 2, 0, 1});        // three runs, end of picture
        ExpectPicture(Load(W.Data));
    }
    {  // RLE4
        TBmpWriter W;
        W.Headers(3, 2, 4, BI_RLE4, 6);
        Palette6(W);
        W.Bytes({0, 3, 0x34, 0x50, 0, 0});  // literal of 3 nibbles, end of line
        W.Bytes({2, 0x01, 1, 0x22, 0, 1});
        ExpectPicture(Load(W.Data));
    }
    {  // 16-bit with 5-6-5 bit fields after the header
        TBmpWriter W;
        W.Headers(3, 2, 16, BI_BITFIELDS, 0, 12);
        W.U32(0xF800);
        W.U32(0x07E0);
        W.U32(0x001F);
        W.Bytes({0xFF, 0xFF, 0x00, 0x00, 0x10, 0x84, 0, 0});
        W.Bytes({0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0});
        const QImage I = Load(W.Data);
        EXPECT_EQ(I.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(I.pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
        EXPECT_EQ(I.pixel(2, 0) & 0xFFFFFF, 0x0000FFu);
        EXPECT_EQ(I.pixel(0, 1) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(I.pixel(2, 1) & 0xFFFFFF, 0x848284u);  // 5 and 6 bits scaled to 8
    }
    {  // the old 12-byte header with 3-byte colour entries
        TPixelFormat F;
        const QImage I = Load(OldHeaderFile(), &F);
        EXPECT_EQ(I.pixel(0, 0) & 0xFFFFFF, 0u);
        EXPECT_EQ(I.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(F, pf1bit);
    }
}

TEST_F(BmpTest, WrittenBitmapsReadBackUnchanged) {
    for (const TPixelFormat F : {pf1bit, pf24bit, pf32bit}) {
        TBitmap B(13, 7, F);
        for (int Y = 0; Y < 7; ++Y) {
            uint8_t* Row = B.ScanLine(Y);
            for (int X = 0; X < 13; ++X) {
                if (F == pf1bit) {
                    if ((X + Y) % 3 == 0)
                        Row[X / 8] = uint8_t(Row[X / 8] | (0x80 >> (X % 8)));
                    else
                        Row[X / 8] = uint8_t(Row[X / 8] & ~(0x80 >> (X % 8)));
                } else {
                    const int Bytes = F == pf24bit ? 3 : 4;
                    Row[X * Bytes] = uint8_t(X * 19);
                    Row[X * Bytes + 1] = uint8_t(Y * 37);
                    Row[X * Bytes + 2] = uint8_t(X * Y);
                }
            }
        }
        TStringStream Out;
        B.SaveToStream(Out);
        TPixelFormat Back;
        const QImage I = Load(Out.DataString(), &Back);
        EXPECT_EQ(Back, F);
        EXPECT_EQ(I, B.Image()) << int(F);
    }
}

TEST_F(BmpTest, HeadersThatLieGiveAClearErrorAndKeepTheBitmap) {
    auto Valid = [] {
        TBmpWriter W;
        W.Headers(3, 2, 24, BI_RGB, 0);
        W.Data.append(24, '\0');
        return W.Data;
    };
    auto Patch = [](std::string D, size_t At, int64_t V) {
        for (int I = 0; I < 4; ++I) D[At + size_t(I)] = char((V >> (8 * I)) & 0xFF);
        return D;
    };
    struct TCase {
        const char* Name;
        std::string Data;
        const char* Reason;
    };
    const std::string Good = Valid();
    const TCase Cases[] = {
        {"empty", "", "empty"},
        {"truncated file header", "BM\x10", "file header"},
        {"huge width", Patch(Good, 18, 0x7FFFFFFF), "too large"},
        {"zero height", Patch(Good, 22, 0), "empty or negative"},
        {"most negative height", Patch(Good, 22, INT32_MIN), "too large"},
        {"pixels cut short", Good.substr(0, Good.size() - 3), "pixel data"},
        {"offset past the end", Patch(Good, 10, 1 << 30), "offset"},
        {"offset inside the header", Patch(Good, 10, 20), "offset"},
        {"header size absurd", Patch(Good, 14, 7), "header size"},
        {"depth 7", Patch(Good, 28, 7), "depth"},
        {"unknown compression", Patch(Good, 30, 9), "compression"},
        {"too many colours",
         [&] {
             TBmpWriter W;
             W.Headers(3, 2, 8, BI_RGB, 0);
             std::string D = Patch(W.Data, 46, 100000);
             D.append(64, '\0');
             return D;
         }(),
         "colour table"},
        {"rle runs past the end",
         [&] {
             TBmpWriter W;
             W.Headers(3, 2, 8, BI_RLE8, 1);
             W.Colour(1, 2, 3);
             W.Bytes({0, 40, 1, 2});  // a literal of 40 bytes with 2 present
             return W.Data;
         }(),
         "compressed data"},
        {"bit fields not contiguous",
         [&] {
             TBmpWriter W;
             W.Headers(1, 1, 32, BI_BITFIELDS, 0, 12);
             W.U32(0xF0F0);
             W.U32(0x0F00);
             W.U32(0x000F);
             W.U32(0);
             return W.Data;
         }(),
         "contiguous"},
    };
    for (const TCase& C : Cases) {
        const std::string Message = ErrorOf(C.Data);
        EXPECT_NE(Message.find("Bitmap image is not valid"), std::string::npos) << C.Name;
        EXPECT_NE(Message.find(C.Reason), std::string::npos) << C.Name << ": " << Message;
    }
    // A failed load leaves the bitmap as it was.
    TBitmap B(2, 2);
    TStringStream Bad(Patch(Good, 28, 7));
    EXPECT_THROW(B.LoadFromStream(Bad), EInvalidGraphic);
    EXPECT_EQ(B.Width(), 2);
    EXPECT_EQ(B.Image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

// A file and where each of its parts ends; cut one byte short of any of them it must be refused,
// without a look at the byte that is missing.
struct TParts {
    const char* Name;
    std::string Data;
    std::vector<std::pair<const char*, size_t>> Ends;
};

std::vector<TParts> PartedFiles() {
    std::vector<TParts> Files;
    {
        TBmpWriter W;
        W.Headers(3, 2, 8, BI_RGB, 6);
        Palette6(W);
        W.Bytes({3, 4, 5, 0, 0, 1, 2, 0});
        Files.push_back({"8-bit",
                         W.Data,
                         {{"file header", 14},
                          {"information header", 54},
                          {"colour table", 78},
                          {"first row", 82},
                          {"last row", 86}}});
    }
    {  // without the file header the colour table is cut at the end of the data
        TBmpWriter W;
        W.Headers(3, 2, 8, BI_RGB, 6);
        Palette6(W);
        W.Bytes({3, 4, 5, 0, 0, 1, 2, 0});
        Files.push_back({"8-bit without a file header",
                         W.Data.substr(14),
                         {{"information header", 40}, {"colour table", 64}, {"row", 72}}});
    }
    {
        TBmpWriter W;
        W.Headers(1, 1, 16, BI_BITFIELDS, 0, 12);
        W.U32(0xF800);
        W.U32(0x07E0);
        W.U32(0x001F);
        W.Bytes({0xFF, 0xFF, 0, 0});
        Files.push_back({"bit fields", W.Data, {{"colour masks", 66}, {"row", 70}}});
    }
    Files.push_back({"old header",
                     OldHeaderFile(),
                     {{"information header", 26}, {"colour table", 32}, {"row", 36}}});
    {
        TBmpWriter W;
        W.Headers(3, 2, 8, BI_RLE8, 6);
        Palette6(W);
        W.Bytes({0, 3, 3, 4, 5, 0});  // a literal of 3, padded
        W.Bytes({0, 0});              // end of line
        W.Bytes({0, 2, 1, 0});        // one to the right
        W.Bytes({2, 1});              // a run of 2
        W.Bytes({0, 1});              // end of picture
        Files.push_back({"RLE8",
                         W.Data,
                         {{"literal", 83},
                          {"padding", 84},
                          {"end of line", 86},
                          {"move", 90},
                          {"run", 92},
                          {"end of picture", 94}}});
    }
    {
        TBmpWriter W;
        W.Headers(3, 2, 4, BI_RLE4, 6);
        Palette6(W);
        W.Bytes({0, 3, 0x34, 0x50, 0, 0});  // a literal of 3 nibbles, end of line
        W.Bytes({3, 0x12, 0, 1});           // a run of 3, end of picture
        Files.push_back(
            {"RLE4",
             W.Data,
             {{"literal", 82}, {"end of line", 84}, {"run", 86}, {"end of picture", 88}}});
    }
    return Files;
}

// The reader's error for bytes that end at a guard page; empty when it read them.
std::string ReadError(std::string_view Data) {
    const TGuardedBytes Guarded(Data);
    try {
        GdiInternal::ReadBmp(Guarded.Span(), nullptr, nullptr);
    } catch (const EInvalidGraphic& E) {
        return E.Message();
    }
    return "";
}

TEST_F(BmpTest, OneByteShortOfAnyPartIsRefused) {
    for (const TParts& F : PartedFiles()) {
        EXPECT_EQ(ReadError(F.Data), "") << F.Name;
        for (const auto& [Part, End] : F.Ends) {
            ASSERT_LE(End, F.Data.size()) << F.Name << ", " << Part;
            const std::string Message = ReadError(std::string_view(F.Data).substr(0, End - 1));
            EXPECT_NE(Message.find("Bitmap image is not valid"), std::string::npos)
                << F.Name << ", " << Part << ": " << Message;
        }
    }
    // The whole of the last part is enough: the RLE8 picture as written.
    const QImage I = Load(PartedFiles()[4].Data);
    EXPECT_EQ(I.pixel(0, 1) & 0xFFFFFF, 0x00FFFFFFu);
    EXPECT_EQ(I.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);  // not drawn: colour 0
    EXPECT_EQ(I.pixel(2, 0) & 0xFFFFFF, 0x00FF00u);
}

// A header of a few bytes may claim the largest picture the limits allow (128 MiB of pixels):
// refused for its missing rows before any picture is allocated, with or without a file header.
TEST_F(BmpTest, AHeaderWithoutItsPixelsAllocatesNoPicture) {
    if (!LargestAllocation::Available()) GTEST_SKIP() << "allocations are watched only under ASan";
    TBmpWriter Core;  // the old 12-byte header alone, as an icon or the clipboard hands it over
    Core.U32(12);
    Core.U16(32768);
    Core.U16(1024);
    Core.U16(1);
    Core.U16(24);
    TBmpWriter File;
    File.Headers(8192, 4096, 32, BI_RGB, 0);
    File.Bytes({1, 2, 3, 4});
    TBmpWriter Masks;  // bit fields: the masks are there, the rows are not
    Masks.Headers(4096, 8192, 16, BI_BITFIELDS, 0, 12);
    Masks.U32(0x7C00);
    Masks.U32(0x03E0);
    Masks.U32(0x001F);
    Masks.Bytes({1, 2, 3, 4});
    for (const auto& [Name, Data] :
         {std::pair{"core header", Core.Data}, std::pair{"file", File.Data},
          std::pair{"masks", Masks.Data}}) {
        std::string Message;
        const size_t Largest = LargestAllocation::During([&] {
            try {
                const std::span<const uint8_t> Bytes(reinterpret_cast<const uint8_t*>(Data.data()),
                                                     Data.size());
                GdiInternal::ReadBmp(Bytes, nullptr, nullptr);
            } catch (const EInvalidGraphic& E) {
                Message = E.Message();
            }
        });
        EXPECT_NE(Message.find("pixel data"), std::string::npos) << Name << ": " << Message;
        EXPECT_LT(Largest, size_t(1) << 20) << Name;
        // Through the bitmap the same: refused, nothing large held on the way.
        EXPECT_LT(LargestAllocation::During([&] { EXPECT_NE(ErrorOf(Data), "") << Name; }),
                  size_t(1) << 20)
            << Name;
    }
}

TEST_F(BmpTest, AColourTableThatRunsIntoThePixelsIsCutWhereTheyStart) {
    // Six colours declared, five and a half present before the pixels: the half is no colour.
    TBmpWriter W;
    W.Headers(2, 1, 8, BI_RGB, 6);
    W.Data[10] = char(54 + 22);
    Palette6(W);
    W.Data.resize(54 + 22);
    W.Data[54 + 20] = char(0xAA);
    W.Data[54 + 21] = char(0xBB);
    W.Bytes({3, 5, 0, 0});
    const QImage I = Load(W.Data);
    EXPECT_EQ(I.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);  // colour 3 of the table
    EXPECT_EQ(I.pixel(1, 0) & 0xFFFFFF, 0u);         // past the table: black
    EXPECT_EQ(ReadError(std::string_view(W.Data)), "");
}

TEST_F(BmpTest, CompressedDataPaysForThePixelsItCovers) {
    // Only an end of picture: two bytes of compressed data for the whole picture.
    auto EndOnly = [](int Width, int Height) {
        TBmpWriter W;
        W.Headers(Width, Height, 8, BI_RLE8, 1);
        W.Colour(1, 2, 3);
        W.Bytes({0, 1});
        return W.Data;
    };
    EXPECT_EQ(ErrorOf(EndOnly(2 * 1024, 1)), "");
    EXPECT_NE(ErrorOf(EndOnly(2 * 1024 + 1, 1)).find("compressed data is too short"),
              std::string::npos);
    // A hundred bytes that skip down a picture of a million pixels.
    TBmpWriter W;
    W.Headers(94, 11031, 8, BI_RLE8, 1);
    W.Colour(1, 2, 3);
    while (W.Data.size() < 96) W.Bytes({0, 2, 0, 255});
    W.Bytes({0, 1});
    EXPECT_NE(ErrorOf(W.Data).find("compressed data is too short"), std::string::npos);
}

// A 4 x 4 cursor, 24-bit, hot spot (1, 2): red except a transparent left column.
std::string CursorFile() {
    TBmpWriter W;
    W.U16(0);
    W.U16(2);  // cursor
    W.U16(1);
    W.Bytes({4, 4, 0, 0});
    W.U16(1);  // hot spot x
    W.U16(2);  // hot spot y
    const int Size = 40 + 4 * 12 + 4 * 4;
    W.U32(Size);
    W.U32(6 + 16);
    W.U32(40);
    W.U32(4);
    W.U32(8);  // twice the height
    W.U16(1);
    W.U16(24);
    for (int I = 0; I < 6; ++I) W.U32(0);
    for (int Row = 0; Row < 4; ++Row) {
        for (int X = 0; X < 4; ++X) W.Bytes({0, 0, 255});
    }
    for (int Row = 0; Row < 4; ++Row) W.Bytes({0x80, 0, 0, 0});  // AND mask: column 0 clear
    return W.Data;
}

TEST_F(BmpTest, CursorsAndIconsCarryTheirMaskAndHotSpot) {
    const std::string File = CursorFile();
    const std::span<const uint8_t> Bytes(reinterpret_cast<const uint8_t*>(File.data()),
                                         File.size());
    const HICON Cursor = CreateIconFromFileData(Bytes);
    ASSERT_NE(Cursor, 0u);
    EXPECT_EQ(GetCursorHotSpot(Cursor).x, 1);
    EXPECT_EQ(GetCursorHotSpot(Cursor).y, 2);
    const QImage I = IconImage(Cursor);
    ASSERT_EQ(I.size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(I.pixel(0, 1)), 0);
    EXPECT_EQ(I.pixel(1, 1), 0xFFFF0000u);
    // Drawn, the masked column keeps what was there.
    TMemDC DC(6, 6, false, RGB(0, 255, 0));
    ASSERT_TRUE(DrawIconEx(DC.DC, 1, 1, Cursor, 0, 0, 0, 0, DI_NORMAL));
    EXPECT_EQ(DC.At(1, 1), 0x00FF00u);
    EXPECT_EQ(DC.At(2, 1), 0xFF0000u);
    DestroyIcon(Cursor);

    auto ErrorOfIcon = [](std::string D) {
        try {
            CreateIconFromFileData(
                std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(D.data()), D.size()));
        } catch (const EInvalidGraphic& E) {
            return E.Message();
        }
        return std::string();
    };
    std::string NoPictures = File;
    NoPictures[4] = 0;
    EXPECT_NE(ErrorOfIcon(NoPictures).find("number of pictures"), std::string::npos);
    std::string FarAway = File;
    FarAway[6 + 12 + 3] = 0x40;  // offset far past the end
    EXPECT_NE(ErrorOfIcon(FarAway).find("outside the data"), std::string::npos);
    std::string OddHeight = File;
    OddHeight[22 + 8] = 7;
    EXPECT_NE(ErrorOfIcon(OddHeight).find("picture size"), std::string::npos);
    EXPECT_NE(ErrorOfIcon(File.substr(0, 30)).find("Icon image is not valid"), std::string::npos);
    // The picture class reads .ico files through the registry.
    TStringStream S(File);
    TIcon Icon;
    Icon.LoadFromStream(S);
    EXPECT_EQ(Icon.Width(), 4);
}

// The icon of the first End bytes of a file, which end at a guard page.
HICON IconOf(const std::string& File, size_t End) {
    const TGuardedBytes Guarded(std::string_view(File).substr(0, End));
    return CreateIconFromFileData(Guarded.Span());
}

// The file with its only picture declared Size bytes long (the directory entry's size).
std::string WithPictureSize(std::string File, uint32_t Size) {
    for (int I = 0; I < 4; ++I) File[6 + 8 + size_t(I)] = char(Size >> (8 * I));
    return File;
}

bool RefusedIcon(const std::string& File, size_t End) {
    try {
        DestroyIcon(IconOf(File, End));
    } catch (const EInvalidGraphic& E) {
        return E.Message().find("Icon image is not valid") != std::string::npos ||
               E.Message().find("Bitmap image is not valid") != std::string::npos;
    }
    return false;
}

TEST_F(BmpTest, IconsOneByteShortOfAnyPartAreRefusedOrLoseOnlyTheirMask) {
    const std::string Cursor = CursorFile();
    // The picture starts at 22: its header (40 bytes), colour rows (4 of 12), mask (4 of 4).
    ASSERT_EQ(Cursor.size(), 22u + 40 + 48 + 16);
    EXPECT_TRUE(RefusedIcon(Cursor, 5)) << "file header";
    EXPECT_TRUE(RefusedIcon(Cursor, 21)) << "directory entry";
    for (const auto& [Part, End] : {std::pair{"picture header", 40u}, {"colour rows", 88u}}) {
        const std::string File = WithPictureSize(Cursor, End - 1);
        EXPECT_TRUE(RefusedIcon(File, 22 + End - 1)) << Part;
    }
    // The same with a colour table: an 8-bit 4 x 4 icon of two colours.
    TBmpWriter W;
    W.Bytes({0, 0, 1, 0, 1, 0, 4, 4, 2, 0, 1, 0, 8, 0});
    W.U32(40 + 8 + 16 + 16);
    W.U32(22);
    W.U32(40);
    W.U32(4);
    W.U32(8);
    W.U16(1);
    W.U16(8);
    W.U32(0);
    W.U32(0);
    W.U32(0);
    W.U32(0);
    W.U32(2);
    W.U32(0);
    W.Colour(0, 0, 255);
    W.Colour(255, 0, 0);
    for (int I = 0; I < 16; ++I) W.U8(1);
    for (int Row = 0; Row < 4; ++Row) W.Bytes({0x80, 0, 0, 0});
    const HICON Eight = IconOf(W.Data, W.Data.size());
    EXPECT_EQ(IconImage(Eight).pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(IconImage(Eight).pixel(0, 1)), 0);
    DestroyIcon(Eight);
    EXPECT_TRUE(RefusedIcon(WithPictureSize(W.Data, 47), 22 + 47)) << "colour table";
    EXPECT_TRUE(RefusedIcon(WithPictureSize(W.Data, 63), 22 + 63)) << "8-bit rows";
    // A mask one byte short is no mask: the picture stays whole and opaque.
    for (const std::string& File : {Cursor, W.Data}) {
        const size_t Size = File.size() - 22;
        const HICON Icon = IconOf(WithPictureSize(File, uint32_t(Size - 1)), File.size() - 1);
        const QImage I = IconImage(Icon);
        EXPECT_EQ(I.pixel(0, 1), 0xFFFF0000u);
        EXPECT_EQ(I.pixel(0, 3), 0xFFFF0000u);
        DestroyIcon(Icon);
    }
}

}  // namespace
