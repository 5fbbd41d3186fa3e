// Filling a list box: 100,000 strings added one by one to a visible list (goal: well under a
// second), in the order they come, sorted as they come, and between WM_SETREDRAW off and on as
// the class library's BeginUpdate / EndUpdate do; then the pass that paints the list.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bench/support/GuiBenchSupport.h"
#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/core/Window.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr int kItems = 100000;

std::vector<std::string> Texts(bool Shuffled) {
    std::vector<std::string> Out;
    Out.reserve(kItems);
    for (int I = 0; I < kItems; ++I)
        Out.push_back("Nachricht " + std::to_string(100000 + I) + " von anna@example.org");
    if (Shuffled) std::shuffle(Out.begin(), Out.end(), std::mt19937(7));
    return Out;
}

void Fill(benchmark::State& State, DWORD Style, bool Shuffled, bool RedrawOff) {
    InitStandardControls();
    const HWND Form = GuiBench::MakeForm(500, 400);
    const HWND List = CreateWindowEx(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | Style, 10,
                                     10, 300, 300, Form, 1, 0, nullptr);
    const std::vector<std::string> All = Texts(Shuffled);
    for (auto _ : State) {
        SendMessage(List, LB_RESETCONTENT, 0, 0);
        if (RedrawOff) SendMessage(List, WM_SETREDRAW, FALSE, 0);
        for (const std::string& T : All)
            SendMessage(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T.c_str()));
        if (RedrawOff) SendMessage(List, WM_SETREDRAW, TRUE, 0);
        while (Application.ProcessMessages()) {
        }
    }
    State.SetItemsProcessed(State.iterations() * kItems);
    DestroyWindow(Form);
    while (Application.ProcessMessages()) {
    }
}

void BM_Fill100kInOrder(benchmark::State& State) {
    Fill(State, 0, false, false);
}
BENCHMARK(BM_Fill100kInOrder)->Unit(benchmark::kMillisecond);

void BM_Fill100kSorted(benchmark::State& State) {
    Fill(State, LBS_SORT, true, false);
}
BENCHMARK(BM_Fill100kSorted)->Unit(benchmark::kMillisecond);

void BM_Fill100kRedrawOff(benchmark::State& State) {
    Fill(State, 0, false, true);
}
BENCHMARK(BM_Fill100kRedrawOff)->Unit(benchmark::kMillisecond);

}  // namespace
