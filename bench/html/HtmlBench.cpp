// Parsing speed of the HTML viewer: generated mail HTML of 100 KB, 1 MB and 3 MB (a newsletter
// of nested layout tables, styled paragraphs, links, lists, pictures, entities and comments), and
// N distinct <font color> tags handed their properties, whose records are shared through a hash
// of their values: the time per tag must stay flat as N grows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "htmlview/html/IpHtml.h"
#include "platform/classes/Classes.h"

namespace {

// A small deterministic generator, so every run parses the same text.
class TRandom {
  public:
    uint32_t Next(uint32_t Below) {
        FState = FState * 1103515245u + 12345u;
        return (FState >> 8) % Below;
    }

  private:
    uint32_t FState = 20261207;
};

const char* const kWords[] = {
    "Angebot",          "Newsletter", "the",   "offer",  "Preis",   "and",    "free",    "shipping",
    "Gr&uuml;&szlig;e", "week",       "&amp;", "update", "release", "&nbsp;", "members", "today"};

std::string Sentence(TRandom& R) {
    std::string Out;
    const uint32_t Words = 6 + R.Next(14);
    for (uint32_t I = 0; I < Words; ++I) {
        if (I) Out += ' ';
        const std::string Word = kWords[R.Next(std::size(kWords))];
        switch (R.Next(12)) {
            case 0:
                Out += "<b>" + Word + "</b>";
                break;
            case 1:
                Out += "<a href=\"http://example.org/p?id=" + std::to_string(R.Next(99999)) +
                       "&amp;utm=mail\">" + Word + "</a>";
                break;
            case 2:
                Out += "<font face=\"Arial, Helvetica\" color=\"#33" +
                       std::to_string(1000 + R.Next(8999)).substr(0, 4) + "\">" + Word + "</font>";
                break;
            case 3:
                Out += "<span style=\"color:#333\">" + Word + "</span>";
                break;
            default:
                Out += Word;
        }
    }
    return Out + ".";
}

std::string Article(TRandom& R) {
    std::string Out =
        "<table width=\"100%\" cellpadding=\"8\" cellspacing=\"0\" border=\"0\" "
        "bgcolor=\"#ffffff\">\r\n"
        "  <tr>\r\n    <td valign=\"top\" width=\"120\"><img src=\"cid:img" +
        std::to_string(R.Next(1000)) +
        "\" width=\"120\" height=\"90\" alt=\"\" border=\"0\"></td>\r\n"
        "    <td valign=\"top\"><font face=\"Verdana\" size=\"2\">\r\n"
        "      <h3>" +
        Sentence(R) + "</h3>\r\n";
    const uint32_t Paragraphs = 1 + R.Next(4);
    for (uint32_t I = 0; I < Paragraphs; ++I)
        Out += "      <p>" + Sentence(R) + " " + Sentence(R) + "</p>\r\n";
    if (R.Next(3) == 0) {
        Out += "      <ul>\r\n";
        for (uint32_t I = 0; I < 3; ++I) Out += "        <li>" + Sentence(R) + "</li>\r\n";
        Out += "      </ul>\r\n";
    }
    Out += "      <!-- tracking " + std::to_string(R.Next(1000000)) +
           " -->\r\n"
           "    </font></td>\r\n  </tr>\r\n</table>\r\n<hr size=1 noshade>\r\n";
    return Out;
}

std::string MailHtml(size_t Size) {
    TRandom R;
    std::string Out =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html><head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
        "<title>Newsletter</title>\r\n<style type=\"text/css\">p { margin: 0 }</style>\r\n"
        "</head>\r\n<body bgcolor=\"#eeeeee\" text=\"#000000\" link=\"#0000cc\">\r\n"
        "<table width=\"600\" align=\"center\"><tr><td>\r\n";
    while (Out.size() < Size) Out += Article(R);
    return Out + "</td></tr></table>\r\n</body></html>\r\n";
}

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
