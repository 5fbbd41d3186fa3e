// Opening a newsletter in the message viewer on Qt's offscreen platform, from the spool file to
// the first paint of its page: the mail of tests/app/ui/NewsletterMail.h (151 KB: 47 KB of HTML
// in nested tables, 47 pictures of five parts: PNG, JPEG, a still and an animated GIF; two image
// maps; a form), read, parsed, laid out and painted by the real window, then closed.
//
//   build/<dir>/bench/viewer/bench_viewer
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ui/ViewMessageFrm.h"
#include "htmlview/panel/IpHtmlFrame.h"
#include "platform/controls/Controls.h"
#include "platform/widgets/Forms.h"
#include "tests/app/ui/NewsletterMail.h"

namespace {

void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

// A private program directory and registry, as the tests have.
std::string MailFile() {
    static const std::string File = [] {
        const std::filesystem::path Root = std::filesystem::temp_directory_path() /
                                           ("kestro-viewer-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(Root / "reg");
        setenv("KESTRO_HOME", Root.c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Root / "reg").c_str(), 1);
        static const std::filesystem::path Folder = Root;
        std::atexit([] { std::filesystem::remove_all(Folder); });
        const std::string Path = (Root / "news.msg").string();
        std::ofstream(Path, std::ios::binary) << Newsletter::Mail();
        Forms.Initialize();
        InitStandardControls();
        return Path;
    }();
    return File;
}

void BM_OpenNewsletter(benchmark::State& State) {
    const std::string File = MailFile();
    for (auto _ : State) {
        TFormViewMessage* Viewer = ShowMessageViewer(File, nullptr);
        Drain();
        State.PauseTiming();
        if (Viewer->IpHtmlPanel->MasterFrame()->Html().Images().size() != 47)
            State.SkipWithError("the page was not shown whole");
        Viewer->Free();
        Drain();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_OpenNewsletter)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
