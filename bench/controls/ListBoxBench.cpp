// Filling a list box: 100,000 strings added one by one to a visible list (goal: well under a
// second), in the order they come, sorted as they come, and between WM_SETREDRAW off and on as
// the class library's BeginUpdate / EndUpdate do; then the pass that paints the list.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

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

LRESULT FormProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

HWND MakeForm() {
    WNDCLASS Class;
    Class.lpfnWndProc = FormProc;
    Class.hbrBackground = static_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Class.lpszClassName = "ListBenchForm";
    RegisterClass(&Class);
    return CreateWindowEx(0, "ListBenchForm", "Kestro", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, 0, 0,
                          0, nullptr);
}

void Fill(benchmark::State& State, DWORD Style, bool Shuffled, bool RedrawOff) {
    InitStandardControls();
    const HWND Form = MakeForm();
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

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
