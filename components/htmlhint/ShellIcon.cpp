#include "components/htmlhint/ShellIcon.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>

#include "components/htmlhint/HtmlPicture.h"
#include "platform/fs/Files.h"

void DrawShellIcon(TCanvas& Canvas, const TRect& R, const std::string& Path, bool Large) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    QFileIconProvider Provider;
    const std::string Found = ResolvePath(Path);
    QIcon Icon;
    if (FileExists(Found) || DirectoryExists(Found))
        Icon = Provider.icon(QFileInfo(QString::fromLocal8Bit(Found.c_str())));
    else
        Icon = Provider.icon(QFileInfo(QString::fromLocal8Bit(Path.c_str())));
    if (Icon.isNull()) Icon = Provider.icon(QAbstractFileIconProvider::File);
    const int Side = Large ? 32 : 16;
    DrawPictureImage(Canvas, R, Icon.pixmap(Side, Side).toImage());
}
