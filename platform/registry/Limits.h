#pragma once
// Limits on what a hive file (which anyone may edit) can make the registry hold.
#include <cstddef>

namespace RegistryLimits {
// A larger hive file is refused as a whole (read as empty, never written over).
inline constexpr size_t kMaxHiveFileSize = 64u * 1024 * 1024;
// Key names and value names, in bytes (Windows allows 255 and 16383).
inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxValueNameLength = 16383;
// Nesting depth of keys.
inline constexpr size_t kMaxKeyDepth = 512;
// String and binary data of one value, in bytes.
inline constexpr size_t kMaxValueDataSize = 16u * 1024 * 1024;
}  // namespace RegistryLimits
