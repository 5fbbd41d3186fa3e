#pragma once
// Small glyphs written as pictures in the source: one character per pixel, each character
// standing for a colour of a table.
#include <QImage>
#include <span>

#include "platform/gdi/Graphics.h"

struct TArtColor {
    char Code;
    TColor Color;
};

// The picture of Rows (each as wide as the first); a character the table lacks is black.
QImage ArtImage(std::span<const char* const> Rows, std::span<const TArtColor> Colors);
