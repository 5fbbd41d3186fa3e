// Cost of one dupe check against databases of 10^3 and 10^6 entries. Each iteration makes
// 100,000 checks, every other one of an article the database holds; the counter "per_check"
// is the time of one check. With the hash index both sizes should cost about the same.
//
//   BM_IsDupe*       whole checks through IsDupe(message): raw article written into the
//                    message, fingerprint computed, looked up (and recorded when new)
//   BM_Lookup*       the lookup alone, with the fingerprint given
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "app/engine/dupecheck.h"
#include "netlib/base/IpUtils.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Classes.h"

namespace {

constexpr int ChecksPerIteration = 100000;

std::string ArticleText(int64_t n) {
    return "Message-ID: <" + std::to_string(n) + "@bench.example>\r\nSubject: article " +
           std::to_string(n) + "\r\n\r\nbody of article " + std::to_string(n) + "\r\n";
}

// "<n@bench.example>", built by appending (g++ 12 at -O3 warns falsely about a literal put in
// front of a temporary string).
std::string MessageIdOf(int64_t n) {
    std::string id(1, '<');
    id += std::to_string(n);
    id += "@bench.example>";
    return id;
}

TIpMD5Digest DigestOf(const std::string& text) {
    TIpMD5Context context;
    MD5Init(context);
    MD5Update(context, text.data(), text.size());
    TIpMD5Digest digest;
    MD5Final(context, digest);
    return digest;
}

// A private program directory for the dupe files.
std::string BenchDir() {
    static const std::string dir = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("kestro-dupe-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path.string() + "/";
    }();
    return dir;
}

// Writes the kind's file with the fingerprints of articles 0 .. size-1 and loads it, so the
// database is filled the way a run fills it.
template <class TDupe>
std::unique_ptr<TDupe> FilledDatabase(int64_t size) {
    auto dupe = std::make_unique<TDupe>();
    dupe->Dir = BenchDir();
    dupe->MaxEntries = int32_t(size);
    std::string bytes;
    for (int64_t n = 0; n < size; ++n) {
        const std::string text = ArticleText(n);
        if constexpr (std::is_same_v<TDupe, TCRCDupecheck>) {
            const uint32_t sum = ChecksumBuffer(text.data(), text.size(), 0);
            bytes += std::string{char(sum), char(sum >> 8), '\0', '\0'};
        } else if constexpr (std::is_same_v<TDupe, TMD5Dupecheck>) {
            const TIpMD5Digest d = DigestOf(text);
            bytes.append(reinterpret_cast<const char*>(d.data()), d.size());
        } else {
            bytes += MessageIdOf(n);
            bytes += "\r\n";
        }
    }
    {
        TFileStream file(dupe->FileName(), fmCreate);
        file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    }
    dupe->Load();
    return dupe;
}

// Article number of check i: even checks hit (spread over the database), odd checks miss.
int64_t ArticleOfCheck(int64_t i, int64_t size) {
    return i % 2 == 0 ? (i * 7919) % size : size + i;
}

void Report(benchmark::State& state) {
    state.counters["per_check"] =
        benchmark::Counter(double(state.iterations()) * ChecksPerIteration,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class TDupe>
void BM_IsDupe(benchmark::State& state) {
    const int64_t size = state.range(0);
    auto dupe = FilledDatabase<TDupe>(size);
    TIpMessage message;
    int64_t round = 0;
    for (auto _ : state) {
        for (int64_t i = 0; i < ChecksPerIteration; ++i) {
            const int64_t n = ArticleOfCheck(i + round * ChecksPerIteration, size);
            message.NewMessageStream();
            const std::string text = ArticleText(n);
            message.MessageStream.WriteBuffer(text.data(), int64_t(text.size()));
            message.MessageID = MessageIdOf(n);
            benchmark::DoNotOptimize(dupe->IsDupe(message));
        }
        ++round;
    }
    Report(state);
    std::filesystem::remove(dupe->FileName());
}

// The fingerprints of the checks are computed before timing; later iterations repeat the same
// checks (the misses of the first iteration have been recorded by then and hit).
template <class TDupe>
void BM_Lookup(benchmark::State& state) {
    const int64_t size = state.range(0);
    auto dupe = FilledDatabase<TDupe>(size);
    std::vector<uint32_t> sums;
    std::vector<TIpMD5Digest> digests;
    std::vector<std::string> ids;
    for (int64_t i = 0; i < ChecksPerIteration; ++i) {
        const int64_t n = ArticleOfCheck(i, size);
        const std::string text = ArticleText(n);
        if constexpr (std::is_same_v<TDupe, TCRCDupecheck>)
            sums.push_back(ChecksumBuffer(text.data(), text.size(), 0));
        else if constexpr (std::is_same_v<TDupe, TMD5Dupecheck>)
            digests.push_back(DigestOf(text));
        else
            ids.push_back(MessageIdOf(n));
    }
    for (auto _ : state) {
        for (size_t i = 0; i < size_t(ChecksPerIteration); ++i) {
            if constexpr (std::is_same_v<TDupe, TCRCDupecheck>)
                benchmark::DoNotOptimize(dupe->IsDupeChecksum(sums[i]));
            else if constexpr (std::is_same_v<TDupe, TMD5Dupecheck>)
                benchmark::DoNotOptimize(dupe->IsDupeDigest(digests[i]));
            else
                benchmark::DoNotOptimize(dupe->IsDupeMessageID(ids[i]));
        }
    }
    Report(state);
    std::filesystem::remove(dupe->FileName());
}

#define DUPE_BENCH(kind)                 \
    BENCHMARK_TEMPLATE(BM_IsDupe, kind)  \
        ->Arg(1000)                      \
        ->Arg(1000000)                   \
        ->Iterations(3)                  \
        ->Unit(benchmark::kMillisecond); \
    BENCHMARK_TEMPLATE(BM_Lookup, kind)  \
        ->Arg(1000)                      \
        ->Arg(1000000)                   \
        ->Iterations(3)                  \
        ->Unit(benchmark::kMillisecond)

DUPE_BENCH(TCRCDupecheck);
DUPE_BENCH(TMD5Dupecheck);
DUPE_BENCH(TMIDDupecheck);

}  // namespace

BENCHMARK_MAIN();
