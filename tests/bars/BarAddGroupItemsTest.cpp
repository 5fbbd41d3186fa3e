// The add-items dialog of the groups page: what it lists for a group and what it hands back.
#include <gtest/gtest.h>

#include "bars/customize/dxBarAddGroupItemsEd.h"
#include "bars/model/dxBarGroups.h"
#include "tests/bars/DesignTestSupport.h"

namespace {

using namespace BarTest;

TfrmAddGroupItems* AddItems() {
    return ShownForm<TfrmAddGroupItems>();
}

struct AddGroupItems : DesignTime {
    TdxBarGroup* NewGroup(const std::string& Name) {
        TdxBarGroup* Group = Manager()->AddGroup();
        static_cast<TComponent*>(Group)->SetName(Name);
        return Group;
    }
    // The entries as the list holds them and the objects of the other entries.
    std::vector<std::string> Shown() { return Entries(AddItems()->lbGroupItems); }
    // What the dialog lists for one category: its header and its items' captions, set in.
    std::vector<std::string> CategoryEntries(int Category) {
        std::vector<std::string> Out{"~" + Manager()->Categories()->Get(Category)};
        std::vector<TdxBarItem*> Items;
        Manager()->GetItemsByCategory(Category, Items);
        for (TdxBarItem* Item : Items) Out.push_back(Item->Caption());
        return Out;
    }
    std::vector<std::string> AllCategoryEntries() {
        std::vector<std::string> Out;
        for (int C = 0; C < Manager()->Categories()->Count(); ++C) {
            std::vector<TdxBarItem*> Items;
            Manager()->GetItemsByCategory(C, Items);
            if (Items.empty()) continue;
            for (const std::string& E : CategoryEntries(C)) Out.push_back(E);
        }
        return Out;
    }
};

TEST_F(AddGroupItems, WithOneGroupOnlyTheCategoriesWithItemsAreListed) {
    TdxBarGroup* Group = NewGroup("Files");
    // A category without items gets no header.
    Manager()->Categories()->Add("Empty");
    std::vector<TComponent*> Picked;
    WithDialog([&] { ShowAddGroupItems(Group, Picked); },
               {[&] {
                    ASSERT_NE(AddItems(), nullptr);
                    EXPECT_EQ(AddItems()->Caption(), "Add Group Items");
                    EXPECT_TRUE(AddItems()->lbGroupItems->MultiSelect());
                    const std::vector<std::string> Listed = Shown();
                    EXPECT_EQ(Listed, AllCategoryEntries());
                    EXPECT_EQ(std::count(Listed.begin(), Listed.end(), "~Empty"), 0);
                    EXPECT_EQ(std::count(Listed.begin(), Listed.end(), "~< Groups >"), 0);
                    EXPECT_TRUE(AddItems()->lbGroupItems->IsHeader(0));
                    EXPECT_EQ(AddItems()->lbGroupItems->Member(0), nullptr);
                },
                [&] { ClickControl(AddItems()->btnCancel); }});
    EXPECT_TRUE(Picked.empty());
}

TEST_F(AddGroupItems, OtherGroupsComeFirstAndOkHandsBackTheSelectedGroupsAndItems) {
    TdxBarGroup* Group = NewGroup("Files");
    TdxBarGroup* Tools = NewGroup("Tools");
    TdxBarGroup* Help = NewGroup("Help");
    TdxBarItem* Exit = Bars.Bars.Button("BarButtonExit");
    TComponent* Before = Manager();
    std::vector<TComponent*> Picked{Before};
    bool Confirmed = false;
    WithDialog([&] { Confirmed = ShowAddGroupItems(Group, Picked); },
               {[&] {
                    ASSERT_NE(AddItems(), nullptr);
                    std::vector<std::string> Expected{"~< Groups >", "Tools", "Help"};
                    for (const std::string& E : AllCategoryEntries()) Expected.push_back(E);
                    EXPECT_EQ(Shown(), Expected);
                    TdxBarGroupItemsListBox* List = AddItems()->lbGroupItems;
                    EXPECT_EQ(List->Member(2), Help);
                    // A header selected with the rest hands back nothing of its own.
                    List->SetSelected(0, true);
                    List->SetSelected(2, true);
                    List->SetSelected(List->Items()->IndexOfObject(Exit), true);
                },
                [&] { ClickControl(AddItems()->btnOk); }});
    EXPECT_TRUE(Confirmed);
    EXPECT_EQ(Picked, (std::vector<TComponent*>{Before, Help, Exit}));
    (void)Tools;
}

}  // namespace
