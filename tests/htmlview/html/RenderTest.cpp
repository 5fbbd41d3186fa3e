// Sample mails laid out and painted on the platform's canvas (a window surface's device context)
// on Qt's offscreen platform. Each leaves a picture in the build tree, pictures/html/*.png, for
// a person to look at; the checks here only catch what must hold whatever the fonts.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <memory>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlPlatformCanvas.h"
#include "htmlview/png/IpPNGImg.h"
#include "platform/classes/Classes.h"
#include "platform/gdi/Gdi.h"

namespace {

const std::string kSuite = KESTRO_SOURCE_DIR "/tests/htmlview/png/pngsuite/";

// A picture of a horizontal gradient with a frame, as a banner or a photo would stand in.
TIpHtmlPictureRef Gradient(int W, int H, QRgb From, QRgb To) {
    QImage Image(W, H, QImage::Format_RGB32);
    for (int X = 0; X < W; ++X) {
        const auto Mix = [&](int Shift) {
            const int A = (From >> Shift) & 0xFF, B = (To >> Shift) & 0xFF;
            return A + (B - A) * X / std::max(W - 1, 1);
        };
        for (int Y = 0; Y < H; ++Y) Image.setPixel(X, Y, qRgb(Mix(16), Mix(8), Mix(0)));
    }
    TBitmap Bitmap;
    Bitmap.SetImage(Image);
    auto Picture = std::make_shared<TPicture>();
    Picture->SetGraphic(&Bitmap);
    return Picture;
}

TIpHtmlPictureRef PngFile(const std::string& Name) {
    TIpPNGImage Png;
    Png.SetShowWarnings(false);
    Png.LoadFromFile(kSuite + Name);
    auto Picture = std::make_shared<TPicture>();
    Picture->SetGraphic(&Png);
    return Picture;
}

// Lays Html out Width pixels wide and paints the whole page; the picture of the page.
QImage Render(const std::string& Html, int32_t Width, const std::string& Name) {
    TIpHtml Doc;
    Doc.OnGetImage = [](TIpHtmlNode*, const std::string& URL, TIpHtmlPictureRef& Picture) {
        if (URL == "cid:banner") Picture = Gradient(600, 80, qRgb(0, 51, 102), qRgb(90, 160, 220));
        if (URL == "cid:photo") Picture = PngFile("basn2c08.png");
        if (URL == "cid:logo") Picture = PngFile("basn3p08.png");
        if (URL == "cid:spacer") Picture = Gradient(1, 1, qRgb(255, 255, 255), 0);
    };
    TStringStream Source(Html);
    Doc.Parse(Source);
    auto Surface = std::make_shared<TSurface>();
    // Wider than asked: a page is never narrower than its widest word.
    Surface->Image = QImage(2 * Width, 4000, QImage::Format_RGB32);
    Surface->Image.fill(qRgb(128, 128, 128));
    const HDC DC = CreateSurfaceDC(Surface, POINT{0, 0}, TRegion(0, 0, 2 * Width, 4000));
    TIpHtmlRect Page;
    {
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        TIpHtmlPlatformCanvas Target(Canvas);
        Page = Doc.LayoutPage(Target, Width, 0);
        const int32_t Height = std::min(Page.Bottom, 4000);
        Doc.RenderPage(Target, {0, 0, Page.Right, Height}, {0, 0}, false);
        Canvas.SetHandle(0);
    }
    DeleteDC(DC);
    const QImage Shot =
        Surface->Image.copy(0, 0, std::min(Page.Right, 2 * Width), std::min(Page.Bottom, 4000));
    QDir().mkpath(KESTRO_BINARY_DIR "/pictures/html");
    Shot.save(QString::fromStdString(KESTRO_BINARY_DIR "/pictures/html/" + Name + ".png"));
    return Shot;
}

bool HasColor(const QImage& Image, QRgb Color) {
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if ((Image.pixel(X, Y) & 0xFFFFFF) == (Color & 0xFFFFFF)) return true;
    return false;
}

// A plain-text mail as the viewer shows one: each line escaped and ended with <BR>.
TEST(HtmlRender, PlainTextMail) {
    const char* const Lines[] = {
        "Hallo Petra,",
        "",
        "anbei die Zusammenfassung vom Treffen am Dienstag. Wir haben uns darauf geeinigt, "
        "dass die neue Version des Pointprogramms erst nach dem Test mit allen Boxen "
        "ausgeliefert wird, also fr\xFChestens Ende des Monats.",
        "",
        "> Kannst du mir sagen, ob <ZCONNECT> und RFC/UUCP beide getestet werden?",
        "> Und was ist mit den Netcalls \xFC"
        "ber ISDN?",
        "",
        "Beide Netztypen werden getestet; ISDN macht Klaus & Co.",
        "Die Liste der offenen Punkte:",
        "  1. Nachrichten mit mehr als 64 KB Kopfzeilen",
        "  2. Umlaute in Betreffzeilen (\xE4\xF6\xFC\xC4\xD6\xDC\xDF)",
        "  3. Sehr lange Zeilen ohne ein einziges Leerzeichen: "
        "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
        "",
        "Gru\xDF, Thomas",
        "-- ",
        "Thomas Beispiel * Point von Box Mitte * http://example.org/",
    };
    std::string Html = "<html><body>";
    for (const char* Line : Lines) {
        std::string Escaped;
        for (const char* P = Line; *P; ++P)
            Escaped += *P == '<'   ? "&lt;"
                       : *P == '>' ? "&gt;"
                       : *P == '&' ? "&amp;"
                                   : std::string(1, *P);
        Html += Escaped + "<BR>\r\n";
    }
    const QImage Shot = Render(Html + "</body></html>", 480, "plain-text-mail");
    ASSERT_GE(Shot.width(), 480);  // the long word widens the page
    EXPECT_TRUE(HasColor(Shot, qRgb(0, 0, 0)));
    EXPECT_EQ(Shot.pixel(Shot.width() - 1, Shot.height() - 1) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(HtmlRender, NewsletterWithTablesAndPictures) {
    const std::string Html = R"(<html><head><title>Kestro Weekly</title></head>
<body bgcolor="#e8e8e8" link="#0055aa">
<table width="600" align="center" cellpadding="0" cellspacing="0" bgcolor="#ffffff">
<tr><td bgcolor="#003366"><font face="Arial" size="5" color="#ffffff"><b>&nbsp;Kestro Weekly</b></font>
  <font face="Arial" size="2" color="#cccccc">&nbsp;Issue 42 &middot; December</font></td></tr>
<tr><td><img src="cid:banner" width="600" height="80" alt="Banner"></td></tr>
<tr><td>
  <table cellpadding="8" cellspacing="0" width="100%">
  <tr><td valign="top" width="130"><img src="cid:photo" width="120" height="90" border="1"></td>
      <td valign="top"><h3>Offline mail, online speed</h3>
      <p>The exchange now fetches <b>POP3</b> and <b>NNTP</b> in one run, and the point
      program picks the result up as before. <a href="http://example.org/more">Read more</a></p>
      </td></tr>
  <tr><td valign="top"><img src="cid:logo" align="left" hspace="4">&nbsp;</td>
      <td valign="top"><h3>What changed</h3>
      <ul><li>Faster spool files</li><li>Dial-up only when needed</li>
      <li>A viewer for <i>HTML mail</i></li></ul></td></tr>
  </table>
  <hr size="1" noshade>
  <table border="1" cellpadding="4" cellspacing="2" align="center">
  <caption>Prices</caption>
  <tr><th bgcolor="#ddeeff">Plan</th><th bgcolor="#ddeeff">Boxes</th>
      <th bgcolor="#ddeeff" align="right">Price</th></tr>
  <tr><td>Point</td><td>1</td><td align="right">0,00 &euro;</td></tr>
  <tr><td>Box</td><td>unlimited</td><td align="right">12,50 &euro;</td></tr>
  <tr><td colspan="2">Total</td><td align="right"><b>12,50 &euro;</b></td></tr>
  </table>
  <p align="center"><font size="1" color="#888888">You get this newsletter because you asked
  for it. <a href="http://example.org/unsubscribe">Unsubscribe</a></font></p>
</td></tr></table>
</body></html>)";
    const QImage Shot = Render(Html, 700, "newsletter");
    EXPECT_TRUE(HasColor(Shot, qRgb(0xe8, 0xe8, 0xe8)));  // the page's colour beside the table
    EXPECT_TRUE(HasColor(Shot, qRgb(0x00, 0x33, 0x66)));  // the title cell
    EXPECT_TRUE(HasColor(Shot, qRgb(0xdd, 0xee, 0xff)));  // the price table's first row
}

TEST(HtmlRender, NestedTableStressPage) {
    const char* const Colors[] = {"#ffeeee", "#eeffee", "#eeeeff", "#ffffdd", "#ddffff"};
    std::string Html = "<html><body>";
    for (int Level = 0; Level < 5; ++Level)
        Html += std::string("<table border=\"1\" cellpadding=\"3\" bgcolor=\"") + Colors[Level] +
                "\" width=\"" + (Level == 0 ? "100%" : "95%") + "\"><tr><td colspan=\"2\">Level " +
                std::to_string(Level + 1) + " heading with some words that wrap around</td>" +
                "<td rowspan=\"2\" valign=\"bottom\">side " + std::to_string(Level + 1) +
                "</td></tr><tr><td>left cell " + std::to_string(Level + 1) + "</td><td>";
    Html += "<b>innermost</b> cell with <a href=x>a link</a> and a longer text to wrap";
    for (int Level = 0; Level < 5; ++Level) Html += "</td></tr></table>";
    std::string Grid = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">";
    for (int Row = 0; Row < 20; ++Row) {
        Grid += "<tr>";
        for (int Col = 0; Col < 10; ++Col)
            Grid += "<td" + std::string((Row + Col) % 2 ? " bgcolor=\"#f0f0f0\"" : "") + ">" +
                    std::to_string(Row * 10 + Col) + "</td>";
        Grid += "</tr>";
    }
    const QImage Shot = Render(Html + Grid + "</table></body></html>", 640, "nested-tables");
    for (const char* Color : Colors) {
        const QRgb Rgb = QColor(Color).rgb();
        EXPECT_TRUE(HasColor(Shot, Rgb)) << Color;
    }
}

}  // namespace
