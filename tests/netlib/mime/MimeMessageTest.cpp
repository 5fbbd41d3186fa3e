#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

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

    TIpMessage n;
    Load(n, "Content-Type:text/plain\r\nSubject: x\r\n\r\n\r\n\r\nline1\r\n\r\nline3\r\n--\r\n");
    n.DecodeMessage();
    EXPECT_FALSE(n.IsMime);
    EXPECT_EQ(BodyText(n), "line1\r\n\r\nline3\r\n--\r\n");
    EXPECT_EQ(List(n.OtherHeaders), "Content-Type:text/plain");

    TIpMessage h;
    Load(h, "Subject: only headers\r\n");
    h.DecodeMessage();
    EXPECT_EQ(BodyText(h), "\r\n");
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
    EXPECT_EQ(BodyText(m), "preamble\r\nepilogue\r\n");
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

TEST(MimeRoundTrip, UnknownAndFoldedHeadersSurvive) {
    const std::string text =
        "Path: news.example!not-for-mail\r\n"
        "Xref: news.example de.test:12\r\n"
        "Subject: folded\r\n subject\r\n"
        "X-Face: line one\r\n\tline two\r\n"
        "User-Agent: Tester/1.0\r\n"
        "Lines: 2\r\n"
        "Subject: second subject line\r\n"
        "Keywords:\r\n"
        "\r\n"
        "body\r\n";
    std::string out = Reencode(text);
    for (const char* kept :
         {"Xref: news.example de.test:12\r\n", "X-Face: line one\r\n\tline two\r\n",
          "User-Agent: Tester/1.0\r\n", "Lines: 2\r\n", "Subject: folded subject\r\n",
          "Subject: second subject line\r\n", "Keywords:\r\n"})
        EXPECT_NE(out.find(kept), std::string::npos) << kept << "\n" << out;
    EXPECT_EQ(Reencode(out), out);
}

TEST(MimeRoundTrip, MultipartIsStable) {
    TIpMessage a;
    Load(a, MultipartMixed);
    a.DecodeMessage();
    a.EncodeMessage();
    std::string once = Raw(a);
    EXPECT_NE(once.find("Content-Disposition: attachment; filename=\"a b.bin\""), std::string::npos)
        << once;
    EXPECT_NE(once.find("format=flowed"), std::string::npos);
    TIpMessage b;
    Load(b, once);
    b.DecodeMessage();
    TIpMessage c;
    Load(c, MultipartMixed);
    c.DecodeMessage();
    EXPECT_EQ(Dump(b), Dump(c));
    EXPECT_EQ(Reencode(once), once);
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
