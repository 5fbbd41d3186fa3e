#include "htmlview/html/IpHtmlPlatformCanvas.h"

#include <algorithm>
#include <string>

#include "platform/gdi/Gdi.h"

namespace {

RECT ToRECT(const TIpHtmlRect& R) {
    return RECT{R.Left, R.Top, R.Right, R.Bottom};
}

std::vector<POINT> ToPOINTs(const std::vector<TIpHtmlPoint>& Points) {
    std::vector<POINT> Out;
    Out.reserve(Points.size());
    for (const TIpHtmlPoint& P : Points) Out.push_back(POINT{P.X, P.Y});
    return Out;
}

// The bitmap of an off-screen buffer, made before the canvas that draws on it.
struct TBufferBitmap {
    TBufferBitmap(int32_t Width, int32_t Height)
        : Bitmap(std::make_unique<TBitmap>(Width, Height, pf32bit)) {}
    std::unique_ptr<TBitmap> Bitmap;
};

class TIpHtmlBufferCanvas : private TBufferBitmap, public TIpHtmlPlatformCanvas {
  public:
    TIpHtmlBufferCanvas(int32_t Width, int32_t Height)
        : TBufferBitmap(Width, Height), TIpHtmlPlatformCanvas(Bitmap->Canvas()) {}
    TBitmap& Pixels() { return *Bitmap; }
};

}  // namespace

TIpHtmlPlatformCanvas::TIpHtmlPlatformCanvas(TCanvas& Canvas)
    : FCanvas(Canvas), FDC(Canvas.Handle()), FSaved(SaveDC(FDC)) {
    FFont = HFONT(GetCurrentObject(FDC, OBJ_FONT));
}

TIpHtmlPlatformCanvas::~TIpHtmlPlatformCanvas() {
    RestoreDC(FDC, FSaved);
    for (const auto& [Key, Font] : FFonts) DeleteObject(Font);
    for (const auto& [Color, Pen] : FPens) DeleteObject(Pen);
    for (const auto& [Color, Brush] : FBrushes) DeleteObject(Brush);
}

void TIpHtmlPlatformCanvas::SetFont(const TIpHtmlFont& Font) {
    const TFontKey Key{Font.Name, Font.Size, Font.Style};
    auto Found = FFonts.find(Key);
    if (Found == FFonts.end()) {
        const auto Has = [&](TIpHtmlFontStyle Style) { return (Font.Style & uint8_t(Style)) != 0; };
        // Points at 96 pixels per inch, as character heights.
        const int Pixels = int((int64_t(Font.Size) * 96 + 36) / 72);
        const HFONT Handle = CreateFont(
            -std::max(Pixels, 1), 0, 0, 0, Has(TIpHtmlFontStyle::Bold) ? FW_BOLD : FW_NORMAL,
            Has(TIpHtmlFontStyle::Italic), Has(TIpHtmlFontStyle::Underline),
            Has(TIpHtmlFontStyle::StrikeOut), ANSI_CHARSET, 0, 0, 0, 0, Font.Name.c_str());
        Found = FFonts.emplace(Key, Handle).first;
    }
    FFont = Found->second;
}

void TIpHtmlPlatformCanvas::SetTextColor(TIpHtmlColor Color) {
    FTextColor = COLORREF(Color & 0xFFFFFF);
}

// The font and colour are selected for every use: drawing a picture through the TCanvas may
// select the canvas's own.
void TIpHtmlPlatformCanvas::SelectText() {
    SelectObject(FDC, FFont);
    ::SetTextColor(FDC, FTextColor);
}

TIpHtmlSize TIpHtmlPlatformCanvas::TextExtent(std::string_view Text) {
    SelectText();
    SIZE S{0, 0};
    GetTextExtentPoint32(FDC, std::string(Text), &S);
    return {S.cx, S.cy};
}

TIpHtmlTextMetrics TIpHtmlPlatformCanvas::TextMetrics() {
    SelectText();
    TEXTMETRIC M;
    GetTextMetrics(FDC, &M);
    return {M.tmAscent, M.tmDescent, M.tmHeight};
}

void TIpHtmlPlatformCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
    SelectText();
    SetBkMode(FDC, TRANSPARENT);
    ::TextOut(FDC, X, Y, std::string(Text));
}

HPEN TIpHtmlPlatformCanvas::PenOf(TIpHtmlColor Color) {
    auto Found = FPens.find(Color);
    if (Found == FPens.end())
        Found = FPens.emplace(Color, CreatePen(PS_SOLID, 1, COLORREF(Color & 0xFFFFFF))).first;
    return Found->second;
}

HBRUSH TIpHtmlPlatformCanvas::BrushOf(TIpHtmlColor Color) {
    auto Found = FBrushes.find(Color);
    if (Found == FBrushes.end())
        Found = FBrushes.emplace(Color, CreateSolidBrush(COLORREF(Color & 0xFFFFFF))).first;
    return Found->second;
}

void TIpHtmlPlatformCanvas::SelectShape(TIpHtmlColor Pen, TIpHtmlColor Brush) {
    SelectObject(FDC, PenOf(Pen));
    SelectObject(FDC, Brush == kHtmlNoColor ? GetStockObject(NULL_BRUSH) : BrushOf(Brush));
    SetROP2(FDC, R2_COPYPEN);
}

void TIpHtmlPlatformCanvas::FillRect(const TIpHtmlRect& R, TIpHtmlColor Color) {
    const RECT Rc = ToRECT(R);
    ::FillRect(FDC, &Rc, BrushOf(Color));
}

void TIpHtmlPlatformCanvas::FrameRect(const TIpHtmlRect& R, TIpHtmlColor Color) {
    const RECT Rc = ToRECT(R);
    ::FrameRect(FDC, &Rc, BrushOf(Color));
}

void TIpHtmlPlatformCanvas::Polyline(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) {
    SelectShape(Color, kHtmlNoColor);
    const auto P = ToPOINTs(Points);
    ::Polyline(FDC, P.data(), int(P.size()));
}

void TIpHtmlPlatformCanvas::Polygon(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) {
    SelectShape(Color, Color);
    SetPolyFillMode(FDC, ALTERNATE);
    const auto P = ToPOINTs(Points);
    ::Polygon(FDC, P.data(), int(P.size()));
}

void TIpHtmlPlatformCanvas::Ellipse(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) {
    SelectShape(Pen, Brush);
    ::Ellipse(FDC, R.Left, R.Top, R.Right, R.Bottom);
}

void TIpHtmlPlatformCanvas::Rectangle(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) {
    SelectShape(Pen, Brush);
    ::Rectangle(FDC, R.Left, R.Top, R.Right, R.Bottom);
}

void TIpHtmlPlatformCanvas::InvertRect(const TIpHtmlRect& R) {
    const RECT Rc = ToRECT(R);
    ::InvertRect(FDC, &Rc);
}

void TIpHtmlPlatformCanvas::DrawPicture(const TIpHtmlRect& R, TGraphic& Graphic) {
    FCanvas.StretchDraw(Rect(R.Left, R.Top, R.Right, R.Bottom), Graphic);
}

// Small pictures (a pixel-wide gradient) are first repeated into a tile of at least 256 pixels
// each way, so that covering a page takes a few copies instead of one per picture.
void TIpHtmlPlatformCanvas::TilePicture(const TIpHtmlRect& Area, TGraphic& Graphic,
                                        TIpHtmlPoint Origin) {
    const int32_t W = Graphic.Width(), H = Graphic.Height();
    if (W <= 0 || H <= 0 || IsEmptyRect(Area)) return;
    const int32_t TW = W * std::max(1, (255 + W) / W), TH = H * std::max(1, (255 + H) / H);
    TBitmap Tile(TW, TH, pf32bit);
    TCanvas& T = Tile.Canvas();
    T.Draw(0, 0, Graphic);
    for (int32_t Done = W; Done < TW; Done *= 2)
        T.CopyRect(Rect(Done, 0, std::min(2 * Done, TW), H), T,
                   Rect(0, 0, std::min(Done, TW - Done), H));
    for (int32_t Done = H; Done < TH; Done *= 2)
        T.CopyRect(Rect(0, Done, TW, std::min(2 * Done, TH)), T,
                   Rect(0, 0, TW, std::min(Done, TH - Done)));
    const int Saved = SaveDC(FDC);
    IntersectClipRect(FDC, Area.Left, Area.Top, Area.Right, Area.Bottom);
    const auto Start = [](int32_t From, int32_t Origin, int32_t Step) {
        const int64_t Steps = (int64_t(From) - Origin) / Step - (From < Origin ? 1 : 0);
        return int32_t(Origin + Steps * Step);
    };
    const HDC Source = T.Handle();
    for (int32_t Y = Start(Area.Top, Origin.Y, TH); Y < Area.Bottom; Y += TH)
        for (int32_t X = Start(Area.Left, Origin.X, TW); X < Area.Right; X += TW)
            BitBlt(FDC, X, Y, TW, TH, Source, 0, 0, SRCCOPY);
    RestoreDC(FDC, Saved);
}

std::unique_ptr<TIpHtmlCanvas> TIpHtmlPlatformCanvas::CreateBuffer(int32_t Width, int32_t Height) {
    return std::make_unique<TIpHtmlBufferCanvas>(std::max(Width, 1), std::max(Height, 1));
}

void TIpHtmlPlatformCanvas::DrawBuffer(TIpHtmlCanvas& Buffer, TIpHtmlPoint At) {
    auto* Source = dynamic_cast<TIpHtmlBufferCanvas*>(&Buffer);
    if (!Source) return;
    TBitmap& Pixels = Source->Pixels();
    BitBlt(FDC, At.X, At.Y, Pixels.Width(), Pixels.Height(), Pixels.Canvas().Handle(), 0, 0,
           SRCCOPY);
}
