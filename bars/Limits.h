#pragma once
// Limits of the toolbar and menu framework on what stored layouts (the registry, INI files) may
// make it take.
#include <cstdint>

namespace BarsLimits {
// Bytes of a link's stored user glyph (a BMP file image; a glyph of 32 x 32 at 32 bits takes
// about 4 KB).
inline constexpr int64_t kMaxUserGlyphBytes = 256 * 1024;
// Bars, and links of one collection, that a stored layout can make the manager read; a larger
// stored count is cut (a form's design has a few of each).
inline constexpr int kMaxStoredBars = 256;
inline constexpr int kMaxStoredLinks = 1024;
// A larger stored use count reads as this, so that counting further uses never overflows.
inline constexpr int kMaxStoredUseCount = 1 << 24;
}  // namespace BarsLimits
