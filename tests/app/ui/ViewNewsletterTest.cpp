// A newsletter in the message viewer: every picture read (PNG, JPEG, a still and an animated
// GIF), each image map on its own picture, two radio questions answered each on its own, and a
// picture of the window with all of it.
#include <QImage>
#include <set>

#include "app/ui/ViewMessageFrm.h"
#include "htmlview/anim/IpGifImage.h"
#include "htmlview/panel/IpHtmlFrame.h"
#include "platform/widgets/Buttons.h"
#include "tests/app/ui/NewsletterMail.h"
#include "tests/app/ui/UiFixture.h"
#include "tests/htmlview/anim/FakeAnimationClock.h"
#include "tests/support/PictureChecks.h"

namespace {

class ViewNewsletter : public UiTest {
  protected:
    TIpHtml& Open() {
        const std::string File = ProgramDir() + "news.msg";
        WriteFile(File, Newsletter::Mail());
        Viewer = ShowMessageViewer(File, nullptr);
        // Room for the page's 640 pixels and its first articles (the window's own layout
        // leaves the page 600 x 274 pixels).
        Viewer->SetBounds(0, 0, 980, 960);
        TPageControl* Pages = Viewer->PageControl;
        Pages->SetBounds(Pages->Left(), Pages->Top(), 940, 700);
        for (int I = 0; I < Viewer->ControlCount(); ++I)
            if (auto* Button = dynamic_cast<TButton*>(Viewer->Controls(I)))
                Button->SetBounds(940 - Button->Width(), Pages->Top() + 708, Button->Width(),
                                  Button->Height());
        GuiTest::Drain();
        return Viewer->IpHtmlPanel->MasterFrame()->Html();
    }
    // The input named Name with Value.
    static TIpHtmlNodeINPUT* Input(TIpHtml& Doc, const std::string& Name,
                                   const std::string& Value) {
        for (TIpHtmlNode* Node : Doc.Controls())
            if (auto* In = dynamic_cast<TIpHtmlNodeINPUT*>(Node);
                In && In->Name == Name && In->Value == Value)
                return In;
        ADD_FAILURE() << "no input " << Name << "=" << Value;
        return nullptr;
    }
    static bool Checked(TIpHtmlNodeINPUT* In) {
        return In && dynamic_cast<TRadioButton&>(*In->Control()).Checked();
    }

    TFakeClockScope Clocks;
    TFormViewMessage* Viewer = nullptr;
};

TEST_F(ViewNewsletter, EveryPictureIsReadAndTheGifsAnimate) {
    TIpHtml& Doc = Open();
    ASSERT_EQ(Doc.Images().size(), 47u);  // logo, banner, bar, 40 articles, 4 products
    for (TIpHtmlNodeIMG* Image : Doc.Images()) {
        ASSERT_NE(Image->Picture(), nullptr) << Image->Src;
        EXPECT_NE(Image->Picture(), Doc.DefaultPicture()) << Image->Src;
    }
    // Every second article shows the animation, all of them one picture decoded once (the logo
    // is a GIF of one frame); it animates, the window showing some of them.
    std::multiset<TPicture*> Animations;
    for (TIpHtmlNodeIMG* Image : Doc.AnimatedImages())
        if (dynamic_cast<TIpGifImage&>(*Image->Picture()->Graphic()).FrameCount() > 1)
            Animations.insert(Image->Picture().get());
    ASSERT_EQ(Animations.size(), 20u);
    EXPECT_EQ(Animations.count(*Animations.begin()), 20u);
    auto& Gif = dynamic_cast<TIpGifImage&>(*(*Animations.begin())->Graphic());
    ASSERT_TRUE(Gif.Animate());
    TFakeClockScope::Of(Gif).Advance(300);
    EXPECT_EQ(Gif.CurrentFrameIndex(), 1);
    Picture(Viewer, "viewer-newsletter");
    const QImage Shot(QString::fromStdString(std::string(KESTRO_BINARY_DIR) +
                                             "/pictures/app/viewer-newsletter.png"));
    ASSERT_FALSE(Shot.isNull());
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, Newsletter::kBannerSky, 24));  // JPEG
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, Newsletter::kBarGreen, 0));    // PNG
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, Newsletter::kArticleOrange, 0));
    for (QRgb Colour : Newsletter::kGifColours)  // the logo, and the animation's second frame
        EXPECT_TRUE(GuiTest::HasColorNear(Shot, Colour, 0)) << std::hex << Colour;
}

TEST_F(ViewNewsletter, EachMapIsOnItsOwnPictureAndEachQuestionAnsweredOnItsOwn) {
    TIpHtml& Doc = Open();
    const auto HotAt = [&](const std::string& Map, int X, int Y) -> std::string {
        for (TIpHtmlNodeIMG* Image : Doc.Images())
            if (Image->UseMap == Map) {
                const TIpHtmlRect& At = Image->Element()->WordRect;
                Doc.TrackMouse({At.Left + X, At.Top + Y});
                auto* Area = dynamic_cast<TIpHtmlNodeAREA*>(Doc.HotNode());
                return Area ? Area->HRef + " " + Area->HintText() : "";
            }
        return "no picture";
    };
    EXPECT_EQ(HotAt("#banner", 10, 10), "http://news.example.org/links Links");
    EXPECT_EQ(HotAt("#banner", 450, 60), "http://news.example.org/kreis Kreis");
    EXPECT_EQ(HotAt("#bar", 10, 10), "http://news.example.org/start Start");
    EXPECT_EQ(HotAt("#bar", 250, 10), "http://news.example.org/termine Termine");

    TIpHtmlNodeINPUT* Monday = Input(Doc, "tag", "mo");
    TIpHtmlNodeINPUT* Text = Input(Doc, "fmt", "text");
    ASSERT_TRUE(Monday && Text);
    dynamic_cast<TRadioButton&>(*Monday->Control()).SetChecked(true);
    dynamic_cast<TRadioButton&>(*Text->Control()).SetChecked(true);
    EXPECT_TRUE(Checked(Monday));
    EXPECT_TRUE(Checked(Text));
    EXPECT_FALSE(Checked(Input(Doc, "tag", "di")));
    EXPECT_FALSE(Checked(Input(Doc, "fmt", "html")));
}

}  // namespace
