#include "platform/controls/CommonControlsLook.h"

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include "platform/gdi/Gdi.h"

namespace {

struct TRoleColour {
    QPalette::ColorRole Role;
    int SysColour;
};

// Which system colour stands for which role of Qt's palette.
constexpr TRoleColour kRoles[] = {
    {QPalette::Window, COLOR_BTNFACE},      {QPalette::WindowText, COLOR_WINDOWTEXT},
    {QPalette::Base, COLOR_WINDOW},         {QPalette::AlternateBase, COLOR_WINDOW},
    {QPalette::Text, COLOR_WINDOWTEXT},     {QPalette::Button, COLOR_BTNFACE},
    {QPalette::ButtonText, COLOR_BTNTEXT},  {QPalette::Light, COLOR_3DHIGHLIGHT},
    {QPalette::Midlight, COLOR_3DLIGHT},    {QPalette::Mid, COLOR_BTNSHADOW},
    {QPalette::Dark, COLOR_BTNSHADOW},      {QPalette::Shadow, COLOR_3DDKSHADOW},
    {QPalette::Highlight, COLOR_HIGHLIGHT}, {QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT},
    {QPalette::ToolTipBase, COLOR_INFOBK},  {QPalette::ToolTipText, COLOR_INFOTEXT},
};

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

QColor QtColorOf(COLORREF Colour) {
    return QColor(GetRValue(Colour), GetGValue(Colour), GetBValue(Colour));
}

QColor SysQtColor(int Index) {
    return QtColorOf(GetSysColor(Index));
}

QStyle* ClassicStyle() {
    // Owned by the application object, so it goes with it.
    static QPointer<QStyle> Style;
    if (!Style) {
        Style = QStyleFactory::create(QStringLiteral("Windows"));
        if (Style) Style->setParent(qApp);
    }
    return Style;
}

QPalette ClassicPalette() {
    QPalette Palette;
    for (const TRoleColour& R : kRoles) {
        Palette.setColor(QPalette::All, R.Role, SysQtColor(R.SysColour));
    }
    Palette.setColor(QPalette::Disabled, QPalette::Text, SysQtColor(COLOR_GRAYTEXT));
    Palette.setColor(QPalette::Disabled, QPalette::WindowText, SysQtColor(COLOR_GRAYTEXT));
    Palette.setColor(QPalette::Disabled, QPalette::ButtonText, SysQtColor(COLOR_GRAYTEXT));
    return Palette;
}

void ApplyClassicLook(QWidget* Widget) {
    if (!Widget) return;
    QStyle* Style = ClassicStyle();
    const QPalette Palette = ClassicPalette();
    QList<QWidget*> All = Widget->findChildren<QWidget*>();
    All.prepend(Widget);
    for (QWidget* W : All) {
        if (Style) W->setStyle(Style);
        W->setPalette(Palette);
    }
}

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
