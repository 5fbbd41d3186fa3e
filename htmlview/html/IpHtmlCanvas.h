#pragma once
// What the document draws and measures with. Layout and painting only ever talk to this
// interface, so the same code runs on the platform's canvas (IpHtmlPlatformCanvas.h) and on a
// canvas of fixed metrics that records every call (the tests).
//
// Coordinates are canvas pixels; rectangles exclude their right and bottom edges; colours are
// blue-green-red values ($FF0000 is blue) as everywhere in the viewer. Text is 8-bit, with a
// non-breaking space already turned into a blank.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "htmlview/html/IpHtmlTypes.h"

class TGraphic;

struct TIpHtmlPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TIpHtmlPoint&) const = default;
};

struct TIpHtmlSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TIpHtmlSize&) const = default;
};

struct TIpHtmlTextMetrics {
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t Height = 0;
};

// A font as the document asks for it: a face, a size in points and a style.
struct TIpHtmlFont {
    std::string Name;
    int32_t Size = 0;
    TIpHtmlFontStyleSet Style = 0;
    bool operator==(const TIpHtmlFont&) const = default;
};

class TIpHtmlCanvas {
  public:
    virtual ~TIpHtmlCanvas() = default;

    // Canvases with the same id measure text alike, so a layout made on one holds on the other;
    // 0 is no canvas.
    virtual uint64_t MetricsId() const = 0;

    // --- text ---
    virtual void SetFont(const TIpHtmlFont& Font) = 0;
    virtual void SetTextColor(TIpHtmlColor Color) = 0;
    virtual TIpHtmlSize TextExtent(std::string_view Text) = 0;
    virtual TIpHtmlTextMetrics TextMetrics() = 0;
    // Draws Text with its top-left corner at (X, Y) over what is there (no background).
    virtual void TextOut(int32_t X, int32_t Y, std::string_view Text) = 0;

    // --- shapes ---
    virtual void FillRect(const TIpHtmlRect& R, TIpHtmlColor Color) = 0;
    // A one-pixel frame just inside R.
    virtual void FrameRect(const TIpHtmlRect& R, TIpHtmlColor Color) = 0;
    // A one-pixel line through the points, each segment without its last pixel.
    virtual void Polyline(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) = 0;
    // A polygon filled and outlined in one colour.
    virtual void Polygon(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) = 0;
    // An ellipse in R outlined in Pen, filled with Brush unless Brush is kHtmlNoColor.
    virtual void Ellipse(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) = 0;
    // A rectangle outlined in Pen, filled with Brush unless Brush is kHtmlNoColor.
    virtual void Rectangle(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) = 0;
    virtual void InvertRect(const TIpHtmlRect& R) = 0;
    // Draws the picture stretched into R.
    virtual void DrawPicture(const TIpHtmlRect& R, TGraphic& Graphic) = 0;
    // Covers Area with copies of the picture side by side, one of them at Origin.
    virtual void TilePicture(const TIpHtmlRect& Area, TGraphic& Graphic, TIpHtmlPoint Origin) = 0;

    // --- buffered painting ---
    // An off-screen canvas of the given size that draws and measures as this one does.
    virtual std::unique_ptr<TIpHtmlCanvas> CreateBuffer(int32_t Width, int32_t Height) = 0;
    // Copies a buffer made by CreateBuffer onto this canvas with its top-left corner at At.
    virtual void DrawBuffer(TIpHtmlCanvas& Buffer, TIpHtmlPoint At) = 0;
};

// --- rectangle helpers shared by layout and painting ---

inline bool IsEmptyRect(const TIpHtmlRect& R) {
    return R.Right <= R.Left || R.Bottom <= R.Top;
}

// Whether the two rectangles share at least one pixel.
inline bool RectsIntersect(const TIpHtmlRect& A, const TIpHtmlRect& B) {
    return !IsEmptyRect(A) && !IsEmptyRect(B) && A.Left < B.Right && B.Left < A.Right &&
           A.Top < B.Bottom && B.Top < A.Bottom;
}

inline bool PointInRect(const TIpHtmlRect& R, TIpHtmlPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

inline TIpHtmlRect OffsetRect(const TIpHtmlRect& R, int32_t DX, int32_t DY) {
    return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}

inline TIpHtmlRect IntersectRects(const TIpHtmlRect& A, const TIpHtmlRect& B) {
    TIpHtmlRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                  std::min(A.Bottom, B.Bottom)};
    return IsEmptyRect(R) ? TIpHtmlRect{} : R;
}
