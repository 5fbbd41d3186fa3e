// One line: the edit around a QLineEdit. A Windows-1252 byte is one character of the widget's
// text, so positions are the widget's own.
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <algorithm>

#include "platform/classes/CodePages.h"
#include "platform/controls/ControlLook.h"
#include "platform/controls/Edit.h"
#include "platform/controls/EditWidget.h"
#include "platform/gdi/Gdi.h"

namespace {

// Shows the password character the edit was given.
class TPasswordStyle : public QProxyStyle {
  public:
    TPasswordStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override {
        if (Hint == QStyle::SH_LineEdit_PasswordCharacter) return Character.unicode();
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }
    QChar Character = QLatin1Char('*');
};

class TLineEditWidget : public TEditWidget {
  public:
    TLineEditWidget(QWidget* Host, DWORD Style, DWORD ExStyle) : FEdit(new QLineEdit(Host)) {
        ApplyClassicLook(FEdit, Style);
        FEdit->setMaxLength(kEditMaxLength);
        FEdit->setFrame((Style & WS_BORDER) || (ExStyle & WS_EX_CLIENTEDGE));
        // Input arrives only through our messages; Qt may give it the focus for its cursor.
        FEdit->setFocusPolicy(Qt::ClickFocus);
        FEdit->setContextMenuPolicy(Qt::NoContextMenu);
        FEdit->setAlignment(Style & ES_RIGHT    ? Qt::AlignRight | Qt::AlignVCenter
                            : Style & ES_CENTER ? Qt::AlignHCenter | Qt::AlignVCenter
                                                : Qt::AlignLeft | Qt::AlignVCenter);
        FEdit->setReadOnly(Style & ES_READONLY);
        QObject::connect(FEdit, &QLineEdit::textChanged, [this] {
            if (OnChange) OnChange();
        });
    }
    ~TLineEditWidget() override {
        // The style goes after the widget that uses it.
        if (FEdit && FStyle) FEdit->setStyle(ClassicStyle());
    }

    QWidget* Widget() const override { return FEdit; }
    std::string Text() const override { return FEdit ? UnicodeToCp1252(FEdit->text()) : ""; }
    void SetText(const std::string& Text) override {
        // What does not fit the limit is cut, as typing would.
        FEdit->setText(Cp1252ToUnicode(Text).left(FEdit->maxLength()));
        FEdit->setModified(false);
    }
    size_t Length() const override { return size_t(FEdit->text().size()); }
    std::string Range(TEditRange R) const override {
        return UnicodeToCp1252(FEdit->text().mid(qsizetype(R.Start), qsizetype(R.Length())));
    }
    TEditRange Selection() const override {
        if (!FEdit->hasSelectedText()) return TEditRange{Caret(), Caret()};
        return TEditRange{size_t(FEdit->selectionStart()), size_t(FEdit->selectionEnd())};
    }
    size_t Caret() const override { return size_t(FEdit->cursorPosition()); }
    void Select(size_t Anchor, size_t Caret) override {
        const auto From = int(std::min(Anchor, Length()));
        const auto To = int(std::min(Caret, Length()));
        // The caret ends where the second position is.
        FEdit->setSelection(From, To - From);
    }
    void ReplaceSelection(const std::string& Text) override {
        FEdit->insert(Cp1252ToUnicode(Text));
    }
    void InsertLineBreak() override {}
    bool Modified() const override { return FEdit->isModified(); }
    void SetModified(bool Modified) override { FEdit->setModified(Modified); }
    void SetReadOnly(bool ReadOnly) override { FEdit->setReadOnly(ReadOnly); }
    bool CanUndo() const override { return FEdit->isUndoAvailable(); }
    bool CanRedo() const override { return FEdit->isRedoAvailable(); }
    void Undo() override { FEdit->undo(); }
    void Redo() override { FEdit->redo(); }
    void ForgetUndo() override {
        // Setting the text anew is the only way to clear the widget's history; nothing else may
        // change meanwhile.
        const bool WasModified = FEdit->isModified();
        const int Start = FEdit->selectionStart();
        const int Length = int(FEdit->selectedText().size());
        const int Cursor = FEdit->cursorPosition();
        const QSignalBlocker Quiet(FEdit);
        FEdit->setText(FEdit->text());
        if (Length > 0)
            FEdit->setSelection(Cursor == Start ? Start + Length : Start,
                                Cursor == Start ? -Length : Length);
        else
            FEdit->setCursorPosition(Cursor);
        FEdit->setModified(WasModified);
    }
    int LineCount() const override { return 1; }
    size_t LineStart(int) const override { return 0; }
    size_t LineLength(int) const override { return Length(); }
    int LineOf(size_t) const override { return 0; }
    int FirstVisible() const override {
        return FEdit->cursorPositionAt(QPoint(Margins().left() + 3, FEdit->height() / 2));
    }
    bool Scroll(int, int) override { return false; }
    void ScrollToCaret() override {}
    QMargins Margins() const override { return FEdit->textMargins(); }
    void SetMargins(const QMargins& M) override { FEdit->setTextMargins(M); }
    void SetPasswordChar(unsigned char Character) override {
        if (Character == 0) {
            FEdit->setEchoMode(QLineEdit::Normal);
            return;
        }
        if (!FStyle) FStyle = std::make_unique<TPasswordStyle>();
        FStyle->Character = Cp1252ToUnicode(std::string(1, static_cast<char>(Character))).at(0);
        FEdit->setStyle(FStyle.get());
        FEdit->setEchoMode(QLineEdit::Normal);
        FEdit->setEchoMode(QLineEdit::Password);
    }

  private:
    QPointer<QLineEdit> FEdit;
    std::unique_ptr<TPasswordStyle> FStyle;
};

}  // namespace

std::unique_ptr<TEditWidget> MakeLineEditWidget(QWidget* Host, DWORD Style, DWORD ExStyle) {
    return std::make_unique<TLineEditWidget>(Host, Style, ExStyle);
}
