// Decoding a 4000 x 3000 RGB PNG: our decoder (into a plain pixel buffer, and through the
// picture class into its bitmap, as a picture of a message is loaded) side by side with Qt's own
// PNG reader (QImage::loadFromData, libpng underneath) in the same run.
//
//   build/<dir>/bench/png/bench_png
//
// The file is written once by Qt's PNG writer (libpng, its default compression and adaptive
// filters) from a picture of smooth gradients with a little noise, as a photograph would be.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <string>

#include "htmlview/png/IpPNGImg.h"
#include "htmlview/png/PngDecoder.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const std::string& TestFile() {
    static const std::string File = [] {
        QImage Image(kWidth, kHeight, QImage::Format_RGB888);
        uint32_t Noise = 12345;
        for (int Y = 0; Y < kHeight; ++Y) {
            uchar* Row = Image.scanLine(Y);
            for (int X = 0; X < kWidth; ++X) {
                Noise = Noise * 1103515245u + 12345u;
                const int N = int(Noise >> 28) - 8;
                Row[3 * X] = uchar(std::clamp(X * 255 / kWidth + N, 0, 255));
                Row[3 * X + 1] = uchar(std::clamp(Y * 255 / kHeight + N, 0, 255));
                Row[3 * X + 2] = uchar(std::clamp((X + Y) * 255 / (kWidth + kHeight) - N, 0, 255));
            }
        }
        QByteArray Bytes;
        QBuffer Buffer(&Bytes);
        Buffer.open(QIODevice::WriteOnly);
        Image.save(&Buffer, "PNG");
        return std::string(Bytes.constData(), size_t(Bytes.size()));
    }();
    return File;
}

void BM_KestroDecoder(benchmark::State& State) {
    const std::string& File = TestFile();
    TIpPNGDecoder Decoder;
    TPngPixelBuffer Pixels;
    for (auto _ : State) {
        TStringStream Stream(File);
        Decoder.Decode(Stream, Pixels);
        benchmark::DoNotOptimize(Pixels.Pixel(kWidth - 1, kHeight - 1));
    }
    State.counters["MB/s"] =
        benchmark::Counter(double(kWidth) * kHeight * 3 * State.iterations(),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_KestroDecoder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KestroPicture(benchmark::State& State) {
    const std::string& File = TestFile();
    TIpPNGImage Image;
    for (auto _ : State) {
        TStringStream Stream(File);
        Image.LoadFromStream(Stream);
        benchmark::DoNotOptimize(Image.Bitmap().ScanLine(kHeight - 1));
    }
    State.counters["MB/s"] =
        benchmark::Counter(double(kWidth) * kHeight * 3 * State.iterations(),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_KestroPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QtReader(benchmark::State& State) {
    const std::string& File = TestFile();
    const QByteArray Bytes = QByteArray::fromRawData(File.data(), qsizetype(File.size()));
    for (auto _ : State) {
        QImage Image;
        Image.loadFromData(Bytes, "PNG");
        benchmark::DoNotOptimize(Image.pixel(kWidth - 1, kHeight - 1));
    }
    State.counters["MB/s"] =
        benchmark::Counter(double(kWidth) * kHeight * 3 * State.iterations(),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_QtReader)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
