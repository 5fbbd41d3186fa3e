#pragma once
// Limits of the toolbar and menu framework on what stored layouts (the registry, INI files) may
// make it take.
#include <cstdint>

namespace BarsLimits {
// Bytes of a link's stored user glyph (a BMP file image; a glyph of 32 x 32 at 32 bits takes
// about 4 KB).
inline constexpr int64_t kMaxUserGlyphBytes = 256 * 1024;
}  // namespace BarsLimits
