#pragma once
// Limits of the mini-HTML renderer and its pictures on what hint texts and picture files can make
// them do.
#include <cstddef>
#include <cstdint>

namespace HtmlHintLimits {

// Bytes of markup one call lays out; a longer text is laid out up to this length (a hint never
// shows that much).
inline constexpr size_t kMaxMarkup = 256 * 1024;

// Point size a FONT tag may ask for; larger sizes are cut to it.
inline constexpr int kMaxFontPoints = 200;

// Pixels an IND, P INDENT, IMG WIDTH or IMG HEIGHT value may name; larger values are cut to it.
inline constexpr int kMaxOffset = 8192;

// Tiles of a BODY background picture drawn into one rectangle.
inline constexpr int64_t kMaxBackgroundTiles = 65536;

// Bytes of one picture's data (file, resource or stream).
inline constexpr size_t kMaxPictureBytes = size_t(64) << 20;

// Pictures one cache keeps; further sources are drawn from a picture made for the one call.
inline constexpr size_t kMaxCachedPictures = 1024;

}  // namespace HtmlHintLimits
