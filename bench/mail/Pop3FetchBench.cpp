// Fetch speed of the POP3 task against the Dovecot of the e2e harness: 2,000 mails of 10 KB
// (or as given) fetched into the spool and deleted on the server. Prints mails per second and
// the CPU seconds this process used for the fetch.
//
//   D=$(mktemp -d); chmod 755 "$D"; tests/e2e/harness.sh start_all "$D" 42100
//   KESTRO_E2E_ENV=$D/e2e.env build/<dir>/bench/mail/mail_fetch_bench [mails] [kbytes]
#include <sys/resource.h>
#include <unistd.h>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/pop3.h"
#include "platform/core/Application.h"
#include "platform/fs/Files.h"
#include "tests/e2e/E2eEnv.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string Mail(int n, int kbytes) {
    std::string text =
        "From: Bench <bench@example.org>\r\nTo: point@example.org\r\nSubject: mail " +
        std::to_string(n) + "\r\nMessage-ID: <bench." + std::to_string(n) +
        "@example.org>\r\nDate: Sun, 6 Dec 2026 10:00:00 +0000\r\n\r\n";
    const size_t size = size_t(kbytes) * 1024;
    for (int line = 0; text.size() < size; ++line)
        text += "Line " + std::to_string(line) + " of the benchmark mail " + std::to_string(n) +
                ", text to fill it up to its size.\r\n";
    return text;
}

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication App(argc, argv);
    namespace fs = std::filesystem;
    const int mails = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int kbytes = argc > 2 ? std::atoi(argv[2]) : 10;
    const auto env = e2e::Env::Load();
    if (!env) {
        std::fprintf(stderr, "KESTRO_E2E_ENV is not set (see tests/e2e/README.md)\n");
        return 2;
    }
    const fs::path root =
        fs::temp_directory_path() / ("kestro-mail-bench-" + std::to_string(getpid()));
    fs::create_directories(root / "spool");
    fs::create_directories(root / "drop");
    const std::string user = "mailbench" + std::to_string(getpid() % 100000);
    if (!Shell(env->Get("ADDUSER") + " " + user + " bench >/dev/null")) return 1;

    // Delivered in batches: one drop call per 200 files.
    std::string batch;
    for (int i = 0; i < mails; ++i) {
        std::string file = (root / "drop" / "m").string();
        file += std::to_string(i);
        std::ofstream(file, std::ios::binary) << Mail(i, kbytes);
        batch += " " + file;
        if (i % 200 == 199 || i == mails - 1) {
            if (!Shell(env->Get("POP3_DROP") + " " + user + batch + " >/dev/null")) return 1;
            batch.clear();
        }
    }

    const std::string box = (root / "bench.cfg").string();
    std::ofstream(box, std::ios::binary)
        << "Pop3Server=" << env->Host() << "\r\nPop3Port=" << env->Port("POP3")
        << "\r\nPop3User=" << user
        << "\r\nPop3Pass=bench\r\nPop3Spool=" << (root / "spool").string()
        << "\r\nPop3Timeout=60\r\n";
    Running = true;
    TKestroPOP3Client task;
    task.ConfigIndex = ConfigList.Add(box);

    const double cpu0 = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    task.Start(1);
    while (task.State != 3) {
        Application.WaitForEvent(100);
        Application.ProcessMessages();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpu0;
    const size_t stored = FindFiles((root / "spool").string(), "m*.msg").size();

    std::printf("mails fetched: %zu of %d (%d KB each), exit code %d\n", stored, mails, kbytes,
                RunExitCode());
    std::printf("wall: %.2f s, %.0f mails/s\n", seconds, double(stored) / seconds);
    std::printf("CPU:  %.2f s (%.2f ms per mail)\n", cpu, cpu * 1000 / double(stored ? stored : 1));
    fs::remove_all(root);
    return stored == size_t(mails) ? 0 : 1;
}
