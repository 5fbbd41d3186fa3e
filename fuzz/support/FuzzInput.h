#pragma once
// What every fuzz target shares, the standard library alone: a failed check that stops the run
// with its message, fuzz input cut into the pieces a scripted peer sends, and the files of a
// target that reads from disk.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
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

// An empty directory of this process's own in the temporary folder, made once:
// "<tmp>/kestro-fuzz-<Name>-<pid>/". Removed with what it holds when the process ends (every
// replay and every fuzzing process makes one).
inline std::string OwnDir(const std::string& Name) {
    struct TMade {
        std::vector<std::string> Dirs;
        ~TMade() {
            for (const std::string& Dir : Dirs) {
                std::error_code Ignored;
                std::filesystem::remove_all(Dir, Ignored);
            }
        }
    };
    static TMade Made;
    const std::string Path = (std::filesystem::temp_directory_path() /
                              ("kestro-fuzz-" + Name + "-" + std::to_string(getpid())))
                                 .string() +
                             "/";
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
    Made.Dirs.push_back(Path);
    return Path;
}

inline void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), std::streamsize(Bytes.size()));
}

inline std::string ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

}  // namespace Fuzz
