// The multi-start chooser: its rows (our configurations first, then the point program's boxes by
// kind), sorted by caption, and the queue in the order the list shows.
#include "app/ui/MultiConfig.h"

#include "app/ui/MultiConfigFiles.h"
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

TEST_F(MultiConfigTest, NothingSelectedQueuesNothing) {
    TFormMultiConfig* Form = Open();
    Form->ButtonOkClick(nullptr);
    EXPECT_TRUE(Queued.empty());
}

}  // namespace
