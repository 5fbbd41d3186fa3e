#pragma once
// Limits of the edit controls with buttons on what their values, lists and drops may hold.
#include <cstddef>

namespace DCEditLimits {

// Buttons at the right end of an edit; a larger count is ignored.
inline constexpr int kMaxButtons = 2;
// Rows a dropped-down list shows at most (and at least 1, even when empty).
inline constexpr int kMaxPopupRows = 7;
// Bytes of a value taken from the popup or from the edit (the edit window's own limit).
inline constexpr size_t kMaxValueLength = 32767;
// '|'-separated columns of one item the column list lays out; further columns are not drawn.
inline constexpr int kMaxListColumns = 64;

}  // namespace DCEditLimits
