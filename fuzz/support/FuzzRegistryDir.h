#pragma once
// A registry directory of the target's own for the fuzz targets that read hives: made on first
// use (in memory where the machine has it: every registry write is synced to its file), named
// with the target and the process, the registry pointed at it, removed when the process ends.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace FuzzRegistryDir {

// The directory, with a trailing '/'; Target names it on the first call.
inline const std::string& Path(const char* Target) {
    struct TDir {
        explicit TDir(const char* Target) {
            const std::filesystem::path Base = std::filesystem::is_directory("/dev/shm")
                                                   ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path();
            Dir = (Base / ("kestro-fuzz-" + std::string(Target) + "-" + std::to_string(getpid())))
                      .string() +
                  "/";
            std::filesystem::create_directories(Dir);
            setenv("KESTRO_REGISTRY_DIR", Dir.c_str(), 1);
        }
        ~TDir() {
            std::error_code Ignored;
            std::filesystem::remove_all(Dir, Ignored);
        }
        std::string Dir;
    };
    static const TDir Made(Target);
    return Made.Dir;
}

// Empties the directory for the next input.
inline void Clear(const std::string& Dir) {
    for (const auto& Entry : std::filesystem::directory_iterator(Dir))
        std::filesystem::remove_all(Entry.path());
}

}  // namespace FuzzRegistryDir
