#pragma once
// The Qt side of a list view: a widget that shows a TListViewData in the view its style asks for
// (a report under a header, or icons / small icons / a list), scrolls it, and measures where
// items and their parts lie. It never changes the data and never selects anything itself: the
// control does, and tells the widget before and after each change, as Qt's item models expect.
// Items are drawn as the classic list view draws them (see TListItemDelegate in the source).
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/controls/ImageListPixmaps.h"
#include "platform/controls/ListViewData.h"

class QAbstractItemView;
class TListReportView;
class TListIconView;

class TListViewWidget : public QWidget {
  public:
    // What the widget tells its control: a header button was clicked, a column was sized by the
    // user.
    struct THooks {
        std::function<void(int Column)> ColumnClicked;
        std::function<void(int Column, int Width)> ColumnResized;
    };

    TListViewWidget(QWidget* Host, const TListViewData& Data, THooks Hooks);
    ~TListViewWidget() override;

    // The pictures of the normal, small and state image lists (LVSIL_...).
    TImageListPixmaps& Images(WPARAM Which);

    // Changes of the data, announced before and after they are made.
    void BeginInsert(int First, int Count);
    void EndInsert();
    void BeginRemove(int First, int Count);
    void EndRemove();
    void BeginReset();
    void EndReset();
    // Items First..Last look different now.
    void ItemsChanged(int First, int Last);
    // The view, the styles, the colours, the columns' widths or the image lists changed.
    void LookChanged();
    // Only the picture changed (the focus moved in or out).
    void Repaint();
    void SetRedraw(bool On);
    // The width a column needs for its widest item text (and its header text, with UseHeader;
    // the last column then reaches at least the right edge).
    int FitWidth(int Column, bool UseHeader);
    // The part that scrolls for the mouse wheel.
    QWidget* ScrollTarget() const;

    // Geometry, in the control's client coordinates. False for an item that does not exist.
    bool ItemRect(int Item, LONG Part, RECT& Rect);
    // The item at a point and which part of it (LVHT_...); Column gets the column under the point
    // in a report.
    UINT HitTest(POINT At, int& Item, int& Column);
    void EnsureVisible(int Item, bool PartialOk);
    int TopIndex();
    int CountPerPage();
    // Whether a point lies among the items (not on the header or a scroll bar).
    bool OnItems(POINT At);
    // The item a navigation key (VK_UP...) moves the focus to from Item; -1 when there is none.
    int Neighbour(int Item, WORD Key);

  protected:
    void resizeEvent(QResizeEvent* Event) override;

  private:
    class TModel;
    class TDelegate;
    QAbstractItemView* Current() const;
    // Lays the current view over the whole widget and lets it finish pending layout work, so that
    // geometry is up to date also while the widget is hidden.
    void Settle();
    void ApplyColumns();
    QPoint ToView(POINT At) const;
    POINT FromView(QPoint At) const;

    const TListViewData& FData;
    THooks FHooks;
    TImageListPixmaps FImages[3];
    std::unique_ptr<TModel> FModel;
    std::unique_ptr<TDelegate> FDelegate;
    TListReportView* FReport = nullptr;
    TListIconView* FIcons = nullptr;
    bool FApplyingColumns = false;
};
