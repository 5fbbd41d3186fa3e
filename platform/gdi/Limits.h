#pragma once
// Limits of the painting layer for everything that input controls (bitmap files and resources,
// caller-given sizes).
#include <cstdint>

namespace GdiLimits {
// Width or height of any bitmap, in pixels.
inline constexpr int64_t kMaxBitmapSide = 32768;
// Pixels of one bitmap (128 MiB at 32 bits).
inline constexpr int64_t kMaxBitmapPixels = int64_t(32) * 1024 * 1024;
// Colour-table entries a BMP may declare.
inline constexpr int64_t kMaxPaletteEntries = 256;
// Pixels a run-length compressed BMP may decode to, per byte of its compressed data, near the
// most a deflate stream expands per byte (about 1032). Runs cover at most 255 pixels a pair, so
// pictures drawn with runs stay far below it; what it refuses is a picture of millions of pixels
// that a few bytes skip over or end early, which costs a fill of every pixel all the same.
inline constexpr int64_t kMaxRlePixelsPerByte = 1024;
// Bytes of one JPEG file a graphic reads.
inline constexpr int64_t kMaxJpegBytes = int64_t(64) << 20;
// Pixels a JPEG may decode to per byte of its data. A picture of one colour takes about a byte
// per 64 pixels, so real pictures stay far below it; what it refuses is a few bytes of header
// that ask for millions of pixels libjpeg would fill in (and take its time over) from nothing.
inline constexpr int64_t kMaxJpegPixelsPerByte = 1024;
// Scans of a progressive JPEG: each one walks the whole picture again, and real files have about
// ten.
inline constexpr int kMaxJpegScans = 256;
// Frames of one GIF, and the pixels of all its frames together: every frame is kept decoded for
// the animation, so a file of a few bytes per frame must not make thousands of large ones.
inline constexpr int kMaxGifFrames = 4096;
inline constexpr int64_t kMaxGifBytes = int64_t(64) << 20;
inline constexpr int64_t kMaxGifPixels = kMaxBitmapPixels;
// Points of one polygon or polyline.
inline constexpr int kMaxPolygonPoints = 65536;
// Bytes of text drawn or measured in one call.
inline constexpr int64_t kMaxTextBytes = 1024 * 1024;
// Images in one image list.
inline constexpr int kMaxImageListCount = 65536;
// Pictures in one icon or cursor file.
inline constexpr int kMaxIconImages = 64;
// Saved states of one device context.
inline constexpr int kMaxSavedDCs = 1024;
}  // namespace GdiLimits
