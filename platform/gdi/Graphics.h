#pragma once
// The class library's graphics classes over the GDI layer: colours, fonts, pens, brushes, the
// canvas, and the picture framework (TGraphic, TBitmap, TIcon, TPicture with a registry of
// graphic classes by file extension).
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/classes/Exception.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiTypes.h"

// --- colours ---------------------------------------------------------------------------------
// 0x00BBGGRR, or 0x80000000 + a COLOR_* index for a system colour.
using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                        clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                        clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000,
                        clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clLtGray = 0xC0C0C0,
                        clDkGray = 0x808080, clWhite = 0xFFFFFF, clNone = 0x1FFFFFFF,
                        clDefault = 0x20000000;
inline constexpr TColor SysColor(int Index) {
    return TColor(0x80000000u | unsigned(Index));
}
inline constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR),
                        clBackground = SysColor(COLOR_BACKGROUND),
                        clActiveCaption = SysColor(COLOR_ACTIVECAPTION),
                        clInactiveCaption = SysColor(COLOR_INACTIVECAPTION),
                        clMenu = SysColor(COLOR_MENU), clWindow = SysColor(COLOR_WINDOW),
                        clWindowFrame = SysColor(COLOR_WINDOWFRAME),
                        clMenuText = SysColor(COLOR_MENUTEXT),
                        clWindowText = SysColor(COLOR_WINDOWTEXT),
                        clCaptionText = SysColor(COLOR_CAPTIONTEXT),
                        clActiveBorder = SysColor(COLOR_ACTIVEBORDER),
                        clInactiveBorder = SysColor(COLOR_INACTIVEBORDER),
                        clAppWorkSpace = SysColor(COLOR_APPWORKSPACE),
                        clHighlight = SysColor(COLOR_HIGHLIGHT),
                        clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT),
                        clBtnFace = SysColor(COLOR_BTNFACE),
                        clBtnShadow = SysColor(COLOR_BTNSHADOW),
                        clGrayText = SysColor(COLOR_GRAYTEXT), clBtnText = SysColor(COLOR_BTNTEXT),
                        clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT),
                        clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT),
                        cl3DDkShadow = SysColor(COLOR_3DDKSHADOW),
                        cl3DLight = SysColor(COLOR_3DLIGHT), clInfoText = SysColor(COLOR_INFOTEXT),
                        clInfoBk = SysColor(COLOR_INFOBK), clHotLight = SysColor(COLOR_HOTLIGHT),
                        clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION),
                        clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION),
                        clMenuHighlight = SysColor(COLOR_MENUHILIGHT),
                        clMenuBar = SysColor(COLOR_MENUBAR);

// A system colour becomes its RGB value from the fixed table; other values are returned as they
// are (clNone and clDefault too).
COLORREF ColorToRGB(TColor Color);
// The identifier of a colour ("clBtnFace") or its hex form ("$00123456"), and back; false when
// the text is neither.
std::string ColorToString(TColor Color);
bool IdentToColor(const std::string& Ident, TColor& Color);
TColor StringToColor(const std::string& Text);  // raises EConvertError-like Exception

// --- graphics objects ------------------------------------------------------------------------
class TGraphicsObject {
  public:
    virtual ~TGraphicsObject() = default;
    std::function<void(TGraphicsObject*)> OnChange;

  protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = std::set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
  public:
    TFont();
    ~TFont() override;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& Source);
    // A font handle owned by this object (created on first use, replaced on every change).
    HFONT Handle();
    // Takes over the logical font of a handle (the handle stays the caller's).
    void SetHandle(HFONT Font);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Height in pixels: negative is the character height, positive the cell height.
    int Height() const { return FLog.lfHeight; }
    void SetHeight(int Value);
    // Size in points at 96 pixels per inch (Size 8 = Height -11).
    int Size() const;
    void SetSize(int Value);
    std::string Name() const { return FLog.lfFaceName; }
    void SetName(const std::string& Value);
    TFontStyles Style() const;
    void SetStyle(const TFontStyles& Value);
    int Charset() const { return FLog.lfCharSet; }
    void SetCharset(int Value);
    TFontPitch Pitch() const;
    void SetPitch(TFontPitch Value);
    int PixelsPerInch() const { return 96; }
    const LOGFONT& LogFont() const { return FLog; }
    void SetLogFont(const LOGFONT& Value);
    // The metrics of the font as it draws (tmHeight: the height of a line of it).
    TEXTMETRIC Metrics();

  private:
    void FreeHandle();
    void Modify();
    LOGFONT FLog;
    TColor FColor = clWindowText;
    HFONT FHandle = 0;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
  public:
    TPen() = default;
    ~TPen() override;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;
    void Assign(const TPen& Source);
    HPEN Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

  private:
    void Modify();
    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
    TPenMode FMode = pmCopy;
    HPEN FHandle = 0;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBitmap;

class TBrush : public TGraphicsObject {
  public:
    TBrush() = default;
    ~TBrush() override;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    void Assign(const TBrush& Source);
    HBRUSH Handle();
    // Takes over a brush handle's colour and style (the handle stays the caller's).
    void SetHandle(HBRUSH Brush);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern brush from the bitmap's top-left 8 x 8 pixels (the bitmap is not owned; null
    // goes back to the colour).
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

  private:
    void Modify();
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle = 0;
};

class TGraphic;

enum TCanvasState { csHandleValid, csFontValid, csPenValid, csBrushValid };

// Drawing on a device context with the current pen, brush and font. A canvas either owns a
// context (a bitmap's) or is lent one (SetHandle).
class TCanvas {
  public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The context, with pen, brush and font selected; raises EInvalidGraphicOperation when the
    // canvas has none.
    HDC Handle();
    // Lends a context (0: detaches; the previous objects are selected back).
    void SetHandle(HDC DC);
    bool HandleAllocated() const { return FHandle != 0; }

    TFont& Font() { return FFont; }
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint Value);
    uint32_t CopyMode() const { return FCopyMode; }
    void SetCopyMode(uint32_t Value) { FCopyMode = Value; }
    TRect ClipRect();

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(const std::vector<TPoint>& Points);
    void Polygon(const std::vector<TPoint>& Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);
    TColor Pixel(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);

    void TextOut(int X, int Y, const std::string& Text);
    void TextRect(const TRect& R, int X, int Y, const std::string& Text);
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    void Draw(int X, int Y, TGraphic& Graphic);
    void StretchDraw(const TRect& R, TGraphic& Graphic);
    void CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect);

    std::function<void(TCanvas*)> OnChange;
    std::function<void(TCanvas*)> OnChanging;

  protected:
    // Called before the context is needed; a bitmap's canvas makes its context here.
    virtual void CreateHandle() {}
    void Changing();
    void Changed();
    void RequireState(bool Pen, bool Brush, bool Font);

  private:
    void DeselectHandles();
    HDC FHandle = 0;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TPoint FPenPos;
    uint32_t FCopyMode = SRCCOPY;
    HGDIOBJ FOldPen = 0, FOldBrush = 0, FOldFont = 0;
    bool FPenValid = false, FBrushValid = false, FFontValid = false;
};

// --- pictures --------------------------------------------------------------------------------
class TGraphic {
  public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Empty() const = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    // Draws the picture stretched into R.
    virtual void Draw(TCanvas& Canvas, const TRect& R) = 0;
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);
    // Copies another graphic of a kind this one understands, else asks Source to AssignTo this
    // one; raises EInvalidGraphicOperation ("Cannot assign a TIcon to a TBitmap.") when neither
    // knows how.
    virtual void Assign(const TGraphic& Source);
    virtual void AssignTo(TGraphic& Dest) const;
    virtual std::string ClassName() const = 0;
    bool Modified() const { return FModified; }
    void SetModified(bool Value);
    std::function<void(TGraphic*)> OnChange;

  protected:
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A bitmap: 1-bit (monochrome), 24-bit or 32-bit pixels. ScanLine rows are in the pixel format's
// own layout (1 bit per pixel most significant first; B, G, R; B, G, R, X), top-down. Changes made
// through ScanLine show in the Canvas and the Handle, and the other way round.
class TBitmap : public TGraphic {
  public:
    TBitmap();
    TBitmap(int Width, int Height, TPixelFormat Format = pf24bit);
    ~TBitmap() override;

    // Width and height are kept apart from the pixels, so that setting one after the other sizes
    // the bitmap even though it has no pixels while one of them is still 0.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    // Keeps the pixels that still fit; new pixels are white.
    void SetSize(int Width, int Height);
    bool Empty() const override { return FImage.isNull(); }
    void Draw(TCanvas& Canvas, const TRect& R) override;
    // Reads a BMP (file header included); raises EInvalidGraphic on bad data, leaving the bitmap
    // unchanged.
    void LoadFromStream(TStream& Stream) override;
    // Writes a BMP: 1-bit for monochrome bitmaps, else 24- or 32-bit as the pixel format says.
    void SaveToStream(TStream& Stream) override;
    void LoadFromResourceName(const std::string& Name);
    void Assign(const TGraphic& Source) override;
    std::string ClassName() const override { return "TBitmap"; }

    TPixelFormat PixelFormat() const { return FFormat; }
    void SetPixelFormat(TPixelFormat Value);
    bool Monochrome() const { return FFormat == pf1bit; }
    void SetMonochrome(bool Value);
    uint8_t* ScanLine(int Row);
    TCanvas& Canvas();
    // The bitmap's handle, owned by the bitmap (valid until the bitmap changes size or format).
    HBITMAP Handle();
    // Takes over a bitmap handle (which becomes owned by this bitmap).
    void SetHandle(HBITMAP Bitmap);
    // Gives the handle away: the caller owns it; the bitmap keeps a copy of the pixels.
    HBITMAP ReleaseHandle();

    // The transparent colour: with tmAuto, the colour of the bottom-left pixel.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // The pixels as 32-bit RGB (for other graphic classes and tests).
    QImage Image();
    void SetImage(const QImage& Image);

  protected:
    void Changed() override;

  private:
    friend class TBitmapCanvas;
    void SyncFromHandle();
    void SyncToHandle();
    // The handle for drawing the bitmap elsewhere: up to date, not taken as drawn on.
    HBITMAP SourceHandle();
    void MarkChanged(int Row);
    void ClearChanged();
    void FreeHandle();
    // Takes pixels of a new size (the size follows the picture).
    void SetStored(QImage Stored);
    QImage FImage;  // in the pixel format's layout: Mono, BGR888 or RGB32; null while Empty
    int FWidth = 0, FHeight = 0;
    TPixelFormat FFormat = pf24bit;
    HBITMAP FHandle = 0;
    bool FHandleNewer = false;  // the handle's pixels may be ahead of FImage
    // The rows of FImage written through ScanLine since the last sync (none: top above bottom).
    int FChangedTop = INT_MAX, FChangedBottom = -1;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

// An icon: a colour bitmap and a monochrome mask.
class TIcon : public TGraphic {
  public:
    TIcon();
    ~TIcon() override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override;
    void SetHeight(int) override;
    bool Empty() const override { return FHandle == 0; }
    void Draw(TCanvas& Canvas, const TRect& R) override;
    // Reads an .ico or .cur file (its largest picture); EInvalidGraphic on bad data.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    void Assign(const TGraphic& Source) override;
    std::string ClassName() const override { return "TIcon"; }
    HICON Handle() const { return FHandle; }
    // Takes ownership of the icon handle.
    void SetHandle(HICON Icon);
    HICON ReleaseHandle();

  private:
    HICON FHandle = 0;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// A picture holds one graphic of any registered kind.
class TPicture {
  public:
    TPicture() = default;
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Copies Value (null clears the picture).
    void SetGraphic(const TGraphic* Value);
    // Holds Value itself: a graphic made for the picture (a decoded one) is not copied.
    void TakeGraphic(std::unique_ptr<TGraphic> Value);
    // The graphic as a bitmap; replaces any other graphic with an empty bitmap.
    TBitmap& Bitmap();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // Picks the graphic class by the file's extension, ignoring case; an unknown extension raises
    // EInvalidGraphic "Unknown picture file extension (.xyz)". On a read error the picture keeps
    // what it had.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
    void Assign(const TPicture& Source);
    std::function<void(TPicture*)> OnChange;

    // Extension without the dot ("bmp", "png"), compared without regard to case.
    static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                   TGraphicFactory Factory);
    static void UnregisterFileFormat(const std::string& Extension);
    static bool SupportsExtension(const std::string& Extension);
    // A graphic class without a file format of its own (one that a loader of another unit fills),
    // so that pictures can hold copies of its graphics and definitions can store them.
    static void RegisterGraphicClass(const std::string& ClassName, TGraphicFactory Factory);
    // A new graphic of a registered class name ("TBitmap"), or null; used by stored pictures and
    // by SetGraphic, which holds a copy.
    static std::unique_ptr<TGraphic> CreateGraphic(const std::string& ClassName);
    // "All (*.bmp;*.png)|*.bmp;*.png|Bitmaps (*.bmp)|*.bmp|..."
    static std::string GraphicFilter();

  private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};

// --- image lists ------------------------------------------------------------------------------
class TCustomImageList;

// Told when the image list it is registered with changes.
class TChangeLink {
  public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    TCustomImageList* Sender() const { return FSender; }
    std::function<void(TCustomImageList*)> OnChange;

  private:
    friend class TCustomImageList;
    TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList {
  public:
    explicit TCustomImageList(int Width = 16, int Height = 16);
    virtual ~TCustomImageList();
    TCustomImageList(const TCustomImageList&) = delete;
    TCustomImageList& operator=(const TCustomImageList&) = delete;

    HIMAGELIST Handle();
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size empties the list.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count();
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
    // What Draw draws of an image: its picture or its mask.
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value) { FImageType = Value; }

    // Adds the images of a bitmap (cut into Width-wide pieces); returns the first index.
    int Add(TBitmap& Image, TBitmap* Mask);
    int AddMasked(TBitmap& Image, TColor MaskColor);
    int AddIcon(TIcon& Icon);
    void Replace(int Index, TBitmap& Image, TBitmap* Mask);
    void Delete(int Index);
    void Clear();
    void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true);
    void DrawStyled(TCanvas& Canvas, int X, int Y, int Index, TDrawingStyle Style, TImageType Type,
                    bool Enabled = true);
    void GetBitmap(int Index, TBitmap& Image);
    void Assign(TCustomImageList& Source);

    void RegisterChanges(TChangeLink* Link);
    void UnRegisterChanges(TChangeLink* Link);
    std::function<void(TCustomImageList*)> OnChange;
    // Groups changes: one notification at the last EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

  protected:
    void Change();

  private:
    void Recreate();
    int FWidth, FHeight;
    bool FMasked = true;
    TColor FBkColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    HIMAGELIST FHandle = 0;
    std::vector<TChangeLink*> FLinks;
    int FUpdateCount = 0;
    bool FChangedWhileLocked = false;
};
