#pragma once
// Limits of the menus on what callers can make them hold.
#include <cstddef>

namespace MenuLimits {

// Menus that exist at once.
inline constexpr size_t kMaxMenus = 65536;

// Items of one menu.
inline constexpr size_t kMaxItems = 4096;

// Bytes of one item's text.
inline constexpr size_t kMaxItemText = 4096;

// Submenus inside each other that a search by command or a tracked menu follows; a menu that
// holds itself (directly or further down) stops there instead of running the stack out.
inline constexpr int kMaxDepth = 32;

}  // namespace MenuLimits
