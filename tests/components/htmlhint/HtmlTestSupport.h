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
// 2 blue, 3 white). The LZW data restarts the code table after every two pixels, so the codes
// stay 3 bits wide.
inline std::vector<uint8_t> SolidFramesGif(int Width, int Height, const std::vector<int>& Colors) {
    std::vector<uint8_t> G = {'G', 'I', 'F', '8', '9', 'a'};
    auto Word = [&](int V) {
        G.push_back(uint8_t(V & 0xFF));
        G.push_back(uint8_t(V >> 8));
    };
    Word(Width);
    Word(Height);
    G.insert(G.end(), {0x81, 0, 0});
    G.insert(G.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    for (int Color : Colors) {
        G.insert(G.end(), {0x21, 0xF9, 0x04, 0x00, 10, 0, 0, 0});
        G.push_back(0x2C);
        Word(0);
        Word(0);
        Word(Width);
        Word(Height);
        G.push_back(0);
        G.push_back(2);  // minimum code size
        std::vector<uint8_t> Bits;
        uint32_t Acc = 0;
        int Used = 0;
        auto Code = [&](int C) {
            Acc |= uint32_t(C) << Used;
            Used += 3;
            while (Used >= 8) {
                Bits.push_back(uint8_t(Acc & 0xFF));
                Acc >>= 8;
                Used -= 8;
            }
        };
        for (int P = 0; P < Width * Height; ++P) {
            if (P % 2 == 0) Code(4);
            Code(Color);
        }
        Code(5);
        if (Used > 0) Bits.push_back(uint8_t(Acc & 0xFF));
        for (size_t At = 0; At < Bits.size(); At += 255) {
            const size_t N = std::min<size_t>(255, Bits.size() - At);
            G.push_back(uint8_t(N));
            G.insert(G.end(), Bits.begin() + std::ptrdiff_t(At),
                     Bits.begin() + std::ptrdiff_t(At + N));
        }
        G.push_back(0);
    }
    G.push_back(0x3B);
    return G;
}

inline void SavePicture(const QImage& Image, const std::string& Name) {
    const QString Dir = QStringLiteral(KESTRO_BINARY_DIR "/pictures/htmlhint");
    QDir().mkpath(Dir);
    Image.save(Dir + "/" + QString::fromStdString(Name) + ".png");
}

}  // namespace HtmlTest
