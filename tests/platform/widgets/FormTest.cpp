// Forms and controls together: a form read from its definition lays its controls out by Align and
// Anchors, walks its tab order, previews keys, shows hints, follows its actions, runs modal and
// goes away when closed with free-on-close.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/controls/Controls.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

// A window control that paints itself in its colour and holds others.
class TTestPanel : public TCustomControl {
  public:
    explicit TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
        SetBounds(0, 0, 50, 50);
    }

  protected:
    void Paint() override {
        Canvas()->Brush().SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

// A window control that takes the focus.
class TTestBox : public TCustomControl {
  public:
    explicit TTestBox(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        SetBounds(0, 0, 20, 20);
    }
    std::vector<WORD> Keys;

  protected:
    void KeyDown(WORD& Key, TShiftState Shift) override {
        Keys.push_back(Key);
        TCustomControl::KeyDown(Key, Shift);
    }
    void Paint() override {
        Canvas()->Brush().SetColor(Focused() ? clHighlight : clWindow);
        Canvas()->FillRect(ClientRect());
    }
    void Dispatch(TMessage& Message) override {
        // Tab and arrows are dialog keys here; the box wants none of them.
        if (Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) Invalidate();
        TCustomControl::Dispatch(Message);
    }
};

class TTestLayoutForm : public TForm {
  public:
    using TForm::TForm;
    TTestPanel* Client1 = nullptr;
    TTestBox* Inner = nullptr;
    TTestBox* Corner = nullptr;
    TTestBox* Middle = nullptr;
    std::vector<std::string> Log;
    // Keys the form eats when it previews them.
    std::vector<WORD> Eat;

    void FormCreate(TObject*) {
        Client1 = dynamic_cast<TTestPanel*>(FindComponent("Client1"));
        Inner = dynamic_cast<TTestBox*>(FindComponent("Inner"));
        Corner = dynamic_cast<TTestBox*>(FindComponent("Corner"));
        Middle = dynamic_cast<TTestBox*>(FindComponent("Middle"));
        Log.push_back("create");
    }
    void FormKeyDown(TObject*, WORD& Key, TShiftState) {
        Log.push_back("form key " + std::to_string(Key));
        if (std::find(Eat.begin(), Eat.end(), Key) != Eat.end()) Key = 0;
    }
    void CornerKeyDown(TObject*, WORD& Key, TShiftState) {
        Log.push_back("corner key " + std::to_string(Key));
    }
};

void RegisterTestClasses() {
    static const bool Done = [] {
        RegisterClass<TTestPanel, TCustomControl>("TTestPanel");
        RegisterClass<TTestBox, TCustomControl>("TTestBox");
        RegisterClass<TTestLayoutForm, TForm>("TTestLayoutForm")
            .Method("FormCreate", &TTestLayoutForm::FormCreate)
            .Method("FormKeyDown", &TTestLayoutForm::FormKeyDown)
            .Method("CornerKeyDown", &TTestLayoutForm::CornerKeyDown);
        return true;
    }();
    (void)Done;
}

std::string Bounds(TControl* C) {
    std::ostringstream Out;
    Out << C->Name() << " " << C->Left() << "," << C->Top() << " " << C->Width() << "x"
        << C->Height();
    return Out.str();
}

// Every control of the form with its place, in creation order.
std::string Dump(TCustomForm* Form) {
    std::string Out;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* C = dynamic_cast<TControl*>(Form->Components(I))) Out += Bounds(C) + "\n";
    return Out;
}

class Forms_ : public testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        InitStandardControls();
        RegisterTestClasses();
        Drain();
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
    }
    TTestLayoutForm* MakeForm() { return CreateForm<TTestLayoutForm>(&Forms); }
};

TEST_F(Forms_, ADefinitionLaysOutByAlignAndAnchorsThroughTwoResizes) {
    TTestLayoutForm* Form = MakeForm();
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"create"}));
    EXPECT_EQ(Form->ClientWidth(), 400);
    EXPECT_EQ(Form->ClientHeight(), 300);
    Form->Show();
    Drain();
    EXPECT_EQ(Form->ClientWidth(), 400);
    const std::string Designed =
        "Top1 0,0 400x30\nBottom1 0,280 400x20\nLeft1 0,30 50x250\nRight1 360,30 40x250\n"
        "Client1 50,30 310x250\nInner 10,10 100x20\nCorner 270,210 30x30\nMiddle 140,110 30x30\n";
    EXPECT_EQ(Dump(Form), Designed);

    Form->SetClientSize(500, 350);
    Drain();
    EXPECT_EQ(Dump(Form),
              "Top1 0,0 500x30\nBottom1 0,330 500x20\nLeft1 0,30 50x300\nRight1 460,30 40x300\n"
              "Client1 50,30 410x300\nInner 10,10 200x20\nCorner 370,260 30x30\n"
              "Middle 190,135 30x30\n");
    Form->SetClientSize(300, 250);
    Drain();
    EXPECT_EQ(Dump(Form),
              "Top1 0,0 300x30\nBottom1 0,230 300x20\nLeft1 0,30 50x200\nRight1 260,30 40x200\n"
              "Client1 50,30 210x200\nInner 10,10 0x20\nCorner 170,160 30x30\n"
              "Middle 90,85 30x30\n");
    // Back at the designed size everything is where it was designed.
    Form->SetClientSize(400, 300);
    Drain();
    EXPECT_EQ(Dump(Form), Designed);
    // The windows are where the controls say.
    RECT R;
    GetWindowRect(Form->Corner->Handle(), &R);
    POINT P{R.left, R.top};
    ScreenToClient(Form->Client1->Handle(), &P);
    EXPECT_EQ(P.x, 270);
    EXPECT_EQ(P.y, 210);
}

TEST_F(Forms_, ControlsPlacedOnAPageBeforeItHasASizeKeepTheirDistancesToItsEdges) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    // The sheet's controls are placed before the sheet is on its page control, as a definition
    // places them (a sheet's bounds are not part of it): the sheet has no size yet.
    auto* Sheet = new TTabSheet(Form);
    auto* Wide = new TTestBox(Form);
    static_cast<TComponent*>(Wide)->SetName("Wide");
    Wide->SetParent(Sheet);
    Wide->SetBounds(10, 10, 100, 20);
    Wide->SetAnchors(TAnchors{akLeft, akTop, akRight});
    auto* Low = new TTestBox(Form);
    static_cast<TComponent*>(Low)->SetName("Low");
    Low->SetParent(Sheet);
    Low->SetBounds(150, 100, 30, 30);
    Low->SetAnchors(TAnchors{akRight, akBottom});
    auto* Pages = new TPageControl(Form);
    Pages->SetBounds(0, 0, 300, 200);
    Sheet->SetPageControl(Pages);
    Pages->SetParent(Form->Client1);
    Drain();
    // The first size the sheet gets is the one they were placed for.
    ASSERT_GT(Sheet->Width(), 0);
    EXPECT_EQ(Bounds(Wide), "Wide 10,10 100x20");
    EXPECT_EQ(Bounds(Low), "Low 150,100 30x30");
    Pages->SetBounds(0, 0, 350, 230);
    Drain();
    EXPECT_EQ(Bounds(Wide), "Wide 10,10 150x20");
    EXPECT_EQ(Bounds(Low), "Low 200,130 30x30");
}

TEST_F(Forms_, AnImageIsTransparentForAPictureGivenAfterIt) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    auto* Image = new TImage(Form);
    Image->SetBounds(40, 60, 16, 16);
    Image->SetParent(Form->Client1);
    Form->Client1->SetColor(clLime);
    // As a definition gives them: Transparent first, then the picture.
    Image->SetTransparent(true);
    TBitmap Picture(16, 16);
    Picture.Canvas().Brush().SetColor(clTeal);
    Picture.Canvas().FillRect(TRect{0, 0, 16, 16});
    Picture.Canvas().Brush().SetColor(clRed);
    Picture.Canvas().FillRect(TRect{4, 4, 12, 12});
    Image->Picture()->SetGraphic(&Picture);
    Drain();
    // The bottom-left pixel's colour is the transparent one: the panel shows through it.
    EXPECT_EQ(PixelAt(Form->Client1->Handle(), 42, 62), ColorOf(ColorToRGB(clLime)));
    EXPECT_EQ(PixelAt(Form->Client1->Handle(), 48, 68), ColorOf(ColorToRGB(clRed)));
}

TEST_F(Forms_, TabWalksTheTabOrderAndTheFormPreviewsKeys) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    // The first control in tab order has the focus when the form is activated.
    ASSERT_TRUE(PumpUntil([&] { return Form->Corner->Focused(); }));
    EXPECT_EQ(Form->ActiveControl(), Form->Corner);
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    Drain();
    EXPECT_TRUE(Form->Inner->Focused());
    // Middle has no tab stop: Tab goes round to Corner.
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    Drain();
    EXPECT_TRUE(Form->Corner->Focused());
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab, Qt::ShiftModifier);
    Drain();
    EXPECT_TRUE(Form->Inner->Focused());

    // The form sees a key before the control; a key it eats never reaches the control.
    Form->Log.clear();
    Form->Eat = {VK_F5};
    Form->Corner->SetFocus();
    Drain();
    Form->Corner->Keys.clear();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F6);
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F5);
    Drain();
    EXPECT_EQ(Form->Log,
              (std::vector<std::string>{"form key 117", "corner key 117", "form key 116"}));
    EXPECT_EQ(Form->Corner->Keys, (std::vector<WORD>{VK_F6}));

    // A windowed control freed while it still has its parent leaves the tab order with it.
    Form->Inner->Free();
    Form->Inner = nullptr;
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    Drain();
    EXPECT_TRUE(Form->Corner->Focused());
}

TEST_F(Forms_, AFocusedControlHiddenOrDisabledHandsTheFocusOnAndTakesNoKeys) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    const auto Key = [&] {
        Form->Corner->Keys.clear();
        Form->Inner->Keys.clear();
        QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_F6);
        Drain();
    };
    // The focused control is disabled: the next control in tab order takes over.
    Form->Inner->SetFocus();
    Drain();
    Form->Inner->SetEnabled(false);
    Drain();
    EXPECT_TRUE(Form->Corner->Focused());
    EXPECT_EQ(Form->ActiveControl(), Form->Corner);
    Key();
    EXPECT_TRUE(Form->Inner->Keys.empty());
    EXPECT_EQ(Form->Corner->Keys, (std::vector<WORD>{VK_F6}));

    // It is hidden.
    Form->Inner->SetEnabled(true);
    Form->Inner->SetFocus();
    Drain();
    Form->Inner->SetVisible(false);
    Drain();
    EXPECT_TRUE(Form->Corner->Focused());
    Key();
    EXPECT_TRUE(Form->Inner->Keys.empty());

    // Its parent hides, and with it every control with a tab stop: the form takes the focus, and
    // no control sees the key.
    Form->Inner->SetVisible(true);
    Form->Client1->SetVisible(false);
    Drain();
    EXPECT_EQ(GetFocus(), Form->Handle());
    EXPECT_EQ(Form->ActiveControl(), nullptr);
    Key();
    EXPECT_TRUE(Form->Corner->Keys.empty());
    EXPECT_TRUE(Form->Inner->Keys.empty());
}

TEST_F(Forms_, AControlFreedFromItsParentLeavesTheTabOrder) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    auto* Extra = new TTestBox(Form);
    Extra->SetParent(Form->Client1);
    Extra->Free();
    // Tab walks what is left, never the freed control.
    Form->Corner->SetFocus();
    Drain();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    Drain();
    EXPECT_TRUE(Form->Inner->Focused());
    std::vector<TWinControl*> Order;
    Form->GetTabOrderList(Order);
    EXPECT_EQ(std::count(Order.begin(), Order.end(), static_cast<TWinControl*>(Extra)), 0);
}

TEST_F(Forms_, TabPassesOverDisabledControlsAndEverythingInADisabledPanel) {
    TTestLayoutForm* Form = MakeForm();
    // After Inner in tab order: a disabled box, then a panel that is disabled itself while the
    // box inside it is enabled. Neither box can take the focus, so Tab goes round to Corner.
    auto* Off = new TTestBox(Form);
    Off->SetParent(Form->Client1);
    Off->SetTabOrder(2);
    Off->SetEnabled(false);
    auto* Panel = new TTestPanel(Form);
    Panel->SetParent(Form->Client1);
    Panel->SetBounds(10, 150, 100, 50);
    Panel->SetTabOrder(3);
    Panel->SetEnabled(false);
    auto* InPanel = new TTestBox(Panel);
    InPanel->SetParent(Panel);
    ASSERT_TRUE(InPanel->Enabled());
    Form->Show();
    Drain();
    // The form is active once its first control in tab order has the focus.
    ASSERT_TRUE(PumpUntil([&] { return Form->Corner->Focused(); }));
    Form->Inner->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Form->Inner->Focused(); }));
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    Drain();
    EXPECT_FALSE(Off->Focused());
    EXPECT_FALSE(InPanel->Focused());
    EXPECT_TRUE(Form->Corner->Focused());
    // Backwards from Corner the same two are passed over.
    Form->Inner->SetFocus();
    Drain();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab, Qt::ShiftModifier);
    Drain();
    EXPECT_TRUE(Form->Inner->Focused());

    // Once the panel is enabled again its box is the next stop after Inner.
    Panel->SetEnabled(true);
    Form->Inner->SetFocus();
    Drain();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab);
    Drain();
    EXPECT_TRUE(InPanel->Focused());
}

TEST_F(Forms_, HintsShowAfterThePauseAndTheProgramMayChangeThem) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    Forms.HintPause = 30;
    Forms.HintHidePause = 60000;
    std::vector<std::string> Hints;
    Forms.OnHint = [&](TObject*) { Hints.push_back(Forms.Hint()); };
    std::string Shown;
    TControl* ShownFor = nullptr;
    Forms.OnShowHint = [&](std::string& HintStr, bool&, THintInfo& Info) {
        ShownFor = Info.HintControl;
        Shown = HintStr;
        HintStr += "!";
        Info.HintPos = TPoint{Info.HintPos.X + 40, Info.HintPos.Y};
    };
    const POINT At = ScreenOf(Form->Inner->Handle(), POINT{20, 10});
    MouseMove(Form->Handle(), At);
    ASSERT_TRUE(PumpUntil([] { return Forms.HintWindow() && Forms.HintWindow()->Showing(); }));
    EXPECT_EQ(ShownFor, Form->Inner);
    EXPECT_EQ(Shown, "Inner box");
    EXPECT_EQ(Forms.HintWindow()->Caption(), "Inner box!");
    EXPECT_EQ(Forms.HintWindow()->Left(), At.x + 40);
    EXPECT_EQ(Forms.HintWindow()->Top(), At.y + 20);
    EXPECT_EQ(Hints, (std::vector<std::string>{"The box inside"}));
    // The hint never takes the focus.
    EXPECT_NE(GetFocus(), Forms.HintWindow()->Handle());
    SaveWindowPicture(Forms.HintWindow()->Handle(),
                      std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/hint.png");

    // A press hides it.
    MouseClick(Form->Handle(), At);
    Drain();
    EXPECT_FALSE(Forms.HintWindow()->Showing());

    // Another hint-window class takes over once hints are switched off and on.
    class TOtherHint : public THintWindow {
      public:
        using THintWindow::THintWindow;
    };
    Forms.HintWindowClass = [](TComponent* Owner) { return new TOtherHint(Owner); };
    Forms.SetShowHint(false);
    Forms.SetShowHint(true);
    MouseMove(Form->Handle(), ScreenOf(Form->Corner->Handle(), POINT{5, 5}));
    Drain();
    MouseMove(Form->Handle(), At);
    ASSERT_TRUE(PumpUntil([] { return Forms.HintWindow() && Forms.HintWindow()->Showing(); }));
    EXPECT_NE(dynamic_cast<TOtherHint*>(Forms.HintWindow()), nullptr);
    Forms.CancelHint();
    Forms.OnShowHint = nullptr;
    Forms.OnHint = nullptr;
    Forms.HintWindowClass = [](TComponent* Owner) { return new THintWindow(Owner); };
    Forms.SetShowHint(false);
    Forms.SetShowHint(true);
    Forms.HintPause = 500;
    Forms.HintHidePause = 2500;
}

TEST_F(Forms_, AnActionDisabledInItsUpdateDisablesItsControls) {
    TTestLayoutForm* Form = MakeForm();
    auto* List = new TActionList(Form);
    auto* Act = new TAction(Form);
    Act->SetActionList(List);
    bool Allowed = true;
    int Runs = 0;
    Act->SetOnUpdate([&](TObject*) { Act->SetEnabled(Allowed); });
    Act->SetOnExecute([&](TObject*) { ++Runs; });
    Form->Inner->SetAction(Act);
    Form->Corner->SetAction(Act);
    Form->Show();
    Drain();
    Allowed = false;
    Application.Idle();
    EXPECT_FALSE(Form->Inner->Enabled());
    EXPECT_FALSE(Form->Corner->Enabled());
    EXPECT_FALSE(IsWindowEnabled(Form->Inner->Handle()));
    Allowed = true;
    Application.Idle();
    EXPECT_TRUE(Form->Corner->Enabled());
    Form->Corner->Click();
    EXPECT_EQ(Runs, 1);
}

TEST_F(Forms_, ShowModalBlocksTheOtherFormsUntilItHasAResult) {
    TTestLayoutForm* Main = MakeForm();
    Main->Show();
    Drain();
    TTestLayoutForm* Dialog = MakeForm();
    Dialog->SetPosition(poMainFormCenter);
    bool MainBlocked = false;
    TScript Script;
    Script.Then([&] { MainBlocked = !IsWindowEnabled(Main->Handle()); }).Then([&] {
        Dialog->SetModalResult(mrOk);
    });
    Script.Start();
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_TRUE(MainBlocked);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_FALSE(Dialog->Visible());

    // Closing a modal form gives mrCancel; a close query can refuse it.
    int Asked = 0;
    Dialog->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++Asked > 1; };
    // The second close comes once the loop has asked about the first: two closes before the
    // loop looks are one request, refused once, and the form rightly stays open.
    TScript Twice;
    Twice.Then([&] { Dialog->Close(); })
        .ThenWhen([&] { return Asked == 1; }, [&] { Dialog->Close(); });
    Twice.Start();
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_EQ(Asked, 2);
    EXPECT_THROW(
        {
            Dialog->Show();
            Dialog->ShowModal();
        },
        EInvalidOperation);
}

TEST_F(Forms_, AFormFallsBehindTheMainFormClickedUnlessItIsModal) {
    TTestLayoutForm* Main = MakeForm();
    Main->SetBounds(100, 100, 400, 300);
    Main->Show();
    TTestLayoutForm* Other = MakeForm();
    Other->SetBounds(300, 200, 400, 300);
    Other->Show();
    Drain();
    const POINT Both{350, 250};
    const POINT MainOnly{120, 380};
    const auto OnTop = [&](TCustomForm* Form) {
        return GetAncestor(WindowFromPoint(Both), GA_ROOT) == Form->Handle();
    };
    ASSERT_TRUE(OnTop(Other));
    // A modeless form is the application's, not the main form's: it does not stay above it.
    EXPECT_NE(GetWindow(Other->Handle(), GW_OWNER), Main->Handle());
    MouseClick(Main->Handle(), MainOnly);
    Drain();
    EXPECT_TRUE(OnTop(Main));
    MouseClick(Other->Handle(), POINT{650, 450});
    Drain();
    EXPECT_TRUE(OnTop(Other));

    // A modal one stays above the form that was active when it came, even when that is clicked.
    Other->Hide();
    TTestLayoutForm* Dialog = MakeForm();
    Dialog->SetBounds(300, 200, 400, 300);
    bool Above = false;
    TScript Script;
    Script.Then([&] { MouseClick(Main->Handle(), MainOnly); }).Then([&] {
        Above = OnTop(Dialog);
        Dialog->SetModalResult(mrOk);
    });
    Script.Start();
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_TRUE(Above);
}

// A new border makes the form's window again: a shown form stays on the screen where it was, a
// form not shown yet stays hidden.
TEST_F(Forms_, AFormWhoseWindowIsMadeAgainStaysShownOrHiddenAsItWas) {
    TTestLayoutForm* Shown = MakeForm();
    Shown->SetBounds(100, 100, 400, 300);
    Shown->Show();
    Drain();
    const POINT Inside{300, 250};
    ASSERT_EQ(GetAncestor(WindowFromPoint(Inside), GA_ROOT), Shown->Handle());
    const HWND Old = Shown->Handle();
    Shown->SetBorderIcons(TBorderIcons{biSystemMenu});
    Drain();
    EXPECT_NE(Shown->Handle(), Old);
    EXPECT_TRUE(Shown->Visible());
    EXPECT_TRUE(IsWindowVisible(Shown->Handle()));
    EXPECT_EQ(GetAncestor(WindowFromPoint(Inside), GA_ROOT), Shown->Handle());
    Shown->SetBorderStyle(bsSingle);
    Drain();
    EXPECT_TRUE(IsWindowVisible(Shown->Handle()));
    EXPECT_EQ(Shown->Left(), 100);
    EXPECT_EQ(Shown->Top(), 100);

    TTestLayoutForm* Hidden = MakeForm();
    Hidden->HandleNeeded();
    Hidden->SetBorderStyle(bsDialog);
    Drain();
    EXPECT_TRUE(Hidden->HandleAllocated());
    EXPECT_FALSE(IsWindowVisible(Hidden->Handle()));
}

TEST_F(Forms_, AFormClosedWithFreeOnCloseGoesOnALaterPass) {
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    struct TWatch : TComponent {
        TWatch() : TComponent(nullptr) {}
        void Notification(TComponent*, TOperation Operation) override {
            if (Operation == opRemove) Gone = true;
        }
        bool Gone = false;
    } Watch;
    Form->FreeNotification(&Watch);
    Form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    // Closed from a handler of one of its own controls: the form outlives that handler.
    bool InsideAfterClose = false;
    Form->Corner->OnClick = [&](TObject*) {
        Form->Close();
        InsideAfterClose = !Watch.Gone && !Form->Visible();
    };
    Form->Corner->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Form->Corner->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(InsideAfterClose);
    EXPECT_FALSE(Watch.Gone);
    Drain();
    EXPECT_TRUE(Watch.Gone);
    EXPECT_EQ(Screen->FormCount(), 0);
}

// A control handed to ReleaseControlLater outlives the handlers of its children, also across a
// pass run inside them; and when its owner frees it first, it is not freed a second time.
TEST_F(Forms_, AReleasedControlOutlivesItsChildrensHandlersAndYieldsToItsOwner) {
    struct TWatch : TComponent {
        TWatch() : TComponent(nullptr) {}
        void Notification(TComponent*, TOperation Operation) override {
            if (Operation == opRemove) Gone = true;
        }
        bool Gone = false;
    };
    TTestLayoutForm* Form = MakeForm();
    Form->Show();
    Drain();
    TWatch Watch;
    Form->Client1->FreeNotification(&Watch);
    bool AliveAfterInnerPass = false;
    Form->Corner->OnClick = [&](TObject*) {
        ReleaseControlLater(Form->Client1);
        Drain();
        AliveAfterInnerPass = !Watch.Gone;
    };
    // Sent, so that the click is a delivery the message loop counts as running.
    SendMessage(Form->Corner->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessage(Form->Corner->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(AliveAfterInnerPass);
    Drain();
    EXPECT_TRUE(Watch.Gone);
    EXPECT_NE(Form->FindComponent("Left1"), nullptr);

    // Released, then freed with its form before any pass: the pass frees nothing more.
    TWatch LeftWatch;
    auto* Left = dynamic_cast<TWinControl*>(Form->FindComponent("Left1"));
    ASSERT_NE(Left, nullptr);
    Left->FreeNotification(&LeftWatch);
    ReleaseControlLater(Left);
    Form->Free();
    EXPECT_TRUE(LeftWatch.Gone);
    Drain();
}

// The components an application object owns go while it is whole: their destructors may call
// it (a hint component puts the application's hint settings back).
TEST(FormsApplication, OwnedComponentsGoWhileTheApplicationIsWhole) {
    struct TProbe : TComponent {
        TProbe(TComponent* App, bool* Whole) : TComponent(App), App(App), Whole(Whole) {}
        ~TProbe() override { *Whole = dynamic_cast<TFormsApplication*>(App) != nullptr; }
        TComponent* App;
        bool* Whole;
    };
    bool Whole = false;
    {
        TFormsApplication App;
        new TProbe(&App, &Whole);
    }
    EXPECT_TRUE(Whole);
}

}  // namespace
