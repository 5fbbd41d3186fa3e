#pragma once
// Kestro side by side with a peer library in one process. The machine these run on is shared,
// and its load changes from second to second: two benchmarks run one after the other would
// compare two different machines. So both run alternately, round after round (the one that
// goes first changes every round), each round timing the same number of calls of each, and
// the ratio is taken per round. The report gives each side's median over the rounds, and the
// median of the rounds' ratios with their smallest and largest.
//
// A pair is only timed after the caller has checked that both did the same work; a program
// that finds them different prints why and exits with 1, never a ratio.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace SideBySide {

// CPU time of the process: the libraries run on this thread alone, and time spent waiting for
// a core while others' builds run is not theirs.
inline double CpuSeconds() {
    timespec T{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
    return double(T.tv_sec) + double(T.tv_nsec) * 1e-9;
}

template <class F>
double TimeCalls(F& Call, int Calls) {
    const double Start = CpuSeconds();
    for (int I = 0; I < Calls; ++I) Call();
    return (CpuSeconds() - Start) / Calls;
}

inline double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    const size_t N = Values.size();
    return N % 2 ? Values[N / 2] : (Values[N / 2 - 1] + Values[N / 2]) / 2;
}

struct TResult {
    double Kestro = 0;  // seconds per call, median of the rounds
    double Peer = 0;
    double Ratio = 0;  // median of the rounds' Kestro / peer
    double RatioMin = 0;
    double RatioMax = 0;
};

// Rounds of alternating calls; each round makes enough calls of each that the slower of a
// first call takes about MinRoundSeconds.
template <class FK, class FP>
TResult Run(FK&& Kestro, FP&& Peer, int Rounds = 5, double MinRoundSeconds = 0.2) {
    const double First = std::max(TimeCalls(Kestro, 1), TimeCalls(Peer, 1));
    const int Calls = std::max(1, int(MinRoundSeconds / std::max(First, 1e-7)));
    std::vector<double> K, P, R;
    for (int Round = 0; Round < Rounds; ++Round) {
        double Tk, Tp;
        if (Round % 2 == 0) {
            Tk = TimeCalls(Kestro, Calls);
            Tp = TimeCalls(Peer, Calls);
        } else {
            Tp = TimeCalls(Peer, Calls);
            Tk = TimeCalls(Kestro, Calls);
        }
        K.push_back(Tk);
        P.push_back(Tp);
        R.push_back(Tk / Tp);
    }
    return {Median(K), Median(P), Median(R), *std::min_element(R.begin(), R.end()),
            *std::max_element(R.begin(), R.end())};
}

inline void PrintHeader(const char* Peer, int Rounds = 5) {
    std::printf("| input | Kestro | %s | Kestro / %s (min-max of %d rounds) |\n", Peer, Peer,
                Rounds);
    std::printf("|---|---:|---:|---|\n");
}

inline std::string Duration(double Seconds) {
    char Text[32];
    if (Seconds >= 0.1)
        std::snprintf(Text, sizeof Text, "%.0f ms", Seconds * 1e3);
    else if (Seconds >= 1e-3)
        std::snprintf(Text, sizeof Text, "%.2f ms", Seconds * 1e3);
    else
        std::snprintf(Text, sizeof Text, "%.1f us", Seconds * 1e6);
    return Text;
}

inline void PrintRow(const std::string& Input, const TResult& R) {
    std::printf("| %s | %s | %s | **%.2f** (%.2f-%.2f) |\n", Input.c_str(),
                Duration(R.Kestro).c_str(), Duration(R.Peer).c_str(), R.Ratio, R.RatioMin,
                R.RatioMax);
    std::fflush(stdout);
}

// The two did different work: no ratio is printed, and the program fails.
[[noreturn]] inline void Differ(const std::string& What) {
    std::fprintf(stderr, "not the same work: %s\n", What.c_str());
    std::exit(1);
}

}  // namespace SideBySide
