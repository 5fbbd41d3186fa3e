// Pictures of the designer's parts of the customizing dialog for review: the Commands page with
// its "... modify" buttons and popup, the All commands and Groups pages, the item editor, the
// add-items dialog and the sub-menu editor with its menu. The add-items dialog's rows are also
// checked: members the group has already are greyed.
#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>

#include "bars/customize/dxBarAddGroupItemsEd.h"
#include "bars/customize/dxBarCustFormDesign.h"
#include "bars/customize/dxBarItemEd.h"
#include "bars/customize/dxBarPopupMenuEd.h"
#include "bars/model/dxBarGroups.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/core/WindowPicture.h"
#include "tests/bars/DesignTestSupport.h"

namespace {

using namespace BarTest;

void SavePicture(HWND Wnd, const std::string& Name) {
    EXPECT_TRUE(SaveWindowPicture(Wnd, BarPicturePath(Name))) << Name;
}

QColor SysColor(int Index) {
    const DWORD C = GetSysColor(Index);
    return QColor(int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF));
}

// Whether a pixel of the colour lies in the rectangle of the picture.
bool Shows(const QImage& Picture, const TRect& R, QColor Color) {
    for (int Y = std::max<int>(0, R.Top); Y < std::min<int>(Picture.height(), R.Bottom); ++Y)
        for (int X = std::max<int>(0, R.Left); X < std::min<int>(Picture.width(), R.Right); ++X)
            if (QColor(Picture.pixel(X, Y)).rgb() == Color.rgb()) return true;
    return false;
}

struct DesignPictures : DesignTime {
    TdxBarGroup* NewGroup(const std::string& Name) {
        TdxBarGroup* Group = Manager()->AddGroup();
        static_cast<TComponent*>(Group)->SetName(Name);
        return Group;
    }
};

TEST_F(DesignPictures, PicturesOfTheDesignersPagesAndPopup) {
    TdxBarGroup* Files = NewGroup("dxBarGroup1");
    NewGroup("dxBarGroup2");
    Files->Add(Manager()->ItemByName("Neu1"));
    Files->Add(Manager()->ItemByName("BarButtonExit"));
    Files->Add(Manager()->Groups(1));
    TdxBarCustomizingForm* D = Open();
    ASSERT_NE(D, nullptr);
    D->SetBounds(80, 60, D->Width(), D->Height());
    D->PageControl->SetActivePage(D->TabSheet2);
    D->SelectItem(Manager()->ItemByName("dxBarSubItem1"), true);
    GuiTest::Drain();
    SavePicture(D->Handle(), "design-commands");

    // The commands popup, photographed while its loop runs.
    dxBarCustFormDesign::TDesignPages* Pages = D->DesignPages();
    QObject Context;
    QTimer Watch;
    int Ticks = 0, Shown = 0;
    QObject::connect(&Watch, &QTimer::timeout, &Context, [&] {
        TdxBarSubMenuControl* Menu = Pages->CommandsPopupMenu()->Window();
        if (++Ticks > 2000) {
            Watch.stop();
            if (Menu && !Menu->Hiding()) Menu->Hide();
            return;
        }
        if (!Menu || !Menu->HandleAllocated() || !IsWindowVisible(Menu->Handle()) ||
            Menu->Animating())
            return;
        // Shown: a few more passes let it paint.
        if (++Shown < 20) return;
        Watch.stop();
        SavePicture(Menu->Handle(), "design-commands-popup");
        PostMessage(Menu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Watch.start(1);
    ClickControl(Pages->CommandsButton());
    GuiTest::Drain();

    D->PageControl->SetActivePage(D->TabSheet4);
    Pages->AllCommands()->SetItemIndex(2);
    GuiTest::Drain();
    SavePicture(D->Handle(), "design-all-commands");

    D->PageControl->SetActivePage(D->TabSheet5);
    D->RefreshPage();
    Pages->Groups()->SetItemIndex(0);
    Pages->UpdateGroupItems();
    Pages->GroupItems()->SetSelected(1, true);
    Pages->UpdateGroupButtons();
    GuiTest::Drain();
    SavePicture(D->Handle(), "design-groups");
}

TEST_F(DesignPictures, PictureOfTheItemEditor) {
    ASSERT_NE(Open(), nullptr);
    WithDialog([&] { ShowItemAddEditor(Manager(), 2); }, {[&] {
                   auto* Editor = ShownForm<TdxBarItemAddEditor>();
                   ASSERT_NE(Editor, nullptr);
                   GuiTest::Drain();
                   SavePicture(Editor->Handle(), "design-item-editor");
                   ClickControl(Editor->BCancel);
               }});
}

TEST_F(DesignPictures, TheAddItemsDialogGreysWhatTheGroupHasAlready) {
    TdxBarGroup* Group = NewGroup("dxBarGroup1");
    NewGroup("dxBarGroup2");
    TdxBarItem* Member = Manager()->ItemByName("Neu1");
    TdxBarItem* Other = Manager()->ItemByName("LoadConfig");
    Group->Add(Member);
    ASSERT_NE(Open(), nullptr);
    std::vector<TComponent*> Picked;
    WithDialog([&] { ShowAddGroupItems(Group, Picked); }, {[&] {
                   auto* Picker = ShownForm<TfrmAddGroupItems>();
                   ASSERT_NE(Picker, nullptr);
                   TdxBarGroupItemsListBox* List = Picker->lbGroupItems;
                   List->SetSelected(
                       List->Items()->IndexOfObject(Manager()->ItemByName("BarButtonExit")), true);
                   GuiTest::Drain();
                   SavePicture(Picker->Handle(), "design-add-group-items");
                   // The picture has the list's border: rows are placed by the client origin.
                   const QImage Framed = WindowPicture(List->Handle());
                   ASSERT_FALSE(Framed.isNull());
                   RECT Frame{};
                   GetWindowRect(List->Handle(), &Frame);
                   const TPoint Origin = List->ClientToScreen(TPoint{0, 0});
                   const QImage Picture = Framed.copy(Origin.X - Frame.left, Origin.Y - Frame.top,
                                                      List->ClientWidth(), List->ClientHeight());
                   auto Caption = [&](TdxBarItem* Item) {
                       TRect R = List->ItemRect(List->Items()->IndexOfObject(Item));
                       R.Right = (R.Left + R.Right) / 2 - 1;
                       return R;
                   };
                   // The member's caption is written in the button face colour, the others'
                   // in the window text colour.
                   EXPECT_TRUE(Shows(Picture, Caption(Member), SysColor(COLOR_BTNFACE)));
                   EXPECT_FALSE(Shows(Picture, Caption(Member), SysColor(COLOR_WINDOWTEXT)));
                   EXPECT_TRUE(Shows(Picture, Caption(Other), SysColor(COLOR_WINDOWTEXT)));
                   // Headers are set on the button face; the space below the rows too.
                   const TRect Header = List->ItemRect(0);
                   EXPECT_EQ(QColor(Picture.pixel(Header.Right - 2, Header.Top + 1)).rgb(),
                             SysColor(COLOR_BTNFACE).rgb());
                   const TRect Below = List->ItemRect(List->Items()->Count());
                   if (Below.Top + 2 < List->ClientHeight()) {
                       EXPECT_EQ(QColor(Picture.pixel(4, List->ClientHeight() - 2)).rgb(),
                                 SysColor(COLOR_BTNFACE).rgb());
                   }
                   ClickControl(Picker->btnCancel);
               }});
}

TEST_F(DesignPictures, PictureOfTheSubMenuEditor) {
    ASSERT_NE(Open(), nullptr);
    auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Manager()->ItemByName("dxBarSubItem1"));
    ASSERT_NE(Sub, nullptr);
    ShowSubMenuEditor(Sub->ItemLinks());
    GuiTest::Drain();
    TdxBarSubMenuEditor* Editor = GetSubMenuEditor();
    ASSERT_NE(Editor, nullptr);
    ASSERT_NE(Editor->SubMenu(), nullptr);
    SavePicture(Editor->Handle(), "design-submenu-editor");
    SavePicture(Editor->SubMenu()->Handle(), "design-submenu-editor-menu");
}

}  // namespace
