// Feeds arbitrary bytes to the picture registry as a GIF file (".GIF": the registry picks the
// class by the extension, whatever its case). A file either loads or raises a graphics error
// that leaves the picture as it was; one that loads must be a TIpGifImage of a size within the
// painting layer's limits, with its frames within theirs, save back exactly the bytes it was
// read from, and show every frame at its own size; a frame reached by stepping through the
// animation looks exactly as the same frame put together from the start. Each frame's place,
// disposal and transparency are what the file's blocks say, and each frame stepped to shows what
// a model of the format's own (GifModel.h, which reads neither through libgif nor the picture
// class) puts together from the decoded frames.
#include <unistd.h>

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/gif/GifModel.h"
#include "fuzz/support/PictureFuzz.h"
#include "htmlview/anim/IpGifImage.h"
#include "platform/core/Application.h"
#include "platform/gdi/Limits.h"

namespace {

using Fuzz::Fail;

QRgb RgbOf(TColor Color) {
    const COLORREF C = ColorToRGB(Color);
    return qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
}

// The decoded frames against the model's reading of the file, and the first Steps frames as
// stepped to against the model's putting together (on screens small enough to compare often).
void CheckAgainstModel(TIpGifImage& Gif, const uint8_t* Data, size_t Size, int Steps) {
    std::vector<GifModel::TFrame> Frames = GifModel::Frames(Data, Size);
    if (Frames.size() < size_t(Gif.FrameCount())) Fail("frames the file's blocks do not have");
    Frames.resize(size_t(Steps));
    for (int I = 0; I < Steps; ++I) {
        const TIpAnimationFrame& Frame = *Gif.Frames().Items(I);
        const QRect Place(Frame.Left, Frame.Top, Frame.Bitmap().Width(), Frame.Bitmap().Height());
        if (Place != Frames[size_t(I)].Place) Fail("a frame not at the place the file gives");
        if (Frame.DisposalMethod != Frames[size_t(I)].Disposal)
            Fail("a frame's disposal is not the file's");
        if ((Frame.Transparent != 0) != Frames[size_t(I)].Transparent)
            Fail("a frame's transparency is not the file's");
    }
    if (int64_t(Gif.Width()) * Gif.Height() > 1 << 20) return;
    GifModel::Compose(
        Frames, QSize(Gif.Width(), Gif.Height()), RgbOf(Gif.BackgroundColor),
        [&](size_t I) { return Gif.Frames().Items(int(I))->Bitmap().Image(); },
        [&](size_t I) { return RgbOf(Gif.Frames().Items(int(I))->TransparentColor); },
        [&](size_t I, const QImage& Expected) {
            Gif.ShowFrame(int(I));
            if (Gif.Bitmap().Image() != Expected)
                Fail("a frame stepped to shows other pixels than the format puts together");
        });
}

void Check(TPicture& Picture, const uint8_t* Data, size_t Size) {
    auto* Gif = dynamic_cast<TIpGifImage*>(Picture.Graphic());
    if (!Gif) Fail("a .GIF file loaded as another class");
    const int64_t W = Gif->Width(), H = Gif->Height();
    if (W < 1 || H < 1 || W > GdiLimits::kMaxBitmapSide || H > GdiLimits::kMaxBitmapSide ||
        W * H > GdiLimits::kMaxBitmapPixels)
        Fail("a picture outside the painting layer's limits");
    const int Count = Gif->FrameCount();
    if (Count < 1 || Count > GdiLimits::kMaxGifFrames || Count != Gif->Frames().Count())
        Fail("a frame count outside the limits or not the list's");
    int64_t Pixels = 0;
    for (int I = 0; I < Count; ++I) {
        const TBitmap& Frame = Gif->Frames().Items(I)->Bitmap();
        Pixels += int64_t(Frame.Width()) * Frame.Height();
    }
    if (Pixels > GdiLimits::kMaxGifPixels) Fail("frames of more pixels than the limit");
    TMemoryStream Saved;
    Gif->SaveToStream(Saved);
    if (size_t(Saved.Size()) != Size || std::memcmp(Saved.Memory(), Data, Size) != 0)
        Fail("the picture saves other bytes than it read");
    // Bounded so that a file of thousands of frames does not take the run's time.
    const int Steps = std::min(Count, 64);
    CheckAgainstModel(*Gif, Data, Size, Steps);
    for (int I = 0; I < Steps; ++I) {
        Gif->ShowFrame(I);
        if (Gif->Bitmap().Width() != W || Gif->Bitmap().Height() != H)
            Fail("a frame shown at another size than the picture's");
    }
    const QImage Stepped = Gif->Bitmap().Image();
    Gif->ShowFrame(0);
    Gif->ShowFrame(Steps - 1);
    if (Steps > 2 && Gif->Bitmap().Image() != Stepped)
        Fail("a frame put together from the start differs from the same frame stepped to");
    TBitmap Paper(16, 16, pf32bit);
    Paper.Canvas().StretchDraw(Rect(0, 0, 16, 16), *Gif);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    return PictureFuzz::Initialize(Argc, Argv, "gif", ".GIF");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    return PictureFuzz::Load(Data, Size, Check);
}
