// Throughput of the VT100 emulator: 10 MB of output lines scrolling a screen with 200 and with
// 10,000 rows of history (a line feed at the bottom must cost the same at both), and a full
// 132 x 50 screen of mixed attributes drawn again and again, with and without building the
// paint runs of every row. And what a new emulator costs before it shows its first bytes, as
// a telnet window that opens does.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/terminal/TermSamples.h"
#include "terminal/IpTerm.h"

namespace {

using namespace TermSamples;

void Feed(TIpTerminalEmulator& E, const std::string& Text) {
    const auto* Data = reinterpret_cast<const uint8_t*>(Text.data());
    for (size_t At = 0; At < Text.size(); At += kBlock)
        E.ProcessBlock(Data + At, std::min(kBlock, Text.size() - At));
}

void BM_OutputLines(benchmark::State& State) {
    static const std::string Text = OutputLines();
    TIpVT100Emulator Vt;
    Vt.Buffer().tbSetSVRowCount(int(State.range(0)));
    for (auto _ : State) Feed(Vt, Text);
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size()));
}
BENCHMARK(BM_OutputLines)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_MixedScreen132x50(benchmark::State& State) {
    static const std::string Text = MixedScreen();
    TIpVT100Emulator Vt;
    Vt.Buffer().tbSetColCount(132);
    Vt.Buffer().tbSetRowCount(50);
    const bool Runs = State.range(0) != 0;
    for (auto _ : State) {
        Feed(Vt, Text);
        if (!Runs) continue;
        for (int Row = 1; Row <= 50; ++Row) benchmark::DoNotOptimize(Vt.RowRuns(Row, 1, 132, true));
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size()));
}
BENCHMARK(BM_MixedScreen132x50)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A new emulator with the program's key map and character-set map, fed a greeting of 20 bytes.
void BM_NewEmulatorFeed20(benchmark::State& State) {
    static const std::string Greeting = "\x1b[H\x1b[2JHello, you\r\n$";
    static_assert(sizeof "\x1b[H\x1b[2JHello, you\r\n$" - 1 == 20);
    for (auto _ : State) {
        TIpVT100Emulator Vt;
        Feed(Vt, Greeting);
        benchmark::DoNotOptimize(Vt.Buffer().CharAt(1, 1));
    }
}
BENCHMARK(BM_NewEmulatorFeed20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
