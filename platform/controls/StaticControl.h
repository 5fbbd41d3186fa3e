#pragma once
// The control object behind windows of the STATIC class (see Static.h for the class's behaviour):
// the text stays in the window; a TStaticView shows it.
#include "platform/controls/Static.h"
#include "platform/controls/WrappedControl.h"

class TStaticView;

class TStaticControl : public TWrappedControl {
  public:
    explicit TStaticControl(HWND Wnd);

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    void Refresh();
    void ApplyColours();

    TStaticView* FView = nullptr;
};
