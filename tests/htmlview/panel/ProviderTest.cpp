// Opening documents: what the panel asks of its data provider and in which order, the content
// types it shows, hands on or refuses, fragments, and the provider components' events.
#include <algorithm>

#include "tests/htmlview/panel/PanelTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using Calls = std::vector<std::string>;

const char* const kMessage =
    "<html><body><p>Hello <a href=\"http://example.org/a#top\">there</a>"
    "<img src=\"cid:logo\"></body></html>";

class PanelProvider : public TPanelFixture {};

// As the message viewer opens a mail: resolved, checked, the empty document left, the text
// fetched and parsed (its links reported), then the pictures asked for as the page is laid out.
TEST_F(PanelProvider, OpeningADocumentAsksTheProviderInOrder) {
    Provider->Add("message", kMessage);
    Provider->Pictures["cid:logo"] = SolidPicture(20, 10, qRgb(0, 128, 0));
    int Opened = 0;
    Panel->OnDocumentOpen = [&](TObject*) { ++Opened; };
    Open("message");
    ASSERT_GE(Provider->Calls.size(), 6u);
    EXPECT_EQ(Calls(Provider->Calls.begin(), Provider->Calls.begin() + 6),
              (Calls{"BuildURL |message", "CheckURL message", "Leave", "GetHtml message",
                     "Reference http://example.org/a", "GetImage cid:logo"}));
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(Panel->MasterFrame()->CurURL(), "message");
    EXPECT_TRUE(Panel->IsURLVisited("message"));
    EXPECT_TRUE(Doc().Parsed());

    // Replacing it: the check runs against the document shown, the old document is left, and
    // the new frame starts from nothing.
    const std::string Second = "http://mail/second";
    Provider->Add(Second, "<p>second");
    Provider->Calls.clear();
    Open(Second);
    EXPECT_EQ(Provider->Calls, (Calls{"BuildURL message|" + Second, "BuildURL message|" + Second,
                                      "CheckURL " + Second, "Leave", "BuildURL |" + Second,
                                      "CheckURL " + Second, "Leave", "GetHtml " + Second}));
    EXPECT_EQ(Panel->CurURL(), Second);
}

// A picture's document holds one image of it; the URL goes in quoted, with what would end the
// quotes (or the text) percent-encoded.
TEST_F(PanelProvider, AnImageTypeIsShownAsADocumentWithOneImage) {
    for (const auto& [URL, Src] : std::vector<std::pair<std::string, std::string>>{
             {"http://mail/pic.gif", "http://mail/pic.gif"},
             {"http://mail/odd name>.gif", "http://mail/odd name>.gif"},
             {"http://mail/x\"onload=y\".gif", "http://mail/x%22onload=y%22.gif"},
             {"http://mail/tab\there.gif", "http://mail/tab%09here.gif"}}) {
        Provider->Add(URL, "", "image/gif");
        Provider->Pictures[Src] = SolidPicture(30, 20, qRgb(200, 0, 0));
        Provider->Calls.clear();
        Open(URL);
        EXPECT_TRUE(Provider->CallsOf("GetHtml").empty()) << URL;
        ASSERT_EQ(Doc().Images().size(), 1u) << URL;
        EXPECT_EQ(Doc().Images()[0]->Src, Src);
        EXPECT_EQ(Provider->CallsOf("GetImage"), Calls{"GetImage " + Src});
    }
}

// Neither text nor a picture: the application hears of the type, and the document shown stays.
TEST_F(PanelProvider, AnotherContentTypeGoesToTheApplicationAndLoadsNothing) {
    Provider->Add("doc.pdf", "", "application/pdf");
    Open("doc.pdf");
    EXPECT_EQ(HotClicks, 1);
    EXPECT_EQ(Panel->HotURL(), "application/pdf");
    EXPECT_TRUE(Provider->CallsOf("GetHtml").empty());

    Provider->Add("http://mail/message", kMessage);
    Open("http://mail/message");
    TIpHtml* Shown = &Doc();
    Provider->Calls.clear();
    Provider->Add("http://mail/other.bin", "", "Application/Octet-Stream");
    Open("other.bin");
    EXPECT_EQ(HotClicks, 2);
    EXPECT_EQ(Panel->HotURL(), "application/octet-stream");
    EXPECT_EQ(&Doc(), Shown);
    EXPECT_TRUE(Provider->CallsOf("Leave").empty());
    EXPECT_EQ(Panel->CurURL(), "http://mail/message");
}

TEST_F(PanelProvider, OpeningTheSameURLAgainInAFrameDoesNothing) {
    const std::string Message = "http://mail/message";
    Provider->Add(Message, kMessage);
    Open(Message);
    TIpHtml* Shown = &Doc();
    Provider->Calls.clear();
    Panel->MasterFrame()->OpenURL(Message);
    GuiTest::Drain();
    EXPECT_EQ(Provider->Calls,
              (Calls{"BuildURL " + Message + "|" + Message, "CheckURL " + Message}));
    EXPECT_EQ(&Doc(), Shown);
}

// "#name" scrolls the document shown to the anchor; nothing is asked of the provider.
TEST_F(PanelProvider, AFragmentScrollsToItsAnchorWithoutReloading) {
    std::string Long = "<body>";
    for (int I = 0; I < 200; ++I) Long += "line " + std::to_string(I) + "<br>";
    Long += "<a name=End>the end</a></body>";
    Provider->Add("http://mail/long", Long);
    Open("http://mail/long");
    EXPECT_EQ(Inner().VScroll().Position(), 0);
    Provider->Calls.clear();
    int Opened = 0;
    Panel->OnDocumentOpen = [&](TObject*) { ++Opened; };
    Panel->OpenURL("", "#end");
    GuiTest::Drain();
    EXPECT_TRUE(Provider->Calls.empty());
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(Panel->MasterFrame()->Fragment(), "#end");
    const TIpHtmlRect Anchor = Doc().FindNamedAnchor("end")->DrawRects().front();
    const int Top = Inner().VScroll().Position();
    EXPECT_GT(Top, 0);
    EXPECT_GE(Anchor.Top, Top);
    EXPECT_LE(Anchor.Bottom, Top + Inner().ClientHeight());
    // A URL with a fragment loads and then scrolls; without one the document starts at its top.
    Open("long#End");
    EXPECT_GT(Inner().VScroll().Position(), 0);
    Open("http://mail/long");
    EXPECT_EQ(Inner().VScroll().Position(), 0);
}

TEST_F(PanelProvider, WithoutAProviderOrADocumentOpeningRaises) {
    EXPECT_EQ(ErrorOf<EIpHtmlException>([&] { Panel->OpenURL("", "nowhere"); }),
              "Resource unavailable:nowhere");
    Panel->SetDataProvider(nullptr);
    EXPECT_EQ(ErrorOf<EIpHtmlException>([&] { Panel->OpenDocument("message"); }),
              "No data provider assigned");
}

TEST_F(PanelProvider, AProviderThatGoesIsForgotten) {
    auto* Other = new TIpHtmlDataProvider(nullptr);
    Panel->SetDataProvider(Other);
    EXPECT_EQ(Panel->DataProvider(), Other);
    Other->Free();
    EXPECT_EQ(Panel->DataProvider(), nullptr);
}

// A link click asks the provider first; what it cannot handle goes to the application.
TEST_F(PanelProvider, ALinkClickAsksCanHandleBeforeAnythingElse) {
    Provider->Add("http://mail/message", "<body><a href=second>second</a></body>");
    Provider->Add("http://mail/second", "<body>second page</body>");
    Open("http://mail/message");
    const POINT Link = ScreenPoint(Doc().Anchors()[0]->DrawRects().front());
    Provider->Calls.clear();
    GuiTest::MouseMove(Form->Handle(), Link);
    GuiTest::MouseClick(Form->Handle(), Link);
    GuiTest::Drain();
    EXPECT_EQ(Provider->Calls, Calls{"CanHandle second"});
    EXPECT_EQ(HotClicks, 1);
    EXPECT_EQ(Panel->HotURL(), "second");

    Provider->Handles = true;
    Provider->Calls.clear();
    GuiTest::MouseMove(Form->Handle(), Link);
    GuiTest::MouseClick(Form->Handle(), Link);
    GuiTest::Drain();
    ASSERT_FALSE(Provider->Calls.empty());
    EXPECT_EQ(Provider->Calls.front(), "CanHandle second");
    EXPECT_EQ(Panel->CurURL(), "http://mail/second");
    EXPECT_EQ(HotClicks, 1);
}

// --- the provider components ---

TEST(HtmlDataProvider, CanHandleLooksTheSchemeUpInHandledProtocols) {
    const struct {
        std::vector<std::string> Protocols;
        std::string URL;
        bool Expected;
    } Cases[] = {
        {{"HTTP", "FILE"}, "http://example.org/", true},
        {{"http"}, "HTTP://example.org/", true},
        {{"FILE"}, "http://example.org/", false},
        // Without a scheme: the second entry when there are two or more, else "HTTP".
        {{"HTTP"}, "page.htm", true},
        {{"FILE", "MAILTO"}, "page.htm", true},
        {{"HTTP", "FILE"}, "page.htm", true},
        {{"FILE"}, "page.htm", false},
        {{"nothing"}, "http://example.org/", false},
        {{"nothing"}, "page.htm", false},
        {{}, "http://example.org/", false},
    };
    for (const auto& Case : Cases) {
        TIpHtmlDataProvider Provider(nullptr);
        for (const std::string& Name : Case.Protocols) Provider.HandledProtocols()->Add(Name);
        EXPECT_EQ(Provider.CanHandle(Case.URL), Case.Expected) << Case.URL;
    }
    TIpHtmlDataProvider Provider(nullptr);
    Provider.OnCanHandle = [](TObject*, const std::string& URL) { return URL == "yes"; };
    EXPECT_TRUE(Provider.CanHandle("yes"));
    EXPECT_FALSE(Provider.CanHandle("http://example.org/"));
}

// Each operation calls its event, and without one gives nothing.
TEST(HtmlDataProvider, OperationsCallTheirEventsOrGiveNothing) {
    TIpHtmlDataProvider Provider(nullptr);
    std::string Type;
    EXPECT_FALSE(Provider.DoCheckURL("x", Type));
    EXPECT_EQ(Provider.DoGetHtmlStream("x", nullptr), nullptr);
    TIpHtmlPictureRef Picture;
    Provider.DoGetImage(nullptr, "x", Picture);
    EXPECT_EQ(Picture, nullptr);
    EXPECT_EQ(Provider.DoBuildURL("http://h/dir/page.htm", "other.htm"), "http://h/dir/other.htm");

    std::vector<std::string> Seen;
    Provider.OnCheckURL = [&](TObject* Sender, const std::string& URL, bool& Available,
                              std::string& ContentType) {
        EXPECT_EQ(Sender, &Provider);
        Seen.push_back("check " + URL);
        Available = true;
        ContentType = "text/html";
    };
    Provider.OnGetHtml = [&](TObject*, const std::string& URL, TIpFormDataEntity* Data,
                             std::unique_ptr<TStream>& Stream) {
        Seen.push_back("html " + URL + (Data ? " +data" : ""));
        Stream = std::make_unique<TStringStream>("<p>x");
    };
    Provider.OnLeave = [&](TIpHtml* Html) { Seen.push_back(Html ? "leave" : "leave none"); };
    Provider.OnReportReference = [&](TObject*, const std::string& URL) {
        Seen.push_back("reference " + URL);
    };
    Provider.OnGetImage = [&](TIpHtmlNode*, const std::string& URL, TIpHtmlPictureRef& P) {
        Seen.push_back("image " + URL);
        P = SolidPicture(1, 1, 0);
    };
    EXPECT_TRUE(Provider.DoCheckURL("a", Type));
    EXPECT_EQ(Type, "text/html");
    TIpFormDataEntity Data;
    EXPECT_NE(Provider.DoGetHtmlStream("b", &Data), nullptr);
    TIpHtml Html;
    Provider.DoLeave(&Html);
    Provider.DoReportReference("c");
    Provider.DoGetImage(nullptr, "d", Picture);
    EXPECT_NE(Picture, nullptr);
    EXPECT_EQ(Seen, (std::vector<std::string>{"check a", "html b +data", "leave", "reference c",
                                              "image d"}));
}

}  // namespace
