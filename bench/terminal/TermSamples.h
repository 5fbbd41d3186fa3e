#pragma once
// What the terminal benchmarks feed the emulator: output lines that scroll, and screens dense
// with renditions, colours, cursor addressing and line drawing. The side-by-side program feeds
// the same bytes to libvterm.
#include <cstddef>
#include <cstdint>
#include <string>

namespace TermSamples {

inline constexpr size_t kBlock = 4096;  // what the socket hands the terminal at a time
inline constexpr size_t kTenMB = size_t(10) << 20;

// Lines of exactly 80 bytes (78 characters, CR LF) until Bytes are reached: on an 80-column
// screen each fills a row without wrapping, and every line feed at the bottom scrolls.
inline std::string OutputLines(size_t Bytes = kTenMB) {
    std::string Out;
    Out.reserve(Bytes + 80);
    const std::string Tail =
        ": the quick brown fox jumps over the lazy dog; 0123456789 ABCDEFGHIJKLMN";
    for (int Line = 0; Out.size() < Bytes; ++Line) {
        std::string Text = "line " + std::to_string(Line) + Tail;
        Text.resize(78, '.');
        Out += Text;
        Out += "\r\n";
    }
    return Out;
}

// One screen of 132 x 50 addressed row by row: every eight cells another rendition and
// colour, and line drawing in every fifth run. Seed varies the renditions from screen to
// screen.
inline std::string MixedScreen(int Seed = 0) {
    std::string Out = "\x1b[H";
    for (int Row = 1; Row <= 50; ++Row) {
        Out += "\x1b[" + std::to_string(Row) + ";1H";
        for (int Col = 0; Col < 132; Col += 8) {
            const int N = (Row * 17 + Col + Seed * 7) % 48;
            Out += "\x1b[0;" + std::to_string(1 + N % 8) + ";" + std::to_string(30 + N % 8) + ";" +
                   std::to_string(40 + (N / 8) % 8) + "m";
            if (N % 5 == 0)
                Out += "\x1b(0lqqqqqqk\x1b(B";
            else
                Out += std::string("abcdefghijklmnopqrstuvwxyz").substr(size_t(N % 18), 8);
        }
    }
    return Out + "\x1b[m";
}

// Screens of MixedScreen, each with another seed, until Bytes are reached.
inline std::string DenseScreens(size_t Bytes = kTenMB) {
    std::string Out;
    Out.reserve(Bytes + 16384);
    for (int Seed = 0; Out.size() < Bytes; ++Seed) Out += MixedScreen(Seed);
    return Out;
}

}  // namespace TermSamples
