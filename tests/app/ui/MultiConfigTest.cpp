// The multi-start chooser: its rows (our configurations first, then the point program's boxes by
// kind), sorted by caption, and the queue in the order the list shows.
#include "app/ui/MultiConfig.h"

#include "app/ui/MultiConfigFiles.h"
#include "components/shell/StDropFiles.h"
#include "platform/fs/Files.h"
#include "tests/app/ui/UiFixture.h"

namespace {

class MultiConfigTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        WriteFile(ProgramDir() + "zeta.cfg", "Pop3Server=pop\r\n");
        // Ours, even with the key that marks a client box.
        WriteFile(ProgramDir() + "Alpha.cfg", "client-mode=J\r\n");
        WriteFile(ProgramDir() + "MITTE.BFG", "Client-Mode=J\r\n");
        WriteFile(ProgramDir() + "xp2box.bfg", "XPScoreAktiv=J\r\n");
        WriteFile(ProgramDir() + "dos.box.bfg", "Boxname=DOS\r\n");
        WriteFile(ProgramDir() + "notes.txt", "client-mode=J\r\n");
    }
    TFormMultiConfig* Open() {
        RegisterMultiConfigClasses();
        TFormMultiConfig::Directory = ProgramDir();
        auto* Form = CreateForm<TFormMultiConfig>(&Forms);
        Form->Queue = [this](const std::string& FileName) {
            Queued.push_back(FileName.substr(ProgramDir().size()));
        };
        return Form;
    }
    static std::string Rows(TFormMultiConfig* Form) {
        std::string Out;
        TListItems* Items = Form->FileView->Items();
        for (int I = 0; I < Items->Count(); ++I) {
            TListItem* Item = Items->Item(I);
            Out += Item->Caption() + " | " + Item->SubItems()->Get(0) + " | " +
                   ExtractFileName(Item->SubItems()->Get(1)) + " | " +
                   std::to_string(Item->ImageIndex()) + "\n";
        }
        return Out;
    }
    std::vector<std::string> Queued;
};

TEST_F(MultiConfigTest, ListsOurFilesFirstThenTheBoxesByKind) {
    std::string Listed;
    for (const TConfigRow& Row : ListConfigRows(ProgramDir()))
        Listed += Row.Caption + " " + Row.Type + " " + std::to_string(Row.ImageIndex) + "\n";
    EXPECT_EQ(Listed, "Alpha Kestro 0\nzeta Kestro 1\ndos XP 1\nMITTE OpenXP 0\nxp2box XP2 1\n");
}

TEST_F(MultiConfigTest, ShowsTheRowsSortedAndQueuesTheSelectionInListOrder) {
    TFormMultiConfig* Form = Open();
    EXPECT_EQ(Form->Caption(), "Mehrere Accounts starten");
    EXPECT_EQ(Rows(Form),
              "Alpha | Kestro | Alpha.cfg | 0\n"
              "dos | XP | dos.box.bfg | 1\n"
              "MITTE | OpenXP | MITTE.BFG | 0\n"
              "xp2box | XP2 | xp2box.bfg | 1\n"
              "zeta | Kestro | zeta.cfg | 1\n");
    TListItems* Items = Form->FileView->Items();
    Items->Item(4)->SetSelected(true);
    Items->Item(0)->SetSelected(true);
    Items->Item(2)->SetSelected(true);
    Picture(Form, "multiconfig-report");
    Form->ButtonOkClick(nullptr);
    EXPECT_EQ(Queued, (std::vector<std::string>{"Alpha.cfg", "MITTE.BFG", "zeta.cfg"}));
}

TEST_F(MultiConfigTest, TheViewButtonSwitchesBetweenReportAndIcons) {
    TFormMultiConfig* Form = Open();
    Form->FileView->Items()->Item(1)->SetSelected(true);
    Form->ButtonViewClick(nullptr);
    EXPECT_EQ(Form->FileView->ViewStyle(), vsIcon);
    EXPECT_TRUE(Form->FileView->Items()->Item(1)->Selected());
    Picture(Form, "multiconfig-icons");
    Form->ButtonViewClick(nullptr);
    EXPECT_EQ(Form->FileView->ViewStyle(), vsReport);
}

TEST_F(MultiConfigTest, NothingSelectedQueuesNothingAndDropsAreIgnored) {
    TFormMultiConfig* Form = Open();
    Form->Show();
    GuiTest::Drain();
    const std::string Before = Rows(Form);
    GuiTest::DropFiles(Form->Handle(), POINT{20, 20}, {ProgramDir() + "zeta.cfg", "/tmp/x.bfg"});
    GuiTest::Drain();
    auto* Drop = dynamic_cast<TStDropFiles*>(Form->FindComponent("DropFiles"));
    ASSERT_NE(Drop, nullptr);
    EXPECT_EQ(Drop->Count(), 2);  // taken, and nothing follows from them
    EXPECT_EQ(Rows(Form), Before);
    Form->ButtonOkClick(nullptr);
    EXPECT_TRUE(Queued.empty());
}

TEST_F(MultiConfigTest, TheEntryPointQueuesTheSelectedBoxes) {
    GuiTest::TScript Script;
    Script.Then([] {
        auto* Chooser = OpenForm<TFormMultiConfig>();
        Chooser->FileView->Items()->Item(3)->SetSelected(true);  // xp2box
        dynamic_cast<TButton*>(Chooser->FindComponent("ButtonOk"))->Click();
    });
    Script.Start();
    EXPECT_TRUE(ExecuteMultiConfig(ProgramDir()));
    ASSERT_EQ(ConfigList.Count(), 1);

    GuiTest::TScript Cancel;
    Cancel.Then([] {
        dynamic_cast<TButton*>(OpenForm<TFormMultiConfig>()->FindComponent("ButtonCancel"))
            ->Click();
    });
    Cancel.Start();
    EXPECT_FALSE(ExecuteMultiConfig(ProgramDir()));
}

// OK without a selection queues nothing but is still OK: the run starts with what the queue and
// the window's own box give it.
TEST_F(MultiConfigTest, OkWithNothingSelectedStillAnswersOk) {
    GuiTest::TScript Script;
    Script.Then([] {
        dynamic_cast<TButton*>(OpenForm<TFormMultiConfig>()->FindComponent("ButtonOk"))->Click();
    });
    Script.Start();
    EXPECT_TRUE(ExecuteMultiConfig(ProgramDir()));
    EXPECT_EQ(ConfigList.Count(), 0);
}

}  // namespace
