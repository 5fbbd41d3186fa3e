// Actions: changes reach every link (which still sees the old value), the update pass disables
// linked clients, the list's handlers run first, handlers may free what they run in, and an
// action list with its actions reads from a definition and writes back to the same text.
#include <gtest/gtest.h>

#include <memory>

#include "platform/actions/ActnList.h"
#include "platform/core/Input.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Filer.h"

namespace {

// What a client shows. Its link writes a value only while the client follows the action, that
// is while the client's value equals the action's, as the bar items' links do.
struct TTestClient {
    std::string Caption;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    std::string Hint;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;
    int HelpContext = 0;
    std::vector<std::string> Log;
};

class TTestLink : public TActionLink {
  public:
    explicit TTestLink(TTestClient& Client) : FClient(Client) {
        OnChange = [this](TObject*) { FClient.Log.push_back("change"); };
    }

    bool IsCaptionLinked() const override {
        return TActionLink::IsCaptionLinked() && FClient.Caption == CustomAction()->Caption();
    }
    bool IsEnabledLinked() const override {
        return TActionLink::IsEnabledLinked() && FClient.Enabled == CustomAction()->Enabled();
    }

  protected:
    void SetCaption(const std::string& Value) override {
        if (IsCaptionLinked()) FClient.Caption = Value;
    }
    void SetEnabled(bool Value) override {
        if (IsEnabledLinked()) FClient.Enabled = Value;
    }
    void SetChecked(bool Value) override { FClient.Checked = Value; }
    void SetVisible(bool Value) override { FClient.Visible = Value; }
    void SetHint(const std::string& Value) override { FClient.Hint = Value; }
    void SetImageIndex(int Value) override { FClient.ImageIndex = Value; }
    void SetShortCut(TShortCut Value) override { FClient.ShortCut = Value; }
    void SetHelpContext(int Value) override { FClient.HelpContext = Value; }

  private:
    TTestClient& FClient;
};

struct TFree {
    void operator()(TComponent* Component) const { Component->Free(); }
};
using TOwned = std::unique_ptr<TComponent, TFree>;

// A form with handlers that definitions bind by name; each logs its call.
class TActionTestForm : public TComponent {
  public:
    explicit TActionTestForm(TComponent* Owner) : TComponent(Owner) {}
    ~TActionTestForm() override { DestroyComponents(); }

    std::vector<std::string> Log;
    bool ListHandles = false;

    void ListExecute(TBasicAction* Action, bool& Handled) {
        Log.push_back("list " + Action->Name());
        Handled = ListHandles;
    }
    void StartExecute(TObject*) { Log.push_back("start"); }
    void StartUpdate(TObject* Sender) {
        Log.push_back("update");
        static_cast<TCustomAction*>(Sender)->SetEnabled(!Running);
    }
    void ExitExecute(TObject*) { Log.push_back("exit"); }
    bool Running = false;
};

void RegisterTestForm() {
    static bool Done = false;
    if (Done) return;
    Done = true;
    RegisterActionClasses();
    RegisterClass<TActionTestForm, TComponent>("TActionTestForm")
        .Method("ListExecute", &TActionTestForm::ListExecute)
        .Method("StartExecute", &TActionTestForm::StartExecute)
        .Method("StartUpdate", &TActionTestForm::StartUpdate)
        .Method("ExitExecute", &TActionTestForm::ExitExecute);
}

class Actions : public ::testing::Test {
  protected:
    void SetUp() override { RegisterTestForm(); }

    TActionTestForm Form{nullptr};
    TActionList* List = new TActionList(&Form);
    TAction* Start = MakeAction("Start");
    TAction* Exit = MakeAction("Exit");

  private:
    TAction* MakeAction(const std::string& Name) {
        auto* Action = new TAction(&Form);
        Action->SetName(Name);
        Action->SetActionList(List);
        return Action;
    }
};

TEST_F(Actions, PropertyChangesReachEveryLinkedClient) {
    struct Case {
        const char* Name;
        std::function<void(TCustomAction&)> Change;
        std::function<bool(const TTestClient&)> Shows;
    };
    const Case Cases[] = {
        {"Caption", [](TCustomAction& A) { A.SetCaption("&Start"); },
         [](const TTestClient& C) { return C.Caption == "&Start"; }},
        {"Enabled", [](TCustomAction& A) { A.SetEnabled(false); },
         [](const TTestClient& C) { return !C.Enabled; }},
        {"Checked", [](TCustomAction& A) { A.SetChecked(true); },
         [](const TTestClient& C) { return C.Checked; }},
        {"Visible", [](TCustomAction& A) { A.SetVisible(false); },
         [](const TTestClient& C) { return !C.Visible; }},
        {"Hint", [](TCustomAction& A) { A.SetHint("Start|Starts a run"); },
         [](const TTestClient& C) { return C.Hint == "Start|Starts a run"; }},
        {"ImageIndex", [](TCustomAction& A) { A.SetImageIndex(4); },
         [](const TTestClient& C) { return C.ImageIndex == 4; }},
        {"ShortCut", [](TCustomAction& A) { A.SetShortCut(VK_F7); },
         [](const TTestClient& C) { return C.ShortCut == VK_F7; }},
        {"HelpContext", [](TCustomAction& A) { A.SetHelpContext(17); },
         [](const TTestClient& C) { return C.HelpContext == 17; }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TAction Action(nullptr);
        TTestClient One, Two;
        TTestLink LinkOne(One), LinkTwo(Two);
        LinkOne.SetAction(&Action);
        LinkTwo.SetAction(&Action);
        C.Change(Action);
        EXPECT_TRUE(C.Shows(One));
        EXPECT_TRUE(C.Shows(Two));
        EXPECT_EQ(One.Log, (std::vector<std::string>{"change"}));
        C.Change(Action);  // the same value again tells nobody
        EXPECT_EQ(Two.Log.size(), 1u);
    }

    // A client with its own caption does not follow the action's: the link is told before the
    // action stores the new caption, so it still compares with the old one.
    TAction Action(nullptr);
    Action.SetCaption("Old");
    TTestClient Follows, Own;
    Follows.Caption = "Old";
    Own.Caption = "Mine";
    TTestLink A(Follows), B(Own);
    A.SetAction(&Action);
    B.SetAction(&Action);
    EXPECT_TRUE(A.IsCaptionLinked());
    EXPECT_FALSE(B.IsCaptionLinked());
    Action.SetCaption("New");
    EXPECT_EQ(Follows.Caption, "New");
    EXPECT_EQ(Own.Caption, "Mine");
    B.SetAction(nullptr);
    Action.SetCaption("Newer");
    EXPECT_EQ(Own.Log, (std::vector<std::string>{"change"}));
}

TEST_F(Actions, TheUpdatePassDisablesTheClientsOfAnActionItsHandlerDisables) {
    TTestClient Button, MenuItem, Other;
    TTestLink L1(Button), L2(MenuItem), L3(Other);
    L1.SetAction(Start);
    L2.SetAction(Start);
    L3.SetAction(Exit);
    Start->SetOnUpdate([this](TObject* Sender) { Form.StartUpdate(Sender); });
    Form.Running = true;
    UpdateActionsOf(&Form);
    EXPECT_FALSE(Button.Enabled);
    EXPECT_FALSE(MenuItem.Enabled);
    EXPECT_TRUE(Other.Enabled);
    Form.Running = false;
    UpdateActionsOf(&Form);
    EXPECT_TRUE(Button.Enabled);

    // The list's OnUpdate comes first and may handle it; a suspended list updates nothing.
    Form.Log.clear();
    List->OnUpdate = [this](TBasicAction* Action, bool& Handled) {
        Form.Log.push_back("list " + Action->Name());
        Handled = Action == Start;
    };
    UpdateActionsOf(&Form);
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"list Start", "list Exit"}));
    Form.Log.clear();
    List->SetState(asSuspended);
    UpdateActionsOf(&Form);
    EXPECT_TRUE(Form.Log.empty());
    Start->SetEnabled(false);
    List->SetState(asSuspendedEnabled);  // enables every action of the list
    EXPECT_TRUE(Start->Enabled());
    EXPECT_TRUE(Button.Enabled);
}

TEST_F(Actions, AnUpdateHandlerMayFreeActionsThePassHasNotReachedYet) {
    TAction* Third = new TAction(&Form);
    Start->SetOnUpdate([&](TObject*) {
        Exit->Free();
        Third->Free();
    });
    List->OnUpdate = nullptr;
    UpdateActionsOf(&Form);  // the sanitizer sees any use of the freed ones
    EXPECT_EQ(List->ActionCount(), 1);
    EXPECT_EQ(Form.ComponentCount(), 2);
}

TEST_F(Actions, ExecutionAsksTheListFirstThenUpdatesAndRunsTheActionsHandler) {
    List->OnExecute = [this](TBasicAction* A, bool& Handled) { Form.ListExecute(A, Handled); };
    Start->SetOnUpdate([this](TObject* Sender) { Form.StartUpdate(Sender); });
    Start->SetOnExecute([this](TObject* Sender) {
        Form.StartExecute(Sender);
        Form.Log.push_back(Start->ActionComponent() ? Start->ActionComponent()->Name() : "none");
    });
    auto* Button = new TComponent(&Form);
    Button->SetName("Button");
    TTestClient Client;
    TTestLink Link(Client);
    Link.SetAction(Start);

    EXPECT_TRUE(Link.Execute(Button));
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"update", "list Start", "start", "Button"}));
    EXPECT_EQ(Start->ActionComponent(), nullptr);

    Form.Log.clear();
    Form.ListHandles = true;
    EXPECT_TRUE(Start->Execute());
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"update", "list Start"}));

    Form.Log.clear();
    Form.Running = true;  // the update disables it: nothing runs
    EXPECT_FALSE(Link.Execute(Button));
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"update"}));
    EXPECT_FALSE(Client.Enabled);

    Form.Log.clear();
    Form.Running = false;
    List->SetState(asSuspended);
    EXPECT_FALSE(Start->Execute());
    EXPECT_TRUE(Form.Log.empty());
    List->SetState(asNormal);

    // Shortcuts execute the first action that has them.
    Form.ListHandles = false;
    Exit->SetShortCut(ShortCut(VK_X, {ssAlt}));
    Exit->SetOnExecute([this](TObject* Sender) { Form.ExitExecute(Sender); });
    Form.Log.clear();
    EXPECT_TRUE(List->IsShortCut(0x8058));
    EXPECT_FALSE(List->IsShortCut(VK_F9));
    EXPECT_FALSE(List->IsShortCut(scNone));
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"list Exit", "exit"}));
}

TEST_F(Actions, AutoCheckTogglesAndAGroupKeepsOneChecked) {
    for (TAction* Action : {Start, Exit}) {
        Action->SetAutoCheck(true);
        Action->SetGroupIndex(1);
        Action->SetOnExecute([](TObject*) {});
    }
    auto* Loose = new TAction(&Form);
    Loose->SetActionList(List);
    Loose->SetAutoCheck(true);
    Loose->SetOnExecute([](TObject*) {});

    Start->Execute();
    EXPECT_TRUE(Start->Checked());
    Exit->Execute();
    EXPECT_TRUE(Exit->Checked());
    EXPECT_FALSE(Start->Checked());
    Exit->Execute();  // a checked member of a group stays checked
    EXPECT_TRUE(Exit->Checked());
    Loose->Execute();
    Loose->Execute();
    EXPECT_FALSE(Loose->Checked());
    EXPECT_TRUE(Exit->Checked());
    Start->SetChecked(true);
    EXPECT_FALSE(Exit->Checked());
}

TEST_F(Actions, HandlersMayFreeTheClientTheLinkAndTheAction) {
    // The client frees itself (and its link) from the action's handler.
    auto* Client = new TTestClient;
    auto* Link = new TTestLink(*Client);
    Link->SetAction(Start);
    Start->SetOnExecute([&](TObject*) {
        delete Link;
        delete Client;
    });
    EXPECT_TRUE(Link->Execute(List));
    EXPECT_EQ(Start->ActionComponent(), nullptr);

    // The action frees itself: its links are cleared, the link is not touched again.
    TTestClient Other;
    TTestLink OtherLink(Other);
    OtherLink.SetAction(Exit);
    Exit->SetOnExecute([this](TObject*) { Exit->Free(); });
    EXPECT_TRUE(OtherLink.Execute(List));
    EXPECT_EQ(OtherLink.Action(), nullptr);
    EXPECT_EQ(List->ActionCount(), 1);

    // The component the action ran for goes while it is the ActionComponent.
    auto* Button = new TComponent(&Form);
    Start->SetOnExecute([&](TObject*) { Button->Free(); });
    TTestClient Third;
    TTestLink ThirdLink(Third);
    ThirdLink.SetAction(Start);
    EXPECT_TRUE(ThirdLink.Execute(Button));
    EXPECT_EQ(Start->ActionComponent(), nullptr);
}

TEST_F(Actions, ListsActionsLinksAndImagesLetGoOfEachOther) {
    TTestClient Client;
    TTestLink Link(Client);
    Link.SetAction(Start);
    auto Images = std::make_unique<TCustomImageList>();
    int Changes = 0;
    List->OnChange = [&](TObject*) { ++Changes; };
    List->SetImages(Images.get());
    EXPECT_EQ(List->Images(), Images.get());
    Images.reset();
    EXPECT_EQ(List->Images(), nullptr);

    Exit->SetIndex(0);
    EXPECT_EQ(List->Actions(0), Exit);
    EXPECT_EQ(Start->Index(), 1);
    EXPECT_EQ(Changes, 2);
    EXPECT_THROW(List->Actions(2), ERangeError);

    // An action of another owner leaves the list when it goes; the list frees its own.
    auto* Stray = new TAction(nullptr);
    Stray->SetActionList(List);
    Stray->Free();
    EXPECT_EQ(List->ActionCount(), 2);
    List->Free();
    EXPECT_EQ(Form.ComponentCount(), 0);
    EXPECT_EQ(Link.Action(), nullptr);
}

const char* const kActionForm = R"(object FormActions: TActionTestForm
  object ActionList1: TActionList
    State = asSuspended
    OnExecute = ListExecute
    object ActionStart: TAction
      Category = 'Online'
      Caption = '&Start'
      Hint = 'Start'
      ImageIndex = 3
      ShortCut = 118
      OnExecute = StartExecute
      OnUpdate = StartUpdate
    end
    object ActionExit: TAction
      Caption = '&Ende'
      Enabled = False
      ShortCut = 32856
      OnExecute = ExitExecute
    end
  end
  object ActionLoose: TAction
    AutoCheck = True
    Checked = True
    GroupIndex = 2
    Visible = False
  end
end
)";

TEST(ActionDefinitions, AnActionListReadsFromItsDefinitionAndWritesTheSameText) {
    RegisterTestForm();
    TOwned Root(ReadComponentFromText(kActionForm, nullptr, "FormActions"));
    auto* Form = dynamic_cast<TActionTestForm*>(Root.get());
    ASSERT_NE(Form, nullptr);
    auto* List = dynamic_cast<TActionList*>(Form->FindComponent("ActionList1"));
    auto* Start = dynamic_cast<TAction*>(Form->FindComponent("ActionStart"));
    auto* Exit = dynamic_cast<TAction*>(Form->FindComponent("ActionExit"));
    auto* Loose = dynamic_cast<TAction*>(Form->FindComponent("ActionLoose"));
    ASSERT_TRUE(List && Start && Exit && Loose);
    ASSERT_EQ(List->ActionCount(), 2);
    EXPECT_EQ(List->Actions(0), Start);
    EXPECT_EQ(Exit->ActionList(), List);
    EXPECT_EQ(Loose->ActionList(), nullptr);
    EXPECT_EQ(Start->Category(), "Online");
    EXPECT_EQ(Start->ShortCut(), VK_F7);
    EXPECT_EQ(ShortCutToText(Exit->ShortCut()), "Alt+X");
    EXPECT_FALSE(Exit->Enabled());
    EXPECT_TRUE(Loose->Checked());
    EXPECT_EQ(List->State(), asSuspended);

    EXPECT_EQ(WriteComponentToText(Root.get()), kActionForm);

    List->SetState(asNormal);
    EXPECT_TRUE(Start->Execute());
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"update", "list ActionStart", "start"}));
    // The list's order is the written order.
    Exit->SetIndex(0);
    const std::string Text = WriteComponentToText(Root.get());
    EXPECT_LT(Text.find("ActionExit"), Text.find("ActionStart"));
}

}  // namespace
