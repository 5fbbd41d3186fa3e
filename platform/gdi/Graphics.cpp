// The class library's graphics classes over the GDI layer.
#include "platform/gdi/Graphics.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/classes/MulDiv.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Jpeg.h"
#include "platform/gdi/Limits.h"
#include "platform/gdi/PixelAllowance.h"
#include "resources/ResourceData.h"

namespace {

struct TColorName {
    TColor Color;
    const char* Name;
};

constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0) return GetSysColor(int(uint32_t(Color) & 0xFF));
    return COLORREF(Color);
}

std::string ColorToString(TColor Color) {
    for (const TColorName& N : kColorNames)
        if (N.Color == Color) return N.Name;
    char Buffer[16];
    std::snprintf(Buffer, sizeof Buffer, "$%08X", unsigned(Color));
    return Buffer;
}

bool IdentToColor(const std::string& Ident, TColor& Color) {
    for (const TColorName& N : kColorNames)
        if (qstricmp(N.Name, Ident.c_str()) == 0) {
            Color = N.Color;
            return true;
        }
    return false;
}

TColor StringToColor(const std::string& Text) {
    TColor C;
    if (IdentToColor(Text, C)) return C;
    const bool Hex = !Text.empty() && Text[0] == '$';
    const std::string Digits = Hex ? Text.substr(1) : Text;
    if (Digits.empty() || Digits.size() > (Hex ? 8u : 11u))
        throw Exception("'" + Text + "' is not a valid integer value");
    size_t Used = 0;
    long long V = 0;
    try {
        V = std::stoll(Digits, &Used, Hex ? 16 : 10);
    } catch (const std::exception&) {
        Used = 0;
    }
    if (Used != Digits.size() || V < INT32_MIN || V > UINT32_MAX)
        throw Exception("'" + Text + "' is not a valid integer value");
    return TColor(uint32_t(V));
}

// --- TFont ---------------------------------------------------------------------------------------

TFont::TFont() {
    FLog.lfHeight = -11;
    std::strcpy(FLog.lfFaceName, "MS Sans Serif");
}

TFont::~TFont() {
    FreeHandle();
}

void TFont::FreeHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = 0;
}

void TFont::Modify() {
    FreeHandle();
    Changed();
}

void TFont::Assign(const TFont& Source) {
    if (&Source == this) return;
    FLog = Source.FLog;
    FColor = Source.FColor;
    Modify();
}

HFONT TFont::Handle() {
    if (!FHandle) FHandle = CreateFontIndirect(FLog);
    return FHandle;
}

void TFont::SetHandle(HFONT Font) {
    LOGFONT L;
    if (GetObject(Font, sizeof L, &L) == int(sizeof L)) SetLogFont(L);
}

void TFont::SetLogFont(const LOGFONT& Value) {
    FLog = Value;
    FLog.lfFaceName[LF_FACESIZE - 1] = 0;
    Modify();
}

void TFont::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TFont::SetHeight(int Value) {
    if (FLog.lfHeight == Value) return;
    FLog.lfHeight = Value;
    Modify();
}

int TFont::Size() const {
    return -MulDiv(FLog.lfHeight, 72, 96);
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, 96, 72));
}

void TFont::SetName(const std::string& Value) {
    if (Value.empty() || Value == FLog.lfFaceName) return;
    std::memset(FLog.lfFaceName, 0, LF_FACESIZE);
    std::strncpy(FLog.lfFaceName, Value.c_str(), LF_FACESIZE - 1);
    Modify();
}

TFontStyles TFont::Style() const {
    TFontStyles S;
    if (FLog.lfWeight >= FW_BOLD) S.insert(fsBold);
    if (FLog.lfItalic) S.insert(fsItalic);
    if (FLog.lfUnderline) S.insert(fsUnderline);
    if (FLog.lfStrikeOut) S.insert(fsStrikeOut);
    return S;
}

void TFont::SetStyle(const TFontStyles& Value) {
    if (Value == Style()) return;
    FLog.lfWeight = Value.count(fsBold) ? FW_BOLD : FW_NORMAL;
    FLog.lfItalic = Value.count(fsItalic) ? 1 : 0;
    FLog.lfUnderline = Value.count(fsUnderline) ? 1 : 0;
    FLog.lfStrikeOut = Value.count(fsStrikeOut) ? 1 : 0;
    Modify();
}

void TFont::SetCharset(int Value) {
    if (FLog.lfCharSet == Value) return;
    FLog.lfCharSet = BYTE(Value);
    Modify();
}

TFontPitch TFont::Pitch() const {
    switch (FLog.lfPitchAndFamily & 3) {
        case FIXED_PITCH:
            return fpFixed;
        case VARIABLE_PITCH:
            return fpVariable;
        default:
            return fpDefault;
    }
}

void TFont::SetPitch(TFontPitch Value) {
    const int Bits = Value == fpFixed ? FIXED_PITCH : Value == fpVariable ? VARIABLE_PITCH : 0;
    FLog.lfPitchAndFamily = BYTE((FLog.lfPitchAndFamily & ~3) | Bits);
    Modify();
}

TEXTMETRIC TFont::Metrics() {
    const HDC DC = CreateCompatibleDC(0);
    const HGDIOBJ Old = SelectObject(DC, Handle());
    TEXTMETRIC Result;
    GetTextMetrics(DC, &Result);
    SelectObject(DC, Old);
    DeleteDC(DC);
    return Result;
}

// --- TPen and TBrush -----------------------------------------------------------------------------

TPen::~TPen() {
    if (FHandle) DeleteObject(FHandle);
}

void TPen::Modify() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = 0;
    Changed();
}

void TPen::Assign(const TPen& Source) {
    if (&Source == this) return;
    FColor = Source.FColor;
    FStyle = Source.FStyle;
    FWidth = Source.FWidth;
    FMode = Source.FMode;
    Modify();
}

HPEN TPen::Handle() {
    if (!FHandle) {
        static constexpr int Styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                         PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(Styles[FStyle], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}

void TPen::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        Modify();
    }
}
void TPen::SetStyle(TPenStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Modify();
    }
}
void TPen::SetWidth(int Value) {
    if (Value >= 0 && FWidth != Value) {
        FWidth = Value;
        Modify();
    }
}
void TPen::SetMode(TPenMode Value) {
    if (FMode != Value) {
        FMode = Value;
        Changed();
    }
}

TBrush::~TBrush() {
    if (FHandle) DeleteObject(FHandle);
}

void TBrush::Modify() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = 0;
    Changed();
}

void TBrush::Assign(const TBrush& Source) {
    if (&Source == this) return;
    FColor = Source.FColor;
    FStyle = Source.FStyle;
    FBitmap = Source.FBitmap;
    Modify();
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        if (FBitmap && !FBitmap->Empty())
            FHandle = CreatePatternBrush(FBitmap->Handle());
        else if (FStyle == bsSolid)
            FHandle = CreateSolidBrush(ColorToRGB(FColor));
        else if (FStyle == bsClear)
            FHandle = CreateBrushIndirect(LOGBRUSH{BS_NULL, 0, 0});
        else
            FHandle = CreateHatchBrush(int(FStyle) - int(bsHorizontal), ColorToRGB(FColor));
    }
    return FHandle;
}

void TBrush::SetHandle(HBRUSH Brush) {
    LOGBRUSH L;
    if (GetObject(Brush, sizeof L, &L) != int(sizeof L)) return;
    FColor = TColor(L.lbColor);
    FStyle = L.lbStyle == BS_NULL      ? bsClear
             : L.lbStyle == BS_HATCHED ? TBrushStyle(int(bsHorizontal) + int(L.lbHatch))
                                       : bsSolid;
    FBitmap = nullptr;
    Modify();
}

void TBrush::SetColor(TColor Value) {
    if (FColor == Value && FStyle != bsClear) return;
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Modify();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Modify();
}

void TBrush::SetBitmap(TBitmap* Value) {
    FBitmap = Value;
    Modify();
}

// --- TCanvas -------------------------------------------------------------------------------------

TCanvas::TCanvas() {
    FFont.OnChange = [this](TGraphicsObject*) { FFontValid = false; };
    FPen.OnChange = [this](TGraphicsObject*) { FPenValid = false; };
    FBrush.OnChange = [this](TGraphicsObject*) { FBrushValid = false; };
}

TCanvas::~TCanvas() {
    DeselectHandles();
}

void TCanvas::DeselectHandles() {
    if (!FHandle) return;
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
    if (FOldFont) SelectObject(FHandle, FOldFont);
    FOldPen = FOldBrush = FOldFont = 0;
}

void TCanvas::SetHandle(HDC DC) {
    if (DC == FHandle) return;
    DeselectHandles();
    FHandle = DC;
    FPenValid = FBrushValid = FFontValid = false;
}

HDC TCanvas::Handle() {
    CreateHandle();
    if (!FHandle) throw EInvalidGraphicOperation("Canvas does not allow drawing");
    RequireState(true, true, true);
    return FHandle;
}

void TCanvas::RequireState(bool Pen, bool Brush, bool Font) {
    // Objects and colours are selected when they changed (or the context did), not on every use:
    // colours the caller set on the handle itself stay until the pen, brush or font change.
    if (Pen && !FPenValid) {
        const HGDIOBJ Old = SelectObject(FHandle, FPen.Handle());
        if (!FOldPen) FOldPen = Old;
        static constexpr int Modes[] = {
            R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
            R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
            R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
            R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
        SetROP2(FHandle, Modes[FPen.Mode()]);
        FPenValid = true;
    }
    if (Brush && !FBrushValid) {
        const HGDIOBJ Old = SelectObject(FHandle, FBrush.Handle());
        if (!FOldBrush) FOldBrush = Old;
        SetBkColor(FHandle, ColorToRGB(FBrush.Color()));
        SetBkMode(FHandle, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
        FBrushValid = true;
    }
    if (Font && !FFontValid) {
        const HGDIOBJ Old = SelectObject(FHandle, FFont.Handle());
        if (!FOldFont) FOldFont = Old;
        SetTextColor(FHandle, ColorToRGB(FFont.Color()));
        FFontValid = true;
    }
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::SetPenPos(TPoint Value) {
    MoveToEx(Handle(), Value.X, Value.Y, nullptr);
    FPenPos = Value;
}

TRect TCanvas::ClipRect() {
    RECT R;
    GetClipBox(Handle(), &R);
    return ToTRect(R);
}

void TCanvas::MoveTo(int X, int Y) {
    SetPenPos(Point(X, Y));
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    const HDC DC = Handle();
    MoveToEx(DC, FPenPos.X, FPenPos.Y, nullptr);
    ::LineTo(DC, X, Y);
    FPenPos = Point(X, Y);
    Changed();
}

namespace {
std::vector<POINT> ToPoints(const std::vector<TPoint>& Points) {
    std::vector<POINT> Out;
    Out.reserve(Points.size());
    for (const TPoint& P : Points) Out.push_back(POINT{P.X, P.Y});
    return Out;
}
}  // namespace

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    Changing();
    const auto P = ToPoints(Points);
    ::Polyline(Handle(), P.data(), int(P.size()));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    Changing();
    const auto P = ToPoints(Points);
    ::Polygon(Handle(), P.data(), int(P.size()));
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    ::Rectangle(Handle(), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    ::RoundRect(Handle(), X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    ::Ellipse(Handle(), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::FillRect(const TRect& R) {
    Changing();
    const RECT Rc = R;
    ::FillRect(Handle(), &Rc, FBrush.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    Changing();
    const RECT Rc = R;
    ::FrameRect(Handle(), &Rc, FBrush.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    Changing();
    const RECT Rc = R;
    ::DrawFocusRect(Handle(), &Rc);
    Changed();
}

TColor TCanvas::Pixel(int X, int Y) {
    const COLORREF C = ::GetPixel(Handle(), X, Y);
    return C == CLR_NONE ? clNone : TColor(C);
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    Changing();
    ::SetPixel(Handle(), X, Y, ColorToRGB(Color));
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    Changing();
    const HDC DC = Handle();
    ::TextOut(DC, X, Y, Text);
    SIZE S;
    GetTextExtentPoint32(DC, Text, &S);
    FPenPos = Point(X + S.cx, Y);
    Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const std::string& Text) {
    Changing();
    const RECT Rc = R;
    const UINT Options = ETO_CLIPPED | (FBrush.Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOut(Handle(), X, Y, Options, &Rc, Text, nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
    SIZE S;
    GetTextExtentPoint32(Handle(), Text, &S);
    return S;
}

void TCanvas::Draw(int X, int Y, TGraphic& Graphic) {
    if (Graphic.Empty()) return;
    Graphic.Draw(*this, Rect(X, Y, X + Graphic.Width(), Y + Graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& R, TGraphic& Graphic) {
    if (!Graphic.Empty()) Graphic.Draw(*this, R);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect) {
    Changing();
    StretchBlt(Handle(), Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Source.Handle(),
               SourceRect.Left, SourceRect.Top, SourceRect.Width(), SourceRect.Height(), FCopyMode);
    Changed();
}

// --- TGraphic ------------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}

void TGraphic::Changed() {
    FModified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(Stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

void TGraphic::Assign(const TGraphic& Source) {
    if (&Source != this) Source.AssignTo(*this);
}

void TGraphic::AssignTo(TGraphic& Dest) const {
    throw EInvalidGraphicOperation("Cannot assign a " + ClassName() + " to a " + Dest.ClassName() +
                                   ".");
}

// --- TBitmap -------------------------------------------------------------------------------------

class TBitmapCanvas : public TCanvas {
  public:
    explicit TBitmapCanvas(TBitmap* Owner) : FOwner(Owner) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext() {
        if (!FDC) return;
        SetHandle(0);
        DeleteDC(FDC);
        FDC = 0;
        FSelected = 0;
        FDefault = 0;
    }
    // A bitmap is selected into one context at a time: while the bitmap is drawn elsewhere, its
    // canvas's context lets go of it and then takes it back (for whoever holds that context).
    HBITMAP Lend() {
        if (!FDC || !FSelected) return 0;
        SelectObject(FDC, FDefault);
        return FSelected;
    }
    void TakeBack(HBITMAP Lent) {
        if (Lent) SelectObject(FDC, Lent);
    }

  protected:
    void CreateHandle() override {
        if (FOwner->Empty()) {
            // Drawing on an empty bitmap has nowhere to go; give it a pixel like a new context.
            FreeContext();
            return;
        }
        if (!FDC) {
            FDC = CreateCompatibleDC(0);
            SetHandle(FDC);
        }
        const HBITMAP H = FOwner->Handle();
        if (H != FSelected) {
            const HGDIOBJ Before = SelectObject(FDC, H);
            if (!FDefault) FDefault = Before;
            FSelected = H;
        }
    }

  private:
    TBitmap* FOwner;
    HDC FDC = 0;
    HBITMAP FSelected = 0;
    // The bitmap a new context starts with.
    HGDIOBJ FDefault = 0;
};

namespace {

QImage::Format StorageFormat(TPixelFormat F) {
    switch (F) {
        case pf1bit:
            return QImage::Format_Mono;
        case pf32bit:
            return QImage::Format_RGB32;
        default:
            return QImage::Format_BGR888;
    }
}

TPixelFormat Normalised(TPixelFormat F) {
    if (F == pf1bit || F == pf32bit) return F;
    return F == pfDevice ? pf32bit : pf24bit;
}

QImage ToStorage(const QImage& Rgb, TPixelFormat F) {
    if (F == pf1bit) {
        QImage M(Rgb.size(), QImage::Format_Mono);
        M.setColorTable({0xFF000000u, 0xFFFFFFFFu});
        M.fill(0);
        for (int Y = 0; Y < Rgb.height(); ++Y) {
            const auto* Row = reinterpret_cast<const uint32_t*>(Rgb.constScanLine(Y));
            for (int X = 0; X < Rgb.width(); ++X)
                if (GdiInternal::MonoPixel(GdiInternal::FromPixel(Row[X])) == GdiInternal::kWhite)
                    M.setPixel(X, Y, 1);
        }
        return M;
    }
    // A deep copy: the bitmap's pixels never share storage with a handle's.
    return Rgb.convertToFormat(StorageFormat(F)).copy();
}

QImage ToRgb(const QImage& Stored) {
    return Stored.convertToFormat(QImage::Format_RGB32).copy();
}

// Pixels that could not be had (the machine's memory ran out: Qt gives a null image) refuse the
// picture as one beyond the limits is; an empty image must never stand in for them.
QImage Allocated(QImage Image) {
    if (Image.isNull()) throw EInvalidGraphic("Not enough memory for the bitmap");
    return Image;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format) : FFormat(Normalised(Format)) {
    SetSize(Width, Height);
}

TBitmap::~TBitmap() {
    FCanvas.reset();
    FreeHandle();
}

void TBitmap::FreeHandle() {
    if (FCanvas) FCanvas->FreeContext();
    if (FHandle) DeleteObject(FHandle);
    FHandle = 0;
    FHandleNewer = false;
}

void TBitmap::SyncFromHandle() {
    if (!FHandleNewer || !FHandle) return;
    if (QImage* H = BitmapImage(FHandle)) SetStored(ToStorage(*H, FFormat));
    FHandleNewer = false;
}

void TBitmap::SetStored(QImage Stored) {
    FImage = std::move(Stored);
    FWidth = FImage.width();
    FHeight = FImage.height();
}

// Only the rows written since the last time: an animation changes a few rows of a large picture
// at a time.
void TBitmap::SyncToHandle() {
    if (!FHandle || FChangedTop > FChangedBottom) return;
    QImage* H = BitmapImage(FHandle);
    if (H && H->size() == FImage.size() && H->constBits() != FImage.constBits()) {
        const int Rows = FChangedBottom - FChangedTop + 1;
        // 32-bit rows are the handle's own layout (read in place); others are converted first.
        const bool Own = FFormat == pf32bit;
        const QImage Changed = Own ? FImage
                                   : FImage.copy(0, FChangedTop, FImage.width(), Rows)
                                         .convertToFormat(QImage::Format_RGB32);
        const int From = Own ? FChangedTop : 0;
        if (!Changed.isNull())
            for (int Y = 0; Y < Rows; ++Y)
                std::memcpy(H->scanLine(FChangedTop + Y), Changed.constScanLine(From + Y),
                            size_t(FImage.width()) * 4);
    }
    ClearChanged();
}

void TBitmap::MarkChanged(int Row) {
    FChangedTop = std::min(FChangedTop, Row);
    FChangedBottom = std::max(FChangedBottom, Row);
}

void TBitmap::ClearChanged() {
    FChangedTop = INT_MAX;
    FChangedBottom = -1;
}

// A 32-bit bitmap's handle shares its pixels until one of the two is written (then that one takes
// a copy of its own), so that a picture that is only drawn is held once.
HBITMAP TBitmap::Handle() {
    if (Empty()) return 0;
    if (!FHandle) {
        FHandle =
            CreateBitmapFromImage(FFormat == pf32bit ? FImage : ToRgb(FImage), FFormat == pf1bit);
        ClearChanged();
    } else {
        SyncToHandle();
    }
    // Whoever holds the handle may draw with it.
    FHandleNewer = true;
    return FHandle;
}

HBITMAP TBitmap::SourceHandle() {
    const bool Drawn = FHandle && FHandleNewer;
    const HBITMAP H = Handle();
    FHandleNewer = Drawn;
    return H;
}

void TBitmap::SetHandle(HBITMAP Bitmap) {
    QImage* I = BitmapImage(Bitmap);
    if (!I) return;
    FreeHandle();
    FFormat = IsMonochromeBitmap(Bitmap) ? pf1bit : pf32bit;
    SetStored(ToStorage(*I, FFormat));
    FHandle = Bitmap;
    ClearChanged();
    FHandleNewer = false;
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    const HBITMAP H = Handle();
    SyncFromHandle();
    if (FCanvas) FCanvas->FreeContext();
    FHandle = 0;
    FHandleNewer = false;
    return H;
}

void TBitmap::SetSize(int Width, int Height) {
    Width = std::max(0, Width);
    Height = std::max(0, Height);
    if (Width == FWidth && Height == FHeight) return;
    SyncFromHandle();
    QImage Stored;
    if (Width > 0 && Height > 0) {
        if (int64_t(Width) * Height > GdiLimits::kMaxBitmapPixels ||
            Width > GdiLimits::kMaxBitmapSide || Height > GdiLimits::kMaxBitmapSide)
            throw EInvalidGraphic("Bitmap is too large");
        TakeBitmapPixels(Width, Height);
        QImage Rgb = Allocated(QImage(Width, Height, QImage::Format_RGB32));
        Rgb.fill(0xFFFFFFFFu);
        if (!FImage.isNull()) {
            QPainter P(&Rgb);
            P.drawImage(0, 0, ToRgb(FImage));
        }
        // A new 32-bit bitmap keeps the picture just made: a decoded picture is held once.
        Stored = FFormat == pf32bit ? Rgb : Allocated(ToStorage(Rgb, FFormat));
    }
    FImage = std::move(Stored);
    FWidth = Width;
    FHeight = Height;
    FreeHandle();
    ClearChanged();
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    Value = Normalised(Value);
    if (Value == FFormat) return;
    SyncFromHandle();
    const QImage Rgb = FImage.isNull() ? QImage() : ToRgb(FImage);
    FFormat = Value;
    FImage = Rgb.isNull() ? QImage() : ToStorage(Rgb, FFormat);
    FreeHandle();
    Changed();
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value != Monochrome()) SetPixelFormat(Value ? pf1bit : pf24bit);
}

uint8_t* TBitmap::ScanLine(int Row) {
    if (Row < 0 || Row >= FImage.height()) throw ERangeError("Scan line index out of range");
    SyncFromHandle();
    MarkChanged(Row);
    return FImage.scanLine(Row);
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
    return *FCanvas;
}

QImage TBitmap::Image() {
    SyncFromHandle();
    return FImage.isNull() ? QImage() : ToRgb(FImage);
}

void TBitmap::SetImage(const QImage& Image) {
    QImage Stored;
    if (!Image.isNull()) {
        TakeBitmapPixels(Image.width(), Image.height());
        Stored = Allocated(ToStorage(Image.convertToFormat(QImage::Format_RGB32), FFormat));
    }
    FreeHandle();
    SetStored(std::move(Stored));
    ClearChanged();
    Changed();
}

TColor TBitmap::TransparentColor() {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clNone;
    SyncFromHandle();
    return TColor(GdiInternal::FromPixel(FImage.pixel(0, Height() - 1)));
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    FTransparentMode = Value;
    if (Value == tmAuto) FTransparentColor = clDefault;
    Changed();
}

void TBitmap::Changed() {
    TGraphic::Changed();
}

// The bitmap is only read here, so its handle is not taken as drawn on: a picture drawn again and
// again (an animation's frames) is not copied back from it each time.
void TBitmap::Draw(TCanvas& Canvas, const TRect& R) {
    if (Empty()) return;
    const HDC Dest = Canvas.Handle();
    const HBITMAP Source = SourceHandle();
    const HBITMAP Lent = FCanvas && &Canvas != FCanvas.get() ? FCanvas->Lend() : 0;
    const HDC Src = CreateCompatibleDC(0);
    const HGDIOBJ Old = SelectObject(Src, Source);
    if (!Transparent())
        StretchBlt(Dest, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, Width(), Height(),
                   Canvas.CopyMode());
    else
        TransparentBlt(Dest, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, Width(), Height(),
                       ColorToRGB(TransparentColor()));
    SelectObject(Src, Old);
    DeleteDC(Src);
    if (FCanvas) FCanvas->TakeBack(Lent);
}

void TBitmap::LoadFromStream(TStream& Stream) {
    const int64_t Size = Stream.Size() - Stream.Position();
    // The largest picture allowed, at 32 bits, plus headers and a full colour table.
    const int64_t MaxBytes = GdiLimits::kMaxBitmapPixels * 4 + 2048;
    if (Size <= 0) throw EInvalidGraphic("Bitmap image is not valid: the data is empty");
    if (Size > MaxBytes) throw EInvalidGraphic("Bitmap image is not valid: the data is too large");
    std::vector<uint8_t> Data(size_t(Size), 0);
    Stream.ReadBuffer(Data.data(), Size);
    int Bpp = 0;
    bool Mono = false;
    const QImage Rgb = GdiInternal::ReadBmp(Data, &Bpp, &Mono);
    const TPixelFormat Format = Mono ? pf1bit : Bpp == 32 ? pf32bit : pf24bit;
    TakeBitmapPixels(Rgb.width(), Rgb.height());
    QImage Stored = Allocated(ToStorage(Rgb, Format));
    FreeHandle();
    FFormat = Format;
    SetStored(std::move(Stored));
    ClearChanged();
    Changed();
}

void TBitmap::SaveToStream(TStream& Stream) {
    const QImage Rgb = Image();
    if (Rgb.isNull()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
    const int Bpp = FFormat == pf1bit ? 1 : FFormat == pf32bit ? 32 : 24;
    Stream.WriteString(GdiInternal::WriteBmp(Rgb, Bpp));
}

void TBitmap::LoadFromResourceName(const std::string& Name) {
    const auto Data = FindResourceData(Name);
    if (Data.empty()) throw EInvalidGraphic("Resource " + Name + " not found");
    TMemoryStream Stream;
    Stream.WriteBuffer(Data.data(), int64_t(Data.size()));
    Stream.SetPosition(0);
    LoadFromStream(Stream);
}

void TBitmap::Assign(const TGraphic& Source) {
    if (&Source == this) return;
    if (const auto* B = dynamic_cast<const TBitmap*>(&Source)) {
        auto& S = const_cast<TBitmap&>(*B);
        S.SyncFromHandle();
        QImage Copy;
        if (!S.FImage.isNull()) {
            TakeBitmapPixels(S.FWidth, S.FHeight);
            Copy = Allocated(S.FImage.copy());
        }
        FreeHandle();
        FFormat = S.FFormat;
        FImage = std::move(Copy);
        FWidth = S.FWidth;
        FHeight = S.FHeight;
        FTransparent = S.FTransparent;
        FTransparentColor = S.FTransparentColor;
        FTransparentMode = S.FTransparentMode;
        ClearChanged();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

HBITMAP LoadBitmapResource(const std::string& Name) {
    try {
        TBitmap B;
        B.LoadFromResourceName(Name);
        return B.ReleaseHandle();
    } catch (const Exception&) {
        return 0;
    }
}

// --- TIcon ---------------------------------------------------------------------------------------

TIcon::TIcon() = default;

TIcon::~TIcon() {
    if (FHandle) DestroyIcon(FHandle);
}

int TIcon::Width() const {
    return IconImage(FHandle).width();
}
int TIcon::Height() const {
    return IconImage(FHandle).height();
}
void TIcon::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of an icon");
}
void TIcon::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::Draw(TCanvas& Canvas, const TRect& R) {
    if (FHandle)
        DrawIconEx(Canvas.Handle(), R.Left, R.Top, FHandle, R.Width(), R.Height(), 0, 0, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& Stream) {
    const int64_t Size = Stream.Size() - Stream.Position();
    if (Size <= 0 || Size > 16 * 1024 * 1024)
        throw EInvalidGraphic("Icon image is not valid: bad data size");
    std::vector<uint8_t> Data(size_t(Size), 0);
    Stream.ReadBuffer(Data.data(), Size);
    SetHandle(CreateIconFromFileData(Data));
}

void TIcon::SaveToStream(TStream&) {
    throw EInvalidGraphicOperation("Cannot save an icon");
}

void TIcon::Assign(const TGraphic& Source) {
    if (&Source == this) return;
    if (const auto* I = dynamic_cast<const TIcon*>(&Source)) {
        SetHandle(I->FHandle ? CopyIcon(I->FHandle) : 0);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::SetHandle(HICON Icon) {
    if (FHandle && FHandle != Icon) DestroyIcon(FHandle);
    FHandle = Icon;
    Changed();
}

HICON TIcon::ReleaseHandle() {
    const HICON H = FHandle;
    FHandle = 0;
    return H;
}

// --- TPicture ------------------------------------------------------------------------------------

namespace {

struct TFormat {
    std::string Description;
    TGraphicFactory Factory;
};

std::string Lower(std::string S) {
    for (char& C : S) C = char(std::tolower(uint8_t(C)));
    return S;
}

std::map<std::string, TFormat>& Formats() {
    static std::map<std::string, TFormat> F = {
        {"bmp", {"Bitmaps", [] { return std::unique_ptr<TGraphic>(new TBitmap()); }}},
        {"ico", {"Icons", [] { return std::unique_ptr<TGraphic>(new TIcon()); }}},
        {"jpg", {"JPEG Image File", [] { return std::unique_ptr<TGraphic>(new TJPEGImage()); }}},
        {"jpeg", {"JPEG Image File", [] { return std::unique_ptr<TGraphic>(new TJPEGImage()); }}},
    };
    return F;
}

// Graphic classes known by name only (no file extension reads into them).
std::map<std::string, TGraphicFactory>& GraphicClasses() {
    static std::map<std::string, TGraphicFactory> Classes;
    return Classes;
}

std::string ExtensionOf(const std::string& FileName) {
    const size_t Dot = FileName.find_last_of('.');
    const size_t Slash = FileName.find_last_of("/\\");
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return "";
    return FileName.substr(Dot + 1);
}

}  // namespace

TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(const TGraphic* Value) {
    if (!Value) {
        FGraphic.reset();
        Changed();
        return;
    }
    std::unique_ptr<TGraphic> Copy = CreateGraphic(Value->ClassName());
    if (!Copy) throw EInvalidGraphic("Unknown picture format " + Value->ClassName());
    Copy->Assign(*Value);
    Copy->OnChange = [this](TGraphic*) { Changed(); };
    FGraphic = std::move(Copy);
    Changed();
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> Value) {
    if (Value) Value->OnChange = [this](TGraphic*) { Changed(); };
    FGraphic = std::move(Value);
    Changed();
}

TBitmap& TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
        FGraphic = std::make_unique<TBitmap>();
        FGraphic->OnChange = [this](TGraphic*) { Changed(); };
        Changed();
    }
    return static_cast<TBitmap&>(*FGraphic);
}

void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string Ext = Lower(ExtensionOf(FileName));
    const auto It = Formats().find(Ext);
    if (It == Formats().end())
        throw EInvalidGraphic("Unknown picture file extension (." + ExtensionOf(FileName) + ")");
    std::unique_ptr<TGraphic> G = It->second.Factory();
    G->LoadFromFile(FileName);  // a failure leaves the picture as it was
    G->OnChange = [this](TGraphic*) { Changed(); };
    FGraphic = std::move(G);
    Changed();
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(const TPicture& Source) {
    if (&Source != this) SetGraphic(Source.FGraphic.get());
}

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicFactory Factory) {
    Formats()[Lower(Extension)] = TFormat{Description, std::move(Factory)};
}

void TPicture::UnregisterFileFormat(const std::string& Extension) {
    Formats().erase(Lower(Extension));
}

bool TPicture::SupportsExtension(const std::string& Extension) {
    return Formats().count(Lower(Extension)) != 0;
}

void TPicture::RegisterGraphicClass(const std::string& ClassName, TGraphicFactory Factory) {
    GraphicClasses()[ClassName] = std::move(Factory);
}

std::unique_ptr<TGraphic> TPicture::CreateGraphic(const std::string& ClassName) {
    if (ClassName == "TBitmap") return std::make_unique<TBitmap>();
    if (ClassName == "TIcon") return std::make_unique<TIcon>();
    if (const auto It = GraphicClasses().find(ClassName); It != GraphicClasses().end())
        return It->second();
    for (auto& [Ext, F] : Formats()) {
        std::unique_ptr<TGraphic> G = F.Factory();
        if (G && G->ClassName() == ClassName) return G;
    }
    return nullptr;
}

std::string TPicture::GraphicFilter() {
    std::string All, Each;
    for (const auto& [Ext, F] : Formats()) {
        All += (All.empty() ? "" : ";") + std::string("*.") + Ext;
        Each += "|" + F.Description + " (*." + Ext + ")|*." + Ext;
    }
    return "All (" + All + ")|" + All + Each;
}

// --- image lists ---------------------------------------------------------------------------------

TChangeLink::~TChangeLink() {
    if (FSender) FSender->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(int Width, int Height) : FWidth(Width), FHeight(Height) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* L : FLinks) L->FSender = nullptr;
    if (FHandle) ImageList_Destroy(FHandle);
}

HIMAGELIST TCustomImageList::Handle() {
    if (!FHandle)
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), 4, 4);
    return FHandle;
}

void TCustomImageList::Recreate() {
    if (FHandle) ImageList_Destroy(FHandle);
    FHandle = 0;
    Change();
}

void TCustomImageList::SetWidth(int Value) {
    if (Value > 0 && Value != FWidth) {
        FWidth = Value;
        Recreate();
    }
}

void TCustomImageList::SetHeight(int Value) {
    if (Value > 0 && Value != FHeight) {
        FHeight = Value;
        Recreate();
    }
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value != FMasked) {
        FMasked = Value;
        Recreate();
    }
}

void TCustomImageList::SetBkColor(TColor Value) {
    FBkColor = Value;
    ImageList_SetBkColor(Handle(), Value == clNone ? CLR_NONE : ColorToRGB(Value));
    Change();
}

int TCustomImageList::Count() {
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

int TCustomImageList::Add(TBitmap& Image, TBitmap* Mask) {
    const int I = ImageList_Add(Handle(), Image.Handle(), Mask ? Mask->Handle() : 0);
    if (I >= 0) Change();
    return I;
}

int TCustomImageList::AddMasked(TBitmap& Image, TColor MaskColor) {
    const TColor Key = MaskColor == clDefault ? Image.TransparentColor() : MaskColor;
    const int I = ImageList_AddMasked(Handle(), Image.Handle(), ColorToRGB(Key));
    if (I >= 0) Change();
    return I;
}

int TCustomImageList::AddIcon(TIcon& Icon) {
    const int I = ImageList_AddIcon(Handle(), Icon.Handle());
    if (I >= 0) Change();
    return I;
}

void TCustomImageList::Replace(int Index, TBitmap& Image, TBitmap* Mask) {
    if (!ImageList_Replace(Handle(), Index, Image.Handle(), Mask ? Mask->Handle() : 0))
        throw EInvalidGraphicOperation("Failed to replace image");
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EInvalidGraphicOperation("Invalid image list index");
    ImageList_Remove(Handle(), Index);
    Change();
}

void TCustomImageList::Clear() {
    ImageList_Remove(Handle(), -1);
    Change();
}

void TCustomImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled) {
    DrawStyled(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::DrawStyled(TCanvas& Canvas, int X, int Y, int Index, TDrawingStyle Style,
                                  TImageType Type, bool Enabled) {
    if (!FHandle || Index < 0 || Index >= Count()) return;
    const HDC DC = Canvas.Handle();
    const COLORREF Bk = FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor);
    if (Enabled) {
        static constexpr UINT Styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
        ImageList_DrawEx(FHandle, Index, DC, X, Y, 0, 0, Bk, CLR_DEFAULT,
                         Styles[Style] | (Type == itMask ? ILD_MASK : 0));
        return;
    }
    // Disabled: the image's shape embossed, in the highlight colour one pixel down and right and
    // in the shadow colour on top. The mask is 0 where the image is, 1 where it is transparent;
    // with the text colour white and background black, DSPDxax puts the brush where it is 0.
    const HBITMAP Mask = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
    const HDC MaskDC = CreateCompatibleDC(0);
    const HGDIOBJ OldMask = SelectObject(MaskDC, Mask);
    ImageList_DrawEx(FHandle, Index, MaskDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
    const COLORREF OldText = ::SetTextColor(DC, RGB(255, 255, 255));
    const COLORREF OldBk = ::SetBkColor(DC, RGB(0, 0, 0));
    const HGDIOBJ OldBrush = SelectObject(DC, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    BitBlt(DC, X + 1, Y + 1, FWidth, FHeight, MaskDC, 0, 0, DSPDxax);
    SelectObject(DC, GetSysColorBrush(COLOR_BTNSHADOW));
    BitBlt(DC, X, Y, FWidth, FHeight, MaskDC, 0, 0, DSPDxax);
    SelectObject(DC, OldBrush);
    ::SetTextColor(DC, OldText);
    ::SetBkColor(DC, OldBk);
    SelectObject(MaskDC, OldMask);
    DeleteDC(MaskDC);
    DeleteObject(Mask);
}

void TCustomImageList::GetBitmap(int Index, TBitmap& Image) {
    Image.SetPixelFormat(pf24bit);
    Image.SetSize(FWidth, FHeight);
    TCanvas& C = Image.Canvas();
    C.Brush().SetColor(FBkColor == clNone ? clBlack : FBkColor);
    C.FillRect(Rect(0, 0, FWidth, FHeight));
    if (FHandle && Index >= 0 && Index < Count())
        ImageList_DrawEx(FHandle, Index, C.Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
}

void TCustomImageList::Assign(TCustomImageList& Source) {
    if (&Source == this) return;
    if (FHandle) ImageList_Destroy(FHandle);
    FWidth = Source.FWidth;
    FHeight = Source.FHeight;
    FMasked = Source.FMasked;
    FBkColor = Source.FBkColor;
    FDrawingStyle = Source.FDrawingStyle;
    FImageType = Source.FImageType;
    FHandle = Source.FHandle ? ImageList_Duplicate(Source.FHandle) : 0;
    Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Link) {
    if (!Link || std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end()) return;
    if (Link->FSender && Link->FSender != this) Link->FSender->UnRegisterChanges(Link);
    Link->FSender = this;
    FLinks.push_back(Link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Link) {
    const auto It = std::find(FLinks.begin(), FLinks.end(), Link);
    if (It == FLinks.end()) return;
    (*It)->FSender = nullptr;
    FLinks.erase(It);
}

void TCustomImageList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedWhileLocked) {
        FChangedWhileLocked = false;
        Change();
    }
}

void TCustomImageList::Change() {
    if (FUpdateCount > 0) {
        FChangedWhileLocked = true;
        return;
    }
    // A handler may unregister links (or free them): walk a copy and re-check membership.
    const std::vector<TChangeLink*> Links = FLinks;
    for (TChangeLink* L : Links)
        if (std::find(FLinks.begin(), FLinks.end(), L) != FLinks.end() && L->OnChange)
            L->OnChange(this);
    if (OnChange) OnChange(this);
}
