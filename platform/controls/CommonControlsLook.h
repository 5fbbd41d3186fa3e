#pragma once
// The look the common controls share: Qt's classic Windows style with a palette made from the
// fixed system colour table, and the pictures of image lists as Qt pixmaps.
#include <QColor>
#include <QPalette>
#include <QPixmap>
#include <vector>

#include "platform/gdi/GdiTypes.h"

class QStyle;
class QWidget;

QColor QtColorOf(COLORREF Colour);
// The system colour (COLOR_...) as a Qt colour.
QColor SysQtColor(int Index);

// The classic style (one object for the program) and the system colours as a Qt palette.
QStyle* ClassicStyle();
QPalette ClassicPalette();
// Gives Widget and everything inside it the classic style and palette (a widget's style does not
// pass to its children by itself).
void ApplyClassicLook(QWidget* Widget);

// The pictures of one image list, converted once and kept until the list is set again or its
// number of images changes. A changed picture at the same index is seen only when the list is set
// again: owners of image lists send the SETIMAGELIST message again when their list changes.
class TImageListPixmaps {
  public:
    void Set(HIMAGELIST List);
    HIMAGELIST List() const { return FList; }
    // The size of one picture; empty without a list.
    QSize Size() const;
    // The picture at Index (transparent where the list's mask says so), blended with the
    // selection colour when Selected; a null pixmap for an index the list does not have.
    QPixmap Pixmap(int Index, bool Selected = false);

  private:
    void Forget();

    HIMAGELIST FList = 0;
    int FCount = 0;
    std::vector<QPixmap> FNormal;
    std::vector<QPixmap> FSelected;
};
