// The decoder against files written by the test encoder: every colour type, depth, filter and
// interlace method; the log; and damaged or hostile files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "htmlview/png/Limits.h"
#include "tests/htmlview/png/PngTestSupport.h"

namespace {

struct TKind {
    uint8_t ColorType;
    uint8_t Depth;
};

// Every combination the format allows.
const TKind kKinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                        {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

// A palette chunk of Count entries and the pixels they give.
std::string PaletteChunk(int Count, std::vector<uint32_t>& Pixels) {
    std::string Data;
    Pixels.assign(256, Pixel(0, 0, 0));
    for (int I = 0; I < Count; ++I) {
        const uint8_t R = uint8_t(I * 3 + 1), G = uint8_t(255 - I), B = uint8_t(I * 7);
        Data += char(R);
        Data += char(G);
        Data += char(B);
        Pixels[size_t(I)] = Pixel(R, G, B);
    }
    return PngChunk("PLTE", Data);
}

void ExpectPixels(const TSampleImage& Image, const TPngPixelBuffer& Out,
                  const std::vector<uint32_t>& Palette, const std::string& What) {
    ASSERT_EQ(Out.Width(), int(Image.Width)) << What;
    ASSERT_EQ(Out.Height(), int(Image.Height)) << What;
    for (uint32_t Y = 0; Y < Image.Height; ++Y)
        for (uint32_t X = 0; X < Image.Width; ++X)
            ASSERT_EQ(Out.Pixel(int(X), int(Y)), ExpectedPixel(Image, X, Y, Palette))
                << What << " at " << X << "," << Y;
}

// Every sample value of every depth shows up in the pattern, so this also pins the scaling of
// small depths (a 4-bit grey of 15 is white, 2-bit values step by 85).
TEST(PngDecoder, DecodesEveryKindFilterAndInterlace) {
    // Sizes that leave Adam7 passes empty, rows ending in a partial byte, and a single pixel.
    const std::pair<uint32_t, uint32_t> Sizes[] = {{1, 1}, {3, 2}, {13, 7}, {33, 17}};
    const std::vector<std::vector<uint8_t>> FilterSets = {{0}, {1}, {2}, {3}, {4}, {4, 0, 3, 1, 2}};
    for (const TKind& Kind : kKinds)
        for (const auto& [W, H] : Sizes)
            for (uint8_t Interlace = 0; Interlace < 2; ++Interlace)
                for (const auto& Filters : FilterSets) {
                    const TSampleImage Image = PatternImage(W, H, Kind.Depth, Kind.ColorType);
                    std::vector<uint32_t> Palette;
                    std::vector<std::string> Extra;
                    if (Kind.ColorType == 3) Extra.push_back(PaletteChunk(256, Palette));
                    const std::string What = "type " + std::to_string(Kind.ColorType) + " depth " +
                                             std::to_string(Kind.Depth) + " " + std::to_string(W) +
                                             "x" + std::to_string(H) + " interlace " +
                                             std::to_string(Interlace) + " filter " +
                                             std::to_string(Filters[0]);
                    TIpPNGDecoder Decoder;
                    TPngPixelBuffer Out;
                    ASSERT_EQ(
                        DecodeBytes(Decoder, Out, EncodePng(Image, Interlace, Filters, Extra)), "")
                        << What;
                    ExpectPixels(Image, Out, Palette, What);
                }
}

TEST(PngDecoder, WritesTheDetailedLog) {
    TSampleImage Image = PatternImage(3, 2, 2, 3);
    std::vector<uint32_t> Palette;
    const std::string File = EncodePng(
        Image, 1, {1}, {PaletteChunk(2, Palette), PngChunk("tRNS", std::string(1, '\0'))});
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out, File), "");
    const std::vector<std::string> Expected = {
        "PNG Chunk: IHDR  Length: 13",
        "",
        "Image size is 3x2 pixels",
        "Bit Depth: 2",
        "Color Type: 3",
        "Compression Method: 0",
        "Filter Method: 0",
        "Interlace Method: 1",
        "PNG Chunk: PLTE  Length: 6",
        "",
        "Palette Entry 0 - Red: 1   Green: 255   Blue: 0",
        "Palette Entry 1 - Red: 4   Green: 254   Blue: 7",
        "PNG Chunk: tRNS  Length: 1",
        "",
        "Palette Transparency: 0  Alpha 0",
        "Transparent Color: FF01",
        "PNG Chunk: IDAT  Length: " + std::to_string(File.size() - 8 - 25 - 18 - 13 - 12 - 12),
        "",
        "PNG Chunk: IEND  Length: 0",
        "",
        "Effective filter is 1",
        "Unfilering Pass 1  Size: 1x1  From: 0x0",
        "Unfilering Pass 2  Size: 0x1  From: 4x0",
        "Unfilering Pass 3  Size: 1x0  From: 0x4",
        "Unfilering Pass 4  Size: 1x1  From: 2x0",
        "Unfilering Pass 5  Size: 2x0  From: 0x2",
        "Unfilering Pass 6  Size: 1x1  From: 1x0",
        "Unfilering Pass 7  Size: 3x1  From: 0x1",
        "Memory required for image: 8 bytes",
    };
    EXPECT_EQ(LogLines(Decoder.Log), Expected);
}

TEST(PngDecoder, LogsEachChangeOfFilter) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out, EncodePng(PatternImage(2, 4, 8, 0), 0, {3, 3, 0, 4})), "");
    const std::vector<std::string> Lines = LogLines(Decoder.Log);
    const std::vector<std::string> Tail(Lines.end() - 5, Lines.end());
    EXPECT_EQ(Tail, (std::vector<std::string>{
                        "Effective filter is 3", "Unfilering Pass 1  Size: 2x4  From: 0x0",
                        "Filter changed on Row 2 to 0", "Filter changed on Row 3 to 4",
                        "Memory required for image: 12 bytes"}));
}

TEST(PngDecoder, WithoutDetailedLogOnlyWarningsAndErrorsAreLogged) {
    const TSampleImage Image = PatternImage(4, 4, 8, 0);
    TIpPNGDecoder Decoder;
    Decoder.DetailedLog = false;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out, EncodePng(Image, 0, {0}, {PngChunk("pHYs", "123456789")})),
              "");
    EXPECT_EQ(LogLines(Decoder.Log),
              (std::vector<std::string>{"**** WARNING ****",
                                        "A Physical Dimensions chunk was found in the PNG File. "
                                        "This feature is not supported in this version of the PNG "
                                        "decoder"}));
}

// A file with a valid 2x2 grey header; Middle goes between IHDR and the image data.
std::string GreyFile(const std::string& Middle, const std::string& Tail = "") {
    const TSampleImage Image = PatternImage(2, 2, 8, 0);
    std::string File = kPngSignatureBytes + PngHeader(2, 2, 8, 0) + Middle;
    File += PngChunk("IDAT", Deflate(FilteredRows(Image, 0, {0})));
    return File + (Tail.empty() ? PngChunk("IEND", "") : Tail);
}

struct TFailure {
    const char* What;
    std::string File;
    std::string Error;
};

TEST(PngDecoder, RefusesBrokenFilesWithTheirMessage) {
    const std::string Sig = kPngSignatureBytes;
    const std::string Grey = Deflate(std::string("\0\1\2\0\3\4", 6));
    const TFailure Cases[] = {
        {"bad signature", "\x89PNG\r\n\x1a\r" + PngHeader(2, 2, 8, 0), "Invalid PNG Signature"},
        {"short signature", "\x89PNG", "Invalid PNG Signature"},
        {"no chunk at all", Sig, "IHDR Chunk is missing"},
        {"palette first", Sig + PngChunk("PLTE", "abc") + PngHeader(2, 2, 8, 0),
         "IHDR Chunk is missing"},
        {"no IEND", GreyFile("", " "), "End of PNG found with no IEND chunk"},
        {"palette of 770 bytes", GreyFile(PngChunk("PLTE", std::string(770, 'p'))),
         "Invalid Palette Length"},
        {"short header", Sig + PngChunk("IHDR", std::string(12, '\1')), "IHDR chunk is short."},
        {"header cut by the end of the file", Sig + PngHeader(2, 2, 8, 0).substr(0, 18),
         "IHDR chunk is short."},
        {"depth 3", Sig + PngHeader(2, 2, 3, 0), "Unrecognized pixel depth of 3"},
        {"colour type 5",
         Sig + PngHeader(1, 1, 8, 5) + PngChunk("IDAT", Grey) + PngChunk("IEND", ""),
         "Unrecognized color type of 5"},
        {"RGB of depth 4",
         Sig + PngHeader(1, 1, 4, 2) + PngChunk("IDAT", Grey) + PngChunk("IEND", ""),
         "Unsupported Bit Depth of 4"},
        {"palette of depth 16",
         Sig + PngHeader(1, 1, 16, 3) + PngChunk("IDAT", Grey) + PngChunk("IEND", ""),
         "Unsupported Bit Depth of 16"},
        {"interlace 2",
         Sig + PngHeader(2, 2, 8, 0, 2) + PngChunk("IDAT", Grey) + PngChunk("IEND", ""),
         "Unrecognized Interlace Method"},
        {"short gAMA", GreyFile(PngChunk("gAMA", "abc")), "gAMA chunk is short."},
        {"short tIME", GreyFile(PngChunk("tIME", "abcdef")), "tIME chunk is short."},
        {"more data than the buffer takes", GreyFile(PngChunk("IDAT", std::string(1020, 'x'))),
         "PNG Buffer too small."},
        {"width 0", Sig + PngHeader(0, 2, 8, 0), "Image size of 0x2 pixels is not valid"},
        {"height 0", Sig + PngHeader(2, 0, 8, 0), "Image size of 2x0 pixels is not valid"},
        {"width 2^31", Sig + PngHeader(0x80000000u, 1, 8, 0),
         "Image size of 2147483648x1 pixels is not valid"},
        {"overflowing 32 bits", Sig + PngHeader(0x7FFFFFFF, 0x7FFFFFFF, 16, 6),
         "Image size of 2147483647x2147483647 pixels is too large"},
        {"beyond the pixel limit", Sig + PngHeader(10000, 10000, 1, 0),
         "Image size of 10000x10000 pixels is too large"},
        // What the bitmap it goes into could not hold is refused at the header, before any
        // image data is read or inflated.
        {"more pixels than a bitmap holds", Sig + PngHeader(6000, 6000, 1, 0),
         "Image size of 6000x6000 pixels is too large"},
        {"wider than a bitmap", Sig + PngHeader(40000, 1, 8, 0),
         "Image size of 40000x1 pixels is too large"},
        {"taller than a bitmap", Sig + PngHeader(1, 40000, 8, 0),
         "Image size of 1x40000 pixels is too large"},
        {"chunk length 2^31",
         Sig + PngHeader(2, 2, 8, 0) + PngChunkWithLength(0x80000000u, "tEXt", ""),
         "Chunk length of 2147483648 is too large"},
        {"filter type 5",
         Sig + PngHeader(2, 2, 8, 0) + PngChunk("IDAT", Deflate(std::string("\0\1\2\5\3\4", 6))) +
             PngChunk("IEND", ""),
         "Unrecognized filter type 5 on row 1"},
        {"too little image data",
         Sig + PngHeader(2, 2, 8, 0) + PngChunk("IDAT", Deflate(std::string("\0\1\2\0\3", 5))) +
             PngChunk("IEND", ""),
         "Image data ends after 5 of 6 bytes"},
        {"image data cut off",
         Sig + PngHeader(2, 2, 8, 0) + PngChunk("IDAT", Grey.substr(0, 2)) + PngChunk("IEND", ""),
         "Image data ends after 0 of 6 bytes"},
        {"not zlib data",
         Sig + PngHeader(2, 2, 8, 0) + PngChunk("IDAT", "not zlib") + PngChunk("IEND", ""),
         "Image data cannot be inflated: incorrect header check"},
    };
    for (const TFailure& Case : Cases) {
        TIpPNGDecoder Decoder;
        TPngPixelBuffer Out;
        EXPECT_EQ(DecodeBytes(Decoder, Out, Case.File), Case.Error) << Case.What;
        // The error is the log's last entry, after its mark.
        ASSERT_GE(Decoder.Log.Count(), 2) << Case.What;
        EXPECT_EQ(Decoder.Log[Decoder.Log.Count() - 2], "**** ERROR ****") << Case.What;
        EXPECT_EQ(Decoder.Log[Decoder.Log.Count() - 1], Case.Error) << Case.What;
    }
}

// The warnings of a file that still decodes.
std::vector<std::string> Warnings(const TIpPNGDecoder& Decoder) {
    std::vector<std::string> Found;
    for (int I = 0; I + 1 < Decoder.Log.Count(); ++I)
        if (Decoder.Log[I] == "**** WARNING ****") Found.push_back(Decoder.Log[I + 1]);
    return Found;
}

TEST(PngDecoder, WarnsAndGoesOn) {
    std::string BadCrc = PngChunk("tEXt", "a\0b");
    BadCrc.back() ^= 0x55;
    const struct {
        const char* What;
        std::string File;
        std::vector<std::string> Warnings;
    } Cases[] = {
        {"unknown chunk", GreyFile(PngChunk("abCd", "xyz")), {"Unrecognized Chunk Type: abCd"}},
        {"unprintable chunk type",
         GreyFile(PngChunk(std::string("a\0\xff"
                                       "d",
                                       4),
                           "")),
         {"Unrecognized Chunk Type: a??d"}},
        {"corrupt CRC", GreyFile(BadCrc), {}},
        {"a chunk named like the end",
         GreyFile(PngChunk("*EOF", "")),
         {"Unrecognized Chunk Type: *EOF"}},
        {"long header",
         kPngSignatureBytes + PngChunk("IHDR", PngHeader(2, 2, 8, 0).substr(8, 13) + "x") +
             GreyFile("").substr(8 + 25),
         {"IHDR chunk is long."}},
        {"long gAMA", GreyFile(PngChunk("gAMA", "abcde")), {"gAMA chunk is long"}},
        {"long tIME",
         GreyFile(PngChunk("tIME", std::string("\7\320\1\2\3\4\5\6", 8))),
         {"tIME chunk is long."}},
        {"tIME without a valid date",
         GreyFile(PngChunk("tIME", std::string("\7\320\15\1\0\0\0", 7))),
         {"tIME chunk holds no valid date."}},
        {"short grey tRNS", GreyFile(PngChunk("tRNS", "\1")), {"tRNS chunk is short."}},
        {"truncated IEND CRC",
         GreyFile("", PngChunk("IEND", "").substr(0, 10)),
         {"CRC Code is truncated"}},
        {"800 palette entries",
         GreyFile(PngChunk("PLTE", std::string(2400, 'p'))),
         {"Too many palette entries"}},
    };
    for (const auto& Case : Cases) {
        TIpPNGDecoder Decoder;
        TPngPixelBuffer Out;
        EXPECT_EQ(DecodeBytes(Decoder, Out, Case.File), "") << Case.What;
        EXPECT_EQ(Warnings(Decoder), Case.Warnings) << Case.What;
        EXPECT_EQ(Out.Width(), 2) << Case.What;
    }
}

TEST(PngDecoder, NamesEveryChunkItReadsPast) {
    const std::pair<const char*, const char*> Chunks[] = {
        {"cHRM", "Chroma"},
        {"sRGB", "Standard RGB Color Space"},
        {"iCCP", "ICC Profile"},
        {"zTXt", "Compressed Text"},
        {"iTXt", "International Text"},
        {"bKGD", "Background Color"},
        {"pHYs", "Physical Dimensions"},
        {"sBIT", "Significant Bits"},
        {"sPLT", "Suggested Palette"},
        {"hIST", "Histogram"},
    };
    for (const auto& [Type, Name] : Chunks) {
        TIpPNGDecoder Decoder;
        TPngPixelBuffer Out;
        EXPECT_EQ(DecodeBytes(Decoder, Out, GreyFile(PngChunk(Type, "some data"))), "");
        EXPECT_EQ(Warnings(Decoder),
                  (std::vector<std::string>{std::string("A ") + Name +
                                            " chunk was found in the PNG File. This feature is not "
                                            "supported in this version of the PNG decoder"}));
    }
}

TEST(PngDecoder, PaletteOfMoreThan256EntriesKeepsTheFirst256) {
    std::string Data;
    for (int I = 0; I < 800; ++I) Data += std::string{char(I), char(I >> 8), char(7)};
    const TSampleImage Image = PatternImage(16, 16, 8, 3);
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out, EncodePng(Image, 0, {0}, {PngChunk("PLTE", Data)})), "");
    EXPECT_EQ(Decoder.Palette()[255].Red, 255);
    EXPECT_EQ(Decoder.Palette()[255].Green, 0);
    EXPECT_EQ(Out.Pixel(0, 0), Pixel(Image.At(0, 0, 0), 0, 7));
}

TEST(PngDecoder, TransparencyNeedsAWhollyTransparentEntry) {
    // Entries 0..3 with colours; tRNS alphas per case.
    const struct {
        std::string Alphas;
        bool Transparent;
        uint32_t Color;
    } Cases[] = {
        {std::string("\xff\x80", 2), false, 0xFFFFFF},  // partial alpha only
        {std::string("\xff\0\0", 3), true, 0x07FE04},   // entry 1; entry 2 shows it too
        {std::string(300, '\xff'), false, 0xFFFFFF},    // longer than the palette
        {"", false, 0xFFFFFF},
    };
    for (const auto& Case : Cases) {
        TSampleImage Image = PatternImage(3, 1, 8, 3);
        for (uint32_t X = 0; X < 3; ++X) Image.At(X, 0, 0) = uint16_t(X);
        std::vector<uint32_t> Palette;
        TIpPNGDecoder Decoder;
        TPngPixelBuffer Out;
        ASSERT_EQ(DecodeBytes(Decoder, Out,
                              EncodePng(Image, 0, {0},
                                        {PaletteChunk(4, Palette), PngChunk("tRNS", Case.Alphas)})),
                  "");
        EXPECT_EQ(Decoder.Transparent, Case.Transparent) << Case.Alphas.size();
        EXPECT_EQ(Decoder.TransparentColor, Case.Color & 0xFFFFFF) << Case.Alphas.size();
        EXPECT_EQ(Out.Pixel(0, 0), Palette[0]);
        if (Case.Transparent) {
            EXPECT_EQ(Out.Pixel(2, 0), Palette[1]);
        }
    }
}

TEST(PngDecoder, GreyAndRgbTransparencyTakeTheLowBytes) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out, GreyFile(PngChunk("tRNS", std::string("\1\x42", 2)))), "");
    EXPECT_TRUE(Decoder.Transparent);
    EXPECT_EQ(Decoder.TransparentColor, 0x424242u);
    const TSampleImage Rgb = PatternImage(2, 2, 16, 2);
    ASSERT_EQ(DecodeBytes(
                  Decoder, Out,
                  EncodePng(Rgb, 0, {0}, {PngChunk("tRNS", std::string("\1\x11\2\x22\3\x33", 6))})),
              "");
    EXPECT_TRUE(Decoder.Transparent);
    EXPECT_EQ(Decoder.TransparentColor, 0x332211u);
    ASSERT_EQ(DecodeBytes(Decoder, Out,
                          EncodePng(Rgb, 0, {0}, {PngChunk("tRNS", std::string("\1\x11\2", 3))})),
              "");
    EXPECT_FALSE(Decoder.Transparent);
}

TEST(PngDecoder, GammaIsAppliedOnlyWhenAsked) {
    TSampleImage Image = PatternImage(4, 1, 8, 2);
    const std::string File = EncodePng(Image, 0, {0}, {PngChunk("gAMA", BigEndian32(50000))});
    for (const bool Correct : {false, true}) {
        TIpPNGDecoder Decoder;
        Decoder.CorrectGamma = Correct;
        TPngPixelBuffer Out;
        ASSERT_EQ(DecodeBytes(Decoder, Out, File), "");
        EXPECT_EQ(Decoder.Gamma(), 0.5);
        const std::vector<std::string> Lines = LogLines(Decoder.Log);
        EXPECT_NE(std::find(Lines.begin(), Lines.end(), "Gamma Correction: 0.50"), Lines.end());
        for (uint32_t X = 0; X < 4; ++X) {
            auto Corrected = [&](uint32_t C) {
                return Correct ? uint32_t(std::lround(255.0 * std::pow(C / 255.0, 2.0))) : C;
            };
            EXPECT_EQ(Out.Pixel(int(X), 0),
                      Pixel(Corrected(Image.At(X, 0, 0)), Corrected(Image.At(X, 0, 1)),
                            Corrected(Image.At(X, 0, 2))));
        }
    }
}

TEST(PngDecoder, TextChunksBecomeComments) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out,
                          GreyFile(PngChunk("tEXt", std::string("Title\0two\nlines", 15)) +
                                   PngChunk("tEXt", std::string("Empty\0", 6)))),
              "");
    EXPECT_EQ(LogLines(Decoder.Comments),
              (std::vector<std::string>{"Title", "two\r\nlines", "", "Empty", "", ""}));
}

TEST(PngDecoder, CommentsHoldOnlyTheTextTheFileHas) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    // A text chunk that claims 2 GiB and brings five bytes.
    EXPECT_EQ(DecodeBytes(Decoder, Out,
                          GreyFile("").substr(0, 8 + 25) + BigEndian32(0x7FFFFFFF) + "tEXt" +
                              std::string("ab\0cd", 5)),
              "End of PNG found with no IEND chunk");
    EXPECT_EQ(LogLines(Decoder.Comments), (std::vector<std::string>{"ab", "cd", ""}));
    // Text chunks beyond what a picture may keep are read past.
    std::string Many;
    for (int I = 0; I < 6000; ++I) Many += PngChunk("tEXt", std::string("k\0v", 3));
    EXPECT_EQ(DecodeBytes(Decoder, Out, GreyFile(Many)), "");
    EXPECT_EQ(Decoder.Comments.Count(), PngLimits::kMaxComments);
}

TEST(PngDecoder, TheLogStopsGrowingAtItsLimit) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    // A filter change on every one of 30,000 rows.
    ASSERT_EQ(DecodeBytes(Decoder, Out, EncodePng(PatternImage(1, 30000, 8, 0), 0, {0, 1})), "");
    EXPECT_EQ(Decoder.Log.Count(), PngLimits::kMaxLogLines);
    // A warning for each of 15,000 unknown chunks; the error that ends the load is still there.
    std::string Unknown;
    for (int I = 0; I < 15000; ++I) Unknown += PngChunk("abCd", "");
    EXPECT_EQ(DecodeBytes(Decoder, Out, GreyFile(Unknown, " ")),
              "End of PNG found with no IEND chunk");
    EXPECT_EQ(Decoder.Log.Count(), PngLimits::kMaxLogLines + 2);
    EXPECT_EQ(Decoder.Log[Decoder.Log.Count() - 1], "End of PNG found with no IEND chunk");
}

TEST(PngDecoder, TimeChunkGivesTheModificationDate) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(
        DecodeBytes(Decoder, Out, GreyFile(PngChunk("tIME", std::string("\7\320\1\2\14\0\0", 7)))),
        "");
    // 2 January 2000, 12:00 is day 36527.5 counted from 30 December 1899.
    EXPECT_DOUBLE_EQ(Decoder.ModificationDate, 36527.5);
    // A second load without the chunk forgets it.
    ASSERT_EQ(DecodeBytes(Decoder, Out, GreyFile("")), "");
    EXPECT_EQ(Decoder.ModificationDate, 0);
}

TEST(PngDecoder, ShowsWarningsOnlyWhenAsked) {
    for (const bool Show : {false, true}) {
        TIpPNGDecoder Decoder;
        Decoder.ShowWarnings = Show;
        std::vector<std::string> Shown;
        Decoder.OnShowWarning = [&](const std::string& Message) { Shown.push_back(Message); };
        TPngPixelBuffer Out;
        ASSERT_EQ(DecodeBytes(Decoder, Out, GreyFile(PngChunk("abCd", ""))), "");
        EXPECT_EQ(Shown, Show ? std::vector<std::string>{"Unrecognized Chunk Type: abCd"}
                              : std::vector<std::string>{});
    }
}

TEST(PngDecoder, ABadFilterLeavesTheRowsBeforeItPlaced) {
    const TSampleImage Image = PatternImage(5, 4, 8, 2);
    std::string Raw = FilteredRows(Image, 0, {0});
    Raw[2 * (5 * 3 + 1)] = 9;  // row 2's filter byte
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    EXPECT_EQ(DecodeBytes(Decoder, Out,
                          kPngSignatureBytes + PngHeader(5, 4, 8, 2) +
                              PngChunk("IDAT", Deflate(Raw)) + PngChunk("IEND", "")),
              "Unrecognized filter type 9 on row 2");
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 5; ++X) EXPECT_EQ(Out.Pixel(X, Y), ExpectedPixel(Image, X, Y));
    EXPECT_EQ(Out.Pixel(0, 2), Pixel(0, 0, 0));
}

TEST(PngDecoder, ATruncatedChunkReadsAsZeros) {
    // A text chunk of 0xFF bytes first, so stale bytes would show; then a palette that the end
    // of the file cuts after one entry.
    const std::string File = kPngSignatureBytes + PngHeader(2, 2, 8, 3) +
                             PngChunk("tEXt", std::string(768, '\xff')) +
                             PngChunk("PLTE", std::string(768, '\x10')).substr(0, 8 + 3);
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    EXPECT_EQ(DecodeBytes(Decoder, Out, File), "End of PNG found with no IEND chunk");
    EXPECT_EQ(Warnings(Decoder),
              (std::vector<std::string>{"Chunk data is truncated", "CRC Code is truncated"}));
    EXPECT_EQ(Decoder.Palette()[0].Red, 0x10);
    EXPECT_EQ(Decoder.Palette()[1].Red, 0);
    EXPECT_EQ(Decoder.Palette()[255].Blue, 0);
}

// Memory stays bounded by what the file holds, not by what it claims.
TEST(PngDecoder, AHugeChunkLengthAllocatesOnlyWhatArrives) {
    const std::string File = GreyFile("").substr(0, 8 + 25) +
                             PngChunkWithLength(0x7FFFFFFF, "zzZz", std::string(100000, 'z'));
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    EXPECT_EQ(DecodeBytes(Decoder, Out, File), "End of PNG found with no IEND chunk");
    EXPECT_LT(Decoder.PeakBufferBytes(), size_t(1) << 20);
    // The same for image data that promises more than it brings.
    const std::string Idat = kPngSignatureBytes + PngHeader(4000, 4000, 16, 6) +
                             PngChunkWithLength(100000000, "IDAT", std::string(1000, 'x'));
    EXPECT_EQ(DecodeBytes(Decoder, Out, Idat), "End of PNG found with no IEND chunk");
    EXPECT_LT(Decoder.PeakBufferBytes(), size_t(1) << 20);
}

TEST(PngDecoder, AZlibBombInflatesOnlyTheImage) {
    // 64 MiB of zeros compressed to about 64 KiB.
    z_stream Z{};
    deflateInit(&Z, 9);
    std::string Compressed(size_t(1) << 20, '\0');
    const std::string Zeros(size_t(1) << 20, '\0');
    Z.next_out = reinterpret_cast<Bytef*>(Compressed.data());
    Z.avail_out = uInt(Compressed.size());
    for (int I = 0; I < 64; ++I) {
        Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Zeros.data()));
        Z.avail_in = uInt(Zeros.size());
        deflate(&Z, I == 63 ? Z_FINISH : Z_NO_FLUSH);
    }
    Compressed.resize(Compressed.size() - Z.avail_out);
    deflateEnd(&Z);
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    const std::string Tail = PngChunk("IDAT", Compressed) + PngChunk("IEND", "");
    // The buffer for compressed data of a 1x1 image is small: a bomb that size is refused.
    EXPECT_EQ(DecodeBytes(Decoder, Out, kPngSignatureBytes + PngHeader(1, 1, 8, 0) + Tail),
              "PNG Buffer too small.");
    // Behind a header that takes that much data, only the image's rows are inflated.
    ASSERT_EQ(DecodeBytes(Decoder, Out, kPngSignatureBytes + PngHeader(512, 256, 8, 0) + Tail), "");
    EXPECT_EQ(Decoder.Log[Decoder.Log.Count() - 1], "Memory required for image: 131328 bytes");
    EXPECT_LT(Decoder.PeakBufferBytes(), size_t(1) << 20);
    EXPECT_EQ(Out.Pixel(511, 255), Pixel(0, 0, 0));
}

TEST(PngDecoder, EveryLoadStartsAfresh) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Out;
    ASSERT_EQ(DecodeBytes(Decoder, Out,
                          GreyFile(PngChunk("tEXt", std::string("a\0b", 3)) +
                                   PngChunk("tRNS", std::string("\0\1", 2)))),
              "");
    ASSERT_TRUE(Decoder.Transparent);
    ASSERT_EQ(DecodeBytes(Decoder, Out, GreyFile("")), "");
    EXPECT_FALSE(Decoder.Transparent);
    EXPECT_EQ(Decoder.TransparentColor, 0xFFFFFFu);
    EXPECT_EQ(Decoder.Comments.Count(), 0);
    EXPECT_EQ(Decoder.Log[0], "PNG Chunk: IHDR  Length: 13");
    // The image buffers are given back after each load.
    EXPECT_LT(Decoder.BufferBytes(), size_t(4096));
}

}  // namespace
