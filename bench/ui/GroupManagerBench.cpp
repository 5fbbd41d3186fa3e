// The newsgroup manager on the full list of a large server: 10^6 groups read, sorted and put in
// the tree (goal: the lists and the tree under 200 MB; the counter heap_MB is what the heap
// grew by while they live, lists_MB its share of the lists read before the tree is built,
// peak_MB the most the process held on the way), and the folders below the root opened.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ui/GroupManagerTree.h"
#include "bench/support/GuiBenchSupport.h"
#include "platform/controls/Controls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/TreeViews.h"

namespace {

// Group names as large servers have them: a hierarchy, then two to four levels of words, the
// list in the server's order (not sorted).
std::string GroupList(int Count) {
    static const char* const Top[] = {"alt", "comp", "de", "fr", "rec", "sci", "soc", "talk"};
    static const char* const Word[] = {
        "binaries", "lang", "misc",     "os",      "linux", "answers", "music",  "pictures",
        "games",    "test", "politics", "science", "sport", "cars",    "travel", "windows"};
    std::string List = "!list of a large server\r\n";
    uint64_t Seed = 42;
    const auto Next = [&Seed] {
        Seed = Seed * 6364136223846793005u + 1442695040888963407u;
        return uint32_t(Seed >> 33);
    };
    for (int I = 0; I < Count; ++I) {
        std::string Name = Top[Next() % 8];
        const int Levels = 2 + int(Next() % 3);
        for (int L = 0; L < Levels; ++L) {
            Name += '.';
            Name += Word[Next() % 16];
        }
        Name += '.';
        Name += std::to_string(I);
        List += Name;
        List += "\r\n";
    }
    return List;
}

size_t HeapInUse() {
    const struct mallinfo2 Info = mallinfo2();
    return Info.uordblks + Info.hblkhd;
}

size_t PeakRssKb() {
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line))
        if (Line.rfind("VmHWM:", 0) == 0) return std::stoul(Line.substr(6));
    return 0;
}

// A list of Count groups (news.bl) in a directory of its own, removed with the object; the
// window layer is started for the tree.
struct TBenchGroups {
    TBenchGroups(const char* Kind, int Count)
        : Dir((std::filesystem::temp_directory_path() /
               (std::string(Kind) + "-" + std::to_string(getpid())))
                  .string()),
          Bl(Dir + "/news.bl") {
        std::filesystem::create_directories(Dir);
        std::ofstream(Bl, std::ios::binary) << GroupList(Count);
        Forms.Initialize();
        InitStandardControls();
    }
    ~TBenchGroups() { std::filesystem::remove_all(Dir); }
    const std::string Dir;
    const std::string Bl;
};

// range(0): the number of groups; range(1): 1 when the tree has its window (the form is shown,
// as the manager is), 0 when only the nodes are made.
void BM_GroupManagerLoadAndBuild(benchmark::State& State) {
    const int Count = int(State.range(0));
    const bool Shown = State.range(1) != 0;
    const TBenchGroups List("kestro-groupman", Count);
    const std::string& Bl = List.Bl;
    {
        std::ofstream Rc(List.Dir + "/news.rc", std::ios::binary);
        for (int I = 0; I < Count; I += 1000) Rc << "alt.unknown.group" << I << " 17\r\n";
    }
    double HeapMb = 0, ListsMb = 0;
    for (auto _ : State) {
        auto* Form = new TForm(nullptr);
        auto* Tree = new TTreeView(Form);
        Tree->SetParent(Form);
        if (Shown) Form->Show();
        malloc_trim(0);
        const size_t Before = HeapInUse();
        {
            TGroupTree Groups;
            Groups.Load(Bl, [](const std::string&) {});
            ListsMb = double(HeapInUse() - Before) / (1024.0 * 1024.0);
            Groups.Build(*Tree->Items(), [](const std::string&) {});
            HeapMb = double(HeapInUse() - Before) / (1024.0 * 1024.0);
            benchmark::DoNotOptimize(Groups.GroupCount());
            State.PauseTiming();
        }
        Form->Free();
        State.ResumeTiming();
    }
    State.counters["heap_MB"] = HeapMb;
    State.counters["lists_MB"] = ListsMb;
    State.counters["peak_MB"] = double(PeakRssKb()) / 1024.0;
}
// "Teilbaum bestellen" on the root: every group subscribed, and the whole tree expanded (so
// every node made) in the shown window; range(0): the number of groups. Counters: nodes, and
// heap_MB, what the heap grew by from before the load.
void BM_GroupManagerSubscribeAll(benchmark::State& State) {
    const int Count = int(State.range(0));
    const TBenchGroups List("kestro-groupall", Count);
    const std::string& Bl = List.Bl;
    double Nodes = 0, HeapMb = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto* Form = new TForm(nullptr);
        auto* Tree = new TTreeView(Form);
        Tree->SetParent(Form);
        Form->Show();
        malloc_trim(0);
        const size_t Before = HeapInUse();
        {
            TGroupTree Groups;
            Groups.Load(Bl, [](const std::string&) {});
            Groups.Build(*Tree->Items(), [](const std::string&) {});
            State.ResumeTiming();
            Groups.ApplyToSubtree(Tree->Items()->GetFirstNode(), scSubscribe);
            State.PauseTiming();
            Nodes = Tree->Items()->Count();
            HeapMb = double(HeapInUse() - Before) / (1024.0 * 1024.0);
        }
        Form->Free();
        State.ResumeTiming();
    }
    State.counters["nodes"] = Nodes;
    State.counters["heap_MB"] = HeapMb;
}

// The user's first look below the top: every folder right under the root expanded in the
// shown window (a list this large gets the nodes below a folder when it is first expanded);
// range(0): the number of groups. Counter: nodes, the tree's nodes afterwards.
void BM_GroupManagerOpenTopFolders(benchmark::State& State) {
    const int Count = int(State.range(0));
    const TBenchGroups List("kestro-groupopen", Count);
    const std::string& Bl = List.Bl;
    double Nodes = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto* Form = new TForm(nullptr);
        auto* Tree = new TTreeView(Form);
        Tree->SetParent(Form);
        Form->Show();
        {
            TGroupTree Groups;
            Tree->OnExpanding = [&Groups](TObject*, TTreeNode* Node, bool&) { Groups.Fill(Node); };
            Groups.Load(Bl, [](const std::string&) {});
            Groups.Build(*Tree->Items(), [](const std::string&) {});
            TTreeNode* Root = Tree->Items()->GetFirstNode();
            State.ResumeTiming();
            for (int I = 0; I < Root->Count(); ++I) Root->Item(I)->Expand(false);
            State.PauseTiming();
            Nodes = Tree->Items()->Count();
            Tree->OnExpanding = nullptr;
        }
        Form->Free();
        State.ResumeTiming();
    }
    State.counters["nodes"] = Nodes;
}

BENCHMARK(BM_GroupManagerLoadAndBuild)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// After the load, whose peak_MB is the process's.
BENCHMARK(BM_GroupManagerOpenTopFolders)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Last: it makes every node, and the process's peak with them.
BENCHMARK(BM_GroupManagerSubscribeAll)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
