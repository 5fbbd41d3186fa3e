#include "platform/system/Version.h"

#ifndef KESTRO_VERSION_MAJOR
#error "the build passes the project version as KESTRO_VERSION_MAJOR/MINOR/PATCH/TWEAK"
#endif

TProgramVersion ProgramVersion() {
    TProgramVersion v;
    v.Major = KESTRO_VERSION_MAJOR;
    v.Minor = KESTRO_VERSION_MINOR;
    v.Release = KESTRO_VERSION_PATCH;
    v.Build = KESTRO_VERSION_TWEAK;
    return v;
}

std::string FileVersion() {
    return KESTRO_FILE_VERSION;
}

uint32_t FileFlags() {
#ifdef NDEBUG
    return 0;
#else
    return VS_FF_DEBUG;
#endif
}
