// The tab control: tabs through messages, the display area's arithmetic (both ways, one line,
// several rows, buttons), selection by the user with notifications (refusals honoured) and by
// message without, keys, a line that scrolls, and pages that show above the control.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "platform/core/Wrapping.h"
#include "tests/platform/controls/CommonControlsTestSupport.h"

using namespace CommonControlsTest;

namespace {

constexpr UINT_PTR kTabsId = 500;
// The box dialog's pages.
const char* const kPages[] = {"Allgemeines", "Anwahl", "POP3", "SMTP", "NNTP", "MIME"};

class TabControl : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {50, 50, 530, 410}, 0, "Form"));
        Notes.Watch(Form);
        Tabs = Make(0, {8, 8, 472, 352});
    }
    void TearDown() override { Drain(); }

    HWND Make(DWORD Style, RECT R) {
        const HWND Made = CreateWindowEx(
            0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | Style, R.left,
            R.top, R.right - R.left, R.bottom - R.top, Form, kTabsId, 0, nullptr);
        EXPECT_NE(Made, 0u);
        return Made;
    }
    void AddPages(HWND Wnd, int Count = 6) {
        for (int I = 0; I < Count; ++I) {
            TCITEM Item;
            Item.mask = TCIF_TEXT | TCIF_PARAM;
            Item.pszText = const_cast<char*>(kPages[I % 6]);
            Item.lParam = 1000 + I;
            EXPECT_EQ(SendMessage(Wnd, TCM_INSERTITEM, static_cast<WPARAM>(I),
                                  reinterpret_cast<LPARAM>(&Item)),
                      I);
        }
    }
    RECT ItemRect(HWND Wnd, int Index) {
        RECT R{};
        EXPECT_TRUE(SendMessage(Wnd, TCM_GETITEMRECT, static_cast<WPARAM>(Index),
                                reinterpret_cast<LPARAM>(&R)));
        return R;
    }
    RECT Display(HWND Wnd) {
        RECT R;
        GetClientRect(Wnd, &R);
        SendMessage(Wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
        return R;
    }
    LRESULT Current(HWND Wnd) { return SendMessage(Wnd, TCM_GETCURSEL, 0, 0); }
    POINT Middle(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

    TWindowGuard Guard;
    TNotes Notes;
    HWND Form = 0;
    HWND Tabs = 0;
};

TEST_F(TabControl, TabsAnswerWhatWasSet) {
    EXPECT_EQ(Current(Tabs), -1);
    AddPages(Tabs);
    EXPECT_EQ(SendMessage(Tabs, TCM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(Current(Tabs), 0);  // the first tab came selected
    char Buffer[6] = {};
    TCITEM Get;
    Get.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
    Get.pszText = Buffer;
    Get.cchTextMax = sizeof Buffer;
    ASSERT_TRUE(SendMessage(Tabs, TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get)));
    EXPECT_STREQ(Buffer, "Allge");
    EXPECT_EQ(Get.lParam, 1000);
    EXPECT_EQ(Get.iImage, -1);
    TCITEM Set;
    Set.mask = TCIF_TEXT;
    Set.pszText = const_cast<char*>("Zeitserver");
    EXPECT_TRUE(SendMessage(Tabs, TCM_SETITEM, 5, reinterpret_cast<LPARAM>(&Set)));
    ASSERT_TRUE(SendMessage(Tabs, TCM_GETITEM, 5, reinterpret_cast<LPARAM>(&Get)));
    EXPECT_STREQ(Buffer, "Zeits");
    EXPECT_FALSE(SendMessage(Tabs, TCM_GETITEM, 6, reinterpret_cast<LPARAM>(&Get)));
    // Selection by message says nothing to the parent.
    Notes.List.clear();
    EXPECT_EQ(SendMessage(Tabs, TCM_SETCURSEL, 3, 0), 0);
    EXPECT_EQ(Current(Tabs), 3);
    EXPECT_EQ(SendMessage(Tabs, TCM_SETCURSEL, 9, 0), -1);
    EXPECT_EQ(Current(Tabs), 3);
    EXPECT_TRUE(Notes.List.empty());
    // Deleting before the selected tab keeps it selected; deleting it leaves none.
    EXPECT_TRUE(SendMessage(Tabs, TCM_DELETEITEM, 1, 0));
    EXPECT_EQ(Current(Tabs), 2);
    EXPECT_TRUE(SendMessage(Tabs, TCM_DELETEITEM, 2, 0));
    EXPECT_EQ(Current(Tabs), -1);
    EXPECT_FALSE(SendMessage(Tabs, TCM_DELETEITEM, 7, 0));
    EXPECT_TRUE(SendMessage(Tabs, TCM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessage(Tabs, TCM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(TabControl, TheDisplayAreaAndTheWindowRectangleConvertBothWays) {
    AddPages(Tabs);
    RECT Client;
    GetClientRect(Tabs, &Client);
    const RECT Area = Display(Tabs);
    const RECT First = ItemRect(Tabs, 0);
    EXPECT_EQ(SendMessage(Tabs, TCM_GETROWCOUNT, 0, 0), 1);
    // Inside the pane's edge, under the tabs.
    EXPECT_EQ(Area, (RECT{4, First.bottom + 4, Client.right - 4, Client.bottom - 4}));
    RECT Back = Area;
    SendMessage(Tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&Back));
    EXPECT_EQ(Back, Client);
    // Any rectangle, in the parent's coordinates too.
    RECT Window{8, 8, 472, 352};
    SendMessage(Tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Window));
    EXPECT_EQ(Window, (RECT{12, 8 + Area.top, 468, 348}));
    // Push buttons have no pane: the area starts under the buttons.
    const HWND Buttons = Make(TCS_BUTTONS, {8, 8, 472, 352});
    AddPages(Buttons, 2);
    const RECT ButtonArea = Display(Buttons);
    EXPECT_EQ(ButtonArea.left, 0);
    EXPECT_GT(ButtonArea.top, ItemRect(Buttons, 0).bottom);
    DestroyWindow(Buttons);
}

TEST_F(TabControl, SeveralRowsPutTheSelectedRowNextToThePane) {
    const HWND Rows = Make(TCS_MULTILINE, {8, 8, 208, 308});
    AddPages(Rows);
    const LRESULT Count = SendMessage(Rows, TCM_GETROWCOUNT, 0, 0);
    ASSERT_GT(Count, 1);
    const int Height = ItemRect(Rows, 0).bottom - ItemRect(Rows, 0).top;
    EXPECT_EQ(Display(Rows).top, 2 + Count * Height + 4);
    // The first tab's row is next to the pane while it is selected; another row's tab brings
    // its own row there.
    const LONG PaneTop = 2 + static_cast<LONG>(Count) * Height;
    EXPECT_EQ(ItemRect(Rows, 0).bottom, PaneTop);
    SendMessage(Rows, TCM_SETCURSEL, 5, 0);
    EXPECT_EQ(ItemRect(Rows, 5).bottom, PaneTop);
    EXPECT_LT(ItemRect(Rows, 0).bottom, PaneTop);
    // Full rows are stretched to the width.
    RECT Client;
    GetClientRect(Rows, &Client);
    int Last = 0;
    while (Last + 1 < 6 && ItemRect(Rows, Last + 1).top == ItemRect(Rows, 0).top) ++Last;
    EXPECT_EQ(ItemRect(Rows, Last).right, Client.right - 2);
    ShowWindow(Tabs, SW_HIDE);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("tabs-multiline")));
    DestroyWindow(Rows);
}

TEST_F(TabControl, TheUserSelectsWithNotificationsAndMayBeRefused) {
    AddPages(Tabs);
    Notes.List.clear();
    MouseClick(Form, ScreenOf(Tabs, Middle(ItemRect(Tabs, 2))));
    Drain();
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, NM_CLICK}));
    EXPECT_EQ(Current(Tabs), 2);
    EXPECT_EQ(GetFocus(), Tabs);
    // While the selected tab sits over its neighbours' edges, the hit test says it.
    TCHITTESTINFO Hit;
    Hit.pt = POINT{ItemRect(Tabs, 2).left - 1, ItemRect(Tabs, 2).top + 8};
    EXPECT_EQ(SendMessage(Tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)), 2);
    EXPECT_EQ(Hit.flags, TCHT_ONITEMLABEL);
    Hit.pt = POINT{200, 200};
    EXPECT_EQ(SendMessage(Tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)), -1);
    EXPECT_EQ(Hit.flags, TCHT_NOWHERE);
    // Refused: the old tab stays, and no TCN_SELCHANGE comes.
    Notes.Answer = [](const TNote& N, LPARAM) -> LRESULT { return N.Code == TCN_SELCHANGING; };
    Notes.List.clear();
    MouseClick(Form, ScreenOf(Tabs, Middle(ItemRect(Tabs, 4))));
    Drain();
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{TCN_SELCHANGING, NM_CLICK}));
    EXPECT_EQ(Current(Tabs), 2);
    Notes.Answer = nullptr;
    // Keys: a notice first, then the neighbour.
    Notes.List.clear();
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Right);
    Drain();
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(Current(Tabs), 3);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Home);
    Drain();
    EXPECT_EQ(Current(Tabs), 0);
    // TCM_SETCURFOCUS selects as the user does.
    Notes.List.clear();
    SendMessage(Tabs, TCM_SETCURFOCUS, 5, 0);
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(Current(Tabs), 5);
}

TEST_F(TabControl, TCS_FOCUSNEVERKeepsTheFocusWhereItIs) {
    const HWND Never = Make(TCS_FOCUSNEVER, {8, 8, 472, 100});
    AddPages(Never, 3);
    SetFocus(Form);
    MouseClick(Form, ScreenOf(Never, Middle(ItemRect(Never, 1))));
    Drain();
    EXPECT_EQ(Current(Never), 1);
    EXPECT_EQ(GetFocus(), Form);
    DestroyWindow(Never);
}

TEST_F(TabControl, ALineThatDoesNotFitScrolls) {
    const HWND Narrow = Make(0, {8, 8, 208, 108});
    AddPages(Narrow);
    RECT Client;
    GetClientRect(Narrow, &Client);
    EXPECT_GT(ItemRect(Narrow, 5).right, Client.right);
    const LONG Before = ItemRect(Narrow, 0).left;
    // The arrow pointing right, at the right end of the tab row.
    const RECT First = ItemRect(Narrow, 0);
    MouseClick(Form, ScreenOf(Narrow, POINT{Client.right - 8, (First.top + First.bottom) / 2}));
    Drain();
    EXPECT_LT(ItemRect(Narrow, 0).left, Before);
    // Selecting the last tab scrolls it into view.
    SendMessage(Narrow, TCM_SETCURSEL, 5, 0);
    EXPECT_LE(ItemRect(Narrow, 5).right, Client.right - 32);
    EXPECT_GE(ItemRect(Narrow, 5).left, 0);
    DestroyWindow(Narrow);
}

// A page: a window of ours that paints itself in a colour of its own.
LRESULT PageProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_ERASEBKGND) {
        RECT R;
        GetClientRect(Wnd, &R);
        const HBRUSH Brush = CreateSolidBrush(RGB(255, 255, 224));
        FillRect(reinterpret_cast<HDC>(WParam), &R, Brush);
        DeleteObject(Brush);
        return 1;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

TEST_F(TabControl, PagesAndTheirControlsShowAboveTheTabs) {
    static const bool Registered = [] {
        WNDCLASS Class;
        Class.lpfnWndProc = PageProc;
        Class.lpszClassName = "TestTabPage";
        return RegisterClass(&Class) != 0;
    }();
    ASSERT_TRUE(Registered);
    AddPages(Tabs);
    // The page is a child of the tab control in its display area, as the page control places its
    // sheets; on it an edit of its own.
    const RECT Area = Display(Tabs);
    const HWND Page =
        CreateWindowEx(0, "TestTabPage", "", WS_CHILD | WS_VISIBLE, Area.left, Area.top,
                       Area.right - Area.left, Area.bottom - Area.top, Tabs, 1, 0, nullptr);
    const HWND Field = CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", "pop.example.org",
                                      WS_CHILD | WS_VISIBLE, 120, 20, 180, 22, Page, 2, 0, nullptr);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("tabs-with-page")));
    EXPECT_EQ(PixelAt(Tabs, Area.left + 5, Area.top + 5), qRgb(255, 255, 224));
    EXPECT_EQ(PixelAt(Tabs, Area.right - 5, Area.bottom - 5), qRgb(255, 255, 224));
    // The pane's edge around it is the control's.
    EXPECT_EQ(PixelAt(Tabs, 0, Area.top + 20), ColorOf(GetSysColor(COLOR_3DHIGHLIGHT)));
    RECT Client;
    GetClientRect(Tabs, &Client);
    EXPECT_EQ(PixelAt(Tabs, Client.right - 1, Area.top + 20),
              ColorOf(GetSysColor(COLOR_3DDKSHADOW)));
    auto* Line = qobject_cast<QLineEdit*>(AttachedWidget(Field));
    ASSERT_NE(Line, nullptr);
    EXPECT_TRUE(Line->isVisible());
    POINT Corner{120, 20};
    MapWindowPoints(Page, Tabs, &Corner, 1);
    EXPECT_EQ(PixelAt(Tabs, Corner.x + 170, Corner.y + 11), ColorOf(GetSysColor(COLOR_WINDOW)));
    // Clicks on the page's edit reach the edit, not the tabs.
    Notes.List.clear();
    MouseClick(Form, ScreenOf(Field, POINT{10, 10}));
    Drain();
    EXPECT_EQ(GetFocus(), Field);
    EXPECT_TRUE(Notes.Only(TCN_SELCHANGING).empty());
}

}  // namespace
