// Going back to the form's design: the design-time copy of the definition, a bar's reset with
// and without UseFullReset, and the usage record's.
#include <gtest/gtest.h>

#include "bars/customize/dxBarDesignCopy.h"
#include "platform/core/Application.h"
#include "platform/shell/Dialogs.h"
#include "tests/bars/BarTestSupport.h"

namespace {

TEST(DesignTimeCopy, KeepsTheFormsSizesAndTheManagersBlockWithoutEvents) {
    const std::string Definition =
        "object FormX: TFormX\r\n"
        "  Left = 1\r\n"
        "  Width = 300\r\n"
        "  Height = 200\r\n"
        "  ClientWidth = 290\r\n"
        "  OnCreate = FormCreate\r\n"
        "  object Panel: TPanel\r\n"
        "    Width = 5\r\n"
        "  end\r\n"
        "  object dxBarManager: TdxBarManager\r\n"
        "    OnClickItem = ManagerClickItem\r\n"
        "    Bars = <\r\n"
        "      item\r\n"
        "        OneOnRow = True\r\n"
        "      end>\r\n"
        "    object Button: TdxBarButton\r\n"
        "      OnClick = ButtonClick\r\n"
        "    end\r\n"
        "  end\r\n"
        "  object After: TPanel\r\n"
        "  end\r\n"
        "end\r\n";
    EXPECT_EQ(DesignTimeCopyText(Definition, "dxBarManager", "TdxBarManager"),
              "object TempForm: TdxBarTempForm\n"
              "  Width = 300\n"
              "  Height = 200\n"
              "  object dxBarManager: TdxBarManager\n"
              "    Bars = <\n"
              "      item\n"
              "        OneOnRow = True\n"
              "      end>\n"
              "    object Button: TdxBarButton\n"
              "    end\n"
              "  end\n"
              "end\n");
    EXPECT_EQ(DesignTimeCopyText(Definition, "dxBarManager1", "TdxBarManager"), std::nullopt);
    EXPECT_EQ(DesignTimeCopyText(Definition, "dxBarManager", "TOtherManager"), std::nullopt);
}

TEST(DesignTimeCopy, EventLinesAreOnAndAnUpperCaseLetter) {
    const struct {
        const char* Line;
        bool Event;
    } Cases[] = {
        {"    OnClick = X", true},        {"OnA", true},          {"\tOnPopup = Y", true},
        {"  OneOnRow = True", false},     {"  Onion = 1", false}, {"  On", false},
        {"  Caption = 'OnClick'", false},
    };
    for (const auto& C : Cases) EXPECT_EQ(IsEventLine(C.Line), C.Event) << C.Line;
}

class BarReset : public ::testing::Test {
  protected:
    void SetUp() override {
        auto Service = std::make_unique<TScriptedDialogService>();
        Script = Service.get();
        SetDialogService(std::move(Service));
        Bars.Form()->SetDefinitionText(FindFormDefinition("TFormMain")->Text);
        M()->OnBarBeforeReset = [this](TdxBarManager*, TdxBar* Bar) {
            Events += "before " + Bar->Caption() + ";";
        };
        M()->OnBarAfterReset = [this](TdxBarManager*, TdxBar* Bar) {
            Events += "after " + Bar->Caption() + ";";
        };
    }
    void TearDown() override { SetDialogService(nullptr); }
    TdxBarManager* M() const { return Bars.Manager(); }
    TdxBar* Toolbar() const { return M()->Bars()->Items(1); }
    static std::vector<std::string> LinkNames(const TdxBarItemLinks* Links) {
        std::vector<std::string> Names;
        for (int I = 0; I < Links->Count(); ++I) Names.push_back(Links->Items(I)->Item()->Name());
        return Names;
    }
    // The user's changes to the toolbar.
    void Customize() {
        TdxBar* Bar = Toolbar();
        Bar->SetCaption("Werkzeuge");
        Bar->FloatLeft = 5;
        Bar->OneOnRow = false;
        delete Bar->ItemLinks()->Items(0);
        Bar->ItemLinks()->Items(0)->SetUserCaption("Mine");
        Bar->ItemLinks()->Add()->SetItem(Bars.Button("Neu1"));
    }
    const std::vector<std::string> Designed{"LoadConfig",         "Editieren1",
                                            "BarButtonStart",     "BarButtonMultiStart",
                                            "BarButtonOrderNews", "BarButtonExit"};
    TBarsForm Bars = TBarsForm::FromDefinition("TFormMain");
    TScriptedDialogService* Script = nullptr;
    std::string Events;
};

TEST_F(BarReset, WithoutFullResetOnlyTheLinksGoBack) {
    M()->UseFullReset = false;
    Customize();
    Toolbar()->Reset();
    EXPECT_EQ(LinkNames(Toolbar()->ItemLinks()), Designed);
    EXPECT_FALSE(Toolbar()->ItemLinks()->Items(1)->UserDefine().Contains(udCaption));
    EXPECT_EQ(Toolbar()->Caption(), "Werkzeuge");
    EXPECT_EQ(Toolbar()->FloatLeft, 5);
    EXPECT_FALSE(Toolbar()->OneOnRow);
    EXPECT_EQ(Events, "before Werkzeuge;after Werkzeuge;");
    // The links are the live form's, not the copy's (gone by now).
    EXPECT_EQ(Toolbar()->ItemLinks()->Items(2)->Item(), Bars.Button("BarButtonStart"));
}

TEST_F(BarReset, AFullResetBringsBackCaptionPositionAndDocking) {
    M()->UseFullReset = true;
    Customize();
    Toolbar()->SetDockingStyle(dsBottom);
    Toolbar()->Reset();
    EXPECT_EQ(LinkNames(Toolbar()->ItemLinks()), Designed);
    EXPECT_EQ(Toolbar()->Caption(), "Toolbar");
    EXPECT_EQ(Toolbar()->FloatLeft, 276);
    EXPECT_TRUE(Toolbar()->OneOnRow);
    EXPECT_EQ(Toolbar()->DockingStyle(), dsTop);
    EXPECT_TRUE(Toolbar()->Visible());
    EXPECT_FALSE(M()->UpdateLocked());
    EXPECT_EQ(Events, "before Werkzeuge;after Toolbar;");
}

TEST_F(BarReset, SubItemsReachedFromTheBarGoBackToo) {
    auto* Sub = Bars.Find<TdxBarSubItem>("dxBarSubItem1");
    const std::vector<std::string> Before = LinkNames(Sub->ItemLinks());
    delete Sub->ItemLinks()->Items(0);
    M()->Bars()->Items(0)->Reset();
    EXPECT_EQ(LinkNames(Sub->ItemLinks()), Before);
}

TEST_F(BarReset, AUsersBarAndAFormWithoutDesignAreLeftAlone) {
    TdxBar* Mine = Bars.NewBar("Mine", {Bars.Button("Neu1")});
    Mine->Reset();
    EXPECT_EQ(LinkNames(Mine->ItemLinks()), std::vector<std::string>{"Neu1"});
    EXPECT_EQ(Events, "");
    Customize();
    Bars.Form()->SetDefinitionText("");
    Toolbar()->Reset();
    EXPECT_EQ(Toolbar()->ItemLinks()->Count(), 6);
    EXPECT_EQ(Toolbar()->ItemLinks()->Items(0)->Item(), Bars.Button("Editieren1"));
    EXPECT_EQ(Events, "");
}

TEST_F(BarReset, ResetWithConfirmationAsksOnce) {
    Customize();
    Script->QueueAnswer(IDCANCEL);
    Toolbar()->ResetWithConfirmation();
    EXPECT_EQ(Toolbar()->ItemLinks()->Items(0)->Item(), Bars.Button("Editieren1"));
    Script->QueueAnswer(IDOK);
    Toolbar()->ResetWithConfirmation();
    EXPECT_EQ(LinkNames(Toolbar()->ItemLinks()), Designed);
    ASSERT_EQ(Script->Asked().size(), 2u);
    EXPECT_EQ(Script->Asked()[0].Text,
              "Are you sure you want to reset the changes made to the 'Werkzeuge' toolbar?");
    EXPECT_EQ(Script->Asked()[0].Caption, Application.Title);
    EXPECT_EQ(Script->Asked()[0].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
}

TEST_F(BarReset, UsageDataGoesBackToTheDesignsFlagsAfterAYes) {
    auto* Sub = Bars.Find<TdxBarSubItem>("dxBarSubItem2");
    Sub->ItemLinks()->Items(0)->SetMostRecentlyUsed(false);
    Toolbar()->ItemLinks()->Items(3)->SetMostRecentlyUsed(false);
    delete Toolbar()->ItemLinks()->Items(5);
    Script->QueueAnswer(IDNO);
    M()->ResetUsageData();
    EXPECT_FALSE(Sub->ItemLinks()->Items(0)->MostRecentlyUsed());
    Script->QueueAnswer(IDYES);
    M()->ResetUsageData();
    EXPECT_TRUE(Sub->ItemLinks()->Items(0)->MostRecentlyUsed());
    EXPECT_TRUE(Toolbar()->ItemLinks()->Items(3)->MostRecentlyUsed());
    EXPECT_EQ(Toolbar()->ItemLinks()->Count(), 5);  // links are neither added nor removed
    ASSERT_EQ(Script->Asked().size(), 2u);
    EXPECT_EQ(Script->Asked()[0].Text.rfind("This will delete the record of the commands", 0), 0u);
    EXPECT_EQ(Script->Asked()[0].Flags, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    EXPECT_FALSE(M()->UpdateLocked());
}

}  // namespace
