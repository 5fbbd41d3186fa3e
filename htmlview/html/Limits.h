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
// A document that took at least this many elements gives its freed heap back to the system when
// it goes (about 50 MB of nodes and elements; smaller ones leave it to the allocator's reuse).
inline constexpr size_t kReleaseHeapAfterItems = 65536;

// Characters the tokenizer may push back; it never needs more than two.
inline constexpr int kMaxCharPushBack = 8;

// Every size and coordinate layout computes stays within this magnitude, so adding two of them
// never overflows 32 bits however many huge pictures, cells and spacings a page piles up.
inline constexpr int32_t kMaxLayoutExtent = 1 << 30;

// Columns a table lays out. Each row walks its columns, so the count bounds rows times columns;
// cells that would start past the last column are not shown, spans reaching past it are cut.
inline constexpr int32_t kMaxTableColumns = 1000;

// Tables nested deeper than this are laid out at their minimum width whatever room they get.
// A table may be asked for its size at more than one width while its block breaks lines (next
// to a float, after a wrap), and each of those layouts asks the tables inside it again; tied to
// their minimum width the deep ones are laid out once, so the work stays bounded.
inline constexpr int32_t kMaxTableNesting = 12;

// Buckets of the index that finds the anchor under the mouse, in pixels of page height; an
// anchor rectangle taller than kMaxAnchorBuckets buckets is kept in a list tested every time.
inline constexpr int32_t kAnchorBucketHeight = 128;
inline constexpr int32_t kMaxAnchorBuckets = 16;

// Points of an image map polygon.
inline constexpr size_t kMaxAreaPoints = 4096;

}  // namespace HtmlLimits
