// What the message viewer shows and writes of a message, without its window: the header lines,
// the document for the HTML panel, attachment names and the parts pictures are taken from.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QByteArray>
#include <cstdio>

#include <algorithm>

#include "app/ui/Limits.h"
#include "app/ui/MessagePictures.h"
#include "app/ui/ViewMessageParts.h"
#include "app/ui/ViewMessageText.h"
#include "htmlview/anim/IpGifImage.h"
#include "netlib/mime/Codecs.h"
#include "tests/app/ui/ViewMessageMails.h"
#include "tests/platform/gdi/GifTestEncoder.h"
#include "tests/support/TestSupport.h"

namespace {

using ViewMails::Lines;
using ViewMails::Load;

using TLines = std::vector<std::string>;

TEST(ViewMessageHeader, ListsTheMainFieldsInTheirOrderThenTheUserFields) {
    TIpMailMessage Message;
    Load(Message, Lines({
                      "X-Mailer: OpenXP 3.40",
                      "To: \"Meier, Hans\" <hans@x.example>, eva@y.example",
                      "Bcc: geheim@z.example",
                      "Content-Type: multipart/mixed; boundary=\"B\"",
                      "Content-Description: Bericht",
                      "CC: klaus@w.example",
                      "From: petra@point.example",
                      "Date: Tue, 01 Dec 2026 18:30:00 +0100",
                      "X-Comment: erste Zeile",
                      " zweite Zeile",
                      "Subject: Treffen",
                      "MIME-Version: 1.0",
                      "",
                      "--B--",
                  }));
    EXPECT_EQ(MessageHeaderLines(Message),
              (TLines{"Subject: Treffen", "Date: Tue, 01 Dec 2026 18:30:00 +0100",
                      "From: petra@point.example",
                      "To: \"\"\"Meier, Hans\"\" <hans@x.example>\",eva@y.example",
                      "CC: klaus@w.example", "BCC: geheim@z.example",
                      "ContentType: multipart/mixed", "ContentDescription: Bericht",
                      "X-Mailer: OpenXP 3.40", "X-Comment: erste Zeile", " zweite Zeile"}));
}

TEST(ViewMessageHeader, AlwaysShowsSubjectDateAndFrom) {
    TIpMailMessage Message;
    Load(Message, Lines({"Organization: nirgends", "", "Text"}));
    EXPECT_EQ(MessageHeaderLines(Message), (TLines{"Subject: ", "Date: ", "From: "}));
}

TEST(ViewMessageHeader, ShowsEncodedWordsDecodedAndUserFieldsAsTheyCame) {
    TIpMailMessage Message;
    Load(Message, Lines({
                      "From: =?utf-8?Q?J=C3=BCrgen_K=C3=B6nig?= <jk@x.example>",
                      "To: =?iso-8859-1?q?Ren=E9?= <rene@y.example>",
                      "Subject: =?iso-8859-1?q?Termine_f=FCr?=",
                      " =?iso-8859-1?q?_n=E4chste_Woche?=",
                      "Date: Mon, 07 Dec 2026 10:00:00 +0200",
                      "X-Note: =?utf-8?q?bleibt?=",
                      "",
                      "Text",
                  }));
    const TLines Shown = MessageHeaderLines(Message);
    ASSERT_EQ(Shown.size(), 5u);
    EXPECT_EQ(Shown[0],
              "Subject: Termine f\xFCr n\xE4"
              "chste Woche");
    EXPECT_EQ(Shown[2], "From: J\xFCrgen K\xF6nig <jk@x.example>");
    EXPECT_EQ(Shown[3], "To: \"Ren\xE9 <rene@y.example>\"");
    EXPECT_EQ(Shown[4], "X-Note: =?utf-8?q?bleibt?=");
    // Display only: the message keeps the header as it came.
    EXPECT_EQ(Message.From, "=?utf-8?Q?J=C3=BCrgen_K=C3=B6nig?= <jk@x.example>");
}

// The list ends a line at a NUL byte: in a header field it is a character like any other, shown
// as a blank as in the document, and the rest of the field follows it.
TEST(ViewMessageHeader, ANulByteShowsAsABlankAndTheFieldGoesOn) {
    // "~" stands for the NUL.
    std::string Mail =
        "Subject: before~after\r\n"
        "From: petra~@point.example\r\n"
        "To: eva~@y.example\r\n"
        "Date: Tue, 01 Dec~2026\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Description: Be~richt\r\n"
        "X-Note: eins~zwei\r\n"
        "\r\nText\r\n";
    std::replace(Mail.begin(), Mail.end(), '~', '\0');
    TIpMailMessage Message;
    Load(Message, Mail);
    EXPECT_EQ(
        MessageHeaderLines(Message),
        (TLines{"Subject: before after", "Date: Tue, 01 Dec 2026", "From: petra @point.example",
                "To: \"eva @y.example\"", "ContentType: text/plain", "ContentDescription: Be richt",
                "X-Note: eins zwei"}));
}

TEST(ViewMessageDocument, PrefersHtmlElseWrapsTheTextLinesEscaped) {
    const struct {
        const char* Name;
        std::string Mail;
        std::string Document;
    } Cases[] = {
        {"plain text, escaped, empty line a bare break", ViewMails::Plain,
         "<HTML>\r\n<BODY>\r\nHallo Thomas,<BR>\r\n<BR>\r\n"
         "schreib mir an &lt;petra@point.example&gt; &amp; sag Klaus Bescheid.<BR>\r\n"
         "Gru\xDF, Petra<BR>\r\n</BODY>\r\n</HTML>\r\n"},
        {"alternative: the HTML part, decoded", ViewMails::Alternative,
         "<p>das <b>HTML</b></p>\r\n"},
        {"alternative without HTML: the text part", ViewMails::AlternativeTextOnly,
         "<HTML>\r\n<BODY>\r\nZeile 1<BR>\r\n<BR>\r\nZeile "
         "&lt;3&gt;<BR>\r\n</BODY>\r\n</HTML>\r\n"},
        {"a message that is HTML itself", ViewMails::SingleHtml, "<p>Nur <b>HTML</b></p>\r\n"},
        {"HTML inside a nested alternative", ViewMails::Nested, "<p>innen HTML</p>\r\n"},
        {"mixed: the text part", ViewMails::Mixed,
         "<HTML>\r\n<BODY>\r\nsiehe Anhang<BR>\r\n</BODY>\r\n</HTML>\r\n"},
    };
    for (const auto& C : Cases) {
        TIpMailMessage Message;
        Load(Message, C.Mail);
        EXPECT_EQ(MessageDocument(Message), C.Document) << C.Name;
        // Asking again gives the same (the bodies are read from their start each time).
        EXPECT_EQ(MessageDocument(Message), C.Document) << C.Name << ", again";
    }
}

// A document too long for the panel is cut wherever the bound falls, never inside a tag or an
// entity, and ends with the notice; one line longer than the bound (plain text) is cut too.
TEST(ViewMessageDocument, ALongDocumentIsCutBetweenTagsAndEntitiesWithTheNotice) {
    const std::string Unit = "<b class=\"k\">a&amp;b</b> &lt;c&gt; ";
    for (size_t Shift = 0; Shift < Unit.size(); ++Shift) {
        std::string Html = std::string(Shift, 'p');
        while (Html.size() < (1u << 20)) Html += Unit;
        TIpMailMessage Message;
        Load(Message,
             "Subject: s\r\nMIME-Version: 1.0\r\nContent-Type: text/html\r\n\r\n" + Html + "\r\n");
        const std::string Document = MessageDocument(Message, UiLimits::kMaxShownDocumentBytes);
        EXPECT_EQ(MessageDocument(Message).find(ViewMessageCutNotice), std::string::npos);
        const size_t Notice = Document.find(ViewMessageCutNotice);
        ASSERT_NE(Notice, std::string::npos) << Shift;
        EXPECT_LE(Document.size(), UiLimits::kMaxShownDocumentBytes) << Shift;
        const std::string Shown = Document.substr(0, Document.rfind("<HR>", Notice));
        EXPECT_EQ(Html.compare(0, Shown.find_last_not_of("\r\n") + 1, Shown, 0,
                               Shown.find_last_not_of("\r\n") + 1),
                  0)
            << Shift;
        const size_t Open = Shown.rfind('<'), Amp = Shown.rfind('&');
        EXPECT_NE(Shown.find('>', Open), std::string::npos) << Shift;
        EXPECT_NE(Shown.find(';', Amp), std::string::npos) << Shift;
    }
    TIpMailMessage Line;
    Load(Line, "Subject: s\r\n\r\nAnfang\r\n" + std::string(3u << 20, '<') + "\r\nEnde\r\n");
    const std::string Document = MessageDocument(Line, UiLimits::kMaxShownDocumentBytes);
    EXPECT_EQ(Document.rfind("<HTML>\r\n<BODY>\r\nAnfang<BR>\r\n&lt;&lt;", 0), 0u);
    EXPECT_NE(Document.find(ViewMessageCutNotice), std::string::npos);
    EXPECT_EQ(Document.find("Ende"), std::string::npos);
    EXPECT_EQ(Document.find("&l<"), std::string::npos);
    EXPECT_LE(Document.size(), UiLimits::kMaxShownDocumentBytes);
}

TEST(ViewMessageDocument, ShowsTheDeclaredCharsetInTheWindowCodePage) {
    const struct {
        const char* Name;
        std::string Mail;
        std::string Document;
    } Cases[] = {
        {"UTF-8 text, 8 bit",
         Lines({"Subject: x", "MIME-Version: 1.0", "Content-Type: text/plain; charset=UTF-8",
                "Content-Transfer-Encoding: 8bit", "",
                "Gr\xC3\xBC\xC3\x9F"
                "e aus K\xC3\xB6ln",
                "\xD0\x96 <\xE2\x82\xAC>"}),
         "<HTML>\r\n<BODY>\r\nGr\xFC\xDF"
         "e aus K\xF6ln<BR>\r\n? &lt;\x80&gt;<BR>\r\n</BODY>\r\n"
         "</HTML>\r\n"},
        {"Latin-9 text, quoted-printable",
         Lines({"Subject: x", "MIME-Version: 1.0",
                "Content-Type: text/plain; charset=\"iso-8859-15\"",
                "Content-Transfer-Encoding: quoted-printable", "", "5 =A4 f=FCr =BD"}),
         "<HTML>\r\n<BODY>\r\n5 \x80 f\xFCr \x9C<BR>\r\n</BODY>\r\n</HTML>\r\n"},
        {"UTF-8 HTML by its part's charset, base64",
         Lines({"Subject: x", "MIME-Version: 1.0",
                "Content-Type: multipart/alternative; boundary=B", "", "--B",
                "Content-Type: text/plain; charset=utf-8", "", "egal", "--B",
                "Content-Type: text/html; charset=utf-8", "Content-Transfer-Encoding: base64", "",
                // "<p>Grüße</p>"
                "PHA+R3LDvMOfZTwvcD4=", "--B--"}),
         "<p>Gr\xFC\xDF"
         "e</p>"},
        {"UTF-8 HTML by its meta",
         Lines({"Subject: x", "MIME-Version: 1.0", "Content-Type: text/html", "",
                "<html><head><meta charset=\"utf-8\"></head>", "<body>K\xC3\xB6ln</body></html>"}),
         "<html><head><meta charset=\"utf-8\"></head>\r\n<body>K\xF6ln</body></html>\r\n"},
        {"the part's charset before the meta",
         Lines({"Subject: x", "MIME-Version: 1.0", "Content-Type: text/html; charset=iso-8859-1",
                "", "<meta charset=\"utf-8\">K\xF6ln"}),
         "<meta charset=\"utf-8\">K\xF6ln\r\n"},
    };
    for (const auto& C : Cases) {
        TIpMailMessage Message;
        Load(Message, C.Mail);
        EXPECT_EQ(MessageDocument(Message), C.Document) << C.Name;
        // Display only: the message as stored is what came.
        std::string Stored;
        for (const std::string& Line : RawMessageLines(Message)) Stored += Line + "\r\n";
        EXPECT_EQ(Stored, C.Mail) << C.Name;
    }
}

// A NUL byte is a character of the text like any other: it shows as a blank and the text goes
// on after it, whatever the charset, in text and in HTML.
TEST(ViewMessageDocument, ANulByteShowsAsABlankAndTheTextGoesOn) {
    const std::string Second("zwei\0te Zeile", 13);
    for (const char* Charset : {"us-ascii", "iso-8859-1", "utf-8"}) {
        TIpMailMessage Text;
        Load(Text, "Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=" +
                       std::string(Charset) + "\r\n\r\nerste Zeile\r\n" + Second +
                       "\r\ndritte Zeile\r\n");
        EXPECT_EQ(MessageDocument(Text),
                  "<HTML>\r\n<BODY>\r\nerste Zeile<BR>\r\nzwei te Zeile<BR>\r\ndritte "
                  "Zeile<BR>\r\n</BODY>\r\n</HTML>\r\n")
            << Charset;
        TIpMailMessage Html;
        Load(Html, "Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: text/html; charset=" +
                       std::string(Charset) + "\r\n\r\n<p>erste Zeile\r\n" + Second +
                       "\r\ndritte Zeile</p>\r\n");
        EXPECT_EQ(MessageDocument(Html), "<p>erste Zeile\r\nzwei te Zeile\r\ndritte Zeile</p>\r\n")
            << Charset;
    }
}

// A text is only shown: a base64 or quoted-printable line longer than the encoding allows is read
// as more of the text (the notice is for a body no decoder can read to its end).
TEST(ViewMessageDocument, ATextPartIsDecodedAsFarAsItCanBe) {
    const std::string Words =
        "Lange Zeilen schreibt nicht jeder Mailer, aber mancher. Hier kommt "
        "der Text ganz: Anfang, Mitte und Ende.";
    const std::string Base64 = QByteArray::fromStdString(Words).toBase64().toStdString();
    ASSERT_GT(Base64.size(), 85u);
    std::string Quoted;
    for (int I = 0; Quoted.size() < 1200; ++I)
        Quoted += " Gr=C3=BC=C3=9Fe " + std::to_string(I) + ",";
    const std::string Head = "Subject: x\r\nMIME-Version: 1.0\r\n";
    const struct {
        const char* Name;
        std::string Mail;
        std::string Document;
    } Cases[] = {
        {"base64 text in one line",
         Head + "Content-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n" + Base64 +
             "\r\n",
         "<HTML>\r\n<BODY>\r\n" + Words + "<BR>\r\n</BODY>\r\n</HTML>\r\n"},
        {"base64 HTML in one line",
         Head + "Content-Type: text/html\r\nContent-Transfer-Encoding: base64\r\n\r\n" + Base64 +
             "\r\n",
         Words},
        {"quoted-printable text in one line",
         Head +
             "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: "
             "quoted-printable\r\n\r\n" +
             Quoted + "\r\n",
         [&] {
             std::string Shown = Quoted;
             for (size_t At; (At = Shown.find("=C3=BC=C3=9F")) != std::string::npos;)
                 Shown.replace(At, 12, "\xFC\xDF");
             return "<HTML>\r\n<BODY>\r\n" + Shown + "<BR>\r\n</BODY>\r\n</HTML>\r\n";
         }()},
        {"uuencoded text with a line that is none: its start and the notice",
         Head + "Content-Type: text/plain\r\nContent-Transfer-Encoding: uuencoded\r\n\r\n"
                "begin 600 a.txt\r\n%2&%L;&\\`\r\nMkaputt\r\n`\r\nend\r\n",
         std::string("<HTML>\r\n<BODY>\r\nHallo<BR>\r\n\r\n<HR><P><B>") +
             ViewMessageUndecodedNotice + "</B></P>\r\n</BODY>\r\n</HTML>\r\n"},
    };
    for (const auto& C : Cases) {
        TIpMailMessage Message;
        Load(Message, C.Mail);
        std::string Document;
        EXPECT_NO_THROW(Document = MessageDocument(Message)) << C.Name;
        EXPECT_EQ(Document, C.Document) << C.Name;
    }
}

TEST(ViewMessageDocument, EscapesEveryMarkupCharacterOnce) {
    EXPECT_EQ(EscapeHtmlText("<a@b> & <c>&amp;"), "&lt;a@b&gt; &amp; &lt;c&gt;&amp;amp;");
    EXPECT_EQ(EscapeHtmlText("\"quoted\" 'x'"), "\"quoted\" 'x'");
    EXPECT_EQ(EscapeHtmlText(""), "");
}

TEST(ViewMessageAttachments, NamesLoseTheirDirectoriesAndUnusableOnesAreRefused) {
    const struct {
        const char* ContentName;
        const char* FileName;
        const char* Bare;
        bool Usable;
        const char* Preset;
    } Cases[] = {
        {"bild.png", "", "bild.png", true, "bild.png"},
        {"", "notiz.txt", "notiz.txt", true, "notiz.txt"},
        {"inhalt.doc", "anders.doc", "inhalt.doc", true, "inhalt.doc"},  // the type's name first
        {"../x", "", "x", true, "x"},
        {"/etc/passwd", "", "passwd", true, "passwd"},
        {"..\\..\\autoexec.bat", "", "autoexec.bat", true, "autoexec.bat"},
        {"C:\\temp/mixed\\b.txt", "", "b.txt", true, "b.txt"},
        {"", "", "", false, "*.*"},
        {".", "", ".", false, "*.*"},
        {"..", "", "..", false, "*.*"},
        {"dir/..", "", "..", false, "*.*"},
        {"ordner/", "", "", false, "*.*"},
        {"zeile\nzwei", "", "zeile\nzwei", false, "*.*"},
        {"tab\there", "", "tab\there", false, "*.*"},
    };
    for (const auto& C : Cases) {
        TIpMimeEntity Part(nullptr);
        Part.ContentName = C.ContentName;
        Part.FileName = C.FileName;
        EXPECT_EQ(AttachmentBareName(Part), C.Bare) << C.ContentName << "|" << C.FileName;
        EXPECT_EQ(UsableAttachmentName(AttachmentBareName(Part)), C.Usable) << C.ContentName;
        EXPECT_EQ(AttachmentSavePreset(Part), C.Preset) << C.ContentName;
    }
    EXPECT_TRUE(UsableAttachmentName(std::string(255, 'a')));
    EXPECT_FALSE(UsableAttachmentName(std::string(256, 'a')));
}

TEST(ViewMessageAttachments, ThePrivateFolderIsThisUsersAloneAndStaysTheSame) {
    const std::string& Folder = AttachmentFolder();
    ASSERT_FALSE(Folder.empty());
    EXPECT_EQ(Folder.back(), '/');
    struct stat Info {};
    ASSERT_EQ(stat(Folder.c_str(), &Info), 0);
    EXPECT_TRUE(S_ISDIR(Info.st_mode));
    EXPECT_EQ(Info.st_mode & 0777, 0700u);
    EXPECT_EQ(&AttachmentFolder(), &Folder);
}

// Saved or opened from the viewer, an attachment in base64 lines longer than the encoding allows
// (as some mailers write them) gets the bytes a fetch extracts from it.
TEST(ViewMessageAttachments, LinesLongerThanTheEncodingAllowsAreSavedWhole) {
    std::string Content;
    for (int I = 0; I < 300; ++I) Content += char(I * 7 + 1);
    TIpMailMessage Message;
    Load(Message,
         "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\n"
         "Content-Type: application/octet-stream\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=lang.bin\r\n\r\n" +
             InLines(Base64EncodeString(Content), 120) + "--B--\r\n");
    ASSERT_EQ(Message.Parts.Count(), 1);
    const std::string Target = AttachmentFolder() + "lang.bin";
    DecodeAttachment(*Message.Parts.Items(0), Target);
    EXPECT_EQ(ReadFile(Target), Content);
    std::remove(Target.c_str());
}

TEST(ViewMessageParts, ContentIdsFindTheirPartsAtAnyDepth) {
    TIpMailMessage Message;
    Load(Message, Lines({
                      "Content-Type: multipart/related; boundary=\"R\"",
                      "",
                      "--R",
                      "Content-Type: multipart/alternative; boundary=\"A\"",
                      "",
                      "--A",
                      "Content-Type: image/png",
                      "Content-ID: <tief@x>",
                      "",
                      "--A--",
                      "--R",
                      "Content-Type: image/jpeg",
                      "Content-ID: <flach@x>",
                      "",
                      "--R--",
                  }));
    TIpMimeEntity* Related = Message.Parts.Items(0);
    ASSERT_NE(Related, nullptr);
    EXPECT_EQ(FindContentPart(Message, "cid:tief@x"), Related->Parts.Items(0));
    EXPECT_EQ(FindContentPart(Message, "CID:<flach@x>"), Message.Parts.Items(1));
    EXPECT_EQ(FindContentPart(Message, "cid:fehlt@x"), nullptr);
    EXPECT_EQ(FindContentPart(Message, "cid:"), nullptr);
    EXPECT_EQ(FindContentPart(Message, "http://x/flach@x"), nullptr);
    // A part that is no picture gives none.
    EXPECT_EQ(PartPicture(*Related), nullptr);
}

// GIF parts are animated graphics; a picture part whose data cannot be read gives no picture
// (the viewer shows its broken picture), whatever its kind.
TEST(ViewMessageParts, GifPartsAnimateAndUnreadablePicturesGiveNone) {
    const std::vector<uint8_t> Gif =
        GifTest::Encode(2, 2, {GifTest::Solid(0, 0, 2, 2, 0), GifTest::Solid(0, 0, 1, 1, 2)});
    QByteArray Base64 =
        QByteArray(reinterpret_cast<const char*>(Gif.data()), qsizetype(Gif.size())).toBase64();
    for (qsizetype At = 76; At < Base64.size(); At += 78) Base64.insert(At, "\r\n");
    const auto Picture = [](const std::string& Type, const std::string& Body) {
        TIpMailMessage Message;
        Load(Message, "Content-Type: " + Type + "\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                          Body + "\r\n");
        return PartPicture(Message);
    };
    const std::shared_ptr<TPicture> Animated = Picture("image/GIF", Base64.toStdString());
    ASSERT_NE(Animated, nullptr);
    auto* Graphic = dynamic_cast<TIpGifImage*>(Animated->Graphic());
    ASSERT_NE(Graphic, nullptr);
    EXPECT_EQ(Graphic->FrameCount(), 2);
    const std::string Damaged = Base64.left(24).toStdString();
    for (const char* Type : {"image/gif", "image/png", "image/jpeg", "image/bmp"})
        EXPECT_EQ(Picture(Type, Damaged), nullptr) << Type;
    // Nor does a body its transfer encoding cannot decode (a base64 line past the codec's limit).
    const std::string Undecodable(4000, 'A');
    for (const char* Type : {"image/gif", "image/png", "image/jpeg", "image/bmp"})
        EXPECT_EQ(Picture(Type, Undecodable), nullptr) << Type;
}

// A part is decoded once for each document that shows it; the pixels of everything decoded are
// taken from the allowance, and come back once the last holder of a picture lets it go.
TEST(MessagePictures, EachPartOnceADocumentWithinTheAllowance) {
    const std::vector<uint8_t> Gif = GifTest::Encode(30, 20, {GifTest::Solid(0, 0, 2, 2, 0)});
    QByteArray Base64 =
        QByteArray(reinterpret_cast<const char*>(Gif.data()), qsizetype(Gif.size())).toBase64();
    TIpMailMessage Message;
    Load(Message, "Content-Type: image/gif\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                      Base64.toStdString() + "\r\n");
    TMessagePictures Pictures;
    const int64_t Full = Pictures.PixelsLeft();
    EXPECT_EQ(Full, UiLimits::kMaxMessagePicturePixels);
    int First = 0, Second = 0;
    std::shared_ptr<TPicture> Shown = Pictures.Picture(Message, &First);
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Pictures.Picture(Message, &First), Shown);
    // The screen and the frame.
    EXPECT_EQ(Pictures.PixelsLeft(), Full - 30 * 20 - 2 * 2);
    std::shared_ptr<TPicture> Other = Pictures.Picture(Message, &Second);
    EXPECT_NE(Other, Shown);
    EXPECT_EQ(Pictures.PixelsLeft(), Full - 2 * (30 * 20 + 2 * 2));
    Shown.reset();
    EXPECT_EQ(Pictures.PixelsLeft(), Full - (30 * 20 + 2 * 2));
    // Gone, it is decoded again when asked for.
    EXPECT_NE(Pictures.Picture(Message, &First), nullptr);
    Other.reset();
    EXPECT_EQ(Pictures.PixelsLeft(), Full);
}

}  // namespace
