#include "platform/core/WindowPicture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "platform/core/Host.h"
#include "platform/core/HostImpl.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

QImage WindowPicture(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly) return QImage();
    TWndPtr Top = WindowImpl::TopLevelOf(*W);
    if (!Top) return QImage();
    QImage Whole;
    if (Top->Host) {
        // The host paints the surface and the wrapped controls paint themselves over it.
        Whole = Top->Host->grab().toImage().convertToFormat(QImage::Format_RGB32);
    } else {
        Whole = HostImpl::SurfaceOf(*Top)->Image.copy();
    }
    if (W->Parent == 0) return Whole;
    const RECT TopRect = WindowImpl::ScreenRect(*Top);
    const RECT R = WindowImpl::ScreenRect(*W);
    return Whole.copy(R.left - TopRect.left, R.top - TopRect.top, R.right - R.left,
                      R.bottom - R.top);
}

bool SaveWindowPicture(HWND Wnd, const std::string& Path) {
    const QImage Picture = WindowPicture(Wnd);
    return !Picture.isNull() && SavePictureFile(Picture, Path);
}

bool SavePictureFile(const QImage& Picture, const std::string& Path) {
    const QString File = QString::fromStdString(Path);
    QDir().mkpath(QFileInfo(File).absolutePath());
    return Picture.save(File, "PNG");
}
