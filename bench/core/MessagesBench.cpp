// Throughput of the message queue: posting and delivering window messages.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <thread>
#include <vector>

#include "platform/core/Application.h"
#include "platform/core/Messages.h"

namespace {

constexpr UINT WM_BENCH = WM_USER + 1;
constexpr int Batch = 1000000;

// One million posts, then passes until all are delivered.
void BM_PostThenDeliver(benchmark::State& State) {
    std::int64_t Count = 0;
    const HWND Wnd = AllocateHWnd([&Count](TMessage& M) { Count += static_cast<int>(M.WParam); });
    for (auto _ : State) {
        Count = 0;
        for (int I = 0; I < Batch; ++I) PostMessage(Wnd, WM_BENCH, 1, 0);
        while (Count < Batch) Application.ProcessMessages();
    }
    DeallocateHWnd(Wnd);
    State.SetItemsProcessed(State.iterations() * Batch);
}
BENCHMARK(BM_PostThenDeliver)->Unit(benchmark::kMillisecond);

// Each handler posts the next message: one message per pass, so this is the cost of a pass.
void BM_OnePerPass(benchmark::State& State) {
    constexpr int Chain = 100000;
    int Left = 0;
    HWND Wnd = 0;
    Wnd = AllocateHWnd([&](TMessage&) {
        if (--Left > 0) PostMessage(Wnd, WM_BENCH, 0, 0);
    });
    for (auto _ : State) {
        Left = Chain;
        PostMessage(Wnd, WM_BENCH, 0, 0);
        while (Left > 0) Application.ProcessMessages();
    }
    DeallocateHWnd(Wnd);
    State.SetItemsProcessed(State.iterations() * Chain);
}
BENCHMARK(BM_OnePerPass)->Unit(benchmark::kMillisecond);

// Four worker threads post one million messages while the loop waits and delivers.
void BM_CrossThreadPost(benchmark::State& State) {
    constexpr int Threads = 4;
    std::int64_t Count = 0;
    const HWND Wnd = AllocateHWnd([&Count](TMessage&) { ++Count; });
    for (auto _ : State) {
        Count = 0;
        std::vector<std::thread> Posters;
        for (int T = 0; T < Threads; ++T)
            Posters.emplace_back([Wnd] {
                for (int I = 0; I < Batch / Threads; ++I) PostMessage(Wnd, WM_BENCH, 0, 0);
            });
        while (Count < Batch) {
            Application.WaitForEvent(1000);
            Application.ProcessMessages();
        }
        for (auto& P : Posters) P.join();
    }
    DeallocateHWnd(Wnd);
    State.SetItemsProcessed(State.iterations() * Batch);
}
BENCHMARK(BM_CrossThreadPost)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
