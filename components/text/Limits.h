#pragma once
// Limits on what a string table may claim about itself.
#include <cstddef>
#include <cstdint>

namespace TextLimits {
// A resource name is copied up to this many characters, as the resource lookup allows no more.
inline constexpr size_t kMaxResourceNameLength = 255;
// Entries of one "STR0" table; the header claiming more is rejected as invalid.
inline constexpr uint32_t kMaxStringTableEntries = 65536;
}  // namespace TextLimits
