// A toolbar of 40 items docked at the top of a form: how long laying it out and painting it take.
// The items are those of a busy toolbar: glyph buttons, caption buttons and sub-items, a group
// every sixth item. Laying out: the form changes its width between wide (one line) and narrow
// (items hidden behind the mark), so the dock site, the row and the bar window are laid out
// again each time; and the bar window alone placing its items. Painting: the bar window, frame
// included, painted at once in each of the three styles.
#include <benchmark/benchmark.h>

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>
#include <string>

#include "bars/dxBar.h"
#include "platform/core/Application.h"
#include "platform/core/Paint.h"
#include "platform/widgets/Forms.h"

namespace {

constexpr int kItems = 40;
constexpr int kImages = 8;

void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

std::unique_ptr<TCustomImageList> MakeImages() {
    auto List = std::make_unique<TCustomImageList>(16, 16);
    for (int I = 0; I < kImages; ++I) {
        QImage Image(16, 16, QImage::Format_RGB32);
        Image.fill(qRgb(255, 0, 255));
        QPainter P(&Image);
        P.setPen(Qt::black);
        P.setBrush(QColor::fromHsv(I * 360 / kImages, 200, 220));
        if (I % 2)
            P.drawEllipse(2, 2, 11, 11);
        else
            P.drawRect(2 + I / 2, 2, 11 - I / 2, 11);
        P.end();
        TBitmap Bitmap;
        Bitmap.SetImage(Image);
        List->AddMasked(Bitmap, clFuchsia);
    }
    return List;
}

// A shown form whose manager has one visible toolbar of kItems links.
class TBenchBar {
  public:
    explicit TBenchBar(TdxBarManagerStyle Style) : FImages(MakeImages()) {
        RegisterBarClasses();
        FForm = CreateForm<TForm>(nullptr);
        auto* Manager = new TdxBarManager(FForm);
        Manager->SetImages(FImages.get());
        Manager->SetStyle(Style);
        FBar = Manager->Bars()->Add();
        FBar->SetCaption("Werkzeuge");
        for (int I = 0; I < kItems; ++I) {
            TdxBarItem* Item = nullptr;
            if (I % 10 == 9) {
                Item = new TdxBarSubItem(FForm);
                Item->SetCaption("Liste " + std::to_string(I));
            } else {
                auto* Button = new TdxBarButton(FForm);
                Button->SetCaption("Befehl " + std::to_string(I));
                if (I % 7 == 6)
                    Button->SetPaintStyle(psCaption);
                else
                    Button->SetImageIndex(I % kImages);
                if (I % 11 == 3) Button->SetEnabled(false);
                Item = Button;
            }
            TdxBarItemLink* Link = FBar->ItemLinks()->Add();
            Link->SetItem(Item);
            Link->SetBeginGroup(I > 0 && I % 6 == 0);
        }
        FForm->SetBounds(0, 0, kWide, 120);
        FForm->Show();
        FBar->SetVisible(true);
        Drain();
    }
    ~TBenchBar() {
        BarManagerOfForm(FForm)->SetImages(nullptr);
        FForm->Free();
        Drain();
    }
    TBenchBar(const TBenchBar&) = delete;
    TBenchBar& operator=(const TBenchBar&) = delete;

    static constexpr int kWide = 1400, kNarrow = 420;
    TForm* Form() const { return FForm; }
    TdxBarControl* Control() const { return FBar->Control(); }

  private:
    std::unique_ptr<TCustomImageList> FImages;
    TForm* FForm = nullptr;
    TdxBar* FBar = nullptr;
};

void BM_LayOutOnResize(benchmark::State& State) {
    TBenchBar Bench(bmsFlat);
    bool Narrow = false;
    for (auto _ : State) {
        Narrow = !Narrow;
        Bench.Form()->SetWidth(Narrow ? TBenchBar::kNarrow : TBenchBar::kWide);
        benchmark::DoNotOptimize(Bench.Control()->HiddenItems());
    }
    if (!Bench.Control()) State.SkipWithError("the bar has no window");
    State.SetItemsProcessed(State.iterations() * kItems);
    Drain();
}
BENCHMARK(BM_LayOutOnResize)->Unit(benchmark::kMicrosecond);

void BM_PlaceItems(benchmark::State& State) {
    TBenchBar Bench(bmsFlat);
    TdxBarControl* Control = Bench.Control();
    if (!Control) {
        State.SkipWithError("the bar has no window");
        return;
    }
    for (auto _ : State) Control->CalcControlsPositions();
    State.SetItemsProcessed(State.iterations() * kItems);
    Drain();
}
BENCHMARK(BM_PlaceItems)->Unit(benchmark::kMicrosecond);

void BM_Paint(benchmark::State& State) {
    TBenchBar Bench(TdxBarManagerStyle(State.range(0)));
    TdxBarControl* Control = Bench.Control();
    if (!Control) {
        State.SkipWithError("the bar has no window");
        return;
    }
    for (auto _ : State)
        RedrawWindow(Control->Handle(), nullptr, 0,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    State.SetItemsProcessed(State.iterations() * kItems);
}
BENCHMARK(BM_Paint)
    ->ArgName("style")
    ->Arg(bmsStandard)
    ->Arg(bmsEnhanced)
    ->Arg(bmsFlat)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
