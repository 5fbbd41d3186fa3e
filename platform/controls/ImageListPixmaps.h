#pragma once
// The pictures of image lists as Qt pixmaps, for the common controls that show them.
#include <QPixmap>
#include <QSize>
#include <vector>

#include "platform/gdi/GdiTypes.h"

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
