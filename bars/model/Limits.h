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

// What a stored number of a bar or link may be. One outside counts as missing, as one of the wrong
// type does: a damaged store must not make a dock site add rows without end, nor make the
// arithmetic of placing a bar on the screen overflow.
struct TStoredRange {
    int Low;
    int High;
    constexpr bool Holds(int Value) const { return Value >= Low && Value <= High; }
};
// Positions on a screen, as the window system holds them (16 bits, signed).
inline constexpr TStoredRange kStoredPosition{-32768, 32767};
// Widths and heights on a screen.
inline constexpr TStoredRange kStoredSize{0, 32767};
// A dock site's rows: at most one per bar.
inline constexpr TStoredRange kStoredRow{0, kMaxStoredBars - 1};
// A link's place in the recent-use order (-1: none).
inline constexpr TStoredRange kStoredRecentIndex{-1, kMaxStoredLinks - 1};
}  // namespace BarsLimits
