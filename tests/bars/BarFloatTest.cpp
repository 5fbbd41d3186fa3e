// Floating toolbars: their frame, caption and close button in each style, sizing by one edge
// with the other side following the items, moving by the caption, docking after a rest over a
// dock zone (never with Ctrl held), docking and floating by double clicks, following their
// form's activation, the menu bar keeping a row of its own when moved, and menus torn off into
// bars (and brought back, or given up by Esc). Input goes through the platform's translation; the
// drag and size loops run inside the press that starts them, fed by script steps that wait for
// the loop to be ready.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstdlib>

#include "bars/customize/dxBarQuickCust.h"
#include "bars/dxBar.h"
#include "bars/look/dxBarSystem.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"
#include "tests/bars/FakeBarTimers.h"
#include "tests/bars/MenuTestSupport.h"
#include "tests/bars/TornMenu.h"
#include "tests/support/PictureChecks.h"

namespace {

using namespace BarTest;

struct TFloatForm : TMenuForm {
    // Tall enough that the middle of the form lies in no dock site's zone.
    explicit TFloatForm(TdxBarManagerStyle Style = bmsFlat) : TMenuForm(640, Style) {
        Bars.Form()->SetBounds(20, 20, 640, 320);
        GuiTest::Drain();
    }
    TdxBarControl* Window() const { return Toolbar()->Control(); }
    HWND Handle() const { return Window()->Handle(); }
    void Float(int X, int Y, int ClientWidth) {
        Toolbar()->FloatLeft = X;
        Toolbar()->FloatTop = Y;
        Toolbar()->FloatClientWidth = ClientWidth;
        Toolbar()->SetDockingStyle(dsNone);
        GuiTest::Drain();
    }
    // A second bar, floating at X, Y (at its own width when ClientWidth is 0) and shown.
    TdxBar* FloatSecond(int X, int Y, int ClientWidth = 0) {
        TdxBar* Bar = Bars.NewBar("Zweite", {Bars.NewItem("&Eins"), Bars.NewItem("&Zwei")});
        Bar->FloatLeft = X;
        Bar->FloatTop = Y;
        if (ClientWidth > 0) Bar->FloatClientWidth = ClientWidth;
        Bar->SetDockingStyle(dsNone);
        Bar->SetVisible(true);
        GuiTest::Drain();
        return Bar;
    }
    RECT Bounds() const {
        RECT R;
        GetWindowRect(Handle(), &R);
        return R;
    }
    // A point in window coordinates of the toolbar, on the screen.
    POINT At(int X, int Y) const {
        const RECT R = Bounds();
        return POINT{R.left + X, R.top + Y};
    }
    // The grip of the docked toolbar and the caption of the floating one.
    POINT Grip() const { return At(4, (Bounds().bottom - Bounds().top) / 2); }
    // The middle of the caption: clear of the mark at either end and of the close button.
    POINT Caption() const {
        const TRect C = Window()->FloatingCaptionRect();
        return At((C.Left + C.Right) / 2, (C.Top + C.Bottom) / 2);
    }
    LRESULT HitTest(POINT Screen) const {
        return SendMessage(Handle(), WM_NCHITTEST, 0, MAKELPARAM(Screen.x, Screen.y));
    }
    // Presses at From, then runs each step once its condition holds (the loop the press
    // started has answered the step before).
    void Drag(POINT From, std::vector<TLoopStep> Steps) {
        GuiTest::TScript Script;
        Script.Then([&] {
            GuiTest::MouseMove(FormWindow(), From);
            GuiTest::MousePress(FormWindow(), From);
        });
        AddLoopSteps(Script, Steps);
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done(); }));
        GuiTest::Drain();
    }
    void MoveTo(POINT P) { GuiTest::MouseMove(FormWindow(), P); }
    void Release(POINT P) { GuiTest::MouseRelease(FormWindow(), P); }
};

const char* StyleName(TdxBarManagerStyle Style) {
    return Style == bmsFlat ? "flat" : Style == bmsEnhanced ? "enhanced" : "standard";
}

TEST(BarFloat, EachStyleFramesTheBarWithACaptionAndACloseButton) {
    for (TdxBarManagerStyle Style : {bmsStandard, bmsEnhanced, bmsFlat}) {
        SCOPED_TRACE(StyleName(Style));
        TFloatForm Form(Style);
        Form.Float(200, 250, 80);
        TdxBarControl* W = Form.Window();
        ASSERT_TRUE(W->IsFloating());
        ASSERT_TRUE(IsWindowVisible(Form.Handle()));
        // The window is the client and the frame the bar reports.
        const RECT R = Form.Bounds();
        EXPECT_EQ(R.left, 200);
        EXPECT_EQ(R.top, 250);
        EXPECT_EQ(R.right - R.left, W->ClientRect().Width() + Form.Toolbar()->FrameWidth(dsNone));
        EXPECT_EQ(R.bottom - R.top, W->ClientRect().Height() + Form.Toolbar()->FrameHeight(dsNone));
        EXPECT_EQ(W->ClientRect().Width(), 80);
        const int Width = R.right - R.left - (Style == bmsFlat ? 2 : 0);
        const int Height = R.bottom - R.top - (Style == bmsFlat ? 2 : 0);
        struct TCase {
            const char* What;
            POINT P;
            LRESULT Answer, Stored;
        };
        const TRect Close = W->CloseButtonRect();
        const TRect Button = Form.Toolbar()->ItemLinks()->Items(0)->ItemRect();
        const POINT InButton = GuiTest::ScreenOf(
            Form.Handle(),
            POINT{(Button.Left + Button.Right) / 2, (Button.Top + Button.Bottom) / 2});
        const TCase Cases[] = {
            {"caption", Form.Caption(), HTCLIENT, HTCAPTION},
            {"close button",
             Form.At((Close.Left + Close.Right) / 2, (Close.Top + Close.Bottom) / 2),
             Style == bmsFlat ? HTCLIENT : HTCLOSE, HTCLOSE},
            {"top-left corner", Form.At(0, 0), HTTOP, HTTOP},
            {"left edge near the top", Form.At(0, 12), HTLEFT, HTLEFT},
            {"bottom-right corner", Form.At(Width - 1, Height - 1), HTBOTTOM, HTBOTTOM},
            {"right edge", Form.At(Width - 1, Height / 2), HTRIGHT, HTRIGHT},
            {"a button", InButton, HTCLIENT, HTCLIENT},
        };
        for (const TCase& C : Cases) {
            EXPECT_EQ(Form.HitTest(C.P), C.Answer) << C.What;
            EXPECT_EQ(W->LastHit(), C.Stored) << C.What;
        }
        SaveScenePicture({Form.FormWindow(), Form.Handle()},
                         std::string("floating-toolbar-") + StyleName(Style));
    }
}

TEST(BarFloat, AnEdgeSizesTheBarAndTheOtherSideFollowsTheItems) {
    TFloatForm Form;
    Form.Float(200, 250, 80);
    const int FrameW = Form.Toolbar()->FrameWidth(dsNone);
    const RECT Start = Form.Bounds();
    const int Shadow = 2;
    auto Size = [&](POINT Grip, POINT To) {
        Form.Drag(Grip,
                  {{[&] { return GetCapture() == Form.Handle(); }, [&] { Form.MoveTo(To); }},
                   {[&] { return GetCapture() == Form.Handle(); }, [&] { Form.Release(To); }}});
    };
    // The right edge: wider, fewer rows, the left edge stays.
    const int Mid = (Start.bottom - Start.top) / 2;
    Size(Form.At(Start.right - Start.left - Shadow - 1, Mid),
         Form.At(Start.right - Start.left + 120, Mid));
    RECT R = Form.Bounds();
    EXPECT_EQ(R.left, Start.left);
    EXPECT_GT(R.right, Start.right + 100);
    EXPECT_LT(R.bottom - R.top, Start.bottom - Start.top);
    EXPECT_EQ(Form.Toolbar()->FloatClientWidth, R.right - R.left - FrameW);
    // The left edge back: narrower, more rows, the right edge stays.
    const RECT Wide = R;
    Size(Form.At(0, 20), POINT{Wide.left + 130, Wide.top + 20});
    R = Form.Bounds();
    EXPECT_EQ(R.right, Wide.right);
    EXPECT_GT(R.bottom - R.top, Wide.bottom - Wide.top);
    // The bottom edge down: the rows it allows, as narrow as they fit; the top stays.
    const RECT Narrow = R;
    Size(Form.At(20, Narrow.bottom - Narrow.top - Shadow - 1),
         POINT{Narrow.left + 20, Narrow.bottom + 40});
    R = Form.Bounds();
    EXPECT_EQ(R.top, Narrow.top);
    EXPECT_EQ(R.left, Narrow.left);
    EXPECT_LT(R.right - R.left, Narrow.right - Narrow.left);
    EXPECT_GT(R.bottom - R.top, Narrow.bottom - Narrow.top);
    // The top edge down again: fewer rows, the bottom stays.
    const RECT Tall = R;
    Size(Form.At(20, 0), POINT{Tall.left + 20, Tall.top + 45});
    R = Form.Bounds();
    EXPECT_EQ(R.bottom, Tall.bottom);
    EXPECT_LT(R.bottom - R.top, Tall.bottom - Tall.top);
    SaveScenePicture({Form.FormWindow(), Form.Handle()}, "floating-toolbar-sized");
}

TEST(BarFloat, DraggedOffTheDockTheBarFloatsAndDocksBackOnlyAfterARest) {
    TFakeClock Clock;
    TFloatForm Form;
    const int Row = Form.Toolbar()->Row();
    TdxBarManager* M = Form.Manager();
    const POINT Grip = Form.Grip();
    const POINT Away = GuiTest::ScreenOf(Form.FormWindow(), POINT{300, 150});
    const POINT OverDock{Grip.x + 40, Grip.y};
    auto Dragging = [&] { return M->Bars()->Dragging(); };
    bool FloatedAway = false, StillFloating = false;
    RECT AtAway{};
    Form.Drag(Grip,
              {{Dragging, [&] { Form.MoveTo(Away); }},
               {[&] { return Form.Window()->IsFloating(); },
                [&] {
                    FloatedAway = true;
                    AtAway = Form.Bounds();
                    Form.MoveTo(OverDock);
                }},
               // The rest is timed from the move over the dock: the bar, still floating, has
               // followed it when the drag has taken it.
               {[&] { return Form.Window()->IsFloating() && Form.Bounds().left != AtAway.left; },
                [&] {
                    // Over the zone but not yet rested long enough.
                    Clock.Advance(M->WaitForDockingTime() - 1);
                    StillFloating = Form.Window()->IsFloating();
                    Clock.Advance(1);
                }},
               {[&] { return !Form.Window()->IsFloating(); }, [&] { Form.Release(OverDock); }}});
    EXPECT_TRUE(FloatedAway);
    EXPECT_TRUE(StillFloating);
    EXPECT_FALSE(M->Bars()->Dragging());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsTop);
    EXPECT_EQ(Form.Toolbar()->Row(), Row);
    EXPECT_EQ(GetCapture(), 0u);
}

// The manager's dock sites ask which of its windows moves: the move answers for its own manager
// only, and only while it lasts.
TEST(BarFloat, AMoveNamesItsWindowToItsOwnManagerWhileItLasts) {
    TFloatForm Form;
    TdxBarManager* M = Form.Manager();
    TForm* OtherForm = CreateForm<TForm>(nullptr);
    auto* Other = new TdxBarManager(OtherForm);
    EXPECT_EQ(TdxBarMover::MovingBarControl(M), nullptr);
    const POINT Grip = Form.Grip();
    TdxBarControl* Moving = nullptr;
    TdxBarControl* OthersMoving = Form.Window();
    bool OtherDragging = true;
    Form.Drag(Grip, {{[&] { return M->Bars()->Dragging(); },
                      [&] {
                          Moving = TdxBarMover::MovingBarControl(M);
                          OthersMoving = TdxBarMover::MovingBarControl(Other);
                          OtherDragging = Other->Bars()->Dragging();
                          Form.Release(Grip);
                      }}});
    EXPECT_EQ(Moving, Form.Window());
    EXPECT_EQ(OthersMoving, nullptr);
    EXPECT_FALSE(OtherDragging);
    EXPECT_FALSE(M->Bars()->Dragging());
    EXPECT_EQ(TdxBarMover::MovingBarControl(M), nullptr);
    OtherForm->Free();
}

TEST(BarFloat, CtrlKeepsADraggedBarFloatingOverADock) {
    TFakeClock Clock;
    TFloatForm Form;
    Form.Float(200, 250, 200);
    TdxBarManager* M = Form.Manager();
    const POINT From = Form.Caption();
    const POINT Dock = GuiTest::ScreenOf(Form.Menu()->Control()->Handle(), POINT{300, 5});
    bool Moved = false;
    Form.Drag(From, {{[&] { return M->Bars()->Dragging(); },
                      [&] {
                          Form.KeyDown(Qt::Key_Control, Qt::ControlModifier);
                          GuiTest::MouseMove(Form.FormWindow(), Dock);
                      }},
                     {[&] { return Form.Bounds().top != 250; },
                      [&] {
                          Moved = true;
                          Clock.Advance(M->WaitForDockingTime() * 10);
                          Form.KeyUp(Qt::Key_Control);
                          // Ctrl let go: the rest over the zone counts again.
                      }},
                     {[&] { return true; },
                      [&] {
                          Clock.Advance(M->WaitForDockingTime());
                          Form.Release(Dock);
                      }}});
    EXPECT_TRUE(Moved);
    EXPECT_FALSE(M->Bars()->Dragging());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsTop);
}

// A dock site the manager refuses is no target: over it the bar goes on floating under the
// pointer (it does not stop where it was), and it does not dock there after a rest.
TEST(BarFloat, OverARefusedDockTheBarGoesOnFloating) {
    TFakeClock Clock;
    TFloatForm Form;
    Form.Float(200, 250, 200);
    TdxBarManager* M = Form.Manager();
    M->NotDocking.Include(dsTop);
    const POINT From = Form.Caption();
    const POINT Dock = GuiTest::ScreenOf(Form.Menu()->Control()->Handle(), POINT{300, 5});
    Form.Drag(From, {{[&] { return M->Bars()->Dragging(); },
                      [&] { GuiTest::MouseMove(Form.FormWindow(), Dock); }},
                     {[&] { return Form.Bounds().top != 250; },
                      [&] {
                          Clock.Advance(M->WaitForDockingTime() * 2);
                          Form.Release(Dock);
                      }}});
    EXPECT_FALSE(M->Bars()->Dragging());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsNone);
    EXPECT_LT(std::abs(Form.Bounds().top - (Dock.y - (From.y - 250))), 4);
}

// A floating bar held by the middle of its caption docks when the bar reaches a site's zone,
// even though the pointer itself is just past it.
TEST(BarFloat, ABarWhoseCornerReachesADockDocksThereAfterARest) {
    TFakeClock Clock;
    TFloatForm Form;
    Form.Float(200, 250, 200);
    TdxBarManager* M = Form.Manager();
    const POINT From = Form.Caption();
    const int GrabY = From.y - Form.Bounds().top;
    ASSERT_GT(GrabY, 3);
    const TRect Zone = Form.Menu()->Control()->DockControl()->DockingZone();
    const POINT Near{(Zone.Left + Zone.Right) / 2, Zone.Bottom + 2};
    bool FloatingNear = false;
    Form.Drag(From, {{[&] { return M->Bars()->Dragging(); },
                      [&] { GuiTest::MouseMove(Form.FormWindow(), Near); }},
                     {[&] { return Form.Bounds().top != 250; },
                      [&] {
                          FloatingNear = Form.Window()->IsFloating();
                          Clock.Advance(M->WaitForDockingTime() * 2);
                      }},
                     {[&] { return true; }, [&] { Form.Release(Near); }}});
    EXPECT_TRUE(FloatingNear);
    EXPECT_FALSE(M->Bars()->Dragging());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsTop);
}

// A bar dragged off the bottom site: the row below it stays on the form's lower edge all the
// while, it never moves up for a moment before the site shrinks.
TEST(BarFloat, WhileABarLeavesTheBottomSiteTheRowBelowItStaysOnTheEdge) {
    TFakeClock Clock;
    TFloatForm Form;
    Form.Toolbar()->SetRow(0);
    Form.Toolbar()->SetDockingStyle(dsBottom);
    TdxBar* Lower =
        Form.Bars.NewBar("Unten", {Form.Bars.NewItem("&Eins"), Form.Bars.NewItem("&Zwei")});
    Lower->SetDockingStyle(dsBottom);
    Lower->SetRow(1);
    Lower->OneOnRow = true;
    Lower->SetVisible(true);
    GuiTest::Drain();
    ASSERT_TRUE(Lower->Control());
    const HWND LowerWindow = Lower->Control()->Handle();
    RECT Before;
    GetWindowRect(LowerWindow, &Before);
    ASSERT_GT(Before.top, Form.Bounds().top);
    std::vector<LONG> Tops;
    const HHOOK Hook = SetWindowsHookEx(WH_CALLWNDPROC, [&](int Code, WPARAM W, LPARAM L) {
        const auto* Info = reinterpret_cast<const CWPSTRUCT*>(L);
        if (Info->hwnd == LowerWindow && Info->message == WM_WINDOWPOSCHANGED) {
            RECT Now;
            GetWindowRect(LowerWindow, &Now);
            Tops.push_back(Now.top);
        }
        return CallNextHookEx(0, Code, W, L);
    });
    const POINT Away = GuiTest::ScreenOf(Form.FormWindow(), POINT{300, 120});
    Form.Drag(Form.Grip(),
              {{[&] { return Form.Manager()->Bars()->Dragging(); }, [&] { Form.MoveTo(Away); }},
               {[&] { return Form.Window()->IsFloating(); }, [&] { Form.Release(Away); }}});
    UnhookWindowsHookEx(Hook);
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsNone);
    for (LONG Top : Tops) EXPECT_EQ(Top, Before.top);
    RECT After;
    GetWindowRect(LowerWindow, &After);
    EXPECT_EQ(After.top, Before.top);
}

// A click on a floating bar lying under another brings it to the top; the form stays active.
TEST(BarFloat, AClickedFloatingBarComesToTheTopAndTheFormStaysActive) {
    TFloatForm Form;
    Form.Float(200, 250, 200);
    TdxBar* Other = Form.FloatSecond(240, 262, 200);
    ASSERT_TRUE(Other->Control());
    const HWND Upper = Other->Control()->Handle();
    RECT UpperRect;
    GetWindowRect(Upper, &UpperRect);
    const POINT Shared{UpperRect.left + 4, UpperRect.top + 4};
    const RECT LowerRect = Form.Bounds();
    ASSERT_TRUE(PtInRect(&LowerRect, Shared));
    ASSERT_EQ(WindowFromPoint(Shared), Upper);
    const HWND Active = GetActiveWindow();
    // On the lower bar, left of the upper one.
    const POINT OnLower = Form.At(8, Form.Window()->FloatingCaptionRect().Bottom + 6);
    ASSERT_EQ(WindowFromPoint(OnLower), Form.Handle());
    GuiTest::MouseClick(Form.FormWindow(), OnLower);
    GuiTest::Drain();
    // Above the other floating bar (the form itself may come up when the click enters menu
    // mode, which is not what is looked at here).
    bool UpperFollows = false;
    for (HWND Below = GetWindow(Form.Handle(), GW_HWNDNEXT); Below;
         Below = GetWindow(Below, GW_HWNDNEXT))
        UpperFollows = UpperFollows || Below == Upper;
    EXPECT_TRUE(UpperFollows);
    EXPECT_EQ(GetActiveWindow(), Active);
}

// A form whose window is made again (a new border) destroys its floating bars' windows with its
// own: the bars that were shown come back with the new window, where they were, above it and
// working; a bar the user had closed stays closed. The docked menu bar comes back with its site.
TEST(BarFloat, FloatingBarsComeBackWithTheirFormsNewWindow) {
    TFloatForm Form;
    Form.Float(200, 250, 80);
    TdxBar* Closed = Form.FloatSecond(400, 250);
    Closed->SetVisible(false);
    int Clicks = 0;
    Form.Link(Form.Toolbar(), 0)->Item()->OnClick = [&](TObject*) { ++Clicks; };
    const RECT Before = Form.Bounds();
    HWND Old = Form.Handle();
    int Changes = 0;
    Form.Manager()->OnBarVisibleChange = [&](TdxBarManager*, TdxBar*) { ++Changes; };
    auto CameBack = [&](const char* How) {
        SCOPED_TRACE(How);
        GuiTest::Drain();
        const HWND FormWindow = Form.FormWindow();
        EXPECT_TRUE(IsWindowVisible(FormWindow));
        ASSERT_TRUE(Form.Toolbar()->Visible());
        ASSERT_NE(Form.Window(), nullptr);
        // (Asked before anything asks for the handle, which would make a window.)
        ASSERT_TRUE(Form.Window()->HandleAllocated());
        EXPECT_NE(Form.Handle(), Old);
        Old = Form.Handle();
        EXPECT_TRUE(Form.Window()->IsFloating());
        EXPECT_TRUE(IsWindowVisible(Form.Handle()));
        EXPECT_EQ(GetWindow(Form.Handle(), GW_OWNER), FormWindow);
        const RECT After = Form.Bounds();
        EXPECT_EQ(After.left, Before.left);
        EXPECT_EQ(After.top, Before.top);
        EXPECT_EQ(After.right - After.left, Before.right - Before.left);
        EXPECT_EQ(After.bottom - After.top, Before.bottom - Before.top);
        EXPECT_FALSE(Closed->Visible());
        EXPECT_EQ(Closed->Control(), nullptr);
        ASSERT_NE(Form.Menu()->Control(), nullptr);
        EXPECT_TRUE(IsWindowVisible(Form.Menu()->Control()->Handle()));
        // The first button, under the pointer, is the new window's and runs its command.
        const POINT First = Form.ScreenPoint(Form.Toolbar(), 0);
        EXPECT_EQ(WindowFromPoint(First), Form.Handle());
        const int Was = Clicks;
        Form.Click(First);
        EXPECT_EQ(Clicks, Was + 1);
    };
    Form.Bars.Form()->SetBorderIcons(TBorderIcons{biSystemMenu});
    CameBack("border icons");
    // Hidden with the old window and shown with the new one: two changes the program hears of.
    EXPECT_EQ(Changes, 2);
    Form.Bars.Form()->SetBorderStyle(bsSingle);
    CameBack("border style");
}

// In a row too short for its bars, the bar dragged along it stays under the pointer at its full
// length: the bar before it is cut, the bar after it gives way.
TEST(BarFloat, ABarDraggedAlongACrowdedRowStaysWhereThePointerPutsIt) {
    TFakeClock Clock;
    TFloatForm Form;
    TdxBar* First = Form.Toolbar();
    auto AddBar = [&](const char* Caption, int Left) {
        TdxBar* Bar = Form.Bars.NewBar(
            Caption,
            {Form.Bars.NewItem("&Eins"), Form.Bars.NewItem("&Zwei"), Form.Bars.NewItem("&Drei")});
        Bar->SetDockingStyle(dsTop);
        Bar->SetRow(First->Row());
        Bar->SetDockedLeft(Left);
        Bar->SetVisible(true);
        GuiTest::Drain();
        return Bar;
    };
    TdxBar* Middle = AddBar("Mitte", 400);
    TdxBar* Last = AddBar("Ende", 600);
    const int Full = First->Control()->FullLength() + Middle->Control()->FullLength() +
                     Last->Control()->FullLength();
    Form.Bars.Form()->SetWidth(Full - 30);
    GuiTest::Drain();
    ASSERT_EQ(Middle->Control()->Top(), First->Control()->Top());
    ASSERT_EQ(Last->Control()->Top(), First->Control()->Top());
    TdxBarControl* Window = Middle->Control();
    RECT Outer;
    GetWindowRect(Window->Handle(), &Outer);
    const POINT Grip{Outer.left + 4, (Outer.top + Outer.bottom) / 2};
    const int LeftBefore = Window->Left();
    const POINT Along{Grip.x - 25, Grip.y};
    int LeftWhileDragged = -1;
    bool Truncated = true;
    int Polls = 0;
    Form.Drag(Grip,
              {{[&] { return Form.Manager()->Bars()->Dragging(); }, [&] { Form.MoveTo(Along); }},
               {[&] { return Window->Left() != LeftBefore || ++Polls > 50; },
                [&] {
                    LeftWhileDragged = Window->Left();
                    Truncated = Window->Width() < Window->FullLength();
                    Form.Release(Along);
                }}});
    EXPECT_EQ(LeftWhileDragged, LeftBefore - 25);
    EXPECT_FALSE(Truncated);
}

TEST(BarFloat, ADoubleClickOnTheGripFloatsTheBarAndOnTheCaptionDocksItBack) {
    TFloatForm Form;
    const int Row = Form.Toolbar()->Row();
    // Where it floated last time.
    Form.Toolbar()->FloatLeft = 150;
    Form.Toolbar()->FloatTop = 200;
    Form.Toolbar()->FloatClientWidth = 120;
    const POINT Grip = Form.Grip();
    Form.HitTest(Grip);
    GuiTest::MouseDoubleClick(Form.FormWindow(), Grip);
    GuiTest::Drain();
    ASSERT_TRUE(Form.Window()->IsFloating());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsNone);
    EXPECT_EQ(Form.Bounds().left, 150);
    EXPECT_EQ(Form.Bounds().top, 200);
    const POINT Caption = Form.Caption();
    Form.HitTest(Caption);
    GuiTest::MouseDoubleClick(Form.Handle(), Caption);
    GuiTest::Drain();
    EXPECT_FALSE(Form.Window()->IsFloating());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsTop);
    EXPECT_EQ(Form.Toolbar()->Row(), Row);
}

TEST(BarFloat, TheCloseButtonClosesTheBarOnlyWhenReleasedOverIt) {
    for (TdxBarManagerStyle Style : {bmsStandard, bmsFlat}) {
        SCOPED_TRACE(StyleName(Style));
        TFloatForm Form(Style);
        Form.Float(200, 250, 80);
        int Closed = 0;
        Form.Manager()->OnBarClose = [&](TdxBarManager*, TdxBar*) { ++Closed; };
        const TRect C = Form.Window()->CloseButtonRect();
        const POINT Close = Form.At((C.Left + C.Right) / 2, (C.Top + C.Bottom) / 2);
        const POINT Off = Form.At(5, 40);
        auto Captured = [&] { return GetCapture() != 0; };
        Form.Drag(Close,
                  {{Captured, [&] { Form.MoveTo(Off); }}, {Captured, [&] { Form.Release(Off); }}});
        EXPECT_TRUE(Form.Toolbar()->Visible());
        EXPECT_EQ(Closed, 0);
        Form.Drag(Close, {{Captured, [&] { Form.Release(Close); }}});
        EXPECT_FALSE(Form.Toolbar()->Visible());
        EXPECT_EQ(Closed, 1);
    }
}

// A modal window that opens while the close button is held cancels the press: the bar stays,
// whether the button then comes up in the modal window or, after it closed, over the button.
TEST(BarFloat, ACloseButtonPressThatAModalWindowCancelsClosesNothing) {
    for (TdxBarManagerStyle Style : {bmsStandard, bmsFlat}) {
        for (bool ReleaseInModal : {true, false}) {
            SCOPED_TRACE(std::string(StyleName(Style)) + (ReleaseInModal ? " in" : " after"));
            TFloatForm Form(Style);
            Form.Float(200, 250, 80);
            int Closed = 0;
            Form.Manager()->OnBarClose = [&](TdxBarManager*, TdxBar*) { ++Closed; };
            const TRect C = Form.Window()->CloseButtonRect();
            const POINT Close = Form.At((C.Left + C.Right) / 2, (C.Top + C.Bottom) / 2);
            PressCancelledByAModalWindow(Form.FormWindow(), Close, POINT{520, 80}, ReleaseInModal);
            EXPECT_TRUE(Form.Toolbar()->Visible());
            EXPECT_EQ(Closed, 0);
            // The button is itself again: a whole click closes the bar.
            auto Captured = [&] { return GetCapture() != 0; };
            Form.Drag(Close, {{Captured, [&] { Form.Release(Close); }}});
            EXPECT_FALSE(Form.Toolbar()->Visible());
            EXPECT_EQ(Closed, 1);
        }
    }
}

TEST(BarFloat, FloatingBarsHideWhileAnotherFormIsActiveOrTheFormIsMinimisedAndComeBack) {
    TFloatForm Form;
    Form.Float(200, 250, 80);
    auto* Other = new TForm(nullptr);
    Other->SetBounds(500, 400, 200, 100);
    Other->Show();
    GuiTest::Drain();
    const POINT InOther{600, 450};
    GuiTest::MouseClick(Other->Handle(), InOther);
    GuiTest::Drain();
    EXPECT_FALSE(IsWindowVisible(Form.Handle()));
    GuiTest::MouseClick(Form.FormWindow(), Form.FormPoint());
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowVisible(Form.Handle()));
    Other->Free();
    GuiTest::Drain();
    // Minimised with its form, back when the form is restored.
    SendMessage(Form.FormWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    GuiTest::Drain();
    EXPECT_FALSE(IsWindowVisible(Form.Handle()));
    SendMessage(Form.FormWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowVisible(Form.Handle()));
    EXPECT_TRUE(Form.Toolbar()->Visible());
}

// A floating bar shown while its form is not the active window (another form is, or the form is
// not shown yet) waits for the form: the form's activation shows it. Customizing shows it at once.
TEST(BarFloat, AFloatingBarShownWhileItsFormIsInactiveWaitsForTheForm) {
    TFloatForm Form;
    Form.Float(200, 250, 80);
    Form.Toolbar()->SetVisible(false);
    auto* Other = new TForm(nullptr);
    Other->SetBounds(500, 400, 200, 100);
    Other->Show();
    GuiTest::Drain();
    ASSERT_NE(GetActiveWindow(), Form.FormWindow());
    Form.Toolbar()->SetVisible(true);
    GuiTest::Drain();
    EXPECT_FALSE(IsWindowVisible(Form.Handle()));
    GuiTest::MouseClick(Form.FormWindow(), Form.FormPoint());
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowVisible(Form.Handle()));
    // Customizing, the bar shows whichever window is active.
    Form.Toolbar()->SetVisible(false);
    GuiTest::MouseClick(Other->Handle(), POINT{600, 450});
    GuiTest::Drain();
    Form.Manager()->CustomizingMode(true);
    Form.Toolbar()->SetVisible(true);
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowVisible(Form.Handle()));
    Form.Manager()->Customizing(false);
    Other->Free();
    GuiTest::Drain();
}

TEST(BarFloat, TheFlatCloseButtonAndTheCaptionMarkLightUpUnderThePointer) {
    TFakeClock Clock;
    TFloatForm Form;
    Form.Float(200, 250, 80);
    TdxBarControl* W = Form.Window();
    const TRect C = W->CloseButtonRect();
    const TRect Mark = W->FloatingMarkRect();
    ASSERT_FALSE(IsRectEmpty(Mark));
    EXPECT_LE(Mark.Right, C.Left);
    auto Over = [&](const TRect& R) {
        return Form.At((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    };
    GuiTest::MouseMove(Form.Handle(), Form.Caption());
    GuiTest::MouseMove(Form.Handle(), Over(C));
    GuiTest::Drain();
    EXPECT_EQ(W->CaptionButtonState(), TdxBarButtonState::Hot);
    SaveScenePicture({Form.FormWindow(), Form.Handle()}, "floating-toolbar-flat-close-hot");
    GuiTest::MouseMove(Form.Handle(), Form.Caption());
    GuiTest::Drain();
    EXPECT_EQ(W->CaptionButtonState(), TdxBarButtonState::Normal);
    // The mark is hot under the pointer; once the pointer has gone elsewhere the timer cools it
    // even when the window hears of no move.
    GuiTest::MouseMove(Form.Handle(), Over(Mark));
    GuiTest::Drain();
    EXPECT_EQ(W->MarkState(), TdxBarButtonState::Hot);
    SaveScenePicture({Form.FormWindow(), Form.Handle()}, "floating-toolbar-flat-mark-hot");
    Clock.Advance(200);
    EXPECT_EQ(W->MarkState(), TdxBarButtonState::Hot);
    GuiTest::MouseMove(Form.FormWindow(), Form.FormPoint());
    GuiTest::Drain();
    Clock.Advance(50);
    EXPECT_EQ(W->MarkState(), TdxBarButtonState::Normal);
    EXPECT_EQ(Clock.Timers().Count(), 0u);
}

TEST(BarFloat, TheCaptionMarkLeavesRoomToHoldTheBarAndItsGlyphReadsOnTheCaption) {
    for (TdxBarManagerStyle Style : {bmsEnhanced, bmsFlat}) {
        SCOPED_TRACE(StyleName(Style));
        TFakeClock Clock;
        TFloatForm Form(Style);
        // Wide enough: the mark lies inside the caption, clear of the close button, its arrow
        // in the caption's text colour.
        Form.Float(200, 250, 120);
        TdxBarControl* W = Form.Window();
        const TRect Caption = W->FloatingCaptionRect();
        const TRect Close = W->CloseButtonRect();
        TRect Mark = W->FloatingMarkRect();
        ASSERT_FALSE(IsRectEmpty(Mark));
        EXPECT_GE(Mark.Left, Caption.Left);
        EXPECT_LE(Mark.Right, Close.Left);
        const COLORREF Text =
            dxBarSysColor(Style == bmsFlat ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT);
        const QImage Picture = WindowPicture(Form.Handle());
        EXPECT_TRUE(
            GuiTest::HasColorNear(Picture.copy(Mark.Left, Mark.Top, Mark.Width(), Mark.Height()),
                                  GuiTest::ColorOf(Text), 0));
        SaveScenePicture({Form.FormWindow(), Form.Handle()},
                         std::string("floating-toolbar-mark-") + StyleName(Style));
        // One column of buttons (as the main window's toolbar floats): the mark gives way to a
        // piece of caption that moves the bar.
        Form.Toolbar()->SetDockingStyle(dsTop);
        GuiTest::Drain();
        Form.Float(200, 250, 23);
        W = Form.Window();
        Mark = W->FloatingMarkRect();
        EXPECT_TRUE(IsRectEmpty(Mark));
        const TRect Free{Caption.Left, Caption.Top, W->CloseButtonRect().Left, Caption.Bottom};
        ASSERT_GT(Free.Width(), 0);
        const POINT Hold = Form.At((Free.Left + Free.Right) / 2, (Free.Top + Free.Bottom) / 2);
        Form.HitTest(Hold);
        EXPECT_EQ(W->LastHit(), HTCAPTION);
        const POINT To{Hold.x + 40, Hold.y + 30};
        Form.Drag(Hold,
                  {{[&] { return Form.Manager()->Bars()->Dragging(); }, [&] { Form.MoveTo(To); }},
                   {[&] { return Form.Bounds().left != 200; }, [&] { Form.Release(To); }}});
        EXPECT_EQ(Form.Bounds().left, 240);
        EXPECT_EQ(Form.Bounds().top, 280);
        SaveScenePicture({Form.FormWindow(), Form.Handle()},
                         std::string("floating-toolbar-one-column-") + StyleName(Style));
    }
}

TEST(BarFloat, ADockedBarNudgedAcrossItsSiteStaysInItsRow) {
    for (int Nudge : {-4, 4}) {
        SCOPED_TRACE(Nudge);
        TFakeClock Clock;
        TFloatForm Form;
        const int Row = Form.Toolbar()->Row();
        const RECT Before = Form.Bounds();
        const POINT Grip = Form.Grip();
        const POINT To{Grip.x + 30, Grip.y + Nudge};
        Form.Drag(Grip,
                  {{[&] { return Form.Manager()->Bars()->Dragging(); }, [&] { Form.MoveTo(To); }},
                   {[&] { return Form.Bounds().left != Before.left; }, [&] { Form.Release(To); }}});
        EXPECT_FALSE(Form.Window()->IsFloating());
        EXPECT_EQ(Form.Toolbar()->Row(), Row);
        EXPECT_EQ(Form.Bounds().top, Before.top);
    }
}

// The pointer on a menu's detach bar says in the status bar what the bar is for; off it the
// status bar is clear again.
TEST(BarFloat, TheDetachBarTellsTheStatusBarWhatItIsFor) {
    TFloatForm Form;
    TTornOnline Online(Form);
    TdxBarSubMenuControl* Menu = Online.Open();
    ASSERT_NE(Menu, nullptr);
    EXPECT_EQ(Forms.Hint(), "Drag to make this menu float");
    Form.Move(TMenuForm::EntryPoint(Menu, 0));
    EXPECT_EQ(Forms.Hint(), "");
    Form.Tap(Qt::Key_Escape);
}

TEST(BarFloat, TheMenuBarDraggedOntoTheToolbarsRowKeepsARowOfItsOwn) {
    // Dropped anywhere across the toolbar's row (its upper edge, middle and lower edge), the
    // menu bar never shares that row: it stays as wide as the site and clear of the toolbar.
    for (int Across : {2, 50, 98}) {
        SCOPED_TRACE(Across);
        TFakeClock Clock;
        TFloatForm Form;
        TdxBarControl* Menu = Form.Menu()->Control();
        TdxDockControl* Top = Form.Manager()->Bars()->DockControls(dsTop);
        ASSERT_TRUE(Menu && Top);
        RECT MenuRect;
        GetWindowRect(Menu->Handle(), &MenuRect);
        const RECT Bar = Form.Bounds();
        const POINT Grip{MenuRect.left + 4, (MenuRect.top + MenuRect.bottom) / 2};
        const POINT To{Bar.right + 40, Bar.top + int(Bar.bottom - Bar.top) * Across / 100};
        bool Dragged = false;
        Form.Drag(Grip, {{[&] { return Form.Manager()->Bars()->Dragging(); },
                          [&] {
                              Dragged = true;
                              Form.MoveTo(To);
                          }},
                         {[&] { return true; }, [&] { Form.Release(To); }}});
        EXPECT_TRUE(Dragged);
        EXPECT_FALSE(Form.Manager()->Bars()->Dragging());
        ASSERT_EQ(Menu->DockControl(), Top);
        const int MenuRow = Top->RowOfBar(Menu);
        ASSERT_GE(MenuRow, 0);
        EXPECT_EQ(Top->Rows(MenuRow)->ColCount(), 1);
        EXPECT_NE(Top->RowOfBar(Form.Window()), MenuRow);
        EXPECT_EQ(Menu->Width(), Top->ClientRect().Right);
        RECT Both, Now = Form.Bounds();
        GetWindowRect(Menu->Handle(), &MenuRect);
        EXPECT_FALSE(IntersectRect(&Both, &MenuRect, &Now));
    }
}

TEST(BarFloat, ADetachedMenuFloatsAsItsBarUnderTheCursor) {
    TFloatForm Form;
    TTornOnline Online(Form);
    TdxBarSubMenuControl* Menu = Online.Open();
    ASSERT_NE(Menu, nullptr);
    SaveScenePicture({Form.FormWindow(), Menu->Handle()}, "menu-detachable");
    TdxBar* Torn = Online.Torn;
    const POINT Away = Online.Away;
    // Within 15 pixels of the detach bar nothing floats yet.
    const POINT Near{Online.OnBar.x, Online.OnBar.y - 14};
    bool FloatedNear = true;
    Form.Drag(Online.OnBar, {{[&] { return Online.MenuHolds(); }, [&] { Form.MoveTo(Near); }},
                             {[&] { return Online.MenuHolds(); },
                              [&] {
                                  FloatedNear = Torn->Visible();
                                  Form.MoveTo(Away);
                              }},
                             {[&] {
                                  TdxBarControl* W = Torn->Control();
                                  return W && W->HandleAllocated() && W->Left() != 0;
                              },
                              [&] { Form.Release(Away); }}});
    EXPECT_FALSE(FloatedNear);
    EXPECT_EQ(Online.Detaching, 1);
    EXPECT_EQ(Form.OpenMenu(2), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    ASSERT_TRUE(Torn->Visible());
    ASSERT_NE(Torn->Control(), nullptr);
    EXPECT_TRUE(Torn->Control()->IsFloating());
    EXPECT_FALSE(Online.M->Bars()->Dragging());
    RECT B;
    GetWindowRect(Torn->Control()->Handle(), &B);
    EXPECT_LT(std::abs(B.left - Away.x), 40);
    EXPECT_LT(std::abs(B.top - Away.y), 40);
    SaveScenePicture({Form.FormWindow(), Torn->Control()->Handle()}, "menu-detached");
}

TEST(BarFloat, BackNearItsDetachBarTheMenuOpensAgainAndNothingFloats) {
    TFloatForm Form;
    TTornOnline Online(Form);
    ASSERT_NE(Online.Open(), nullptr);
    const POINT Away = Online.Away, OnBar = Online.OnBar;
    const POINT Away2{Away.x + 60, Away.y + 40};
    int Floated = 0, Reopened = 0;
    auto Reopen = [&] { return Online.MenuHolds(); };
    Form.Drag(OnBar, {{[&] { return Online.MenuHolds(); }, [&] { Form.MoveTo(Away); }},
                      {[&] { return Online.Floating(); },
                       [&] {
                           ++Floated;
                           Form.MoveTo(OnBar);
                       }},
                      // Back: the bar goes, the menu is open and holds the drag again; out once
                      // more the bar comes back.
                      {Reopen,
                       [&] {
                           Reopened += !Online.Torn->Visible();
                           Form.MoveTo(Away2);
                       }},
                      {[&] { return Online.Floating(); },
                       [&] {
                           ++Floated;
                           Form.MoveTo(OnBar);
                       }},
                      {Reopen, [&] {
                           Reopened += !Online.Torn->Visible();
                           Form.Release(OnBar);
                       }}});
    EXPECT_EQ(Floated, 2);
    EXPECT_EQ(Reopened, 2);
    EXPECT_EQ(Online.Detaching, 1);
    EXPECT_FALSE(Online.Torn->Visible());
    EXPECT_NE(Form.OpenMenu(2), nullptr);
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_FALSE(Online.M->Bars()->Dragging());
    // The menu opened again is the one a click opens: Esc closes it and leaves menu mode.
    Form.Tap(Qt::Key_Escape);
    EXPECT_EQ(Form.OpenMenu(2), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
}

// Torn off and brought back in one drag, the menu is open again in menu mode; torn off in a second
// drag, the bar follows the pointer (the moves reach the drag while the menus close) and floats
// where the button comes up.
TEST(BarFloat, AMenuBroughtBackAndTornOffAgainFollowsThePointer) {
    TFloatForm Form;
    TTornOnline Online(Form);
    ASSERT_NE(Online.Open(), nullptr);
    const POINT Away = Online.Away, OnBar = Online.OnBar;
    Form.Drag(OnBar, {{[&] { return Online.MenuHolds(); }, [&] { Form.MoveTo(Away); }},
                      {[&] { return Online.Floating(); }, [&] { Form.MoveTo(OnBar); }},
                      {[&] { return Online.MenuHolds(); }, [&] { Form.Release(OnBar); }}});
    ASSERT_NE(Form.OpenMenu(2), nullptr);
    auto Near = [&] {
        TdxBarControl* W = Online.Torn->Control();
        RECT B{};
        if (W && W->HandleAllocated()) GetWindowRect(W->Handle(), &B);
        return Online.Floating() && std::abs(B.left - Away.x) < 40 && std::abs(B.top - Away.y) < 40;
    };
    QElapsedTimer Since;
    bool Followed = false;
    Form.Drag(OnBar, {{[&] { return Online.MenuHolds(); },
                       [&] {
                           Form.MoveTo(POINT{OnBar.x, OnBar.y + 40});
                       }},
                      {[&] { return Online.Floating(); },
                       [&] {
                           Since.start();
                           Form.MoveTo(Away);
                       }},
                      // Given up after 5 s, so that the drag ends either way.
                      {[&] { return Near() || Since.elapsed() > 5000; },
                       [&] {
                           Followed = Near();
                           Form.Release(Away);
                       }}});
    EXPECT_TRUE(Followed);
    EXPECT_EQ(Online.Detaching, 2);
    EXPECT_TRUE(PumpUntil([&] { return ActiveBarControl() == nullptr; }));
    EXPECT_TRUE(Online.Floating());
    EXPECT_FALSE(Online.M->Bars()->Dragging());
    EXPECT_EQ(GetCapture(), 0u);
}

// A drag holds the pointer with a hidden window of its own; while menus are still open (the
// menus a torn-off menu came from close a moment later on a real display), the pointer's moves and
// its release still reach that window.
TEST(BarFloat, WhileMenusAreOpenAHiddenWindowHoldingThePointerGetsItsInput) {
    TFloatForm Form;
    TTornOnline Online(Form);
    ASSERT_NE(Online.Open(), nullptr);
    std::vector<UINT> Seen;
    const HWND Own = AllocateHWnd([&](TMessage& Message) {
        if (Message.Msg == WM_MOUSEMOVE || Message.Msg == WM_LBUTTONUP) Seen.push_back(Message.Msg);
        Message.Result = 0;
    });
    SetCapture(Own);
    ASSERT_NE(ActiveBarControl(), nullptr);
    Form.MoveTo(Online.Away);
    Form.Release(Online.Away);
    GuiTest::Drain();
    EXPECT_EQ(Seen, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP}));
    ReleaseCapture();
    DeallocateHWnd(Own);
}

TEST(BarFloat, ADockedBarTornOffAndBroughtBackIsDockedWhereItWas) {
    TFloatForm Form;
    TTornOnline Online(Form, Form.Toolbar());
    const int Row = Form.Toolbar()->Row();
    const RECT Before = Form.Bounds();
    ASSERT_NE(Online.Open(), nullptr);
    const POINT OnBar = Online.OnBar;
    bool Floated = false;
    Form.Drag(OnBar, {{[&] { return Online.MenuHolds(); }, [&] { Form.MoveTo(Online.Away); }},
                      {[&] { return Online.Floating(); },
                       [&] {
                           Floated = true;
                           Form.MoveTo(OnBar);
                       }},
                      {[&] { return Online.MenuHolds(); }, [&] { Form.Release(OnBar); }}});
    EXPECT_TRUE(Floated);
    ASSERT_TRUE(Form.Toolbar()->Visible());
    EXPECT_FALSE(Form.Window()->IsFloating());
    EXPECT_EQ(Form.Toolbar()->DockingStyle(), dsTop);
    EXPECT_EQ(Form.Toolbar()->Row(), Row);
    const RECT After = Form.Bounds();
    EXPECT_EQ(After.left, Before.left);
    EXPECT_EQ(After.top, Before.top);
}

TEST(BarFloat, EscGivesTheDetachDragUpWithNothingFloatingAndTheMenusClosed) {
    // Esc once the bar floats, or while the pointer is still near the detach bar.
    for (bool Out : {true, false}) {
        SCOPED_TRACE(Out ? "floating" : "near");
        TFakeClock Clock;
        TFloatForm Form;
        TTornOnline Online(Form);
        ASSERT_NE(Online.Open(), nullptr);
        const int FloatLeft = Online.Torn->FloatLeft, FloatTop = Online.Torn->FloatTop;
        // Esc goes in as the platform's keys, to the form that has the focus.
        auto Esc = [&] { QTest::keyPress(GuiTest::QtWindowOf(Form.FormWindow()), Qt::Key_Escape); };
        const POINT To = Out ? Online.Away : Online.OnBar;
        std::vector<std::pair<std::function<bool()>, std::function<void()>>> Steps;
        if (Out)
            Steps = {{[&] { return Online.MenuHolds(); }, [&] { Form.MoveTo(To); }},
                     {[&] { return Online.Floating(); }, Esc}};
        else
            Steps = {{[&] { return Online.MenuHolds(); }, Esc}};
        Steps.push_back({[&] { return GetCapture() == 0; }, [&] { Form.Release(To); }});
        Form.Drag(Online.OnBar, Steps);
        EXPECT_FALSE(Online.Torn->Visible());
        EXPECT_EQ(Online.Torn->FloatLeft, FloatLeft);
        EXPECT_EQ(Online.Torn->FloatTop, FloatTop);
        EXPECT_EQ(Form.OpenMenu(2), nullptr);
        EXPECT_EQ(ActiveBarControl(), nullptr);
        EXPECT_FALSE(Online.M->Bars()->Dragging());
        EXPECT_EQ(GetCapture(), 0u);
    }
}

}  // namespace

namespace {

// The caption mark of a floating bar opens quick customizing as the docked mark does, under the
// mark; a second press closes it.
TEST(BarFloat, TheCaptionMarkOpensQuickCustomizingBelowIt) {
    for (TdxBarManagerStyle Style : {bmsEnhanced, bmsFlat}) {
        SCOPED_TRACE(StyleName(Style));
        TFloatForm Form(Style);
        Form.Float(200, 250, 120);
        TdxBarControl* W = Form.Window();
        const TRect Mark = W->FloatingMarkRect();
        ASSERT_FALSE(IsRectEmpty(Mark));
        const POINT Over = Form.At((Mark.Left + Mark.Right) / 2, (Mark.Top + Mark.Bottom) / 2);
        Form.Click(Over);
        TdxBarQuickControl* Quick = OpenQuickControl();
        ASSERT_NE(Quick, nullptr);
        EXPECT_EQ(Quick->OwningBarControl(), W);
        EXPECT_EQ(W->MarkState(), TdxBarButtonState::Down);
        EXPECT_EQ(Quick->Top(), Form.At(0, Mark.Bottom).y);
        EXPECT_GE(Quick->Left() + Quick->Width(), Form.At(Mark.Left, 0).x);
        EXPECT_LE(Quick->Left(), Form.At(Mark.Right, 0).x);
        SaveScenePicture({Form.FormWindow(), Form.Handle(), Quick->Handle()},
                         std::string("floating-toolbar-quick-customizing-") + StyleName(Style));
        Form.Click(Over);
        EXPECT_EQ(OpenQuickControl(), nullptr);
    }
}

}  // namespace
