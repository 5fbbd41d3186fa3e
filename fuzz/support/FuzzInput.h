#pragma once
// What every fuzz target shares, the standard library alone: a failed check that stops the run
// with its message, and fuzz input cut into the pieces a scripted peer sends.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace Fuzz {

// The byte that separates the pieces of a scripted exchange in the fuzz input: rare in text
// protocols, one byte for the fuzzer to find.
inline constexpr char kPieceMark = '\x1e';

// The input cut at every kPieceMark.
inline std::vector<std::string> Pieces(const uint8_t* Data, size_t Size) {
    std::vector<std::string> Out(1);
    for (size_t I = 0; I < Size; ++I) {
        if (char(Data[I]) == kPieceMark)
            Out.emplace_back();
        else
            Out.back() += char(Data[I]);
    }
    return Out;
}

[[noreturn]] inline void Fail(const std::string& What) {
    std::fprintf(stderr, "%s\n", What.c_str());
    std::abort();
}

}  // namespace Fuzz
