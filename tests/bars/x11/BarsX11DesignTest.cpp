// The customizing dialog of a designed manager on a real X server: xdotool clicks the commands'
// "... modify" button, the entry "Add..." of its popup, types the new command's name into the
// item editor and confirms it. The popup and the editor run loops of their own inside the
// clicks, so each next input is started from a timer once the window it is for has shown. Run
// by run-x11.sh under xvfb-run.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTimer>

#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarCustFormDesign.h"
#include "bars/customize/dxBarItemEd.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/controls/Controls.h"
#include "tests/bars/CustomizeTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace BarTest;
using namespace GuiTest;

namespace {

// Runs Act once Ready holds, from a timer of whatever loop runs then; gives up after a bound.
class TWhen {
  public:
    TWhen(std::function<bool()> Ready, std::function<void()> Act)
        : FReady(std::move(Ready)), FAct(std::move(Act)) {
        QObject::connect(&FTimer, &QTimer::timeout, &FContext, [this] {
            if (++FTicks > 20000) {
                FTimer.stop();
                return;
            }
            if (!FReady()) return;
            FTimer.stop();
            FDone = true;
            FAct();
        });
        FTimer.start(1);
    }
    bool Done() const { return FDone; }

  private:
    std::function<bool()> FReady;
    std::function<void()> FAct;
    QObject FContext;
    QTimer FTimer;
    int FTicks = 0;
    bool FDone = false;
};

bool Shown(TWinControl* Control) {
    return Control && Control->HandleAllocated() && IsWindowVisible(Control->Handle()) &&
           QtWindowOf(Control->Handle()) && QtWindowOf(Control->Handle())->isExposed();
}

TEST(BarsX11Design, ACommandIsMadeThroughTheModifyPopupAndTheItemEditor) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    InitStandardControls();
    TMenuForm Form;
    ASSERT_TRUE(WaitExposed(Form.FormWindow()));
    Form.Bars.Form()->SetDesigning(true);
    ShowCustomizingForm(Form.Manager(), true);
    TdxBarCustomizingForm* Dialog = GetCustomizingForm();
    ASSERT_NE(Dialog, nullptr);
    ASSERT_TRUE(WaitExposed(Dialog->Handle()));
    Dialog->PageControl->SetActivePage(Dialog->TabSheet2);
    Dialog->LCategories->SetItemIndex(2);
    Dialog->LCategories->OnClick(Dialog->LCategories);
    Drain();
    Xdo({"windowfocus", "--sync", XId(Dialog->Handle())});
    Drain();
    dxBarCustFormDesign::TDesignPages* Pages = Dialog->DesignPages();
    ASSERT_NE(Pages, nullptr);
    const std::vector<std::string> Before = [&] {
        std::vector<std::string> Out;
        for (int I = 0; I < Dialog->CommandsListBox()->Items()->Count(); ++I)
            Out.push_back(Dialog->CommandsListBox()->Items()->Get(I));
        return Out;
    }();

    std::unique_ptr<QProcess> EntryClick, Typing;
    TWhen OnMenu(
        [&] {
            TdxBarSubMenuControl* Menu = Pages->CommandsPopupMenu()->Window();
            return Menu && Shown(Menu) && !Menu->Animating();
        },
        [&] {
            TdxBarSubMenuControl* Menu = Pages->CommandsPopupMenu()->Window();
            const POINT At = TMenuForm::EntryPoint(Menu, 0);
            EntryClick =
                StartXdo({"mousemove", Num(At.x), Num(At.y), "sleep", "0.2", "click", "1"});
        });
    TWhen OnEditor(
        [&] { return Shown(ShownForm<TdxBarItemAddEditor>()); },
        [&] {
            TdxBarItemAddEditor* Editor = ShownForm<TdxBarItemAddEditor>();
            // The proposed name is selected in the name's edit: typing replaces it.
            Typing = StartXdo({"windowfocus", "--sync", XId(Editor->Handle()), "type", "Fresh1"});
            Typing->waitForFinished(20000);
            StartXdo({"key", "Return"})->waitForFinished(20000);
        });
    const TPoint Button = Pages->CommandsButton()->ClientToScreen(
        TPoint{Pages->CommandsButton()->Width() / 2, Pages->CommandsButton()->Height() / 2});
    Xdo({"mousemove", Num(Button.X), Num(Button.Y), "click", "1"});
    ASSERT_TRUE(PumpUntil([&] { return OnEditor.Done() && !ShownForm<TdxBarItemAddEditor>(); }));
    Drain();
    EXPECT_TRUE(OnMenu.Done());
    TdxBarItem* Made = Form.Manager()->ItemByName("Fresh1");
    ASSERT_NE(Made, nullptr);
    EXPECT_EQ(Made->Caption(), "New Item");
    EXPECT_EQ(Made->Category(), 2);
    EXPECT_EQ(Dialog->CommandsListBox()->Items()->Count(), int(Before.size()) + 1);
    EXPECT_FALSE(Pages->CommandsPopupMenu()->IsOpen());
    ShowCustomizingForm(Form.Manager(), false);
    Form.Bars.Form()->SetDesigning(false);
    Drain();
}

}  // namespace
