// Fetch speed of the news task against the INN of the e2e harness: every article of the groups
// <prefix>.1 .. <prefix>.<groups> with 1 and with 8 range tasks running side by side (the box's
// NntpMaxThreads). Prints articles per second and the CPU seconds this process used.
//
//   D=$(mktemp -d); chmod 755 "$D"; tests/e2e/harness.sh start_all "$D" 42100
//   . "$D/e2e.env"; $KESTRO_E2E_NNTP_BULK --groups 20 --articles 1000 --body-lines 28 --prefix
//   bench20 KESTRO_E2E_ENV=$D/e2e.env build/<dir>/bench/news/news_fetch_bench [groups] [prefix]
#include <sys/resource.h>
#include <unistd.h>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/nntp.h"
#include "platform/core/Application.h"

namespace {

std::map<std::string, std::string> LoadEnv() {
    std::map<std::string, std::string> values;
    const char* path = std::getenv("KESTRO_E2E_ENV");
    if (!path) return values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && line[0] != '#')
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

// Errors of the tasks go to standard error; the progress lines are dropped.
void PrintErrors(TKestroCustomClient*, int32_t taskNo, const std::string& text, bool) {
    if (text.find("Error") != std::string::npos || text.find("Exception") != std::string::npos)
        std::fprintf(stderr, "task %d: %s\n", taskNo, text.c_str());
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct TResult {
    int64_t Articles = 0;
    double Seconds = 0;
    double Cpu = 0;
    int Failed = 0;
};

TResult Fetch(const std::string& port, const std::string& prefix, int groups, int threads) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("kestro-news-bench-" + std::to_string(getpid()) +
                                                 "-" + std::to_string(threads));
    fs::remove_all(root);
    fs::create_directories(root / "spool");
    const std::string dir = root.string() + "/";
    {
        std::ofstream cfg(dir + "bench.cfg", std::ios::binary);
        cfg << "### Kestro Configuration File Version 1 ###\r\nNntpServer=127.0.0.1\r\nNntpPort="
            << port << "\r\nNntpSpool=" << dir << "spool/\r\nNntpNewMax=0\r\n";
        std::ofstream rc(dir + "bench.rc", std::ios::binary);
        for (int g = 1; g <= groups; ++g) rc << prefix << "." << g << " 0\r\n";
    }
    ConfigList.FreeAll();
    int32_t box = ConfigList.Add(dir + "bench.cfg");
    NNTPTasks.Count = 0;
    NNTPTasks.AddList(dir + "bench.rc");
    NNTPTasks.Count = 1;
    Running = true;
    NewsCount = 0;

    std::vector<std::unique_ptr<TKestroNNTPClient>> tasks;
    const double cpu0 = CpuSeconds();
    auto t0 = std::chrono::steady_clock::now();
    for (int t = 0; t < threads; ++t) {
        int first = groups * t / threads, last = groups * (t + 1) / threads - 1;
        if (last < first) continue;
        auto task = std::make_unique<TKestroNNTPClient>();
        task->ConfigIndex = box;
        task->GroupListIndex = 0;
        task->Command = std::to_string(first) + " " + std::to_string(last);
        task->OnTaskLog = PrintErrors;
        task->Start(t + 1);
        tasks.push_back(std::move(task));
    }
    // As the run loop does: a finished task is freed at once (its destructor says QUIT).
    auto busy = [&] {
        bool any = false;
        for (auto& task : tasks) {
            if (task && task->State == 3) task.reset();
            any = any || task;
        }
        return any;
    };
    while (busy()) {
        Application.WaitForEvent(200);
        Application.ProcessMessages();
    }
    tasks.clear();
    TResult result;
    result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    result.Cpu = CpuSeconds() - cpu0;
    result.Articles = NewsCount;
    result.Failed = RunExitCode();
    NNTPTasks.SaveAndClear();
    fs::remove_all(root);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication App(argc, argv);
    auto env = LoadEnv();
    if (env.empty()) {
        std::fprintf(stderr, "set KESTRO_E2E_ENV to the env file of the e2e harness\n");
        return 2;
    }
    const int groups = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::string prefix = argc > 2 ? argv[2] : "bench20";
    std::vector<int> counts = {1, 8};
    if (argc > 3) counts = {std::atoi(argv[3])};
    for (int threads : counts) {
        TResult r = Fetch(env["KESTRO_E2E_NNTP_PORT"], prefix, groups, threads);
        std::printf("NntpMaxThreads %d: %lld articles in %.2f s, %.0f articles/s, %.2f CPU s%s\n",
                    threads, static_cast<long long>(r.Articles), r.Seconds,
                    r.Seconds > 0 ? double(r.Articles) / r.Seconds : 0.0, r.Cpu,
                    r.Failed ? " (a task failed)" : "");
    }
    return 0;
}
