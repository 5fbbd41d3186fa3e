// The message viewer's window on the offscreen platform: the header list and MIME tree it
// fills, the document it hands the HTML panel, saving, opening and showing the source of parts,
// its place in the main window's store, and pictures of it on a plain-text and an HTML mail.
#include "app/ui/ViewMessageFrm.h"

#include <sys/stat.h>
#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <sstream>

#include "app/ui/Limits.h"
#include "app/ui/ViewMessageParts.h"
#include "app/ui/ViewMessageText.h"
#include "components/store/XMLFileStore.h"
#include "htmlview/panel/IpHtmlFrame.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "platform/shell/ShellExecute.h"
#include "tests/app/ui/UiFixture.h"
#include "tests/app/ui/ViewMessageMails.h"
#include "tests/platform/gdi/GifTestEncoder.h"
#include "tests/support/PictureChecks.h"

namespace {

using ViewMails::Lines;

// The tree as text: one node a line, indented by depth, "+" when expanded.
void DumpNode(TTreeNode* Node, int Depth, std::ostringstream& Out) {
    Out << std::string(size_t(Depth) * 2, ' ') << Node->Text() << (Node->Expanded() ? " +" : "")
        << "\n";
    for (int I = 0; I < Node->Count(); ++I) DumpNode(Node->Item(I), Depth + 1, Out);
}

// A photo's stand-in: a sky over a meadow with a sun, as PNG bytes in base64 lines.
std::string LandscapeBase64() {
    QImage Image(160, 100, QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            QRgb C = Y < 66 ? qRgb(90 + Y, 150 + Y / 2, 235) : qRgb(60, 160 - Y / 4, 50);
            const int DX = X - 120, DY = Y - 25;
            if (DX * DX + DY * DY < 144) C = qRgb(250, 220, 40);
            Image.setPixel(X, Y, C);
        }
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "PNG");
    const QByteArray Text = Png.toBase64();
    std::string Out;
    for (qsizetype At = 0; At < Text.size(); At += 76)
        Out += Text.mid(At, 76).toStdString() + "\r\n";
    return Out;
}

std::string Base64Lines(const QByteArray& Bytes) {
    const QByteArray Text = Bytes.toBase64();
    std::string Out;
    for (qsizetype At = 0; At < Text.size(); At += 76)
        Out += Text.mid(At, 76).toStdString() + "\r\n";
    return Out;
}

QByteArray Encoded(const QImage& Image, const char* Format) {
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, Format);
    return Bytes;
}

void PutBigEndian(QByteArray& Bytes, qsizetype At, uint32_t Value, int Size) {
    for (int I = 0; I < Size; ++I) Bytes[At + I] = char(Value >> (8 * (Size - 1 - I)));
}

// A PNG whose header claims Side x Side pixels (with a valid checksum), and a tiny body.
QByteArray PngClaiming(uint32_t Side) {
    QByteArray Png = Encoded(QImage(2, 2, QImage::Format_RGB32), "PNG");
    PutBigEndian(Png, 16, Side, 4);
    PutBigEndian(Png, 20, Side, 4);
    uint32_t Crc = 0xFFFFFFFFu;
    for (qsizetype I = 12; I < 29; ++I) {
        Crc ^= uint8_t(Png[I]);
        for (int K = 0; K < 8; ++K) Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1)));
    }
    PutBigEndian(Png, 29, ~Crc, 4);
    return Png;
}

// A JPEG whose frame header claims Side x Side pixels.
QByteArray JpegClaiming(uint16_t Side) {
    QByteArray Jpeg = Encoded(QImage(8, 8, QImage::Format_RGB32), "JPEG");
    for (qsizetype I = 2; I + 8 < Jpeg.size(); ++I)
        if (uint8_t(Jpeg[I]) == 0xFF && (uint8_t(Jpeg[I + 1]) & 0xFC) == 0xC0) {
            PutBigEndian(Jpeg, I + 5, Side, 2);
            PutBigEndian(Jpeg, I + 7, Side, 2);
            break;
        }
    return Jpeg;
}

// A BMP whose header claims Side x Side pixels of 24 bits, with a few bytes of them.
QByteArray BmpClaiming(int32_t Side) {
    QByteArray Bmp = Encoded(QImage(2, 2, QImage::Format_RGB32), "BMP");
    for (int I = 0; I < 4; ++I) {
        Bmp[18 + I] = char(uint32_t(Side) >> (8 * I));
        Bmp[22 + I] = char(uint32_t(Side) >> (8 * I));
    }
    return Bmp;
}

// An HTML mail with text before and after a picture part of the given type and bytes.
std::string HtmlMailWithPart(const char* Subtype, const QByteArray& Bytes) {
    return Lines({
               "From: Petra Beispiel <petra@point.example>",
               "Subject: Bild",
               "MIME-Version: 1.0",
               "Content-Type: multipart/related; boundary=\"REL\"",
               "",
               "--REL",
               "Content-Type: text/html; charset=iso-8859-1",
               "",
               "<html><body><p>Vorher</p><p><img src=\"cid:bild@x\"></p><p>Nachher</p>",
               "</body></html>",
               "--REL",
           }) +
           "Content-Type: image/" + Subtype +
           "\r\nContent-Transfer-Encoding: base64\r\nContent-ID: <bild@x>\r\n\r\n" +
           Base64Lines(Bytes) + "--REL--\r\n";
}

std::string HtmlMailWithPicture() {
    return Lines({
               "From: Petra Beispiel <petra@point.example>",
               "To: thomas@mailhafen.example",
               "Subject: Bilder vom Treffen",
               "Date: Wed, 02 Dec 2026 09:15:00 +0100",
               "MIME-Version: 1.0",
               "Content-Type: multipart/related; boundary=\"REL\"",
               "",
               "--REL",
               "Content-Type: text/html; charset=iso-8859-1",
               "",
               "<html><body><h2>Bilder vom Treffen</h2>",
               "<p>Hallo Thomas,</p><p>hier das Foto vom <b>Dienstag</b>:</p>",
               "<p><img src=\"cid:foto@point.example\" width=160 height=100></p>",
               "<p>Gru\xDF, <i>Petra</i></p></body></html>",
               "--REL",
               "Content-Type: image/png; name=\"foto.png\"",
               "Content-Transfer-Encoding: base64",
               "Content-ID: <foto@point.example>",
               "Content-Disposition: inline; filename=\"foto.png\"",
               "",
           }) +
           LandscapeBase64() + "--REL--\r\n";
}

class ViewMessageTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        auto Service = std::make_unique<TScriptedDialogService>();
        Dialogs = Service.get();
        OldDialogs = SetDialogService(std::move(Service));
        auto Runner = std::make_unique<TRecordingProcessRunner>();
        Started = Runner.get();
        OldRunner = SetProcessRunner(std::move(Runner));
    }
    void TearDown() override {
        UiTest::TearDown();
        SetProcessRunner(std::move(OldRunner));
        SetDialogService(std::move(OldDialogs));
    }

    // A viewer on Mail, written as a spool file of the program directory.
    TFormViewMessage* View(const std::string& Mail, TOvcAbstractStore* Store = nullptr) {
        const std::string File = ProgramDir() + "spool.msg";
        WriteFile(File, Mail);
        TFormViewMessage* Viewer = ShowMessageViewer(File, Store);
        GuiTest::Drain();
        return Viewer;
    }
    static std::string Tree(TFormViewMessage* Viewer) {
        std::ostringstream Out;
        if (TTreeNode* Root = Viewer->tvMimeParts->Items()->GetFirstNode()) DumpNode(Root, 0, Out);
        return Out.str();
    }
    static std::vector<std::string> Items(TStrings* List) {
        std::vector<std::string> Out;
        for (int I = 0; I < List->Count(); ++I) Out.push_back(List->Get(I));
        return Out;
    }
    // Selects the tree node captioned Caption.
    static void Select(TFormViewMessage* Viewer, const std::string& Caption) {
        TTreeNodes* Nodes = Viewer->tvMimeParts->Items();
        for (int I = 0; I < Nodes->Count(); ++I)
            if (Nodes->Item(I)->Text() == Caption)
                return Viewer->tvMimeParts->SetSelected(Nodes->Item(I));
        ADD_FAILURE() << "no node " << Caption;
    }
    // The document the panel gets from the viewer's provider.
    static std::string Document(TFormViewMessage* Viewer) {
        std::unique_ptr<TStream> Stream =
            Viewer->IpHtmlDataProvider1->DoGetHtmlStream("message", nullptr);
        if (!Stream) return "<none>";
        std::string Text(size_t(Stream->Size()), '\0');
        Stream->Read(Text.data(), int64_t(Text.size()));
        return Text;
    }

    // The text the panel shows.
    static std::string Shown(TFormViewMessage* Viewer) {
        TIpHtmlFrame* Frame = Viewer->IpHtmlPanel->MasterFrame();
        if (!Frame) return "<no page>";
        Frame->Html().SelectAll();
        return Frame->Html().SelectionText();
    }

    TScriptedDialogService* Dialogs = nullptr;
    TRecordingProcessRunner* Started = nullptr;
    std::unique_ptr<TDialogService> OldDialogs;
    std::unique_ptr<TProcessRunner> OldRunner;
};

TEST_F(ViewMessageTest, TheTreeShowsEveryPartByNameOrTypeFullyExpanded) {
    const struct {
        const char* Name;
        std::string Mail;
        const char* Tree;
    } Cases[] = {
        {"no content type", ViewMails::Plain, ""},
        {"one part", ViewMails::SingleText, "text/plain\n"},
        {"alternative", ViewMails::Alternative,
         "multipart/alternative +\n  text/plain\n  text/html\n"},
        {"mixed with attachments", ViewMails::Mixed,
         "multipart/mixed +\n  text/plain\n  bericht.txt\n  notiz.txt\n"},
        {"a message that is an attachment itself", ViewMails::WholeAttachment,
         "application/pdf +\n  rechnung.pdf\n"},
        {"nested, with a forwarded message", ViewMails::Nested,
         "multipart/mixed +\n  multipart/alternative +\n    text/plain\n    text/html\n"
         "  message/rfc822\n"},
    };
    for (const auto& C : Cases) {
        TFormViewMessage* Viewer = View(C.Mail);
        EXPECT_EQ(Tree(Viewer), C.Tree) << C.Name;
        EXPECT_EQ(Viewer->Caption(), "Nachricht betrachten");
        EXPECT_EQ(Items(Viewer->lbxHeader->Items()), MessageHeaderLines(Viewer->Message()))
            << C.Name;
        EXPECT_EQ(Document(Viewer), MessageDocument(Viewer->Message())) << C.Name;
        Viewer->Free();
    }
}

TEST_F(ViewMessageTest, TheProviderAnswersEveryUrlWithTheMessageOnceOneIsLoaded) {
    RegisterViewMessageClasses();
    auto* Empty = CreateForm<TFormViewMessage>(&Forms);
    EXPECT_EQ(Document(Empty), "<none>");
    std::string Type;
    EXPECT_TRUE(Empty->IpHtmlDataProvider1->DoCheckURL("http://irgendwo.example/", Type));
    EXPECT_EQ(Type, "text/html");
    Empty->Free();

    TFormViewMessage* Viewer = View(ViewMails::Alternative);
    EXPECT_EQ(Document(Viewer), "<p>das <b>HTML</b></p>\r\n");
    EXPECT_EQ(Viewer->IpHtmlPanel->CurURL(), "message");
}

TEST_F(ViewMessageTest, ShowingTheSourceFillsTheMemoAndTurnsToItsPage) {
    TFormViewMessage* Viewer = View(ViewMails::Mixed);
    EXPECT_EQ(Viewer->PageControl->ActivePage(), Viewer->TabHtml);
    Select(Viewer, "bericht.txt");
    Viewer->PartSourceClick(nullptr);
    EXPECT_EQ(Items(Viewer->RawMemo->Lines()),
              (std::vector<std::string>{"SW5oYWx0IGRlcyBCZXJpY2h0cw=="}));
    EXPECT_EQ(Viewer->PageControl->ActivePage(), Viewer->TabSource);

    Viewer->PageControl->SetActivePage(Viewer->TabHtml);
    Viewer->MessageSourceClick(nullptr);
    const std::vector<std::string> Raw = Items(Viewer->RawMemo->Lines());
    ASSERT_EQ(Raw.size(), 22u);
    EXPECT_EQ(Raw[1], "Subject: Anhang");
    EXPECT_EQ(Viewer->PageControl->ActivePage(), Viewer->TabSource);

    // Without a selected part nothing changes.
    Viewer->tvMimeParts->SetSelected(nullptr);
    Viewer->PartSourceClick(nullptr);
    EXPECT_EQ(Viewer->RawMemo->Lines()->Count(), 22);
}

TEST_F(ViewMessageTest, SavingPresetsTheBareNameAndWritesTheDecodedBodyOnlyWhenConfirmed) {
    TFormViewMessage* Viewer = View(ViewMails::Mixed);
    const std::string Target = ProgramDir() + "gespeichert.txt";
    Select(Viewer, "bericht.txt");
    Dialogs->QueueFile({false, {}, 1});
    Viewer->SaveClick(nullptr);
    EXPECT_FALSE(FileExists(Target));

    Dialogs->QueueFile({true, {Target}, 1});
    Viewer->SaveClick(nullptr);
    EXPECT_EQ(ReadFile(Target), "Inhalt des Berichts");
    ASSERT_EQ(Dialogs->Asked().size(), 2u);
    for (const auto& Asked : Dialogs->Asked()) {
        EXPECT_EQ(Asked.File.Kind, TFileDialogKind::Save);
        // The type's name ("../../daten/bericht.txt") without its directories.
        EXPECT_EQ(Asked.File.FileName, "bericht.txt");
        EXPECT_TRUE(Asked.File.OverwritePrompt);
    }

    // A part without a name offers "*.*".
    Select(Viewer, "text/plain");
    Viewer->SaveClick(nullptr);
    EXPECT_EQ(Dialogs->Asked().back().File.FileName, "*.*");
}

TEST_F(ViewMessageTest, OpeningDecodesIntoThePrivateFolderUnderTheBareNameAndHandsItOn) {
    TFormViewMessage* Viewer = View(ViewMails::Mixed);
    Select(Viewer, "bericht.txt");
    Viewer->OpenClick(nullptr);
    const std::string Expected = AttachmentFolder() + "bericht.txt";
    EXPECT_EQ(ReadFile(Expected), "Inhalt des Berichts");
    // Nothing lands in the program directory or beside the spool.
    EXPECT_FALSE(FileExists(ProgramDir() + "bericht.txt"));
    EXPECT_FALSE(FileExists(PointDir() + "daten/bericht.txt"));
    ASSERT_EQ(Started->Started.size(), 1u);
    EXPECT_EQ(Started->Started[0].Program, "xdg-open");
    EXPECT_EQ(Started->Started[0].Arguments, std::vector<std::string>{Expected});

    // Without a program for it the user is told; the file stays for another try.
    Select(Viewer, "notiz.txt");
    Started->Succeed = false;
    Viewer->OpenClick(nullptr);
    EXPECT_EQ(ReadFile(AttachmentFolder() + "notiz.txt"), "eine Notiz\r\n");
    ASSERT_FALSE(Messages.empty());
    EXPECT_NE(Messages.back().find("konnte nicht ge\xC3\xB6"
                                   "ffnet werden"),
              std::string::npos);

    // A part with no name is no attachment.
    Started->Started.clear();
    Select(Viewer, "text/plain");
    Viewer->OpenClick(nullptr);
    EXPECT_EQ(Messages.back(), "Dieser MIME-Teil ist kein Dateianhang");
    EXPECT_TRUE(Started->Started.empty());
}

TEST_F(ViewMessageTest, HostileAttachmentNamesNeverLeaveThePrivateFolder) {
    const struct {
        const char* Name;
        const char* Written;  // under the private folder; empty: refused
    } Cases[] = {
        {"../x", "x"},
        {"/etc/passwd", "passwd"},
        {"..\\..\\kestro.xml", "kestro.xml"},
        {"", ""},
        {".", ""},
        {"..", ""},
        {"sub/..", ""},
    };
    for (const auto& C : Cases) {
        const std::string Mail = Lines({
            "Subject: feindlich",
            "MIME-Version: 1.0",
            "Content-Type: multipart/mixed; boundary=\"B\"",
            "",
            "--B",
            (std::string("Content-Type: application/octet-stream; name=\"") + C.Name + "\"")
                .c_str(),
            "Content-Disposition: attachment; filename=\"\"",
            "",
            "boese",
            "--B--",
        });
        TFormViewMessage* Viewer = View(Mail);
        TTreeNode* Root = Viewer->tvMimeParts->Items()->GetFirstNode();
        ASSERT_TRUE(Root && Root->Count() == 1) << C.Name;
        Viewer->tvMimeParts->SetSelected(Root->Item(0));
        Messages.clear();
        const size_t Before = Started->Started.size();
        Viewer->OpenClick(nullptr);
        if (*C.Written) {
            EXPECT_EQ(ReadFile(AttachmentFolder() + C.Written), "boese\r\n") << C.Name;
            EXPECT_EQ(Started->Started.size(), Before + 1) << C.Name;
            EXPECT_TRUE(Messages.empty()) << C.Name;
        } else {
            EXPECT_EQ(Started->Started.size(), Before) << C.Name;
            ASSERT_EQ(Messages.size(), 1u) << C.Name;
        }
        Viewer->Free();
    }
    // The folder holds what was written and nothing else.
    struct stat Info {};
    ASSERT_EQ(stat(AttachmentFolder().c_str(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0700u);
    EXPECT_FALSE(FileExists(ProgramDir() + "kestro.xml"));
}

TEST_F(ViewMessageTest, ClosingFreesTheViewerAndKeepsItsPlaceInTheStore) {
    TO32XMLFileStore Store(nullptr);
    Store.SetXMLFileName(ProgramDir() + "kestro.xml");
    TFormViewMessage* Viewer = View(ViewMails::Plain, &Store);
    EXPECT_TRUE(Viewer->Visible());
    Viewer->ButtonCloseClick(nullptr);
    GuiTest::Drain();
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_NE(ReadFile(ProgramDir() + "kestro.xml").find("TFormViewMessage"), std::string::npos);
}

// A picture part that cannot be read (cut short, or claiming more pixels than a bitmap holds)
// takes its place as the broken picture; the text around it shows, and nobody is asked.
TEST_F(ViewMessageTest, APictureThatIsRefusedLeavesTheTextShown) {
    const QByteArray Whole = Encoded(QImage(64, 64, QImage::Format_RGB32), "PNG");
    const QByteArray Jpeg = Encoded(QImage(64, 64, QImage::Format_RGB32), "JPEG");
    const std::vector<uint8_t> GifBytes =
        GifTest::Encode(64, 64, {GifTest::Solid(0, 0, 64, 64, 1)});
    const QByteArray Gif(reinterpret_cast<const char*>(GifBytes.data()),
                         qsizetype(GifBytes.size()));
    QByteArray GifClaiming = Gif;
    for (const int At : {6, 7, 8, 9}) GifClaiming[At] = char(0xFF);
    const struct {
        const char* Name;
        const char* Subtype;
        QByteArray Bytes;
    } Cases[] = {
        {"a PNG cut short", "png", Whole.left(Whole.size() / 2)},
        {"a PNG of 100000 x 100000", "png", PngClaiming(100000)},
        {"a JPEG of 60000 x 60000", "jpeg", JpegClaiming(60000)},
        {"a BMP of 100000 x 100000", "bmp", BmpClaiming(100000)},
        {"a BMP of 30000 x 30000", "bmp", BmpClaiming(30000)},
        {"a PNG of 30000 x 30000", "png", PngClaiming(30000)},
        {"a PNG of 5000 x 5000", "png", PngClaiming(5000)},
        {"a JPEG of 30000 x 30000", "jpeg", JpegClaiming(30000)},
        {"a BMP of 5000 x 5000", "bmp", BmpClaiming(5000)},
        {"a JPEG cut short", "jpeg", Jpeg.left(Jpeg.size() / 2)},
        {"a GIF cut short", "gif", Gif.left(Gif.size() / 2)},
        {"a GIF of 65535 x 65535", "gif", GifClaiming},
    };
    for (const auto& C : Cases) {
        TFormViewMessage* Viewer = nullptr;
        EXPECT_NO_THROW(Viewer = View(HtmlMailWithPart(C.Subtype, C.Bytes))) << C.Name;
        ASSERT_NE(Viewer, nullptr) << C.Name;
        EXPECT_EQ(Tree(Viewer),
                  std::string("multipart/related +\n  text/html\n  image/") + C.Subtype + "\n")
            << C.Name;
        const std::string Text = Shown(Viewer);
        EXPECT_NE(Text.find("Vorher"), std::string::npos) << C.Name;
        EXPECT_NE(Text.find("Nachher"), std::string::npos) << C.Name;
        EXPECT_TRUE(Dialogs->Asked().empty()) << C.Name << ": " << Dialogs->Asked().front().Text;
        TIpHtml& Doc = Viewer->IpHtmlPanel->MasterFrame()->Html();
        ASSERT_EQ(Doc.Images().size(), 1u) << C.Name;
        EXPECT_EQ(Doc.Images()[0]->Picture(), Doc.DefaultPicture()) << C.Name;
        EXPECT_NO_THROW(Picture(Viewer, "viewer-refused-picture")) << C.Name;
        EXPECT_TRUE(Dialogs->Asked().empty()) << C.Name;
        Viewer->Free();
    }
}

// What a careless mailer writes shows whole in the window, without an error box: a NUL byte in
// a line or a header field (as a blank), a base64 or quoted-printable text in lines longer than
// allowed, and header fields without a blank after their colon.
TEST_F(ViewMessageTest, CarelesslyWrittenTextShowsWhole) {
    const std::string Nul("zwei\0te", 7);
    const std::string Base64 =
        QByteArray("Das ist der ganze Text, bis zum Ende.").repeated(3).toBase64().toStdString();
    const std::string Quoted = std::string(1200, 'q') + " Ende.";
    const struct {
        const char* Name;
        std::string Mail;
        const char* Subject = "Subject: Hallo";
    } Cases[] = {
        {"a NUL in a text", "Subject:Hallo\r\nFrom:petra@point.example\r\n\r\nerste\r\n" + Nul +
                                " Zeile\r\nbis zum Ende.\r\n"},
        {"a NUL in the subject",
         "Subject: before" + std::string(1, '\0') +
             "after\r\nFrom:petra@point.example\r\n\r\nbis zum Ende.\r\n",
         "Subject: before after"},
        {"a NUL in HTML",
         "Subject:Hallo\r\nFrom:petra@point.example\r\nMIME-Version:1.0\r\nContent-Type:"
         "text/html; charset=utf-8\r\n\r\n<p>erste " +
             Nul + " Zeile</p><p>bis zum Ende.</p>\r\n"},
        {"base64 in one line",
         "Subject:Hallo\r\nFrom:petra@point.example\r\nMIME-Version: 1.0\r\nContent-Type: "
         "text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
             Base64 + "\r\n"},
        {"quoted-printable in one line",
         "Subject:Hallo\r\nFrom:petra@point.example\r\nMIME-Version: 1.0\r\nContent-Type: "
         "text/html\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n<p>" +
             Quoted + "</p>\r\n"},
    };
    for (const auto& C : Cases) {
        TFormViewMessage* Viewer = nullptr;
        EXPECT_NO_THROW(Viewer = View(C.Mail)) << C.Name;
        ASSERT_NE(Viewer, nullptr) << C.Name;
        const std::string Text = Shown(Viewer);
        EXPECT_NE(Text.find("Ende."), std::string::npos) << C.Name << ": " << Text;
        EXPECT_TRUE(Dialogs->Asked().empty()) << C.Name << ": " << Dialogs->Asked().front().Text;
        const std::vector<std::string> Header = Items(Viewer->lbxHeader->Items());
        ASSERT_GE(Header.size(), 3u) << C.Name;
        EXPECT_EQ(Header[0], C.Subject) << C.Name;
        EXPECT_EQ(Header[2], "From: petra@point.example") << C.Name;
        if (std::string(C.Subject) != "Subject: Hallo") Picture(Viewer, "viewer-nul-in-subject");
        Viewer->Free();
    }
}

// A picture part named by many images is decoded once and shown by all of them. A GIF of a few
// bytes may ask for a screen of 32768 x 1024 pixels: one such picture fits the viewer's
// allowance, the next one (another part) shows as the broken picture, and the text and a small
// picture after them show.
TEST_F(ViewMessageTest, PicturesAreDecodedOnceAPartAndTogetherWithinTheAllowance) {
    const auto Gif = [](int Index) {
        const std::vector<uint8_t> Bytes =
            GifTest::Encode(Index < 2 ? 32768 : 4, Index < 2 ? 1024 : 4,
                            {GifTest::Solid(0, 0, 1, 1, uint8_t(Index))});
        return Base64Lines(
            QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size())));
    };
    std::string Mail = Lines({
        "From: Petra Beispiel <petra@point.example>",
        "Subject: Bilder",
        "MIME-Version: 1.0",
        "Content-Type: multipart/related; boundary=\"REL\"",
        "",
        "--REL",
        "Content-Type: text/html; charset=iso-8859-1",
        "",
        "<html><body><p>Vorher</p><img src=\"cid:a@x\"><img src=\"cid:b@x\">",
        "<img src=\"cid:a@x\"><img src=\"cid:b@x\"><img src=\"cid:a@x\">",
        "<img src=\"cid:c@x\"><p>Nachher</p></body></html>",
    });
    for (int Index = 0; Index < 3; ++Index)
        Mail += std::string("--REL\r\nContent-Type: image/gif\r\nContent-Transfer-Encoding: ") +
                "base64\r\nContent-ID: <" + char('a' + Index) + "@x>\r\n\r\n" + Gif(Index);
    TFormViewMessage* Viewer = View(Mail + "--REL--\r\n");
    TIpHtml& Doc = Viewer->IpHtmlPanel->MasterFrame()->Html();
    ASSERT_EQ(Doc.Images().size(), 6u);
    const auto Shows = [&](size_t I) { return Doc.Images()[I]->Picture(); };
    EXPECT_NE(Shows(0), Doc.DefaultPicture());
    EXPECT_EQ(Shows(2), Shows(0));
    EXPECT_EQ(Shows(4), Shows(0));
    EXPECT_EQ(Shows(1), Doc.DefaultPicture());
    EXPECT_EQ(Shows(3), Doc.DefaultPicture());
    EXPECT_NE(Shows(5), Doc.DefaultPicture());
    EXPECT_EQ(Shows(5)->Width(), 4);
    const std::string Text = Shown(Viewer);
    EXPECT_NE(Text.find("Vorher"), std::string::npos);
    EXPECT_NE(Text.find("Nachher"), std::string::npos);
    EXPECT_NO_THROW(Picture(Viewer, "viewer-pictures-within-allowance"));
    Viewer->Free();
}

// A header line of a megabyte is listed cut, and the rest of the mail shows as usual.
TEST_F(ViewMessageTest, AHeaderLineOfAMegabyteIsListedCut) {
    const std::string Subject = "Subject: " + std::string(1 << 20, 'x');
    const std::string Mail = "From: a@b.example\r\n" + Subject + "\r\n" +
                             "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=B\r\n"
                             "\r\n--B\r\nContent-Type: text/plain\r\n\r\nder Text\r\n--B--\r\n";
    TFormViewMessage* Viewer = nullptr;
    EXPECT_NO_THROW(Viewer = View(Mail));
    ASSERT_NE(Viewer, nullptr);
    const std::vector<std::string> Header = Items(Viewer->lbxHeader->Items());
    const std::vector<std::string> Lines = MessageHeaderLines(Viewer->Message());
    ASSERT_EQ(Header.size(), Lines.size());
    for (size_t I = 0; I < Lines.size(); ++I) EXPECT_EQ(Header[I], Lines[I].substr(0, 0xFFFF)) << I;
    EXPECT_NE(std::find_if(Header.begin(), Header.end(),
                           [](const std::string& L) { return L.size() == 0xFFFF; }),
              Header.end());
    EXPECT_EQ(Tree(Viewer), "multipart/mixed +\n  text/plain\n");
    EXPECT_NE(Shown(Viewer).find("der Text"), std::string::npos);
}

// A mail too long to lay out whole (3 MB of words, as plain text or HTML) shows its beginning
// and says that it was cut; the header list and the source are whole.
TEST_F(ViewMessageTest, AMailTooLongToShowWholeShowsItsBeginningAndSaysSo) {
    std::string Words;
    for (int I = 0; Words.size() < (3u << 20); ++I) Words += "w" + std::to_string(I) + " x y z\r\n";
    const std::string Plain = "From: a@b.example\r\nSubject: lang\r\n\r\nAnfang\r\n" + Words;
    const std::string Html =
        "From: a@b.example\r\nSubject: lang\r\nMIME-Version: 1.0\r\n"
        "Content-Type: text/html\r\n\r\n<html><body><p>Anfang</p><p>" +
        Words + "</p></body></html>\r\n";
    for (const std::string* Mail : {&Plain, &Html}) {
        TFormViewMessage* Viewer = nullptr;
        EXPECT_NO_THROW(Viewer = View(*Mail));
        ASSERT_NE(Viewer, nullptr);
        if (Mail == &Html) Picture(Viewer, "viewer-cut-mail");
        const std::string Given = Document(Viewer);
        EXPECT_LE(Given.size(), UiLimits::kMaxShownDocumentBytes);
        EXPECT_NE(Given.find(ViewMessageCutNotice), std::string::npos);
        const std::string Text = Shown(Viewer);
        EXPECT_LT(Text.find("Anfang"), Text.find("w0 x y z")) << Text.substr(0, 200);
        EXPECT_NE(Text.find("w1000 x y z"), std::string::npos);
        EXPECT_NE(Text.find(ViewMessageCutNotice), std::string::npos);
        EXPECT_TRUE(Dialogs->Asked().empty()) << Dialogs->Asked().front().Text;
        EXPECT_EQ(Items(Viewer->lbxHeader->Items())[0], "Subject: lang");
        Viewer->MessageSourceClick(nullptr);
        EXPECT_EQ(RawMessageLines(Viewer->Message()).size(),
                  size_t(std::count(Mail->begin(), Mail->end(), '\n')));
        Viewer->Free();
    }
    // A mail beyond the bound that layout still holds whole is shown whole, without the notice.
    std::string Table =
        "Subject: Tabelle\r\nMIME-Version: 1.0\r\nContent-Type: text/html\r\n"
        "\r\n<table>";
    while (Table.size() < UiLimits::kMaxShownDocumentBytes * 3 / 2)
        Table += "<tr><td bgcolor=#FFFFFF><b>Zelle</b></td><td><i>Zelle</i></td></tr>\r\n";
    TFormViewMessage* Whole = View(Table + "</table><p>Ende</p>\r\n");
    EXPECT_EQ(Document(Whole).find(ViewMessageCutNotice), std::string::npos);
    EXPECT_NE(Shown(Whole).find("Ende"), std::string::npos);
}

TEST_F(ViewMessageTest, AFileThatCannotBeReadRaisesAndLeavesTheWindowOpen) {
    EXPECT_ANY_THROW(ShowMessageViewer(ProgramDir() + "fehlt.msg", nullptr));
    GuiTest::Drain();
    ASSERT_EQ(Screen->FormCount(), 1);
    EXPECT_TRUE(Screen->Forms(0)->Visible());
}

TEST_F(ViewMessageTest, PictureOfAPlainTextMail) {
    TFormViewMessage* Viewer = View(ViewMails::Plain);
    Picture(Viewer, "viewer-plain-text");
    // The address in angle brackets is shown, not taken for a tag.
    EXPECT_NE(Document(Viewer).find("&lt;petra@point.example&gt;"), std::string::npos);
}

TEST_F(ViewMessageTest, PictureOfAUtf8HtmlMailWithAnEncodedSubject) {
    const std::string Mail = ViewMails::Lines({
        "From: =?utf-8?Q?J=C3=BCrgen_K=C3=B6nig?= <jk@x.example>",
        "Subject: =?iso-8859-1?q?Termine_f=FCr_n=E4chste_Woche?=",
        "Date: Mon, 07 Dec 2026 10:00:00 +0200",
        "MIME-Version: 1.0",
        "Content-Type: text/html",
        "",
        "<html><head><meta charset=\"utf-8\"></head><body>",
        "<h2>Gr\xC3\xBC\xC3\x9F"
        "e aus K\xC3\xB6ln</h2>",
        "<table border=1><tr><td>Stra\xC3\x9F"
        "e</td><td>5 \xE2\x82\xAC</td>"
        "<td>\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0</td></tr></table>",
        "</body></html>",
    });
    TFormViewMessage* Viewer = View(Mail);
    const std::vector<std::string> Header = Items(Viewer->lbxHeader->Items());
    ASSERT_GE(Header.size(), 3u);
    EXPECT_EQ(Header[0],
              "Subject: Termine f\xFCr n\xE4"
              "chste Woche");
    EXPECT_EQ(Header[2], "From: J\xFCrgen K\xF6nig <jk@x.example>");
    const std::string Shown = Document(Viewer);
    EXPECT_NE(Shown.find("Gr\xFC\xDF"
                         "e aus K\xF6ln"),
              std::string::npos);
    EXPECT_NE(Shown.find("<td>5 \x80</td><td>" + std::string(6, '?') + "</td>"), std::string::npos);
    Picture(Viewer, "viewer-utf8-html");
}

TEST_F(ViewMessageTest, PictureOfAnHtmlMailWithAPicture) {
    TFormViewMessage* Viewer = View(HtmlMailWithPicture());
    EXPECT_EQ(Tree(Viewer), "multipart/related +\n  text/html\n  foto.png\n");
    const std::string Path = std::string(KESTRO_BINARY_DIR) + "/pictures/app/viewer-html.png";
    Picture(Viewer, "viewer-html");
    const QImage Shot(QString::fromStdString(Path));
    ASSERT_FALSE(Shot.isNull());
    // The sun of the picture the mail carries.
    EXPECT_TRUE(GuiTest::HasColorNear(Shot, qRgb(250, 220, 40), 24));
}

}  // namespace
