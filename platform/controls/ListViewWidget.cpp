#include "platform/controls/ListViewWidget.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/classes/CodePages.h"
#include "platform/classes/FlagScope.h"
#include "platform/controls/ControlLook.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"

namespace {

// Qt's item views with what the list view needs of their protected parts: the layout work they
// put off, and the item a navigation key leads to.
template <class TView>
class TSettledView : public TView {
  public:
    explicit TSettledView(QWidget* Parent) : TView(Parent) {}
    void Settle() {
        // A hidden widget gets its resize event only when it is shown; the layout needs it now.
        if (this->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent Resize(this->size(), QSize());
            QCoreApplication::sendEvent(this, &Resize);
            this->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
        this->executeDelayedItemsLayout();
    }
    // The row a navigation key (VK_UP...) leads to from From; From's row for other keys.
    int Neighbour(const QModelIndex& From, WORD Key) {
        struct TKeyMove {
            WORD Key;
            typename TView::CursorAction Action;
        };
        static constexpr TKeyMove kMoves[] = {
            {VK_UP, TView::MoveUp},        {VK_DOWN, TView::MoveDown},
            {VK_LEFT, TView::MoveLeft},    {VK_RIGHT, TView::MoveRight},
            {VK_HOME, TView::MoveHome},    {VK_END, TView::MoveEnd},
            {VK_PRIOR, TView::MovePageUp}, {VK_NEXT, TView::MovePageDown},
        };
        const auto* Move = std::find_if(std::begin(kMoves), std::end(kMoves),
                                        [Key](const TKeyMove& M) { return M.Key == Key; });
        if (Move == std::end(kMoves)) return From.row();
        this->selectionModel()->setCurrentIndex(From, QItemSelectionModel::NoUpdate);
        const QModelIndex To = this->moveCursor(Move->Action, Qt::NoModifier);
        return To.isValid() ? To.row() : From.row();
    }
};

Qt::Alignment AlignmentOf(int Format) {
    switch (Format & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT:
            return Qt::AlignRight;
        case LVCFMT_CENTER:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

// The classic focus rectangle: every other pixel of the outline.
void DrawFocusFrame(QPainter& P, const QRect& R, const QColor& Colour) {
    if (R.width() < 1 || R.height() < 1) return;
    QVector<QPoint> Dots;
    for (int X = R.left(); X <= R.right(); X += 2)
        Dots << QPoint(X, R.top()) << QPoint(X, R.bottom());
    for (int Y = R.top(); Y <= R.bottom(); Y += 2)
        Dots << QPoint(R.left(), Y) << QPoint(R.right(), Y);
    P.save();
    P.setPen(Colour);
    P.drawPoints(Dots.data(), static_cast<int>(Dots.size()));
    P.restore();
}

// Where the parts of an item lie within its cell.
struct TItemParts {
    QRect State;
    QRect Icon;
    // What a click hits as the label.
    QRect Label;
    // What the selection colour fills and the text is drawn in.
    QRect Text;
};

}  // namespace

class TListReportView : public TSettledView<QTreeView> {
  public:
    using TSettledView::TSettledView;
    std::function<void(QPainter&, const QRect&, int)> RowExtras;

  protected:
    void drawRow(QPainter* Painter, const QStyleOptionViewItem& Option,
                 const QModelIndex& Index) const override {
        QTreeView::drawRow(Painter, Option, Index);
        if (RowExtras) RowExtras(*Painter, Option.rect, Index.row());
    }
};

class TListIconView : public TSettledView<QListView> {
  public:
    using TSettledView::TSettledView;
};

// ---- the model -------------------------------------------------------------------------------

class TListViewWidget::TModel : public QAbstractTableModel {
  public:
    explicit TModel(const TListViewData& Data) : FData(Data) {}
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;

    int rowCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : static_cast<int>(FData.Items.size());
    }
    int columnCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : std::max(1, static_cast<int>(FData.Columns.size()));
    }
    QVariant data(const QModelIndex& Index, int Role) const override {
        if (Role != Qt::DisplayRole || !FData.Valid(Index.row())) return {};
        const TListViewRow& Item = FData.Items[static_cast<size_t>(Index.row())];
        return Cp1252ToUnicode(Item.Text(FData.SubItemOf(Index.column())));
    }
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override {
        if (Orientation != Qt::Horizontal || Section < 0 ||
            Section >= static_cast<int>(FData.Columns.size()))
            return {};
        const TListViewColumn& Column = FData.Columns[static_cast<size_t>(Section)];
        if (Role == Qt::DisplayRole) return Cp1252ToUnicode(Column.Text);
        if (Role == Qt::TextAlignmentRole)
            return QVariant::fromValue(AlignmentOf(Column.Format) | Qt::AlignVCenter);
        return {};
    }

  private:
    const TListViewData& FData;
};

// ---- the items' look --------------------------------------------------------------------------

class TListViewWidget::TDelegate : public QAbstractItemDelegate {
  public:
    TDelegate(const TListViewData& Data, TImageListPixmaps* Images)
        : FData(Data), FImages(Images) {}

    int RowHeight(const QFont& Font) const {
        const QFontMetrics Metrics(Font);
        return std::max({Metrics.height() + 2, FImages[LVSIL_SMALL].Size().height() + 1,
                         FImages[LVSIL_STATE].Size().height() + 1});
    }

    QSize GridSize(const QFont& Font) const {
        const QFontMetrics Metrics(Font);
        const QSize Icon = FImages[LVSIL_NORMAL].Size().expandedTo(
            QSize(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
        return QSize(std::max(GetSystemMetrics(SM_CXICONSPACING), Icon.width() + 12),
                     Icon.height() + 8 + 2 * Metrics.lineSpacing());
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        const DWORD View = FData.View();
        if (View == LVS_ICON) return GridSize(Option.font);
        if (View == LVS_REPORT) {
            const int Column = Index.column();
            const int Width = Column < static_cast<int>(FData.Columns.size())
                                  ? FData.Columns[static_cast<size_t>(Column)].Width
                                  : 0;
            return QSize(Width, RowHeight(Option.font));
        }
        const TItemParts Parts =
            PartsOf(QRect(0, 0, 100000, RowHeight(Option.font)), Index.row(), 0, Option.font);
        return QSize(Parts.Text.right() + 1 + 2, RowHeight(Option.font));
    }

    TItemParts PartsOf(const QRect& Cell, int Row, int Column, const QFont& Font) const {
        TItemParts Parts;
        if (!FData.Valid(Row)) return Parts;
        const TListViewRow& Item = FData.Items[static_cast<size_t>(Row)];
        const QFontMetrics Metrics(Font);
        const QString Text = Cp1252ToUnicode(Item.Text(FData.SubItemOf(Column)));
        const DWORD View = FData.View();
        if (View == LVS_ICON) return IconParts(Cell, Item, Text, Metrics);
        if (View == LVS_REPORT && Column > 0) {
            Parts.Label = Cell;
            Parts.Text = Cell.adjusted(6, 0, -6, 0);
            return Parts;
        }
        const QSize Small = FImages[LVSIL_SMALL].Size();
        const QSize State = FImages[LVSIL_STATE].Size();
        int X = Cell.left() + 2;
        if (View == LVS_REPORT) X += std::max(0, Item.Indent) * Small.width();
        const int Middle = Cell.top() + Cell.height() / 2;
        if (!State.isEmpty()) {
            Parts.State = QRect(X, Middle - State.height() / 2, State.width(), State.height());
            X += State.width();
        }
        if (!Small.isEmpty()) {
            Parts.Icon = QRect(X, Middle - Small.height() / 2, Small.width(), Small.height());
            X += Small.width() + 2;
        }
        const int Right = View == LVS_REPORT ? Cell.right() + 1 : 1 << 20;
        // The text's exact width, rounded up: eliding measures it so, and a label cut short of a
        // fraction of a pixel would lose its last letters.
        const int Advance = int(std::ceil(QFontMetricsF(Font).horizontalAdvance(Text)));
        const int Width = std::max(0, std::min(Advance + 4, Right - X));
        Parts.Text = QRect(X, Cell.top(), Width, Cell.height());
        Parts.Label = View == LVS_REPORT
                          ? QRect(X, Cell.top(), std::max(0, Right - X), Cell.height())
                          : Parts.Text;
        return Parts;
    }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override {
        const int Row = Index.row();
        if (!FData.Valid(Row)) return;
        const TListViewRow& Item = FData.Items[static_cast<size_t>(Row)];
        const int Column = Index.column();
        const TItemParts Parts = PartsOf(Option.rect, Row, Column, Option.font);
        const bool FullRow = FData.View() == LVS_REPORT && (FData.ExStyle & LVS_EX_FULLROWSELECT);
        const bool Dropped = Item.State & LVIS_DROPHILITED;
        const bool Selected = Dropped || ((Item.State & LVIS_SELECTED) &&
                                          (FData.Focused || (FData.Style & LVS_SHOWSELALWAYS)));
        const bool Active = FData.Focused || Dropped;
        const QColor Text = ColourOr(FData.TextColour, COLOR_WINDOWTEXT);
        Painter->save();
        Painter->setFont(Option.font);
        // The first column carries the item's pictures; the others show only their text, and
        // only a whole-row selection colours them.
        const bool Main = FData.View() != LVS_REPORT || Column == 0;
        const QRect Fill = FullRow ? Option.rect : Parts.Text;
        if (Selected && (Main || FullRow)) {
            Painter->fillRect(Fill, SysQtColor(Active ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        } else if (FData.TextBkColour != CLR_NONE) {
            Painter->fillRect(Parts.Text, ColourOr(FData.TextBkColour, COLOR_WINDOW));
        }
        if (Main) DrawPictures(*Painter, Parts, Item, Selected && Active);
        Painter->setPen(Selected && Active && (Main || FullRow) ? SysQtColor(COLOR_HIGHLIGHTTEXT)
                                                                : Text);
        DrawText(*Painter, Parts, Item, Column, Option.font);
        if (!FullRow && Main && FData.Focused && (Item.State & LVIS_FOCUSED))
            DrawFocusFrame(*Painter, Parts.Text, Selected ? SysQtColor(COLOR_HIGHLIGHTTEXT) : Text);
        Painter->restore();
    }

    // What a report draws over a whole row: the focus frame of a whole-row selection and the
    // grid lines.
    void PaintRowExtras(QPainter& Painter, const QRect& Row, int Index,
                        const QHeaderView& Header) const {
        if (!FData.Valid(Index)) return;
        const TListViewRow& Item = FData.Items[static_cast<size_t>(Index)];
        if (FData.ExStyle & LVS_EX_GRIDLINES) {
            Painter.save();
            Painter.setPen(SysQtColor(COLOR_BTNFACE));
            Painter.drawLine(Row.left(), Row.bottom(), Row.right(), Row.bottom());
            for (int C = 0; C < Header.count(); ++C) {
                if (Header.isSectionHidden(C)) continue;
                const int X = Header.sectionViewportPosition(C) + Header.sectionSize(C) - 1;
                Painter.drawLine(X, Row.top(), X, Row.bottom());
            }
            Painter.restore();
        }
        if ((FData.ExStyle & LVS_EX_FULLROWSELECT) && FData.Focused &&
            (Item.State & LVIS_FOCUSED)) {
            const int Right = Header.length() - Header.offset() - 1;
            const QRect Whole(Row.left(), Row.top(), std::max(0, Right - Row.left() + 1),
                              Row.height());
            const bool Selected = Item.State & LVIS_SELECTED;
            DrawFocusFrame(Painter, Whole,
                           SysQtColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        }
    }

  private:
    TItemParts IconParts(const QRect& Cell, const TListViewRow& Item, const QString& Text,
                         const QFontMetrics& Metrics) const {
        TItemParts Parts;
        const QSize Icon = FImages[LVSIL_NORMAL].Size();
        const QSize State = FImages[LVSIL_STATE].Size();
        const int Middle = Cell.left() + Cell.width() / 2;
        Parts.Icon = QRect(Middle - Icon.width() / 2, Cell.top() + 2, Icon.width(), Icon.height());
        if (!State.isEmpty())
            Parts.State =
                QRect(Parts.Icon.left() - State.width(), Parts.Icon.bottom() + 1 - State.height(),
                      State.width(), State.height());
        const int Top = Cell.top() + 2 + std::max(Icon.height(), GetSystemMetrics(SM_CYICON)) + 2;
        const QRect Room(Cell.left() + 2, Top, Cell.width() - 4, 2 * Metrics.lineSpacing());
        QRect Used = Metrics.boundingRect(Room, Qt::AlignHCenter | Qt::TextWordWrap, Text);
        Used = Used.intersected(Room);
        Parts.Text = QRect(Middle - (Used.width() + 4) / 2, Top, Used.width() + 4, Used.height());
        Parts.Label = Parts.Text;
        (void)Item;
        return Parts;
    }

    void DrawPictures(QPainter& Painter, const TItemParts& Parts, const TListViewRow& Item,
                      bool Blend) const {
        const WPARAM Which = FData.View() == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL;
        const QPixmap Picture = FImages[Which].Pixmap(Item.Image, Blend);
        if (!Picture.isNull()) Painter.drawPixmap(Parts.Icon.topLeft(), Picture);
        const UINT StateImage = STATEIMAGEINDEX(Item.State);
        const QPixmap State =
            StateImage ? FImages[LVSIL_STATE].Pixmap(static_cast<int>(StateImage)) : QPixmap();
        if (!State.isNull()) Painter.drawPixmap(Parts.State.topLeft(), State);
    }

    void DrawText(QPainter& Painter, const TItemParts& Parts, const TListViewRow& Item, int Column,
                  const QFont& Font) const {
        const QFontMetrics Metrics(Font);
        const QString Text = Cp1252ToUnicode(Item.Text(FData.SubItemOf(Column)));
        if (FData.View() == LVS_ICON) {
            Painter.drawText(Parts.Text.adjusted(2, 0, -2, 0),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, Text);
            return;
        }
        const QRect Room = FData.View() == LVS_REPORT && Column > 0
                               ? Parts.Text
                               : Parts.Text.adjusted(2, 0, -2, 0);
        const int Format =
            FData.View() == LVS_REPORT && Column < static_cast<int>(FData.Columns.size())
                ? FData.Columns[static_cast<size_t>(Column)].Format
                : LVCFMT_LEFT;
        // A label is as wide as its text by the same measure: only a text wider than its column
        // is cut (the eliding measure rounds otherwise and may cut a text that fits).
        const bool Fits = Metrics.horizontalAdvance(Text) <= Room.width();
        Painter.drawText(
            Room,
            static_cast<int>(AlignmentOf(Column == 0 ? LVCFMT_LEFT : Format) | Qt::AlignVCenter),
            Fits ? Text : Metrics.elidedText(Text, Qt::ElideRight, Room.width()));
    }

    const TListViewData& FData;
    TImageListPixmaps* FImages;
};

// ---- the widget -------------------------------------------------------------------------------

TListViewWidget::TListViewWidget(QWidget* Host, const TListViewData& Data, THooks Hooks)
    : QWidget(Host),
      FData(Data),
      FHooks(std::move(Hooks)),
      FModel(std::make_unique<TModel>(Data)),
      FDelegate(std::make_unique<TDelegate>(Data, FImages)) {
    FReport = new TListReportView(this);
    FIcons = new TListIconView(this);
    for (QAbstractItemView* View :
         {static_cast<QAbstractItemView*>(FReport), static_cast<QAbstractItemView*>(FIcons)}) {
        View->setModel(FModel.get());
        View->setItemDelegate(FDelegate.get());
        View->setSelectionMode(QAbstractItemView::NoSelection);
        View->setEditTriggers(QAbstractItemView::NoEditTriggers);
        View->setFocusPolicy(Qt::NoFocus);
        View->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
    FReport->setRootIsDecorated(false);
    FReport->setItemsExpandable(false);
    FReport->setUniformRowHeights(true);
    FReport->setAllColumnsShowFocus(false);
    FReport->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    FReport->RowExtras = [this](QPainter& Painter, const QRect& Row, int Index) {
        FDelegate->PaintRowExtras(Painter, Row, Index, *FReport->header());
    };
    QHeaderView* Header = FReport->header();
    Header->setSectionsMovable(false);
    Header->setStretchLastSection(false);
    Header->setHighlightSections(false);
    Header->setMinimumSectionSize(0);
    Header->setSectionResizeMode(QHeaderView::Interactive);
    Header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Header->setFocusPolicy(Qt::NoFocus);
    QObject::connect(Header, &QHeaderView::sectionClicked, [this](int Column) {
        if (FHooks.ColumnClicked) FHooks.ColumnClicked(Column);
    });
    QObject::connect(Header, &QHeaderView::sectionResized, [this](int Column, int, int Width) {
        if (!FApplyingColumns && FHooks.ColumnResized) FHooks.ColumnResized(Column, Width);
    });
    FIcons->setMovement(QListView::Static);
    FIcons->setResizeMode(QListView::Adjust);
    FIcons->setWrapping(true);
    FIcons->setSpacing(0);
    FIcons->setUniformItemSizes(false);
    setFocusPolicy(Qt::NoFocus);
    ApplyClassicLook(this, FData.Style);
    LookChanged();
}

TListViewWidget::~TListViewWidget() {
    // The views go before the model and the delegate they use.
    delete FReport;
    delete FIcons;
}

TImageListPixmaps& TListViewWidget::Images(WPARAM Which) {
    return FImages[std::min<WPARAM>(Which, LVSIL_STATE)];
}

QAbstractItemView* TListViewWidget::Current() const {
    if (FData.View() == LVS_REPORT) return FReport;
    return FIcons;
}

void TListViewWidget::BeginInsert(int First, int Count) {
    FModel->beginInsertRows(QModelIndex(), First, First + Count - 1);
}

void TListViewWidget::EndInsert() {
    FModel->endInsertRows();
}

void TListViewWidget::BeginRemove(int First, int Count) {
    FModel->beginRemoveRows(QModelIndex(), First, First + Count - 1);
}

void TListViewWidget::EndRemove() {
    FModel->endRemoveRows();
}

void TListViewWidget::BeginReset() {
    FModel->beginResetModel();
}

void TListViewWidget::EndReset() {
    FModel->endResetModel();
    ApplyColumns();
}

void TListViewWidget::ItemsChanged(int First, int Last) {
    if (First > Last) return;
    const int Columns = FModel->columnCount(QModelIndex());
    emit FModel->dataChanged(FModel->index(First, 0), FModel->index(Last, Columns - 1));
}

void TListViewWidget::ApplyColumns() {
    const TFlagScope Applying(FApplyingColumns);
    QHeaderView* Header = FReport->header();
    Header->setSectionHidden(0, FData.Columns.empty());
    for (size_t C = 0; C < FData.Columns.size() && C < static_cast<size_t>(Header->count()); ++C)
        Header->resizeSection(static_cast<int>(C), std::max(0, FData.Columns[C].Width));
}

void TListViewWidget::LookChanged() {
    const DWORD View = FData.View();
    const bool Report = View == LVS_REPORT;
    FReport->setVisible(Report);
    FIcons->setVisible(!Report);
    FReport->setHeaderHidden(FData.Style & LVS_NOCOLUMNHEADER);
    FReport->header()->setSectionsClickable(!(FData.Style & LVS_NOSORTHEADER));
    if (!Report) {
        FIcons->setViewMode(View == LVS_ICON ? QListView::IconMode : QListView::ListMode);
        FIcons->setFlow(View == LVS_LIST ? QListView::TopToBottom : QListView::LeftToRight);
        FIcons->setWrapping(true);
        FIcons->setWordWrap(View == LVS_ICON);
        FIcons->setGridSize(View == LVS_ICON ? FDelegate->GridSize(font()) : QSize());
        FIcons->setMovement(QListView::Static);
    }
    for (QAbstractItemView* V :
         {static_cast<QAbstractItemView*>(FReport), static_cast<QAbstractItemView*>(FIcons)}) {
        QFrame::Shape Shape = FData.Frame ? QFrame::StyledPanel : QFrame::NoFrame;
        V->setFrameStyle(Shape | QFrame::Sunken);
        QPalette Palette = V->palette();
        Palette.setColor(QPalette::Base, ColourOr(FData.BkColour, COLOR_WINDOW));
        V->setPalette(Palette);
        V->viewport()->setPalette(Palette);
    }
    ApplyColumns();
    Current()->doItemsLayout();
    Current()->viewport()->update();
}

void TListViewWidget::Repaint() {
    Current()->viewport()->update();
}

QWidget* TListViewWidget::ScrollTarget() const {
    return Current();
}

int TListViewWidget::FitWidth(int Column, bool UseHeader) {
    Settle();
    int Width = 0;
    const QRect Row(0, 0, 1 << 20, FDelegate->RowHeight(font()));
    for (int I = 0; I < static_cast<int>(FData.Items.size()); ++I) {
        const QRect Text = FDelegate->PartsOf(Row, I, Column, font()).Text;
        // Sub-items keep 6 pixels on either side, the first column 2 after its label.
        Width = std::max(
            Width, Column == 0
                       ? Text.right() + 1 + 2
                       : fontMetrics().horizontalAdvance(Cp1252ToUnicode(
                             FData.Items[static_cast<size_t>(I)].Text(FData.SubItemOf(Column)))) +
                             12);
    }
    if (!UseHeader) return Width;
    const QHeaderView* Header = FReport->header();
    Width = std::max(Width, Header->fontMetrics().horizontalAdvance(
                                Cp1252ToUnicode(FData.Columns[static_cast<size_t>(Column)].Text)) +
                                12);
    if (Column == static_cast<int>(FData.Columns.size()) - 1) {
        const int Left = Header->sectionPosition(Column);
        Width = std::max(Width, FReport->viewport()->width() - Left);
    }
    return Width;
}

void TListViewWidget::SetRedraw(bool On) {
    setUpdatesEnabled(On);
    if (On) {
        Current()->doItemsLayout();
        Current()->viewport()->update();
    }
}

void TListViewWidget::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    FReport->setGeometry(rect());
    FIcons->setGeometry(rect());
}

void TListViewWidget::Settle() {
    QAbstractItemView* View = Current();
    if (View->geometry() != rect()) View->setGeometry(rect());
    if (View == FReport) {
        FReport->Settle();
    } else {
        FIcons->Settle();
    }
}

QPoint TListViewWidget::ToView(POINT At) const {
    return Current()->viewport()->mapFrom(this, QPoint(At.x, At.y));
}

POINT TListViewWidget::FromView(QPoint At) const {
    const QPoint P = Current()->viewport()->mapTo(this, At);
    return POINT{P.x(), P.y()};
}

bool TListViewWidget::OnItems(POINT At) {
    Settle();
    return Current()->viewport()->rect().contains(ToView(At));
}

bool TListViewWidget::ItemRect(int Item, LONG Part, RECT& Rect) {
    if (!FData.Valid(Item)) return false;
    Settle();
    QAbstractItemView* View = Current();
    const QModelIndex Index = FModel->index(Item, 0);
    const QRect Cell = View->visualRect(Index);
    const TItemParts Parts = FDelegate->PartsOf(Cell, Item, 0, View->font());
    QRect Whole = Cell;
    if (View == FReport) {
        const QHeaderView* Header = FReport->header();
        Whole.setRight(Header->length() - Header->offset() - 1);
    } else if (FData.View() == LVS_ICON) {
        Whole = Parts.Icon.united(Parts.Text);
    }
    const QRect Icon =
        Parts.Icon.isNull() ? QRect(Parts.Label.left(), Cell.top(), 0, Cell.height()) : Parts.Icon;
    QRect Wanted;
    switch (Part) {
        case LVIR_BOUNDS:
            Wanted = Whole;
            break;
        case LVIR_ICON:
            Wanted = Icon;
            break;
        case LVIR_LABEL:
            Wanted = Parts.Label;
            break;
        case LVIR_SELECTBOUNDS:
            Wanted = View == FReport && (FData.ExStyle & LVS_EX_FULLROWSELECT)
                         ? Whole
                         : Icon.united(Parts.Label);
            break;
        default:
            return false;
    }
    const POINT TopLeft = FromView(Wanted.topLeft());
    Rect = RECT{TopLeft.x, TopLeft.y, TopLeft.x + Wanted.width(), TopLeft.y + Wanted.height()};
    return true;
}

UINT TListViewWidget::HitTest(POINT At, int& Item, int& Column) {
    Item = -1;
    Column = 0;
    UINT Outside = 0;
    if (At.y < 0) Outside |= LVHT_ABOVE;
    if (At.y >= height()) Outside |= LVHT_BELOW;
    if (At.x < 0) Outside |= LVHT_TOLEFT;
    if (At.x >= width()) Outside |= LVHT_TORIGHT;
    if (Outside) return Outside;
    Settle();
    QAbstractItemView* View = Current();
    const QPoint P = ToView(At);
    if (!View->viewport()->rect().contains(P)) return LVHT_NOWHERE;
    const QModelIndex Index = View->indexAt(P);
    if (!Index.isValid()) return LVHT_NOWHERE;
    const int Row = Index.row();
    if (View == FReport) Column = std::max(0, FReport->header()->logicalIndexAt(P.x()));
    const TItemParts Parts =
        FDelegate->PartsOf(View->visualRect(FModel->index(Row, 0)), Row, 0, View->font());
    UINT Flags = LVHT_NOWHERE;
    if (Parts.State.contains(P)) {
        Flags = LVHT_ONITEMSTATEICON;
    } else if (Parts.Icon.contains(P)) {
        Flags = LVHT_ONITEMICON;
    } else if (Parts.Label.contains(P) ||
               (View == FReport && (FData.ExStyle & LVS_EX_FULLROWSELECT))) {
        Flags = LVHT_ONITEMLABEL;
    }
    if (Flags != LVHT_NOWHERE) Item = Row;
    return Flags;
}

void TListViewWidget::EnsureVisible(int Item, bool PartialOk) {
    if (!FData.Valid(Item)) return;
    Settle();
    QAbstractItemView* View = Current();
    const QModelIndex Index = FModel->index(Item, 0);
    if (PartialOk && View->visualRect(Index).intersects(View->viewport()->rect())) return;
    View->scrollTo(Index, QAbstractItemView::EnsureVisible);
}

int TListViewWidget::TopIndex() {
    const DWORD View = FData.View();
    if (FData.Items.empty() || View == LVS_ICON || View == LVS_SMALLICON) return 0;
    Settle();
    const QModelIndex Index = Current()->indexAt(QPoint(1, 1));
    return Index.isValid() ? Index.row() : 0;
}

int TListViewWidget::CountPerPage() {
    const DWORD View = FData.View();
    if (View == LVS_ICON || View == LVS_SMALLICON) return static_cast<int>(FData.Items.size());
    Settle();
    const QRect Room = Current()->viewport()->rect();
    if (View == LVS_REPORT) return std::max(0, Room.height() / FDelegate->RowHeight(font()));
    int Count = 0;
    for (int I = 0; I < static_cast<int>(FData.Items.size()); ++I)
        if (Room.contains(FIcons->visualRect(FModel->index(I, 0)))) ++Count;
    return Count;
}

int TListViewWidget::Neighbour(int Item, WORD Key) {
    if (FData.Items.empty()) return -1;
    if (!FData.Valid(Item)) return 0;
    Settle();
    const QModelIndex From = FModel->index(Item, 0);
    return FData.View() == LVS_REPORT ? FReport->Neighbour(From, Key)
                                      : FIcons->Neighbour(From, Key);
}
