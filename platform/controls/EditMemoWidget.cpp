// Many lines: the edit around a QPlainTextEdit. The document keeps one paragraph per line and
// one position for each line end; the edit counts a line end as two (CR LF), so position P of
// the edit lies in the paragraph whose first position plus its number (the line ends before it)
// is the last one not past P.
#include <QEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <utility>

#include "platform/controls/ControlLook.h"
#include "platform/controls/Edit.h"
#include "platform/controls/EditWidget.h"
#include "platform/controls/MemoText.h"

namespace {

// Tab stops every eight average characters, as the classic edit has them.
constexpr int kTabStopChars = 8;

// The formatting rectangle is the viewport's margins, which only the widget itself may set; the
// tab stops follow the font.
class TMemo : public QPlainTextEdit {
  public:
    explicit TMemo(QWidget* Parent) : QPlainTextEdit(Parent) { SetTabStops(); }
    using QPlainTextEdit::setViewportMargins;
    using QPlainTextEdit::viewportMargins;

  protected:
    void changeEvent(QEvent* Event) override {
        QPlainTextEdit::changeEvent(Event);
        if (Event->type() == QEvent::FontChange) SetTabStops();
    }

  private:
    void SetTabStops() { setTabStopDistance(kTabStopChars * fontMetrics().averageCharWidth()); }
};

class TMemoWidget : public TEditWidget {
  public:
    TMemoWidget(QWidget* Host, DWORD Style, DWORD ExStyle) : FEdit(new TMemo(Host)) {
        ApplyClassicLook(FEdit, Style);
        const bool Frame = (Style & WS_BORDER) || (ExStyle & WS_EX_CLIENTEDGE);
        FEdit->setFrameStyle(Frame ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
        FEdit->setFocusPolicy(Qt::ClickFocus);
        FEdit->setContextMenuPolicy(Qt::NoContextMenu);
        FEdit->setVerticalScrollBarPolicy((Style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                               : Qt::ScrollBarAlwaysOff);
        FEdit->setHorizontalScrollBarPolicy((Style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                 : Qt::ScrollBarAlwaysOff);
        // Lines wrap at the edge unless the edit scrolls sideways.
        const bool Wrap = !(Style & WS_HSCROLL) && !(Style & ES_AUTOHSCROLL);
        FEdit->setLineWrapMode(Wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        FEdit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTextOption Option = Doc()->defaultTextOption();
        Option.setAlignment(Style & ES_RIGHT    ? Qt::AlignRight
                            : Style & ES_CENTER ? Qt::AlignHCenter
                                                : Qt::AlignLeft);
        Doc()->setDefaultTextOption(Option);
        FEdit->setReadOnly(Style & ES_READONLY);
        QObject::connect(FEdit, &QPlainTextEdit::textChanged, [this] {
            if (OnChange) OnChange();
        });
    }

    QWidget* Widget() const override { return FEdit; }
    std::string Text() const override { return FEdit ? MemoBytesOf(Doc()->toRawText()) : ""; }
    void SetText(const std::string& Text) override {
        FEdit->setPlainText(MemoTextOf(Text));
        Doc()->setModified(false);
    }
    size_t Length() const override {
        // Each line end counts once in the document's characters and once more here.
        return size_t(Doc()->characterCount() - 1) + size_t(Doc()->blockCount() - 1);
    }
    std::string Range(TEditRange R) const override {
        QTextCursor C(Doc());
        C.setPosition(DocPos(R.Start));
        C.setPosition(DocPos(R.End), QTextCursor::KeepAnchor);
        return MemoBytesOf(C.selectedText());
    }
    TEditRange Selection() const override {
        const QTextCursor C = FEdit->textCursor();
        return TEditRange{EditPos(C.selectionStart()), EditPos(C.selectionEnd())};
    }
    size_t Caret() const override { return EditPos(FEdit->textCursor().position()); }
    void Select(size_t Anchor, size_t Caret) override {
        QTextCursor C(Doc());
        C.setPosition(DocPos(Anchor));
        C.setPosition(DocPos(Caret), QTextCursor::KeepAnchor);
        // The view stays where it is: the edit scrolls to the caret only when asked.
        const int Top = FEdit->verticalScrollBar()->value();
        const int Left = FEdit->horizontalScrollBar()->value();
        FEdit->setTextCursor(C);
        FEdit->verticalScrollBar()->setValue(Top);
        FEdit->horizontalScrollBar()->setValue(Left);
    }
    void ReplaceSelection(const std::string& Text) override { Insert(MemoTextOf(Text)); }
    void InsertLineBreak() override { Insert(QStringLiteral("\n")); }
    bool Modified() const override { return Doc()->isModified(); }
    void SetModified(bool Modified) override { Doc()->setModified(Modified); }
    void SetReadOnly(bool ReadOnly) override { FEdit->setReadOnly(ReadOnly); }
    bool CanUndo() const override { return Doc()->isUndoAvailable(); }
    bool CanRedo() const override { return Doc()->isRedoAvailable(); }
    void Undo() override { FEdit->undo(); }
    void Redo() override { FEdit->redo(); }
    void ForgetUndo() override { Doc()->clearUndoRedoStacks(); }

    int LineCount() const override {
        if (!Wraps()) return Doc()->blockCount();
        int Count = 0;
        for (QTextBlock B = Doc()->begin(); B.isValid(); B = B.next()) Count += RowsIn(B);
        return Count;
    }
    size_t LineStart(int Line) const override {
        const auto [B, Row] = RowOf(Line);
        const int Offset = Row > 0 ? Layout(B)->lineAt(Row).textStart() : 0;
        return EditPos(B.position() + Offset);
    }
    size_t LineLength(int Line) const override {
        const auto [B, Row] = RowOf(Line);
        const int Text = B.length() - 1;
        if (!Wraps()) return size_t(Text);
        const QTextLine L = Layout(B)->lineAt(Row);
        if (!L.isValid()) return size_t(Text);
        return size_t(std::clamp(L.textLength(), 0, Text - L.textStart()));
    }
    int LineOf(size_t Pos) const override {
        const int At = DocPos(Pos);
        const QTextBlock Block = Doc()->findBlock(At);
        if (!Wraps()) return Block.blockNumber();
        int Line = 0;
        for (QTextBlock B = Doc()->begin(); B.isValid() && B != Block; B = B.next())
            Line += RowsIn(B);
        const QTextLine Row = Layout(Block)->lineForTextPosition(At - Block.position());
        return Line + (Row.isValid() ? Row.lineNumber() : 0);
    }
    int FirstVisible() const override {
        // The bar counts rows (paragraphs when nothing wraps).
        return FEdit->verticalScrollBar()->value();
    }
    bool Scroll(int Columns, int Lines) override {
        QScrollBar* V = FEdit->verticalScrollBar();
        QScrollBar* H = FEdit->horizontalScrollBar();
        V->setValue(V->value() + Lines);
        H->setValue(H->value() + Columns * FEdit->fontMetrics().averageCharWidth());
        return true;
    }
    void ScrollToCaret() override { FEdit->ensureCursorVisible(); }
    QMargins Margins() const override { return FEdit->viewportMargins(); }
    void SetMargins(const QMargins& M) override { FEdit->setViewportMargins(M); }
    void BeforePress(POINT Client) override {
        // The classic edit drags no text: a press in the selection starts a new one (Qt would
        // start a drag, with a loop of its own).
        const QPoint At = FEdit->viewport()->mapFrom(FEdit, QPoint(Client.x, Client.y));
        const int Pos = FEdit->cursorForPosition(At).position();
        QTextCursor C = FEdit->textCursor();
        if (C.hasSelection() && Pos >= C.selectionStart() && Pos <= C.selectionEnd()) {
            C.clearSelection();
            FEdit->setTextCursor(C);
        }
    }

  private:
    QTextDocument* Doc() const { return FEdit->document(); }
    bool Wraps() const { return FEdit->lineWrapMode() != QPlainTextEdit::NoWrap; }

    // The document's position of an edit position (one in a line end: the line's end).
    int DocPos(size_t Pos) const {
        int Low = 0;
        int High = Doc()->blockCount() - 1;
        while (Low < High) {
            const int Mid = Low + (High - Low + 1) / 2;
            if (size_t(Doc()->findBlockByNumber(Mid).position()) + size_t(Mid) <= Pos)
                Low = Mid;
            else
                High = Mid - 1;
        }
        const QTextBlock B = Doc()->findBlockByNumber(Low);
        const size_t Offset = Pos - std::min(Pos, size_t(B.position()) + size_t(Low));
        return B.position() + int(std::min(Offset, size_t(B.length() - 1)));
    }
    size_t EditPos(int At) const { return size_t(At) + size_t(Doc()->findBlock(At).blockNumber()); }

    // The block laid out (for its rows when lines wrap).
    QTextLayout* Layout(const QTextBlock& B) const {
        Doc()->documentLayout()->blockBoundingRect(B);
        return B.layout();
    }
    int RowsIn(const QTextBlock& B) const { return std::max(1, Layout(B)->lineCount()); }
    // The block and the row within it of a line shown.
    std::pair<QTextBlock, int> RowOf(int Line) const {
        if (!Wraps()) return {Doc()->findBlockByNumber(Line), 0};
        for (QTextBlock B = Doc()->begin(); B.isValid(); B = B.next()) {
            const int Rows = RowsIn(B);
            if (Line < Rows) return {B, Line};
            Line -= Rows;
        }
        return {Doc()->lastBlock(), RowsIn(Doc()->lastBlock()) - 1};
    }

    void Insert(const QString& Text) {
        QTextCursor C = FEdit->textCursor();
        C.insertText(Text);
        FEdit->setTextCursor(C);
    }

    QPointer<TMemo> FEdit;
};

}  // namespace

std::unique_ptr<TEditWidget> MakeMemoWidget(QWidget* Host, DWORD Style, DWORD ExStyle) {
    return std::make_unique<TMemoWidget>(Host, Style, ExStyle);
}
