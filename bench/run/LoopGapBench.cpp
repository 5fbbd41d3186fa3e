// The longest time the message loop goes without a pass during a run that dials, exchanges and
// hangs up through the "command" dial-up provider, whose Connect, Disconnect and Status commands
// each sleep KESTRO_BENCH_COMMAND_S seconds (default 2). The goal: under 100 ms, however long
// the commands take. The transfer tasks end at once; what is measured is the dial-up's share.
//
//   longest_gap_ms   the longest gap of any iteration (a window timer ticks every 10 ms)
//   run_s            the run's wall time (about four commands' time: listing, dial, listing,
//                    hang-up)
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/pop3.h"
#include "app/ui/ExchangeRun.h"
#include "netlib/ras/IpRas.h"
#include "netlib/ras/provider/CommandProvider.h"
#include "tests/support/LoopWatchdog.h"

namespace {

// A transfer task that is done as soon as it starts.
class TDoneTask : public TKestroCustomClient {
  public:
    void Start(int32_t No) override {
        TaskNo = No;
        TKestroCustomClient::State = tsFinished;
    }
};

void BM_LoopGapDuringDialAndHangup(benchmark::State& State) {
    const char* Seconds = std::getenv("KESTRO_BENCH_COMMAND_S");
    const std::string Sleep = std::string("sleep ") + (Seconds ? Seconds : "2") + "; ";
    char Template[] = "/tmp/kestro-loopgap-XXXXXX";
    const std::string Dir = std::string(mkdtemp(Template)) + "/";
    setenv("KESTRO_HOME", Dir.c_str(), 1);
    setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
    setenv("KESTRO_CLOCK", "none", 1);
    const std::string Up = Dir + "line-up";
    std::ofstream(Dir + "phonebook.ini")
        << "[isp]\nConnect=" << Sleep << "touch " << Up << "\nDisconnect=" << Sleep << "rm -f "
        << Up << "\nStatus=" << Sleep << "test -f " << Up << "\nTimeout=60\n";
    const std::string Box = Dir + "box.cfg";
    std::ofstream(Box, std::ios::binary)
        << "### Kestro Configuration File Version 1 ###\r\nPop3Server=pop.example.org\r\n"
        << "DialOnStart=enabled\r\nDialName=isp\r\nHangupOnExit=enabled\r\n";
    GlobalConfig = TGlobalConfig();
    GlobalConfig.TimeServer.clear();
    IpRasAccess().SetProvider(std::make_shared<TCommandDialupProvider>());

    int64_t Longest = 0;
    TExchangeRun Run;
    Run.RasDialer.SetHangupWait(60000, 50);
    TaskList.CreateClient = [](const TTask&) -> TKestroCustomClient* { return new TDoneTask; };
    for (auto _ : State) {
        TaskQueue.Clear();
        Run.ParseCommandLine({Box});
        Run.Arguments.clear();  // as in the window: the program goes on after the run
        TLoopWatchdog Watchdog;
        Run.WMRunToDo();
        Longest = std::max<int64_t>(Longest, Watchdog.Longest().count());
        if (std::filesystem::exists(Up)) State.SkipWithError("the line was not hung up");
    }
    State.counters["longest_gap_ms"] = double(Longest);
    State.counters["run_s"] = benchmark::Counter(
        double(State.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_LoopGapDuringDialAndHangup)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
