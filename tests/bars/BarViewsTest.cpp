// The model alone, linked without the windows: what it tells the views that stand for them, and
// that it never touches a window itself (the windows it holds here are bare addresses).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "platform/gdi/Gdi.h"
#include "platform/widgets/Forms.h"

namespace {

// Addresses that stand for windows: calling anything through them would crash.
alignas(16) char FakeWindows[8][64];

template <class T>
T* Fake(int Index) {
    return reinterpret_cast<T*>(FakeWindows[Index]);
}

class TRecordingViews : public TdxBarViews {
  public:
    std::vector<std::string> Calls;
    std::vector<TdxBarDockingStyle> SitesMade;
    std::vector<TdxDockControl*> SitesFreed;
    TdxBarWindowState Window;
    // The link whose control the user types "typed" into; the list font's extents.
    const TdxBarItemLink* Typing = nullptr;
    std::vector<std::string> Measured;
    // The one combo control that lies on a bar window, and the combos' list window.
    const TCustomdxBarComboControl* OnBar = nullptr;
    HWND List = HWND(0x51);

    void ItemChanged(TdxBarItemLink* Link, TdxBarItemChange What) override {
        Calls.push_back("item " + Link->Item()->Caption() + " " + std::to_string(int(What)));
    }
    bool FocusedText(const TdxBarItemLink* Link, std::string& Text) override {
        if (Link != Typing) return false;
        Text = "typed";
        return true;
    }
    TSize ComboTextExtent(TdxBarCustomCombo*, const std::string& Text) override {
        Measured.push_back(Text);
        return TSize{int(Text.size()) * 7, 13};
    }
    bool CanDropDown(TCustomdxBarComboControl* Control) override {
        Calls.push_back("can drop down");
        return Control && Control == OnBar;
    }
    void ShowDropDown(HWND Window, TCustomdxBarComboControl* Control, TPoint At) override {
        Calls.push_back(std::string(Window == List ? "show list" : "show own window") +
                        (Control == OnBar ? " for its control at " : " for ? at ") +
                        std::to_string(At.X) + "," + std::to_string(At.Y));
    }
    void HideDropDown(HWND Window) override {
        Calls.push_back(Window == List ? "hide list" : "hide ?");
    }
    HWND ComboListWindow(TdxBarCustomCombo*) override { return List; }
    void FillComboList(TdxBarCustomCombo*, HWND Window,
                       TCustomdxBarComboControl* Control) override {
        Calls.push_back(Control != OnBar ? "fill ?"
                        : Window == List ? "fill list"
                                         : "fill own window");
    }
    void ComboListChanged(TdxBarCustomCombo*, TdxBarComboListChange What) override {
        Calls.push_back(What == TdxBarComboListChange::Closed ? "list closed" : "list freed");
    }
    TCustomdxBarControl* MakeWindow(TdxBarItemLinks* Links) override {
        Calls.push_back("make window");
        Links->SetBarControl(Fake<TCustomdxBarControl>(0));
        return Links->BarControl();
    }
    void PlaceToolbar(TdxBar* Bar) override { Calls.push_back("place " + Bar->Caption()); }
    void ReleaseWindow(TCustomdxBarControl* Window) override {
        Calls.push_back(Window == Fake<TCustomdxBarControl>(0) ? "release window" : "release ?");
    }
    void WindowChanged(const TdxBarItemLinks*, TdxBarWindowChange What) override {
        Calls.push_back("window " + std::to_string(int(What)));
    }
    TdxBarWindowState WindowState(const TdxBarItemLinks* Links) override {
        return Links->BarControl() ? Window : TdxBarWindowState{};
    }
    TdxDockControl* MakeSite(TdxBarManager*, TdxBarDockingStyle Style) override {
        SitesMade.push_back(Style);
        return Fake<TdxDockControl>(1 + int(Style));
    }
    void FreeSite(TdxDockControl* Site) override { SitesFreed.push_back(Site); }
    void ManagerChanged(TdxBarManager*, TdxBarManagerChange What, TComponent*) override {
        static const char* const kNames[] = {"joined", "left", "font", "component removed"};
        Calls.push_back(std::string("manager ") + kNames[int(What)]);
    }
};

TRecordingViews& Views() {
    static auto* Views = [] {
        auto* Made = new TRecordingViews;
        SetdxBarViews(Made);
        return Made;
    }();
    return *Views;
}

class BarViews : public ::testing::Test {
  protected:
    void SetUp() override {
        Views() = TRecordingViews{};
        FForm = CreateForm<TForm>(nullptr);
        FManager = new TdxBarManager(FForm);
    }
    void TearDown() override {
        if (FForm) FForm->Free();
    }
    std::string Item(const std::string& Caption, TdxBarItemChange What) const {
        return "item " + Caption + " " + std::to_string(int(What));
    }
    std::string Window(TdxBarWindowChange What) const {
        return "window " + std::to_string(int(What));
    }
    TForm* FForm = nullptr;
    TdxBarManager* FManager = nullptr;
};

TEST_F(BarViews, TheManagerJoinsMakesItsFourSitesAndGivesThemBack) {
    // It joins first, and then its popup menus take its font.
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{"manager joined", "manager font"}));
    EXPECT_EQ(Views().SitesMade,
              (std::vector<TdxBarDockingStyle>{dsLeft, dsTop, dsRight, dsBottom}));
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom})
        EXPECT_EQ(FManager->Bars()->DockControls(Style), Fake<TdxDockControl>(1 + int(Style)));
    FForm->Free();
    FForm = nullptr;
    EXPECT_EQ(Views().SitesFreed.size(), 4u);
    EXPECT_EQ(Views().Calls.back(), "manager left");
}

TEST_F(BarViews, AnItemTellsEachLinkOfARealChangeAndSkipsLinksThatOverrideIt) {
    auto* Button = new TdxBarButton(FForm);
    Button->SetCaption("Open");
    TdxBar* Bar = FManager->Bars()->Add();
    TdxBarItemLink* Plain = Bar->ItemLinks()->Add();
    Plain->SetItem(Button);
    TdxBarItemLink* Own = Bar->ItemLinks()->Add();
    Own->SetItem(Button);
    Own->SetUserCaption("Mine");
    Views().Calls.clear();

    Button->SetCaption("Load");
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{Item("Load", TdxBarItemChange::Caption)}));
    Views().Calls.clear();
    Button->SetEnabled(true);  // no change
    Button->SetEnabled(false);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{Item("Load", TdxBarItemChange::Enabled),
                                                       Item("Load", TdxBarItemChange::Enabled)}));
    Views().Calls.clear();
    Button->SetButtonStyle(bsChecked);
    Button->SetDown(true);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{Item("Load", TdxBarItemChange::ButtonStyle),
                                                       Item("Load", TdxBarItemChange::ButtonStyle),
                                                       Item("Load", TdxBarItemChange::Down),
                                                       Item("Load", TdxBarItemChange::Down)}));
}

TEST_F(BarViews, ABarShownAsksForItsToolbarAndHiddenLetsItGo) {
    TdxBar* Bar = FManager->Bars()->Add();
    Bar->SetCaption("Tools");
    Views().Calls.clear();

    Bar->SetVisible(true);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{"make window", "place Tools"}));
    EXPECT_EQ(Bar->ItemLinks()->BarControl(), Fake<TCustomdxBarControl>(0));

    // A docked toolbar takes a new frame and layout with the manager's style; a floating one
    // is made again.
    Views().Window.Exists = Views().Window.Toolbar = true;
    Views().Calls.clear();
    FManager->SetStyle(bmsFlat);
    ASSERT_GE(Views().Calls.size(), 2u);
    EXPECT_EQ(Views().Calls[0], Window(TdxBarWindowChange::Frame));
    EXPECT_EQ(Views().Calls[1], Window(TdxBarWindowChange::Layout));
    Views().Window.Floating = true;
    Views().Calls.clear();
    FManager->SetStyle(bmsStandard);
    ASSERT_GE(Views().Calls.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(Views().Calls.begin(), Views().Calls.begin() + 4),
              (std::vector<std::string>{Window(TdxBarWindowChange::CloseMenus), "release window",
                                        "make window", "place Tools"}));

    Views().Calls.clear();
    Bar->SetVisible(false);
    EXPECT_EQ(Views().Calls,
              (std::vector<std::string>{Window(TdxBarWindowChange::CloseMenus), "release window"}));
    EXPECT_EQ(Bar->ItemLinks()->BarControl(), nullptr);
}

TEST_F(BarViews, AnEditsCurrentTextIsWhatItsFocusedControlHoldsAndAComboMeasuresInItsListsFont) {
    auto* Edit = new TdxBarEdit(FForm);
    TdxBar* Bar = FManager->Bars()->Add();
    Bar->ItemLinks()->Add()->SetItem(Edit);
    TdxBarItemLink* Second = Bar->ItemLinks()->Add();
    Second->SetItem(Edit);
    Edit->SetText("stored");
    EXPECT_EQ(Edit->CurText(), "stored");
    Views().Typing = Second;
    EXPECT_EQ(Edit->CurText(), "typed");
    EXPECT_EQ(Edit->Text(), "stored");

    auto* Combo = new TdxBarCombo(FForm);
    Combo->Items()->Add("Wide entry");
    int Height = 0, Width = 0;
    Combo->MeasureItem(0, Height);
    Combo->MeasureItemWidth(0, Width);
    EXPECT_EQ(Height, 13);
    EXPECT_EQ(Width, 10 * 7 + 2);
    EXPECT_EQ(Views().Measured, (std::vector<std::string>{"Qq", "Wide entry"}));
    // A height of its own asks nothing.
    Combo->ItemHeight = 20;
    Combo->MeasureItem(0, Height);
    EXPECT_EQ(Height, 20);
    EXPECT_EQ(Views().Measured.size(), 2u);
}

TEST_F(BarViews, AComboOpensItsDropDownThroughTheViewsOnlyForAControlOnABar) {
    auto* Combo = new TdxBarCombo(FForm);
    std::vector<std::string> Events;
    Combo->OnDropDown = [&](TObject*) { Events.push_back("drop down"); };
    Combo->OnCloseUp = [&](TObject*) { Events.push_back("close up"); };
    auto* Control = Fake<TCustomdxBarComboControl>(6);
    Views().Calls.clear();

    // A control on no bar window: the combo is told, but nothing opens.
    Combo->DropDown(TPoint{10, 20}, Control);
    EXPECT_EQ(Combo->DroppedDownControl(), nullptr);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{"can drop down"}));
    Combo->CloseUp();
    EXPECT_EQ(Events, (std::vector<std::string>{"drop down"}));

    // On a bar: the list is filled for the control, then shown beside it, and it is the open one.
    Views().OnBar = Control;
    Views().Calls.clear();
    Combo->DropDown(TPoint{10, 20}, Control);
    EXPECT_EQ(Combo->DroppedDownControl(), Control);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{"can drop down", "fill list",
                                                       "show list for its control at 10,20"}));
    Views().Calls.clear();
    Combo->CloseUp();
    EXPECT_EQ(Combo->DroppedDownControl(), nullptr);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{"hide list", "list closed"}));
    EXPECT_EQ(Events, (std::vector<std::string>{"drop down", "drop down", "close up"}));

    // A window of the program's own is shown instead of the list (the windows fill only their
    // list).
    const HWND Own = HWND(0x77);
    Combo->OnGetDropDownWindow = [&](TObject*, HWND& Window) { Window = Own; };
    Views().Calls.clear();
    Combo->DropDown(TPoint{1, 2}, Control);
    EXPECT_EQ(Views().Calls, (std::vector<std::string>{"can drop down", "fill own window",
                                                       "show own window for its control at 1,2"}));
    Combo->CloseUp();
}

TEST_F(BarViews, AComboListIsAsWideAsItsControlOrWidestEntryUnlessItHasAWidthOfItsOwn) {
    auto* Combo = new TdxBarCombo(FForm);
    Combo->Items()->Add("Wide entry");  // 72 wide in the list's font
    // The frame's 4 pixels are counted in the control's width, added to an entry's.
    EXPECT_EQ(Combo->GetDropDownWidth(100), 100);
    EXPECT_EQ(Combo->GetDropDownWidth(50), 72 + 4);
    Combo->DropDownWidth = 30;
    EXPECT_EQ(Combo->GetDropDownWidth(100), 30 + 4);
    // More entries than rows: the scroll bar comes on top.
    const int ScrollBar = GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_GT(ScrollBar, 0);
    for (int I = 0; I < Combo->DropDownCount; ++I) Combo->Items()->Add("x");
    EXPECT_EQ(Combo->GetDropDownWidth(100), 30 + 4 + ScrollBar);
    Combo->DropDownWidth = 0;
    EXPECT_EQ(Combo->GetDropDownWidth(100), 100);
    EXPECT_EQ(Combo->GetDropDownWidth(50), 72 + 4 + ScrollBar);
}

}  // namespace
