// Parsing speed of the HTML viewer: generated mail HTML of 100 KB, 1 MB and 3 MB (a newsletter
// of nested layout tables, styled paragraphs, links, lists, pictures, entities and comments), and
// N distinct <font color> tags handed their properties, whose records are shared through a hash
// of their values: the time per tag must stay flat as N grows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/html/HtmlSamples.h"
#include "htmlview/html/IpHtml.h"
#include "platform/classes/Classes.h"

namespace {

using namespace HtmlSamples;

void ParseText(const std::string& Text, bool AssignProps) {
    TIpHtml Doc;
    TStringStream Stream(Text);
    Doc.Parse(Stream);
    if (AssignProps) {
        Doc.SetDefaultProps();
        Doc.HtmlNode()->AssignProps(Doc.DefaultProps());
    }
    benchmark::DoNotOptimize(Doc.HtmlNode());
}

void BM_ParseMail(benchmark::State& State) {
    const std::string Text = MailHtml(size_t(State.range(0)));
    for (auto _ : State) ParseText(Text, State.range(1) != 0);
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size()));
}
BENCHMARK(BM_ParseMail)
    ->ArgsProduct({{100 << 10, 1 << 20, 3 << 20}, {0, 1}})
    ->ArgNames({"bytes", "props"})
    ->Unit(benchmark::kMillisecond);

std::string FontColors(int64_t Count) {
    std::string Out = "<html><body>";
    char Tag[64];
    for (int64_t I = 0; I < Count; ++I) {
        std::snprintf(Tag, sizeof Tag, "<font color=#%06X>x</font>", unsigned(I * 97 % 0x1000000));
        Out += Tag;
    }
    return Out + "</body></html>";
}

// Every tag makes a record of its own; each is looked up among all made before it.
void BM_DistinctFontColors(benchmark::State& State) {
    const std::string Text = FontColors(State.range(0));
    for (auto _ : State) ParseText(Text, true);
    State.SetComplexityN(State.range(0));
    State.SetItemsProcessed(int64_t(State.iterations()) * State.range(0));
}
BENCHMARK(BM_DistinctFontColors)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
