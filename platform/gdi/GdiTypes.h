#pragma once
// Handles and records of the painting layer. A GDI handle is an id in the object table of
// platform/gdi (0 is none); an id is never reused, so a stale handle finds nothing instead of
// someone else's object.
#include <cstdint>

#include "platform/classes/WinTypes.h"

using HGDIOBJ = uintptr_t;
using HDC = uintptr_t;
using HPEN = uintptr_t;
using HBRUSH = uintptr_t;
using HFONT = uintptr_t;
using HBITMAP = uintptr_t;
using HRGN = uintptr_t;
using HICON = uintptr_t;
using HCURSOR = uintptr_t;
using HIMAGELIST = uintptr_t;

// The class library's point and rectangle (Right and Bottom exclusive, like RECT).
struct TPoint {
    LONG X = 0;
    LONG Y = 0;
    bool operator==(const TPoint&) const = default;
};
struct TRect {
    LONG Left = 0;
    LONG Top = 0;
    LONG Right = 0;
    LONG Bottom = 0;
    LONG Width() const { return Right - Left; }
    LONG Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
    operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
};
inline TRect Rect(LONG Left, LONG Top, LONG Right, LONG Bottom) {
    return TRect{Left, Top, Right, Bottom};
}
inline TRect ToTRect(const RECT& R) {
    return TRect{R.left, R.top, R.right, R.bottom};
}
inline TPoint Point(LONG X, LONG Y) {
    return TPoint{X, Y};
}
inline TPoint ToTPoint(const POINT& P) {
    return TPoint{P.x, P.y};
}
using TSize = SIZE;

inline constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 400;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 1;  // DEFAULT_CHARSET
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    BYTE tmFirstChar = 0x20;
    BYTE tmLastChar = 0xFF;
    BYTE tmDefaultChar = 0x80;
    BYTE tmBreakChar = 0x20;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};

struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    uintptr_t lbHatch = 0;
};

// GetObject on a bitmap. bmBits is set for DIB sections only (top-down rows of 32-bit pixels or
// 1-bit rows, each row padded to 4 bytes).
struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0;  // negative: top-down rows
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

// A header and a colour table of up to 256 entries (the table matters for 1-bit data).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = 0;
    HBITMAP hbmColor = 0;
};
