#pragma once
// The main window's menus for the menu tests: its bars shown on a form, keys and clicks given to
// the form's Qt window, the submenu windows that open, the screens the menus open on, and
// pictures of the form with its open menus.
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bars/dxBar.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/core/Screens.h"
#include "tests/bars/FakeBarTimers.h"
#include "tests/bars/ShownBars.h"

namespace BarTest {

// Screens of the test's own while the object lives (the work areas given).
class TFakeScreens : public TScreenSource {
  public:
    explicit TFakeScreens(std::vector<TScreenInfo> Screens) : FScreens(std::move(Screens)) {}
    std::vector<TScreenInfo> Screens() const override { return FScreens; }

  private:
    std::vector<TScreenInfo> FScreens;
};

class TScreensGuard {
  public:
    explicit TScreensGuard(std::vector<TScreenInfo> Screens) {
        SetScreenSource(std::make_shared<TFakeScreens>(std::move(Screens)));
    }
    ~TScreensGuard() { SetScreenSource(nullptr); }
    TScreensGuard(const TScreensGuard&) = delete;
    TScreensGuard& operator=(const TScreensGuard&) = delete;
};

// One screen whose work area is the whole screen.
inline TScreenInfo WholeScreen(int Width, int Height) {
    return TScreenInfo{RECT{0, 0, Width, Height}, RECT{0, 0, Width, Height}, true};
}

// Input given inside a loop the test started (a drag's, a menu's): each step runs once its
// condition holds, or after a while anyway (the test then fails on what it finds instead of
// waiting forever inside the loop).
using TLoopStep = std::pair<std::function<bool()>, std::function<void()>>;
inline void AddLoopSteps(GuiTest::TScript& Script, const std::vector<TLoopStep>& Steps) {
    for (const auto& [Ready, Step] : Steps)
        Script.ThenWhen([Ready = Ready, Tries = 0]() mutable { return Ready() || ++Tries > 3000; },
                        Step);
}

// A press at On through Via that a modal window interrupts: once the window under the press holds
// the mouse, a modal form opens (its scope cancels the press, as any dialog a timer or the
// program opens does). With ReleaseInModal the button comes up at Away while the form shows;
// otherwise the form closes first and the button comes up at On, over what was pressed.
inline void PressCancelledByAModalWindow(HWND Via, POINT On, POINT Away, bool ReleaseInModal) {
    auto* Modal = new TForm(nullptr);
    Modal->SetBounds(Away.x - 60, Away.y - 40, 120, 80);
    const HWND Pressed = WindowFromPoint(On);
    GuiTest::TScript Script;
    Script.Then([&] {
        GuiTest::MouseMove(Via, On);
        GuiTest::MousePress(Via, On);
    });
    Script.ThenWhen([&] { return GetCapture() != 0 && GetCapture() == Pressed; },
                    [&] { Modal->ShowModal(); });
    Script.ThenWhen([&] { return Modal->HandleAllocated() && IsWindowVisible(Modal->Handle()); },
                    [&] {
                        if (ReleaseInModal) GuiTest::MouseRelease(Modal->Handle(), Away);
                        Modal->SetModalResult(mrOk);
                    });
    Script.Start();
    EXPECT_TRUE(PumpUntil([&] { return Script.Done() && GetCapture() == 0; }));
    GuiTest::Drain();
    Modal->Free();
    if (!ReleaseInModal) GuiTest::MouseRelease(Via, On);
    GuiTest::Drain();
}

// The main window's bars, with keys and the mouse for them.
struct TMenuForm : TShownBars {
    explicit TMenuForm(int Width = 640, TdxBarManagerStyle Style = bmsFlat)
        : TShownBars(Width, true, Style) {
        // Keys the bars leave go on to the forms' own shortcuts, as in the program.
        if (!Forms.Initialized()) Forms.Initialize();
    }

    QWindow* Window() const { return GuiTest::QtWindowOf(FormWindow()); }
    void KeyDown(Qt::Key Key, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyPress(Window(), Key, Mods);
        GuiTest::Drain();
    }
    void KeyUp(Qt::Key Key, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyRelease(Window(), Key, Mods);
        GuiTest::Drain();
    }
    void Tap(Qt::Key Key, Qt::KeyboardModifiers Mods = {}) {
        KeyDown(Key, Mods);
        KeyUp(Key, Mods);
    }
    // Alt held while Key is tapped.
    void AltTap(Qt::Key Key) {
        KeyDown(Qt::Key_Alt, Qt::AltModifier);
        Tap(Key, Qt::AltModifier);
        KeyUp(Qt::Key_Alt);
    }
    // Mouse input at a screen point, through the Qt window of the window there.
    static HWND Via(POINT Screen) {
        const HWND Under = WindowFromPoint(Screen);
        return Under ? GetAncestor(Under, GA_ROOT) : 0;
    }
    void Move(POINT Screen) {
        GuiTest::MouseMove(Via(Screen), Screen);
        GuiTest::Drain();
    }
    // Press and release each reach the windows before the next (the state of the buttons is
    // asked while the press is handled).
    void Click(POINT Screen) {
        const HWND Target = Via(Screen);
        GuiTest::MousePress(Target, Screen);
        GuiTest::Drain();
        GuiTest::MouseRelease(Via(Screen) ? Via(Screen) : Target, Screen);
        GuiTest::Drain();
    }

    TdxBarItemLink* MenuLink(int I) const { return Link(Menu(), I); }
    TCustomdxBarSubItem* SubItem(int I) const {
        return dynamic_cast<TCustomdxBarSubItem*>(MenuLink(I)->Item());
    }
    // The open submenu window of a sub-item, or none.
    static TdxBarSubMenuControl* MenuOf(TCustomdxBarSubItem* Item) {
        return dynamic_cast<TdxBarSubMenuControl*>(Item->ItemLinks()->BarControl());
    }
    TdxBarSubMenuControl* OpenMenu(int I) const { return MenuOf(SubItem(I)); }
    // The middle of a shown link, on the screen.
    static POINT Middle(TdxBarItemLink* Link) {
        const TRect R = Link->ItemRect();
        return GuiTest::ScreenOf(Link->Links()->BarControl()->Handle(),
                                 POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    // The middle of the I-th link of a submenu window, on the screen.
    static POINT EntryPoint(TdxBarSubMenuControl* Menu, int I) {
        return Middle(Menu->ItemLinks()->Items(I));
    }
    // The index of the selected link of a bar window, -1 for none.
    static int SelectedIndex(TCustomdxBarControl* Window) {
        TdxBarItemControl* C = Window ? Window->SelectedControl() : nullptr;
        return C ? C->ItemLink()->Index() : -1;
    }
    // A point of the form below its bars.
    POINT FormPoint() const { return GuiTest::ScreenOf(FormWindow(), POINT{300, 120}); }
};

// A picture of windows as they lie on the screen (the first one lowest), saved for review.
inline void SaveScenePicture(const std::vector<HWND>& Windows, const std::string& Name) {
    QRect Bounds;
    for (HWND Wnd : Windows) {
        RECT R;
        GetWindowRect(Wnd, &R);
        Bounds |= QRect(R.left, R.top, R.right - R.left, R.bottom - R.top);
    }
    QImage Scene(Bounds.size(), QImage::Format_RGB32);
    Scene.fill(qRgb(58, 110, 165));
    QPainter Painter(&Scene);
    for (HWND Wnd : Windows) {
        RECT R;
        GetWindowRect(Wnd, &R);
        Painter.drawImage(QPoint(R.left - Bounds.left(), R.top - Bounds.top()), WindowPicture(Wnd));
    }
    Painter.end();
    SaveBarPicture(Scene, Name);
}

}  // namespace BarTest
