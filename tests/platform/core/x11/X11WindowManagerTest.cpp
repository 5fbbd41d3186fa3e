// Windows under a window manager: openbox moves, sizes and maximizes our hosts from outside, and
// the windows follow as if the user had done it through their own frame. Run by run-x11-wm.sh
// under xvfb-run, on Qt's xcb platform.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "tests/support/GuiTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace GuiTest;

namespace {

void ShowAndWait(HWND Wnd) {
    ShowWindow(Wnd, SW_SHOW);
    ASSERT_TRUE(WaitExposed(Wnd));
}

// What the X server shows at a screen point (the real pixels, not our surface).
QRgb ScreenPixel(int X, int Y) {
    const QImage Shot = QGuiApplication::primaryScreen()->grabWindow(0, X, Y, 1, 1).toImage();
    return Shot.isNull() ? 0 : (Shot.pixel(0, 0) | 0xFF000000u);
}

std::string Geometry(HWND Wnd) {
    return Xdo({"getwindowgeometry", XId(Wnd)});
}

bool XServerSays(HWND Wnd, const std::string& Text) {
    return Geometry(Wnd).find(Text) != std::string::npos;
}

std::string Prop(HWND Wnd, const QString& Name) {
    auto Process = std::make_unique<QProcess>();
    Process->start(QStringLiteral("xprop"), {"-id", XId(Wnd), Name});
    EXPECT_TRUE(PumpUntil([&] { return Process->state() == QProcess::NotRunning; }, 20000));
    return Process->readAllStandardOutput().toStdString();
}

RECT RectOf(HWND Wnd) {
    RECT R;
    GetWindowRect(Wnd, &R);
    return R;
}

class X11WindowManager : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        Drain();
        Windows().Log.clear();
    }
    void TearDown() override { Drain(); }
    TWindowGuard Guard;
};

TEST_F(X11WindowManager, AResizeFromOutsideIsDeliveredLimitedAndPaintedWhole) {
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 400, 300}));
    Windows().Handlers[Form] = [](HWND, UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
        if (Msg != WM_GETMINMAXINFO) return std::nullopt;
        reinterpret_cast<MINMAXINFO*>(LParam)->ptMinTrackSize = POINT{240, 180};
        reinterpret_cast<MINMAXINFO*>(LParam)->ptMaxTrackSize = POINT{560, 420};
        return 0;
    };
    ShowAndWait(Form);
    Windows().Log.clear();
    Xdo({"windowsize", XId(Form), "500", "400"});
    ASSERT_TRUE(PumpUntil([&] { return RectOf(Form).right - RectOf(Form).left == 500; }));
    EXPECT_EQ(RectOf(Form).bottom - RectOf(Form).top, 400);
    // As Windows delivers it: asked first, then told, with the client's new size.
    const std::vector<UINT> Seen =
        Windows().MessagesOf(Form, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE});
    ASSERT_GE(Seen.size(), 3u);
    EXPECT_EQ(Seen[0], static_cast<UINT>(WM_WINDOWPOSCHANGING));
    EXPECT_EQ(Seen[1], static_cast<UINT>(WM_WINDOWPOSCHANGED));
    EXPECT_EQ(Seen[2], static_cast<UINT>(WM_SIZE));
    RECT Client;
    GetClientRect(Form, &Client);
    EXPECT_EQ(Windows().Of(Form, {WM_SIZE}).back().LParam, MAKELPARAM(Client.right, Client.bottom));
    // The whole new area is painted, up to the far corner of the client.
    const POINT Corner = ScreenOf(Form, POINT{Client.right - 3, Client.bottom - 3});
    const QRgb Face = ColorOf(GetSysColor(COLOR_BTNFACE));
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(Corner.x, Corner.y) == Face; }))
        << std::hex << ScreenPixel(Corner.x, Corner.y);
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("x11-wm-sized")));

    // Larger than the window allows: the window keeps to its limit, and so does the X window.
    Xdo({"windowsize", XId(Form), "700", "600"});
    ASSERT_TRUE(PumpUntil([&] { return XServerSays(Form, "Geometry: 560x420"); }))
        << Geometry(Form);
    EXPECT_EQ(RectOf(Form).right - RectOf(Form).left, 560);
    EXPECT_EQ(RectOf(Form).bottom - RectOf(Form).top, 420);

    // Smaller than the window allows: it keeps to its minimum, and so does the X window.
    Xdo({"windowsize", XId(Form), "100", "60"});
    ASSERT_TRUE(PumpUntil([&] { return XServerSays(Form, "Geometry: 240x180"); }))
        << Geometry(Form);
    EXPECT_EQ(RectOf(Form).right - RectOf(Form).left, 240);
    EXPECT_EQ(RectOf(Form).bottom - RectOf(Form).top, 180);
}

// What the window manager says the window is, as it says it: a ConfigureNotify sent to the
// window (ICCCM has a window manager send one when it places a window).
void WindowManagerSays(HWND Wnd, QRect Geometry) {
    auto* X11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(X11, nullptr);
    xcb_configure_notify_event_t Event{};
    Event.response_type = XCB_CONFIGURE_NOTIFY;
    Event.event = Event.window = xcb_window_t(QtWindowOf(Wnd)->winId());
    Event.x = int16_t(Geometry.x());
    Event.y = int16_t(Geometry.y());
    Event.width = uint16_t(Geometry.width());
    Event.height = uint16_t(Geometry.height());
    xcb_send_event(X11->connection(), false, Event.window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&Event));
    xcb_flush(X11->connection());
}

// A window sized again as soon as it shows (a placement restored): the window manager's word on
// the size it showed with, which may come after that on a busy machine, is no resize from outside.
// Whether Qt hears the word before the window is mapped is a matter of timing: twenty windows.
TEST_F(X11WindowManager, ALateWordOnTheSizeAWindowShowedWithChangesNothing) {
    for (int Round = 0; Round < 20; ++Round) {
        SCOPED_TRACE(Round);
        TWindowGuard Made;
        const HWND Form = Made(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 400, 260}));
        ShowWindow(Form, SW_SHOW);
        SetWindowPos(Form, 0, 0, 0, 300, 360, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        WindowManagerSays(Form, QRect(100, 100, 300, 160));
        ASSERT_TRUE(WaitExposed(Form));
        ASSERT_TRUE(PumpUntil([&] { return XServerSays(Form, "Geometry: 300x360"); }))
            << Geometry(Form);
        Drain();
        ASSERT_EQ(RectOf(Form).bottom - RectOf(Form).top, 360);
        ASSERT_TRUE(XServerSays(Form, "Geometry: 300x360")) << Geometry(Form);
    }
}

// A window manager that maps a window again (a floating toolbar shown after a modal window) may
// tell of the place of its new frame before it has moved the frame where the window asked to be.
// Its last word, the place asked for, is where the window is: clicks there reach it. The server is
// held while the window asks and the passing word is taken, so that the window manager's answer
// comes after it, as it does when it maps a window.
TEST_F(X11WindowManager, APassingWordOnTheWindowsPlaceIsTakenBackByItsLastWord) {
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 400, 300}));
    ShowAndWait(Form);
    Drain();
    auto* X11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(X11, nullptr);
    xcb_grab_server(X11->connection());
    SetWindowPos(Form, 0, 200, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WindowManagerSays(Form, QRect(0, 0, 300, 200));
    const bool Passed = PumpUntil([&] { return RectOf(Form).left == 0; }, 5000);
    xcb_ungrab_server(X11->connection());
    xcb_flush(X11->connection());
    ASSERT_TRUE(Passed);
    ASSERT_TRUE(PumpUntil([&] { return XServerSays(Form, "Position: 200,250"); }))
        << Geometry(Form);
    EXPECT_TRUE(PumpUntil([&] { return RectOf(Form).left == 200 && RectOf(Form).top == 250; }))
        << RectOf(Form).left << "," << RectOf(Form).top;
    Drain();
    EXPECT_EQ(RectOf(Form).left, 200);
    EXPECT_EQ(WindowFromPoint(POINT{210, 300}), Form);
}

TEST_F(X11WindowManager, AMoveFromOutsideIsKeptAfterAClick) {
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 400, 300}));
    ShowAndWait(Form);
    Windows().Log.clear();
    Xdo({"windowmove", XId(Form), "320", "240"});
    ASSERT_TRUE(PumpUntil([&] { return RectOf(Form).left == 320 && RectOf(Form).top == 240; }))
        << RectOf(Form).left << "," << RectOf(Form).top;
    EXPECT_FALSE(Windows().Of(Form, {WM_MOVE}).empty());
    EXPECT_EQ(RectOf(Form).right - RectOf(Form).left, 300);
    // A click in it (activation, z-order) leaves it where the window manager put it.
    const POINT In = ScreenOf(Form, POINT{40, 40});
    Xdo({"mousemove", Num(In.x), Num(In.y), "click", "1"});
    ASSERT_TRUE(PumpUntil([&] { return !Windows().Of(Form, {WM_LBUTTONUP}).empty(); }));
    Drain();
    EXPECT_TRUE(XServerSays(Form, "Position: 320,240")) << Geometry(Form);
    EXPECT_EQ(RectOf(Form).left, 320);
    WINDOWPLACEMENT Place{};
    Place.length = sizeof(Place);
    ASSERT_TRUE(GetWindowPlacement(Form, &Place));
    EXPECT_EQ(Place.rcNormalPosition.left, 320);
    EXPECT_EQ(Place.rcNormalPosition.top, 240);
}

TEST_F(X11WindowManager, AMaximizeByTheWindowManagerMaximizesTheWindow) {
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 400, 300}));
    ShowAndWait(Form);
    QtWindowOf(Form)->setWindowStates(Qt::WindowMaximized);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(Form) != FALSE; }));
    ASSERT_TRUE(PumpUntil([&] { return RectOf(Form).right - RectOf(Form).left >= 1280; }))
        << RectOf(Form).right - RectOf(Form).left;
    Drain();
    const POINT Far = ScreenOf(Form, POINT{1200, 900});
    const QRgb Face = ColorOf(GetSysColor(COLOR_BTNFACE));
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(Far.x, Far.y) == Face; }))
        << std::hex << ScreenPixel(Far.x, Far.y);
    // Restored from outside, it goes back to where it was.
    QtWindowOf(Form)->setWindowStates(Qt::WindowNoState);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(Form) == FALSE; }));
    ASSERT_TRUE(PumpUntil([&] {
        const RECT R = RectOf(Form);
        return R.left == 100 && R.top == 100 && R.right - R.left == 300;
    })) << RectOf(Form).left
        << "," << RectOf(Form).top;
    EXPECT_TRUE(PumpUntil([&] { return XServerSays(Form, "Position: 100,100"); }))
        << Geometry(Form);
}

TEST_F(X11WindowManager, AFixedSizeWindowTellsTheWindowManagerSoAndKeepsItsSize) {
    const HWND Dialog = Guard(Windows().Create(WS_EX_DLGMODALFRAME,
                                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME,
                                               {150, 120, 450, 320}));
    ShowAndWait(Dialog);
    const std::string Hints = Prop(Dialog, "WM_NORMAL_HINTS");
    EXPECT_NE(Hints.find("minimum size: 300 by 200"), std::string::npos) << Hints;
    EXPECT_NE(Hints.find("maximum size: 300 by 200"), std::string::npos) << Hints;
    std::string Actions;
    ASSERT_TRUE(PumpUntil([&] {
        Actions = Prop(Dialog, "_NET_WM_ALLOWED_ACTIONS");
        return Actions.find("_NET_WM_ACTION_MOVE") != std::string::npos;
    })) << Actions;
    EXPECT_EQ(Actions.find("MAXIMIZE"), std::string::npos) << Actions;
    EXPECT_EQ(Actions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << Actions;

    // A sizeable one says otherwise.
    const HWND Form = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {500, 120, 800, 320}));
    ShowAndWait(Form);
    ASSERT_TRUE(PumpUntil([&] {
        Actions = Prop(Form, "_NET_WM_ALLOWED_ACTIONS");
        return Actions.find("_NET_WM_ACTION_MOVE") != std::string::npos;
    })) << Actions;
    EXPECT_NE(Actions.find("_NET_WM_ACTION_MAXIMIZE_HORZ"), std::string::npos) << Actions;
    EXPECT_NE(Actions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << Actions;
}

TEST_F(X11WindowManager, AnOwnedWindowStaysAboveItsDisabledOwnerWhenThatIsClicked) {
    const HWND Main = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {100, 100, 500, 400}));
    ShowAndWait(Main);
    const HWND Dialog = Guard(Windows().Create(0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME,
                                               {300, 200, 600, 450}, Main));
    const HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    Windows().Handlers[Dialog] = [Red](HWND Wnd, UINT Msg, WPARAM WParam,
                                       LPARAM) -> std::optional<LRESULT> {
        if (Msg != WM_ERASEBKGND) return std::nullopt;
        RECT R;
        GetClientRect(Wnd, &R);
        FillRect(reinterpret_cast<HDC>(WParam), &R, Red);
        return 1;
    };
    ShowAndWait(Dialog);
    EnableWindow(Main, FALSE);
    const POINT Both = ScreenOf(Dialog, POINT{20, 20});
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(Both.x, Both.y) == qRgb(255, 0, 0); }));
    // The window manager knows the dialog as its owner's transient.
    const QString MainId = QStringLiteral("0x") + QString::number(QtWindowOf(Main)->winId(), 16);
    EXPECT_NE(Prop(Dialog, "WM_TRANSIENT_FOR").find("window id # " + MainId.toStdString()),
              std::string::npos)
        << Prop(Dialog, "WM_TRANSIENT_FOR");
    // A window of ours that only tells when the window manager is done: made before the click, so
    // that nothing of ours comes to the top after it (a window shown makes the program restack
    // all of its windows).
    const HWND Marker = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {900, 700, 1000, 800}));
    ShowAndWait(Marker);
    Drain();
    // The window manager raises what is clicked; the owner must not come above the dialog.
    const POINT MainOnly = ScreenOf(Main, POINT{20, 150});
    Xdo({"mousemove", Num(MainOnly.x), Num(MainOnly.y), "click", "1"});
    Xdo({"windowraise", XId(Main)});
    // The window manager handles requests in order: once a later move is done, so is the raise.
    Xdo({"windowmove", XId(Marker), "950", "750"});
    ASSERT_TRUE(PumpUntil([&] { return XServerSays(Marker, "Position: 950,750"); }));
    EXPECT_EQ(ScreenPixel(Both.x, Both.y), qRgb(255, 0, 0));
    EnableWindow(Main, TRUE);
    DeleteObject(Red);
}

}  // namespace
