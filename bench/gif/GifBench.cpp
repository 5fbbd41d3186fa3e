// Reading an animated GIF of 400 x 300 with 24 frames, as newsletters send them: a full first
// frame, then frames of a quarter of the picture moving over it, 256 colours, one transparent.
//
//   build/<dir>/bench/gif/bench_gif
//
// BM_Libgif decodes the frames as the file stores them (DecodeGif, libgif underneath);
// BM_GifImage loads the animated graphic and puts every frame together, as the viewer shows
// them; BM_QtReader reads every frame with Qt's GIF reader (which puts them together itself).
// The file is written once by libgif's encoder from smooth gradients with a little noise.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImageReader>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/anim/IpGifImage.h"
#include "platform/gdi/Gif.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kFrames = 24;

int Append(GifFileType* File, const GifByteType* Data, int Size) {
    auto* Out = static_cast<std::vector<uint8_t>*>(File->UserData);
    Out->insert(Out->end(), Data, Data + Size);
    return Size;
}

void PutFrame(GifFileType* File, int Left, int Top, int W, int H, int Shift, uint32_t& Noise) {
    GraphicsControlBlock Control{DISPOSE_DO_NOT, false, 8, 255};
    GifByteType Extension[4];
    EGifGCBToExtension(&Control, Extension);
    EGifPutExtension(File, GRAPHICS_EXT_FUNC_CODE, 4, Extension);
    EGifPutImageDesc(File, Left, Top, W, H, false, nullptr);
    std::vector<GifPixelType> Row(static_cast<size_t>(W));
    for (int Y = 0; Y < H; ++Y) {
        for (int X = 0; X < W; ++X) {
            Noise = Noise * 1103515245u + 12345u;
            Row[size_t(X)] = GifPixelType((X + Y + Shift + int(Noise >> 29)) % 255);
        }
        EGifPutLine(File, Row.data(), W);
    }
}

const std::vector<uint8_t>& TestFile() {
    static const std::vector<uint8_t> File = [] {
        std::vector<uint8_t> Out;
        int Error = 0;
        GifFileType* Gif = EGifOpen(&Out, Append, &Error);
        std::vector<GifColorType> Colors(256);
        for (int I = 0; I < 256; ++I)
            Colors[size_t(I)] = {GifByteType(I), GifByteType(255 - I), GifByteType(I / 2)};
        ColorMapObject* Map = GifMakeMapObject(256, Colors.data());
        EGifSetGifVersion(Gif, true);
        EGifPutScreenDesc(Gif, kWidth, kHeight, 8, 0, Map);
        uint32_t Noise = 12345;
        PutFrame(Gif, 0, 0, kWidth, kHeight, 0, Noise);
        for (int I = 1; I < kFrames; ++I)
            PutFrame(Gif, I * 8, I * 6, kWidth / 2, kHeight / 2, I * 3, Noise);
        EGifCloseFile(Gif, &Error);
        GifFreeMapObject(Map);
        return Out;
    }();
    return File;
}

void BM_Libgif(benchmark::State& State) {
    const std::vector<uint8_t>& File = TestFile();
    for (auto _ : State) {
        TGifPicture Picture = DecodeGif(File);
        if (Picture.Frames.size() != size_t(kFrames)) State.SkipWithError("frames lost");
        benchmark::DoNotOptimize(Picture);
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(File.size()));
}
BENCHMARK(BM_Libgif)->Unit(benchmark::kMillisecond);

void BM_GifImage(benchmark::State& State) {
    const std::vector<uint8_t>& File = TestFile();
    for (auto _ : State) {
        TMemoryStream Stream;
        Stream.WriteBuffer(File.data(), int64_t(File.size()));
        Stream.SetPosition(0);
        TIpGifImage Gif;
        Gif.LoadFromStream(Stream);
        for (int I = 1; I < Gif.FrameCount(); ++I) Gif.ShowFrame(I);
        benchmark::DoNotOptimize(Gif.Bitmap().Image());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(File.size()));
}
BENCHMARK(BM_GifImage)->Unit(benchmark::kMillisecond);

void BM_QtReader(benchmark::State& State) {
    const std::vector<uint8_t>& File = TestFile();
    QByteArray Bytes(reinterpret_cast<const char*>(File.data()), qsizetype(File.size()));
    for (auto _ : State) {
        QBuffer Buffer(&Bytes);
        Buffer.open(QIODevice::ReadOnly);
        QImageReader Reader(&Buffer, "gif");
        int Frames = 0;
        for (QImage Image; Reader.read(&Image);) ++Frames;
        if (Frames != kFrames) State.SkipWithError("frames lost");
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(File.size()));
}
BENCHMARK(BM_QtReader)->Unit(benchmark::kMillisecond);

}  // namespace
