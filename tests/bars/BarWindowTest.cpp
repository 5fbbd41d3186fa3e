// Bar windows on the offscreen platform: the main window's menu bar and toolbar docked at the
// top of a form, their geometry, clicks and repaints, and pictures of them in the three styles.
#include <gtest/gtest.h>

#include <QImage>

#include "bars/dxBar.h"
#include "tests/bars/BarTestSupport.h"
#include "tests/support/GuiTestSupport.h"

namespace {

std::string BarPicturePath(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/bars/" + Name + ".png";
}

TEST(MainWindowBarsShown, Smoke) {
    TBarsForm Bars = TBarsForm::FromDefinition("TFormMain");
    Bars.Form()->SetBounds(20, 20, 640, 200);
    Bars.Form()->Show();
    GuiTest::Drain();
    EXPECT_TRUE(SaveWindowPicture(Bars.Form()->Handle(), BarPicturePath("smoke")));
}

}  // namespace
