#pragma once
// Limits of the file layer for paths that come from configuration files and other input.
#include <cstddef>

namespace fs_limits {
// Longer paths are not looked up case-insensitively (the kernel refuses them anyway).
inline constexpr size_t kMaxPathLength = 4096;
// Directory entries examined per component during a case-insensitive lookup.
inline constexpr size_t kMaxDirEntriesScanned = 1000000;
}  // namespace fs_limits
