// Bar windows on the offscreen platform: the main window's menu bar and toolbar docked at the top
// of a form, their geometry, clicks, keys and repaints, the flat shadow, and pictures of them in
// the three styles, wide and narrow.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <set>

#include "bars/dxBar.h"
#include "platform/controls/Controls.h"
#include "platform/core/Paint.h"
#include "platform/gdi/RectMath.h"
#include "tests/bars/BarTestSupport.h"
#include "tests/bars/ShownBars.h"
#include "tests/support/GuiTestSupport.h"

namespace {

using namespace BarTest;

// ---- geometry ------------------------------------------------------------------------------

TEST(DockedBars, TheMenuBarTakesTheRowAndTheToolbarItsButtons) {
    TShownBars Shown(640);
    TdxBarControl* Menu = Shown.Menu()->Control();
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    ASSERT_TRUE(Menu && Toolbar);
    TdxDockControl* Top = Shown.Manager()->Bars()->DockControls(dsTop);
    EXPECT_EQ(Menu->Parent(), Top);
    EXPECT_EQ(Toolbar->Parent(), Top);
    EXPECT_EQ(Top->RowCount(), 2);
    // Rows stack: the menu bar spans the site, the toolbar lies below it.
    EXPECT_EQ(Menu->BoundsRect(), (TRect{0, 0, Top->ClientRect().Right, Menu->Height()}));
    EXPECT_EQ(Toolbar->Top(), Menu->Height());
    EXPECT_EQ(Top->Height(), Menu->Height() + Toolbar->Height());
    // Glyph buttons: the manager's button size, a group separator of 5 before group starts.
    const int Lefts[6] = {0, 23, 51, 74, 102, 130};
    for (int I = 0; I < 6; ++I) {
        const TRect R = Shown.Link(Shown.Toolbar(), I)->ItemRect();
        EXPECT_EQ(R.Left, Lefts[I]) << I;
        EXPECT_EQ(R.Width(), 23);
        EXPECT_EQ(R.Height(), 22);
    }
    // The toolbar is as long as its items, its mark and its frame (border 4, grip 6).
    EXPECT_EQ(Toolbar->Width(), 6 * 23 + 3 * 5 + kdxBarMarkSize + 10);
    EXPECT_EQ(Toolbar->Height(), 22 + 4);
    EXPECT_FALSE(Toolbar->HiddenItems());
    EXPECT_TRUE(Toolbar->MarkExists());  // quick customizing in the flat style
    EXPECT_EQ(Shown.Toolbar()->ItemLinks()->FittingCount(), 6);
    // The menu bar's items follow each other on one row.
    for (int I = 1; I < 4; ++I)
        EXPECT_EQ(Shown.Link(Shown.Menu(), I)->ItemRect().Left,
                  Shown.Link(Shown.Menu(), I - 1)->ItemRect().Right);
}

TEST(DockedBars, ANarrowToolbarHidesWhatDoesNotFitBehindItsMark) {
    TShownBars Shown(130);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    EXPECT_TRUE(Toolbar->HiddenItems());
    EXPECT_TRUE(Toolbar->MarkExists());
    const int Fitting = Shown.Toolbar()->ItemLinks()->FittingCount();
    EXPECT_GT(Fitting, 0);
    EXPECT_LT(Fitting, 6);
    const TRect Mark = Toolbar->MarkRect();
    EXPECT_EQ(Mark.Width(), kdxBarMarkSize);
    for (int I = 0; I < 6; ++I) {
        const TRect R = Shown.Link(Shown.Toolbar(), I)->ItemRect();
        if (I < Fitting)
            EXPECT_LE(R.Right, Mark.Left) << I;
        else
            EXPECT_TRUE(IsRectEmpty(R)) << I;
    }
    // The toolbar takes the whole row once it is cut.
    EXPECT_EQ(Toolbar->Width(), Shown.Manager()->Bars()->DockControls(dsTop)->ClientRect().Right);
    Shown.Bars.Form()->SetWidth(640);
    GuiTest::Drain();
    EXPECT_FALSE(Toolbar->HiddenItems());
    EXPECT_EQ(Shown.Toolbar()->ItemLinks()->FittingCount(), 6);
}

TEST(DockedBars, ANarrowMenuBarWrapsItsItemsIntoRows) {
    TShownBars Wide(640);
    const int OneRow = Wide.Menu()->Control()->Height();
    TShownBars Narrow(110);
    TdxBarControl* Menu = Narrow.Menu()->Control();
    EXPECT_GT(Menu->Height(), OneRow);
    std::set<int> Tops;
    for (int I = 0; I < 4; ++I) {
        const TRect R = Narrow.Link(Narrow.Menu(), I)->ItemRect();
        EXPECT_FALSE(IsRectEmpty(R)) << I;  // a multi-line bar hides nothing
        EXPECT_LE(R.Right, Menu->ClientRect().Right);
        Tops.insert(R.Top);
    }
    EXPECT_GE(Tops.size(), 2u);
    // The toolbar's row moved down with the taller menu bar.
    EXPECT_EQ(Narrow.Toolbar()->Control()->Top(), Menu->Height());
}

// ---- input ---------------------------------------------------------------------------------

TEST(DockedBars, ClickingStartRunsItsHandler) {
    TShownBars Shown(640);
    int Started = 0;
    TdxBarButton* Start = Shown.Bars.Button("BarButtonStart");
    Start->OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Start);
        ++Started;
    };
    GuiTest::MouseClick(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 2));
    GuiTest::Drain();
    EXPECT_EQ(Started, 1);
    // The toolbar left menu mode again; a disabled Start is not clicked.
    EXPECT_EQ(Shown.Manager()->KeyboardModeBar(), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    Start->SetEnabled(false);
    GuiTest::MouseClick(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 2));
    GuiTest::Drain();
    EXPECT_EQ(Started, 1);
}

TEST(DockedBars, DisablingAnItemRepaintsEveryLinkAtOnce) {
    TShownBars Shown(640);
    TdxBarButton* Start = Shown.Bars.Button("BarButtonStart");
    TdxBar* Extra = Shown.Bars.NewBar("Extra", {Start});
    Extra->SetRow(2);
    Extra->SetVisible(true);
    GuiTest::Drain();
    ASSERT_TRUE(Extra->Control());
    auto Picture = [&](TdxBar* Bar) {
        const TRect R = Bar->ItemLinks()->Items(Bar == Extra ? 0 : 2)->ItemRect();
        return WindowPicture(Bar->Control()->Handle())
            .copy(R.Left + 2, R.Top + 2, R.Width(), R.Height());
    };
    const QImage ToolbarBefore = Picture(Shown.Toolbar()), ExtraBefore = Picture(Extra);
    Start->SetEnabled(false);
    // No paint pass in between: the controls repainted themselves.
    EXPECT_NE(Picture(Shown.Toolbar()), ToolbarBefore);
    EXPECT_NE(Picture(Extra), ExtraBefore);
    Start->SetEnabled(true);
    EXPECT_EQ(Picture(Shown.Toolbar()), ToolbarBefore);
    EXPECT_EQ(Picture(Extra), ExtraBefore);
}

TEST(DockedBars, KeysInMenuModeMoveTheSelectionAndAcceleratorsRunCommands) {
    TShownBars Shown(640, false);  // caption buttons: their accelerators work on the bar
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    auto Selected = [&] {
        TdxBarItemControl* C = Toolbar->SelectedControl();
        return C ? C->ItemLink()->Index() : -1;
    };
    auto Key = [&](WORD VirtualKey) { SendMessage(Toolbar->Handle(), WM_KEYDOWN, VirtualKey, 0); };
    Toolbar->EnterMenuMode(nullptr);
    EXPECT_EQ(Shown.Manager()->KeyboardModeBar(), Toolbar);
    EXPECT_EQ(Selected(), 0);
    Key(VK_RIGHT);
    EXPECT_EQ(Selected(), 1);
    Key(VK_END);
    EXPECT_EQ(Selected(), 5);
    Key(VK_RIGHT);  // wraps to the first
    EXPECT_EQ(Selected(), 0);
    Key(VK_LEFT);  // and back to the last
    EXPECT_EQ(Selected(), 5);
    Key(VK_HOME);
    EXPECT_EQ(Selected(), 0);
    Key(VK_OEM_COMMA);  // not a letter or digit: nothing
    EXPECT_EQ(Selected(), 0);
    int Ended = 0;
    Shown.Bars.Button("BarButtonExit")->OnClick = [&](TObject*) { ++Ended; };
    Key(VK_E);  // "&Ende" is the only E: it runs and menu mode ends
    EXPECT_EQ(Ended, 1);
    EXPECT_EQ(Shown.Manager()->KeyboardModeBar(), nullptr);
    Toolbar->EnterMenuMode(nullptr);
    Key(VK_ESCAPE);
    EXPECT_EQ(Shown.Manager()->KeyboardModeBar(), nullptr);
    EXPECT_EQ(Toolbar->SelectedControl(), nullptr);
}

TEST(DockedBars, ALetterTwoButtonsShareSelectsEachInTurnAndEnterRunsTheSelectedOne) {
    TShownBars Shown(640, false);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    auto Selected = [&] {
        TdxBarItemControl* C = Toolbar->SelectedControl();
        return C ? C->ItemLink()->Index() : -1;
    };
    auto Key = [&](WORD VirtualKey) { SendMessage(Toolbar->Handle(), WM_KEYDOWN, VirtualKey, 0); };
    std::vector<std::string> Ran;
    for (const char* Name : {"BarButtonStart", "BarButtonMultiStart"})
        Shown.Bars.Button(Name)->OnClick = [&Ran, Name](TObject*) { Ran.push_back(Name); };
    // "&Start" (third) and this one (fourth) share S.
    Shown.Bars.Button("BarButtonMultiStart")->SetCaption("&Senden");
    Toolbar->EnterMenuMode(nullptr);
    ASSERT_EQ(Selected(), 0);
    Key(VK_S);
    EXPECT_EQ(Selected(), 2);
    Key(VK_S);
    EXPECT_EQ(Selected(), 3);
    EXPECT_TRUE(Ran.empty());
    EXPECT_EQ(Shown.Manager()->KeyboardModeBar(), Toolbar);
    Key(VK_RETURN);
    EXPECT_EQ(Ran, std::vector<std::string>{"BarButtonMultiStart"});
    EXPECT_EQ(Shown.Manager()->KeyboardModeBar(), nullptr);
}

TEST(DockedBars, TheMouseSelectsWhatItIsOverButAnUnmovedMoveChangesNothing) {
    TShownBars Shown(640);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    const POINT Over = Shown.ScreenPoint(Shown.Toolbar(), 3);
    GuiTest::MouseMove(Shown.FormWindow(), Over);
    GuiTest::Drain();
    ASSERT_NE(Toolbar->SelectedControl(), nullptr);
    EXPECT_EQ(Toolbar->SelectedControl()->ItemLink(), Shown.Link(Shown.Toolbar(), 3));
    Toolbar->SetMouseSelectedControl(nullptr);
    POINT Client = Over;
    ScreenToClient(Toolbar->Handle(), &Client);
    PostMessage(Toolbar->Handle(), WM_MOUSEMOVE, 0, MAKELONG(WORD(Client.x), WORD(Client.y)));
    GuiTest::Drain();
    EXPECT_EQ(Toolbar->SelectedControl(), nullptr);
    GuiTest::MouseMove(Shown.FormWindow(), POINT{Over.x + 1, Over.y});
    GuiTest::Drain();
    EXPECT_NE(Toolbar->SelectedControl(), nullptr);
}

TEST(DockedBars, AnEditorsTextIsReadWhole) {
    TShownBars Shown(300);
    InitStandardControls();
    const HWND Edit =
        CreateWindowEx(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, Shown.FormWindow(), 0, 0, nullptr);
    const std::string Long(1000, 'x');
    SetWindowText(Edit, Long);
    ASSERT_EQ(GetWindowTextLength(Edit), 1000);
    EXPECT_EQ(GetEditText(Edit), Long);
    SetWindowText(Edit, "");
    EXPECT_EQ(GetEditText(Edit), "");
    DestroyWindow(Edit);
}

// ---- the flat shadow -----------------------------------------------------------------------

// A bar window of its own on the screen, as submenus and floating bars are.
class TPopupBar : public TCustomdxBarControl {
  public:
    using TCustomdxBarControl::TCustomdxBarControl;
    int GetBeginGroupSize() const override { return 5; }
    void AssignFont() override {}
    void SetMarkState(TdxBarButtonState) override {}

  protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomdxBarControl::CreateParams(Params);
        Params.Style = WS_POPUP | (Visible() ? WS_VISIBLE : 0);
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
        Params.WndParent = 0;
    }
    void Paint() override {
        const RECT R = ClientRect();
        FillRect(Canvas()->Handle(), &R, GetStockObject(WHITE_BRUSH));
    }
};

TEST(BarWindowShadow, FlatPopupsCastATwoPixelShadowOffsetByTwo) {
    TBarsForm Bars;
    Bars.Manager()->SetStyle(bmsFlat);
    auto* Popup = new TPopupBar(Bars.Manager());
    Popup->SetBounds(200, 150, 50, 30);
    Popup->Show();
    Popup->HandleNeeded();  // a window without a parent is made when it is asked for
    GuiTest::Drain();
    EXPECT_EQ(Popup->ClientRect(), (TRect{0, 0, 48, 28}));
    const HRGN Region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Popup->Handle(), Region), ERROR);
    EXPECT_TRUE(PtInRegion(Region, 47, 0));
    EXPECT_FALSE(PtInRegion(Region, 48, 0));
    EXPECT_FALSE(PtInRegion(Region, 49, 1));
    EXPECT_TRUE(PtInRegion(Region, 48, 2));
    EXPECT_FALSE(PtInRegion(Region, 1, 28));
    EXPECT_TRUE(PtInRegion(Region, 2, 28));
    DeleteObject(Region);
    const QImage Shot = WindowPicture(Popup->Handle());
    const QRgb Grey = qRgb(128, 128, 128);
    EXPECT_EQ(Shot.pixel(49, 2) | 0xFF000000u, Grey);
    EXPECT_EQ(Shot.pixel(2, 29) | 0xFF000000u, Grey);
    EXPECT_EQ(Shot.pixel(47, 27) | 0xFF000000u, qRgb(255, 255, 255));
    SaveWindowPicture(Popup->Handle(), BarPicturePath("flat-shadow"));
    Popup->Free();
    // The other styles have no shadow.
    Bars.Manager()->SetStyle(bmsEnhanced);
    auto* Plain = new TPopupBar(Bars.Manager());
    Plain->SetBounds(200, 150, 50, 30);
    Plain->Show();
    Plain->HandleNeeded();
    GuiTest::Drain();
    EXPECT_EQ(Plain->ClientRect(), (TRect{0, 0, 50, 30}));
    Plain->Free();
}

// ---- pictures ------------------------------------------------------------------------------

TEST(DockedBarPictures, TheMainWindowsBarsInEachStyleWideAndNarrow) {
    const std::pair<TdxBarManagerStyle, const char*> kStyles[] = {
        {bmsFlat, "flat"}, {bmsStandard, "standard"}, {bmsEnhanced, "enhanced"}};
    for (auto [Style, Name] : kStyles) {
        for (int Width : {520, 150}) {
            TShownBars Shown(Width, true, Style);
            // Hot and disabled items show in the pictures too.
            Shown.Bars.Button("BarButtonMultiStart")->SetEnabled(false);
            GuiTest::MouseMove(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 1));
            GuiTest::Drain();
            EXPECT_EQ(Shown.Toolbar()->Control()->HiddenItems(), Width < 200) << Name;
            const std::string File =
                std::string("main-bars-") + Name + (Width < 200 ? "-narrow" : "-wide");
            EXPECT_TRUE(SaveWindowPicture(Shown.FormWindow(), BarPicturePath(File)));
            // The dock site three times as large, for a look at the pixels.
            const HWND Site = Shown.Manager()->Bars()->DockControls(dsTop)->Handle();
            const QImage Bars = WindowPicture(Site);
            EXPECT_TRUE(SaveBarPicture(
                Bars.scaled(Bars.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                File + "-zoom"));
        }
    }
}

TEST(DockedBarPictures, AToolbarOfCaptionsGlyphsSubItemsAndCheckedButtons) {
    const std::pair<TdxBarManagerStyle, const char*> kStyles[] = {
        {bmsFlat, "flat"}, {bmsStandard, "standard"}, {bmsEnhanced, "enhanced"}};
    for (auto [Style, Name] : kStyles) {
        TShownBars Shown(520, true, Style);
        TBarsForm& Bars = Shown.Bars;
        auto* Text = Bars.NewItem("Senden");
        Text->SetPaintStyle(psCaption);
        auto* Both = Bars.NewItem("Holen");
        Both->SetImageIndex(5);
        Both->SetPaintStyle(psCaptionGlyph);
        auto* Checked = Bars.NewItem("Online");
        Checked->SetImageIndex(9);
        Checked->SetButtonStyle(bsChecked);
        Checked->SetDown(true);
        auto* Sub = Bars.NewItem<TdxBarSubItem>("Ordner");
        TdxBar* Mixed = Bars.NewBar("Gemischt", {Text, Both, Checked, Sub});
        Mixed->ItemLinks()->Items(2)->SetBeginGroup(true);
        Mixed->SetRow(2);
        Mixed->SetVisible(true);
        GuiTest::Drain();
        ASSERT_TRUE(Mixed->Control()) << Name;
        const TRect R[4] = {
            Mixed->ItemLinks()->Items(0)->ItemRect(), Mixed->ItemLinks()->Items(1)->ItemRect(),
            Mixed->ItemLinks()->Items(2)->ItemRect(), Mixed->ItemLinks()->Items(3)->ItemRect()};
        // A caption and a glyph take more room than the caption alone; the checked glyph
        // button keeps the button size; the group separator lies before it.
        EXPECT_GT(R[1].Width(), R[0].Width()) << Name;
        EXPECT_EQ(R[2].Width(), 23) << Name;
        EXPECT_EQ(R[1].Left, R[0].Right) << Name;
        EXPECT_GT(R[2].Left, R[1].Right) << Name;
        EXPECT_GE(R[3].Left, R[2].Right) << Name;
        // The sub-item shows its caption.
        EXPECT_GT(R[3].Width(), 23) << Name;
        const HWND Site = Shown.Manager()->Bars()->DockControls(dsTop)->Handle();
        const QImage Picture = WindowPicture(Site);
        EXPECT_TRUE(SaveBarPicture(
            Picture.scaled(Picture.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation),
            std::string("mixed-toolbar-") + Name + "-zoom"));
    }
}

}  // namespace
