// The tray icon in a real tray: run by run-tray.sh under xvfb-run with trayer docked at the
// bottom right, on Qt's xcb platform. The icon must appear in the tray (a picture of it is
// written to the build tree), and a real click on it must reach the icon's OnClick.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include "components/tray/StTrayIcon.h"
#include "platform/menus/MenuImpl.h"
#include "tests/components/tray/TrayTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace GuiTest;
using namespace TrayTest;

namespace {

constexpr QRgb kIconBlue = 0xFF1040C0u;

// A 16 x 16 icon: a blue tile with a white "K".
HICON KestroIcon() {
    QImage Image(16, 16, QImage::Format_RGB32);
    Image.fill(kIconBlue);
    QPainter P(&Image);
    P.setPen(Qt::white);
    P.fillRect(4, 3, 2, 10, Qt::white);
    P.drawLine(6, 8, 11, 3);
    P.drawLine(6, 8, 11, 13);
    P.end();
    return IconOf(Image);
}

// The strip of the screen that trayer sits in.
QImage TrayStrip() {
    QScreen* Screen = QGuiApplication::primaryScreen();
    const QRect G = Screen->geometry();
    return Screen->grabWindow(0, G.width() - 200, G.height() - 40, 200, 40).toImage();
}

// Where the icon's blue is in the strip (screen coordinates), if it is there.
std::optional<QPoint> IconInTray() {
    const QImage Strip = TrayStrip();
    const QRect G = QGuiApplication::primaryScreen()->geometry();
    for (int Y = 0; Y < Strip.height(); ++Y)
        for (int X = 0; X < Strip.width(); ++X)
            if ((Strip.pixel(X, Y) | 0xFF000000u) == kIconBlue)
                return QPoint(G.width() - 200 + X + 1, G.height() - 40 + Y + 1);
    return std::nullopt;
}

// The screen's picture of a rectangle, once it shows some black (the menu's text is drawn).
std::optional<QImage> Painted(const RECT& R) {
    const QImage I = QGuiApplication::primaryScreen()
                         ->grabWindow(0, R.left, R.top, R.right - R.left, R.bottom - R.top)
                         .toImage();
    int Black = 0;
    for (int Y = 0; Y < I.height(); ++Y)
        for (int X = 0; X < I.width(); ++X) Black += (I.pixel(X, Y) & 0xFFFFFF) == 0;
    if (Black < 20) return std::nullopt;
    return I;
}

TEST(TrayX11, TheIconSitsInTheTrayAndAClickOnItReachesTheIcon) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    // trayer starts beside us: wait for it to take the tray selection.
    ASSERT_TRUE(PumpUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 30000));
    TWindowGuard Guard;
    const HWND Owner =
        Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {40, 40, 340, 240}, 0, "Orvalin Kestro"));
    ShowWindow(Owner, SW_SHOW);
    Drain();
    TStTrayIcon Tray(nullptr, Owner);
    TIcon Icon;
    Icon.SetHandle(KestroIcon());
    Tray.SetIcon(Icon);
    Tray.SetHint("Orvalin Kestro V0.1.0");
    Tray.SetMinimizeToTray(true);
    int Clicks = 0;
    Tray.OnClick = [&](TObject*, TMouseButton, TShiftState) { ++Clicks; };
    Tray.Loaded();
    ASSERT_TRUE(PumpUntil([] { return IconInTray().has_value(); }, 30000));

    // Minimised to the tray: the window goes, the icon stays.
    SendMessage(Owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(Owner));
    QScreen* Screen = QGuiApplication::primaryScreen();
    const QImage Whole = Screen->grabWindow(0).toImage();
    const QImage Strip = TrayStrip();
    QDir().mkpath(QStringLiteral(KESTRO_BINARY_DIR "/pictures/tray"));
    EXPECT_TRUE(Strip.scaled(Strip.size() * 3)
                    .save(QStringLiteral(KESTRO_BINARY_DIR "/pictures/tray/tray-icon-x3.png")));
    EXPECT_TRUE(Whole.save(QStringLiteral(KESTRO_BINARY_DIR "/pictures/tray/tray-desktop.png")));

    const QPoint At = *IconInTray();
    Xdo({"mousemove", QString::number(At.x() + 2), QString::number(At.y() + 2), "click", "1"});
    EXPECT_TRUE(PumpUntil([&] { return Clicks > 0; }, 20000));

    // A right click opens the built-in menu, kept on the screen; "&Restore" brings the window
    // back. The menu runs its loop inside the click's callback: what the test does meanwhile
    // comes from a timer, and xdotool runs on its own.
    RECT MenuRect{};
    bool Clicked = false;
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        const std::vector<HWND> W = MenuWindows();
        if (Clicked || W.empty()) return;
        GetWindowRect(W[0], &MenuRect);
        const RECT Around{MenuRect.left - 40, MenuRect.top - 20, 640, 480};
        const std::optional<QImage> Shot = Painted(Around);
        if (!Shot) return;
        Shot->save(QStringLiteral(KESTRO_BINARY_DIR "/pictures/tray/tray-menu.png"));
        const MenuImpl::TLayout L = MenuImpl::LayoutOf(*MenuImpl::Find(Tray.BuiltInMenu()));
        const RECT Item = L.Items[1];
        Clicked = true;
        QProcess::startDetached(
            QStringLiteral("xdotool"),
            {"mousemove", QString::number(MenuRect.left + Item.left + 20),
             QString::number(MenuRect.top + (Item.top + Item.bottom) / 2), "click", "1"});
    });
    Poll.start(50);
    QProcess::startDetached(QStringLiteral("xdotool"), {"mousemove", QString::number(At.x() + 2),
                                                        QString::number(At.y() + 2), "click", "3"});
    EXPECT_TRUE(PumpUntil([&] { return Clicked && IsWindowVisible(Owner); }, 30000));
    Poll.stop();
    // At the pointer, hanging up and to the left of it: there is no room below or right.
    EXPECT_EQ(MenuRect.right, At.x() + 2);
    EXPECT_EQ(MenuRect.bottom, At.y() + 2);
    EXPECT_TRUE(MenuWindows().empty());
}

}  // namespace
