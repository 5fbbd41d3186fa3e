// Reading hive files: a bar layout's 170 KB, and one key holding hundreds of thousands of values
// (a file near the size limit, as a damaged or hostile one can be). Each read is of a file that
// changed on disk; BM_OpenKeysOfAnUnchangedFile opens the keys of a start-up again and again.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry/Registry.h"

namespace {

// A directory of its own for the hives, removed at the end.
struct HiveDir {
    HiveDir() {
        char tmpl[] = "/tmp/kestro-regbench-XXXXXX";
        Path = mkdtemp(tmpl);
        setenv("KESTRO_REGISTRY_DIR", Path.c_str(), 1);
    }
    ~HiveDir() { std::filesystem::remove_all(Path); }
    std::string Path;
};

// Bars with their links, as a saved layout holds them, until the text is about Bytes long.
std::string LayoutText(size_t bytes) {
    std::string text = "; Kestro registry hive, version 1\n\n";
    for (int bar = 0; text.size() < bytes; ++bar) {
        std::string key = "Software\\Orvalin\\Kestro\\Bars\\Bar" + std::to_string(bar);
        text += "[" + key +
                "]\n\"Caption\"=\"Toolbar\"\n\"DockedLeft\"=dword:00000000\n"
                "\"Row\"=dword:00000001\n\"ItemLinkCount\"=dword:00000010\n\n";
        for (int link = 0; link < 16; ++link)
            text += "[" + key + "\\ItemLink" + std::to_string(link) +
                    "]\n\"ItemName\"=\"dxBarButton" + std::to_string(link) +
                    "\"\n\"BeginGroup\"=dword:00000000\n\"UserDefine\"=hex:00\n"
                    "\"Visible\"=dword:00000001\n\n";
    }
    return text;
}

// One key with values until the text is about Bytes long; every tenth line damaged.
std::string ManyValuesText(size_t bytes) {
    std::string text = "; Kestro registry hive, version 1\n\n[Software\\Many]\n";
    for (int v = 0; text.size() < bytes; ++v)
        text += "\"Value" + std::to_string(v) +
                "\"=" + (v % 10 ? "\"some text of a value\"\n" : "dword:broken\n");
    return text;
}

void ReadChangedFile(benchmark::State& state, const std::string& text, const char* key) {
    HiveDir dir;
    const std::string file = TRegistry::HiveFileName(HKEY_CURRENT_USER);
    for (auto _ : state) {
        state.PauseTiming();
        {
            // A new file each time: the registry reads it again.
            std::ofstream(file + ".new", std::ios::binary) << text;
            std::filesystem::rename(file + ".new", file);
        }
        state.ResumeTiming();
        TRegistry reg;
        benchmark::DoNotOptimize(reg.OpenKeyReadOnly(key));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["file_bytes"] = double(text.size());
}

void BM_ReadLayout170KB(benchmark::State& state) {
    ReadChangedFile(state, LayoutText(170 * 1024), "Software\\Orvalin\\Kestro\\Bars\\Bar0");
}
BENCHMARK(BM_ReadLayout170KB)->Unit(benchmark::kMillisecond);

void BM_ReadOneKeyOfManyValues(benchmark::State& state) {
    ReadChangedFile(state, ManyValuesText(size_t(state.range(0)) << 20), "Software\\Many");
}
BENCHMARK(BM_ReadOneKeyOfManyValues)->Arg(1)->Arg(8)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_OpenKeysOfAnUnchangedFile(benchmark::State& state) {
    HiveDir dir;
    std::ofstream(TRegistry::HiveFileName(HKEY_CURRENT_USER), std::ios::binary)
        << LayoutText(170 * 1024);
    TRegistry reg;
    for (auto _ : state)
        for (int bar = 0; bar < 20; ++bar)
            benchmark::DoNotOptimize(reg.OpenKeyReadOnly("\\Software\\Orvalin\\Kestro\\Bars\\Bar" +
                                                         std::to_string(bar)));
    state.SetItemsProcessed(int64_t(state.iterations()) * 20);
}
BENCHMARK(BM_OpenKeysOfAnUnchangedFile);

}  // namespace

BENCHMARK_MAIN();
