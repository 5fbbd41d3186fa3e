// Tracking popup menus with real Qt input: the mouse through the menu windows' hosts, keys
// through the owner's, scheduled to arrive while TrackPopupMenu runs its loop.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include "platform/core/Screens.h"
#include "platform/menus/MenuImpl.h"
#include "platform/menus/Menus.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

// The open menu windows, the first menu first.
std::vector<HWND> MenuWindows() {
    std::vector<HWND> Out;
    EnumWindows(
        [&](HWND Wnd, LPARAM) {
            if (GetClassName(Wnd) == kMenuClassName && IsWindowVisible(Wnd))
                Out.insert(Out.begin(), Wnd);
            return TRUE;
        },
        0);
    return Out;
}

// The open menu window number Index once its host is on the screen and takes input (a nested
// pass of the loop until then).
HWND Shown(size_t Index) {
    PumpUntil(
        [&] {
            const std::vector<HWND> W = MenuWindows();
            return W.size() > Index && QtWindowOf(W[Index]) && QtWindowOf(W[Index])->isExposed();
        },
        5000);
    const std::vector<HWND> W = MenuWindows();
    return W.size() > Index ? W[Index] : 0;
}

// The middle of an item of an open menu, on the screen.
POINT ItemPoint(HWND MenuWnd, HMENU Menu, int Index) {
    const MenuImpl::TLayout L = MenuImpl::LayoutOf(*MenuImpl::Find(Menu));
    const RECT R = L.Items[size_t(Index)];
    return ScreenOf(MenuWnd, POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
}

class TrackMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        Owner = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {50, 50, 450, 350}));
        ShowWindow(Owner, SW_SHOW);
        Drain();
        Windows().Recorded = {WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP,
                              WM_COMMAND};
        Windows().Log.clear();
        Sub = CreatePopupMenu();
        AppendMenu(Sub, MF_STRING, 21, "&Inner");
        AppendMenu(Sub, MF_STRING, 22, "Inner &two");
        Menu = CreatePopupMenu();
        AppendMenu(Menu, MF_STRING, 1, "&Open\tCtrl+O");
        AppendMenu(Menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(Menu, MF_STRING | MF_GRAYED, 2, "&Save");
        AppendMenu(Menu, MF_POPUP, UINT_PTR(Sub), "&More");
        AppendMenu(Menu, MF_STRING, 3, "E&xit");
    }
    void TearDown() override {
        DestroyMenu(Menu);
        Drain();
    }

    // Tracks the menu at At while the steps run one after the other inside its loop.
    BOOL Track(UINT Flags, POINT At, std::vector<std::function<void()>> Steps) {
        TSteps Script(std::move(Steps));
        Script.Start();
        const BOOL Result = TrackPopupMenu(Menu, Flags, At.x, At.y, 0, Owner, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return Script.Done(); }, 5000));
        Drain();
        return Result;
    }
    void Key(Qt::Key K) { QTest::keyClick(QtWindowOf(Owner), K); }
    std::vector<TRecorded> Commands() { return Windows().Of(Owner, {WM_COMMAND}); }

    TWindowGuard Guard;
    HWND Owner = 0;
    HMENU Menu = 0, Sub = 0;
};

TEST_F(TrackMenu, TheMouseHighlightsAndAClickChoosesWithoutTakingTheFocus) {
    SetFocus(Owner);
    std::vector<HWND> Seen;
    const BOOL Result = Track(TPM_LEFTALIGN, {100, 100},
                              {
                                  [&] {
                                      Seen = MenuWindows();
                                      MouseMove(Seen[0], ItemPoint(Seen[0], Menu, 0));
                                  },
                                  [&] { MouseClick(Seen[0], ItemPoint(Seen[0], Menu, 4)); },
                              });
    EXPECT_EQ(Result, TRUE);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_FALSE(IsWindow(Seen[0]));
    EXPECT_EQ(GetActiveWindow(), Owner);
    EXPECT_EQ(GetFocus(), Owner);
    const auto Log = Windows().Of(Owner);
    ASSERT_GE(Log.size(), 6u);
    EXPECT_EQ(Log[0].Msg, WM_ENTERMENULOOP);
    EXPECT_EQ(Log[1].Msg, WM_INITMENUPOPUP);
    EXPECT_EQ(HMENU(Log[1].WParam), Menu);
    EXPECT_EQ(Log[2].Msg, WM_MENUSELECT);
    EXPECT_EQ(Log[2].WParam, MAKEWPARAM(1, MF_HILITE));
    EXPECT_EQ(HMENU(Log[2].LParam), Menu);
    EXPECT_EQ(Log[3].WParam, MAKEWPARAM(3, MF_HILITE));
    EXPECT_EQ(Log[Log.size() - 3].WParam, MAKEWPARAM(0, 0xFFFF));
    EXPECT_EQ(Log[Log.size() - 2].Msg, WM_EXITMENULOOP);
    // The command comes afterwards, posted.
    EXPECT_EQ(Log.back().Msg, WM_COMMAND);
    EXPECT_EQ(Log.back().WParam, 3u);
}

TEST_F(TrackMenu, ReturnCmdGivesTheIdInsteadOfACommandAndCancellingGivesZero) {
    std::vector<HWND> W;
    EXPECT_EQ(Track(TPM_RETURNCMD, {100, 100},
                    {[&] { W = {Shown(0)}; }, [&] { MouseClick(W[0], ItemPoint(W[0], Menu, 0)); }}),
              1);
    // A disabled item and a separator choose nothing: the menu stays open until Esc.
    EXPECT_EQ(Track(TPM_RETURNCMD, {100, 100},
                    {[&] { W = {Shown(0)}; }, [&] { MouseClick(W[0], ItemPoint(W[0], Menu, 2)); },
                     [&] { MouseClick(W[0], ItemPoint(W[0], Menu, 1)); },
                     [&] { EXPECT_EQ(MenuWindows().size(), 1u); }, [&] { Key(Qt::Key_Escape); }}),
              0);
    // A click outside the menu closes it.
    EXPECT_EQ(Track(TPM_RETURNCMD, {100, 100}, {[&] { MouseClick(Owner, POINT{400, 300}); }}), 0);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(TrackMenu, KeysMoveChooseAndFollowMnemonics) {
    auto Keys = [&](std::vector<Qt::Key> List) {
        std::vector<std::function<void()>> Steps;
        for (Qt::Key K : List) Steps.push_back([this, K] { Key(K); });
        return Track(TPM_RETURNCMD, {100, 100}, Steps);
    };
    // Down past the separator onto the disabled item (Enter does nothing there), then on.
    EXPECT_EQ(Keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return, Qt::Key_Down, Qt::Key_Down,
                    Qt::Key_Return}),
              3);
    // Up from nothing starts at the bottom; round the end to the top.
    EXPECT_EQ(Keys({Qt::Key_Up, Qt::Key_Down, Qt::Key_Return}), 1);
    EXPECT_EQ(Keys({Qt::Key_X}), 3);
    // Right opens the submenu on its first item; Left closes it again.
    EXPECT_EQ(Keys({Qt::Key_Up, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}), 22);
    EXPECT_EQ(Keys({Qt::Key_M, Qt::Key_I}), 21);
    EXPECT_EQ(Keys({Qt::Key_M, Qt::Key_Left, Qt::Key_Escape}), 0);
    // The submenu was prepared with its position in the menu.
    const auto Init = Windows().Of(Owner, {WM_INITMENUPOPUP});
    ASSERT_FALSE(Init.empty());
    EXPECT_EQ(HMENU(Init.back().WParam), Sub);
    EXPECT_EQ(Init.back().LParam, MAKELPARAM(3, 0));
}

TEST_F(TrackMenu, HoveringASubmenuItemOpensItBesideTheItem) {
    std::vector<HWND> W;
    RECT Parent{}, Child{};
    POINT Item{};
    EXPECT_EQ(Track(TPM_RETURNCMD, {100, 100},
                    {[&] { W = {Shown(0)}; }, [&] { MouseMove(W[0], ItemPoint(W[0], Menu, 3)); },
                     [&] {
                         W = {Shown(0), Shown(1)};
                         ASSERT_NE(W[1], 0u);
                         GetWindowRect(W[0], &Parent);
                         GetWindowRect(W[1], &Child);
                         Item = ItemPoint(W[0], Menu, 3);
                         MouseMove(W[1], ItemPoint(W[1], Sub, 1));
                     },
                     [&] { MouseClick(W[1], ItemPoint(W[1], Sub, 1)); }}),
              22);
    EXPECT_EQ(Child.left, Parent.right - 3);
    EXPECT_LT(Child.top, Item.y);
    EXPECT_GT(Child.top, Item.y - 20);
}

class TWorkArea : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {{{0, 0, 800, 600}, {0, 0, 800, 560}, true}};
    }
};

TEST_F(TrackMenu, AlignmentFlagsAndTheWorkAreaPlaceTheMenu) {
    SetScreenSource(std::make_shared<TWorkArea>());
    struct TCase {
        UINT Flags;
        POINT At;
        const char* Edges;  // which of the menu's edges lie on At: "lt", "rb", ...
    };
    const TCase Cases[] = {
        {TPM_LEFTALIGN | TPM_TOPALIGN, {100, 100}, "lt"},
        {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, {400, 300}, "rb"},
        // No room right of and below the point on the work area: it hangs left and up of it.
        {TPM_LEFTALIGN | TPM_TOPALIGN, {790, 550}, "rb"},
    };
    for (const TCase& C : Cases) {
        RECT R{};
        Track(C.Flags, C.At, {[&] { GetWindowRect(Shown(0), &R); }, [&] { Key(Qt::Key_Escape); }});
        const std::string E = C.Edges;
        EXPECT_EQ(E[0] == 'l' ? R.left : R.right, C.At.x) << E;
        EXPECT_EQ(E[1] == 't' ? R.top : R.bottom, C.At.y) << E;
        EXPECT_LE(R.bottom, 560);
    }
    SetScreenSource(nullptr);
}

TEST_F(TrackMenu, PictureOfAMenuWithItsSubmenuOpen) {
    SetMenuDefaultItem(Menu, 1, FALSE);
    CheckMenuItem(Menu, 3, MF_CHECKED);
    CheckMenuItem(Sub, 21, MF_CHECKED);
    QImage Shot;
    QRgb Highlight = 0;
    Track(TPM_RETURNCMD, {20, 20},
          {[&] {
               const HWND W = Shown(0);
               MouseMove(W, ItemPoint(W, Menu, 3));
           },
           [&] {
               const HWND W = Shown(1);
               ASSERT_NE(W, 0u);
               MouseMove(W, ItemPoint(W, Sub, 1));
           },
           [&] {
               const std::vector<HWND> W = MenuWindows();
               RECT A, B;
               GetWindowRect(W[0], &A);
               GetWindowRect(W[1], &B);
               Shot = QImage(B.right + 20, std::max(A.bottom, B.bottom) + 20, QImage::Format_RGB32);
               Shot.fill(qRgb(0, 128, 128));
               QPainter P(&Shot);
               P.drawImage(A.left, A.top, WindowPicture(W[0]));
               P.drawImage(B.left, B.top, WindowPicture(W[1]));
               const POINT Hot = ItemPoint(W[1], Sub, 1);
               Highlight = Shot.pixel(B.left + 6, Hot.y) | 0xFF000000u;
           },
           [&] { Key(Qt::Key_Escape); }, [&] { Key(Qt::Key_Escape); }});
    ASSERT_FALSE(Shot.isNull());
    QDir().mkpath(QStringLiteral(KESTRO_BINARY_DIR "/pictures/menus"));
    EXPECT_TRUE(Shot.save(QStringLiteral(KESTRO_BINARY_DIR "/pictures/menus/popup-menu.png")));
    EXPECT_EQ(Highlight, GuiTest::ColorOf(GetSysColor(COLOR_HIGHLIGHT)));
}

}  // namespace
