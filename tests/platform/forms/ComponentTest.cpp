// The component model: ownership, names, notifications, loading state, Assign and collections.
#include <gtest/gtest.h>

#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/forms/Errors.h"
#include "tests/platform/forms/TestComponents.h"
#include "tests/support/TestSupport.h"

namespace {

// Writes into a shared journal what it hears and when it goes; keeps its derived type (the
// journal shows whether a notification saw the whole object).
class TWatcher : public TComponent {
  public:
    TWatcher(TComponent* Owner, const std::string& AName, std::vector<std::string>& Journal)
        : TComponent(Owner), FJournal(Journal) {
        SetName(AName);
    }
    ~TWatcher() override { FJournal.push_back("~" + Name()); }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        const bool Whole = dynamic_cast<TWatcher*>(AComponent) != nullptr;
        FJournal.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name() +
                           (Whole ? "" : "(part)"));
    }

  private:
    std::vector<std::string>& FJournal;
};

class TPlain : public TPersistent {};

}  // namespace

TEST(ComponentOwnership, OwnerFreesWhatItOwnsLastFirstAndAFreedComponentLeaves) {
    std::vector<std::string> Journal;
    auto* Root = new TWatcher(nullptr, "Root", Journal);
    auto* A = new TWatcher(Root, "A", Journal);
    new TWatcher(Root, "B", Journal);
    auto* C = new TWatcher(Root, "C", Journal);
    EXPECT_EQ(Root->ComponentCount(), 3);
    EXPECT_EQ(C->ComponentIndex(), 2);
    C->SetComponentIndex(0);
    EXPECT_EQ(Root->Components(0), C);
    EXPECT_EQ(A->ComponentIndex(), 1);
    EXPECT_EQ(Root->FindComponent("b")->Name(), "B");
    EXPECT_EQ(Root->FindComponent("nobody"), nullptr);
    EXPECT_THROW(Root->Components(3), ERangeError);

    A->Free();
    EXPECT_EQ(Root->ComponentCount(), 2);
    Journal.clear();
    Root->Free();
    // B and C go before Root (B last in the list first), each its own destructor.
    EXPECT_EQ(Journal, (std::vector<std::string>{"~B", "~C", "~Root"}));
}

TEST(ComponentOwnership, InsertingIntoAnotherOwnerMovesTheComponent) {
    TTestForm One(nullptr), Two(nullptr);
    auto* Moving = new TComponent(&One);
    Moving->SetName("Moving");
    Two.InsertComponent(Moving);
    EXPECT_EQ(Moving->Owner(), &Two);
    EXPECT_EQ(One.ComponentCount(), 0);
    EXPECT_EQ(One.Heard, (std::vector<std::string>{"+", "-Moving"}));
    EXPECT_EQ(Two.Heard, (std::vector<std::string>{"+Moving"}));
}

TEST(ComponentNames, ValidatedAndUniqueWithinTheOwnerWithoutRegardToCase) {
    TTestForm Root(nullptr);
    auto* A = new TComponent(&Root);
    auto* B = new TComponent(&Root);
    A->SetName("Button1");
    struct Case {
        std::string Name;
        std::string Error;
    };
    const Case Cases[] = {
        {"_ok9", ""},
        {"9lives", "'9lives' is not a valid component name"},
        {"has space", "'has space' is not a valid component name"},
        {"Umlaut\xC3\xA4", "'Umlaut\xC3\xA4' is not a valid component name"},
        {"BUTTON1", "A component named BUTTON1 already exists"},
        {"", ""},  // unnamed components may be many
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ErrorOf<EComponentError>([&] { B->SetName(C.Name); }), C.Error) << C.Name;
    }
    auto* Unnamed = new TComponent(&Root);
    EXPECT_EQ(Unnamed->Name(), "");
    A->SetName("BUTTON1");  // its own name in another case
    EXPECT_EQ(A->Name(), "BUTTON1");
    // A named component cannot join an owner that already has the name.
    TTestForm Other(nullptr);
    auto* Clash = new TComponent(&Other);
    Clash->SetName("button1");
    EXPECT_EQ(ErrorOf<EComponentError>([&] { Root.InsertComponent(Clash); }),
              "A component named button1 already exists");
    EXPECT_EQ(Clash->Owner(), &Other);
}

TEST(ComponentNotifications, InsertAndRemoveReachEveryComponentOfTheOwnerWhileWhole) {
    std::vector<std::string> Journal;
    auto* Root = new TWatcher(nullptr, "Root", Journal);
    auto* A = new TWatcher(Root, "A", Journal);
    auto* B = new TWatcher(Root, "B", Journal);
    (void)A;
    Journal.clear();
    B->Free();
    // Free announces B while it is whole; the owner passes it on, last owned first (each
    // watcher writes after the base has passed the news on).
    EXPECT_EQ(Journal, (std::vector<std::string>{"B -B", "A -B", "Root -B", "~B"}));
    Journal.clear();
    // A plain delete runs the derived destructor first: the owned components go afterwards.
    delete Root;
    EXPECT_EQ(Journal, (std::vector<std::string>{"~Root", "~A"}));
}

TEST(ComponentNotifications, FreeNotificationLinksComponentsOfDifferentOwnersBothWays) {
    std::vector<std::string> Journal;
    auto* FormA = new TWatcher(nullptr, "FormA", Journal);
    auto* FormB = new TWatcher(nullptr, "FormB", Journal);
    auto* Images = new TWatcher(FormA, "Images", Journal);
    auto* Bar = new TWatcher(FormB, "Bar", Journal);
    Images->FreeNotification(Bar);  // Bar wants to hear when Images goes
    EXPECT_TRUE(Images->ComponentState().Contains(csFreeNotification));
    Journal.clear();
    Images->Free();
    EXPECT_EQ(Journal[0], "Bar -Images");
    // The link is gone both ways: freeing Bar later tells nobody in FormA.
    Journal.clear();
    Bar->Free();
    EXPECT_EQ(Journal, (std::vector<std::string>{"Bar -Bar", "FormB -Bar", "~Bar"}));

    // Either side may go first.
    auto* Images2 = new TWatcher(FormA, "Images2", Journal);
    auto* Bar2 = new TWatcher(FormB, "Bar2", Journal);
    Images2->FreeNotification(Bar2);
    Journal.clear();
    Bar2->Free();
    EXPECT_EQ(Journal.front(), "Images2 -Bar2");
    Journal.clear();
    Images2->Free();
    EXPECT_EQ(Journal,
              (std::vector<std::string>{"Images2 -Images2", "FormA -Images2", "~Images2"}));
    delete FormA;
    delete FormB;
}

TEST(ComponentState, DestroyingReachesOwnedComponentsAndCreationScopeMarksTheConstructor) {
    TTestForm Root(nullptr);
    auto* Child = new TTestPanel(&Root);
    EXPECT_FALSE(Child->CreatedLoading);
    {
        TComponentCreationScope Scope({csLoading, csReading});
        auto* Loading = new TTestPanel(&Root);
        EXPECT_TRUE(Loading->CreatedLoading);
        // The state is taken once: what that constructor creates starts clean.
        auto* After = new TTestPanel(&Root);
        EXPECT_FALSE(After->CreatedLoading);
    }
    Root.Destroying();
    EXPECT_TRUE(Root.ComponentState().Contains(csDestroying));
    EXPECT_TRUE(Child->ComponentState().Contains(csDestroying));
}

TEST(PersistentAssign, UnrelatedClassesRaiseTheCannotAssignError) {
    RegisterTestComponents();
    TPlain Plain;
    TTestBars Bars(nullptr);
    EXPECT_EQ(ErrorOf<EConvertError>([&] { Plain.Assign(&Bars); }),
              "Cannot assign a TTestBars to a " + Plain.ClassName());
    EXPECT_EQ(ErrorOf<EConvertError>([&] { Bars.Assign(nullptr); }),
              "Cannot assign a nil to a TTestBars");
}

TEST(Collections, ItemsKeepOrderIdsAndReportChangesOnceAfterNestedUpdates) {
    RegisterTestComponents();
    TTestBars Bars(nullptr);
    auto* First = static_cast<TTestBar*>(Bars.Add());
    First->Caption = "first";
    auto* Second = static_cast<TTestBar*>(Bars.Insert(0));
    Second->Caption = "second";
    EXPECT_EQ(Bars.Items(0), Second);
    EXPECT_EQ(First->Index(), 1);
    EXPECT_EQ(First->ID(), 0);
    EXPECT_EQ(Second->ID(), 1);
    EXPECT_EQ(Bars.FindItemID(1), Second);
    EXPECT_EQ(Bars.Notices, (std::vector<std::string>{"added 0", "added 1"}));

    Bars.Updates.clear();
    Bars.BeginUpdate();
    Bars.BeginUpdate();
    Bars.Add();
    First->SetIndex(0);
    Bars.EndUpdate();
    EXPECT_TRUE(Bars.Updates.empty());
    Bars.EndUpdate();
    EXPECT_EQ(Bars.Updates, (std::vector<std::string>{"Update"}));

    Bars.Notices.clear();
    Bars.Delete(2);
    EXPECT_EQ(Bars.Notices, (std::vector<std::string>{"deleting 2", "extracting 2"}));
    EXPECT_THROW(Bars.Delete(5), ERangeError);
    // An item freed directly leaves the list.
    delete Second;
    EXPECT_EQ(Bars.Count(), 1);
    EXPECT_EQ(Bars.GetNamePath(), "TTestBars");
    EXPECT_EQ(First->GetNamePath(), "TTestBars[0]");
}

TEST(Collections, AssignRebuildsTheItemsAndAnItemMayMoveToAnotherCollection) {
    RegisterTestComponents();
    TTestBars From(nullptr), To(nullptr);
    for (const char* Caption : {"Main Menu", "Toolbar"})
        static_cast<TTestBar*>(From.Add())->Caption = Caption;
    To.Add();
    To.Assign(&From);
    ASSERT_EQ(To.Count(), 2);
    EXPECT_EQ(static_cast<TTestBar*>(To.Items(1))->Caption, "Toolbar");
    EXPECT_NE(To.Items(1), From.Items(1));

    TCollectionItem* Moving = From.Items(0);
    Moving->SetCollection(&To);
    EXPECT_EQ(From.Count(), 1);
    EXPECT_EQ(To.Count(), 3);
    EXPECT_EQ(Moving->Index(), 2);
    To.Clear();
    EXPECT_EQ(To.Count(), 0);
}
