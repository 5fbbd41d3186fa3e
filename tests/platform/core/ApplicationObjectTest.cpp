// The Qt application object is the program's: the layer never makes one behind its back, so a
// GUI program can make its QApplication after the layer was first touched.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/core/Application.h"
#include "platform/core/Host.h"
#include "platform/core/Paint.h"
#include "platform/core/Window.h"
#include "platform/core/WindowPicture.h"
#include "platform/gdi/Gdi.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(ApplicationObject, TheLayerWaitsForTheProgramToMakeItThenWorks) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    // Used too early: a clear error, and still no application object.
    EXPECT_EQ(ErrorOf([] { AllocateHWnd([](TMessage&) {}); }),
              "The application object does not exist yet: the program creates it "
              "(TApplication::InitializeQt) before it uses windows, messages or timers");
    EXPECT_NE(ErrorOf([] { Application.ProcessMessages(); }), "");
    EXPECT_EQ(QCoreApplication::instance(), nullptr);

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int Argc = 1;
    static char Name[] = "core-app-test";
    static char* Argv[] = {Name, nullptr};
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(Argc, Argv, true);
    auto* Gui = qobject_cast<QApplication*>(App.get());
    ASSERT_NE(Gui, nullptr);
    EXPECT_FALSE(Gui->quitOnLastWindowClosed());
    EXPECT_EQ(ErrorOf([] { TApplication::InitializeQt(Argc, Argv, false); }),
              "The application object exists already");

    // Now windows, messages and timers work.
    std::vector<UINT> Got;
    const HWND W = AllocateHWnd([&](TMessage& M) { Got.push_back(M.Msg); });
    PostMessage(W, WM_USER, 0, 0);
    SetTimer(W, 1, 10);
    ASSERT_TRUE(PumpUntil([&] { return Got.size() >= 2; }));
    EXPECT_EQ(Got.front(), WM_USER);
    EXPECT_EQ(Got.back(), WM_TIMER);
    DeallocateHWnd(W);
}

TEST(ApplicationObject, AProgramNobodySeesHasWindowsAndPicturesButNoQtWidgets) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int Argc = 1;
    static char Name[] = "core-app-test";
    static char* Argv[] = {Name, nullptr};
    std::unique_ptr<QCoreApplication> App =
        TApplication::InitializeQt(Argc, Argv, true, /*Unseen=*/true);
    // Not even a GUI application object: no platform plugin, no font system.
    ASSERT_NE(App, nullptr);
    EXPECT_EQ(qobject_cast<QGuiApplication*>(App.get()), nullptr);
    // The one screen is the offscreen platform's.
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);

    // A top-level window without a Qt widget behind it: it is placed, drawn on and measured in.
    WNDCLASS Class{};
    Class.lpfnWndProc = DefWindowProc;
    Class.lpszClassName = "UnseenTestWindow";
    Class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    ASSERT_TRUE(RegisterClass(&Class));
    const HWND W = CreateWindowEx(0, "UnseenTestWindow", "Unseen", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  10, 20, 200, 100, 0, 0, 0, nullptr);
    ASSERT_NE(W, 0u);
    EXPECT_EQ(HostWidgetFor(W), nullptr);
    RECT R;
    GetWindowRect(W, &R);
    EXPECT_EQ(R.right - R.left, 200);
    const HDC DC = GetWindowDC(W);
    SetPixel(DC, 3, 4, RGB(255, 0, 0));
    SIZE Extent{};
    EXPECT_TRUE(GetTextExtentPoint32(DC, "Unseen", &Extent));
    EXPECT_GT(Extent.cx, 0);
    // The default font's height as the font system gives it (DejaVu Sans at 11 pixels).
    EXPECT_EQ(Extent.cy, 13);
    TEXTMETRIC Metrics{};
    EXPECT_TRUE(GetTextMetrics(DC, &Metrics));
    EXPECT_EQ(Metrics.tmHeight, 13);
    EXPECT_EQ(Metrics.tmAscent, 10);
    // Text is laid out but not drawn; what else is drawn stays.
    RECT Box{0, 20, 100, 60};
    EXPECT_EQ(DrawText(DC, std::string("Two\nlines"), &Box, DT_CALCRECT), 26);
    RECT Cell{0, 20, 100, 60};
    EXPECT_EQ(DrawText(DC, std::string("&Unseen text"), &Cell, DT_SINGLELINE), 13);
    EXPECT_TRUE(TextOut(DC, 5, 40, "Unseen"));
    ReleaseDC(W, DC);
    EXPECT_EQ(WindowPicture(W).pixel(3, 4), qRgb(255, 0, 0));
    DestroyWindow(W);
}

}  // namespace
