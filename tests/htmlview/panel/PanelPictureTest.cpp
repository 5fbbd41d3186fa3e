// The panel on the offscreen platform as the message viewer fills it: a plain-text mail (each
// line followed by a break, as the viewer wraps it) and an HTML mail with a JPEG and a PNG that
// the picture registry reads by their extensions. Each leaves a picture in the build tree,
// pictures/htmlview/*.png, for a person to look at.
#include <unistd.h>
#include <QBuffer>
#include <QImageWriter>

#include <cstdio>

#include "htmlview/anim/IpAnim.h"
#include "htmlview/anim/IpGifImage.h"
#include "htmlview/png/IpPNGImg.h"
#include "tests/htmlview/anim/FakeAnimationClock.h"
#include "tests/htmlview/panel/PanelTestSupport.h"
#include "tests/platform/gdi/GifTestEncoder.h"
#include "tests/support/PictureChecks.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kSuite = KESTRO_SOURCE_DIR "/tests/htmlview/png/pngsuite/";

// A photo's stand-in: a sky over a meadow with a sun.
QImage Landscape(int W, int H) {
    QImage Image(W, H, QImage::Format_RGB32);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            QRgb C = Y < H * 2 / 3 ? qRgb(90 + Y, 150 + Y / 2, 235) : qRgb(60, 160 - Y / 4, 50);
            const int DX = X - W * 3 / 4, DY = Y - H / 4;
            if (DX * DX + DY * DY < 144) C = qRgb(250, 220, 40);
            Image.setPixel(X, Y, C);
        }
    return Image;
}

// Pictures as a provider reads them from files: by their extension, through the registry.
TIpHtmlPictureRef PictureFile(const std::string& Path) {
    auto Picture = std::make_shared<TPicture>();
    Picture->LoadFromFile(Path);
    return Picture;
}

class PanelPictures : public TPanelFixture {};

// The viewer's document of a plain-text body: the lines as they are, each ended by a break.
TEST_F(PanelPictures, APlainTextMail) {
    const char* const Lines[] = {
        "Hallo Petra,",
        "",
        "anbei die Zusammenfassung vom Treffen am Dienstag. Wir haben uns darauf geeinigt, dass "
        "die neue Version des Pointprogramms erst nach dem Test mit allen Boxen ausgeliefert "
        "wird, also fr\xFChestens Ende des Monats.",
        "",
        "> Kannst du mir sagen, ob ZCONNECT und RFC/UUCP beide getestet werden?",
        "> Und was ist mit den Netcalls \xFC"
        "ber ISDN?",
        "",
        "Beide Netztypen werden getestet; ISDN macht Klaus.",
        "",
        "Gru\xDF, Thomas",
        "-- ",
        "Thomas Beispiel * Point von Box Mitte * http://example.org/",
    };
    std::string Html = "<HTML>\r\n<BODY>\r\n";
    for (const char* Line : Lines) Html += std::string(Line) + "<BR>\r\n";
    Provider->Add("message", Html + "</BODY>\r\n</HTML>\r\n");
    Panel->SetFixedTypeface("Courier New");
    Panel->OpenDocument("message");
    const QImage Shot = Picture("plain-text-mail");
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(0, 0, 0), 40));
    EXPECT_EQ(Doc().Title(), "");
    Doc().SelectAll();
    EXPECT_NE(Doc().SelectionText().find("Gru\xDF, Thomas"), std::string::npos);
}

TEST_F(PanelPictures, AnHtmlMailWithAJpegAndAPng) {
    const std::string Photo = testing::TempDir() + "photo-" + std::to_string(getpid()) + ".JPG";
    QImageWriter(QString::fromStdString(Photo), "jpg").write(Landscape(160, 100));
    Provider->Pictures["cid:photo"] = PictureFile(Photo);
    Provider->Pictures["cid:chart"] = PictureFile(kSuite + "basn2c08.png");
    ASSERT_EQ(Provider->Pictures["cid:photo"]->Graphic()->ClassName(), "TJPEGImage");
    ASSERT_EQ(Provider->Pictures["cid:chart"]->Graphic()->ClassName(), "TIpPNGImage");
    Provider->Add("message",
                  "<html><head><title>Rundbrief</title></head><body bgcolor=#FFFFF0>"
                  "<h2>Kestro-Rundbrief</h2>"
                  "<p>Liebe <b>Petra</b>, hier die Bilder vom <i>Point-Treffen</i> und die "
                  "Statistik der Netcalls. Mehr auf <a href=\"http://example.org/\">unserer "
                  "Seite</a>.</p>"
                  "<table border=1 cellpadding=4><tr><td><img src=\"cid:photo\" alt=Foto>"
                  "<td><img src=\"cid:chart\" border=2 hspace=6><td valign=top>"
                  "<ul><li>Foto (JPEG)<li>Statistik (PNG)<li>Fehlt: <img src=\"cid:gone\">"
                  "</ul></table>"
                  "<form action=abo><p>Adresse: <input name=mail value=\"petra@example.org\"> "
                  "<input type=submit value=Abonnieren></form>"
                  "<hr><pre>-- \nThomas</pre></body></html>");
    Open("message");
    const QImage Shot = Picture("html-mail-with-pictures");
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(250, 220, 40), 30));  // the JPEG's sun
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(60, 150, 50), 30));   // its meadow
    EXPECT_EQ(Doc().Title(), "Rundbrief");
    ASSERT_EQ(Doc().Images().size(), 3u);
    EXPECT_EQ(Doc().Images()[0]->Picture(), Provider->Pictures["cid:photo"]);
    EXPECT_EQ(Doc().Images()[2]->Picture(), Doc().DefaultPicture());
    EXPECT_EQ(Doc().DefaultPicture()->Width(), 16);
    std::remove(Photo.c_str());
}

// Size attributes far beyond a picture's pixels stretch it over the page; painting costs what
// shows of it, and the text after it is laid out past its bottom.
TEST_F(PanelPictures, APictureStretchedToMillionsOfPixelsPaintsWhatShows) {
    const std::string Dot = testing::TempDir() + "dot-" + std::to_string(getpid()) + ".png";
    QImage Pixels(2, 2, QImage::Format_RGB32);
    Pixels.fill(qRgb(200, 30, 160));
    ASSERT_TRUE(QImageWriter(QString::fromStdString(Dot), "png").write(Pixels));
    Provider->Pictures["cid:dot"] = PictureFile(Dot);
    Provider->Add("message",
                  "<html><body><p>Oben<p><img src=\"cid:dot\" width=1000000 height=1000000>"
                  "<p>Unten</body></html>");
    Open("message");
    const QImage Shot = Picture("picture-stretched-far");
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(200, 30, 160), 10));
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(0, 0, 0), 60));  // "Oben" above it
    EXPECT_GT(WordRect("Unten").Top, 100000);
    std::remove(Dot.c_str());
}

// An animated picture repaints as its frames change: its image area is painted again with the
// next frame.
TEST_F(PanelPictures, AnAnimatedPictureShowsItsFramesInTurn) {
    TFakeClockScope Clocks;
    class TTwoColours : public TIpAnimatedGraphic {
      public:
        TTwoColours() {
            SetWidth(40);
            SetHeight(30);
            for (QRgb Color : {qRgb(255, 0, 0), qRgb(0, 0, 255)}) {
                auto Frame = std::make_shared<TIpAnimationFrame>();
                QImage Image(40, 30, QImage::Format_RGB32);
                Image.fill(Color);
                Frame->Bitmap().SetImage(Image);
                Frame->Delay = 20;
                Frames().Add(Frame);
            }
            SetFrameCount(2);
            ShowFrame(0);
        }
    } Source;
    auto Animated = std::make_shared<TPicture>();
    Animated->SetGraphic(&Source);
    Provider->Pictures["cid:anim"] = Animated;
    Provider->Add("message", "<body><img src=\"cid:anim\"></body>");
    Open("message");
    auto& Shown = dynamic_cast<TIpAnimatedGraphic&>(*Animated->Graphic());
    ASSERT_EQ(Doc().AnimatedImages().size(), 1u);
    EXPECT_TRUE(Shown.Animate());
    EXPECT_TRUE(GuiTest::HasColorNear(Picture("animation-frame-0"), qRgb(255, 0, 0), 0));
    TFakeClockScope::Of(Shown).Advance(100);
    const QImage Next = Picture("animation-frame-1");
    EXPECT_TRUE(GuiTest::HasColorNear(Next, qRgb(0, 0, 255), 0));
    EXPECT_FALSE(GuiTest::HasColorNear(Next, qRgb(255, 0, 0), 0));
    // The picture outlives the document that showed it: its frames no longer reach that.
    Provider->Pictures.clear();
    Provider->Add("http://mail/other", "<p>other");
    Open("http://mail/other");
    TFakeClockScope::Of(Shown).Advance(200);
    EXPECT_EQ(Shown.CurrentFrameIndex(), 0);
}

// A GIF animates in the panel; with the page selected its frames show inverted like the rest
// of the selection, each new frame too (frames are drawn before the selection is inverted).
TEST_F(PanelPictures, AnAnimatedGifShowsItsFramesInvertedWhenSelected) {
    TFakeClockScope Clocks;
    GifTest::TFrame Red = GifTest::Solid(0, 0, 40, 30, 0), Blue = GifTest::Solid(0, 0, 40, 30, 2);
    Red.Delay = Blue.Delay = 20;
    const std::vector<uint8_t> Bytes = GifTest::Encode(40, 30, {Red, Blue});
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.SetPosition(0);
    TIpGifImage Gif;
    Gif.LoadFromStream(Stream);
    auto Animated = std::make_shared<TPicture>();
    Animated->SetGraphic(&Gif);
    Provider->Pictures["cid:anim"] = Animated;
    Provider->Add("message", "<body><img src=\"cid:anim\"></body>");
    Open("message");
    auto& Shown = dynamic_cast<TIpGifImage&>(*Animated->Graphic());
    EXPECT_TRUE(Shown.Animate());
    EXPECT_TRUE(GuiTest::HasColorNear(Picture("gif-frame-0"), qRgb(255, 0, 0), 0));
    Doc().SelectAll();
    const QImage Selected = Picture("gif-frame-0-selected");
    EXPECT_TRUE(GuiTest::HasColorNear(Selected, qRgb(0, 255, 255), 0));
    EXPECT_FALSE(GuiTest::HasColorNear(Selected, qRgb(255, 0, 0), 0));
    TFakeClockScope::Of(Shown).Advance(200);
    const QImage Next = Picture("gif-frame-1-selected");
    EXPECT_TRUE(GuiTest::HasColorNear(Next, qRgb(255, 255, 0), 0));
    EXPECT_FALSE(GuiTest::HasColorNear(Next, qRgb(0, 0, 255), 0));
}

// A step of a large animation whose frames are small has the part of the page its frame lands
// on painted again, where the picture is stretched: not the whole picture.
TEST_F(PanelPictures, AnAnimationRepaintsThePartItsFrameChanged) {
    TFakeClockScope Clocks;
    GifTest::TFrame Red = GifTest::Solid(0, 0, 200, 100, 0),
                    Blue = GifTest::Solid(50, 20, 10, 5, 2);
    Red.Delay = Blue.Delay = 20;
    const std::vector<uint8_t> Bytes = GifTest::Encode(200, 100, {Red, Blue});
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.SetPosition(0);
    auto Gif = std::make_unique<TIpGifImage>();
    Gif->LoadFromStream(Stream);
    auto Animated = std::make_shared<TPicture>();
    Animated->TakeGraphic(std::move(Gif));
    Provider->Pictures["cid:anim"] = Animated;
    Provider->Add("message",
                  "<body><img src=\"cid:anim\" width=400 height=200 border=2 "
                  "hspace=3 vspace=4></body>");
    Open("message");
    auto& Shown = dynamic_cast<TIpGifImage&>(*Animated->Graphic());
    ASSERT_TRUE(Shown.Animate());
    std::vector<TIpHtmlRect> Repainted;
    const auto Panel = Doc().OnInvalidateRect;
    Doc().OnInvalidateRect = [&](const TIpHtmlRect& R) {
        Repainted.push_back(R);
        Panel(R);
    };
    TFakeClockScope::Of(Shown).Advance(200);
    ASSERT_EQ(Shown.CurrentFrameIndex(), 1);
    // Where the picture was drawn (inside border and spacing), twice the GIF's size: the frame
    // of 10 x 5 at (50, 20) lands on 20 x 10 at (100, 40).
    const TIpHtmlRect Box = Doc().Images().front()->PictureRect();
    EXPECT_EQ(Box.Right - Box.Left, 400);
    const std::vector<TIpHtmlRect> Expected = {
        {Box.Left + 100, Box.Top + 40, Box.Left + 120, Box.Top + 50}};
    EXPECT_EQ(Repainted, Expected);
    const QImage Next = Picture("animation-part");
    EXPECT_TRUE(GuiTest::HasColorNear(Next, qRgb(0, 0, 255), 0));
    EXPECT_TRUE(GuiTest::HasColorNear(Next, qRgb(255, 0, 0), 0));
}

// A transparent GIF stretched as a spacer shows the page's colour, not a box of its own.
TEST_F(PanelPictures, ATransparentGifShowsThePageThrough) {
    GifTest::TFrame Dot = GifTest::Solid(0, 0, 1, 1, 3);
    Dot.Transparent = 3;
    const std::vector<uint8_t> Bytes = GifTest::Encode(1, 1, {Dot});
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.SetPosition(0);
    TIpGifImage Gif;
    Gif.LoadFromStream(Stream);
    auto Spacer = std::make_shared<TPicture>();
    Spacer->SetGraphic(&Gif);
    Provider->Pictures["cid:spacer"] = Spacer;
    Provider->Add("message",
                  "<body bgcolor=#2040c0><img src=\"cid:spacer\" width=200 height=40></body>");
    Open("message");
    const QImage Shot = Picture("gif-spacer");
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(0x20, 0x40, 0xC0), 0));
    EXPECT_FALSE(GuiTest::HasColorNear(Shot, qRgb(255, 255, 255), 0));
}

}  // namespace
