// The inner panel and the mouse: the wheel, what counts as a click (a release within 3 pixels of
// the press), the cursor and hint over links, selecting text, and the scroll bars.
#include "platform/core/ScrollBar.h"
#include "tests/htmlview/panel/PanelTestSupport.h"

namespace {

class PanelInput : public TPanelFixture {
  protected:
    void OpenLong() {
        std::string Html = "<body><a href=\"http://example.org/link\">a link at the top</a><br>";
        for (int I = 0; I < 150; ++I) Html += "Line number " + std::to_string(I) + "<br>";
        Provider->Add("http://mail/long", Html + "</body>");
        Open("http://mail/long");
    }
    POINT LinkPoint() { return ScreenPoint(Doc().Anchors()[0]->DrawRects().front()); }
    // A press at From and a release at To (screen points), with moves half way and to To.
    void Drag(POINT From, POINT To) {
        const HWND Via = Form->Handle();
        GuiTest::MouseMove(Via, From);
        GuiTest::MousePress(Via, From);
        GuiTest::MouseMove(Via, POINT{(From.x + To.x) / 2, (From.y + To.y) / 2});
        GuiTest::MouseMove(Via, To);
        GuiTest::MouseRelease(Via, To);
        GuiTest::Drain();
    }
};

// Each notch scrolls eight lines of 8 pixels, within the page.
TEST_F(PanelInput, EachWheelNotchScrollsEightLinesOfEightPixels) {
    OpenLong();
    const HWND Wnd = Inner().Handle();
    const WPARAM Back = MAKEWPARAM(0, WORD(-120)), Forward = MAKEWPARAM(0, WORD(120));
    SendMessage(Wnd, WM_MOUSEWHEEL, Back, 0);
    EXPECT_EQ(Inner().VScroll().Position(), 64);
    EXPECT_EQ(GetScrollPos(Wnd, SB_VERT), 64);
    SendMessage(Wnd, WM_MOUSEWHEEL, Back, 0);
    SendMessage(Wnd, WM_MOUSEWHEEL, Forward, 0);
    EXPECT_EQ(Inner().VScroll().Position(), 64);
    SendMessage(Wnd, WM_MOUSEWHEEL, Forward, 0);
    SendMessage(Wnd, WM_MOUSEWHEEL, Forward, 0);
    EXPECT_EQ(Inner().VScroll().Position(), 0);
    for (int I = 0; I < 500; ++I) SendMessage(Wnd, WM_MOUSEWHEEL, Back, 0);
    EXPECT_EQ(Inner().VScroll().Position(), Inner().VScroll().MaxPosition());
    EXPECT_EQ(Inner().VScroll().MaxPosition(), Inner().PageRect().Bottom - Inner().ClientHeight());
}

TEST_F(PanelInput, TheScrollBarsPageAndGoToTheEnds) {
    OpenLong();
    const HWND Wnd = Inner().Handle();
    const int Page = Inner().ClientHeight();
    SendMessage(Wnd, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Inner().VScroll().Position(), 8);
    SendMessage(Wnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Inner().VScroll().Position(), 8 + Page);
    SendMessage(Wnd, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Inner().VScroll().Position(), Inner().VScroll().MaxPosition());
    SendMessage(Wnd, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Inner().VScroll().Position(), 0);
    // A page that fits needs no bar.
    Provider->Add("http://mail/short", "<p>short");
    Open("http://mail/short");
    EXPECT_EQ(Inner().VScroll().MaxPosition(), 0);
    EXPECT_EQ(Inner().ClientWidth(), Inner().Width());
}

// A release within 3 pixels of the press in both directions is a click; 4 pixels is a drag.
TEST_F(PanelInput, AClickIsAReleaseWithinThreePixelsOfThePress) {
    OpenLong();
    const struct {
        int DX, DY;
        bool Click;
    } Cases[] = {{0, 0, true},  {3, 0, true},  {0, 3, true},   {3, 3, true}, {-3, -3, true},
                 {4, 0, false}, {0, 4, false}, {-4, 0, false}, {3, 4, false}};
    for (const auto& Case : Cases) {
        const int Before = HotClicks;
        const POINT From = LinkPoint();
        Drag(From, POINT{From.x + Case.DX, From.y + Case.DY});
        EXPECT_EQ(HotClicks - Before, Case.Click ? 1 : 0) << Case.DX << "," << Case.DY;
    }
    // Away from the link a click is the panel's.
    const POINT Text = ScreenPoint(WordRect("number", 3));
    Drag(Text, POINT{Text.x + 2, Text.y + 1});
    EXPECT_EQ(Clicks, 1);
    Drag(Text, POINT{Text.x + 4, Text.y});
    EXPECT_EQ(Clicks, 1);
}

TEST_F(PanelInput, OverALinkTheCursorIsAHandAndTheHintItsAddress) {
    OpenLong();
    int Changes = 0;
    Panel->OnHotChange = [&](TObject*) { ++Changes; };
    const POINT Link = LinkPoint();
    GuiTest::MouseMove(Form->Handle(), Link);
    GuiTest::MouseMove(Form->Handle(), POINT{Link.x + 1, Link.y});
    GuiTest::Drain();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Panel->HotURL(), "http://example.org/link");
    EXPECT_NE(Panel->HotNode(), nullptr);
    EXPECT_EQ(Inner().Cursor(), crHandPoint);
    EXPECT_EQ(Inner().HintText(), "http://example.org/link");
    EXPECT_TRUE(Inner().HintShown());
    // Over plain text: the I-beam, no hint.
    GuiTest::MouseMove(Form->Handle(), ScreenPoint(WordRect("number", 5)));
    GuiTest::Drain();
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Panel->HotURL(), "");
    EXPECT_EQ(Inner().Cursor(), crIBeam);
    EXPECT_FALSE(Inner().HintShown());
    // Without text selection the cursor stays the default there.
    Panel->SetAllowTextSelect(false);
    Open("http://mail/long");
    GuiTest::MouseMove(Form->Handle(), ScreenPoint(WordRect("number", 5)));
    GuiTest::MouseMove(Form->Handle(), ScreenPoint(WordRect("number", 6)));
    EXPECT_EQ(Inner().Cursor(), crDefault);
}

TEST_F(PanelInput, DraggingSelectsTheTextBetweenPressAndRelease) {
    OpenLong();
    const TIpHtmlRect From = WordRect("number", 2), To = WordRect("number", 4);
    Drag(ScreenPoint(From), ScreenPoint(To));
    EXPECT_TRUE(Doc().HasSelection());
    const std::string Text = Doc().SelectionText();
    EXPECT_NE(Text.find("number 3"), std::string::npos) << Text;
    EXPECT_EQ(Text.find("number 10"), std::string::npos) << Text;
    (void)Picture("selection");
}

// An image map (ISMAP) adds the point within the picture to the link's URL.
TEST_F(PanelInput, OverAnImageMapTheHotURLCarriesThePoint) {
    Provider->Pictures["cid:map"] = SolidPicture(100, 50, qRgb(0, 0, 200));
    Provider->Add("http://mail/map",
                  "<body><a href=\"http://mail/where\"><img src=\"cid:map\" ismap></a></body>");
    Open("http://mail/map");
    const TIpHtmlRect Image = Doc().Images()[0]->Element()->WordRect;
    POINT P{Image.Left + 10, Image.Top + 20};
    ClientToScreen(Inner().Handle(), &P);
    GuiTest::MouseMove(Form->Handle(), P);
    GuiTest::Drain();
    EXPECT_EQ(Panel->HotURL(), "http://mail/where?10,20");
}

// Each link has a window that takes the keyboard focus for it, so that Tab reaches it.
TEST_F(PanelInput, TheFocusWindowOfALinkFocusesItsAnchor) {
    std::string Html = "<body><a href=first>first</a>";
    for (int I = 0; I < 120; ++I) Html += "<br>line";
    Provider->Add("http://mail/links", Html + "<br><a href=last>last</a></body>");
    Open("http://mail/links");
    const auto& Rects = Inner().FocusRects();
    ASSERT_EQ(Rects.size(), 2u);
    EXPECT_EQ(Rects[1]->Anchor(), Doc().Anchors()[1]);
    Rects[0]->SetFocus();
    GuiTest::Drain();
    EXPECT_TRUE(Doc().Anchors()[0]->Focused());
    QTest::keyClick(GuiTest::QtWindowOf(Form->Handle()), Qt::Key_Tab);
    GuiTest::Drain();
    EXPECT_FALSE(Doc().Anchors()[0]->Focused());
    EXPECT_TRUE(Doc().Anchors()[1]->Focused());
    EXPECT_GT(Inner().VScroll().Position(), 0);
    QTest::keyClick(GuiTest::QtWindowOf(Form->Handle()), Qt::Key_Tab, Qt::ShiftModifier);
    GuiTest::Drain();
    EXPECT_FALSE(Doc().Anchors()[1]->Focused());
    EXPECT_TRUE(Doc().Anchors()[0]->Focused());
    EXPECT_LE(Inner().VScroll().Position(), Doc().Anchors()[0]->DrawRects().front().Top);
}

}  // namespace
