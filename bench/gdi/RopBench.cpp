// Raster operations on 400 x 400 pixels, through the specialised loops and through the generic
// evaluator: bench_gdi --benchmark_filter=Rop. A 2 x 2 picture stretched to a square of the
// given side over the 400 x 400 bitmap (a page's <img> with huge size attributes):
// bench_gdi --benchmark_filter=Stretch; the work and memory go with what shows, not the side.
#include <benchmark/benchmark.h>

#include "platform/gdi/Gdi.h"

namespace {

constexpr int kSide = 400;

struct TBench {
    HDC Dest, Src, Mono;
    HBITMAP DestBits, SrcBits, MonoBits, PatternBits;
    HBRUSH Pattern, Solid;
    TBench() {
        Dest = CreateCompatibleDC(0);
        Src = CreateCompatibleDC(0);
        Mono = CreateCompatibleDC(0);
        DestBits = CreateBitmap(kSide, kSide, 1, 32, nullptr);
        SrcBits = CreateBitmap(kSide, kSide, 1, 32, nullptr);
        MonoBits = CreateBitmap(kSide, kSide, 1, 1, nullptr);
        PatternBits = CreateBitmap(8, 8, 1, 32, nullptr);
        for (int Y = 0; Y < kSide; ++Y)
            for (int X = 0; X < kSide; ++X) {
                BitmapImage(SrcBits)->setPixel(X, Y, 0xFF000000u | uint32_t(X * 7919 + Y * 104729));
                BitmapImage(MonoBits)->setPixel(X, Y, (X ^ Y) & 4 ? 0xFFFFFFFFu : 0xFF000000u);
            }
        for (int I = 0; I < 64; ++I)
            BitmapImage(PatternBits)->setPixel(I % 8, I / 8, (I % 2) ? 0xFFC0C0C0u : 0xFFFFFFFFu);
        Pattern = CreatePatternBrush(PatternBits);
        Solid = CreateSolidBrush(RGB(192, 192, 192));
        SelectObject(Dest, DestBits);
        SelectObject(Src, SrcBits);
        SelectObject(Mono, MonoBits);
        SelectObject(Dest, Pattern);
        SetTextColor(Dest, RGB(255, 255, 255));
        SetBkColor(Dest, RGB(0, 0, 0));
    }
};

TBench& Bench() {
    static TBench B;
    return B;
}

// SolidBrush: a one-colour brush instead of the 8 x 8 pattern (what FillRect mostly paints with).
void Rop(benchmark::State& State, DWORD Code, bool MonoSource, bool SolidBrush = false) {
    TBench& B = Bench();
    SetGenericRasterOps(State.range(0) != 0);
    SelectObject(B.Dest, SolidBrush ? B.Solid : B.Pattern);
    for (auto _ : State) {
        BitBlt(B.Dest, 0, 0, kSide, kSide, MonoSource ? B.Mono : B.Src, 0, 0, Code);
        benchmark::DoNotOptimize(BitmapImage(B.DestBits)->constBits());
    }
    SetGenericRasterOps(false);
    SelectObject(B.Dest, B.Pattern);
    State.SetLabel(State.range(0) ? "generic" : "specialised");
}

void StretchFarBeyond(benchmark::State& State) {
    TBench& B = Bench();
    const int Side = int(State.range(0));
    for (auto _ : State) {
        StretchBlt(B.Dest, 0, 0, Side, Side, B.Src, 0, 0, 2, 2, SRCCOPY);
        benchmark::DoNotOptimize(BitmapImage(B.DestBits)->constBits());
    }
}

}  // namespace

BENCHMARK(StretchFarBeyond)->Arg(400)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rop, SRCCOPY, SRCCOPY, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, SRCINVERT, SRCINVERT, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, SRCAND, SRCAND, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, SRCPAINT, SRCPAINT, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, DSTINVERT, DSTINVERT, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, PATCOPY, PATCOPY, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, PATCOPY_solid, PATCOPY, false, true)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, PATINVERT, PATINVERT, false)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, DSPDxax_mono_source, DSPDxax, true)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, SRCCOPY_mono_to_colour, SRCCOPY, true)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(Rop, MERGEPAINT, MERGEPAINT, false)->Arg(0)->Arg(1);

BENCHMARK_MAIN();
