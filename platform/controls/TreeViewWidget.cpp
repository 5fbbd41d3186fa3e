#include "platform/controls/TreeViewWidget.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <iterator>

#include "platform/classes/CodePages.h"
#include "platform/controls/ControlLook.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"

namespace {

// The classic expand button's side.
constexpr int kButtonSide = 9;

struct TTreeParts {
    // The column of the item's own line and button, left of its pictures.
    QRect Column;
    QRect Button;
    QRect State;
    QRect Icon;
    QRect Label;
};

TTreeItem* NodeAt(const QModelIndex& Index) {
    return static_cast<TTreeItem*>(Index.internalPointer());
}

QFont LabelFont(QFont Font, const TTreeItem& Node, bool Hot) {
    if (Node.State & TVIS_BOLD) Font.setBold(true);
    if (Hot) Font.setUnderline(true);
    return Font;
}

// The classic focus rectangle: every other pixel of the outline.
void DrawFocusFrame(QPainter& P, const QRect& R, const QColor& Colour) {
    QVector<QPoint> Dots;
    for (int X = R.left(); X <= R.right(); X += 2)
        Dots << QPoint(X, R.top()) << QPoint(X, R.bottom());
    for (int Y = R.top(); Y <= R.bottom(); Y += 2)
        Dots << QPoint(R.left(), Y) << QPoint(R.right(), Y);
    P.setPen(Colour);
    P.drawPoints(Dots.data(), static_cast<int>(Dots.size()));
}

}  // namespace

// ---- the model -------------------------------------------------------------------------------

class TTreeViewWidget::TModel : public QAbstractItemModel {
  public:
    explicit TModel(const TTreeViewData& Data) : FData(Data) {}
    using QAbstractItemModel::beginInsertRows;
    using QAbstractItemModel::beginRemoveRows;
    using QAbstractItemModel::endInsertRows;
    using QAbstractItemModel::endRemoveRows;

    QModelIndex IndexOf(const TTreeItem* Node) const {
        if (!Node || !Node->Parent) return {};
        return createIndex(static_cast<int>(FData.RowOf(*Node)), 0, const_cast<TTreeItem*>(Node));
    }
    const TTreeItem& NodeOf(const QModelIndex& Index) const {
        return Index.isValid() ? *NodeAt(Index) : FData.Root();
    }
    void BeginLayout() {
        emit layoutAboutToBeChanged();
        FSaved = persistentIndexList();
    }
    void EndLayout() {
        QModelIndexList Moved;
        for (const QModelIndex& Old : FSaved) Moved << IndexOf(NodeAt(Old));
        changePersistentIndexList(FSaved, Moved);
        FSaved.clear();
        emit layoutChanged();
    }

    QModelIndex index(int Row, int Column, const QModelIndex& Parent) const override {
        const TTreeItem& P = NodeOf(Parent);
        if (Column != 0 || Row < 0 || Row >= static_cast<int>(P.Children.size())) return {};
        return createIndex(Row, 0, P.Children[static_cast<size_t>(Row)].get());
    }
    QModelIndex parent(const QModelIndex& Index) const override {
        if (!Index.isValid()) return {};
        return IndexOf(NodeAt(Index)->Parent);
    }
    int rowCount(const QModelIndex& Parent) const override {
        if (Parent.column() > 0) return 0;
        return static_cast<int>(NodeOf(Parent).Children.size());
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    bool hasChildren(const QModelIndex& Parent) const override {
        return !NodeOf(Parent).Children.empty();
    }
    QVariant data(const QModelIndex& Index, int Role) const override {
        if (!Index.isValid() || Role != Qt::DisplayRole) return {};
        return Cp1252ToUnicode(NodeAt(Index)->Text);
    }

  private:
    const TTreeViewData& FData;
    QModelIndexList FSaved;
};

// ---- the items' look --------------------------------------------------------------------------

class TTreeViewWidget::TDelegate : public QAbstractItemDelegate {
  public:
    TDelegate(const TTreeViewData& Data, TImageListPixmaps* Images)
        : FData(Data), FImages(Images) {}

    int RowHeight(const QFont& Font) const {
        if (FData.ItemHeight > 0) return FData.ItemHeight;
        const int Pictures =
            std::max(FImages[TVSIL_NORMAL].Size().height(), FImages[TVSIL_STATE].Size().height());
        int Height = std::max(QFontMetrics(Font).height() + 3, Pictures + 1);
        // Even heights keep the dotted lines continuous from row to row.
        if (!(FData.Style & TVS_NONEVENHEIGHT)) Height += Height % 2;
        return Height;
    }

    // Content: the rectangle Qt gives the item, right of its indentation.
    TTreeParts PartsOf(const QRect& Content, const TTreeItem& Node, const QFont& Font) const {
        TTreeParts Parts;
        Parts.Column =
            QRect(Content.left() - FData.Indent, Content.top(), FData.Indent, Content.height());
        const QPoint Centre(Parts.Column.left() + FData.Indent / 2,
                            Content.top() + Content.height() / 2);
        Parts.Button = QRect(Centre.x() - kButtonSide / 2, Centre.y() - kButtonSide / 2,
                             kButtonSide, kButtonSide);
        int X = Content.left();
        const int Middle = Content.top() + Content.height() / 2;
        const QSize State = FImages[TVSIL_STATE].Size();
        if (!State.isEmpty()) {
            Parts.State = QRect(X, Middle - State.height() / 2, State.width(), State.height());
            X += State.width();
        }
        const QSize Icon = FImages[TVSIL_NORMAL].Size();
        if (!Icon.isEmpty()) {
            Parts.Icon = QRect(X, Middle - Icon.height() / 2, Icon.width(), Icon.height());
            X += Icon.width() + 1;
        }
        const QFontMetrics Metrics(LabelFont(Font, Node, false));
        Parts.Label =
            QRect(X, Content.top(), Metrics.horizontalAdvance(Cp1252ToUnicode(Node.Text)) + 4,
                  Content.height());
        return Parts;
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        const TTreeParts Parts =
            PartsOf(QRect(0, 0, 0, RowHeight(Option.font)), *NodeAt(Index), Option.font);
        return QSize(Parts.Label.right() + 2, RowHeight(Option.font));
    }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override {
        const TTreeItem& Node = *NodeAt(Index);
        const TTreeParts Parts = PartsOf(Option.rect, Node, Option.font);
        const bool Caret = FData.Caret == &Node;
        const bool Dropped = FData.DropTarget == &Node || (Node.State & TVIS_DROPHILITED);
        const bool Shown = FData.Focused || (FData.Style & TVS_SHOWSELALWAYS);
        const bool Selected = Dropped || ((Caret || (Node.State & TVIS_SELECTED)) && Shown);
        const bool Active = FData.Focused || Dropped;
        const bool Hot = (FData.Style & TVS_TRACKSELECT) && FData.Hot == &Node;
        Painter->save();
        const QPixmap State =
            STATEIMAGEINDEX(Node.State)
                ? FImages[TVSIL_STATE].Pixmap(static_cast<int>(STATEIMAGEINDEX(Node.State)))
                : QPixmap();
        if (!State.isNull()) Painter->drawPixmap(Parts.State.topLeft(), State);
        const QPixmap Icon = FImages[TVSIL_NORMAL].Pixmap(Caret ? Node.SelectedImage : Node.Image);
        if (!Icon.isNull()) Painter->drawPixmap(Parts.Icon.topLeft(), Icon);
        QColor Text = ColourOr(FData.TextColour, COLOR_WINDOWTEXT);
        if (Hot) Text = SysQtColor(COLOR_HOTLIGHT);
        if (Selected) {
            Painter->fillRect(Parts.Label, SysQtColor(Active ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
            if (Active) Text = SysQtColor(COLOR_HIGHLIGHTTEXT);
        }
        Painter->setFont(LabelFont(Option.font, Node, Hot));
        Painter->setPen(Text);
        Painter->drawText(Parts.Label.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          Cp1252ToUnicode(Node.Text));
        if (Caret && FData.Focused)
            DrawFocusFrame(*Painter, Parts.Label,
                           Selected ? SysQtColor(COLOR_HIGHLIGHTTEXT) : Text);
        Painter->restore();
    }

  private:
    const TTreeViewData& FData;
    TImageListPixmaps* FImages;
};

// ---- the widget -------------------------------------------------------------------------------

TTreeViewWidget::TTreeViewWidget(QWidget* Host, const TTreeViewData& Data)
    : QTreeView(Host),
      FData(Data),
      FModel(std::make_unique<TModel>(Data)),
      FDelegate(std::make_unique<TDelegate>(Data, FImages)) {
    setModel(FModel.get());
    setItemDelegate(FDelegate.get());
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setAnimated(false);
    setUniformRowHeights(true);
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    header()->setStretchLastSection(true);
    ApplyClassicLook(this, FData.Style);
    LookChanged();
}

TTreeViewWidget::~TTreeViewWidget() {
    // The view lets go of the model and the delegate before they go.
    setModel(nullptr);
    setItemDelegate(nullptr);
}

TImageListPixmaps& TTreeViewWidget::Images(WPARAM Which) {
    return FImages[std::min<WPARAM>(Which, TVSIL_STATE)];
}

QModelIndex TTreeViewWidget::IndexOf(const TTreeItem& Node) const {
    return FModel->IndexOf(&Node);
}

void TTreeViewWidget::BeginInsert(const TTreeItem& Parent, size_t Row) {
    FModel->beginInsertRows(FModel->IndexOf(&Parent), static_cast<int>(Row), static_cast<int>(Row));
}

void TTreeViewWidget::EndInsert() {
    FModel->endInsertRows();
}

void TTreeViewWidget::BeginRemove(const TTreeItem& Node) {
    const int Row = static_cast<int>(FData.RowOf(Node));
    FModel->beginRemoveRows(FModel->IndexOf(Node.Parent), Row, Row);
}

void TTreeViewWidget::EndRemove() {
    FModel->endRemoveRows();
}

void TTreeViewWidget::BeginSort() {
    FModel->BeginLayout();
}

void TTreeViewWidget::EndSort() {
    FModel->EndLayout();
}

void TTreeViewWidget::Changed(const TTreeItem& Node) {
    const QModelIndex Index = IndexOf(Node);
    if (Index.isValid()) emit FModel->dataChanged(Index, Index);
}

void TTreeViewWidget::ExpansionChanged(const TTreeItem& Node) {
    const QModelIndex Index = IndexOf(Node);
    if (Index.isValid()) setExpanded(Index, Node.Expanded());
    Changed(Node);
}

void TTreeViewWidget::LookChanged() {
    setIndentation(FData.Indent);
    const bool Decorated = FData.Style & (TVS_HASLINES | TVS_HASBUTTONS);
    setRootIsDecorated(Decorated && (FData.Style & TVS_LINESATROOT));
    QPalette Palette = palette();
    Palette.setColor(QPalette::Base, ColourOr(FData.BkColour, COLOR_WINDOW));
    setPalette(Palette);
    viewport()->setPalette(Palette);
    doItemsLayout();
    viewport()->update();
}

void TTreeViewWidget::updateGeometries() {
    if (model() && model()->columnCount() > 0)
        header()->setMinimumSectionSize(std::max(sizeHintForColumn(0), 1));
    QTreeView::updateGeometries();
}

void TTreeViewWidget::Repaint() {
    viewport()->update();
}

void TTreeViewWidget::SetRedraw(bool On) {
    setUpdatesEnabled(On);
    if (On) viewport()->update();
}

int TTreeViewWidget::ItemHeight() const {
    return FDelegate->RowHeight(font());
}

void TTreeViewWidget::Settle() {
    // A hidden widget gets its resize event only when it is shown; the layout needs it now.
    if (testAttribute(Qt::WA_PendingResizeEvent)) {
        QResizeEvent Resize(size(), QSize());
        QCoreApplication::sendEvent(this, &Resize);
        setAttribute(Qt::WA_PendingResizeEvent, false);
    }
    executeDelayedItemsLayout();
}

void TTreeViewWidget::drawBranches(QPainter* Painter, const QRect& Rect,
                                   const QModelIndex& Index) const {
    const TTreeItem& Node = *NodeAt(Index);
    const int Indent = FData.Indent;
    const int Columns = Indent > 0 ? Rect.width() / Indent : 0;
    if (Columns <= 0) return;
    Painter->save();
    Painter->fillRect(Rect, ColourOr(FData.BkColour, COLOR_WINDOW));
    const QColor Line = SysQtColor(COLOR_BTNSHADOW);
    const int Middle = Rect.top() + Rect.height() / 2;
    QVector<QPoint> Dots;
    // Every other pixel; rows are even and scroll by whole rows, so the dots of one row go on
    // in the next.
    auto Vertical = [&](int X, int Top, int Bottom) {
        for (int Y = Top; Y < Bottom; ++Y)
            if (((X + Y) & 1) == 0) Dots << QPoint(X, Y);
    };
    const bool Lines = FData.Style & TVS_HASLINES;
    // The item's own column: the connector and the lines to its siblings.
    const int Own = Columns - 1;
    const int Centre = Rect.left() + Own * Indent + Indent / 2;
    const bool First = !FData.PreviousSibling(Node) && Node.Parent == &FData.Root();
    if (Lines) {
        for (int X = Centre; X < Rect.left() + Columns * Indent; ++X)
            if (((X + Middle) & 1) == 0) Dots << QPoint(X, Middle);
        Vertical(Centre, First ? Middle : Rect.top(), Middle);
        if (FData.NextSibling(Node)) Vertical(Centre, Middle, Rect.bottom() + 1);
        // The ancestors' lines pass by when they have siblings below.
        const TTreeItem* Up = Node.Parent;
        for (int C = Own - 1; C >= 0 && Up && Up->Parent; --C, Up = Up->Parent)
            if (FData.NextSibling(*Up))
                Vertical(Rect.left() + C * Indent + Indent / 2, Rect.top(), Rect.bottom() + 1);
    }
    Painter->setPen(Line);
    Painter->drawPoints(Dots.data(), static_cast<int>(Dots.size()));
    if ((FData.Style & TVS_HASBUTTONS) && Node.HasChildren()) {
        const QRect Box(Centre - kButtonSide / 2, Middle - kButtonSide / 2, kButtonSide,
                        kButtonSide);
        Painter->fillRect(Box, SysQtColor(COLOR_WINDOW));
        Painter->setPen(Line);
        Painter->drawRect(Box.adjusted(0, 0, -1, -1));
        Painter->setPen(SysQtColor(COLOR_WINDOWTEXT));
        Painter->drawLine(Box.left() + 2, Middle, Box.right() - 2, Middle);
        if (!Node.Expanded()) Painter->drawLine(Centre, Box.top() + 2, Centre, Box.bottom() - 2);
    }
    Painter->restore();
}

bool TTreeViewWidget::ItemRect(const TTreeItem& Node, bool TextOnly, RECT& Rect) {
    if (!Node.Parent || !FData.Reachable(Node)) return false;
    Settle();
    const QRect Content = visualRect(IndexOf(Node));
    if (!Content.intersects(viewport()->rect())) return false;
    QRect Wanted = TextOnly ? FDelegate->PartsOf(Content, Node, font()).Label
                            : QRect(0, Content.top(), viewport()->width(), Content.height());
    const QPoint TopLeft = viewport()->mapTo(this, Wanted.topLeft());
    Rect =
        RECT{TopLeft.x(), TopLeft.y(), TopLeft.x() + Wanted.width(), TopLeft.y() + Wanted.height()};
    return true;
}

bool TTreeViewWidget::OnItems(POINT At) {
    Settle();
    return viewport()->rect().contains(viewport()->mapFrom(this, QPoint(At.x, At.y)));
}

UINT TTreeViewWidget::HitTest(POINT At, TTreeItem*& Node) {
    Node = nullptr;
    UINT Outside = 0;
    if (At.y < 0) Outside |= TVHT_ABOVE;
    if (At.y >= height()) Outside |= TVHT_BELOW;
    if (At.x < 0) Outside |= TVHT_TOLEFT;
    if (At.x >= width()) Outside |= TVHT_TORIGHT;
    if (Outside) return Outside;
    Settle();
    const QPoint P = viewport()->mapFrom(this, QPoint(At.x, At.y));
    if (!viewport()->rect().contains(P)) return TVHT_NOWHERE;
    const QModelIndex Index = indexAt(P);
    if (!Index.isValid()) return TVHT_NOWHERE;
    Node = NodeAt(Index);
    const TTreeParts Parts = FDelegate->PartsOf(visualRect(Index), *Node, font());
    const bool Buttons = FData.Style & TVS_HASBUTTONS;
    const bool OwnColumn = rootIsDecorated() || Node->Depth > 1;
    if (Buttons && OwnColumn && Node->HasChildren() && Parts.Column.contains(P))
        return TVHT_ONITEMBUTTON;
    if (P.x() < Parts.Label.left() && Parts.State.contains(P)) return TVHT_ONITEMSTATEICON;
    if (Parts.Icon.contains(P)) return TVHT_ONITEMICON;
    if (Parts.Label.contains(P)) return TVHT_ONITEMLABEL;
    if (P.x() >= Parts.Label.right()) return TVHT_ONITEMRIGHT;
    return TVHT_ONITEMINDENT;
}

void TTreeViewWidget::EnsureVisible(const TTreeItem& Node) {
    Settle();
    scrollTo(IndexOf(Node), QAbstractItemView::EnsureVisible);
}

TTreeItem* TTreeViewWidget::FirstVisible() {
    Settle();
    const QModelIndex Index = indexAt(QPoint(1, 1));
    return Index.isValid() ? NodeAt(Index) : nullptr;
}

void TTreeViewWidget::ScrollToTop(const TTreeItem& Node) {
    Settle();
    scrollTo(IndexOf(Node), QAbstractItemView::PositionAtTop);
}

int TTreeViewWidget::VisibleCount() {
    Settle();
    return std::max(0, viewport()->height() / ItemHeight());
}

TTreeItem* TTreeViewWidget::Neighbour(const TTreeItem& Node, WORD Key) {
    struct TKeyMove {
        WORD Key;
        CursorAction Action;
    };
    static constexpr TKeyMove kMoves[] = {
        {VK_UP, MoveUp},   {VK_DOWN, MoveDown},    {VK_HOME, MoveHome},
        {VK_END, MoveEnd}, {VK_PRIOR, MovePageUp}, {VK_NEXT, MovePageDown},
    };
    const auto* Move = std::find_if(std::begin(kMoves), std::end(kMoves),
                                    [Key](const TKeyMove& M) { return M.Key == Key; });
    if (Move == std::end(kMoves)) return const_cast<TTreeItem*>(&Node);
    Settle();
    selectionModel()->setCurrentIndex(IndexOf(Node), QItemSelectionModel::NoUpdate);
    const QModelIndex To = moveCursor(Move->Action, Qt::NoModifier);
    return To.isValid() ? NodeAt(To) : const_cast<TTreeItem*>(&Node);
}
