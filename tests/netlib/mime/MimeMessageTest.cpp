#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "tests/netlib/mime/MimeTestUtil.h"
#include "tests/support/TestSupport.h"

using namespace MimeTest;

namespace {

std::string Reencode(const std::string& text) {
    TIpMessage m;
    Load(m, text);
    m.DecodeMessage();
    m.EncodeMessage();
    return Raw(m);
}

class TempDir {
  public:
    TempDir() {
        char tmpl[] = "/tmp/kestro-mime-XXXXXX";
        FPath = mkdtemp(tmpl);
    }
    ~TempDir() { std::filesystem::remove_all(FPath); }
    std::string File(const std::string& name, const std::string& content) const {
        std::string p = FPath + "/" + name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    std::string Path(const std::string& name) const { return FPath + "/" + name; }

  private:
    std::string FPath;
};

const char MultipartMixed[] =
    "From: a@x.org\r\n"
    "Subject: two parts\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed;\r\n\tboundary=\"BB\"\r\n"
    "\r\n"
    "preamble\r\n"
    "--BB\r\n"
    "Content-Type: text/plain; charset=us-ascii; format=flowed\r\n"
    "\r\n"
    "first\r\n"
    "--BB\r\n"
    "Content-Type: application/octet-stream; name=\"a b.bin\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Disposition: attachment;\tfilename=\"a b.bin\"\r\n"
    "X-Part-Note: kept\r\n"
    "\r\n"
    "Zm9vYmFy\r\n"
    "--BB--\r\n"
    "epilogue\r\n";

}  // namespace

TEST(MimeDecode, HeaderBlockAndNonMimeBody) {
    TIpMessage m;
    Load(m, "\r\nSubject: s\r\n\r\nbody\r\n");
    m.DecodeMessage();
    EXPECT_EQ(m.Subject, "s");  // an empty first line opens the header block

    // Every body line counts, the empty ones at its start too (they may carry meaning: quotes,
    // uuencoded data).
    // So in a single text part, whose content type needs no blank after its colon either.
    const struct {
        const char* Header;
        bool Mime;
    } types[] = {{"Content-Typo: text/plain", false}, {"Content-Type:text/plain", true}};
    for (const auto& type : types) {
        TIpMessage n;
        Load(n, std::string(type.Header) +
                    "\r\nSubject: x\r\n\r\n\r\n\r\nline1\r\n\r\nline3\r\n--\r\n");
        n.DecodeMessage();
        EXPECT_EQ(n.IsMime, type.Mime) << type.Header;
        EXPECT_EQ(BodyText(n), "\r\n\r\nline1\r\n\r\nline3\r\n--\r\n") << type.Header;
        EXPECT_EQ(List(n.OtherHeaders), type.Mime ? "" : type.Header);
    }

    // No body is an empty body, with or without the empty line after the header.
    for (const char* text : {"Subject: only headers\r\n", "Subject: empty body\r\n\r\n"}) {
        TIpMessage h;
        Load(h, text);
        h.DecodeMessage();
        EXPECT_EQ(BodyText(h), "") << text;
    }
}

TEST(MimeDecode, TopLevelBodiesAreText) {
    // A single-part body keeps a "--" line, and an enclosed message keeps its own headers in
    // the body instead of having them merged into the outer message's fields.
    TIpMessage m;
    Load(m,
         "Content-Type: message/rfc822\r\nContent-Description: forwarded\r\n\r\n"
         "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=koi8-r\r\nSubject: inner\r\n\r\n"
         "text\r\n--\r\nsig\r\n");
    m.DecodeMessage();
    EXPECT_EQ(m.ContentSubtype, "rfc822");
    EXPECT_EQ(m.CharacterSet, "");
    EXPECT_EQ(m.Subject, "");
    EXPECT_EQ(
        BodyText(m),
        "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=koi8-r\r\nSubject: inner\r\n\r\n"
        "text\r\n--\r\nsig\r\n");
}

TEST(MimeDecode, AddressesSplitOnlyOutsideQuotesBracketsAndComments) {
    TIpMessage m;
    Load(m,
         "To: a@x.org, b@y.org\r\n"
         "CC: \"Doe, John\" <j@x.org>, (Boss, big) boss@x.org,\r\n <odd,name@x.org>\r\n"
         "Newsgroups: de.test,\r\n\tde.alt.test\r\n\r\nb\r\n");
    m.DecodeMessage();
    EXPECT_EQ(List(m.MailTo), "a@x.org | b@y.org");
    ASSERT_EQ(m.CC.Count(), 3);
    EXPECT_EQ(m.CC[0], "\"Doe, John\" <j@x.org>");
    EXPECT_EQ(m.CC[1], "(Boss, big) boss@x.org");
    EXPECT_EQ(m.CC[2], "<odd,name@x.org>");
    EXPECT_EQ(List(m.Newsgroups), "de.test | de.alt.test");
}

TEST(MimeDecode, MultipartTreeParametersAndKeptLines) {
    TIpMessage m;
    Load(m, MultipartMixed);
    m.DecodeMessage();
    ASSERT_TRUE(m.IsMultipart);
    EXPECT_EQ(m.Boundary, "BB");  // found after a tab-folded parameter
    EXPECT_EQ(BodyText(m), "preamble\r\n");
    EXPECT_EQ(m.Epilogue, "epilogue\r\n");
    ASSERT_EQ(m.Parts.Count(), 2);
    TIpMimeEntity& text = *m.Parts.Items(0);
    EXPECT_EQ(text.CharacterSet, "us-ascii");
    ASSERT_EQ(text.ContentTypeParams.size(), 1u);
    EXPECT_EQ(text.ContentTypeParams[0], "format=flowed");
    EXPECT_EQ(BodyText(text), "first\r\n");
    TIpMimeEntity& att = *m.Parts.Items(1);
    EXPECT_EQ(att.ContentName, "a b.bin");
    EXPECT_EQ(att.FileName, "a b.bin");
    EXPECT_EQ(att.ContentDisposition, "attachment");
    EXPECT_EQ(List(att.OtherHeaders), "X-Part-Note: kept");
    EXPECT_EQ(Decoded(att), "foobar");
}

TEST(MimeDecode, MultipartWithoutBoundaryIsAnError) {
    TIpMessage m;
    Load(m, "Content-Type: multipart/mixed\r\n\r\nx\r\n");
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { m.DecodeMessage(); }), "No Mime boundary");
}

TEST(MimeDecode, AContentTypeWithoutMediaTypeIsKeptAsALine) {
    // Were the first line taken, it could not be written back, and the encoded message would
    // decode differently (here: as a multipart without boundary).
    const std::string text =
        "Content-Type: /mixed; boundary=b0\r\nContent-Type: text/plain\r\n\r\nx\r\n";
    TIpMessage m;
    Load(m, text);
    m.DecodeMessage();
    EXPECT_EQ(m.ContentType + "/" + m.ContentSubtype, "text/plain");
    EXPECT_EQ(List(m.OtherHeaders), "Content-Type: /mixed; boundary=b0");
    std::string out = Reencode(text);
    EXPECT_EQ(Reencode(out), out);
}

TEST(MimeDecode, AMissingInnerCloserDoesNotSwallowTheOuterParts) {
    TIpMessage m;
    Load(m,
         "Content-Type: multipart/mixed; boundary=outer\r\n\r\n"
         "--outer\r\nContent-Type: multipart/alternative; boundary=inner\r\n\r\n"
         "--inner\r\nContent-Type: text/plain\r\n\r\nplain\r\n"
         "--outer\r\nContent-Type: text/html\r\n\r\n<p>html</p>\r\n--outer--\r\n");
    m.DecodeMessage();
    ASSERT_EQ(m.Parts.Count(), 2);
    EXPECT_EQ(m.Parts.Items(0)->Parts.Count(), 1);
    EXPECT_EQ(BodyText(*m.Parts.Items(1)), "<p>html</p>\r\n");
}

TEST(MimeDecode, NestingDepthIsCapped) {
    std::string text = "Content-Type: multipart/mixed; boundary=b0\r\n\r\n";
    for (int i = 1; i <= 100; ++i)
        text += "--b" + std::to_string(i - 1) + "\r\nContent-Type: multipart/mixed; boundary=b" +
                std::to_string(i) + "\r\n\r\n";
    text += "deep\r\n";
    TIpMessage m;
    Load(m, text);
    m.DecodeMessage();
    int depth = 0;
    TIpMimeEntity* e = &m;
    while (e->Parts.Count() > 0) {
        e = e->Parts.Items(0);
        ++depth;
    }
    EXPECT_EQ(depth, 64);
    EXPECT_NE(BodyText(*e).find("deep"), std::string::npos);  // the rest stays body lines
}

TEST(MimeEncode, HeaderOrderFoldingAndKeptLines) {
    TIpMessage m;
    m.Subject = "s";
    m.Control = "cancel <x@y>";
    m.FollowupTo = "poster";
    m.MailTo.Add("a@x");
    m.MailTo.Add("b@x");
    m.MailTo.Add("c@x");
    m.NNTPPostingHost = "host.example";
    m.OtherHeaders.Add("Lines: 3");
    m.Received.Add("from a\t\tby b\tid c");
    m.EncodeMessage();
    EXPECT_EQ(Raw(m),
              "Received: from a\t\r\n\tby b\t\r\n\tid c\r\n"
              "To: a@x, \r\n\tb@x, \r\n\tc@x\r\nSubject: s\r\nControl: cancel <x@y>\r\n"
              "Followup-To: poster\r\nNNTP-Posting-Host: host.example\r\nLines: 3\r\n\r\n");

    TIpMessage empty;
    empty.EncodeMessage();
    EXPECT_EQ(empty.GetMessageSize(), 0);
}

TEST(MimeRoundTrip, TopLevelAttachmentGetsNoStrayDelimiter) {
    const std::string text =
        "Subject: file\r\nContent-Type: application/pdf; name=\"a.pdf\"\r\n"
        "Content-Disposition: attachment; filename=\"a.pdf\"\r\nContent-Transfer-Encoding: "
        "base64\r\n\r\n"
        "Zm9vYmFy\r\n";
    TIpMessage m;
    Load(m, text);
    m.DecodeMessage();
    ASSERT_EQ(m.Parts.Count(), 1);
    EXPECT_EQ(m.Parts.Items(0)->FileName, "a.pdf");
    EXPECT_EQ(Decoded(*m.Parts.Items(0)), "foobar");
    std::string out = Reencode(text);
    EXPECT_EQ(out.find("--"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 12), "\r\nZm9vYmFy\r\n");
    EXPECT_EQ(Reencode(out), out);
}

// ---- what the encoder keeps ----

namespace {

struct Kept {
    const char* What;
    std::string Text;
};

// Messages whose every byte must come back after decoding and encoding.
const std::vector<Kept> KeptAsReceived = {
    {"header order, names in any case, folding, duplicates",
     "subject: late\r\nX-B: 2\r\nTo: \"Muster, Anna\" <anna@example.net>,\r\n  b@example.org\r\n"
     "Date: Mon, 1 Jan 2024 10:00:00 +0100\r\nX-A: 1\r\n\tcontinued\r\nFROM: a@example.org\r\n"
     "Subject: second\r\nKeywords:\r\nReceived: from a\r\n by b\r\n\r\nbody\r\n"},
    {"empty lines at the start and end of a body",
     "Subject: s\r\n\r\n\r\n\r\n  indented\r\nbegin 644 x\r\n\r\n\r\n"},
    {"an empty body after the empty line", "Subject: s\r\n\r\n"},
    {"a header without empty line (a HEAD reply)", "Subject: s\r\nLines: 3\r\n"},
    {"an empty first line", "\r\nSubject: s\r\n\r\nbody\r\n"},
    {"a bare CR and a 998-byte line in the body",
     "Subject: s\r\n\r\na\rb\r\n" + std::string(998, 'x') + "\r\n"},
    {"MIME without MIME-Version, parameters quoted and not",
     "Content-Type: text/plain; charset=\"UTF-8\";  format=flowed\r\n"
     "Content-Disposition: inline; filename=bild.png\r\n\r\n\r\nleading blank\r\n"},
    {"a multipart: preamble, parts without header, blank lines, epilogue",
     "MIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n boundary=\"b 1\"\r\n\r\n"
     "\r\npreamble line 1\r\n\r\n--b 1\r\n\r\n\r\nno header, blank first\r\n\r\n"
     "--b 1 \r\ncontent-type: text/plain; charset=us-ascii\r\nX-Note: kept\r\n\r\nsecond\r\n"
     "--b 1--\t\r\n\r\nepilogue\r\n--b 1\r\n"},
    {"a signed multipart",
     "Content-Type: multipart/signed; micalg=pgp-sha256;\r\n protocol=\"application/"
     "pgp-signature\"; boundary=\"sig\"\r\n\r\nThis is an OpenPGP/MIME signed message\r\n"
     "--sig\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: "
     "quoted-printable\r\n\r\nsigned =C3=A4\r\n\r\n--sig\r\nContent-Type: application/"
     "pgp-signature; name=\"signature.asc\"\r\n\r\n-----BEGIN PGP SIGNATURE-----\r\nxyz\r\n"
     "-----END PGP SIGNATURE-----\r\n\r\n--sig--\r\n"},
    {"a multipart cut short (no closing line)",
     "Content-Type: multipart/mixed; boundary=cut\r\n\r\n--cut\r\nContent-Type: text/plain\r\n"
     "\r\nfirst 50 lines\r\n"},
    {"a part whose header runs into the next delimiter",
     "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\nContent-Type: text/plain\r\n"
     "--x\r\nbody without header\r\n--x--\r\n"},
    {"a top-level attachment",
     "Content-Type: application/pdf; name=a.pdf\r\nContent-Disposition: attachment;\r\n"
     "\tfilename=\"a.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\nZm9vYmFy\r\n"},
    {"a disposition without its type",
     "Content-Type: text/plain\r\nContent-Disposition: ;\r\n\tfilename=x\r\n\r\nbody\r\n"},
    {"a multipart without boundary (refused, but kept)",
     "Content-Type: multipart/mixed\r\nSubject: s\r\n\r\n--x\r\nbody\r\n--x--\r\n"},
};

std::string Changed(const std::string& text, const std::function<void(TIpMessage&)>& change) {
    TIpMessage m;
    Load(m, text);
    ErrorOf([&] { m.DecodeMessage(); });
    change(m);
    m.EncodeMessage();
    return Raw(m);
}

}  // namespace

TEST(MimeFidelity, UnchangedMessagesComeBackAsReceived) {
    for (const Kept& k : KeptAsReceived) {
        EXPECT_EQ(Changed(k.Text, [](TIpMessage&) {}), k.Text) << k.What;
        // The same after a copy and after lines with bare line feeds.
        TIpMessage m;
        Load(m, k.Text);
        ErrorOf([&] { m.DecodeMessage(); });
        TIpMessage copy;
        ErrorOf([&] { copy.Assign(m); });
        copy.EncodeMessage();
        EXPECT_EQ(Raw(copy), k.Text) << k.What;
        std::string lf = k.Text;
        for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
        EXPECT_EQ(Changed(lf, [](TIpMessage&) {}), k.Text) << k.What << " (LF)";
    }
}

TEST(MimeFidelity, AChangeTouchesItsOwnPlaceOnly) {
    const std::string mail =
        "Received: from a\r\n\tby b\r\nsubject: first\r\nTo: \"Doe, J\" <j@x.org>,\r\n k@x.org\r\n"
        "Bcc: hidden@x.org\r\nX-Old: 1\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; "
        "boundary=\"BB\"\r\n\r\n\r\npreamble\r\n--BB\r\nContent-Type: text/plain; "
        "charset=\"UTF-8\"\r\n"
        "\r\n\r\ntext\r\n--BB\r\nContent-Type: image/png; name=\"bild.png\"\r\n"
        "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; "
        "filename=\"bild.png\"\r\n\r\niVBORw0KGgo=\r\n--BB--\r\nepilogue\r\n";
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string out = mail;
        const size_t at = out.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? out : out.replace(at, from.size(), to);
    };
    const struct {
        const char* What;
        std::function<void(TIpMessage&)> Change;
        std::string Expected;
    } cases[] = {
        {"a new header line goes after the others",
         [](TIpMessage& m) { m.UserFields.Add("X-XP-Mode: HdrOnly"); },
         replace("boundary=\"BB\"\r\n\r\n", "boundary=\"BB\"\r\nX-XP-Mode: HdrOnly\r\n\r\n")},
        {"a changed field stays in its place", [](TIpMessage& m) { m.Subject = "second"; },
         replace("subject: first\r\n", "Subject: second\r\n")},
        {"a changed user field stays in its place",
         [](TIpMessage& m) { m.UserFields.SetString(0, m.UserFields[0] + " via Kestro"); },
         replace("X-Old: 1\r\n", "X-Old: 1 via Kestro\r\n")},
        {"a removed field leaves no trace", [](TIpMessage& m) { m.BCC.Clear(); },
         replace("Bcc: hidden@x.org\r\n", "")},
        {"a part's changed parameter keeps the others as written",
         [](TIpMessage& m) { m.Parts.Items(1)->ContentName = "b.png"; },
         replace("name=\"bild.png\"", "name=\"b.png\"")},
        {"a part's new body changes nothing around it",
         [](TIpMessage& m) {
             TIpMimeEntity& text = *m.Parts.Items(0);
             text.ClearBodyStream();
             text.Body.WriteLine("new");
         },
         replace("\r\n\r\ntext\r\n", "\r\nnew\r\n")},
    };
    for (const auto& c : cases) EXPECT_EQ(Changed(mail, c.Change), c.Expected) << c.What;
}

// RFC 5322 writes no blank after a field's colon: "Subject:Hello" is a subject and "To:x@y" a
// recipient. The fields are read, and written back as they came.
TEST(MimeFidelity, FieldsWithoutABlankAfterTheColonAreReadAndKeptAsWritten) {
    const std::string mail =
        "From:a@b.example\r\nTo:x@y.example\r\nCC:c@d.example,e@f.example\r\nSubject:Hello\r\n"
        "Message-ID:<1@b.example>\r\nReferences:<r@b.example>\r\n\t<s@b.example>\r\n"
        "Newsgroups:de.test\r\nReceived:from a by b\r\nDate:\tSun, 6 Dec 2026 12:00:00 +0100\r\n"
        "MIME-Version:1.0\r\nContent-Type:text/plain;charset=utf-8\r\n"
        "Content-Transfer-Encoding:base64\r\n\r\nSGFsbG8=\r\n";
    TIpMessage m;
    Load(m, mail);
    m.DecodeMessage();
    EXPECT_EQ(m.From, "a@b.example");
    EXPECT_EQ(List(m.MailTo), "x@y.example");
    EXPECT_EQ(List(m.CC), "c@d.example | e@f.example");
    EXPECT_EQ(m.Subject, "Hello");
    EXPECT_EQ(m.MessageID, "<1@b.example>");
    EXPECT_EQ(List(m.References), "<r@b.example> | <s@b.example>");
    EXPECT_EQ(List(m.Newsgroups), "de.test");
    EXPECT_EQ(List(m.Received), "from a by b");
    EXPECT_EQ(m.Date, "Sun, 6 Dec 2026 12:00:00 +0100");
    EXPECT_EQ(m.MimeVersion, "1.0");
    EXPECT_EQ(m.CharacterSet, "utf-8");
    EXPECT_EQ(Decoded(m), "Hallo");
    EXPECT_EQ(List(m.OtherHeaders), "");
    EXPECT_EQ(TIpMessage::SubjectOf(mail), "Hello");

    EXPECT_EQ(Changed(mail, [](TIpMessage&) {}), mail);
    std::string changed = mail;
    changed.replace(changed.find("Subject:Hello"), 13, "Subject: Bye");
    EXPECT_EQ(Changed(mail, [](TIpMessage& c) { c.Subject = "Bye"; }), changed);

    // Only the one blank or tab after the colon goes; a longer name is another field.
    TIpMessage n;
    Load(n, "Subject:  two\r\nSubjects: no\r\nTo-Do: no\r\nToo:no\r\n\r\nbody\r\n");
    n.DecodeMessage();
    EXPECT_EQ(n.Subject, " two");
    EXPECT_EQ(n.MailTo.Count(), 0);
    EXPECT_EQ(List(n.OtherHeaders), "Subjects: no | To-Do: no | Too:no");
}

TEST(MimeFidelity, ContentAddedAfterAHeaderAloneGetsItsEmptyLine) {
    EXPECT_EQ(Changed("Subject: s\r\n", [](TIpMessage& m) { m.Body.WriteLine("added"); }),
              "Subject: s\r\n\r\nadded\r\n");
    EXPECT_EQ(Changed("Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n"
                      "Content-Type: text/plain\r\n--x--\r\n",
                      [](TIpMessage& m) { m.Parts.Items(0)->Body.WriteLine("added"); }),
              "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n"
              "Content-Type: text/plain\r\n\r\nadded\r\n--x--\r\n");
}

TEST(MimeBuild, PartsAttachmentsAndBoundaries) {
    TempDir dir;
    std::string upper = dir.File("DATA.TXT", "plain text\r\n");
    std::string lower = dir.File("note.txt", "a note\r\n");
    TIpMessage m;
    m.Subject = "with files";
    m.ContentSubtype = "mixed";
    TIpMimeEntity* plain = m.GetBodyPlain(true);
    plain->Body.WriteLine("hello");
    TIpMimeEntity* a1 = m.AddAttachment(upper);
    TIpMimeEntity* a2 = m.AddAttachment(lower);
    EXPECT_EQ(a1->ContentType + "/" + a1->ContentSubtype, "application/octet-stream");
    EXPECT_EQ(a1->ContentTransferEncoding, emBase64);
    EXPECT_EQ(a2->ContentType + "/" + a2->ContentSubtype, "text/plain");
    EXPECT_EQ(a2->Size, 8);
    m.EncodeMessage();

    TIpMessage back;
    Load(back, Raw(m));
    back.DecodeMessage();
    ASSERT_EQ(back.Parts.Count(), 3);
    EXPECT_EQ(back.GetBodyPlain(false)->ContentType, "text");
    EXPECT_EQ(Decoded(*back.Parts.Items(1)), "plain text\r\n");
    EXPECT_EQ(back.Parts.Items(1)->FileName, "DATA.TXT");
    std::string out = dir.Path("out.txt");
    back.Parts.Items(2)->DecodeBodyFile(out);
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a note\r\n");

    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        std::string b = GenerateBoundary();
        ASSERT_EQ(b.rfind("_NextPart_", 0), 0u);
        ASSERT_EQ(b.size(), 10u + 8 + 1 + 8 + 1 + 8 + 1 + 4);
        EXPECT_TRUE(seen.insert(b).second) << b;
    }
}

TEST(MimeBuild, FormDataWithNestedFiles) {
    TempDir dir;
    std::string file = dir.File("up.txt", "upload\r\n");
    TIpFormDataEntity form;
    form.AddFormData("field", "value");
    form.AddFile(file, "text", "plain", emBinary);
    form.AddFile(file, "text", "plain", emQuoted);
    ASSERT_EQ(form.Parts.Count(), 2);
    TIpMimeEntity* files = form.Parts.Items(1);
    EXPECT_EQ(files->ContentSubtype, "mixed");
    EXPECT_NE(files->Boundary, form.Boundary);
    EXPECT_EQ(files->Parts.Count(), 2);
    EXPECT_EQ(files->Parts.Items(0)->ParentBoundary, files->Boundary);
    EXPECT_THROW(form.AddFile(dir.Path("missing.txt"), "text", "plain", emBinary), EStreamError);
}

TEST(MimeProgress, FiresOncePerTenPercent) {
    TIpMessage m;
    TIpMimeEntity* part = m.AddPart();
    std::vector<int> seen;
    m.OnCodingProgress = [&](TIpMimeEntity* sender, uint8_t p, bool&) {
        EXPECT_EQ(sender, &m);
        seen.push_back(p);
    };
    TStringList lines;
    for (int i = 0; i < 1000; ++i) lines.Add("line");
    part->ContentTransferEncoding = em7Bit;
    part->EncodeBodyStrings(lines, "x.txt");
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    seen.clear();
    TStringList back;
    part->DecodeBodyStrings(back);
    EXPECT_EQ(back.Count(), 1000);
    EXPECT_EQ(seen.size(), 10u);  // a second coding reports from the start again
}

TEST(MimeMessage, LoadAssignAndRawAccess) {
    TempDir dir;
    std::string path =
        dir.File("m.msg", "Subject: loaded\r\nContent-Type: multipart/mixed\r\n\r\nbody\r\n");
    TIpMessage m;
    m.LoadFromFile(path);  // the missing boundary is swallowed
    EXPECT_EQ(m.Subject, "loaded");
    TIpMessage copy;
    EXPECT_THROW(copy.Assign(m), EIpBaseException);  // only loading from a file forgives
    m.LoadFromFile(
        dir.File("n.msg", "Subject: loaded\r\nContent-Type: text/plain\r\n\r\nbody\r\n"));
    copy.Assign(m);
    EXPECT_EQ(copy.Subject, "loaded");
    copy.SetPosition(0);
    EXPECT_EQ(copy.ReadLine(), "Subject: loaded");
    EXPECT_EQ(copy.ReadLineCRLF(), "Content-Type: text/plain\r\n");
    EXPECT_THROW(m.LoadFromFile(dir.Path("none.msg")), EStreamError);
}
