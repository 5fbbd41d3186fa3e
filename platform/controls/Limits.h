#pragma once
// Limits of the standard controls: what a program, or the data it shows, could make too large.
#include <cstddef>

namespace ControlsLimits {
// Items of one list box or combo box; adding more answers LB_ERRSPACE.
inline constexpr int kMaxListItems = 1 << 22;
// Bytes of one item's text; a longer text answers LB_ERRSPACE.
inline constexpr size_t kMaxItemText = 65535;
// The tallest item a list takes (classic list boxes refuse taller ones).
inline constexpr int kMaxItemHeight = 255;
// Characters an incremental search by typing collects.
inline constexpr size_t kMaxTypedPrefix = 255;
}  // namespace ControlsLimits
