#pragma once
// The main window's bars on a shown form for the window tests: twelve drawn pictures in the
// manager's image list, a chosen style and width.
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <string>

#include "bars/dxBar.h"
#include "platform/core/WindowPicture.h"
#include "tests/bars/BarTestSupport.h"
#include "tests/support/GuiTestSupport.h"

namespace BarTest {

inline std::string BarPicturePath(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/bars/" + Name + ".png";
}

// Writes a picture for people to look at (its folder is made: the test may run alone, or first in
// a new build tree).
inline bool SaveBarPicture(const QImage& Picture, const std::string& Name) {
    return SavePictureFile(Picture, BarPicturePath(Name));
}

// Twelve 16 x 16 pictures on the list's transparent colour, one per command of the main window.
inline std::unique_ptr<TCustomImageList> MakeImages() {
    auto List = std::make_unique<TCustomImageList>(16, 16);
    using TDraw = std::function<void(QPainter&)>;
    const TDraw kPictures[] = {
        [](QPainter& P) {
            P.setBrush(Qt::white);
            P.drawRect(3, 1, 9, 13);
        },
        [](QPainter& P) {
            P.setBrush(QColor(240, 200, 40));
            P.drawRect(1, 4, 13, 9);
        },
        [](QPainter& P) {
            P.setBrush(Qt::gray);
            P.drawEllipse(2, 2, 11, 11);
        },
        [](QPainter& P) {
            P.setBrush(Qt::white);
            P.drawRect(2, 2, 11, 11);
            for (int Y = 5; Y < 12; Y += 3) P.drawLine(4, Y, 11, Y);
        },
        [](QPainter& P) {
            P.setBrush(QColor(40, 80, 200));
            P.drawRect(2, 2, 11, 11);
        },
        [](QPainter& P) {
            P.setBrush(QColor(0, 160, 0));
            const QPoint T[3] = {{4, 2}, {12, 7}, {4, 12}};
            P.drawPolygon(T, 3);
        },
        [](QPainter& P) {
            P.setBrush(QColor(0, 160, 0));
            const QPoint A[3] = {{1, 2}, {7, 7}, {1, 12}}, B[3] = {{8, 2}, {14, 7}, {8, 12}};
            P.drawPolygon(A, 3);
            P.drawPolygon(B, 3);
        },
        [](QPainter& P) {
            P.setBrush(Qt::black);
            P.drawRect(1, 2, 13, 10);
        },
        [](QPainter& P) {
            P.setBrush(Qt::white);
            P.drawRect(2, 2, 5, 5);
            P.drawRect(2, 9, 5, 5);
            P.drawLine(9, 4, 13, 4);
            P.drawLine(9, 11, 13, 11);
        },
        [](QPainter& P) {
            P.setBrush(QColor(150, 60, 200));
            P.drawRect(6, 1, 3, 13);
        },
        [](QPainter& P) {
            P.setPen(QPen(QColor(200, 0, 0), 2));
            P.drawLine(3, 3, 12, 12);
            P.drawLine(12, 3, 3, 12);
        },
        [](QPainter& P) {
            P.setBrush(QColor(40, 80, 200));
            P.drawEllipse(2, 2, 11, 11);
        },
    };
    for (const TDraw& Draw : kPictures) {
        QImage Image(16, 16, QImage::Format_RGB32);
        Image.fill(qRgb(255, 0, 255));
        QPainter P(&Image);
        P.setPen(Qt::black);
        Draw(P);
        P.end();
        TBitmap Bitmap;
        Bitmap.SetImage(Image);
        List->AddMasked(Bitmap, clFuchsia);
    }
    return List;
}

// The main window's bars on a shown form of the given width.
struct TShownBars {
    TBarsForm Bars = TBarsForm::FromDefinition("TFormMain");
    std::unique_ptr<TCustomImageList> Images;
    explicit TShownBars(int Width, bool WithImages = true, TdxBarManagerStyle Style = bmsFlat) {
        if (WithImages) {
            Images = MakeImages();
            Manager()->SetImages(Images.get());
        }
        Manager()->SetStyle(Style);
        Bars.Form()->SetBounds(20, 20, Width, 160);
        Bars.Form()->Show();
        GuiTest::Drain();
    }
    ~TShownBars() {
        if (Manager()) Manager()->SetImages(nullptr);
    }
    TdxBarManager* Manager() const { return Bars.Manager(); }
    TdxBar* Menu() const { return Manager()->Bars()->Items(0); }
    TdxBar* Toolbar() const { return Manager()->Bars()->Items(1); }
    TdxBarItemLink* Link(TdxBar* Bar, int I) const { return Bar->ItemLinks()->Items(I); }
    // A point of a link's rectangle on the screen (its middle).
    POINT ScreenPoint(TdxBar* Bar, int I) const {
        const TRect R = Link(Bar, I)->ItemRect();
        return GuiTest::ScreenOf(Bar->Control()->Handle(),
                                 POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    HWND FormWindow() const { return Bars.Form()->Handle(); }
};

}  // namespace BarTest
