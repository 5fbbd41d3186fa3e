// The layout kept between runs: in a registry of a temporary directory and in temporary INI
// files, with exact names, types and order, the style-dependent values and damaged stores.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bars/model/dxBarLayoutStores.h"
#include "bars/windows/dxBarDock.h"
#include "platform/classes/IniFiles.h"
#include "platform/registry/Registry.h"
#include "tests/bars/BarTestSupport.h"

namespace {

const char* const kPath = "\\Software\\Kestro\\Bars";

std::vector<std::string> LinkNames(const TdxBarItemLinks* Links) {
    std::vector<std::string> Names;
    for (int I = 0; I < Links->Count(); ++I) Names.push_back(Links->Items(I)->Item()->Name());
    return Names;
}

class BarStorage : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-barstore-XXXXXX";
        Dir = std::string(mkdtemp(Template)) + "/";
        setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KESTRO_REGISTRY_DIR");
        std::filesystem::remove_all(Dir);
    }
    // The main window's bars on a form named FormMain.
    static TBarsForm MainBars() {
        TBarsForm Bars = TBarsForm::FromDefinition("TFormMain");
        static_cast<TComponent*>(Bars.Form())->SetName("FormMain");
        return Bars;
    }
    static TdxBar* Toolbar(const TBarsForm& Bars) { return Bars.Manager()->Bars()->Items(1); }
    std::vector<std::string> ValueNames(const std::string& Key) {
        TRegistry Registry;
        EXPECT_TRUE(Registry.OpenKeyReadOnly(Key)) << Key;
        return Registry.GetValueNames();
    }
    std::string ReadText(const std::string& Name) {
        std::ifstream In(Name, std::ios::binary);
        std::stringstream Text;
        Text << In.rdbuf();
        return Text.str();
    }
    std::string Dir;
};

// ---- what is written -----------------------------------------------------------------------

TEST_F(BarStorage, TheRegistryFormHasItsNamesTypesAndOrder) {
    TBarsForm Bars = MainBars();
    TdxBarItemLink* Link = Toolbar(Bars)->ItemLinks()->Items(0);
    Link->SetUserCaption("Laden");
    Link->SetUserWidth(80);
    Bars.Manager()->SaveToRegistry("Software\\Kestro\\Bars\\");  // normalised to kPath

    using V = std::vector<std::string>;
    EXPECT_EQ(ValueNames(kPath),
              (V{"MenusShowRecentItemsFirst", "ShowFullMenusAfterDelay", "LargeIcons",
                 "MenuAnimations", "ShowHint", "ShowShortCutInHint", "BarCount"}));
    const std::string Bar1 = std::string(kPath) + "\\Bar1";
    EXPECT_EQ(ValueNames(Bar1),
              (V{"Caption", "DockedDockingStyle", "DockedLeft", "DockedTop", "OneOnRow", "Row",
                 "FloatLeft", "FloatTop", "FloatClientWidth", "FloatClientHeight", "DockingStyle",
                 "Visible", "ItemLinkCount"}));
    EXPECT_EQ(ValueNames(Bar1 + "\\ItemLink0"),
              (V{"ItemName", "BeginGroup", "UserDefine", "UserCaption", "UserWidth", "Visible",
                 "UseCount", "RecentIndex"}));
    // Sub-item links have no visibility of their own.
    EXPECT_EQ(ValueNames(std::string(kPath) + "\\SubItem_dxBarSubItem1\\ItemLink0"),
              (V{"ItemName", "BeginGroup", "UserDefine", "UseCount", "RecentIndex"}));

    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKeyReadOnly(Bar1 + "\\ItemLink0"));
    EXPECT_EQ(Registry.GetDataType("ItemName"), rdString);
    EXPECT_EQ(Registry.ReadString("ItemName"), "LoadConfig");
    EXPECT_EQ(Registry.GetDataType("UserDefine"), rdBinary);
    EXPECT_EQ(Registry.ReadBinary("UserDefine"), std::string(1, char(0x09)));  // caption, width
    EXPECT_EQ(Registry.GetDataType("UserWidth"), rdInteger);
    EXPECT_EQ(Registry.GetDataType("BeginGroup"), rdInteger);
    ASSERT_TRUE(Registry.OpenKeyReadOnly(kPath));
    EXPECT_EQ(Registry.ReadInteger("BarCount"), 2);
    EXPECT_EQ(Registry.GetKeyNames(),
              (V{"Bar0", "Bar1", "SubItem_dxBarSubItem1", "SubItem_dxBarSubItem2",
                 "SubItem_dxBarSubItem3", "SubItem_dxBarSubItem4"}));
}

TEST_F(BarStorage, SavingReplacesTheWholeEarlierLayout) {
    TBarsForm Bars = MainBars();
    {
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKey(std::string(kPath) + "\\Bar7\\ItemLink0", true));
    }
    Bars.Manager()->SaveToRegistry(kPath);
    TRegistry Registry;
    EXPECT_FALSE(Registry.KeyExists(std::string(kPath) + "\\Bar7"));
    EXPECT_TRUE(Registry.KeyExists(std::string(kPath) + "\\Bar1\\ItemLink5"));
}

TEST_F(BarStorage, TheIniFormHasItsSectionsAndKeysInOrderAndKeepsOtherLines) {
    const std::string Name = Dir + "bars.ini";
    std::ofstream(Name, std::ios::binary) << "; mine\r\n[Other]\r\nKey=1\r\n"
                                          << "[FormMain.dxBarManager.Bar9]\r\nRow=1\r\n";
    TBarsForm Bars = MainBars();
    Toolbar(Bars)->ItemLinks()->Items(2)->SetUserPaintStyle(psCaption);
    Bars.Manager()->SaveToIniFile(Name);

    TMemIniFile Ini(Name);
    TStringList Sections;
    Ini.ReadSections(Sections);
    ASSERT_GE(Sections.Count(), 6);
    EXPECT_EQ(Sections.Get(0), "Other");
    EXPECT_EQ(Sections.Get(1), "FormMain.dxBarManager.Main");
    EXPECT_EQ(Sections.Get(2), "FormMain.dxBarManager.Bar0");
    EXPECT_EQ(Sections.Get(3), "FormMain.dxBarManager.Bar0.ItemLink0");
    EXPECT_FALSE(Ini.SectionExists("FormMain.dxBarManager.Bar9"));
    EXPECT_EQ(Ini.ReadString("Other", "Key", ""), "1");
    const std::string Text = ReadText(Name);
    EXPECT_EQ(Text.rfind("; mine\r\n", 0), 0u);
    EXPECT_NE(
        Text.find("[FormMain.dxBarManager.Bar1]\r\nCaption=Toolbar\r\nDockedDockingStyle=2\r\n"
                  "DockedLeft=0\r\nDockedTop=23\r\nOneOnRow=1\r\nRow=1\r\nFloatLeft=276\r\n"
                  "FloatTop=232\r\nFloatClientWidth=23\r\nFloatClientHeight=22\r\n"
                  "DockingStyle=2\r\nVisible=1\r\nItemLinkCount=6\r\n"),
        std::string::npos)
        << Text;
    EXPECT_NE(Text.find("[FormMain.dxBarManager.Bar1.ItemLink2]\r\nItemName=BarButtonStart\r\n"
                        "BeginGroup=1\r\nUserDefine=4\r\nUserPaintStyle=1\r\nVisible=1\r\n"
                        "UseCount=0\r\nRecentIndex=2\r\n"),
              std::string::npos)
        << Text;
    EXPECT_NE(Text.find("[FormMain.dxBarManager.SubItem_dxBarSubItem4]\r\nItemLinkCount="),
              std::string::npos);
}

TEST_F(BarStorage, TheStandardStyleKeepsNoRecentItemValues) {
    TBarsForm Bars = MainBars();
    Bars.Manager()->SetStyle(bmsStandard);
    Bars.Manager()->SaveToRegistry(kPath);
    for (const std::string& Key : {std::string(kPath), std::string(kPath) + "\\Bar1\\ItemLink0"})
        for (const std::string& Name : ValueNames(Key))
            for (const char* Absent : {"MenusShowRecentItemsFirst", "ShowFullMenusAfterDelay",
                                       "UseCount", "RecentIndex"})
                EXPECT_NE(Name, Absent) << Key;

    // Read with another style, those stay as they are.
    TBarsForm Other = MainBars();
    Other.Manager()->SetMenusShowRecentItemsFirst(true);
    TdxBarItemLink* Link = Toolbar(Other)->ItemLinks()->Items(3);
    Link->RecordUse();
    const int UseCount = Link->UseCount();
    Other.Manager()->LoadFromRegistry(kPath);
    EXPECT_TRUE(Other.Manager()->MenusShowRecentItemsFirst());
    EXPECT_EQ(Toolbar(Other)->ItemLinks()->Items(3)->UseCount(), UseCount);
}

// ---- round trips ---------------------------------------------------------------------------

// A user's changes to the main window's bars, and the check that they came back.
void ChangeLayout(const TBarsForm& Bars) {
    TdxBarManager* M = Bars.Manager();
    M->SetLargeIcons(true);
    M->SetMenuAnimations(maSlide);
    TdxBar* Bar = M->Bars()->Items(1);
    Bar->SetCaption("Werkzeuge");
    Bar->FloatLeft = 17;
    Bar->FloatClientWidth = 99;
    Bar->ItemLinks()->Items(5)->SetVisible(false);
    Bar->ItemLinks()->Items(1)->SetBeginGroup(true);
    Bar->ItemLinks()->Items(0)->SetUserCaption("Öffnen");
    delete Bar->ItemLinks()->Items(4);
    auto* Sub = Bars.Find<TdxBarSubItem>("dxBarSubItem1");
    delete Sub->ItemLinks()->Items(0);
    Sub->ItemLinks()->Items(0)->SetUserCaption("Erstens");
}

void ExpectChangedLayout(const TBarsForm& Bars) {
    TdxBarManager* M = Bars.Manager();
    EXPECT_TRUE(M->LargeIcons());
    EXPECT_EQ(M->MenuAnimations(), maSlide);
    TdxBar* Bar = M->Bars()->Items(1);
    EXPECT_EQ(Bar->Caption(), "Werkzeuge");
    EXPECT_EQ(Bar->FloatLeft, 17);
    EXPECT_EQ(Bar->FloatClientWidth, 99);
    EXPECT_TRUE(Bar->Visible());
    EXPECT_EQ(Bar->DockingStyle(), dsTop);
    TdxBarItemLinks* Links = Bar->ItemLinks();
    ASSERT_EQ(Links->Count(), 5);
    EXPECT_EQ(Links->Items(4)->Item()->Name(), "BarButtonExit");
    EXPECT_FALSE(Links->Items(4)->Visible());
    EXPECT_TRUE(Links->Items(1)->OwnBeginGroup());
    EXPECT_EQ(Links->Items(0)->UserCaption(), "Öffnen");
    EXPECT_EQ(Links->Items(0)->Caption(), "Öffnen");
    auto* Sub = Bars.Find<TdxBarSubItem>("dxBarSubItem1");
    EXPECT_EQ(Sub->ItemLinks()->Items(0)->Caption(), "Erstens");
    EXPECT_EQ(Sub->ItemLinks()->Count(), TBarsForm::FromDefinition("TFormMain")
                                                 .Find<TdxBarSubItem>("dxBarSubItem1")
                                                 ->ItemLinks()
                                                 ->Count() -
                                             1);
}

TEST_F(BarStorage, ALayoutComesBackFromTheRegistryAndFromAnIniFile) {
    const std::string Ini = Dir + "layout.ini";
    {
        TBarsForm Bars = MainBars();
        ChangeLayout(Bars);
        Bars.Manager()->SaveToRegistry(kPath);
        Bars.Manager()->SaveToIniFile(Ini);
    }
    for (bool FromIni : {false, true}) {
        SCOPED_TRACE(FromIni ? "INI" : "registry");
        TBarsForm Bars = MainBars();
        if (FromIni)
            Bars.Manager()->LoadFromIniFile(Ini);
        else
            Bars.Manager()->LoadFromRegistry(kPath);
        ExpectChangedLayout(Bars);
    }
}

// A bar docked in a dock site of the form keeps the site by its name.
TEST_F(BarStorage, ABarsDockSiteIsWrittenByItsName) {
    const std::string Ini = Dir + "site.ini";
    TBarsForm Bars = MainBars();
    auto* Site = new TdxBarDockControl(Bars.Form());
    static_cast<TComponent*>(Site)->SetName("LeisteUnten");
    Site->SetManager(Bars.Manager());
    Site->SetParent(Bars.Form());
    Toolbar(Bars)->SetDockControl(Site);
    ASSERT_EQ(Toolbar(Bars)->DockControl(), Site);
    Bars.Manager()->SaveToIniFile(Ini);
    TMemIniFile File(Ini);
    EXPECT_EQ(File.ReadString("FormMain.dxBarManager.Bar1", "DockControl", ""), "LeisteUnten");
}

TEST_F(BarStorage, ARunWithAnUnchangedLayoutLeavesTheSettingsFileAlone) {
    {
        TBarsForm Bars = MainBars();
        ChangeLayout(Bars);
        Bars.Manager()->SaveToRegistry(kPath);
    }
    // Every write replaces the file by a new one: the same file is a file not written.
    const std::string File = TRegistry::HiveFileName(HKEY_CURRENT_USER);
    const auto Identity = [&] {
        struct stat St {};
        EXPECT_EQ(stat(File.c_str(), &St), 0);
        return std::make_pair(St.st_ino, St.st_mtim.tv_nsec + St.st_mtim.tv_sec * 1000000000LL);
    };
    const auto Before = Identity();
    for (int Run = 0; Run < 3; ++Run) {
        TBarsForm Bars = MainBars();
        Bars.Manager()->LoadFromRegistry(kPath);
        Bars.Manager()->SaveToRegistry(kPath);
    }
    EXPECT_EQ(Identity(), Before);
    {
        TBarsForm Bars = MainBars();
        Bars.Manager()->LoadFromRegistry(kPath);
        Toolbar(Bars)->SetCaption("Another caption");
        Bars.Manager()->SaveToRegistry(kPath);
    }
    EXPECT_NE(Identity(), Before);
}

TEST_F(BarStorage, UsageRecordsComeBack) {
    std::vector<int> Counts;
    {
        TBarsForm Bars = MainBars();
        Bars.Manager()->SetStyle(bmsEnhanced);
        TdxBarItemLinks* Links = Toolbar(Bars)->ItemLinks();
        Links->Items(3)->RecordUse();
        Links->Items(3)->RecordUse();
        Links->Items(1)->RecordUse();
        for (int I = 0; I < Links->Count(); ++I) Counts.push_back(Links->Items(I)->UseCount());
        Bars.Manager()->SaveToRegistry(kPath);
    }
    TBarsForm Bars = MainBars();
    Bars.Manager()->SetStyle(bmsEnhanced);
    Bars.Manager()->LoadFromRegistry(kPath);
    TdxBarItemLinks* Links = Toolbar(Bars)->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I) EXPECT_EQ(Links->Items(I)->UseCount(), Counts[I]);
    EXPECT_EQ(Links->UsageItems(0)->Item()->Name(), "Editieren1");
    EXPECT_EQ(Links->UsageItems(1)->Item()->Name(), "BarButtonMultiStart");
}

// ---- bars added, kept, left hidden ----------------------------------------------------------

TEST_F(BarStorage, StoredBarsAreAddedAndBarsBeyondTheStoredCountStayHidden) {
    {
        TBarsForm Three = MainBars();
        Three.NewBar("Extra", {Three.Button("BarButtonStart")})->SetVisible(true);
        Three.Manager()->SaveToRegistry(kPath);
        Three.Manager()->SaveToIniFile(Dir + "three.ini");
    }
    for (bool FromIni : {false, true}) {
        TBarsForm Two = MainBars();
        if (FromIni)
            Two.Manager()->LoadFromIniFile(Dir + "three.ini");
        else
            Two.Manager()->LoadFromRegistry(kPath);
        ASSERT_EQ(Two.Manager()->Bars()->Count(), 3);
        TdxBar* Added = Two.Manager()->Bars()->Items(2);
        EXPECT_EQ(Added->Caption(), "Extra");
        EXPECT_TRUE(Added->Visible());
        EXPECT_EQ(LinkNames(Added->ItemLinks()), std::vector<std::string>{"BarButtonStart"});
    }
    TBarsForm Two = MainBars();
    Two.Manager()->SaveToRegistry(kPath);
    TBarsForm Three = MainBars();
    TdxBar* Third = Three.NewBar("Extra", {});
    Third->SetVisible(true);
    Three.Manager()->LoadFromRegistry(kPath);
    EXPECT_EQ(Three.Manager()->Bars()->Count(), 3);
    EXPECT_FALSE(Third->Visible());
    EXPECT_TRUE(Toolbar(Three)->Visible());
}

// A damaged layout must not keep the program from starting: a number beyond what a screen and
// the bars can hold counts as missing, as a value of the wrong type does (the bar shows).
TEST_F(BarStorage, StoredNumbersBeyondAScreenCountAsMissing) {
    const std::string Ini = Dir + "damaged.ini";
    {
        TBarsForm Bars = MainBars();
        Bars.Manager()->SaveToRegistry(kPath);
        Bars.Manager()->SaveToIniFile(Ini);
    }
    const std::string Bar1 = std::string(kPath) + "\\Bar1";
    struct TCase {
        const char* Name;
        int Value;
    };
    const TCase Cases[] = {{"Row", 2000000},
                           {"Row", -1},
                           {"DockedLeft", 2147483647},
                           {"DockedTop", 40000},
                           {"FloatLeft", -2147483647 - 1},
                           {"FloatTop", 2147483600},
                           {"FloatClientWidth", 2147483647},
                           {"FloatClientHeight", -5}};
    for (const TCase& Case : Cases)
        for (bool FromIni : {false, true}) {
            SCOPED_TRACE(std::string(Case.Name) + "=" + std::to_string(Case.Value) +
                         (FromIni ? " (INI)" : " (registry)"));
            {
                TRegistry Registry;
                ASSERT_TRUE(Registry.OpenKey(Bar1, false));
                Registry.WriteInteger("Visible", 0);
                Registry.WriteInteger(Case.Name, Case.Value);
                TMemIniFile File(Ini);
                File.WriteInteger("FormMain.dxBarManager.Bar1", Case.Name, Case.Value);
                File.WriteBool("FormMain.dxBarManager.Bar1", "Visible", false);
                File.UpdateFile();
            }
            TBarsForm Bars = MainBars();
            if (FromIni)
                Bars.Manager()->LoadFromIniFile(Ini);
            else
                Bars.Manager()->LoadFromRegistry(kPath);
            TdxBar* Bar = Toolbar(Bars);
            EXPECT_TRUE(Bar->Visible());  // the values after the damaged one were not read
            EXPECT_LE(Bar->Row(), 1);
            EXPECT_LT(std::abs(int64_t(Bar->DockedLeft())), 32768);
            EXPECT_LT(std::abs(int64_t(Bar->DockedTop())), 32768);
            EXPECT_LT(std::abs(int64_t(Bar->FloatLeft)), 32768);
            EXPECT_LT(std::abs(int64_t(Bar->FloatTop)), 32768);
            EXPECT_LT(std::abs(int64_t(Bar->FloatClientWidth)), 32768);
            EXPECT_GE(Bar->FloatClientHeight, 0);
            for (int I = 0; I < Bars.Manager()->DockControlCount(); ++I)
                EXPECT_LE(Bars.Manager()->DockControls(I)->RowCount(), 2);
            // The next case starts from the stored layout again.
            TRegistry Registry;
            ASSERT_TRUE(Registry.OpenKey(Bar1, false));
            Registry.WriteInteger(Case.Name, 0);
            TMemIniFile File(Ini);
            File.WriteInteger("FormMain.dxBarManager.Bar1", Case.Name, 0);
            File.UpdateFile();
        }
}

TEST_F(BarStorage, AGapInTheBarNumberingAddsHiddenFillers) {
    MainBars().Manager()->SaveToRegistry(kPath);
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(kPath, false));
    Registry.WriteInteger("BarCount", 5);
    ASSERT_TRUE(Registry.DeleteKey("Bar1"));
    ASSERT_TRUE(Registry.OpenKey(std::string(kPath) + "\\Bar4", true));
    Registry.WriteString("Caption", "Last");
    Registry.WriteInteger("ItemLinkCount", 0);
    for (const char* Name : {"DockedDockingStyle", "DockedLeft", "DockedTop", "OneOnRow", "Row",
                             "FloatLeft", "FloatTop", "FloatClientWidth", "FloatClientHeight"})
        Registry.WriteInteger(Name, 0);
    Registry.WriteInteger("DockingStyle", dsBottom);
    Registry.WriteInteger("Visible", 1);
    Registry.CloseKey();

    TBarsForm Bars = MainBars();
    Bars.Manager()->LoadFromRegistry(kPath);
    TdxBars* All = Bars.Manager()->Bars();
    ASSERT_EQ(All->Count(), 5);
    EXPECT_TRUE(All->Items(0)->Visible());
    EXPECT_FALSE(All->Items(1)->Visible());  // no key: kept, hidden
    EXPECT_FALSE(All->Items(2)->Visible());  // fillers
    EXPECT_FALSE(All->Items(3)->Visible());
    EXPECT_EQ(All->Items(4)->Caption(), "Last");
    EXPECT_TRUE(All->Items(4)->Visible());
    EXPECT_EQ(All->Items(4)->DockingStyle(), dsBottom);
}

// ---- links ---------------------------------------------------------------------------------

TEST_F(BarStorage, ALinkWhoseItemIsGoneDisappearsAndTheOthersKeepTheirOrder) {
    {
        TBarsForm Bars = MainBars();
        Bars.Manager()->SaveToRegistry(kPath);
        Bars.Manager()->SaveToIniFile(Dir + "l.ini");
    }
    for (bool FromIni : {false, true}) {
        TBarsForm Bars = MainBars();
        static_cast<TComponent*>(Bars.Button("Editieren1"))->SetName("Bearbeiten");
        Bars.Button("BarButtonOrderNews")->Free();
        if (FromIni)
            Bars.Manager()->LoadFromIniFile(Dir + "l.ini");
        else
            Bars.Manager()->LoadFromRegistry(kPath);
        EXPECT_EQ(LinkNames(Toolbar(Bars)->ItemLinks()),
                  (std::vector<std::string>{"LoadConfig", "BarButtonStart", "BarButtonMultiStart",
                                            "BarButtonExit"}));
    }
}

TEST_F(BarStorage, StoredFlagsKeepTheirDefinedBitsAndABadGlyphFailsOnlyItsLink) {
    TBarsForm Bars = MainBars();
    TBitmap Picture(4, 4, pf24bit);
    Toolbar(Bars)->ItemLinks()->Items(0)->SetUserGlyph(&Picture);
    Toolbar(Bars)->ItemLinks()->Items(1)->SetUserGlyph(&Picture);
    Bars.Manager()->SaveToRegistry(kPath);
    {
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKey(std::string(kPath) + "\\Bar1\\ItemLink0", false));
        Registry.WriteBinaryData("UserGlyph", "BMnonsense", 10);
        Registry.WriteInteger("Visible", 0);  // after the glyph: not read
        ASSERT_TRUE(Registry.OpenKey(std::string(kPath) + "\\Bar1\\ItemLink2", false));
        const unsigned char Bits = 0xF1;  // udCaption and bits that mean nothing
        Registry.WriteBinaryData("UserDefine", &Bits, 1);
        Registry.WriteString("UserCaption", "Los");
    }
    TBarsForm Other = MainBars();
    Other.Manager()->LoadFromRegistry(kPath);
    TdxBarItemLinks* Links = Toolbar(Other)->ItemLinks();
    ASSERT_EQ(Links->Count(), 6);
    EXPECT_TRUE(Links->Items(0)->UserGlyph()->Empty());
    EXPECT_FALSE(Links->Items(0)->UserDefine().Contains(udGlyph));  // not read: off
    EXPECT_TRUE(Links->Items(0)->Visible());
    EXPECT_EQ(Links->Items(1)->UserGlyph()->Width(), 4);
    EXPECT_EQ(Links->Items(2)->UserDefine(), TdxBarUserDefines{udCaption});
    EXPECT_EQ(Links->Items(2)->Caption(), "Los");
    EXPECT_TRUE(Links->Items(5)->Visible());
}

TEST_F(BarStorage, AnIniLinkWithAWidthFlagAndNoWidthGetsAHundred) {
    const std::string Name = Dir + "w.ini";
    std::ofstream(Name) << "[FormMain.dxBarManager.Main]\nBarCount=2\n"
                        << "[FormMain.dxBarManager.Bar1]\nRow=1\nVisible=1\nItemLinkCount=1\n"
                        << "[FormMain.dxBarManager.Bar1.ItemLink0]\nItemName=barbuttonstart\n"
                        << "UserDefine=266\n";  // 0x10A: glyph and width, and a bit past 8
    TBarsForm Bars = MainBars();
    Bars.Manager()->LoadFromIniFile(Name);
    TdxBarItemLinks* Links = Toolbar(Bars)->ItemLinks();
    ASSERT_EQ(Links->Count(), 1);
    EXPECT_EQ(Links->Items(0)->Item()->Name(), "BarButtonStart");
    EXPECT_EQ(Links->Items(0)->UserDefine(), (TdxBarUserDefines{udGlyph, udWidth}));
    EXPECT_EQ(Links->Items(0)->UserWidth(), 100);
    EXPECT_TRUE(Links->Items(0)->UserGlyph()->Empty());
    EXPECT_TRUE(Toolbar(Bars)->Visible());
    EXPECT_FALSE(Bars.Manager()->Bars()->Items(0)->Visible());  // no section: hidden
}

// ---- damaged and partial stores ------------------------------------------------------------

TEST_F(BarStorage, AnIniBarSectionWithoutARowStaysHidden) {
    const std::string Name = Dir + "r.ini";
    std::ofstream(Name) << "[FormMain.dxBarManager.Main]\nBarCount=2\n"
                        << "[FormMain.dxBarManager.Bar0]\nRow=0\nVisible=1\n"
                        << "[FormMain.dxBarManager.Bar1]\nCaption=T\nVisible=1\nRow=x\n";
    TBarsForm Bars = MainBars();
    Bars.Manager()->LoadFromIniFile(Name);
    EXPECT_TRUE(Bars.Manager()->Bars()->Items(0)->Visible());
    EXPECT_FALSE(Toolbar(Bars)->Visible());
    EXPECT_EQ(Toolbar(Bars)->Caption(), "Toolbar");
}

TEST_F(BarStorage, ARegistryBarBreakingOffGetsWhatWasReadAndIsShown) {
    {
        TBarsForm Bars = MainBars();
        Toolbar(Bars)->SetVisible(false);
        Toolbar(Bars)->FloatLeft = 5;
        Bars.Manager()->SaveToRegistry(kPath);
    }
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(std::string(kPath) + "\\Bar1", false));
    Registry.WriteString("Caption", "Neu");
    Registry.DeleteValue("DockedDockingStyle");
    Registry.CloseKey();
    TBarsForm Bars = MainBars();
    Bars.Manager()->LoadFromRegistry(kPath);
    EXPECT_EQ(Toolbar(Bars)->Caption(), "Neu");
    EXPECT_TRUE(Toolbar(Bars)->Visible());
    EXPECT_EQ(Toolbar(Bars)->FloatLeft, 276);  // not read
}

TEST_F(BarStorage, DamagedValuesCountAsMissing) {
    TBarsForm Bars = MainBars();
    Bars.Manager()->SaveToRegistry(kPath);
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(kPath, false));
    Registry.WriteString("ShowHint", "no");  // another type: the option stays
    Registry.WriteInteger("MenuAnimations", 77);
    ASSERT_TRUE(Registry.OpenKey(std::string(kPath) + "\\Bar1", false));
    Registry.WriteInteger("DockingStyle", 9);  // no such style: the bar breaks off, shown
    Registry.WriteInteger("Visible", 0);
    Registry.CloseKey();
    TBarsForm Other = MainBars();
    EXPECT_NO_THROW(Other.Manager()->LoadFromRegistry(kPath));
    EXPECT_TRUE(Other.Manager()->ShowHint());
    EXPECT_EQ(Other.Manager()->MenuAnimations(), maNone);
    EXPECT_TRUE(Toolbar(Other)->Visible());
    EXPECT_EQ(Toolbar(Other)->DockingStyle(), dsTop);
}

TEST_F(BarStorage, TheIniPrefixNamesFormAndManagerTheRegistryPathAlone) {
    const std::string Name = Dir + "p.ini";
    {
        TBarsForm Bars = MainBars();
        Toolbar(Bars)->SetCaption("Kept");
        Bars.Manager()->SaveToIniFile(Name);
        Bars.Manager()->SaveToRegistry(kPath);
    }
    TBarsForm Renamed = MainBars();
    static_cast<TComponent*>(Renamed.Form())->SetName("FormOther");
    Renamed.Manager()->LoadFromIniFile(Name);
    EXPECT_EQ(Toolbar(Renamed)->Caption(), "Toolbar");
    Renamed.Manager()->LoadFromRegistry(kPath);
    EXPECT_EQ(Toolbar(Renamed)->Caption(), "Kept");
    // Empty names switch storage off.
    EXPECT_NO_THROW(Renamed.Manager()->SaveToIniFile(""));
    EXPECT_NO_THROW(Renamed.Manager()->SaveToRegistry("\\"));
    EXPECT_EQ(TdxBarRegistryStore::NormalisePath("a\\b\\"), "\\a\\b");
}

TEST_F(BarStorage, AnIniFileThatCannotBeWrittenOverIsLeftAsItWas) {
    const std::string Name = Dir + "damaged.ini";
    const std::string Damaged("[A]\r\nKey=1\r\n\0tail", 17);
    std::ofstream(Name, std::ios::binary) << Damaged;
    {
        TBarsForm Bars = MainBars();
        EXPECT_THROW(Bars.Manager()->SaveToIniFile(Name), EIniFileException);
        Bars.Manager()->StoreInIniFile = true;
        Bars.Manager()->IniFileName = Name;
    }  // the form goes: the failure is reported, not thrown out of its destruction
    EXPECT_EQ(ReadText(Name), Damaged);
}

// ---- kept between runs -----------------------------------------------------------------------

TEST_F(BarStorage, AFormWithStorageOnWritesWhenItGoesAndReadsWhenItIsRead) {
    const std::string Ini = Dir + "kept.ini";
    const std::string Text =
        "object FormKept: TForm\n"
        "  object dxBarManager: TdxBarManager\n"
        "    Bars = <\n      item\n        Caption = 'Tools'\n"
        "        DockingStyle = dsTop\n        Visible = True\n      end>\n"
        "    IniFileName = '" +
        Ini +
        "'\n"
        "    RegistryPath = '\\Software\\Kestro\\Kept'\n"
        "    StoreInIniFile = True\n    StoreInRegistry = True\n  end\nend\n";
    auto Read = [&] {
        RegisterBarClasses();
        TForm* Form = CreateForm<TForm>(nullptr);
        ReadComponentFromText(Text, Form, "kept");
        return Form;
    };
    TForm* First = Read();
    BarManagerOfForm(First)->Bars()->Items(0)->SetCaption("Mine");
    BarManagerOfForm(First)->Bars()->Items(0)->FloatTop = 44;
    First->Free();
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKeyReadOnly("\\Software\\Kestro\\Kept\\Bar0"));
    EXPECT_EQ(Registry.ReadString("Caption"), "Mine");
    EXPECT_NE(ReadText(Ini).find("[FormKept.dxBarManager.Bar0]"), std::string::npos);

    TForm* Second = Read();
    EXPECT_EQ(BarManagerOfForm(Second)->Bars()->Items(0)->Caption(), "Mine");
    EXPECT_EQ(BarManagerOfForm(Second)->Bars()->Items(0)->FloatTop, 44);
    // A manager freed while its form stays keeps nothing.
    Registry.DeleteKey("\\Software\\Kestro\\Kept");
    BarManagerOfForm(Second)->Free();
    EXPECT_FALSE(Registry.KeyExists("\\Software\\Kestro\\Kept"));
    Second->Free();
}

}  // namespace
