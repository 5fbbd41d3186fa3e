// The walk of a new user customizing the main window's toolbar on a real X server: the dialog
// opened from the toolbar's popup disables the form, and on the docked toolbar xdotool drags a
// button to a new place, drags another off the bars and renames a third through its item menu;
// the form made again from the stored layout shows the toolbar as it was left. Each drag is one
// xdotool run, so that the press, the moves and the release reach the drag loop while it runs.
// Run by run-x11.sh under xvfb-run.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>

#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarCustomizingPopup.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarToolbarsPopup.h"
#include "platform/controls/Controls.h"
#include "tests/bars/MenuTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace BarTest;
using namespace GuiTest;

namespace {

std::string Captions(TdxBar* Bar) {
    std::string Out;
    TdxBarItemLinks* Links = Bar->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I) {
        if (I > 0) Out += Links->Items(I)->OwnBeginGroup() ? " | " : " ";
        Out += Links->Items(I)->Caption();
    }
    return Out;
}

class BarsX11Customize : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        InitStandardControls();
        char Template[] = "/tmp/kestro-x11cust-XXXXXX";
        Dir = mkdtemp(Template);
        setenv("KESTRO_REGISTRY_DIR", Dir.c_str(), 1);
    }
    void TearDown() override {
        ShowCustomizingForm(nullptr, false);
        Drain();
        unsetenv("KESTRO_REGISTRY_DIR");
        std::filesystem::remove_all(Dir);
    }
    static void Show(TMenuForm& Form) {
        ASSERT_TRUE(WaitExposed(Form.FormWindow()));
        Xdo({"windowfocus", "--sync", XId(Form.FormWindow())});
        Drain();
    }
    static void Click(POINT P, const char* Button = "1") {
        Xdo({"mousemove", Num(P.x), Num(P.y), "click", Button});
        Drain();
    }
    // Presses on a link, moves out of the drag rectangle and on to To, and lets go there.
    static void Drag(TMenuForm& Form, TdxBarItemLink* Link, POINT To) {
        const POINT From = TMenuForm::Middle(Link);
        // The dialog disabled the form: the press reaches the bar window as a message the
        // bars' hook posts, and the window waits to see whether the item is dragged.
        TXdoDrag Steps;
        Steps.From = From;
        Steps.Path = {POINT{From.x + 12, From.y + 12}, To};
        Steps.RestMs = 100;
        Steps.Pressed = [&] {
            return Link->Control() &&
                   Form.Toolbar()->Control()->InputState() == TdxBarInputState::DragPending;
        };
        EXPECT_TRUE(XdoDrag(Steps, [&] { return !Form.Manager()->Dragging(); }));
        Drain();
    }
    static POINT Along(TMenuForm& Form, int Index, double Fraction) {
        TdxBarItemLink* Link = Form.Link(Form.Toolbar(), Index);
        const TRect R = Link->ItemRect();
        return ScreenOf(Form.Toolbar()->Control()->Handle(),
                        POINT{R.Left + int(R.Width() * Fraction), (R.Top + R.Bottom) / 2});
    }
    std::string Dir;
};

TEST_F(BarsX11Customize, WorkOnTheDockedToolbarWithTheDialogOpenSurvivesARestart) {
    // The toolbar: Laden, Konfiguration | Start MultiStart | News bestellen | Ende.
    const std::string Left = "&Start Viele &Konfiguration... | News &bestellen... | &Ende";
    {
        TMenuForm Form;
        Form.Manager()->StoreInRegistry = true;
        Show(Form);
        Click(Form.ScreenPoint(Form.Toolbar(), 0), "3");
        TdxBarToolbarsPopup* Popup = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            Popup = dynamic_cast<TdxBarToolbarsPopup*>(ActiveBarControl());
            return Popup && IsExposed(Popup->Handle());
        }));
        Click(TMenuForm::EntryPoint(Popup, Popup->ItemLinks()->Count() - 1));
        ASSERT_TRUE(PumpUntil([] { return GetCustomizingForm() != nullptr; }));
        TdxBarCustomizingForm* Dialog = GetCustomizingForm();
        // Put aside, as a user would, where it covers none of the bars.
        Dialog->SetBounds(700, 300, Dialog->Width(), Dialog->Height());
        ASSERT_TRUE(WaitExposed(Dialog->Handle()));
        EXPECT_FALSE(IsWindowEnabled(Form.FormWindow()));

        Drag(Form, Form.Link(Form.Toolbar(), 1), Along(Form, 3, 0.9));
        EXPECT_EQ(Captions(Form.Toolbar()),
                  "&Laden... | &Start &MultiStart &Konfiguration... | News &bestellen... | &Ende");
        Drag(Form, Form.Link(Form.Toolbar(), 0), Form.FormPoint());
        EXPECT_EQ(Captions(Form.Toolbar()),
                  "&Start &MultiStart &Konfiguration... | News &bestellen... | &Ende");

        Click(TMenuForm::Middle(Form.Link(Form.Toolbar(), 1)), "3");
        TdxBarCustomizingPopup* Menu = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            Menu = ShownCustomizingPopup();
            return Menu && IsExposed(Menu->Handle());
        }));
        SaveScenePicture({Form.FormWindow(), Dialog->Handle(), Menu->Handle()},
                         "x11-customize-item-menu");
        Click(TMenuForm::EntryPoint(Menu, ceName));
        auto* Edit = dynamic_cast<TdxBarEditControl*>(Menu->ItemLinks()->Items(ceName)->Control());
        ASSERT_NE(Edit, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Edit->Focused(); }));
        Xdo({"type", "--delay", "30", "Viele"});
        Xdo({"key", "Return"});
        ASSERT_TRUE(PumpUntil([&] { return Captions(Form.Toolbar()) == Left; }))
            << Captions(Form.Toolbar());
        SaveScenePicture({Form.FormWindow(), Dialog->Handle()}, "x11-customize-toolbar");
        Click(POINT{Dialog->Left() + 20, Dialog->Top() + 10});
        ShowCustomizingForm(Form.Manager(), false);
        Drain();
        EXPECT_TRUE(IsWindowEnabled(Form.FormWindow()));
    }
    TMenuForm Again;
    Again.Manager()->LoadFromRegistry(Again.Manager()->RegistryPath);
    Drain();
    EXPECT_EQ(Captions(Again.Toolbar()), Left);
}

}  // namespace
