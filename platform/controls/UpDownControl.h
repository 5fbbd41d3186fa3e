#pragma once
// The control object behind windows of the up-down class (see UpDown.h). It has no Qt widget:
// it paints its two arrow buttons on its window's surface.
#include <memory>
#include <string>

#include "platform/controls/UpDown.h"
#include "platform/controls/WrappedControl.h"

struct TBuddyHook;

class TUpDownControl : public TWrappedControl {
  public:
    explicit TUpDownControl(HWND Wnd);
    ~TUpDownControl() override;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    // Which arrow: +1 towards the upper end, -1 towards the lower end, 0 none.
    using TArrow = int;

    HWND SetBuddy(HWND Buddy);
    void ReleaseBuddy();
    void Align();
    // The buddy's text as a position; false (and nothing changed) when it is no number in range.
    bool ReadBuddy();
    void ShowInBuddy();
    std::string Format(int Value) const;
    void SetPos(int Value);
    // One step of the arrow with UDN_DELTAPOS first; the scroll message when the position moved.
    void Step(TArrow Arrow);
    void Scrolled(WORD Code);
    TArrow ArrowAt(POINT At) const;
    RECT ArrowRect(TArrow Arrow) const;
    void Paint();
    LRESULT BuddyProc(UINT Msg, WPARAM WParam, LPARAM LParam);

    int FLower = 100;
    int FUpper = 0;
    int FPos = 0;
    int FBase = 10;
    HWND FBuddy = 0;
    // The buddy's own procedure while we look at its keys first (UDS_ARROWKEYS).
    WNDPROC FBuddyOld = nullptr;
    WNDPROC FBuddyOurs = nullptr;
    std::weak_ptr<TBuddyHook> FHook;
    TArrow FPressed = 0;
    // The held button repeats: the first time after a pause, then faster.
    bool FRepeating = false;
};
