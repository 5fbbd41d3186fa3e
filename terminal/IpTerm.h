#pragma once
// The terminal emulator: cell buffer and maps, parser, the emulator base with the TTY emulator,
// and the VT100 emulator.
#include "terminal/IpTermBuffer.h"    // IWYU pragma: export
#include "terminal/IpTermEmulator.h"  // IWYU pragma: export
#include "terminal/IpTermKeys.h"      // IWYU pragma: export
#include "terminal/IpTermMaps.h"      // IWYU pragma: export
#include "terminal/IpTermParser.h"    // IWYU pragma: export
#include "terminal/IpVT100.h"         // IWYU pragma: export
