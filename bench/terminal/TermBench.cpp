// Throughput of the VT100 emulator: 10 MB of output lines scrolling a screen with 200 and with
// 10,000 rows of history (a line feed at the bottom must cost the same at both), and a full
// 132 x 50 screen of mixed attributes drawn again and again, with and without building the
// paint runs of every row.
#include <benchmark/benchmark.h>

#include <string>

#include "terminal/IpTerm.h"

namespace {

constexpr size_t kBlock = 4096;  // what the socket hands the terminal at a time

const std::string& OutputLines() {
    static const std::string Text = [] {
        std::string Out;
        for (int Line = 0; Out.size() < size_t(10) << 20; ++Line)
            Out += "line " + std::to_string(Line) +
                   ": the quick brown fox jumps over the lazy dog; 0123456789 ABCDEFGHIJ\r\n";
        return Out;
    }();
    return Text;
}

// One screen of 132 x 50: every eight cells another rendition and colour.
const std::string& MixedScreen() {
    static const std::string Text = [] {
        std::string Out = "\x1b[H";
        for (int Row = 1; Row <= 50; ++Row) {
            Out += "\x1b[" + std::to_string(Row) + ";1H";
            for (int Col = 0; Col < 132; Col += 8) {
                const int N = (Row * 17 + Col) % 48;
                Out += "\x1b[0;" + std::to_string(1 + N % 8) + ";" + std::to_string(30 + N % 8) +
                       ";" + std::to_string(40 + (N / 8) % 8) + "m";
                if (N % 5 == 0)
                    Out += "\x1b(0lqqqqqqk\x1b(B";
                else
                    Out += std::string("abcdefgh").substr(0, 8);
            }
        }
        return Out + "\x1b[m";
    }();
    return Text;
}

void Feed(TIpTerminalEmulator& E, const std::string& Text) {
    const auto* Data = reinterpret_cast<const uint8_t*>(Text.data());
    for (size_t At = 0; At < Text.size(); At += kBlock)
        E.ProcessBlock(Data + At, std::min(kBlock, Text.size() - At));
}

void BM_OutputLines(benchmark::State& State) {
    const std::string& Text = OutputLines();
    TIpVT100Emulator Vt;
    Vt.Buffer().tbSetSVRowCount(int(State.range(0)));
    for (auto _ : State) Feed(Vt, Text);
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size()));
}
BENCHMARK(BM_OutputLines)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_MixedScreen132x50(benchmark::State& State) {
    const std::string& Text = MixedScreen();
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

}  // namespace

BENCHMARK_MAIN();
