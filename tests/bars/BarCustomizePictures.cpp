// Pictures of the customizing dialog for review: every page, the options of both panels, the
// commands of each kind as the flat and the standard style paint them, and the name dialog.
#include <gtest/gtest.h>

#include "platform/core/WindowPicture.h"
#include "tests/bars/CustomizeTestSupport.h"

namespace {

using namespace BarTest;

void SaveDialogPicture(HWND Wnd, const std::string& Name) {
    EXPECT_TRUE(SaveWindowPicture(Wnd, BarPicturePath(Name))) << Name;
}

// A category whose commands show every kind of entry; the one to show selected.
TdxBarItem* AddSampleCommands(TBarsForm& Bars) {
    TdxBarManager* Manager = Bars.Manager();
    Manager->Categories()->Add("Samples");
    const int Category = Manager->Categories()->Count() - 1;
    auto* Plain = Bars.NewItem("&Open...");
    Plain->SetImageIndex(1);
    auto* DropDown = Bars.NewItem("&Send");
    DropDown->SetImageIndex(5);
    DropDown->SetButtonStyle(bsDropDown);
    auto* Sub = Bars.NewItem<TdxBarSubItem>("&Recent");
    auto* Edit = Bars.NewItem<TdxBarEdit>("Find:");
    auto* Combo = Bars.NewItem<TdxBarCombo>("Server:");
    auto* List = Bars.NewItem<TdxBarListItem>("Windows");
    for (TdxBarItem* Item :
         std::initializer_list<TdxBarItem*>{Plain, DropDown, Sub, Edit, Combo, List})
        Item->SetCategory(Category);
    return DropDown;
}

void ShowPages(Customize& Test, TdxBarItem* Selected, const std::string& Style) {
    TdxBarCustomizingForm* D = Test.Open();
    ASSERT_NE(D, nullptr);
    D->SetBounds(80, 60, D->Width(), D->Height());
    const std::pair<TTabSheet*, std::string> Pages[] = {
        {D->TabSheet1, "toolbars"}, {D->TabSheet2, "commands"}, {D->TabSheet3, "options"}};
    for (const auto& [Page, Name] : Pages) {
        D->PageControl->SetActivePage(Page);
        if (Page == D->TabSheet2) D->SelectItem(Selected, true);
        GuiTest::Drain();
        SaveDialogPicture(D->Handle(), "customize-" + Name + "-" + Style);
    }
}

TEST_F(Customize, PicturesOfEveryPageInTheFlatStyle) {
    ShowPages(*this, AddSampleCommands(Bars.Bars), "flat");
}

TEST_F(Customize, PicturesOfEveryPageInTheStandardStyle) {
    Manager()->SetStyle(bmsStandard);
    ShowPages(*this, AddSampleCommands(Bars.Bars), "standard");
}

TEST_F(Customize, PictureOfTheNameDialog) {
    TdxBarCustomizingForm* D = Open();
    ASSERT_NE(D, nullptr);
    WithNameDialog([&] { D->NewBar(); }, {[&] {
                       ASSERT_NE(NameDialog(), nullptr);
                       GuiTest::Drain();
                       SaveDialogPicture(NameDialog()->Handle(), "customize-name-dialog");
                       ClickControl(NameDialog()->BCancel);
                   }});
}

}  // namespace
