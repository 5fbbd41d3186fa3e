// Feeds arbitrary markup to the mini-HTML renderer: measured, then painted with hit testing on
// an offscreen bitmap, with an image list and a picture container to name. The first byte picks
// the options and the rectangle. Every input must lay out in bounded time without touching
// memory outside what it owns; measuring alone paints nothing and finds what painting finds (the
// size, the plain text, the links), and text without markup is its own plain text.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "components/htmlhint/HtmlDraw.h"
#include "components/htmlhint/HtmlPicture.h"
#include "platform/core/Application.h"

namespace {

struct TWorld {
    TWorld() {
        QImage Green(6, 4, QImage::Format_RGB32);
        Green.fill(qRgb(0, 255, 0));
        TBitmap B;
        B.SetImage(Green.scaled(16, 16));
        Images.Add(B, nullptr);
        // A 2 x 2 GIF of one red frame.
        static const uint8_t Gif[] = {'G', 'I', 'F', '8', '9', 'a',  2,    0,    2,    0,    0x80,
                                      0,   0,   255, 0,   0,   0,    0,    0,    0x21, 0xF9, 0x04,
                                      0,   0,   0,   0,   0,   0x2C, 0,    0,    0,    0,    2,
                                      0,   2,   0,   0,   2,   2,    0x44, 0x01, 0,    0x3B};
        TPictureItem* Item = Pictures.Add();
        Item->SetName("P");
        Item->Picture().LoadFromBytes(Gif);
    }
    TCustomImageList Images{16, 16};
    TPictureContainer Pictures{nullptr};
};

[[noreturn]] void Fail(const char* What, const std::string& Text) {
    std::fprintf(stderr, "%s: \"%s\"\n", What, Text.c_str());
    std::abort();
}

constexpr QRgb kPaper = 0xFF123456u;

bool Untouched(TBitmap& Paper) {
    const QImage Image = Paper.Image();
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) != kPaper) return false;
    return true;
}

// Printable text with nothing a tag or an entity could start.
bool WithoutMarkup(const std::string& Text) {
    for (char C : Text)
        if (C < 0x20 || C > 0x7E || C == '<' || C == '&' || C == '>') return false;
    return true;
}

}  // namespace

// Fonts and pictures need the GUI application object.
extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    static TWorld World;
    const uint8_t Flags = Data[0];
    const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    TBitmap Paper(160, 90, pf32bit);
    TCanvas& Canvas = Paper.Canvas();
    Canvas.Font().SetName("Tahoma");
    THTMLDrawOptions Options;
    Options.Images = &World.Images;
    Options.Pictures = &World.Pictures;
    Options.WordWrap = Flags & 1;
    Options.Ellipsis = Flags & 2;
    Options.Blink = Flags & 4;
    Options.NoColorChange = Flags & 8;
    Options.HoverColor = (Flags & 16) ? clYellow : clNone;
    Options.FocusLink = Flags >> 6;
    Options.ShadowOffset = Flags % 3;
    Options.Mouse = Point(Flags % 150, Flags / 3);
    const TRect R = Rect(2, 3, 20 + Flags % 140, 85);
    QImage Blank(160, 90, QImage::Format_RGB32);
    Blank.fill(kPaper);
    Paper.SetImage(Blank);
    THTMLDrawResult Measured;
    Options.CheckOnly = true;
    HTMLDrawEx(Canvas, Text, R, Options, Measured);
    if (!Untouched(Paper)) Fail("measuring painted", Text);
    THTMLDrawResult Painted;
    Options.CheckOnly = false;
    HTMLDrawEx(Canvas, Text, R, Options, Painted);
    // Painting stops at the first line below the rectangle; text that fits is painted whole.
    if (Measured.Height <= R.Height()) {
        if (Measured.Width != Painted.Width || Measured.Height != Painted.Height)
            Fail("measuring and painting found other sizes", Text);
        if (Measured.PlainText != Painted.PlainText || Measured.LinkCount != Painted.LinkCount)
            Fail("measuring and painting found other text", Text);
    }
    if (WithoutMarkup(Text) && Measured.PlainText != Text)
        Fail("text without markup is not its own plain text", Painted.PlainText);
    return 0;
}
