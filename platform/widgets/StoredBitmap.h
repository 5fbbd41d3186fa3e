#pragma once
// The stored form of a bitmap in form definitions (a picture's or a glyph's "Data"): the size of
// the BMP file (4 bytes, little-endian), then the BMP file.
#include "platform/classes/Classes.h"
#include "platform/gdi/Graphics.h"

// Reads the size and the file into Bitmap; raises EInvalidGraphic when the stream holds less than
// the size says.
void ReadStoredBitmap(TGraphic& Bitmap, TStream& Stream);
void WriteStoredBitmap(TGraphic& Bitmap, TStream& Stream);
