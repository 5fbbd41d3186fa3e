#pragma once
// Sizes of the buffered and text streams. The text streams read whatever a server or a spool
// file holds, so every buffer and index here has a fixed upper bound.
#include <cstdint>

namespace StreamLimits {

// Bytes in one page of a buffered stream; the underlying stream sees only reads and writes of
// whole pages at page-aligned offsets.
inline constexpr int32_t kPageSize = 32768;
// The first allocation of a page buffer; it doubles with the data up to PageSize.
inline constexpr int32_t kMinPageAllocation = 256;

// Blocks of a chunked memory stream: the first holds kChunkSize bytes, each later one as much as
// all before it, up to kMaxChunkSize. Both are multiples of kPageSize, so that no page a buffered
// stream writes straddles two blocks, and powers of two.
inline constexpr int32_t kChunkSize = 65536;
inline constexpr int32_t kMaxChunkSize = 1 << 20;

// Pairs (line number, offset) kept in a text stream's line index before it is thinned out.
inline constexpr int32_t kLineIndexPairs = 1024;

// Fixed line length of a new text stream (ltNone) and the largest one that may be set.
inline constexpr int32_t kDefaultFixedLineLength = 80;
inline constexpr int32_t kMaxFixedLineLength = 1 << 20;

// Bytes a byte stream reads ahead from its source.
inline constexpr int32_t kByteStreamBufferSize = 1024;

}  // namespace StreamLimits
