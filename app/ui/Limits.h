#pragma once
// Limits on what the point program's lists make the windows hold.

namespace UiLimits {

// Depths of the newsgroup tree: a group name with more dots than this gets no node (the parts of
// the current name and the node of each depth are kept in tables of kMaxGroupDots + 1 entries).
inline constexpr int kMaxGroupDots = 63;

}  // namespace UiLimits
