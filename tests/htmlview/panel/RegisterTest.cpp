// The panel and its provider as a form definition places them (as the message viewer's does),
// with their published properties and defaults.
#include <unistd.h>

#include <cstdio>

#include "platform/controls/Controls.h"
#include "platform/forms/FormDefinitions.h"
#include "tests/htmlview/panel/PanelTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(HtmlViewClasses, AFormDefinitionPlacesThePanelWithItsProvider) {
    Forms.Initialize();
    InitStandardControls();
    RegisterHtmlViewClasses();
    const std::string Definition = R"(object ViewTestForm: TForm
  Left = 50
  Top = 50
  ClientHeight = 300
  ClientWidth = 400
  object IpHtmlPanel: TIpHtmlPanel
    Left = 0
    Top = 0
    Width = 400
    Height = 300
    Align = alClient
    DataProvider = IpHtmlDataProvider1
    FixedTypeface = 'Courier New'
    FlagErrors = False
    MarginWidth = 4
    LinkColor = clGreen
    PrintSettings.MarginLeft = 1.25
  end
  object IpHtmlDataProvider1: TIpHtmlDataProvider
    HandledProtocols.Strings = (
      'HTTP'
      'FILE')
  end
end
)";
    const std::string Path = testing::TempDir() + "html-form-" + std::to_string(getpid()) + ".dfm";
    WriteFile(Path, Definition);
    auto* Read = new TForm(nullptr);
    ReadComponentResFile(Path, Read);
    auto* Panel = dynamic_cast<TIpHtmlPanel*>(Read->FindComponent("IpHtmlPanel"));
    auto* Provider = dynamic_cast<TIpHtmlDataProvider*>(Read->FindComponent("IpHtmlDataProvider1"));
    ASSERT_TRUE(Panel && Provider);
    EXPECT_EQ(Panel->DataProvider(), Provider);
    EXPECT_EQ(Panel->FixedTypeface(), "Courier New");
    EXPECT_FALSE(Panel->FlagErrors());
    EXPECT_EQ(Panel->MarginWidth(), 4);
    EXPECT_EQ(Panel->MarginHeight(), 10);
    EXPECT_EQ(Panel->LinkColor(), clGreen);
    EXPECT_EQ(Panel->VLinkColor(), clMaroon);
    EXPECT_EQ(Panel->ALinkColor(), clRed);
    EXPECT_TRUE(Panel->ShowHints());
    EXPECT_TRUE(Panel->AllowTextSelect());
    EXPECT_DOUBLE_EQ(Panel->PrintSettings()->MarginLeft, 1.25);
    EXPECT_DOUBLE_EQ(Panel->PrintSettings()->MarginTop, 0.5);
    EXPECT_EQ(Provider->HandledProtocols()->Count(), 2);
    EXPECT_TRUE(Provider->CanHandle("file:///tmp/x.htm"));
    EXPECT_FALSE(Panel->Version().empty());
    // The provider opens what the viewer's handlers give.
    Provider->OnCheckURL = [](TObject*, const std::string&, bool& Available,
                              std::string& ContentType) {
        Available = true;
        ContentType = "text/html";
    };
    Provider->OnGetHtml = [](TObject*, const std::string& URL, TIpFormDataEntity*,
                             std::unique_ptr<TStream>& Stream) {
        Stream = std::make_unique<TStringStream>("<p>" + URL);
    };
    Read->Show();
    Panel->OpenDocument("message");
    GuiTest::Drain();
    ASSERT_NE(Panel->MasterFrame(), nullptr);
    EXPECT_TRUE(Panel->MasterFrame()->Html().Parsed());
    Read->Free();
    GuiTest::Drain();
    std::remove(Path.c_str());
}

}  // namespace
