// Speed of the viewer panel on Qt's offscreen platform: opening a mail of many links (each gets a
// focus window; goal: 2,000 links under 100 ms) and scrolling a long mail by a wheel notch with
// its paint (goal: under 5 ms). Memory of a mail with a table of 1,000 x 1,000 cells: the heap
// the open panel takes (heap_MB), what it keeps once its window is closed (kept_MB, goal: 0)
// and how much more the process keeps resident then (resident_kept_MB, freed heap the allocator
// did not give back; goal: near 0). Heap counters mean little in a sanitizer build.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>
#include <QCoreApplication>
#include <fstream>
#include <memory>
#include <string>

#include "htmlview/panel/IpBroker.h"
#include "htmlview/panel/IpHtmlFrame.h"
#include "htmlview/panel/IpHtmlInternalPanel.h"
#include "htmlview/panel/IpHtmlRegister.h"
#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/widgets/Forms.h"

namespace {

void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

std::string MailOfLinks(int Links) {
    std::string Html = "<html><body><p>Die Liste:</p><ul>";
    for (int I = 0; I < Links; ++I)
        Html += "<li><a href=\"http://example.org/" + std::to_string(I) + "\">Artikel " +
                std::to_string(I) + "</a> mit etwas Text dahinter";
    return Html + "</ul></body></html>";
}

// A form with a panel whose provider answers every URL with Html, as the message viewer does.
struct TViewer {
    explicit TViewer(const std::string& Html) {
        Form = CreateForm<TForm>(&Forms);
        Form->SetBounds(20, 20, 800, 600);
        auto* Provider = new TIpHtmlDataProvider(Form);
        Provider->OnCheckURL = [](TObject*, const std::string&, bool& Available,
                                  std::string& ContentType) {
            Available = true;
            ContentType = "text/html";
        };
        Provider->OnGetHtml = [Html](TObject*, const std::string&, TIpFormDataEntity*,
                                     std::unique_ptr<TStream>& Stream) {
            Stream = std::make_unique<TStringStream>(Html);
        };
        Panel = new TIpHtmlPanel(Form);
        Panel->SetParent(Form);
        Panel->SetAlign(alClient);
        Panel->SetDataProvider(Provider);
        Form->Show();
        Drain();
    }
    ~TViewer() {
        Form->Free();
        Drain();
    }
    TForm* Form;
    TIpHtmlPanel* Panel;
};

void BM_OpenMailOfLinks(benchmark::State& State) {
    TViewer Viewer(MailOfLinks(int(State.range(0))));
    for (auto _ : State) {
        Viewer.Panel->OpenDocument("message");
        Drain();
    }
}
BENCHMARK(BM_OpenMailOfLinks)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_WheelNotchOverLongMail(benchmark::State& State) {
    TViewer Viewer(MailOfLinks(3000));
    Viewer.Panel->OpenDocument("message");
    Drain();
    TIpHtmlInternalPanel& Inner = *Viewer.Panel->MasterFrame()->HyperPanel();
    const HWND Wnd = Inner.Handle();
    bool Back = true;
    for (auto _ : State) {
        if (Inner.VScroll().Position() == Inner.VScroll().MaxPosition()) Back = false;
        if (Inner.VScroll().Position() == 0) Back = true;
        SendMessage(Wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(Back ? -120 : 120)), 0);
        Drain();
    }
}
BENCHMARK(BM_WheelNotchOverLongMail)->Unit(benchmark::kMillisecond);

size_t HeapInUse() {
    const struct mallinfo2 Info = mallinfo2();
    return Info.uordblks + Info.hblkhd;
}

// Resident bytes of the process: what the system sees it keep, freed heap included.
double ResidentMb() {
    std::ifstream Statm("/proc/self/statm");
    size_t Pages = 0, Resident = 0;
    Statm >> Pages >> Resident;
    return double(Resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

std::string MailOfTable(int Side) {
    std::string Html = "<html><body><table border=1>";
    for (int Row = 0; Row < Side; ++Row) {
        Html += "<tr>";
        for (int Column = 0; Column < Side; ++Column) Html += "<td>x";
        Html += "\n";
    }
    return Html + "</table></body></html>";
}

void BM_TableOfAMillionCells(benchmark::State& State) {
    const int Side = int(State.range(0));
    double HeapMb = 0, KeptMb = 0, ResidentKeptMb = 0;
    for (auto _ : State) {
        const size_t Before = HeapInUse();
        const double ResidentBefore = ResidentMb();
        {
            TViewer Viewer(MailOfTable(Side));
            Viewer.Panel->OpenDocument("message");
            Drain();
            HeapMb = double(HeapInUse() - Before) / (1024.0 * 1024.0);
        }
        Drain();
        KeptMb = (double(HeapInUse()) - double(Before)) / (1024.0 * 1024.0);
        ResidentKeptMb = ResidentMb() - ResidentBefore;
    }
    State.counters["heap_MB"] = HeapMb;
    State.counters["kept_MB"] = KeptMb;
    State.counters["resident_kept_MB"] = ResidentKeptMb;
}
BENCHMARK(BM_TableOfAMillionCells)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    Forms.Initialize();
    InitStandardControls();
    RegisterHtmlViewClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
    return 0;
}
