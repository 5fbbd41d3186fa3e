#include "platform/controls/ImageListPixmaps.h"

#include <QImage>

#include "platform/gdi/Gdi.h"

namespace {

// The picture at Index drawn by the painting layer into a fresh 32-bit bitmap.
QImage Drawn(HIMAGELIST List, int Index, int Width, int Height, UINT Style, COLORREF Foreground) {
    const HDC DC = CreateCompatibleDC(0);
    const HBITMAP Bitmap = CreateBitmap(Width, Height, 1, 32, nullptr);
    const HGDIOBJ Old = SelectObject(DC, Bitmap);
    ImageList_DrawEx(List, Index, DC, 0, 0, Width, Height, CLR_NONE, Foreground, Style);
    QImage Image = *BitmapImage(Bitmap);
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
    return Image;
}

}  // namespace

void TImageListPixmaps::Set(HIMAGELIST List) {
    FList = List;
    Forget();
}

void TImageListPixmaps::Forget() {
    FNormal.clear();
    FSelected.clear();
    FCount = FList ? ImageList_GetImageCount(FList) : 0;
    FNormal.resize(static_cast<size_t>(FCount));
    FSelected.resize(static_cast<size_t>(FCount));
}

QSize TImageListPixmaps::Size() const {
    int Width = 0;
    int Height = 0;
    if (!FList || !ImageList_GetIconSize(FList, &Width, &Height)) return QSize();
    return QSize(Width, Height);
}

QPixmap TImageListPixmaps::Pixmap(int Index, bool Selected) {
    if (!FList) return QPixmap();
    if (ImageList_GetImageCount(FList) != FCount) Forget();
    if (Index < 0 || Index >= FCount) return QPixmap();
    QPixmap& Slot = (Selected ? FSelected : FNormal)[static_cast<size_t>(Index)];
    if (!Slot.isNull()) return Slot;
    const QSize S = Size();
    const QImage Colour =
        Drawn(FList, Index, S.width(), S.height(), ILD_IMAGE | (Selected ? ILD_BLEND50 : 0),
              Selected ? CLR_DEFAULT : CLR_NONE);
    const QImage Mask = Drawn(FList, Index, S.width(), S.height(), ILD_MASK, CLR_NONE);
    QImage Picture(S, QImage::Format_ARGB32);
    for (int Y = 0; Y < S.height(); ++Y) {
        for (int X = 0; X < S.width(); ++X) {
            const bool Clear = (Mask.pixel(X, Y) & 0xFFFFFFu) != 0;
            Picture.setPixel(X, Y, Clear ? 0u : (Colour.pixel(X, Y) | 0xFF000000u));
        }
    }
    Slot = QPixmap::fromImage(Picture);
    return Slot;
}
