// The main window's toolbar left floating, on a real X server: dragged off its dock with xdotool,
// left so when the program ends (Alt+X), and back at the next start as it was: its six buttons,
// its size and place, above the main window on the screen, and a click on its first button loads
// a box. Run by run-x11.sh and run-x11-wm.sh (openbox) under xvfb-run; the screen is grabbed from
// the X server, so the pictures show what a user sees.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <filesystem>
#include <set>

#include "app/ui/MainFrm.h"
#include "bars/dxBar.h"
#include "platform/registry/Registry.h"
#include "tests/app/ui/x11/MainFormX11.h"

using namespace GuiTest;

namespace {

class ToolbarX11 : public MainFormX11 {
  protected:
    // The main window as at a start of the program, given the keyboard too.
    static TFormMain* Start() {
        TFormMain* Form = MainFormX11::Start();
        Xdo({"windowfocus", "--sync", XId(Form->Handle())});
        Drain();
        return Form;
    }
    static TdxBar* Toolbar(TFormMain* Form) { return BarManagerOfForm(Form)->BarByName("Toolbar"); }
    static RECT Bounds(HWND Wnd) {
        RECT R;
        GetWindowRect(Wnd, &R);
        return R;
    }
    // The X server's picture of a rectangle of the screen: what is on top there.
    static QImage OnScreen(const RECT& R) {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, R.left, R.top, R.right - R.left, R.bottom - R.top)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // Ends the program as a user does: Alt+X closes the main window, which then goes.
    static void Leave(TFormMain* Form) {
        Xdo({"key", "alt+x"});
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(Form->Handle()); }));
        Form->Free();
        Drain();
    }
    static int Stored(const std::string& Name) {
        TRegistry Registry;
        EXPECT_TRUE(Registry.OpenKeyReadOnly("\\Software\\Orvalin\\Kestro\\Bars\\Bar1"));
        return Registry.ReadInteger(Name);
    }
    static void Save(const QImage& Picture, const std::string& Name) {
        const std::string Folder = std::string(KESTRO_BINARY_DIR) + "/pictures/app";
        QDir().mkpath(QString::fromStdString(Folder));
        EXPECT_TRUE(Picture.save(QString::fromStdString(Folder + "/" + Name + ".png")));
    }
};

// How many colours a rectangle of a picture shows: a button's picture has several, an empty
// place of a bar one.
int Colours(const QImage& Picture, const QRect& R) {
    std::set<QRgb> Seen;
    for (int Y = R.top(); Y <= R.bottom(); ++Y)
        for (int X = R.left(); X <= R.right(); ++X) Seen.insert(Picture.pixel(X, Y) | 0xFF000000u);
    return int(Seen.size());
}

TEST_F(ToolbarX11, AToolbarLeftFloatingComesBackAsItWasLeft) {
    TFormMain* Form = Start();
    TdxBar* Bar = Toolbar(Form);
    ASSERT_NE(Bar, nullptr);
    const RECT Docked = Bounds(Bar->Control()->Handle());
    TXdoDrag Drag;
    Drag.From = POINT{Docked.left + 4, (Docked.top + Docked.bottom) / 2};
    const POINT Away = ScreenOf(Form->Handle(), POINT{330, 150});
    Drag.Path = {POINT{Drag.From.x + 30, Drag.From.y + 60}, Away};
    Drag.RestMs = 100;
    ASSERT_TRUE(XdoDrag(Drag, [&] { return !BarManagerOfForm(Form)->Bars()->Dragging(); }));
    ASSERT_TRUE(Bar->Control()->IsFloating());
    ASSERT_TRUE(WaitExposed(Bar->Control()->Handle()));
    const RECT Left = Bounds(Bar->Control()->Handle());
    // One button a row: as wide as a button with its frame, as high as six with the caption.
    EXPECT_EQ(Left.right - Left.left, 31);
    EXPECT_EQ(Left.bottom - Left.top, 170);
    const QImage Before = OnScreen(Left);
    Save(Before, "x11-toolbar-left-floating");
    Leave(Form);
    EXPECT_EQ(Stored("DockingStyle"), dsNone);
    EXPECT_EQ(Stored("FloatClientWidth"), 23);
    EXPECT_EQ(Stored("FloatClientHeight"), 147);

    Form = Start();
    Bar = Toolbar(Form);
    TdxBarControl* Window = Bar->Control();
    ASSERT_NE(Window, nullptr);
    ASSERT_TRUE(Window->IsFloating());
    ASSERT_TRUE(WaitExposed(Window->Handle()));
    const RECT Back = Bounds(Window->Handle());
    EXPECT_EQ(Back.left, Left.left);
    EXPECT_EQ(Back.top, Left.top);
    EXPECT_EQ(Back.right - Back.left, 31);
    EXPECT_EQ(Back.bottom - Back.top, 170);
    // On the screen where the bar lies, the bar is seen, not the main window below it: what
    // the X server shows there is what was seen there before the restart. Painting may follow
    // the mapping a little.
    QImage After;
    const bool Seen = PumpUntil([&] {
        After = OnScreen(Back);
        return After == Before;
    });
    Save(After, "x11-toolbar-floating-restored");
    RECT Main = Bounds(Form->Handle());
    RECT Both;
    UnionRect(&Both, &Main, &Back);
    Save(OnScreen(Both), "x11-toolbar-floating-restored-above-main");
    EXPECT_TRUE(Seen) << "the bar on the screen differs from the bar that was left";
    // Clicked and activated again, the main window is raised by the window manager, and the bar
    // stays above it (without a window manager nothing is raised: the activation is refused).
    const POINT OnMain = ScreenOf(Form->LogList->Handle(), POINT{40, 20});
    Xdo({"mousemove", Num(OnMain.x), Num(OnMain.y), "click", "1"});
    Xdo({"windowactivate", "--sync", XId(Form->Handle())});
    Drain();
    EXPECT_TRUE(PumpUntil([&] { return OnScreen(Back) == Before; }))
        << "the bar went behind the main window when that was raised";
    // Its six buttons one below the other, each showing its picture.
    for (int I = 0; I < 6; ++I) {
        const TRect R = Bar->ItemLinks()->Items(I)->ItemRect();
        ASSERT_EQ(R.Width(), 23) << I;
        const POINT TopLeft = ScreenOf(Window->Handle(), POINT{R.Left, R.Top});
        const QRect InPicture(TopLeft.x - Back.left, TopLeft.y - Back.top, R.Width(), R.Height());
        EXPECT_GE(Colours(After, InPicture), 3) << "button " << I << " shows no picture";
    }
    // A click on the first button loads a box: the open dialog asks (and is cancelled).
    Script->QueueFile(TFileDialogAnswer{false, {}});
    const TRect First = Bar->ItemLinks()->Items(0)->ItemRect();
    const POINT OnFirst =
        ScreenOf(Window->Handle(), POINT{(First.Left + First.Right) / 2, First.Top + 11});
    Xdo({"mousemove", Num(OnFirst.x), Num(OnFirst.y), "click", "1"});
    EXPECT_TRUE(PumpUntil([&] { return Script->Asked().size() == 1; }));
    Leave(Form);
    // Nothing of it changed for the start after.
    EXPECT_EQ(Stored("FloatClientWidth"), 23);
    EXPECT_EQ(Stored("FloatClientHeight"), 147);
}

}  // namespace
