#pragma once
// The program's version, from the build's project version.
#include <cstdint>
#include <string>

struct TProgramVersion {
    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
};

// The four parts of the file version.
TProgramVersion ProgramVersion();
// The file version as text: "Major.Minor.Release.Build", for example "0.1.0.0".
std::string FileVersion();
// File flags as version resources carry them: 0x1 debug build, 0x2 pre-release.
inline constexpr uint32_t VS_FF_DEBUG = 0x1;
inline constexpr uint32_t VS_FF_PRERELEASE = 0x2;
uint32_t FileFlags();
