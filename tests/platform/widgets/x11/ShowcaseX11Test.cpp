// The showcase form on a real X server: run by run-x11.sh under xvfb-run (no window manager), on
// Qt's xcb platform. It lays out and paints as on the offscreen platform (a picture of the
// screen is written to the build tree), and real keys from xdotool walk its tab order, follow the
// labels' accelerators, end a modal run with the default and cancel buttons, and pass a keyboard
// hook first.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "platform/core/WindowPicture.h"
#include "tests/platform/widgets/ShowcaseForm.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace GuiTest;
using namespace Showcase;

namespace {

// What the X server shows of a window: its rectangle grabbed from the screen.
QImage OnScreen(HWND Wnd) {
    RECT R;
    GetWindowRect(Wnd, &R);
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, R.left, R.top, R.right - R.left, R.bottom - R.top)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The screen's pixel at a point of a control's client area, in a picture of the form.
QRgb PixelOf(const QImage& Picture, TCustomForm* Form, TControl* Control, int X, int Y) {
    const TPoint P = Control->ClientToScreen(TPoint{X, Y});
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    return Picture.pixel(P.X - R.left, P.Y - R.top) | 0xFF000000u;
}

class ShowcaseX11 : public ShowcaseFixture {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ShowcaseFixture::SetUp();
    }
    // Shows the form and gives it the X server's focus: the keys xdotool sends go to it.
    void ShowAndFocus() {
        Form->Show();
        ASSERT_TRUE(WaitExposed(Form->Handle()));
        Xdo({"windowfocus", "--sync", XId(Form->Handle())});
        ASSERT_TRUE(PumpUntil([&] { return Form->Active(); }));
    }
    // Presses keys (xdotool's names, one press each) and waits until the focus is on the
    // control named Expected; the focused control's name (for the failure message).
    std::string KeysUntilFocus(const QStringList& Keys, const std::string& Expected) {
        QStringList Args{"key", "--clearmodifiers"};
        Args += Keys;
        Xdo(Args);
        PumpUntil([&] { return FocusedName() == Expected; });
        return FocusedName();
    }
};

TEST_F(ShowcaseX11, ItLaysOutAndLooksAsOffscreen) {
    ShowAndFocus();
    EXPECT_EQ(BoundsDump(Form), kDesignedLayout);
    const QRgb Face = ColorOf(ColorToRGB(clBtnFace));
    // What the server shows, once Qt has put the painted form on it.
    QImage Shown;
    ASSERT_TRUE(PumpUntil([&] {
        Shown = OnScreen(Form->Handle());
        return PixelOf(Shown, Form, Form->ButtonOk, 0, 12) == qRgb(0, 0, 0) &&
               PixelOf(Shown, Form, Form->EditName, 140, 10) == qRgb(255, 255, 255);
    }));
    EXPECT_EQ(PixelOf(Shown, Form, Form->SheetGeneral, 2, 2), Face);
    EXPECT_EQ(PixelOf(Shown, Form, Form->Envelope, 0, 0), Face);
    // Its folder is made on the way: this test may run before any other has made it (ctest -L
    // x11 in a new build tree).
    ASSERT_TRUE(SavePictureFile(
        Shown, std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/showcase-x11.png"));
}

TEST_F(ShowcaseX11, TabAndShiftTabWalkTheTabOrder) {
    ShowAndFocus();
    Form->Tree->SetFocus();
    Drain();
    // Pages before their controls, a group's checked radio button only, the button row last;
    // the up-down, the labels and the speed buttons take no focus.
    const std::vector<std::string> Order{"Tree",
                                         "Pages",
                                         "EditName",
                                         "MaskDate",
                                         "EditPort",
                                         "ComboHost",
                                         "ComboKind",
                                         "MemoNotes",
                                         "ListGroups",
                                         "CheckOptions",
                                         "CheckSave",
                                         "RadioPop",
                                         "RadioSort:Betreff",
                                         "ButtonOk",
                                         "ButtonCancel",
                                         "ButtonApply",
                                         "BitHelp",
                                         "Tree"};
    for (size_t I = 1; I < Order.size(); ++I)
        ASSERT_EQ(KeysUntilFocus({"Tab"}, Order[I]), Order[I]) << "Tab from " << Order[I - 1];
    for (size_t I = Order.size() - 1; I > 0; --I)
        ASSERT_EQ(KeysUntilFocus({"shift+Tab"}, Order[I - 1]), Order[I - 1])
            << "Shift+Tab from " << Order[I];
}

TEST_F(ShowcaseX11, AltAndALabelsLetterFocusesItsControl) {
    ShowAndFocus();
    Form->Tree->SetFocus();
    Drain();
    EXPECT_EQ(KeysUntilFocus({"alt+n"}, "EditName"), "EditName");
    EXPECT_EQ(KeysUntilFocus({"alt+d"}, "MaskDate"), "MaskDate");
    EXPECT_EQ(KeysUntilFocus({"alt+p"}, "EditPort"), "EditPort");
    // The label only moves the focus: the edit's text stays as it was.
    EXPECT_EQ(Form->EditName->Text(), "Kestro");
    EXPECT_EQ(Form->EditPort->Text(), "110");
}

TEST_F(ShowcaseX11, EnterAndEscEndAModalRunWithTheDefaultAndCancelButtonsResults) {
    struct TCase {
        const char* Key;
        const char* Focus;
        TModalResult Want;
    };
    // Enter clicks the focused button when a button has the focus, else the default one.
    for (const TCase C : {TCase{"Return", "EditName", mrOk}, TCase{"Escape", "EditName", mrCancel},
                          TCase{"Return", "ButtonCancel", mrCancel}}) {
        std::unique_ptr<QProcess> Keys;
        // A bound for a broken layer: the run ends and the test fails instead of hanging.
        QTimer Bound;
        Bound.setSingleShot(true);
        QObject::connect(&Bound, &QTimer::timeout, [&] { Form->SetModalResult(mrAbort); });
        Bound.start(30000);
        // Once the form shows, the key goes to it from the X server while its own loop runs.
        std::function<void()> WhenShown = [&] {
            if (!IsExposed(Form->Handle())) {
                QTimer::singleShot(10, WhenShown);
                return;
            }
            Keys = StartXdo(
                {"windowfocus", "--sync", XId(Form->Handle()), "key", "--clearmodifiers", C.Key});
        };
        Form->SetActiveControl(dynamic_cast<TWinControl*>(Form->FindComponent(C.Focus)));
        QTimer::singleShot(0, WhenShown);
        EXPECT_EQ(Form->ShowModal(), C.Want) << C.Key << " on " << C.Focus;
        ASSERT_TRUE(Keys);
        ASSERT_TRUE(PumpUntil([&] { return Keys->state() == QProcess::NotRunning; }));
        EXPECT_FALSE(Form->Visible());
    }
}

TEST_F(ShowcaseX11, AKeyboardHookSeesEveryKeyFirst) {
    ShowAndFocus();
    Form->EditName->SetFocus();
    Form->EditName->SelectAll();
    Drain();
    std::vector<std::string> Log;
    const HHOOK Hook = SetWindowsHookEx(WH_KEYBOARD, [&](int Code, WPARAM WParam, LPARAM LParam) {
        const bool Up = (LParam & (LPARAM(1) << 31)) != 0;
        Log.push_back(std::string(Up ? "hook up " : "hook down ") + std::to_string(WParam));
        // The hook keeps F2 from everyone.
        if (Code == HC_ACTION && WParam == VK_F2) return LRESULT(1);
        return CallNextHookEx(0, Code, WParam, LParam);
    });
    ASSERT_NE(Hook, HHOOK(0));
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        Log.push_back("form down " + std::to_string(Key));
    };
    Form->EditName->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        Log.push_back("edit down " + std::to_string(Key));
    };
    Xdo({"key", "--clearmodifiers", "x", "F2", "y", "Tab"});
    ASSERT_TRUE(PumpUntil([&] { return FocusedName() == "MaskDate"; }));
    UnhookWindowsHookEx(Hook);
    Form->OnKeyDown = nullptr;
    Form->EditName->OnKeyDown = nullptr;
    EXPECT_EQ(Form->EditName->Text(), "xy");
    // Tab is a dialog key: it moves the focus without reaching the key events, but the hook
    // sees it as every other key.
    const std::vector<std::string> Want{
        "hook down 88",  "form down 88", "edit down 88", "hook up 88",  // x
        "hook down 113", "hook up 113",                                 // F2, eaten
        "hook down 89",  "form down 89", "edit down 89", "hook up 89",  // y
        "hook down 9",   "hook up 9"};                                  // Tab
    EXPECT_EQ(Log, Want);
}

}  // namespace
