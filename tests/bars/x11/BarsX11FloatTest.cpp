// The toolbar floats, moves and docks on a real X server: xdotool drags it by its grip off its
// row, by its caption over the top dock (where it docks after resting there) and, with Ctrl
// held, over the dock without docking; a menu is torn off, brought back and torn off again. Each
// drag is given step by step as the program takes it (XdoDrag), so the press, the moves, the rest
// and the release reach the drag loop while it runs. Run by run-x11.sh under xvfb-run.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/gdi/RectMath.h"
#include "tests/bars/MenuTestSupport.h"
#include "tests/bars/TornMenu.h"
#include "tests/support/XdoTool.h"

using namespace BarTest;
using namespace GuiTest;

namespace {

class BarsX11Float : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        Form.Bars.Form()->SetBounds(20, 20, 640, 360);
        Drain();
        ASSERT_TRUE(WaitExposed(Form.FormWindow()));
        Xdo({"windowfocus", "--sync", XId(Form.FormWindow())});
        Drain();
    }
    TdxBar* Toolbar() const { return Form.Toolbar(); }
    // The middle of the floating bar's caption where neither the close button nor the mark
    // lies (the mark sits at the caption's left end or beside the close button).
    POINT Caption() const {
        const RECT R = Bounds();
        const TdxBarControl* W = Toolbar()->Control();
        TRect Free = W->FloatingCaptionRect();
        if (W->HasCloseButton()) Free.Right = W->CloseButtonRect().Left;
        if (const TRect Mark = W->FloatingMarkRect(); !IsRectEmpty(Mark)) {
            if (Mark.Left <= Free.Left)
                Free.Left = Mark.Right;
            else
                Free.Right = Mark.Left;
        }
        return POINT{R.left + (Free.Left + Free.Right) / 2, R.top + (Free.Top + Free.Bottom) / 2};
    }
    RECT Bounds() const {
        RECT R;
        GetWindowRect(Toolbar()->Control()->Handle(), &R);
        return R;
    }
    // Presses at From, moves through the points (resting RestMs at the last, and until Rested
    // holds when given) and releases there, step by step as the program takes them.
    void Drag(POINT From, std::vector<POINT> Path, int RestMs, bool Ctrl = false,
              std::function<bool()> Rested = {}) {
        TXdoDrag Steps;
        Steps.From = From;
        Steps.Path = std::move(Path);
        Steps.RestMs = RestMs;
        Steps.Ctrl = Ctrl;
        Steps.Rested = std::move(Rested);
        EXPECT_TRUE(XdoDrag(Steps, [&] { return !Form.Manager()->Bars()->Dragging(); }));
        Drain();
    }
    TMenuForm Form;
};

TEST_F(BarsX11Float, TheToolbarFloatsOffItsRowAndDocksBackAfterARestOverTheDock) {
    const int Row = Toolbar()->Row();
    RECT R = Bounds();
    const POINT Grip{R.left + 4, (R.top + R.bottom) / 2};
    const POINT Away = ScreenOf(Form.FormWindow(), POINT{300, 200});
    Drag(Grip, {POINT{Grip.x + 30, Grip.y + 60}, Away}, 100);
    ASSERT_TRUE(Toolbar()->Control()->IsFloating());
    ASSERT_TRUE(PumpUntil([&] {
        QWindow* W = QtWindowOf(Toolbar()->Control()->Handle());
        return W && W->isExposed();
    }));
    R = Bounds();
    EXPECT_LT(std::abs(R.left + 4 - Away.x), 30);
    SaveScenePicture({Form.FormWindow(), Toolbar()->Control()->Handle()}, "x11-floating-toolbar");
    // Held over the dock with Ctrl it moves there and stays floating.
    const POINT OverDock{Grip.x + 60, Grip.y};
    const POINT From = Caption();
    Drag(From, {POINT{From.x, From.y - 60}, OverDock}, 300, true);
    EXPECT_TRUE(Toolbar()->Control()->IsFloating());
    EXPECT_LT(std::abs(Bounds().top - R.top), std::abs(R.top - OverDock.y) + 40);
    EXPECT_NE(Bounds().top, R.top);
    // Without Ctrl it docks once it rested there, back in its row.
    const POINT From2 = Caption();
    Drag(From2, {POINT{From2.x, From2.y + 20}, OverDock}, 300, false,
         [&] { return !Toolbar()->Control()->IsFloating(); });
    EXPECT_FALSE(Toolbar()->Control()->IsFloating());
    EXPECT_EQ(Toolbar()->DockingStyle(), dsTop);
    EXPECT_EQ(Toolbar()->Row(), Row);
}

TEST_F(BarsX11Float, AMenuTornOffAndBroughtBackOpensAgainAndTornOffAgainFloats) {
    TTornOnline Online(Form);
    auto OpenOnline = [&] {
        Xdo({"mousemove", Num(Form.ScreenPoint(Form.Menu(), 2).x),
             Num(Form.ScreenPoint(Form.Menu(), 2).y), "click", "1"});
        TdxBarSubMenuControl* Menu = nullptr;
        EXPECT_TRUE(PumpUntil([&] {
            Menu = Form.OpenMenu(2);
            return Menu && QtWindowOf(Menu->Handle()) && QtWindowOf(Menu->Handle())->isExposed();
        }));
        return Menu;
    };
    TdxBarSubMenuControl* Menu = OpenOnline();
    ASSERT_NE(Menu, nullptr);
    const POINT OnBar = TTornOnline::DetachBarPoint(Menu);
    const POINT Away = ScreenOf(Form.FormWindow(), POINT{300, 220});
    Drag(POINT{OnBar.x, OnBar.y}, {Away, OnBar}, 200);
    EXPECT_EQ(Online.Detaching, 1);
    EXPECT_FALSE(Online.Torn->Visible());
    EXPECT_NE(Form.OpenMenu(2), nullptr);
    Menu = Form.OpenMenu(2);
    ASSERT_NE(Menu, nullptr);
    Drag(POINT{OnBar.x, OnBar.y}, {POINT{OnBar.x, OnBar.y + 40}, Away}, 200);
    EXPECT_EQ(Online.Detaching, 2);
    EXPECT_TRUE(PumpUntil([&] { return ActiveBarControl() == nullptr; }));
    ASSERT_TRUE(Online.Floating());
    RECT R;
    GetWindowRect(Online.Torn->Control()->Handle(), &R);
    EXPECT_LT(std::abs(R.left - Away.x), 40);
    EXPECT_LT(std::abs(R.top - Away.y), 40);
    SaveScenePicture({Form.FormWindow(), Online.Torn->Control()->Handle()}, "x11-menu-torn-off");
}

// The close button of a floating toolbar held down with the real mouse while a modal form opens,
// the button let go (over the close button) while the form shows: the bar stays, and the next
// whole click on the button closes it.
TEST_F(BarsX11Float, ACloseButtonPressThatAModalFormInterruptsClosesNothing) {
    int Closed = 0;
    Form.Manager()->OnBarClose = [&](TdxBarManager*, TdxBar*) { ++Closed; };
    Toolbar()->FloatLeft = 200;
    Toolbar()->FloatTop = 250;
    Toolbar()->FloatClientWidth = 80;
    Toolbar()->SetDockingStyle(dsNone);
    ASSERT_TRUE(WaitExposed(Toolbar()->Control()->Handle()));
    const HWND Bar = Toolbar()->Control()->Handle();
    const TRect C = Toolbar()->Control()->CloseButtonRect();
    const POINT Close{Bounds().left + (C.Left + C.Right) / 2,
                      Bounds().top + (C.Top + C.Bottom) / 2};
    auto* Modal = new TForm(nullptr);
    Modal->SetBounds(520, 60, 160, 100);
    std::unique_ptr<QProcess> Process;
    auto Idle = [&] { return !Process || Process->state() == QProcess::NotRunning; };
    TScript Script;
    Script.Then([&] {
        Process = StartXdo({"mousemove", Num(Close.x), Num(Close.y), "mousedown", "1"});
    });
    Script.ThenWhen([&] { return Idle() && GetCapture() == Bar; }, [&] { Modal->ShowModal(); });
    Script.ThenWhen([&] { return Modal->HandleAllocated() && IsExposed(Modal->Handle()); },
                    [&] {
                        Process = StartXdo({"mouseup", "1"});
                    });
    // The button as the server has it: its release over the disabled bar makes no message.
    Script.ThenWhen([&] { return Idle() && GetAsyncKeyState(VK_LBUTTON) >= 0; },
                    [&] { Modal->SetModalResult(mrOk); });
    Script.Start();
    ASSERT_TRUE(PumpUntil([&] { return Script.Done() && Idle() && GetCapture() == 0; }, 60000));
    Drain();
    Modal->Free();
    Drain();
    EXPECT_TRUE(Toolbar()->Visible());
    EXPECT_EQ(Closed, 0);
    // A click on the form between: a press on the button so soon after the one the form took
    // would be the second half of a double click.
    const POINT OnForm = ScreenOf(Form.FormWindow(), POINT{300, 120});
    Xdo({"mousemove", Num(OnForm.x), Num(OnForm.y), "click", "1"});
    Drain();
    Drag(Close, {}, 0);
    EXPECT_TRUE(PumpUntil([&] { return !Toolbar()->Visible(); }));
    EXPECT_EQ(Closed, 1);
}

}  // namespace
