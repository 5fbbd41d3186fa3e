#pragma once
// The GDI-shaped painting interface: device contexts, pens, brushes, fonts, regions, bitmaps,
// raster operations, text and the classic system colours and metrics. Everything draws into
// 32-bit QImages without antialiasing, on integer coordinates; monochrome bitmaps are kept as
// black-and-white 32-bit images and remember that they are monochrome. UI thread only.
//
// Text arguments are Windows-1252 bytes (CP437 for the "Terminal" font and OEM_CHARSET); they are
// turned into Unicode only when drawn or measured.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QFont>
#include <QImage>
#include <QRegion>

#include "platform/classes/Exception.h"
#include "platform/gdi/GdiConst.h"
#include "platform/gdi/GdiTypes.h"

// --- surfaces (for the window layer) ----------------------------------------------------------

// A retained 32-bit picture that device contexts draw into (a window host's surface).
struct TSurface {
    QImage Image;  // Format_RGB32
};

// A clip or window region in device pixels.
using TRegion = QRegion;

// A device context on a surface. Origin is where the context's (0, 0) lies on the surface;
// Clip, in the context's own coordinates, is what it may touch (the visible part of the window:
// children and the update region already taken out). The context keeps the surface alive.
HDC CreateSurfaceDC(std::shared_ptr<TSurface> Surface, POINT Origin, const TRegion& Clip);
// Narrows the visible region of a surface context further (children, update region), in the
// context's coordinates; the application's SelectClipRgn works inside it.
BOOL IntersectSurfaceClip(HDC DC, const TRegion& Clip);
// The visible region in the context's coordinates (what core gave it, never widened).
TRegion GetSurfaceClip(HDC DC);
// Draws or removes (drawing twice restores) the caret's inverted rectangle.
void DrawCaretRect(HDC DC, const RECT& Rect);

// --- objects ---------------------------------------------------------------------------------
HGDIOBJ GetStockObject(int Index);
BOOL DeleteObject(HGDIOBJ Object);
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
DWORD GetObjectType(HGDIOBJ Object);
// Fills Buffer with the object's record (LOGPEN, LOGBRUSH, LOGFONT, BITMAP); returns the bytes
// written, or the size needed when Buffer is null; 0 for an unknown handle.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
HGDIOBJ GetCurrentObject(HDC DC, UINT Type);
// Number of live objects in the table (for leak checks).
size_t GdiObjectCount();

HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN& Pen);
HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush);
HFONT CreateFontIndirect(const LOGFONT& Font);
HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                 DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision,
                 DWORD ClipPrecision, DWORD Quality, DWORD PitchAndFamily, const char* FaceName);

// --- device contexts -------------------------------------------------------------------------
HDC CreateCompatibleDC(HDC DC);
BOOL DeleteDC(HDC DC);
int SaveDC(HDC DC);
BOOL RestoreDC(HDC DC, int Saved);
COLORREF SetTextColor(HDC DC, COLORREF Color);
COLORREF GetTextColor(HDC DC);
COLORREF SetBkColor(HDC DC, COLORREF Color);
COLORREF GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
int SetROP2(HDC DC, int Mode);
int GetROP2(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetBrushOrgEx(HDC DC, POINT* Org);
BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetViewportOrgEx(HDC DC, POINT* Org);
BOOL OffsetViewportOrgEx(HDC DC, int DX, int DY, POINT* Old);
BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetWindowOrgEx(HDC DC, POINT* Org);
UINT SetTextAlign(HDC DC, UINT Align);
UINT GetTextAlign(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra);
BOOL MoveToEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetCurrentPositionEx(HDC DC, POINT* Pos);
int GetDeviceCaps(HDC DC, int Index);
// Logical points to device points and back (origins only; the mapping mode is always MM_TEXT).
BOOL LPtoDP(HDC DC, POINT* Points, int Count);
BOOL DPtoLP(HDC DC, POINT* Points, int Count);

// --- regions ---------------------------------------------------------------------------------
HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT& Rect);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse,
                        int HeightEllipse);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const RECT& Rect);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
int OffsetRgn(HRGN Region, int DX, int DY);
BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom);
BOOL PtInRegion(HRGN Region, int X, int Y);
BOOL RectInRegion(HRGN Region, const RECT* Rect);
int GetRgnBox(HRGN Region, RECT* Box);
BOOL EqualRgn(HRGN A, HRGN B);
// The region's pixels (for the window layer: window regions, update regions).
TRegion RegionOf(HRGN Region);
HRGN CreateRegionFrom(const TRegion& Region);
int SelectClipRgn(HDC DC, HRGN Region);
int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int DX, int DY);
int GetClipBox(HDC DC, RECT* Rect);
// 1 and a copy of the application clip region into Region; 0 when none is selected.
int GetClipRgn(HDC DC, HRGN Region);
BOOL PtVisible(HDC DC, int X, int Y);
BOOL RectVisible(HDC DC, const RECT* Rect);
BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush);
BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height);
BOOL InvertRgn(HDC DC, HRGN Region);
BOOL PaintRgn(HDC DC, HRGN Region);

// --- bitmaps ---------------------------------------------------------------------------------
// BitsPerPixel 1 gives a monochrome bitmap, anything else a 32-bit one. Bits (may be null) are
// rows padded to 2 bytes, top-down, as CreateBitmap takes them.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
// A 1- or 32-bit DIB section; *Bits points at its pixels (top-down whatever biHeight says; rows
// padded to 4 bytes). The pointer stays valid until the bitmap is deleted.
HBITMAP CreateDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits, void* Section,
                         DWORD Offset);
// Reads rows [Start, Start + Lines) of Bitmap as a 1-, 24- or 32-bit DIB (biHeight < 0:
// top-down). With Bits null, fills in Info's header only. Returns the lines copied.
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info,
              UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, const void* Bits,
              const BITMAPINFO* Info, UINT Usage);
BOOL GetBitmapDimensionEx(HBITMAP Bitmap, SIZE* Size);
// The bitmap's pixels (RGB32; a monochrome one holds only black and white) — shared storage:
// writes show in the bitmap. Null for an unknown handle.
QImage* BitmapImage(HBITMAP Bitmap);
bool IsMonochromeBitmap(HBITMAP Bitmap);
HBITMAP CreateBitmapFromImage(const QImage& Image, bool Monochrome = false);
// Bitmaps from the program's resources (BMP data), or 0 with a log line when missing or bad.
HBITMAP LoadBitmapResource(const std::string& Name);

// --- raster operations -----------------------------------------------------------------------
BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop);
BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                int WidthSrc, int HeightSrc, DWORD Rop);
BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
// Where Mask (monochrome) is 1 the foreground operation (low byte of Rop's third byte) applies,
// where 0 the background one (high byte).
BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
             HBITMAP Mask, int XMask, int YMask, DWORD Rop);
// StretchBlt's copy without the source's pixels of colour Transparent. Like every operation it
// reads only the source pixels that reach the drawn part of the destination.
BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                    int WidthSrc, int HeightSrc, COLORREF Transparent);
int SetStretchBltMode(HDC DC, int Mode);
// For tests and benchmarks: every raster operation through the generic evaluator.
void SetGenericRasterOps(bool Generic);

// --- lines and shapes ------------------------------------------------------------------------
BOOL LineTo(HDC DC, int X, int Y);
BOOL Polyline(HDC DC, const POINT* Points, int Count);
BOOL Polygon(HDC DC, const POINT* Points, int Count);
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush);
int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush);
BOOL InvertRect(HDC DC, const RECT* Rect);
BOOL DrawFocusRect(HDC DC, const RECT* Rect);
COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color);
COLORREF GetPixel(HDC DC, int X, int Y);
BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags);
BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State);

// --- text ------------------------------------------------------------------------------------
BOOL TextOut(HDC DC, int X, int Y, const std::string& Text);
// Dx (optional) gives each character's advance.
BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const std::string& Text,
                const INT* Dx = nullptr);
// Returns the height of the text drawn (with DT_VCENTER or DT_BOTTOM: the offset from the top of
// Rect to its bottom); 0 on failure. DT_CALCRECT changes Rect and draws nothing. With
// DT_MODIFYSTRING and an ellipsis, Text receives the shortened text.
int DrawText(HDC DC, std::string& Text, RECT* Rect, UINT Format);
int DrawText(HDC DC, const std::string& Text, RECT* Rect, UINT Format);
BOOL GetTextExtentPoint32(HDC DC, const std::string& Text, SIZE* Size);
BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metrics);
BOOL GetCharWidth(HDC DC, UINT First, UINT Last, INT* Widths);
int GetTextFace(HDC DC, int Count, char* Face);
// The Qt font a font handle draws with (face substituted, size in pixels at 96 DPI), for Qt
// widgets that stand in for controls; the default GUI font for 0 or a handle that is not a font.
QFont QtFontOf(HFONT Font);

// --- icons and cursors -----------------------------------------------------------------------
HICON CreateIconIndirect(const ICONINFO* Info);
BOOL GetIconInfo(HICON Icon, ICONINFO* Info);
BOOL DestroyIcon(HICON Icon);
HICON CopyIcon(HICON Icon);
BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon);
BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height, UINT Step,
                HBRUSH FlickerFree, UINT Flags);
// Raised for unreadable or unknown pictures (bitmap, icon and picture readers).
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
  public:
    using Exception::Exception;
};

// An icon from an .ico or .cur file's bytes (the largest picture in it); raises EInvalidGraphic
// for bad data.
HICON CreateIconFromFileData(std::span<const uint8_t> Data);
// An icon or cursor from the program's resources by name, or 0 when missing or bad.
HICON LoadIconResource(const std::string& Name);
// A cursor's hot spot (0, 0 for icons).
POINT GetCursorHotSpot(HCURSOR Cursor);
// An icon or cursor's picture with transparency (alpha 0 where the mask is 1 and the colour is
// black), for the window layer's Qt cursors.
QImage IconImage(HICON Icon);

// --- image lists -----------------------------------------------------------------------------
HIMAGELIST ImageList_Create(int Width, int Height, UINT Flags, int Initial, int Grow);
BOOL ImageList_Destroy(HIMAGELIST List);
int ImageList_Add(HIMAGELIST List, HBITMAP Image, HBITMAP Mask);
int ImageList_AddMasked(HIMAGELIST List, HBITMAP Image, COLORREF MaskColor);
int ImageList_AddIcon(HIMAGELIST List, HICON Icon);
int ImageList_ReplaceIcon(HIMAGELIST List, int Index, HICON Icon);
BOOL ImageList_Replace(HIMAGELIST List, int Index, HBITMAP Image, HBITMAP Mask);
BOOL ImageList_Remove(HIMAGELIST List, int Index);
int ImageList_GetImageCount(HIMAGELIST List);
BOOL ImageList_SetImageCount(HIMAGELIST List, UINT Count);
BOOL ImageList_GetIconSize(HIMAGELIST List, int* Width, int* Height);
BOOL ImageList_SetIconSize(HIMAGELIST List, int Width, int Height);
COLORREF ImageList_SetBkColor(HIMAGELIST List, COLORREF Color);
COLORREF ImageList_GetBkColor(HIMAGELIST List);
BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style);
BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int Width, int Height,
                      COLORREF Background, COLORREF Foreground, UINT Style);
HICON ImageList_GetIcon(HIMAGELIST List, int Index, UINT Flags);
HIMAGELIST ImageList_Duplicate(HIMAGELIST List);

// --- system colours and metrics --------------------------------------------------------------
DWORD GetSysColor(int Index);
HBRUSH GetSysColorBrush(int Index);
int GetSystemMetrics(int Index);
// For the window layer: the screen size reported by SM_CXSCREEN / SM_CYSCREEN and friends.
void SetScreenMetrics(int Width, int Height, const RECT& WorkArea);
RECT GetWorkAreaMetric();
