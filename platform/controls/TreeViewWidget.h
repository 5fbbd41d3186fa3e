#pragma once
// The Qt side of a tree view: a QTreeView that shows a TTreeViewData, draws the classic lines,
// buttons, images and labels itself, scrolls, and measures where items and their parts lie. It
// never changes the data: the control does, and tells the widget before and after each change.
#include <QTreeView>
#include <memory>

#include "platform/controls/ImageListPixmaps.h"
#include "platform/controls/TreeViewData.h"

class TTreeViewWidget : public QTreeView {
  public:
    TTreeViewWidget(QWidget* Host, const TTreeViewData& Data);
    ~TTreeViewWidget() override;

    // The pictures of the normal and state image lists (TVSIL_...).
    TImageListPixmaps& Images(WPARAM Which);

    // Changes of the data, announced before and after they are made.
    void BeginInsert(const TTreeItem& Parent, size_t Row);
    void EndInsert();
    void BeginRemove(const TTreeItem& Node);
    void EndRemove();
    // The order of Parent's children changes.
    void BeginSort();
    void EndSort();
    // The item looks different now.
    void Changed(const TTreeItem& Node);
    // The item's TVIS_EXPANDED changed.
    void ExpansionChanged(const TTreeItem& Node);
    // Styles, indent, item height, colours or image lists changed.
    void LookChanged();
    void Repaint();
    void SetRedraw(bool On);

    // Geometry, in the control's client coordinates. False for an item that is not shown (a
    // collapsed ancestor, or scrolled out of the window).
    bool ItemRect(const TTreeItem& Node, bool TextOnly, RECT& Rect);
    // Whether a point lies among the items (not on a scroll bar).
    bool OnItems(POINT At);
    // The item at a point and which part of it (TVHT_...).
    UINT HitTest(POINT At, TTreeItem*& Node);
    void EnsureVisible(const TTreeItem& Node);
    TTreeItem* FirstVisible();
    void ScrollToTop(const TTreeItem& Node);
    int VisibleCount();
    // The item a navigation key (VK_UP...) leads to from Node.
    TTreeItem* Neighbour(const TTreeItem& Node, WORD Key);
    int ItemHeight() const;

  protected:
    // The column is never narrower than the widest shown node: a name longer than the view is
    // scrolled to sideways, not cut.
    void updateGeometries() override;
    void drawBranches(QPainter* Painter, const QRect& Rect,
                      const QModelIndex& Index) const override;

  private:
    class TModel;
    class TDelegate;
    void Settle();
    QModelIndex IndexOf(const TTreeItem& Node) const;

    const TTreeViewData& FData;
    TImageListPixmaps FImages[3];
    std::unique_ptr<TModel> FModel;
    std::unique_ptr<TDelegate> FDelegate;
};
