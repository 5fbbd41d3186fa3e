#pragma once
// Shared helpers of the painting tests: a Qt application for fonts, memory contexts with a
// bitmap, pixel access and pictures written for review.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <memory>
#include <string>

#include "platform/gdi/Gdi.h"

namespace GdiTest {

// The test main makes the application object where the tree has a GUI test main; otherwise the
// first fixture makes one here.
inline void EnsureApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            qFatal("the painting tests need a GUI application object");
        return;
    }
    static int Argc = 1;
    static char Name[] = "gdi-test";
    static char* Argv[] = {Name, nullptr};
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    static QGuiApplication App(Argc, Argv);
}

// A memory context with its own bitmap (32-bit, or monochrome), filled with Fill.
class TMemDC {
  public:
    TMemDC(int Width, int Height, bool Mono = false, COLORREF Fill = RGB(255, 255, 255)) {
        DC = CreateCompatibleDC(0);
        Bitmap = CreateBitmap(Width, Height, 1, Mono ? 1 : 32, nullptr);
        Old = SelectObject(DC, Bitmap);
        const HBRUSH B = CreateSolidBrush(Fill);
        RECT R{0, 0, Width, Height};
        FillRect(DC, &R, B);
        DeleteObject(B);
    }
    ~TMemDC() {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
    TMemDC(const TMemDC&) = delete;
    TMemDC& operator=(const TMemDC&) = delete;
    QImage& Image() { return *BitmapImage(Bitmap); }
    uint32_t At(int X, int Y) { return Image().pixel(X, Y) & 0xFFFFFFu; }
    HDC DC = 0;
    HBITMAP Bitmap = 0;
    HGDIOBJ Old = 0;
};

// Writes a picture into the build tree for people to look at.
inline void SavePicture(const QImage& Image, const std::string& Name) {
    const QString Dir = QStringLiteral(KESTRO_BINARY_DIR "/pictures/gdi");
    QDir().mkpath(Dir);
    Image.save(Dir + "/" + QString::fromStdString(Name) + ".png");
    // A magnified copy shows single pixels to the eye.
    Image.scaled(Image.size() * 4).save(Dir + "/" + QString::fromStdString(Name) + "-x4.png");
}

inline uint32_t Rgb(COLORREF C) {
    return (uint32_t(GetRValue(C)) << 16) | (uint32_t(GetGValue(C)) << 8) | GetBValue(C);
}

}  // namespace GdiTest
