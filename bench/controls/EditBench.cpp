// Speed of a multi-line edit with a 5 MB message source on Qt's offscreen platform: the text in
// (WM_SETTEXT, then the passes that show it) and out (WM_GETTEXT), with long lines kept whole or
// wrapped at the edge (goal: well under a second each).
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/GuiBenchSupport.h"
#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/core/Window.h"

namespace {

constexpr size_t kSourceBytes = 5 * 1024 * 1024;

// Header lines, then a quoted-printable body with umlauts: lines of 40 to 76 bytes, CR LF.
const std::string& MessageSource() {
    static const std::string Text = [] {
        std::string S;
        S.reserve(kSourceBytes + 100);
        for (int Line = 0; S.size() < kSourceBytes; ++Line) {
            if (Line % 200 < 12)
                S += "Received: from relay" + std::to_string(Line) +
                     ".example.org by mx.example.net; Tue, 3 Jun 2003\r\n";
            else
                S += "Gr\xFC\xDF"
                     "e aus der Nachricht, Zeile " +
                     std::to_string(Line) + std::string(size_t(Line % 37), '=') + "\r\n";
        }
        return S;
    }();
    return Text;
}

struct TMemoForm {
    HWND Form = 0;
    HWND Memo = 0;
    explicit TMemoForm(bool Wrap) {
        InitStandardControls();
        // The memo covers all of it: nothing to erase.
        Form = GuiBench::MakeForm(640, 480, "", 0);
        const DWORD Bars = Wrap ? WS_VSCROLL : WS_VSCROLL | WS_HSCROLL;
        Memo = CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | ES_MULTILINE | Bars, 0, 0, 640, 480, Form, 1,
                              0, nullptr);
        Show();
    }
    ~TMemoForm() { DestroyWindow(Form); }
    static void Show() {
        while (Application.ProcessMessages()) {
        }
    }
};

void BM_MemoSetText(benchmark::State& State) {
    TMemoForm Form(State.range(0) != 0);
    const std::string& Text = MessageSource();
    for (auto _ : State) {
        SendMessage(Form.Memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
        TMemoForm::Show();
    }
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(Text.size()));
}
BENCHMARK(BM_MemoSetText)->ArgName("wrap")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MemoGetText(benchmark::State& State) {
    TMemoForm Form(State.range(0) != 0);
    const std::string& Text = MessageSource();
    SendMessage(Form.Memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    TMemoForm::Show();
    std::string Out;
    for (auto _ : State) {
        Out = GetWindowText(Form.Memo);
        benchmark::DoNotOptimize(Out.data());
    }
    if (Out != Text) State.SkipWithError("the text came back changed");
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(Text.size()));
}
BENCHMARK(BM_MemoGetText)->ArgName("wrap")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
