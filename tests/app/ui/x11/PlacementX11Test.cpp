// The main window and the message viewer on a real X server: dragged by their captions with
// xdotool (with and without a window manager running), closed, and made again as at the next start,
// each comes back where it was left. Run by run-x11.sh and run-x11-wm.sh under xvfb-run.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ui/CommandPictures.h"
#include "app/ui/MainFrm.h"
#include "app/ui/ViewMessageFrm.h"
#include "platform/core/WindowPicture.h"
#include "tests/app/ui/x11/MainFormX11.h"

using namespace GuiTest;

namespace {

class PlacementX11 : public MainFormX11 {
  protected:
    void SetUp() override {
        MainFormX11::SetUp();
        Mail = Dir + "m1.msg";
        std::ofstream(Mail, std::ios::binary)
            << "From: anna@example.org\r\nSubject: Ort\r\n\r\nHallo\r\n";
    }

    // The viewer, opened by a real double click on the mail's line.
    TFormViewMessage* OpenViewer(TFormMain* Form) {
        TExchangeRun::AddMailLogLine(nullptr, Mail + "\1d\2Ort\3anna\00412");
        Drain();
        const POINT At = ScreenOf(Form->LogList->Handle(), POINT{40, 10});
        Xdo({"mousemove", Num(At.x), Num(At.y), "click", "--repeat", "2", "--delay", "80", "1"});
        TFormViewMessage* Viewer = nullptr;
        PumpUntil([&] {
            for (int I = 0; I < Screen->FormCount(); ++I)
                if ((Viewer = dynamic_cast<TFormViewMessage*>(Screen->Forms(I)))) return true;
            return false;
        });
        EXPECT_NE(Viewer, nullptr) << "no viewer";
        if (Viewer) {
            EXPECT_TRUE(WaitExposed(Viewer->Handle()));
        }
        return Viewer;
    }
    // Moves the window as the user does: pressed on its caption, dragged and let go.
    static void Move(TCustomForm* Form, int Left, int Top) {
        RECT R;
        GetWindowRect(Form->Handle(), &R);
        const POINT Grab{R.left + 80, R.top + GetSystemMetrics(SM_CYSIZEFRAME) + 8};
        const POINT To{Grab.x + Left - R.left, Grab.y + Top - R.top};
        Xdo({"mousemove", Num(Grab.x), Num(Grab.y), "mousedown", "1", "mousemove",
             Num((Grab.x + To.x) / 2), Num((Grab.y + To.y) / 2), "sleep", "0.1", "mousemove",
             Num(To.x), Num(To.y), "sleep", "0.1", "mouseup", "1"});
        EXPECT_TRUE(PumpUntil([&] { return Form->Left() == Left && Form->Top() == Top; }))
            << Form->ClassName() << " at " << Form->Left() << "," << Form->Top();
    }
    // Where the X server shows the window's host.
    static std::pair<int, int> ShownAt(TCustomForm* Form) {
        std::istringstream Out(Xdo({"getwindowgeometry", "--shell", XId(Form->Handle())}));
        int X = -1, Y = -1;
        for (std::string Line; std::getline(Out, Line);) {
            if (Line.rfind("X=", 0) == 0) X = std::stoi(Line.substr(2));
            if (Line.rfind("Y=", 0) == 0) Y = std::stoi(Line.substr(2));
        }
        return {X, Y};
    }

    std::string Mail;
};

TEST_F(PlacementX11, TheMainWindowAndTheViewerReopenWhereTheyWereLeft) {
    TFormMain* Form = Start();
    TFormViewMessage* Viewer = OpenViewer(Form);
    ASSERT_NE(Viewer, nullptr);
    Move(Viewer, 150, 95);
    Viewer->Close();
    Drain();
    Move(Form, 64, 48);
    Form->Free();
    Drain();

    Form = Start();
    EXPECT_EQ(ShownAt(Form), std::make_pair(64, 48));
    Viewer = OpenViewer(Form);
    ASSERT_NE(Viewer, nullptr);
    EXPECT_EQ(ShownAt(Viewer), std::make_pair(150, 95));
}

// A move made by the desktop (xdotool acting as the window manager's keyboard move) reaches the
// window: a click does not put it back, and the next start shows it where it was left. The main
// window has a fixed size: a resize from outside is refused, the X window comes back to the
// window's size and the window is painted whole.
TEST_F(PlacementX11, AMoveFromOutsideIsKeptAndSavedAtCloseAndAResizeRefused) {
    TFormMain* Form = Start();
    const int Width = Form->Width(), Height = Form->Height();
    Xdo({"windowmove", "--sync", XId(Form->Handle()), "90", "70"});
    EXPECT_TRUE(PumpUntil([&] { return Form->Left() == 90 && Form->Top() == 70; }))
        << Form->Left() << "," << Form->Top();
    Xdo({"windowsize", XId(Form->Handle()), Num(Width + 120), Num(Height + 90)});
    const auto XSize = [&] {
        std::istringstream Out(Xdo({"getwindowgeometry", "--shell", XId(Form->Handle())}));
        int W = -1, H = -1;
        for (std::string Line; std::getline(Out, Line);) {
            if (Line.rfind("WIDTH=", 0) == 0) W = std::stoi(Line.substr(6));
            if (Line.rfind("HEIGHT=", 0) == 0) H = std::stoi(Line.substr(7));
        }
        return std::make_pair(W, H);
    };
    EXPECT_TRUE(PumpUntil([&] { return XSize() == std::make_pair(Width, Height); }))
        << XSize().first << "x" << XSize().second;
    EXPECT_EQ(Form->Width(), Width);
    EXPECT_EQ(Form->Height(), Height);
    const POINT In = ScreenOf(Form->LogList->Handle(), POINT{30, 10});
    Xdo({"mousemove", Num(In.x), Num(In.y), "click", "1"});
    Drain();
    EXPECT_EQ(ShownAt(Form), std::make_pair(90, 70));
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    SaveWindowPicture(Form->Handle(),
                      std::string(KESTRO_BINARY_DIR) + "/pictures/app/x11-main-after-outside.png");
    Form->Free();
    Drain();

    Form = Start();
    EXPECT_EQ(ShownAt(Form), std::make_pair(90, 70));
}

// The task bar and the window list show the program's picture: the X window carries it as its
// icon property, at the size it was drawn.
TEST_F(PlacementX11, TheDesktopGetsTheProgramsIconForTheWindow) {
    Forms.SetIcon(ProgramIcon(16));
    TFormMain* Form = Start();
    QProcess Xprop;
    Xprop.start(QStringLiteral("xprop"), {"-id", XId(Form->Handle()), "_NET_WM_ICON"});
    ASSERT_TRUE(PumpUntil([&] { return Xprop.state() == QProcess::NotRunning; }, 20000));
    const std::string Out = Xprop.readAllStandardOutput().toStdString();
    EXPECT_NE(Out.find("Icon (16 x 16)"), std::string::npos) << Out;
    Forms.SetIcon(0);
}

}  // namespace
