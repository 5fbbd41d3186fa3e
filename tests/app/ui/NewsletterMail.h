#pragma once
// A newsletter as mailers send them: a multipart/related mail whose HTML part lays the page out
// with nested tables, with two image maps (a JPEG banner and a PNG bar), a still GIF logo, an
// animated GIF, PNG pictures in the articles, a product grid, and a survey form with a text
// field, a select, two radio questions, a check box and a text area. Its pictures have colours
// of their own, so that a picture of the viewer shows whether each was drawn.
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "tests/platform/gdi/GifTestEncoder.h"

namespace Newsletter {

inline constexpr QRgb kBannerSky = qRgb(40, 120, 220);
inline constexpr QRgb kBarGreen = qRgb(20, 150, 70);
inline constexpr QRgb kArticleOrange = qRgb(240, 140, 20);
// The GIFs' table: logo red, logo blue, the animation's green and white.
inline const std::vector<QRgb> kGifColours = {qRgb(200, 20, 40), qRgb(30, 40, 160),
                                              qRgb(0, 200, 120), qRgb(255, 255, 255)};

inline std::string Base64Lines(const QByteArray& Bytes) {
    const QByteArray Text = Bytes.toBase64();
    std::string Out;
    for (qsizetype At = 0; At < Text.size(); At += 76)
        Out += Text.mid(At, 76).toStdString() + "\r\n";
    return Out;
}

inline QByteArray Encoded(const QImage& Image, const char* Format) {
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, Format, 90);
    return Bytes;
}

inline QImage Filled(int W, int H, QRgb Colour, QRgb Mark) {
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Colour);
    QPainter Painter(&Image);
    Painter.fillRect(W / 4, H / 4, W / 2, H / 2, QColor::fromRgb(Mark));
    return Image;
}

// 120 x 40: red with a blue band.
inline QByteArray LogoGif() {
    GifTest::TFrame Logo = GifTest::Solid(0, 0, 120, 40, 0);
    for (int Y = 15; Y < 25; ++Y)
        for (int X = 0; X < 120; ++X) Logo.Pixels[size_t(Y * 120 + X)] = 1;
    const std::vector<uint8_t> Bytes = GifTest::Encode(120, 40, {Logo}, kGifColours);
    return QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size()));
}

// 60 x 60: a green square stepping along the diagonal over white.
inline QByteArray AnimatedGif() {
    std::vector<GifTest::TFrame> Frames = {GifTest::Solid(0, 0, 60, 60, 3)};
    for (int Step = 0; Step < 3; ++Step) {
        GifTest::TFrame Square = GifTest::Solid(Step * 20, Step * 20, 20, 20, 2);
        Square.Delay = 30;
        Square.Disposal = 2;
        Frames.push_back(Square);
    }
    const std::vector<uint8_t> Bytes = GifTest::Encode(60, 60, Frames, kGifColours);
    return QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size()));
}

inline std::string Part(const std::string& Type, const std::string& Id, const QByteArray& Data) {
    return "--NEWS\r\nContent-Type: " + Type + "\r\nContent-Transfer-Encoding: base64\r\n" +
           "Content-ID: <" + Id + ">\r\n\r\n" + Base64Lines(Data);
}

inline std::string Article(int N) {
    const std::string Number = std::to_string(N);
    const std::string Picture = N % 2 ? "cid:anim@news" : "cid:article@news";
    std::string Html =
        "<tr><td><table width=\"100%\" cellpadding=4 cellspacing=0 border=0><tr>"
        "<td width=70 valign=top><img src=\"" +
        Picture +
        "\" width=60 height=60 alt=\"Bild\"></td><td valign=top>"
        "<h3>Artikel " +
        Number + ": Neues aus dem Verein</h3>";
    for (int P = 0; P < 3; ++P)
        Html +=
            "<p>Der Vorstand hat in seiner Sitzung beschlossen, das Sommerfest wieder im "
            "Park abzuhalten. Anmeldungen nimmt die Gesch&auml;ftsstelle bis Ende Juni "
            "entgegen; <a href=\"http://news.example.org/artikel/" +
            Number + "\">mehr dazu</a> auf unserer Seite.</p>";
    Html +=
        "<ul><li>Treffpunkt am Haupteingang<li>Mitbringen: gute Laune</ul>"
        "<p align=right><a href=\"http://news.example.org/weiter/" +
        Number + "\">Weiterlesen &raquo;</a></p></td></tr></table></td></tr>";
    return Html;
}

inline std::string Html(int Articles) {
    std::string Html =
        "<html><head><title>Vereinsnachrichten</title></head>"
        "<body bgcolor=#e8e8e8><a name=top></a><center>"
        "<table width=640 bgcolor=#ffffff cellpadding=0 cellspacing=0 border=0>"
        "<tr><td><table width=\"100%\" cellpadding=6><tr><td><img src=\"cid:logo@news\" "
        "width=120 height=40 alt=\"Logo\"></td><td align=right><b>Ausgabe 12/2026</b></td>"
        "</tr></table></td></tr>"
        "<tr><td><img src=\"cid:banner@news\" width=600 height=120 usemap=\"#banner\" "
        "border=0></td></tr>"
        "<tr><td><img src=\"cid:bar@news\" width=600 height=30 usemap=\"#bar\" border=0>"
        "</td></tr>";
    for (int N = 1; N <= Articles; ++N) Html += Article(N);
    Html += "<tr><td><table width=\"100%\" border=1 cellpadding=4 cellspacing=2><tr>";
    for (int N = 1; N <= 4; ++N)
        Html +=
            "<td valign=bottom><table><tr><td><img src=\"cid:article@news\" width=40 "
            "height=40></td></tr><tr><td>Artikel " +
            std::to_string(N) + "<br><b>16,99 EUR</b></td></tr></table></td>";
    Html +=
        "</tr></table></td></tr>"
        "<tr><td><a name=umfrage></a><h2>Umfrage</h2>"
        "<form action=\"http://news.example.org/umfrage\" method=post>"
        "<table cellpadding=3><tr><td>Name:</td><td><input name=name size=30></td></tr>"
        "<tr><td>Ort:</td><td><select name=ort><option>Berlin<option selected>Hamburg"
        "<option>M&uuml;nchen</select></td></tr>"
        "<tr><td>Tag:</td><td><input type=radio name=tag value=mo>Montag "
        "<input type=radio name=tag value=di checked>Dienstag "
        "<input type=radio name=tag value=mi>Mittwoch</td></tr>"
        "<tr><td>Format:</td><td><input type=radio name=fmt value=text>Text "
        "<input type=radio name=fmt value=html checked>HTML</td></tr>"
        "<tr><td></td><td><input type=checkbox name=info value=ja>Weitere Infos</td></tr>"
        "<tr><td>Anmerkung:</td><td><textarea name=text rows=3 cols=30></textarea></td></tr>"
        "<tr><td></td><td><input type=submit value=Absenden> <input type=reset></td></tr>"
        "</table></form></td></tr>"
        "<tr><td align=center><small>Vereinsnachrichten &middot; "
        "<a href=\"#top\">nach oben</a></small></td></tr></table></center>"
        "<map name=banner><area shape=rect coords=0,0,300,120 href=\"http://news.example.org/"
        "links\" alt=\"Links\"><area shape=circle coords=450,60,50 href=\"http://news.example."
        "org/kreis\" alt=\"Kreis\"></map>"
        "<map name=bar><area shape=rect coords=0,0,200,30 href=\"http://news.example.org/"
        "start\" alt=\"Start\"><area shape=rect coords=200,0,400,30 href=\"http://news.example."
        "org/termine\" alt=\"Termine\"></map></body></html>";
    return Html;
}

// The whole mail; Articles sets its length (40 give 47 KB of HTML in a mail of 151 KB).
inline std::string Mail(int Articles = 40) {
    std::string Mail =
        "From: Vereinsnachrichten <news@news.example.org>\r\n"
        "To: thomas@mailhafen.example\r\n"
        "Subject: Vereinsnachrichten 12/2026\r\n"
        "Date: Mon, 07 Dec 2026 08:00:00 +0100\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: multipart/related; boundary=\"NEWS\"\r\n\r\n"
        "--NEWS\r\nContent-Type: text/html; charset=iso-8859-1\r\n\r\n" +
        Html(Articles) + "\r\n";
    Mail += Part("image/gif", "logo@news", LogoGif());
    Mail += Part("image/jpeg", "banner@news",
                 Encoded(Filled(600, 120, kBannerSky, qRgb(250, 220, 40)), "JPEG"));
    Mail += Part("image/png", "bar@news", Encoded(Filled(600, 30, kBarGreen, kBarGreen), "PNG"));
    Mail += Part("image/png", "article@news",
                 Encoded(Filled(60, 60, kArticleOrange, qRgb(255, 255, 255)), "PNG"));
    Mail += Part("image/gif", "anim@news", AnimatedGif());
    return Mail + "--NEWS--\r\n";
}

}  // namespace Newsletter
