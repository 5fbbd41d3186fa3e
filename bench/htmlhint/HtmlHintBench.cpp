// The mini-HTML renderer on a hint of about 2 KB (bold titles, colours, links, a list, line
// breaks and word wrap): measured as the hint window measures it, then painted into a bitmap of
// the measured size, as the window paints it: bench_htmlhint
#include <benchmark/benchmark.h>

#include <string>

#include "components/htmlhint/HtmlDraw.h"

namespace {

std::string TwoKilobyteHint() {
    std::string Hint;
    for (int I = 0; Hint.size() < 2048; ++I) {
        Hint += "<b>Box " + std::to_string(I) +
                "</b>: <font color=\"clNavy\">news.example.org</font>"
                " &amp; <a href=\"mail" +
                std::to_string(I) +
                "\">pop3.example.org</a><br>"
                "<ul><li>fetches mail and news, sends what is waiting</ul>"
                "<i>last run</i> ok, <font bgcolor=\"clYellow\">12 new</font><br>";
    }
    return Hint;
}

struct TCanvasBench {
    TBitmap Paper{400, 1200, pf32bit};
    std::string Hint = TwoKilobyteHint();
    TCanvasBench() {
        Paper.Canvas().Font().SetName("Tahoma");
        Paper.Canvas().Brush().SetColor(clInfoBk);
    }
};

void BM_MeasureHint2K(benchmark::State& State) {
    TCanvasBench B;
    THTMLDrawOptions Options;
    Options.CheckOnly = true;
    THTMLDrawResult R;
    for (auto _ : State) {
        HTMLDrawEx(B.Paper.Canvas(), B.Hint, Rect(0, 0, 384, 0), Options, R);
        benchmark::DoNotOptimize(R.Height);
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(B.Hint.size()));
}

void BM_MeasureAndPaintHint2K(benchmark::State& State) {
    TCanvasBench B;
    THTMLDrawResult R;
    for (auto _ : State) {
        THTMLDrawOptions Options;
        Options.CheckOnly = true;
        HTMLDrawEx(B.Paper.Canvas(), B.Hint, Rect(0, 0, 384, 0), Options, R);
        Options.CheckOnly = false;
        B.Paper.Canvas().FillRect(Rect(0, 0, R.Width + 16, R.Height + 4));
        HTMLDrawEx(B.Paper.Canvas(), B.Hint, Rect(4, 2, 388, R.Height + 10), Options, R);
        benchmark::DoNotOptimize(R.Width);
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(B.Hint.size()));
}

BENCHMARK(BM_MeasureHint2K)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureAndPaintHint2K)->Unit(benchmark::kMicrosecond);

}  // namespace
