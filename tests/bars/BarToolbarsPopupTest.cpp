// The toolbars popup of a right click on a toolbar or a dock site, and the item context menu of
// customizing mode, both by the mouse on the main window's bars.
#include <gtest/gtest.h>

#include "bars/customize/dxBarCustomizingPopup.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarToolbarsPopup.h"
#include "platform/controls/Controls.h"
#include "platform/shell/Dialogs.h"
#include "tests/bars/CustomizeTestSupport.h"

namespace {

using namespace BarTest;

std::vector<std::string> CaptionsOf(TdxBarItemLinks* Links) {
    std::vector<std::string> Result;
    for (int I = 0; I < Links->Count(); ++I) Result.push_back(Links->Items(I)->Item()->Caption());
    return Result;
}

struct TPopupBars : TMenuForm {
    TPopupBars() : TMenuForm(640) {}

    void RightClick(POINT Screen) {
        const HWND Target = Via(Screen);
        GuiTest::MousePress(Target, Screen, Qt::RightButton);
        GuiTest::Drain();
        GuiTest::MouseRelease(Via(Screen) ? Via(Screen) : Target, Screen, Qt::RightButton);
        GuiTest::Drain();
    }
    static TdxBarToolbarsPopup* ToolbarsPopup() {
        return dynamic_cast<TdxBarToolbarsPopup*>(ActiveBarControl());
    }
    // A point of the top dock site right of the toolbar.
    POINT DockPoint() const {
        TdxBarControl* Window = Toolbar()->Control();
        return GuiTest::ScreenOf(Manager()->Bars()->DockControls(dsTop)->Handle(),
                                 POINT{Window->Left() + Window->Width() + 30, Window->Top() + 5});
    }
    // The customizing popup's entry of an index, on the screen.
    static POINT EntryOf(TdxBarCustomizingEntry Entry) {
        return EntryPoint(ShownCustomizingPopup(), int(Entry));
    }
    static bool Down(TdxBarCustomizingEntry Entry) {
        return static_cast<TdxBarButton*>(ShownCustomizingPopup()->Entry(Entry))->Down();
    }
    static bool Enabled(TdxBarCustomizingEntry Entry) {
        return ShownCustomizingPopup()->Entry(Entry)->Enabled();
    }
};

// ---- the toolbars popup -----------------------------------------------------------------------

TEST(ToolbarsPopup, ARightClickOnAToolbarListsTheBarsWithTheirVisibilityAndCustomize) {
    TPopupBars Form;
    TdxBar* Extras = Form.Bars.NewBar("Extras", {Form.Bars.NewItem("&Eins")});
    TdxBar* Fixed = Form.Bars.NewBar("Fest", {Form.Bars.NewItem("&Zwei")});
    Fixed->SetAllowClose(false);
    TdxBar* Hidden = Form.Bars.NewBar("Versteckt", {});
    Hidden->Hidden = true;
    std::vector<std::string> Shown;
    Form.Manager()->OnShowToolbarsPopup = [&](TdxBarManager*, TdxBarItemLinks* Links) {
        Shown = CaptionsOf(Links);
    };
    const POINT At = Form.ScreenPoint(Form.Toolbar(), 0);
    Form.RightClick(At);
    TdxBarToolbarsPopup* Popup = TPopupBars::ToolbarsPopup();
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(Popup->Left(), At.x);
    EXPECT_EQ(Popup->Top(), At.y);
    TdxBarItemLinks* Links = Popup->ItemLinks();
    // The menu bar, a bar that cannot be closed and a hidden bar are not offered.
    EXPECT_EQ(CaptionsOf(Links), (std::vector<std::string>{"Toolbar", "Extras", "&Customize..."}));
    EXPECT_EQ(Shown, (std::vector<std::string>{"Toolbar", "Extras"}));
    EXPECT_TRUE(static_cast<TdxBarButton*>(Links->Items(0)->Item())->Down());
    EXPECT_FALSE(static_cast<TdxBarButton*>(Links->Items(1)->Item())->Down());
    EXPECT_TRUE(Links->Items(2)->BeginGroup());
    EXPECT_TRUE(Links->Items(2)->Item()->Enabled());
    SaveScenePicture({Form.FormWindow(), Popup->Handle()}, "toolbars-popup");
    // Checking an entry shows its bar and closes the popup.
    Form.Click(TMenuForm::EntryPoint(Popup, 1));
    EXPECT_TRUE(Extras->Visible());
    EXPECT_EQ(TPopupBars::ToolbarsPopup(), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
}

TEST(ToolbarsPopup, ARightClickOnADockSiteOpensItAndUncheckingHidesTheBar) {
    TPopupBars Form;
    const POINT At = Form.DockPoint();
    Form.RightClick(At);
    TdxBarToolbarsPopup* Popup = TPopupBars::ToolbarsPopup();
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(Popup->Left(), At.x);
    Form.Click(TMenuForm::EntryPoint(Popup, 0));
    EXPECT_FALSE(Form.Toolbar()->Visible());
    EXPECT_EQ(ActiveBarControl(), nullptr);
    // On the menu bar's empty end too; a press outside closes it without a change.
    TdxBarControl* Menu = Form.Menu()->Control();
    Form.RightClick(GuiTest::ScreenOf(Menu->Handle(), POINT{Menu->ClientRect().Right - 5, 5}));
    ASSERT_NE(TPopupBars::ToolbarsPopup(), nullptr);
    Form.Click(Form.FormPoint());
    EXPECT_EQ(TPopupBars::ToolbarsPopup(), nullptr);
    EXPECT_FALSE(Form.Toolbar()->Visible());
}

TEST(ToolbarsPopup, NothingShowsWithoutBarsToOfferAndWithoutCustomize) {
    TPopupBars Form;
    Form.Toolbar()->SetAllowClose(false);
    Form.Manager()->CanCustomize = false;
    Form.RightClick(Form.DockPoint());
    EXPECT_EQ(ActiveBarControl(), nullptr);
    Form.RightClick(Form.ScreenPoint(Form.Toolbar(), 1));
    EXPECT_EQ(ActiveBarControl(), nullptr);
    // With CanCustomize the one entry is "&Customize...".
    Form.Manager()->CanCustomize = true;
    Form.RightClick(Form.DockPoint());
    ASSERT_NE(TPopupBars::ToolbarsPopup(), nullptr);
    EXPECT_EQ(CaptionsOf(TPopupBars::ToolbarsPopup()->ItemLinks()),
              std::vector<std::string>{"&Customize..."});
    Form.Tap(Qt::Key_Escape);
    EXPECT_EQ(ActiveBarControl(), nullptr);
}

// ---- the item context menu of customizing mode ------------------------------------------------

struct TCustomizingBars : TPopupBars {
    TCustomizingBars() {
        Manager()->CustomizingMode(true);
        GuiTest::Drain();
    }
    ~TCustomizingBars() {
        if (Manager()) Manager()->Customizing(false);
    }
    // Right-clicks a link of the toolbar: its context menu opens.
    TdxBarCustomizingPopup* OpenFor(TdxBar* Bar, int Index) {
        RightClick(ScreenPoint(Bar, Index));
        return ShownCustomizingPopup();
    }
};

TEST(CustomizingPopup, ARightClickOnALinkOpensItsMenuWithTheLinksState) {
    TCustomizingBars Form;
    int Fired = 0;
    Form.Manager()->OnShowCustomizingPopup = [&](TdxBarManager*, TdxBarItemLinks* Links) {
        ++Fired;
        EXPECT_EQ(Links->Count(), int(ceEntryCount));
    };
    const POINT At = Form.ScreenPoint(Form.Toolbar(), 0);
    TdxBarCustomizingPopup* Popup = Form.OpenFor(Form.Toolbar(), 0);
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(Fired, 1);
    EXPECT_EQ(Popup->Left(), At.x);
    EXPECT_EQ(CurrentCustomizingLink(), Form.Link(Form.Toolbar(), 0));
    EXPECT_EQ(Form.Manager()->CustomizingSelection(), Form.Link(Form.Toolbar(), 0)->Control());
    EXPECT_EQ(CaptionsOf(Popup->ItemLinks()),
              (std::vector<std::string>{"&Reset", "&Delete", "&Name:", "Defa&ult style",
                                        "&Text Only (Always)", "Text &Only (in Menus)",
                                        "Image &and Text", "Begin a &Group"}));
    for (int I : {ceName, ceDefaultStyle, ceBeginGroup})
        EXPECT_TRUE(Popup->ItemLinks()->Items(I)->BeginGroup()) << I;
    EXPECT_EQ(Popup->NameEdit()->Text(), "&Laden...");
    // The first link cannot begin a group.
    EXPECT_FALSE(TPopupBars::Enabled(ceBeginGroup));
    EXPECT_TRUE(TPopupBars::Enabled(ceImageAndText));
    EXPECT_TRUE(TPopupBars::Down(ceDefaultStyle));
    SaveScenePicture({Form.FormWindow(), Popup->Handle()}, "customizing-popup");
    Form.Tap(Qt::Key_Escape);
    EXPECT_EQ(ShownCustomizingPopup(), nullptr);
    // The customizing selection stays on the link while the manager customizes.
    EXPECT_EQ(Form.Manager()->CustomizingSelection(), Form.Link(Form.Toolbar(), 0)->Control());
}

TEST(CustomizingPopup, ThePaintStyleEntriesSetTheLinksStyleAsOneRadioGroup) {
    TCustomizingBars Form;
    struct TCase {
        TdxBarCustomizingEntry Entry;
        TdxBarPaintStyle Style;
    };
    const TCase kCases[] = {{ceImageAndText, psCaptionGlyph},
                            {ceTextOnlyAlways, psCaption},
                            {ceTextOnlyInMenus, psCaptionInMenu},
                            {ceDefaultStyle, psStandard}};
    TdxBarItemLink* Link = Form.Link(Form.Toolbar(), 1);
    for (const TCase& Case : kCases) {
        ASSERT_NE(Form.OpenFor(Form.Toolbar(), 1), nullptr) << Case.Entry;
        Form.Click(TPopupBars::EntryOf(Case.Entry));
        EXPECT_EQ(ShownCustomizingPopup(), nullptr);
        EXPECT_EQ(Link->PaintStyle(), Case.Style) << Case.Entry;
        EXPECT_TRUE(Link->UserDefine().Contains(udPaintStyle));
        // Opened again, the entry of the style is the one down.
        ASSERT_NE(Form.OpenFor(Form.Toolbar(), 1), nullptr);
        for (const TCase& Other : kCases)
            EXPECT_EQ(TPopupBars::Down(Other.Entry), Other.Entry == Case.Entry) << Other.Entry;
        Form.Tap(Qt::Key_Escape);
    }
    // Reset takes the link's own values away.
    Link->SetUserCaption("Anders");
    ASSERT_NE(Form.OpenFor(Form.Toolbar(), 1), nullptr);
    Form.Click(TPopupBars::EntryOf(ceReset));
    EXPECT_TRUE(Link->UserDefine().Empty());
    EXPECT_EQ(Link->Caption(), "&Konfiguration...");
}

TEST(CustomizingPopup, ASubItemHasNoStylesAndShowsTheDefaultOneDown) {
    TCustomizingBars Form;
    ASSERT_NE(Form.OpenFor(Form.Menu(), 1), nullptr);
    for (int I = ceDefaultStyle; I <= ceImageAndText; ++I)
        EXPECT_FALSE(TPopupBars::Enabled(TdxBarCustomizingEntry(I))) << I;
    EXPECT_TRUE(TPopupBars::Down(ceDefaultStyle));
    EXPECT_TRUE(TPopupBars::Enabled(ceBeginGroup));
    EXPECT_FALSE(TPopupBars::Down(ceBeginGroup));
    // Begin a Group toggles the link's group start.
    Form.Click(TPopupBars::EntryOf(ceBeginGroup));
    EXPECT_TRUE(Form.MenuLink(1)->BeginGroup());
    ASSERT_NE(Form.OpenFor(Form.Menu(), 1), nullptr);
    EXPECT_TRUE(TPopupBars::Down(ceBeginGroup));
    Form.Click(TPopupBars::EntryOf(ceBeginGroup));
    EXPECT_FALSE(Form.MenuLink(1)->BeginGroup());
}

TEST(CustomizingPopup, TheNameRenamesTheLinkAndABlankNameIsRefused) {
    TCustomizingBars Form;
    TServices Services;
    TScriptedDialogService* Dialogs = Services.Boxes;
    TdxBarItemLink* Link = Form.Link(Form.Toolbar(), 2);
    TdxBarCustomizingPopup* Popup = Form.OpenFor(Form.Toolbar(), 2);
    ASSERT_NE(Popup, nullptr);
    Popup->NameEdit()->SetText("&Los");
    EXPECT_EQ(Link->Caption(), "&Los");
    EXPECT_TRUE(Link->UserDefine().Contains(udCaption));
    EXPECT_EQ(ShownCustomizingPopup(), Popup);
    Popup->NameEdit()->SetText("");
    GuiTest::Drain();
    EXPECT_EQ(ShownCustomizingPopup(), nullptr);
    EXPECT_EQ(Link->Caption(), "&Los");
    ASSERT_EQ(Dialogs->Asked().size(), 1u);
    EXPECT_EQ(Dialogs->Asked()[0].Text, "A command name cannot be blank. Please enter a name.");
    EXPECT_EQ(Dialogs->Asked()[0].Caption, Forms.Title());
    EXPECT_EQ(Dialogs->Asked()[0].Flags, MB_OK | MB_ICONERROR);
}

// The same by the keys: a click in the "&Name:" entry opens its editor, and Enter takes what was
// typed (a blank name is refused).
TEST(CustomizingPopup, TypingANameAndEnterRenamesTheLink) {
    InitStandardControls();
    for (const bool Blank : {false, true}) {
        SCOPED_TRACE(Blank ? "blank" : "a name");
        TCustomizingBars Form;
        TServices Services;
        TScriptedDialogService* Dialogs = Services.Boxes;
        TdxBarItemLink* Link = Form.Link(Form.Toolbar(), 2);
        const std::string Before = Link->Caption();
        TdxBarCustomizingPopup* Popup = Form.OpenFor(Form.Toolbar(), 2);
        ASSERT_NE(Popup, nullptr);
        auto* Edit = dynamic_cast<TdxBarEditControl*>(Popup->ItemLinks()->Items(ceName)->Control());
        ASSERT_NE(Edit, nullptr);
        const TRect R = Edit->EditRect();
        Form.Click(GuiTest::ScreenOf(Popup->Handle(), POINT{R.Left + 4, (R.Top + R.Bottom) / 2}));
        ASSERT_TRUE(Edit->Focused());
        // The whole name is selected: typing replaces it, Backspace empties it.
        if (Blank) {
            Form.Tap(Qt::Key_Backspace);
        } else {
            for (char C : std::string("Los")) {
                QTest::keyClick(Form.Window(), C);
                GuiTest::Drain();
            }
        }
        Form.Tap(Qt::Key_Return);
        EXPECT_EQ(ShownCustomizingPopup(), nullptr);
        EXPECT_EQ(Link->Caption(), Blank ? Before : std::string("Los"));
        EXPECT_EQ(Dialogs->Asked().size(), Blank ? 1u : 0u);
    }
}

TEST(CustomizingPopup, DeleteFreesTheLinkAndTheMenuForgetsIt) {
    TCustomizingBars Form;
    TdxBarItem* Third = Form.Link(Form.Toolbar(), 2)->Item();
    const int Links = Third->LinkCount();
    ASSERT_NE(Form.OpenFor(Form.Toolbar(), 2), nullptr);
    Form.Click(TPopupBars::EntryOf(ceDelete));
    EXPECT_EQ(CurrentCustomizingLink(), nullptr);
    EXPECT_EQ(Form.Toolbar()->ItemLinks()->Count(), 5);
    EXPECT_EQ(Third->LinkCount(), Links - 1);
    // A link that goes otherwise is forgotten too.
    ASSERT_NE(Form.OpenFor(Form.Toolbar(), 0), nullptr);
    Form.Tap(Qt::Key_Escape);
    delete Form.Link(Form.Toolbar(), 0);
    EXPECT_EQ(CurrentCustomizingLink(), nullptr);
}

TEST(CustomizingPopup, OutsideCustomizingModeARightClickOnALinkGivesTheToolbarsPopup) {
    TPopupBars Form;
    Form.RightClick(Form.ScreenPoint(Form.Toolbar(), 2));
    EXPECT_EQ(ShownCustomizingPopup(), nullptr);
    EXPECT_NE(TPopupBars::ToolbarsPopup(), nullptr);
    Form.Tap(Qt::Key_Escape);
}

}  // namespace
