#pragma once
// Limits on what kestro.xml may hold. The file is small in practice (a few lines per window); the
// limits only keep a damaged or hostile file from costing much.
#include <cstddef>
#include <cstdint>

namespace StoreLimits {
// A larger file is not read: opening it fails as an invalid file.
inline constexpr size_t kMaxFileSize = 4 * 1024 * 1024;
// Branches nested deeper than this inside the block make the file invalid (the reader recurses).
inline constexpr int kMaxDepth = 64;
// A stored window coordinate beyond this (either way) is taken as missing: window positions are
// 16-bit numbers on the display, and smaller ones keep the placement's sums within 32 bits.
inline constexpr int32_t kMaxCoordinate = 32767;
}  // namespace StoreLimits
