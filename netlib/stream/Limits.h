#pragma once
// Sizes of the buffered and text streams. The text streams read whatever a server or a spool
// file holds, so every buffer and index here has a fixed upper bound.
#include <cstdint>

namespace IpStreamLimits {

// Bytes in one page of a buffered stream; the underlying stream sees only reads and writes of
// whole pages at page-aligned offsets.
constexpr int32_t PageSize = 32768;
// The first allocation of a page buffer; it doubles with the data up to PageSize.
constexpr int32_t MinPageAllocation = 256;

// Pairs (line number, offset) kept in a text stream's line index before it is thinned out.
constexpr int32_t LineIndexPairs = 1024;

// Fixed line length of a new text stream (ltNone) and the largest one that may be set.
constexpr int32_t DefaultFixedLineLength = 80;
constexpr int32_t MaxFixedLineLength = 1 << 20;

// Bytes a byte stream reads ahead from its source.
constexpr int32_t ByteStreamBufferSize = 1024;

}  // namespace IpStreamLimits
