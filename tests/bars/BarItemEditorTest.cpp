// The item editor: what it proposes, the item it makes, and a name the form refuses.
#include <gtest/gtest.h>

#include "bars/customize/dxBarItemEd.h"
#include "tests/bars/DesignTestSupport.h"

namespace {

using namespace BarTest;

TdxBarItemAddEditor* Editor() {
    return ShownForm<TdxBarItemAddEditor>();
}

TEST_F(DesignTime, TheItemEditorProposesAFreeNameAndMakesTheItemInTheChosenCategory) {
    const int Before = Manager()->ItemCount();
    TdxBarItem* Made = nullptr;
    WithDialog([&] { Made = ShowItemAddEditor(Manager(), 3); },
               {[&] {
                    TdxBarItemAddEditor* E = Editor();
                    ASSERT_NE(E, nullptr);
                    EXPECT_EQ(E->Caption(), "Add New VizirizEvev Item");
                    EXPECT_EQ(E->Edit2->Text(), "New Item");
                    EXPECT_EQ(E->ActiveControl(), E->Edit1);
                    // The classes shown in the editors, in the order they were registered.
                    ASSERT_EQ(E->ComboBox1->Items()->Count(), VisibleItemClassCount());
                    for (int I = 0; I < VisibleItemClassCount(); ++I)
                        EXPECT_EQ(E->ComboBox1->Items()->Get(I), VisibleItemClassByIndex(I)->Name);
                    EXPECT_EQ(E->ComboBox1->ItemIndex(), 0);
                    EXPECT_EQ(E->ComboBox1->DropDownCount(), 100);
                    EXPECT_EQ(E->ComboBox2->Items()->Count(), Manager()->Categories()->Count());
                    EXPECT_EQ(E->ComboBox2->ItemIndex(), 3);
                    EXPECT_EQ(E->Edit1->Text(), "dxBarButton1");
                    // Another class: a name of its own, past the sub-items the form has.
                    E->ComboBox1->SetItemIndex(E->ComboBox1->Items()->IndexOf("TdxBarSubItem"));
                    E->ComboBox1Change(E->ComboBox1);
                    EXPECT_EQ(E->Edit1->Text(), "dxBarSubItem5");
                    E->Edit2->SetText("&Tools");
                },
                [&] { ClickControl(Editor()->BOk); }});
    ASSERT_NE(Made, nullptr);
    EXPECT_EQ(Manager()->ItemCount(), Before + 1);
    EXPECT_NE(dynamic_cast<TdxBarSubItem*>(Made), nullptr);
    EXPECT_EQ(Made->Name(), "dxBarSubItem5");
    EXPECT_EQ(Made->Caption(), "&Tools");
    EXPECT_EQ(Made->Category(), 3);
    EXPECT_EQ(Made->Owner(), Form());
    EXPECT_EQ(Made->BarManager(), Manager());
}

TEST_F(DesignTime, TheItemEditorsNumbersIgnoreCaseAndABadCategoryMeansTheFirst) {
    static_cast<TComponent*>(Bars.Bars.NewItem())->SetName("DXBARBUTTON1");
    WithDialog([&] { ShowItemAddEditor(Manager(), 99); },
               {[&] {
                    ASSERT_NE(Editor(), nullptr);
                    EXPECT_EQ(Editor()->Edit1->Text(), "dxBarButton2");
                    EXPECT_EQ(Editor()->ComboBox2->ItemIndex(), 0);
                },
                [&] { ClickControl(Editor()->BCancel); }});
}

TEST_F(DesignTime, ANameTheFormRefusesKeepsTheEditorOpenWithAFreshProposal) {
    const int Before = Manager()->ItemCount();
    const int Components = Form()->ComponentCount();
    TdxBarItem* Made = reinterpret_cast<TdxBarItem*>(1);
    std::vector<std::string> Proposed;
    std::vector<std::function<void()>> Steps;
    // Taken by another component of the form (any case), not an identifier, empty. The modal
    // loop asks the form after each step.
    for (const std::string Name : {"neu1", "dxBarManager", "2 words", ""}) {
        Steps.push_back([Name] {
            ASSERT_NE(Editor(), nullptr);
            Editor()->Edit1->SetText(Name);
            ClickControl(Editor()->BOk);
        });
        Steps.push_back([&] {
            ASSERT_NE(Editor(), nullptr);
            Proposed.push_back(Editor()->Edit1->Text());
            EXPECT_EQ(Manager()->ItemCount(), Before);
            EXPECT_EQ(Form()->ComponentCount(), Components);
        });
    }
    Steps.push_back([] { ClickControl(Editor()->BCancel); });
    WithDialog([&] { Made = ShowItemAddEditor(Manager(), 0); }, Steps);
    EXPECT_EQ(Made, nullptr);
    EXPECT_EQ(Proposed, std::vector<std::string>(4, "dxBarButton1"));
    EXPECT_EQ(Manager()->ItemCount(), Before);
}

}  // namespace
