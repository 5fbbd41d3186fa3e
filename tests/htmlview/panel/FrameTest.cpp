// Frames: frame sets split the panel, named frames take targeted loads, inline frames show a
// document of their own; frames that name a frame they lie in, or lie too deep, open nothing;
// a delayed load whose frame went loads nothing.
#include "htmlview/panel/Limits.h"
#include "platform/widgets/ExtCtrls.h"
#include "tests/htmlview/panel/PanelTestSupport.h"

namespace {

class PanelFrames : public TPanelFixture {};

TEST_F(PanelFrames, AFrameSetSplitsThePanelAmongItsFrames) {
    Provider->Add("http://mail/frames",
                  "<frameset cols=\"30%,*\"><frame name=Nav src=nav.htm marginwidth=3>"
                  "<frame name=main src=main.htm scrolling=no frameborder=2></frameset>");
    Provider->Add("nav.htm", "<a href=main.htm target=main>main</a>");
    Provider->Add("main.htm", "<p>main");
    Provider->Add("http://mail/other.htm", "<p>other");
    Open("http://mail/frames");
    TIpHtmlFrame& Master = *Panel->MasterFrame();
    ASSERT_EQ(Master.FrameCount(), 2);
    EXPECT_EQ(Master.HyperPanel(), nullptr);
    ASSERT_NE(Master.FrameSetPanel(), nullptr);
    TIpHtmlFrame& Nav = *Master.Frames(0);
    TIpHtmlFrame& Main = *Master.Frames(1);
    EXPECT_EQ(Nav.Name(), "Nav");
    EXPECT_EQ(Nav.CurURL(), "nav.htm");
    EXPECT_EQ(Main.CurURL(), "main.htm");
    EXPECT_EQ(Nav.Html().MarginWidth, 3);
    ASSERT_NE(Main.HyperPanel(), nullptr);
    EXPECT_TRUE(Main.HyperPanel()->NoScrollBars());
    // The columns share the client width: 30% and the rest.
    const int Width = Master.FrameSetPanel()->ClientWidth();
    EXPECT_EQ(Nav.HyperPanel()->Parent()->Width(), (Width * 30 + 50) / 100);
    EXPECT_EQ(Main.HyperPanel()->Parent()->Left(), Nav.HyperPanel()->Parent()->Width());

    // A load into a named frame (names without regard to case) leaves the others as they are.
    Panel->OpenURL("MAIN", "other.htm");
    GuiTest::Drain();
    EXPECT_EQ(Panel->FindFrame("main")->CurURL(), "http://mail/other.htm");
    EXPECT_EQ(Panel->FindFrame("nav")->CurURL(), "nav.htm");
    EXPECT_EQ(Panel->History(), (std::vector<std::pair<std::string, std::string>>{
                                    {"main.htm", "main"}, {"http://mail/frames", ""}}));
    // Opening what a frame shows again changes nothing.
    Provider->Calls.clear();
    Panel->OpenURL("main", "other.htm");
    GuiTest::Drain();
    EXPECT_TRUE(Provider->CallsOf("GetHtml").empty());
}

// A frame set inside another takes its place there, before or after the other's frames, and
// splits that place among its own frames.
TEST_F(PanelFrames, AFrameSetInsideAnotherSplitsItsPlace) {
    Provider->Add("http://mail/after",
                  "<frameset rows=\"40,*\"><frame name=top src=top.htm>"
                  "<frameset cols=\"25%,*\"><frame name=nav src=nav.htm>"
                  "<frame name=main src=main.htm></frameset></frameset>");
    Provider->Add("http://mail/first",
                  "<frameset cols=\"50%,*\"><frameset rows=\"*,*\"><frame src=nav.htm>"
                  "<frame src=main.htm></frameset><frame src=top.htm></frameset>");
    for (const char* Page : {"top.htm", "nav.htm", "main.htm"}) Provider->Add(Page, "<p>x");
    const auto Cell = [](TIpHtmlFrame& Frame) {
        TWinControl* Panel = Frame.HyperPanel()->Parent();
        TWinControl* Set = Panel->Parent();
        return std::vector<int>{Set->Left() + Panel->Left(), Set->Top() + Panel->Top(),
                                Panel->Width(), Panel->Height()};
    };
    Open("http://mail/after");
    TIpHtmlFrame& Master = *Panel->MasterFrame();
    ASSERT_EQ(Master.FrameCount(), 3);
    const int W = Master.FrameSetPanel()->ClientWidth(), H = Master.FrameSetPanel()->ClientHeight();
    EXPECT_EQ(Panel->FindFrame("top")->CurURL(), "top.htm");
    EXPECT_EQ(Panel->FindFrame("nav")->CurURL(), "nav.htm");
    EXPECT_EQ(Panel->FindFrame("main")->CurURL(), "main.htm");
    EXPECT_EQ(Cell(*Panel->FindFrame("top")), (std::vector<int>{0, 0, W, 40}));
    EXPECT_EQ(Cell(*Panel->FindFrame("nav")), (std::vector<int>{0, 40, (W + 2) / 4, H - 40}));
    EXPECT_EQ(Cell(*Panel->FindFrame("main")),
              (std::vector<int>{(W + 2) / 4, 40, W - (W + 2) / 4, H - 40}));

    Open("http://mail/first");
    TIpHtmlFrame& Other = *Panel->MasterFrame();
    ASSERT_EQ(Other.FrameCount(), 3);
    EXPECT_EQ(Other.Frames(0)->CurURL(), "nav.htm");
    EXPECT_EQ(Other.Frames(1)->CurURL(), "main.htm");
    EXPECT_EQ(Other.Frames(2)->CurURL(), "top.htm");
    EXPECT_EQ(Cell(*Other.Frames(2))[0], (W + 1) / 2);
    EXPECT_EQ(Cell(*Other.Frames(1))[1], H / 2);
}

// A mail whose frames name the mail itself (a provider that answers every URL with it) would
// open frames without end.
TEST_F(PanelFrames, AFrameNeverOpensTheURLOfAFrameItLiesIn) {
    Provider->Add("self", "<frameset rows=\"*,*\"><frame src=self><frame src=SELF></frameset>");
    Open("self");
    EXPECT_EQ(Provider->CallsOf("GetHtml"), std::vector<std::string>{"GetHtml self"});
    TIpHtmlFrame& Master = *Panel->MasterFrame();
    ASSERT_EQ(Master.FrameCount(), 2);
    EXPECT_EQ(Master.Frames(0)->CurURL(), "");
    EXPECT_EQ(Master.Frames(1)->CurURL(), "");

    // Inline frames, and frames that name each other.
    const std::string A = "http://mail/a", B = "http://mail/b", C = "http://mail/c";
    Provider->Add(A, "<body>a<iframe src=" + B + "></iframe></body>");
    Provider->Add(B, "<body>b<iframe src=" + A + "></iframe><iframe src=" + C + "></iframe>");
    Provider->Add(C, "<body>c<iframe src=" + B + "></iframe></body>");
    Provider->Calls.clear();
    Open(A);
    EXPECT_EQ(Provider->CallsOf("GetHtml"),
              (std::vector<std::string>{"GetHtml " + A, "GetHtml " + B, "GetHtml " + C}));
}

TEST_F(PanelFrames, FramesGoNoDeeperThanTheLimit) {
    for (int I = 0; I < 20; ++I)
        Provider->Add("d" + std::to_string(I), "<body>" + std::to_string(I) + "<iframe src=d" +
                                                   std::to_string(I + 1) +
                                                   " width=300 height=200></iframe></body>");
    Open("d0");
    EXPECT_EQ(Provider->CallsOf("GetHtml").size(), size_t(HtmlPanelLimits::kMaxFrameDepth) + 1);
    // The inline frame of the first document shows its own document in its panel.
    auto* Iframe = dynamic_cast<TIpHtmlNodeIFRAME*>(Doc().Controls()[0]);
    ASSERT_NE(Iframe, nullptr);
    ASSERT_TRUE(Iframe->Frame);
    EXPECT_EQ(Iframe->Frame->CurURL(), "d1");
    ASSERT_NE(Iframe->Control(), nullptr);
    EXPECT_EQ(Iframe->Control()->Width(), 300);
    EXPECT_TRUE(Iframe->Control()->Visible());
}

TEST_F(PanelFrames, APanelShowsNoMoreFramesThanTheLimit) {
    std::string Set = "<frameset cols=\"";
    for (int I = 0; I < 300; ++I) Set += I ? ",*" : "*";
    Set += "\">";
    for (int I = 0; I < 300; ++I) Set += "<frame src=f" + std::to_string(I) + ">";
    Provider->Add("wide", Set + "</frameset>");
    for (int I = 0; I < 300; ++I) Provider->Add("f" + std::to_string(I), "<p>x");
    Open("wide");
    EXPECT_LE(size_t(Panel->MasterFrame()->FrameCount()), HtmlPanelLimits::kMaxChildFrames);
    EXPECT_LE(Provider->CallsOf("GetHtml").size(), HtmlPanelLimits::kMaxFrames);
}

// A form submitted just before its frame is replaced: the load it asked for finds the frame gone.
TEST_F(PanelFrames, ADelayedLoadForAFrameThatWentLoadsNothing) {
    Provider->Add("http://mail/form", "<form action=search><input name=q value=x></form>");
    Provider->Add("http://mail/search?q=x", "<p>found");
    Provider->Add("http://mail/other", "<p>other");
    Open("http://mail/form");
    dynamic_cast<TIpHtmlNodeINPUT*>(Doc().Controls()[0])->SubmitForm();
    Panel->OpenURL("", "other");
    GuiTest::Drain();
    EXPECT_TRUE(Provider->CallsOf("GetHtml http://mail/search?q=x").empty());
    EXPECT_EQ(Panel->CurURL(), "http://mail/other");

    // Left alone, the same submission loads.
    Open("http://mail/form");
    dynamic_cast<TIpHtmlNodeINPUT*>(Doc().Controls()[0])->SubmitForm();
    GuiTest::Drain();
    EXPECT_EQ(Provider->CallsOf("GetHtml http://mail/search?q=x").size(), 1u);
    EXPECT_EQ(Panel->MasterFrame()->CurURL(), "http://mail/search?q=x");
}

}  // namespace
