#include "platform/widgets/ButtonGlyph.h"

#include <QImage>
#include <algorithm>

namespace {

constexpr QRgb kWhite = 0xFFFFFF;

QRgb RgbOf(TColor Color) {
    const COLORREF C = ColorToRGB(Color);
    return qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
}

TColor ColorOf(QRgb Rgb) {
    return TColor(qRed(Rgb) | qGreen(Rgb) << 8 | qBlue(Rgb) << 16);
}

bool Same(QRgb A, QRgb B) {
    return (A & 0xFFFFFF) == (B & 0xFFFFFF);
}

// Which image of the strip a state shows; -1: the up image embossed.
int ImageIndex(TButtonState State, int Count) {
    switch (State) {
        case bsDisabled:
            return Count > 1 ? 1 : -1;
        case bsDown:
            return Count > 2 ? 2 : 0;
        case bsExclusive:
            return Count > 3 ? 3 : Count > 2 ? 2 : 0;
        default:
            return 0;
    }
}

// The shape of Image (what is neither Key nor white) in the shadow colour over a copy in the
// highlight colour one pixel down and right, on Key.
QImage Embossed(const QImage& Image, QRgb Key) {
    const QRgb Light = RgbOf(clBtnHighlight);
    const QRgb Shadow = RgbOf(clBtnShadow);
    QImage Out(Image.size(), QImage::Format_RGB32);
    Out.fill(Key);
    auto InShape = [&](int X, int Y) {
        const QRgb P = Image.pixel(X, Y);
        return !Same(P, Key) && !Same(P, kWhite);
    };
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (InShape(X, Y) && X + 1 < Out.width() && Y + 1 < Out.height())
                Out.setPixel(X + 1, Y + 1, Light);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (InShape(X, Y)) Out.setPixel(X, Y, Shadow);
    return Out;
}

}  // namespace

TButtonPlacement PlaceButtonContent(const TRect& Client, TPoint Offset, TSize GlyphSize,
                                    TSize TextSize, TButtonLayout Layout, int Margin, int Spacing) {
    const bool Across = Layout == blGlyphLeft || Layout == blGlyphRight;
    const int Room = Across ? Client.Width() : Client.Height();
    const int Glyph = Across ? GlyphSize.cx : GlyphSize.cy;
    const int Text = Across ? TextSize.cx : TextSize.cy;
    if (GlyphSize.cx == 0 || TextSize.cx == 0) Spacing = 0;
    if (Margin == -1 && Spacing == -1) {
        Margin = (Room - Glyph - Text) / 3;
        Spacing = Margin;
    } else if (Margin == -1) {
        Margin = (Room - Glyph - Spacing - Text + 1) / 2;
    } else if (Spacing == -1) {
        Spacing = (Room - Margin - Glyph - Text) / 2;
    }
    // Along the layout the glyph keeps its margin from its edge and the caption follows it;
    // across it both are centred.
    const bool GlyphFirst = Layout == blGlyphLeft || Layout == blGlyphTop;
    const int GlyphAt = GlyphFirst ? Margin : Room - Margin - Glyph;
    const int TextAt = GlyphFirst ? GlyphAt + Glyph + Spacing : GlyphAt - Spacing - Text;
    const int Side = Across ? Client.Height() : Client.Width();
    auto Centred = [Side](int Size) { return (Side - Size + 1) / 2; };
    const int GlyphSide = Centred(Across ? GlyphSize.cy : GlyphSize.cx);
    const int TextSide = Centred(Across ? TextSize.cy : TextSize.cx);
    const int X0 = Client.Left + Offset.X;
    const int Y0 = Client.Top + Offset.Y;
    TButtonPlacement P;
    P.GlyphPos =
        Across ? TPoint{X0 + GlyphAt, Y0 + GlyphSide} : TPoint{X0 + GlyphSide, Y0 + GlyphAt};
    const TPoint TextPos =
        Across ? TPoint{X0 + TextAt, Y0 + TextSide} : TPoint{X0 + TextSide, Y0 + TextAt};
    P.TextBounds = TRect{TextPos.X, TextPos.Y, TextPos.X + TextSize.cx, TextPos.Y + TextSize.cy};
    return P;
}

// ---- TButtonGlyph ---------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() {
    FGlyph.OnChange = [this](TGraphic*) {
        if (OnChange) OnChange();
    };
}

void TButtonGlyph::SetGlyph(const TBitmap* Value) {
    if (Value && !Value->Empty())
        FGlyph.Assign(*Value);
    else
        FGlyph.SetSize(0, 0);
}

void TButtonGlyph::SetNumGlyphs(int Value) {
    Value = std::clamp(Value, 1, kMaxGlyphs);
    if (FNumGlyphs == Value) return;
    FNumGlyphs = Value;
    if (OnChange) OnChange();
}

TSize TButtonGlyph::ImageSize() const {
    if (FGlyph.Empty()) return TSize{0, 0};
    return TSize{FGlyph.Width() / FNumGlyphs, FGlyph.Height()};
}

void TButtonGlyph::MakeImage(TButtonState State, TBitmap& Image) {
    const TSize Size = ImageSize();
    const int Index = ImageIndex(State, FNumGlyphs);
    const QImage Strip = FGlyph.Image();
    QRgb Key = RgbOf(FGlyph.TransparentColor());
    QImage Part = Strip.copy(std::max(Index, 0) * Size.cx, 0, Size.cx, Size.cy);
    if (Index < 0) {
        // The embossed shape needs a key that neither of its colours is.
        if (Same(Key, RgbOf(clBtnHighlight)) || Same(Key, RgbOf(clBtnShadow)))
            Key = qRgb(0xFF, 0x00, 0xFF);
        Part = Embossed(Part, Key);
    }
    Image.SetImage(Part);
    Image.SetTransparentMode(tmFixed);
    Image.SetTransparentColor(ColorOf(Key));
    Image.SetTransparent(true);
}

void TButtonGlyph::DrawCaption(TCanvas& Canvas, RECT R, const std::string& Caption,
                               TButtonState State) {
    const HDC DC = Canvas.Handle();
    constexpr UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    SetBkMode(DC, TRANSPARENT);
    if (State == bsDisabled) {
        RECT Light = R;
        OffsetRect(&Light, 1, 1);
        SetTextColor(DC, ColorToRGB(clBtnHighlight));
        DrawText(DC, Caption, &Light, Flags);
        SetTextColor(DC, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(DC, ColorToRGB(Canvas.Font().Color()));
    }
    DrawText(DC, Caption, &R, Flags);
}

TRect TButtonGlyph::Draw(TCanvas& Canvas, const TRect& Client, TPoint Offset,
                         const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                         TButtonState State) {
    TSize TextSize{0, 0};
    if (!Caption.empty()) {
        RECT Measure{0, 0, Client.Width(), 0};
        DrawText(Canvas.Handle(), Caption, &Measure, DT_CALCRECT | DT_SINGLELINE);
        TextSize = TSize{Measure.right - Measure.left, Measure.bottom - Measure.top};
    }
    const TSize GlyphSize = ImageSize();
    const TButtonPlacement P =
        PlaceButtonContent(Client, Offset, GlyphSize, TextSize, Layout, Margin, Spacing);
    if (GlyphSize.cx > 0) {
        TBitmap Image;
        MakeImage(State, Image);
        Canvas.Draw(P.GlyphPos.X, P.GlyphPos.Y, Image);
    }
    if (!Caption.empty()) DrawCaption(Canvas, P.TextBounds, Caption, State);
    return P.TextBounds;
}
