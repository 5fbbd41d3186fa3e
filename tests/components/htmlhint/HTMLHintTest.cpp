// The HTML hint component on a form read from its definition: the application's hints become
// HTML hints after the hint pause, in one hint window, kept 2 pixels inside a fake screen.
#include <gtest/gtest.h>

#include "components/htmlhint/HTMLHint.h"
#include "components/htmlhint/Register.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class THintTestForm : public TForm {
  public:
    using TForm::TForm;
};

// One screen of 480 x 360.
class TSmallScreen : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {TScreenInfo{{0, 0, 480, 360}, {0, 0, 480, 360}, true}};
    }
};

HICON SolidIcon(QRgb Color) {
    QImage Image(16, 16, QImage::Format_RGB32);
    Image.fill(Color);
    ICONINFO Info;
    Info.hbmColor = CreateBitmapFromImage(Image);
    Info.hbmMask = CreateBitmap(16, 16, 1, 1, nullptr);
    const HICON Icon = CreateIconIndirect(&Info);
    DeleteObject(Info.hbmColor);
    DeleteObject(Info.hbmMask);
    return Icon;
}

int HintWindowsOfTheApplication() {
    int Count = 0;
    for (int I = 0; I < Forms.ComponentCount(); ++I)
        if (dynamic_cast<THintWindow*>(Forms.Components(I))) ++Count;
    return Count;
}

class HTMLHint : public ::testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        RegisterHTMLHintClasses();
        static const bool Registered = [] {
            RegisterClass<THintTestForm, TForm>("THintTestForm");
            return true;
        }();
        (void)Registered;
        SetScreenSource(std::make_shared<TSmallScreen>());
        Forms.HintPause = 30;
        Forms.HintShortPause = 30;
        Forms.HintHidePause = 60000;
    }
    void TearDown() override {
        Forms.CancelHint();
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
        SetScreenSource(nullptr);
        Forms.HintPause = 500;
        Forms.HintShortPause = 50;
        Forms.HintHidePause = 2500;
    }
    // Moves the mouse into the control and waits for its hint.
    THTMLHintWindow* HintOver(TCustomForm* Form, TControl* Control) {
        const POINT At = ScreenOf(Form->Handle(), POINT{Control->Left() + 10, Control->Top() + 10});
        MouseMove(Form->Handle(), At);
        EXPECT_TRUE(PumpUntil([&] {
            return Forms.HintWindow() && Forms.HintWindow()->Showing() &&
                   Forms.HintWindow()->Caption() == GetShortHint(Control->Hint());
        }));
        return dynamic_cast<THTMLHintWindow*>(Forms.HintWindow());
    }
};

TEST_F(HTMLHint, HintsBecomeHTMLHintsInOneWindowKeptOnTheScreen) {
    THintTestForm* Form = Forms.CreateForm<THintTestForm>();
    auto* Hint = dynamic_cast<THTMLHint*>(Form->FindComponent("HTMLHint1"));
    ASSERT_NE(Hint, nullptr);
    EXPECT_EQ(Hint->HintStyle(), hsRounded);
    TCustomImageList Images(16, 16);
    TIcon Green;
    Green.SetHandle(SolidIcon(qRgb(0, 160, 0)));
    Images.AddIcon(Green);
    Hint->SetImages(&Images);
    Hint->SetHintColor(clYellow);
    std::vector<TColor> Colors;
    Hint->OnShowHint = [&](std::string&, bool&, THintInfo& Info) {
        Colors.push_back(Info.HintColor);
    };
    Form->Show();
    Drain();

    TControl* Button = dynamic_cast<TControl*>(Form->FindComponent("Button1"));
    THTMLHintWindow* Window = HintOver(Form, Button);
    ASSERT_NE(Window, nullptr);
    EXPECT_EQ(Colors, std::vector<TColor>{clYellow});
    // Measured as HTML (the tags take no room), with the margins and the frame around it.
    const TSize Text = Window->TextSize();
    EXPECT_EQ(Window->Width(), Text.cx + 2 * 2 + 16);
    EXPECT_EQ(Window->Height(), Text.cy + 2 * 2 + 4);
    EXPECT_GE(Text.cy, 2 * 13);  // two lines
    // Rounded: the corner is cut out of the window.
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(Window->Handle(), Region), ERROR);
    DeleteObject(Region);
    EXPECT_NE(GetFocus(), Window->Handle());
    SaveWindowPicture(Window->Handle(),
                      std::string(KESTRO_BINARY_DIR) + "/pictures/components/html-hint.png");

    // Near the screen's right edge the hint ends 2 pixels inside it.
    TControl* Edge = dynamic_cast<TControl*>(Form->FindComponent("Edge"));
    THTMLHintWindow* Again = HintOver(Form, Edge);
    EXPECT_EQ(Again, Window);
    EXPECT_EQ(Again->Left() + Again->Width(), 478);
    EXPECT_EQ(HintWindowsOfTheApplication(), 1);
    Hint->SetImages(nullptr);
}

TEST_F(HTMLHint, OneComponentPerFormOnFormsOnlyAndTheApplicationGetsItsHintsBack) {
    Forms.OnShowHint = [](std::string&, bool&, THintInfo&) {};
    THintTestForm* Form = Forms.CreateForm<THintTestForm>();
    EXPECT_EQ(ErrorOf<EHTMLHintError>([&] { THTMLHint Second(Form); }),
              "Only one instance of THTMLHint allowed on form");
    TComponent Loose(nullptr);
    EXPECT_EQ(ErrorOf<EHTMLHintError>([&] { THTMLHint Other(&Loose); }),
              "Control parent must be a form!");
    Form->Free();
    // Gone, the component hands the show-hint event back: no call reaches it any more.
    ASSERT_TRUE(Forms.OnShowHint);
    std::string Text = "plain";
    bool CanShow = true;
    THintInfo Info;
    Forms.OnShowHint(Text, CanShow, Info);
    EXPECT_EQ(Info.HintColor, clInfoBk);
    Forms.OnShowHint = nullptr;
}

}  // namespace
