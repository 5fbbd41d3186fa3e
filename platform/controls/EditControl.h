#pragma once
// The control object behind windows of the EDIT class (see Edit.h for the class's behaviour).
#include <QProxyStyle>
#include <memory>

#include "platform/controls/Edit.h"
#include "platform/controls/WrappedControl.h"

class QLineEdit;

class TEditControl : public TWrappedControl {
  public:
    explicit TEditControl(HWND Wnd);
    ~TEditControl() override;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;
    std::string Text() const override;
    void SetText(const std::string& Text) override;

  private:
    // Shows the password character this edit was given.
    class TPasswordStyle : public QProxyStyle {
      public:
        int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                      QStyleHintReturn* Return) const override;
        QChar Character = QLatin1Char('*');
    };

    LRESULT Char(WPARAM WParam, LPARAM LParam);
    void SetPasswordChar(unsigned char Character);
    void SetReadOnly(bool ReadOnly);
    void ApplyColours();
    RECT FormatRect() const;

    QLineEdit* FEdit = nullptr;
    std::unique_ptr<TPasswordStyle> FStyle;
    unsigned char FPasswordChar = 0;
};
