// Speed of the class library on Qt's offscreen platform: making, showing and freeing a form of
// 100 controls (goal: under 20 ms) and placing 100 aligned controls again when their form changes
// size (goal: under 1 ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"

namespace {

void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

// A form with Count controls of the kinds a dialog has: panels holding labels and bevels.
TForm* MakeForm(int Count) {
    TForm* Form = CreateForm<TForm>(&Forms);
    Form->SetBounds(50, 50, 640, 480);
    TPanel* Holder = nullptr;
    for (int I = 0; I < Count; ++I) {
        if (I % 10 == 0) {
            Holder = new TPanel(Form);
            Holder->SetParent(Form);
            Holder->SetBounds(10 + (I / 10) % 2 * 310, 10 + I / 20 * 45, 300, 40);
            Holder->SetCaption("Gruppe " + std::to_string(I / 10));
            continue;
        }
        if (I % 3 == 0) {
            auto* Line = new TBevel(Form);
            Line->SetParent(Holder);
            Line->SetBounds(4 + I % 10 * 29, 30, 25, 2);
        } else {
            auto* Text = new TLabel(Form);
            Text->SetParent(Holder);
            Text->SetBounds(4 + I % 10 * 29, 4, 25, 14);
            Text->SetCaption("&" + std::to_string(I));
        }
    }
    return Form;
}

void BM_CreateShowFreeFormOf100Controls(benchmark::State& State) {
    for (auto _ : State) {
        TForm* Form = MakeForm(100);
        Form->Show();
        Drain();
        Form->Free();
        Drain();
    }
}
BENCHMARK(BM_CreateShowFreeFormOf100Controls)->Unit(benchmark::kMillisecond);

void BM_Relayout100AlignedControls(benchmark::State& State) {
    TForm* Form = CreateForm<TForm>(&Forms);
    Form->SetBounds(50, 50, 640, 800);
    for (int I = 0; I < 100; ++I) {
        auto* P = new TPanel(Form);
        P->SetParent(Form);
        static constexpr TAlign kAligns[] = {alTop, alBottom, alLeft, alRight};
        P->SetAlign(I == 99 ? alClient : kAligns[I % 4]);
        P->SetBounds(0, 0, 3, 3);
    }
    Form->Show();
    Drain();
    int Width = 640;
    for (auto _ : State) {
        Width = Width == 640 ? 700 : 640;
        Form->SetBounds(50, 50, Width, 800);
    }
    Form->Free();
    Drain();
}
BENCHMARK(BM_Relayout100AlignedControls)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    Forms.Initialize();
    InitStandardControls();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
    return 0;
}
