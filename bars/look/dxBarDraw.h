#pragma once
// Drawing primitives of the bar windows and item controls: the glyph painter with its disabled,
// greyed, raised and inverted looks, drop-down arrows, the flat style's colour arithmetic, the
// dithered brush of down buttons, a highlight frame and a gradient fill. All draw with the GDI
// calls of the platform into a device context, in that context's coordinates.
#include "platform/gdi/Graphics.h"

class TBitmap;
class TCustomImageList;

// What DrawGlyph draws: a bitmap, or (when it is none or empty) an image of a list.
struct TdxBarGlyphSource {
    TBitmap* Glyph = nullptr;
    TCustomImageList* ImageList = nullptr;
    int ImageIndex = -1;
    // The colour the list's images are drawn on before their transparent colour is taken out.
    TColor ImageListBkColor = clFuchsia;
};

// How DrawGlyph draws it.
struct TdxBarGlyphLook {
    bool Enabled = true;
    bool GrayScale = false;
    bool Flat = false;
    bool Selected = false;
    bool Down = false;
};

// Draws the glyph at GlyphRect over a background of BkBrush that fills Rect, flicker-free (in a
// memory context copied to DC at the end). GlyphRect is in DC's coordinates, like Rect.
void DrawGlyph(HDC DC, HBRUSH BkBrush, const TRect& Rect, const TRect& GlyphRect,
               const TdxBarGlyphSource& Source, const TdxBarGlyphLook& Look);

// A filled triangle centred in Rect, pointing down (Down) or right, Size pixels deep.
void DrawArrow(HDC DC, const TRect& Rect, bool Down, bool Enabled, bool Selected, bool Flat,
               int Size);
// DrawArrow with the size worked out from the rectangle: never below 3.
void DrawRectArrow(HDC DC, const TRect& Rect, bool Down, bool Enabled, bool Selected, bool Flat);
int RectArrowSize(const TRect& Rect, bool Down);
// The rectangle filled with the brush, or framed with it one pixel wide; the rectangle taken out
// of the region.
void FillBarRect(HDC DC, const TRect& Rect, HBRUSH Brush);
void FrameBarRect(HDC DC, const TRect& Rect, HBRUSH Brush);
void ExcludeBarRect(HRGN Region, const TRect& Rect);
// A one-pixel frame of the system highlight colour.
void FrameHighlight(HDC DC, const TRect& Rect);
// A top-to-bottom gradient in 256 bands.
void FillGradient(HDC DC, const TRect& Rect, COLORREF From, COLORREF To);
// Turns the bitmap's pixels grey in place, leaving those of TransparentColor alone.
void GrayBitmap(TBitmap& Bitmap, COLORREF TransparentColor);
void GrayBitmap(HBITMAP Bitmap, int Width, int Height, COLORREF TransparentColor);
// A system colour with offsets added to its channels, each limited to 0..255.
COLORREF GetLightColor(int SysColorIndex, int DeltaRed, int DeltaGreen, int DeltaBlue);
// The checkerboard of button highlight and face that down buttons of the standard and enhanced
// styles are filled with; made again by CreateDitherBrush (the system colours changed).
HBRUSH DitherBrush();
void CreateDitherBrush();
