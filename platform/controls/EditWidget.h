#pragma once
// The two kinds of widget behind an EDIT window, in the edit's own terms: one line (a QLineEdit)
// or many (a QPlainTextEdit, for ES_MULTILINE). Texts are Windows-1252 bytes with CR LF line
// ends; positions count characters, a line end as two (CR and LF), as the edit's messages do.
// Lines are the lines as shown: a line that wraps counts as one line per row.
#include <QMargins>
#include <functional>
#include <memory>
#include <string>

#include "platform/core/Window.h"

class QWidget;

struct TEditRange {
    size_t Start = 0;
    size_t End = 0;
    size_t Length() const { return End - Start; }
};

class TEditWidget {
  public:
    virtual ~TEditWidget() = default;

    // Null once the widget went with its host.
    virtual QWidget* Widget() const = 0;
    // Called after every change of the text, typed or set.
    std::function<void()> OnChange;

    virtual std::string Text() const = 0;
    // The whole text anew: not modified, nothing to undo.
    virtual void SetText(const std::string& Text) = 0;
    virtual size_t Length() const = 0;
    // The text between two positions.
    virtual std::string Range(TEditRange Range) const = 0;

    // Start <= End; both at the caret when nothing is selected.
    virtual TEditRange Selection() const = 0;
    virtual size_t Caret() const = 0;
    // Selects from Anchor to Caret (clamped to the text); the view does not move.
    virtual void Select(size_t Anchor, size_t Caret) = 0;
    // Replaces the selection (inserts at the caret); line ends of any kind are line breaks.
    virtual void ReplaceSelection(const std::string& Text) = 0;
    virtual void InsertLineBreak() = 0;

    virtual bool Modified() const = 0;
    virtual void SetModified(bool Modified) = 0;
    virtual void SetReadOnly(bool ReadOnly) = 0;
    virtual bool CanUndo() const = 0;
    virtual bool CanRedo() const = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void ForgetUndo() = 0;

    virtual int LineCount() const = 0;
    // Line < LineCount().
    virtual size_t LineStart(int Line) const = 0;
    virtual size_t LineLength(int Line) const = 0;
    // The line that holds Pos (the last one for positions past the end).
    virtual int LineOf(size_t Pos) const = 0;
    // The top line shown; for one line, the first character shown.
    virtual int FirstVisible() const = 0;
    // False when the widget cannot scroll so (one line).
    virtual bool Scroll(int Columns, int Lines) = 0;
    virtual void ScrollToCaret() = 0;

    // Room between the widget's edges and its text (the formatting rectangle).
    virtual QMargins Margins() const = 0;
    virtual void SetMargins(const QMargins& Margins) = 0;

    // What one line shows for each character (0: the characters); many lines show them all.
    virtual void SetPasswordChar(unsigned char) {}
    // A left press at Client is about to reach the widget.
    virtual void BeforePress(POINT) {}
};

// Style and ExStyle are the window's (ES_ alignment, ES_READONLY, borders, scroll bars).
std::unique_ptr<TEditWidget> MakeLineEditWidget(QWidget* Host, DWORD Style, DWORD ExStyle);
std::unique_ptr<TEditWidget> MakeMemoWidget(QWidget* Host, DWORD Style, DWORD ExStyle);
