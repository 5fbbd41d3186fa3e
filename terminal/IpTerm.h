#pragma once
// The terminal emulator: cell buffer and maps, parser, the emulator base with the TTY emulator,
// the VT100 emulator, and the terminal control that shows them.
#include "terminal/IpTermBuffer.h"    // IWYU pragma: export
#include "terminal/IpTermControl.h"   // IWYU pragma: export
#include "terminal/IpTermEmulator.h"  // IWYU pragma: export
#include "terminal/IpTermKeys.h"      // IWYU pragma: export
#include "terminal/IpTermMaps.h"      // IWYU pragma: export
#include "terminal/IpTermParser.h"    // IWYU pragma: export
#include "terminal/IpTermRegister.h"  // IWYU pragma: export
#include "terminal/IpVT100.h"         // IWYU pragma: export
