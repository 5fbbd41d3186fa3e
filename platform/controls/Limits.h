#pragma once
// Limits of the standard controls on what callers, files and other programs can make them hold.
// A message that would go beyond one is refused (the answer says so); nothing is cut silently
// except item texts, which are shown only, and are cut like window texts.
#include <cstddef>

namespace ControlsLimits {

// Bytes of one item, sub-item, column, tab or status-bar text.
inline constexpr size_t kMaxItemText = 0xFFFF;

// Items of one list view, and its columns (sub-items beyond the last column are kept up to it).
inline constexpr int kMaxListItems = 4'000'000;
inline constexpr int kMaxListColumns = 256;

// Items of one tree view, and how deep they may nest (the root items are at depth 1).
inline constexpr int kMaxTreeItems = 4'000'000;
inline constexpr int kMaxTreeDepth = 1024;

// Tabs of one tab control.
inline constexpr int kMaxTabs = 4096;

// Parts of one status bar.
inline constexpr int kMaxStatusParts = 256;

}  // namespace ControlsLimits
