#pragma once
// The control object behind windows of the EDIT class (see Edit.h for the class's behaviour): the
// messages, notifications, clipboard and typing rules of both kinds of edit, over the widget of
// one line or of many (EditWidget.h).
#include <memory>

#include "platform/controls/Edit.h"
#include "platform/controls/EditWidget.h"
#include "platform/controls/WrappedControl.h"

class TEditControl : public TWrappedControl {
  public:
    explicit TEditControl(HWND Wnd);
    ~TEditControl() override;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;
    std::string Text() const override;
    void SetText(const std::string& Text) override;
    // Selecting by dragging goes on outside the edit.
    bool CapturesMouse() const override { return true; }

  private:
    // The kind of widget made, whatever the style says later.
    bool Multiline() const { return FMultiline; }
    bool ReadOnly() const;
    LRESULT Char(WPARAM WParam, LPARAM LParam);
    // True when the key is the edit's own business, not the widget's.
    bool KeyDown(WPARAM Key);
    // True when Inserted more characters (in place of the selection) stay within the limit;
    // else the parent hears EN_MAXTEXT.
    bool Fits(size_t Inserted);
    LRESULT Selection(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT Lines(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT Format(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT Clipboard(UINT Msg);
    LRESULT UndoStep();
    void SetLimit(size_t Limit);
    void SetReadOnly(bool ReadOnly);
    void ApplyColours();
    RECT FormatRect() const;

    std::unique_ptr<TEditWidget> FEdit;
    bool FMultiline = false;
    size_t FLimit = kEditMaxLength;
    unsigned char FPasswordChar = 0;
    // The last change was EM_UNDO's: the next one takes it back.
    bool FUndone = false;
    bool FUndoing = false;
};
