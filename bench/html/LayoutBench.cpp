// Layout and painting speed of the HTML viewer on the platform's canvas (a window surface on Qt's
// offscreen platform, real fonts): parse plus layout of generated mails of 100 KB, 1 MB and
// 3 MB at widths 600 and 1200; a plain-text mail of 1 MB laid out and its first screen painted
// (goal: under 100 ms); the last screen of a 3 MB mail painted; tables nested 5 levels deep
// around a grid of 200 by 10 cells.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "bench/html/HtmlSamples.h"
#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlPlatformCanvas.h"
#include "platform/classes/Classes.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Graphics.h"

namespace {

using namespace HtmlSamples;

constexpr int32_t kScreenWidth = 1200, kScreenHeight = 800;

// A window surface of a screen's size and the document canvas on it.
class TScreen {
  public:
    TScreen() : FSurface(std::make_shared<TSurface>()) {
        FSurface->Image = QImage(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
        FDC = CreateSurfaceDC(FSurface, POINT{0, 0}, TRegion(0, 0, kScreenWidth, kScreenHeight));
        FCanvas.SetHandle(FDC);
        FTarget = std::make_unique<TIpHtmlPlatformCanvas>(FCanvas);
    }
    ~TScreen() {
        FTarget.reset();
        FCanvas.SetHandle(0);
        DeleteDC(FDC);
    }
    TIpHtmlCanvas& Canvas() { return *FTarget; }

  private:
    std::shared_ptr<TSurface> FSurface;
    HDC FDC = 0;
    TCanvas FCanvas;
    std::unique_ptr<TIpHtmlPlatformCanvas> FTarget;
};

// Every picture is the same small bitmap, as a provider answering from the mail's parts would
// give one.
std::unique_ptr<TIpHtml> Parse(const std::string& Text) {
    auto Doc = std::make_unique<TIpHtml>();
    static const TIpHtmlPictureRef Picture = [] {
        TBitmap Bitmap(120, 90);
        auto P = std::make_shared<TPicture>();
        P->SetGraphic(&Bitmap);
        return P;
    }();
    Doc->OnGetImage = [](TIpHtmlNode*, const std::string&, TIpHtmlPictureRef& P) { P = Picture; };
    TStringStream Stream(Text);
    Doc->Parse(Stream);
    return Doc;
}

std::string Sample(int64_t Kind, size_t Size) {
    return Kind == 0 ? PlainTextMail(Size) : MailHtml(Size);
}

void BM_ParseAndLayout(benchmark::State& State) {
    const std::string Text = Sample(State.range(0), size_t(State.range(1)));
    TScreen Screen;
    std::unique_ptr<TIpHtml> Doc;
    for (auto _ : State) {
        Doc = Parse(Text);
        try {
            benchmark::DoNotOptimize(Doc->LayoutPage(Screen.Canvas(), int32_t(State.range(2)), 0));
        } catch (const Exception& E) {
            State.SkipWithError(E.Message().c_str());
            break;
        }
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size()));
    if (Doc) State.counters["elements"] = double(Doc->Pool().Count());
}
BENCHMARK(BM_ParseAndLayout)
    ->ArgsProduct({{0, 1}, {100 << 10, 1 << 20, 3 << 20}, {600, 1200}})
    ->ArgNames({"mail", "bytes", "width"})
    ->Unit(benchmark::kMillisecond);

// What opening a plain-text mail of 1 MB costs until its first screen shows.
void BM_PlainTextFirstScreen(benchmark::State& State) {
    const std::string Text = PlainTextMail(1 << 20);
    TScreen Screen;
    for (auto _ : State) {
        auto Doc = Parse(Text);
        const TIpHtmlRect Page = Doc->LayoutPage(Screen.Canvas(), kScreenWidth, 0);
        Doc->RenderPage(Screen.Canvas(), {0, 0, Page.Right, kScreenHeight}, {0, 0}, false);
    }
}
BENCHMARK(BM_PlainTextFirstScreen)->Unit(benchmark::kMillisecond);

// Laid out once; each iteration paints the screen at the page's bottom.
void BM_PaintLastScreen(benchmark::State& State) {
    auto Doc = Parse(Sample(State.range(0), 3 << 20));
    TScreen Screen;
    const TIpHtmlRect Page = Doc->LayoutPage(Screen.Canvas(), kScreenWidth, 0);
    const TIpHtmlRect Last{0, Page.Bottom - kScreenHeight, kScreenWidth, Page.Bottom};
    for (auto _ : State) Doc->RenderPage(Screen.Canvas(), Last, {0, 0}, false);
}
BENCHMARK(BM_PaintLastScreen)->Arg(0)->Arg(1)->ArgName("mail")->Unit(benchmark::kMillisecond);

// Moving the mouse over the last screen of a 3 MB mail full of links.
void BM_TrackMouseLastScreen(benchmark::State& State) {
    auto Doc = Parse(MailHtml(3 << 20));
    TScreen Screen;
    const TIpHtmlRect Page = Doc->LayoutPage(Screen.Canvas(), kScreenWidth, 0);
    const TIpHtmlRect Last{0, Page.Bottom - kScreenHeight, kScreenWidth, Page.Bottom};
    Doc->RenderPage(Screen.Canvas(), Last, {0, 0}, false);
    int32_t Step = 0;
    for (auto _ : State) {
        Step = (Step + 37) % (kScreenWidth * kScreenHeight);
        Doc->TrackMouse({Step % kScreenWidth, Last.Top + Step / kScreenWidth});
        benchmark::DoNotOptimize(Doc->HotNode());
    }
}
BENCHMARK(BM_TrackMouseLastScreen);

// 0: parse and lay out; 1: lay out again at another width; 2: at the same width.
void BM_NestedTables(benchmark::State& State) {
    const std::string Text = NestedTables(5, 200, 10);
    TScreen Screen;
    std::unique_ptr<TIpHtml> Doc = Parse(Text);
    Doc->LayoutPage(Screen.Canvas(), 1000, 0);
    bool Wide = false;
    for (auto _ : State) {
        if (State.range(0) == 0) {
            Doc = Parse(Text);
            Doc->LayoutPage(Screen.Canvas(), 1000, 0);
        } else {
            Wide = State.range(0) == 1 ? !Wide : Wide;
            Doc->LayoutPage(Screen.Canvas(), Wide ? 1200 : 1000, 0);
        }
    }
}
BENCHMARK(BM_NestedTables)->DenseRange(0, 2)->ArgName("case")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
