// Dragging links in customizing mode, by real input through the platform's translation: a press
// on a link and a move out of the drag rectangle start the manager's drag loop, and the script's
// steps feed it, each once the loop has answered the one before. Dropped off every bar a link
// goes (Ctrl keeps it); nudged a few pixels on its own place it starts or ends a group; dropped
// on another link it moves (or with Ctrl copies) there, also into another bar and into a menu;
// Esc changes nothing. The insertion mark is drawn by inverting pixels, so drawing it twice
// leaves the window as it was.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <string>
#include <vector>

#include "bars/customize/dxBarDrag.h"
#include "bars/dxBar.h"
#include "platform/core/WindowPicture.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

POINT Shifted(POINT P, int DX, int DY = 0) {
    return POINT{P.x + DX, P.y + DY};
}

HCURSOR CursorOf(int Number) {
    return dxBarCursor(Number);
}

// The main window's bars in customizing mode, with a second toolbar "Extra" (Start, Ende) below
// the program's toolbar.
struct TDragForm : TMenuForm {
    TDragForm() : TMenuForm(640) {
        Extra = Bars.NewBar("Extra", {Bars.Button("BarButtonStart"), Bars.Button("BarButtonExit")});
        Extra->SetRow(2);
        Extra->SetVisible(true);
        GuiTest::Drain();
        Manager()->CustomizingMode(true);
        GuiTest::Drain();
    }
    TdxBar* Extra = nullptr;

    // The captions of a links collection, a "|" before each link that begins a group.
    static std::string Captions(TdxBarItemLinks* Links) {
        std::string Out;
        for (int I = 0; I < Links->Count(); ++I) {
            TdxBarItemLink* Link = Links->Items(I);
            if (I > 0) Out += Link->OwnBeginGroup() ? " | " : " ";
            Out += Link->Item()->Caption();
        }
        return Out;
    }
    // A point of a link Fraction of the way along it (0 its start edge, 1 its end edge).
    static POINT Along(TdxBarItemLink* Link, double Fraction, bool Vertical) {
        const TRect R = Link->ItemRect();
        const int Start = Vertical ? R.Top : R.Left, Length = Vertical ? R.Height() : R.Width();
        const int At = Start + int(Length * Fraction);
        const POINT Client{Vertical ? (R.Left + R.Right) / 2 : At,
                           Vertical ? At : (R.Top + R.Bottom) / 2};
        return GuiTest::ScreenOf(Link->Links()->BarControl()->Handle(), Client);
    }
    // The link's window shows it where it lies now (a menu that opens lays itself out once
    // shown).
    static bool Placed(TdxBarItemLink* Link) {
        TCustomdxBarControl* Window = Link->Links()->BarControl();
        return Window && Window->HandleAllocated() && IsWindowVisible(Window->Handle()) &&
               !IsRectEmpty(Link->ItemRect());
    }
    bool Selects(TdxBarItemLink* Link) const {
        return Link->Control() && Manager()->CustomizingSelection() == Link->Control();
    }
    bool ShowsCursor(int Number) const { return GetCursor() == CursorOf(Number); }

    // Input for the drag loop without a pass of the test's own (the loop takes it). Mouse input
    // carries the keys held, as the desktop's does.
    void MoveTo(POINT P) {
        QTest::mouseEvent(QTest::MouseMove, Window(), Qt::NoButton, Held,
                          GuiTest::LocalOf(FormWindow(), P));
    }
    void ReleaseAt(POINT P) { GuiTest::MouseRelease(FormWindow(), P, Qt::LeftButton, Held); }
    void Key(Qt::Key K, bool Down) {
        if (K == Qt::Key_Control) Held = Down ? Qt::ControlModifier : Qt::NoModifier;
        if (Down)
            QTest::keyPress(Window(), K, Held);
        else
            QTest::keyRelease(Window(), K, Held);
    }
    Qt::KeyboardModifiers Held = Qt::NoModifier;

    // Presses on a link and moves the pointer by Start along the bar (out of the drag
    // rectangle): the drag begins, and the steps follow.
    using TStep = TLoopStep;
    void Drag(TdxBarItemLink* Link, POINT Start, std::vector<TStep> Steps) {
        const POINT From = Middle(Link);
        GuiTest::TScript Script;
        // Given to the window under the link (a menu is a window of its own).
        const HWND Under = Via(From);
        Script.Then([&] {
            GuiTest::MouseMove(Under, From);
            GuiTest::MousePress(Under, From);
            GuiTest::MouseMove(Under, Shifted(From, Start.x, Start.y));
        });
        RunSteps(Script, Steps);
    }
    void RunSteps(GuiTest::TScript& Script, std::vector<TStep>& Steps) {
        AddLoopSteps(Script, Steps);
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Manager()->Dragging(); }));
        GuiTest::Drain();
    }
    std::function<bool()> Dragging() const {
        return [this] { return Manager()->Dragging(); };
    }
    // The loop took the press: a drag started now starts while the button is down, as one a
    // window starts from its press does. (A step armed before the press may come inside the
    // QTest call that gives it, before any loop took it.)
    static std::function<bool()> Pressed() {
        return [] { return GetKeyState(VK_LBUTTON) < 0; };
    }
};

TEST(BarDrag, ALinkDroppedOffEveryBarGoesUnlessCtrlIsHeld) {
    struct TCase {
        const char* What;
        int Link;
        bool Ctrl;
        // Konfiguration begins a group before the drag.
        bool SecondGroup;
        const char* Toolbar;
    };
    // The toolbar: Laden, Konfiguration | Start MultiStart | News bestellen | Ende.
    const TCase Cases[] = {
        {"a plain link", 1, false, false,
         "&Laden... | &Start &MultiStart | News &bestellen... | &Ende"},
        {"a group's first link hands its separator on", 2, false, false,
         "&Laden... &Konfiguration... | &MultiStart | News &bestellen... | &Ende"},
        {"with Ctrl", 2, true, false,
         "&Laden... &Konfiguration... | &Start &MultiStart | News &bestellen... | &Ende"},
        {"the first link: the next one, first now, drops its separator", 0, false, true,
         "&Konfiguration... | &Start &MultiStart | News &bestellen... | &Ende"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TDragForm Form;
        TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
        if (C.SecondGroup) {
            Links->Items(1)->SetBeginGroup(true);
            GuiTest::Drain();
        }
        const POINT Off = Form.FormPoint();
        Form.Drag(
            Links->Items(C.Link), POINT{3, 0},
            {{Form.Dragging(),
              [&] {
                  if (C.Ctrl) Form.Key(Qt::Key_Control, true);
                  Form.MoveTo(Off);
              }},
             {[&] { return Form.ShowsCursor(crdxBarDragNoDrop); }, [&] { Form.ReleaseAt(Off); }}});
        if (C.Ctrl) Form.KeyUp(Qt::Key_Control);
        EXPECT_EQ(TDragForm::Captions(Links), C.Toolbar);
        EXPECT_FALSE(Links->Items(0)->OwnBeginGroup());
        EXPECT_EQ(Form.Manager()->CustomizingSelection(), nullptr);
        EXPECT_EQ(GetCapture(), 0u);
    }
}

TEST(BarDrag, CtrlSwitchesTheCursorAtOnceAndEscChangesNothing) {
    TDragForm Form;
    TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
    const std::string Before = TDragForm::Captions(Links);
    const std::string ExtraBefore = TDragForm::Captions(Form.Extra->ItemLinks());
    // The cursor as the drag began, before it follows the pointer.
    HCURSOR AtStart = 0;
    TdxBarItemLink* Target = Form.Extra->ItemLinks()->Items(0);
    std::vector<HCURSOR> Seen;
    auto Note = [&] { Seen.push_back(GetCursor()); };
    Form.Drag(
        Links->Items(3), POINT{3, 0},
        {{Form.Dragging(),
          [&] {
              AtStart = GetCursor();
              Form.MoveTo(TDragForm::Middle(Target));
          }},
         {[&] { return Form.Selects(Target); },
          [&] {
              Note();
              Form.Key(Qt::Key_Control, true);
          }},
         {[&] { return Form.ShowsCursor(crdxBarDragCopy); },
          [&] {
              Note();
              Form.Key(Qt::Key_Control, false);
          }},
         {[&] { return Form.ShowsCursor(crdxBarDrag); },
          [&] {
              Note();
              Form.MoveTo(Form.FormPoint());
          }},
         {[&] { return Form.ShowsCursor(crdxBarDragNoDrop); },
          [&] {
              Note();
              Form.MoveTo(TDragForm::Middle(Target));
          }},
         {[&] { return Form.ShowsCursor(crdxBarDrag); }, [&] { Form.Key(Qt::Key_Escape, true); }}});
    Form.KeyUp(Qt::Key_Escape);
    const std::vector<HCURSOR> Expected = {CursorOf(crdxBarDrag), CursorOf(crdxBarDragCopy),
                                           CursorOf(crdxBarDrag), CursorOf(crdxBarDragNoDrop)};
    EXPECT_EQ(Seen, Expected);
    EXPECT_EQ(GetCursor(), AtStart);
    EXPECT_EQ(TDragForm::Captions(Links), Before);
    EXPECT_EQ(TDragForm::Captions(Form.Extra->ItemLinks()), ExtraBefore);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST(BarDrag, ANudgeAlongTheBarStartsOrEndsAGroupBeyondThreePixels) {
    struct TCase {
        const char* What;
        int Link;
        int Distance;
        bool Group;
    };
    // MultiStart begins no group, Start begins one.
    const TCase Cases[] = {
        {"4 px right starts a group", 3, 4, true},
        {"4 px left ends one", 2, -4, false},
        {"3 px right change nothing", 3, 3, false},
        {"3 px left change nothing", 2, -3, true},
        {"right on a group's start keeps it", 2, 6, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TDragForm Form;
        TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
        TdxBarItemLink* Link = Links->Items(C.Link);
        const int Count = Links->Count();
        const int Start = C.Distance > 0 ? 3 : -3;
        const POINT Drop = Shifted(TDragForm::Middle(Link), Start + C.Distance);
        Form.Drag(Link, POINT{Start, 0},
                  {{Form.Dragging(), [&] { Form.MoveTo(Drop); }},
                   {[&] { return Form.Selects(Link); }, [&] { Form.ReleaseAt(Drop); }}});
        ASSERT_EQ(Links->Count(), Count);
        EXPECT_EQ(Links->Items(C.Link), Link);
        EXPECT_EQ(Link->OwnBeginGroup(), C.Group);
    }
}

TEST(BarDrag, ACommandDroppedOnAnEmptyToolbarBecomesItsFirstLink) {
    TDragForm Form;
    TdxBar* Empty = Form.Bars.NewBar("Empty", {});
    Empty->SetRow(3);
    Empty->SetVisible(true);
    GuiTest::Drain();
    TCustomdxBarControl* Window = Empty->Control();
    ASSERT_NE(Window, nullptr);
    const TRect Client = Window->ClientRect();
    const POINT Into =
        GuiTest::ScreenOf(Window->Handle(), POINT{Client.Right / 2, Client.Bottom / 2});
    TdxBarItem* Command = Form.Bars.Button("Telnet1");
    const POINT Away = Form.FormPoint();
    GuiTest::TScript Script;
    // The customizing dialog starts a drag of a command with no link while the button is down.
    Script.Then([&] {
        Form.MoveTo(Away);
        GuiTest::MousePress(Form.FormWindow(), Away);
    });
    Script.ThenWhen(TDragForm::Pressed(), [&] { Form.Manager()->DragItem(Command, nullptr); });
    std::vector<TDragForm::TStep> Steps = {
        {Form.Dragging(), [&] { Form.MoveTo(Into); }},
        {[&] { return Form.ShowsCursor(crdxBarDragCopy); }, [&] { Form.ReleaseAt(Into); }}};
    Form.RunSteps(Script, Steps);
    ASSERT_EQ(Empty->ItemLinks()->Count(), 1);
    EXPECT_EQ(Empty->ItemLinks()->Items(0)->Item(), Command);
    ASSERT_NE(Empty->ItemLinks()->Items(0)->Control(), nullptr);
    EXPECT_EQ(Form.Manager()->CustomizingSelection(), Empty->ItemLinks()->Items(0)->Control());
}

TEST(BarDrag, LinksMoveAndCopyBetweenBarsAndIntoAMenu) {
    struct TCase {
        const char* What;
        bool Ctrl;
        bool IntoMenu;
        const char* Toolbar;
        const char* Target;
    };
    // Konfiguration goes before Ende on "Extra", or before Wizard in the Kestro menu.
    const TCase Cases[] = {
        {"moved to another bar", false, false,
         "&Laden... | &Start &MultiStart | News &bestellen... | &Ende",
         "&Start &Konfiguration... &Ende"},
        {"copied to another bar", true, false,
         "&Laden... &Konfiguration... | &Start &MultiStart | News &bestellen... | &Ende",
         "&Start &Konfiguration... &Ende"},
        {"moved into a menu", false, true,
         "&Laden... | &Start &MultiStart | News &bestellen... | &Ende",
         "&Optionen... &Konfiguration... &Wizard... | &Ende"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TDragForm Form;
        TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
        TCustomdxBarSubItem* Kestro = Form.SubItem(0);
        TdxBarItemLinks* Target = C.IntoMenu ? Kestro->ItemLinks() : Form.Extra->ItemLinks();
        TdxBarItemLink* Before = Target->Items(1);
        std::vector<TDragForm::TStep> Steps;
        if (C.IntoMenu) {
            // Over the menu bar's Kestro its menu opens.
            Steps.push_back(
                {Form.Dragging(), [&] { Form.MoveTo(Form.ScreenPoint(Form.Menu(), 0)); }});
            Steps.push_back({[&] { return TDragForm::Placed(Before); },
                             [&] { Form.MoveTo(TDragForm::Along(Before, 0.25, true)); }});
        } else {
            Steps.push_back({Form.Dragging(), [&] {
                                 if (C.Ctrl) Form.Key(Qt::Key_Control, true);
                                 Form.MoveTo(TDragForm::Along(Before, 0.25, false));
                             }});
        }
        Steps.push_back({[&] { return Form.Selects(Before); },
                         [&] { Form.ReleaseAt(TDragForm::Along(Before, 0.25, C.IntoMenu)); }});
        Form.Drag(Links->Items(1), POINT{0, 3}, Steps);
        if (C.Ctrl) Form.KeyUp(Qt::Key_Control);
        EXPECT_EQ(TDragForm::Captions(Links), C.Toolbar);
        EXPECT_EQ(TDragForm::Captions(Target), C.Target);
        TdxBarItemLink* New = Target->Items(1);
        EXPECT_EQ(New->Item(), Form.Bars.Button("Editieren1"));
        ASSERT_NE(New->Control(), nullptr);
        EXPECT_EQ(Form.Manager()->CustomizingSelection(), New->Control());
    }
}

TEST(BarDrag, TheMarkShowsOnlyWhereAMoveWouldChangeSomething) {
    TDragForm Form;
    TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
    TCustomdxBarControl* Window = Form.Toolbar()->Control();
    struct TCase {
        const char* What;
        int Source;  // -1: a command of the customizing dialog
        bool Copying;
        int Drop;
        bool OnSeparator, Before;
        bool Shown;
    };
    // Laden, Konfiguration | Start MultiStart | News bestellen | Ende.
    const TCase Cases[] = {
        {"a command", -1, false, 1, false, false, true},
        {"a copy onto its own link", 1, true, 1, false, false, true},
        {"its own link", 1, false, 1, false, false, false},
        {"its own link's separator, start half", 3, false, 3, true, true, true},
        {"after the link before it", 1, false, 0, false, false, false},
        {"onto the link before it", 1, false, 0, false, true, true},
        {"after the link before it, starting a group", 2, false, 1, false, false, true},
        {"before the link after it", 0, false, 1, false, true, false},
        {"the separator before the link after it", 0, false, 1, true, true, false},
        {"after the link after it", 0, false, 1, false, false, true},
        {"before the link after it that starts a group", 1, false, 2, false, true, true},
        {"a link further on", 0, false, 4, false, false, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        const TdxBarItemLink* Source = C.Source < 0 ? nullptr : Links->Items(C.Source);
        const TdxBarDropPlace Place{Window, Links->Items(C.Drop), C.OnSeparator, C.Before, false};
        EXPECT_EQ(dxBarInsertionMarkWanted(Source, C.Copying, Place), C.Shown);
    }
    EXPECT_FALSE(dxBarInsertionMarkWanted(nullptr, false, TdxBarDropPlace{Window}));
}

TEST(BarDrag, TheMarkLiesAtTheEdgeWhereTheNewLinkGoes) {
    TDragForm Form;
    TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
    TCustomdxBarControl* Toolbar = Form.Toolbar()->Control();
    // The Kestro menu: Optionen, Wizard | Ende.
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    TdxBarSubMenuControl* Menu = Form.OpenMenu(0);
    ASSERT_NE(Menu, nullptr);
    TdxBarItemLinks* Entries = Menu->ItemLinks();
    struct TCase {
        const char* What;
        TCustomdxBarControl* Window;
        TdxBarItemLink* Drop;
        bool OnSeparator, Before;
        TdxBarItemLink* On;
        bool AtEnd;
    };
    const TCase Cases[] = {
        {"after a link of a group: the next one's start", Toolbar, Links->Items(0), false, false,
         Links->Items(1), false},
        {"after a group's last link: its end", Toolbar, Links->Items(1), false, false,
         Links->Items(1), true},
        {"before a group's first link: behind the separator", Toolbar, Links->Items(2), false, true,
         Links->Items(2), false},
        {"before a link inside a group", Toolbar, Links->Items(3), false, true, Links->Items(3),
         false},
        {"after the last link", Toolbar, Links->Items(5), false, false, Links->Items(5), true},
        {"a menu's separator, start half: in front of it", Menu, Entries->Items(2), true, true,
         Entries->Items(1), true},
        {"a menu's separator, end half: behind it", Menu, Entries->Items(2), true, false,
         Entries->Items(2), false},
        {"before a menu entry", Menu, Entries->Items(1), false, true, Entries->Items(1), false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        const bool Vertical = C.Window == Menu;
        const TdxBarInsertionMark Mark = dxBarInsertionMarkOf(
            TdxBarDropPlace{C.Window, C.Drop, C.OnSeparator, C.Before, Vertical});
        const TRect R = C.Window->GetItemRect(C.On->Control());
        const int Start = Vertical ? R.Top : R.Left, End = Vertical ? R.Bottom : R.Right;
        EXPECT_EQ(Mark.Window, C.Window);
        EXPECT_EQ(Mark.Span, R);
        EXPECT_EQ(Mark.Edge, C.AtEnd ? End - kdxBarInsertionMarkSize : Start);
        EXPECT_EQ(Mark.Vertical, Vertical);
    }
}

TEST(BarDrag, TheMarkInvertsAnIBeamAndDrawnTwiceLeavesThePixelsAsTheyWere) {
    TDragForm Form;
    TCustomdxBarControl* Window = Form.Toolbar()->Control();
    TdxBarItemLink* Link = Form.Toolbar()->ItemLinks()->Items(3);
    const TdxBarDropPlace Place{Window, Link, false, true, false};
    const TdxBarInsertionMark Mark = dxBarInsertionMarkOf(Place);
    // Window picture coordinates of the client's origin.
    RECT W;
    GetWindowRect(Window->Handle(), &W);
    const POINT Origin = GuiTest::ScreenOf(Window->Handle(), POINT{0, 0});
    const int DX = Origin.x - W.left, DY = Origin.y - W.top;
    const QImage Before = WindowPicture(Window->Handle());
    DrawInsertionMark(Place);
    const QImage Marked = WindowPicture(Window->Handle());
    DrawInsertionMark(Place);
    EXPECT_EQ(WindowPicture(Window->Handle()), Before);
    // The I-beam: a bar of 6 and one of 4 pixels at each end, a stem of two columns between.
    const int X = Mark.Edge, T = Mark.Span.Top, B = Mark.Span.Bottom;
    auto Inverted = [&](int CX, int CY) {
        const QRgb Was = Before.pixel(CX + DX, CY + DY), Now = Marked.pixel(CX + DX, CY + DY);
        return (Now & 0xFFFFFF) == (~Was & 0xFFFFFF);
    };
    int Changed = 0;
    for (int Y = 0; Y < Before.height(); ++Y)
        for (int CX = 0; CX < Before.width(); ++CX)
            if (Before.pixel(CX, Y) != Marked.pixel(CX, Y)) ++Changed;
    EXPECT_EQ(Changed, 6 + 4 + 2 * (B - T - 4) + 4 + 6);
    struct TPixel {
        int X, Y;
        bool Inverted;
    };
    const TPixel Pixels[] = {
        {X, T, true},
        {X + 5, T, true},
        {X + 6, T, false},
        {X, T + 1, false},
        {X + 1, T + 1, true},
        {X + 4, T + 1, true},
        {X + 2, T + 2, true},
        {X + 3, (T + B) / 2, true},
        {X + 1, (T + B) / 2, false},
        {X + 4, (T + B) / 2, false},
        {X + 2, B - 3, true},
        {X + 1, B - 2, true},
        {X + 5, B - 2, false},
        {X, B - 1, true},
        {X + 5, B - 1, true},
        {X, B, false},
    };
    for (const TPixel& P : Pixels)
        EXPECT_EQ(Inverted(P.X, P.Y), P.Inverted) << P.X - X << ", " << P.Y - T;
}

TEST(BarDrag, DroppedOnTheStartOfAGroupALinkTakesOverItsSeparator) {
    struct TCase {
        const char* What;
        double At;
        const char* Toolbar;
    };
    // Konfiguration onto Start, which begins a group: on its start half it joins that group in
    // front of Start; on its end half it goes behind Start.
    const TCase Cases[] = {
        {"start half", 0.25,
         "&Laden... | &Konfiguration... &Start &MultiStart | News &bestellen... | &Ende"},
        {"end half", 0.75,
         "&Laden... | &Start &Konfiguration... &MultiStart | News &bestellen... | &Ende"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TDragForm Form;
        TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
        TdxBarItemLink* Start = Links->Items(2);
        const POINT Drop = TDragForm::Along(Start, C.At, false);
        Form.Drag(Links->Items(1), POINT{0, 3},
                  {{Form.Dragging(), [&] { Form.MoveTo(Drop); }},
                   {[&] { return Form.Selects(Start); }, [&] { Form.ReleaseAt(Drop); }}});
        EXPECT_EQ(TDragForm::Captions(Links), C.Toolbar);
    }
}

TEST(BarDrag, AMenuEntryNudgedDownStartsAGroup) {
    TDragForm Form;
    TCustomdxBarSubItem* Kestro = Form.SubItem(0);
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    ASSERT_NE(TMenuForm::MenuOf(Kestro), nullptr);
    TdxBarItemLink* Wizard = Kestro->ItemLinks()->Items(1);
    const POINT Drop = Shifted(TDragForm::Middle(Wizard), 0, 3 + 4);
    Form.Drag(Wizard, POINT{0, 3},
              {{Form.Dragging(), [&] { Form.MoveTo(Drop); }},
               {[&] { return Form.Selects(Wizard); }, [&] { Form.ReleaseAt(Drop); }}});
    EXPECT_EQ(TDragForm::Captions(Kestro->ItemLinks()), "&Optionen... | &Wizard... | &Ende");
}

TEST(BarDrag, ABarDockedAtASideNudgesDownAndShowsAnUprightMark) {
    TDragForm Form;
    // Tall enough for the whole bar down the side.
    Form.Bars.Form()->SetBounds(20, 20, 640, 400);
    Form.Toolbar()->SetDockingStyle(dsLeft);
    GuiTest::Drain();
    TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
    TCustomdxBarControl* Window = Form.Toolbar()->Control();
    ASSERT_TRUE(IsVerticalBar(Window));
    TdxBarItemLink* MultiStart = Links->Items(3);
    // The mark lies across the bar, at the top edge of the link the new one goes before.
    bool OnSeparator = true, Before = false, Vertical = false;
    const POINT Upper = TDragForm::Along(MultiStart, 0.25, true);
    POINT Client = Upper;
    ScreenToClient(Window->Handle(), &Client);
    ASSERT_EQ(Window->GetDropPlace(TPoint{Client.x, Client.y}, OnSeparator, Before, Vertical),
              MultiStart->Control());
    EXPECT_TRUE(Vertical);
    const TdxBarInsertionMark Mark =
        dxBarInsertionMarkOf(TdxBarDropPlace{Window, MultiStart, OnSeparator, Before, Vertical});
    EXPECT_TRUE(Mark.Vertical);
    EXPECT_EQ(Mark.Edge, Window->GetItemRect(MultiStart->Control()).Top);
    const POINT Drop = Shifted(TDragForm::Middle(MultiStart), 0, 3 + 4);
    Form.Drag(MultiStart, POINT{0, 3},
              {{Form.Dragging(), [&] { Form.MoveTo(Drop); }},
               {[&] { return Form.Selects(MultiStart); }, [&] { Form.ReleaseAt(Drop); }}});
    EXPECT_TRUE(MultiStart->OwnBeginGroup());
}

TEST(BarDrag, QuitAndALostCaptureEndTheDragWithoutAChange) {
    enum TEnd { Quit, LostCapture };
    for (TEnd End : {Quit, LostCapture}) {
        SCOPED_TRACE(End == Quit ? "quit" : "capture lost");
        TDragForm Form;
        TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
        const std::string Before = TDragForm::Captions(Links);
        const std::string ExtraBefore = TDragForm::Captions(Form.Extra->ItemLinks());
        TdxBarItemLink* Source = Links->Items(3);
        TdxBarItemLink* Target = Form.Extra->ItemLinks()->Items(0);
        const POINT From = TDragForm::Middle(Source);
        bool QuitHandedOut = false;
        GuiTest::TScript Script;
        Script.Then([&] {
            Form.MoveTo(From);
            GuiTest::MousePress(Form.FormWindow(), From);
        });
        // The drag a bar window starts from the press, as the loop runs it.
        Script.ThenWhen(TDragForm::Pressed(), [&] {
            Form.Manager()->DragItem(Source->Item(), Source);
            MSG Msg;
            QuitHandedOut = PeekMessage(&Msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE) && Msg.wParam == 9;
        });
        std::vector<TDragForm::TStep> Steps = {
            {Form.Dragging(), [&] { Form.MoveTo(TDragForm::Middle(Target)); }},
            {[&] { return Form.Selects(Target); },
             [&] {
                 if (End == Quit)
                     PostQuitMessage(9);
                 else
                     ReleaseCapture();
             }},
            {[&] { return !Form.Manager()->Dragging(); },
             [&] { Form.ReleaseAt(TDragForm::Middle(Target)); }}};
        Form.RunSteps(Script, Steps);
        EXPECT_EQ(QuitHandedOut, End == Quit);
        EXPECT_FALSE(Application.Terminated());
        EXPECT_EQ(TDragForm::Captions(Links), Before);
        EXPECT_EQ(TDragForm::Captions(Form.Extra->ItemLinks()), ExtraBefore);
    }
}

TEST(BarDrag, AMenuEntryDraggedOntoAToolbarMovesThere) {
    TDragForm Form;
    TCustomdxBarSubItem* Kestro = Form.SubItem(0);
    // A click on Kestro opens its menu; a click on an entry selects it and leaves the menu open.
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    TdxBarSubMenuControl* Menu = TMenuForm::MenuOf(Kestro);
    ASSERT_NE(Menu, nullptr);
    TdxBarItemLink* Wizard = Kestro->ItemLinks()->Items(1);
    Form.Click(TDragForm::Middle(Wizard));
    ASSERT_EQ(TMenuForm::MenuOf(Kestro), Menu);
    EXPECT_TRUE(Form.Selects(Wizard));
    // The toolbar's last link lies clear of the open menu.
    TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
    TdxBarItemLink* Target = Links->Items(5);
    const POINT Drop = TDragForm::Along(Target, 0.8, false);
    Form.Drag(Wizard, POINT{0, 3},
              {{Form.Dragging(), [&] { Form.MoveTo(Drop); }},
               {[&] { return Form.Selects(Target); }, [&] { Form.ReleaseAt(Drop); }}});
    EXPECT_EQ(TDragForm::Captions(Kestro->ItemLinks()), "&Optionen... | &Ende");
    EXPECT_EQ(TDragForm::Captions(Links),
              "&Laden... &Konfiguration... | &Start &MultiStart | News &bestellen... | &Ende "
              "&Wizard...");
    // The bar that took the link is the one in menu mode now.
    EXPECT_EQ(ActiveBarControl(), Form.Toolbar()->Control());
}

TEST(BarDrag, ASubItemIsNeverDroppedIntoItsOwnMenu) {
    TDragForm Form;
    TCustomdxBarSubItem* Kestro = Form.SubItem(0);
    const std::string Before = TDragForm::Captions(Kestro->ItemLinks());
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    ASSERT_NE(TMenuForm::MenuOf(Kestro), nullptr);
    TdxBarItemLink* Wizard = Kestro->ItemLinks()->Items(1);
    const POINT Into = TDragForm::Along(Wizard, 0.25, true);
    bool NoDrop = false;
    GuiTest::TScript Script;
    // Kestro dragged out of the customizing dialog's command list.
    Script.Then([&] { Form.Manager()->DragItem(Kestro, nullptr); });
    std::vector<TDragForm::TStep> Steps = {{Form.Dragging(), [&] { Form.MoveTo(Into); }},
                                           {[&] { return Form.ShowsCursor(crdxBarDragNoDrop); },
                                            [&] {
                                                NoDrop = true;
                                                Form.ReleaseAt(Into);
                                            }}};
    Form.RunSteps(Script, Steps);
    EXPECT_TRUE(NoDrop);
    EXPECT_EQ(TDragForm::Captions(Kestro->ItemLinks()), Before);
}

// Pictures of a drag for review: the dragged link framed, the mark where it would land, in the
// toolbar and in a menu; and the drag's three cursors, enlarged.
TEST(BarDrag, PicturesOfADragWithTheMarkAndTheCursors) {
    {
        TDragForm Form;
        TdxBarItemLinks* Links = Form.Toolbar()->ItemLinks();
        TdxBarItemLink* Target = Links->Items(0);
        Form.Drag(Links->Items(3), POINT{3, 0},
                  {{Form.Dragging(), [&] { Form.MoveTo(TDragForm::Along(Target, 0.8, false)); }},
                   {[&] { return Form.Selects(Target); },
                    [&] {
                        SaveScenePicture({Form.FormWindow()}, "customizing-drag-toolbar");
                        Form.Key(Qt::Key_Escape, true);
                    }}});
        Form.KeyUp(Qt::Key_Escape);
    }
    {
        TDragForm Form;
        TCustomdxBarSubItem* Kestro = Form.SubItem(0);
        TdxBarItemLink* Target = Kestro->ItemLinks()->Items(1);
        Form.Drag(Form.Toolbar()->ItemLinks()->Items(3), POINT{3, 0},
                  {{Form.Dragging(), [&] { Form.MoveTo(Form.ScreenPoint(Form.Menu(), 0)); }},
                   {[&] { return TDragForm::Placed(Target); },
                    [&] { Form.MoveTo(TDragForm::Along(Target, 0.2, true)); }},
                   {[&] { return Form.Selects(Target); },
                    [&] {
                        SaveScenePicture({Form.FormWindow(), TMenuForm::MenuOf(Kestro)->Handle()},
                                         "customizing-drag-menu");
                        Form.Key(Qt::Key_Escape, true);
                    }}});
        Form.KeyUp(Qt::Key_Escape);
    }
    constexpr int kScale = 4;
    const int Numbers[] = {crdxBarDrag, crdxBarDragCopy, crdxBarDragNoDrop};
    EXPECT_NE(CursorOf(crdxBarDrag), CursorOf(crdxBarDragCopy));
    EXPECT_NE(CursorOf(crdxBarDrag), CursorOf(crdxBarDragNoDrop));
    EXPECT_NE(CursorOf(crdxBarDragCopy), LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW)));
    QImage Sheet(3 * 20 * kScale, 20 * kScale, QImage::Format_RGB32);
    Sheet.fill(qRgb(192, 192, 192));
    QPainter Painter(&Sheet);
    for (int I = 0; I < 3; ++I) {
        const QImage Cursor = IconImage(CursorOf(Numbers[I]));
        ASSERT_EQ(Cursor.size(), QSize(16, 16));
        Painter.drawImage(QRect((I * 20 + 2) * kScale, 2 * kScale, 16 * kScale, 16 * kScale),
                          Cursor);
    }
    Painter.end();
    EXPECT_TRUE(SaveBarPicture(Sheet, "drag-cursors"));
}

}  // namespace
