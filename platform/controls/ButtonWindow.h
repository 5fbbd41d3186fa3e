#pragma once
// The control object behind windows of the BUTTON class (see Button.h for the class's behaviour).
// It keeps the button's state and handles its input itself; a TButtonView shows it. Owner-drawn
// buttons have no widget: the parent draws them on the window's own surface, which is where
// WM_DRAWITEM's context paints, and the control needs nothing from Qt for them.
#include "platform/controls/Button.h"
#include "platform/controls/WrappedControl.h"

class TButtonView;
struct TButtonType;

class TButtonWindow : public TWrappedControl {
  public:
    explicit TButtonWindow(HWND Wnd);

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    const TButtonType& Type() const;
    bool OwnerDrawn() const;

    // True when the button handled the input.
    bool Mouse(UINT Msg, LPARAM LParam);
    bool Key(UINT Msg, WPARAM WParam, LPARAM LParam);
    void Press(bool ByKey);
    // The press ends; Click when it ended over the button.
    void Release(bool Click);
    void Click();
    void CheckInGroup();
    void SetPushed(bool Pushed);
    void SetCheck(WPARAM Check);
    void SetFocused(bool Focused);
    void SetStyle(WPARAM NewStyle, bool Redraw);

    // The view shows the state as it is now.
    void Refresh();
    void ApplyColours();
    // Owner-drawn: WM_DRAWITEM to the parent, on DC or (0) a context of the button's own.
    void DrawOwner(HDC DC, UINT Action);

    TButtonView* FView = nullptr;
    WPARAM FCheck = BST_UNCHECKED;
    bool FPushed = false;
    bool FFocused = false;
    // An owner-drawn button told to look like the default one (BM_SETSTYLE).
    bool FDefault = false;
    enum class THeld { None, Mouse, Key };
    THeld FHeld = THeld::None;
};
