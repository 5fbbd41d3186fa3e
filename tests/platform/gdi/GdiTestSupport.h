#pragma once
// Shared helpers of the painting tests: a Qt application for fonts, memory contexts with a
// bitmap, pixel access, pictures written for review and bytes that end at a page nobody may read.
#include <sys/mman.h>
#include <unistd.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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

// A copy of some bytes that ends right before a page the process may not touch: a reader that
// looks one byte past them crashes, in a plain build as under the address sanitizer (which does
// not see past the end of a buffer that is part of a larger one).
class TGuardedBytes {
  public:
    explicit TGuardedBytes(std::string_view Bytes) {
        const size_t Page = size_t(sysconf(_SC_PAGESIZE));
        FLength = (Bytes.size() + Page - 1) / Page * Page + Page;
        void* Base =
            mmap(nullptr, FLength, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (Base == MAP_FAILED) qFatal("no memory for guarded bytes");
        FBase = static_cast<uint8_t*>(Base);
        uint8_t* Guard = FBase + FLength - Page;
        if (mprotect(Guard, Page, PROT_NONE) != 0) qFatal("cannot protect the guard page");
        FData = std::span<const uint8_t>(Guard - Bytes.size(), Bytes.size());
        if (!Bytes.empty()) std::memcpy(Guard - Bytes.size(), Bytes.data(), Bytes.size());
    }
    ~TGuardedBytes() { munmap(FBase, FLength); }
    TGuardedBytes(const TGuardedBytes&) = delete;
    TGuardedBytes& operator=(const TGuardedBytes&) = delete;
    std::span<const uint8_t> Span() const { return FData; }

  private:
    uint8_t* FBase = nullptr;
    size_t FLength = 0;
    std::span<const uint8_t> FData;
};

}  // namespace GdiTest
