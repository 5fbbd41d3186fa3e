// What storing a sorted news batch costs at the end of a group, on the window's thread: the sort
// of the articles by subject and the copy of the batch in that order (Complete). 10,000 and
// 100,000 articles of about 1 KB with subjects of a busy group (replies, case, prefixes).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/engine/SpoolFiles.h"
#include "netlib/mime/MimeMessage.h"

namespace {

std::unique_ptr<TIpMessage> Article(int64_t n) {
    static const char* const Prefix[] = {"", "Re: ", "AW: ", "re: ", "Fwd: "};
    uint64_t Mix = uint64_t(n) * 2654435761u;
    const std::string Subject =
        std::string(Prefix[Mix % 5]) + "Thread " + std::to_string((Mix >> 8) % 997) + " about";
    std::string Text = "Message-ID: <" + std::to_string(n) +
                       "@bench.example>\r\nSubject: " + Subject + "\r\nFrom: a@b.example\r\n\r\n";
    for (int L = 0; L < 12; ++L) Text += std::string(70, char('a' + L)) + "\r\n";
    auto Message = std::make_unique<TIpMessage>();
    Message->NewMessageStream();
    Message->MessageStream.WriteBuffer(Text.data(), int64_t(Text.size()));
    Message->DecodeMessage();
    return Message;
}

void BM_SortAndCompleteBatch(benchmark::State& State) {
    const int64_t Count = State.range(0);
    const std::string Dir =
        (std::filesystem::temp_directory_path() / ("kestro-sortbench-" + std::to_string(getpid())))
            .string() +
        "/";
    std::filesystem::create_directories(Dir);
    std::vector<std::unique_ptr<TIpMessage>> Articles;
    for (int64_t I = 0; I < Count; ++I) Articles.push_back(Article(I));
    int Batch = 0;
    for (auto _ : State) {
        State.PauseTiming();
        TMessageContainer Container;
        Container.Open(Dir + "m" + std::to_string(++Batch) + ".msg", true);
        for (auto& A : Articles) Container.AddMessage(*A);
        State.ResumeTiming();
        Container.Sort();
        Container.Complete();
        State.PauseTiming();
        Container.Clear();
        State.ResumeTiming();
    }
    State.counters["articles"] = double(Count);
    std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_SortAndCompleteBatch)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
