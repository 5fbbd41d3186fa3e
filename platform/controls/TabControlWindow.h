#pragma once
// The control object behind windows of the tab control class (see TabControl.h). It has no Qt
// widget: it paints itself on its window's surface, and every message works without Qt widgets.
#include <string>
#include <vector>

#include "platform/controls/TabControl.h"
#include "platform/controls/WrappedControl.h"

class TTabControlWindow : public TWrappedControl {
  public:
    explicit TTabControlWindow(HWND Wnd);

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    struct TTab {
        std::string Text;
        int Image = -1;
        LPARAM Param = 0;
        DWORD State = 0;
    };
    // Where everything lies for the window's present size (client coordinates).
    struct TLayout {
        // Each tab's rectangle as drawn when it is not the selected one.
        std::vector<RECT> Tabs;
        int Rows = 0;
        // The raised pane below the tabs (TCS_TABS), or the area below the buttons.
        RECT Pane{};
        // One line that does not fit scrolls with two arrow buttons.
        bool Scrolls = false;
        RECT Back{};
        RECT Forward{};
    };

    LRESULT InsertItem(int Index, const TCITEM* Item);
    LRESULT DeleteItem(int Index);
    LRESULT GetItem(int Index, TCITEM* Item) const;
    LRESULT SetItem(int Index, const TCITEM* Item);
    LRESULT SetCurSel(int Index);
    LRESULT AdjustRect(bool Larger, RECT* Rect) const;
    LRESULT HitTest(TCHITTESTINFO* Info) const;
    // The user (or TCM_SETCURFOCUS) picks a tab: TCN_SELCHANGING may keep the old one.
    bool Choose(int Index);
    void Press(POINT At);
    void KeyDown(WPARAM Key, LPARAM KeyData);

    TLayout Layout() const;
    int TabWidth(const TTab& Tab, HDC DC) const;
    int TabHeight() const;
    // The selected tab, drawn larger than the others.
    RECT Raised(RECT Tab) const;
    void Paint();
    void PaintTab(HDC DC, const TTab& Tab, RECT R, bool Selected);
    HFONT Font() const;
    void Relayout();

    std::vector<TTab> FTabs;
    int FCurrent = -1;
    // The first tab shown on a line that scrolls.
    int FFirst = 0;
    HIMAGELIST FImages = 0;
    HFONT FFont = 0;
    bool FFocused = false;
    bool FPressed = false;
};
