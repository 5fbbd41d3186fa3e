// Feeds arbitrary markup to the mini-HTML renderer: measured, then painted with hit testing on
// an offscreen bitmap, with an image list and a picture container to name. The first byte picks
// the options and the rectangle. Every input must lay out in bounded time without touching
// memory outside what it owns.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
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
    THTMLDrawResult Result;
    Options.CheckOnly = true;
    HTMLDrawEx(Canvas, Text, R, Options, Result);
    Options.CheckOnly = false;
    HTMLDrawEx(Canvas, Text, R, Options, Result);
    return 0;
}
