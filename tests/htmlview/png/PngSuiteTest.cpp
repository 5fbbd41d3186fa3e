// The PngSuite images (tests/htmlview/png/pngsuite) against the pixel dumps that come with them,
// and the damaged files that come with the suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/htmlview/png/PngTestSupport.h"

namespace {

const std::string kSuite = KESTRO_SOURCE_DIR "/tests/htmlview/png/pngsuite/";

std::string ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

// What a pixel dump says: the image as samples, and the palette as pixels with wholly
// transparent entries shown in the first such entry's colour.
struct TDump {
    TSampleImage Image;
    std::vector<uint32_t> Palette;
};

std::vector<uint8_t> HexBytes(const std::string& Line) {
    std::string Digits;
    for (const char C : Line)
        if (std::isxdigit(static_cast<unsigned char>(C))) Digits += C;
    std::vector<uint8_t> Bytes;
    for (size_t I = 0; I + 1 < Digits.size(); I += 2)
        Bytes.push_back(uint8_t(std::stoi(Digits.substr(I, 2), nullptr, 16)));
    return Bytes;
}

// Unpacks one row of the dump into the image's samples.
void ReadRow(TSampleImage& Image, uint32_t Y, const std::vector<uint8_t>& Bytes) {
    const uint32_t Channels = TSampleImage::Channels(Image.ColorType);
    for (uint32_t X = 0; X < Image.Width; ++X)
        for (uint32_t C = 0; C < Channels; ++C) {
            const size_t Index = size_t(X) * Channels + C;
            uint16_t Value = 0;
            if (Image.Depth == 16) {
                Value = uint16_t(Bytes.at(2 * Index) << 8 | Bytes.at(2 * Index + 1));
            } else if (Image.Depth == 8) {
                Value = Bytes.at(Index);
            } else {
                const size_t Bit = Index * Image.Depth;
                Value = uint16_t((Bytes.at(Bit / 8) >> (8 - Image.Depth - Bit % 8)) &
                                 ((1u << Image.Depth) - 1));
            }
            Image.At(X, Y, C) = Value;
        }
}

TDump ReadDump(const std::string& Path) {
    std::ifstream In(Path);
    TDump Dump;
    TSampleImage& Image = Dump.Image;
    std::vector<uint8_t> Alphas;
    std::string Line, Section;
    uint32_t Row = 0;
    Dump.Palette.assign(256, Pixel(0, 0, 0));
    int Entries = 0;
    while (std::getline(In, Line)) {
        if (Line.find('{') != std::string::npos && Line[0] != ' ') {
            Section = Line.substr(0, Line.find(' '));
            if (Section == "tRNS" && Line.find('}') != std::string::npos) {
                std::istringstream Numbers(Line.substr(Line.find('{') + 1));
                for (int V; Numbers >> V;) Alphas.push_back(uint8_t(V));
            }
            continue;
        }
        if (Section == "IHDR") {
            unsigned W = 0, H = 0, D = 0;
            if (std::sscanf(Line.c_str(), " width: %u; height: %u; bitdepth: %u;", &W, &H, &D) ==
                3) {
                Image.Width = W;
                Image.Height = H;
                Image.Depth = uint8_t(D);
            }
            if (Line.find("using") != std::string::npos) {
                const bool Color = Line.find("color") != std::string::npos;
                if (Line.find("palette") != std::string::npos)
                    Image.ColorType = 3;
                else if (Line.find("alpha") != std::string::npos)
                    Image.ColorType = Color ? 6 : 4;
                else
                    Image.ColorType = Color ? 2 : 0;
            }
        } else if (Section == "PLTE") {
            unsigned R, G, B;
            if (std::sscanf(Line.c_str(), " (%u,%u,%u)", &R, &G, &B) == 3)
                Dump.Palette[size_t(Entries++)] = Pixel(R, G, B);
        } else if (Section == "tRNS") {
            std::istringstream Numbers(Line);
            for (int V; Numbers >> V;) Alphas.push_back(uint8_t(V));
        } else if (Section == "IMAGE" && Line.find("pixels") == std::string::npos &&
                   Line.find('}') == std::string::npos) {
            if (Row == 0)
                Image.Samples.assign(
                    size_t(Image.Width) * Image.Height * TSampleImage::Channels(Image.ColorType),
                    0);
            ReadRow(Image, Row++, HexBytes(Line));
        }
    }
    EXPECT_EQ(Row, Image.Height) << Path;
    if (Image.ColorType == 3) {
        const auto First = std::find(Alphas.begin(), Alphas.end(), 0);
        for (size_t I = 0; I < Alphas.size(); ++I)
            if (Alphas[I] == 0) Dump.Palette[I] = Dump.Palette[size_t(First - Alphas.begin())];
    }
    return Dump;
}

TEST(PngSuite, EveryImageMatchesItsPixelDump) {
    int Checked = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(kSuite)) {
        if (Entry.path().extension() != ".sng") continue;
        const std::string Name = Entry.path().stem().string();
        const TDump Dump = ReadDump(Entry.path().string());
        TIpPNGDecoder Decoder;
        TPngPixelBuffer Out;
        ASSERT_EQ(DecodeBytes(Decoder, Out, ReadBytes(kSuite + Name + ".png")), "") << Name;
        ASSERT_EQ(Out.Width(), int(Dump.Image.Width)) << Name;
        ASSERT_EQ(Out.Height(), int(Dump.Image.Height)) << Name;
        for (uint32_t Y = 0; Y < Dump.Image.Height; ++Y)
            for (uint32_t X = 0; X < Dump.Image.Width; ++X)
                ASSERT_EQ(Out.Pixel(int(X), int(Y)), ExpectedPixel(Dump.Image, X, Y, Dump.Palette))
                    << Name << " at " << X << "," << Y;
        ++Checked;
    }
    EXPECT_EQ(Checked, 35);
}

TEST(PngSuite, InterlacedAndPlainGradientsAgree) {
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Plain, Interlaced;
    ASSERT_EQ(DecodeBytes(Decoder, Plain, ReadBytes(kSuite + "gray-gradient.png")), "");
    ASSERT_EQ(DecodeBytes(Decoder, Interlaced, ReadBytes(kSuite + "gray-gradient.interlaced.png")),
              "");
    ASSERT_EQ(Interlaced.Height(), 16);
    for (int Y = 0; Y < 16; ++Y) {
        EXPECT_EQ(Interlaced.Pixel(0, Y), Pixel(Y * 17, Y * 17, Y * 17)) << Y;
        EXPECT_EQ(Plain.Pixel(0, Y), Interlaced.Pixel(0, Y)) << Y;
    }
    EXPECT_EQ(LogLines(Decoder.Comments),
              (std::vector<std::string>{"date:create", "2015-07-12T20:47:46+10:00", "",
                                        "date:modify", "2015-07-12T20:47:15+10:00", ""}));
}

TEST(PngSuite, DamagedFilesBehaveAsTheyShould) {
    const struct {
        const char* File;
        std::string Error;
        std::vector<std::string> Warnings;
    } Cases[] = {
        {"invalid-crc32.png", "", {}},  // CRCs are not checked
        {"invalid-noend.png", "End of PNG found with no IEND chunk", {}},
        {"invalid-palette.png", "", {}},  // an index past the palette shows black
        {"invalid-trunc.png", "", {"CRC Code is truncated"}},
        {"invalid-zlib.png", "Image data cannot be inflated: incorrect data check", {}},
    };
    TIpPNGDecoder Good;
    TPngPixelBuffer GoodPixels;
    ASSERT_EQ(DecodeBytes(Good, GoodPixels, ReadBytes(kSuite + "invalid-crc32.png")), "");
    for (const auto& Case : Cases) {
        TIpPNGDecoder Decoder;
        TPngPixelBuffer Out;
        EXPECT_EQ(DecodeBytes(Decoder, Out, ReadBytes(kSuite + Case.File)), Case.Error)
            << Case.File;
        std::vector<std::string> Warnings;
        for (int I = 0; I + 1 < Decoder.Log.Count(); ++I)
            if (Decoder.Log[I] == "**** WARNING ****") Warnings.push_back(Decoder.Log[I + 1]);
        EXPECT_EQ(Warnings, Case.Warnings) << Case.File;
        if (std::string(Case.File) == "invalid-trunc.png") {
            for (int Y = 0; Y < 232; Y += 7)
                for (int X = 0; X < 232; X += 5)
                    ASSERT_EQ(Out.Pixel(X, Y), GoodPixels.Pixel(X, Y)) << X << "," << Y;
        }
    }
}

}  // namespace
