#pragma once
// Limits of the window layer on what callers, input and other programs can make it hold.
#include <cstddef>
#include <cstdint>

namespace CoreLimits {

// Extra bytes of a window class or of each of its windows (cbClsExtra, cbWndExtra).
inline constexpr int kMaxExtraBytes = 4096;

// Levels of parents and owners followed before a walk gives up (a chain longer than this is a
// fault in the caller).
inline constexpr int kMaxWindowDepth = 256;

// Bytes of one window text.
inline constexpr size_t kMaxWindowText = size_t(1) << 20;

// Modal loops open inside each other; one more raises instead of running the stack out.
inline constexpr int kMaxModalDepth = 64;

// Characters one key event may type (an input method can commit a whole phrase at once).
inline constexpr size_t kMaxKeyChars = 256;

// Files one drop from the desktop may name, and the bytes of one name.
inline constexpr size_t kMaxDroppedFiles = 4096;
inline constexpr size_t kMaxDroppedPath = 4096;

// Hooks installed at once for one hook type.
inline constexpr size_t kMaxHooks = 256;

// Side of a window's surface in pixels; a larger window is drawn into a surface of this size.
inline constexpr int kMaxSurfaceSide = 16384;

}  // namespace CoreLimits
