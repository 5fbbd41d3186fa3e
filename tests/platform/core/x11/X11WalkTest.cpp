// The input walk on a real X server: xdotool moves the pointer, presses buttons and asks the
// server where windows are and which has the focus. Run by run-x11.sh under xvfb-run (no window
// manager), on Qt's xcb platform.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>

#include "tests/support/GuiTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace GuiTest;

namespace {

// Shows the window and waits until the X server has mapped and exposed it.
void ShowAndWait(HWND Wnd, int Cmd = SW_SHOWNA) {
    ShowWindow(Wnd, Cmd);
    ASSERT_TRUE(WaitExposed(Wnd));
}

class X11Walk : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        Drain();
        Windows().Log.clear();
    }
    void TearDown() override {
        ReleaseCapture();
        Drain();
    }
    TWindowGuard Guard;
};

TEST_F(X11Walk, AClickOnAChildGivesMoveDownAndUpInClientCoordinates) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_BORDER, {100, 100, 400, 300}));
    const HWND Child = Windows().Create(0, WS_CHILD | WS_VISIBLE, {20, 30, 120, 90}, Form);
    ShowAndWait(Form, SW_SHOW);
    const POINT At = ScreenOf(Child, POINT{10, 12});
    Windows().Log.clear();
    Xdo({"mousemove", Num(At.x), Num(At.y), "click", "1"});
    ASSERT_TRUE(PumpUntil([&] { return !Windows().Of(Child, {WM_LBUTTONUP}).empty(); }));
    const auto Got = Windows().Of(Child, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    ASSERT_GE(Got.size(), 3u);
    const auto& Last = Got.back();
    const auto& Down = Got[Got.size() - 2];
    const auto& Move = Got[Got.size() - 3];
    EXPECT_EQ(Move.Msg, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(Move.LParam, MAKELPARAM(10, 12));
    EXPECT_EQ(Down.Msg, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(Down.LParam, MAKELPARAM(10, 12));
    EXPECT_EQ(Down.WParam, MK_LBUTTON);
    EXPECT_EQ(Last.Msg, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(Last.LParam, MAKELPARAM(10, 12));

    // A double click, by the X server's own clock (a click on the form first: the click above
    // would make the first press of it a double click).
    Xdo({"mousemove", Num(At.x + 150), Num(At.y), "click", "1", "mousemove", Num(At.x), Num(At.y)});
    Windows().Log.clear();
    Xdo({"click", "--repeat", "2", "--delay", "60", "1"});
    ASSERT_TRUE(PumpUntil([&] { return Windows().Of(Child, {WM_LBUTTONUP}).size() >= 2; }));
    EXPECT_EQ(Windows().MessagesOf(Child, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

    // Captured, the child gets the moves over the desktop too.
    SetCapture(Child);
    Windows().Log.clear();
    Xdo({"mousemove", "700", "600"});
    ASSERT_TRUE(PumpUntil([&] { return !Windows().Of(Child, {WM_MOUSEMOVE}).empty(); }));
    const POINT Origin = ScreenOf(Child, POINT{0, 0});
    const auto Outside = Windows().Of(Child, {WM_MOUSEMOVE}).back();
    EXPECT_EQ(GET_X_LPARAM(Outside.LParam), 700 - Origin.x);
    EXPECT_EQ(GET_Y_LPARAM(Outside.LParam), 600 - Origin.y);
    ReleaseCapture();
}

TEST_F(X11Walk, APopupLandsExactlyWhereAskedAndNeverTakesTheFocus) {
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {50, 50, 450, 350}));
    ShowAndWait(Form, SW_SHOW);
    Xdo({"windowfocus", "--sync", XId(Form)});
    const std::string FocusBefore = Xdo({"getwindowfocus"});
    const HWND Popup = Guard(Windows().Create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                                              WS_POPUP | WS_BORDER, {317, 263, 417, 363}, Form));
    ShowAndWait(Popup);
    const std::string Geometry = Xdo({"getwindowgeometry", XId(Popup)});
    EXPECT_NE(Geometry.find("Position: 317,263"), std::string::npos) << Geometry;
    EXPECT_NE(Geometry.find("Geometry: 100x100"), std::string::npos) << Geometry;
    // Clicked, it gets the click and leaves the focus where it was.
    Windows().Log.clear();
    Xdo({"mousemove", "350", "300", "click", "1"});
    ASSERT_TRUE(PumpUntil([&] { return !Windows().Of(Popup, {WM_LBUTTONUP}).empty(); }));
    EXPECT_EQ(Xdo({"getwindowfocus"}), FocusBefore);
    EXPECT_EQ(GetActiveWindow(), Form);
    // Moved, it lands where asked again.
    SetWindowPos(Popup, 0, 1, 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] {
        return Xdo({"getwindowgeometry", XId(Popup)}).find("Position: 1,1") != std::string::npos;
    }));
}

TEST_F(X11Walk, ACustomFramedWindowMovesByItsCaptionAndSizesByItsEdge) {
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 400, 300}));
    ShowAndWait(Form, SW_SHOW);
    const int Frame = GetSystemMetrics(SM_CXFRAME);
    // Moved by the caption: press, move, release from the real pointer; our loop follows.
    Xdo({"mousemove", "160", Num(100 + Frame + 5), "mousedown", "1", "mousemove", "210",
         Num(140 + Frame + 5), "mouseup", "1"});
    RECT R;
    ASSERT_TRUE(PumpUntil([&] {
        GetWindowRect(Form, &R);
        return R.left == 150 && R.top == 140 && GetCapture() == 0;
    })) << R.left
        << "," << R.top;
    EXPECT_EQ(R.right - R.left, 300);
    ASSERT_TRUE(PumpUntil([&] {
        return Xdo({"getwindowgeometry", XId(Form)}).find("Position: 150,140") != std::string::npos;
    }));
    // Sized by the right edge.
    Windows().Log.clear();
    Xdo({"mousemove", Num(R.right - 1), "240", "mousedown", "1", "mousemove", Num(R.right + 49),
         "245", "mouseup", "1"});
    ASSERT_TRUE(PumpUntil([&] {
        GetWindowRect(Form, &R);
        return R.right - R.left == 350 && GetCapture() == 0;
    })) << R.right - R.left
        << [] {
               std::string Out;
               for (const TRecorded& M : Windows().Log)
                   Out += " " + std::to_string(M.Msg) + ":" + std::to_string(M.WParam) + ":" +
                          std::to_string(GET_X_LPARAM(M.LParam)) + "," +
                          std::to_string(GET_Y_LPARAM(M.LParam));
               return Out;
           }();
    EXPECT_EQ(R.bottom - R.top, 200);
    ASSERT_TRUE(PumpUntil([&] {
        return Xdo({"getwindowgeometry", XId(Form)}).find("Geometry: 350x200") != std::string::npos;
    }));
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("x11-moved-and-sized")));
}

}  // namespace
