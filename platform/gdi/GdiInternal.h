#pragma once
// The object table and device-context records shared by the sources of platform/gdi.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/FontMetrics.h"
#include "platform/gdi/Gdi.h"

namespace GdiInternal {

inline constexpr DWORD OBJ_ICON_INTERNAL = 100;
inline constexpr DWORD OBJ_IMAGELIST_INTERNAL = 101;

struct TObject {
    explicit TObject(DWORD Type) : Type(Type) {}
    virtual ~TObject() = default;
    DWORD Type;
    bool Stock = false;
};

struct TPenObject : TObject {
    TPenObject() : TObject(OBJ_PEN) {}
    LOGPEN Log;
    int Style() const { return int(Log.lopnStyle) & PS_STYLE_MASK; }
    int Width() const { return Log.lopnWidth.x < 1 ? 1 : Log.lopnWidth.x; }
};

struct TBrushObject : TObject {
    TBrushObject() : TObject(OBJ_BRUSH) {}
    LOGBRUSH Log;
    // 8 x 8 pattern of a pattern brush; PatternMono: 0 bits take the text colour, 1 bits the
    // background colour of the context it paints in.
    QImage Pattern;
    bool PatternMono = false;
};

struct TFontObject : TObject {
    TFontObject() : TObject(OBJ_FONT) {}
    LOGFONT Log;
    QFont Font;
    enum TEncoding { enAnsi, enOem, enSymbol } Encoding = enAnsi;
    std::optional<TFontMetrics> Metrics;
    const TFontMetrics& FM() {
        if (!Metrics) Metrics.emplace(Font);
        return *Metrics;
    }
    QString Decode(std::string_view Bytes) const;
};

struct TBitmapObject : TObject {
    TBitmapObject() : TObject(OBJ_BITMAP) {}
    QImage Image;  // RGB32
    bool Mono = false;
    bool DibSection = false;
    std::vector<uint32_t> DibBits;  // a DIB section's pixels, shared with its caller
    HDC SelectedIn = 0;
};

struct TRegionObject : TObject {
    TRegionObject() : TObject(OBJ_REGION) {}
    QRegion Region;
};

struct TIconObject : TObject {
    TIconObject() : TObject(OBJ_ICON_INTERNAL) {}
    QImage Color;  // RGB32
    QImage Mask;   // RGB32 black / white; white = transparent
    bool Icon = true;
    POINT HotSpot;
};

struct TDCState {
    std::shared_ptr<TPenObject> Pen;
    std::shared_ptr<TBrushObject> Brush;
    std::shared_ptr<TFontObject> Font;
    std::shared_ptr<TBitmapObject> Bitmap;
    HPEN PenHandle = 0;
    HBRUSH BrushHandle = 0;
    HFONT FontHandle = 0;
    HBITMAP BitmapHandle = 0;
    COLORREF TextColor = 0;
    COLORREF BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    int Rop2 = R2_COPYPEN;
    int PolyFillMode = ALTERNATE;
    int StretchMode = BLACKONWHITE;
    POINT BrushOrg, ViewportOrg, WindowOrg, CurrentPos;
    UINT TextAlign = 0;
    int CharExtra = 0;
    bool HasClip = false;
    QRegion Clip;  // device coordinates of the context
};

struct TDCObject : TObject {
    TDCObject() : TObject(OBJ_DC) {}
    TDCState S;
    std::vector<TDCState> Saved;
    std::shared_ptr<TSurface> Surface;  // null for a memory context
    POINT Origin;                       // of the context on its surface
    QRegion Visible;                    // surface contexts: what core allows, context coords
    QImage* Target();
    bool Mono() const { return !Surface && (!S.Bitmap || S.Bitmap->Mono); }
    // What may be painted, in the context's device coordinates.
    QRegion EffectiveClip();
    // Logical point to image point.
    QPoint ToImage(int X, int Y) const {
        return QPoint(X - S.WindowOrg.x + S.ViewportOrg.x + Origin.x,
                      Y - S.WindowOrg.y + S.ViewportOrg.y + Origin.y);
    }
    QPoint ImageOffset() const { return ToImage(0, 0); }
    QPoint DeviceToImage() const { return QPoint(Origin.x, Origin.y); }
    // A colour as a pixel of the target (black or white on a monochrome one), alpha 0xFF.
    uint32_t Pixel(COLORREF Color) const;
};

// The table: handles are never reused.
HGDIOBJ Add(std::shared_ptr<TObject> Object);
std::shared_ptr<TObject> Find(HGDIOBJ Handle);
template <class T>
std::shared_ptr<T> FindAs(HGDIOBJ Handle, DWORD Type) {
    auto O = Find(Handle);
    if (!O || O->Type != Type) return nullptr;
    return std::static_pointer_cast<T>(O);
}
std::shared_ptr<TDCObject> FindDC(HDC DC);
void Remove(HGDIOBJ Handle);

uint32_t ToPixel(COLORREF Color);  // 0xFFRRGGBB
COLORREF FromPixel(uint32_t Pixel);
uint32_t MonoPixel(COLORREF Color);  // nearer of black and white
inline constexpr uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

// A painter on the context's target with its clip and origin set; Painter is null when nothing
// is visible.
struct TPainting {
    explicit TPainting(TDCObject& DC, bool Logical = true);
    ~TPainting();
    std::optional<QPainter> Painter;
    QRegion Clip;  // image coordinates
};

// Sets a pixel by the context's line raster operation; (X, Y) in image coordinates, clipped.
void PlotRop2(QImage& Image, int X, int Y, uint32_t Pen, int Rop2);
// The composition mode for a line raster operation (false: the operation draws nothing).
bool CompositionFor(int Rop2, QPainter::CompositionMode& Mode, uint32_t& Pen);

// The 8 x 8 pattern of a context's brush as target pixels (solid brushes repeat one colour);
// empty for the null brush.
std::vector<uint32_t> BrushPattern(TDCObject& DC, const TBrushObject* Brush);

// Fills an image-coordinate rectangle with the brush by a ternary raster operation.
void PatFill(TDCObject& DC, const QRect& R, const TBrushObject* Brush, DWORD Rop);

QFont MakeQFont(const LOGFONT& Log, TFontObject::TEncoding& Encoding);
std::shared_ptr<TFontObject> DefaultFont();

// BMP reading and writing (Bmp.cpp). Read raises EInvalidGraphic; BitsPerPixel receives the
// file's depth.
QImage ReadBmp(std::span<const uint8_t> Data, int* BitsPerPixel, bool* Monochrome);
std::string WriteBmp(const QImage& Image, int BitsPerPixel);
// Icon and cursor files (Icon.cpp); raises EInvalidGraphic.
std::shared_ptr<TIconObject> ReadIcon(std::span<const uint8_t> Data);

}  // namespace GdiInternal
