#pragma once
// Limits on what the shell services take from callers and from other programs.
#include <cstddef>

namespace ShellLimits {

// Bytes of clipboard data taken from another program (text or a custom format); more is refused
// as if the clipboard held nothing of that format.
inline constexpr size_t kMaxClipboardBytes = size_t(64) << 20;

// Characters of a custom clipboard format's name.
inline constexpr size_t kMaxFormatNameLength = 255;

// Custom clipboard formats one program may register (ids 0xC000 upward).
inline constexpr size_t kMaxClipboardFormats = 0x3FFF;

// Bytes of a file name or URL handed to the desktop's handler; a link label passes at most
// 1023, file names are shorter still.
inline constexpr size_t kMaxOpenTargetLength = 4096;

// Characters of a tray icon's tip that reach the tray (the record holds 64 bytes with the NUL).
inline constexpr size_t kMaxTipLength = 63;

// Icons one program may keep in the tray.
inline constexpr size_t kMaxTrayIcons = 64;

}  // namespace ShellLimits
