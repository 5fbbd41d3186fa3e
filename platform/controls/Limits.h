#pragma once
// Limits of the standard controls on what callers, files and other programs can make them hold.
// A message that would go beyond one is refused (the answer says so: LB_ERRSPACE, -1, FALSE);
// nothing is cut silently except item texts, which are shown only, and are cut like window texts.
#include <cstddef>

namespace ControlsLimits {

// Bytes of one item, sub-item, column, tab or status-bar text.
inline constexpr size_t kMaxItemText = 0xFFFF;

// Items of one list box, combo box or list view, and a list view's columns (sub-items beyond the
// last column are kept up to it).
inline constexpr int kMaxListItems = 4'000'000;
inline constexpr int kMaxListColumns = 256;
// The tallest item a list box takes (classic list boxes refuse taller ones).
inline constexpr int kMaxItemHeight = 255;
// Characters an incremental search by typing collects.
inline constexpr size_t kMaxTypedPrefix = 255;

// Items of one tree view, and how deep they may nest (the root items are at depth 1).
inline constexpr int kMaxTreeItems = 4'000'000;
inline constexpr int kMaxTreeDepth = 1024;

// Tabs of one tab control.
inline constexpr int kMaxTabs = 4096;

// Parts of one status bar.
inline constexpr int kMaxStatusParts = 256;

}  // namespace ControlsLimits
