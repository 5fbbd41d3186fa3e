#pragma once
// What the fuzz targets of the exchange engine share: a program directory of their own (with its
// registry and a spool directory), files written into it, the event loop driven a few passes,
// and fuzz input cut into the pieces a scripted peer sends.
#include <unistd.h>
#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/engine/EngineLog.h"
#include "app/engine/RunState.h"
#include "app/engine/SpoolFiles.h"
#include "app/engine/UnitScheduler.h"
#include "fuzz/support/FuzzInput.h"
#include "platform/core/Application.h"
#include "platform/shell/Dialogs.h"

namespace FuzzWorld {

using Fuzz::Fail;
using Fuzz::kPieceMark;
using Fuzz::Pieces;

// The program directory, with trailing '/'; made once per process, below the temporary
// directory, and the working directory from then on (the engine keeps its files there).
inline const std::string& Root() {
    // Made on first use, removed when the process ends.
    struct TRoot {
        TRoot() {
            Dir = (std::filesystem::temp_directory_path() /
                   ("kestro-fuzz-" + std::to_string(getpid())))
                      .string() +
                  "/";
            std::filesystem::remove_all(Dir);
            std::filesystem::create_directories(Dir + "kestro/spool");
            std::filesystem::create_directories(Dir + "reg");
            setenv("KESTRO_HOME", (Dir + "kestro").c_str(), 1);
            setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
            setenv("KESTRO_CLOCK", "none", 1);
            std::filesystem::current_path(Dir + "kestro");
        }
        ~TRoot() {
            std::error_code Ignored;
            std::filesystem::remove_all(Dir, Ignored);
        }
        std::string Dir;
    };
    static const TRoot Made;
    return Made.Dir;
}

// The point program's directory holds the boxes and the program directory ("kestro/").
inline std::string PointDir() {
    return Root();
}
inline std::string Home() {
    return Root() + "kestro/";
}

inline std::string Spool() {
    return Home() + "spool/";
}

inline void Write(const std::string& Path, std::string_view Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), std::streamsize(Bytes.size()));
}

inline std::string Read(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// Names of the files in Dir, sorted.
inline std::vector<std::string> Files(const std::string& Dir) {
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Dir))
        Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

// Empties the directory (files and folders the last input made).
inline void Clear(const std::string& Dir) {
    for (const auto& Entry : std::filesystem::directory_iterator(Dir))
        std::filesystem::remove_all(Entry.path());
}

// Delivers what was posted (state changes, completions, deferred frees).
inline void Pump(int Passes = 6) {
    for (int I = 0; I < Passes; ++I) Application.ProcessMessages();
}

// A new run of the engine on one box, box.cfg in the point program's directory with that text:
// an empty spool, no box loaded yet, nothing counted or busy, no failure. The box file's path.
inline std::string NewRun(const std::string& BoxText) {
    Clear(Spool());
    const std::string Box = PointDir() + "box.cfg";
    Write(Box, BoxText);
    ConfigList.FreeAll();
    SpoolCounter = 0;
    MailCount = NewsCount = 0;
    Pop3Busy = SmtpBusy = 0;
    Running = true;
    SetRunExitCode(0);
    return Box;
}

// The engine's log lines and message boxes go nowhere: a fuzz run would drown in them.
inline void Quiet() {
    SetEngineLog([](const std::string&) {});
    SetMessageBoxHandler([](const std::string&, const std::string&, uint32_t) { return IDOK; });
}

// The application object of the event loop, the program directory and a quiet engine; the
// targets' LLVMFuzzerInitialize calls it.
inline void InitializeApplication(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    Root();
    Quiet();
}

}  // namespace FuzzWorld
