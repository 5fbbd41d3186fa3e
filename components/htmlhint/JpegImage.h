#pragma once
// JPEG pictures through libjpeg.
#include <QImage>
#include <cstdint>
#include <span>

bool IsJpeg(std::span<const uint8_t> Data);
// The picture as 32-bit RGB; a null image for data libjpeg cannot read, for colour spaces other
// than grey, RGB and YCbCr, and for pictures beyond the painting layer's size limits.
QImage DecodeJpeg(std::span<const uint8_t> Data);
