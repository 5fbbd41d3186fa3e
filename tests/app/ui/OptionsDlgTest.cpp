// The options dialog: the thread maximum's rules, the settings in the registry after "OK", and
// the dialog's place kept in the main window's store.
#include "app/ui/OptionsDlg.h"
#include "components/store/XMLFileStore.h"
#include "platform/registry/Registry.h"
#include "tests/app/ui/SettingsDialogsTestSupport.h"

using namespace GuiTest;
using namespace SettingsDialogsTest;

namespace {

class Options : public SettingsDialogFixture {
  protected:
    void SetUp() override {
        SettingsDialogFixture::SetUp();
        RegisterOptionsDlg();
        Store = std::make_unique<TO32XMLFileStore>(nullptr);
        Store->SetXMLFileName(Dir + "kestro.xml");
        Settings.EventLog = false;
        Settings.DebugLog = true;
        Settings.TimeServer = "time.example.org";
        Settings.MaxThreads = 6;
        Settings.CrosspointDir = "/home/point/xp/";
    }
    void TearDown() override {
        SettingsDialogFixture::TearDown();
        Store.reset();
    }
    // Runs the dialog; Steps are given inside its modal loop.
    bool Run(std::vector<std::function<void()>> Steps) {
        TSteps Script(std::move(Steps));
        Script.Start();
        const bool Taken = EditOptions(Settings, &Forms, Store.get());
        EXPECT_TRUE(Script.Done());
        return Taken;
    }
    TFormEditGlobal* Shown() { return ShownForm<TFormEditGlobal>(); }

    TGlobalConfig Settings;
    std::unique_ptr<TO32XMLFileStore> Store;
};

TEST_F(Options, TheThreadMaximumTakesFourFifteenOrOneAndReachesTheRegistry) {
    const std::pair<std::string, int32_t> Cases[] = {
        {"abc", 4}, {"10", 10}, {"11", 15}, {"99", 15}, {"1", 1}, {"0", 1}, {"-3", 1},
    };
    for (const auto& [Text, Expected] : Cases) {
        EXPECT_TRUE(Run({[&] {
            ASSERT_NE(Shown(), nullptr);
            EXPECT_EQ(Shown()->EditMaxThreads->Text(), std::to_string(Settings.MaxThreads));
            Shown()->EditMaxThreads->SetText(Text);
            Click(Find<TButton>(Shown(), "ButtonOK"));
        }}));
        EXPECT_EQ(Settings.MaxThreads, Expected) << Text;
        TRegistry Registry;
        Registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(Registry.OpenKeyReadOnly(TGlobalConfig::RegistryKey));
        EXPECT_EQ(Registry.ReadInteger("MaxThreads"), Expected) << Text;
    }
}

TEST_F(Options, OkTakesTheSettingsOverAndSavesThemAbbruchLeavesThem) {
    EXPECT_FALSE(Run({[&] {
        Shown()->CheckBoxEventLog->SetChecked(true);
        Shown()->EditTimeServer->SetText("ptb.example.de");
        Click(Find<TButton>(Shown(), "ButtonCancel"));
    }}));
    EXPECT_FALSE(Settings.EventLog);
    EXPECT_EQ(Settings.TimeServer, "time.example.org");
    TRegistry Registry;
    Registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(Registry.OpenKeyReadOnly(TGlobalConfig::RegistryKey));

    EXPECT_TRUE(Run({[&] {
        EXPECT_FALSE(Shown()->CheckBoxEventLog->Checked());
        EXPECT_TRUE(Shown()->CheckBoxDebugLog->Checked());
        EXPECT_EQ(Shown()->EditTimeServer->Text(), "time.example.org");
        EXPECT_EQ(Shown()->PageControl->ActivePage()->Caption(), "Allgemeines");
        Shown()->CheckBoxEventLog->SetChecked(true);
        Shown()->CheckBoxDebugLog->SetChecked(false);
        Shown()->EditTimeServer->SetText("");  // no time query
        Find<TButton>(Shown(), "ButtonOK")->Click();
    }}));
    EXPECT_TRUE(Settings.EventLog);
    EXPECT_FALSE(Settings.DebugLog);
    EXPECT_EQ(Settings.TimeServer, "");
    // What the registry holds is what the program reads at its next start.
    TGlobalConfig Read;
    Read.TimeServer = "unread";
    Read.LoadFromRegistry();
    EXPECT_TRUE(Read.EventLog);
    EXPECT_FALSE(Read.DebugLog);
    EXPECT_EQ(Read.TimeServer, "");
    EXPECT_EQ(Read.MaxThreads, 6);
    EXPECT_EQ(Read.CrosspointDir, "/home/point/xp/");
}

TEST_F(Options, TheDialogKeepsItsPlaceInTheStoreUnderItsClassName) {
    EXPECT_TRUE(Run({[&] {
        Shown()->SetBounds(40, 30, Shown()->Width(), Shown()->Height());
        Find<TButton>(Shown(), "ButtonOK")->Click();
    }}));
    const std::string Saved = ReadFile(Dir + "kestro.xml");
    EXPECT_NE(Saved.find("<TFormEditGlobal>"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<NormalPos value=\"40,30,"), std::string::npos) << Saved;
    // The next time it opens where it was left, not centred as its definition says.
    EXPECT_FALSE(Run({[&] {
        EXPECT_EQ(Shown()->Left(), 40);
        EXPECT_EQ(Shown()->Top(), 30);
        SavePicture(Shown(), "options");
        Find<TButton>(Shown(), "ButtonCancel")->Click();
    }}));
}

}  // namespace
