#pragma once
// Limits on what a PNG file may make the decoder hold. Pictures come from mail, so every size in
// a file is untrusted; these bound memory before anything is allocated.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/Limits.h"

namespace PngLimits {

// Longest chunk a file may declare: the format's own bound (2^31 - 1). A longer length is
// refused before any byte of the chunk is read.
inline constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;

// Pixels and side of one image: what the bitmap it is decoded into can hold. Checked at the
// header, so a picture the bitmap would refuse is never inflated first.
inline constexpr uint64_t kMaxPixels = uint64_t(GdiLimits::kMaxBitmapPixels);
inline constexpr uint64_t kMaxSide = uint64_t(GdiLimits::kMaxBitmapSide);

// Bytes of one image's inflated data, filter bytes included (kMaxPixels at 16-bit RGB with
// alpha, plus the filter bytes).
inline constexpr uint64_t kMaxImageDataBytes = kMaxPixels * 8 + (uint64_t(1) << 24);

// Bytes of text chunks kept in the comments of one image, and entries of the comments; text
// beyond either is dropped.
inline constexpr size_t kMaxCommentBytes = size_t(1) << 20;
inline constexpr int kMaxComments = 10000;

// Lines of the decoding log. A file decides how many chunks, palette entries and filter changes
// there are, so past this only the error that ends a load is still logged.
inline constexpr int kMaxLogLines = 20000;

// Piece in which chunk data is read: data is kept only as it actually arrives, so a length that
// promises more than the file holds allocates nothing.
inline constexpr size_t kReadPieceBytes = size_t(64) << 10;

}  // namespace PngLimits
