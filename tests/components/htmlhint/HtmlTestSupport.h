#pragma once
// Helpers of the mini-HTML tests: a canvas on a white bitmap with the hint's font, the metrics
// of the font that draws it, and small GIF files made here.
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Graphics.h"
#include "tests/platform/gdi/GifTestEncoder.h"
#include "tests/support/TestSupport.h"

namespace HtmlTest {

// A bitmap to draw on, white, with "Tahoma" at 11 pixels (DejaVu Sans here) in black.
class TPaper {
  public:
    TPaper(int Width, int Height) : FBitmap(Width, Height, pf32bit) {
        TCanvas& C = Canvas();
        C.Brush().SetColor(clWhite);
        C.FillRect(Rect(0, 0, Width, Height));
        C.Font().SetName("Tahoma");
        C.Font().SetHeight(-11);
        C.Font().SetColor(clBlack);
    }
    TCanvas& Canvas() { return FBitmap.Canvas(); }
    QImage Image() { return FBitmap.Image(); }
    // Pixels of the colour inside the rectangle.
    int Count(QRgb Color, const TRect& R) {
        return CountWhere([Color](QRgb P) { return P == Color; }, R);
    }
    // Pixels inside the rectangle for which Test holds (text is smoothed: its edges are mixed
    // with the background).
    template <class F>
    int CountWhere(F Test, const TRect& R) {
        const QImage I = Image();
        int N = 0;
        for (int Y = std::max<LONG>(0, R.Top); Y < std::min(LONG(I.height()), R.Bottom); ++Y)
            for (int X = std::max<LONG>(0, R.Left); X < std::min(LONG(I.width()), R.Right); ++X)
                if (Test(I.pixel(X, Y) | 0xFF000000u)) ++N;
        return N;
    }
    // The rectangle around every pixel that is not white (empty when there is none).
    TRect Ink() {
        const QImage I = Image();
        TRect Box{I.width(), I.height(), 0, 0};
        for (int Y = 0; Y < I.height(); ++Y)
            for (int X = 0; X < I.width(); ++X)
                if ((I.pixel(X, Y) & 0xFFFFFF) != 0xFFFFFF) {
                    Box.Left = std::min(Box.Left, LONG(X));
                    Box.Top = std::min(Box.Top, LONG(Y));
                    Box.Right = std::max(Box.Right, LONG(X + 1));
                    Box.Bottom = std::max(Box.Bottom, LONG(Y + 1));
                }
        return Box;
    }

  private:
    TBitmap FBitmap;
};

// Mostly red: the red text's pixels and its smoothed edges.
inline bool Reddish(QRgb P) {
    return qRed(P) > 180 && qGreen(P) < 150 && qBlue(P) < 150;
}

// The font the canvas draws "Tahoma" with, at a pixel size.
inline QFontMetrics Metrics(int Pixels = 11, bool Bold = false) {
    QFont F(QStringLiteral("DejaVu Sans"));
    F.setPixelSize(Pixels);
    F.setKerning(false);
    if (Bold) F.setWeight(QFont::Bold);
    return QFontMetrics(F);
}

inline int Width(const char* Text, int Pixels = 11, bool Bold = false) {
    return Metrics(Pixels, Bold).horizontalAdvance(QString::fromUtf8(Text));
}

inline int LineHeight(int Pixels = 11) {
    const QFontMetrics FM = Metrics(Pixels);
    return FM.height() + FM.leading();
}

// A GIF of Width x Height whose frames fill the picture with one colour each (0 red, 1 green,
// 2 blue, 3 white).
inline std::vector<uint8_t> SolidFramesGif(int Width, int Height, const std::vector<int>& Colors) {
    std::vector<GifTest::TFrame> Frames;
    for (int Color : Colors) Frames.push_back(GifTest::Solid(0, 0, Width, Height, uint8_t(Color)));
    return GifTest::Encode(Width, Height, Frames);
}

inline void SavePicture(const QImage& Image, const std::string& Name) {
    const QString Dir = QStringLiteral(KESTRO_BINARY_DIR "/pictures/htmlhint");
    QDir().mkpath(Dir);
    Image.save(Dir + "/" + QString::fromStdString(Name) + ".png");
}

}  // namespace HtmlTest
