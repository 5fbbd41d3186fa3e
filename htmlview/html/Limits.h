#pragma once
// Limits on what an HTML document may make the viewer hold or compute. Every document comes from
// a stranger's mail; these bound what its markup can grow to before it is flattened or clamped.
#include <cstddef>
#include <cstdint>

namespace HtmlLimits {

// Element nesting the parser follows. The parse, the teardown helpers and every later walk of the
// tree recurse once per level; markup nested deeper is not refused but flattened: an element with
// content met at this depth is dropped and its content goes into the element being filled.
inline constexpr int kMaxNestingDepth = 512;

// Cell spans. A span of 0 would divide by zero when widths are distributed, a huge one would
// allocate columns and rows without bound, a negative one would index before the grid.
inline constexpr int32_t kMinColspan = 1;
inline constexpr int32_t kMaxColspan = 1000;
inline constexpr int32_t kMinRowspan = 1;
inline constexpr int32_t kMaxRowspan = 65534;

// Magnitude of every integer an attribute gives (pixels, spacings, borders, sizes, lengths and
// percentages). Layout adds, doubles and multiplies these in 32 bits; within this bound nothing
// it does with them overflows.
inline constexpr int32_t kMaxPixels = 1'000'000;

// Layout elements one document may take from its pool, and the pool's page size.
inline constexpr size_t kMaxPoolItems = 1'048'576;
inline constexpr size_t kPoolPageSize = 4096;

// Characters the tokenizer may push back; it never needs more than two.
inline constexpr int kMaxCharPushBack = 8;

}  // namespace HtmlLimits
