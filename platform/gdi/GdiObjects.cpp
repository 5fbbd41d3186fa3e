// The object table, pens, brushes, device contexts, regions and bitmaps.
#include <QBitmap>
#include <QGuiApplication>
#include <QPainterPath>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Limits.h"

namespace GdiInternal {
namespace {

struct TTable {
    std::unordered_map<HGDIOBJ, std::shared_ptr<TObject>> Objects;
    HGDIOBJ Next = 0x10000;
    std::unordered_map<int, HGDIOBJ> Stock;
};

TTable& Table() {
    static TTable T;
    return T;
}

}  // namespace

HGDIOBJ Add(std::shared_ptr<TObject> Object) {
    TTable& T = Table();
    const HGDIOBJ H = T.Next;
    T.Next += 4;
    T.Objects.emplace(H, std::move(Object));
    return H;
}

std::shared_ptr<TObject> Find(HGDIOBJ Handle) {
    if (Handle == 0) return nullptr;
    auto& O = Table().Objects;
    const auto It = O.find(Handle);
    return It == O.end() ? nullptr : It->second;
}

std::shared_ptr<TDCObject> FindDC(HDC DC) {
    auto O = Find(DC);
    if (!O || (O->Type != OBJ_DC && O->Type != OBJ_MEMDC)) return nullptr;
    return std::static_pointer_cast<TDCObject>(O);
}

void Remove(HGDIOBJ Handle) {
    Table().Objects.erase(Handle);
}

uint32_t ToPixel(COLORREF Color) {
    return 0xFF000000u | (uint32_t(GetRValue(Color)) << 16) | (uint32_t(GetGValue(Color)) << 8) |
           GetBValue(Color);
}

COLORREF FromPixel(uint32_t P) {
    return RGB(BYTE(P >> 16), BYTE(P >> 8), BYTE(P));
}

uint32_t MonoPixel(COLORREF Color) {
    const int R = GetRValue(Color), G = GetGValue(Color), B = GetBValue(Color);
    const int ToBlack = R * R + G * G + B * B;
    const int ToWhite = (255 - R) * (255 - R) + (255 - G) * (255 - G) + (255 - B) * (255 - B);
    return ToWhite <= ToBlack ? kWhite : kBlack;
}

QImage* TDCObject::Target() {
    if (Surface) return &Surface->Image;
    return S.Bitmap ? &S.Bitmap->Image : nullptr;
}

QRegion TDCObject::EffectiveClip() {
    QRegion R;
    if (Surface) {
        R = Visible.intersected(
            QRect(-Origin.x, -Origin.y, Surface->Image.width(), Surface->Image.height()));
    } else if (S.Bitmap) {
        R = QRegion(0, 0, S.Bitmap->Image.width(), S.Bitmap->Image.height());
    }
    if (S.HasClip) R = R.intersected(S.Clip);
    return R;
}

uint32_t TDCObject::Pixel(COLORREF Color) const {
    return Mono() ? MonoPixel(Color) : ToPixel(Color);
}

TPainting::TPainting(TDCObject& DC, bool Logical) {
    QImage* Image = DC.Target();
    if (!Image || Image->isNull()) return;
    Clip = DC.EffectiveClip().translated(DC.DeviceToImage());
    if (Clip.isEmpty()) return;
    Painter.emplace(Image);
    Painter->setRenderHint(QPainter::Antialiasing, false);
    Painter->setRenderHint(QPainter::TextAntialiasing, !DC.Mono());
    Painter->setClipRegion(Clip);
    const QPoint O = Logical ? DC.ImageOffset() : DC.DeviceToImage();
    Painter->translate(O);
}

TPainting::~TPainting() {
    if (Painter) Painter->end();
}

void PlotRop2(QImage& Image, int X, int Y, uint32_t Pen, int Rop2) {
    uint32_t& D = reinterpret_cast<uint32_t*>(Image.scanLine(Y))[X];
    const unsigned T = unsigned(Rop2 - 1) & 15;
    uint32_t R = 0;
    if (T & 1) R |= ~Pen & ~D;
    if (T & 2) R |= ~Pen & D;
    if (T & 4) R |= Pen & ~D;
    if (T & 8) R |= Pen & D;
    D = R | 0xFF000000u;
}

bool CompositionFor(int Rop2, QPainter::CompositionMode& Mode, uint32_t& Pen) {
    using M = QPainter::CompositionMode;
    switch (Rop2) {
        case R2_BLACK:
            Mode = M::CompositionMode_Source;
            Pen = kBlack;
            return true;
        case R2_WHITE:
            Mode = M::CompositionMode_Source;
            Pen = kWhite;
            return true;
        case R2_NOP:
            return false;
        case R2_NOT:
            Mode = M::RasterOp_NotDestination;
            return true;
        case R2_COPYPEN:
            Mode = M::CompositionMode_Source;
            return true;
        case R2_NOTCOPYPEN:
            Mode = M::RasterOp_NotSource;
            return true;
        case R2_XORPEN:
            Mode = M::RasterOp_SourceXorDestination;
            return true;
        case R2_NOTXORPEN:
            Mode = M::RasterOp_NotSourceXorDestination;
            return true;
        case R2_MASKPEN:
            Mode = M::RasterOp_SourceAndDestination;
            return true;
        case R2_MERGEPEN:
            Mode = M::RasterOp_SourceOrDestination;
            return true;
        case R2_NOTMASKPEN:
            Mode = M::RasterOp_NotSourceOrNotDestination;
            return true;
        case R2_NOTMERGEPEN:
            Mode = M::RasterOp_NotSourceAndNotDestination;
            return true;
        case R2_MASKNOTPEN:
            Mode = M::RasterOp_NotSourceAndDestination;
            return true;
        case R2_MASKPENNOT:
            Mode = M::RasterOp_SourceAndNotDestination;
            return true;
        case R2_MERGENOTPEN:
            Mode = M::RasterOp_NotSourceOrDestination;
            return true;
        case R2_MERGEPENNOT:
            Mode = M::RasterOp_SourceOrNotDestination;
            return true;
        default:
            Mode = M::CompositionMode_Source;
            return true;
    }
}

}  // namespace GdiInternal

using namespace GdiInternal;

// --- stock objects and generic calls --------------------------------------------------------

namespace {

std::shared_ptr<TPenObject> NewPen(int Style, int Width, COLORREF Color) {
    auto P = std::make_shared<TPenObject>();
    P->Log.lopnStyle = UINT(Style);
    P->Log.lopnWidth.x = Width;
    P->Log.lopnColor = Color & 0xFFFFFF;
    return P;
}

std::shared_ptr<TBrushObject> NewBrush(int Style, COLORREF Color, int Hatch) {
    auto B = std::make_shared<TBrushObject>();
    B->Log.lbStyle = UINT(Style);
    B->Log.lbColor = Color & 0xFFFFFF;
    B->Log.lbHatch = uintptr_t(Hatch);
    return B;
}

HGDIOBJ MakeStock(int Index) {
    std::shared_ptr<TObject> O;
    switch (Index) {
        case WHITE_BRUSH:
            O = NewBrush(BS_SOLID, RGB(255, 255, 255), 0);
            break;
        case LTGRAY_BRUSH:
            O = NewBrush(BS_SOLID, RGB(192, 192, 192), 0);
            break;
        case GRAY_BRUSH:
            O = NewBrush(BS_SOLID, RGB(128, 128, 128), 0);
            break;
        case DKGRAY_BRUSH:
            O = NewBrush(BS_SOLID, RGB(64, 64, 64), 0);
            break;
        case BLACK_BRUSH:
            O = NewBrush(BS_SOLID, 0, 0);
            break;
        case NULL_BRUSH:
            O = NewBrush(BS_NULL, 0, 0);
            break;
        case WHITE_PEN:
            O = NewPen(PS_SOLID, 1, RGB(255, 255, 255));
            break;
        case BLACK_PEN:
            O = NewPen(PS_SOLID, 1, 0);
            break;
        case NULL_PEN:
            O = NewPen(PS_NULL, 1, 0);
            break;
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case SYSTEM_FIXED_FONT: {
            LOGFONT L;
            L.lfHeight = -12;
            L.lfCharSet = BYTE(Index == OEM_FIXED_FONT ? OEM_CHARSET : ANSI_CHARSET);
            std::strcpy(L.lfFaceName, Index == OEM_FIXED_FONT ? "Terminal" : "Courier New");
            auto F = std::make_shared<TFontObject>();
            F->Log = L;
            F->Font = MakeQFont(L, F->Encoding);
            O = F;
            break;
        }
        case ANSI_VAR_FONT:
        case SYSTEM_FONT:
        case DEVICE_DEFAULT_FONT:
        case DEFAULT_GUI_FONT:
            O = DefaultFont();
            break;
        default:
            return 0;
    }
    O->Stock = true;
    return Add(O);
}

}  // namespace

HGDIOBJ GetStockObject(int Index) {
    auto& Stock = Table().Stock;
    const auto It = Stock.find(Index);
    if (It != Stock.end()) return It->second;
    const HGDIOBJ H = MakeStock(Index);
    if (H) Stock[Index] = H;
    return H;
}

std::shared_ptr<TFontObject> GdiInternal::DefaultFont() {
    static std::shared_ptr<TFontObject> F;
    if (!F) {
        F = std::make_shared<TFontObject>();
        F->Log.lfHeight = -11;
        std::strcpy(F->Log.lfFaceName, "MS Sans Serif");
        F->Font = MakeQFont(F->Log, F->Encoding);
        F->Stock = true;
    }
    return F;
}

BOOL DeleteObject(HGDIOBJ Object) {
    auto O = Find(Object);
    if (!O) return FALSE;
    if (O->Type == OBJ_DC || O->Type == OBJ_MEMDC || O->Type >= OBJ_ICON_INTERNAL) return FALSE;
    // Stock objects survive; a selected object lives on in its context until deselected.
    if (!O->Stock) Remove(Object);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ Object) {
    auto O = Find(Object);
    return O && O->Type < OBJ_ICON_INTERNAL ? O->Type : 0;
}

size_t GdiObjectCount() {
    return Table().Objects.size();
}

int GetObject(HGDIOBJ Object, int Size, void* Buffer) {
    auto O = Find(Object);
    if (!O) return 0;
    auto Copy = [&](const auto& Record) {
        const int Need = int(sizeof(Record));
        if (!Buffer) return Need;
        const int N = std::min(Need, Size);
        if (N <= 0) return 0;
        std::memcpy(Buffer, &Record, size_t(N));
        return N;
    };
    switch (O->Type) {
        case OBJ_PEN:
            return Copy(static_cast<TPenObject&>(*O).Log);
        case OBJ_BRUSH:
            return Copy(static_cast<TBrushObject&>(*O).Log);
        case OBJ_FONT:
            return Copy(static_cast<TFontObject&>(*O).Log);
        case OBJ_BITMAP: {
            auto& B = static_cast<TBitmapObject&>(*O);
            BITMAP Info;
            Info.bmWidth = B.Image.width();
            Info.bmHeight = B.Image.height();
            Info.bmBitsPixel = WORD(B.Mono ? 1 : 32);
            Info.bmWidthBytes = B.Mono ? ((Info.bmWidth + 15) / 16) * 2 : Info.bmWidth * 4;
            Info.bmBits = B.DibSection ? static_cast<void*>(B.DibBits.data()) : nullptr;
            return Copy(Info);
        }
        default:
            return 0;
    }
}

HGDIOBJ GetCurrentObject(HDC DC, UINT Type) {
    auto D = FindDC(DC);
    if (!D) return 0;
    switch (Type) {
        case OBJ_PEN:
            return D->S.PenHandle;
        case OBJ_BRUSH:
            return D->S.BrushHandle;
        case OBJ_FONT:
            return D->S.FontHandle;
        case OBJ_BITMAP:
            return D->S.BitmapHandle;
        default:
            return 0;
    }
}

// --- pens and brushes --------------------------------------------------------------------------

HPEN CreatePen(int Style, int Width, COLORREF Color) {
    if ((Style & PS_STYLE_MASK) > PS_INSIDEFRAME) return 0;
    return Add(NewPen(Style, Width, Color));
}

HPEN CreatePenIndirect(const LOGPEN& Pen) {
    return CreatePen(int(Pen.lopnStyle), Pen.lopnWidth.x, Pen.lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF Color) {
    return Add(NewBrush(BS_SOLID, Color, 0));
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
    if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS) return 0;
    return Add(NewBrush(BS_HATCHED, Color, Hatch));
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap) {
    auto B = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
    if (!B || B->Image.isNull()) return 0;
    auto Brush = NewBrush(BS_PATTERN, 0, 0);
    // The brush keeps its own copy: the bitmap may be deleted right after.
    Brush->Pattern = QImage(8, 8, QImage::Format_RGB32);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            Brush->Pattern.setPixel(
                X, Y, B->Image.pixel(X % B->Image.width(), Y % B->Image.height()) | 0xFF000000u);
    Brush->PatternMono = B->Mono;
    Brush->Log.lbHatch = Bitmap;
    return Add(Brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush) {
    switch (Brush.lbStyle) {
        case BS_SOLID:
            return CreateSolidBrush(Brush.lbColor);
        case BS_NULL:
            return Add(NewBrush(BS_NULL, 0, 0));
        case BS_HATCHED:
            return CreateHatchBrush(int(Brush.lbHatch), Brush.lbColor);
        case BS_PATTERN:
            return CreatePatternBrush(HBITMAP(Brush.lbHatch));
        default:
            return 0;
    }
}

HFONT CreateFontIndirect(const LOGFONT& Font) {
    auto F = std::make_shared<TFontObject>();
    F->Log = Font;
    F->Log.lfFaceName[LF_FACESIZE - 1] = 0;
    F->Font = MakeQFont(F->Log, F->Encoding);
    return Add(F);
}

HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                 DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision,
                 DWORD ClipPrecision, DWORD Quality, DWORD PitchAndFamily, const char* FaceName) {
    LOGFONT L;
    L.lfHeight = Height;
    L.lfWidth = Width;
    L.lfEscapement = Escapement;
    L.lfOrientation = Orientation;
    L.lfWeight = Weight;
    L.lfItalic = BYTE(Italic);
    L.lfUnderline = BYTE(Underline);
    L.lfStrikeOut = BYTE(StrikeOut);
    L.lfCharSet = BYTE(CharSet);
    L.lfOutPrecision = BYTE(OutPrecision);
    L.lfClipPrecision = BYTE(ClipPrecision);
    L.lfQuality = BYTE(Quality);
    L.lfPitchAndFamily = BYTE(PitchAndFamily);
    if (FaceName) std::strncpy(L.lfFaceName, FaceName, LF_FACESIZE - 1);
    return CreateFontIndirect(L);
}

// --- device contexts -------------------------------------------------------------------------

namespace {

// The 1 x 1 monochrome bitmap every new memory context starts with (a stock object).
HBITMAP DefaultMemoryBitmap() {
    static HBITMAP H = 0;
    if (!H) {
        auto B = std::make_shared<TBitmapObject>();
        B->Image = QImage(1, 1, QImage::Format_RGB32);
        B->Image.fill(kBlack);
        B->Mono = true;
        B->Stock = true;
        H = Add(B);
    }
    return H;
}

void InitState(TDCState& S) {
    S.PenHandle = GetStockObject(BLACK_PEN);
    S.Pen = FindAs<TPenObject>(S.PenHandle, OBJ_PEN);
    S.BrushHandle = GetStockObject(WHITE_BRUSH);
    S.Brush = FindAs<TBrushObject>(S.BrushHandle, OBJ_BRUSH);
    S.FontHandle = GetStockObject(SYSTEM_FONT);
    S.Font = FindAs<TFontObject>(S.FontHandle, OBJ_FONT);
}

}  // namespace

HDC CreateSurfaceDC(std::shared_ptr<TSurface> Surface, POINT Origin, const TRegion& Clip) {
    if (!Surface) return 0;
    auto D = std::make_shared<TDCObject>();
    D->Surface = std::move(Surface);
    D->Origin = Origin;
    D->Visible = Clip;
    InitState(D->S);
    return Add(D);
}

BOOL IntersectSurfaceClip(HDC DC, const TRegion& Clip) {
    auto D = FindDC(DC);
    if (!D || !D->Surface) return FALSE;
    D->Visible = D->Visible.intersected(Clip);
    return TRUE;
}

TRegion GetSurfaceClip(HDC DC) {
    auto D = FindDC(DC);
    return D && D->Surface ? D->Visible : TRegion();
}

HDC CreateCompatibleDC(HDC) {
    auto D = std::make_shared<TDCObject>();
    D->Type = OBJ_MEMDC;
    InitState(D->S);
    D->S.BitmapHandle = DefaultMemoryBitmap();
    D->S.Bitmap = FindAs<TBitmapObject>(D->S.BitmapHandle, OBJ_BITMAP);
    return Add(D);
}

BOOL DeleteDC(HDC DC) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    if (D->S.Bitmap) D->S.Bitmap->SelectedIn = 0;
    Remove(DC);
    return TRUE;
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object) {
    auto D = FindDC(DC);
    auto O = Find(Object);
    if (!D || !O) return 0;
    TDCState& S = D->S;
    HGDIOBJ Old = 0;
    switch (O->Type) {
        case OBJ_PEN:
            Old = S.PenHandle;
            S.Pen = std::static_pointer_cast<TPenObject>(O);
            S.PenHandle = Object;
            return Old;
        case OBJ_BRUSH:
            Old = S.BrushHandle;
            S.Brush = std::static_pointer_cast<TBrushObject>(O);
            S.BrushHandle = Object;
            return Old;
        case OBJ_FONT:
            Old = S.FontHandle;
            S.Font = std::static_pointer_cast<TFontObject>(O);
            S.FontHandle = Object;
            return Old;
        case OBJ_BITMAP: {
            if (D->Type != OBJ_MEMDC) return 0;
            auto B = std::static_pointer_cast<TBitmapObject>(O);
            // A bitmap is selected into one context at a time (the stock one into any).
            if (!B->Stock && B->SelectedIn && B->SelectedIn != DC && FindDC(B->SelectedIn))
                return 0;
            Old = S.BitmapHandle;
            if (S.Bitmap && !S.Bitmap->Stock) S.Bitmap->SelectedIn = 0;
            S.Bitmap = B;
            S.BitmapHandle = Object;
            if (!B->Stock) B->SelectedIn = DC;
            S.HasClip = false;
            return Old;
        }
        case OBJ_REGION:
            return HGDIOBJ(SelectClipRgn(DC, Object));
        default:
            return 0;
    }
}

int SaveDC(HDC DC) {
    auto D = FindDC(DC);
    if (!D || D->Saved.size() >= size_t(GdiLimits::kMaxSavedDCs)) return 0;
    D->Saved.push_back(D->S);
    return int(D->Saved.size());
}

BOOL RestoreDC(HDC DC, int Saved) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    const int N = int(D->Saved.size());
    const int Index = Saved < 0 ? N + Saved : Saved - 1;
    if (Index < 0 || Index >= N) return FALSE;
    if (D->S.Bitmap) D->S.Bitmap->SelectedIn = 0;
    D->S = D->Saved[size_t(Index)];
    D->Saved.resize(size_t(Index));
    if (D->S.Bitmap && D->Type == OBJ_MEMDC) D->S.Bitmap->SelectedIn = DC;
    return TRUE;
}

#define GDI_STATE_PAIR(SetName, GetName, Type, Field, Fallback) \
    Type SetName(HDC DC, Type Value) {                          \
        auto D = FindDC(DC);                                    \
        if (!D) return Fallback;                                \
        const Type Old = D->S.Field;                            \
        D->S.Field = Value;                                     \
        return Old;                                             \
    }                                                           \
    Type GetName(HDC DC) {                                      \
        auto D = FindDC(DC);                                    \
        return D ? D->S.Field : Fallback;                       \
    }

GDI_STATE_PAIR(SetTextColor, GetTextColor, COLORREF, TextColor, CLR_NONE)
GDI_STATE_PAIR(SetBkColor, GetBkColor, COLORREF, BkColor, CLR_NONE)
GDI_STATE_PAIR(SetBkMode, GetBkMode, int, BkMode, 0)
GDI_STATE_PAIR(SetROP2, GetROP2, int, Rop2, 0)
GDI_STATE_PAIR(SetTextAlign, GetTextAlign, UINT, TextAlign, UINT(-1))
#undef GDI_STATE_PAIR

int SetPolyFillMode(HDC DC, int Mode) {
    auto D = FindDC(DC);
    if (!D || (Mode != ALTERNATE && Mode != WINDING)) return 0;
    std::swap(D->S.PolyFillMode, Mode);
    return Mode;
}

int SetStretchBltMode(HDC DC, int Mode) {
    auto D = FindDC(DC);
    if (!D) return 0;
    std::swap(D->S.StretchMode, Mode);
    return Mode;
}

int SetTextCharacterExtra(HDC DC, int Extra) {
    auto D = FindDC(DC);
    if (!D) return int(0x80000000);
    std::swap(D->S.CharExtra, Extra);
    return Extra;
}

namespace {
BOOL SetPoint(HDC DC, POINT TDCState::*Field, int X, int Y, POINT* Old, bool Offset) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    POINT& P = D->S.*Field;
    if (Old) *Old = P;
    if (Offset) {
        P.x += X;
        P.y += Y;
    } else {
        P = POINT{X, Y};
    }
    return TRUE;
}
BOOL GetPoint(HDC DC, POINT TDCState::*Field, POINT* Out) {
    auto D = FindDC(DC);
    if (!D || !Out) return FALSE;
    *Out = D->S.*Field;
    return TRUE;
}
}  // namespace

BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old) {
    return SetPoint(DC, &TDCState::BrushOrg, X, Y, Old, false);
}
BOOL GetBrushOrgEx(HDC DC, POINT* Org) {
    return GetPoint(DC, &TDCState::BrushOrg, Org);
}
BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Old) {
    return SetPoint(DC, &TDCState::ViewportOrg, X, Y, Old, false);
}
BOOL OffsetViewportOrgEx(HDC DC, int X, int Y, POINT* Old) {
    return SetPoint(DC, &TDCState::ViewportOrg, X, Y, Old, true);
}
BOOL GetViewportOrgEx(HDC DC, POINT* Org) {
    return GetPoint(DC, &TDCState::ViewportOrg, Org);
}
BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Old) {
    return SetPoint(DC, &TDCState::WindowOrg, X, Y, Old, false);
}
BOOL GetWindowOrgEx(HDC DC, POINT* Org) {
    return GetPoint(DC, &TDCState::WindowOrg, Org);
}
BOOL MoveToEx(HDC DC, int X, int Y, POINT* Old) {
    return SetPoint(DC, &TDCState::CurrentPos, X, Y, Old, false);
}
BOOL GetCurrentPositionEx(HDC DC, POINT* Pos) {
    return GetPoint(DC, &TDCState::CurrentPos, Pos);
}

BOOL LPtoDP(HDC DC, POINT* Points, int Count) {
    auto D = FindDC(DC);
    if (!D || !Points || Count < 0) return FALSE;
    for (int I = 0; I < Count; ++I) {
        Points[I].x += D->S.ViewportOrg.x - D->S.WindowOrg.x;
        Points[I].y += D->S.ViewportOrg.y - D->S.WindowOrg.y;
    }
    return TRUE;
}

BOOL DPtoLP(HDC DC, POINT* Points, int Count) {
    auto D = FindDC(DC);
    if (!D || !Points || Count < 0) return FALSE;
    for (int I = 0; I < Count; ++I) {
        Points[I].x -= D->S.ViewportOrg.x - D->S.WindowOrg.x;
        Points[I].y -= D->S.ViewportOrg.y - D->S.WindowOrg.y;
    }
    return TRUE;
}

int GetDeviceCaps(HDC DC, int Index) {
    auto D = FindDC(DC);
    const bool Mono = D && D->Mono();
    QImage* Image = D ? D->Target() : nullptr;
    switch (Index) {
        case HORZRES:
            return Image ? Image->width() : GetSystemMetrics(SM_CXSCREEN);
        case VERTRES:
            return Image ? Image->height() : GetSystemMetrics(SM_CYSCREEN);
        case BITSPIXEL:
            return Mono ? 1 : 32;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
            return 0;
        case RASTERCAPS:
            return 0x0001 | 0x0008 | 0x0800;  // BITBLT, BITMAP64, STRETCHBLT
        default:
            return 0;
    }
}

// --- regions ---------------------------------------------------------------------------------

namespace {
int Complexity(const QRegion& R) {
    if (R.isEmpty()) return NULLREGION;
    return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
HRGN AddRegion(const QRegion& R) {
    auto O = std::make_shared<TRegionObject>();
    O->Region = R;
    return Add(O);
}
QRect Normalised(int L, int T, int R, int B) {
    if (R < L) std::swap(L, R);
    if (B < T) std::swap(T, B);
    return QRect(QPoint(L, T), QPoint(R - 1, B - 1));
}
// The pixels a filled path covers, as Windows fills it without antialiasing.
QRegion RegionOfPath(const QPainterPath& Path, const QRect& Bounds) {
    if (Bounds.isEmpty()) return QRegion();
    QImage Mask(Bounds.size(), QImage::Format_RGB32);
    Mask.fill(kBlack);
    {
        QPainter P(&Mask);
        P.setRenderHint(QPainter::Antialiasing, false);
        P.translate(-Bounds.topLeft());
        P.fillPath(Path, QColor(Qt::white));
    }
    // Runs of covered pixels, row by row.
    std::vector<QRect> Runs;
    for (int Y = 0; Y < Mask.height(); ++Y) {
        const auto* Row = reinterpret_cast<const uint32_t*>(Mask.constScanLine(Y));
        for (int X = 0; X < Mask.width();) {
            if (Row[X] != kWhite) {
                ++X;
                continue;
            }
            const int Start = X;
            while (X < Mask.width() && Row[X] == kWhite) ++X;
            Runs.emplace_back(Bounds.left() + Start, Bounds.top() + Y, X - Start, 1);
        }
    }
    QRegion R;
    R.setRects(Runs.data(), int(Runs.size()));
    return R;
}
}  // namespace

TRegion RegionOf(HRGN Region) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    return R ? R->Region : TRegion();
}

HRGN CreateRegionFrom(const TRegion& Region) {
    return AddRegion(Region);
}

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
    return AddRegion(QRegion(Normalised(Left, Top, Right, Bottom)));
}

HRGN CreateRectRgnIndirect(const RECT& R) {
    return CreateRectRgn(R.left, R.top, R.right, R.bottom);
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
    const QRect B = Normalised(Left, Top, Right, Bottom);
    QPainterPath Path;
    Path.addEllipse(QRectF(B.x(), B.y(), B.width(), B.height()));
    return AddRegion(RegionOfPath(Path, B));
}

HRGN CreateEllipticRgnIndirect(const RECT& R) {
    return CreateEllipticRgn(R.left, R.top, R.right, R.bottom);
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int W, int H) {
    const QRect B = Normalised(Left, Top, Right, Bottom);
    QPainterPath Path;
    Path.addRoundedRect(QRectF(B.x(), B.y(), B.width(), B.height()), std::abs(W) / 2.0,
                        std::abs(H) / 2.0);
    return AddRegion(RegionOfPath(Path, B));
}

HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode) {
    if (!Points || Count < 0 || Count > GdiLimits::kMaxPolygonPoints) return 0;
    QPolygon Poly;
    for (int I = 0; I < Count; ++I) Poly << QPoint(Points[I].x, Points[I].y);
    QPainterPath Path;
    Path.addPolygon(Poly);
    Path.closeSubpath();
    Path.setFillRule(FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    return AddRegion(RegionOfPath(Path, Poly.boundingRect()));
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode) {
    auto D = FindAs<TRegionObject>(Dest, OBJ_REGION);
    auto A = FindAs<TRegionObject>(Src1, OBJ_REGION);
    if (!D || !A) return ERROR;
    if (Mode == RGN_COPY) {
        D->Region = A->Region;
        return Complexity(D->Region);
    }
    auto B = FindAs<TRegionObject>(Src2, OBJ_REGION);
    if (!B) return ERROR;
    switch (Mode) {
        case RGN_AND:
            D->Region = A->Region.intersected(B->Region);
            break;
        case RGN_OR:
            D->Region = A->Region.united(B->Region);
            break;
        case RGN_XOR:
            D->Region = A->Region.xored(B->Region);
            break;
        case RGN_DIFF:
            D->Region = A->Region.subtracted(B->Region);
            break;
        default:
            return ERROR;
    }
    return Complexity(D->Region);
}

int OffsetRgn(HRGN Region, int DX, int DY) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!R) return ERROR;
    R->Region.translate(DX, DY);
    return Complexity(R->Region);
}

BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!R) return FALSE;
    R->Region = QRegion(Normalised(Left, Top, Right, Bottom));
    return TRUE;
}

BOOL PtInRegion(HRGN Region, int X, int Y) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    return R && R->Region.contains(QPoint(X, Y));
}

BOOL RectInRegion(HRGN Region, const RECT* Rect) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!R || !Rect) return FALSE;
    return R->Region.intersects(Normalised(Rect->left, Rect->top, Rect->right, Rect->bottom));
}

int GetRgnBox(HRGN Region, RECT* Box) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!R || !Box) return ERROR;
    const QRect B = R->Region.boundingRect();
    *Box = R->Region.isEmpty() ? RECT{} : RECT{B.left(), B.top(), B.right() + 1, B.bottom() + 1};
    return Complexity(R->Region);
}

BOOL EqualRgn(HRGN A, HRGN B) {
    auto RA = FindAs<TRegionObject>(A, OBJ_REGION);
    auto RB = FindAs<TRegionObject>(B, OBJ_REGION);
    return RA && RB && RA->Region == RB->Region;
}

int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode) {
    auto D = FindDC(DC);
    if (!D) return ERROR;
    TDCState& S = D->S;
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!R) {
        if (Mode != RGN_COPY || Region != 0) return ERROR;
        S.HasClip = false;  // a null region removes the clip
    } else {
        const QRegion All = D->EffectiveClip().united(R->Region);
        const QRegion Current = S.HasClip ? S.Clip : QRegion(All.boundingRect());
        switch (Mode) {
            case RGN_COPY:
                S.Clip = R->Region;
                break;
            case RGN_AND:
                S.Clip = Current.intersected(R->Region);
                break;
            case RGN_OR:
                S.Clip = Current.united(R->Region);
                break;
            case RGN_XOR:
                S.Clip = Current.xored(R->Region);
                break;
            case RGN_DIFF:
                S.Clip = Current.subtracted(R->Region);
                break;
            default:
                return ERROR;
        }
        S.HasClip = true;
    }
    return Complexity(D->EffectiveClip());
}

int SelectClipRgn(HDC DC, HRGN Region) {
    return ExtSelectClipRgn(DC, Region, RGN_COPY);
}

namespace {
// Rectangle given in logical coordinates to device coordinates.
QRect DeviceRect(TDCObject& D, int L, int T, int R, int B) {
    const int DX = D.S.ViewportOrg.x - D.S.WindowOrg.x, DY = D.S.ViewportOrg.y - D.S.WindowOrg.y;
    return Normalised(L + DX, T + DY, R + DX, B + DY);
}
int ChangeClip(HDC DC, int L, int T, int R, int B, bool Intersect) {
    auto D = FindDC(DC);
    if (!D) return ERROR;
    const QRect Rect = DeviceRect(*D, L, T, R, B);
    if (!D->S.HasClip) {
        D->S.Clip = D->EffectiveClip();
        D->S.HasClip = true;
    }
    D->S.Clip = Intersect ? D->S.Clip.intersected(Rect) : D->S.Clip.subtracted(Rect);
    return Complexity(D->EffectiveClip());
}
}  // namespace

int IntersectClipRect(HDC DC, int L, int T, int R, int B) {
    return ChangeClip(DC, L, T, R, B, true);
}
int ExcludeClipRect(HDC DC, int L, int T, int R, int B) {
    return ChangeClip(DC, L, T, R, B, false);
}

int OffsetClipRgn(HDC DC, int DX, int DY) {
    auto D = FindDC(DC);
    if (!D) return ERROR;
    if (D->S.HasClip) D->S.Clip.translate(DX, DY);
    return Complexity(D->EffectiveClip());
}

int GetClipBox(HDC DC, RECT* Rect) {
    auto D = FindDC(DC);
    if (!D || !Rect) return ERROR;
    const QRegion C = D->EffectiveClip();
    const QRect B = C.boundingRect();
    const int DX = D->S.ViewportOrg.x - D->S.WindowOrg.x;
    const int DY = D->S.ViewportOrg.y - D->S.WindowOrg.y;
    *Rect = C.isEmpty()
                ? RECT{}
                : RECT{B.left() - DX, B.top() - DY, B.right() + 1 - DX, B.bottom() + 1 - DY};
    return Complexity(C);
}

int GetClipRgn(HDC DC, HRGN Region) {
    auto D = FindDC(DC);
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!D || !R) return -1;
    if (!D->S.HasClip) return 0;
    R->Region = D->S.Clip;
    return 1;
}

BOOL PtVisible(HDC DC, int X, int Y) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    const QRect R = DeviceRect(*D, X, Y, X + 1, Y + 1);
    return D->EffectiveClip().contains(R.topLeft());
}

BOOL RectVisible(HDC DC, const RECT* Rect) {
    auto D = FindDC(DC);
    if (!D || !Rect) return FALSE;
    return D->EffectiveClip().intersects(
        DeviceRect(*D, Rect->left, Rect->top, Rect->right, Rect->bottom));
}

// --- bitmaps ---------------------------------------------------------------------------------

namespace {
bool SizeOk(int64_t W, int64_t H) {
    return W > 0 && H > 0 && W <= GdiLimits::kMaxBitmapSide && H <= GdiLimits::kMaxBitmapSide &&
           W * H <= GdiLimits::kMaxBitmapPixels;
}
}  // namespace

HBITMAP CreateBitmapFromImage(const QImage& Image, bool Monochrome) {
    if (Image.isNull() || !SizeOk(Image.width(), Image.height())) return 0;
    auto B = std::make_shared<TBitmapObject>();
    B->Image = Image.convertToFormat(QImage::Format_RGB32);
    B->Mono = Monochrome;
    if (Monochrome) {
        for (int Y = 0; Y < B->Image.height(); ++Y) {
            auto* Row = reinterpret_cast<uint32_t*>(B->Image.scanLine(Y));
            for (int X = 0; X < B->Image.width(); ++X) Row[X] = MonoPixel(FromPixel(Row[X]));
        }
    }
    return Add(B);
}

HBITMAP CreateBitmap(int Width, int Height, UINT, UINT BitsPerPixel, const void* Bits) {
    if (!SizeOk(Width, Height)) return 0;
    auto B = std::make_shared<TBitmapObject>();
    B->Mono = BitsPerPixel == 1;
    B->Image = QImage(Width, Height, QImage::Format_RGB32);
    B->Image.fill(B->Mono ? kBlack : kBlack);
    if (Bits) {
        const auto* P = static_cast<const uint8_t*>(Bits);
        if (B->Mono) {
            const int Stride = ((Width + 15) / 16) * 2;
            for (int Y = 0; Y < Height; ++Y) {
                auto* Row = reinterpret_cast<uint32_t*>(B->Image.scanLine(Y));
                for (int X = 0; X < Width; ++X)
                    Row[X] = (P[Y * Stride + X / 8] >> (7 - X % 8)) & 1 ? kWhite : kBlack;
            }
        } else {
            for (int Y = 0; Y < Height; ++Y)
                std::memcpy(B->Image.scanLine(Y), P + size_t(Y) * size_t(Width) * 4,
                            size_t(Width) * 4);
            for (int Y = 0; Y < Height; ++Y) {
                auto* Row = reinterpret_cast<uint32_t*>(B->Image.scanLine(Y));
                for (int X = 0; X < Width; ++X) Row[X] |= 0xFF000000u;
            }
        }
    }
    return Add(B);
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height) {
    auto D = FindDC(DC);
    const bool Mono = D && D->Mono();
    return CreateBitmap(Width, Height, 1, Mono ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* Info, UINT, void** Bits, void*, DWORD) {
    if (Bits) *Bits = nullptr;
    if (!Info) return 0;
    const auto& H = Info->bmiHeader;
    const int64_t W = H.biWidth, Hh = H.biHeight < 0 ? -int64_t(H.biHeight) : H.biHeight;
    // Only 32-bit sections share their pixels with the caller (our pixels are 32-bit).
    if (H.biBitCount != 32 || H.biCompression != BI_RGB || !SizeOk(W, Hh)) return 0;
    auto B = std::make_shared<TBitmapObject>();
    // The pixels live in the object, not in the image, so the caller's pointer stays valid for
    // the bitmap's life whatever happens to copies of the image.
    B->DibBits.assign(size_t(W) * size_t(Hh), kBlack);
    B->Image = QImage(reinterpret_cast<uchar*>(B->DibBits.data()), int(W), int(Hh), int(W) * 4,
                      QImage::Format_RGB32);
    B->DibSection = true;
    if (Bits) *Bits = B->DibBits.data();
    return Add(B);
}

QImage* BitmapImage(HBITMAP Bitmap) {
    auto B = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
    return B ? &B->Image : nullptr;
}

bool IsMonochromeBitmap(HBITMAP Bitmap) {
    auto B = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
    return B && B->Mono;
}

BOOL GetBitmapDimensionEx(HBITMAP Bitmap, SIZE* Size) {
    auto B = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
    if (!B || !Size) return FALSE;
    *Size = SIZE{B->Image.width(), B->Image.height()};
    return TRUE;
}

namespace {
int DibStride(int Width, int Bpp) {
    return ((Width * Bpp + 31) / 32) * 4;
}
}  // namespace

int GetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT) {
    auto B = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
    if (!B || !Info) return 0;
    (void)DC;
    auto& H = Info->bmiHeader;
    const int W = B->Image.width(), Ht = B->Image.height();
    if (!Bits) {
        const int Bpp = B->Mono ? 1 : 32;
        H = BITMAPINFOHEADER{};
        H.biWidth = W;
        H.biHeight = Ht;
        H.biBitCount = WORD(Bpp);
        H.biSizeImage = DWORD(DibStride(W, Bpp) * Ht);
        return 1;
    }
    const int Bpp = H.biBitCount;
    if ((Bpp != 1 && Bpp != 24 && Bpp != 32) || H.biCompression != BI_RGB) return 0;
    const bool TopDown = H.biHeight < 0;
    const int Stride = DibStride(W, Bpp);
    if (Start >= UINT(Ht)) return 0;
    const int Count = int(std::min<UINT>(Lines, UINT(Ht) - Start));
    auto* Out = static_cast<uint8_t*>(Bits);
    for (int I = 0; I < Count; ++I) {
        // Line I of the DIB (counted from its first stored row).
        const int DibRow = int(Start) + I;
        const int Y = TopDown ? DibRow : Ht - 1 - DibRow;
        const auto* Src = reinterpret_cast<const uint32_t*>(B->Image.constScanLine(Y));
        uint8_t* Row = Out + size_t(I) * size_t(Stride);
        std::memset(Row, 0, size_t(Stride));
        for (int X = 0; X < W; ++X) {
            const uint32_t P = Src[X];
            if (Bpp == 1) {
                if ((P & 0xFFFFFF) == 0xFFFFFF) Row[X / 8] |= uint8_t(0x80 >> (X % 8));
            } else if (Bpp == 24) {
                Row[X * 3] = uint8_t(P);
                Row[X * 3 + 1] = uint8_t(P >> 8);
                Row[X * 3 + 2] = uint8_t(P >> 16);
            } else {
                std::memcpy(Row + X * 4, &P, 4);
                Row[X * 4 + 3] = 0;
            }
        }
    }
    if (Bpp == 1) {
        Info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        Info->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
    }
    return Count;
}

int SetDIBits(HDC, HBITMAP Bitmap, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT) {
    auto B = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
    if (!B || !Info || !Bits) return 0;
    const auto& H = Info->bmiHeader;
    const int Bpp = H.biBitCount;
    if ((Bpp != 1 && Bpp != 24 && Bpp != 32) || H.biCompression != BI_RGB) return 0;
    const int W = std::min<int>(H.biWidth, B->Image.width());
    const int DibHeight = H.biHeight < 0 ? -H.biHeight : H.biHeight;
    const int Ht = std::min(DibHeight, B->Image.height());
    const bool TopDown = H.biHeight < 0;
    const int Stride = DibStride(H.biWidth, Bpp);
    if (W <= 0 || Start >= UINT(Ht)) return 0;
    const int Count = int(std::min<UINT>(Lines, UINT(Ht) - Start));
    const auto* In = static_cast<const uint8_t*>(Bits);
    for (int I = 0; I < Count; ++I) {
        const int DibRow = int(Start) + I;
        const int Y = TopDown ? DibRow : DibHeight - 1 - DibRow;
        if (Y < 0 || Y >= B->Image.height()) continue;
        auto* Dst = reinterpret_cast<uint32_t*>(B->Image.scanLine(Y));
        const uint8_t* Row = In + size_t(I) * size_t(Stride);
        for (int X = 0; X < W; ++X) {
            uint32_t P;
            if (Bpp == 1) {
                const RGBQUAD& Q = Info->bmiColors[(Row[X / 8] >> (7 - X % 8)) & 1];
                P = 0xFF000000u | (uint32_t(Q.rgbRed) << 16) | (uint32_t(Q.rgbGreen) << 8) |
                    Q.rgbBlue;
            } else if (Bpp == 24) {
                P = 0xFF000000u | (uint32_t(Row[X * 3 + 2]) << 16) |
                    (uint32_t(Row[X * 3 + 1]) << 8) | Row[X * 3];
            } else {
                std::memcpy(&P, Row + X * 4, 4);
                P |= 0xFF000000u;
            }
            Dst[X] = B->Mono ? MonoPixel(FromPixel(P)) : P;
        }
    }
    return Count;
}
