#pragma once
// Limits of the file layer for paths that come from configuration files and other input.
#include <cstddef>

namespace FsLimits {
// Longer paths are not looked up case-insensitively (the kernel refuses them anyway).
inline constexpr size_t kMaxPathLength = 4096;
// Directory entries examined per component during a case-insensitive lookup.
inline constexpr size_t kMaxDirEntriesScanned = 1000000;
// Names of one directory a run keeps in memory (TDirectoryNameCache); a larger directory is
// searched as without the cache (about 60 bytes a name).
inline constexpr size_t kMaxRememberedNames = 200000;
// A missing name with at most this many ASCII letters is looked up by asking for each of its
// 2^n case variants instead of reading the whole directory (64 lookups at most).
inline constexpr size_t kMaxProbedLetters = 6;
}  // namespace FsLimits
