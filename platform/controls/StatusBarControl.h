#pragma once
// The control object behind windows of the status bar class (see StatusBar.h). It has no Qt
// widget: it paints itself on its window's surface.
#include <string>
#include <vector>

#include "platform/controls/StatusBar.h"
#include "platform/controls/WrappedControl.h"

class TStatusBarControl : public TWrappedControl {
  public:
    explicit TStatusBarControl(HWND Wnd);

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    struct TPart {
        // Right edge in client coordinates; -1: the right end of the bar.
        int Right = -1;
        std::string Text;
        UINT Type = 0;
        LPARAM Data = 0;
    };

    LRESULT SetText(WPARAM WParam, LPARAM LParam);
    LRESULT GetText(WPARAM Part, char* Buffer) const;
    LRESULT SetParts(int Count, const int* Rights);
    LRESULT GetParts(int Count, int* Rights) const;
    // The part's text record: the simple text for SB_SIMPLEID; null for a part that is not there.
    TPart* PartAt(WPARAM Part);
    const TPart* PartAt(WPARAM Part) const;
    // A part's rectangle, its edge included (client coordinates).
    RECT PartRect(size_t Part) const;
    RECT GripRect() const;
    int Height() const;
    void Place();
    void Paint();
    void PaintPart(HDC DC, const TPart& Part, RECT R, UINT Index);
    LRESULT HitTest(LPARAM LParam);

    std::vector<TPart> FParts;
    TPart FSimpleText;
    bool FSimple = false;
    int FMinHeight = 0;
    HFONT FFont = 0;
    bool FPlacing = false;
};
